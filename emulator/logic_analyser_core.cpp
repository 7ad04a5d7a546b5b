#include "emulator/logic_analyser_core.h"

#include <algorithm>

namespace kivo::emulator {

namespace {

constexpr std::uint32_t kStatusOffset = 8;
constexpr std::uint32_t kControlReadbackOffset = 9;
constexpr std::uint32_t kCtrCedOffset = 10;
constexpr std::uint32_t kStoredOffset = 12;
constexpr std::uint32_t kQualifierStart = 16;
constexpr std::uint32_t kRegisterEnd = 48;
constexpr std::uint32_t kMinWindow = 128;

constexpr std::uint8_t kCedActiveLow = 0x01;
constexpr std::uint8_t kCedCeData = 0x04;
constexpr std::uint8_t kCedAndTrig = 0x08;
constexpr std::uint8_t kCedOrTrig = 0x10;

constexpr std::uint64_t lowBits(int width) {
    return width >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << width) - 1;
}

}  // namespace

LogicAnalyserCore::LogicAnalyserCore(const LogicAnalyserParameters& parameters) : parameters_(parameters) {
    const int width = std::clamp(parameters_.memAdrWidth, 0, 20);
    depth_ = std::uint32_t{1} << width;
    wordBytes_ = static_cast<std::uint32_t>(std::max(1, (parameters_.dataWidth + 7) / 8));
    windowSize_ = std::max(kMinWindow, 2 * depth_ * wordBytes_);
    memory_.assign(static_cast<std::size_t>(depth_) * wordBytes_, 0);
}

void LogicAnalyserCore::reset() {
    registers_.fill(0);
    std::fill(memory_.begin(), memory_.end(), 0);
    status_ = 0;
    control_ = 0;
    clock_ = 0;
    stored_ = 0;
}

std::uint64_t LogicAnalyserCore::qualifier(std::uint32_t offset) const {
    std::uint64_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | registers_[offset + 8 + static_cast<std::uint32_t>(i)];
    for (int i = 3; i >= 0; --i) value = value << 8 | registers_[offset + static_cast<std::uint32_t>(i)];
    return value;
}

std::uint64_t LogicAnalyserCore::input(std::uint64_t clock) const {
    if (inputs_.empty()) return clock;
    return inputs_[clock % inputs_.size()];
}

bool LogicAnalyserCore::triggerMatches(std::uint64_t word) const {
    const std::uint64_t care = qualifier(20) & lowBits(parameters_.trigWidth);
    return ((word ^ qualifier(16)) & care) == 0;
}

bool LogicAnalyserCore::ceQualifies(std::uint64_t word) const {
    const std::uint64_t care = qualifier(36) & lowBits(parameters_.ceDwidth);
    const bool match = ((word ^ qualifier(32)) & care) == 0;
    return (registers_[kCtrCedOffset] & kCedActiveLow) ? !match : match;
}

void LogicAnalyserCore::runClocks(std::uint32_t clocks) {
    const std::uint8_t ced = registers_[kCtrCedOffset];
    for (std::uint32_t i = 0; i < clocks && (status_ & kArmed); ++i, ++clock_) {
        const std::uint64_t word = input(clock_);
        // Without CE_Data every clock is a sample clock; with it only the qualified ones.
        const bool enabled = !(ced & kCedCeData) || ceQualifies(word);
        if (!(status_ & kTriggered)) {
            bool fire = triggerMatches(word);
            if (ced & kCedAndTrig) fire = fire && enabled;
            if (ced & kCedOrTrig) fire = fire || ceQualifies(word);
            if (!fire) continue;
            status_ |= kTriggered;
        }
        if (!enabled) continue;
        const std::size_t at = static_cast<std::size_t>(stored_) * wordBytes_;
        for (std::uint32_t b = 0; b < wordBytes_; ++b)
            memory_[at + b] = static_cast<std::uint8_t>(b < 8 ? word >> (8 * b) : 0);
        // The last word is masked to the bus: bits above data_width have no probe.
        if (parameters_.dataWidth % 8 != 0)
            memory_[at + wordBytes_ - 1] &= static_cast<std::uint8_t>((1u << (parameters_.dataWidth % 8)) - 1);
        if (++stored_ == depth_) status_ = static_cast<std::uint8_t>((status_ & ~kArmed) | kDone);
    }
}

std::uint8_t LogicAnalyserCore::read(std::uint32_t offset) {
    const std::uint32_t half = windowSize_ / 2;
    if (offset >= half) {
        const std::uint32_t index = (offset - half) % static_cast<std::uint32_t>(memory_.size());
        return memory_[index];
    }
    switch (offset) {
        case 0: return parameters_.signature;
        case 1:
            return static_cast<std::uint8_t>((parameters_.memAdrWidth & 0x1F) | (parameters_.useRlc ? 0x20 : 0));
        case 2: return static_cast<std::uint8_t>(parameters_.dataWidth - 1);
        case 3: return static_cast<std::uint8_t>(parameters_.trigWidth - 1);
        case 4: return static_cast<std::uint8_t>(parameters_.ceDwidth - 1);
        case kStatusOffset:
            runClocks(kClocksPerStatusRead);
            return status_;
        case kControlReadbackOffset: return control_;
        case kCtrCedOffset: return registers_[kCtrCedOffset];
        default: break;
    }
    if (offset >= kStoredOffset && offset < kStoredOffset + 4)
        return static_cast<std::uint8_t>(stored_ >> (8 * (offset - kStoredOffset)));
    if (offset >= kQualifierStart && offset < kRegisterEnd) return registers_[offset];
    return 0;
}

void LogicAnalyserCore::write(std::uint32_t offset, std::uint8_t value) {
    if (offset == kStatusOffset) {
        control_ = value;
        if (value & 0x01) {
            // A new capture: the memory keeps its old words until they are overwritten.
            status_ = kArmed;
            clock_ = 0;
            stored_ = 0;
        } else {
            status_ &= static_cast<std::uint8_t>(~kArmed);
        }
    } else if (offset == kCtrCedOffset || (offset >= kQualifierStart && offset < kRegisterEnd)) {
        registers_[offset] = value;
    }
}

void LogicAnalyserCore::programNChanged(bool level) {
    if (!level) reset();
}

}  // namespace kivo::emulator
