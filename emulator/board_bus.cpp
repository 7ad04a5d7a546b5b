#include "emulator/board_bus.h"

namespace kivo::emulator {

void BoardBus::addressCycle(std::uint8_t value) {
    const unsigned shift = 8 * addressByte_;
    address_ = (address_ & ~(std::uint32_t{0xFF} << shift)) | (std::uint32_t{value} << shift);
    addressByte_ = (addressByte_ + 1) % 4;
}

BusDevice* BoardBus::dataTarget() {
    return configurationPort_ != nullptr && (!fpga_.done || holdConfigurationPort_) ? configurationPort_ : nullptr;
}

std::uint8_t BoardBus::readData() {
    addressByte_ = 0;
    if (BusDevice* port = dataTarget()) {
        return port->read(0);
    }
    return map_.read(address_);
}

void BoardBus::writeData(std::uint8_t value) {
    addressByte_ = 0;
    if (BusDevice* port = dataTarget()) {
        port->write(0, value);
    } else {
        map_.write(address_, value);
    }
    ++address_;
}

void BoardBus::advance() {
    ++address_;
}

void BoardBus::readBlock(std::uint8_t* buffer, std::size_t count) {
    if (count == 0) {
        return;
    }
    addressByte_ = 0;
    if (dataTarget() != nullptr) {
        // The configuration port may raise Done part way: look again at every byte.
        for (std::size_t i = 0; i < count; ++i) {
            buffer[i] = readData();
            advance();
        }
        return;
    }
    map_.readBlock(address_, buffer, count);
    address_ += static_cast<std::uint32_t>(count);
}

void BoardBus::writeBlock(const std::uint8_t* buffer, std::size_t count) {
    if (count == 0) {
        return;
    }
    addressByte_ = 0;
    if (dataTarget() != nullptr) {
        for (std::size_t i = 0; i < count; ++i) {
            writeData(buffer[i]);
        }
        return;
    }
    map_.writeBlock(address_, buffer, count);
    address_ += static_cast<std::uint32_t>(count);
}

void BoardBus::setProgramN(bool level) {
    if (level == fpga_.programN) {
        return;
    }
    fpga_.programN = level;
    if (!level) {
        fpga_.done = false;
        fpga_.initN = false;
    } else {
        fpga_.initN = true;
    }
    map_.notifyProgramN(level);
    if (configurationPort_ != nullptr) {
        configurationPort_->programNChanged(level);
    }
}

}  // namespace kivo::emulator
