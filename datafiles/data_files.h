#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "datafiles/file_io.h"
#include "interpreter/interpreter.h"

namespace kivo::datafiles {

/// Largest length a caller may request from readDataFile (whole-file reads have no limit).
inline constexpr std::int32_t kMaxDataFileRequest = 0x200000;

/// True when `name` is a hex data file: it contains ".hex" or ".HEX" (no other letter case).
bool isHexDataFile(std::string_view name);

/// Reads a data file, hex text or binary by its name. `requested` > 0: at most that many bytes
/// (above kMaxDataFileRequest: message and fail code 3); 0 or less: the whole file. The result
/// holds exactly the bytes delivered. An empty name: fail code 3; a file that cannot be opened
/// or read: fail code 1 with the name; no memory: fail code 2. An odd number of hex digits
/// prints a warning and drops the last digit.
ByteBuffer readDataFile(const std::string& name, std::int32_t requested = 0);

/// The whole data file `name`, already open as `file`: a pipe is read once.
ByteBuffer readDataFile(InputFile& file, const std::string& name);

/// As above, into `buffer`, which holds at least `requested` bytes (`requested` > 0).
/// Returns the number of bytes delivered.
std::size_t readDataFile(const std::string& name, std::uint8_t* buffer, std::int32_t requested);

/// Writes `length` bytes to a data file, hex text (16 lower-case pairs a line, CR LF after
/// every line, also the last) or binary by its name; truncates the file, or appends to it when
/// `append` (the Interpreter's fileappend). New files get owner read and write permission.
/// An empty name: message and fail code 3; open, write or close failing: fail code 1 with the
/// name.
void writeDataFile(const std::string& name, const std::uint8_t* data, std::size_t length, bool append);

/// The fileconv command's copy, echo line included: reads `source`, reverses the byte order of
/// its samples when `nrBit` > 8, writes `destination`. FPGA configuration converts its bitstream
/// with it too, echo and all.
void fileConv(const interpreter::Interpreter& state, const std::string& source, const std::string& destination,
              std::int32_t nrBit);

}  // namespace kivo::datafiles
