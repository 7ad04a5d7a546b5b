#include <intrin.h>

#include "port/port_registry.h"

namespace kivo::port {

namespace {

// The processor's port instructions. Windows lets a process run them only when a port
// driver has granted it I/O access; without one the first access faults.
class DirectPort final : public PortIo {
public:
    std::uint8_t readByte(std::uint16_t port) override { return __inbyte(port); }
    void writeByte(std::uint16_t port, std::uint8_t value) override { __outbyte(port, value); }
    void readBytes(std::uint16_t port, std::uint8_t* buffer, std::size_t count) override {
        __inbytestring(port, buffer, static_cast<unsigned long>(count));
    }
    void writeBytes(std::uint16_t port, const std::uint8_t* buffer, std::size_t count) override {
        __outbytestring(port, const_cast<std::uint8_t*>(buffer), static_cast<unsigned long>(count));
    }
    void readLongs(std::uint16_t port, std::uint8_t* buffer, std::size_t count) override {
        __indwordstring(port, reinterpret_cast<unsigned long*>(buffer), static_cast<unsigned long>(count));
    }
    void writeLongs(std::uint16_t port, const std::uint8_t* buffer, std::size_t count) override {
        __outdwordstring(port, reinterpret_cast<unsigned long*>(const_cast<std::uint8_t*>(buffer)),
                         static_cast<unsigned long>(count));
    }
};

}  // namespace

std::unique_ptr<PortIo> openDirectPort(std::string&) { return std::make_unique<DirectPort>(); }

}  // namespace kivo::port
