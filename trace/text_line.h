#pragma once
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace kivo::trace {

/// One output line built by hand: the tools print millions of lines, and formatted printing
/// would cost more than reading the trace.
class TextLine {
public:
    TextLine& text(const char* s) {
        const std::size_t n = std::strlen(s);
        std::memcpy(end_, s, n);
        end_ += n;
        return *this;
    }
    /// Blanks up to `column`, counted from the start of the line.
    TextLine& pad(std::size_t column) {
        while (size() < column) *end_++ = ' ';
        return *this;
    }
    std::size_t size() const { return static_cast<std::size_t>(end_ - buffer_); }
    TextLine& hex2(std::uint8_t v) {
        *end_++ = kDigits[v >> 4];
        *end_++ = kDigits[v & 15];
        return *this;
    }
    /// Eight digits with "_" between the 16-bit halves: 0000_0345.
    TextLine& address(std::uint32_t a) {
        for (int shift = 28; shift >= 0; shift -= 4) {
            *end_++ = kDigits[(a >> shift) & 15];
            if (shift == 16) *end_++ = '_';
        }
        return *this;
    }
    /// Decimal, right-aligned in `width` columns.
    TextLine& number(std::uint64_t v, int width = 0) {
        char digits[24];
        int n = 0;
        do {
            digits[n++] = static_cast<char>('0' + v % 10);
            v /= 10;
        } while (v != 0);
        for (int i = n; i < width; ++i) *end_++ = ' ';
        while (n > 0) *end_++ = digits[--n];
        return *this;
    }
    void put(std::FILE* out) {
        *end_++ = '\n';
        std::fwrite(buffer_, 1, static_cast<std::size_t>(end_ - buffer_), out);
        end_ = buffer_;
    }

private:
    static constexpr char kDigits[] = "0123456789ABCDEF";
    char buffer_[256];
    char* end_ = buffer_;
};

}  // namespace kivo::trace
