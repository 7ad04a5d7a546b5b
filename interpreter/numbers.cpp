#include "interpreter/numbers.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>

#include "interpreter/console.h"

namespace kivo::interpreter {

std::string groupedHex(std::uint32_t value) {
    char buffer[16];
    if (value <= 0xFFFF)
        std::snprintf(buffer, sizeof buffer, "%X", value);
    else
        std::snprintf(buffer, sizeof buffer, "%X_%04X", value >> 16, value & 0xFFFF);
    return buffer;
}

void printGroupedHex(std::uint32_t value) { console::text(groupedHex(value)); }

std::string hexBytes(const std::uint8_t* bytes, std::size_t count, bool textOrder) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(count * 3);
    auto put = [&](std::uint8_t b) {
        out += kDigits[b >> 4];
        out += kDigits[b & 0xF];
    };
    if (textOrder) {
        for (std::size_t i = 0; i < count; ++i) {
            put(bytes[i]);
            if (i + 1 == count) break;
            if (i == 7)
                out += "__";
            else if (i % 2 == 1)
                out += '_';
        }
    } else {
        for (std::size_t i = count; i-- > 0;) {
            put(bytes[i]);
            if (i > 0 && i % 2 == 0) out += '_';
        }
    }
    return out;
}

void printHexBytes(const std::uint8_t* bytes, std::size_t count, bool textOrder) {
    console::text(hexBytes(bytes, count, textOrder));
}

namespace {
int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
}  // namespace

int parseHexBytes(const char* text, std::uint8_t bytes[8], bool textOrder) {
    int digits = 0;
    while (digits < 16 && text[digits] != '\0' && hexDigit(text[digits]) >= 0) ++digits;
    int count = 0;
    // Pairs are taken from the last digit backwards: the first of a pair is the low nibble.
    for (int i = digits - 1; i >= 0; i -= 2) {
        int low = hexDigit(text[i]);
        int high = i >= 1 ? hexDigit(text[i - 1]) : 0;
        bytes[count++] = static_cast<std::uint8_t>((high << 4) | low);
    }
    if (textOrder) std::reverse(bytes, bytes + count);
    return count;
}

int lowestSetBit(std::uint32_t value) { return std::countr_zero(value); }

void swapSampleBytes(std::uint8_t* buffer, std::size_t length, int bitWidth) {
    if (bitWidth <= 8) return;
    // Whole-file conversions run through here: work on eight bytes at a time.
    std::size_t i = 0;
    if (bitWidth <= 16) {
        for (; i + 8 <= length; i += 8) {
            std::uint64_t x;
            std::memcpy(&x, buffer + i, 8);
            x = ((x & 0x00FF00FF00FF00FFull) << 8) | ((x >> 8) & 0x00FF00FF00FF00FFull);
            std::memcpy(buffer + i, &x, 8);
        }
        for (; i + 1 < length; i += 2) std::swap(buffer[i], buffer[i + 1]);
        return;
    }
    for (; i + 4 <= length; i += 4) {
        std::uint32_t x;
        std::memcpy(&x, buffer + i, 4);
        x = (x >> 24) | ((x >> 8) & 0xFF00u) | ((x << 8) & 0xFF0000u) | (x << 24);
        std::memcpy(buffer + i, &x, 4);
    }
}

}  // namespace kivo::interpreter
