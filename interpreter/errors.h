#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kivo::interpreter {

/// The failure codes of the run; each prints its own message before the closing text.
enum class Fail : int {
    Message = 0,         ///< the caller printed or prepared its own message (the text, when given)
    FileOpen = 1,        ///< a file cannot be opened or read: the text is the file name
    OutOfMemory = 2,     ///< a buffer cannot be allocated
    BadInstruction = 3,  ///< a command or its arguments are wrong: the text, when given, is the line
    CpldAddress = 4,     ///< configuration reads a wrong address back from the board's CPLD
    BaseAddress = 6,     ///< a device's base address is unset or misaligned
    StatusIndex = 13,    ///< a status memory index above 255
    AdcParameters = 20,  ///< the arguments of an ADC command do not parse (the text is never printed)
};

/// A fatal error of the run: thrown by `fail`, caught once in main, which prints the code's
/// message and the closing text, waits for a key and ends with exit code -1.
struct ScriptFailure {
    int code = 0;                     ///< a Fail value, or a code no message belongs to
    std::optional<std::string> text;  ///< none: the code's message is printed without a text
    bool ownText = false;             ///< the text is the program's own Windows-1250 message
    std::size_t line = 0;             ///< the script line the run stopped at; 0 when none was read
};

/// Thrown between two lines when the system asked kivo to stop (SIGTERM): the run ends as at
/// the end of the script, with the transport closed, and the exit code tells it was stopped.
struct ScriptStopped {};

/// Thrown by the exit command: the run ends at once with exit code 0, without the end prompt.
struct ScriptExit {};

/// Ends the run with `code` and no text.
[[noreturn]] void fail(Fail code);
/// Ends the run with `code` and a text taken from the script or a file (printed unchanged).
[[noreturn]] void fail(Fail code, std::string_view text);
/// Ends the run with `code` and one of the program's own messages (Windows-1250).
[[noreturn]] void failMessage(Fail code, std::string_view message);

/// Prints what `fail` promised for `failure`: the code's message and the closing text.
void printFailure(const ScriptFailure& failure);

/// The bytes printFailure prints before its closing text (Windows-1250, as on a console that
/// is not UTF-8): what a script checker reports for a line kivo refuses.
std::string failureText(const ScriptFailure& failure);

}  // namespace kivo::interpreter
