// The EPP links: cycles run by the port chip, or the handshake driven by hand.
#include <algorithm>

#include "board/epp_link.h"
#include "board/epp_wire.h"
#include "interpreter/console.h"
#include "interpreter/progress.h"

namespace kivo::board {

namespace console = interpreter::console;
namespace progress = interpreter::progress;
using namespace wire;

namespace {
// The port chip moves a block in pieces of this size, a multiple of four, so that a long
// block shows its progress; the pieces are the same bus cycles as one call.
constexpr std::size_t kHardwarePiece = 1 << 16;
// The handshake by hand counts its progress once a piece: a few nanoseconds a byte would show
// on a fast port.
constexpr std::size_t kHandPiece = 1 << 12;

// Calls move(at, n) for each piece of a block of `count` bytes, counting the progress after it.
template <typename Move>
void inPieces(std::size_t count, std::size_t piece, Move move) {
    for (std::size_t at = 0; at < count; at += piece) {
        const std::size_t n = std::min(piece, count - at);
        move(at, n);
        progress::advance(n);
    }
}
}  // namespace

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
    // The port chip runs the EPP cycles; 32-bit cycles only when the whole block allows them.
    const bool wide = longs(count);
    inPieces(count, kHardwarePiece, [&](std::size_t at, std::size_t n) {
        if (wide)
            port_.writeLongs(kEppDataPort, buffer + at, n / 4);
        else
            port_.writeBytes(kEppDataPort, buffer + at, n);
    });
    return 0;
}

std::uint8_t HardwareEppLink::readData(bool&) { return port_.readByte(kEppDataPort); }

void HardwareEppLink::readBlock(std::uint8_t* buffer, std::size_t count) {
    const bool wide = longs(count);
    inPieces(count, kHardwarePiece, [&](std::size_t at, std::size_t n) {
        if (wide)
            port_.readLongs(kEppDataPort, buffer + at, n / 4);
        else
            port_.readBytes(kEppDataPort, buffer + at, n);
    });
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
    for (std::size_t piece = 0; piece < count; piece += kHandPiece) {
        const std::size_t end = std::min(count, piece + kHandPiece);
        for (std::size_t i = piece; i < end; ++i) {
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
        progress::advance(end - piece);
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
    for (std::size_t piece = 0; piece < count; piece += kHandPiece) {
        const std::size_t end = std::min(count, piece + kHandPiece);
        for (std::size_t i = piece; i < end; ++i) {
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
        progress::advance(end - piece);
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
