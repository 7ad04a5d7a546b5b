// Runs one golden script case with the real kivo binary and compares what it did.
//
//   golden_runner [--launcher PROGRAM [--doubles DIR] [--port-library 1]] KIVO CASE
//
// CASE is a path without extension: CASE.txt is the script; CASE.out the expected standard
// output; optional CASE.rc (exit code, 0 when absent), CASE.args (the command line after the
// program, default: the script's file name; an empty file means no argument), CASE.env
// (KEY=VALUE lines), CASE.files/ (input files), CASE.expect/ (every file the run creates or
// changes, byte for byte), CASE.links (one link a line: a KIVO_PORT value, optionally followed
// by a port mode in hex that the script gets as a first "eppmode" line whose echo is not
// compared; the case runs once per link and every run must give the same results). The run
// happens in a fresh temporary directory with standard input from /dev/null and LC_ALL=C. With
// KIVO_GOLDEN_UPDATE=1 the expected files are rewritten from the (first) run instead: review the
// diff before committing it.
//
// --launcher runs a Windows kivo.exe through PROGRAM (wine). The run then follows Windows
// conventions: standard output is in text mode, so every "\n" of CASE.out is expected as
// "\r\n"; and a program that a case brings in CASE.files as a shell script NAME is replaced by
// DIR/NAME.exe, a Windows program built to do the same. Where the platform itself makes the
// output differ, CASE.windows.out holds what Windows prints (still with "\n"). --port-library
// sends a virtual board through the port library: KIVO_PORT=virtual:BOARD becomes
// KIVO_PORT=dll, and the library test double beside kivo.exe is told BOARD in
// KIVO_PORT_LIBRARY_BOARD.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
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

struct Variant {
    std::string port;      // KIVO_PORT, or empty to keep CASE.env's
    std::string eppmode;   // hex, or empty
    std::string label() const { return port.empty() ? "" : " [" + port + (eppmode.empty() ? "" : " eppmode " + eppmode) + "]"; }
};

struct Windows {
    fs::path launcher;  // empty: kivo runs natively
    fs::path doubles;
    bool portLibrary = false;
};

// What a Windows program writes to a text-mode standard output for `text`.
std::string textMode(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

void addDoubles(const fs::path& filesDir, const fs::path& work, const fs::path& doubles) {
    if (doubles.empty() || !fs::exists(filesDir)) return;
    for (auto& entry : fs::directory_iterator(filesDir)) {
        if (!entry.is_regular_file() || readFile(entry.path()).value_or("").rfind("#!", 0) != 0) continue;
        const fs::path exe = doubles / (entry.path().filename().string() + ".exe");
        if (fs::exists(exe)) fs::copy_file(exe, work / exe.filename(), fs::copy_options::overwrite_existing);
    }
}

struct Result {
    int rc = 0;
    bool timedOut = false;
    std::string out, err;
    std::map<std::string, std::string> before, produced;
    fs::path root;
};

Result runOnce(const fs::path& kivo, const fs::path& base, const Variant& variant, const Windows& windows) {
    const std::string name = base.filename().string();
    char pattern[] = "/tmp/kivo-golden-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::perror("mkdtemp");
        std::exit(2);
    }
    Result r;
    r.root = pattern;
    const fs::path work = r.root / "run";
    fs::create_directories(work);
    const fs::path filesDir = fs::path(base.string() + ".files");
    if (fs::exists(filesDir)) fs::copy(filesDir, work, fs::copy_options::recursive);
    addDoubles(filesDir, work, windows.doubles);
    std::string script = readFile(base.string() + ".txt").value_or("");
    if (!variant.eppmode.empty()) script = "eppmode " + variant.eppmode + "\r\n" + script;
    writeFile(work / (name + ".txt"), script);
    r.before = snapshot(work);

    std::vector<std::string> args{kivo.string()};
    if (!windows.launcher.empty()) args.insert(args.begin(), windows.launcher.string());
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
    if (!variant.port.empty()) env.emplace_back("KIVO_PORT", variant.port);
    if (windows.portLibrary) {
        for (std::size_t i = 0; i < env.size(); ++i) {
            auto& [key, value] = env[i];
            if (key != "KIVO_PORT" || value.rfind("virtual", 0) != 0) continue;
            const std::string board = value.size() > 8 ? value.substr(8) : "";
            value = "dll";
            env.emplace_back("KIVO_PORT_LIBRARY_BOARD", board);
        }
    }

    // Under wine a start can fail before kivo runs at all (exit 1, nothing printed: kivo itself
    // exits only 0 or 255 and always prints its banner first); that is the launcher, not the
    // case, so such a start is tried again, at most twice.
    for (int attempt = 0;; ++attempt) {
        const fs::path outPath = r.root / "stdout";
        const fs::path errPath = r.root / "stderr";
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
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                r.timedOut = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        r.rc = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        r.out = readFile(outPath).value_or("");
        r.err = readFile(errPath).value_or("");
        const bool launcherFailed = !windows.launcher.empty() && !r.timedOut && r.rc == 1 && r.out.empty();
        if (!launcherFailed || attempt == 2) break;
        std::cerr << "launcher failed to start kivo (" << r.err.substr(0, 200) << "), trying again\n";
    }
    if (!variant.eppmode.empty()) {
        // The injected line's echo is not part of what the case compares.
        const std::uint32_t mode = static_cast<std::uint32_t>(std::stoul(variant.eppmode, nullptr, 16));
        char echo[64];
        std::snprintf(echo, sizeof echo, "\teppmode %X (%d dec)\n", mode, static_cast<int>(mode));
        const std::string line = windows.launcher.empty() ? std::string(echo) : textMode(echo);
        if (auto at = r.out.find(line); at != std::string::npos) r.out.erase(at, line.size());
    }
    for (auto& [file, data] : snapshot(work)) {
        auto was = r.before.find(file);
        if (was == r.before.end() || was->second != data) r.produced[file] = data;
    }
    return r;
}

