#include <sys/io.h>

#include <cerrno>
#include <cstring>

#include "port/port_registry.h"

namespace kivo::port {

namespace {

// The processor's own port instructions; every access of the EPP registers is one cycle run
// by the port chip, a 32-bit access four of them.
class DirectPort final : public PortIo {
public:
    std::uint8_t readByte(std::uint16_t port) override { return inb(port); }
    void writeByte(std::uint16_t port, std::uint8_t value) override { outb(value, port); }
    void readBytes(std::uint16_t port, std::uint8_t* buffer, std::size_t count) override {
        insb(port, buffer, static_cast<unsigned long>(count));
    }
    void writeBytes(std::uint16_t port, const std::uint8_t* buffer, std::size_t count) override {
        outsb(port, buffer, static_cast<unsigned long>(count));
    }
    void readLongs(std::uint16_t port, std::uint8_t* buffer, std::size_t count) override {
        insl(port, buffer, static_cast<unsigned long>(count));
    }
    void writeLongs(std::uint16_t port, const std::uint8_t* buffer, std::size_t count) override {
        outsl(port, buffer, static_cast<unsigned long>(count));
    }
};

}  // namespace

std::unique_ptr<PortIo> openDirectPort(std::string& error) {
    // Eight ports: a 32-bit access of the EPP data register (base + 4) spans base + 4..7.
    if (ioperm(kPortBase, 8, 1) != 0) {
        error = std::strerror(errno);
        return nullptr;
    }
    return std::make_unique<DirectPort>();
}

}  // namespace kivo::port
