#include <gtest/gtest.h>

#include "emulator/board_model.h"
#include "tests/unit/emulator/port_sequences.h"

namespace kivo::emulator {
namespace {

using namespace wire;

class NibbleBoardTest : public ::testing::TestWithParam<BoardKind> {
protected:
    BoardModel board{GetParam()};
};

TEST_P(NibbleBoardTest, AddressAndDataWritesLandAtConsecutiveAddresses) {
    const Bytes data = pattern(40, 3);
    ASSERT_TRUE(nibbleSetAddress(board, 0x89ABCDEF));
    EXPECT_EQ(board.currentAddress(), 0x89ABCDEFu);
    EXPECT_EQ(nibbleWrite(board, data), 0) << "every step acknowledged with the right echo";
    EXPECT_EQ(board.currentAddress(), 0x89ABCDEFu + 40);
    for (std::size_t i = 0; i < data.size(); ++i) {
        ASSERT_EQ(board.peek(static_cast<std::uint32_t>(0x89ABCDEF + i)), data[i]) << i;
    }
    ASSERT_TRUE(nibbleSetAddress(board, 0x89ABCDEF));
    EXPECT_EQ(nibbleRead(board, 40), data);
    EXPECT_EQ(board.currentAddress(), 0x89ABCDEFu + 40);
}

TEST_P(NibbleBoardTest, ReadStepsReturnTwoBitsLowestPairFirst) {
    board.poke(0x10, 0b11'10'01'00);
    ASSERT_TRUE(nibbleSetAddress(board, 0x10));
    std::vector<std::uint8_t> pairs;
    for (const std::uint8_t step : {0x0E, 0x04, 0x06, 0x04}) {
        board.writeByte(kDataPort, step);
        pairs.push_back(waitAcknowledge(board));
    }
    EXPECT_EQ(pairs, (Bytes{0, 1, 2, 3}));
}

TEST_P(NibbleBoardTest, WriteStepsEchoDataBitsSevenAndSix) {
    ASSERT_TRUE(nibbleSetAddress(board, 0));
    board.writeByte(kDataPort, 0x8A);  // low nibble 8 of 0x68
    EXPECT_EQ(waitAcknowledge(board), 2);
    board.writeByte(kDataPort, 0x60);
    EXPECT_EQ(waitAcknowledge(board), 1);
    EXPECT_EQ(board.peek(0), 0x68);
}

TEST_P(NibbleBoardTest, AStepOutsideAnyTransferIsNotAcknowledged) {
    board.writeByte(kDataPort, 0x0D);
    EXPECT_EQ(waitAcknowledge(board), kNoAck);
    // A second address step without the first is no transfer either; the board takes the
    // next complete address.
    board.writeByte(kDataPort, 0x51);
    EXPECT_EQ(waitAcknowledge(board), kNoAck);
    ASSERT_TRUE(nibbleSetAddress(board, 0x1234));
    EXPECT_EQ(board.currentAddress(), 0x1234u);
}

TEST_P(NibbleBoardTest, ProgramNFollowsTheSequenceAndShowsOnSelect) {
    const std::uint8_t status = nibbleSetProgramN(board, 0);
    EXPECT_EQ(status & 0x10, 0);
    EXPECT_FALSE(board.fpga().programN);
    EXPECT_EQ(nibbleReadAddressRegister(board) & 0x07, 0x00) << "Progn, Done, InitN low";
    EXPECT_EQ(nibbleSetProgramN(board, 1) & 0x10, 0x10);
    EXPECT_TRUE(board.fpga().programN);
    EXPECT_EQ(nibbleReadAddressRegister(board) & 0x07, 0x05) << "Progn and InitN high, Done low";
    // The same bytes one short of the sequence do nothing.
    for (const std::uint8_t step : {0x1F, 0x1F, 0x1D, 0x1F, 0x1D, 0x17}) {
        board.writeByte(kDataPort, step);
    }
    EXPECT_TRUE(board.fpga().programN);
}

TEST_P(NibbleBoardTest, ControlRegisterAndHardwareCyclesMeanNothingToIt) {
    board.writeByte(kControlPort, 0x00);
    EXPECT_TRUE(board.fpga().programN);
    board.writeByte(kEppAddressPort, 0x12);
    EXPECT_EQ(board.readByte(kEppDataPort), 0xFF);
    EXPECT_EQ(board.readByte(kStatusPort) & 0x01, 0x01) << "the port chip timed out";
    EXPECT_EQ(board.currentAddress(), 0u);
    EXPECT_EQ(swReadAddressRegister(board), 0xFF);
}

TEST_P(NibbleBoardTest, NoAckLosesOnlyTheAnswer) {
    board.setFaults({.noAck = true});
    EXPECT_FALSE(nibbleSetAddress(board, 0x55));
    EXPECT_EQ(nibbleWrite(board, {0x12}), 1);
    EXPECT_EQ(nibbleReadByte(board), std::nullopt);
    EXPECT_EQ(probe(board, 3).found, Found::Nothing);
}

TEST_P(NibbleBoardTest, BadEchoFailsTheFirstWrite) {
    board.setFaults({.badEcho = true});
    ASSERT_TRUE(nibbleSetAddress(board, 0x30)) << "address steps are not echo-checked";
    EXPECT_EQ(nibbleWrite(board, {0xC3, 0x00}), 1);
    board.setFaults({});
    ASSERT_TRUE(nibbleSetAddress(board, 0x30));
    EXPECT_EQ(nibbleWrite(board, {0xC3, 0x00}), 0);
}

INSTANTIATE_TEST_SUITE_P(Boards, NibbleBoardTest, ::testing::Values(BoardKind::Xsb, BoardKind::Zem),
                         [](const auto& info) { return std::string(boardKindName(info.param)); });

TEST(NibbleBoardProbe, IdentifiesXsbAndZemAfterTheEppAttemptFails) {
    for (const int eppmode : {0, 3}) {
        BoardModel xsb(BoardKind::Xsb);
        const ProbeResult onXsb = probe(xsb, eppmode);
        EXPECT_EQ(onXsb.found, Found::Xsb);
        // Signature 10, version 1, Progn, Done, InitN.
        EXPECT_EQ(onXsb.id, 0x97);

        BoardModel zem(BoardKind::Zem);
        const ProbeResult onZem = probe(zem, eppmode);
        EXPECT_EQ(onZem.found, Found::Zem);
        EXPECT_EQ(onZem.id, 0x57);
    }
}

TEST(NibbleBoardProbe, AddressRegisterReadFollowsTheFpgaLines) {
    BoardModel board(BoardKind::Zem);
    board.setDone(false);
    EXPECT_EQ(nibbleReadAddressRegister(board), 0x55);
    board.setInitN(false);
    EXPECT_EQ(nibbleReadAddressRegister(board), 0x54);
    EXPECT_EQ(board.identificationByte(), 0x54);
}

TEST(NoBoard, BothProbeAttemptsFail) {
    for (const int eppmode : {0, 3}) {
        BoardModel board(BoardKind::None);
        const ProbeResult result = probe(board, eppmode);
        EXPECT_EQ(result.found, Found::Nothing);
        EXPECT_EQ(result.eppmode, 3);
        EXPECT_NE(result.id & 0xCC, 0x88);
        EXPECT_EQ(board.readByte(kStatusPort) & 0x08, 0x08);
    }
}

TEST(NoBoard, NothingAnswers) {
    BoardModel board(BoardKind::None);
    EXPECT_EQ(board.resetRegister(), nullptr);
    hwSetAddress(board, 0x10);
    EXPECT_EQ(board.readByte(kStatusPort) & 0x01, 0x01);
    EXPECT_EQ(hwRead(board, 2), Bytes(2, 0xFF));
    swSetAddress(board, 0x10);
    EXPECT_EQ(swReadByte(board), 0xFF);
    EXPECT_FALSE(nibbleSetAddress(board, 0x10));
    EXPECT_EQ(board.identificationByte(), 0xFF);
}

}  // namespace
}  // namespace kivo::emulator
