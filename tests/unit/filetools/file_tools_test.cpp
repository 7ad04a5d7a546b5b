#include "filetools/file_tools.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <thread>
#include <random>
#include <vector>

#include "datafiles/data_files.h"
#include "tests/unit/temp_files.h"
#include "interpreter/console.h"

namespace kivo::filetools {
namespace {

using interpreter::Interpreter;

class FileTools : public kivo::testing::TempFiles {
protected:
    void SetUp() override {
        TempFiles::SetUp();
        interpreter::console::setUtf8Output(false);
    }
    Interpreter state;
};

std::string word16(unsigned v) { return {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)}; }

std::string randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (auto& c : s) c = static_cast<char>(rng());
    return s;
}

TEST_F(FileTools, StatisticLanesAgreeWithASampleBySampleCountForEveryChannelCount) {
    // Enough frames for the vectorised lanes and their flushes, plus frames and bytes left over.
    const std::string data = randomBytes(2 * (65536 * 32 + 77) + 1, 11);
    put("s.bin", data);
    for (int channels : {1, 2, 3, 4, 7, 8, 16, 32, 33}) {
        const std::size_t frames = data.size() / (2 * channels);
        std::string expected = "\tfilestatistic " + path("s.bin") + ", nr_bit= 16, nr_channel= " +
                               std::to_string(channels) + "\n";
        for (int c = 0; c < channels; ++c) {
            unsigned mn = 65535, mx = 0;
            unsigned long long sum = 0;
            for (std::size_t k = 0; k < frames; ++k) {
                const std::size_t at = 2 * (k * channels + c);
                const unsigned v = static_cast<unsigned char>(data[at]) << 8 | static_cast<unsigned char>(data[at + 1]);
                mn = std::min(mn, v), mx = std::max(mx, v), sum += v;
            }
            char line[160];
            std::snprintf(line, sizeof line, "\t\t%smin= %u, max= %u, max-min= %d, avg= %f\n",
                          channels > 1 ? ("ch" + std::to_string(c) + " ").c_str() : "", mn, mx,
                          static_cast<int>(mx - mn), static_cast<double>(sum) / frames);
            expected += line;
        }
        EXPECT_EQ(printed([&] { fileStatistic(path("s.bin"), 16, channels); }), expected) << channels;
    }
}

TEST_F(FileTools, StatisticMeanStaysExactBeyond2To31) {
    std::string data;
    for (int i = 0; i < 40000; ++i) data += "\xFF\xFF";
    put("max.bin", data);
    const std::string out = printed([&] { fileStatistic(path("max.bin"), 16, 1); });
    EXPECT_NE(out.find("\t\tmin= 65535, max= 65535, max-min= 0, avg= 65535.000000\n"), std::string::npos) << out;
}

TEST_F(FileTools, StatisticRefusesChannelsWithoutASample) {
    put("three.bin", word16(1) + word16(2) + word16(3));
    for (int channels : {-1, 4, 2147483647}) {
        std::string out;
        EXPECT_EQ(failure([&] { fileStatistic(path("three.bin"), 16, channels); }, &out).code, 3) << channels;
        EXPECT_NE(out.find("Zla liczba kanalow: " + std::to_string(channels) + ", plik ma 3 probek\n"),
                  std::string::npos)
            << out;
    }
    // As many channels as samples, and one channel of an empty file, still print.
    EXPECT_NE(printed([&] { fileStatistic(path("three.bin"), 16, 3); }).find("ch2 min= 3"), std::string::npos);
    put("empty.bin", "");
    EXPECT_NE(printed([&] { fileStatistic(path("empty.bin"), 16, 1); }).find("\t\tmin= 65535"), std::string::npos);
}

TEST_F(FileTools, HistogramCountsEveryValueAndDropsALastSingleByte) {
    const std::string data = randomBytes(300001, 5);
    put("h.bin", data);
    for (int bits : {8, 16}) {
        std::vector<unsigned> expected(1u << bits);
        if (bits == 8)
            for (unsigned char c : data) ++expected[c];
        else
            for (std::size_t k = 0; k + 1 < data.size(); k += 2)
                ++expected[static_cast<unsigned char>(data[k]) << 8 | static_cast<unsigned char>(data[k + 1])];
        printed([&] { fileHistogram(state, path("h.bin"), path("out.bin"), bits); });
        const std::string out = get("out.bin");
        ASSERT_EQ(out.size(), 4u << bits);
        for (std::size_t v = 0; v < expected.size(); ++v) {
            const auto* p = reinterpret_cast<const unsigned char*>(out.data() + 4 * v);
            ASSERT_EQ(static_cast<unsigned>(p[0] << 24 | p[1] << 16 | p[2] << 8 | p[3]), expected[v]) << bits << " " << v;
        }
    }
}

