#include "board/board_commands.h"

namespace kivo::board {

using interpreter::Command;
using interpreter::fields;
using interpreter::kAnyFieldCount;
using interpreter::Match;
using interpreter::Refusal;

namespace {

// writeblock takes any number of fields, but a word that is not read as its field is refused.
constexpr interpreter::Syntax kWriteblock{"%s %x %x", kAnyFieldCount, Refusal::WithLine, true};

// The subaddress is at most 80, the data byte at most FF.
constexpr interpreter::Syntax kI2cwrite{"%x %x", fields(2, 2), Refusal::WithLine, false, false, {}, {0x80, 0xFF}};
constexpr interpreter::Syntax kI2cread{"%x", fields(1, 1), Refusal::WithLine, false, false, {}, {0x80, 0}};

const Command kBoardCommands[] = {
    {"ver", Match::Exact, runVer},
    {"eppmode", Match::Exact, runEppmode, {"%x"}},
    {"vhdlsim", Match::Exact, runVhdlsim},
    {"reset", Match::Exact, runReset},
    {"sleep", Match::Exact, runSleep, {"%d", fields(1, 1), Refusal::WithLine}},
    {"exit", Match::Exact, runExit},
    {"writebyte", Match::Exact, runWritebyte, {"%x %s", fields(2, 2), Refusal::WithLine}},
    {"readbyte", Match::Exact, runReadbyte, {"%x %x", fields(1, 2), Refusal::NoText}},
    {"writeblock", Match::Exact, runWriteblock, kWriteblock},
    {"readblock", Match::Exact, runReadblock, {"%s %x %x", fields(3, 3), Refusal::WithLine}},
    // The echo line comes before the refusal.
    {"waitbit", Match::Prefix, runWaitbit, {"%X %X %d", fields(2, 3), Refusal::NoText}},
    {"i2cwrite", Match::Exact, runI2cwrite, kI2cwrite},
    {"i2cread", Match::Exact, runI2cread, kI2cread},
};

}  // namespace

interpreter::CommandTable boardCommands() { return kBoardCommands; }

}  // namespace kivo::board
