#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "interpreter/command_line.h"
#include "interpreter/platform.h"

extern char** environ;

namespace kivo::interpreter::platform {

namespace {

volatile std::sig_atomic_t stopFlag = 0;

// Commands check the request only between lines and in their waits; one that runs on (a
// calibration wave without end, a long bit wait) must not make a stop request go unheard. A
// second request, or the grace period running out, ends the process as SIGTERM always did.
constexpr unsigned kStopGraceSeconds = 5;

extern "C" void stopNow(int) {
    ::signal(SIGTERM, SIG_DFL);
    ::raise(SIGTERM);
}

extern "C" void noteStop(int) {
    if (stopFlag) {
        stopNow(SIGTERM);
        return;
    }
    stopFlag = 1;
    ::signal(SIGALRM, stopNow);
    ::alarm(kStopGraceSeconds);
}

}  // namespace

void watchStopRequest() {
    struct sigaction action {};
    action.sa_handler = noteStop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a blocked read or sleep returns and sees the flag
    sigaction(SIGTERM, &action, nullptr);
}

bool stopRequested() { return stopFlag != 0; }

void sleepMs(std::uint32_t milliseconds) {
    timespec left{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR && !stopRequested()) {
    }
}

namespace {

bool isProgram(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::string ownDirectory() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return {};
    const std::string exe(path, static_cast<std::size_t>(length));
    const std::size_t slash = exe.rfind('/');
    return slash == std::string::npos ? std::string() : exe.substr(0, slash);
}

// The order Windows searches for a program named without a directory: the interpreter's own
// directory, the current directory, then the PATH (where the system directories are here).
std::string findProgram(const std::string& name) {
    if (name.find('/') != std::string::npos) return isProgram(name) ? name : std::string();
    std::vector<std::string> directories;
    if (std::string own = ownDirectory(); !own.empty()) directories.push_back(own);
    directories.push_back(".");
    if (const char* path = std::getenv("PATH")) {
        std::string_view rest = path;
        while (true) {
            const std::size_t colon = rest.find(':');
            const std::string_view entry = rest.substr(0, colon);
            directories.emplace_back(entry.empty() ? "." : entry);
            if (colon == std::string_view::npos) break;
            rest.remove_prefix(colon + 1);
        }
    }
    for (const std::string& directory : directories) {
        std::string candidate = directory + "/" + name;
        if (isProgram(candidate)) return candidate;
    }
    return {};
}

}  // namespace

bool runCommandLine(std::string_view commandLine) {
    std::vector<std::string> words = splitCommandLine(commandLine);
    if (words.empty() || words[0].empty()) return false;
    const std::string program = findProgram(words[0]);
    if (program.empty()) return false;
    std::vector<char*> argv;
    for (auto& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);

    // The program shares the console (descriptors 0-2) and nothing else of ours.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    pid_t pid;
    const int started = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) return false;

    sleepMs(10);
    int status;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) break;  // a failed wait ends the waiting
        sleepMs(10);
    }
    return true;
}

bool fileStamp(std::FILE* file, FileStamp& stamp) {
    struct stat st {};
    if (fstat(fileno(file), &st) != 0) return false;
    stamp.size = static_cast<std::uint64_t>(st.st_size);
    stamp.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.identity = static_cast<std::uint64_t>(st.st_ino) ^ (static_cast<std::uint64_t>(st.st_ctim.tv_nsec) << 32);
    return true;
}

bool deleteFile(const std::string& path) { return unlink(path.c_str()) == 0; }

}  // namespace kivo::interpreter::platform
