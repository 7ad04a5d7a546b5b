#include "interpreter/command_table.h"

#include <vector>

#include "adc/adc_commands.h"
#include "analyser/la_commands.h"
#include "board/board_commands.h"
#include "filetools/file_commands.h"
#include "fpga/fpga_commands.h"
#include "interpreter/dispatcher.h"

namespace kivo::interpreter {

CommandTable allCommands() {
    static const std::vector<Command> table = [] {
        std::vector<Command> all;
        for (CommandTable group : {
                 coreCommands(),
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

}  // namespace kivo::interpreter
