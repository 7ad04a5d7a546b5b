// The board transport's own cost per port access (against a backend that does nothing), and
// bytes per second through each link kind against the virtual board.
//
//   transport_bench [MiB]     (default 1 MiB per transfer)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "board/epp_port.h"
#include "emulator/board_model.h"

namespace {

using kivo::board::EppPort;
using kivo::port::PortIo;
using Clock = std::chrono::steady_clock;

// Status reads give 0 (nWait ready, acknowledge present, echo 0); the other registers give
// 0x88, the EPP signature, so the probe settles quietly.
std::uint8_t answer(std::uint16_t port) { return port == kivo::port::kStatusPort ? 0x00 : 0x88; }

class NullPort final : public PortIo {
public:
    std::uint8_t readByte(std::uint16_t port) override { return answer(port); }
    void writeByte(std::uint16_t, std::uint8_t) override {}
    void readBytes(std::uint16_t, std::uint8_t*, std::size_t) override {}
    void writeBytes(std::uint16_t, const std::uint8_t*, std::size_t) override {}
    void readLongs(std::uint16_t, std::uint8_t*, std::size_t) override {}
    void writeLongs(std::uint16_t, const std::uint8_t*, std::size_t) override {}
};

// The same answers, counting the accesses (a repeated access counts as one).
class CountingPort final : public PortIo {
public:
    std::uint64_t accesses = 0;
    std::uint8_t readByte(std::uint16_t port) override { return ++accesses, answer(port); }
    void writeByte(std::uint16_t, std::uint8_t) override { ++accesses; }
    void readBytes(std::uint16_t, std::uint8_t*, std::size_t) override { ++accesses; }
    void writeBytes(std::uint16_t, const std::uint8_t*, std::size_t) override { ++accesses; }
    void readLongs(std::uint16_t, std::uint8_t*, std::size_t) override { ++accesses; }
    void writeLongs(std::uint16_t, const std::uint8_t*, std::size_t) override { ++accesses; }
};

double seconds(const std::function<void()>& action) {
    const auto start = Clock::now();
    action();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Operation {
    const char* name;
    std::int32_t mode;
    std::function<void(EppPort&, std::vector<std::uint8_t>&)> run;
};

void accessCost(std::size_t size) {
    std::vector<std::uint8_t> buffer(size, 0);  // zeros: the null port's echo matches them
    const auto count = static_cast<std::int32_t>(size);
    const Operation operations[] = {
        {"software EPP block write (eppmode 1)", 1,
         [=](EppPort& p, std::vector<std::uint8_t>& b) { p.writeBlock(b.data(), 0x1000, count); }},
        {"software EPP block read (eppmode 2)", 2,
         [=](EppPort& p, std::vector<std::uint8_t>& b) { p.readBlock(0x1000, count, b.data()); }},
        {"software EPP, direct instructions (eppmode 11)", 11,
         [=](EppPort& p, std::vector<std::uint8_t>& b) {
             p.writeBlock(b.data(), 0x1000, count);
             p.readBlock(0x1000, count, b.data());
         }},
        {"nibble block write (eppmode 16)", 16,
         [=](EppPort& p, std::vector<std::uint8_t>& b) { p.writeBlock(b.data(), 0x1000, count); }},
        {"nibble block read (eppmode 16)", 16,
         [=](EppPort& p, std::vector<std::uint8_t>& b) { p.readBlock(0x1000, count, b.data()); }},
        {"hardware EPP single bytes (eppmode 0)", 0,
         [=](EppPort& p, std::vector<std::uint8_t>&) {
             for (std::int32_t i = 0; i < count / 8; ++i) p.writeByte(static_cast<std::uint32_t>(i), 0);
         }},
    };
    std::printf("Transport cost per port access (null backend, %zu bytes per transfer):\n", size);
    for (const Operation& op : operations) {
        CountingPort counter;
        EppPort counted(counter, counter);
        counted.probe(false);
        counted.setEppmode(op.mode);
        counter.accesses = 0;
        std::fill(buffer.begin(), buffer.end(), 0);
        op.run(counted, buffer);
        const std::uint64_t accesses = counter.accesses;

        NullPort null;
        EppPort port(null, null);
        port.probe(false);
        port.setEppmode(op.mode);
        double best = 1e9;
        for (int round = 0; round < 5; ++round) {
            std::fill(buffer.begin(), buffer.end(), 0);
            best = std::min(best, seconds([&] { op.run(port, buffer); }));
        }
        std::printf("  %-48s %10llu accesses  %6.2f ns/access\n", op.name, static_cast<unsigned long long>(accesses),
                    best * 1e9 / static_cast<double>(accesses));
    }
}

void throughput(std::size_t size) {
    using kivo::emulator::BoardKind;
    using kivo::emulator::BoardModel;
    struct Link {
        const char* name;
        BoardKind kind;
        std::int32_t mode;
    } links[] = {
        {"hardware EPP (eppmode 0)", BoardKind::Xsv300, 0},
        {"hardware EPP 32-bit (eppmode 4)", BoardKind::Xsv300, 4},
        {"software EPP (eppmode 3)", BoardKind::Xsv300, 3},
        {"software EPP, direct (eppmode 11)", BoardKind::Xsv300, 11},
        {"nibble (eppmode 16)", BoardKind::Xsb, 16},
    };
    std::vector<std::uint8_t> data(size);
    for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<std::uint8_t>(i * 13 + 5);
    std::vector<std::uint8_t> back(size);
    const auto count = static_cast<std::int32_t>(size);
    std::printf("Throughput against the virtual board, %zu-byte block:\n", size);
    for (const Link& link : links) {
        BoardModel board(link.kind);
        EppPort port(board, board);
        port.probe(false);
        port.setEppmode(link.mode);
        const double write = seconds([&] { port.writeBlock(data.data(), 0x100000, count); });
        const double read = seconds([&] { port.readBlock(0x100000, count, back.data()); });
        std::printf("  %-36s write %8.2f MB/s   read %8.2f MB/s%s\n", link.name, size / write / 1e6,
                    size / read / 1e6, back == data ? "" : "   (READ BACK DIFFERS)");
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1;
    accessCost(mib << 20);
    throughput(mib << 20);
    return 0;
}
