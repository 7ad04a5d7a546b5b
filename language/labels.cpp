#include "language/labels.h"

#include "language/line_analysis.h"

namespace kivo::language {

std::vector<LabelDefinition> labelsOf(std::string_view script) {
    std::vector<LabelDefinition> labels;
    const std::vector<std::string_view> lines = documentLines(script);
    bool inBlockComment = false;  // label lines are found whatever the comments say
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::string_view line = lines[n];
        // Cheap test first: most lines are no label.
        if (line.find(':') == std::string_view::npos) continue;
        const LineAnalysis a = analyseLine(line, n == 0, inBlockComment);
        if (!a.label) continue;
        const std::string_view name = a.labelName();
        labels.push_back({std::string(name), static_cast<int>(n), a.offset + 1, a.offset + 1 + static_cast<int>(name.size())});
    }
    return labels;
}

std::optional<JumpTarget> jumpTargetAt(std::string_view script, int line) {
    const std::vector<std::string_view> lines = documentLines(script);
    if (line < 0 || static_cast<std::size_t>(line) >= lines.size()) return std::nullopt;
    bool inBlockComment = false;
    for (int n = 0; n < line; ++n) analyseLine(lines[static_cast<std::size_t>(n)], n == 0, inBlockComment);
    const LineAnalysis a = analyseLine(lines[static_cast<std::size_t>(line)], line == 0, inBlockComment);
    const std::optional<LabelField> label = jumpLabel(a);
    if (!label) return std::nullopt;
    const int begin = a.column(label->begin);
    const int end = label->end > label->begin ? a.column(label->end - 1) + 1 : begin;
    return JumpTarget{label->label, begin, end};
}

const LabelDefinition* findLabel(const std::vector<LabelDefinition>& labels, std::string_view label) {
    for (const LabelDefinition& l : labels)
        if (l.name == label) return &l;
    return nullptr;
}

}  // namespace kivo::language
