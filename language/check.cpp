#include "language/check.h"

#include "interpreter/errors.h"
#include "language/labels.h"

namespace kivo::language {

LabelCounts labelCounts(std::string_view script) {
    LabelCounts counts;
    for (const LabelDefinition& label : labelsOf(script)) ++counts[label.name];
    return counts;
}

namespace {

bool removedUnderscore(const LineAnalysis& a, std::string_view documentLine, int from, int to, int& first) {
    // A column of the read text that no prepared character came from and that holds '_' is an
    // underscore the preparation took out.
    std::vector<bool> kept(documentLine.size() + 1, false);
    for (int c : a.origin) kept[static_cast<std::size_t>(c)] = true;
    for (int c = from; c < to && c < static_cast<int>(documentLine.size()); ++c)
        if (documentLine[static_cast<std::size_t>(c)] == '_' && !kept[static_cast<std::size_t>(c)]) {
            first = c;
            return true;
        }
    return false;
}

// The document columns a prepared range [b, e) came from, with what the preparation took out
// around it.
void columns(const LineAnalysis& a, std::size_t b, std::size_t e, int& from, int& to) {
    from = b > 0 ? a.column(b - 1) + 1 : a.offset;
    to = e < a.origin.size() ? a.column(e) : a.commentFrom;
}

}  // namespace

std::vector<Finding> checkLine(const LineAnalysis& a, int lineNumber, std::string_view documentLine,
                               const LabelCounts& labels) {
    std::vector<Finding> found;
    if (!a.read) return found;
    const int lineEnd = a.offset + static_cast<int>(a.text.size());
    if (!a.refusal.empty()) {
        found.push_back({lineNumber, a.offset, lineEnd, Severity::Error, a.refusal});
        return found;
    }
    if (a.prepared < 0 || !a.split || a.origin.empty()) return found;

    if (const auto label = jumpLabel(a); label && !labels.count(label->label)) {
        int from, to;
        columns(a, label->begin, label->end, from, to);
        found.push_back({lineNumber, from, std::max(to, from + 1), Severity::Error,
                         "Nie moze znalezc podanej etykiety: " + label->asPassed + "\n" +
                             interpreter::failureText({static_cast<int>(interpreter::Fail::BadInstruction), std::nullopt})});
    }

    // The names and labels that lose an underscore.
    std::vector<std::pair<std::size_t, std::size_t>> names;
    if (const auto label = jumpLabel(a)) names.emplace_back(label->begin, label->end);
    for (const Field& field : fieldsOf(a))
        if (field.conversion == 's') names.emplace_back(field.begin, field.end);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0 && names[i] == names[0]) continue;
        int from, to, first;
        columns(a, names[i].first, names[i].second, from, to);
        if (!removedUnderscore(a, documentLine, from, to, first)) continue;
        found.push_back({lineNumber, from, to, Severity::Warning,
                         "Uwaga: podkreslenie poza cudzyslowem znika, nazwa czytana jako " +
                             a.preparedText.substr(names[i].first, names[i].second - names[i].first) +
                             " (nazwe z podkresleniem ujmij w cudzyslow)"});
    }

    // The last character of a line is never looked at: a closing quote there stays.
    const int last = lineEnd - 1;
    if (a.text.back() == '"' && a.origin.back() == last && a.preparedText.back() == '"') {
        const std::size_t wordStart = a.preparedText.find_last_of(" \t") == std::string::npos
                                          ? 0
                                          : a.preparedText.find_last_of(" \t") + 1;
        found.push_back({lineNumber, last, lineEnd, Severity::Warning,
                         "Uwaga: cudzyslow na koncu linii zostaje w tekscie: " + a.preparedText.substr(wordStart)});
    }
    return found;
}

std::vector<Finding> checkScript(std::string_view script) {
    const LabelCounts labels = labelCounts(script);
    std::vector<Finding> found;
    bool inBlockComment = false;
    const std::vector<std::string_view> lines = documentLines(script);
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const LineAnalysis a = analyseLine(lines[n], n == 0, inBlockComment);
        for (Finding& f : checkLine(a, static_cast<int>(n), lines[n], labels)) found.push_back(std::move(f));
    }
    return found;
}

std::string oneLine(std::string_view message) {
    std::string out;
    std::size_t start = 0;
    while (start <= message.size()) {
        std::size_t end = message.find('\n', start);
        if (end == std::string_view::npos) end = message.size();
        std::string_view part = message.substr(start, end - start);
        while (!part.empty() && (part.front() == ' ' || part.front() == '\t')) part.remove_prefix(1);
        while (!part.empty() && (part.back() == ' ' || part.back() == '\t' || part.back() == '\r')) part.remove_suffix(1);
        if (!part.empty()) {
            if (!out.empty()) out += " / ";
            out += part;
        }
        start = end + 1;
    }
    return out;
}

}  // namespace kivo::language
