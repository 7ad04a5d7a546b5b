// The virtual ADC core: its input stages, its acquisition, and the controller driving it over
// every kind of link.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "adc/adc_controller.h"
#include "board/epp_port.h"
#include "emulator/adc_core.h"
#include "emulator/board_model.h"
#include "interpreter/console.h"
#include "tests/unit/capture_stdout.h"

namespace kivo::emulator {
namespace {

void writeBigEndian(AddressMap& map, std::uint32_t address, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) map.write(address + static_cast<std::uint32_t>(i), static_cast<std::uint8_t>(value >> (24 - 8 * i)));
}

std::uint32_t poll(AddressMap& map, std::uint32_t base) {
    std::uint32_t value = 0;
    for (std::uint32_t i = 0; i < 4; ++i) value = value << 8 | map.read(base + i);
    return value;
}

std::uint16_t sampleAt(AddressMap& map, std::uint32_t address) {
    return static_cast<std::uint16_t>(map.read(address) << 8 | map.read(address + 1));
}

TEST(AdcCoreTest, InputStageFollowsGainReferenceAndZeroSelect) {
    AdcCore core;
    core.setChannel(0, {0x2000, 1000});
    // Zero input: the zero code with the dither 0, 1, -1, 2, -2, 1, 0, -1, larger at high gain.
    EXPECT_EQ(core.sample(0, 0x80, 0), 0x2000);
    EXPECT_EQ(core.sample(0, 0x80, 3), 0x2002);
    EXPECT_EQ(core.sample(0, 0x80, 11), 0x2002);
    EXPECT_EQ(core.sample(0, 0xBF, 3), 0x2008);
    // 1842 mV at gain 1: 7544 codes down; 153 mV at gain 71/8: 5561 codes down.
    EXPECT_EQ(core.sample(0, 0x40, 0), 0x2000 - 7544);
    EXPECT_EQ(core.sample(0, 0x3F, 0), 0x2000 - 5561);
    // Beyond the converter's range the code saturates.
    EXPECT_EQ(core.sample(0, 0x7F, 0), 0);
    core.setChannel(1, {0x3FFE, 1000});
    EXPECT_EQ(core.sample(1, 0x80, 3), 0x3FFF);
}

TEST(AdcCoreTest, AcquisitionRunsOneWordPerPollIntoTheMemory) {
    AddressMap map;
    AdcCore* core = attachAdcCore(map, 0x1000, 0x8000, 0x100);
    ASSERT_NE(core, nullptr);
    core->setChannel(2, {0x1000, 1000});
    map.write(0x1002, 0x80);
    writeBigEndian(map, 0x1008, 0x8010);  // start 16 bytes into the memory
    EXPECT_EQ(core->acquisitions(), 0u);
    writeBigEndian(map, 0x100C, 3);
    EXPECT_EQ(core->acquisitions(), 1u);

    EXPECT_EQ(poll(map, 0x1000), 2u);
    EXPECT_EQ(sampleAt(map, 0x8010), 0x1000);  // reading memory completes the acquisition
    EXPECT_EQ(poll(map, 0x1000), 0u);
    EXPECT_EQ(sampleAt(map, 0x8012), 0x1001);
    EXPECT_EQ(sampleAt(map, 0x8014), 0x0FFF);
    EXPECT_EQ(sampleAt(map, 0x8016), 0x1002);
    EXPECT_EQ(sampleAt(map, 0x8018), 0x0FFE);
    EXPECT_EQ(sampleAt(map, 0x801C), 0);  // beyond the three words
    EXPECT_EQ(core->controlWrites(), (std::vector<std::pair<int, std::uint8_t>>{{2, 0x80}}));
    // Write-only registers read as 0.
    EXPECT_EQ(map.read(0x1008), 0);
}

TEST(AdcCoreTest, WordsOutsideTheMemoryAreDropped) {
    AddressMap map;
    AdcCore* core = attachAdcCore(map, 0x1000, 0x8000, 0x10);
    ASSERT_NE(core, nullptr);
    writeBigEndian(map, 0x1008, 0x8008);
    writeBigEndian(map, 0x100C, 8);  // runs 24 bytes past the memory's end
    for (std::uint32_t i = 0; i < 4; ++i) EXPECT_EQ(sampleAt(map, 0x8008 + 2 * i), core->sample(0, 0, i));
    EXPECT_EQ(core->remaining(), 0u);
    for (std::uint32_t i = 0; i < 8; ++i) EXPECT_EQ(map.read(0x8000 + i), 0) << i;  // nothing wrapped round
    EXPECT_EQ(map.read(0x8010), 0);  // plain RAM after the window
}

TEST(AdcCoreTest, AnAcquisitionOfAlmost2To32WordsCostsNoMoreThanTheMemory) {
    AddressMap map;
    AdcCore* core = attachAdcCore(map, 0x1000, 0x8000, 0x100);
    map.write(0x1003, 0x80);
    writeBigEndian(map, 0x1008, 0x8012);
    writeBigEndian(map, 0x100C, 0xFFFFFFFF);
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(poll(map, 0x1000), 0xFFFFFFFEu);
    const std::uint16_t first = sampleAt(map, 0x8012);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(2));
    EXPECT_EQ(first, core->sample(3, 0x80, 0));
    EXPECT_EQ(core->remaining(), 0u);
    // The addresses wrap round the whole space: every place holds the sample that reached it.
    for (std::uint32_t i = 0; i < 0x100; i += 2)
        EXPECT_EQ(sampleAt(map, 0x8000 + i), core->sample(3, 0x80, (i - 0x12) / 2)) << i;
}

