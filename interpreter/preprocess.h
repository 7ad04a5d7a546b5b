#pragma once
#include <string>
#include <string_view>

namespace kivo::interpreter {

/// Prepares one script line in place: quotes become blanks, underscore runs outside quotes
/// go, "//" cuts the line, "/*" cuts it and opens a block comment, a line with "*/" closes
/// the block comment and is skipped. The last character of the line is never examined.
/// Returns -1 when the line is not executed (shorter than 2 characters, a label, a comment),
/// else the length of the prepared text.
int preprocessLine(std::string& line, bool& inBlockComment);

/// The prepared line split like "%s %[^\n]": the first word and the text after the blanks
/// that follow it. False when the line holds no word.
bool splitLine(std::string_view prepared, std::string_view& keyword, std::string_view& argumentText);

}  // namespace kivo::interpreter
