#pragma once
#include <string_view>
#include <vector>

#include "language/line_analysis.h"

// The pieces of a script line for highlighting, as kivo reads the line.
namespace kivo::language {

enum class TokenKind {
    Command,          ///< a command word
    Family,           ///< the family part of a prefixed word (stat, go, gobit, waitbit, la, adc)
    Member,           ///< what follows the family part (the operator, digit or subcommand)
    Unknown,          ///< a word kivo does not know, or a field that does not scan
    Hex,              ///< a field read as hexadecimal
    Decimal,          ///< a field read as decimal
    Name,             ///< a file name or other word field
    LabelDefinition,  ///< ':' and the label name
    JumpTarget,       ///< the label a jump goes to
    Comment,          ///< text kivo does not execute
    Quoted,           ///< between a pair of quotes, quotes included (laid over the others)
    Vanishing,        ///< underscores the preparation removes (laid over the others)
};

struct Token {
    int begin = 0, end = 0;  ///< document columns
    TokenKind kind = TokenKind::Comment;
};

/// The tokens of an analysed line, the overlays (Quoted, Vanishing) last.
std::vector<Token> tokensOf(const LineAnalysis& line, std::string_view documentLine);

}  // namespace kivo::language
