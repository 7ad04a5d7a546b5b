#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>

namespace kivo::trace {

/// A file, or bytes in memory, read one byte at a time through a fixed buffer: memory stays
/// bounded whatever the size of the file.
class ByteSource {
public:
    /// Reads `file` (not closed here).
    explicit ByteSource(std::FILE* file);
    /// Reads the bytes [data, data + size), which must outlive the source.
    ByteSource(const std::uint8_t* data, std::size_t size);

    /// The next byte, or -1 at the end (or after a read error, see failed()).
    int get() {
        if (pos_ == end_ && !refill()) return -1;
        return *pos_++;
    }
    /// The next byte without taking it, or -1.
    int peek() {
        if (pos_ == end_ && !refill()) return -1;
        return *pos_;
    }
    /// Offset of the byte that get() returns next.
    std::uint64_t offset() const { return base_ + static_cast<std::uint64_t>(pos_ - start_); }
    bool failed() const { return failed_; }

private:
    bool refill();

    static constexpr std::size_t kBufferSize = 1 << 18;
    std::FILE* file_ = nullptr;
    std::unique_ptr<std::uint8_t[]> buffer_;
    const std::uint8_t* start_ = nullptr;
    const std::uint8_t* pos_ = nullptr;
    const std::uint8_t* end_ = nullptr;
    std::uint64_t base_ = 0;
    bool failed_ = false;
};

}  // namespace kivo::trace
