#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "emulator/bus_device.h"
#include "emulator/sparse_ram.h"

namespace kivo::emulator {

/// The board's 32-bit address space: devices attached in windows, sparse RAM everywhere else.
class AddressMap {
public:
    /// Attaches `device` to the window base .. base + size - 1 (size 1 .. 2^32 - base bytes)
    /// and keeps it. Returns the device, or nullptr (the device is dropped) when the window is
    /// empty, runs past FFFFFFFF or overlaps a window already attached.
    template <class Device>
    Device* attach(std::uint32_t base, std::uint64_t size, std::unique_ptr<Device> device) {
        Device* raw = device.get();
        return attachDevice(base, size, std::move(device)) ? raw : nullptr;
    }

    /// One bus read at `address`.
    std::uint8_t read(std::uint32_t address);
    /// One bus write at `address`.
    void write(std::uint32_t address, std::uint8_t value);
    /// `count` bus reads from `address` upwards into `buffer`, wrapping past FFFFFFFF to 0.
    /// RAM stretches are copied page by page; devices see one read per byte.
    void readBlock(std::uint32_t address, std::uint8_t* buffer, std::size_t count);
    /// `count` bus writes of `buffer` from `address` upwards, wrapping past FFFFFFFF to 0.
    void writeBlock(std::uint32_t address, const std::uint8_t* buffer, std::size_t count);
    /// Tells every attached device that ProgramN went to `level`.
    void notifyProgramN(bool level);
    /// The RAM behind the unmapped addresses.
    const SparseRam& ram() const { return ram_; }

private:
    struct Window {
        std::uint32_t base;
        std::uint64_t end;  // one past the last address; up to 2^32
        std::unique_ptr<BusDevice> device;
    };

    bool attachDevice(std::uint32_t base, std::uint64_t size, std::unique_ptr<BusDevice> device);
    /// The window holding `address`, or nullptr; `next` gets the base of the first window
    /// above `address` (2^32 when none), which bounds a RAM stretch.
    Window* windowAt(std::uint32_t address, std::uint64_t& next);

    std::vector<Window> windows_;  // sorted by base, disjoint
    // Most traffic is RAM below every window: one compare keeps it off the window search.
    std::uint64_t lowestBase_ = std::uint64_t{1} << 32;
    SparseRam ram_;
};

}  // namespace kivo::emulator
