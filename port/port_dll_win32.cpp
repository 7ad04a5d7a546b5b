#include <windows.h>

#include <string>

#include "port/port_registry.h"

namespace kivo::port {

namespace {

// The port-I/O library's six functions: absolute port addresses, one call per access or per
// repeated access of one port.
using ReadUchar = UCHAR(__stdcall*)(ULONG port);
using WriteUchar = VOID(__stdcall*)(ULONG port, UCHAR value);
using ReadBufferUchar = VOID(__stdcall*)(ULONG port, PUCHAR buffer, ULONG count);
using WriteBufferUchar = VOID(__stdcall*)(ULONG port, PUCHAR buffer, ULONG count);
using ReadBufferUlong = VOID(__stdcall*)(ULONG port, PULONG buffer, ULONG count);
using WriteBufferUlong = VOID(__stdcall*)(ULONG port, PULONG buffer, ULONG count);

constexpr const char* kLibraryName = "dlportio.dll";

class LibraryPort final : public PortIo {
public:
    explicit LibraryPort(HMODULE library) : library_(library) {}
    ~LibraryPort() override { FreeLibrary(library_); }

    bool bind(std::string& missing) {
        return find(readUchar_, "DlPortReadPortUchar", missing) && find(writeUchar_, "DlPortWritePortUchar", missing) &&
               find(readBufferUchar_, "DlPortReadPortBufferUchar", missing) &&
               find(writeBufferUchar_, "DlPortWritePortBufferUchar", missing) &&
               find(readBufferUlong_, "DlPortReadPortBufferUlong", missing) &&
               find(writeBufferUlong_, "DlPortWritePortBufferUlong", missing);
    }

    std::uint8_t readByte(std::uint16_t port) override { return readUchar_(port); }
    void writeByte(std::uint16_t port, std::uint8_t value) override { writeUchar_(port, value); }
    void readBytes(std::uint16_t port, std::uint8_t* buffer, std::size_t count) override {
        readBufferUchar_(port, buffer, static_cast<ULONG>(count));
    }
    void writeBytes(std::uint16_t port, const std::uint8_t* buffer, std::size_t count) override {
        writeBufferUchar_(port, const_cast<PUCHAR>(buffer), static_cast<ULONG>(count));
    }
    void readLongs(std::uint16_t port, std::uint8_t* buffer, std::size_t count) override {
        readBufferUlong_(port, reinterpret_cast<PULONG>(buffer), static_cast<ULONG>(count));
    }
    void writeLongs(std::uint16_t port, const std::uint8_t* buffer, std::size_t count) override {
        writeBufferUlong_(port, reinterpret_cast<PULONG>(const_cast<std::uint8_t*>(buffer)),
                          static_cast<ULONG>(count));
    }

private:
    template <class F>
    bool find(F& function, const char* name, std::string& missing) {
        // Through the generic function type: FARPROC's own signature is not the export's.
        function = reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(library_, name)));
        if (!function) missing = name;
        return function != nullptr;
    }

    HMODULE library_;
    ReadUchar readUchar_ = nullptr;
    WriteUchar writeUchar_ = nullptr;
    ReadBufferUchar readBufferUchar_ = nullptr;
    WriteBufferUchar writeBufferUchar_ = nullptr;
    ReadBufferUlong readBufferUlong_ = nullptr;
    WriteBufferUlong writeBufferUlong_ = nullptr;
};

std::string systemReason(DWORD code) {
    char text[256] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                        text, sizeof text, nullptr);
    std::string reason(text, length);
    // The system's sentence ends in a full stop; the message that quotes it has its own.
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' ' ||
                               reason.back() == '.'))
        reason.pop_back();
    return reason.empty() ? "blad systemu " + std::to_string(code) : reason;
}

}  // namespace

std::unique_ptr<PortIo> openLibraryPort(std::string& error) {
    HMODULE library = LoadLibraryA(kLibraryName);
    if (!library) {
        error = std::string(kLibraryName) + ": " + systemReason(GetLastError());
        return nullptr;
    }
    auto port = std::make_unique<LibraryPort>(library);
    std::string missing;
    if (!port->bind(missing)) {
        error = std::string(kLibraryName) + " nie ma funkcji " + missing;
        return nullptr;
    }
    return port;
}

}  // namespace kivo::port
