#include "board/board_commands.h"

namespace kivo::board {

using interpreter::Command;
using interpreter::Match;

namespace {

constexpr Command kBoardCommands[] = {
    {"ver", Match::Exact, runVer},
    {"eppmode", Match::Exact, runEppmode},
    {"vhdlsim", Match::Exact, runVhdlsim},
    {"reset", Match::Exact, runReset},
    {"sleep", Match::Exact, runSleep},
    {"exit", Match::Exact, runExit},
    {"writebyte", Match::Exact, runWritebyte},
    {"readbyte", Match::Exact, runReadbyte},
    {"writeblock", Match::Exact, runWriteblock},
    {"readblock", Match::Exact, runReadblock},
    {"waitbit", Match::Prefix, runWaitbit},
    {"i2cwrite", Match::Exact, runI2cwrite},
    {"i2cread", Match::Exact, runI2cread},
};

}  // namespace

interpreter::CommandTable boardCommands() { return kBoardCommands; }

}  // namespace kivo::board
