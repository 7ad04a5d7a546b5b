#pragma once
#include <cstddef>
#include <cstdint>

namespace kivo::port {

/// Byte and 32-bit access to absolute I/O port addresses: the six operations the board
/// transport relies on. On the EPP address and data registers (base + 3, base + 4) every
/// access is one EPP cycle run by the port chip.
class PortIo {
public:
    virtual ~PortIo() = default;
    /// One 8-bit read of `port`.
    virtual std::uint8_t readByte(std::uint16_t port) = 0;
    /// One 8-bit write of `value` to `port`.
    virtual void writeByte(std::uint16_t port, std::uint8_t value) = 0;
    /// `count` successive 8-bit reads of the same port into buffer[0..count-1].
    virtual void readBytes(std::uint16_t port, std::uint8_t* buffer, std::size_t count) = 0;
    /// `count` successive 8-bit writes of buffer[0..count-1] to the same port.
    virtual void writeBytes(std::uint16_t port, const std::uint8_t* buffer, std::size_t count) = 0;
    /// `count` successive 32-bit reads of the same port, stored in memory order (4 bytes each).
    virtual void readLongs(std::uint16_t port, std::uint8_t* buffer, std::size_t count) = 0;
    /// `count` successive 32-bit writes of consecutive four-byte groups of `buffer`.
    virtual void writeLongs(std::uint16_t port, const std::uint8_t* buffer, std::size_t count) = 0;
};

/// The parallel port's registers: base 0x378 (the first parallel port), fixed.
inline constexpr std::uint16_t kPortBase = 0x378;
inline constexpr std::uint16_t kDataPort = kPortBase + 0;
inline constexpr std::uint16_t kStatusPort = kPortBase + 1;
inline constexpr std::uint16_t kControlPort = kPortBase + 2;
inline constexpr std::uint16_t kEppAddressPort = kPortBase + 3;
inline constexpr std::uint16_t kEppDataPort = kPortBase + 4;

}  // namespace kivo::port
