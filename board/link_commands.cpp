#include "board/board_commands.h"
#include "interpreter/scan.h"

namespace kivo::board {

using namespace interpreter;

void runVer(Run&, const Line& line) { notAvailable(line); }

void runEppmode(Run&, const Line& line) {
    std::int32_t mode = -1;  // no argument: show the current mode
    scan(line.arguments, "%x", {&mode});
    notAvailable(line);
}

void runVhdlsim(Run&, const Line& line) { notAvailable(line); }

void runReset(Run&, const Line& line) { notAvailable(line); }

void runSleep(Run&, const Line& line) {
    std::int32_t milliseconds = 0;
    requireFields(scan(line.arguments, "%d", {&milliseconds}), 1, 1, line);
    notAvailable(line);
}

}  // namespace kivo::board
