// The la subcommands against analyser cores on the virtual board: what they print, which
// registers they write in which byte order, and what a capture saves.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "analyser/logic_analyser.h"
#include "board/epp_port.h"
#include "emulator/board_model.h"
#include "emulator/logic_analyser_core.h"
#include "interpreter/console.h"
#include "tests/unit/temp_files.h"

namespace kivo::analyser {
namespace {

using emulator::BoardModel;
using emulator::LogicAnalyserCore;
using emulator::LogicAnalyserParameters;

class LogicAnalyserTest : public testing::TempFiles {
protected:
    void SetUp() override {
        TempFiles::SetUp();
        interpreter::console::setUtf8Output(false);
    }

    /// A core of its own at `base`, so a test can look inside it.
    LogicAnalyserCore* attachCore(std::uint32_t base, const LogicAnalyserParameters& parameters = {}) {
        auto core = std::make_unique<LogicAnalyserCore>(parameters);
        const std::uint32_t size = core->windowSize();
        return board.addressMap().attach(base, size, std::move(core));
    }
    std::string run(std::string_view subcommand, std::string_view arguments) {
        return printed([&] { analyser.run(subcommand, arguments); });
    }
    interpreter::ScriptFailure failing(std::string_view subcommand, std::string_view arguments,
                                       std::string* output = nullptr) {
        return failure([&] { analyser.run(subcommand, arguments); }, output);
    }
    std::string peekBytes(std::uint32_t address, std::uint32_t count) {
        std::string bytes;
        for (std::uint32_t i = 0; i < count; ++i) bytes += static_cast<char>(board.peek(address + i));
        return bytes;
    }

