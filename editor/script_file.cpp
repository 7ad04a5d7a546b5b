#include "editor/script_file.h"

#include "editor/windows1250.h"

#include <QFile>
#include <QSaveFile>

namespace kivo::editor {

QString ScriptFile::decode(const QByteArray& bytes) {
    QString text = fromWindows1250(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QByteArray ScriptFile::encode(const QString& text) {
    QStringList lines = text.split(QLatin1Char('\n'));
    // A text that ends with a line break has no further line: the break belongs to the last one.
    if (lines.last().isEmpty())
        lines.removeLast();
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += toWindows1250(line);
        bytes += "\r\n";
    }
    return bytes;
}

ScriptFile::LoadResult ScriptFile::load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {false, {}, QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString())};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {false, {}, QStringLiteral("Cannot read file \"%1\". %2").arg(path, file.errorString())};
    return {true, decode(bytes), {}};
}

ScriptFile::SaveResult ScriptFile::save(const QString& path, const QString& text) {
    QSaveFile file(path);
    const QByteArray bytes = encode(text);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return {false, QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString())};
    return {true, {}};
}

}  // namespace kivo::editor
