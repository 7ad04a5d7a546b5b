#pragma once
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "emulator/bus_device.h"

namespace kivo::emulator {

/// Where the board maps put the analyser core.
inline constexpr std::uint32_t kLogicAnalyserBase = 0x20000000;

/// Build parameters of an analyser core, as its identification bytes report them. Values
/// outside what the la commands accept are allowed so that their checks can be exercised.
struct LogicAnalyserParameters {
    std::uint8_t signature = 0x4A;
    int memAdrWidth = 10;  ///< sample memory of 2^memAdrWidth words (0..20)
    bool useRlc = false;   ///< only reported: the model always stores plain samples
    int dataWidth = 16;    ///< bits per sample word (1..256)
    int trigWidth = 40;    ///< bits of the trigger bus (1..256)
    int ceDwidth = 12;     ///< bits of the CE data bus (1..256)
};

/// A logic state analyser core in the FPGA design. The lower half of its window holds the
/// identification bytes and registers, the upper half the sample memory (little-endian words,
/// in address order).
///
/// Its probes see one 64-bit input word per sample clock: by default a counter that starts at
/// 0 when the capture is armed, or the words given to setInputs. The data, trigger and CE buses
/// are the low dataWidth, trigWidth and ceDwidth bits of that word. Sample clocks run only
/// while the status register is polled: every status read first runs kClocksPerStatusRead
/// clocks, so a capture's progress is counted in polls, as the la commands count it.
class LogicAnalyserCore final : public BusDevice {
public:
    /// Sample clocks run by one status read.
    static constexpr std::uint32_t kClocksPerStatusRead = 64;
    /// Status bits.
    static constexpr std::uint8_t kArmed = 0x01;
    static constexpr std::uint8_t kDone = 0x40;
    static constexpr std::uint8_t kTriggered = 0x80;

    explicit LogicAnalyserCore(const LogicAnalyserParameters& parameters = {});

    /// Window size in bytes: 2^(memAdrWidth+1) words of dataWidth bits, at least 128.
    std::uint32_t windowSize() const { return windowSize_; }
    /// Words the sample memory holds: 2^memAdrWidth.
    std::uint32_t depth() const { return depth_; }

    /// Register map (offsets from the window's base):
    ///   0..7   read: signature, mem_adr_width | use_rlc << 5, data_width-1, trig_width-1,
    ///          ce_dwidth-1, 0, 0, 0
    ///   8      write: control, bit 0 set arms a new capture, clear stops one in progress;
    ///          read: status (kArmed, kDone, kTriggered), after running the clocks
    ///   9      read: the last control byte
    ///   10     read/write: ctr_ced
    ///   12..15 read: sample words stored by the current capture
    ///   16..47 read/write: trigger value and care, CE value and care (low words at 16, 20,
    ///          32, 36; high words 8 above)
    ///   upper half: the sample memory, read only; it repeats when smaller than the half.
    /// Everything else reads 0 and ignores writes.
    std::uint8_t read(std::uint32_t offset) override;
    void write(std::uint32_t offset, std::uint8_t value) override;
    /// Clearing the FPGA loses the registers and the samples.
    void programNChanged(bool level) override;

    /// The probe word of each sample clock from now on, repeating; empty: the counter.
    void setInputs(std::vector<std::uint64_t> inputs) { inputs_ = std::move(inputs); }
    /// Runs `clocks` sample clocks as status polls would.
    void runClocks(std::uint32_t clocks);
    std::uint8_t status() const { return status_; }
    std::uint8_t ctrCed() const { return registers_[10]; }
    /// One of the 64-bit qualifier registers by the offset of its low word (16, 20, 32, 36).
    std::uint64_t qualifier(std::uint32_t offset) const;
    /// Sample words stored by the current capture.
    std::uint32_t stored() const { return stored_; }

private:
    void reset();
    std::uint64_t input(std::uint64_t clock) const;
    bool ceQualifies(std::uint64_t word) const;
    bool triggerMatches(std::uint64_t word) const;

    LogicAnalyserParameters parameters_;
    std::uint32_t windowSize_;
    std::uint32_t depth_;
    std::uint32_t wordBytes_;
    std::array<std::uint8_t, 48> registers_{};
    std::vector<std::uint8_t> memory_;
    std::vector<std::uint64_t> inputs_;
    std::uint8_t status_ = 0;
    std::uint8_t control_ = 0;
    std::uint64_t clock_ = 0;
    std::uint32_t stored_ = 0;
};

}  // namespace kivo::emulator
