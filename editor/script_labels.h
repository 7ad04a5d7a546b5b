#pragma once
#include <QString>
#include <QVector>
#include <optional>

namespace kivo::editor {

/// A label definition as the editor lists it: its name and the document line (from 0).
struct ScriptLabel {
    QString name;
    int line = 0;
    int column = 0;  ///< where the name starts in the line
};

/// Every label of the script text (lines separated by "\n"), in script order.
QVector<ScriptLabel> scriptLabels(const QString& text);

/// The definition that the jump on document line `line` reaches; none when that line is no
/// jump or the script does not define its label.
std::optional<ScriptLabel> jumpDestination(const QString& text, int line);

}  // namespace kivo::editor
