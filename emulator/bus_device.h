#pragma once
#include <cstdint>

namespace kivo::emulator {

/// A device on the board's 8-bit bus, seen through a window of the 32-bit address space.
/// Attach it to an AddressMap; the map hands it offsets relative to its window.
class BusDevice {
public:
    virtual ~BusDevice() = default;
    /// One bus read at `offset` bytes from the window's base (0 .. size - 1). Reads may have
    /// side effects (status registers that clear, counters that run down).
    virtual std::uint8_t read(std::uint32_t offset) = 0;
    /// One bus write of `value` at `offset` bytes from the window's base (0 .. size - 1).
    virtual void write(std::uint32_t offset, std::uint8_t value) = 0;
    /// The FPGA's ProgramN line went to `level` (false: low, the FPGA is being cleared).
    /// Cores inside the FPGA design lose their state on a low level; the default ignores it.
    virtual void programNChanged(bool level) {}
};

}  // namespace kivo::emulator
