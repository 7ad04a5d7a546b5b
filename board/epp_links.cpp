// The EPP links: cycles run by the port chip, or the handshake driven by hand.
#include "board/epp_link.h"
#include "board/epp_wire.h"
#include "interpreter/console.h"

namespace kivo::board {

namespace console = interpreter::console;
using namespace wire;

bool waitReady(PortIo& port, std::uint32_t maxReads) {
    for (std::uint32_t reads = 0; reads < maxReads; ++reads)
        if ((port.readByte(kStatusPort) & kStatusBusy) == 0) return true;
    return false;
}

void PortEppLink::setProgramN(bool high) {
    port_.writeByte(kControlPort, high ? kControlIdle : kControlProgramLow);  // nInit carries ProgramN
}

// ---- Hardware -----------------------------------------------------------------------------

bool HardwareEppLink::sendAddress(std::uint32_t address) {
    for (int i = 0; i < 4; ++i) port_.writeByte(kEppAddressPort, static_cast<std::uint8_t>(address >> (8 * i)));
    return true;
}

void HardwareEppLink::writeByte(std::uint8_t value) { port_.writeByte(kEppDataPort, value); }

int HardwareEppLink::writeData(const std::uint8_t* buffer, std::size_t count) {
    // One call per block: the port chip runs the EPP cycles.
    if (longs(count))
        port_.writeLongs(kEppDataPort, buffer, count / 4);
    else
        port_.writeBytes(kEppDataPort, buffer, count);
    return 0;
}

std::uint8_t HardwareEppLink::readData(bool&) { return port_.readByte(kEppDataPort); }

void HardwareEppLink::readBlock(std::uint8_t* buffer, std::size_t count) {
    if (longs(count))
        port_.readLongs(kEppDataPort, buffer, count / 4);
    else
        port_.readBytes(kEppDataPort, buffer, count);
}

std::uint8_t HardwareEppLink::readAddressRegister() { return port_.readByte(kEppAddressPort); }

// ---- By hand ------------------------------------------------------------------------------

bool HandEppLink::sendAddress(std::uint32_t address) {
    for (int i = 0; i < 4; ++i) {
        port_.writeByte(kControlPort, kControlAddressWrite);
        port_.writeByte(kDataPort, static_cast<std::uint8_t>(address >> (8 * i)));
        port_.writeByte(kControlPort, kControlWrite);
        port_.writeByte(kControlPort, kControlIdle);
    }
    return true;
}

void HandEppLink::releaseStrobes() {
    port_.writeByte(kControlPort, kControlWrite);
    port_.writeByte(kControlPort, kControlIdle);
}

void HandEppLink::writeByte(std::uint8_t value) {
    port_.writeByte(kControlPort, kControlDataWrite);
    port_.writeByte(kDataPort, value);
    // The strobes are released even when the board never got ready: the next cycle must
    // start from idle lines.
    if (waits_ && !waitReady(port_, kBlockReadyReads)) console::print("\nBlad podczas zapisu %d-go bajtu.\n", 1);
    releaseStrobes();
}

int HandEppLink::writeData(const std::uint8_t* buffer, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        port_.writeByte(kControlPort, kControlDataWrite);
        if (waits_ && !waitReady(port_, kBlockReadyReads)) {
            // As in the single write: the next cycle must start from idle lines, and a board
            // that never got ready has taken no data cycle that the release could end.
            releaseStrobes();
            return static_cast<int>(i + 1);
        }
        port_.writeByte(kDataPort, buffer[i]);
        port_.writeByte(kControlPort, kControlWrite);
    }
    port_.writeByte(kControlPort, kControlIdle);
    return 0;
}

std::uint8_t HandEppLink::readData(bool&) {
    port_.writeByte(kControlPort, kControlInput);
    port_.readByte(kDataPort);  // settles the turned-around data lines; the value means nothing
    port_.writeByte(kControlPort, kControlDataRead);
    // The data are taken whether or not the board signalled ready in time.
    if (waits_) waitReady(port_, kSingleReadReadyReads);
    const std::uint8_t value = port_.readByte(kDataPort);
    port_.writeByte(kControlPort, kControlInput);
    port_.writeByte(kControlPort, kControlIdle);
    return value;
}

void HandEppLink::readBlock(std::uint8_t* buffer, std::size_t count) {
    port_.writeByte(kControlPort, kControlInput);
    port_.readByte(kDataPort);  // settles the turned-around data lines
    for (std::size_t i = 0; i < count; ++i) {
        port_.writeByte(kControlPort, kControlDataRead);
        if (waits_ && !waitReady(port_, kBlockReadyReads)) {
            console::print("Zbyt dlugi czas odczytu przez port komunikacyjny podczas odczytu %d danej\n",
                           static_cast<int>(i));
            // The strobe goes before the data lines turn back to output, so that the host
            // never drives them while a late board might still.
            port_.writeByte(kControlPort, kControlInput);
            port_.writeByte(kControlPort, kControlIdle);
            return;
        }
        buffer[i] = port_.readByte(kDataPort);
        port_.writeByte(kControlPort, kControlInput);
    }
    port_.writeByte(kControlPort, kControlIdle);
}

std::uint8_t HandEppLink::readAddressRegister() {
    port_.writeByte(kControlPort, kControlInput);
    port_.readByte(kDataPort);
    port_.writeByte(kControlPort, kControlAddressRead);
    const std::uint8_t value = port_.readByte(kDataPort);
    port_.writeByte(kControlPort, kControlInput);
    port_.writeByte(kControlPort, kControlIdle);
    return value;
}

}  // namespace kivo::board
