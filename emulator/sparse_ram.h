#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>

namespace kivo::emulator {

/// 4 GiB of byte memory, zero at start, that holds only the pages written so far.
class SparseRam {
public:
    /// Size of one page in bytes; a page is allocated (zeroed) on its first write.
    static constexpr std::uint32_t kPageSize = 0x10000;

    /// The byte at `address`; 0 when never written.
    std::uint8_t read(std::uint32_t address) const;
    /// Stores `value` at `address`.
    void write(std::uint32_t address, std::uint8_t value);
    /// Copies `count` bytes from `address` on into `buffer`, wrapping past FFFFFFFF to 0.
    void readBlock(std::uint32_t address, std::uint8_t* buffer, std::size_t count) const;
    /// Copies `count` bytes of `buffer` to `address` on, wrapping past FFFFFFFF to 0.
    void writeBlock(std::uint32_t address, const std::uint8_t* buffer, std::size_t count);
    /// Number of pages allocated so far.
    std::size_t pageCount() const { return pages_.size(); }

private:
    std::uint8_t* findPage(std::uint32_t pageNumber) const;
    std::uint8_t* makePage(std::uint32_t pageNumber);

    std::unordered_map<std::uint32_t, std::unique_ptr<std::uint8_t[]>> pages_;
    // Byte-by-byte traffic stays on one page for long runs: remember the last one looked up.
    mutable std::uint32_t cachedNumber_ = 0xFFFFFFFF;  // no page number is this large
    mutable std::uint8_t* cachedPage_ = nullptr;
};

}  // namespace kivo::emulator
