#include "app/command_table.h"
#include "board/board_commands.h"
#include "interpreter/runner.h"

int main(int argc, char** argv) {
    kivo::app::addPortBackends();
    kivo::interpreter::setRunStart(kivo::board::startRun);
    return kivo::interpreter::runMain(argc, argv, kivo::app::allCommands());
}
