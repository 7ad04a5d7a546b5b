// Record mode against the virtual board: what a recording keeps and leaves out, and that it is
// closed once.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "board/epp_port.h"
#include "emulator/board_model.h"
#include "interpreter/console.h"
#include "tests/unit/temp_files.h"
#include "tests/unit/capture_stdout.h"

namespace kivo::board {
namespace {

using Bytes = std::string;

class RecordLinkTest : public testing::TempFiles {
protected:
    void SetUp() override {
        TempFiles::SetUp();
        interpreter::console::setUtf8Output(false);
    }
    emulator::BoardModel board{emulator::BoardKind::Xsv300};
};

TEST_F(RecordLinkTest, KeepsDataCyclesPausesAndOneRecordPerBitWait) {
    {
        EppPort port(board, board);
        port.startRecording(path("rec"));
        port.writeByte(0x345, 0xAB);
        port.readByte(0x345);
        // The pause is clamped as in simulation, silently; the board lines leave no record.
        port.recordPause(-1);
        port.recordPause(0);
        port.readAddressRegister();
        port.setProgramN(1);
        {
            const EppPort::Unrecorded configuration(port);
            const std::uint8_t stream[2] = {1, 2};
            port.writeData(stream, 2);
        }
        testing::CaptureStdout display;
        EXPECT_TRUE(port.waitForBit(1, 0x80, 0x345, 10));
        port.close();
        port.writeByte(0x345, 0xCD);
    }
    EXPECT_EQ(get("rec/kivo.tst"), Bytes("\x01\x45\x01\x03\x01\x00\x01\x00\x02\xAB"
                                         "\x01\x45\x01\x03\x01\x00\x01\x00\x03"
                                         "\x0A\xFF\x0A\x00"
                                         "\x0B\x01\x45\x03\x00\x00\x80"
                                         "\xFF\xFF\xFF\xFF",
                                         34));
    EXPECT_EQ(get("rec/kivo.out"), "\xAB");
}

}  // namespace
}  // namespace kivo::board
