#include "datafiles/data_files.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <utility>
#include <vector>
#include <cstring>

#include "interpreter/console.h"
#include "interpreter/errors.h"
#include "interpreter/numbers.h"

namespace kivo::datafiles {

using namespace interpreter;

bool isHexDataFile(std::string_view name) {
    return name.find(".hex") != std::string_view::npos || name.find(".HEX") != std::string_view::npos;
}

namespace {

constexpr std::size_t kHexChunk = 4096;
constexpr std::uint8_t kNoDigit = 0xFF;

constexpr std::array<std::uint8_t, 256> makeDigitTable() {
    std::array<std::uint8_t, 256> t{};
    for (auto& v : t) v = kNoDigit;
    for (int c = '0'; c <= '9'; ++c) t[c] = static_cast<std::uint8_t>(c - '0');
    for (int c = 'a'; c <= 'f'; ++c) t[c] = static_cast<std::uint8_t>(c - 'a' + 10);
    for (int c = 'A'; c <= 'F'; ++c) t[c] = static_cast<std::uint8_t>(c - 'A' + 10);
    return t;
}
constexpr auto kDigit = makeDigitTable();

// Turns hex text into bytes, one chunk after another: a digit pair may straddle two chunks.
class HexDecoder {
public:
    /// `toEnd`: the limit is only the room that the file's size allows, and the text is read
    /// to its end; what lies past the limit is then at most the odd digit of the warning.
    HexDecoder(std::uint8_t* out, std::size_t limit, bool toEnd) : out_(out), limit_(limit), toEnd_(toEnd) {}

    /// False once the limit is reached, unless the text is read to its end.
    bool feed(const std::uint8_t* p, std::size_t n) {
        const std::uint8_t* end = p + n;
        if (count_ == limit_) return countRest(p, end);
        if (pending_ != kNoDigit) {
            while (p < end && kDigit[*p] == kNoDigit) ++p;
            if (p == end) return true;
            out_[count_++] = static_cast<std::uint8_t>(pending_ << 4 | kDigit[*p++]);
            pending_ = kNoDigit;
        }
        // After a failed try the runs are tried again only behind the next separator.
        bool tryRuns = true;
        while (count_ < limit_) {
            const std::uint8_t* const digit = p;
            while (p < end && kDigit[*p] == kNoDigit) ++p;
            tryRuns |= p != digit;
            // Whole runs of 16 bytes in the usual layouts, without a branch per character.
            if (tryRuns && end - p >= 48 && limit_ - count_ >= 16) {
                if (triplets(p)) {
                    p += 48;
                    continue;
                }
                if (pairs(p)) {
                    p += 32;
                    continue;
                }
                tryRuns = false;
            }
            if (end - p < 2) {
                if (p < end) pending_ = kDigit[*p];
                return true;
            }
            const std::uint8_t high = kDigit[p[0]];
            const std::uint8_t low = kDigit[p[1]];
            if (low != kNoDigit) {
                out_[count_++] = static_cast<std::uint8_t>(high << 4 | low);
                p += 2;
                continue;
            }
            p += 2;
            while (p < end && kDigit[*p] == kNoDigit) ++p;
            if (p == end) {
                pending_ = high;
                return true;
            }
            out_[count_++] = static_cast<std::uint8_t>(high << 4 | kDigit[*p++]);
        }
        return countRest(p, end);
    }

    std::size_t count() const { return count_; }
    /// True when the text ended in the middle of a pair.
    bool oddDigit() const { return pending_ != kNoDigit || extra_ % 2 != 0; }

private:
    // 16 times two digits and one separator, as this program writes them ("3f 00 a1 ...").
    // They count only when every digit was a digit and every separator none (a digit's table
    // value is below 16). The bytes are gathered in two 64-bit words: byte stores followed by
    // a wide load would stall the store forwarding.
    bool triplets(const std::uint8_t* p) { return run<3>(p); }
    // 32 digits in a row ("3f00a1...").
    bool pairs(const std::uint8_t* p) { return run<2>(p); }

    template <int kStride>
    bool run(const std::uint8_t* p) {
        // Everything stays in locals: the text is unsigned char and could alias any memory.
        std::uint64_t bad = 0, first = 0, second = 0;
        for (int k = 0; k < 8; ++k) {
            const std::uint64_t high = kDigit[p[kStride * k]], low = kDigit[p[kStride * k + 1]];
            std::uint64_t gap = 0;
            if constexpr (kStride == 3) gap = kDigit[p[kStride * k + 2]] ^ kNoDigit;
            bad |= high | low | gap;
            first |= (high << 4 | low) << (8 * k);
        }
        for (int k = 0; k < 8; ++k) {
            const std::uint8_t* q = p + kStride * (8 + k);
            const std::uint64_t high = kDigit[q[0]], low = kDigit[q[1]];
            std::uint64_t gap = 0;
            if constexpr (kStride == 3) gap = kDigit[q[2]] ^ kNoDigit;
            bad |= high | low | gap;
            second |= (high << 4 | low) << (8 * k);
        }
        if (bad & 0xF0) return false;
        store(out_ + count_, first);
        store(out_ + count_ + 8, second);
        count_ += 16;
        return true;
    }

