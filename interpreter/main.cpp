#include "interpreter/command_table.h"
#include "interpreter/runner.h"

int main(int argc, char** argv) {
    return kivo::interpreter::runMain(argc, argv, kivo::interpreter::allCommands());
}
