#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "interpreter/command.h"
#include "interpreter/runner.h"
#include "interpreter/script.h"

// One script line taken apart by kivo's own reading, preparation, splitting and command table,
// with the columns of the document line that each prepared character came from.
namespace kivo::language {

/// The document lines of a script: the text ends at a Ctrl-Z as kivo reads it, lines end at
/// LF, a CR before the LF is dropped.
std::vector<std::string_view> documentLines(std::string_view script);

struct LineAnalysis {
    /// kivo reads the line (it is not blank); the fields below are set only then.
    bool read = false;
    /// Column where kivo's reading of the line starts: blanks at the start of a line are
    /// consumed with the end of the line before, except on the first line of the script.
    int offset = 0;
    /// The line as read: from `offset`, cut at a NUL byte; rawLength counts past the NUL.
    std::string_view text;
    std::size_t rawLength = 0;
    /// A label definition (':' first); never prepared.
    bool label = false;

    /// The line's preparation: the result of preprocessLine (-1: not executed) and the text.
    int prepared = -1;
    std::string preparedText;
    /// Document column of each prepared character.
    std::vector<int> origin;
    /// Document column where a comment starts, and where the prepared text's source ends;
    /// the length of the line when nothing is cut. The whole read line when it is skipped.
    int commentFrom = 0;

    /// The split: positions in preparedText; split is false when the prepared line holds no word.
    bool split = false;
    std::size_t keywordBegin = 0, keywordEnd = 0, argumentsBegin = 0;
    /// The command the word selects (nullptr: unknown word) and its syntax.
    const interpreter::Command* command = nullptr;
    interpreter::Syntax syntax;

    /// What kivo prints when it refuses the line before running it; empty when it does not.
    std::string refusal;

    std::string_view keyword() const {
        return std::string_view(preparedText).substr(keywordBegin, keywordEnd - keywordBegin);
    }
    std::string_view arguments() const { return std::string_view(preparedText).substr(argumentsBegin); }
    /// The name a label line defines: up to the first space (a tab does not end it).
    std::string_view labelName() const { return interpreter::Script::labelName(text); }
    /// The document column of prepared position `p` (the end of the prepared text maps to
    /// commentFrom).
    int column(std::size_t p) const { return p < origin.size() ? origin[p] : commentFrom; }
};

/// Takes `line` (a document line) apart; `firstLine` for the first line of the script;
/// `inBlockComment` is carried from line to line as kivo carries it.
LineAnalysis analyseLine(std::string_view line, bool firstLine, bool& inBlockComment);

/// A field of the arguments as the syntax's format reads it: prepared positions and the
/// conversion ('s', 'x', 'X' or 'd'); `read` is false for a field whose text does not parse.
struct Field {
    std::size_t begin = 0, end = 0;
    char conversion = 's';
    bool read = true;
};
std::vector<Field> fieldsOf(const LineAnalysis& line);

/// The jump label of an analysed line, in prepared positions: goto's text up to the first
/// space, the label field of loop and the go and gobit families. None for other lines and
/// for a missing label field.
struct LabelField {
    std::string label;
    /// The text kivo names when it does not find the label (goto passes its whole text).
    std::string asPassed;
    std::size_t begin = 0, end = 0;
};
std::optional<LabelField> jumpLabel(const LineAnalysis& line);

}  // namespace kivo::language
