#pragma once
#include <string>

#include "interpreter/command.h"
#include "interpreter/dispatcher.h"

namespace kivo::interpreter {

/// Longest line the interpreter accepts, and longest word or argument text.
inline constexpr std::size_t kMaxLineLength = 1023;
inline constexpr std::size_t kMaxWordLength = 259;

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
