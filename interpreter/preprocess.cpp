#include "interpreter/preprocess.h"

#include "interpreter/scan.h"

namespace kivo::interpreter {

int preprocessLine(std::string& line, bool& inBlockComment) {
    if (line.size() < 2) return -1;
    if (line[0] == ':') return -1;
    bool inQuotes = false;
    // Signed, because removing underscores can leave a line shorter than one character.
    for (std::ptrdiff_t i = 0; i < static_cast<std::ptrdiff_t>(line.size()) - 1; ++i) {
        auto at = [&](std::ptrdiff_t k) -> char {
            return k < static_cast<std::ptrdiff_t>(line.size()) ? line[static_cast<std::size_t>(k)] : '\0';
        };
        if (line[static_cast<std::size_t>(i)] == '"') {
            line[static_cast<std::size_t>(i)] = ' ';
            inQuotes = !inQuotes;
            continue;
        }
        if (!inQuotes && line[static_cast<std::size_t>(i)] == '_') {
            std::size_t end = static_cast<std::size_t>(i);
            while (end < line.size() && line[end] == '_') ++end;
            line.erase(static_cast<std::size_t>(i), end - static_cast<std::size_t>(i));
            // What moved into position i is looked at by the comment rules only.
        }
        char c = at(i), next = at(i + 1);
        if (c == '/' && next == '/') {
            line.resize(static_cast<std::size_t>(i));
            return inBlockComment ? -1 : static_cast<int>(line.size());
        }
        if (c == '/' && next == '*') {
            line.resize(static_cast<std::size_t>(i));
            inBlockComment = true;
            return static_cast<int>(line.size());
        }
        if (c == '*' && next == '/') {
            inBlockComment = false;
            return -1;
        }
    }
    return inBlockComment ? -1 : static_cast<int>(line.size());
}

bool splitLine(std::string_view prepared, std::string_view& keyword, std::string_view& argumentText) {
    std::size_t pos = 0;
    while (pos < prepared.size() && isBlank(prepared[pos])) ++pos;
    if (pos == prepared.size()) return false;
    std::size_t end = pos;
    while (end < prepared.size() && !isBlank(prepared[end])) ++end;
    keyword = prepared.substr(pos, end - pos);
    while (end < prepared.size() && isBlank(prepared[end])) ++end;
    argumentText = prepared.substr(end);
    return true;
}

}  // namespace kivo::interpreter
