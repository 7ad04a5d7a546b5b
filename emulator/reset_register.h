#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "emulator/bus_device.h"

namespace kivo::emulator {

/// The board's write-only reset register (one byte at FFFFFFFF): the `reset` command writes
/// 01 then 00. It keeps every value written so tests can see the pulse.
class ResetRegister final : public BusDevice {
public:
    /// Reads as 0: nothing drives the bus for a write-only register.
    std::uint8_t read(std::uint32_t offset) override { return 0; }
    /// Records `value`; a nonzero value followed by 0 counts as one pulse.
    void write(std::uint32_t offset, std::uint8_t value) override;
    /// Every value written, oldest first.
    const std::vector<std::uint8_t>& writes() const { return writes_; }
    /// Completed pulses: writes of 0 that followed a nonzero write.
    std::size_t pulseCount() const { return pulses_; }

private:
    std::vector<std::uint8_t> writes_;
    std::size_t pulses_ = 0;
    bool asserted_ = false;
};

}  // namespace kivo::emulator
