// Register-level sequences of the transport for every link kind, against a recording port.
#include "board/epp_port.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <functional>

#include "interpreter/console.h"
#include "tests/unit/board/recording_port.h"

namespace kivo::board {
namespace {

using testing::RecordingPort;
using namespace kivo::port;
using Log = std::vector<std::string>;

Log repeat(std::size_t n, const std::string& entry) { return Log(n, entry); }

Log operator+(Log a, const Log& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class EppPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        interpreter::console::setUtf8Output(false);
        readyBoard();
    }

    /// An EPP board that is always ready: address register 0x88 (the EPP signature), status 0
    /// (nWait ready, no acknowledge pending).
    void readyBoard() {
        answerAll([](std::uint16_t port) -> std::uint8_t { return port == kStatusPort ? 0x00 : 0x88; });
    }

    void answerAll(std::function<std::uint8_t(std::uint16_t)> answer) {
        library.answer = answer;
        direct.answer = answer;
    }

    /// Runs the pending probe against the always-ready board, then sets `mode`.
    void settle(std::int32_t mode) {
        readyBoard();
        ASSERT_TRUE(port.probe(false));
        port.setEppmode(mode);
        log.clear();
    }

    std::string output(const std::function<void()>& action) {
        std::fflush(stdout);
        ::testing::internal::CaptureStdout();
        action();
        std::fflush(stdout);
        return ::testing::internal::GetCapturedStdout();
    }

