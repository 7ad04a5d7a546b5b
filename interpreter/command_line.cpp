#include "interpreter/command_line.h"

namespace kivo::interpreter {

namespace {

bool isSeparator(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<std::string> splitCommandLine(std::string_view line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size() && isSeparator(line[i])) ++i;
    if (i == line.size()) return words;

    // The program word: quotes only group, backslashes are path separators.
    std::string program;
    if (line[i] == '"') {
        for (++i; i < line.size() && line[i] != '"'; ++i) program += line[i];
        if (i < line.size()) ++i;
    } else {
        for (; i < line.size() && !isSeparator(line[i]); ++i) program += line[i];
    }
    words.push_back(std::move(program));

    while (true) {
        while (i < line.size() && isSeparator(line[i])) ++i;
        if (i == line.size()) break;
        std::string word;
        bool quoted = false;
        while (i < line.size() && (quoted || !isSeparator(line[i]))) {
            if (line[i] == '\\') {
                std::size_t backslashes = 0;
                while (i < line.size() && line[i] == '\\') ++backslashes, ++i;
                if (i < line.size() && line[i] == '"') {
                    word.append(backslashes / 2, '\\');
                    if (backslashes % 2 == 1) {
                        word += '"';
                        ++i;
                    }
                } else {
                    word.append(backslashes, '\\');
                }
            } else if (line[i] == '"') {
                if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                    word += '"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                word += line[i++];
            }
        }
        words.push_back(std::move(word));
    }
    return words;
}

}  // namespace kivo::interpreter