    BoardModel board;
    board::EppPort port{board, board};
    interpreter::Interpreter state;
    LaState la;
    LogicAnalyser analyser{port, state, la};
};

TEST_F(LogicAnalyserTest, BaseadrTakesTheWidthsAndTheWindowFromTheCore) {
    EXPECT_EQ(run("baseadr", "20000000"),
              "2000_0000 , mem_adr_width= 10, use_rlc= 0, \n\t  data_width= 16, trig_width= 40, ce_dwidth= 12\n");
    EXPECT_EQ(la.laBaseAdr, 0x20000000u);
    EXPECT_EQ(la.laWindowSize, 4096);  // 2^11 words of 2 bytes
    EXPECT_EQ(la.memAdrWidth, 10);
    EXPECT_EQ(la.useRlc, 0);
    EXPECT_EQ(la.dataWidth, 16);
    EXPECT_EQ(la.trigWidth, 40);
    EXPECT_EQ(la.ceDwidth, 12);

    attachCore(0x30000000, {.memAdrWidth = 4, .useRlc = true, .dataWidth = 8});
    run("baseadr", "30000000");
    EXPECT_EQ(la.laWindowSize, 128);  // 32 bytes computed, raised to the smallest window
    EXPECT_EQ(la.useRlc, 1);
}

TEST_F(LogicAnalyserTest, TheCoreOverrulesADisagreeingSizeWithAWarning) {
    attachCore(0x2000);
    run("awidth", "10");
    EXPECT_EQ(run("baseadr", "2000"),
              "2000 , mem_adr_width= 10, use_rlc= 0, \n\t  data_width= 16, trig_width= 40, ce_dwidth= 12\n"
              "Uwaga, zla wielkosc lokacji adresowej okreslona poprzez instrukcje la_awidth lub la_highadr. "
              "Moze to powodowac bledy podczas wstepnej symulacji VHDL.\n"
              "  Powinno byc: la_highadr 2FFF  lub la_awidth 12.\n");
    EXPECT_EQ(la.laWindowSize, 4096);

    // A highadr that fits draws no warning; one given after baseadr leaves the size unknown.
    EXPECT_EQ(run("highadr", "2FFF"), "2FFF\n");
    EXPECT_EQ(la.laWindowSize, -1);
    EXPECT_EQ(run("baseadr", "2000").find("Uwaga"), std::string::npos);
    EXPECT_EQ(la.laWindowSize, 4096);
    run("awidth", "7");
    EXPECT_EQ(la.laHighAdr, 0u);
    EXPECT_EQ(la.laWindowSize, 128);
}

TEST_F(LogicAnalyserTest, AwidthAcceptsSevenToNineteen) {
    EXPECT_EQ(run("awidth", "7"), "7\n");
    EXPECT_EQ(la.laWindowSize, 128);
    EXPECT_EQ(run("awidth", "19"), "19\n");
    EXPECT_EQ(la.laWindowSize, 0x80000);
    for (const char* n : {"6", "20", "-1"}) {
        SCOPED_TRACE(n);
        const auto f = failing("awidth", n);
        EXPECT_EQ(f.code, 0);
        EXPECT_EQ(f.text, "Bledny rozmiar szeroko\x9C" "ci adresowej LA");
    }
    EXPECT_EQ(la.laWindowSize, 0x80000);
}

TEST_F(LogicAnalyserTest, MissingNumbersFailWithCode3) {
    la.laBaseAdr = 0x20000000;
    for (const char* sub : {"awidth", "highadr", "baseadr", "start", "cectr"}) {
        for (const char* args : {"", "xyz"}) {
            SCOPED_TRACE(std::string(sub) + " '" + args + "'");
            const auto f = failing(sub, args);
            EXPECT_EQ(f.code, 3);
            EXPECT_FALSE(f.text.has_value());
        }
    }
}

struct Rejected {
    LogicAnalyserParameters parameters;
    const char* message;
};

TEST_F(LogicAnalyserTest, ParametersOutsideTheirRangesAreFatal) {
    const Rejected cases[] = {
        {{.signature = 0x4B},
         "\nPod podanym adresem bazowym nie znaleziono znacznika LA, zly adres bazowy lub brak urzadzenia LA"},
        {{.memAdrWidth = 3}, "\nZla szeroko\x9C\xE6 magistrali adresowej pamieci rejestrowanych probek"},
        {{.memAdrWidth = 17}, "\nZla szeroko\x9C\xE6 magistrali adresowej pamieci rejestrowanych probek"},
        {{.dataWidth = 12}, "\nZla szerkosc magistrali danych"},
        {{.dataWidth = 128}, "\nZla szerkosc magistrali danych"},
        {{.trigWidth = 65}, "\nZa duza szeroko\x9C" "c magistrali trigger"},
        {{.ceDwidth = 65}, "\nZa duza szerokosc magistrali CE"},
    };
    std::uint32_t base = 0x30000000;
    for (const Rejected& c : cases) {
        SCOPED_TRACE(c.message);
        attachCore(base, c.parameters);
        char address[16];
        std::snprintf(address, sizeof address, "%X", base);
        const auto f = failing("baseadr", address);
        EXPECT_EQ(f.code, 0);
        EXPECT_EQ(f.text, c.message);
        base += 0x01000000;
    }
    // The limits themselves are accepted.
    attachCore(0x40000000, {.memAdrWidth = 16, .dataWidth = 64, .trigWidth = 64, .ceDwidth = 1});
    run("baseadr", "40000000");
    EXPECT_EQ(la.laWindowSize, 0x100000);
    EXPECT_EQ(la.trigWidth, 64);
    EXPECT_EQ(la.ceDwidth, 1);
}

TEST_F(LogicAnalyserTest, TheBaseMustBeAMultipleOf128) {
    const auto f = failing("baseadr", "1040");
    EXPECT_EQ(f.code, 6);
    EXPECT_FALSE(f.text.has_value());
    EXPECT_EQ(la.laBaseAdr, 0x1040u);
    EXPECT_EQ(board.currentAddress(), 0u);  // refused before any transfer

    // Every command that uses the base refuses a bad one, and so does an unknown subcommand.
    for (const char* sub : {"start", "read", "cectr", "tvalue", "tcare", "cevalue", "cecare", "foo", ""}) {
        SCOPED_TRACE(sub);
        EXPECT_EQ(failing(sub, "1").code, 6);
    }
    la.laBaseAdr = 0xFFFFFFFF;  // as the run begins
    EXPECT_EQ(failing("start", "1").code, 6);
    la.laBaseAdr = 0x1080;
    const auto unknown = failing("foo", "1");
    EXPECT_EQ(unknown.code, 3);
    EXPECT_FALSE(unknown.text.has_value());
}

TEST_F(LogicAnalyserTest, QualifiersAreLittleEndianAndTheUpperWordOnlyForWideBuses) {
    attachCore(0x3000, {.trigWidth = 12});
    run("baseadr", "3000");
    EXPECT_EQ(run("tvalue", "1FF"), " 01FF\n");
    EXPECT_EQ(peekBytes(0x3010, 4), std::string("\xFF\x01\x00\x00", 4));

    // A wider bus echoes more bytes and writes the upper word too, zeros included.
    run("baseadr", "20000000");
    run("tvalue", "AABBCCDDEEFF0011");
    EXPECT_EQ(run("tvalue", "1FF"), " 00_0000_01FF\n");
    EXPECT_EQ(peekBytes(0x20000010, 4), std::string("\xFF\x01\x00\x00", 4));
    EXPECT_EQ(peekBytes(0x20000018, 4), std::string("\x00\x00\x00\x00", 4));

    // Digits beyond the bus are written; beyond 16 digits they are dropped; no 0x prefix.
    EXPECT_EQ(run("tcare", "123456789ABCDEF01"), "  78_9ABC_DEF0\n");
    EXPECT_EQ(peekBytes(0x20000014, 4), std::string("\xF0\xDE\xBC\x9A", 4));
    EXPECT_EQ(peekBytes(0x2000001C, 4), std::string("\x78\x56\x34\x12", 4));
    EXPECT_EQ(run("tcare", "xyz"), "  00_0000_0000\n");
    EXPECT_EQ(peekBytes(0x20000014, 4), std::string(4, '\0'));
    EXPECT_EQ(run("tcare", "0x12"), "  00_0000_0000\n");

    // A 12-bit CE bus: two bytes, one word written.
    EXPECT_EQ(run("cevalue", "12345"), "2345\n");
    EXPECT_EQ(peekBytes(0x20000020, 4), std::string("\x45\x23\x01\x00", 4));
    EXPECT_EQ(run("cecare", "FFF"), " 0FFF\n");
    EXPECT_EQ(peekBytes(0x20000024, 4), std::string("\xFF\x0F\x00\x00", 4));
    EXPECT_EQ(peekBytes(0x20000028, 8), std::string(8, '\0'));
}

TEST_F(LogicAnalyserTest, CectrNamesItsFlagsAndWritesTheLowByte) {
    LogicAnalyserCore* core = attachCore(0x3000);
    run("baseadr", "3000");
    EXPECT_EQ(run("cectr", "3F"), "3F active_low register CE_Data AND_trig OR_trig not_RLC\n");
    EXPECT_EQ(core->ctrCed(), 0x3F);
    EXPECT_EQ(run("cectr", "14"), "14 CE_Data OR_trig \n");
    EXPECT_EQ(run("cectr", "1C0"), "1C0 \n");  // bits above 5 are written, not named
    EXPECT_EQ(core->ctrCed(), 0xC0);
}

TEST_F(LogicAnalyserTest, StartWritesTheControlByte) {
    LogicAnalyserCore* core = attachCore(0x3000);
    run("baseadr", "3000");
    EXPECT_EQ(run("start", "101"), "101\n");
    EXPECT_EQ(core->read(9), 0x01);
    EXPECT_EQ(core->status(), LogicAnalyserCore::kArmed);
}

TEST_F(LogicAnalyserTest, ReadSavesTheRegisterBlockAndTheSampleMemory) {
    state.stat = 0x12345678;
    run("baseadr", "20000000");
    run("tvalue", "100");
    run("tcare", "FFFF");
    run("start", "1");
    const std::string file = path("cap.bin");
    EXPECT_EQ(run("read", file + " 100"),
              "file= " + file + ", timeout= 100 dana:   \b\b\b\b\b\b\b\b        \b\b\b\b\b\b\b\b\n");

    const std::string saved = get("cap.bin");
    ASSERT_EQ(saved.size(), 48u + 2048u);
    EXPECT_EQ(saved.substr(0, 8), std::string("\x4A\x0A\x0F\x27\x0B\x00\x00\x00", 8));
    EXPECT_EQ(static_cast<std::uint8_t>(saved[8]), LogicAnalyserCore::kDone | LogicAnalyserCore::kTriggered);
    EXPECT_EQ(saved.substr(12, 4), std::string("\x00\x04\x00\x00", 4));  // 1024 words stored
    EXPECT_EQ(saved.substr(16, 8), std::string("\x00\x01\x00\x00\xFF\xFF\x00\x00", 8));
    for (unsigned i = 0; i < 1024; ++i) {
        const unsigned word = 0x100 + i;  // the counter from the trigger on, little-endian
        ASSERT_EQ(static_cast<std::uint8_t>(saved[48 + 2 * i]), word & 0xFF) << i;
        ASSERT_EQ(static_cast<std::uint8_t>(saved[49 + 2 * i]), word >> 8) << i;
    }
    EXPECT_EQ(state.stat, 0x12345678u);
    EXPECT_EQ(state.fileappend, 0);

    // Off: the file is replaced. On: both parts go after what the file held.
    printed([&] { analyser.run("read", file); });
    EXPECT_EQ(get("cap.bin"), saved);
    state.fileappend = 1;
    put("cap.bin", "head");
    printed([&] { analyser.run("read", file); });
    EXPECT_EQ(get("cap.bin"), "head" + saved);
    EXPECT_EQ(state.fileappend, 1);
}

TEST_F(LogicAnalyserTest, AStalledCaptureIsRetriedWithEveryClockStored) {
    LogicAnalyserCore* core = attachCore(0x3000);
    run("baseadr", "3000");
    run("cecare", "0");
    run("cectr", "5");  // CE_Data, active low: an always-matching CE lets nothing through
    run("start", "1");
    const std::string out = run("read", path("cap.bin") + " 20");
    EXPECT_NE(out.find("\nTimeout. Urzadzenie niegotwe przez zbyt dlugi czasu. \n"
                       "\t rejestr CED ustawiono na 0x20\n"),
              std::string::npos);
    EXPECT_NE(out.find("\t O.K. Rejestracja zakonczona poprawnie po zmianie rej. ctr_ced\n\n"), std::string::npos);
    EXPECT_EQ(core->ctrCed(), 0x20);
    EXPECT_EQ(core->stored(), 1024u);
}

}  // namespace
}  // namespace kivo::analyser
