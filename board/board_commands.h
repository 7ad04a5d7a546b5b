#pragma once
#include "interpreter/command.h"

namespace kivo::board {

/// The board group's rows of the command table.
interpreter::CommandTable boardCommands();

/// Run start: under KIVO_PORT=sim the run is in simulation mode before its first line.
void startRun(interpreter::Run& run);

// Link commands (link_commands.cpp).
void runVer(interpreter::Run& run, const interpreter::Line& line);
void runEppmode(interpreter::Run& run, const interpreter::Line& line);
void runVhdlsim(interpreter::Run& run, const interpreter::Line& line);
void runReset(interpreter::Run& run, const interpreter::Line& line);
void runSleep(interpreter::Run& run, const interpreter::Line& line);
void runExit(interpreter::Run& run, const interpreter::Line& line);

// Memory access commands (memory_commands.cpp).
void runWritebyte(interpreter::Run& run, const interpreter::Line& line);
void runReadbyte(interpreter::Run& run, const interpreter::Line& line);
void runWriteblock(interpreter::Run& run, const interpreter::Line& line);
void runReadblock(interpreter::Run& run, const interpreter::Line& line);

// Bit waits and I2C (wait_commands.cpp).
void runWaitbit(interpreter::Run& run, const interpreter::Line& line);
void runI2cwrite(interpreter::Run& run, const interpreter::Line& line);
void runI2cread(interpreter::Run& run, const interpreter::Line& line);

}  // namespace kivo::board
