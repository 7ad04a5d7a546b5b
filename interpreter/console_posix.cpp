#include <langinfo.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstring>
#include <string>

#include "interpreter/platform.h"

namespace kivo::interpreter::platform {

namespace {

bool readByte(unsigned char& c) {
    ssize_t n;
    while ((n = read(STDIN_FILENO, &c, 1)) < 0 && errno == EINTR && !stopRequested()) {
    }
    return n == 1;
}

// True when another byte arrives within `milliseconds`.
bool moreWithin(int milliseconds) {
    pollfd in{STDIN_FILENO, POLLIN, 0};
    int ready;
    while ((ready = poll(&in, 1, milliseconds)) < 0 && errno == EINTR) {
    }
    return ready > 0 && (in.revents & POLLIN) != 0;
}

// A terminal sends one key as several bytes: a UTF-8 letter (a Polish letter is two), or an
// escape sequence for the arrow and function keys. The rest of such a key belongs to this
// key press, not to the next wait.
void readRestOfKey(unsigned char first) {
    unsigned char c;
    int continuation = first >= 0xF0 ? 3 : first >= 0xE0 ? 2 : first >= 0xC0 ? 1 : 0;
    for (; continuation > 0 && moreWithin(50); --continuation)
        if (!readByte(c)) return;
    if (first != 0x1B || !moreWithin(50) || !readByte(c)) return;  // Esc alone is a key too
    if (c == 'O') {  // SS3: one more byte names the key
        if (moreWithin(50)) readByte(c);
        return;
    }
    if (c != '[') return;
    // CSI: parameter bytes up to a final byte 0x40..0x7E; the Linux console's F1..F5 send
    // "[[" and a letter.
    for (bool firstByte = true; moreWithin(50) && readByte(c); firstByte = false) {
        if (firstByte && c == '[') continue;
        if (c >= 0x40 && c <= 0x7E) break;
    }
}

}  // namespace

void waitKey() {
    unsigned char c;
    if (!isatty(STDIN_FILENO)) {
        // Piped or redirected input: one byte is one key; end of input goes on at once.
        readByte(c);
        return;
    }
    termios saved{};
    if (tcgetattr(STDIN_FILENO, &saved) != 0) {
        readByte(c);
        return;
    }
    termios raw = saved;
    // Without ISIG, Ctrl-C is a key like any other: the wait ends and the terminal gets its
    // settings back, instead of the process dying with echo switched off.
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    tcsetattr(STDIN_FILENO, TCSANOW, &raw);
    if (readByte(c)) readRestOfKey(c);
    tcsetattr(STDIN_FILENO, TCSANOW, &saved);
}

bool consoleIsUtf8() {
    // Ask the user's locale for its character set without leaving it set: the rest of the
    // program relies on the "C" locale's character classes.
    const char* previous = std::setlocale(LC_CTYPE, nullptr);
    std::string keep = previous ? previous : "C";
    if (!std::setlocale(LC_CTYPE, "")) return false;
    const char* codeset = nl_langinfo(CODESET);
    bool utf8 = codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
    std::setlocale(LC_CTYPE, keep.c_str());
    return utf8;
}

bool errorIsTerminal() { return isatty(STDERR_FILENO) != 0; }

namespace {

void writeError(const std::string& s) {
    for (std::size_t at = 0; at < s.size();) {
        const ssize_t put = write(STDERR_FILENO, s.data() + at, s.size() - at);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return;  // a terminal that takes no more loses a progress line, nothing else
        at += static_cast<std::size_t>(put);
    }
}

}  // namespace

// The cursor is saved where the line starts (ESC 7) and restored before each drawing (ESC 8),
// and the rest of the screen line cleared (ESC [K). The line is drawn with automatic wrapping
// off (ESC [?7l): after a half-written line of output it is cut at the right margin instead of
// scrolling the screen, which would leave the saved cursor on the wrong row.
void showTerminalLine(std::string_view text, bool first) {
    std::string s = first ? "\0337" : "\0338";
    s += "\033[K\033[?7l";
    s.append(text);
    s += "\033[?7h";
    writeError(s);
}

void eraseTerminalLine() { writeError("\0338\033[K"); }

}  // namespace kivo::interpreter::platform
