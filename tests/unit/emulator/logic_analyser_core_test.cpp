// The analyser core model on its own: identification, trigger and CE qualification, and how
// a capture advances with the status polls.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "emulator/logic_analyser_core.h"

namespace kivo::emulator {
namespace {

void writeWord(LogicAnalyserCore& core, std::uint32_t offset, std::uint64_t value) {
    for (std::uint32_t i = 0; i < 4; ++i) {
        core.write(offset + i, static_cast<std::uint8_t>(value >> (8 * i)));
        core.write(offset + 8 + i, static_cast<std::uint8_t>(value >> (32 + 8 * i)));
    }
}

/// Sample word `index` of a core with 16-bit samples, read through the bus.
unsigned sample(LogicAnalyserCore& core, std::uint32_t index) {
    const std::uint32_t at = core.windowSize() / 2 + 2 * index;
    return core.read(at) | core.read(at + 1) << 8;
}

/// Polls the status until the capture is done; returns the number of polls.
int pollUntilDone(LogicAnalyserCore& core, int limit) {
    for (int polls = 1; polls <= limit; ++polls)
        if (core.read(8) & LogicAnalyserCore::kDone) return polls;
    return -1;
}

TEST(LogicAnalyserCore, IdentificationAndWindowFollowTheParameters) {
    LogicAnalyserCore core;
    const std::vector<std::uint8_t> id{0x4A, 0x0A, 0x0F, 0x27, 0x0B, 0, 0, 0};
    for (std::uint32_t i = 0; i < id.size(); ++i) EXPECT_EQ(core.read(i), id[i]) << i;
    EXPECT_EQ(core.windowSize(), 4096u);
    EXPECT_EQ(core.depth(), 1024u);

    LogicAnalyserCore small({.memAdrWidth = 4, .useRlc = true, .dataWidth = 8, .trigWidth = 1, .ceDwidth = 64});
    EXPECT_EQ(small.read(1), 0x24);
    EXPECT_EQ(small.read(3), 0x00);
    EXPECT_EQ(small.read(4), 0x3F);
    EXPECT_EQ(small.windowSize(), 128u);  // 32 bytes of registers and samples, raised
}

TEST(LogicAnalyserCore, CaptureStartsAtTheTriggerAndFillsTheMemoryInPolls) {
    LogicAnalyserCore core;
    writeWord(core, 16, 0x0300);  // trigger value
    writeWord(core, 20, 0xFF00);  // care: the upper byte only
    core.write(8, 0x01);
    EXPECT_EQ(core.status(), LogicAnalyserCore::kArmed);
    // 0x300 clocks to the trigger, 1024 to fill: 1792 clocks, 28 polls of 64.
    EXPECT_EQ(pollUntilDone(core, 100), 28);
    EXPECT_EQ(core.status(), LogicAnalyserCore::kDone | LogicAnalyserCore::kTriggered);
    EXPECT_EQ(sample(core, 0), 0x300u);
    EXPECT_EQ(sample(core, 1023), 0x6FFu);
    EXPECT_EQ(core.read(12) | core.read(13) << 8, 1024);
    // The window ends with the high byte of the last word.
    EXPECT_EQ(core.read(core.windowSize() - 1), 0x06);
    // Qualifier registers and ctr_ced read back as written.
    EXPECT_EQ(core.read(17), 0x03);
    EXPECT_EQ(core.qualifier(20), 0xFF00u);
}

TEST(LogicAnalyserCore, TriggerBitsAboveTheBusAreIgnored) {
    LogicAnalyserCore core({.trigWidth = 8});
    writeWord(core, 16, 0x1000000FF);
    writeWord(core, 20, 0x1000000FF);  // bit 32 has no trigger input
    core.write(8, 0x01);
    core.runClocks(0x100);
    EXPECT_EQ(sample(core, 0), 0xFFu);
}

TEST(LogicAnalyserCore, CeDataStoresOnlyQualifiedClocks) {
    LogicAnalyserCore core;
    core.setInputs({1, 2, 3, 4, 5, 6});
    writeWord(core, 32, 0x0);  // CE value: even
    writeWord(core, 36, 0x1);
    core.write(10, 0x04);
    core.write(8, 0x01);
    core.runClocks(6);
    EXPECT_EQ(core.stored(), 3u);
    EXPECT_EQ(sample(core, 0), 2u);
    EXPECT_EQ(sample(core, 2), 6u);

    core.write(10, 0x05);  // active low: the odd ones
    core.write(8, 0x01);
    core.runClocks(6);
    EXPECT_EQ(core.stored(), 3u);
    EXPECT_EQ(sample(core, 0), 1u);
    EXPECT_EQ(sample(core, 2), 5u);
}

TEST(LogicAnalyserCore, AndTrigAndOrTrigCombineTriggerAndCe) {
    LogicAnalyserCore core;
    writeWord(core, 16, 0x0);
    writeWord(core, 20, 0x3);   // trigger on multiples of 4
    writeWord(core, 32, 0x1);
    writeWord(core, 36, 0x1);   // CE on odd words
    core.write(10, 0x0C);       // CE_Data + AND_trig: never both
    core.write(8, 0x01);
    core.runClocks(64);
    EXPECT_EQ(core.status() & LogicAnalyserCore::kTriggered, 0);

    writeWord(core, 16, 0x5);
    writeWord(core, 20, 0x7);   // trigger on 5 mod 8
    core.write(10, 0x10);       // OR_trig: the first odd word fires it first
    core.write(8, 0x01);
    core.runClocks(4);
    EXPECT_EQ(core.stored(), 3u);
    EXPECT_EQ(sample(core, 0), 1u);
}

TEST(LogicAnalyserCore, StoppingAndClearingTheFpga) {
    LogicAnalyserCore core;
    core.write(8, 0x01);
    core.runClocks(10);
    core.write(8, 0x00);
    core.runClocks(10);
    EXPECT_EQ(core.stored(), 10u);
    EXPECT_EQ(core.status(), LogicAnalyserCore::kTriggered);

    core.write(10, 0x3F);
    core.programNChanged(true);
    EXPECT_EQ(core.ctrCed(), 0x3F);
    core.programNChanged(false);
    EXPECT_EQ(core.ctrCed(), 0);
    EXPECT_EQ(core.stored(), 0u);
    EXPECT_EQ(sample(core, 9), 0u);
    EXPECT_EQ(core.read(0), 0x4A);  // the identification is the design's, not a register
}

}  // namespace
}  // namespace kivo::emulator
