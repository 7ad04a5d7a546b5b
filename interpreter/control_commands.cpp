#include <string>

#include "interpreter/console.h"
#include "interpreter/core_commands.h"
#include "interpreter/dispatcher.h"
#include "interpreter/errors.h"
#include "interpreter/numbers.h"
#include "interpreter/platform.h"
#include "interpreter/scan.h"
#include "interpreter/script.h"

namespace kivo::interpreter {

void runBaseadr(Run& run, const Line& line) {
    console::print("\tbaseadr= ");
    readArguments(line, {&run.state.baseadr});
    printGroupedHex(run.state.baseadr);
    console::put('\n');
}

void runFileappend(Run& run, const Line& line) {
    std::int32_t flag = 0;
    readArguments(line, {&flag});
    run.state.fileappend = flag != 0 ? 1 : 0;
    console::print("\tfileappend= %d\n", flag);
}

void runPrint(Run&, const Line& line) {
    console::text(line.arguments);
    console::put('\n');
}

void runWaitforkey(Run&, const Line&) {
    console::print("waitforkey. Nacisnij dowolny klawisz\n");
    console::waitForKey();
}

void runRun(Run& run, const Line& line) { runProgram(run, line.arguments); }

void runProgram(Run& run, std::string_view arguments) {
    const std::string commandLine(arguments);
    console::print("\trun %s\n", commandLine.c_str());
    console::flush();  // the program shares the console: what we printed must come first
    if (!platform::runCommandLine(commandLine)) {
        console::print("Blad podczas wykonywania instrukcji: %s\n", commandLine.c_str());
        fail(Fail::Message);
    }
    run.script.checkForChanges();
}

namespace {

constexpr Syntax kValueAndLabel{"%x %s", fields(2, 2), Refusal::WithLine};

const Command kCoreCommands[] = {
    {"baseadr", Match::Exact, runBaseadr, {"%x", fields(1, 1), Refusal::NoText}},
    {"fileappend", Match::Exact, runFileappend, {"%d", fields(1, 1), Refusal::WithLine}},
    {"print", Match::Exact, runPrint},
    {"waitforkey", Match::Exact, runWaitforkey},
    {"run", Match::Exact, runRun},
    {"goto", Match::Exact, runGoto, {}, nullptr, true},
    {"loop", Match::Exact, runLoop, kValueAndLabel},
    {"stat", Match::Prefix, runStat, {}, nullptr, false, statSyntax},
    {"gobit", Match::Prefix, runGobit, kValueAndLabel},
    {"go", Match::Prefix, runGoCompare, {}, nullptr, false, goSyntax},
};

}  // namespace

CommandTable coreCommands() { return kCoreCommands; }

}  // namespace kivo::interpreter
