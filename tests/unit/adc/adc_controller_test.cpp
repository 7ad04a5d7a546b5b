// The ADC controller's register traffic and arithmetic, through the real transport on the
// virtual board, against a scripted stand-in for the core that logs every bus cycle.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "adc/adc_controller.h"
#include "board/epp_port.h"
#include "emulator/board_model.h"
#include "interpreter/console.h"
#include "tests/unit/temp_files.h"

namespace kivo::adc {
namespace {

using Log = std::vector<std::string>;

constexpr std::uint32_t kBase = 0x40000000;  // clear of every device of the board
constexpr std::uint32_t kMemoryOffset = 0x1000;
constexpr std::uint32_t kMemory = kBase + kMemoryOffset;

/// Registers at kBase, memory at kMemory. Every sample of the memory reads `level(control)`
/// of the last control byte; the word counter runs down by one per poll, as a core would
/// while the host keeps polling.
class FakeAdc final : public emulator::BusDevice {
public:
    explicit FakeAdc(Log& log) : log_(log) {}
    std::function<std::uint16_t(std::uint8_t control)> level = [](std::uint8_t) { return std::uint16_t{0}; };

    std::uint8_t read(std::uint32_t offset) override {
        if (offset >= kMemoryOffset) {
            if (log_.empty() || log_.back().rfind("mem*", 0) != 0) log_.push_back("mem*0");
            log_.back() = "mem*" + std::to_string(std::stoul(log_.back().substr(4)) + 1);
            const std::uint16_t v = level(control_);
            return static_cast<std::uint8_t>(offset % 2 == 0 ? v >> 8 : v);
        }
        note("r", offset, -1);
        if (offset == 0) {
            if (counter_ > 0) --counter_;
            latched_ = counter_;
        }
        return offset < 4 ? static_cast<std::uint8_t>(latched_ >> (8 * (3 - offset))) : 0;
    }
    void write(std::uint32_t offset, std::uint8_t value) override {
        note("w", offset, value);
        if (offset < 8) control_ = value;
        if (offset < 16) registers_[offset] = value;
        if (offset == 15)
            counter_ = std::uint32_t{registers_[12]} << 24 | std::uint32_t{registers_[13]} << 16 |
                       std::uint32_t{registers_[14]} << 8 | registers_[15];
    }

private:
    void note(const char* kind, std::uint32_t offset, int value) {
        char text[16];
        if (value < 0)
            std::snprintf(text, sizeof text, "%s%X", kind, offset);
        else
            std::snprintf(text, sizeof text, "%s%X=%02X", kind, offset, value);
        log_.push_back(text);
    }

    Log& log_;
    std::uint8_t control_ = 0;
    std::uint8_t registers_[16] = {};
    std::uint32_t counter_ = 0;
    std::uint32_t latched_ = 0;
};

class AdcControllerTest : public testing::TempFiles {
protected:
    void SetUp() override {
        TempFiles::SetUp();
        interpreter::console::setUtf8Output(false);
        fake = board.addressMap().attach(kBase, 0x2000, std::make_unique<FakeAdc>(log));
        ASSERT_NE(fake, nullptr);
        adc.pause = [this](std::uint32_t ms) { log.push_back("sleep" + std::to_string(ms)); };
        adc.adcBaseAdr = kBase;
        adc.memBaseAdr = kMemory;
        adc.memHighAdr = kMemory + 0xFFFF;
    }

    /// The log from the first bus cycle of the core on (the probe touches nothing of it).
    Log slice(std::size_t from, std::size_t count) const {
        return Log(log.begin() + static_cast<std::ptrdiff_t>(from),
                   log.begin() + static_cast<std::ptrdiff_t>(std::min(log.size(), from + count)));
    }
    std::vector<std::string> lines(const std::string& text) const {
        std::vector<std::string> out;
        for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
            out.push_back(text.substr(at, end - at));
        return out;
    }

