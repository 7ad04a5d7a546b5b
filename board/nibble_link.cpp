// The nibble protocol. On the data register bits 7-4 carry four data bits (low nibble first),
// bit 3 marks the first step of a transfer, bit 2 a read, bit 1 alternates from step to step
// and bit 0 selects the address register.
#include "board/epp_link.h"
#include "board/epp_wire.h"
#include "interpreter/console.h"
#include "interpreter/progress.h"

namespace kivo::board {

namespace console = interpreter::console;
using namespace wire;

namespace {
// The address transfer is sent at most this often before it is given up.
constexpr int kAddressAttempts = 4;
}  // namespace

std::uint8_t NibbleLink::waitAcknowledge() {
    for (std::uint32_t reads = 0; reads < kAcknowledgeReads; ++reads) {
        const std::uint8_t status = port_.readByte(kStatusPort);
        if ((status & kStatusAck) == 0) return (status >> 4) & 3;
    }
    return kNoAcknowledge;
}

bool NibbleLink::sendAddress(std::uint32_t address) {
    for (int attempt = 1;; ++attempt) {
        bool timedOut = false;
        for (int i = 0; i < 4 && !timedOut; ++i) {
            const auto b = static_cast<std::uint8_t>(address >> (8 * i));
            const auto first = static_cast<std::uint8_t>(((b << 4) & 0xF0) | 0x03 | (i == 0 ? 0x08 : 0));
            port_.writeByte(kDataPort, first);
            if (waitAcknowledge() == kNoAcknowledge) {
                // Flipping the toggle bit back resynchronises the board's step counter.
                port_.writeByte(kDataPort, first ^ 0x02);
                timedOut = true;
                break;
            }
            const auto second = static_cast<std::uint8_t>((b & 0xF0) | 0x01);
            port_.writeByte(kDataPort, second);
            if (waitAcknowledge() == kNoAcknowledge) {
                port_.writeByte(kDataPort, second ^ 0x02);
                port_.writeByte(kDataPort, second);
                timedOut = true;
            }
        }
        if (!timedOut) return true;
        console::print("Blad timeout'u podczas przesylania adresu spowodowany przez wczesniejszy transfer\n");
        if (attempt == kAddressAttempts) {
            console::print("Adres nie zostal przeslany po %d probach. Transfer zaniechany\n", kAddressAttempts);
            return false;
        }
    }
}

void NibbleLink::writeByte(std::uint8_t value) { writeData(&value, 1); }

int NibbleLink::writeData(const std::uint8_t* buffer, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t d = buffer[i];
        // The board echoes bits 7-6 of what it latched on status bits 5-4.
        const std::uint8_t steps[2] = {static_cast<std::uint8_t>(((d << 4) & 0xF0) | 0x0A),
                                       static_cast<std::uint8_t>(d & 0xF0)};
        for (std::uint8_t step : steps) {
            port_.writeByte(kDataPort, step);
            const std::uint8_t echo = waitAcknowledge();
            if (echo == kNoAcknowledge) {
                console::print("Blad timeout'u podczas zapisu %X [hex] bajtu. Dalszy zapis zaniechany\n",
                               static_cast<unsigned>(i));
                return static_cast<int>(i + 1);
            }
            if (echo != (step >> 6)) {
                console::print(
                    "Blad zapisu podczas zapisu %X [hex] bajtu. Inne dane przes\xB3"
                    "ane inne odczytana. Dlaszy zapis zaniechany\n",
                    static_cast<unsigned>(i));
                return static_cast<int>(i + 1);
            }
        }
        interpreter::progress::advance(1);
    }
    return 0;
}

std::uint8_t NibbleLink::readData(bool& timeout) {
    // Two bits come back per step, the lowest pair first.
    static constexpr std::uint8_t kSteps[4] = {0x0E, 0x04, 0x06, 0x04};
    std::uint8_t value = 0;
    for (int k = 0; k < 4; ++k) {
        port_.writeByte(kDataPort, kSteps[k]);
        const std::uint8_t bits = waitAcknowledge();
        if (bits == kNoAcknowledge) {
            timeout = true;
            return 0;
        }
        value |= static_cast<std::uint8_t>(bits << (2 * k));
    }
    return value;
}

void NibbleLink::readBlock(std::uint8_t* buffer, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        bool timeout = false;
        buffer[i] = readData(timeout);
        if (timeout) {
            console::print("Blad timeout'u podczas odczytu %X [hex] bajtu. Dalszy odczyt zaniechany\n",
                           static_cast<unsigned>(i));
            return;
        }
        interpreter::progress::advance(1);
    }
}

bool NibbleLink::readRegister(std::uint8_t& value, bool needsBoard) {
    // No acknowledge: the board puts two bits of the register on status bits 5-4 as soon as
    // it sees each step, and holds nError low while it is there at all.
    static constexpr std::uint8_t kSteps[4] = {0x0F, 0x15, 0x27, 0x35};
    value = 0;
    for (std::uint8_t step : kSteps) {
        port_.writeByte(kDataPort, step);
        const std::uint8_t status = port_.readByte(kStatusPort);
        if (needsBoard && (status & kStatusAck) != 0) return false;
        value = static_cast<std::uint8_t>((value >> 2) | (((status >> 4) & 3) << 6));
    }
    return true;
}

std::uint8_t NibbleLink::readAddressRegister() {
    std::uint8_t value = 0;
    readRegister(value, false);
    return value;
}

bool NibbleLink::identify(std::uint8_t& value) {
    port_.writeByte(kDataPort, 0x0D);
    return readRegister(value, true);
}

void NibbleLink::setProgramN(bool high) {
    // Bit 7 carries the level; the board latches it on the steps of this fixed sequence.
    const std::uint8_t p = high ? 0x80 : 0x00;
    static constexpr std::uint8_t kSteps[7] = {0x1F, 0x1F, 0x1D, 0x1F, 0x1D, 0x17, 0x15};
    for (std::uint8_t step : kSteps) port_.writeByte(kDataPort, static_cast<std::uint8_t>(p | step));
    // Select (status bit 4) follows ProgramN on the nibble boards.
    if (((plain_.readByte(kStatusPort) >> 4) & 1) != (high ? 1 : 0))
        console::print("ProgramN pin does not change as desired\n");
}

}  // namespace kivo::board
