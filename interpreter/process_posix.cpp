#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <string>
#include <vector>

#include "interpreter/platform.h"

extern char** environ;

namespace kivo::interpreter::platform {

void sleepMs(std::uint32_t milliseconds) {
    timespec left{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

bool runCommandLine(std::string_view commandLine) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (char c : commandLine) {
        if (c == ' ' || c == '\t') {
            if (inWord) words.push_back(word), word.clear(), inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    if (words.empty()) return false;
    std::vector<char*> argv;
    for (auto& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    pid_t pid;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
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
