#include "interpreter/console.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "interpreter/platform.h"
#include "interpreter/progress.h"

namespace kivo::interpreter::console {
namespace {

// Windows-1250 bytes 0x80..0xFF as Unicode code points (0 where the code page has no character).
constexpr char16_t kWindows1250[128] = {
    0x20AC, 0x0000, 0x201A, 0x0000, 0x201E, 0x2026, 0x2020, 0x2021, 0x0000, 0x2030, 0x0160, 0x2039, 0x015A,
    0x0164, 0x017D, 0x0179, 0x0000, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0000, 0x2122,
    0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6,
    0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, 0x00B0, 0x00B1, 0x02DB, 0x0142,
    0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, 0x0154,
    0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, 0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD,
    0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA,
    0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, 0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4,
    0x0151, 0x00F6, 0x00F7, 0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

int utf8State = -1;  // -1: not decided yet

bool isAscii(const char* s) {
    for (; *s; ++s)
        if (static_cast<unsigned char>(*s) >= 0x80) return false;
    return true;
}

}  // namespace

bool utf8Output() {
    if (utf8State < 0) utf8State = platform::consoleIsUtf8() ? 1 : 0;
    return utf8State == 1;
}

void setUtf8Output(bool on) { utf8State = on ? 1 : 0; }

std::string toUtf8(std::string_view windows1250) {
    std::string out;
    out.reserve(windows1250.size() + 8);
    for (char ch : windows1250) {
        auto b = static_cast<unsigned char>(ch);
        char32_t cp = b < 0x80 ? b : kWindows1250[b - 0x80];
        if (cp == 0 && b != 0) cp = 0xFFFD;
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

void print(const char* format, ...) {
    progress::hide();
    va_list args;
    va_start(args, format);
    // Only the format is the program's own text, so only the format is transcoded: the
    // conversions stay ASCII and their arguments pass through unchanged.
    if (!utf8Output() || isAscii(format)) {
        std::vfprintf(stdout, format, args);
    } else {
        std::string utf8 = toUtf8(format);
        std::vfprintf(stdout, utf8.c_str(), args);
    }
    va_end(args);
}

void message(std::string_view text) {
    progress::hide();
    if (utf8Output()) {
        std::string utf8 = toUtf8(text);
        std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    } else {
        std::fwrite(text.data(), 1, text.size(), stdout);
    }
}

void text(std::string_view text) {
    progress::hide();
    std::fwrite(text.data(), 1, text.size(), stdout);
}

void put(char c) {
    progress::hide();
    std::fputc(static_cast<unsigned char>(c), stdout);
}

void flush() { std::fflush(stdout); }

void waitForKey() {
    flush();
    platform::waitKey();
}

}  // namespace kivo::interpreter::console
