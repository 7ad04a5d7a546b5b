#pragma once
#include <cstdint>

// The parallel-port lines as the board transport drives and reads them; private to board/.
namespace kivo::board::wire {

// Control register values. Bits 0, 1 and 3 are inverted at the connector, so a 1 asserts the
// active-low line; bit 5 turns the data lines around to input.
inline constexpr std::uint8_t kControlIdle = 0x04;          // nInit high, strobes released, data driven
inline constexpr std::uint8_t kControlProgramLow = 0x00;    // nInit low: the FPGA's ProgramN low
inline constexpr std::uint8_t kControlWrite = 0x05;         // nWrite asserted, strobes released
inline constexpr std::uint8_t kControlDataWrite = 0x07;     // nWrite + nDataStrobe
inline constexpr std::uint8_t kControlAddressWrite = 0x0D;  // nWrite + nAddrStrobe
inline constexpr std::uint8_t kControlInput = 0x24;         // data lines released, strobes released
inline constexpr std::uint8_t kControlDataRead = 0x26;      // input + nDataStrobe
inline constexpr std::uint8_t kControlAddressRead = 0x2C;   // input + nAddrStrobe

inline constexpr std::uint8_t kStatusBusy = 0x80;  // Busy is read inverted: 0 means nWait, ready
inline constexpr std::uint8_t kStatusAck = 0x08;   // nError: the nibble acknowledge, active low

// Poll limits, in status reads.
inline constexpr std::uint32_t kBlockReadyReads = 1000001;
inline constexpr std::uint32_t kSingleReadReadyReads = 11;
inline constexpr std::uint32_t kAcknowledgeReads = 10001;

/// waitAcknowledge's answer when the acknowledge never came.
inline constexpr std::uint8_t kNoAcknowledge = 0xFF;

}  // namespace kivo::board::wire
