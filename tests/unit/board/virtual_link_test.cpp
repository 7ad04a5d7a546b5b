// The transport end to end against the virtual board: every board kind, the port modes, and
// each fault the board can play.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "board/epp_port.h"
#include "emulator/board_model.h"
#include "interpreter/console.h"
#include "tests/unit/capture_stdout.h"

namespace kivo::board {
namespace {

using emulator::BoardFaults;
using emulator::BoardKind;
using emulator::BoardModel;
using Bytes = std::vector<std::uint8_t>;

Bytes pattern(std::size_t size, std::uint8_t seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(seed + i * 7 + (i >> 8));
    return bytes;
}

struct LinkCase {
    BoardKind kind;
    std::int32_t mode;      ///< eppmode set before the first transfer
    std::int32_t settled;   ///< eppmode after the silent probe
    const char* name;
};

class VirtualLinkTest : public ::testing::TestWithParam<LinkCase> {
protected:
    void SetUp() override { interpreter::console::setUtf8Output(false); }
};

TEST_P(VirtualLinkTest, WhatIsWrittenReadsBack) {
    const LinkCase& c = GetParam();
    BoardModel board(c.kind);
    EppPort port(board, board);
    port.setEppmode(c.mode);
    testing::CaptureStdout capture;

    port.writeByte(0x00001234, 0x5A);
    EXPECT_EQ(port.eppmode(), c.settled);
    EXPECT_EQ(board.peek(0x00001234), 0x5A);
    EXPECT_EQ(port.readByte(0x00001234), 0x5A);

    const std::uint32_t base = 0x00020000;
    std::uint32_t offset = 0;
    for (std::size_t size : {0u, 1u, 3u, 4u, 8u, 6u, 4096u}) {
        SCOPED_TRACE("block of " + std::to_string(size));
        const Bytes data = pattern(size, static_cast<std::uint8_t>(size));
        port.writeBlock(data.data(), base + offset, static_cast<std::int32_t>(size));
        Bytes back(size, 0xEE);
        port.readBlock(base + offset, static_cast<std::int32_t>(size), back.data());
        EXPECT_EQ(back, data);
        for (std::size_t i = 0; i < size; i += 997) EXPECT_EQ(board.peek(base + offset + i), data[i]);
        offset += 0x10000;
    }
    EXPECT_EQ(capture.text(), "");  // a healthy link reports nothing
}

INSTANTIATE_TEST_SUITE_P(
    EveryBoardAndMode, VirtualLinkTest,
    ::testing::Values(LinkCase{BoardKind::Xsv300, 0, 0, "xsv300_mode0"}, LinkCase{BoardKind::Xsv300, 3, 3, "xsv300_mode3"},
                      LinkCase{BoardKind::Xsv300, 4, 4, "xsv300_mode4"}, LinkCase{BoardKind::Xsv300, 8, 8, "xsv300_mode8"},
                      LinkCase{BoardKind::Xsv300, 1, 1, "xsv300_mode1"}, LinkCase{BoardKind::Xsv300, 2, 2, "xsv300_mode2"},
                      LinkCase{BoardKind::Xsv300, 11, 11, "xsv300_mode11"},
                      LinkCase{BoardKind::Xsv300, 12, 12, "xsv300_mode12"},
                      LinkCase{BoardKind::Xsv800, 0, 0, "xsv800_mode0"}, LinkCase{BoardKind::Xsv800, 3, 3, "xsv800_mode3"},
                      LinkCase{BoardKind::Xsv800, 4, 4, "xsv800_mode4"}, LinkCase{BoardKind::Xsv800, 8, 8, "xsv800_mode8"},
                      LinkCase{BoardKind::Xsb, 3, 16, "xsb_mode3"}, LinkCase{BoardKind::Xsb, 16, 16, "xsb_mode16"},
                      LinkCase{BoardKind::Xsb, 4, 16, "xsb_mode4"}, LinkCase{BoardKind::Xsb, 8, 16, "xsb_mode8"},
                      LinkCase{BoardKind::Xsb, 24, 24, "xsb_mode24"}, LinkCase{BoardKind::Zem, 0, 16, "zem_mode0"},
                      LinkCase{BoardKind::Zem, 3, 16, "zem_mode3"}, LinkCase{BoardKind::Zem, 16, 16, "zem_mode16"}),
    [](const ::testing::TestParamInfo<LinkCase>& info) { return std::string(info.param.name); });

class VirtualFaultTest : public ::testing::Test {
protected:
    void SetUp() override { interpreter::console::setUtf8Output(false); }

