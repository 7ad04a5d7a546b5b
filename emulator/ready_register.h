#pragma once
#include <cstdint>

#include "emulator/bus_device.h"

namespace kivo::emulator {

/// A status bit of the FPGA design that becomes ready some polls after it is started, for
/// bit waits that have to poll for a while. One byte: writing n (1..FF) clears bit 0 for the
/// next n x 256 reads, after which it reads 1 again; writing 0 makes it ready at once. The
/// other bits read 0. It starts ready.
class ReadyRegister final : public BusDevice {
public:
    /// Reads per unit of the value written.
    static constexpr std::uint32_t kReadsPerUnit = 256;

    std::uint8_t read(std::uint32_t offset) override;
    void write(std::uint32_t offset, std::uint8_t value) override;

    /// Reads taken since the start, for tests.
    std::uint32_t readCount() const { return reads_; }

private:
    std::uint32_t busyReads_ = 0;
    std::uint32_t reads_ = 0;
};

}  // namespace kivo::emulator
