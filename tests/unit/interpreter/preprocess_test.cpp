#include <gtest/gtest.h>

#include "interpreter/preprocess.h"

namespace kivo::interpreter {
namespace {

struct Prepared {
    int result;
    std::string text;
    bool inBlock;
};

Prepared prepare(std::string line, bool inBlock = false) {
    int r = preprocessLine(line, inBlock);
    return {r, line, inBlock};
}

TEST(PreprocessLine, SkipsShortLinesAndLabels) {
    EXPECT_LT(prepare("x").result, 0);
    EXPECT_LT(prepare("").result, 0);
    EXPECT_LT(prepare(":label").result, 0);
    EXPECT_LT(prepare(":a stat+= 1").result, 0);
    EXPECT_GE(prepare("xy").result, 0);
    EXPECT_GE(prepare(" :a").result, 0);  // only a colon in the first column makes a label
}

TEST(PreprocessLine, QuotesBecomeBlanksAndKeepUnderscores) {
    EXPECT_EQ(prepare("print x_y").text, "print xy");
    EXPECT_EQ(prepare("print \"x_y\" ").text, "print  x_y  ");
    EXPECT_EQ(prepare("baseadr 1000_0000").text, "baseadr 10000000");
    EXPECT_EQ(prepare("la___start 1").text, "lastart 1");
    // The last character is never examined: a closing quote there stays a quote.
    EXPECT_EQ(prepare("print \"abc\"").text, "print  abc\"");
    // ...and so does a final underscore.
    EXPECT_EQ(prepare("print ab_").text, "print ab_");
    EXPECT_EQ(prepare("print \"a\"b\"c_d\"e").text, "print  a b c_d e");
}

TEST(PreprocessLine, CharacterAfterAnUnderscoreRunIsNotTakenAsAQuote) {
    // The quote that follows the removed run stays; the later one still opens quotes.
    EXPECT_EQ(prepare("print a_\"b_c\" ").text, "print a\"bc  ");
}

TEST(PreprocessLine, UnderscoresThatEmptyTheLineAreSafe) {
    auto p = prepare("__");
    EXPECT_EQ(p.text, "");
    EXPECT_GE(p.result, 0);
    EXPECT_EQ(prepare("___x").text, "x");
}

TEST(PreprocessLine, LineComments) {
    auto p = prepare("baseadr 10 // base");
    EXPECT_EQ(p.text, "baseadr 10 ");
    EXPECT_GE(p.result, 0);
    EXPECT_EQ(prepare("print \"a//b\" ").text, "print  a");  // "//" inside quotes still cuts
    EXPECT_EQ(prepare("// only").text, "");
    // Inside a block comment the text before "//" is not executed.
    EXPECT_LT(prepare("x // y", true).result, 0);
}

TEST(PreprocessLine, BlockComments) {
    auto open = prepare("stat+= 1 /* comment");
    EXPECT_GE(open.result, 0);
    EXPECT_EQ(open.text, "stat+= 1 ");
    EXPECT_TRUE(open.inBlock);

    // The line ends at "/*", so a "*/" later on the same line is never reached.
    auto same = prepare("/* a */ print x");
    EXPECT_TRUE(same.inBlock);
    EXPECT_EQ(same.text, "");

    auto inside = prepare("print x", true);
    EXPECT_LT(inside.result, 0);
    EXPECT_TRUE(inside.inBlock);

    auto close = prepare("end */ print y", true);
    EXPECT_LT(close.result, 0);
    EXPECT_FALSE(close.inBlock);

    // A "*/" skips the whole line even with no block comment open.
    EXPECT_LT(prepare("print y */").result, 0);

    // While a block comment is open, text before a new "/*" runs.
    auto reopen = prepare("print x /*", true);
    EXPECT_GE(reopen.result, 0);
    EXPECT_EQ(reopen.text, "print x ");
    EXPECT_TRUE(reopen.inBlock);

    // The final "/" of "*/" at the very end is the last character: it is still seen as the
    // pair's second character.
    EXPECT_LT(prepare("x */", true).result, 0);
}

TEST(SplitLine, KeywordAndArgumentText) {
    std::string_view k, a;
    ASSERT_TRUE(splitLine("stat+= 5", k, a));
    EXPECT_EQ(k, "stat+=");
    EXPECT_EQ(a, "5");
    ASSERT_TRUE(splitLine("  print \t a  b  ", k, a));
    EXPECT_EQ(k, "print");
    EXPECT_EQ(a, "a  b  ");
    ASSERT_TRUE(splitLine("exit", k, a));
    EXPECT_EQ(a, "");
    EXPECT_FALSE(splitLine("   \t", k, a));
    EXPECT_FALSE(splitLine("", k, a));
}

}  // namespace
}  // namespace kivo::interpreter
