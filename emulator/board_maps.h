#pragma once
#include <cstdint>

#include "emulator/address_map.h"
#include "emulator/i2c_controller.h"
#include "emulator/ready_register.h"
#include "emulator/reset_register.h"

namespace kivo::emulator {

/// Address of the board's reset register.
inline constexpr std::uint32_t kResetRegisterAddress = 0xFFFFFFFF;
/// Base of the FPGA design's I2C controller (the value for baseadr before i2cwrite/i2cread).
inline constexpr std::uint32_t kI2cControllerAddress = 0x60000000;
/// Address of the design's ready register, a bit for waitbit to poll.
inline constexpr std::uint32_t kReadyRegisterAddress = 0x60000010;

/// The devices of a board's map that the model keeps a handle on.
struct BoardDevices {
    ResetRegister* resetRegister = nullptr;  ///< at kResetRegisterAddress
    I2cController* i2cController = nullptr;  ///< at kI2cControllerAddress
    ReadyRegister* readyRegister = nullptr;  ///< at kReadyRegisterAddress
};

/// The design every board carries: the analyser, I2C, ready register, ADC and reset register,
/// attached to an empty `map`; whatever stays unmapped is RAM.
BoardDevices buildDesignMap(AddressMap& map);
/// One function per board, so a board whose design differs gets its own map.
BoardDevices buildXsv300Map(AddressMap& map);
BoardDevices buildXsv800Map(AddressMap& map);
BoardDevices buildXsbMap(AddressMap& map);
BoardDevices buildZemMap(AddressMap& map);

}  // namespace kivo::emulator