TEST_F(FileTools, HistogramRefusesAValueTooLargeForItsWidthWhereverItStands) {
    std::string data(5000, '\x0F');
    data += '\x10';
    put("v.bin", data);
    EXPECT_EQ(printed([&] { fileHistogram(state, path("v.bin"), path("out.bin"), 4); }),
              "\tfilehistogram " + path("v.bin") + " -> " + path("out.bin") +
                  ", nr_bit= 4\nZbyt duza wartosc wejsciowa dla podanej warto\x9C" "ci nr_bit");
    EXPECT_FALSE(std::filesystem::exists(path("out.bin")));
    put("w.bin", "\x0F\xFF");
    printed([&] { fileHistogram(state, path("w.bin"), path("out.bin"), 12); });
    EXPECT_EQ(get("out.bin").substr(4 * 4095), std::string("\0\0\0\x01", 4));
    const auto f = failure([&] { fileHistogram(state, path("w.bin"), path("x.bin"), 0); });
    EXPECT_EQ(f.code, 0);
    EXPECT_EQ(f.text, "Zla wartosc parametru nr_bit");
}

TEST_F(FileTools, DecimalTableMatchesPrintfForEveryWidth) {
    std::string all16, expected16;
    for (unsigned v = 0; v < 65536; ++v) {
        all16 += word16(v);
        expected16 += std::to_string(v) + (v % 7 == 6 ? "\r\n" : "\t");
    }
    put("all.bin", all16);
    printed([&] { file2Txt(state, path("all.bin"), path("all.txt"), 16, 7); });
    EXPECT_EQ(get("all.txt"), expected16);

    printed([&] { file2Txt(state, path("all.bin"), path("bytes.txt"), 8, 1); });
    std::string expected8;
    for (unsigned char c : all16.substr(0, 600)) expected8 += std::to_string(c) + "\r\n";
    EXPECT_EQ(get("bytes.txt").substr(0, expected8.size()), expected8);

    const std::string words("\x80\x00\x00\x00\x7F\xFF\xFF\xFF\x00\x00\x00\x00\xFF\xFF\xFF\xF6\x00\x01\x86\xA0", 20);
    put("w.bin", words);
    printed([&] { file2Txt(state, path("w.bin"), path("w.txt"), 32, 2); });
    EXPECT_EQ(get("w.txt"), "-2147483648\t2147483647\r\n0\t-10\r\n100000\t");
}

TEST_F(FileTools, RawImageBandsPlacePixelsAndClampTheLargestValueIntoItsBand) {
    // Two channels stacked (view 1) on 100 rows: bands of 50. Channel 0 rises 0..3, so the
    // largest value would land on row 50, the first row of the next band: it stays on row 49.
    std::string data;
    for (unsigned k = 0; k < 4; ++k) data += word16(k) + word16(7);
    put("two.bin", data);
    printed([&] { file2Raw(state, path("two.bin"), path("two.raw"), 4, 100, 16, 2, 1); });
    const std::string image = get("two.raw");
    ASSERT_EQ(image.size(), 400u);
    std::vector<std::pair<int, unsigned char>> expected = {
        {0 * 4 + 0, 255}, {16 * 4 + 1, 255}, {33 * 4 + 2, 255}, {49 * 4 + 3, 255},
        {50 * 4 + 0, 170}, {50 * 4 + 1, 170}, {50 * 4 + 2, 170}, {50 * 4 + 3, 170}};
    std::string want(400, '\0');
    for (auto [at, grey] : expected) want[at] = static_cast<char>(grey);
    EXPECT_EQ(image, want);

    // Overlaid channels: a later channel wins where both draw.
    std::string same;
    for (unsigned k = 0; k < 2; ++k) same += word16(k) + word16(k);
    put("same.bin", same);
    printed([&] { file2Raw(state, path("same.bin"), path("same.raw"), 2, 2, 16, 2, 0); });
    EXPECT_EQ(get("same.raw"), std::string("\xAA\0\0\xAA", 4));
}

