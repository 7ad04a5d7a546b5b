#pragma once
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "language/line_analysis.h"

// The script check of kivo-check and scriptdesk. What it can know is what kivo refuses before
// a command runs: line and word lengths, unknown words, argument fields that do not scan or
// are too few or too many, jumps to labels the script does not define. What a command finds
// only while it runs (the board, files, values) is out of its reach.
namespace kivo::language {

enum class Severity { Error, Warning };

struct Finding {
    int line = 0;  ///< document line, from 0
    int begin = 0, end = 0;  ///< columns marked
    Severity severity = Severity::Error;
    /// Windows-1250. For an error, what kivo prints when it refuses the line (several lines,
    /// as on its console, without the closing lines every failure ends with).
    std::string message;
};

/// How many times each label is defined.
using LabelCounts = std::unordered_map<std::string, int>;
LabelCounts labelCounts(std::string_view script);

/// The findings of one analysed line.
std::vector<Finding> checkLine(const LineAnalysis& line, int lineNumber, std::string_view documentLine,
                               const LabelCounts& labels);

/// The findings of a whole script, in line order.
std::vector<Finding> checkScript(std::string_view script);

/// A message on one line: its lines without the blanks around them, joined by " / ".
std::string oneLine(std::string_view message);

}  // namespace kivo::language
