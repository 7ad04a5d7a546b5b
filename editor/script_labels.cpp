#include "editor/script_labels.h"

#include "editor/windows1250.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// ---- STAND-IN for language/labels.h (library kivo_language), which is being written on
// another branch. At the merge, delete everything from here to "END OF STAND-IN", include
// "language/labels.h" instead and link scriptdesk_lib with kivo_language. It follows the
// header's names and contract only roughly: no line preparation (quotes, underscores, block
// comments).
namespace kivo::language {

struct LabelDefinition {
    std::string name;
    int line = 0;
    int begin = 0;
    int end = 0;
};

struct JumpTarget {
    std::string label;
    int begin = 0;
    int end = 0;
};

namespace {

std::vector<std::string_view> splitLines(std::string_view script) {
    std::vector<std::string_view> lines;
    for (std::size_t start = 0;;) {
        std::size_t end = script.find('\n', start);
        std::string_view line = script.substr(start, end == std::string_view::npos ? end : end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) return lines;
        start = end + 1;
    }
}

bool blank(char c) { return c == ' ' || c == '\t'; }

// The word that starts at or after `from`: [begin, end).
std::pair<std::size_t, std::size_t> wordFrom(std::string_view line, std::size_t from) {
    std::size_t begin = from;
    while (begin < line.size() && blank(line[begin])) ++begin;
    std::size_t end = begin;
    while (end < line.size() && !blank(line[end])) ++end;
    return {begin, end};
}

}  // namespace

inline std::vector<LabelDefinition> labelsOf(std::string_view script) {
    std::vector<LabelDefinition> labels;
    const std::vector<std::string_view> lines = splitLines(script);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        std::size_t at = 0;
        if (i > 0)
            while (at < line.size() && blank(line[at])) ++at;
        if (at >= line.size() || line[at] != ':') continue;
        const std::size_t begin = at + 1;
        std::size_t end = line.find(' ', begin);
        if (end == std::string_view::npos) end = line.size();
        labels.push_back({std::string(line.substr(begin, end - begin)), static_cast<int>(i), static_cast<int>(begin),
                          static_cast<int>(end)});
    }
    return labels;
}

inline std::optional<JumpTarget> jumpTargetAt(std::string_view script, int lineNumber) {
    const std::vector<std::string_view> lines = splitLines(script);
    if (lineNumber < 0 || static_cast<std::size_t>(lineNumber) >= lines.size()) return std::nullopt;
    std::string_view line = lines[static_cast<std::size_t>(lineNumber)];
    line = line.substr(0, line.find("//"));
    const auto [kb, ke] = wordFrom(line, 0);
    const std::string_view keyword = line.substr(kb, ke - kb);
    int skip;
    if (keyword == "goto")
        skip = 0;
    else if (keyword == "loop" || keyword.starts_with("go"))
        skip = 1;
    else
        return std::nullopt;
    std::pair<std::size_t, std::size_t> word = wordFrom(line, ke);
    for (; skip > 0; --skip) word = wordFrom(line, word.second);
    if (word.first >= word.second) return std::nullopt;
    return JumpTarget{std::string(line.substr(word.first, word.second - word.first)), static_cast<int>(word.first),
                      static_cast<int>(word.second)};
}

inline const LabelDefinition* findLabel(const std::vector<LabelDefinition>& labels, std::string_view label) {
    for (const LabelDefinition& definition : labels)
        if (definition.name == label) return &definition;
    return nullptr;
}

}  // namespace kivo::language
// ---- END OF STAND-IN

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
