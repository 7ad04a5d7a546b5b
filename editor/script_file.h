#pragma once
#include <QString>

namespace kivo::editor {

/// Reads and writes script files: Windows-1250 text, every line ended by CR LF on disk and by
/// a single "\n" in the editor. It shows nothing; callers turn errors into messages.
class ScriptFile {
public:
    struct LoadResult {
        bool ok = false;
        QString text;   ///< the file's text with "\n" line ends
        QString error;  ///< why the read failed, when !ok
    };
    struct SaveResult {
        bool ok = false;
        QString error;  ///< why the write failed, when !ok
    };

    /// Reads the whole file; CR LF, LF and a lone CR all end a line.
    static LoadResult load(const QString& path);

    /// Writes every line of the text followed by CR LF. The bytes go to a temporary file beside
    /// the target that then replaces it, so a failed write leaves the old file untouched.
    static SaveResult save(const QString& path, const QString& text);

    /// The bytes that save() writes for the text.
    static QByteArray encode(const QString& text);

    /// The editor text for the bytes of a file.
    static QString decode(const QByteArray& bytes);
};

}  // namespace kivo::editor
