#pragma once
#include "interpreter/command.h"

namespace kivo::interpreter {

/// Every command of the language: the core's and every group's.
CommandTable allCommands();

}  // namespace kivo::interpreter
