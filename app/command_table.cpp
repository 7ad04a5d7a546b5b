#include "app/command_table.h"

#include <vector>

#include "adc/adc_commands.h"
#include "analyser/la_commands.h"
#include "board/board_commands.h"
#include "emulator/virtual_port.h"
#include "filetools/file_commands.h"
#include "fpga/fpga_commands.h"
#include "interpreter/dispatcher.h"
#include "port/port_registry.h"

namespace kivo::app {

using interpreter::Command;
using interpreter::CommandTable;

CommandTable allCommands() {
    static const std::vector<Command> table = [] {
        std::vector<Command> all;
        for (CommandTable group : {
                 interpreter::coreCommands(),
                 board::boardCommands(),
                 filetools::fileCommands(),
                 fpga::fpgaCommands(),
                 analyser::laCommands(),
                 adc::adcCommands(),
             })
            all.insert(all.end(), group.begin(), group.end());
        return all;
    }();
    return table;
}

void addPortBackends() {
    static const bool added = [] {
        port::addPortKind({"virtual", "virtual[:PLYTA][,USTERKA...]", port::PortArgument::Optional, true,
                           [](std::string_view board, std::string& error) {
                               return emulator::makeVirtualPort(board, error);
                           }});
        return true;
    }();
    (void)added;
}

}  // namespace kivo::app
