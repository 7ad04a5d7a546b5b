#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "interpreter/platform.h"

namespace kivo::interpreter {
namespace {

// Standard input replaced by the slave side of a pseudo-terminal for the test's lifetime.
class TerminalInput {
public:
    TerminalInput() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
        slave_ = open(ptsname(master_), O_RDWR | O_NOCTTY);
        if (slave_ < 0) return;
        savedStdin_ = dup(STDIN_FILENO);
        dup2(slave_, STDIN_FILENO);
    }
    ~TerminalInput() {
        if (savedStdin_ >= 0) {
            dup2(savedStdin_, STDIN_FILENO);
            close(savedStdin_);
        }
        if (slave_ >= 0) close(slave_);
        if (master_ >= 0) close(master_);
    }
    bool ok() const { return slave_ >= 0; }
    int master() const { return master_; }
    tcflag_t localFlags() const {
        termios t{};
        tcgetattr(slave_, &t);
        return t.c_lflag;
    }
    // Waits (at most 2 s) until `ready` holds and the terminal is in the key wait's raw mode.
    template <class Ready>
    void waitForRawWait(Ready ready) const {
        for (int i = 0; i < 2000 && !(ready() && (localFlags() & ICANON) == 0); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    // Bytes still waiting to be read.
    std::string leftover() const {
        termios t{};
        tcgetattr(slave_, &t);
        t.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG);
        t.c_cc[VMIN] = 0;
        t.c_cc[VTIME] = 1;
        tcsetattr(slave_, TCSANOW, &t);
        std::string out;
        char buffer[64];
        for (ssize_t n; (n = read(slave_, buffer, sizeof buffer)) > 0;) out.append(buffer, static_cast<std::size_t>(n));
        return out;
    }

private:
    int master_ = -1;
    int slave_ = -1;
    int savedStdin_ = -1;
};

TEST(KeyWait, OneKeyPressOnATerminalIsOneKeyWhateverItsBytes) {
    TerminalInput terminal;
    if (!terminal.ok()) GTEST_SKIP() << "no pseudo-terminal";
    const tcflag_t before = terminal.localFlags();
    // A Polish letter in UTF-8, arrow keys (CSI and SS3), a Linux console F1, F5, Ctrl-C, a letter.
    const std::vector<std::string> keys = {"\xC4\x85", "\x1B[A", "\x1BOP", "\x1B[[A", "\x1B[15~", "\x03", "q"};
    std::atomic<bool> signalsOff{true};
    std::atomic<std::size_t> waitsDone{0};
    std::thread typist([&] {
        for (std::size_t i = 0; i < keys.size(); ++i) {
            // Each key is typed while its wait has the terminal in raw mode, as a person would.
            terminal.waitForRawWait([&] { return waitsDone >= i; });
            if ((terminal.localFlags() & ISIG) != 0) signalsOff = false;
            (void)!write(terminal.master(), keys[i].data(), keys[i].size());
        }
    });
    for (std::size_t i = 0; i < keys.size(); ++i) {
        platform::waitKey();
        ++waitsDone;
    }
    typist.join();
    EXPECT_TRUE(signalsOff) << "Ctrl-C must reach the wait as a key, not kill the process";
    EXPECT_EQ(terminal.localFlags() & (ICANON | ECHO | ISIG), before & (ICANON | ECHO | ISIG));
    EXPECT_EQ(terminal.leftover(), "");
}

}  // namespace
}  // namespace kivo::interpreter
