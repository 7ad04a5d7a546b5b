#include "emulator/board_maps.h"

#include <memory>

#include "emulator/adc_core.h"

namespace kivo::emulator {

namespace {
BoardDevices attachResetRegister(AddressMap& map) {
    return {map.attach(kResetRegisterAddress, 1, std::make_unique<ResetRegister>())};
}
}  // namespace

// The FPGA design's cores (configuration logic, logic analyser, ADC controller, I2C
// controller) attach here as they are modelled.

BoardDevices buildXsv300Map(AddressMap& map) {
    // 0000_0000 .. FFFF_FFFE  RAM
    // 3000_0000 .. 3000_000F  ADC controller registers
    // 3001_0000 .. 3001_FFFF  ADC acquisition memory
    // FFFF_FFFF               reset register
    attachAdcCore(map);
    return attachResetRegister(map);
}

BoardDevices buildXsv800Map(AddressMap& map) {
    // 0000_0000 .. FFFF_FFFE  RAM
    // 3000_0000 .. 3000_000F  ADC controller registers
    // 3001_0000 .. 3001_FFFF  ADC acquisition memory
    // FFFF_FFFF               reset register
    attachAdcCore(map);
    return attachResetRegister(map);
}

BoardDevices buildXsbMap(AddressMap& map) {
    // 0000_0000 .. FFFF_FFFE  RAM
    // 3000_0000 .. 3000_000F  ADC controller registers
    // 3001_0000 .. 3001_FFFF  ADC acquisition memory
    // FFFF_FFFF               reset register
    attachAdcCore(map);
    return attachResetRegister(map);
}

BoardDevices buildZemMap(AddressMap& map) {
    // 0000_0000 .. FFFF_FFFE  RAM
    // 3000_0000 .. 3000_000F  ADC controller registers
    // 3001_0000 .. 3001_FFFF  ADC acquisition memory
    // FFFF_FFFF               reset register
    attachAdcCore(map);
    return attachResetRegister(map);
}

}  // namespace kivo::emulator
