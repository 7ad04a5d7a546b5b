// Feeds arbitrary bytes to the interpreter as a script: line preparation, splitting,
// dispatch and every command's argument parsing. Commands that wait or start programs are
// left out (adc among them: its wave may run without end), and every input gets a budget
// of lines so that a jump loop ends.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_table.h"
#include "interpreter/errors.h"
#include "interpreter/runner.h"
#include "interpreter/script.h"

using namespace kivo::interpreter;

namespace {

bool waits(std::string_view keyword) {
    for (std::string_view word :
         {"run", "sleep", "waitforkey", "waitbit", "ver", "config", "ifconfig", "readblock", "la", "adc"})
        if (keyword.substr(0, word.size()) == word) return true;
    return false;
}

std::vector<Command> fuzzTable() {
    std::vector<Command> table;
    for (const Command& c : kivo::app::allCommands())
        if (!waits(c.keyword)) table.push_back(c);
    return table;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Work in a scratch directory, on the virtual board, with the output thrown away.
    char dir[] = "/tmp/kivo-fuzz-XXXXXX";
    if (!mkdtemp(dir) || chdir(dir) != 0) std::abort();
    setenv("KIVO_PORT", "virtual", 1);
    int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<Command> table = fuzzTable();
    static const Dispatcher dispatcher(table);
    Interpreter state;
    Script script;
    script.openText(std::string(reinterpret_cast<const char*>(data), size));
    Run run(state, script);
    std::string line;
    std::string_view read;
    std::size_t rawLength;
    int budget = 2000;
    try {
        while (budget-- > 0 && script.readLine(read, rawLength)) {
            if (rawLength > kMaxLineLength) fail(Fail::BadInstruction, read.substr(0, kMaxLineLength));
            line.assign(read);
            runLine(run, dispatcher, line);
            if (run.endRun || script.atEnd()) break;
        }
    } catch (const ScriptFailure&) {
    } catch (const ScriptExit&) {
    }
    return 0;
}
