#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Labels and jumps of a script as kivo sees them. Texts are the script's bytes
// (Windows-1250); lines are the document's lines, counted from 0 (a QTextBlock's number),
// split at LF with a CR before it dropped; columns are byte offsets in the line.
namespace kivo::language {

/// A label definition: a line whose first non-blank character is ':' (on the very first line
/// of the script the ':' must be the first character). The name runs to the first space; a
/// tab does not end it.
struct LabelDefinition {
    std::string name;
    int line = 0;
    int begin = 0;  ///< column of the first character of the name (after the ':')
    int end = 0;    ///< column after the name
};

/// Every label definition in script order; a name may appear twice, and a jump reaches the
/// first one.
std::vector<LabelDefinition> labelsOf(std::string_view script);

/// Where a jump line sends the script: the label as kivo looks it up (after the line's
/// preparation: quotes gone, underscores outside quotes removed) and the columns of the
/// label word in the document line as written.
struct JumpTarget {
    std::string label;
    int begin = 0;
    int end = 0;
};

/// The label that the jump on line `line` of `script` targets (goto, loop, go<, go=, go>,
/// gobit0, gobit1 and the other spellings of those families); none when the line is no jump
/// kivo would run (a comment, inside a block comment, another command, or the label field
/// missing).
std::optional<JumpTarget> jumpTargetAt(std::string_view script, int line);

/// The first definition of `label` in `labels`, or nullptr.
const LabelDefinition* findLabel(const std::vector<LabelDefinition>& labels, std::string_view label);

}  // namespace kivo::language
