#pragma once
#include <QByteArray>
#include <QString>
#include <cstdint>

namespace kivo::editor {

/// Outcome of convertOutToRaw; the caller turns the failures into messages.
enum class RawConversion { Done, InputMissing, OutputFailed };

/// Packs three 8-bit samples into one RGB565 pixel (red in the top five bits).
std::uint16_t packRgb565(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

/// Turns every group of three bytes into a pixel written low byte first. A last group of one
/// or two bytes still gives a whole pixel, its missing samples taken as 0.
QByteArray outToRaw(const QByteArray& samples);

/// Reads the input file and writes outToRaw() of it to the output file (replaced if present).
RawConversion convertOutToRaw(const QString& inputPath, const QString& outputPath);

}  // namespace kivo::editor
