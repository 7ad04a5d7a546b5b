#include <windows.h>
#include <conio.h>
#include <io.h>

#include <cstdio>

#include "interpreter/platform.h"

namespace kivo::interpreter::platform {

void waitKey() {
    if (!_isatty(_fileno(stdin))) {
        // Redirected input: one byte is one key; end of input goes on at once.
        std::getchar();
        return;
    }
    // Function and arrow keys arrive as two codes: take the second one too, so that one key
    // press is one key.
    int c = _getch();
    if (c == 0 || c == 0xE0) _getch();
}

bool consoleIsUtf8() { return GetConsoleOutputCP() == CP_UTF8; }

}  // namespace kivo::interpreter::platform