TEST_F(FileTools, RawImageOffsetBandsOf32BitSamplesSpanTheirWholeBand) {
    // Two channels, view 3 on 10 rows: bands of 10 - 3 = 7 rows, the second 3 rows down. The
    // largest 32-bit value lands on the band's last row, trunc(10 * 7 / 10 - 0.5) = 6.
    const auto word32 = [](unsigned v) { return word16(v >> 16) + word16(v & 0xFFFF); };
    put("two.bin", word32(0) + word32(5) + word32(10) + word32(5));
    printed([&] { file2Raw(state, path("two.bin"), path("two.raw"), 2, 10, 32, 2, 3); });
    std::string want(20, '\0');
    want[0] = want[6 * 2 + 1] = '\xFF';
    want[3 * 2] = want[3 * 2 + 1] = '\xAA';
    EXPECT_EQ(get("two.raw"), want);
}

TEST_F(FileTools, RawImageSpreadsSamplesOverTheWidthWithoutLeavingIt) {
    // 3 samples over 8 columns: step 682/256, columns 0, 2, 5.
    std::string data = word16(0) + word16(0) + word16(0);
    put("flat.bin", data);
    printed([&] { file2Raw(state, path("flat.bin"), path("flat.raw"), 8, 1, 16, 1, 0); });
    EXPECT_EQ(get("flat.raw"), std::string("\xFF\0\xFF\0\0\xFF\0\0", 8));
    // Far more samples than columns (over 256 a column): they still reach every column, and
    // nothing is drawn past the row.
    std::string many;
    for (unsigned k = 0; k < 2000; ++k) many += word16(5);
    put("many.bin", many);
    printed([&] { file2Raw(state, path("many.bin"), path("many.raw"), 7, 2, 16, 1, 0); });
    EXPECT_EQ(get("many.raw"), std::string(7, '\xFF') + std::string(7, '\0'));
}

TEST_F(FileTools, RawImageThatCannotBeAllocatedFailsWithCode2) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer aborts on impossible allocations instead of refusing them";
#else
    put("a.bin", word16(1));
    EXPECT_EQ(failure([&] { file2Raw(state, path("a.bin"), path("a.raw"), 2000000000, 2000000000, 16, 1, 0); }).code,
              2);
    EXPECT_FALSE(std::filesystem::exists(path("a.raw")));
#endif
}

TEST_F(FileTools, ConvertedHexFilesRoundTripWithSwapping) {
    // Past a block of the conversion, with a partial sample at the end.
    const std::string data = randomBytes((1 << 20) + 10007, 9);
    put("a.bin", data);
    printed([&] {
        datafiles::fileConv(state, path("a.bin"), path("a.hex"), 32);
        datafiles::fileConv(state, path("a.hex"), path("b.bin"), 32);
    });
    EXPECT_EQ(get("b.bin"), data);
    std::string swapped = data;
    for (std::size_t i = 0; i + 1 < swapped.size(); i += 2) std::swap(swapped[i], swapped[i + 1]);
    printed([&] { datafiles::fileConv(state, path("a.bin"), path("c.hex"), 16); });
    printed([&] { datafiles::fileConv(state, path("c.hex"), path("c.bin"), 0); });
    EXPECT_EQ(get("c.bin"), swapped);
}

#ifndef _WIN32  // symbolic links need privileges on Windows
TEST_F(FileTools, ConvertingAFileOntoItselfReadsItWholeFirst) {
    put("a.bin", "abcd");
    ::symlink(path("a.bin").c_str(), path("link.bin").c_str());
    printed([&] { datafiles::fileConv(state, path("a.bin"), path("link.bin"), 16); });
    EXPECT_EQ(get("a.bin"), "badc");
}
#endif

