#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace kivo::interpreter {

/// Splits a command line into the program and its arguments the way Windows programs split
/// theirs: the program word ends at the next blank, or at the closing quote when it starts
/// with one (no backslash rules there); in the other words blanks outside quotes separate,
/// 2n backslashes before a quote give n and the quote opens or closes quoting, 2n+1 give n
/// and a literal quote, other backslashes are literal, and "" inside quotes is one quote.
std::vector<std::string> splitCommandLine(std::string_view commandLine);

}  // namespace kivo::interpreter
