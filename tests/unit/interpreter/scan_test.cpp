#include <gtest/gtest.h>

#include "interpreter/scan.h"

namespace kivo::interpreter {
namespace {

TEST(Scan, CountsFieldsLikeSscanf) {
    std::uint32_t a = 7, b = 7;
    std::string s;
    EXPECT_EQ(scan("", "%x", {&a}), -1);
    EXPECT_EQ(scan("   ", "%x %x", {&a, &b}), -1);
    EXPECT_EQ(scan("zz", "%x", {&a}), 0);
    EXPECT_EQ(a, 7u);  // untouched when its field is not read
    EXPECT_EQ(scan("10", "%x %x", {&a, &b}), 1);
    EXPECT_EQ(a, 0x10u);
    EXPECT_EQ(b, 7u);
    EXPECT_EQ(scan("10 zz", "%x %x", {&a, &b}), 1);
    EXPECT_EQ(scan("file.bin 10 20", "%s %x %x", {&s, &a, &b}), 3);
    EXPECT_EQ(s, "file.bin");
    EXPECT_EQ(b, 0x20u);
}

TEST(Scan, HexNumbers) {
    std::uint32_t v = 0;
    scan("FFFFFFFF", "%x", {&v});
    EXPECT_EQ(v, 0xFFFFFFFFu);
    scan("0x1f", "%x", {&v});
    EXPECT_EQ(v, 0x1Fu);
    scan("-1", "%x", {&v});
    EXPECT_EQ(v, 0xFFFFFFFFu);
    scan("+a", "%x", {&v});
    EXPECT_EQ(v, 0xAu);
    scan("123456789", "%x", {&v});  // wraps to 32 bits
    EXPECT_EQ(v, 0x23456789u);
    scan("10g", "%x", {&v});
    EXPECT_EQ(v, 0x10u);
    EXPECT_EQ(scan("-", "%x", {&v}), 0);
    EXPECT_EQ(scan("0x", "%x", {&v}), 1);
    EXPECT_EQ(v, 0u);
}

TEST(Scan, DecimalNumbers) {
    std::int32_t v = 0;
    scan("-5", "%d", {&v});
    EXPECT_EQ(v, -5);
    EXPECT_EQ(scan("x", "%d", {&v}), 0);
    scan("12ab", "%d", {&v});
    EXPECT_EQ(v, 12);
    scan("4294967295", "%d", {&v});
    EXPECT_EQ(v, -1);
    std::uint32_t h = 0;
    scan("0x10", "%d", {&h});  // decimal stops at the x
    EXPECT_EQ(h, 0u);
}

TEST(Scan, WordsStopAtAnyBlank) {
    std::string a, b;
    EXPECT_EQ(scan("a\tb", "%s %s", {&a, &b}), 2);
    EXPECT_EQ(a, "a");
    EXPECT_EQ(b, "b");
    std::uint32_t v = 0;
    EXPECT_EQ(scan("lab", "%x %s", {&v, &a}), 0);  // a label is no number
}

}  // namespace
}  // namespace kivo::interpreter
