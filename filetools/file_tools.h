#pragma once
#include <cstdint>
#include <string>

#include "interpreter/interpreter.h"

// The data file tools. Each prints its echo line, reads its whole source with readDataFile and
// writes with writeDataFile (appending under the Interpreter's fileappend); bad parameters
// print their message and return, failed files and memory end the run through fail.
namespace kivo::filetools {


/// Compares two data files over their common length; returns the position of the first
/// difference, 0 when there is none (the value for stat).
std::uint32_t fileComp(const std::string& first, const std::string& second);

/// Writes the big-endian samples (nrBit 8, 16 or 32; 32 is signed) as decimal text, `columns`
/// values a line separated by tabs, CR LF after every `columns`-th value.
void file2Txt(const interpreter::Interpreter& state, const std::string& source, const std::string& destination,
              std::int32_t nrBit, std::int32_t columns);

/// Copies bytes start..stop (clamped to the file) and re-packs records of `recordBits` into
/// samples of `sampleBits` (both multiples of 8) when the two differ.
void fileSelect(const interpreter::Interpreter& state, const std::string& source, const std::string& destination,
                std::uint32_t start, std::uint32_t stop, std::int32_t sampleBits, std::int32_t recordBits);

/// Draws the 16- or 32-bit samples of `channels` interleaved channels into an x by y 8-bit
/// grey-level image; `view` 0 overlays the channels, 1 stacks them, 2 and more offsets each
/// channel by that many rows.
void file2Raw(const interpreter::Interpreter& state, const std::string& source, const std::string& destination,
              std::int32_t x, std::int32_t y, std::int32_t bits, std::int32_t channels, std::int32_t view);

/// Prints min, max, spread and mean of every channel's 16-bit samples.
void fileStatistic(const std::string& name, std::int32_t nrBit, std::int32_t channels);

/// Writes the count of every sample value 0..2^nrBit-1 (nrBit 1..16, else fail code 0) as
/// 32-bit big-endian numbers.
void fileHistogram(const interpreter::Interpreter& state, const std::string& source, const std::string& destination,
                   std::int32_t nrBit);

}  // namespace kivo::filetools
