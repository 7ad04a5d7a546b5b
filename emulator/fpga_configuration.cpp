#include "emulator/fpga_configuration.h"

namespace kivo::emulator {

FpgaConfiguration::FpgaConfiguration(BoardBus& bus, const BoardFaults& faults, std::uint32_t bitstreamBytes)
    : bus_(bus), faults_(faults), bitstreamBytes_(bitstreamBytes) {}

std::uint8_t FpgaConfiguration::read(std::uint32_t) {
    return faults_.badReadback ? static_cast<std::uint8_t>(~last_) : last_;
}

void FpgaConfiguration::write(std::uint32_t, std::uint8_t value) {
    if (!taking_) return;
    last_ = value;
    ++received_;
    FpgaPins& fpga = bus_.fpga();
    if (faults_.doneEarly && received_ == 1) {
        // Done rises, yet the FPGA still takes the stream.
        fpga.done = true;
        bus_.holdConfigurationPort(true);
    }
    if (received_ == bitstreamBytes_ + 1) {
        taking_ = false;
        bus_.holdConfigurationPort(false);
        if (!faults_.doneNever) fpga.done = true;
    }
}

void FpgaConfiguration::programNChanged(bool level) {
    received_ = 0;
    last_ = 0;
    bus_.holdConfigurationPort(false);
    taking_ = level;
    // The bus has just let InitN rise; a fault keeps it low.
    if (level && faults_.initNStuck) bus_.fpga().initN = false;
}

}  // namespace kivo::emulator
