#include <gtest/gtest.h>

#include "interpreter/numbers.h"

namespace kivo::interpreter {
namespace {

TEST(GroupedHex, PrintsUpperHalfUnderscoreAndFourLowDigits) {
    EXPECT_EQ(groupedHex(0), "0");
    EXPECT_EQ(groupedHex(0xFFFF), "FFFF");
    EXPECT_EQ(groupedHex(0x10000), "1_0000");
    EXPECT_EQ(groupedHex(0x10005), "1_0005");
    EXPECT_EQ(groupedHex(0x12345678), "1234_5678");
    EXPECT_EQ(groupedHex(0xFFFFFFFF), "FFFF_FFFF");
    EXPECT_EQ(groupedHex(0xABC0123), "ABC_0123");
}

TEST(HexBytes, TextOrderGroupsPairsAndDoubleSeparatorAfterEighth) {
    const std::uint8_t b[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_EQ(hexBytes(b, 10, true), "0102_0304_0506_0708__090A");
    EXPECT_EQ(hexBytes(b, 8, true), "0102_0304_0506_0708");
    EXPECT_EQ(hexBytes(b, 1, true), "01");
    EXPECT_EQ(hexBytes(b, 3, true), "0102_03");
    EXPECT_EQ(hexBytes(b, 0, true), "");
    const std::uint8_t r[] = {0x11, 0x22, 0x33, 0x44};
    EXPECT_EQ(hexBytes(r, 4, false), "4433_2211");
    EXPECT_EQ(hexBytes(r, 3, false), "33_2211");
    EXPECT_EQ(hexBytes(r, 1, false), "11");
    const std::uint8_t full[] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                                 0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
    EXPECT_EQ(hexBytes(full, 16, true), "0011_2233_4455_6677__8899_AABB_CCDD_EEFF");
}

TEST(ParseHexBytes, PairsDigitsFromTheRight) {
    std::uint8_t b[8] = {};
    ASSERT_EQ(parseHexBytes("1A2", b, false), 2);
    EXPECT_EQ(b[0], 0xA2);
    EXPECT_EQ(b[1], 0x01);
    ASSERT_EQ(parseHexBytes("1A2", b, true), 2);
    EXPECT_EQ(b[0], 0x01);
    EXPECT_EQ(b[1], 0xA2);
    EXPECT_EQ(parseHexBytes("12345678", b, true), 4);
    EXPECT_EQ(parseHexBytes("0x12", b, true), 1);
    EXPECT_EQ(b[0], 0);
    EXPECT_EQ(parseHexBytes("zz", b, true), 0);
    EXPECT_EQ(parseHexBytes("", b, true), 0);
    // Only the first 16 digits count.
    ASSERT_EQ(parseHexBytes("0102030405060708FF", b, true), 8);
    EXPECT_EQ(b[0], 0x01);
    EXPECT_EQ(b[7], 0x08);
    ASSERT_EQ(parseHexBytes("1A2B3", b, true), 3);
    EXPECT_EQ(b[0], 0x01);
    EXPECT_EQ(b[1], 0xA2);
    EXPECT_EQ(b[2], 0xB3);
}

TEST(LowestSetBit, CountsTrailingZeros) {
    EXPECT_EQ(lowestSetBit(1), 0);
    EXPECT_EQ(lowestSetBit(0x80), 7);
    EXPECT_EQ(lowestSetBit(0x80000000u), 31);
    EXPECT_EQ(lowestSetBit(0x30), 4);
}

TEST(SwapSampleBytes, ByWidthAndLeavesPartialSamples) {
    auto swapped = [](std::vector<std::uint8_t> v, int bits) {
        swapSampleBytes(v.data(), v.size(), bits);
        return v;
    };
    std::vector<std::uint8_t> v{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    EXPECT_EQ(swapped(v, 8), v);
    EXPECT_EQ(swapped(v, 16), (std::vector<std::uint8_t>{2, 1, 4, 3, 6, 5, 8, 7, 10, 9, 11}));
    EXPECT_EQ(swapped(v, 9), swapped(v, 16));
    EXPECT_EQ(swapped(v, 17), (std::vector<std::uint8_t>{4, 3, 2, 1, 8, 7, 6, 5, 9, 10, 11}));
    EXPECT_EQ(swapped(v, 32), swapped(v, 17));
    std::vector<std::uint8_t> big(1000);
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 7);
    auto s16 = swapped(big, 16);
    for (std::size_t i = 0; i + 1 < big.size(); i += 2) {
        ASSERT_EQ(s16[i], big[i + 1]);
        ASSERT_EQ(s16[i + 1], big[i]);
    }
}

TEST(BytesValue, BigEndianOfUpToFourBytes) {
    const std::uint8_t b[] = {0x01, 0xA2, 0xB3, 0xC4, 0xD5};
    EXPECT_EQ(bytesValue(b, 3), 0x01A2B3u);
    EXPECT_EQ(bytesValue(b, 5), 0x01A2B3C4u);
    EXPECT_EQ(bytesValue(b, 0), 0u);
}

}  // namespace
}  // namespace kivo::interpreter
