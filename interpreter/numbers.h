#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace kivo::interpreter {

/// Upper-case hex; above FFFF the upper half, "_", and the lower half as four digits
/// (0 -> "0", 10005 -> "1_0005").
std::string groupedHex(std::uint32_t value);
/// Prints groupedHex(value).
void printGroupedHex(std::uint32_t value);

/// Two upper-case hex digits per byte. textOrder: bytes 0..count-1, "_" after every odd index
/// but the last byte, "__" after index 7; otherwise bytes count-1..0 with "_" after every even
/// index above 0.
std::string hexBytes(const std::uint8_t* bytes, std::size_t count, bool textOrder);
/// Prints hexBytes(bytes, count, textOrder).
void printHexBytes(const std::uint8_t* bytes, std::size_t count, bool textOrder);

/// Up to the first 16 hex digits of `text`, paired from the right, into bytes[0..7]; index 0
/// is the least significant byte unless textOrder, which reverses the bytes into the order the
/// digits were written. Returns the number of bytes produced (0..8).
int parseHexBytes(const char* text, std::uint8_t bytes[8], bool textOrder);

/// Number of trailing zero bits of a value that is not 0.
int lowestSetBit(std::uint32_t value);

/// Reverses the byte order of every complete sample in place: nothing for 8 bits or fewer,
/// pairs for 9..16 bits, groups of four above 16 bits; trailing partial samples stay.
void swapSampleBytes(std::uint8_t* buffer, std::size_t length, int bitWidth);

/// The big-endian value of up to four bytes (the first byte most significant): the one reader
/// of the board's registers and of the samples in data files. Inline, so that a constant count
/// in a loop over a file compiles to plain shifts.
inline std::uint32_t bytesValue(const std::uint8_t* bytes, std::size_t count) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < count && i < 4; ++i) value = (value << 8) | bytes[i];
    return value;
}

}  // namespace kivo::interpreter