    Log log;
    RecordingPort library{log, false};
    RecordingPort direct{log, true};
    EppPort port{library, direct};
};

const Log kHardwareAddress12345678 = {"addr<-78", "addr<-56", "addr<-34", "addr<-12"};

Log softwareAddressByte(const char* hex) {
    return {"ctl<-0D", std::string("data<-") + hex, "ctl<-05", "ctl<-04"};
}

const Log kSoftwareAddress12345678 =
    softwareAddressByte("78") + softwareAddressByte("56") + softwareAddressByte("34") + softwareAddressByte("12");

// ---- Hardware EPP (eppmode 0 and 4) ---------------------------------------------------------

TEST_F(EppPortTest, HardwareCyclesAreSingleRegisterAccessesLeastSignificantAddressByteFirst) {
    settle(0);
    port.writeByte(0x12345678, 0xAB);
    EXPECT_EQ(log, kHardwareAddress12345678 + Log{"edata<-AB"});
    log.clear();
    EXPECT_EQ(port.readByte(0x12345678), 0x88);
    EXPECT_EQ(log, kHardwareAddress12345678 + Log{"edata?"});
}

TEST_F(EppPortTest, HardwareBlocksUseLongAccessesOnlyWithBit2AndAMultipleOfFour) {
    std::array<std::uint8_t, 8> buffer{1, 2, 3, 4, 5, 6, 7, 8};
    struct Case {
        std::int32_t mode, count;
        const char *write, *read;
    } cases[] = {
        {0, 8, "edata<-bytes(8)", "edata?bytes(8)"}, {4, 8, "edata<-longs(2)", "edata?longs(2)"},
        {4, 6, "edata<-bytes(6)", "edata?bytes(6)"}, {4, 4, "edata<-longs(1)", "edata?longs(1)"},
        {4, 3, "edata<-bytes(3)", "edata?bytes(3)"}, {4, 1, "edata<-bytes(1)", "edata?bytes(1)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("eppmode " + std::to_string(c.mode) + " count " + std::to_string(c.count));
        settle(c.mode);
        port.writeBlock(buffer.data(), 0x12345678, c.count);
        EXPECT_EQ(log, kHardwareAddress12345678 + Log{c.write});
        log.clear();
        port.readBlock(0x12345678, c.count, buffer.data());
        EXPECT_EQ(log, kHardwareAddress12345678 + Log{c.read});
    }
    EXPECT_EQ(library.written.size(), 8u + 8 + 6 + 4 + 3 + 1);
}

TEST_F(EppPortTest, EmptyOrNegativeBlocksSendOnlyTheAddress) {
    for (std::int32_t mode : {0, 3, 16}) {
        settle(mode);
        answerAll([](std::uint16_t) { return std::uint8_t{0}; });
        std::uint8_t buffer[1] = {0x5A};
        for (std::int32_t count : {0, -1}) {
            port.writeBlock(buffer, 0x12345678, count);
            port.readBlock(0x12345678, count, buffer);
        }
        for (const std::string& entry : log) EXPECT_EQ(entry.find("edata"), std::string::npos) << entry;
        EXPECT_EQ(buffer[0], 0x5A);
    }
}

TEST_F(EppPortTest, Bit3MovesEveryAccessToThePortInstructionPath) {
    settle(8);
    port.writeByte(0x12345678, 0xAB);
    Log expected;
    for (const std::string& entry : kHardwareAddress12345678 + Log{"edata<-AB"}) expected.push_back("!" + entry);
    EXPECT_EQ(log, expected);
    log.clear();
    port.writeControl(0x04);
    port.readStatus();
    EXPECT_EQ(log, (Log{"!ctl<-04", "!status?"}));
}

// ---- Hand-driven EPP (eppmode 1, 2, 3 and with bit 3) ---------------------------------------

TEST_F(EppPortTest, SoftwareAddressCycleDrivesTheStrobesByHand) {
    for (std::int32_t mode : {1, 3}) {
        settle(mode);
        port.setAddress(0x12345678);
        EXPECT_EQ(log, kSoftwareAddress12345678);
    }
    settle(2);  // only reads by hand: the address goes through the chip
    port.setAddress(0x12345678);
    EXPECT_EQ(log, kHardwareAddress12345678);
}

TEST_F(EppPortTest, SoftwareSingleWriteWaitsForNWaitAfterPuttingTheData) {
    settle(1);
    int busyReads = 2;
    library.answer = [&](std::uint16_t p) -> std::uint8_t { return p == kStatusPort && busyReads-- > 0 ? 0x80 : 0; };
    port.setAddress(0);
    log.clear();
    port.writeByte(0, 0xAB);
    EXPECT_EQ(log, (softwareAddressByte("00") + softwareAddressByte("00") + softwareAddressByte("00") +
                    softwareAddressByte("00") + Log{"ctl<-07", "data<-AB"} + repeat(3, "status?") +
                    Log{"ctl<-05", "ctl<-04"}));

    settle(9);  // direct instructions: no wait
    port.setAddress(0);
    log.clear();
    port.writeByte(0, 0xAB);
    Log expected;
    for (const std::string& e : Log{"ctl<-0D", "data<-00", "ctl<-05", "ctl<-04"}) expected.push_back("!" + e);
    expected = expected + expected + expected + expected;
    for (const std::string& e : Log{"ctl<-07", "data<-AB", "ctl<-05", "ctl<-04"}) expected.push_back("!" + e);
    EXPECT_EQ(log, expected);
}

TEST_F(EppPortTest, SoftwareSingleWriteGivesUpAfterItsBoundAndReleasesTheStrobes) {
    settle(1);
    library.answer = [](std::uint16_t p) -> std::uint8_t { return p == kStatusPort ? 0x80 : 0; };
    std::string printed = output([&] { port.writeByte(0, 0xAB); });
    EXPECT_EQ(printed, "\nBlad podczas zapisu 1-go bajtu.\n");
    EXPECT_EQ(std::count(log.begin(), log.end(), "status?"), 1000001);
    EXPECT_EQ(Log(log.end() - 2, log.end()), (Log{"ctl<-05", "ctl<-04"}));
}

TEST_F(EppPortTest, SoftwareBlockWriteSequenceAndItsSilentTimeout) {
    settle(1);
    const std::uint8_t data[2] = {0x11, 0x22};
    EXPECT_EQ(port.writeData(data, 2), 0);
    EXPECT_EQ(log, (Log{"ctl<-07", "status?", "data<-11", "ctl<-05", "ctl<-07", "status?", "data<-22", "ctl<-05",
                        "ctl<-04"}));

    // The second byte never gets nWait: 1-based 2, nothing printed by writeData itself.
    log.clear();
    int reads = 0;
    library.answer = [&](std::uint16_t p) -> std::uint8_t { return p == kStatusPort && ++reads > 1 ? 0x80 : 0; };
    int result = 0;
    EXPECT_EQ(output([&] { result = port.writeData(data, 2); }), "");
    EXPECT_EQ(result, 2);
    EXPECT_EQ(reads, 1 + 1000001);
    EXPECT_EQ(Log(log.end() - 3, log.end()), (Log{"status?", "ctl<-05", "ctl<-04"}));  // strobes released

    reads = 0;
    EXPECT_EQ(output([&] { port.writeBlock(data, 0, 2); }), "\nBlad podczas zapisu 2-go bajtu.\n");
}

TEST_F(EppPortTest, SoftwareBlockWriteWithDirectInstructionsNeverPolls) {
    settle(9);
    library.answer = direct.answer = [](std::uint16_t p) -> std::uint8_t { return p == kStatusPort ? 0x80 : 0; };
    const std::uint8_t data[2] = {0x11, 0x22};
    EXPECT_EQ(port.writeData(data, 2), 0);
    EXPECT_EQ(log, (Log{"!ctl<-07", "!data<-11", "!ctl<-05", "!ctl<-07", "!data<-22", "!ctl<-05", "!ctl<-04"}));
}

TEST_F(EppPortTest, SoftwareSingleReadPollsAtMostElevenTimesAndTakesTheDataAnyway) {
    settle(2);
    library.answer = [](std::uint16_t p) -> std::uint8_t { return p == kStatusPort ? 0x80 : 0x5C; };
    bool timeout = true;
    EXPECT_EQ(port.readData(timeout), 0x5C);
    EXPECT_FALSE(timeout);
    EXPECT_EQ(log, (Log{"ctl<-24", "data?", "ctl<-26"} + repeat(11, "status?") + Log{"data?", "ctl<-24", "ctl<-04"}));

    log.clear();
    int busy = 3;
    library.answer = [&](std::uint16_t p) -> std::uint8_t { return p == kStatusPort && busy-- > 0 ? 0x80 : 0x5C; };
    port.readData(timeout);
    EXPECT_EQ(log, (Log{"ctl<-24", "data?", "ctl<-26"} + repeat(4, "status?") + Log{"data?", "ctl<-24", "ctl<-04"}));

    settle(10);
    port.readData(timeout);
    EXPECT_EQ(log, (Log{"!ctl<-24", "!data?", "!ctl<-26", "!data?", "!ctl<-24", "!ctl<-04"}));
}

TEST_F(EppPortTest, SoftwareBlockReadSequenceAndTimeoutLeavesTheRestAlone) {
    settle(2);
    std::uint8_t value = 0x40;
    library.answer = [&](std::uint16_t p) -> std::uint8_t { return p == kStatusPort ? 0 : value++; };
    std::uint8_t buffer[3] = {};
    port.readBlock(0, 2, buffer);
    EXPECT_EQ(Log(log.begin() + 4, log.end()), (Log{"ctl<-24", "data?", "ctl<-26", "status?", "data?", "ctl<-24",
                                                    "ctl<-26", "status?", "data?", "ctl<-24", "ctl<-04"}));
    EXPECT_EQ(buffer[0], 0x41);  // 0x40 went to the dropped first read
    EXPECT_EQ(buffer[1], 0x42);

    log.clear();
    std::uint8_t rest[3] = {0xEE, 0xEE, 0xEE};
    int reads = 0;
    library.answer = [&](std::uint16_t p) -> std::uint8_t { return p == kStatusPort && ++reads > 1 ? 0x80 : 0x33; };
    EXPECT_EQ(output([&] { port.readBlock(0, 3, rest); }),
              "Zbyt dlugi czas odczytu przez port komunikacyjny podczas odczytu 1 danej\n");
    EXPECT_EQ(rest[0], 0x33);
    EXPECT_EQ(rest[1], 0xEE);
    EXPECT_EQ(rest[2], 0xEE);
    EXPECT_EQ(reads, 1 + 1000001);
    EXPECT_EQ(log[log.size() - 1000004], "ctl<-26");
    EXPECT_EQ(Log(log.end() - 3, log.end()), (Log{"status?", "ctl<-24", "ctl<-04"}));  // strobe released first

    settle(10);
    direct.answer = [](std::uint16_t p) -> std::uint8_t { return p == kStatusPort ? 0x80 : 0x33; };
    port.readBlock(0, 1, rest);
    EXPECT_EQ(Log(log.begin() + 4, log.end()), (Log{"!ctl<-24", "!data?", "!ctl<-26", "!data?", "!ctl<-24", "!ctl<-04"}));
}

TEST_F(EppPortTest, AddressRegisterReadByLinkKind) {
    settle(0);
    port.readAddressRegister();
    EXPECT_EQ(log, Log{"addr?"});
    settle(2);
    port.readAddressRegister();
    EXPECT_EQ(log, (Log{"ctl<-24", "data?", "ctl<-2C", "data?", "ctl<-24", "ctl<-04"}));
    settle(10);
    port.readAddressRegister();
    EXPECT_EQ(log, (Log{"!ctl<-24", "!data?", "!ctl<-2C", "!data?", "!ctl<-24", "!ctl<-04"}));
}

TEST_F(EppPortTest, ProgramNOnEppBoardsIsTheNInitLine) {
    settle(3);
    port.setProgramN(0);
    port.setProgramN(1);
    EXPECT_EQ(log, (Log{"ctl<-00", "ctl<-04"}));
}

// ---- Nibble protocol (eppmode 16 and more) ---------------------------------------------------

class NibbleTest : public EppPortTest {
protected:
    void SetUp() override {
        EppPortTest::SetUp();
        settle(16);
        echoBoard();
    }
    /// A nibble board that acknowledges at once and echoes bits 7-6 of the data lines.
    void echoBoard() {
        library.answer = [this](std::uint16_t p) -> std::uint8_t {
            return p == kStatusPort ? static_cast<std::uint8_t>((library.lastData >> 6) << 4) : 0;
        };
    }
};

TEST_F(NibbleTest, AddressBytesGoLowNibbleFirstWithAnAcknowledgeAfterEachStep) {
    port.setAddress(0x12345678);
    EXPECT_EQ(log, (Log{"data<-8B", "status?", "data<-71", "status?", "data<-63", "status?", "data<-51", "status?",
                        "data<-43", "status?", "data<-31", "status?", "data<-23", "status?", "data<-11", "status?"}));
}

TEST_F(NibbleTest, NibbleAlwaysUsesTheLibraryPathWhilePlainRegistersFollowBit3) {
    port.setEppmode(24);
    port.setAddress(0);
    for (const std::string& entry : log) EXPECT_NE(entry[0], '!') << entry;
    log.clear();
    port.readStatus();
    port.writeControl(0x04);
    EXPECT_EQ(log, (Log{"!status?", "!ctl<-04"}));
}

TEST_F(NibbleTest, DataWriteChecksTheEchoOfEachStep) {
    const std::uint8_t data[2] = {0xC5, 0x3A};
    EXPECT_EQ(port.writeData(data, 2), 0);
    EXPECT_EQ(log, (Log{"data<-5A", "status?", "data<-C0", "status?", "data<-AA", "status?", "data<-30", "status?"}));

    // Wrong echo on the second byte's first step.
    library.answer = [this](std::uint16_t p) -> std::uint8_t {
        if (p != kStatusPort) return 0;
        const std::uint8_t echo = library.lastData == 0xAA ? 0 : library.lastData >> 6;
        return static_cast<std::uint8_t>(echo << 4);
    };
    int result = 0;
    EXPECT_EQ(output([&] { result = port.writeData(data, 2); }),
              "Blad zapisu podczas zapisu 1 [hex] bajtu. Inne dane przes\xB3"
              "ane inne odczytana. Dlaszy zapis zaniechany\n");
    EXPECT_EQ(result, 2);

    // No acknowledge at all: 10,001 status reads, then the timeout report for byte 0.
    log.clear();
    library.answer = [](std::uint16_t p) -> std::uint8_t { return p == kStatusPort ? 0x08 : 0; };
    EXPECT_EQ(output([&] { result = port.writeData(data, 2); }),
              "Blad timeout'u podczas zapisu 0 [hex] bajtu. Dalszy zapis zaniechany\n");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(log, Log{"data<-5A"} + repeat(10001, "status?"));
}

TEST_F(NibbleTest, WriteByteAndWriteBlockReportTheFailedByte) {
    auto echoUntil = [this](int goodSteps) {
        library.answer = [this, goodSteps, steps = 0](std::uint16_t p) mutable -> std::uint8_t {
            if (p != kStatusPort) return 0;
            const bool addressStep = (library.lastData & 0x01) != 0;
            if (!addressStep && ++steps > goodSteps) return 0x08;
            return static_cast<std::uint8_t>((library.lastData >> 6) << 4);
        };
    };
    const std::uint8_t data[3] = {1, 2, 3};
    echoUntil(2);  // byte 0 passes both steps, byte 1 gets no acknowledge
    EXPECT_EQ(output([&] { port.writeBlock(data, 0, 3); }),
              "Blad timeout'u podczas zapisu 1 [hex] bajtu. Dalszy zapis zaniechany\n"
              "\nBlad podczas zapisu 2-go bajtu.\n");
}

TEST_F(NibbleTest, DataReadGathersTwoBitsPerStepLowestFirst) {
    const std::uint8_t pairs[4] = {1, 2, 3, 0};
    int step = 0;
    library.answer = [&](std::uint16_t p) -> std::uint8_t {
        return p == kStatusPort ? static_cast<std::uint8_t>(pairs[step++ % 4] << 4) : 0;
    };
    bool timeout = true;
    EXPECT_EQ(port.readData(timeout), 0x39);
    EXPECT_FALSE(timeout);
    EXPECT_EQ(log, (Log{"data<-0E", "status?", "data<-04", "status?", "data<-06", "status?", "data<-04", "status?"}));
}

TEST_F(NibbleTest, ReadTimeoutsAreReportedAndStopTheBlock) {
    port.setAddress(0);
    int steps = 0;
    // Acknowledge the address steps, then 5 data steps: byte 0 complete, byte 1 stops.
    library.answer = [&](std::uint16_t p) -> std::uint8_t {
        if (p != kStatusPort) return 0;
        if (library.lastData & 0x01) return 0x30;
        return ++steps > 5 ? 0x08 : 0x30;
    };
    std::uint8_t buffer[3] = {0xEE, 0xEE, 0xEE};
    EXPECT_EQ(output([&] { port.readBlock(0, 3, buffer); }),
              "Blad timeout'u podczas odczytu 1 [hex] bajtu. Dalszy odczyt zaniechany\n");
    EXPECT_EQ(buffer[0], 0xFF);
    EXPECT_EQ(buffer[1], 0x00);
    EXPECT_EQ(buffer[2], 0xEE);

    steps = 0;
    std::uint8_t value = 0xEE;
    EXPECT_EQ(output([&] { value = port.readByte(0); }), "");
    EXPECT_EQ(value, 0xFF);
    EXPECT_EQ(output([&] { value = port.readByte(0); }), "Blad timeout'u podczas odczytu\n");
    EXPECT_EQ(value, 0);
}

TEST_F(NibbleTest, AddressRegisterIsSampledWithoutAcknowledge) {
    const std::uint8_t pairs[4] = {2, 0, 1, 3};
    int step = 0;
    library.answer = [&](std::uint16_t p) -> std::uint8_t {
        return p == kStatusPort ? static_cast<std::uint8_t>(0x08 | (pairs[step++] << 4)) : 0;
    };
    EXPECT_EQ(port.readAddressRegister(), 0xD2);  // 3:1:0:2 from the top pair down
    EXPECT_EQ(log, (Log{"data<-0F", "status?", "data<-15", "status?", "data<-27", "status?", "data<-35", "status?"}));
}

TEST_F(NibbleTest, ProgramNSequenceAndItsCheck) {
    library.answer = [](std::uint16_t p) -> std::uint8_t { return p == kStatusPort ? 0x10 : 0; };
    EXPECT_EQ(output([&] { port.setProgramN(1); }), "");
    EXPECT_EQ(log, (Log{"data<-9F", "data<-9F", "data<-9D", "data<-9F", "data<-9D", "data<-97", "data<-95",
                        "status?"}));
    log.clear();
    EXPECT_EQ(output([&] { port.setProgramN(0); }), "ProgramN pin does not change as desired\n");
    EXPECT_EQ(log, (Log{"data<-1F", "data<-1F", "data<-1D", "data<-1F", "data<-1D", "data<-17", "data<-15",
                        "status?"}));
}

TEST_F(NibbleTest, WaitAcknowledgeGivesUpAfter10001Reads) {
    library.answer = [](std::uint16_t p) -> std::uint8_t { return 0x38; };
    EXPECT_EQ(port.waitAcknowledge(), 0xFF);
    EXPECT_EQ(log, repeat(10001, "status?"));
    log.clear();
    library.answer = [](std::uint16_t p) -> std::uint8_t { return 0x20; };
    EXPECT_EQ(port.waitAcknowledge(), 2);
    EXPECT_EQ(log.size(), 1u);
}

TEST_F(NibbleTest, AddressTimeoutResynchronisesAndResendsTheWholeAddress) {
    // The acknowledge of the second step of byte 1 is lost once (all its 10,001 reads).
    library.answer = [&, lost = false, reads = 0](std::uint16_t p) mutable -> std::uint8_t {
        if (p != kStatusPort) return 0;
        if (library.lastData == 0x51 && !lost) {
            if (++reads == 10001) lost = true;
            return 0x08;
        }
        return 0;
    };
    EXPECT_EQ(output([&] { port.setAddress(0x12345678); }),
              "Blad timeout'u podczas przesylania adresu spowodowany przez wczesniejszy transfer\n");
    Log writes;
    for (const std::string& entry : log)
        if (entry != "status?") writes.push_back(entry);
    EXPECT_EQ(writes, (Log{"data<-8B", "data<-71", "data<-63", "data<-51", "data<-53", "data<-51", "data<-8B",
                           "data<-71", "data<-63", "data<-51", "data<-43", "data<-31", "data<-23", "data<-11"}));

    // A first-step timeout rewrites that byte with bit 1 inverted, once.
    log.clear();
    library.answer = [&, lost = false, reads = 0](std::uint16_t p) mutable -> std::uint8_t {
        if (p != kStatusPort) return 0;
        if (library.lastData == 0x8B && !lost) {
            if (++reads == 10001) lost = true;
            return 0x08;
        }
        return 0;
    };
    output([&] { port.setAddress(0x12345678); });
    writes.clear();
    for (const std::string& entry : log)
        if (entry != "status?") writes.push_back(entry);
    EXPECT_EQ(Log(writes.begin(), writes.begin() + 3), (Log{"data<-8B", "data<-89", "data<-8B"}));
}

TEST_F(NibbleTest, AddressGivenUpAfterFourAttemptsSkipsTheDataPhase) {
    library.answer = [](std::uint16_t p) -> std::uint8_t { return p == kStatusPort ? 0x08 : 0; };
    const std::string timeoutLine =
        "Blad timeout'u podczas przesylania adresu spowodowany przez wczesniejszy transfer\n";
    const std::uint8_t data[1] = {0x42};
    EXPECT_EQ(output([&] { port.writeBlock(data, 0x10, 1); }),
              timeoutLine + timeoutLine + timeoutLine + timeoutLine +
                  "Adres nie zostal przeslany po 4 probach. Transfer zaniechany\n");
    Log writes;
    for (const std::string& entry : log)
        if (entry != "status?") writes.push_back(entry);
    EXPECT_EQ(writes, (Log{"data<-0B", "data<-09", "data<-0B", "data<-09", "data<-0B", "data<-09", "data<-0B",
                           "data<-09"}));
    std::uint8_t value = 0xEE;
    output([&] { value = port.readByte(0x10); });
    EXPECT_EQ(value, 0);
}

// ---- Probe ----------------------------------------------------------------------------------

class ProbeTest : public EppPortTest {
protected:
    /// A board whose answers depend on the port register and the path.
    void board(std::uint8_t hardwareId, std::uint8_t softwareId, std::uint8_t status) {
        answerAll([=](std::uint16_t p) -> std::uint8_t {
            if (p == kEppAddressPort) return hardwareId;
            if (p == kStatusPort) return status;
            return softwareId;
        });
    }
};

TEST_F(ProbeTest, DefaultModeFindsTheBoardThroughTheEmulatedAddressRead) {
    board(0xFF, 0xA8 | 0x20 | 0x03, 0x00);  // signature, XSV300 marker, Done and InitN high
    std::string printed;
    bool found = false;
    printed = output([&] { found = port.probe(true); });
    EXPECT_TRUE(found);
    EXPECT_FALSE(port.probePending());
    EXPECT_EQ(printed,
              "  Plyta pracuje w trybie software'owej emulacji standardu EPP\n"
              "\tXSV300 Wersja: '0', Done '1', InitN '1', eppmode '3'\n");
    for (const std::string& entry : log) EXPECT_EQ(entry.find("addr"), std::string::npos);
    EXPECT_EQ(Log(log.begin(), log.begin() + 1), Log{"ctl<-04"});
}

TEST_F(ProbeTest, BoardLineShowsTheAddressRegisterBits) {
    board(0x98 | 0x02, 0xFF, 0x01);  // hardware answers: version bit 4, Done high, InitN low
    port.setEppmode(0);
    EXPECT_EQ(output([&] { port.probe(true); }),
              "\t Ostrzezenie: Blad timeout'u podczas pracy w trybie EPP\n"
              "\tXSV800 Wersja: '1', Done '1', InitN '0', eppmode '0'\n");
    EXPECT_EQ(port.eppmode(), 0);
}

TEST_F(ProbeTest, HardwareSilenceFallsBackToEmulationOnceAndTheWarningNeedsMode0) {
    board(0xFF, 0x88, 0x01);
    port.setEppmode(0);
    EXPECT_EQ(output([&] { EXPECT_TRUE(port.probe(true)); }),
              "  Plyta pracuje w trybie software'owej emulacji standardu EPP\n"
              "\tXSV800 Wersja: '0', Done '0', InitN '0', eppmode '3'\n");
    EXPECT_EQ(port.eppmode(), 3);
    EXPECT_EQ(std::count(log.begin(), log.end(), "addr?"), 1);
}

TEST_F(ProbeTest, NibbleBoardsAreIdentifiedAndRaiseTheMode) {
    struct Case {
        std::uint8_t id;
        std::int32_t kind;
        const char* line;
    } cases[] = {
        {0x80 | 0x20 | 0x04 | 0x01, 0, "Plyta XSB wykryta, Ver= 2. Progn= 1, InitN= 0, Done= 1\n"},
        {0x40 | 0x10 | 0x02, 1, "Plyta ZEM wykryta, Ver= 1. Progn= 0, InitN= 1, Done= 0\n"},
    };
    for (const Case& c : cases) {
        // Not an EPP board: the emulated address read sees 0xFF; the identification comes two
        // bits per step on status bits 5-4, lowest pair first.
        EppPort fresh(library, direct);
        log.clear();
        int step = 0;
        // The EPP attempt's status read comes before the nibble steps.
        answerAll([&, eppStatusDone = false](std::uint16_t p) mutable -> std::uint8_t {
            if (p != kStatusPort) return 0xFF;
            if (!eppStatusDone) {
                eppStatusDone = true;
                return 0x78;
            }
            return static_cast<std::uint8_t>(((c.id >> (2 * step++)) & 3) << 4);
        });
        EXPECT_EQ(output([&] { EXPECT_TRUE(fresh.probe(true)); }), c.line);
        EXPECT_EQ(fresh.eppmode(), 16);
        EXPECT_EQ(fresh.boardKind(), c.kind);
        Log tail(log.end() - 9, log.end());
        EXPECT_EQ(tail, (Log{"data<-0D", "data<-0F", "status?", "data<-15", "status?", "data<-27", "status?",
                             "data<-35", "status?"}));
    }
}

TEST_F(ProbeTest, NoBoardPrintsTheFailureLineEvenWhenSilent) {
    board(0xFF, 0xFF, 0x78);
    port.setEppmode(0);
    bool found = true;
    EXPECT_EQ(output([&] { found = port.probe(false); }),
              "Blad. Plyta nie jest podlaczona, uklad CPLD jest zle zaprogramowany,\n\tlub uklad FPGA nie ma "
              "interface'u EPP\n\tSygnal ~Wait= 1, Done= 1\n");
    EXPECT_FALSE(found);
    EXPECT_EQ(port.eppmode(), 3);  // the fallback of the EPP attempt stays
    EXPECT_FALSE(port.probePending());
}

TEST_F(ProbeTest, FirstTransferProbesOnlyOnce) {
    board(0xFF, 0xFF, 0x78);
    output([&] { port.setAddress(0); });
    EXPECT_FALSE(port.probePending());
    log.clear();
    output([&] { port.setAddress(0); });
    EXPECT_EQ(log, softwareAddressByte("00") + softwareAddressByte("00") + softwareAddressByte("00") +
                       softwareAddressByte("00"));
}

}  // namespace
}  // namespace kivo::board
