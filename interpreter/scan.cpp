#include "interpreter/scan.h"

#include <cstddef>

namespace kivo::interpreter {
namespace {

int digitValue(char c, int base) {
    int v;
    if (c >= '0' && c <= '9')
        v = c - '0';
    else if (c >= 'a' && c <= 'f')
        v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        v = c - 'A' + 10;
    else
        return -1;
    return v < base ? v : -1;
}

// One number at text[pos...]: optional sign, for base 16 an optional 0x, then digits.
// False when no digit follows; the value wraps modulo 2^32.
bool readNumber(std::string_view text, std::size_t& pos, int base, std::uint32_t& value) {
    std::size_t p = pos;
    bool negative = false;
    if (p < text.size() && (text[p] == '+' || text[p] == '-')) negative = text[p++] == '-';
    if (base == 16 && p + 1 < text.size() && text[p] == '0' && (text[p + 1] == 'x' || text[p + 1] == 'X') &&
        p + 2 < text.size() && digitValue(text[p + 2], 16) >= 0)
        p += 2;
    std::uint32_t v = 0;
    std::size_t start = p;
    for (int d; p < text.size() && (d = digitValue(text[p], base)) >= 0; ++p)
        v = v * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(d);
    if (p == start) return false;
    value = negative ? 0u - v : v;
    pos = p;
    return true;
}

}  // namespace

int scan(std::string_view text, std::string_view format, std::initializer_list<ScanTarget> targets) {
    return scan(text, format, std::span<const ScanTarget>(targets.begin(), targets.size()));
}

int scan(std::string_view text, std::string_view format, std::span<const ScanTarget> targets) {
    auto target = targets.begin();
    std::size_t pos = 0;
    int stored = 0;
    for (std::size_t f = 0; f < format.size(); ++f) {
        char fc = format[f];
        if (isBlank(fc)) {
            while (pos < text.size() && isBlank(text[pos])) ++pos;
            continue;
        }
        if (fc != '%' || f + 1 >= format.size() || target == targets.end()) break;
        char conversion = format[++f];
        while (pos < text.size() && isBlank(text[pos])) ++pos;
        if (pos >= text.size()) return stored == 0 ? -1 : stored;
        if (conversion == 's') {
            std::size_t end = pos;
            while (end < text.size() && !isBlank(text[end])) ++end;
            if (auto* s = std::get_if<std::string*>(&*target)) (*s)->assign(text.substr(pos, end - pos));
            pos = end;
        } else {
            std::uint32_t value;
            if (!readNumber(text, pos, conversion == 'd' ? 10 : 16, value)) return stored;
            if (auto* u = std::get_if<std::uint32_t*>(&*target))
                **u = value;
            else if (auto* i = std::get_if<std::int32_t*>(&*target))
                **i = static_cast<std::int32_t>(value);
        }
        ++stored;
        ++target;
    }
    return stored;
}

}  // namespace kivo::interpreter
