#pragma once
#include "interpreter/command.h"

namespace kivo::filetools {

/// The file tools' rows of the command table.
interpreter::CommandTable fileCommands();

}  // namespace kivo::filetools
