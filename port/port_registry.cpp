#include "port/port_registry.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "interpreter/console.h"
#include "interpreter/errors.h"

namespace kivo::port {

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

using Argument = PortArgument;

std::vector<PortKind>& portKinds() {
    static std::vector<PortKind> kinds = {
        {"ppdev", "ppdev:URZADZENIE", Argument::Required, false,
         [](std::string_view device, std::string& error) { return openPpdevPort(std::string(device), error); }},
        {"direct", "direct", Argument::None, false,
         [](std::string_view, std::string& error) { return openDirectPort(error); }},
        {"dll", "dll", Argument::None, false,
         [](std::string_view, std::string& error) { return openLibraryPort(error); }},
        // Simulation mode from the start (the board link switches before the first line); the
        // transport then never opens a port, and whatever asks for one finds none attached.
        {"sim", "sim", Argument::None, false, [](std::string_view, std::string&) { return makeDisconnectedPort(); }},
    };
    return kinds;
}

[[noreturn]] void failUnknown(std::string_view setting) {
    std::string known;
    for (const PortKind& kind : portKinds()) {
        if (!known.empty()) known += ", ";
        known += kind.usage;
    }
    console::print("Nieznana wartosc zmiennej KIVO_PORT: '%s'. Znane wartosci: %s\n", std::string(setting).c_str(),
                   known.c_str());
    interpreter::fail(interpreter::Fail::Message);
}

// The port-instruction path of eppmode bit 3 goes through the same backend: each backend
// reaches the port one way only, and the transport's cycles differ by that bit, not the port.
PortPaths samePort(std::unique_ptr<PortIo> port) {
    std::shared_ptr<PortIo> shared(std::move(port));
    return {shared, shared};
}

}  // namespace

void addPortKind(PortKind kind) { portKinds().push_back(std::move(kind)); }

std::unique_ptr<PortIo> makeDisconnectedPort() { return std::make_unique<DisconnectedPort>(); }

std::string_view defaultPortSetting() { return KIVO_DEFAULT_PORT; }

PortPaths openPortPaths(std::string_view setting) {
    const std::size_t colon = setting.find(':');
    const std::string_view name = setting.substr(0, colon);
    const bool hasArgument = colon != std::string_view::npos;
    const std::string_view argument = hasArgument ? setting.substr(colon + 1) : std::string_view{};
    for (const PortKind& kind : portKinds()) {
        if (kind.name != name) continue;
        if (kind.argument == Argument::None && hasArgument) failUnknown(setting);
        if (kind.argument == Argument::Required && argument.empty()) failUnknown(setting);
        std::string error;
        std::unique_ptr<PortIo> port = kind.open(argument, error);
        if (port) return samePort(std::move(port));
        if (kind.refusalIsFatal) {
            console::print("Bledna wartosc zmiennej KIVO_PORT: '%s': %s\n", std::string(setting).c_str(), error.c_str());
            interpreter::fail(interpreter::Fail::Message);
        }
        console::print("Nie mozna otworzyc portu '%s': %s. Dalsza praca jak bez podlaczonej plyty\n",
                       std::string(setting).c_str(), error.c_str());
        return samePort(makeDisconnectedPort());
    }
    failUnknown(setting);
}

std::string_view configuredPortSetting() {
    const char* value = std::getenv("KIVO_PORT");
    return value && *value ? std::string_view(value) : defaultPortSetting();
}

PortPaths openConfiguredPorts() { return openPortPaths(configuredPortSetting()); }

bool simulationConfigured() { return configuredPortSetting() == kSimulationSetting; }

}  // namespace kivo::port
