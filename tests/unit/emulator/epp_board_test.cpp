#include <gtest/gtest.h>

#include "emulator/board_model.h"
#include "tests/unit/emulator/port_sequences.h"

namespace kivo::emulator {
namespace {

using namespace wire;

class EppBoardTest : public ::testing::Test {
protected:
    BoardModel board{BoardKind::Xsv300};
};

TEST_F(EppBoardTest, HardwareCyclesMoveBytesThroughConsecutiveAddresses) {
    const Bytes data = pattern(300);
    hwSetAddress(board, 0x12345678);
    EXPECT_EQ(board.currentAddress(), 0x12345678u);
    hwWrite(board, data);
    EXPECT_EQ(board.currentAddress(), 0x12345678u + 300);
    for (std::size_t i = 0; i < data.size(); ++i) {
        ASSERT_EQ(board.peek(static_cast<std::uint32_t>(0x12345678 + i)), data[i]) << i;
    }
    hwSetAddress(board, 0x12345678);
    EXPECT_EQ(hwRead(board, 300), data);
    // Single-byte register accesses are cycles too.
    hwSetAddress(board, 0x1234567A);
    EXPECT_EQ(board.readByte(kEppDataPort), data[2]);
    EXPECT_EQ(board.readByte(kEppDataPort), data[3]);
}

TEST_F(EppBoardTest, LongTransfersAreFourByteCyclesInMemoryOrder) {
    hwSetAddress(board, 0x100);
    hwWrite(board, {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88}, true);
    EXPECT_EQ(board.currentAddress(), 0x108u);
    EXPECT_EQ(board.peek(0x100), 0x11);
    EXPECT_EQ(board.peek(0x107), 0x88);
    hwSetAddress(board, 0x102);
    EXPECT_EQ(hwRead(board, 4, true), (Bytes{0x33, 0x44, 0x55, 0x66}));
}

TEST_F(EppBoardTest, AnInterruptedAddressDoesNotShiftTheNextOne) {
    // Two stray address cycles, then a data cycle: the next four cycles still load a whole
    // address, least significant byte first.
    board.writeByte(kEppAddressPort, 0xAA);
    board.writeByte(kEppAddressPort, 0xBB);
    board.readByte(kEppDataPort);
    hwSetAddress(board, 0x00C0FFEE);
    EXPECT_EQ(board.currentAddress(), 0x00C0FFEEu);
    hwSetAddress(board, 0xFEDCBA98);
    EXPECT_EQ(board.currentAddress(), 0xFEDCBA98u);
}

TEST_F(EppBoardTest, HandDrivenCyclesMatchHardwareCycles) {
    const Bytes data = pattern(64, 7);
    swSetAddress(board, 0x00ABCDEF);
    EXPECT_EQ(board.currentAddress(), 0x00ABCDEFu);
    EXPECT_EQ(swWrite(board, data), 0);
    EXPECT_EQ(board.currentAddress(), 0x00ABCDEFu + 64);
    EXPECT_EQ(board.controlValue(), 0x04);

    hwSetAddress(board, 0x00ABCDEF);
    EXPECT_EQ(hwRead(board, 64), data);
    swSetAddress(board, 0x00ABCDEF);
    EXPECT_EQ(swRead(board, 64), data);
    swSetAddress(board, 0x00ABCDEF + 10);
    EXPECT_EQ(swReadByte(board), data[10]);
    EXPECT_EQ(swReadByte(board), data[11]);
}

TEST_F(EppBoardTest, HandDrivenSingleByteWriteWithDirectInstructions) {
    // Without the ready wait: control 07, data, 05, 04.
    swSetAddress(board, 0x40);
    board.writeByte(kControlPort, 0x07);
    board.writeByte(kDataPort, 0x5A);
    board.writeByte(kControlPort, 0x05);
    board.writeByte(kControlPort, 0x04);
    EXPECT_EQ(board.peek(0x40), 0x5A);
    EXPECT_EQ(board.peek(0x41), 0x00);
    EXPECT_EQ(board.currentAddress(), 0x41u);
}

TEST_F(EppBoardTest, DataLinesFloatWhileNoStrobeIsAsserted) {
    board.poke(0, 0x12);
    swSetAddress(board, 0);
    board.writeByte(kControlPort, 0x24);
    EXPECT_EQ(board.readByte(kDataPort), 0xFF);
    // In output mode the chip reads back its own latch.
    board.writeByte(kControlPort, 0x04);
    board.writeByte(kDataPort, 0x3C);
    EXPECT_EQ(board.readByte(kDataPort), 0x3C);
    EXPECT_EQ(board.currentAddress(), 0u);
}

TEST(EppBoardIdentification, AddressRegisterCarriesSignatureMarkerDoneAndInitN) {
    BoardModel xsv300(BoardKind::Xsv300);
    BoardModel xsv800(BoardKind::Xsv800);
    EXPECT_EQ(xsv300.readByte(kEppAddressPort), 0xAB);  // 10 1 0 10 1 1
    EXPECT_EQ(swReadAddressRegister(xsv300), 0xAB);
    EXPECT_EQ(xsv800.readByte(kEppAddressPort), 0x8B);
    EXPECT_EQ(swReadAddressRegister(xsv800), 0x8B);
    xsv800.setDone(false);
    EXPECT_EQ(xsv800.readByte(kEppAddressPort), 0x89);
    xsv800.setInitN(false);
    EXPECT_EQ(swReadAddressRegister(xsv800), 0x88);
    // Select and PaperOut mirror Done and the XCV300 marker; nothing acknowledges nibbles.
    EXPECT_EQ(xsv300.readByte(kStatusPort) & 0x38, 0x38);
    EXPECT_EQ(xsv800.readByte(kStatusPort) & 0x38, 0x08);
}

TEST(EppBoardIdentification, ProbeFindsEppBoardsInBothModes) {
    for (const BoardKind kind : {BoardKind::Xsv300, BoardKind::Xsv800}) {
        for (const int eppmode : {0, 3}) {
            BoardModel board(kind);
            const ProbeResult result = probe(board, eppmode);
            EXPECT_EQ(result.found, Found::Epp);
            EXPECT_EQ(result.eppmode, eppmode);
            EXPECT_EQ(result.status & 0x01, 0) << "no EPP timeout";
        }
    }
}

TEST_F(EppBoardTest, ControlBitTwoCarriesProgramN) {
    board.writeByte(kControlPort, 0x00);
    EXPECT_FALSE(board.fpga().programN);
    EXPECT_EQ(board.readByte(kEppAddressPort), 0xA8) << "Done and InitN low while cleared";
    board.writeByte(kControlPort, 0x04);
    EXPECT_TRUE(board.fpga().programN);
    EXPECT_EQ(board.readByte(kEppAddressPort), 0xA9) << "InitN back, Done waits for a configuration";
    board.setDone(true);
    EXPECT_EQ(swReadAddressRegister(board), 0xAB);
    // The hand-driven cycles keep nInit high and so leave ProgramN alone.
    EXPECT_TRUE(board.fpga().programN);
}

TEST(EppBoardFaults, EppTimeoutLeavesOnlyHandDrivenCycles) {
    BoardModel board(BoardKind::Xsv300, {.eppTimeout = true});
    EXPECT_EQ(board.readByte(kStatusPort) & 0x01, 0);
    hwSetAddress(board, 0x1000);
    hwWrite(board, {1, 2, 3});
    EXPECT_EQ(board.currentAddress(), 0u);
    EXPECT_EQ(board.peek(0x1000), 0);
    EXPECT_EQ(hwRead(board, 4, true), Bytes(4, 0xFF));
    EXPECT_EQ(board.readByte(kEppAddressPort), 0xFF);
    EXPECT_EQ(board.readByte(kStatusPort) & 0x01, 0x01);

    swSetAddress(board, 0x1000);
    EXPECT_EQ(swWrite(board, {1, 2, 3}), 0);
    EXPECT_EQ(board.peek(0x1002), 3);

    // The timeout flag stays until it is written with a 1.
    EXPECT_EQ(board.readByte(kStatusPort) & 0x01, 0x01);
    board.writeByte(kStatusPort, 0x01);
    EXPECT_EQ(board.readByte(kStatusPort) & 0x01, 0);

    // The probe falls back from hardware to hand-driven cycles.
    const ProbeResult result = probe(board, 0);
    EXPECT_EQ(result.found, Found::Epp);
    EXPECT_EQ(result.eppmode, 3);
}

TEST(EppBoardFaults, StuckNWaitStallsDataCyclesButNotTheAddressRegister) {
    BoardModel board(BoardKind::Xsv800, {.nWaitStuck = true});
    board.poke(0x20, 0x77);
    EXPECT_EQ(board.readByte(kStatusPort) & 0x80, 0x80);
    EXPECT_EQ(swReadAddressRegister(board), 0x8B);
    swSetAddress(board, 0x20);
    EXPECT_EQ(board.currentAddress(), 0x20u);

    EXPECT_EQ(swWrite(board, {0x01, 0x02}), 1);
    EXPECT_EQ(board.controlValue(), 0x04) << "the transfer released the strobes on its way out";
    EXPECT_EQ(board.peek(0x20), 0x77) << "a stalled board takes no data, not even from that release";
    EXPECT_EQ(swReadByte(board), 0xFF) << "nobody drives the lines";
    EXPECT_EQ(swRead(board, 2), std::nullopt);
    EXPECT_EQ(board.currentAddress(), 0x20u);

    hwSetAddress(board, 0x30);
    EXPECT_EQ(board.readByte(kStatusPort) & 0x01, 0x01) << "hardware cycles time out too";
    EXPECT_EQ(probe(board, 3).found, Found::Epp);

    board.setFaults({});
    swSetAddress(board, 0x20);
    EXPECT_EQ(swReadByte(board), 0x77);
}

TEST_F(EppBoardTest, ResetRegisterRecordsThePulse) {
    ASSERT_NE(board.resetRegister(), nullptr);
    hwSetAddress(board, 0xFFFFFFFF);
    hwWrite(board, {0x01});
    hwSetAddress(board, 0xFFFFFFFF);
    hwWrite(board, {0x00});
    swSetAddress(board, 0xFFFFFFFF);
    EXPECT_EQ(swWrite(board, {0x01}), 0);
    swSetAddress(board, 0xFFFFFFFF);
    EXPECT_EQ(swWrite(board, {0x00}), 0);
    EXPECT_EQ(board.resetRegister()->writes(), (Bytes{1, 0, 1, 0}));
    EXPECT_EQ(board.resetRegister()->pulseCount(), 2u);
    EXPECT_EQ(board.addressMap().ram().pageCount(), 0u) << "the reset register is not RAM";
}

TEST_F(EppBoardTest, DataCyclesWrapFromTheTopAddressToZero) {
    hwSetAddress(board, 0xFFFFFFFE);
    hwWrite(board, {0xA1, 0xA2, 0xA3, 0xA4});
    EXPECT_EQ(board.peek(0xFFFFFFFE), 0xA1);
    EXPECT_EQ(board.resetRegister()->writes(), (Bytes{0xA2}));
    EXPECT_EQ(board.peek(0), 0xA3);
    EXPECT_EQ(board.peek(1), 0xA4);
    EXPECT_EQ(board.currentAddress(), 2u);
}

TEST_F(EppBoardTest, SixtyFourMegabytesThroughHardwareLongs) {
    constexpr std::size_t kSize = 64u << 20;
    Bytes data(kSize);
    for (std::size_t i = 0; i < kSize; ++i) {
        data[i] = static_cast<std::uint8_t>(i * 7 + (i >> 16));
    }
    hwSetAddress(board, 0x01000000);
    hwWrite(board, data, true);
    EXPECT_EQ(board.currentAddress(), 0x05000000u);
    hwSetAddress(board, 0x01000000);
    EXPECT_TRUE(hwRead(board, kSize, true) == data);
    EXPECT_EQ(board.peek(0x05000000), 0);
}

// Stands in for the FPGA's configuration logic: takes the stream while Done is low and raises
// Done after a fixed number of bytes.
class FakeConfigurationPort final : public BusDevice {
public:
    explicit FakeConfigurationPort(FpgaPins& pins) : pins_(pins) {}
    std::uint8_t read(std::uint32_t) override { return last; }
    void write(std::uint32_t, std::uint8_t value) override {
        stream.push_back(value);
        last = value;
        pins_.done = stream.size() == 3;
    }
    void programNChanged(bool level) override { levels.push_back(level); }

