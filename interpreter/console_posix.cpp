#include <langinfo.h>
#include <termios.h>
#include <unistd.h>

#include <clocale>
#include <cstring>
#include <string>

#include "interpreter/platform.h"

namespace kivo::interpreter::platform {

void waitKey() {
    unsigned char c;
    if (!isatty(STDIN_FILENO)) {
        // Piped or redirected input: one byte is one key; end of input goes on at once.
        while (read(STDIN_FILENO, &c, 1) < 0 && errno == EINTR) {
        }
        return;
    }
    termios saved{};
    if (tcgetattr(STDIN_FILENO, &saved) != 0) {
        (void)!read(STDIN_FILENO, &c, 1);
        return;
    }
    termios raw = saved;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    tcsetattr(STDIN_FILENO, TCSANOW, &raw);
    while (read(STDIN_FILENO, &c, 1) < 0 && errno == EINTR) {
    }
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

}  // namespace kivo::interpreter::platform
