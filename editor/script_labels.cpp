#include "editor/script_labels.h"

#include "editor/windows1250.h"
#include "language/labels.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kivo::editor {
namespace {

ScriptLabel toScriptLabel(const language::LabelDefinition& definition) {
    return {fromWindows1250(QByteArray::fromStdString(definition.name)), definition.line, definition.begin};
}

}  // namespace

QVector<ScriptLabel> scriptLabels(const QString& text) {
    const QByteArray bytes = toWindows1250(text);
    QVector<ScriptLabel> result;
    for (const language::LabelDefinition& definition : language::labelsOf(std::string_view(bytes.data(), bytes.size())))
        result << toScriptLabel(definition);
    return result;
}

std::optional<ScriptLabel> jumpDestination(const QString& text, int line) {
    const QByteArray bytes = toWindows1250(text);
    const std::string_view script(bytes.data(), static_cast<std::size_t>(bytes.size()));
    const std::optional<language::JumpTarget> jump = language::jumpTargetAt(script, line);
    if (!jump)
        return std::nullopt;
    const std::vector<language::LabelDefinition> labels = language::labelsOf(script);
    const language::LabelDefinition* definition = language::findLabel(labels, jump->label);
    if (!definition)
        return std::nullopt;
    return toScriptLabel(*definition);
}

}  // namespace kivo::editor
