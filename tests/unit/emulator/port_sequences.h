#pragma once
// The transport's register sequences, replayed step by step against a PortIo, so the model is
// tested with exactly the traffic the real transport puts on the port.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "port/port_io.h"

namespace kivo::emulator::wire {

using port::kControlPort;
using port::kDataPort;
using port::kEppAddressPort;
using port::kEppDataPort;
using port::kStatusPort;
using port::PortIo;
using Bytes = std::vector<std::uint8_t>;

inline constexpr std::uint8_t kReadyMask = 0x80;  // status bit 7: 0 when the board is ready

// Hardware EPP: the port chip runs the cycles.
inline void hwSetAddress(PortIo& port, std::uint32_t address) {
    for (int i = 0; i < 4; ++i) {
        port.writeByte(kEppAddressPort, static_cast<std::uint8_t>(address >> (8 * i)));
    }
}
inline void hwWrite(PortIo& port, const Bytes& data, bool longs = false) {
    if (longs) {
        port.writeLongs(kEppDataPort, data.data(), data.size() / 4);
    } else {
        port.writeBytes(kEppDataPort, data.data(), data.size());
    }
}
inline Bytes hwRead(PortIo& port, std::size_t count, bool longs = false) {
    Bytes data(count);
    if (longs) {
        port.readLongs(kEppDataPort, data.data(), count / 4);
    } else {
        port.readBytes(kEppDataPort, data.data(), count);
    }
    return data;
}

// Hand-driven EPP.
inline void swSetAddress(PortIo& port, std::uint32_t address) {
    for (int i = 0; i < 4; ++i) {
        port.writeByte(kControlPort, 0x0D);
        port.writeByte(kDataPort, static_cast<std::uint8_t>(address >> (8 * i)));
        port.writeByte(kControlPort, 0x05);
        port.writeByte(kControlPort, 0x04);
    }
}
inline bool waitReady(PortIo& port, long polls) {
    for (long i = 0; i < polls; ++i) {
        if ((port.readByte(kStatusPort) & kReadyMask) == 0) {
            return true;
        }
    }
    return false;
}
// Block write: 0, or the 1-based number of the byte whose ready wait ran out.
inline int swWrite(PortIo& port, const Bytes& data) {
    for (std::size_t i = 0; i < data.size(); ++i) {
        port.writeByte(kControlPort, 0x07);
        if (!waitReady(port, 1'000'001)) {
            port.writeByte(kControlPort, 0x05);
            port.writeByte(kControlPort, 0x04);
            return static_cast<int>(i + 1);
        }
        port.writeByte(kDataPort, data[i]);
        port.writeByte(kControlPort, 0x05);
    }
    port.writeByte(kControlPort, 0x04);
    return 0;
}
// Single read: the data register after at most 11 status polls, ready or not.
inline std::uint8_t swReadByte(PortIo& port) {
    port.writeByte(kControlPort, 0x24);
    port.readByte(kDataPort);
    port.writeByte(kControlPort, 0x26);
    waitReady(port, 11);
    const std::uint8_t value = port.readByte(kDataPort);
    port.writeByte(kControlPort, 0x24);
    port.writeByte(kControlPort, 0x04);
    return value;
}
// Block read; nothing when a ready wait ran out (the strobe is then released).
inline std::optional<Bytes> swRead(PortIo& port, std::size_t count) {
    Bytes data(count);
    port.writeByte(kControlPort, 0x24);
    port.readByte(kDataPort);
    for (std::size_t i = 0; i < count; ++i) {
        port.writeByte(kControlPort, 0x26);
        if (!waitReady(port, 1'000'001)) {
            port.writeByte(kControlPort, 0x24);
            port.writeByte(kControlPort, 0x04);
            return std::nullopt;
        }
        data[i] = port.readByte(kDataPort);
        port.writeByte(kControlPort, 0x24);
    }
    port.writeByte(kControlPort, 0x04);
    return data;
}
inline std::uint8_t swReadAddressRegister(PortIo& port) {
    port.writeByte(kControlPort, 0x24);
    port.readByte(kDataPort);
    port.writeByte(kControlPort, 0x2C);
    const std::uint8_t value = port.readByte(kDataPort);
    port.writeByte(kControlPort, 0x24);
    port.writeByte(kControlPort, 0x04);
    return value;
}

// Nibble protocol.
inline constexpr std::uint8_t kNoAck = 0xFF;

inline std::uint8_t waitAcknowledge(PortIo& port) {
    for (int i = 0; i < 10'001; ++i) {
        const std::uint8_t status = port.readByte(kStatusPort);
        if ((status & 0x08) == 0) {
            return (status >> 4) & 3;
        }
    }
    return kNoAck;
}
// False when a step was not acknowledged.
inline bool nibbleSetAddress(PortIo& port, std::uint32_t address) {
    for (int i = 0; i < 4; ++i) {
        const auto b = static_cast<std::uint8_t>(address >> (8 * i));
        port.writeByte(kDataPort, static_cast<std::uint8_t>(((b << 4) & 0xF0) | 0x03 | (i == 0 ? 0x08 : 0)));
        if (waitAcknowledge(port) == kNoAck) {
            return false;
        }
        port.writeByte(kDataPort, static_cast<std::uint8_t>((b & 0xF0) | 0x01));
        if (waitAcknowledge(port) == kNoAck) {
            return false;
        }
    }
    return true;
}
// 0, or the 1-based number of the byte whose step went unanswered or echoed wrong.
inline int nibbleWrite(PortIo& port, const Bytes& data) {
    for (std::size_t i = 0; i < data.size(); ++i) {
        const std::uint8_t d = data[i];
        for (const std::uint8_t step : {static_cast<std::uint8_t>(((d << 4) & 0xF0) | 0x0A),
                                        static_cast<std::uint8_t>(d & 0xF0)}) {
            port.writeByte(kDataPort, step);
            if (waitAcknowledge(port) != step >> 6) {
                return static_cast<int>(i + 1);
            }
        }
    }
    return 0;
}
inline std::optional<std::uint8_t> nibbleReadByte(PortIo& port) {
    std::uint8_t value = 0;
    int shift = 0;
    for (const std::uint8_t step : {0x0E, 0x04, 0x06, 0x04}) {
        port.writeByte(kDataPort, step);
        const std::uint8_t bits = waitAcknowledge(port);
        if (bits == kNoAck) {
            return std::nullopt;
        }
        value |= static_cast<std::uint8_t>(bits << shift);
        shift += 2;
    }
    return value;
}
inline Bytes nibbleRead(PortIo& port, std::size_t count) {
    Bytes data;
    for (std::size_t i = 0; i < count; ++i) {
        data.push_back(nibbleReadByte(port).value_or(0));
    }
    return data;
}
inline std::uint8_t nibbleReadAddressRegister(PortIo& port) {
    std::uint8_t value = 0;
    for (const std::uint8_t step : {0x0F, 0x15, 0x27, 0x35}) {
        port.writeByte(kDataPort, step);
        const std::uint8_t status = port.readByte(kStatusPort);
        value = static_cast<std::uint8_t>((value >> 2) | (((status >> 4) & 3) << 6));
    }
    return value;
}
// Returns the status read right after the sequence (bit 4 should follow the level).
inline std::uint8_t nibbleSetProgramN(PortIo& port, int level) {
    const std::uint8_t p = level ? 0x80 : 0x00;
    for (const std::uint8_t step : {0x1F, 0x1F, 0x1D, 0x1F, 0x1D, 0x17, 0x15}) {
        port.writeByte(kDataPort, static_cast<std::uint8_t>(p | step));
    }
    return port.readByte(kStatusPort);
}

// The board probe: the EPP attempt (hardware for eppmode 0, falling back to hand-driven
// cycles), then the nibble attempt.
enum class Found { Epp, Xsb, Zem, Nothing };
struct ProbeResult {
    Found found = Found::Nothing;
    int eppmode = 0;
    std::uint8_t id = 0;
    std::uint8_t status = 0;
};
inline ProbeResult probe(PortIo& port, int eppmode) {
    ProbeResult result;
    result.eppmode = eppmode;
    for (int attempt = 0; attempt < 2; ++attempt) {
        port.writeByte(kControlPort, 0x04);
        result.id = result.eppmode == 0 ? port.readByte(kEppAddressPort) : swReadAddressRegister(port);
        result.status = port.readByte(kStatusPort);
        if ((result.id & 0xCC) == 0x88) {
            result.found = Found::Epp;
            return result;
        }
        if (result.eppmode != 0) {
            break;
        }
        result.eppmode = 3;
    }
    port.writeByte(kDataPort, 0x0D);
    std::uint8_t value = 0;
    for (const std::uint8_t step : {0x0F, 0x15, 0x27, 0x35}) {
        port.writeByte(kDataPort, step);
        const std::uint8_t status = port.readByte(kStatusPort);
        if (status & 0x08) {
            return result;
        }
        value = static_cast<std::uint8_t>((value >> 2) | (((status >> 4) & 3) << 6));
    }
    result.id = value;
    if ((value & 0xC8) == 0x80) {
        result.found = Found::Xsb;
    } else if ((value & 0xC8) == 0x40) {
        result.found = Found::Zem;
    }
    return result;
}

inline Bytes pattern(std::size_t count, std::uint32_t seed = 1) {
    Bytes data(count);
    for (std::size_t i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        data[i] = static_cast<std::uint8_t>(seed >> 16);
    }
    return data;
}

}  // namespace kivo::emulator::wire
