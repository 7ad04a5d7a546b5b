#include "board/memory_commands.h"

#include <algorithm>
#include <climits>
#include <string>

#include "board/board_commands.h"
#include "datafiles/data_files.h"
#include "board/epp_port.h"
#include "interpreter/console.h"
#include "interpreter/errors.h"
#include "interpreter/numbers.h"
#include "interpreter/progress.h"
#include "interpreter/scan.h"

namespace kivo::board {

using namespace interpreter;
using datafiles::ByteBuffer;
using datafiles::readDataFile;
using datafiles::writeDataFile;

namespace {

constexpr std::int32_t kMaxReadbyte = 1024;
constexpr std::int32_t kMaxPattern = 0x200000;

// Byte counts are signed 32-bit: a stop far below the start gives a negative count.
std::int32_t byteCount(std::uint32_t start, std::uint32_t stop) { return static_cast<std::int32_t>(stop - start + 1); }

void writeByte(EppPort& port, std::uint32_t address, const std::string& data) {
    console::print("\twritebyte adres= ");
    printGroupedHex(address);
    std::uint8_t bytes[8];
    const int n = parseHexBytes(data.c_str(), bytes, true);
    console::print(", dana= ");
    printHexBytes(bytes, static_cast<std::size_t>(n), true);
    console::print("= %d(dec)\n", static_cast<std::int32_t>(bytesValue(bytes, static_cast<std::size_t>(n))));
    port.writeBlock(bytes, address, n);
}

std::uint32_t readByte(EppPort& port, std::uint32_t start, std::uint32_t stop) {
    console::print("\treadbyte Adr= ");
    printGroupedHex(start);
    console::print(" do ");
    printGroupedHex(stop);
    // Counted in 64 bits: 0 .. FFFFFFFF is 2^32 bytes, which the 1024-byte cap takes in.
    const std::int64_t wanted = std::int64_t{stop} - std::int64_t{start} + 1;
    if (wanted < 0) {
        console::print("\nAdres koncowy musi byc wiekszy od poczatkowego\n");
        fail(Fail::BadInstruction);
    }
    const auto n = static_cast<std::int32_t>(std::min<std::int64_t>(wanted, kMaxReadbyte));
    // A read that times out stops early: the bytes it never reached show as 0, not as garbage.
    std::uint8_t buffer[kMaxReadbyte] = {};
    port.readBlock(start, n, buffer);
    const auto head = static_cast<std::size_t>(std::min(n, 4));
    const std::uint32_t value = bytesValue(buffer, head);
    console::print(" data= ");
    printHexBytes(buffer, head, true);
    console::print("= %d(dec)\n", static_cast<std::int32_t>(value));
    if (n > 4) {
        for (std::int32_t i = 0; i < n; i += 16) {
            console::print("\t  adr= ");
            printGroupedHex(start + static_cast<std::uint32_t>(i));
            console::print("  dana= ");
            printHexBytes(buffer + i, static_cast<std::size_t>(std::min(16, n - i)), true);
            console::print("\n");
        }
    }
    return value;
}

void printFileRange(const std::string& name, std::uint32_t start, std::uint32_t stop) {
    console::print("file=%s, adr_start=", name.c_str());
    printGroupedHex(start);
    console::print(", adr_stop=");
    printGroupedHex(stop);
    console::print("\n");
}

// `stopGiven` false: the line named a file and a start only, and the whole file is written.
// `backwards`: the line named a file and a stop below the start.
void writeBlock(EppPort& port, const Interpreter& state, const std::string& name, std::uint32_t start,
                std::uint32_t stop, bool stopGiven, bool backwards) {
    const std::int32_t n = byteCount(start, stop);
    console::print("\twriteblock ");
    if (state.fileappend) console::print("ap ");
    ByteBuffer data;
    if (backwards) {
        printFileRange(name, start, stop);
        console::print("Adres koncowy musi byc wiekszy od poczatkowego\n");
        fail(Fail::BadInstruction);
    }
    if (!name.empty()) {
        data = readDataFile(name, stopGiven ? n : 0);
        printFileRange(name, start, start + static_cast<std::uint32_t>(data.size()) - 1);
    } else {
        console::print("stat= %X, adr_start= ", state.stat);
        printGroupedHex(start);
        console::print(", adr_stop= ");
        printGroupedHex(start + static_cast<std::uint32_t>(n) - 1);
        console::print("\n");
        if (n <= 0 || n > kMaxPattern) {
            console::print("Zly adres do zapisu\n");
            fail(Fail::BadInstruction);
        }
        data = ByteBuffer::uninitialised(static_cast<std::uint64_t>(n));
        for (std::int32_t k = 0; k < n; ++k) data.data()[k] = static_cast<std::uint8_t>(state.stat >> (8 * (3 - k % 4)));
    }
    // One transfer carries at most 2^31 - 1 bytes; a larger file fits no board range.
    if (data.size() > static_cast<std::size_t>(INT32_MAX)) {
        console::print("Zly adres do zapisu\n");
        fail(Fail::BadInstruction);
    }
    const progress::Progress shown("writeblock", data.size());
    port.writeBlock(data.data(), start, static_cast<std::int32_t>(data.size()));
}

}  // namespace

std::uint32_t readBlockToFile(EppPort& port, Interpreter& state, const std::string& name, std::uint32_t start,
                              std::uint32_t stop, bool echo) {
    const std::int32_t n = byteCount(start, stop);
    if (echo) {
        console::print("\treadblock file= %s, adr_start=", name.c_str());
        printGroupedHex(start);
        console::print(", adr_stop=");
        printGroupedHex(stop);
        console::print("\n");
    }
    if (n <= 0) {
        console::print("Adres koncowy musi byc wiekszy od poczatkowego\n");
        fail(Fail::BadInstruction);
    }
    if (n > kMaxReadBlock) {
        console::print("Rozmiar do odczytu: %X [hex] > 64MB\n", static_cast<unsigned>(n));
        fail(Fail::BadInstruction);
    }
    // Zeroed: a read that times out stops early and must not save stale memory.
    ByteBuffer data = ByteBuffer::zeroed(static_cast<std::uint64_t>(n));
    {
        const progress::Progress shown("readblock", static_cast<std::uint64_t>(n));
        port.readBlock(start, n, data.data());
    }
    writeDataFile(name, data.data(), data.size(), state.fileappend != 0);
    const auto tail = static_cast<std::size_t>(std::min(n, 4));
    state.stat = bytesValue(data.data() + data.size() - tail, tail);
    return state.stat;
}

void runWritebyte(Run& run, const Line& line) {
    std::uint32_t address = 0;
    std::string data;
    readArguments(line, {&address, &data});
    writeByte(transport(run), address + run.state.baseadr, data);
}

void runReadbyte(Run& run, const Line& line) {
    std::uint32_t start = 0, stop = 0;
    const int fields = readArguments(line, {&start, &stop});
    if (fields == 1) stop = start;
    run.state.stat = readByte(transport(run), start + run.state.baseadr, stop + run.state.baseadr);
}

void runWriteblock(Run& run, const Line& line) {
    std::string name;
    std::uint32_t start = 0, stop = 0;
    bool stopGiven = true;
    // A word that is no address must not leave the addresses to the status memory, or to the
    // whole file, without a word: writeblock d.bin zz is refused.
    const int fields = readArguments(line, {&name, &start, &stop});
    if (fields <= 1) {
        // No addresses: status memory cells 0 and 1 hold them.
        start = static_cast<std::uint32_t>(run.state.statusMemory[0]);
        stop = static_cast<std::uint32_t>(run.state.statusMemory[1]);
        if (fields < 1) name.clear();
    } else if (fields == 2 && name.find('.') == std::string::npos) {
        // Two words and the first is no file name: they are the start and stop addresses. A
        // word that is no number either leaves the second word as the start, and the stop 0.
        name.clear();
        scan(line.arguments, "%x %x", {&start, &stop});
    } else if (fields == 2) {
        stopGiven = false;
    }
    // A stop of 0 is the written-out form of no stop; any other stop below the start is
    // refused as readblock and the fill form refuse it, instead of taking the whole file.
    const bool backwards = fields == 3 && stop != 0 && stop < start;
    writeBlock(transport(run), run.state, name, start + run.state.baseadr, stop + run.state.baseadr, stopGiven,
               backwards);
}

void runReadblock(Run& run, const Line& line) {
    std::string name;
    std::uint32_t start = 0, stop = 0;
    readArguments(line, {&name, &start, &stop});
    readBlockToFile(transport(run), run.state, name, start + run.state.baseadr, stop + run.state.baseadr, true);
}

}  // namespace kivo::board
