#pragma once
#include <array>
#include <cstdint>

#include "emulator/board_bus.h"
#include "emulator/board_faults.h"
#include "emulator/cpld.h"

namespace kivo::emulator {

/// The CPLD of the XSB and ZEM boards: every data-register write is one step of the nibble
/// protocol; it answers on the status lines (acknowledge low on bit 3, two bits on 5-4).
/// The control lines and hardware EPP cycles mean nothing to it.
class NibbleCpld final : public Cpld {
public:
    /// `signature`: bits 7-6 of the identification byte, 0x80 for XSB, 0x40 for ZEM.
    NibbleCpld(BoardBus& bus, const BoardFaults& faults, std::uint8_t signature);

    void controlWritten(std::uint8_t control, std::uint8_t dataLines) override {}
    void dataWritten(std::uint8_t value) override;
    std::uint8_t dataLines() const override { return 0xFF; }
    std::uint8_t statusLines() const override;
    bool eppAddressWrite(std::uint8_t value) override { return false; }
    bool eppAddressRead(std::uint8_t& value) override { return false; }
    bool eppDataWrite(const std::uint8_t* buffer, std::size_t count) override { return false; }
    bool eppDataRead(std::uint8_t* buffer, std::size_t count) override { return false; }

    /// Signature in bits 7-6, version in 5-4, ProgramN in bit 2, Done in bit 1, InitN in
    /// bit 0; bit 3 is always 0.
    std::uint8_t identification() const override;

    /// The version reported in bits 5-4 of the identification byte.
    static constexpr std::uint8_t kVersion = 1;

private:
    enum class Transfer { None, AddressLow, AddressHigh, DataWriteHigh, DataRead, IdRead };

    bool programNSequence(std::uint8_t value);
    bool continueTransfer(std::uint8_t value);
    bool startTransfer(std::uint8_t value);
    void answer(std::uint8_t twoBits);
    void echo(std::uint8_t step);

    BoardBus& bus_;
    const BoardFaults& faults_;
    std::uint8_t signature_;
    Transfer transfer_ = Transfer::None;
    unsigned step_ = 0;          // next step of a four-step read
    unsigned addressBytes_ = 0;  // address bytes completed in the transfer
    std::uint8_t lowNibble_ = 0;
    std::uint8_t latched_ = 0;   // byte being read out two bits at a time
    bool acknowledged_ = false;
    std::uint8_t returned_ = 0;  // two bits on status 5-4
    std::array<std::uint8_t, 7> recent_{};  // last seven steps, newest last
};

}  // namespace kivo::emulator
