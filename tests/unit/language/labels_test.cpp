// Labels and jump targets as the editor's go-to-label sees them: kivo's reading of the lines.
#include <gtest/gtest.h>

#include "language/check.h"
#include "language/labels.h"

namespace kivo::language {
namespace {

TEST(Labels, AreTheLinesKivoIndexesWithTheNameUpToTheFirstSpace) {
    // Line 0 is indented: only there the indentation is not consumed, so it is a command.
    const std::string script = "  :first\r\n:a comment\r\n\t:b\tc\r\n/*\r\n:not_hidden\r\n*/\r\n:a\r\n\x1A:after_end\r\n";
    const std::vector<LabelDefinition> labels = labelsOf(script);
    ASSERT_EQ(labels.size(), 4u);
    EXPECT_EQ(labels[0].name, "a");
    EXPECT_EQ(labels[0].line, 1);
    EXPECT_EQ(labels[1].name, "b\tc");  // a tab does not end the name
    EXPECT_EQ(labels[1].begin, 2);
    EXPECT_EQ(labels[2].name, "not_hidden");  // the search does not look at comments
    EXPECT_EQ(findLabel(labels, "a"), &labels[0]);
    EXPECT_EQ(findLabel(labels, "first"), nullptr);
}

TEST(Labels, JumpTargetIsTheLabelAfterPreparationWithItsColumnsAsWritten) {
    const std::string script =
        "goto x_y rest\n"
        "go< 5 \"a_b\"  // c\n"
        "loop 3 lab\n"
        "gobit0 1\n"
        "/*\n"
        "goto hidden\n"
        "*/\n"
        "print goto x\n";
    const auto first = jumpTargetAt(script, 0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->label, "xy");  // the underscore outside quotes is gone
    EXPECT_EQ(first->begin, 5);
    EXPECT_EQ(first->end, 8);
    const auto quoted = jumpTargetAt(script, 1);
    ASSERT_TRUE(quoted);
    EXPECT_EQ(quoted->label, "a_b");
    EXPECT_EQ(quoted->begin, 7);
    EXPECT_EQ(quoted->end, 10);
    EXPECT_EQ(jumpTargetAt(script, 2)->label, "lab");
    EXPECT_FALSE(jumpTargetAt(script, 3));  // no label field: the line is refused, no jump
    EXPECT_FALSE(jumpTargetAt(script, 5));  // inside the block comment
    EXPECT_FALSE(jumpTargetAt(script, 7));
    EXPECT_FALSE(jumpTargetAt(script, 99));
}

TEST(Checker, WarnsWhereTheLanguageSurprises) {
    const std::vector<Finding> found = checkScript("laread \"cap.bin\"\nfilecomp \"b_1.bin\" a_1.bin\nprint x_y\n");
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].line, 0);
    EXPECT_EQ(found[0].message, "Uwaga: cudzyslow na koncu linii zostaje w tekscie: cap.bin\"");
    EXPECT_EQ(found[1].line, 1);  // only the unquoted name; print's text is no name
    EXPECT_NE(found[1].message.find("a1.bin"), std::string::npos);
    EXPECT_EQ(found[1].begin, 19);
}

}  // namespace
}  // namespace kivo::language
