#pragma once
#include "interpreter/command.h"

namespace kivo::analyser {

/// The "la" family's row of the command table.
interpreter::CommandTable laCommands();

}  // namespace kivo::analyser
