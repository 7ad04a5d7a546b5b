#include "emulator/nibble_cpld.h"

#include <algorithm>

namespace kivo::emulator {

namespace {
// Step bytes. Bits 7-4 carry data; bit 3 marks a transfer's first step; bit 2 reads;
// bit 1 alternates from step to step; bit 0 selects the address register.
constexpr std::uint8_t kAddressFirstLow = 0x0B;  // low nibble of the step
constexpr std::uint8_t kAddressLow = 0x03;
constexpr std::uint8_t kAddressHigh = 0x01;
constexpr std::uint8_t kDataWriteLow = 0x0A;
constexpr std::uint8_t kDataWriteHigh = 0x00;
constexpr std::array<std::uint8_t, 4> kDataReadSteps = {0x0E, 0x04, 0x06, 0x04};
constexpr std::array<std::uint8_t, 4> kIdReadSteps = {0x0F, 0x15, 0x27, 0x35};
// ProgramN: these seven steps with the level in bit 7.
constexpr std::array<std::uint8_t, 7> kProgramNSteps = {0x1F, 0x1F, 0x1D, 0x1F, 0x1D, 0x17, 0x15};
}  // namespace

NibbleCpld::NibbleCpld(BoardBus& bus, const BoardFaults& faults, std::uint8_t signature)
    : bus_(bus), faults_(faults), signature_(signature) {}

std::uint8_t NibbleCpld::identification() const {
    const FpgaPins& fpga = bus_.fpga();
    return signature_ | (kVersion << 4) | (fpga.programN ? 0x04 : 0x00) | (fpga.done ? 0x02 : 0x00) |
           (fpga.initN ? 0x01 : 0x00);
}

std::uint8_t NibbleCpld::statusLines() const {
    std::uint8_t status = 0x40 | static_cast<std::uint8_t>(returned_ << 4);
    if (!acknowledged_ || faults_.noAck) {
        status |= 0x08;  // nError is the acknowledge, active low
    }
    return status;
}

void NibbleCpld::answer(std::uint8_t twoBits) {
    returned_ = twoBits & 3;
    acknowledged_ = true;
}

void NibbleCpld::echo(std::uint8_t step) {
    // The PC checks that the board saw the data lines by the echo of bits 7-6.
    const std::uint8_t bits = step >> 6;
    answer(faults_.badEcho ? bits ^ 3 : bits);
}

void NibbleCpld::dataWritten(std::uint8_t value) {
    std::copy(recent_.begin() + 1, recent_.end(), recent_.begin());
    recent_.back() = value;
    if (programNSequence(value) || continueTransfer(value) || startTransfer(value)) {
        return;
    }
    // A step that fits nothing (a resynchronising byte, the probe's 0x0D) is not answered.
    transfer_ = Transfer::None;
    acknowledged_ = false;
}

bool NibbleCpld::programNSequence(std::uint8_t value) {
    const std::uint8_t level = value & 0x80;
    for (std::size_t i = 0; i < kProgramNSteps.size(); ++i) {
        if (recent_[i] != (kProgramNSteps[i] | level)) {
            return false;
        }
    }
    bus_.setProgramN(level != 0);
    recent_.fill(0);
    transfer_ = Transfer::None;
    // Select follows the ProgramN line so the PC can check it.
    answer(bus_.fpga().programN ? 1 : 0);
    return true;
}

bool NibbleCpld::continueTransfer(std::uint8_t value) {
    const std::uint8_t low = value & 0x0F;
    switch (transfer_) {
        case Transfer::AddressLow:
            if (low != kAddressLow) {
                return false;
            }
            lowNibble_ = value >> 4;
            transfer_ = Transfer::AddressHigh;
            echo(value);
            return true;
        case Transfer::AddressHigh:
            if (low != kAddressHigh) {
                return false;
            }
            bus_.addressCycle(static_cast<std::uint8_t>((value & 0xF0) | lowNibble_));
            transfer_ = ++addressBytes_ < 4 ? Transfer::AddressLow : Transfer::None;
            echo(value);
            return true;
        case Transfer::DataWriteHigh:
            if (low != kDataWriteHigh) {
                return false;
            }
            bus_.writeData(static_cast<std::uint8_t>((value & 0xF0) | lowNibble_));
            transfer_ = Transfer::None;
            echo(value);
            return true;
        case Transfer::DataRead:
        case Transfer::IdRead: {
            const auto& steps = transfer_ == Transfer::DataRead ? kDataReadSteps : kIdReadSteps;
            if (value != steps[step_]) {
                return false;
            }
            answer(static_cast<std::uint8_t>(latched_ >> (2 * step_)));
            if (++step_ == steps.size()) {
                if (transfer_ == Transfer::DataRead) {
                    bus_.advance();
                }
                transfer_ = Transfer::None;
            }
            return true;
        }
        case Transfer::None:
            return false;
    }
    return false;
}

bool NibbleCpld::startTransfer(std::uint8_t value) {
    const std::uint8_t low = value & 0x0F;
    if (low == kAddressFirstLow) {
        bus_.restartAddress();
        addressBytes_ = 0;
        lowNibble_ = value >> 4;
        transfer_ = Transfer::AddressHigh;
        echo(value);
        return true;
    }
    if (low == kDataWriteLow) {
        lowNibble_ = value >> 4;
        transfer_ = Transfer::DataWriteHigh;
        echo(value);
        return true;
    }
    if (value == kDataReadSteps[0] || value == kIdReadSteps[0]) {
        const bool data = value == kDataReadSteps[0];
        transfer_ = data ? Transfer::DataRead : Transfer::IdRead;
        latched_ = data ? bus_.readData() : identification();
        step_ = 1;
        answer(latched_);
        return true;
    }
    return false;
}

}  // namespace kivo::emulator
