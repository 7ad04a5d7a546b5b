#pragma once
#include "interpreter/command.h"

// The composition root: the only place that knows every command group and every port backend.
namespace kivo::app {

/// Every command of the language: the core's and every group's.
interpreter::CommandTable allCommands();

/// Adds the port backends that live outside the port layer (the virtual board) to the
/// KIVO_PORT registry. Idempotent; main calls it before the run, tests before they open ports.
void addPortBackends();

}  // namespace kivo::app
