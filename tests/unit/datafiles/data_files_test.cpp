#include "datafiles/data_files.h"

#include <sys/stat.h>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <random>
#include <thread>

#include "tests/unit/temp_files.h"

namespace kivo::datafiles {
namespace {

using kivo::testing::TempFiles;

std::string randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (auto& c : s) c = static_cast<char>(rng());
    return s;
}

std::string asString(const ByteBuffer& b) { return std::string(reinterpret_cast<const char*>(b.data()), b.size()); }

class DataFiles : public TempFiles {
protected:
    void write(const std::string& name, const std::string& bytes, bool append = false) {
        writeDataFile(path(name), reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), append);
    }
    std::string read(const std::string& name, std::int32_t requested = 0) {
        return asString(readDataFile(path(name), requested));
    }
};

TEST(DataFileNames, OnlyLowerOrUpperCaseHexMarksAHexFile) {
    EXPECT_TRUE(isHexDataFile("a.hex"));
    EXPECT_TRUE(isHexDataFile("A.HEX"));
    EXPECT_TRUE(isHexDataFile("data.hex.bin"));
    EXPECT_TRUE(isHexDataFile("dir.hex/x"));
    EXPECT_FALSE(isHexDataFile("a.Hex"));
    EXPECT_FALSE(isHexDataFile("ahex"));
    EXPECT_FALSE(isHexDataFile("a.bin"));
}

TEST_F(DataFiles, HexLinesHoldSixteenLowerCasePairsAndEndWithCrLf) {
    std::string bytes;
    for (int i = 0; i < 17; ++i) bytes += static_cast<char>(0xF0 + i % 16);
    write("a.hex", bytes);
    EXPECT_EQ(get("a.hex"),
              "f0 f1 f2 f3 f4 f5 f6 f7 f8 f9 fa fb fc fd fe ff\r\n"
              "f0\r\n");
    write("b.hex", std::string("\x01\xab\xff", 3));
    EXPECT_EQ(get("b.hex"), "01 ab ff\r\n");
    write("empty.hex", "");
    EXPECT_EQ(get("empty.hex"), "");
}

TEST_F(DataFiles, HexRoundTripsAndAgreesWithXxd) {
    // Sizes around line and block ends of the writer and the 4096-character reading chunks.
    for (std::size_t n : {1u, 15u, 16u, 17u, 1365u, 1366u, 16384u, 16385u, 100003u}) {
        const std::string bytes = randomBytes(n, static_cast<unsigned>(n));
        write("r.hex", bytes);
        EXPECT_EQ(read("r.hex"), bytes) << n;
        EXPECT_EQ(get("r.hex").size(), n / 16 * 49 + (n % 16 ? n % 16 * 3 + 1 : 0)) << n;
        if (std::system("command -v xxd >/dev/null 2>&1") != 0) continue;
        const std::string command = "xxd -r -p " + path("r.hex") + " " + path("r.xxd");
        ASSERT_EQ(std::system(command.c_str()), 0);
        EXPECT_EQ(get("r.xxd"), bytes) << n;
    }
}

TEST_F(DataFiles, HexReadingSkipsEveryNonDigitAndJoinsPairsAcrossChunks) {
    put("mixed.hex", "0A b\r\nC");
    EXPECT_EQ(read("mixed.hex"), "\x0A\xBC");
    put("prefix.hex", "0x12,0X3g4");
    EXPECT_EQ(read("prefix.hex"), std::string("\x01\x20\x34", 3));
    // A pair split by the chunk boundary, with separators on both sides of it.
    std::string text(4095, ' ');
    text += "A\r\n\r\nB 12";
    put("split.hex", text);
    EXPECT_EQ(read("split.hex"), "\xAB\x12");
    std::string odd(4096, '-');
    odd[4095] = 'c';
    odd += "d";
    put("edge.hex", odd);
    EXPECT_EQ(read("edge.hex"), "\xCD");
}

