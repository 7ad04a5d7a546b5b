// The simulation trace and the response file, byte for byte, in a scratch directory.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "board/epp_port.h"
#include "interpreter/console.h"
#include "tests/unit/board/recording_port.h"

namespace kivo::board {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class SimulationTest : public ::testing::Test {
protected:
    void SetUp() override {
        interpreter::console::setUtf8Output(false);
        previous_ = fs::current_path();
        directory_ = fs::temp_directory_path() /
                     ("kivo_sim_" + std::to_string(::getpid()) + "_" +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(directory_);
        fs::create_directories(directory_);
        fs::current_path(directory_);
    }
    void TearDown() override {
        fs::current_path(previous_);
        fs::remove_all(directory_);
    }

    static void writeResponse(const Bytes& bytes) {
        std::ofstream out("kivo.out", std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    static Bytes trace() {
        std::ifstream in("kivo.tst", std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }

    std::vector<std::string> log;
    testing::RecordingPort library{log, false};
    testing::RecordingPort direct{log, true};

private:
    fs::path previous_;
    fs::path directory_;
};

TEST_F(SimulationTest, ByteTransfersWriteTheirRecordsAndTouchNoPort) {
    EppPort port(library, direct);
    port.enterSimulation();
    port.writeByte(0x345, 0xAB);
    EXPECT_EQ(port.readByte(5), 0x03);  // no response file
    port.close();
    EXPECT_EQ(trace(), (Bytes{0x01, 0x45, 0x01, 0x03, 0x01, 0x00, 0x01, 0x00, 0x02, 0xAB,  //
                              0x01, 0x05, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x03,  //
                              0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(port.probePending());  // a simulated probe changes nothing
}

TEST_F(SimulationTest, ReadsAreAnsweredFromTheResponseFileThen0x03) {
    writeResponse({0x11, 0x22, 0x33});
    EppPort port(library, direct);
    port.enterSimulation();
    EXPECT_EQ(port.readByte(0), 0x11);
    std::uint8_t block[4] = {};
    port.readBlock(0, 4, block);
    EXPECT_EQ(Bytes(block, block + 4), (Bytes{0x22, 0x33, 0x03, 0x03}));
    bool timeout = true;
    EXPECT_EQ(port.readData(timeout), 0x03);
    EXPECT_FALSE(timeout);
    port.close();
    const Bytes t = trace();
    // Address records, one 0x03 per byte read, the end mark.
    ASSERT_EQ(t.size(), 8 + 1 + 8 + 4 + 1 + 4u);
    EXPECT_EQ(Bytes(t.begin() + 9 + 8, t.begin() + 9 + 8 + 4), (Bytes{3, 3, 3, 3}));
    EXPECT_EQ(t[9 + 8 + 4], 0x03);
}

TEST_F(SimulationTest, BlocksAndEmptyTransfers) {
    EppPort port(library, direct);
    port.enterSimulation();
    const std::uint8_t data[3] = {0xA0, 0xA1, 0xA2};
    port.writeBlock(data, 0x01020304, 3);
    port.writeBlock(data, 0x01020304, 0);
    std::uint8_t untouched[1] = {0x77};
    port.readBlock(0x01020304, -1, untouched);
    EXPECT_EQ(untouched[0], 0x77);
    EXPECT_EQ(port.writeData(data, 0), 0);
    port.close();
    const Bytes address = {0x01, 0x04, 0x01, 0x03, 0x01, 0x02, 0x01, 0x01};
    Bytes expected = address;
    expected.insert(expected.end(), {0x02, 0xA0, 0x02, 0xA1, 0x02, 0xA2});
    expected.insert(expected.end(), address.begin(), address.end());
    expected.insert(expected.end(), address.begin(), address.end());
    expected.insert(expected.end(), {0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(trace(), expected);
}

TEST_F(SimulationTest, WaitRecordsAndTheirClamp) {
    EppPort port(library, direct);
    port.enterSimulation();
    ::testing::internal::CaptureStdout();
    EXPECT_TRUE(port.waitForBit(1, 0x80, 0xA1B2C3D4, 0));  // no poll count matters here
    port.traceWait(255);
    port.traceWait(300);
    port.traceWait(0xFFFFFFFF);
    std::fflush(stdout);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "\tCzas uspienia wiekszy niz 255, ustawiono czas 255ms\n"
              "\tCzas uspienia wiekszy niz 255, ustawiono czas 255ms\n");
    port.close();
    port.close();  // the second close finds nothing open
    // Transfers after the end of the trace add nothing to it (and must not crash).
    port.writeByte(1, 2);
    EXPECT_EQ(port.readByte(1), 0x03);
    EXPECT_EQ(trace(), (Bytes{0x0B, 0x01, 0xD4, 0xC3, 0xB2, 0xA1, 0x80, 0x0A, 0xFF, 0x0A, 0xFF, 0x0A, 0xFF, 0xFF, 0xFF,
                              0xFF, 0xFF}));
}

TEST_F(SimulationTest, DestructorEndsTheTraceAndASecondStartTruncates) {
    {
        EppPort port(library, direct);
        port.enterSimulation();
        port.traceWait(1);
        port.enterSimulation();
        port.traceWait(2);
    }
    EXPECT_EQ(trace(), (Bytes{0x0A, 0x02, 0xFF, 0xFF, 0xFF, 0xFF}));
#ifndef _WIN32  // Windows files have no owner, group and other modes
    // Made like every file the program writes: for its owner only.
    struct stat st {};
    ASSERT_EQ(::stat("kivo.tst", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
#endif
}

}  // namespace
}  // namespace kivo::board
