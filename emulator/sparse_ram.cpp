#include "emulator/sparse_ram.h"

#include <algorithm>
#include <cstring>

namespace kivo::emulator {

namespace {
constexpr std::uint32_t kPageShift = 16;
static_assert(SparseRam::kPageSize == 1u << kPageShift);
constexpr std::uint32_t kOffsetMask = SparseRam::kPageSize - 1;
}  // namespace

std::uint8_t* SparseRam::findPage(std::uint32_t pageNumber) const {
    if (pageNumber != cachedNumber_) {
        const auto found = pages_.find(pageNumber);
        cachedNumber_ = pageNumber;
        cachedPage_ = found == pages_.end() ? nullptr : found->second.get();
    }
    return cachedPage_;
}

std::uint8_t* SparseRam::makePage(std::uint32_t pageNumber) {
    if (std::uint8_t* page = findPage(pageNumber)) {
        return page;
    }
    auto& slot = pages_[pageNumber];
    slot = std::make_unique<std::uint8_t[]>(kPageSize);  // value-initialised: zero
    cachedPage_ = slot.get();
    return cachedPage_;
}

std::uint8_t SparseRam::read(std::uint32_t address) const {
    const std::uint8_t* page = findPage(address >> kPageShift);
    return page == nullptr ? 0 : page[address & kOffsetMask];
}

void SparseRam::write(std::uint32_t address, std::uint8_t value) {
    makePage(address >> kPageShift)[address & kOffsetMask] = value;
}

void SparseRam::readBlock(std::uint32_t address, std::uint8_t* buffer, std::size_t count) const {
    while (count > 0) {
        const std::uint32_t offset = address & kOffsetMask;
        const std::size_t chunk = std::min<std::size_t>(count, kPageSize - offset);
        if (const std::uint8_t* page = findPage(address >> kPageShift)) {
            std::memcpy(buffer, page + offset, chunk);
        } else {
            std::memset(buffer, 0, chunk);
        }
        buffer += chunk;
        count -= chunk;
        address += static_cast<std::uint32_t>(chunk);
    }
}

void SparseRam::writeBlock(std::uint32_t address, const std::uint8_t* buffer, std::size_t count) {
    while (count > 0) {
        const std::uint32_t offset = address & kOffsetMask;
        const std::size_t chunk = std::min<std::size_t>(count, kPageSize - offset);
        std::memcpy(makePage(address >> kPageShift) + offset, buffer, chunk);
        buffer += chunk;
        count -= chunk;
        address += static_cast<std::uint32_t>(chunk);
    }
}

}  // namespace kivo::emulator
