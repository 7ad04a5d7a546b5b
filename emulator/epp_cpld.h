#pragma once
#include <cstdint>

#include "emulator/board_bus.h"
#include "emulator/board_faults.h"
#include "emulator/cpld.h"

namespace kivo::emulator {

/// The CPLD of the EPP boards (XSV300, XSV800): answers the port chip's hardware EPP cycles
/// and decodes hand-driven cycles from the control-line edges.
class EppCpld final : public Cpld {
public:
    /// `xcv300`: the board carries the XCV300 (marker bit 5 of the identification byte).
    EppCpld(BoardBus& bus, const BoardFaults& faults, bool xcv300);

    void controlWritten(std::uint8_t control, std::uint8_t dataLines) override;
    void dataWritten(std::uint8_t value) override {}
    std::uint8_t dataLines() const override;
    std::uint8_t statusLines() const override;
    bool eppAddressWrite(std::uint8_t value) override;
    bool eppAddressRead(std::uint8_t& value) override;
    bool eppDataWrite(const std::uint8_t* buffer, std::size_t count) override;
    bool eppDataRead(std::uint8_t* buffer, std::size_t count) override;

    /// Signature 10xx10xx, XCV300 marker in bit 5, Done in bit 1, InitN in bit 0.
    std::uint8_t identification() const override;

private:
    bool hardwareAnswers() const { return !faults_.eppTimeout && !faults_.nWaitStuck; }

    BoardBus& bus_;
    const BoardFaults& faults_;
    bool xcv300_;
    std::uint8_t control_ = 0x04;
    bool dataCycleWrites_ = false;     // direction of the data strobe cycle in progress
    bool addressCycleWrites_ = false;  // direction of the address strobe cycle in progress
    bool dataCycleTaken_ = false;      // the board answered the data strobe cycle in progress
    bool driving_ = false;             // the board drives the data lines
    std::uint8_t driven_ = 0xFF;
};

}  // namespace kivo::emulator
