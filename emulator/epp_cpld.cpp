#include "emulator/epp_cpld.h"

namespace kivo::emulator {

namespace {
// Control register bits as the lines see them; bits 0, 1 and 3 are inverted at the
// connector, so a 1 here asserts the active-low line.
constexpr std::uint8_t kNWrite = 0x01;
constexpr std::uint8_t kNDataStrobe = 0x02;
constexpr std::uint8_t kNInit = 0x04;  // not inverted: carries the FPGA's ProgramN as is
constexpr std::uint8_t kNAddrStrobe = 0x08;
}  // namespace

EppCpld::EppCpld(BoardBus& bus, const BoardFaults& faults, bool xcv300)
    : bus_(bus), faults_(faults), xcv300_(xcv300) {}

std::uint8_t EppCpld::identification() const {
    const FpgaPins& fpga = bus_.fpga();
    return 0x88 | (xcv300_ ? 0x20 : 0x00) | (fpga.done ? 0x02 : 0x00) | (fpga.initN ? 0x01 : 0x00);
}

void EppCpld::controlWritten(std::uint8_t control, std::uint8_t dataLines) {
    const std::uint8_t released = control_ & ~control;
    const std::uint8_t asserted = control & ~control_;
    control_ = control;

    if ((released | asserted) & kNInit) {
        bus_.setProgramN((control & kNInit) != 0);
    }

    // Strobe releases end cycles: written data is latched from the lines as the strobe
    // goes away, and a data cycle moves the address on.
    if (released & kNAddrStrobe) {
        if (addressCycleWrites_) {
            bus_.addressCycle(dataLines);
        }
        driving_ = false;
    }
    if ((released & kNDataStrobe) && dataCycleTaken_) {
        if (dataCycleWrites_) {
            bus_.writeData(dataLines);
        } else {
            bus_.advance();
        }
        driving_ = false;
        dataCycleTaken_ = false;
    }

    // Strobe assertions start cycles; nWrite at that moment gives the direction. Read cycles
    // fetch their byte once, here, so devices see one read per cycle.
    if (asserted & kNAddrStrobe) {
        addressCycleWrites_ = (control & kNWrite) != 0;
        if (!addressCycleWrites_) {
            driven_ = identification();
            driving_ = true;
        }
    }
    if ((asserted & kNDataStrobe) && !faults_.nWaitStuck) {
        dataCycleWrites_ = (control & kNWrite) != 0;
        dataCycleTaken_ = true;
        if (!dataCycleWrites_) {
            driven_ = bus_.readData();
            driving_ = true;
        }
    }
}

std::uint8_t EppCpld::dataLines() const {
    return driving_ ? driven_ : 0xFF;
}

std::uint8_t EppCpld::statusLines() const {
    std::uint8_t status = 0x40 | 0x08;  // nAck and nError are not used by this CPLD: idle high
    if (faults_.nWaitStuck) {
        status |= 0x80;  // Busy is read inverted: 1 here means nWait high, board not ready
    }
    // Select and PaperOut mirror the XCV300 marker and Done for the probe's report.
    if (xcv300_) {
        status |= 0x20;
    }
    if (bus_.fpga().done) {
        status |= 0x10;
    }
    return status;
}

bool EppCpld::eppAddressWrite(std::uint8_t value) {
    if (!hardwareAnswers()) {
        return false;
    }
    bus_.addressCycle(value);
    return true;
}

bool EppCpld::eppAddressRead(std::uint8_t& value) {
    if (!hardwareAnswers()) {
        return false;
    }
    value = identification();
    return true;
}

bool EppCpld::eppDataWrite(const std::uint8_t* buffer, std::size_t count) {
    if (!hardwareAnswers()) {
        return false;
    }
    bus_.writeBlock(buffer, count);
    return true;
}

bool EppCpld::eppDataRead(std::uint8_t* buffer, std::size_t count) {
    if (!hardwareAnswers()) {
        return false;
    }
    bus_.readBlock(buffer, count);
    return true;
}

}  // namespace kivo::emulator
