#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "board/epp_port.h"
#include "interpreter/command.h"

namespace kivo::fpga {

/// Chunk size when the script gives none, or one below 1.
inline constexpr std::int32_t kDefaultChunk = 256;
/// config and ifconfig: the bitstream file and the chunk size.
inline constexpr interpreter::Syntax kConfigSyntax{"%s %d", interpreter::fields(1, 2), interpreter::Refusal::WithLine};

/// The FPGA on the probed board and the length of its configuration stream.
struct FpgaTarget {
    std::string_view name;  ///< as the length message names it, e.g. "XCV300 PQ240"
    std::uint32_t bytes;    ///< configuration bytes, without the extra byte sent after them
};

/// The FPGA on the board: EPP boards (eppmode below 16) by bit 5 of the address register,
/// nibble boards by boardKind (0 XSB, 1 ZEM).
FpgaTarget fpgaTarget(std::int32_t eppmode, std::int32_t boardKind, std::uint8_t addressRegister);

/// `name` cut at the first "." of its file-name part (a name without one stays whole): the
/// base of the ".bit", ".hex", ".prm" and ".cfg" names.
std::string configurationBase(std::string_view name);

/// The config command after its argument parsing: echo, then (not in simulation) the
/// bitstream conversion when base.bit exists and the configuration from base.cfg through
/// `port`. `chunk` >= 1: bytes per writeData between two checks. Every failure is fatal.
void config(interpreter::Run& run, board::EppPort& port, const std::string& name, std::int32_t chunk);

/// The ifconfig command: probes the board when that is pending, or again when the address
/// register lacks the board's signature (no board: sets run.endRun),
/// parses "%s %d" from the line and configures unless Done is already high.
void ifconfig(interpreter::Run& run, board::EppPort& port, const interpreter::Line& line);

}  // namespace kivo::fpga
