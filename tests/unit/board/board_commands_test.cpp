// Board commands run in-process: the run hands them the transport it was given.
#include <gtest/gtest.h>

#include <string>

#include "board/board_commands.h"
#include "board/epp_port.h"
#include "emulator/board_model.h"
#include "interpreter/console.h"
#include "interpreter/runner.h"
#include "interpreter/script.h"
#include "tests/unit/capture_stdout.h"

namespace kivo::board {
namespace {

TEST(BoardCommands, MemoryRoundTripOverTheTransportTheRunWasGiven) {
    interpreter::console::setUtf8Output(false);
    emulator::BoardModel board(emulator::BoardKind::Xsv300);
    EppPort port(board, board);
    interpreter::Interpreter state;
    interpreter::Script script;
    interpreter::Run run(state, script);
    run.provide(port);
    const interpreter::Dispatcher dispatcher(boardCommands());

    testing::CaptureStdout capture;
    for (std::string line : {"writebyte 1000 A5C3", "readbyte 1000 1001"})
        interpreter::runLine(run, dispatcher, line);
    const std::string printed = capture.text();

    EXPECT_EQ(state.stat, 0xA5C3u);
    EXPECT_FALSE(port.probePending());  // the commands used this transport, not one of their own
    EXPECT_NE(printed.find("readbyte"), std::string::npos) << printed;
}

}  // namespace
}  // namespace kivo::board
