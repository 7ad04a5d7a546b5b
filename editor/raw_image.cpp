#include "editor/raw_image.h"

#include <QFile>

namespace kivo::editor {

std::uint16_t packRgb565(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return static_cast<std::uint16_t>(((red & 0xF8) << 8) | ((green & 0xFC) << 3) | ((blue & 0xF8) >> 3));
}

QByteArray outToRaw(const QByteArray& samples) {
    QByteArray raw;
    raw.reserve((samples.size() + 2) / 3 * 2);
    auto at = [&](qsizetype i) -> std::uint8_t {
        return i < samples.size() ? static_cast<std::uint8_t>(samples[i]) : 0;
    };
    for (qsizetype i = 0; i < samples.size(); i += 3) {
        const std::uint16_t pixel = packRgb565(at(i), at(i + 1), at(i + 2));
        raw.append(static_cast<char>(pixel & 0xFF));
        raw.append(static_cast<char>(pixel >> 8));
    }
    return raw;
}

RawConversion convertOutToRaw(const QString& inputPath, const QString& outputPath) {
    QFile input(inputPath);
    if (!input.open(QIODevice::ReadOnly))
        return RawConversion::InputMissing;
    QFile output(outputPath);
    if (outputPath.isEmpty() || !output.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return RawConversion::OutputFailed;
    const QByteArray raw = outToRaw(input.readAll());
    if (output.write(raw) != raw.size())
        return RawConversion::OutputFailed;
    return RawConversion::Done;
}

}  // namespace kivo::editor
