// Feeds arbitrary text to the hex data-file reader and checks every byte it delivers against
// the plainest reading there is: the hex digits of the text taken in pairs, whatever stands
// between them. The fast paths (runs of 16 pairs, chunk borders, a pair split by a
// separator) must never tell a different story. What was read is then written back as hex
// and read again, which must give the same bytes.
//
// The first two bytes of an input choose the read: byte 0 picks the way in (bit 0: a buffer
// of the caller's, bit 1: a pipe, whose size is unknown), byte 1 the requested length (0:
// the whole file). The rest is the file.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "datafiles/data_files.h"
#include "interpreter/errors.h"

using namespace kivo;

namespace {

int digit(std::uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::vector<std::uint8_t> plainDecode(const std::uint8_t* p, std::size_t n) {
    std::vector<std::uint8_t> out;
    int high = -1;
    for (std::size_t i = 0; i < n; ++i) {
        const int d = digit(p[i]);
        if (d < 0) continue;
        if (high < 0) {
            high = d;
        } else {
            out.push_back(static_cast<std::uint8_t>(high << 4 | d));
            high = -1;
        }
    }
    return out;
}

void check(bool ok) {
    if (!ok) std::abort();
}

void writeFile(const char* name, const std::uint8_t* p, std::size_t n) {
    std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char*>(p), static_cast<std::streamsize>(n));
}

// The text through a pipe: the reader then has no size to go by.
datafiles::ByteBuffer readThroughPipe(const std::uint8_t* p, std::size_t n) {
    int ends[2];
    if (pipe(ends) != 0) std::abort();
    // Inputs stay below the pipe's buffer (-max_len), so the write never blocks.
    if (n > 0 && write(ends[1], p, n) != static_cast<ssize_t>(n)) std::abort();
    close(ends[1]);
    const std::string name = "/dev/fd/" + std::to_string(ends[0]) + ".hex";
    datafiles::ByteBuffer bytes;
    try {
        datafiles::InputFile file("/dev/fd/" + std::to_string(ends[0]));
        bytes = datafiles::readDataFile(file, name);
    } catch (...) {
        close(ends[0]);
        throw;
    }
    close(ends[0]);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Memory-backed where there is such a place: a disk file system flushes a file that was
    // truncated and rewritten, three times an input.
    char shm[] = "/dev/shm/kivo-fuzz-XXXXXX";
    char tmp[] = "/tmp/kivo-fuzz-XXXXXX";
    const char* dir = mkdtemp(shm);
    if (!dir) dir = mkdtemp(tmp);
    if (!dir || chdir(dir) != 0) std::abort();
    int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const bool given = data[0] & 1, piped = data[0] & 2;
    const std::int32_t requested = data[1];
    const std::uint8_t* text = data + 2;
    const std::size_t length = size - 2;
    const std::vector<std::uint8_t> all = plainDecode(text, length);
    std::vector<std::uint8_t> expected = all;
    if (requested > 0 && expected.size() > static_cast<std::size_t>(requested)) expected.resize(requested);
    try {
        std::vector<std::uint8_t> got;
        if (piped) {
            const datafiles::ByteBuffer bytes = readThroughPipe(text, length);
            got.assign(bytes.data(), bytes.data() + bytes.size());
            expected = all;
        } else {
            writeFile("in.hex", text, length);
            if (given && requested > 0) {
                std::vector<std::uint8_t> buffer(static_cast<std::size_t>(requested) + 1, 0xEE);
                const std::size_t n = datafiles::readDataFile("in.hex", buffer.data(), requested);
                check(buffer.back() == 0xEE);  // nothing past the request
                got.assign(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(n));
            } else {
                const datafiles::ByteBuffer bytes = datafiles::readDataFile("in.hex", requested);
                got.assign(bytes.data(), bytes.data() + bytes.size());
            }
        }
        check(got == expected);
        datafiles::writeDataFile("out.hex", got.data(), got.size(), false);
        const datafiles::ByteBuffer again = datafiles::readDataFile("out.hex");
        check(again.size() == got.size() && (got.empty() || std::memcmp(again.data(), got.data(), got.size()) == 0));
    } catch (const interpreter::ScriptFailure&) {
        std::abort();  // every input here is a readable file: no failure is expected
    }
    return 0;
}
