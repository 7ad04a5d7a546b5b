#include "emulator/reset_register.h"

namespace kivo::emulator {

void ResetRegister::write(std::uint32_t offset, std::uint8_t value) {
    writes_.push_back(value);
    if (value != 0) {
        asserted_ = true;
    } else if (asserted_) {
        asserted_ = false;
        ++pulses_;
    }
}

}  // namespace kivo::emulator
