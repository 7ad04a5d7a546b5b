#pragma once
#include <cstdint>
#include <string>

#include "interpreter/interpreter.h"

namespace kivo::board {

class EppPort;

/// Largest readblock: 64 MiB.
inline constexpr std::int32_t kMaxReadBlock = 0x4000000;

/// readblock: reads through `port` the board bytes start..stop (at most kMaxReadBlock) into
/// the data file `name` (appending under fileappend), with the command's echo line when `echo`.
/// Stores in stat, and returns, the big-endian value of the last up to 4 bytes read. A range that is
/// empty or too large: message and fail code 3.
std::uint32_t readBlockToFile(EppPort& port, interpreter::Interpreter& state, const std::string& name,
                              std::uint32_t start, std::uint32_t stop, bool echo);

}  // namespace kivo::board
