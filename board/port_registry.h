#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "board/port_io.h"

namespace kivo::board {

/// The two port paths of the transport: the port-I/O library path and the port-instruction
/// path that eppmode bit 3 selects. They may be one object.
struct PortPaths {
    std::shared_ptr<PortIo> library;
    std::shared_ptr<PortIo> direct;
};

/// The KIVO_PORT value used when the variable is unset.
std::string_view defaultPortSetting();

/// Opens the ports that `setting` names ("ppdev:DEVICE", "direct", "dll", "virtual[:BOARD[,FLAG...]]").
/// A port that cannot be opened is reported on the console and replaced by a port with
/// nothing attached; an unknown name ends the run (fail code 0) after listing the known ones.
PortPaths openPortPaths(std::string_view setting);

/// Opens the ports that KIVO_PORT names (its default when unset).
PortPaths openConfiguredPorts();

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

}  // namespace kivo::board