    Log log;
    emulator::BoardModel board;
    board::EppPort port{board, board};
    FakeAdc* fake = nullptr;
    AdcController adc;
};

std::vector<std::uint8_t> samples(std::initializer_list<std::uint16_t> values) {
    std::vector<std::uint8_t> bytes;
    for (std::uint16_t v : values) {
        bytes.push_back(static_cast<std::uint8_t>(v >> 8));
        bytes.push_back(static_cast<std::uint8_t>(v));
    }
    return bytes;
}

TEST(AdcRecordTest, MeanRoundsHalvesUp) {
    const auto a = samples({1, 2});
    EXPECT_EQ(recordMean(a.data(), a.size()), 2u);
    const auto b = samples({1, 2, 2});
    EXPECT_EQ(recordMean(b.data(), b.size()), 2u);
    const auto c = samples({1, 1, 2});
    EXPECT_EQ(recordMean(c.data(), c.size()), 1u);
    const auto d = samples({0xFFFF, 0xFFFD});  // big-endian samples, not bytes
    EXPECT_EQ(recordMean(d.data(), d.size()), 0xFFFEu);
    // An odd byte at the end is no sample.
    auto e = samples({4, 6});
    e.push_back(0xFF);
    EXPECT_EQ(recordMean(e.data(), e.size()), 5u);
}

TEST(AdcRecordTest, Err2IsTheMeanSquareDeviation) {
    const auto a = samples({0, 4});
    EXPECT_EQ(recordErr2(a.data(), a.size(), 2), 4);
    const auto b = samples({10, 10, 10});
    EXPECT_EQ(recordErr2(b.data(), b.size(), 10), 0);
    const auto c = samples({1, 2, 2});  // 1 + 0 + 0 over 3, rounded down
    EXPECT_EQ(recordErr2(c.data(), c.size(), 2), 0);
}

TEST(AdcRecordTest, Err2DividesTheOverflowCountAndTheRemainderApart) {
    // S = 3 * FFFF^2 = 5 * 2^31 + 2147090435: 2147090435 / 3 + (2^31 / 3) * 5 = 4294836221,
    // where the exact quotient would be 4294836225; printed as a signed 32-bit number.
    const auto a = samples({0xFFFF, 0xFFFF, 0xFFFF});
    EXPECT_EQ(recordErr2(a.data(), a.size(), 0), static_cast<std::int32_t>(4294836221u));
}

TEST_F(AdcControllerTest, BaseAddressMustBeAMultipleOf16) {
    EXPECT_EQ(failure([&] { adc.setBaseAdr(0x2008); }).code, 20);
    adc.setBaseAdr(0x2010);
    EXPECT_EQ(adc.adcBaseAdr, 0x2010u);
}

TEST_F(AdcControllerTest, CalibrateMeasuresWithBigEndianRegistersAndWaits) {
    fake->level = [](std::uint8_t control) { return std::uint16_t(control & 0x80 ? 0x2000 : 0x1000); };
    const std::string out = printed([&] { adc.calibrate(port, 3); });

    // 64 passes of two measurements (the 1842 mV reference never reads below 256).
    const Log first = {"w3=7F", "w8=40", "w9=00", "wA=10", "wB=00", "sleep1", "wC=00", "wD=00", "wE=02", "wF=00",
                       "sleep1", "mem*2048",
                       "w3=FF", "w8=40", "w9=00", "wA=10", "wB=00", "sleep1", "wC=00", "wD=00", "wE=02", "wF=00",
                       "sleep1", "mem*2048",
                       "w3=7E"};
    EXPECT_EQ(slice(0, first.size()), first);
    EXPECT_EQ(log.size(), 64u * 24);
    EXPECT_EQ(log.back(), "mem*2048");
    EXPECT_EQ(log[log.size() - 12], "w3=C0");  // bit 6 stays as the reference measurement left it

    const auto printedLines = lines(out);
    ASSERT_EQ(printedLines.size(), 64u);
    EXPECT_EQ(printedLines[0], "sw=3F, wzmocn=1000[V/mV], zakres=+-3684[mV], zero=2000, ref=1000, err2=0");
    EXPECT_EQ(printedLines[63], "sw=0, wzmocn=1000[V/mV], zakres=+-3684[mV], zero=2000, ref=1000, err2=0");
}

TEST_F(AdcControllerTest, CalibrateCapsTheRecordAndCountsWholeWords) {
    adc.memHighAdr = kMemory + 0x1A;  // 27 bytes: 13 samples, 6 words
    printed([&] { adc.calibrate(port, 0); });
    const Log first = {"w0=7F", "w8=40", "w9=00", "wA=10", "wB=00", "sleep1", "wC=00", "wD=00", "wE=00", "wF=06",
                       "sleep1", "mem*27"};
    EXPECT_EQ(slice(0, first.size()), first);
}

TEST_F(AdcControllerTest, CalibrateFallsBackToThe153mVReference) {
    fake->level = [](std::uint8_t control) {
        if (control & 0x80) return std::uint16_t{0x0A00};
        return std::uint16_t(control & 0x40 ? 0x00FF : 0x0200);
    };
    const std::string out = printed([&] { adc.calibrate(port, 1); });
    // The zero measurement keeps bit 6 cleared.
    EXPECT_EQ(log[0], "w1=7F");
    EXPECT_EQ(log[12], "w1=3F");
    EXPECT_EQ(log[24], "w1=BF");
    EXPECT_EQ(log[36], "w1=7E");
    EXPECT_EQ(lines(out)[0], "sw=3F, wzmocn=10000[V/mV], zakres=+-612[mV], zero=A00, ref=200, err2=0");
}

TEST_F(AdcControllerTest, CalibrateReportsGainRelativeToTheFirstSetting) {
    // diff = 64 * (sw + 1): 4096 at 3F, 2048 at 1F, 64 at 0.
    fake->level = [](std::uint8_t control) {
        const int sw = control & 0x3F;
        return std::uint16_t(control & 0x80 ? 0x3000 : 0x3000 - 64 * (sw + 1));
    };
    const auto out = lines(printed([&] { adc.calibrate(port, 0); }));
    ASSERT_EQ(out.size(), 64u);
    EXPECT_EQ(out[0], "sw=3F, wzmocn=1000[V/mV], zakres=+-3684[mV], zero=3000, ref=2000, err2=0");
    EXPECT_EQ(out[32], "sw=1F, wzmocn=500[V/mV], zakres=+-7368[mV], zero=3000, ref=2800, err2=0");
    EXPECT_EQ(out[63], "sw=0, wzmocn=15[V/mV], zakres=+-235776[mV], zero=3000, ref=2FC0, err2=0");
}

TEST_F(AdcControllerTest, CalibrateSaysTooLargeWhenEvenTheLowReferenceSaturates) {
    fake->level = [](std::uint8_t control) {
        if (control & 0x80) return std::uint16_t{0x0A00};
        return std::uint16_t(control & 0x40 ? 0 : 50);
    };
    const auto out = lines(printed([&] { adc.calibrate(port, 0); }));
    EXPECT_EQ(out[0], "sw=3F, wzmocn=za duze, zero=A00, ref=32, err2=0");
}

TEST_F(AdcControllerTest, CalibrateWithoutAResponseCannotFormAGain) {
    fake->level = [](std::uint8_t) { return std::uint16_t{0x0400}; };
    auto out = lines(printed([&] { adc.calibrate(port, 0); }));
    EXPECT_EQ(out[0], "sw=3F, wzmocn=nieokreslone, zero=400, ref=400, err2=0");
    // A zero reading below the reference: the difference must not wrap into a gain.
    fake->level = [](std::uint8_t control) { return std::uint16_t(control & 0x80 ? 0x0300 : 0x0400); };
    out = lines(printed([&] { adc.calibrate(port, 0); }));
    EXPECT_EQ(out[0], "sw=3F, wzmocn=nieokreslone, zero=300, ref=400, err2=0");
    EXPECT_EQ(out[63], "sw=0, wzmocn=nieokreslone, zero=300, ref=400, err2=0");
}

TEST_F(AdcControllerTest, ReadsTheLinkCutsShortGiveZerosNotStaleMemory) {
    // A live calibration first leaves its records behind in memory.
    fake->level = [](std::uint8_t control) { return std::uint16_t(control & 0x80 ? 0x2000 : 0x1000); };
    printed([&] { adc.calibrate(port, 0); });

    emulator::BoardModel dead(emulator::BoardKind::Xsb, emulator::BoardFaults{.noAck = true});
    board::EppPort deadPort(dead, dead);
    deadPort.setEppmode(0x10);  // nibble protocol: every transfer fails
    int passes = 0;
    for (const std::string& line : lines(printed([&] { adc.calibrate(deadPort, 0); }))) {
        if (line.rfind("sw=", 0) != 0) continue;
        EXPECT_EQ(line.substr(line.find(',')), ", wzmocn=za duze, zero=0, ref=0, err2=0");
        ++passes;
    }
    EXPECT_EQ(passes, 64);

    // The counter reads 0, so the wait ends at once; the record saved is zeros.
    adc.memHighAdr = kMemory + 0xFF;
    printed([&] { adc.calibShow(deadPort, path("show.bin"), 0, 0, false); });
    EXPECT_EQ(get("show.bin"), std::string(256, '\0'));
}

TEST_F(AdcControllerTest, CalibrationNeedsItsAddressesAndAChannelBelow8) {
    struct Case {
        const char* what;
        std::function<void()> change;
        std::uint32_t channel;
        const char* message;
    };
    const char* kUnset = "\nadres bazowy kontrolera ADC lub pamieci nie zostal ustawiony";
    const char* kChannel = "\nNumer kanalu hest za duzy";
    const char* kShort = "\npamiec akwizycji ADC krotsza niz jedno slowo (4 bajty)";
    const Case cases[] = {
        {"no base", [&] { adc.adcBaseAdr = kNotSet; }, 0, kUnset},
        {"memory high 0", [&] { adc.memHighAdr = 0; }, 0, kUnset},
        {"memory of one byte", [&] { adc.memHighAdr = adc.memBaseAdr; }, 0, kUnset},
        {"memory base unset", [&] { adc.memBaseAdr = kNotSet; }, 0, kUnset},
        {"memory of three bytes", [&] { adc.memHighAdr = adc.memBaseAdr + 2; }, 0, kShort},
        {"channel 8", [] {}, 8, kChannel},
        {"channel 16", [] {}, 0x10, kChannel},
        {"channel -1", [] {}, 0xFFFFFFFF, kChannel},
        {"no base and channel 9", [&] { adc.adcBaseAdr = kNotSet; }, 9, kUnset},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AdcController saved = adc;
        c.change();
        for (int which = 0; which < 2; ++which) {
            const auto f = failure([&] {
                if (which == 0)
                    adc.calibrate(port, c.channel);
                else
                    adc.calibShow(port, path("never.bin"), c.channel, 0, false);
            });
            EXPECT_EQ(f.code, 0);
            EXPECT_EQ(f.text.value_or(""), c.message);
        }
        adc = saved;
    }
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(std::filesystem::exists(path("never.bin")));
}

TEST_F(AdcControllerTest, CalibShowTogglesTheZeroInputEveryEighthOfTheRecord) {
    adc.memHighAdr = kMemory + 0xFF;
    fake->level = [](std::uint8_t control) { return std::uint16_t(0x1200 | control); };
    printed([&] { adc.calibShow(port, path("show.hex"), 2, 0x45, false); });

    const Log setup = {"w2=45", "w8=40", "w9=00", "wA=10", "wB=00", "wC=00", "wD=00", "wE=00", "wF=40"};
    EXPECT_EQ(slice(0, setup.size()), setup);
    // Polls read the counter 63, 62, ... 0; after each eighth word the input turns over.
    int polls = 0;
    Log toggles;
    for (std::size_t i = setup.size(); i < log.size(); ++i) {
        if (log[i] == "r0") {
            EXPECT_EQ(slice(i, 4), (Log{"r0", "r1", "r2", "r3"}));
            ++polls;
        } else if (log[i].rfind("w2=", 0) == 0) {
            EXPECT_EQ(polls % 8, 0) << log[i];
            toggles.push_back(log[i] + "@" + std::to_string(polls));
        }
    }
    EXPECT_EQ(polls, 64);
    EXPECT_EQ(toggles, (Log{"w2=C5@8", "w2=45@16", "w2=C5@24", "w2=45@32", "w2=C5@40", "w2=45@48", "w2=C5@56",
                            "w2=45@64"}));
    EXPECT_EQ(log.back(), "mem*256");

    // The memory as read, as hex text: the last control byte was 45.
    std::string expected;
    for (int i = 0; i < 128; ++i) expected += (i % 8 == 7) ? "12 45\r\n" : "12 45 ";
    EXPECT_EQ(get("show.hex"), expected);
}

TEST_F(AdcControllerTest, CalibShowAppendsUnderFileappend) {
    adc.memHighAdr = kMemory + 3;  // one word: threshold 0, so every poll turns the input over
    fake->level = [](std::uint8_t) { return std::uint16_t{0xABCD}; };
    put("show.bin", "old");
    printed([&] { adc.calibShow(port, path("show.bin"), 0, 0, true); });
    EXPECT_EQ(get("show.bin"), "old\xAB\xCD\xAB\xCD");
    EXPECT_EQ(slice(9, 6), (Log{"r0", "r1", "r2", "r3", "w0=80", "mem*4"}));
}

TEST_F(AdcControllerTest, CalibShowOfAMemoryBeyondOneTransferRunsOutOfMemory) {
    adc.memBaseAdr = 0;
    adc.memHighAdr = 0xFFFFFFFF;  // 2^32 bytes
    EXPECT_EQ(failure([&] { adc.calibShow(port, path("never.bin"), 0, 0, false); }).code, 2);
    EXPECT_TRUE(log.empty());
}

TEST_F(AdcControllerTest, CalibWaveTogglesEveryMillisecond) {
    adc.calibWave(port, 0, 0xC0, 3);
    EXPECT_EQ(log, (Log{"w0=C0", "sleep1", "w0=40", "sleep1", "w0=C0", "sleep1"}));
    log.clear();
    adc.calibWave(port, 5, 0x07, 1);
    EXPECT_EQ(log, (Log{"w5=07", "sleep1"}));
    log.clear();
    adc.calibWave(port, 0, 0xC0, -1);
    EXPECT_TRUE(log.empty());
}

TEST_F(AdcControllerTest, CalibWaveNeedsOnlyTheBaseAddress) {
    adc.memBaseAdr = kNotSet;
    adc.memHighAdr = 0;
    adc.calibWave(port, 7, 0x01, 1);
    EXPECT_EQ(log, (Log{"w7=01", "sleep1"}));

    auto f = failure([&] { adc.calibWave(port, 8, 0, 1); });
    EXPECT_EQ(f.text.value_or(""), "\nNumer kanalu hest za duzy");
    adc.adcBaseAdr = kNotSet;
    f = failure([&] { adc.calibWave(port, 0, 0, 1); });
    EXPECT_EQ(f.code, 0);
    EXPECT_EQ(f.text.value_or(""), "\nadres bazowy kontrolera ADC nie zostal ustawiony");
}

}  // namespace
}  // namespace kivo::adc
