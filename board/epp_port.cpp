#include "board/epp_port.h"

#include <algorithm>
#include <new>
#include <vector>

#include "board/file_io.h"
#include "board/port_registry.h"
#include "interpreter/console.h"
#include "interpreter/errors.h"

namespace kivo::board {

namespace console = interpreter::console;

namespace {

// Control register values. Bits 0, 1 and 3 are inverted at the connector, so a 1 asserts the
// active-low line; bit 5 turns the data lines around to input.
constexpr std::uint8_t kControlIdle = 0x04;        // nInit high, strobes released, data driven
constexpr std::uint8_t kControlProgramLow = 0x00;  // nInit low: the FPGA's ProgramN low
constexpr std::uint8_t kControlWrite = 0x05;       // nWrite asserted, strobes released
constexpr std::uint8_t kControlDataWrite = 0x07;   // nWrite + nDataStrobe
constexpr std::uint8_t kControlAddressWrite = 0x0D;  // nWrite + nAddrStrobe
constexpr std::uint8_t kControlInput = 0x24;       // data lines released, strobes released
constexpr std::uint8_t kControlDataRead = 0x26;    // input + nDataStrobe
constexpr std::uint8_t kControlAddressRead = 0x2C;  // input + nAddrStrobe

constexpr std::uint8_t kStatusBusy = 0x80;  // Busy is read inverted: 0 means nWait, ready
constexpr std::uint8_t kStatusAck = 0x08;   // nError: the nibble acknowledge, active low

// Poll limits, in status reads.
constexpr std::uint32_t kBlockReadyReads = 1000001;
constexpr std::uint32_t kSingleReadReadyReads = 11;
constexpr std::uint32_t kAcknowledgeReads = 10001;
// The nibble address transfer is sent at most this often before it is given up.
constexpr int kAddressAttempts = 4;
// Failed reads in a row after which a bit wait takes the link for dead.
constexpr int kDeadLinkPolls = 4;

// Trace record codes.
constexpr std::uint8_t kTraceAddress = 0x01;
constexpr std::uint8_t kTraceWrite = 0x02;
constexpr std::uint8_t kTraceRead = 0x03;
constexpr std::uint8_t kTraceWait = 0x0A;
constexpr std::uint8_t kTraceWaitBit = 0x0B;

constexpr std::uint8_t kNoResponse = 0x03;  // what a simulated read gives past "kivo.out"

}  // namespace

EppPort::EppPort() = default;

EppPort::EppPort(PortIo& library, PortIo& direct) : library_(&library), direct_(&direct) {}

EppPort::~EppPort() { close(); }

void EppPort::openPorts() {
    PortPaths paths = openConfiguredPorts();
    ownedLibrary_ = std::move(paths.library);
    ownedDirect_ = std::move(paths.direct);
    library_ = ownedLibrary_.get();
    direct_ = ownedDirect_.get();
}

bool EppPort::waitReady(PortIo& port, std::uint32_t maxReads) {
    for (std::uint32_t reads = 0; reads < maxReads; ++reads)
        if ((port.readByte(kStatusPort) & kStatusBusy) == 0) return true;
    return false;
}

void EppPort::traceWrite(const void* bytes, std::size_t count) {
    // After close() the trace is finished: nothing more may follow its end mark.
    if (count > 0 && traceFile_) std::fwrite(bytes, 1, count, traceFile_);
}

std::uint8_t EppPort::simulatedRead() {
    traceWrite(&kTraceRead, 1);
    if (!responseFile_) return kNoResponse;
    const int c = std::fgetc(responseFile_);
    return c == EOF ? kNoResponse : static_cast<std::uint8_t>(c);
}

// ---- Address ------------------------------------------------------------------------------

bool EppPort::sendNibbleAddress(std::uint32_t address) {
    PortIo& port = library();
    for (int attempt = 1;; ++attempt) {
        bool timedOut = false;
        for (int i = 0; i < 4 && !timedOut; ++i) {
            const auto b = static_cast<std::uint8_t>(address >> (8 * i));
            // Bit 3 marks the first step of the transfer, bit 0 the address register, bit 1
            // alternates between the two steps of a byte.
            const auto first = static_cast<std::uint8_t>(((b << 4) & 0xF0) | 0x03 | (i == 0 ? 0x08 : 0));
            port.writeByte(kDataPort, first);
            if (waitAcknowledge() == 0xFF) {
                // Flipping the toggle bit back resynchronises the board's step counter.
                port.writeByte(kDataPort, first ^ 0x02);
                timedOut = true;
                break;
            }
            const auto second = static_cast<std::uint8_t>((b & 0xF0) | 0x01);
            port.writeByte(kDataPort, second);
            if (waitAcknowledge() == 0xFF) {
                port.writeByte(kDataPort, second ^ 0x02);
                port.writeByte(kDataPort, second);
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

void EppPort::setAddress(std::uint32_t address) {
    if (probePending_) probe(false);
    addressLost_ = false;
    if (simulation_) {
        std::uint8_t records[8];
        for (int i = 0; i < 4; ++i) {
            records[2 * i] = kTraceAddress;
            records[2 * i + 1] = static_cast<std::uint8_t>(address >> (8 * i));
        }
        traceWrite(records, sizeof records);
    } else if (nibble()) {
        addressLost_ = !sendNibbleAddress(address);
    } else if (softwareWrite()) {
        PortIo& port = io();
        for (int i = 0; i < 4; ++i) {
            port.writeByte(kControlPort, kControlAddressWrite);
            port.writeByte(kDataPort, static_cast<std::uint8_t>(address >> (8 * i)));
            port.writeByte(kControlPort, kControlWrite);
            port.writeByte(kControlPort, kControlIdle);
        }
    } else {
        PortIo& port = io();
        for (int i = 0; i < 4; ++i) port.writeByte(kEppAddressPort, static_cast<std::uint8_t>(address >> (8 * i)));
    }
}

// ---- Writes -------------------------------------------------------------------------------

void EppPort::writeByte(std::uint32_t address, std::uint8_t value) {
    setAddress(address);
    if (addressLost_) return;
    if (simulation_) {
        const std::uint8_t record[2] = {kTraceWrite, value};
        traceWrite(record, sizeof record);
    } else if (nibble()) {
        writeData(&value, 1);
    } else if (!softwareWrite()) {
        io().writeByte(kEppDataPort, value);
    } else if (directInstructions()) {
        PortIo& port = io();
        port.writeByte(kControlPort, kControlDataWrite);
        port.writeByte(kDataPort, value);
        port.writeByte(kControlPort, kControlWrite);
        port.writeByte(kControlPort, kControlIdle);
    } else {
        PortIo& port = io();
        port.writeByte(kControlPort, kControlDataWrite);
        port.writeByte(kDataPort, value);
        // The strobes are released even when the board never got ready: the next cycle
        // must start from idle lines.
        if (!waitReady(port, kBlockReadyReads)) console::print("\nBlad podczas zapisu %d-go bajtu.\n", 1);
        port.writeByte(kControlPort, kControlWrite);
        port.writeByte(kControlPort, kControlIdle);
    }
}

int EppPort::writeData(const std::uint8_t* buffer, std::int32_t count) {
    if (count <= 0) return 0;
    const auto n = static_cast<std::size_t>(count);
    if (simulation_) {
        std::vector<std::uint8_t> records;
        try {
            records.resize(2 * n);
        } catch (const std::bad_alloc&) {
            interpreter::fail(2);
        }
        for (std::size_t i = 0; i < n; ++i) {
            records[2 * i] = kTraceWrite;
            records[2 * i + 1] = buffer[i];
        }
        traceWrite(records.data(), records.size());
        return 0;
    }
    if (nibble()) {
        PortIo& port = library();
        for (std::int32_t i = 0; i < count; ++i) {
            const std::uint8_t d = buffer[i];
            // Bit 3 marks the first step, bit 1 alternates; the board echoes bits 7-6 of what
            // it latched on status bits 5-4.
            const std::uint8_t steps[2] = {static_cast<std::uint8_t>(((d << 4) & 0xF0) | 0x0A),
                                           static_cast<std::uint8_t>(d & 0xF0)};
            for (std::uint8_t step : steps) {
                port.writeByte(kDataPort, step);
                const std::uint8_t echo = waitAcknowledge();
                if (echo == 0xFF) {
                    console::print("Blad timeout'u podczas zapisu %X [hex] bajtu. Dalszy zapis zaniechany\n",
                                   static_cast<unsigned>(i));
                    return i + 1;
                }
                if (echo != (step >> 6)) {
                    console::print(
                        "Blad zapisu podczas zapisu %X [hex] bajtu. Inne dane przes\xB3"
                        "ane inne odczytana. Dlaszy zapis zaniechany\n",
                        static_cast<unsigned>(i));
                    return i + 1;
                }
            }
        }
        return 0;
    }
    PortIo& port = io();
    if (!softwareWrite()) {
        // One call per block: the port chip runs the EPP cycles.
        if (longBlocks() && n % 4 == 0)
            port.writeLongs(kEppDataPort, buffer, n / 4);
        else
            port.writeBytes(kEppDataPort, buffer, n);
        return 0;
    }
    const bool wait = !directInstructions();
    for (std::size_t i = 0; i < n; ++i) {
        port.writeByte(kControlPort, kControlDataWrite);
        if (wait && !waitReady(port, kBlockReadyReads)) return static_cast<int>(i + 1);
        port.writeByte(kDataPort, buffer[i]);
        port.writeByte(kControlPort, kControlWrite);
    }
    port.writeByte(kControlPort, kControlIdle);
    return 0;
}

void EppPort::writeBlock(const std::uint8_t* buffer, std::uint32_t address, std::int32_t count) {
    setAddress(address);
    if (addressLost_) return;
    const int failed = writeData(buffer, count);
    if (failed > 0) console::print("\nBlad podczas zapisu %d-go bajtu.\n", failed);
}

// ---- Reads --------------------------------------------------------------------------------

std::uint8_t EppPort::readData(bool& timeout) {
    timeout = false;
    if (simulation_) return simulatedRead();
    if (nibble()) {
        PortIo& port = library();
        // Bit 2 marks a read, bit 3 the first step, bit 1 alternates; two bits come back per
        // step, the lowest pair first.
        static constexpr std::uint8_t kSteps[4] = {0x0E, 0x04, 0x06, 0x04};
        std::uint8_t value = 0;
        for (int k = 0; k < 4; ++k) {
            port.writeByte(kDataPort, kSteps[k]);
            const std::uint8_t bits = waitAcknowledge();
            if (bits == 0xFF) {
                timeout = true;
                return 0;
            }
            value |= static_cast<std::uint8_t>(bits << (2 * k));
        }
        return value;
    }
    PortIo& port = io();
    if (!softwareRead()) return port.readByte(kEppDataPort);
    port.writeByte(kControlPort, kControlInput);
    port.readByte(kDataPort);  // settles the turned-around data lines; the value means nothing
    port.writeByte(kControlPort, kControlDataRead);
    // The data are taken whether or not the board signalled ready in time.
    if (!directInstructions()) waitReady(port, kSingleReadReadyReads);
    const std::uint8_t value = port.readByte(kDataPort);
    port.writeByte(kControlPort, kControlInput);
    port.writeByte(kControlPort, kControlIdle);
    return value;
}

std::uint8_t EppPort::readByte(std::uint32_t address) {
    setAddress(address);
    if (addressLost_) return 0;
    bool timeout = false;
    const std::uint8_t value = readData(timeout);
    if (timeout) console::print("Blad timeout'u podczas odczytu\n");
    return value;
}

void EppPort::readBlock(std::uint32_t address, std::int32_t count, std::uint8_t* buffer) {
    setAddress(address);
    if (addressLost_ || count <= 0) return;
    const auto n = static_cast<std::size_t>(count);
    if (simulation_) {
        std::fill(buffer, buffer + n, kNoResponse);
        traceWrite(buffer, n);  // one read record per byte: the code is the byte 0x03 itself
        if (responseFile_) std::fread(buffer, 1, n, responseFile_);
        return;
    }
    if (nibble()) {
        for (std::size_t i = 0; i < n; ++i) {
            bool timeout = false;
            buffer[i] = readData(timeout);
            if (timeout) {
                console::print("Blad timeout'u podczas odczytu %X [hex] bajtu. Dalszy odczyt zaniechany\n",
                               static_cast<unsigned>(i));
                return;
            }
        }
        return;
    }
    PortIo& port = io();
    if (!softwareRead()) {
        if (longBlocks() && n % 4 == 0)
            port.readLongs(kEppDataPort, buffer, n / 4);
        else
            port.readBytes(kEppDataPort, buffer, n);
        return;
    }
    const bool wait = !directInstructions();
    port.writeByte(kControlPort, kControlInput);
    port.readByte(kDataPort);  // settles the turned-around data lines
    for (std::size_t i = 0; i < n; ++i) {
        port.writeByte(kControlPort, kControlDataRead);
        if (wait && !waitReady(port, kBlockReadyReads)) {
            console::print("Zbyt dlugi czas odczytu przez port komunikacyjny podczas odczytu %d danej\n",
                           static_cast<int>(i));
            return;
        }
        buffer[i] = port.readByte(kDataPort);
        port.writeByte(kControlPort, kControlInput);
    }
    port.writeByte(kControlPort, kControlIdle);
}

std::uint8_t EppPort::readAddressRegister() {
    if (nibble()) {
        PortIo& port = library();
        // Bit 0 selects the address register; no acknowledge: the board puts two bits of it
        // on status bits 5-4 as soon as it sees each step.
        static constexpr std::uint8_t kSteps[4] = {0x0F, 0x15, 0x27, 0x35};
        std::uint8_t value = 0;
        for (std::uint8_t step : kSteps) {
            port.writeByte(kDataPort, step);
            const std::uint8_t status = port.readByte(kStatusPort);
            value = static_cast<std::uint8_t>((value >> 2) | (((status >> 4) & 3) << 6));
        }
        return value;
    }
    PortIo& port = io();
    if (!softwareRead()) return port.readByte(kEppAddressPort);
    port.writeByte(kControlPort, kControlInput);
    port.readByte(kDataPort);
    port.writeByte(kControlPort, kControlAddressRead);
    const std::uint8_t value = port.readByte(kDataPort);
    port.writeByte(kControlPort, kControlInput);
    port.writeByte(kControlPort, kControlIdle);
    return value;
}

std::uint8_t EppPort::readStatus() { return io().readByte(kStatusPort); }

void EppPort::writeControl(std::uint8_t value) { io().writeByte(kControlPort, value); }

std::uint8_t EppPort::waitAcknowledge() {
    PortIo& port = library();
    for (std::uint32_t reads = 0; reads < kAcknowledgeReads; ++reads) {
        const std::uint8_t status = port.readByte(kStatusPort);
        if ((status & kStatusAck) == 0) return (status >> 4) & 3;
    }
    return 0xFF;
}

// ---- FPGA ProgramN ------------------------------------------------------------------------

void EppPort::setProgramN(int level) {
    if (probePending_) probe(false);
    const bool high = level != 0;
    if (!nibble()) {
        writeControl(high ? kControlIdle : kControlProgramLow);  // nInit carries ProgramN
        return;
    }
    // Bit 7 carries the level; the board latches it on the steps of this fixed sequence.
    const std::uint8_t p = high ? 0x80 : 0x00;
    static constexpr std::uint8_t kSteps[7] = {0x1F, 0x1F, 0x1D, 0x1F, 0x1D, 0x17, 0x15};
    PortIo& port = library();
    for (std::uint8_t step : kSteps) port.writeByte(kDataPort, static_cast<std::uint8_t>(p | step));
    // Select (status bit 4) follows ProgramN on the nibble boards.
    if (((readStatus() >> 4) & 1) != (high ? 1 : 0)) console::print("ProgramN pin does not change as desired\n");
}

// ---- Simulation ---------------------------------------------------------------------------

void EppPort::enterSimulation() {
    simulation_ = true;
    if (traceFile_) std::fclose(traceFile_);
    if (responseFile_) std::fclose(responseFile_);
    traceFile_ = nullptr;
    responseFile_ = nullptr;
    traceFile_ = createReadWriteFile("kivo.tst");
    if (!traceFile_) interpreter::fail(1, "kivo.tst");
    responseFile_ = std::fopen("kivo.out", "rb");  // absent: every read answers 0x03
}

void EppPort::traceWait(std::uint32_t milliseconds) {
    if (milliseconds > 255) {
        console::print("\tCzas uspienia wiekszy niz 255, ustawiono czas 255ms\n");
        milliseconds = 255;
    }
    const std::uint8_t record[2] = {kTraceWait, static_cast<std::uint8_t>(milliseconds)};
    traceWrite(record, sizeof record);
}

bool EppPort::waitForBit(int expected, std::uint8_t mask, std::uint32_t address, std::int32_t count) {
    if (simulation_) {
        const std::uint8_t record[7] = {kTraceWaitBit,
                                        static_cast<std::uint8_t>(expected),
                                        static_cast<std::uint8_t>(address),
                                        static_cast<std::uint8_t>(address >> 8),
                                        static_cast<std::uint8_t>(address >> 16),
                                        static_cast<std::uint8_t>(address >> 24),
                                        mask};
        traceWrite(record, sizeof record);
        return true;
    }
    console::print("dana:   ");
    // The display's last two characters show the polled value; without any poll, the
    // expected state stands in for it.
    unsigned shown = static_cast<unsigned>(expected);
    int failedInARow = 0;
    for (; count > 0; --count) {
        // A read that never reached the board shows no bit either way (a failed nibble read
        // gives 0, which would "find" every clear bit); a link that keeps failing is dead, and
        // the wait ends as a timeout instead of polling it for hours.
        setAddress(address);
        bool failed = addressLost_;
        std::uint8_t b = 0;
        if (!failed) {
            b = readData(failed);
            if (failed) console::print("Blad timeout'u podczas odczytu\n");
        }
        if (failed) {
            if (++failedInARow == kDeadLinkPolls) break;
            continue;
        }
        failedInARow = 0;
        if (((b & mask) != 0 ? 1 : 0) == expected) {
            console::print("\b\b\b\b\b\b\b\b        \b\b\b\b\b\b\b\b");
            return true;
        }
        shown = b;
        if (count % 4096 == 0) {
            console::print("\b\b%X", shown);
            if (shown < 0x10) console::print(" ");
            console::flush();
        }
    }
    console::print("\b\b%X", shown);
    if (shown < 0x10) console::print(" ");
    console::print("\nTimeout. Urzadzenie niegotwe przez zbyt dlugi czasu. \n");
    return false;
}

void EppPort::close() {
    if (traceFile_) {
        static constexpr std::uint8_t kEnd[4] = {0xFF, 0xFF, 0xFF, 0xFF};
        std::fwrite(kEnd, 1, sizeof kEnd, traceFile_);
        std::fclose(traceFile_);
        traceFile_ = nullptr;
    }
    if (responseFile_) {
        std::fclose(responseFile_);
        responseFile_ = nullptr;
    }
}

EppPort& eppPort() {
    static EppPort port;
    return port;
}

}  // namespace kivo::board
