#include "fpga/fpga_commands.h"

#include <string>

#include "board/epp_port.h"
#include "fpga/fpga_config.h"
#include "interpreter/scan.h"

namespace kivo::fpga {

using namespace interpreter;

namespace {

void runConfig(Run& run, const Line& line) {
    std::string name;
    std::int32_t chunk = kDefaultChunk;
    readArguments(line, {&name, &chunk});
    if (chunk < 1) chunk = kDefaultChunk;
    config(run, board::transport(run), name, chunk);
}

// ifconfig reads its arguments only after the board probe, inside its handler.
void runIfconfig(Run& run, const Line& line) { ifconfig(run, board::transport(run), line); }

const Command kFpgaCommands[] = {
    {"config", Match::Exact, runConfig, kConfigSyntax},
    {"ifconfig", Match::Exact, runIfconfig, kConfigSyntax},
};

}  // namespace

CommandTable fpgaCommands() { return kFpgaCommands; }

}  // namespace kivo::fpga
