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
/// The stat operators: "?" takes no value, the others one hexadecimal value.
Syntax statSyntax(std::string_view op);
/// go<, go= and go>; any other character is refused with the line (after the echo).
Syntax goSyntax(std::string_view how);

void runGoto(Run& run, const Line& line);
void runGoCompare(Run& run, const Line& line);
void runGobit(Run& run, const Line& line);
void runLoop(Run& run, const Line& line);

}  // namespace kivo::interpreter
