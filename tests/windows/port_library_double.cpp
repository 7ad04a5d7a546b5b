// A test double of the port-I/O library: the six functions under the library's names, passed
// through to a virtual board. kivo.exe loads it from beside itself as it would the real one.
// KIVO_PORT_LIBRARY_BOARD names the board as after "virtual:" in KIVO_PORT.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "emulator/virtual_port.h"

namespace {

kivo::port::PortIo& board() {
    static std::unique_ptr<kivo::port::PortIo> port = [] {
        const char* name = std::getenv("KIVO_PORT_LIBRARY_BOARD");
        std::string error;
        auto made = kivo::emulator::makeVirtualPort(name ? name : "", error);
        if (!made) {
            std::fprintf(stderr, "port library double: %s\n", error.c_str());
            std::abort();
        }
        return made;
    }();
    return *port;
}

std::uint16_t port16(ULONG port) { return static_cast<std::uint16_t>(port); }

}  // namespace

#define KIVO_EXPORT extern "C" __declspec(dllexport)

KIVO_EXPORT UCHAR __stdcall DlPortReadPortUchar(ULONG port) { return board().readByte(port16(port)); }

KIVO_EXPORT VOID __stdcall DlPortWritePortUchar(ULONG port, UCHAR value) { board().writeByte(port16(port), value); }

KIVO_EXPORT VOID __stdcall DlPortReadPortBufferUchar(ULONG port, PUCHAR buffer, ULONG count) {
    board().readBytes(port16(port), buffer, count);
}

KIVO_EXPORT VOID __stdcall DlPortWritePortBufferUchar(ULONG port, PUCHAR buffer, ULONG count) {
    board().writeBytes(port16(port), buffer, count);
}

KIVO_EXPORT VOID __stdcall DlPortReadPortBufferUlong(ULONG port, PULONG buffer, ULONG count) {
    board().readLongs(port16(port), reinterpret_cast<std::uint8_t*>(buffer), count);
}

#ifndef KIVO_DOUBLE_WITHOUT_LAST_FUNCTION
KIVO_EXPORT VOID __stdcall DlPortWritePortBufferUlong(ULONG port, PULONG buffer, ULONG count) {
    board().writeLongs(port16(port), reinterpret_cast<const std::uint8_t*>(buffer), count);
}
#endif