// The decoder takes whole lines at a time where it can; any text, cut anywhere, must give what
// pairing the digits one by one gives.
TEST_F(DataFiles, HexReadingAgreesWithPairingDigitsOneByOne) {
    std::mt19937 rng(11);
    const std::string digits = "0123456789abcdefABCDEF";
    const std::string others = " \r\n\t-,xXgG:\x80\xff";
    for (int round = 0; round < 300; ++round) {
        // Mostly the layouts the fast paths look for, with damage sprinkled in.
        std::string text;
        const int length = static_cast<int>(rng() % 9000);
        const int layout = round % 3;
        while (static_cast<int>(text.size()) < length) {
            const int pos = static_cast<int>(text.size());
            if (layout == 0) text += pos % 3 == 2 ? ' ' : digits[rng() % digits.size()];
            else if (layout == 1) text += digits[rng() % digits.size()];
            else text += rng() % 2 ? digits[rng() % digits.size()] : others[rng() % others.size()];
            if (rng() % 97 == 0) text.back() = rng() % 2 ? others[rng() % others.size()] : digits[rng() % digits.size()];
        }
        std::string nibbles;
        for (char c : text)
            if (std::isxdigit(static_cast<unsigned char>(c))) nibbles += c;
        std::string pairs;
        for (std::size_t i = 0; i + 1 < nibbles.size(); i += 2)
            pairs += static_cast<char>(std::stoi(nibbles.substr(i, 2), nullptr, 16));
        const bool odd = nibbles.size() % 2 != 0;
        put("fuzz.hex", text);

        std::string value;
        std::string out = printed([&] { value = read("fuzz.hex"); });
        ASSERT_EQ(value, pairs) << round;
        EXPECT_EQ(out.empty(), !odd) << round;

        const auto request = static_cast<std::int32_t>(1 + rng() % (pairs.size() + 20));
        out = printed([&] { value = read("fuzz.hex", request); });
        ASSERT_EQ(value, pairs.substr(0, static_cast<std::size_t>(request))) << round << " " << request;
        EXPECT_EQ(out.empty(), !(odd && pairs.size() < static_cast<std::size_t>(request))) << round;
    }
}

TEST_F(DataFiles, OddDigitWarnsOnlyWhenTheWholeTextIsRead) {
    put("odd.hex", "ABC");
    std::string value;
    EXPECT_EQ(printed([&] { value = read("odd.hex"); }), "Uwaga: Nieparzysta liczba znakow hex w pliku\n");
    EXPECT_EQ(value, "\xAB");
    put("tail.hex", "12 34 5");
    EXPECT_EQ(printed([&] { value = read("tail.hex"); }), "Uwaga: Nieparzysta liczba znakow hex w pliku\n");
    EXPECT_EQ(value, "\x12\x34");
    // A request that ends before the odd digit never reaches it.
    EXPECT_EQ(printed([&] { value = read("tail.hex", 1); }), "");
    EXPECT_EQ(value, "\x12");
}

TEST_F(DataFiles, RequestedLengthCutsBothFormsAndStopsAtTheFileEnd) {
    put("a.bin", "abcdef");
    EXPECT_EQ(read("a.bin", 4), "abcd");
    EXPECT_EQ(read("a.bin", 100), "abcdef");
    EXPECT_EQ(read("a.bin", 0), "abcdef");
    EXPECT_EQ(read("a.bin", -5), "abcdef");
    put("a.hex", "01 02 03 04 05 06\r\n");
    EXPECT_EQ(read("a.hex", 2), "\x01\x02");
    EXPECT_EQ(read("a.hex", 100), std::string("\x01\x02\x03\x04\x05\x06"));
    std::uint8_t buffer[8] = {};
    EXPECT_EQ(readDataFile(path("a.hex"), buffer, 3), 3u);
    EXPECT_EQ(buffer[2], 3);
    EXPECT_EQ(readDataFile(path("a.bin"), buffer, 8), 6u);
    EXPECT_EQ(buffer[5], 'f');
}

TEST_F(DataFiles, RequestsAbove2MiBFailBeforeTheFileIsOpened) {
    std::string out;
    const auto f = failure([&] { read("missing.bin", 0x200001); }, &out);
    EXPECT_EQ(f.code, 3);
    EXPECT_FALSE(f.text.has_value());
    EXPECT_EQ(out, "Rozmiar do odczytu: 200001 [hex] > 2MB\n");
    put("big.bin", std::string(0x200000 + 10, 'x'));
    EXPECT_EQ(read("big.bin", 0x200000).size(), 0x200000u);
    EXPECT_EQ(read("big.bin").size(), 0x20000Au);  // whole files have no limit
}

