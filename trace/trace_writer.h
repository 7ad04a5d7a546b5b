#pragma once
#include <cstdint>
#include <cstdio>

namespace kivo::trace {

/// Writes trace records to an open file. Nothing follows the end mark: after end() every call
/// is ignored, so a run that ends twice (exit, then process end) closes its trace once.
class TraceWriter {
public:
    explicit TraceWriter(std::FILE* file) : file_(file) {}

    void address(std::uint32_t address);
    void write(std::uint8_t value);
    /// One write record per byte.
    void write(const std::uint8_t* bytes, std::size_t count);
    /// `count` read records.
    void reads(std::size_t count);
    void wait(std::uint8_t milliseconds);
    void waitBit(int expected, std::uint8_t mask, std::uint32_t address);
    /// The end mark; the file stays open and belongs to the caller.
    void end();
    bool ended() const { return file_ == nullptr; }

private:
    void put(const void* bytes, std::size_t count) {
        if (file_ && count > 0) std::fwrite(bytes, 1, count, file_);
    }
    std::FILE* file_;
};

}  // namespace kivo::trace
