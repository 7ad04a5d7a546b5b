#include "interpreter/command_line.h"

#include <gtest/gtest.h>

namespace kivo::interpreter {
namespace {

using Words = std::vector<std::string>;

TEST(SplitCommandLine, BlanksSeparateAndQuotesGroup) {
    EXPECT_EQ(splitCommandLine(""), Words{});
    EXPECT_EQ(splitCommandLine(" \t "), Words{});
    EXPECT_EQ(splitCommandLine("  prog  a\tb  "), (Words{"prog", "a", "b"}));
    EXPECT_EQ(splitCommandLine(R"(prog "a b" c" "d "")"), (Words{"prog", "a b", "c d", ""}));
}

TEST(SplitCommandLine, ProgramWordTakesBackslashesLiterallyAndEndsAtItsClosingQuote) {
    EXPECT_EQ(splitCommandLine(R"("C:\Program Files\tool.exe" x)"), (Words{R"(C:\Program Files\tool.exe)", "x"}));
    EXPECT_EQ(splitCommandLine(R"(C:\bin\tool\ "x")"), (Words{R"(C:\bin\tool\)", "x"}));
    EXPECT_EQ(splitCommandLine(R"("unterminated prog)"), (Words{"unterminated prog"}));
}

TEST(SplitCommandLine, BackslashesCountOnlyBeforeAQuote) {
    EXPECT_EQ(splitCommandLine(R"(p a\\b a\"b)"), (Words{"p", R"(a\\b)", R"(a"b)"}));
    EXPECT_EQ(splitCommandLine(R"(p "a\\" b)"), (Words{"p", R"(a\)", "b"}));
    EXPECT_EQ(splitCommandLine(R"(p a\\\"b "c\\\\"d)"), (Words{"p", R"(a\"b)", R"(c\\d)"}));
    EXPECT_EQ(splitCommandLine(R"(p "a""b" c)"), (Words{"p", R"(a"b)", "c"}));
}

}  // namespace
}  // namespace kivo::interpreter
