#pragma once
#include <QByteArray>
#include <QString>

namespace kivo::editor {

/// Decodes Windows-1250 bytes. The five bytes the code page leaves undefined map to the C1
/// control characters of the same value, so that any file survives a load and a save unchanged.
QString fromWindows1250(const QByteArray& bytes);

/// Encodes text as Windows-1250; a character the code page cannot hold becomes "?".
QByteArray toWindows1250(const QString& text);

}  // namespace kivo::editor
