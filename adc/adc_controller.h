#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace kivo::board {
class EppPort;
}

namespace kivo::adc {

/// An address the script has not set.
inline constexpr std::uint32_t kNotSet = 0xFFFFFFFF;

/// The ADC controller core of one script run: where its registers and its acquisition memory
/// lie, and the operations that calibrate and capture with it.
///
/// Registers (offsets from adcBaseAdr; 32-bit values big-endian): 0-7 write: control byte of
/// channel 0-7; 0 read: words still to acquire; 8 write: start address; 12 write: length in
/// words, which starts the acquisition. Control byte: gain switch in bits 0-5, bit 6 selects
/// the 1842 mV reference (0: 153 mV), bit 7 connects the zero input.
class AdcController {
public:
    /// Base of the register window, a multiple of 16; kNotSet until the script sets it.
    std::uint32_t adcBaseAdr = kNotSet;
    /// First address of the acquisition memory; kNotSet until set.
    std::uint32_t memBaseAdr = kNotSet;
    /// Last address of the acquisition memory.
    std::uint32_t memHighAdr = 0;

    /// How the controller waits between register writes (milliseconds); the platform's sleep
    /// unless a test records the waits instead.
    std::function<void(std::uint32_t)> pause;

    AdcController();

    /// The memory counts as set when memBaseAdr < memHighAdr.
    bool memorySet() const { return memBaseAdr < memHighAdr; }
    /// memHighAdr - memBaseAdr + 1 bytes (up to 2^32, so 64-bit).
    std::uint64_t memoryLength() const { return std::uint64_t{memHighAdr} - memBaseAdr + 1; }

    /// Stores the register window's base; not a multiple of 16: fail code 20.
    void setBaseAdr(std::uint32_t address);

    /// Gain calibration of `channel` over the 64 switch settings, 3F down to 0: one line per
    /// setting with the gain relative to setting 3F, the input range, the zero and reference
    /// readings and the spread of the zero reading. Records of at most 2048 bytes.
    void calibrate(board::EppPort& port, std::uint32_t channel);

    /// One acquisition of the whole memory with `control` on `channel`, the zero input
    /// toggled in about eight segments, saved to `file` (a data file; appended when `append`).
    void calibShow(board::EppPort& port, const std::string& file, std::uint32_t channel, std::uint8_t control,
                   bool append);

    /// Writes `control` to `channel`, toggling its zero input every millisecond: `time`
    /// writes, without end when `time` is 0, none when it is negative.
    void calibWave(board::EppPort& port, std::uint32_t channel, std::uint8_t control, std::int32_t time);

private:
    /// Checks shared by calibrate and calibShow: base address, memory, channel (fail code 0).
    void requireMemoryAndChannel(std::uint32_t channel) const;
    void writeControl(board::EppPort& port, std::uint32_t channel, std::uint8_t control);
};

/// The mean of the big-endian 16-bit samples of a record, rounded to the nearest integer,
/// halves up (`length` / 2 samples, at least one).
std::uint32_t recordMean(const std::uint8_t* record, std::size_t length);

/// The mean square deviation of the record's samples from `mean`, as the controller reports
/// it: the sum of squares is kept as a count of 2^31 and a remainder, each divided by the
/// number of samples on its own (at least one sample).
std::int32_t recordErr2(const std::uint8_t* record, std::size_t length, std::uint32_t mean);

}  // namespace kivo::adc