TEST_F(FileTools, CompareFindsTheFirstDifferenceAcrossBlocksInBothForms) {
    const std::string data = randomBytes(600000, 4);
    std::string other = data;
    other[400001] ^= 1;
    other[500000] ^= 1;
    put("a.bin", data);
    put("b.bin", other + "tail");
    printed([&] { datafiles::fileConv(state, path("b.bin"), path("b.hex"), 0); });
    for (const char* name : {"b.bin", "b.hex"}) {
        std::uint32_t at = 0;
        const std::string out = printed([&] { at = fileComp(path("a.bin"), path(name)); });
        EXPECT_EQ(at, 400001u) << name;
        EXPECT_NE(out.find("\n\t Pliki maja rozne rozmiary: 927C0, 927C4 [hex].\n\t\nPliki rozne pod pozycja 61A81 [hex]."),
                  std::string::npos)
            << out;
    }
    put("c.bin", data.substr(0, 300000));
    std::uint32_t at = 1;
    const std::string out = printed([&] { at = fileComp(path("c.bin"), path("a.bin")); });
    EXPECT_EQ(at, 0u);
    EXPECT_TRUE(out.ends_with("Pliki maja rozne rozmiary: 493E0, 927C0 [hex].\n\tPliki identyczne\n")) << out;
}

#ifndef _WIN32  // named pipes in the file system are POSIX only
TEST_F(FileTools, CompareReadsNamedPipesOnceEach) {
    // A writer that finds its reader gone must see an error, not end the test program.
    const auto oldPipeHandler = std::signal(SIGPIPE, SIG_IGN);
    const std::string bytes = randomBytes(1000, 5);
    ASSERT_EQ(::mkfifo(path("one.bin").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(path("two.bin").c_str(), 0600), 0);
    std::atomic<bool> done{false};
    std::thread writer([&] {
        // As a shell feeds them: the first pipe written and closed, then the second.
        std::ofstream(path("one.bin"), std::ios::binary) << bytes;
        std::ofstream(path("two.bin"), std::ios::binary) << bytes;
        // A reader that opens a pipe a second time would wait for ever: after 3 s it gets
        // writers that write nothing.
        for (int i = 0; !done; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (i < 300) continue;
            for (const char* name : {"one.bin", "two.bin"}) {
                const int fd = ::open(path(name).c_str(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) ::close(fd);
            }
        }
    });
    std::uint32_t at = 1;
    const auto t0 = std::chrono::steady_clock::now();
    const std::string out = printed([&] { at = fileComp(path("one.bin"), path("two.bin")); });
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(2));
    done = true;
    writer.join();
    std::signal(SIGPIPE, oldPipeHandler);
    EXPECT_EQ(at, 0u);
    EXPECT_EQ(out.substr(out.find(". ") + 2), "Pliki identyczne\n");
}
#endif

TEST_F(FileTools, FilesThatReportNoSizeAreReadToTheirEnd) {
    const std::string proc = "/proc/version";  // 0 bytes by its size, text when read
    std::ifstream in(proc, std::ios::binary);
    if (!in) GTEST_SKIP() << "no " << proc;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(text.empty());
    printed([&] { datafiles::fileConv(state, proc, path("v.bin"), 0); });
    EXPECT_EQ(get("v.bin"), text);
    std::string changed = text;
    changed.back() ^= 1;
    put("changed.bin", changed);
    std::uint32_t at = 0;
    const std::string out = printed([&] { at = fileComp(proc, path("changed.bin")); });
    EXPECT_EQ(at, text.size() - 1) << out;
}

TEST_F(FileTools, SelectWideningAndNarrowingKeepTheRecordsInOrder) {
    std::string data;
    for (int i = 0; i < 30; ++i) data += static_cast<char>(i + 1);
    put("r.bin", data);
    printed([&] { fileSelect(state, path("r.bin"), path("n.bin"), 2, 0x1D, 8, 24); });
    std::string narrow;
    for (int i = 2; i < 30; i += 3) narrow += static_cast<char>(i + 1);
    EXPECT_EQ(get("n.bin"), narrow);
    printed([&] { fileSelect(state, path("r.bin"), path("w.bin"), 0, 4, 40, 16); });
    // 5 bytes in records of 2 become samples of 5: floor(5 * 40 / 16) = 12 bytes.
    EXPECT_EQ(get("w.bin"), std::string("\x01\x02\0\0\0\x03\x04\0\0\0\x05\0", 12));
}

}  // namespace
}  // namespace kivo::filetools
