#pragma once
#include <array>
#include <cstdint>

namespace kivo::interpreter {

/// The state that every command of a script sees. One instance lives for the whole run.
struct Interpreter {
    /// The status register, the result register of the script (unsigned in comparisons).
    std::uint32_t stat = 0;
    /// Scratch store for `stat` values, index 0..255; cells 0 and 1 are the default
    /// addresses of writeblock.
    std::array<std::int32_t, 256> statusMemory{};
    /// 1: data file writers append and echo lines show "ap ".
    std::uint8_t fileappend = 0;
    /// Added to every board address of readbyte, writebyte, readblock, writeblock and waitbit;
    /// the register address of the I2C controller.
    std::uint32_t baseadr = 0;
};

}  // namespace kivo::interpreter