    static std::string run(const std::function<void()>& action) {
        testing::CaptureStdout capture;
        action();
        return capture.text();
    }
};

TEST_F(VirtualFaultTest, ProbeReportsOfEveryBoard) {
    struct Case {
        BoardKind kind;
        std::int32_t mode;
        bool found;
        const char* report;
    } cases[] = {
        {BoardKind::Xsv300, 3, true,
         "  Plyta pracuje w trybie software'owej emulacji standardu EPP\n"
         "\tXSV300 Wersja: '0', Done '1', InitN '1', eppmode '3'\n"},
        {BoardKind::Xsv800, 0, true, "\tXSV800 Wersja: '0', Done '1', InitN '1', eppmode '0'\n"},
        {BoardKind::Xsb, 3, true, "Plyta XSB wykryta, Ver= 1. Progn= 1, InitN= 1, Done= 1\n"},
        {BoardKind::Zem, 3, true, "Plyta ZEM wykryta, Ver= 1. Progn= 1, InitN= 1, Done= 1\n"},
        {BoardKind::None, 3, false,
         "Blad. Plyta nie jest podlaczona, uklad CPLD jest zle zaprogramowany,\n\tlub uklad FPGA nie ma "
         "interface'u EPP\n\tSygnal ~Wait= 1, Done= 1\n"},
    };
    for (const Case& c : cases) {
        BoardModel board(c.kind);
        EppPort port(board, board);
        port.setEppmode(c.mode);
        bool found = !c.found;
        EXPECT_EQ(run([&] { found = port.probe(true); }), c.report);
        EXPECT_EQ(found, c.found);
    }
}

TEST_F(VirtualFaultTest, DoneAndInitNShowInTheBoardLine) {
    BoardModel board(BoardKind::Xsv300);
    board.setDone(false);
    EppPort port(board, board);
    port.setEppmode(0);
    EXPECT_EQ(run([&] { port.probe(true); }), "\tXSV300 Wersja: '0', Done '0', InitN '1', eppmode '0'\n");
}

TEST_F(VirtualFaultTest, UnansweredHardwareCyclesFallBackToEmulationAndAreNeverVerified) {
    BoardModel board(BoardKind::Xsv300, BoardFaults{.eppTimeout = true});
    EppPort port(board, board);
    port.setEppmode(0);
    EXPECT_EQ(run([&] { EXPECT_TRUE(port.probe(true)); }),
              "  Plyta pracuje w trybie software'owej emulacji standardu EPP\n"
              "\tXSV300 Wersja: '0', Done '1', InitN '1', eppmode '3'\n");
    const Bytes data = pattern(16, 1);
    Bytes back(16);
    EXPECT_EQ(run([&] {
                  port.writeBlock(data.data(), 0x100, 16);
                  port.readBlock(0x100, 16, back.data());
              }),
              "");
    EXPECT_EQ(back, data);

    // Forced back to the chip's cycles: nothing moves, reads float, nothing is reported.
    port.setEppmode(0);
    const Bytes other = pattern(16, 9);
    EXPECT_EQ(run([&] {
                  port.writeBlock(other.data(), 0x100, 16);
                  port.readBlock(0x100, 16, back.data());
              }),
              "");
    EXPECT_EQ(back, Bytes(16, 0xFF));
    EXPECT_EQ(board.peek(0x100), data[0]);
}

TEST_F(VirtualFaultTest, StuckNWaitIsReportedByTheHandDrivenTransfers) {
    BoardModel board(BoardKind::Xsv800, BoardFaults{.nWaitStuck = true});
    EppPort port(board, board);
    EXPECT_EQ(run([&] { EXPECT_TRUE(port.probe(false)); }), "");  // the address register needs no nWait
    const Bytes data = pattern(4, 3);
    EXPECT_EQ(run([&] { port.writeBlock(data.data(), 0x40, 4); }), "\nBlad podczas zapisu 1-go bajtu.\n");
    EXPECT_EQ(run([&] { port.writeByte(0x40, 0x12); }), "\nBlad podczas zapisu 1-go bajtu.\n");
    Bytes back(4, 0xEE);
    EXPECT_EQ(run([&] { port.readBlock(0x40, 4, back.data()); }),
              "Zbyt dlugi czas odczytu przez port komunikacyjny podczas odczytu 0 danej\n");
    EXPECT_EQ(back, Bytes(4, 0xEE));
    std::uint8_t single = 0;
    EXPECT_EQ(run([&] { single = port.readByte(0x40); }), "");  // 11 polls, then the lines as they are
    EXPECT_EQ(single, 0xFF);
    EXPECT_EQ(board.peek(0x40), 0x00);

    // With direct instructions nothing waits and nothing is reported; nothing moves either.
    port.setEppmode(11);
    EXPECT_EQ(run([&] { port.writeBlock(data.data(), 0x40, 4); }), "");
    EXPECT_EQ(board.peek(0x40), 0x00);
}

TEST_F(VirtualFaultTest, MissingNibbleAcknowledgeGivesUpTheAddressAfterFourAttempts) {
    BoardModel board(BoardKind::Xsb);
    EppPort port(board, board);
    ASSERT_TRUE(port.probe(false));
    ASSERT_EQ(port.eppmode(), 16);
    board.setFaults(BoardFaults{.noAck = true});
    const std::string timeout =
        "Blad timeout'u podczas przesylania adresu spowodowany przez wczesniejszy transfer\n";
    const std::string givenUp = timeout + timeout + timeout + timeout +
                                "Adres nie zostal przeslany po 4 probach. Transfer zaniechany\n";
    const std::uint8_t data[2] = {1, 2};
    EXPECT_EQ(run([&] { port.writeBlock(data, 0x80, 2); }), givenUp);
    std::uint8_t value = 0xEE;
    EXPECT_EQ(run([&] { value = port.readByte(0x80); }), givenUp);
    EXPECT_EQ(value, 0);

    // The board answers again: the next transfer works.
    board.setFaults({});
    EXPECT_EQ(run([&] { port.writeBlock(data, 0x80, 2); }), "");
    EXPECT_EQ(port.readByte(0x81), 2);
}

TEST_F(VirtualFaultTest, MissingNibbleAcknowledgeFailsTheProbe) {
    BoardModel board(BoardKind::Zem, BoardFaults{.noAck = true});
    EppPort port(board, board);
    EXPECT_EQ(run([&] { EXPECT_FALSE(port.probe(true)); }),
              "Blad. Plyta nie jest podlaczona, uklad CPLD jest zle zaprogramowany,\n\tlub uklad FPGA nie ma "
              "interface'u EPP\n\tSygnal ~Wait= 1, Done= 0\n");
    EXPECT_EQ(port.eppmode(), 3);
}

TEST_F(VirtualFaultTest, WrongNibbleEchoStopsTheWriteAtTheFirstByte) {
    BoardModel board(BoardKind::Zem, BoardFaults{.badEcho = true});
    EppPort port(board, board);
    const std::uint8_t data[3] = {0x11, 0x22, 0x33};
    EXPECT_EQ(run([&] { port.writeBlock(data, 0x200, 3); }),
              "Blad zapisu podczas zapisu 0 [hex] bajtu. Inne dane przes\xB3"
              "ane inne odczytana. Dlaszy zapis zaniechany\n"
              "\nBlad podczas zapisu 1-go bajtu.\n");
    EXPECT_EQ(port.eppmode(), 16);
    Bytes back(3);
    EXPECT_EQ(run([&] { port.readBlock(0x200, 3, back.data()); }), "");  // reads need no echo
    EXPECT_NE(back, Bytes(data, data + 3));
}

TEST_F(VirtualFaultTest, ProgramNFollowsTheLinkKind) {
    for (BoardKind kind : {BoardKind::Xsv300, BoardKind::Xsb}) {
        BoardModel board(kind);
        EppPort port(board, board);
        EXPECT_EQ(run([&] { port.setProgramN(0); }), "");
        EXPECT_FALSE(board.fpga().programN);
        EXPECT_EQ(run([&] { port.setProgramN(1); }), "");
        EXPECT_TRUE(board.fpga().programN);
    }
}

TEST_F(VirtualFaultTest, ResetPulsesTheResetRegisterThroughEveryLink) {
    for (BoardKind kind : {BoardKind::Xsv300, BoardKind::Xsb}) {
        BoardModel board(kind);
        EppPort port(board, board);
        const std::uint8_t assert = 1, release = 0;
        port.writeBlock(&assert, 0xFFFFFFFF, 1);
        port.writeBlock(&release, 0xFFFFFFFF, 1);
        ASSERT_NE(board.resetRegister(), nullptr);
        EXPECT_EQ(board.resetRegister()->writes(), (Bytes{1, 0}));
        EXPECT_EQ(board.resetRegister()->pulseCount(), 1u);
    }
}

}  // namespace
}  // namespace kivo::board
