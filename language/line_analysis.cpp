#include "language/line_analysis.h"

#include "app/command_table.h"
#include "interpreter/core_commands.h"
#include "interpreter/dispatcher.h"
#include "interpreter/errors.h"
#include "interpreter/preprocess.h"
#include "interpreter/scan.h"

namespace kivo::language {

using interpreter::isBlank;

std::vector<std::string_view> documentLines(std::string_view script) {
    script = script.substr(0, script.find('\x1A'));
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = script.find('\n', start);
        std::string_view line = script.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return lines;
}

namespace {

const interpreter::Dispatcher& dispatcher() {
    static const interpreter::Dispatcher instance(app::allCommands());
    return instance;
}

// preprocessLine's edits replayed on column numbers, for showing where each prepared character
// stands in the editor. kivo's own result is what counts: this is checked against it.
void mapColumns(LineAnalysis& a) {
    std::string line(a.text);
    std::vector<int>& cols = a.origin;
    cols.resize(line.size());
    for (std::size_t i = 0; i < cols.size(); ++i) cols[i] = a.offset + static_cast<int>(i);
    a.commentFrom = a.offset + static_cast<int>(a.text.size());
    bool inQuotes = false;
    for (std::ptrdiff_t i = 0; i < static_cast<std::ptrdiff_t>(line.size()) - 1; ++i) {
        const auto u = static_cast<std::size_t>(i);
        if (line[u] == '"') {
            line[u] = ' ';
            inQuotes = !inQuotes;
            continue;
        }
        if (!inQuotes && line[u] == '_') {
            std::size_t end = u;
            while (end < line.size() && line[end] == '_') ++end;
            line.erase(u, end - u);
            cols.erase(cols.begin() + i, cols.begin() + static_cast<std::ptrdiff_t>(end));
        }
        const char c = u < line.size() ? line[u] : '\0';
        const char next = u + 1 < line.size() ? line[u + 1] : '\0';
        if ((c == '/' && next == '/') || (c == '/' && next == '*')) {
            a.commentFrom = cols[u];
            line.resize(u);
            cols.resize(u);
            break;
        }
        if (c == '*' && next == '/') break;
    }
    if (a.prepared < 0) {
        a.commentFrom = a.offset;
        cols.clear();
    } else if (line != a.preparedText) {
        // Cannot happen while the replay follows preprocessLine; columns then stay unknown.
        cols.clear();
    }
}

std::string refusalText(const interpreter::EarlyRefusal& refusal) {
    return refusal.notice + interpreter::failureText(refusal.failure);
}

}  // namespace

LineAnalysis analyseLine(std::string_view line, bool firstLine, bool& inBlockComment) {
    LineAnalysis a;
    std::size_t start = 0;
    if (!firstLine || line.empty())
        while (start < line.size() && isBlank(line[start])) ++start;
    if (start == line.size()) return a;
    a.read = true;
    a.offset = static_cast<int>(start);
    const std::string_view raw = line.substr(start);
    a.rawLength = raw.size();
    a.text = raw.substr(0, raw.find('\0'));
    a.label = a.text[0] == ':';
    a.commentFrom = a.offset + static_cast<int>(a.text.size());
    if (auto refusal = interpreter::refuseLongLine(a.rawLength, a.text)) a.refusal = refusalText(*refusal);

    a.preparedText.assign(a.text);
    a.prepared = interpreter::preprocessLine(a.preparedText, inBlockComment);
    if (a.text.size() < 2 || a.label) {
        a.prepared = -1;
        a.preparedText.clear();
        a.commentFrom = a.offset + static_cast<int>(a.text.size());
        return a;
    }
    mapColumns(a);
    if (a.prepared < 0 || !a.refusal.empty()) return a;

    std::string_view keyword, arguments;
    a.split = interpreter::splitLine(a.preparedText, keyword, arguments);
    if (!a.split) return a;
    a.keywordBegin = static_cast<std::size_t>(keyword.data() - a.preparedText.data());
    a.keywordEnd = a.keywordBegin + keyword.size();
    a.argumentsBegin = static_cast<std::size_t>(arguments.data() - a.preparedText.data());
    if (auto refusal = interpreter::refuseLongWords(keyword, arguments, a.preparedText)) {
        a.refusal = refusalText(*refusal);
        return a;
    }
    a.command = dispatcher().find(keyword);
    if (!a.command) {
        a.refusal = a.preparedText + std::string(interpreter::kUnknownCommand) +
                    interpreter::failureText({static_cast<int>(interpreter::Fail::BadInstruction), std::nullopt});
        return a;
    }
    a.syntax = interpreter::syntaxOf(*a.command, keyword);
    if (auto failure = interpreter::refusal(a.syntax, arguments, a.preparedText))
        a.refusal = interpreter::failureText(*failure);
    return a;
}

namespace {

int digitValue(char c, int base) {
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    return v < base ? v : -1;
}

}  // namespace

std::vector<Field> fieldsOf(const LineAnalysis& line) {
    std::vector<Field> fields;
    if (!line.split || !line.command) return fields;
    const std::string_view text = line.preparedText;
    const std::string_view format = line.syntax.format;
    std::size_t pos = line.argumentsBegin;
    for (std::size_t f = 0; f < format.size(); ++f) {
        if (isBlank(format[f])) continue;
        if (format[f] != '%' || f + 1 >= format.size()) break;
        const char conversion = format[++f];
        while (pos < text.size() && isBlank(text[pos])) ++pos;
        if (pos >= text.size()) break;
        Field field{pos, pos, conversion};
        std::size_t p = pos;
        if (conversion != 's') {
            const int base = conversion == 'd' ? 10 : 16;
            if (p < text.size() && (text[p] == '+' || text[p] == '-')) ++p;
            if (base == 16 && p + 2 < text.size() && text[p] == '0' && (text[p + 1] == 'x' || text[p + 1] == 'X') &&
                digitValue(text[p + 2], 16) >= 0)
                p += 2;
            const std::size_t digits = p;
            while (p < text.size() && digitValue(text[p], base) >= 0) ++p;
            if (p == digits) {
                // Not a number: the word it stands in, for marking.
                while (p < text.size() && !isBlank(text[p])) ++p;
                field.read = false;
            }
        } else {
            while (p < text.size() && !isBlank(text[p])) ++p;
        }
        field.end = p;
        fields.push_back(field);
        if (!field.read) break;
        pos = p;
    }
    return fields;
}

std::optional<LabelField> jumpLabel(const LineAnalysis& line) {
    if (!line.command || !line.refusal.empty()) return std::nullopt;
    const auto run = line.command->run;
    if (run == interpreter::runGoto) {
        const std::string_view arguments = line.arguments();
        const std::size_t length = std::min(arguments.find(' '), arguments.find('\0'));
        const std::string_view label = arguments.substr(0, length);
        return LabelField{std::string(label), std::string(arguments), line.argumentsBegin,
                          line.argumentsBegin + label.size()};
    }
    if (run != interpreter::runLoop && run != interpreter::runGoCompare && run != interpreter::runGobit)
        return std::nullopt;
    const std::vector<Field> fields = fieldsOf(line);
    if (fields.size() < 2 || fields[1].conversion != 's') return std::nullopt;
    std::string label = line.preparedText.substr(fields[1].begin, fields[1].end - fields[1].begin);
    return LabelField{label, label, fields[1].begin, fields[1].end};
}

}  // namespace kivo::language
