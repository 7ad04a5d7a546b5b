#pragma once
#include <cstddef>
#include <cstdint>

namespace kivo::emulator {

/// The board's end of the parallel cable, as the port chip (BoardModel) sees it.
class Cpld {
public:
    virtual ~Cpld() = default;
    /// The PC wrote `control` to the control register. `dataLines` is what the data lines
    /// carry at that moment (0xFF, pulled up, when the PC does not drive them).
    virtual void controlWritten(std::uint8_t control, std::uint8_t dataLines) = 0;
    /// The PC drove `value` onto the data lines with a data-register write.
    virtual void dataWritten(std::uint8_t value) = 0;
    /// What the board drives on the data lines; 0xFF when it drives nothing.
    virtual std::uint8_t dataLines() const = 0;
    /// Status register bits 7-1 as the PC reads them (bit 7 already inverted at the port);
    /// bit 0 belongs to the port chip and must be 0 here.
    virtual std::uint8_t statusLines() const = 0;
    /// The byte the board answers on an address-register read.
    virtual std::uint8_t identification() const = 0;
    /// Hardware EPP cycles run by the port chip. Each returns false when the board leaves the
    /// cycle unanswered, which makes the chip time out.
    virtual bool eppAddressWrite(std::uint8_t value) = 0;
    virtual bool eppAddressRead(std::uint8_t& value) = 0;
    virtual bool eppDataWrite(const std::uint8_t* buffer, std::size_t count) = 0;
    virtual bool eppDataRead(std::uint8_t* buffer, std::size_t count) = 0;
};

}  // namespace kivo::emulator
