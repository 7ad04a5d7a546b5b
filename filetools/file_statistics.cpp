#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "datafiles/data_files.h"
#include "filetools/file_tools.h"
#include "interpreter/console.h"
#include "interpreter/errors.h"

namespace kivo::filetools {

using namespace interpreter;
using datafiles::ByteBuffer;

namespace {

struct ChannelStats {
    std::uint32_t min = 65535;
    std::uint32_t max = 0;
    std::uint64_t sum = 0;  // exact: 2^32 words of FFFFh still fit
};

std::uint16_t bigEndian16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] << 8 | p[1]); }

// Frames of `channels` words, channels dividing kLanes: the words of kLanes / channels frames
// side by side, so that every lane belongs to one channel and the loop vectorises.
template <std::size_t kLanes>
std::uint64_t laneStats(const std::uint8_t* data, std::uint64_t words, std::int32_t channels,
                        std::vector<ChannelStats>& stats) {
    std::array<std::uint16_t, kLanes> mn, mx;
    mn.fill(65535);
    mx.fill(0);
    std::array<std::uint64_t, kLanes> sum{};
    const std::uint64_t blocks = words / kLanes;
    // 32-bit lane sums cannot overflow within 65536 blocks.
    constexpr std::uint64_t kFlush = 65536;
    for (std::uint64_t b0 = 0; b0 < blocks; b0 += kFlush) {
        const std::uint64_t b1 = std::min(blocks, b0 + kFlush);
        std::array<std::uint32_t, kLanes> partial{};
        for (std::uint64_t b = b0; b < b1; ++b) {
            std::uint16_t w[kLanes];
            std::memcpy(w, data + b * kLanes * 2, sizeof w);
            for (std::size_t l = 0; l < kLanes; ++l) {
                const auto v = static_cast<std::uint16_t>(w[l] << 8 | w[l] >> 8);
                mn[l] = std::min(mn[l], v);
                mx[l] = std::max(mx[l], v);
                partial[l] += v;
            }
        }
        for (std::size_t l = 0; l < kLanes; ++l) sum[l] += partial[l];
    }
    if (blocks > 0) {
        for (std::size_t l = 0; l < kLanes; ++l) {
            auto& s = stats[l % static_cast<std::size_t>(channels)];
            s.min = std::min<std::uint32_t>(s.min, mn[l]);
            s.max = std::max<std::uint32_t>(s.max, mx[l]);
            s.sum += sum[l];
        }
    }
    return blocks * kLanes;
}

}  // namespace

void fileStatistic(const std::string& name, std::int32_t nrBit, std::int32_t channels) {
    console::print("\tfilestatistic %s, nr_bit= %d, nr_channel= %d\n", name.c_str(), nrBit, channels);
    const ByteBuffer data = datafiles::readDataFile(name);
    if (channels == 0 || nrBit < 8) {
        console::print("Zle parametry funkcji: nr_channel lub nr_bit\n");
        return;
    }
    if (nrBit != 16) {
        console::print("W chwili obecnej zaimplementowano tylko nr_bit=16\n");
        return;
    }
    // Every channel needs a sample: a count beyond them would print a line per channel, 2^31
    // of them at worst. One channel of an empty file still gets its line.
    const std::uint64_t samples = data.size() / 2;
    if (channels < 0 || (channels > 1 && static_cast<std::uint64_t>(channels) > samples)) {
        console::print("Zla liczba kanalow: %d, plik ma %llu probek\n", channels,
                       static_cast<unsigned long long>(samples));
        fail(Fail::BadInstruction);
    }
    const std::uint64_t frames = data.size() / (2 * static_cast<std::uint64_t>(channels));
    const std::uint64_t words = frames * static_cast<std::uint64_t>(channels);
    std::vector<ChannelStats> stats(frames == 0 ? 0 : static_cast<std::size_t>(channels));
    const ChannelStats empty;
    std::uint64_t done = 0;
    if (32 % channels == 0) done = laneStats<32>(data.data(), words, channels, stats);
    // What the lanes left over: a few frames, or everything for other channel counts.
    for (std::uint64_t w = done; w < words; ++w) {
        auto& s = stats[w % static_cast<std::uint64_t>(channels)];
        const std::uint32_t v = bigEndian16(data.data() + 2 * w);
        s.min = std::min(s.min, v);
        s.max = std::max(s.max, v);
        s.sum += v;
    }
    for (std::int32_t i = 0; i < channels; ++i) {
        const auto& s = frames == 0 ? empty : stats[static_cast<std::size_t>(i)];
        console::print("\t\t");
        if (channels > 1) console::print("ch%d ", i);
        // A channel without samples has no mean: 0 is printed rather than a division by zero.
        const double mean = frames == 0 ? 0.0 : static_cast<double>(s.sum) / static_cast<double>(frames);
        console::print("min= %d, max= %d, max-min= %d, avg= %f\n", static_cast<int>(s.min), static_cast<int>(s.max),
                       static_cast<int>(s.max) - static_cast<int>(s.min), mean);
    }
}

void fileHistogram(const Interpreter& state, const std::string& source, const std::string& destination,
                   std::int32_t nrBit) {
    console::print("\tfilehistogram ");
    if (state.fileappend) console::print("ap ");
    console::print("%s -> %s, nr_bit= %d\n", source.c_str(), destination.c_str(), nrBit);
    if (nrBit > 16 || nrBit < 1) failMessage(Fail::Message, "Zla wartosc parametru nr_bit");
    const ByteBuffer data = datafiles::readDataFile(source);
    const std::size_t values = std::size_t{1} << nrBit;
    const bool wide = nrBit > 8;
    // A last single byte of 16-bit samples is no sample: it is not counted.
    const std::size_t count = wide ? data.size() / 2 : data.size();
    const std::uint8_t* p = data.data();
    auto valueAt = [&](std::size_t k) -> std::uint32_t { return wide ? bigEndian16(p + 2 * k) : p[k]; };

    // One value out of range spoils the whole table: look at all of them before counting.
    if (nrBit != 8 && nrBit != 16) {
        std::uint32_t all = 0;
        for (std::size_t k = 0; k < count; ++k) all |= valueAt(k);
        if (all >> nrBit) {
            console::message("Zbyt duza wartosc wejsciowa dla podanej warto\x9C" "ci nr_bit");
            return;
        }
    }
    // Two or four tables in turn, so that runs of one value do not wait on their own counts.
    constexpr std::size_t kTables = 4;
    ByteBuffer tables = ByteBuffer::zeroed(kTables * values * sizeof(std::uint32_t));
    auto* counts = reinterpret_cast<std::uint32_t*>(tables.data());
    std::size_t k = 0;
    for (; k + kTables <= count; k += kTables)
        for (std::size_t t = 0; t < kTables; ++t) ++counts[t * values + valueAt(k + t)];
    for (; k < count; ++k) ++counts[valueAt(k)];

    ByteBuffer out = ByteBuffer::uninitialised(4 * values);
    for (std::size_t v = 0; v < values; ++v) {
        std::uint32_t c = 0;
        for (std::size_t t = 0; t < kTables; ++t) c += counts[t * values + v];
        out.data()[4 * v] = static_cast<std::uint8_t>(c >> 24);
        out.data()[4 * v + 1] = static_cast<std::uint8_t>(c >> 16);
        out.data()[4 * v + 2] = static_cast<std::uint8_t>(c >> 8);
        out.data()[4 * v + 3] = static_cast<std::uint8_t>(c);
    }
    datafiles::writeDataFile(destination, out.data(), out.size(), state.fileappend != 0);
}

}  // namespace kivo::filetools
