#include "emulator/address_map.h"

#include <algorithm>

namespace kivo::emulator {

namespace {
constexpr std::uint64_t kSpaceSize = std::uint64_t{1} << 32;
}

bool AddressMap::attachDevice(std::uint32_t base, std::uint64_t size,
                              std::unique_ptr<BusDevice> device) {
    const std::uint64_t end = std::uint64_t{base} + size;
    if (device == nullptr || size == 0 || end > kSpaceSize) {
        return false;
    }
    const auto after = std::find_if(windows_.begin(), windows_.end(),
                                    [&](const Window& w) { return w.base >= base; });
    if (after != windows_.end() && after->base < end) {
        return false;
    }
    if (after != windows_.begin() && std::prev(after)->end > base) {
        return false;
    }
    windows_.insert(after, Window{base, end, std::move(device)});
    lowestBase_ = windows_.front().base;
    return true;
}

AddressMap::Window* AddressMap::windowAt(std::uint32_t address, std::uint64_t& next) {
    next = kSpaceSize;
    if (address < lowestBase_) {
        next = lowestBase_;
        return nullptr;
    }
    const auto above = std::upper_bound(windows_.begin(), windows_.end(), address,
                                        [](std::uint32_t a, const Window& w) { return a < w.base; });
    if (above != windows_.end()) {
        next = above->base;
    }
    if (above != windows_.begin() && std::prev(above)->end > address) {
        return &*std::prev(above);
    }
    return nullptr;
}

std::uint8_t AddressMap::read(std::uint32_t address) {
    if (address < lowestBase_) {
        return ram_.read(address);
    }
    std::uint64_t next = 0;
    if (Window* window = windowAt(address, next)) {
        return window->device->read(address - window->base);
    }
    return ram_.read(address);
}

void AddressMap::write(std::uint32_t address, std::uint8_t value) {
    if (address < lowestBase_) {
        ram_.write(address, value);
        return;
    }
    std::uint64_t next = 0;
    if (Window* window = windowAt(address, next)) {
        window->device->write(address - window->base, value);
        return;
    }
    ram_.write(address, value);
}

void AddressMap::readBlock(std::uint32_t address, std::uint8_t* buffer, std::size_t count) {
    while (count > 0) {
        std::uint64_t next = 0;
        Window* window = windowAt(address, next);
        const std::uint64_t limit = window != nullptr ? window->end : next;
        const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(count, limit - address));
        if (window != nullptr) {
            for (std::size_t i = 0; i < chunk; ++i) {
                buffer[i] = window->device->read(static_cast<std::uint32_t>(address + i - window->base));
            }
        } else {
            ram_.readBlock(address, buffer, chunk);
        }
        buffer += chunk;
        count -= chunk;
        address += static_cast<std::uint32_t>(chunk);  // wraps past FFFFFFFF
    }
}

void AddressMap::writeBlock(std::uint32_t address, const std::uint8_t* buffer, std::size_t count) {
    while (count > 0) {
        std::uint64_t next = 0;
        Window* window = windowAt(address, next);
        const std::uint64_t limit = window != nullptr ? window->end : next;
        const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(count, limit - address));
        if (window != nullptr) {
            for (std::size_t i = 0; i < chunk; ++i) {
                window->device->write(static_cast<std::uint32_t>(address + i - window->base), buffer[i]);
            }
        } else {
            ram_.writeBlock(address, buffer, chunk);
        }
        buffer += chunk;
        count -= chunk;
        address += static_cast<std::uint32_t>(chunk);
    }
}

void AddressMap::notifyProgramN(bool level) {
    for (Window& window : windows_) {
        window.device->programNChanged(level);
    }
}

}  // namespace kivo::emulator
