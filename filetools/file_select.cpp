#include <algorithm>
#include <cstring>

#include "datafiles/data_files.h"
#include "filetools/file_tools.h"
#include "interpreter/console.h"
#include "interpreter/errors.h"
#include "interpreter/numbers.h"

namespace kivo::filetools {

using namespace interpreter;
using datafiles::ByteBuffer;

void fileSelect(const Interpreter& state, const std::string& source, const std::string& destination,
                std::uint32_t start, std::uint32_t stop, std::int32_t sampleBits, std::int32_t recordBits) {
    console::print("\tfileselect ");
    if (state.fileappend) console::print("ap ");
    console::print("%s -> %s, start= ", source.c_str(), destination.c_str());
    const ByteBuffer data = datafiles::readDataFile(source);
    const std::uint64_t length = data.size();
    if (length == 0) return;
    // Addresses are unsigned: 80000000h and above lie past any file and clamp to its end.
    const std::uint64_t first = std::min<std::uint64_t>(start, length - 1);
    const std::uint64_t last = std::max(first, std::min<std::uint64_t>(stop, length - 1));
    printGroupedHex(static_cast<std::uint32_t>(first));
    console::print("h, stop= ");
    printGroupedHex(static_cast<std::uint32_t>(last));
    console::print("h,\n");
    const std::uint8_t* range = data.data() + first;
    const std::uint64_t count = last - first + 1;
    const bool append = state.fileappend != 0;
    if (sampleBits == recordBits) {
        datafiles::writeDataFile(destination, range, count, append);
        return;
    }
    console::print("\t\t sample= %d, record= %d bit\n", sampleBits, recordBits);
    // Negative sizes are multiples of 8 too, but no record has them.
    if (sampleBits <= 0 || recordBits <= 0 || sampleBits % 8 != 0 || recordBits % 8 != 0) {
        console::message("sample_size [bit] oraz record_size [bit] musi by\xE6 wielokrotno\x9C" "ci\xB9 liczby 8\n");
        return;
    }
    const std::uint64_t sample = static_cast<std::uint64_t>(sampleBits) / 8;
    const std::uint64_t record = static_cast<std::uint64_t>(recordBits) / 8;
    const std::uint64_t records = count / record;
    const std::uint64_t tail = count % record;
    if (sample < record) {
        ByteBuffer out = ByteBuffer::uninitialised(records * sample + std::min(sample, tail));
        std::uint8_t* o = out.data();
        for (std::uint64_t r = 0; r < records; ++r, o += sample) std::memcpy(o, range + r * record, sample);
        std::memcpy(o, range + records * record, std::min(sample, tail));
        datafiles::writeDataFile(destination, out.data(), out.size(), append);
        return;
    }
    // Widening: every record padded with zeros up to a sample, cut to count × sample / record.
    const std::uint64_t size = count * sample / record;
    ByteBuffer out = ByteBuffer::zeroed(size);
    for (std::uint64_t r = 0; r * sample < size; ++r) {
        const std::uint64_t from = r * record;
        const std::uint64_t n = std::min({record, count - from, size - r * sample});
        std::memcpy(out.data() + r * sample, range + from, n);
    }
    datafiles::writeDataFile(destination, out.data(), out.size(), append);
}

}  // namespace kivo::filetools
