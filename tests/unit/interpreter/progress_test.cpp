#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../capture_stdout.h"
#include "interpreter/console.h"
#include "interpreter/progress.h"

namespace kivo::interpreter::progress {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

Clock::time_point fakeNow;
Clock::time_point now() { return fakeNow; }

struct Recorder : LineOutput {
    std::vector<std::string> events;
    void show(std::string_view text, bool first) override {
        events.push_back((first ? "first " : "again ") + std::string(text));
    }
    void erase() override { events.push_back("erase"); }
};

class ProgressTest : public ::testing::Test {
protected:
    void use(Settings::Mode mode) { configure({mode, &now, &line}); }
    void TearDown() override { configure({Settings::Mode::Off, nullptr, nullptr}); }
    void wait(int ms) { fakeNow += milliseconds(ms); }
    Recorder line;
};

TEST_F(ProgressTest, ForcedDrawsAtOnceRedrawsAtMostTenTimesASecondAndErasesAtTheEnd) {
    use(Settings::Mode::Forced);
    {
        const Progress work("config", 100000);
        advance(1);
        ASSERT_EQ(line.events.size(), 1u);
        EXPECT_EQ(line.events[0], "first config   0%  1 B z 97.7 KiB");
        advance(5000);
        EXPECT_EQ(line.events.size(), 1u);  // no time has passed
        wait(99);
        advance(5000);
        EXPECT_EQ(line.events.size(), 1u);
        wait(1);
        advance(90000);
        ASSERT_EQ(line.events.size(), 2u);
        EXPECT_EQ(line.events[1].rfind("again config 100%", 0), 0u) << line.events[1];
    }
    EXPECT_EQ(line.events.back(), "erase");
    advance(1 << 20);  // no work: nothing is drawn
    EXPECT_EQ(line.events.size(), 3u);
}

TEST_F(ProgressTest, OnATerminalShortWorkShowsNothing) {
    use(Settings::Mode::Terminal);
    {
        const Progress work("readblock", 1 << 20);
        for (int i = 0; i < 49; ++i) {
            advance(4096);
            wait(10);
        }
        EXPECT_TRUE(line.events.empty());
        for (int i = 0; i < 30; ++i) {
            advance(4096);
            wait(10);
        }
        EXPECT_EQ(line.events.size(), 3u);  // from 0.5 s on, every 0.1 s
    }
    EXPECT_EQ(line.events.back(), "erase");
}

TEST_F(ProgressTest, InnerWorkCountsTowardTheOuterLine) {
    use(Settings::Mode::Forced);
    {
        const Progress outer("laread", 8192);
        {
            const Progress inner("readblock", 48);
            advance(48);
        }
        EXPECT_EQ(line.events, std::vector<std::string>{"first laread   0%  48 B z 8.0 KiB"});
        wait(100);
        advance(4100);
        EXPECT_EQ(line.events.back().rfind("again laread  50%", 0), 0u) << line.events.back();
    }
    EXPECT_EQ(line.events.back(), "erase");
}

TEST_F(ProgressTest, ConsoleOutputErasesTheLineAndTheNextDrawingStartsAfterIt) {
    use(Settings::Mode::Forced);
    testing::CaptureStdout capture;
    {
        const Progress work("writeblock", 0);
        advance(10);
        console::print("Blad podczas zapisu %d-go bajtu.\n", 11);
        EXPECT_EQ(line.events.back(), "erase");
        wait(200);
        advance(5000);
        EXPECT_EQ(line.events.back(), "first writeblock  4.9 KiB  24.5 KiB/s");
    }
    EXPECT_EQ(capture.text(), "Blad podczas zapisu 11-go bajtu.\n");
    EXPECT_EQ(line.events.size(), 4u);
}

TEST(ProgressLine, Text) {
    EXPECT_EQ(lineText("config", 1000, 4000, 2.0), "config  25%  1000 B z 3.9 KiB  500 B/s  pozostalo 0:06");
    // The extra byte after the configuration stream is not 101%, and all read leaves no time.
    EXPECT_EQ(lineText("config", 219489, 219488, 1.0), "config 100%  214.3 KiB z 214.3 KiB");
    EXPECT_EQ(lineText("file2txt", 64 << 20, 64 << 20, 3.0, 100 << 20),
              "file2txt 100%  64.0 MiB z 64.0 MiB  zapisano 100.0 MiB");
    EXPECT_EQ(lineText("filecomp", 3u << 30, 0, 0.1), "filecomp  3.00 GiB");
    EXPECT_EQ(lineText("readblock", 1 << 20, 100u << 20, 1.0), "readblock   1%  1.0 MiB z 100.0 MiB  1.0 MiB/s  pozostalo 1:39");
    EXPECT_TRUE(lineText("x", 1, 7200, 1.0).ends_with("pozostalo 1:59:59"));
}

}  // namespace
}  // namespace kivo::interpreter::progress
