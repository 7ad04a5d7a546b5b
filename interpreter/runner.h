#pragma once
#include <optional>
#include <string>

#include "interpreter/command.h"
#include "interpreter/dispatcher.h"

namespace kivo::interpreter {

/// Longest line the interpreter accepts, and longest word or argument text.
inline constexpr std::size_t kMaxLineLength = 1023;
inline constexpr std::size_t kMaxWordLength = 259;

/// A line refused before any command sees it: the program's own text printed first, then the
/// failure.
struct EarlyRefusal {
    std::string notice;
    ScriptFailure failure;
};
/// A line read from the script that is longer than kMaxLineLength (`rawLength` counts past a
/// NUL byte, `line` is cut there).
std::optional<EarlyRefusal> refuseLongLine(std::size_t rawLength, std::string_view line);
/// A split line whose word or argument text is longer than kMaxWordLength.
std::optional<EarlyRefusal> refuseLongWords(std::string_view keyword, std::string_view argumentText,
                                            std::string_view prepared);

/// Prepares, splits and dispatches one line read from the script.
void runLine(Run& run, const Dispatcher& dispatcher, std::string& line);

/// Called with every run before its first line: what must be in place from the start (the
/// simulation trace under KIVO_PORT=sim). nullptr for nothing.
void setRunStart(void (*start)(Run& run));

/// Executes the script at `path` from its first line to its end, or until a command ends the
/// run. A script that cannot be opened prints the usage text and fails with code 0.
void runScript(Interpreter& state, const std::string& path, CommandTable table);

/// Exit code of a run that SIGTERM stopped between two lines (128 + the signal, as a shell
/// reports a process the signal ended).
inline constexpr int kStoppedExitCode = 143;

/// The whole program: banner, run, end prompt, and the ends of a run. Returns the exit code
/// (-1 after a fatal error).
int runMain(int argc, char** argv, CommandTable table);

}  // namespace kivo::interpreter
