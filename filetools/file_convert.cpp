#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "datafiles/data_files.h"
#include "filetools/file_tools.h"
#include "interpreter/console.h"
#include "interpreter/errors.h"
#include "interpreter/numbers.h"

namespace kivo::filetools {

using namespace interpreter;
using datafiles::ByteBuffer;

namespace {

void reportSizes(std::uint64_t first, std::uint64_t second) {
    if (first != second)
        console::print("\n\t Pliki maja rozne rozmiary: %llX, %llX [hex].\n\t", static_cast<unsigned long long>(first),
                       static_cast<unsigned long long>(second));
}

// The first differing position in a[0..n) and b[0..n), or n. memcmp finds a differing block
// fast; the byte loop then finds the byte inside it.
std::size_t firstDifference(const std::uint8_t* a, const std::uint8_t* b, std::size_t n) {
    constexpr std::size_t kBlock = 1 << 12;
    for (std::size_t at = 0; at < n; at += kBlock) {
        const std::size_t m = std::min(kBlock, n - at);
        if (std::memcmp(a + at, b + at, m) == 0) continue;
        std::size_t i = at;
        while (a[i] == b[i]) ++i;
        return i;
    }
    return n;
}

std::uint32_t reportDifference(std::uint64_t at, std::uint8_t first, std::uint8_t second) {
    console::print("\nPliki rozne pod pozycja %llX [hex]. Wartosci: %X oraz %X [hex]\n",
                   static_cast<unsigned long long>(at), first, second);
    return static_cast<std::uint32_t>(at);
}

// Two binary files of known size need not be held whole: they are compared block by block,
// which keeps both blocks in the cache.
std::uint32_t compareStreams(datafiles::InputFile& a, datafiles::InputFile& b) {
    const auto sizeA = static_cast<std::uint64_t>(a.size()), sizeB = static_cast<std::uint64_t>(b.size());
    reportSizes(sizeA, sizeB);
    constexpr std::size_t kBlock = 1 << 18;
    std::vector<std::uint8_t> blockA(kBlock), blockB(kBlock);
    std::uint64_t offset = 0;
    for (std::uint64_t left = std::min(sizeA, sizeB); left > 0;) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, left));
        // A file that shrinks while it is compared ends the comparison where it ends.
        const std::size_t n = std::min(a.read(blockA.data(), want), b.read(blockB.data(), want));
        const std::size_t at = firstDifference(blockA.data(), blockB.data(), n);
        if (at < n) return reportDifference(offset + at, blockA[at], blockB[at]);
        if (n < want) break;
        offset += n;
        left -= n;
    }
    console::print("Pliki identyczne\n");
    return 0;
}

}  // namespace

namespace {

std::uint32_t compareWhole(const ByteBuffer& a, const ByteBuffer& b) {
    reportSizes(a.size(), b.size());
    const std::size_t common = std::min(a.size(), b.size());
    const std::size_t at = firstDifference(a.data(), b.data(), common);
    if (at < common) return reportDifference(at, a.data()[at], b.data()[at]);
    console::print("Pliki identyczne\n");
    return 0;
}

}  // namespace

std::uint32_t fileComp(const std::string& first, const std::string& second) {
    console::print("\tfilecomp %s %s. ", first.c_str(), second.c_str());
    if (first.empty() || second.empty()) fail(Fail::BadInstruction);
    // Each file is opened once: a pipe gives its bytes to its first reader only. A first file
    // that is a pipe is read to its end before the second is opened, so that one writer can
    // feed two pipes one after the other.
    datafiles::InputFile a(first);
    const bool binary = !datafiles::isHexDataFile(first) && !datafiles::isHexDataFile(second);
    if (binary && a.size() >= 0) {
        datafiles::InputFile b(second);
        if (b.size() >= 0) return compareStreams(a, b);
        const ByteBuffer dataA = datafiles::readDataFile(a, first);
        return compareWhole(dataA, datafiles::readDataFile(b, second));
    }
    const ByteBuffer dataA = datafiles::readDataFile(a, first);
    return compareWhole(dataA, datafiles::readDataFile(second));
}

