#pragma once
#include <cstdint>

#include "emulator/board_bus.h"
#include "emulator/board_faults.h"
#include "emulator/bus_device.h"

namespace kivo::emulator {

/// Bytes of the configuration stream of each board's FPGA.
inline constexpr std::uint32_t kXcv300Bytes = 0x35760;
inline constexpr std::uint32_t kXcv800Bytes = 0x8FE8C;
inline constexpr std::uint32_t kXc2s300eBytes = 0x393D8;
inline constexpr std::uint32_t kXc3s1500Bytes = 0x9F248;

/// The FPGA's configuration logic behind BoardBus::setConfigurationPort. After a ProgramN
/// pulse it counts the data cycles it takes; Done rises with the byte after the bitstream,
/// the extra clocks the FPGA's start-up needs. A data read answers the last byte taken, which
/// is what the read-back after each chunk compares. Bytes that arrive while ProgramN is low,
/// or before any pulse, are ignored. The faults of BoardFaults with "configuration" in their
/// description change this.
class FpgaConfiguration final : public BusDevice {
public:
    /// `bitstreamBytes` is the FPGA's configuration size; the faults are read at every event.
    FpgaConfiguration(BoardBus& bus, const BoardFaults& faults, std::uint32_t bitstreamBytes);

    std::uint8_t read(std::uint32_t offset) override;
    void write(std::uint32_t offset, std::uint8_t value) override;
    void programNChanged(bool level) override;

    /// Bytes taken since the last ProgramN pulse.
    std::uint32_t received() const { return received_; }
    /// The configuration size this FPGA waits for.
    std::uint32_t bitstreamBytes() const { return bitstreamBytes_; }

private:
    BoardBus& bus_;
    const BoardFaults& faults_;
    std::uint32_t bitstreamBytes_;
    std::uint32_t received_ = 0;
    std::uint8_t last_ = 0;
    bool taking_ = false;  // between ProgramN rising and the end of the stream
};

}  // namespace kivo::emulator
