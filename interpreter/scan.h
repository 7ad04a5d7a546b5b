#pragma once
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace kivo::interpreter {

/// Where one scanned field goes.
using ScanTarget = std::variant<std::string*, std::uint32_t*, std::int32_t*>;

/// Reads `text` the way sscanf reads it with a format made of %s, %x, %X, %d and blanks:
/// every field skips leading blanks; %x takes an optional sign and 0x prefix, %d an optional
/// sign; numbers wrap modulo 2^32; %s takes one word. A target keeps its value when its field
/// is not read. Returns the number of fields stored, or -1 when the text ends before the first
/// field (what sscanf returns as EOF).
int scan(std::string_view text, std::string_view format, std::initializer_list<ScanTarget> targets);
int scan(std::string_view text, std::string_view format, std::span<const ScanTarget> targets);

/// True for the bytes sscanf skips as white space: blank, \t, \n, \v, \f, \r.
constexpr bool isBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

}  // namespace kivo::interpreter
