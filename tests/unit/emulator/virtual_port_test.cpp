#include <gtest/gtest.h>

#include "emulator/virtual_port.h"
#include "tests/unit/emulator/port_sequences.h"

namespace kivo::emulator {
namespace {

struct ParseCase {
    const char* text;
    BoardKind kind;
    BoardFaults faults;
};

TEST(VirtualPortTest, ParsesBoardsAndFlags) {
    const ParseCase cases[] = {
        {"", BoardKind::Xsv300, {}},
        {"xsv300", BoardKind::Xsv300, {}},
        {"xsv800", BoardKind::Xsv800, {}},
        {"xsb", BoardKind::Xsb, {}},
        {"zem", BoardKind::Zem, {}},
        {"none", BoardKind::None, {}},
        {"xsv800,nwait-stuck", BoardKind::Xsv800, {.nWaitStuck = true}},
        {" xsv300 , epp-timeout,nwait-stuck ", BoardKind::Xsv300, {.eppTimeout = true, .nWaitStuck = true}},
        {"zem,no-ack,bad-echo", BoardKind::Zem, {.noAck = true, .badEcho = true}},
        {"epp-timeout", BoardKind::Xsv300, {.eppTimeout = true}},
        {"xsb,", BoardKind::Xsb, {}},
        {"zem,initn-stuck,done-never", BoardKind::Zem, {.initNStuck = true, .doneNever = true}},
        {"xsv800,done-early,bad-readback", BoardKind::Xsv800, {.doneEarly = true, .badReadback = true}},
    };
    for (const ParseCase& c : cases) {
        std::string error;
        const auto board = parseVirtualBoard(c.text, error);
        ASSERT_TRUE(board.has_value()) << c.text << ": " << error;
        EXPECT_EQ(board->kind, c.kind) << c.text;
        EXPECT_EQ(board->faults.eppTimeout, c.faults.eppTimeout) << c.text;
        EXPECT_EQ(board->faults.nWaitStuck, c.faults.nWaitStuck) << c.text;
        EXPECT_EQ(board->faults.noAck, c.faults.noAck) << c.text;
        EXPECT_EQ(board->faults.badEcho, c.faults.badEcho) << c.text;
        EXPECT_EQ(board->faults.initNStuck, c.faults.initNStuck) << c.text;
        EXPECT_EQ(board->faults.doneNever, c.faults.doneNever) << c.text;
        EXPECT_EQ(board->faults.doneEarly, c.faults.doneEarly) << c.text;
        EXPECT_EQ(board->faults.badReadback, c.faults.badReadback) << c.text;
    }
}

TEST(VirtualPortTest, RejectsWithAMessageNamingWhatIsKnown) {
    const std::pair<const char*, const char*> cases[] = {
        {"foo", "Nieznany typ plyty wirtualnej: foo (znane: xsv300, xsv800, xsb, zem, none)"},
        {"XSB", "Nieznany typ plyty wirtualnej: XSB (znane: xsv300, xsv800, xsb, zem, none)"},
        {"xsb,slow", "Nieznana usterka plyty wirtualnej: slow (znane: epp-timeout, nwait-stuck, no-ack, bad-echo, initn-stuck, "
         "done-never, done-early, bad-readback)"},
        {"xsb,zem", "Nieznana usterka plyty wirtualnej: zem (znane: epp-timeout, nwait-stuck, no-ack, bad-echo, initn-stuck, "
         "done-never, done-early, bad-readback)"},
        {"xsv300,no-ack", "Usterka no-ack nie dotyczy plyty xsv300"},
        {"xsb,nwait-stuck", "Usterka nwait-stuck nie dotyczy plyty xsb"},
        {"none,bad-echo", "Usterka bad-echo nie dotyczy plyty none"},
        {"none,done-early", "Usterka done-early nie dotyczy plyty none"},
        {"xsb,bad-readback", "Usterka bad-readback nie dotyczy plyty xsb"},
    };
    for (const auto& [text, message] : cases) {
        std::string error;
        EXPECT_FALSE(parseVirtualBoard(text, error).has_value()) << text;
        EXPECT_EQ(error, message);
        error.clear();
        EXPECT_EQ(makeVirtualPort(text, error), nullptr) << text;
        EXPECT_EQ(error, message);
    }
}

TEST(VirtualPortTest, MakesABoardThatAnswersTheProbe) {
    std::string error;
    auto xsv800 = makeVirtualPort("xsv800", error);
    ASSERT_NE(xsv800, nullptr);
    EXPECT_EQ(wire::swReadAddressRegister(*xsv800), 0x8B);

    auto zem = makeVirtualPort("zem", error);
    ASSERT_NE(zem, nullptr);
    EXPECT_EQ(wire::probe(*zem, 3).found, wire::Found::Zem);

    auto stuck = makeVirtualPort("xsv300,nwait-stuck", error);
    ASSERT_NE(stuck, nullptr);
    EXPECT_EQ(stuck->readByte(port::kStatusPort) & 0x80, 0x80);
    EXPECT_TRUE(error.empty());
}

}  // namespace
}  // namespace kivo::emulator
