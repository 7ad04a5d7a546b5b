#pragma once
#include <cstddef>
#include <cstdint>

// The simulation trace: binary records in bus order, no header, closed by FF FF FF FF. The
// response file that goes with it is the plain stream of the bytes the reads answered.
namespace kivo::trace {

inline constexpr std::uint8_t kAddressRecord = 0x01;  // + one address byte
inline constexpr std::uint8_t kWriteRecord = 0x02;    // + the byte written
inline constexpr std::uint8_t kReadRecord = 0x03;     // a read: the answer is in the responses
inline constexpr std::uint8_t kWaitRecord = 0x0A;     // + milliseconds 0..255
inline constexpr std::uint8_t kWaitBitRecord = 0x0B;  // + state, address (LSB first), mask
inline constexpr std::uint8_t kEndByte = 0xFF;        // four of them end the trace
inline constexpr std::size_t kEndMarkSize = 4;
inline constexpr std::uint8_t kEndMark[kEndMarkSize] = {kEndByte, kEndByte, kEndByte, kEndByte};

inline constexpr std::size_t kAddressRecordsSize = 8;
inline constexpr std::size_t kWaitBitRecordSize = 7;

/// The four address records of one address transfer, least significant byte first.
inline void encodeAddress(std::uint32_t address, std::uint8_t out[kAddressRecordsSize]) {
    for (int i = 0; i < 4; ++i) {
        out[2 * i] = kAddressRecord;
        out[2 * i + 1] = static_cast<std::uint8_t>(address >> (8 * i));
    }
}

/// The bit wait record: expected state, polled address, mask.
inline void encodeWaitBit(int expected, std::uint8_t mask, std::uint32_t address,
                          std::uint8_t out[kWaitBitRecordSize]) {
    out[0] = kWaitBitRecord;
    out[1] = static_cast<std::uint8_t>(expected);
    for (int i = 0; i < 4; ++i) out[2 + i] = static_cast<std::uint8_t>(address >> (8 * i));
    out[6] = mask;
}

}  // namespace kivo::trace
