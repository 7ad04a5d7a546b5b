#include <algorithm>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "datafiles/file_io.h"
#include "interpreter/errors.h"
#include "app/command_table.h"
#include "interpreter/dispatcher.h"
#include "interpreter/script.h"

namespace kivo::interpreter {
namespace {

std::vector<std::string> lines(Script& s) {
    std::vector<std::string> out;
    std::string_view line;
    std::size_t raw;
    while (s.readLine(line, raw)) {
        out.emplace_back(line);
        if (s.atEnd()) break;
    }
    return out;
}

std::vector<std::string> linesOf(std::string text) {
    Script s;
    s.openText(std::move(text));
    return lines(s);
}

using V = std::vector<std::string>;

TEST(ScriptReading, BlankLinesAndIndentationAreSkippedButNotOnTheFirstLine) {
    EXPECT_EQ(linesOf("  a\n\n   \t b\n\n"), (V{"  a", "b"}));
    EXPECT_EQ(linesOf("a\nb"), (V{"a", "b"}));  // last line without a line end
    EXPECT_EQ(linesOf(""), V{});
    EXPECT_EQ(linesOf("\n\n \n"), V{});
    // An empty first line is skipped like any blank line (and so is the next one's indentation).
    EXPECT_EQ(linesOf("\n  a\nb\n"), (V{"a", "b"}));
}

TEST(ScriptReading, EndIsReachedByTheBlanksAfterTheLastLine) {
    Script s;
    s.openText("a\n  \n");
    std::string_view line;
    std::size_t raw;
    ASSERT_TRUE(s.readLine(line, raw));
    EXPECT_TRUE(s.atEnd());
}

TEST(ScriptReading, WindowsTextMode) {
    Script s;
    s.openText("");
    EXPECT_EQ(linesOf("a\r\nb\r\n"), (V{"a", "b"}));
    EXPECT_EQ(linesOf("a\rb\n"), (V{"a\rb"}));       // a lone CR is kept
    EXPECT_EQ(linesOf("a\nb\x1A" "c\nd\n"), (V{"a", "b"}));  // Ctrl-Z ends the text
}

TEST(ScriptReading, NulCutsTheLineButNotTheReading) {
    std::string text("ab\0cd\nef\n", 9);
    Script s;
    s.openText(text);
    std::string_view line;
    std::size_t raw;
    ASSERT_TRUE(s.readLine(line, raw));
    EXPECT_EQ(line, "ab");
    EXPECT_EQ(raw, 5u);
    ASSERT_TRUE(s.readLine(line, raw));
    EXPECT_EQ(line, "ef");
}

TEST(ScriptLabels, FirstDefinitionWinsAndNamesEndAtASpace) {
    Script s;
    s.openText("x\n:a first\n1\n:a\n2\n:b\t\n3\n:c//d\n4\n:e_f\n5\n");
    std::string_view line;
    std::size_t raw;
    ASSERT_TRUE(s.seekLabel("a"));
    ASSERT_TRUE(s.readLine(line, raw));
    EXPECT_EQ(line, "1");
    ASSERT_TRUE(s.seekLabel("a b c"));  // the label ends at the first space
    ASSERT_TRUE(s.readLine(line, raw));
    EXPECT_EQ(line, "1");
    EXPECT_FALSE(s.seekLabel("b"));  // a tab belongs to the name
    EXPECT_TRUE(s.seekLabel("b\t"));
    EXPECT_FALSE(s.seekLabel("c"));
    EXPECT_TRUE(s.seekLabel("c//d"));
    EXPECT_FALSE(s.seekLabel("ef"));
    EXPECT_TRUE(s.seekLabel("e_f"));
    EXPECT_FALSE(s.seekLabel("A"));
}

TEST(ScriptLabels, PositionAfterTheLabelSkipsBlanksAndSetsTheEnd) {
    Script s;
    s.openText("  :x\n:a\n\n   cmd\n:end\n\n");
    std::string_view line;
    std::size_t raw;
    EXPECT_FALSE(s.seekLabel("x"));  // indented on the first line: not a label
    ASSERT_TRUE(s.seekLabel("a"));
    EXPECT_FALSE(s.atEnd());
    ASSERT_TRUE(s.readLine(line, raw));
    EXPECT_EQ(line, "cmd");
    ASSERT_TRUE(s.seekLabel("end"));
    EXPECT_TRUE(s.atEnd());
}

TEST(ScriptLabels, IndentedLabelsAfterTheFirstLineAndEmptyFirstLine) {
    Script s;
    s.openText("\n:a\nx\n   :b\ny\n");
    std::string_view line;
    std::size_t raw;
    ASSERT_TRUE(s.seekLabel("a"));
    ASSERT_TRUE(s.readLine(line, raw));
    EXPECT_EQ(line, "x");
    ASSERT_TRUE(s.seekLabel("b"));
    ASSERT_TRUE(s.readLine(line, raw));
    EXPECT_EQ(line, "y");
}

TEST(ScriptLabels, IndexFollowsChangesOfTheFile) {
    auto path = std::filesystem::temp_directory_path() / ("kivo-script-test-" + std::to_string(::getpid()));
    std::ofstream(path, std::ios::binary) << ":a\none\n";
    {  // closed before the removal: Windows refuses to delete an open file
        Script s;
        ASSERT_TRUE(s.open(path.string()));
        auto lineAfter = [&](std::string_view label) -> std::string {
            std::string_view line;
            std::size_t raw;
            if (!s.seekLabel(label) || !s.readLine(line, raw)) return "(none)";
            return std::string(line);
        };
        EXPECT_EQ(lineAfter("a"), "one");
        // Another process: seen once the stamp is looked at again.
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        std::ofstream(path, std::ios::binary) << "new\n:b\ntwo\n:a\nthree\n";
        EXPECT_EQ(lineAfter("b"), "two");
        EXPECT_EQ(lineAfter("a"), "three");
        // kivo itself, with no pause: the answer must not depend on how fast the jump follows.
        datafiles::OutputFile out(path.string(), false);
        out.append(":c\nfour\n", 8);
        out.close();
        EXPECT_EQ(lineAfter("c"), "four");
        // A program that `run` started, writing the same size at once.
        std::ofstream(path, std::ios::binary) << ":d\nfive\n";
        s.checkForChanges();
        EXPECT_EQ(lineAfter("d"), "five");
    }
    std::filesystem::remove(path);
}

TEST(ScriptOpen, MissingFileAndDirectoryCannotBeOpened) {
    Script missing;
    EXPECT_FALSE(missing.open("/nonexistent/kivo-script"));
    Script dir;
    EXPECT_FALSE(dir.open(std::filesystem::temp_directory_path().string()));
}

#ifndef _WIN32  // Windows has no /dev/zero
TEST(ScriptOpen, EndlessInputIsRefusedNotHeld) {
    Script s;
    try {
        s.open("/dev/zero");
        FAIL() << "/dev/zero was taken for a script";
    } catch (const ScriptFailure& failure) {
        EXPECT_EQ(failure.code, 0);
    }
}
#endif

#ifndef _WIN32  // Windows has no /dev/fd names for a pipe
TEST(ScriptOpen, AScriptCanComeThroughAPipe) {
    // As with a script generated on the fly: kivo <(generator).
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const std::string text = "print one\n:a\nprint two\n";
    ASSERT_EQ(write(ends[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
    close(ends[1]);
    Script s;
    ASSERT_TRUE(s.open("/dev/fd/" + std::to_string(ends[0])));
    close(ends[0]);
    EXPECT_EQ(lines(s), (V{"print one", ":a", "print two"}));
    ASSERT_TRUE(s.seekLabel("a"));  // the file cannot be read again: the text read stays
    std::string_view line;
    std::size_t raw;
    ASSERT_TRUE(s.readLine(line, raw));
    EXPECT_EQ(line, "print two");
}
#endif

TEST(CommandTable, SecondLevelWordsAndShadowingWordsAreChecked) {
    const Command table[] = {
        {"la", Match::Prefix, nullptr, {}, [] { return std::vector<std::string_view>{"read", "read", "x"}; }},
        {"lax", Match::Exact, nullptr},
        {"go", Match::Prefix, nullptr},
        {"goto", Match::Exact, nullptr, {}, nullptr, true},
    };
    const std::vector<std::string> problems = Dispatcher(table).problems();
    const auto has = [&](const std::string& p) { return std::find(problems.begin(), problems.end(), p) != problems.end(); };
    EXPECT_TRUE(has("duplicate: laread"));
    EXPECT_TRUE(has("unreachable: lax"));
    EXPECT_TRUE(has("exact word inside a prefix family: lax"));
    EXPECT_EQ(problems.size(), 3u);  // goto says it shadows "go" on purpose
}

TEST(CommandTable, EveryWordIsReachableAndUnique) {
    Dispatcher d(app::allCommands());
    EXPECT_TRUE(d.problems().empty()) << d.problems().front();
    for (const char* word :
         {"adcbaseadr", "baseadr", "config", "eppmode", "exit", "fileconv", "filecomp", "fileappend", "fileselect",
          "file2txt", "file2raw", "filestatistic", "filehistogram", "gobit0", "gobit1", "goto", "go<", "go=", "go>",
          "i2cwrite", "i2cread", "ifconfig", "lastart", "loop", "print", "readblock", "readbyte", "reset", "run",
          "sleep", "stat+=", "ver", "vhdlsim", "waitbit0", "waitbit1", "waitforkey", "writeblock", "writebyte"})
        EXPECT_NE(d.find(word), nullptr) << word;
    EXPECT_EQ(d.find("gobit1")->keyword, "gobit");
    EXPECT_EQ(d.find("gotox")->keyword, "go");
    EXPECT_EQ(d.find("goto")->keyword, "goto");
    EXPECT_EQ(d.find("comment"), nullptr);
    EXPECT_EQ(d.find("Print"), nullptr);
}

}  // namespace
}  // namespace kivo::interpreter
