#include <cstdlib>
#include <cstring>
#include <limits>

#include "board/file_io.h"
#include "interpreter/errors.h"

namespace kivo::board {

void ByteBuffer::Free::operator()(std::uint8_t* p) const { std::free(p); }

namespace {

std::uint8_t* allocate(std::uint64_t size, bool zero) {
    if (size > static_cast<std::uint64_t>(std::numeric_limits<std::ptrdiff_t>::max())) interpreter::fail(2);
    const auto bytes = static_cast<std::size_t>(size == 0 ? 1 : size);
    // calloc leaves fresh pages to the kernel, which hands them out zeroed: no second pass.
    void* p = zero ? std::calloc(bytes, 1) : std::malloc(bytes);
    if (!p) interpreter::fail(2);
    return static_cast<std::uint8_t*>(p);
}

}  // namespace

ByteBuffer ByteBuffer::uninitialised(std::uint64_t size) {
    ByteBuffer b;
    b.data_.reset(allocate(size, false));
    b.size_ = static_cast<std::size_t>(size);
    return b;
}

ByteBuffer ByteBuffer::zeroed(std::uint64_t size) {
    ByteBuffer b;
    b.data_.reset(allocate(size, true));
    b.size_ = static_cast<std::size_t>(size);
    return b;
}

void OutputFile::append(const void* data, std::size_t count) {
    if (count > kBufferSize - used_) {
        flush();
        if (count >= kBufferSize) {
            writeAll(data, count);
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
}

}  // namespace kivo::board
