#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "datafiles/end_marked_file.h"
#include "datafiles/file_io.h"
#include "interpreter/errors.h"
#include "interpreter/progress.h"
#include "interpreter/script.h"

namespace kivo::datafiles {

using interpreter::fail;

std::uint8_t* ByteBuffer::allocate(std::size_t bytes, bool zero) {
    return static_cast<std::uint8_t*>(zero ? std::calloc(bytes, 1) : std::malloc(bytes));
}

void ByteBuffer::release(std::uint8_t* p, std::size_t) { std::free(p); }

InputFile::InputFile(const std::string& name) : name_(name) {
    int fd = -1;
    if (_sopen_s(&fd, name.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT, _SH_DENYNO, 0) != 0) fail(interpreter::Fail::FileOpen, name);
    handle_ = fd;
    struct _stat64 st {};
    if (_fstat64(fd, &st) != 0 || (st.st_mode & _S_IFDIR)) fail(interpreter::Fail::FileOpen, name);
    if ((st.st_mode & _S_IFREG) && st.st_size > 0) size_ = st.st_size;
}

InputFile::~InputFile() {
    if (handle_ >= 0) _close(static_cast<int>(handle_));
}

std::size_t InputFile::readSome(std::uint8_t* buffer, std::size_t count) {
    const unsigned chunk = count < (1u << 30) ? static_cast<unsigned>(count) : (1u << 30);
    const int got = _read(static_cast<int>(handle_), buffer, chunk);
    if (got < 0) fail(interpreter::Fail::FileOpen, name_);
    interpreter::progress::advance(static_cast<std::uint64_t>(got));
    return static_cast<std::size_t>(got);
}

std::FILE* createReadWriteFile(const std::string& name) {
    interpreter::noteFileWritten();
    int fd = -1;
    if (_sopen_s(&fd, name.c_str(), _O_RDWR | _O_CREAT | _O_TRUNC | _O_BINARY | _O_NOINHERIT, _SH_DENYNO,
                 _S_IREAD | _S_IWRITE) != 0)
        return nullptr;
    std::FILE* file = _fdopen(fd, "w+b");
    if (!file) _close(fd);
    return file;
}

OutputFile::OutputFile(const std::string& name, bool append) : name_(name) {
    interpreter::noteFileWritten();
    const int flags = _O_WRONLY | _O_CREAT | _O_BINARY | _O_NOINHERIT | (append ? _O_APPEND : _O_TRUNC);
    int fd = -1;
    if (_sopen_s(&fd, name.c_str(), flags, _SH_DENYNO, _S_IREAD | _S_IWRITE) != 0) fail(interpreter::Fail::FileOpen, name);
    handle_ = fd;
    buffer_.resize(kBufferSize);
}

OutputFile::~OutputFile() {
    if (handle_ >= 0) _close(static_cast<int>(handle_));
}

void OutputFile::writeAll(const void* data, std::size_t count) {
    auto p = static_cast<const char*>(data);
    while (count > 0) {
        const unsigned chunk = count < (1u << 30) ? static_cast<unsigned>(count) : (1u << 30);
        const int put = _write(static_cast<int>(handle_), p, chunk);
        if (put <= 0) fail(interpreter::Fail::FileOpen, name_);
        p += put;
        count -= static_cast<std::size_t>(put);
    }
}

void OutputFile::close() {
    flush();
    const int fd = static_cast<int>(handle_);
    handle_ = -1;
    if (_close(fd) != 0) fail(interpreter::Fail::FileOpen, name_);
}

// The simulation trace's system side. Windows has no named pipes in the file system that
// kivo-cosim could make, so the trace is always a plain file here.

std::intptr_t EndMarkedFile::openSystem(const std::string& name, bool& pipe) {
    interpreter::noteFileWritten();
    pipe = false;
    int fd = -1;
    if (_sopen_s(&fd, name.c_str(), _O_RDWR | _O_CREAT | _O_TRUNC | _O_BINARY | _O_NOINHERIT, _SH_DENYNO,
                 _S_IREAD | _S_IWRITE) != 0)
        return -1;
    return fd;
}

long EndMarkedFile::writeSystem(std::intptr_t handle, const std::uint8_t* bytes, std::size_t count,
                                bool& interrupted) {
    interrupted = false;
    const unsigned chunk = count < (1u << 30) ? static_cast<unsigned>(count) : (1u << 30);
    return _write(static_cast<int>(handle), bytes, chunk);
}

void EndMarkedFile::closeSystem(std::intptr_t handle) { _close(static_cast<int>(handle)); }

// Ctrl+C and termination reach the C runtime's handlers (Ctrl+C on a thread of its own, which
// the handler's ordering with the flush tolerates well enough for a console tool); there is
// no SIGHUP.
void EndMarkedFile::catchSignals(void (*handler)(int)) {
    static bool caught = false;
    if (caught) return;
    caught = true;
    std::signal(SIGINT, handler);
    std::signal(SIGTERM, handler);
}

void EndMarkedFile::raiseDefault(int sig) {
    std::signal(sig, SIG_DFL);
    std::raise(sig);
    std::_Exit(3);
}

}  // namespace kivo::datafiles
