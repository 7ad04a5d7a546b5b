#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
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

}  // namespace
}  // namespace kivo::interpreter
