#pragma once
#include <cstdint>

#include "emulator/address_map.h"
#include "emulator/reset_register.h"

namespace kivo::emulator {

/// Address of the board's reset register.
inline constexpr std::uint32_t kResetRegisterAddress = 0xFFFFFFFF;

/// The devices of a board's map that the model keeps a handle on.
struct BoardDevices {
    ResetRegister* resetRegister = nullptr;  ///< at kResetRegisterAddress
};

/// One function per board: each attaches the board's devices to an empty `map`; whatever
/// stays unmapped is RAM.
BoardDevices buildXsv300Map(AddressMap& map);
BoardDevices buildXsv800Map(AddressMap& map);
BoardDevices buildXsbMap(AddressMap& map);
BoardDevices buildZemMap(AddressMap& map);

}  // namespace kivo::emulator
