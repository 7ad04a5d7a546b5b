#pragma once
#include "interpreter/command.h"

namespace kivo::adc {

/// The "adc" family's row of the command table.
interpreter::CommandTable adcCommands();

}  // namespace kivo::adc