TEST(AdcCoreTest, ClearingTheFpgaStopsTheAcquisitionAndKeepsTheMemory) {
    AddressMap map;
    AdcCore* core = attachAdcCore(map, 0x1000, 0x8000, 0x100);
    map.write(0x1000, 0xC5);
    writeBigEndian(map, 0x1008, 0x8000);
    writeBigEndian(map, 0x100C, 0x10);
    EXPECT_EQ(poll(map, 0x1000), 0xFu);
    map.notifyProgramN(false);
    EXPECT_EQ(core->remaining(), 0u);
    EXPECT_EQ(core->control(0), 0);
    EXPECT_EQ(sampleAt(map, 0x8000), core->sample(0, 0xC5, 0));  // the word acquired before
    EXPECT_EQ(sampleAt(map, 0x8004), 0);                           // never acquired
}

TEST(AdcCoreTest, WindowsThatCollideAreRefused) {
    AddressMap map;
    ASSERT_NE(attachAdcCore(map), nullptr);
    EXPECT_EQ(attachAdcCore(map, 0x20000000, kAdcMemoryAddress + 0x100), nullptr);
}

struct Link {
    BoardKind kind;
    std::int32_t mode;
};

class AdcOnVirtualBoardTest : public ::testing::TestWithParam<Link> {
protected:
    void SetUp() override { interpreter::console::setUtf8Output(false); }
};

TEST_P(AdcOnVirtualBoardTest, CalibShowRecordsEightSegmentsOfReferenceAndZero) {
    BoardModel board(GetParam().kind);
    board::EppPort port(board, board);
    port.setEppmode(GetParam().mode);
    adc::AdcController adc;
    adc.pause = [](std::uint32_t) {};
    adc.adcBaseAdr = kAdcCoreAddress;
    adc.memBaseAdr = kAdcMemoryAddress;
    adc.memHighAdr = kAdcMemoryAddress + 0x3FF;  // 256 words: segments of 32 words, 64 samples
    testing::CaptureStdout capture;
    adc.calibShow(port, "/dev/null", 4, 0x45, false);
    EXPECT_EQ(capture.text(), "");

    std::vector<std::uint16_t> expected;
    for (std::uint32_t i = 0; i < 512; ++i) {
        const bool zero = (i / 64) % 2 == 1;
        expected.push_back(AdcCore().sample(4, zero ? 0xC5 : 0x45, i));
    }
    std::vector<std::uint16_t> got;
    for (std::uint32_t i = 0; i < 512; ++i) got.push_back(sampleAt(board.addressMap(), kAdcMemoryAddress + 2 * i));
    EXPECT_EQ(got, expected);
}

INSTANTIATE_TEST_SUITE_P(Links, AdcOnVirtualBoardTest,
                         ::testing::Values(Link{BoardKind::Xsv300, 0}, Link{BoardKind::Xsv300, 3},
                                           Link{BoardKind::Xsv300, 4}, Link{BoardKind::Zem, 16}));

}  // namespace
}  // namespace kivo::emulator
