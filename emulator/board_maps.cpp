#include "emulator/board_maps.h"

#include <memory>

#include "emulator/logic_analyser_core.h"

namespace kivo::emulator {

namespace {
BoardDevices attachResetRegister(AddressMap& map) {
    return {map.attach(kResetRegisterAddress, 1, std::make_unique<ResetRegister>())};
}

void attachLogicAnalyser(AddressMap& map) {
    auto core = std::make_unique<LogicAnalyserCore>();
    const std::uint32_t size = core->windowSize();
    map.attach(kLogicAnalyserBase, size, std::move(core));
}
}  // namespace

// The FPGA design's cores (configuration logic, logic analyser, ADC controller, I2C
// controller) attach here as they are modelled.

BoardDevices buildXsv300Map(AddressMap& map) {
    // 0000_0000 .. FFFF_FFFE  RAM
    // 2000_0000 .. 2000_0FFF  logic analyser core
    // FFFF_FFFF               reset register
    attachLogicAnalyser(map);
    return attachResetRegister(map);
}

BoardDevices buildXsv800Map(AddressMap& map) {
    // 0000_0000 .. FFFF_FFFE  RAM
    // 2000_0000 .. 2000_0FFF  logic analyser core
    // FFFF_FFFF               reset register
    attachLogicAnalyser(map);
    return attachResetRegister(map);
}

BoardDevices buildXsbMap(AddressMap& map) {
    // 0000_0000 .. FFFF_FFFE  RAM
    // 2000_0000 .. 2000_0FFF  logic analyser core
    // FFFF_FFFF               reset register
    attachLogicAnalyser(map);
    return attachResetRegister(map);
}

BoardDevices buildZemMap(AddressMap& map) {
    // 0000_0000 .. FFFF_FFFE  RAM
    // 2000_0000 .. 2000_0FFF  logic analyser core
    // FFFF_FFFF               reset register
    attachLogicAnalyser(map);
    return attachResetRegister(map);
}

}  // namespace kivo::emulator
