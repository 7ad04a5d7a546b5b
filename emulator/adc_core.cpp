#include "emulator/adc_core.h"

#include <algorithm>
#include <memory>

namespace kivo::emulator {

namespace {

constexpr std::uint32_t kMaxCode = 0x3FFF;  // a 14-bit converter
// A larger code means a lower voltage: full scale at the nominal gain is about 2000 mV below
// the zero code, 4.096 codes per millivolt.
constexpr std::int64_t kCodesPerVolt = 4096;
// Noise that repeats every eight samples and averages to nothing, so a record of whole
// periods has the zero code as its exact mean and a spread that grows with the gain.
constexpr int kDither[8] = {0, 1, -1, 2, -2, 1, 0, -1};

std::uint32_t bigEndian(const std::uint8_t* bytes) {
    return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 | std::uint32_t{bytes[2]} << 8 | bytes[3];
}

}  // namespace

class AdcCore::MemoryWindow final : public BusDevice {
public:
    explicit MemoryWindow(AdcCore& core) : core_(core) {}
    std::uint8_t read(std::uint32_t offset) override {
        core_.acquire(core_.remaining_);
        return core_.memory_[offset];
    }
    void write(std::uint32_t offset, std::uint8_t value) override { core_.memory_[offset] = value; }

private:
    AdcCore& core_;
};

AdcCore::AdcCore(std::uint32_t memoryBase, std::uint32_t memorySize)
    : memoryBase_(memoryBase), memory_(memorySize, 0) {
    // Each channel a little different, and channel 7 so hot that the 153 mV reference
    // saturates at the upper gain settings.
    for (int c = 0; c < kChannels; ++c)
        channels_[static_cast<std::size_t>(c)] = {static_cast<std::uint16_t>(0x2000 - 80 + 20 * c),
                                                  static_cast<std::uint32_t>(1000 + 150 * c)};
}

std::unique_ptr<BusDevice> AdcCore::memoryWindow() { return std::make_unique<MemoryWindow>(*this); }

std::uint8_t AdcCore::read(std::uint32_t offset) {
    if (offset >= 4) return 0;  // write-only registers
    // A poll reads the counter most significant byte first: the first byte moves the
    // acquisition on and the rest of the poll sees the same count.
    if (offset == 0) {
        acquire(1);
        latched_ = remaining_;
    }
    return static_cast<std::uint8_t>(latched_ >> (8 * (3 - offset)));
}

void AdcCore::write(std::uint32_t offset, std::uint8_t value) {
    if (offset < kChannels) {
        controls_[offset] = value;
        controlWrites_.emplace_back(static_cast<int>(offset), value);
        activeChannel_ = static_cast<int>(offset);
        return;
    }
    startAndLength_[offset - 8] = value;
    if (offset == 15) start();
}

void AdcCore::programNChanged(bool level) {
    if (level) return;
    controls_.fill(0);
    startAndLength_.fill(0);
    activeChannel_ = 0;
    startAddress_ = acquired_ = remaining_ = latched_ = 0;
}

void AdcCore::start() {
    startAddress_ = bigEndian(&startAndLength_[0]);
    remaining_ = bigEndian(&startAndLength_[4]);
    acquired_ = 0;
    ++acquisitions_;
}

void AdcCore::storeWord(std::uint32_t word, std::uint8_t control) {
    const std::uint32_t address = startAddress_ + 4 * word;
    for (std::uint32_t s = 0; s < 2; ++s) {
        const std::uint16_t code = sample(activeChannel_, control, 2 * word + s);
        const std::uint64_t at = std::uint32_t(address + 2 * s - memoryBase_);
        if (at < memory_.size()) memory_[at] = static_cast<std::uint8_t>(code >> 8);
        if (at + 1 < memory_.size()) memory_[at + 1] = static_cast<std::uint8_t>(code);
    }
}

void AdcCore::acquire(std::uint32_t words) {
    words = std::min(words, remaining_);
    const std::uint8_t control = controls_[static_cast<std::size_t>(activeChannel_)];
    const std::uint64_t first = acquired_, end = first + words;
    acquired_ += words;
    remaining_ -= words;
    // One word more than the memory holds reaches every place a word can touch.
    const std::uint64_t slots = memory_.size() / 4 + 2;
    if (words <= slots) {
        for (std::uint64_t w = first; w < end; ++w) storeWord(static_cast<std::uint32_t>(w), control);
        return;
    }
    // A length near 2^32 words would take the host minutes. Addresses repeat every 2^30 words,
    // and so do the samples (their dither repeats every four words), so the words that land in
    // the memory are found from the memory's side: each place once, with the last word to
    // reach it.
    constexpr std::uint64_t kPeriod = std::uint64_t{1} << 30;
    const std::uint32_t offset = startAddress_ - memoryBase_;
    for (std::uint64_t k = 0; k < slots; ++k) {
        // Places aligned like the first word, from the one that overlaps the memory's start.
        const std::uint32_t place = (offset & 3u) + 4u * static_cast<std::uint32_t>(k) - 4u;
        const std::uint64_t w0 = static_cast<std::uint32_t>(place - offset) / 4;
        const std::uint64_t back = (end - 1 + kPeriod - w0) & (kPeriod - 1);
        if (back <= end - 1 - first) storeWord(static_cast<std::uint32_t>(end - 1 - back), control);
    }
}

std::uint16_t AdcCore::sample(int channel, std::uint8_t control, std::uint32_t index) const {
    const AdcChannel& stage = channels_[static_cast<std::size_t>(channel)];
    const int sw = control & 0x3F;
    const std::int64_t millivolts = (control & 0x80) ? 0 : (control & 0x40) ? 1842 : 153;
    // The gain switch runs from 1 (setting 0) to 8.875 (setting 63) in steps of 1/8.
    const std::int64_t deflection = millivolts * kCodesPerVolt * (8 + sw) * stage.scale / (8 * 1000 * 1000);
    const std::int64_t dither = kDither[index % 8] * (1 + sw / 16);
    const std::int64_t code = std::int64_t{stage.zeroCode} - deflection + dither;
    return static_cast<std::uint16_t>(std::clamp<std::int64_t>(code, 0, kMaxCode));
}

AdcCore* attachAdcCore(AddressMap& map, std::uint32_t base, std::uint32_t memoryBase, std::uint32_t memorySize) {
    AdcCore* core = map.attach(base, AdcCore::kRegisterWindow, std::make_unique<AdcCore>(memoryBase, memorySize));
    if (!core || !map.attach(memoryBase, memorySize, core->memoryWindow())) return nullptr;
    return core;
}

}  // namespace kivo::emulator
