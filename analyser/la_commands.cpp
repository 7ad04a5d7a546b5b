#include "analyser/la_commands.h"

#include "analyser/logic_analyser.h"
#include "board/epp_port.h"
#include "interpreter/console.h"

namespace kivo::analyser {

using namespace interpreter;

namespace {

// The subcommand and its arguments are read by the analyser itself.
void runLa(Run& run, const Line& line) {
    console::print("\tla_%.*s ", static_cast<int>(line.suffix.size()), line.suffix.data());
    LogicAnalyser(board::transport(run), run.state, run.local<LaState>()).run(line.suffix, line.arguments);
}

const Command kLaCommands[] = {
    {"la", Match::Prefix, runLa, {}, LogicAnalyser::subcommandWords, false, LogicAnalyser::subcommandSyntax},
};

}  // namespace

CommandTable laCommands() { return kLaCommands; }

}  // namespace kivo::analyser
