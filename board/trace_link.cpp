// Simulation: the bus as a trace of binary records for a simulation of the board design.
#include <algorithm>
#include <new>
#include <vector>

#include "board/epp_link.h"
#include "datafiles/file_io.h"
#include "interpreter/errors.h"

namespace kivo::board {

namespace {

// Trace record codes.
constexpr std::uint8_t kTraceAddress = 0x01;
constexpr std::uint8_t kTraceWrite = 0x02;
constexpr std::uint8_t kTraceRead = 0x03;
constexpr std::uint8_t kTraceWait = 0x0A;
constexpr std::uint8_t kTraceWaitBit = 0x0B;

constexpr std::uint8_t kNoResponse = 0x03;  // what a simulated read gives past "kivo.out"

}  // namespace

TraceLink::~TraceLink() { closeFiles(); }

void TraceLink::closeFiles() {
    if (traceFile_) std::fclose(traceFile_);
    if (responseFile_) std::fclose(responseFile_);
    traceFile_ = nullptr;
    responseFile_ = nullptr;
}

void TraceLink::start() {
    closeFiles();
    traceFile_ = datafiles::createReadWriteFile("kivo.tst");
    if (!traceFile_) interpreter::fail(interpreter::Fail::FileOpen, "kivo.tst");
    responseFile_ = std::fopen("kivo.out", "rb");  // absent: every read answers 0x03
}

void TraceLink::record(const void* bytes, std::size_t count) {
    // After close() the trace is finished: nothing more may follow its end mark.
    if (count > 0 && traceFile_) std::fwrite(bytes, 1, count, traceFile_);
}

bool TraceLink::sendAddress(std::uint32_t address) {
    std::uint8_t records[8];
    for (int i = 0; i < 4; ++i) {
        records[2 * i] = kTraceAddress;
        records[2 * i + 1] = static_cast<std::uint8_t>(address >> (8 * i));
    }
    record(records, sizeof records);
    return true;
}

void TraceLink::writeByte(std::uint8_t value) {
    const std::uint8_t pair[2] = {kTraceWrite, value};
    record(pair, sizeof pair);
}

int TraceLink::writeData(const std::uint8_t* buffer, std::size_t count) {
    // A written block goes to the trace in one write.
    std::vector<std::uint8_t> records;
    try {
        records.resize(2 * count);
    } catch (const std::bad_alloc&) {
        interpreter::fail(interpreter::Fail::OutOfMemory);
    }
    for (std::size_t i = 0; i < count; ++i) {
        records[2 * i] = kTraceWrite;
        records[2 * i + 1] = buffer[i];
    }
    record(records.data(), records.size());
    return 0;
}

std::uint8_t TraceLink::readData(bool&) {
    record(&kTraceRead, 1);
    if (!responseFile_) return kNoResponse;
    const int c = std::fgetc(responseFile_);
    return c == EOF ? kNoResponse : static_cast<std::uint8_t>(c);
}

void TraceLink::readBlock(std::uint8_t* buffer, std::size_t count) {
    std::fill(buffer, buffer + count, kNoResponse);
    record(buffer, count);  // one read record per byte: the code is the byte 0x03 itself
    if (responseFile_) std::fread(buffer, 1, count, responseFile_);
}

// Nothing in the simulation answers for the address register; its callers do not ask.
std::uint8_t TraceLink::readAddressRegister() { return kNoResponse; }

std::optional<bool> TraceLink::waitForBit(int expected, std::uint8_t mask, std::uint32_t address) {
    const std::uint8_t wait[7] = {kTraceWaitBit,
                                  static_cast<std::uint8_t>(expected),
                                  static_cast<std::uint8_t>(address),
                                  static_cast<std::uint8_t>(address >> 8),
                                  static_cast<std::uint8_t>(address >> 16),
                                  static_cast<std::uint8_t>(address >> 24),
                                  mask};
    record(wait, sizeof wait);
    return true;
}

void TraceLink::pause(std::uint8_t milliseconds) {
    const std::uint8_t wait[2] = {kTraceWait, milliseconds};
    record(wait, sizeof wait);
}

void TraceLink::close() {
    if (traceFile_) {
        static constexpr std::uint8_t kEnd[4] = {0xFF, 0xFF, 0xFF, 0xFF};
        std::fwrite(kEnd, 1, sizeof kEnd, traceFile_);
    }
    closeFiles();
}

}  // namespace kivo::board
