#include "trace/trace_writer.h"

#include <algorithm>
#include <cstring>

#include "trace/trace_format.h"

namespace kivo::trace {

void TraceWriter::address(std::uint32_t address) {
    std::uint8_t records[kAddressRecordsSize];
    encodeAddress(address, records);
    put(records, sizeof records);
}

void TraceWriter::write(std::uint8_t value) {
    const std::uint8_t record[2] = {kWriteRecord, value};
    put(record, sizeof record);
}

void TraceWriter::write(const std::uint8_t* bytes, std::size_t count) {
    // In pieces: a block of any size costs a fixed buffer.
    std::uint8_t records[2048];
    while (count > 0) {
        const std::size_t n = std::min(count, sizeof records / 2);
        for (std::size_t i = 0; i < n; ++i) {
            records[2 * i] = kWriteRecord;
            records[2 * i + 1] = bytes[i];
        }
        put(records, 2 * n);
        bytes += n;
        count -= n;
    }
}

void TraceWriter::reads(std::size_t count) {
    std::uint8_t records[1024];
    std::memset(records, kReadRecord, sizeof records);
    while (count > 0) {
        const std::size_t n = std::min(count, sizeof records);
        put(records, n);
        count -= n;
    }
}

void TraceWriter::wait(std::uint8_t milliseconds) {
    const std::uint8_t record[2] = {kWaitRecord, milliseconds};
    put(record, sizeof record);
}

void TraceWriter::waitBit(int expected, std::uint8_t mask, std::uint32_t address) {
    std::uint8_t record[kWaitBitRecordSize];
    encodeWaitBit(expected, mask, address, record);
    put(record, sizeof record);
}

void TraceWriter::end() {
    put(kEndMark, sizeof kEndMark);
    file_ = nullptr;
}

}  // namespace kivo::trace
