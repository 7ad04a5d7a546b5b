#include <string>

#include "fpga/fpga_commands.h"
#include "interpreter/scan.h"

namespace kivo::fpga {

using namespace interpreter;

namespace {

void runConfig(Run&, const Line& line) {
    std::string name;
    std::int32_t chunk = 256;
    requireFields(scan(line.arguments, "%s %d", {&name, &chunk}), 1, 2, line);
    if (chunk < 1) chunk = 256;
    notAvailable(line);
}

// ifconfig reads its arguments only after the board probe, inside its handler.
void runIfconfig(Run&, const Line& line) { notAvailable(line); }

constexpr Command kFpgaCommands[] = {
    {"config", Match::Exact, runConfig},
    {"ifconfig", Match::Exact, runIfconfig},
};

}  // namespace

CommandTable fpgaCommands() { return kFpgaCommands; }

}  // namespace kivo::fpga