    // The word holds its bytes least significant first: the order of a little-endian store.
    static void store(std::uint8_t* o, std::uint64_t word) {
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(o, &word, 8);
        } else {
            for (int b = 0; b < 8; ++b) o[b] = static_cast<std::uint8_t>(word >> (8 * b));
        }
    }

    bool countRest(const std::uint8_t* p, const std::uint8_t* end) {
        if (!toEnd_) return false;
        for (; p < end; ++p) extra_ += kDigit[*p] != kNoDigit;
        return true;
    }

    std::uint8_t* out_;
    std::size_t limit_;
    bool toEnd_;
    std::size_t count_ = 0;
    std::size_t extra_ = 0;
    std::uint8_t pending_ = kNoDigit;
};

// Reads up to `limit` bytes into a buffer of its own, to the end of the file whatever size it
// reported: first `expected` bytes (that size), then, while more comes, in growing steps. A
// file whose size was right costs one allocation of exactly that size and one more read that
// finds the end.
ByteBuffer readToEnd(InputFile& file, std::size_t limit, std::size_t expected) {
    constexpr std::size_t kFirstGrowth = 1 << 16;
    std::size_t capacity = std::min(limit, expected);
    ByteBuffer buffer = ByteBuffer::uninitialised(capacity);
    std::size_t size = file.read(buffer.data(), capacity);
    while (size == capacity && size < limit) {
        // A small read first: at the end, as usual, nothing is allocated.
        std::uint8_t probe[4096];
        const std::size_t got = file.readSome(probe, std::min(sizeof probe, limit - size));
        if (got == 0) break;
        capacity = std::min(limit, std::max({2 * capacity, size + got, kFirstGrowth}));
        ByteBuffer bigger = ByteBuffer::uninitialised(capacity);
        std::memcpy(bigger.data(), buffer.data(), size);
        std::memcpy(bigger.data() + size, probe, got);
        buffer = std::move(bigger);
        size += got;
        for (std::size_t more; size < capacity && (more = file.readSome(buffer.data() + size, capacity - size)) > 0;)
            size += more;
    }
    buffer.shrink(size);
    return buffer;
}

void warnOddDigit() { console::message("Uwaga: Nieparzysta liczba znakow hex w pliku\n"); }

std::size_t decodeHex(const std::uint8_t* text, std::size_t length, std::uint8_t* out, std::size_t limit, bool whole) {
    HexDecoder decoder(out, limit, whole);
    for (std::size_t at = 0; at < length; at += kHexChunk)
        if (!decoder.feed(text + at, std::min(kHexChunk, length - at))) return decoder.count();
    if (decoder.oddDigit()) warnOddDigit();
    return decoder.count();
}

std::size_t decodeHex(InputFile& file, std::uint8_t* out, std::size_t limit, bool whole) {
    HexDecoder decoder(out, limit, whole);
    // The file is buffered like a stream: a system call per 4096 characters cost a third of
    // the time of a large file on a virtual machine.
    constexpr std::size_t kBuffer = 16 * kHexChunk;
    std::vector<std::uint8_t> buffer(kBuffer);
    for (;;) {
        // What has arrived is decoded at once: a pipe that never ends is left as soon as the
        // requested bytes are there.
        const std::size_t got = file.readSome(buffer.data(), kBuffer);
        if (got == 0) break;
        for (std::size_t at = 0; at < got; at += kHexChunk)
            if (!decoder.feed(buffer.data() + at, std::min(kHexChunk, got - at))) return decoder.count();
    }
    if (decoder.oddDigit()) warnOddDigit();
    return decoder.count();
}

void checkRequest(const std::string& name, std::int32_t requested) {
    if (name.empty()) fail(Fail::BadInstruction);
    if (requested > kMaxDataFileRequest) {
        console::print("Rozmiar do odczytu: %X [hex] > 2MB\n", static_cast<unsigned>(requested));
        fail(Fail::BadInstruction);
    }
}

// Reads into `given` when the caller passed a buffer, else into a buffer of its own.
ByteBuffer read(InputFile& file, const std::string& name, std::uint8_t* given, std::int32_t requested,
                std::size_t& delivered) {
    const bool whole = requested <= 0;
    const bool hex = isHexDataFile(name);
    const std::size_t size = file.size() < 0 ? 0 : static_cast<std::size_t>(file.size());
    ByteBuffer own;
    if (!hex) {
        if (given) {
            delivered = file.read(given, static_cast<std::size_t>(requested));
            return own;
        }
        own = readToEnd(file, whole ? SIZE_MAX : static_cast<std::size_t>(requested), size);
        delivered = own.size();
        return own;
    }
    if (whole && file.size() < 0) {
        // Text of unknown length is collected first: its half is the room the bytes need.
        const ByteBuffer text = readToEnd(file, SIZE_MAX, 0);
        own = ByteBuffer::uninitialised(text.size() / 2);
        delivered = decodeHex(text.data(), text.size(), own.data(), own.size(), true);
        own.shrink(delivered);
        return own;
    }
    const std::size_t limit = whole ? size / 2 : static_cast<std::size_t>(requested);
    std::uint8_t* out = given;
    if (!out) {
        own = ByteBuffer::uninitialised(limit);
        out = own.data();
    }
    delivered = decodeHex(file, out, limit, whole);
    own.shrink(delivered);
    return own;
}

ByteBuffer read(const std::string& name, std::uint8_t* given, std::int32_t requested, std::size_t& delivered) {
    checkRequest(name, requested);
    InputFile file(name);
    return read(file, name, given, requested, delivered);
}

// "xx " for every byte value, padded to four bytes so that one 4-byte copy writes an entry.
constexpr std::array<std::array<char, 4>, 256> makeHexEntries() {
    constexpr char kDigits[] = "0123456789abcdef";
    std::array<std::array<char, 4>, 256> t{};
    for (unsigned b = 0; b < 256; ++b) t[b] = {kDigits[b >> 4], kDigits[b & 15], ' ', 0};
    return t;
}
constexpr auto kHexEntries = makeHexEntries();

void writeHexLines(OutputFile& file, const std::uint8_t* data, std::size_t length) {
    constexpr std::size_t kPerLine = 16;
    constexpr std::size_t kLineChars = kPerLine * 3 + 1;  // the last blank becomes CR, then LF
    constexpr std::size_t kLinesPerBlock = 1024;
    std::size_t at = 0;
    while (at < length) {
        const std::size_t block = std::min(length - at, kPerLine * kLinesPerBlock);
        // Whole lines of a block are formatted straight into the file's buffer; one spare
        // byte takes the padding of the last 32-bit store.
        char* o = file.reserve(block / kPerLine * kLineChars + kLineChars + 1);
        char* const start = o;
        const std::uint8_t* p = data + at;
        for (std::size_t left = block; left > 0;) {
            const std::size_t n = std::min(left, kPerLine);
            for (std::size_t k = 0; k < n; ++k) {
                std::memcpy(o + 3 * k, kHexEntries[p[k]].data(), 4);
            }
            o[3 * n - 1] = '\r';
            o[3 * n] = '\n';
            o += 3 * n + 1;
            p += n;
            left -= n;
        }
        file.commit(static_cast<std::size_t>(o - start));
        at += block;
    }
}

}  // namespace

