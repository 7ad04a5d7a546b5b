#pragma once
#include "interpreter/command.h"

namespace kivo::fpga {

/// The FPGA configuration rows of the command table.
interpreter::CommandTable fpgaCommands();

}  // namespace kivo::fpga
