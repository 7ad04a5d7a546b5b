#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "emulator/address_map.h"
#include "emulator/bus_device.h"

namespace kivo::emulator {

/// Where every virtual board has its ADC core: the 16-byte register window ...
inline constexpr std::uint32_t kAdcCoreAddress = 0x70000000;
/// ... and the acquisition memory the core fills.
inline constexpr std::uint32_t kAdcMemoryAddress = 0x70010000;
inline constexpr std::uint32_t kAdcMemorySize = 0x10000;

/// How one channel's input stage turns a voltage into a code.
struct AdcChannel {
    std::uint16_t zeroCode = 0x2000;  ///< code of the zero input (0 .. 3FFF)
    std::uint32_t scale = 1000;       ///< the stage's gain error, per mille of the nominal gain
};

/// The ADC controller of the FPGA design: eight channels, each with a control byte (gain
/// switch in bits 0-5, reference 1842 mV / 153 mV in bit 6, zero input in bit 7), and an
/// acquisition that stores 14-bit codes as big-endian 16-bit samples, two per 32-bit word.
///
/// Registers (offsets): 0-7 write: control byte of channel 0-7; 0-3 read: words still to
/// acquire, big-endian; 8-11 write: start address (a board address), big-endian; 12-15 write:
/// length in words, big-endian; the write of offset 15 starts the acquisition.
///
/// The model has no clock: every read of offset 0 (the first byte of a counter poll) acquires
/// one word, and a read of the memory completes the acquisition, as the host's memory reads
/// take longer than any acquisition. The channel acquired is the one whose control byte was
/// written last; words whose address falls outside the memory are dropped.
class AdcCore final : public BusDevice {
public:
    static constexpr int kChannels = 8;
    static constexpr std::uint32_t kRegisterWindow = 16;

    /// A core whose acquisition memory lies at memoryBase .. memoryBase + memorySize - 1.
    explicit AdcCore(std::uint32_t memoryBase = kAdcMemoryAddress, std::uint32_t memorySize = kAdcMemorySize);

    std::uint8_t read(std::uint32_t offset) override;
    void write(std::uint32_t offset, std::uint8_t value) override;
    /// The core loses its registers and any running acquisition; the memory keeps its bytes.
    void programNChanged(bool level) override;

    /// The sample the stage of `channel` (as set by setChannel) gives for `control` as the
    /// `index`-th sample of an acquisition: a deterministic dither on the nominal reading.
    std::uint16_t sample(int channel, std::uint8_t control, std::uint32_t index) const;

    /// Changes the input stage of `channel` (0..7); the defaults differ per channel.
    void setChannel(int channel, AdcChannel stage) { channels_[static_cast<std::size_t>(channel)] = stage; }
    const AdcChannel& channel(int channel) const { return channels_[static_cast<std::size_t>(channel)]; }
    /// The control byte last written for `channel` (0..7).
    std::uint8_t control(int channel) const { return controls_[static_cast<std::size_t>(channel)]; }
    /// Every control byte written, oldest first: (channel, value).
    const std::vector<std::pair<int, std::uint8_t>>& controlWrites() const { return controlWrites_; }
    /// Words still to acquire.
    std::uint32_t remaining() const { return remaining_; }
    /// Acquisitions started so far.
    std::size_t acquisitions() const { return acquisitions_; }
    std::uint32_t memoryBase() const { return memoryBase_; }
    const std::vector<std::uint8_t>& memory() const { return memory_; }

    /// The acquisition memory as the device of its own window (memoryBase, memory().size()).
    /// It refers to this core, which must outlive it (both belong to one AddressMap).
    std::unique_ptr<BusDevice> memoryWindow();

private:
    class MemoryWindow;

    void start();
    void acquire(std::uint32_t words);
    void storeWord(std::uint32_t word, std::uint8_t control);

    std::uint32_t memoryBase_;
    std::vector<std::uint8_t> memory_;
    std::array<AdcChannel, kChannels> channels_;
    std::array<std::uint8_t, kChannels> controls_{};
    std::vector<std::pair<int, std::uint8_t>> controlWrites_;
    std::array<std::uint8_t, 8> startAndLength_{};  // offsets 8-15 as written
    int activeChannel_ = 0;
    std::uint32_t startAddress_ = 0;
    std::uint32_t acquired_ = 0;   // words of the running acquisition done so far
    std::uint32_t remaining_ = 0;
    std::uint32_t latched_ = 0;    // the counter as the poll's first byte saw it
    std::size_t acquisitions_ = 0;
};

/// Attaches a core at `base` and its memory at `memoryBase`; nullptr when a window collides.
AdcCore* attachAdcCore(AddressMap& map, std::uint32_t base = kAdcCoreAddress,
                       std::uint32_t memoryBase = kAdcMemoryAddress, std::uint32_t memorySize = kAdcMemorySize);

}  // namespace kivo::emulator
