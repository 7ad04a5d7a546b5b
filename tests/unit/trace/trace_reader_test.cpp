// The trace reader on hand-made traces: address tracking as the board does it, and every kind
// of broken input stopping with its byte offset.
#include "trace/trace_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "trace/trace_writer.h"

namespace kivo::trace {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Result {
    std::vector<Op> ops;
    std::string fault;
};

Result readAll(const Bytes& trace, const Bytes* responses = nullptr) {
    ByteSource t(trace.data(), trace.size());
    ByteSource r(responses ? responses->data() : nullptr, responses ? responses->size() : 0);
    TraceReader reader(t, responses ? &r : nullptr);
    Result result;
    Op op;
    while (reader.next(op)) result.ops.push_back(op);
    result.fault = reader.fault();
    return result;
}

const Bytes kEnd = {0xFF, 0xFF, 0xFF, 0xFF};

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(TraceReader, TracksTheAddressLikeTheBoard) {
    // A full address, two reads and a write moving it on; then a stray two-byte address that
    // loads only the low bytes; then a bit wait and a pause that leave it alone.
    const Bytes trace = Bytes{1, 0x45, 1, 0x03, 1, 0x00, 1, 0x10, 3, 3, 2, 0xAB} + Bytes{1, 0x00, 1, 0x20} +
                        Bytes{2, 0x01, 0x0B, 1, 8, 0, 0, 0x20, 0x40, 0x0A, 200} + kEnd;
    const Bytes answers = {0x11, 0x22};
    const Result r = readAll(trace, &answers);
    ASSERT_EQ(r.fault, "");
    ASSERT_EQ(r.ops.size(), 9u);
    EXPECT_EQ(r.ops[0].kind, OpKind::Address);
    EXPECT_EQ(r.ops[0].address, 0x10000345u);
    EXPECT_EQ(r.ops[0].addressBytes, 4);
    EXPECT_EQ(r.ops[1].address, 0x10000345u);
    EXPECT_EQ(r.ops[1].value, 0x11);
    EXPECT_TRUE(r.ops[1].hasValue);
    EXPECT_EQ(r.ops[2].address, 0x10000346u);
    EXPECT_EQ(r.ops[2].value, 0x22);
    EXPECT_EQ(r.ops[3].kind, OpKind::Write);
    EXPECT_EQ(r.ops[3].address, 0x10000347u);
    EXPECT_EQ(r.ops[3].value, 0xAB);
    EXPECT_EQ(r.ops[4].address, 0x10002000u);
    EXPECT_EQ(r.ops[4].addressBytes, 2);
    EXPECT_EQ(r.ops[4].offset, 12u);
    EXPECT_EQ(r.ops[5].address, 0x10002000u);
    EXPECT_EQ(r.ops[6].kind, OpKind::WaitBit);
    EXPECT_EQ(r.ops[6].address, 0x20000008u);
    EXPECT_EQ(r.ops[6].mask, 0x40);
    EXPECT_EQ(r.ops[6].value, 1);
    EXPECT_EQ(r.ops[7].kind, OpKind::Wait);
    EXPECT_EQ(r.ops[7].value, 200);
    EXPECT_EQ(r.ops[8].kind, OpKind::End);
    EXPECT_EQ(r.ops[8].index, 8u);
}

TEST(TraceReader, FourAddressRecordsEndATransferEvenWhenMoreFollow) {
    const Result r = readAll(Bytes{1, 1, 1, 2, 1, 3, 1, 4, 1, 9} + kEnd);
    ASSERT_EQ(r.ops.size(), 3u);
    EXPECT_EQ(r.ops[0].address, 0x04030201u);
    EXPECT_EQ(r.ops[1].address, 0x04030209u);
    EXPECT_EQ(r.ops[1].addressBytes, 1);
}

TEST(TraceReader, BrokenInputStopsWithItsOffset) {
    const struct {
        Bytes trace;
        std::string fault;
    } cases[] = {
        {{3, 2}, "niepelny rekord 02 na pozycji 1"},
        {{1, 5, 1}, "niepelny rekord 01 na pozycji 2"},
        {{0x0B, 1, 2, 3}, "niepelny rekord 0B na pozycji 0"},
        {{3, 0x07, 3}, "nieznany kod rekordu 07 na pozycji 1"},
        {{3, 0xFF, 0xFF, 0x00, 0xFF}, "niepelny znacznik konca na pozycji 1"},
        {{3, 3}, "brak znacznika konca sladu (koniec pliku na pozycji 2)"},
        {{0xFF, 0xFF, 0xFF, 0xFF, 3}, "dane za znacznikiem konca na pozycji 4"},
    };
    for (const auto& c : cases) EXPECT_EQ(readAll(c.trace).fault, c.fault);
    const Bytes one = {0x42};
    EXPECT_EQ(readAll(Bytes{3, 3} + kEnd, &one).fault,
              "odpowiedzi krotsze niz odczyty: brak odpowiedzi dla odczytu na pozycji 1 (odpowiedzi maja 1 bajtow)");
}

TEST(TraceWriter, WritesWhatTheReaderReadsBackAndNothingAfterTheEnd) {
    std::FILE* f = std::tmpfile();
    TraceWriter w(f);
    std::vector<std::uint8_t> block(3000);
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(i * 7);
    w.address(0x345);
    w.write(0xAB);
    w.write(block.data(), block.size());
    w.reads(2500);
    w.wait(255);
    w.waitBit(0, 0x80, 0x60000010);
    w.end();
    w.end();
    w.write(1);
    Bytes bytes(static_cast<std::size_t>(std::ftell(f)));
    std::rewind(f);
    ASSERT_EQ(std::fread(bytes.data(), 1, bytes.size(), f), bytes.size());
    std::fclose(f);
    EXPECT_EQ(bytes.size(), 8 + 2 + 2 * block.size() + 2500 + 2 + 7 + 4);
    const Result r = readAll(bytes);
    ASSERT_EQ(r.fault, "");
    ASSERT_EQ(r.ops.size(), 1 + 1 + block.size() + 2500 + 3);
    EXPECT_EQ(r.ops[2 + 2999].value, block[2999]);
    EXPECT_EQ(r.ops[2 + 2999].address, 0x345u + 3000);
    EXPECT_EQ(r.ops.back().kind, OpKind::End);
}

}  // namespace
}  // namespace kivo::trace