TEST_F(DataFiles, MissingNamesAndUnreadableFilesFail) {
    EXPECT_EQ(failure([&] { readDataFile("", 0); }).code, 3);
    std::string out;
    const std::uint8_t byte = 1;
    EXPECT_EQ(failure([&] { writeDataFile("", &byte, 1, false); }, &out).code, 3);
    EXPECT_EQ(out, "Nie podano nazwy pliku lub podano ja w zlym miejscu\n");

    auto f = failure([&] { read("nothere.hex"); });
    EXPECT_EQ(f.code, 1);
    EXPECT_EQ(f.text, path("nothere.hex"));
    std::filesystem::create_directory(path("dir"));
    f = failure([&] { read("dir"); });
    EXPECT_EQ(f.code, 1);
    EXPECT_EQ(f.text, path("dir"));
    f = failure([&] { write("dir", "x"); });
    EXPECT_EQ(f.code, 1);
    f = failure([&] { write("nodir/x.bin", "x"); });
    EXPECT_EQ(f.code, 1);
    EXPECT_EQ(f.text, path("nodir/x.bin"));
}

TEST_F(DataFiles, AFailedWriteIsNeverASuccess) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    const std::string bytes = randomBytes(3 << 20, 7);
    for (const char* name : {"/dev/full", "/dev/full.hex"}) {
        // The .hex name is only a symlink's name: what matters is that the form is hex text.
        std::string target = name;
        if (target.ends_with(".hex")) {
            std::filesystem::create_symlink("/dev/full", path("full.hex"));
            target = path("full.hex");
        }
        const auto f = failure([&] {
            writeDataFile(target, reinterpret_cast<const std::uint8_t*>(bytes.data()), 10, false);
        });
        EXPECT_EQ(f.code, 1) << name;
        EXPECT_EQ(f.text, target);
        EXPECT_EQ(failure([&] {
                      writeDataFile(target, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), true);
                  }).code,
                  1);
    }
}

TEST_F(DataFiles, TruncatesOrAppendsAndCreatesOwnerOnlyFiles) {
    write("a.bin", "first");
    write("a.bin", "2nd");
    EXPECT_EQ(get("a.bin"), "2nd");
    write("a.bin", "+more", true);
    EXPECT_EQ(get("a.bin"), "2nd+more");
    write("a.hex", "\x01", true);
    write("a.hex", "\x02", true);
    EXPECT_EQ(get("a.hex"), "01\r\n02\r\n");
#ifndef _WIN32  // Windows files have no owner, group and other modes
    struct stat st {};
    ASSERT_EQ(::stat(path("a.hex").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    // An existing file keeps its permissions.
    ASSERT_EQ(::chmod(path("a.bin").c_str(), 0644), 0);
    write("a.bin", "x");
    ASSERT_EQ(::stat(path("a.bin").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
#endif
}

#ifndef _WIN32  // named pipes in the file system are POSIX only
TEST_F(DataFiles, PipesAreReadToTheirEnd) {
    ASSERT_EQ(::mkfifo(path("pipe.hex").c_str(), 0600), 0);
    std::string text;
    for (int i = 0; i < 40000; ++i) text += "5a ";
    text += "7";
    std::thread writer([&] { std::ofstream(path("pipe.hex"), std::ios::binary) << text; });
    std::string value;
    const std::string out = printed([&] { value = read("pipe.hex"); });
    writer.join();
    EXPECT_EQ(value, std::string(40000, '\x5a'));
    EXPECT_EQ(out, "Uwaga: Nieparzysta liczba znakow hex w pliku\n");

    ASSERT_EQ(::mkfifo(path("pipe.bin").c_str(), 0600), 0);
    const std::string bytes = randomBytes(300000, 3);
    std::thread binary([&] { std::ofstream(path("pipe.bin"), std::ios::binary) << bytes; });
    value = read("pipe.bin");
    binary.join();
    EXPECT_EQ(value, bytes);
}

TEST_F(DataFiles, ARequestFromAPipeThatNeverEndsStopsAtTheRequest) {
    ASSERT_EQ(::mkfifo(path("endless.hex").c_str(), 0600), 0);
    std::atomic<bool> done{false};
    std::thread writer([&] {
        const int fd = ::open(path("endless.hex").c_str(), O_WRONLY);
        const std::string text = "00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f 10 ";
        EXPECT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
        // The pipe stays open as if more were coming; given up after 3 s, so that a reader
        // waiting for the end fails the test instead of hanging it.
        for (int i = 0; i < 300 && !done; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ::close(fd);
    });
    const auto t0 = std::chrono::steady_clock::now();
    const std::string value = read("endless.hex", 16);
    const auto took = std::chrono::steady_clock::now() - t0;
    done = true;
    writer.join();
    EXPECT_EQ(value, std::string("\x00\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e\x0f", 16));
    EXPECT_LT(took, std::chrono::seconds(2));
}
#endif

}  // namespace
}  // namespace kivo::datafiles
