#include "board/epp_port.h"

#include <cstdlib>

#include "board/epp_link.h"
#include "board/epp_wire.h"
#include "board/record_link.h"
#include "port/port_registry.h"
#include "interpreter/command.h"
#include "interpreter/console.h"
#include "interpreter/errors.h"
#include "interpreter/platform.h"

namespace kivo::board {

namespace console = interpreter::console;

namespace {
// Failed reads in a row after which a bit wait takes the link for dead.
constexpr int kDeadLinkPolls = 4;
}  // namespace

EppPort::EppPort() {
    // From the run's first use of the transport: a pause before the first transfer belongs to
    // the recording as much as to a simulation.
    if (const char* dir = std::getenv("KIVO_RECORD"); dir && *dir) startRecording(dir);
}

EppPort::EppPort(PortIo& library, PortIo& direct)
    : library_(&library), direct_(&direct), links_(std::make_unique<PortLinks>(library, direct, eppmode_)) {}

EppPort::~EppPort() { close(); }

void EppPort::openPorts() {
    port::PortPaths paths = port::openConfiguredPorts();
    ownedLibrary_ = std::move(paths.library);
    ownedDirect_ = std::move(paths.direct);
    library_ = ownedLibrary_.get();
    direct_ = ownedDirect_.get();
    links_ = std::make_unique<PortLinks>(*library_, *direct_, eppmode_);
}

void EppPort::startRecording(const std::string& dir) { recorder_ = std::make_unique<RecordLink>(dir); }

void EppPort::recordPause(std::int32_t milliseconds) {
    if (!recording()) return;
    const auto ms = static_cast<std::uint32_t>(milliseconds);
    recorder_->pause(static_cast<std::uint8_t>(ms > 255 ? 255 : ms));
}

EppLink& EppPort::recorded(EppLink& board) {
    if (!recorder_ || unrecorded_ > 0) return board;
    return recorder_->around(board);
}

PortIo& EppPort::io() {
    links();
    return path() == 1 ? *direct_ : *library_;
}

EppLink& EppPort::writer() {
    if (simulation_) return *trace_;
    PortLinks& l = links();
    if (nibble()) return recorded(l.nibble[path()]);
    return recorded(softwareWrite() ? static_cast<EppLink&>(l.hand[path()]) : l.hardware[path()]);
}

EppLink& EppPort::reader() {
    if (simulation_) return *trace_;
    PortLinks& l = links();
    if (nibble()) return recorded(l.nibble[path()]);
    return recorded(softwareRead() ? static_cast<EppLink&>(l.hand[path()]) : l.hardware[path()]);
}

void EppPort::setAddress(std::uint32_t address) {
    if (probePending_) probe(false);
    addressLost_ = !writer().sendAddress(address);
}

void EppPort::writeByte(std::uint32_t address, std::uint8_t value) {
    setAddress(address);
    if (!addressLost_) writer().writeByte(value);
}

int EppPort::writeData(const std::uint8_t* buffer, std::int32_t count) {
    if (count <= 0) return 0;
    return writer().writeData(buffer, static_cast<std::size_t>(count));
}

void EppPort::writeBlock(const std::uint8_t* buffer, std::uint32_t address, std::int32_t count) {
    setAddress(address);
    if (addressLost_) return;
    const int failed = writeData(buffer, count);
    if (failed > 0) console::print("\nBlad podczas zapisu %d-go bajtu.\n", failed);
}

std::uint8_t EppPort::readData(bool& timeout) {
    timeout = false;
    return reader().readData(timeout);
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
    reader().readBlock(buffer, static_cast<std::size_t>(count));
}

std::uint8_t EppPort::readAddressRegister() { return reader().readAddressRegister(); }

std::uint8_t EppPort::readStatus() { return io().readByte(kStatusPort); }

void EppPort::writeControl(std::uint8_t value) { io().writeByte(kControlPort, value); }

std::uint8_t EppPort::waitAcknowledge() { return links().nibble[0].waitAcknowledge(); }

void EppPort::setProgramN(int level) {
    if (probePending_) probe(false);
    writer().setProgramN(level != 0);
}

void EppPort::enterSimulation() {
    simulation_ = true;
    if (!trace_) trace_ = std::make_unique<TraceLink>();
    trace_->start();
}

void EppPort::traceWait(std::uint32_t milliseconds) {
    if (milliseconds > 255) {
        console::print("\tCzas uspienia wiekszy niz 255, ustawiono czas 255ms\n");
        milliseconds = 255;
    }
    if (simulation_) writer().pause(static_cast<std::uint8_t>(milliseconds));
}

bool EppPort::waitForBit(int expected, std::uint8_t mask, std::uint32_t address, std::int32_t count) {
    // A link that records the bus answers the wait itself; the port links are polled below,
    // and are not opened for it before the first poll.
    if (simulation_)
        if (const std::optional<bool> answered = reader().waitForBit(expected, mask, address)) return *answered;
    // A recording keeps the wait as simulation does, one record, and leaves its polls out.
    if (recording() && unrecorded_ == 0) recorder_->waitBit(expected, mask, address);
    const Unrecorded polls(*this);
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
            if (interpreter::platform::stopRequested()) throw interpreter::ScriptStopped{};
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
    if (trace_) trace_->close();
    if (recorder_) recorder_->close();
}

EppPort& transport(interpreter::Run& run) { return run.local<EppPort>(); }

}  // namespace kivo::board
