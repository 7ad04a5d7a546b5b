#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

#include "datafiles/end_marked_file.h"
#include "datafiles/file_io.h"
#include "interpreter/errors.h"
#include "interpreter/progress.h"
#include "interpreter/script.h"

namespace kivo::datafiles {

using interpreter::fail;

namespace {
// Below this, malloc's own pools serve better than a mapping of their own.
constexpr std::size_t kMapFrom = 4u << 20;
}  // namespace

std::uint8_t* ByteBuffer::allocate(std::size_t bytes, bool zero) {
    if (bytes < kMapFrom) return static_cast<std::uint8_t*>(zero ? std::calloc(bytes, 1) : std::malloc(bytes));
    // Anonymous pages come zeroed; 2 MiB pages, where the system has them, cut the page faults
    // of a 64 MiB buffer from 16384 to 32.
    void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return nullptr;
#ifdef MADV_HUGEPAGE
    ::madvise(p, bytes, MADV_HUGEPAGE);
#endif
    return static_cast<std::uint8_t*>(p);
}

void ByteBuffer::release(std::uint8_t* p, std::size_t bytes) {
    if (bytes < kMapFrom)
        std::free(p);
    else
        ::munmap(p, bytes);
}

InputFile::InputFile(const std::string& name) : name_(name) {
    int fd;
    do fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) fail(interpreter::Fail::FileOpen, name);
    handle_ = fd;
    struct stat st {};
    // A directory opens for reading on POSIX, but holds no data bytes.
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) fail(interpreter::Fail::FileOpen, name);
    // Files under /proc report 0 bytes and have content: only a size above 0 is believed.
    if (S_ISREG(st.st_mode) && st.st_size > 0) size_ = st.st_size;
}

InputFile::~InputFile() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

std::size_t InputFile::readSome(std::uint8_t* buffer, std::size_t count) {
    // Large reads are split: some systems refuse single reads above 2 GiB.
    const std::size_t chunk = count < (1u << 30) ? count : (1u << 30);
    for (;;) {
        const ssize_t got = ::read(static_cast<int>(handle_), buffer, chunk);
        if (got >= 0) {
            interpreter::progress::advance(static_cast<std::uint64_t>(got));
            return static_cast<std::size_t>(got);
        }
        if (errno != EINTR) fail(interpreter::Fail::FileOpen, name_);
    }
}

std::FILE* createReadWriteFile(const std::string& name) {
    interpreter::noteFileWritten();
    int fd;
    do fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, S_IRUSR | S_IWUSR);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) return nullptr;
    std::FILE* file = ::fdopen(fd, "w+b");  // fdopen never truncates: that was open's part
    if (!file) ::close(fd);
    return file;
}

OutputFile::OutputFile(const std::string& name, bool append) : name_(name) {
    interpreter::noteFileWritten();
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC);
    int fd;
    do fd = ::open(name.c_str(), flags, S_IRUSR | S_IWUSR);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) fail(interpreter::Fail::FileOpen, name);
    handle_ = fd;
    buffer_.resize(kBufferSize);
}

OutputFile::~OutputFile() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

void OutputFile::writeAll(const void* data, std::size_t count) {
    auto p = static_cast<const char*>(data);
    while (count > 0) {
        const std::size_t chunk = count < (1u << 30) ? count : (1u << 30);
        const ssize_t put = ::write(static_cast<int>(handle_), p, chunk);
        if (put < 0) {
            if (errno == EINTR) continue;
            fail(interpreter::Fail::FileOpen, name_);
        }
        // A write that moves nothing would loop for ever: the device is full or gone.
        if (put == 0) fail(interpreter::Fail::FileOpen, name_);
        p += put;
        count -= static_cast<std::size_t>(put);
    }
}

void OutputFile::close() {
    flush();
    const int fd = static_cast<int>(handle_);
    handle_ = -1;
    // Some file systems report a failed write only here.
    if (::close(fd) != 0 && errno != EINTR) fail(interpreter::Fail::FileOpen, name_);
}

// The simulation trace's system side.

std::intptr_t EndMarkedFile::openSystem(const std::string& name, bool& pipe) {
    interpreter::noteFileWritten();
    struct stat st {};
    pipe = ::stat(name.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
    // A pipe is opened for writing only: the open waits for the reader, which is what orders
    // the two processes' opens; read and write would let the open pass with no one there.
    const int flags = pipe ? O_WRONLY | O_CLOEXEC : O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC;
    int fd;
    do fd = ::open(name.c_str(), flags, S_IRUSR | S_IWUSR);
    while (fd < 0 && errno == EINTR);
    return fd;
}

long EndMarkedFile::writeSystem(std::intptr_t handle, const std::uint8_t* bytes, std::size_t count,
                                bool& interrupted) {
    const std::size_t chunk = count < (1u << 30) ? count : (1u << 30);
    const ssize_t put = ::write(static_cast<int>(handle), bytes, chunk);
    interrupted = put < 0 && errno == EINTR;
    return static_cast<long>(put);
}

void EndMarkedFile::closeSystem(std::intptr_t handle) { ::close(static_cast<int>(handle)); }

void EndMarkedFile::catchSignals(void (*handler)(int)) {
    static bool caught = false;
    if (caught) return;
    caught = true;
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction old {};
        if (::sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = handler;
        sigemptyset(&action.sa_mask);
        // No SA_RESTART: a write blocked on a full pipe returns, and the flush learns how far
        // it got before it writes the rest and the mark.
        action.sa_flags = 0;
        ::sigaction(sig, &action, nullptr);
    }
}

void EndMarkedFile::raiseDefault(int sig) {
    ::signal(sig, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, sig);
    ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
    ::raise(sig);
    ::_exit(128 + sig);
}

}  // namespace kivo::datafiles
