#include "board/port_registry.h"

#include <cstdlib>
#include <string>

#include "emulator/virtual_port.h"
#include "interpreter/console.h"
#include "interpreter/errors.h"

namespace kivo::board {

namespace console = interpreter::console;

namespace {

// Every access reads what floating lines give: the status inputs high (Busy read inverted,
// so bit 7 is 0), everything else 0xFF. nError high is what makes the nibble probe give up.
class DisconnectedPort final : public PortIo {
public:
    std::uint8_t readByte(std::uint16_t port) override { return port == kStatusPort ? 0x78 : 0xFF; }
    void writeByte(std::uint16_t, std::uint8_t) override {}
    void readBytes(std::uint16_t port, std::uint8_t* buffer, std::size_t count) override {
        for (std::size_t i = 0; i < count; ++i) buffer[i] = readByte(port);
    }
    void writeBytes(std::uint16_t, const std::uint8_t*, std::size_t) override {}
    void readLongs(std::uint16_t port, std::uint8_t* buffer, std::size_t count) override {
        readBytes(port, buffer, 4 * count);
    }
    void writeLongs(std::uint16_t, const std::uint8_t*, std::size_t) override {}
};

using Opener = std::unique_ptr<PortIo> (*)(std::string_view argument, std::string& error);

struct PortKind {
    std::string_view name;
    std::string_view usage;  ///< how the known names are listed in the error
    bool takesArgument;      ///< "name:argument"; otherwise the bare name only
    bool simulated;          ///< a wrong argument is the user's error, not a port that failed to open
    Opener open;
};

constexpr PortKind kPortKinds[] = {
    {"ppdev", "ppdev:URZADZENIE", true, false,
     [](std::string_view device, std::string& error) { return openPpdevPort(std::string(device), error); }},
    {"direct", "direct", false, false, [](std::string_view, std::string& error) { return openDirectPort(error); }},
    {"dll", "dll", false, false, [](std::string_view, std::string& error) { return openLibraryPort(error); }},
    {"virtual", "virtual[:PLYTA][,USTERKA...]", true, true,
     [](std::string_view spec, std::string& error) { return emulator::makeVirtualPort(spec, error); }},
};

[[noreturn]] void failUnknown(std::string_view spec) {
    std::string known;
    for (const PortKind& kind : kPortKinds) {
        if (!known.empty()) known += ", ";
        known += kind.usage;
    }
    console::print("Nieznana wartosc zmiennej KIVO_PORT: '%s'. Znane wartosci: %s\n", std::string(spec).c_str(),
                   known.c_str());
    interpreter::fail(0);
}

// The port-instruction path of eppmode bit 3 goes through the same backend: each backend
// reaches the port one way only, and the transport's cycles differ by that bit, not the port.
PortPaths samePort(std::unique_ptr<PortIo> port) {
    std::shared_ptr<PortIo> shared(std::move(port));
    return {shared, shared};
}

}  // namespace

std::unique_ptr<PortIo> makeDisconnectedPort() { return std::make_unique<DisconnectedPort>(); }

std::string_view defaultPortSpec() { return KIVO_DEFAULT_PORT; }

PortPaths openPortPaths(std::string_view spec) {
    const std::size_t colon = spec.find(':');
    const std::string_view name = spec.substr(0, colon);
    const bool hasArgument = colon != std::string_view::npos;
    const std::string_view argument = hasArgument ? spec.substr(colon + 1) : std::string_view{};
    for (const PortKind& kind : kPortKinds) {
        if (kind.name != name) continue;
        if (hasArgument != kind.takesArgument && !(kind.simulated && !hasArgument)) failUnknown(spec);
        if (kind.takesArgument && hasArgument && argument.empty() && !kind.simulated) failUnknown(spec);
        std::string error;
        std::unique_ptr<PortIo> port = kind.open(argument, error);
        if (port) return samePort(std::move(port));
        if (kind.simulated) {
            console::print("Bledna wartosc zmiennej KIVO_PORT: '%s': %s\n", std::string(spec).c_str(), error.c_str());
            interpreter::fail(0);
        }
        console::print("Nie mozna otworzyc portu '%s': %s. Dalsza praca jak bez podlaczonej plyty\n",
                       std::string(spec).c_str(), error.c_str());
        return samePort(makeDisconnectedPort());
    }
    failUnknown(spec);
}

PortPaths openConfiguredPorts() {
    const char* value = std::getenv("KIVO_PORT");
    return openPortPaths(value && *value ? std::string_view(value) : defaultPortSpec());
}

}  // namespace kivo::board
