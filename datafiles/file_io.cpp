#include <algorithm>
#include <cstring>
#include <limits>

#include "datafiles/file_io.h"
#include "interpreter/errors.h"
#include "interpreter/progress.h"

namespace kivo::datafiles {

namespace {

std::size_t checkedSize(std::uint64_t size) {
    if (size > static_cast<std::uint64_t>(std::numeric_limits<std::ptrdiff_t>::max())) interpreter::fail(interpreter::Fail::OutOfMemory);
    return static_cast<std::size_t>(size == 0 ? 1 : size);
}

}  // namespace

ByteBuffer ByteBuffer::uninitialised(std::uint64_t size) {
    const std::size_t bytes = checkedSize(size);
    ByteBuffer b;
    b.data_ = std::unique_ptr<std::uint8_t, Free>(allocate(bytes, false), Free{bytes});
    if (!b.data_) interpreter::fail(interpreter::Fail::OutOfMemory);
    b.size_ = static_cast<std::size_t>(size);
    return b;
}

ByteBuffer ByteBuffer::zeroed(std::uint64_t size) {
    const std::size_t bytes = checkedSize(size);
    ByteBuffer b;
    b.data_ = std::unique_ptr<std::uint8_t, Free>(allocate(bytes, true), Free{bytes});
    if (!b.data_) interpreter::fail(interpreter::Fail::OutOfMemory);
    b.size_ = static_cast<std::size_t>(size);
    return b;
}

std::size_t InputFile::read(std::uint8_t* buffer, std::size_t count) {
    // In pieces, so that a large file shows its progress while it is read.
    constexpr std::size_t kPiece = 1 << 22;
    std::size_t done = 0;
    while (done < count) {
        const std::size_t got = readSome(buffer + done, std::min(count - done, kPiece));
        if (got == 0) break;
        done += got;
    }
    return done;
}

void OutputFile::append(const void* data, std::size_t count) {
    if (count > kBufferSize - used_) {
        flush();
        if (count >= kBufferSize) {
            // In pieces, so that a large file shows its progress while it is written.
            auto p = static_cast<const char*>(data);
            for (std::size_t at = 0; at < count; at += kBufferSize) {
                const std::size_t n = std::min(kBufferSize, count - at);
                writeAll(p + at, n);
                interpreter::progress::advanceWritten(n);
            }
            return;
        }
    }
    std::memcpy(buffer_.data() + used_, data, count);
    used_ += count;
}

void OutputFile::flush() {
    if (used_ == 0) return;
    const std::size_t count = used_;
    used_ = 0;
    writeAll(buffer_.data(), count);
    interpreter::progress::advanceWritten(count);
}

}  // namespace kivo::datafiles
