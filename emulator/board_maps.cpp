#include "emulator/board_maps.h"

#include <memory>

#include "emulator/adc_core.h"
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

// Every board's design carries the same I2C controller and ready register.
void attachI2cAndReady(AddressMap& map, BoardDevices& devices) {
    devices.i2cController =
        map.attach(kI2cControllerAddress, I2cController::kWindowSize, std::make_unique<I2cController>());
    devices.readyRegister = map.attach(kReadyRegisterAddress, 1, std::make_unique<ReadyRegister>());
}
}  // namespace

// The demonstration design that every board's FPGA carries, the same on all four boards:
//   0000_0000 .. FFFF_FFFE  RAM, except:
//   2000_0000 .. 2000_0FFF  logic analyser core
//   6000_0000 .. 6000_0007  I2C controller
//   6000_0010               ready register
//   7000_0000 .. 7000_000F  ADC controller registers
//   7001_0000 .. 7001_FFFF  ADC acquisition memory
//   FFFF_FFFF               reset register
// (The configuration logic is not on the bus: it takes the data cycles while Done is low.)
BoardDevices buildDesignMap(AddressMap& map) {
    attachLogicAnalyser(map);
    attachAdcCore(map);
    BoardDevices devices = attachResetRegister(map);
    attachI2cAndReady(map, devices);
    return devices;
}

BoardDevices buildXsv300Map(AddressMap& map) { return buildDesignMap(map); }

BoardDevices buildXsv800Map(AddressMap& map) { return buildDesignMap(map); }

BoardDevices buildXsbMap(AddressMap& map) { return buildDesignMap(map); }

BoardDevices buildZemMap(AddressMap& map) { return buildDesignMap(map); }

}  // namespace kivo::emulator
