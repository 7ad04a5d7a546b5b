#include "app/command_table.h"
#include "interpreter/runner.h"

int main(int argc, char** argv) {
    kivo::app::addPortBackends();
    return kivo::interpreter::runMain(argc, argv, kivo::app::allCommands());
}
