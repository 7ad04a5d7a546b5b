#pragma once
#include <cstddef>
#include <cstdint>

#include "emulator/address_map.h"
#include "emulator/bus_device.h"

namespace kivo::emulator {

/// The FPGA's configuration lines as the CPLD sees them (true: high).
struct FpgaPins {
    bool programN = true;  ///< driven by the CPLD; low clears the FPGA
    bool initN = true;     ///< low while the FPGA clears its configuration memory
    bool done = true;      ///< high once the FPGA is configured
};

/// The board behind either CPLD: the 32-bit address register that address cycles load, the
/// data cycles that move through it, the FPGA lines and the devices on the bus.
class BoardBus {
public:
    /// Loads the next address byte: bytes go in least significant first, and the fourth
    /// completes the address. A data cycle in between starts the next address afresh.
    void addressCycle(std::uint8_t value);
    /// Makes the next address cycle load bits 7-0 (the nibble protocol marks the first byte).
    void restartAddress() { addressByte_ = 0; }
    /// Data read cycle at the current address, without moving on (see `advance`).
    std::uint8_t readData();
    /// Data write cycle at the current address, then the address moves on by one.
    void writeData(std::uint8_t value);
    /// Ends a read cycle: the address moves on by one.
    void advance();
    /// `count` data read cycles at consecutive addresses (one address transfer, n cycles).
    void readBlock(std::uint8_t* buffer, std::size_t count);
    /// `count` data write cycles at consecutive addresses.
    void writeBlock(const std::uint8_t* buffer, std::size_t count);
    /// Drives ProgramN: low clears the FPGA (Done and InitN low), high lets InitN rise again.
    /// Done stays low until a configuration port (or a test) raises it.
    void setProgramN(bool level);

    /// The 32-bit address register.
    std::uint32_t address() const { return address_; }
    /// The devices and RAM on the bus.
    AddressMap& map() { return map_; }
    /// The FPGA's configuration lines; devices that configure the FPGA drive InitN and Done.
    FpgaPins& fpga() { return fpga_; }
    const FpgaPins& fpga() const { return fpga_; }
    /// While Done is low, data cycles go to `port` (offset 0) instead of the address map: the
    /// FPGA takes its configuration stream at whatever address was last sent. nullptr: none.
    void setConfigurationPort(BusDevice* port) { configurationPort_ = port; }
    /// Keeps data cycles going to the configuration port while Done is high: a Done line that
    /// rose before the FPGA had its whole stream (a fault the configuration port plays).
    void holdConfigurationPort(bool hold) { holdConfigurationPort_ = hold; }

private:
    BusDevice* dataTarget();

    AddressMap map_;
    FpgaPins fpga_;
    BusDevice* configurationPort_ = nullptr;
    bool holdConfigurationPort_ = false;
    std::uint32_t address_ = 0;
    unsigned addressByte_ = 0;  // which byte the next address cycle loads, 0..3
};

}  // namespace kivo::emulator
