#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "../capture_stdout.h"
#include "app/command_table.h"
#include "interpreter/console.h"
#include "interpreter/runner.h"

namespace kivo::interpreter {
namespace {

// The key waits of a failed run must not block: standard input is /dev/null meanwhile.
class NoKeyboard {
public:
    NoKeyboard() : saved_(dup(STDIN_FILENO)) {
#ifdef _WIN32
        const int none = open("NUL", O_RDONLY);
#else
        const int none = open("/dev/null", O_RDONLY);
#endif
        dup2(none, STDIN_FILENO);
        close(none);
    }
    ~NoKeyboard() {
        dup2(saved_, STDIN_FILENO);
        close(saved_);
    }

private:
    int saved_;
};

TEST(RunMain, AFatalErrorEndsWithAllBitsOfTheExitCodeSet) {
    // The exit code is a full 32-bit value on Windows; only POSIX cuts it to 255.
    console::setUtf8Output(false);
    NoKeyboard keyboard;
    testing::CaptureStdout capture;
    char program[] = "kivo";
    char script[] = "/nonexistent/kivo-runner-test.txt";
    char* argv[] = {program, script, nullptr};
    EXPECT_EQ(runMain(2, argv, app::allCommands()), -1);
    EXPECT_NE(capture.text().find("Blad podczas wykonywania skryptu\n"), std::string::npos);
}

[[noreturn]] void grabTooMuch(Run&, const Line&) { throw std::bad_alloc(); }

TEST(RunMain, AnAllocationNoCommandExpectedToFailEndsAsFailCode2) {
    static constexpr Command kTable[] = {{"grab", Match::Exact, grabTooMuch}};
    const std::string path = ::testing::TempDir() + "kivo-runner-grab.txt";
    std::FILE* file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs("grab\n", file);
    std::fclose(file);
    console::setUtf8Output(false);
    NoKeyboard keyboard;
    testing::CaptureStdout capture;
    char program[] = "kivo";
    std::string script = path;
    char* argv[] = {program, script.data(), nullptr};
    EXPECT_EQ(runMain(2, argv, kTable), -1);
    EXPECT_EQ(capture.text(), "Uruchamiam skrypt: " + path +
                                  "\nZabraklo pamieci\nBlad podczas wykonywania skryptu\nNacisnij dowolny klawisz\n");
    std::remove(path.c_str());
}

void setVariable(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value ? value : "");
#else
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
#endif
}

struct RunOutput {
    int rc;
    std::string out;
    std::string err;
};

RunOutput runWithErrorLine(const std::string& path, const char* request) {
    setVariable("KIVO_ERROR_LINE", request);
    console::setUtf8Output(false);
    NoKeyboard keyboard;
    std::fflush(stderr);
    std::FILE* errFile = std::tmpfile();
    const int savedErr = dup(2);
    dup2(fileno(errFile), 2);
    RunOutput result{};
    {
        testing::CaptureStdout capture;
        char program[] = "kivo";
        std::string script = path;
        char* argv[] = {program, script.data(), nullptr};
        result.rc = runMain(2, argv, app::allCommands());
        result.out = capture.text();
    }
    std::fflush(stderr);
    dup2(savedErr, 2);
    close(savedErr);
    std::rewind(errFile);
    char buffer[256];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, errFile)) > 0;) result.err.append(buffer, n);
    std::fclose(errFile);
    setVariable("KIVO_ERROR_LINE", nullptr);
    return result;
}

// The line is counted in the file as an editor shows it (blank lines and comments count),
// also when the failing text stands on an earlier line that never ran, and when the first
// jump of the run, which indexes the labels, is the failing command.
TEST(RunMain, ErrorLineOnRequestOnStandardErrorOnly) {
    const std::string path = ::testing::TempDir() + "kivo-runner-error-line.txt";
    struct Case {
        const char* script;
        const char* line;
    } const cases[] = {
        {"goto later\r\nbogus\r\n\r\n/* note\r\n*/\r\n:later\r\n  print x\r\nbogus\r\nprint never\r\n", "8"},
        {"print a\r\n\r\ngoto nowhere\r\n:there\r\nprint b\r\n", "3"},
    };
    for (const Case& c : cases) {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fputs(c.script, file);
        std::fclose(file);
        const RunOutput plain = runWithErrorLine(path, nullptr);
        const RunOutput asked = runWithErrorLine(path, "1");
        EXPECT_EQ(plain.rc, -1);
        EXPECT_EQ(asked.rc, -1);
        EXPECT_EQ(asked.out, plain.out);
        EXPECT_EQ(plain.err, "");
        EXPECT_EQ(asked.err, std::string("kivo-error-line: ") + c.line + "\n") << c.script;
    }
    std::remove(path.c_str());
}

}  // namespace
}  // namespace kivo::interpreter
