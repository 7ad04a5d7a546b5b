#include "adc/adc_commands.h"
#include "interpreter/console.h"

namespace kivo::adc {

using namespace interpreter;

namespace {

// The subcommand and its arguments are read by the ADC controller itself.
void runAdc(Run&, const Line& line) {
    console::print("\tadc_%.*s ", static_cast<int>(line.suffix.size()), line.suffix.data());
    notAvailable(line);
}

constexpr Command kAdcCommands[] = {
    {"adc", Match::Prefix, runAdc},
};

}  // namespace

CommandTable adcCommands() { return kAdcCommands; }

}  // namespace kivo::adc