namespace {

// A value's decimal digits in front, its length in the last byte.
using Decimal = std::array<char, 8>;

Decimal decimal(std::uint32_t v) {
    Decimal d{};
    char tmp[8];
    int n = 0;
    do tmp[n++] = static_cast<char>('0' + v % 10);
    while ((v /= 10) != 0);
    for (int i = 0; i < n; ++i) d[i] = tmp[n - 1 - i];
    d[7] = static_cast<char>(n);
    return d;
}

// Up to 65536 entries of 8 bytes: small enough for the cache, and a value becomes one copy.
std::vector<Decimal> decimalTable(std::size_t count) {
    std::vector<Decimal> table(count);
    for (std::size_t v = 0; v < count; ++v) table[v] = decimal(static_cast<std::uint32_t>(v));
    return table;
}

// Writes each value with its separator: a tab while the line has room, else CR LF.
class TableWriter {
public:
    TableWriter(datafiles::OutputFile& file, std::int32_t columns) : file_(file), columns_(columns) {}

    /// Room for `values` more values of at most 11 characters each.
    void reserve(std::size_t values) {
        o_ = file_.reserve(values * kMaxEntry);
        start_ = o_;
    }
    void commit() { file_.commit(static_cast<std::size_t>(o_ - start_)); }

    /// Copies `Width` bytes from `digits` (the reserve leaves room), keeps `length` of them.
    template <std::size_t Width>
    void put(const char* digits, std::size_t length) {
        std::memcpy(o_, digits, Width);
        o_ += length;
        if (column_ < columns_) {
            *o_++ = '\t';
            ++column_;
        } else {
            *o_++ = '\r';
            *o_++ = '\n';
            column_ = 1;
        }
    }

    static constexpr std::size_t kMaxEntry = 12 + 2;  // "-2147483648" copied as 12 bytes, CR LF

private:
    datafiles::OutputFile& file_;
    std::int32_t columns_;
    std::int32_t column_ = 1;
    char* o_ = nullptr;
    char* start_ = nullptr;
};

template <class ValueAt>
void writeValues(datafiles::OutputFile& file, std::int32_t columns, std::size_t count, ValueAt valueAt) {
    // Entries are copied whole whatever their length: the reserve leaves room for that.
    constexpr std::size_t kBatch = 4096;
    TableWriter writer(file, columns);
    for (std::size_t at = 0; at < count; at += kBatch) {
        const std::size_t n = std::min(kBatch, count - at);
        writer.reserve(n + 1);
        for (std::size_t k = at; k < at + n; ++k) valueAt(writer, k);
        writer.commit();
    }
}

}  // namespace

void file2Txt(const Interpreter& state, const std::string& source, const std::string& destination, std::int32_t nrBit,
              std::int32_t columns) {
    console::print("\tfiletxt ");
    if (state.fileappend) console::print("ap ");
    console::print("%s -> %s, nr_bit= %d, nr_kolumn= %d\n", source.c_str(), destination.c_str(), nrBit, columns);
    const ByteBuffer data = datafiles::readDataFile(source);
    // The destination is only opened once there is something to write: opening truncates it,
    // and it may be the source itself.
    if (nrBit != 8 && nrBit != 16 && nrBit != 32) {
        console::print(" Funkcja z tymi parametrami aktualnie niedostepna\n");
        return;
    }
    datafiles::OutputFile file(destination, state.fileappend != 0);
    const std::uint8_t* p = data.data();
    // A trailing partial word is not a sample: it is left out, as everywhere in the tools.
    switch (nrBit) {
        case 8: {
            const auto table = decimalTable(256);
            writeValues(file, columns, data.size(), [&](TableWriter& w, std::size_t k) {
                const auto& d = table[p[k]];
                w.put<8>(d.data(), static_cast<std::size_t>(d[7]));
            });
            break;
        }
        case 16: {
            const auto table = decimalTable(65536);
            writeValues(file, columns, data.size() / 2, [&](TableWriter& w, std::size_t k) {
                const auto& d = table[static_cast<std::size_t>(p[2 * k] << 8 | p[2 * k + 1])];
                w.put<8>(d.data(), static_cast<std::size_t>(d[7]));
            });
            break;
        }
        case 32:
            writeValues(file, columns, data.size() / 4, [&](TableWriter& w, std::size_t k) {
                const auto value = static_cast<std::int32_t>(bytesValue(p + 4 * k, 4));
                char digits[12] = {};
                std::size_t n = 0;
                std::uint32_t magnitude = static_cast<std::uint32_t>(value);
                if (value < 0) {
                    digits[n++] = '-';
                    magnitude = 0u - magnitude;
                }
                char tmp[10];
                int m = 0;
                do tmp[m++] = static_cast<char>('0' + magnitude % 10);
                while ((magnitude /= 10) != 0);
                while (m > 0) digits[n++] = tmp[--m];
                w.put<12>(digits, n);
            });
            break;
        default:
            break;
    }
    file.close();
}

}  // namespace kivo::filetools
