#include "emulator/i2c_controller.h"

namespace kivo::emulator {

namespace {
constexpr std::uint8_t kStart = 0x80;
constexpr std::uint8_t kStop = 0x40;
constexpr std::uint8_t kRead = 0x20;
constexpr std::uint8_t kWrite = 0x10;
constexpr std::uint8_t kStatusNoAcknowledge = 0x80;
constexpr std::uint8_t kStatusInProgress = 0x02;
}  // namespace

std::uint8_t I2cController::read(std::uint32_t offset) {
    if (offset == kDataOffset) return received_;
    if (offset != kCommandOffset) return 0;
    std::uint8_t status = noAcknowledge_ ? kStatusNoAcknowledge : 0;
    if (busyReads_ > 0) {
        --busyReads_;
        status |= kStatusInProgress;
    }
    return status;
}

void I2cController::write(std::uint32_t offset, std::uint8_t value) {
    if (offset == kDataOffset) {
        transmit_ = value;
    } else if (offset == kCommandOffset) {
        command(value);
    }
}

void I2cController::programNChanged(bool level) {
    if (level) return;
    transmit_ = 0;
    received_ = 0;
    phase_ = Phase::Idle;
    noAcknowledge_ = false;
    busyReads_ = 0;
}

void I2cController::command(std::uint8_t value) {
    ++commands_;
    busyReads_ = kBusyReads;
    // A start condition, also a repeated one, makes the next byte an address byte.
    if (value & kStart) phase_ = Phase::Address;
    if (value & kWrite) {
        noAcknowledge_ = !transmit(transmit_);
    } else if (value & kRead) {
        // A read outside a read transfer finds nobody driving SDA: the bus floats high.
        received_ = phase_ == Phase::Reading ? registers_[pointer_++] : 0xFF;
        noAcknowledge_ = false;
    }
    if (value & kStop) phase_ = Phase::Idle;
}

bool I2cController::transmit(std::uint8_t byte) {
    switch (phase_) {
        case Phase::Address:
            if ((byte >> 1) != kDeviceAddress) {
                phase_ = Phase::Idle;
                return false;
            }
            phase_ = (byte & 1) != 0 ? Phase::Reading : Phase::Pointer;
            return true;
        case Phase::Pointer:
            pointer_ = byte;
            phase_ = Phase::Writing;
            return true;
        case Phase::Writing:
            registers_[pointer_++] = byte;
            return true;
        case Phase::Idle:
        case Phase::Reading:
            break;
    }
    // Nobody listens outside a transfer, and a device that sends does not take bytes.
    return false;
}

}  // namespace kivo::emulator
