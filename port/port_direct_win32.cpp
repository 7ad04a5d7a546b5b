#include <windows.h>
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

bool accessRefused = false;

// Steps over a refused "in al, dx" (one byte, EC) of the trial read below, and notes it.
LONG CALLBACK skipRefusedRead(EXCEPTION_POINTERS* info) {
    if (info->ExceptionRecord->ExceptionCode != EXCEPTION_PRIV_INSTRUCTION ||
        *static_cast<const unsigned char*>(info->ExceptionRecord->ExceptionAddress) != 0xEC)
        return EXCEPTION_CONTINUE_SEARCH;
    accessRefused = true;
#ifdef _WIN64
    info->ContextRecord->Rip += 1;
#else
    info->ContextRecord->Eip += 1;
#endif
    return EXCEPTION_CONTINUE_EXECUTION;
}

// One trial read of the status register: without a driver's grant the process would die on
// its first access in the middle of a transfer; this way the refusal is a port that cannot be
// opened, reported like any other.
bool portsGranted() {
    accessRefused = false;
    void* handler = AddVectoredExceptionHandler(1, skipRefusedRead);
    if (!handler) return false;
    volatile std::uint16_t port = kStatusPort;  // a port in a register: the one-byte form
    (void)__inbyte(port);
    RemoveVectoredExceptionHandler(handler);
    return !accessRefused;
}

}  // namespace

std::unique_ptr<PortIo> openDirectPort(std::string& error) {
    if (!portsGranted()) {
        error = "system nie zezwala na instrukcje portow (potrzebny sterownik udostepniajacy porty)";
        return nullptr;
    }
    return std::make_unique<DirectPort>();
}

}  // namespace kivo::port