    Bytes stream;
    std::vector<bool> levels;
    std::uint8_t last = 0;

private:
    FpgaPins& pins_;
};

TEST_F(EppBoardTest, ConfigurationStreamGoesToTheConfigurationPortWhileDoneIsLow) {
    FakeConfigurationPort port(board.bus().fpga());
    board.setConfigurationPort(&port);
    hwSetAddress(board, 0x500);
    hwWrite(board, {0xAA});
    EXPECT_TRUE(port.stream.empty()) << "a configured FPGA takes no stream";

    board.writeByte(kControlPort, 0x00);
    board.writeByte(kControlPort, 0x04);
    EXPECT_EQ(port.levels, (std::vector<bool>{false, true}));
    hwWrite(board, {0x01, 0x02});
    EXPECT_EQ(swReadByte(board), 0x02) << "read-back of the last byte sent";
    EXPECT_EQ(swWrite(board, {0x03, 0x04, 0x05}), 0);
    EXPECT_EQ(port.stream, (Bytes{0x01, 0x02, 0x03}));
    EXPECT_TRUE(board.fpga().done);
    EXPECT_EQ(board.readByte(kEppAddressPort) & 0x03, 0x03);
    // Once Done is up the cycles reach memory again, at the address they had moved on to.
    EXPECT_EQ(board.peek(0x505), 0x04);
    EXPECT_EQ(board.peek(0x506), 0x05);
    board.setConfigurationPort(nullptr);
}

}  // namespace
}  // namespace kivo::emulator
