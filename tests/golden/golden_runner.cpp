// Runs one golden script case with the real kivo binary and compares what it did.
//
//   golden_runner KIVO CASE
//
// CASE is a path without extension: CASE.txt is the script; CASE.out the expected standard
// output; optional CASE.rc (exit code, 0 when absent), CASE.args (the command line after the
// program, default: the script's file name; an empty file means no argument), CASE.env
// (KEY=VALUE lines), CASE.files/ (input files), CASE.expect/ (every file the run creates or
// changes, byte for byte). The run happens in a fresh temporary directory with standard input
// from /dev/null and LC_ALL=C. With KIVO_GOLDEN_UPDATE=1 the expected files are rewritten
// from the run instead (review the diff before committing it).
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::optional<std::string> readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const fs::path& path, const std::string& data) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << data;
}

std::map<std::string, std::string> snapshot(const fs::path& dir) {
    std::map<std::string, std::string> files;
    if (!fs::exists(dir)) return files;
    for (auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), dir).generic_string()] = *readFile(entry.path());
    return files;
}

std::string visible(const std::string& s, std::size_t from, std::size_t count) {
    std::string out;
    for (std::size_t i = from; i < s.size() && i < from + count; ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == '\n')
            out += "\\n\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\r')
            out += "\\r";
        else if (c < 0x20 || c >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else
            out += static_cast<char>(c);
    }
    return out;
}

bool same(const std::string& what, const std::string& expected, const std::string& actual) {
    if (expected == actual) return true;
    std::size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
    std::size_t from = at > 200 ? at - 200 : 0;
    std::cerr << "MISMATCH in " << what << " at byte " << at << " (expected " << expected.size() << " bytes, got "
              << actual.size() << ")\n--- expected (from byte " << from << ")\n"
              << visible(expected, from, 600) << "\n--- actual\n"
              << visible(actual, from, 600) << "\n---\n";
    return false;
}

std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: golden_runner KIVO CASE\n";
        return 2;
    }
    const fs::path kivo = fs::absolute(argv[1]);
    const fs::path base = argv[2];
    const std::string name = base.filename().string();
    const fs::path scriptPath = fs::path(base.string() + ".txt");
    const fs::path filesDir = fs::path(base.string() + ".files");
    const fs::path expectDir = fs::path(base.string() + ".expect");
    const bool update = std::getenv("KIVO_GOLDEN_UPDATE") && std::string(std::getenv("KIVO_GOLDEN_UPDATE")) == "1";

    char pattern[] = "/tmp/kivo-golden-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::perror("mkdtemp");
        return 2;
    }
    const fs::path root = pattern;
    const fs::path work = root / "run";
    fs::create_directories(work);
    if (fs::exists(filesDir)) fs::copy(filesDir, work, fs::copy_options::recursive);
    fs::copy_file(scriptPath, work / (name + ".txt"), fs::copy_options::overwrite_existing);
    const auto before = snapshot(work);

    std::vector<std::string> args{kivo.string()};
    if (auto a = readFile(base.string() + ".args")) {
        for (auto& w : words(*a)) args.push_back(w);
    } else {
        args.push_back(name + ".txt");
    }
    std::vector<std::pair<std::string, std::string>> env{{"LC_ALL", "C"}};
    if (auto e = readFile(base.string() + ".env")) {
        for (auto& w : words(*e)) {
            auto eq = w.find('=');
            if (eq != std::string::npos) env.emplace_back(w.substr(0, eq), w.substr(eq + 1));
        }
    }

    const fs::path outPath = root / "stdout";
    const fs::path errPath = root / "stderr";
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(work.c_str()) != 0) _exit(127);
        int in = open("/dev/null", O_RDONLY);
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(in, 0), dup2(out, 1), dup2(err, 2);
        unsetenv("KIVO_PORT");
        for (auto& [k, v] : env) setenv(k.c_str(), v.c_str(), 1);
        std::vector<char*> argvC;
        for (auto& a : args) argvC.push_back(a.data());
        argvC.push_back(nullptr);
        execv(argvC[0], argvC.data());
        _exit(127);
    }
    int status = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    bool timedOut = false;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            timedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    const int rc = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    const std::string out = readFile(outPath).value_or("");
    const std::string err = readFile(errPath).value_or("");

    // Files the run created or changed.
    std::map<std::string, std::string> produced;
    for (auto& [file, data] : snapshot(work)) {
        auto was = before.find(file);
        if (was == before.end() || was->second != data) produced[file] = data;
    }

    bool ok = true;
    if (timedOut) {
        std::cerr << "TIMEOUT: kivo did not end\n";
        ok = false;
    }
    if (update) {
        writeFile(base.string() + ".out", out);
        if (rc != 0)
            writeFile(base.string() + ".rc", std::to_string(rc) + "\n");
        else
            fs::remove(base.string() + ".rc");
        fs::remove_all(expectDir);
        for (auto& [file, data] : produced) writeFile(expectDir / file, data);
    } else {
        const int expectedRc = std::atoi(readFile(base.string() + ".rc").value_or("0").c_str());
        if (rc != expectedRc) {
            std::cerr << "EXIT CODE: expected " << expectedRc << ", got " << rc << "\n";
            ok = false;
        }
        ok &= same("standard output", readFile(base.string() + ".out").value_or(""), out);
        auto expected = snapshot(expectDir);
        for (auto& [file, data] : expected) {
            auto got = produced.find(file);
            if (got == produced.end()) {
                auto kept = before.find(file);
                if (kept == before.end() || kept->second != data) {
                    std::cerr << "MISSING output file " << file << "\n";
                    ok = false;
                }
            } else {
                ok &= same("file " + file, data, got->second);
            }
        }
        for (auto& [file, data] : produced)
            if (!expected.count(file)) {
                std::cerr << "UNEXPECTED output file " << file << " (" << data.size() << " bytes)\n";
                ok = false;
            }
    }
    if (!err.empty()) {
        std::cerr << "STANDARD ERROR (kivo never writes there):\n" << err << "\n";
        ok = false;
    }
    if (ok) fs::remove_all(root);
    else std::cerr << "run directory kept: " << work << "\n";
    return ok ? 0 : 1;
}
