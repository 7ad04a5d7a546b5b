#pragma once
#include <string>
#include <string_view>

namespace kivo::interpreter::console {

// Everything kivo prints goes to standard output. The program's own texts are Windows-1250:
// they are written as raw bytes, or transcoded to UTF-8 when the console expects UTF-8.
// Text that comes from the script or from files always passes through unchanged.

/// printf-style output whose format is the program's own text; %s arguments pass unchanged.
void print(const char* format, ...)
#if defined(__MINGW32__)
    // The C runtime's printf here is MinGW's C99 one (as libstdc++ asks for), not msvcrt's.
    __attribute__((format(gnu_printf, 1, 2)))
#elif defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
/// Writes the program's own text (Windows-1250), without any formatting.
void message(std::string_view text);
/// Writes text from the script or a file unchanged.
void text(std::string_view text);
/// Writes one byte unchanged.
void put(char c);
/// Pushes buffered output to the console: before key waits and before other programs start.
void flush();
/// Waits for one key press, without echo and without Enter; returns at once at end of input.
void waitForKey();
/// True when the program's own texts are transcoded to UTF-8 (decided once, from the locale).
bool utf8Output();
/// Overrides the locale's choice (tests).
void setUtf8Output(bool on);
/// The Windows-1250 text as UTF-8.
std::string toUtf8(std::string_view windows1250);

}  // namespace kivo::interpreter::console
