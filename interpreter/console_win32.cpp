#include <windows.h>
#include <conio.h>
#include <io.h>

#include <cstdio>
#include <string_view>

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

bool errorIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

namespace {
// Where the progress line starts on the console's screen buffer, and how long it is.
COORD lineStart{};
DWORD lineLength = 0;
DWORD lineRoom = 0;

void blankLine(HANDLE console) {
    DWORD written = 0;
    if (lineLength > 0) FillConsoleOutputCharacterA(console, ' ', lineLength, lineStart, &written);
    SetConsoleCursorPosition(console, lineStart);
}
}  // namespace

void showTerminalLine(std::string_view text, bool first) {
    HANDLE console = GetStdHandle(STD_ERROR_HANDLE);
    if (first) {
        CONSOLE_SCREEN_BUFFER_INFO info;
        if (!GetConsoleScreenBufferInfo(console, &info)) return;
        lineStart = info.dwCursorPosition;
        lineRoom = info.dwSize.X > lineStart.X + 1 ? static_cast<DWORD>(info.dwSize.X - lineStart.X - 1) : 0;
        lineLength = 0;
    } else {
        blankLine(console);
    }
    // After a half-written line of output the line is cut at the right margin: a wrap could
    // scroll the screen buffer away from the position kept.
    const DWORD length = text.size() < lineRoom ? static_cast<DWORD>(text.size()) : lineRoom;
    DWORD written = 0;
    WriteConsoleA(console, text.data(), length, &written, nullptr);
    lineLength = length;
}

void eraseTerminalLine() {
    blankLine(GetStdHandle(STD_ERROR_HANDLE));
    lineLength = 0;
}

}  // namespace kivo::interpreter::platform
