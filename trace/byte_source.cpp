#include "trace/byte_source.h"

namespace kivo::trace {

ByteSource::ByteSource(std::FILE* file) : file_(file), buffer_(new std::uint8_t[kBufferSize]) {
    start_ = pos_ = end_ = buffer_.get();
}

ByteSource::ByteSource(const std::uint8_t* data, std::size_t size) : start_(data), pos_(data), end_(data + size) {}

bool ByteSource::refill() {
    if (!file_ || failed_) return false;
    base_ += static_cast<std::uint64_t>(end_ - start_);
    const std::size_t n = std::fread(buffer_.get(), 1, kBufferSize, file_);
    if (n == 0 && std::ferror(file_)) failed_ = true;
    start_ = pos_ = buffer_.get();
    end_ = start_ + n;
    return n > 0;
}

}  // namespace kivo::trace
