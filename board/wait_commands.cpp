#include "board/board_commands.h"
#include "board/epp_port.h"
#include "interpreter/console.h"
#include "interpreter/errors.h"
#include "interpreter/numbers.h"
#include "interpreter/scan.h"

namespace kivo::board {

using namespace interpreter;

namespace {

constexpr std::int32_t kWaitbitPolls = 0x7FFFFFFF;

// The I2C controller inside the FPGA design, relative to baseadr.
constexpr std::uint32_t kI2cData = 3;     // transmit (write) and received (read) byte
constexpr std::uint32_t kI2cCommand = 4;  // command (write) and status (read)
constexpr std::uint8_t kDeviceWrite = 0x4A;
constexpr std::uint8_t kDeviceRead = 0x4B;
constexpr std::uint8_t kStartWrite = 0x90;
constexpr std::uint8_t kWrite = 0x10;
constexpr std::uint8_t kStopWrite = 0x50;
constexpr std::uint8_t kStopReadNoAcknowledge = 0x68;
// Ready when neither "no acknowledge" (bit 7) nor "transfer in progress" (bit 1) is set.
constexpr std::uint8_t kI2cBusy = 0x82;
constexpr std::int32_t kI2cPolls = 10000;

void warnWithoutBase(const Run& run) {
    if (run.state.baseadr == 0) console::print("\tUwaga nie ustawiono adresu bazowego instrukcja baseadr\n");
}

// One command byte to the controller, then the wait for it to finish. A wait that times out
// has said so; the sequence goes on regardless, as the controller may still catch up.
void i2cCommand(EppPort& port, std::uint32_t base, std::uint8_t command) {
    port.writeByte(base + kI2cCommand, command);
    port.waitForBit(0, kI2cBusy, base + kI2cCommand, kI2cPolls);
}

void i2cTransmit(EppPort& port, std::uint32_t base, std::uint8_t byte, std::uint8_t command) {
    port.writeByte(base + kI2cData, byte);
    i2cCommand(port, base, command);
}

}  // namespace

void runWaitbit(Run& run, const Line& line) {
    const int expected = !line.suffix.empty() && line.suffix[0] == '1' ? 1 : 0;
    std::uint32_t mask = 0, address = 0;
    std::int32_t polls = kWaitbitPolls;
    const int fields = scan(line.arguments, line.syntax->format, {&mask, &address, &polls});
    address += run.state.baseadr;

    console::print("\twaitbit%d mask= %X, adr= ", expected, mask & 0xFF);
    printGroupedHex(address);
    if (fields >= 3) console::print(", timeout= %d", polls);
    console::print("\n");
    requireSyntax(line, fields);

    // A timeout has been reported on the console; the script goes on with the next line.
    transport(run).waitForBit(expected, static_cast<std::uint8_t>(mask), address, polls);
}

void runI2cwrite(Run& run, const Line& line) {
    std::uint32_t subaddress = 0, data = 0;
    readArguments(line, {&subaddress, &data});
    warnWithoutBase(run);

    const std::uint32_t base = run.state.baseadr;
    console::print("\ti2cwrite adr. bazowy %X, subadr. %X, dana %X\n", base, subaddress & 0xFF, data & 0xFF);
    EppPort& port = transport(run);
    i2cTransmit(port, base, kDeviceWrite, kStartWrite);
    i2cTransmit(port, base, static_cast<std::uint8_t>(subaddress), kWrite);
    i2cTransmit(port, base, static_cast<std::uint8_t>(data), kStopWrite);
}

void runI2cread(Run& run, const Line& line) {
    warnWithoutBase(run);
    std::uint32_t subaddress = 0;
    readArguments(line, {&subaddress});

    const std::uint32_t base = run.state.baseadr;
    EppPort& port = transport(run);
    i2cTransmit(port, base, kDeviceWrite, kStartWrite);
    i2cTransmit(port, base, static_cast<std::uint8_t>(subaddress), kWrite);
    // Repeated start: the device sends from the register just addressed.
    i2cTransmit(port, base, kDeviceRead, kStartWrite);
    i2cCommand(port, base, kStopReadNoAcknowledge);
    const std::uint8_t value = port.readByte(base + kI2cData);

    // The echo comes last because it carries the byte read.
    console::print("\ti2cread adr. bazowy %X, sub-adres %X, dana: %X (%dd)\n", base, subaddress & 0xFF,
                   static_cast<unsigned>(value), static_cast<int>(value));
    run.state.stat = value;
}

}  // namespace kivo::board
