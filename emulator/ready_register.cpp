#include "emulator/ready_register.h"

namespace kivo::emulator {

std::uint8_t ReadyRegister::read(std::uint32_t) {
    ++reads_;
    if (busyReads_ == 0) return 0x01;
    --busyReads_;
    return 0x00;
}

void ReadyRegister::write(std::uint32_t, std::uint8_t value) { busyReads_ = value * kReadsPerUnit; }

}  // namespace kivo::emulator
