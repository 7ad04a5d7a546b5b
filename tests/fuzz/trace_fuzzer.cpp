// Feeds arbitrary bytes to the trace reader: the first two bytes say where the trace ends and
// the responses begin (none when the split lies past the end), and every operation is read
// until the end mark or a fault. A fault must name an offset inside the input.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "trace/trace_reader.h"

using namespace kivo::trace;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::size_t split = static_cast<std::size_t>(data[0] | data[1] << 8);
    data += 2;
    size -= 2;
    const bool withResponses = split <= size;
    const std::size_t traceSize = withResponses ? split : size;
    ByteSource trace(data, traceSize);
    ByteSource responses(data + traceSize, size - traceSize);
    TraceReader reader(trace, withResponses ? &responses : nullptr);
    Op op;
    std::uint64_t last = 0;
    while (reader.next(op)) {
        if (op.offset >= traceSize || (op.index > 0 && op.offset <= last)) std::abort();
        last = op.offset;
    }
    if (!reader.fault().empty() && reader.fault().find("pozycji") == std::string::npos) std::abort();
    return 0;
}
