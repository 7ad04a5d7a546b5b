#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace kivo::interpreter {

/// A fatal error of the run: thrown by `fail`, caught once in main, which prints the code's
/// message and the closing text, waits for a key and ends with exit code -1.
struct ScriptFailure {
    int code = 0;
    std::optional<std::string> text;  ///< none: the code's message is printed without a text
    bool ownText = false;             ///< the text is the program's own Windows-1250 message
};

/// Thrown by the exit command: the run ends at once with exit code 0, without the end prompt.
struct ScriptExit {};

/// Ends the run with `code` and no text.
[[noreturn]] void fail(int code);
/// Ends the run with `code` and a text taken from the script or a file (printed unchanged).
[[noreturn]] void fail(int code, std::string_view text);
/// Ends the run with `code` and one of the program's own messages (Windows-1250).
[[noreturn]] void failMessage(int code, std::string_view message);

/// Prints what `fail` promised for `failure`: the code's message and the closing text.
void printFailure(const ScriptFailure& failure);

}  // namespace kivo::interpreter
