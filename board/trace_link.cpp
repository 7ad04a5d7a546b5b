// Simulation: the bus as a trace of binary records for a simulation of the board design.
#include <algorithm>
#include <new>

#include "board/epp_link.h"
#include "datafiles/file_io.h"
#include "interpreter/errors.h"
#include "trace/trace_format.h"

namespace kivo::board {

namespace {

using trace::kReadRecord;
using trace::kWaitRecord;
using trace::kWriteRecord;

constexpr std::uint8_t kNoResponse = 0x03;  // what a simulated read gives past "kivo.out"

}  // namespace

TraceLink::~TraceLink() { close(); }

void TraceLink::start() {
    // A pipe cannot start afresh: the simulator has carried out what came before, and a new
    // open would be a second simulation. A script's own vhdlsim then changes nothing.
    if (trace_.isOpen() && trace_.isPipe()) return;
    close();
    // kivo.tst before kivo.out: a simulator on named pipes opens them in this order too.
    if (!trace_.create("kivo.tst", trace::kEndMark, sizeof trace::kEndMark))
        interpreter::fail(interpreter::Fail::FileOpen, "kivo.tst");
    responseFile_ = std::fopen("kivo.out", "rb");  // absent: every read answers 0x03
    // From a pipe, an answer is read when it is needed and not a byte sooner.
    if (responseFile_ && trace_.isPipe()) std::setvbuf(responseFile_, nullptr, _IONBF, 0);
}

void TraceLink::record(const void* bytes, std::size_t count) {
    // After close() the trace is finished: nothing more may follow its end mark.
    if (count > 0 && trace_.isOpen()) trace_.append(bytes, count);
}

void TraceLink::handOver() {
    if (trace_.isPipe()) trace_.flush();
}

bool TraceLink::sendAddress(std::uint32_t address) {
    std::uint8_t records[trace::kAddressRecordsSize];
    trace::encodeAddress(address, records);
    record(records, sizeof records);
    return true;
}

void TraceLink::writeByte(std::uint8_t value) {
    const std::uint8_t pair[2] = {kWriteRecord, value};
    record(pair, sizeof pair);
}

int TraceLink::writeData(const std::uint8_t* buffer, std::size_t count) {
    // A written block goes to the trace in one write.
    if (!trace_.isOpen()) return 0;
    std::uint8_t* records = nullptr;
    try {
        records = trace_.reserve(2 * count);
    } catch (const std::bad_alloc&) {
        interpreter::fail(interpreter::Fail::OutOfMemory);
    }
    for (std::size_t i = 0; i < count; ++i) {
        records[2 * i] = kWriteRecord;
        records[2 * i + 1] = buffer[i];
    }
    trace_.commit(2 * count);
    return 0;
}

std::uint8_t TraceLink::readData(bool&) {
    record(&kReadRecord, 1);
    handOver();
    if (!responseFile_) return kNoResponse;
    const int c = std::fgetc(responseFile_);
    return c == EOF ? kNoResponse : static_cast<std::uint8_t>(c);
}

void TraceLink::readBlock(std::uint8_t* buffer, std::size_t count) {
    std::fill(buffer, buffer + count, kNoResponse);
    record(buffer, count);  // one read record per byte: the code is the byte 0x03 itself
    handOver();
    if (responseFile_) std::fread(buffer, 1, count, responseFile_);
}

// Nothing in the simulation answers for the address register; its callers do not ask.
std::uint8_t TraceLink::readAddressRegister() { return kNoResponse; }

std::optional<bool> TraceLink::waitForBit(int expected, std::uint8_t mask, std::uint32_t address) {
    std::uint8_t wait[trace::kWaitBitRecordSize];
    trace::encodeWaitBit(expected, mask, address, wait);
    record(wait, sizeof wait);
    handOver();
    return true;
}

void TraceLink::pause(std::uint8_t milliseconds) {
    const std::uint8_t wait[2] = {kWaitRecord, milliseconds};
    record(wait, sizeof wait);
    handOver();
}

void TraceLink::close() {
    trace_.close();  // the end mark, once
    if (responseFile_) std::fclose(responseFile_);
    responseFile_ = nullptr;
}

}  // namespace kivo::board
