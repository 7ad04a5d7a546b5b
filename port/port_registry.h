#pragma once
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "port/port_io.h"

namespace kivo::port {

/// The two port paths of the transport: the port-I/O library path and the port-instruction
/// path that eppmode bit 3 selects. They may be one object.
struct PortPaths {
    std::shared_ptr<PortIo> library;
    std::shared_ptr<PortIo> direct;
};

/// What a KIVO_PORT name takes after "name:".
enum class PortArgument { None, Required, Optional };

/// One kind of port that KIVO_PORT can name.
struct PortKind {
    std::string_view name;
    std::string_view usage;  ///< how the known names are listed in the error
    PortArgument argument;   ///< the text after "name:"
    /// A refusal is about the setting itself (a wrong board or fault name), not a port that
    /// could not be opened: the run ends instead of going on without a board.
    bool refusalIsFatal;
    /// Opens the port for the text after "name:"; nullptr with the reason in `error`.
    std::function<std::unique_ptr<PortIo>(std::string_view argument, std::string& error)> open;
};

/// Adds a kind of port that lives above this layer (the virtual board); it is listed after
/// the built-in kinds.
void addPortKind(PortKind kind);

/// The KIVO_PORT value used when the variable is unset.
std::string_view defaultPortSetting();

/// Opens the ports that `setting` names ("ppdev:DEVICE", "direct", "dll", "virtual[:BOARD[,FLAG...]]").
/// A port that cannot be opened is reported on the console and replaced by a port with
/// nothing attached; an unknown name ends the run (fail code 0) after listing the known ones.
PortPaths openPortPaths(std::string_view setting);

/// KIVO_PORT, or its default when unset.
std::string_view configuredPortSetting();

/// Opens the ports that KIVO_PORT names (its default when unset).
PortPaths openConfiguredPorts();

/// The KIVO_PORT value that runs every script in simulation mode from its first line, so that
/// one script runs unchanged on a board, the virtual board and a simulation.
inline constexpr std::string_view kSimulationSetting = "sim";
bool simulationConfigured();

// Backends (one file each, chosen in CMake by platform). On failure they return nullptr and
// put the system's reason in `error`.

/// Linux parallel-port device, e.g. /dev/parport0: claimed, EPP cycles through EPP mode.
std::unique_ptr<PortIo> openPpdevPort(const std::string& device, std::string& error);
/// The processor's port instructions at the fixed base (needs privileges).
std::unique_ptr<PortIo> openDirectPort(std::string& error);
/// The Windows port-I/O library, loaded at run time.
std::unique_ptr<PortIo> openLibraryPort(std::string& error);
/// A port with nothing attached: the lines float high.
std::unique_ptr<PortIo> makeDisconnectedPort();

}  // namespace kivo::port
