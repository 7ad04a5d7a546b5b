#include <algorithm>
#include <cmath>
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

namespace {

struct Band {
    std::int64_t height;  // B: rows of one channel's band
    std::int64_t shift;   // V: rows between the bands of neighbouring channels
};

Band bands(std::int64_t y, std::int64_t channels, std::int64_t view) {
    if (channels < 2 || view <= 0) return {y, 0};
    if (view == 1) return {y / channels, y / channels};
    if (view * channels > y) {
        console::message("\t\tZbyt du\xBFy parametr view_option\n");
        return {y, 0};
    }
    return {y - (channels - 1) * view, view};
}

template <int Bytes>
std::uint32_t word(const std::uint8_t* p) {
    if constexpr (Bytes == 2)
        return static_cast<std::uint32_t>(p[0] << 8 | p[1]);
    else
        return bytesValue(p, 4);
}

// The samples of every channel, one channel after the other so that a later channel is drawn
// over an earlier one wherever they meet.
template <int Bytes>
void plot(std::uint8_t* image, std::int64_t x, std::int64_t y, const std::uint8_t* data, std::uint64_t frames,
          std::int64_t channels, Band band) {
    const std::uint64_t frameBytes = static_cast<std::uint64_t>(channels) * Bytes;
    const std::int64_t lastRow = std::max<std::int64_t>(band.height - 1, 0);
    const std::int64_t greyStep = 255 / (channels + 1);
    for (std::int64_t i = 0; i < channels; ++i) {
        const std::uint8_t* p = data + i * Bytes;
        std::uint32_t mn = UINT32_MAX, mx = 0;
        for (std::uint64_t k = 0; k < frames; ++k) {
            const std::uint32_t v = word<Bytes>(p + k * frameBytes);
            mn = std::min(mn, v);
            mx = std::max(mx, v);
        }
        const auto grey = static_cast<std::uint8_t>(255 - i * greyStep);
        const std::int64_t top = i * band.shift;
        std::int64_t scale16 = 0;
        double scale32 = 0;
        if (mx != mn) {
            scale16 = band.height * 4096 / (mx - mn);
            scale32 = static_cast<double>(band.height) / static_cast<double>(mx - mn);
        }
        // Sample k of n goes to column floor(k * x / n), kept as a column and a remainder so
        // that no product can overflow and no division slows the loop.
        const auto wholeStep = static_cast<std::int64_t>(static_cast<std::uint64_t>(x) / frames);
        const std::uint64_t partStep = static_cast<std::uint64_t>(x) % frames;
        std::int64_t column = 0;
        std::uint64_t remainder = 0;
        for (std::uint64_t k = 0; k < frames; ++k) {
            const std::uint32_t v = word<Bytes>(p + k * frameBytes) - mn;
            std::int64_t row;
            if constexpr (Bytes == 2)
                row = static_cast<std::int64_t>(v) * scale16 / 4096;
            else
                row = static_cast<std::int64_t>(std::trunc(static_cast<double>(v) * scale32 - 0.5));
            // The largest value can land one row below the band: it stays on the band's last row.
            row = std::min(row, lastRow) + top;
            if (row < y) image[row * x + column] = grey;
            column += wholeStep;
            remainder += partStep;
            if (remainder >= frames) {
                remainder -= frames;
                ++column;
            }
        }
    }
}

}  // namespace

void file2Raw(const Interpreter& state, const std::string& source, const std::string& destination, std::int32_t x,
              std::int32_t y, std::int32_t bits, std::int32_t channels, std::int32_t view) {
    console::print("\tfile2raw ");
    if (state.fileappend) console::print("ap ");
    console::print("%s -> %s, x=%d, y=%d,\n\t\tbit=%d, chan=%d, view=%d\n", source.c_str(), destination.c_str(), x, y,
                   bits, channels, view);
    const ByteBuffer data = datafiles::readDataFile(source);
    // Negative sizes name no image that could be allocated.
    if (x < 0 || y < 0) fail(Fail::OutOfMemory);
    ByteBuffer image = ByteBuffer::zeroed(static_cast<std::uint64_t>(x) * static_cast<std::uint64_t>(y));
    const bool append = state.fileappend != 0;
    if (channels < 1 || bits < 8) {
        console::message("Zle parametry funkcji: chan lub bit\n");
        datafiles::writeDataFile(destination, image.data(), image.size(), append);
        return;
    }
    const std::uint64_t frames = data.size() / (static_cast<std::uint64_t>(channels) * static_cast<std::uint64_t>(bits / 8));
    const Band band = bands(y, channels, view);
    if (bits != 16 && bits != 32) {
        console::message("W chwili obecnej zaimplementowano tylko nr_bit=16, 32\n");
    } else if (frames == 0) {
        console::message("Za malo danych: plik krotszy niz jedna ramka\n");
    } else if (x > 0 && y > 0) {
        if (bits == 16)
            plot<2>(image.data(), x, y, data.data(), frames, channels, band);
        else
            plot<4>(image.data(), x, y, data.data(), frames, channels, band);
    }
    datafiles::writeDataFile(destination, image.data(), image.size(), append);
}

}  // namespace kivo::filetools
