// The trace's closing mark on every way out: a simulator reading the trace waits until it comes.
// Signals and named pipes are POSIX matters: the Windows side only has to keep compiling.
#ifndef _WIN32
#include "datafiles/end_marked_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/unit/temp_files.h"

namespace kivo::datafiles {
namespace {

using Bytes = std::vector<std::uint8_t>;
const std::uint8_t kMark[4] = {0xFF, 0xFF, 0xFF, 0xFF};

Bytes records(std::size_t pairs) {
    Bytes b;
    for (std::size_t i = 0; i < pairs; ++i) {
        b.push_back(0x02);
        b.push_back(static_cast<std::uint8_t>(i * 7));
    }
    return b;
}

Bytes withMark(Bytes b) {
    b.insert(b.end(), kMark, kMark + 4);
    return b;
}

Bytes readAll(int fd) {
    Bytes all;
    std::uint8_t chunk[4096];
    ssize_t got;
    while ((got = ::read(fd, chunk, sizeof chunk)) > 0) all.insert(all.end(), chunk, chunk + got);
    return all;
}

class EndMarkedFileTest : public testing::TempFiles {
protected:
    // Runs `body` in a child process, which is what a signal may kill.
    template <class Body>
    static pid_t inChild(Body body) {
        const pid_t child = ::fork();
        if (child == 0) {
            body();
            std::_Exit(0);
        }
        return child;
    }
    /// The signal the child died of, 0 when it exited.
    static int waitForSignal(pid_t child) {
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    }
};

TEST_F(EndMarkedFileTest, RegularFileGetsItsBytesAndOneMark) {
    // Small records, then a block larger than the buffer, then more records: order and bytes
    // as written, the mark once however often close() runs.
    const Bytes small = records(10), big = records(100000);
    {
        EndMarkedFile file;
        ASSERT_TRUE(file.create(path("t"), kMark, 4));
        EXPECT_FALSE(file.isPipe());
        file.append(small.data(), small.size());
        std::uint8_t* block = file.reserve(big.size());
        std::copy(big.begin(), big.end(), block);
        file.commit(big.size());
        file.append(small.data(), small.size());
        file.close();
        file.close();
    }
    Bytes expected = small;
    expected.insert(expected.end(), big.begin(), big.end());
    expected.insert(expected.end(), small.begin(), small.end());
    const std::string got = get("t");
    EXPECT_EQ(Bytes(got.begin(), got.end()), withMark(expected));
}

TEST_F(EndMarkedFileTest, SignalWritesPendingRecordsAndMarkThenKills) {
    const Bytes written = records(50);
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
        const pid_t child = inChild([&] {
            EndMarkedFile file;
            if (!file.create(path("t"), kMark, 4)) std::_Exit(1);
            file.append(written.data(), written.size());  // still in the buffer
            ::raise(sig);
        });
        EXPECT_EQ(waitForSignal(child), sig);
        const std::string got = get("t");
        EXPECT_EQ(Bytes(got.begin(), got.end()), withMark(written)) << "signal " << sig;
    }
}

TEST_F(EndMarkedFileTest, SignalDuringABlockedPipeWriteLosesAndRepeatsNothing) {
    // More than a pipe holds: the child's flush blocks until the reader reads, the signal
    // comes in the middle, and the reader must still get every byte once, then the mark.
    const std::string fifo = path("kivo.tst");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const Bytes written = records(200000);
    const pid_t child = inChild([&] {
        EndMarkedFile file;
        if (!file.create(fifo, kMark, 4) || !file.isPipe()) std::_Exit(1);
        std::uint8_t* block = file.reserve(written.size());
        std::copy(written.begin(), written.end(), block);
        file.commit(written.size());
        file.flush();
        std::_Exit(2);  // the signal must have ended the process before this
    });
    const int fd = ::open(fifo.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ::usleep(100 * 1000);  // the writer fills the pipe and blocks
    ::kill(child, SIGTERM);
    const Bytes got = readAll(fd);
    ::close(fd);
    EXPECT_EQ(waitForSignal(child), SIGTERM);
    EXPECT_EQ(got, withMark(written));
}

}  // namespace
}  // namespace kivo::datafiles
#endif
