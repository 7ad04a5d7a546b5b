#pragma once
#include "interpreter/command.h"

// Handlers of the commands the interpreter core carries out itself.
namespace kivo::interpreter {

void runBaseadr(Run& run, const Line& line);
void runFileappend(Run& run, const Line& line);
void runPrint(Run& run, const Line& line);
void runWaitforkey(Run& run, const Line& line);
void runRun(Run& run, const Line& line);

void runStat(Run& run, const Line& line);

void runGoto(Run& run, const Line& line);
void runGoCompare(Run& run, const Line& line);
void runGobit(Run& run, const Line& line);
void runLoop(Run& run, const Line& line);

}  // namespace kivo::interpreter