ByteBuffer readDataFile(const std::string& name, std::int32_t requested) {
    std::size_t delivered = 0;
    return read(name, nullptr, requested, delivered);
}

ByteBuffer readDataFile(InputFile& file, const std::string& name) {
    std::size_t delivered = 0;
    return read(file, name, nullptr, 0, delivered);
}

std::size_t readDataFile(const std::string& name, std::uint8_t* buffer, std::int32_t requested) {
    std::size_t delivered = 0;
    read(name, buffer, requested, delivered);
    return delivered;
}

void writeDataFile(const std::string& name, const std::uint8_t* data, std::size_t length, bool append) {
    if (name.empty()) {
        console::message("Nie podano nazwy pliku lub podano ja w zlym miejscu\n");
        fail(Fail::BadInstruction);
    }
    OutputFile file(name, append);
    if (isHexDataFile(name))
        writeHexLines(file, data, length);
    else
        file.append(data, length);
    file.close();
}

void fileConv(const interpreter::Interpreter& state, const std::string& source, const std::string& destination, std::int32_t nrBit) {
    interpreter::console::print("\tfileconv ");
    if (state.fileappend) interpreter::console::print("ap ");
    interpreter::console::print("%s -> %s", source.c_str(), destination.c_str());
    if (nrBit > 8) interpreter::console::print(", nr_bit= %d", nrBit);
    interpreter::console::print("\n");
    ByteBuffer data = readDataFile(source);
    interpreter::swapSampleBytes(data.data(), data.size(), nrBit);
    writeDataFile(destination, data.data(), data.size(), state.fileappend != 0);
}

}  // namespace kivo::datafiles
