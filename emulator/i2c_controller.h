#pragma once
#include <array>
#include <cstdint>

#include "emulator/bus_device.h"

namespace kivo::emulator {

/// The FPGA design's I2C controller with the one device on its bus: a register file that
/// answers at device address 0x4A (write) / 0x4B (read). Registers of the window:
///   +3  transmit data (write), received data (read)
///   +4  command (write), status (read)
/// Command bits: 0x80 start, 0x40 stop, 0x20 read, 0x10 write, 0x08 no acknowledge after a
/// read. Status bits: 0x80 the device did not acknowledge, 0x02 transfer in progress. Every
/// other offset reads 0 and ignores writes.
class I2cController final : public BusDevice {
public:
    /// Offsets of the registers in the window.
    static constexpr std::uint32_t kDataOffset = 3;
    static constexpr std::uint32_t kCommandOffset = 4;
    /// Bytes the window spans.
    static constexpr std::uint32_t kWindowSize = 8;
    /// The device's 7-bit address: 0x4A / 0x4B as address bytes.
    static constexpr std::uint8_t kDeviceAddress = 0x25;
    /// Status reads that show a transfer in progress after each command, so that waits poll.
    static constexpr int kBusyReads = 3;

    std::uint8_t read(std::uint32_t offset) override;
    void write(std::uint32_t offset, std::uint8_t value) override;
    /// The controller is part of the FPGA design and forgets its registers; the device on the
    /// I2C bus is a chip of its own and keeps its contents.
    void programNChanged(bool level) override;

    /// The device's registers (sub-addresses 0..FF), for tests.
    std::uint8_t deviceRegister(std::uint8_t subaddress) const { return registers_[subaddress]; }
    void setDeviceRegister(std::uint8_t subaddress, std::uint8_t value) { registers_[subaddress] = value; }
    /// Commands taken since the start, for tests.
    int commandCount() const { return commands_; }

private:
    enum class Phase { Idle, Address, Pointer, Writing, Reading };

    void command(std::uint8_t value);
    /// One byte from the controller to the device; false when the device does not acknowledge.
    bool transmit(std::uint8_t byte);

    std::array<std::uint8_t, 256> registers_{};
    std::uint8_t transmit_ = 0;
    std::uint8_t received_ = 0;
    std::uint8_t pointer_ = 0;
    Phase phase_ = Phase::Idle;
    bool noAcknowledge_ = false;
    int busyReads_ = 0;
    int commands_ = 0;
};

}  // namespace kivo::emulator
