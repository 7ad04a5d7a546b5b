#pragma once
#include <string_view>

#include "interpreter/command.h"

// Handlers of the commands the interpreter core carries out itself.
namespace kivo::interpreter {

void runBaseadr(Run& run, const Line& line);
void runFileappend(Run& run, const Line& line);
void runPrint(Run& run, const Line& line);
void runWaitforkey(Run& run, const Line& line);
void runRun(Run& run, const Line& line);
/// The run command for `commandLine`, echo line included: starts the program and waits for it;
/// a program that cannot be started ends the run (fail code 0).
void runProgram(Run& run, std::string_view commandLine);

void runStat(Run& run, const Line& line);

void runGoto(Run& run, const Line& line);
void runGoCompare(Run& run, const Line& line);
void runGobit(Run& run, const Line& line);
void runLoop(Run& run, const Line& line);

}  // namespace kivo::interpreter