bool check(const fs::path& base, const Result& r, const std::string& label, const Windows& windows) {
    const fs::path expectDir = fs::path(base.string() + ".expect");
    bool ok = true;
    if (r.timedOut) {
        std::cerr << "TIMEOUT" << label << ": kivo did not end\n";
        ok = false;
    }
    const int expectedRc = std::atoi(readFile(base.string() + ".rc").value_or("0").c_str());
    if (r.rc != expectedRc) {
        std::cerr << "EXIT CODE" << label << ": expected " << expectedRc << ", got " << r.rc << "\n";
        ok = false;
    }
    // CASE.windows.out: what a case prints on Windows where the platform itself differs.
    auto windowsOut = windows.launcher.empty() ? std::nullopt : readFile(base.string() + ".windows.out");
    const std::string out = windowsOut ? *windowsOut : readFile(base.string() + ".out").value_or("");
    ok &= same("standard output" + label, windows.launcher.empty() ? out : textMode(out), r.out);
    auto expected = snapshot(expectDir);
    for (auto& [file, data] : expected) {
        auto got = r.produced.find(file);
        if (got == r.produced.end()) {
            auto kept = r.before.find(file);
            if (kept == r.before.end() || kept->second != data) {
                std::cerr << "MISSING output file " << file << label << "\n";
                ok = false;
            }
        } else {
            ok &= same("file " + file + label, data, got->second);
        }
    }
    for (auto& [file, data] : r.produced)
        if (!expected.count(file)) {
            std::cerr << "UNEXPECTED output file " << file << label << " (" << data.size() << " bytes)\n";
            ok = false;
        }
    if (!r.err.empty()) {
        std::cerr << "STANDARD ERROR" << label << " (kivo never writes there):\n" << r.err << "\n";
        ok = false;
    }
    return ok;
}

void update(const fs::path& base, const Result& r) {
    const fs::path expectDir = fs::path(base.string() + ".expect");
    writeFile(base.string() + ".out", r.out);
    if (r.rc != 0)
        writeFile(base.string() + ".rc", std::to_string(r.rc) + "\n");
    else
        fs::remove(base.string() + ".rc");
    fs::remove_all(expectDir);
    for (auto& [file, data] : r.produced) writeFile(expectDir / file, data);
}

}  // namespace

int main(int argc, char** argv) {
    Windows windows;
    int at = 1;
    for (; at + 1 < argc && std::string(argv[at]).rfind("--", 0) == 0; at += 2) {
        const std::string option = argv[at];
        if (option == "--launcher")
            windows.launcher = fs::absolute(argv[at + 1]);
        else if (option == "--doubles")
            windows.doubles = fs::absolute(argv[at + 1]);
        else if (option == "--port-library")
            windows.portLibrary = std::string(argv[at + 1]) == "1";
        else
            break;
    }
    if (argc - at != 2) {
        std::cerr << "usage: golden_runner [--launcher PROGRAM [--doubles DIR] [--port-library 1]] KIVO CASE\n";
        return 2;
    }
    const fs::path kivo = fs::absolute(argv[at]);
    const fs::path base = argv[at + 1];
    const char* updateEnv = std::getenv("KIVO_GOLDEN_UPDATE");
    const bool updating = updateEnv && std::string(updateEnv) == "1";
    if (updating && !windows.launcher.empty()) {
        std::cerr << "golden_runner: expectations are written from native runs only\n";
        return 2;
    }

    std::vector<Variant> variants;
    if (auto links = readFile(base.string() + ".links")) {
        std::istringstream in(*links);
        for (std::string line; std::getline(in, line);) {
            auto w = words(line);
            if (w.empty() || w[0][0] == '#') continue;
            variants.push_back({w[0], w.size() > 1 ? w[1] : ""});
        }
    }
    if (variants.empty()) variants.push_back({});

    bool ok = true;
    for (std::size_t i = 0; i < variants.size(); ++i) {
        Result r = runOnce(kivo, base, variants[i], windows);
        if (updating && i == 0) update(base, r);
        bool good = check(base, r, variants[i].label(), windows);
        if (good)
            fs::remove_all(r.root);
        else
            std::cerr << "run directory kept: " << (r.root / "run") << "\n";
        ok &= good;
    }
    return ok ? 0 : 1;
}
