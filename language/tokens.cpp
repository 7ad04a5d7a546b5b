#include "language/tokens.h"

#include "interpreter/core_commands.h"

namespace kivo::language {

std::vector<Token> tokensOf(const LineAnalysis& a, std::string_view documentLine) {
    std::vector<Token> tokens;
    if (!a.read) return tokens;
    const int lineEnd = a.offset + static_cast<int>(a.text.size());
    if (a.label) {
        const std::size_t space = a.text.find(' ');
        const int nameEnd = space == std::string_view::npos ? lineEnd : a.offset + static_cast<int>(space);
        tokens.push_back({a.offset, nameEnd, TokenKind::LabelDefinition});
        if (nameEnd < lineEnd) tokens.push_back({nameEnd, lineEnd, TokenKind::Comment});
        return tokens;
    }
    if (a.text.size() < 2) return tokens;
    if (a.commentFrom < lineEnd) tokens.push_back({a.commentFrom, lineEnd, TokenKind::Comment});
    if (a.prepared < 0 || a.origin.empty()) return tokens;

    // A prepared range as document columns; the removed underscores inside it go with it.
    auto add = [&](std::size_t b, std::size_t e, TokenKind kind) {
        if (e <= b) return;
        tokens.push_back({a.column(b), a.column(e - 1) + 1, kind});
    };
    if (a.split) {
        const std::size_t kb = a.keywordBegin, ke = a.keywordEnd;
        if (!a.command) {
            add(kb, ke, TokenKind::Unknown);
        } else if (a.command->match == interpreter::Match::Exact) {
            add(kb, ke, TokenKind::Command);
        } else {
            const std::size_t split = kb + a.command->keyword.size();
            add(kb, split, TokenKind::Family);
            add(split, ke, a.syntax.unknown ? TokenKind::Unknown : TokenKind::Member);
        }
        const std::optional<LabelField> label = jumpLabel(a);
        for (const Field& field : fieldsOf(a)) {
            TokenKind kind = field.conversion == 's' ? TokenKind::Name
                             : field.conversion == 'd' ? TokenKind::Decimal
                                                       : TokenKind::Hex;
            if (!field.read) kind = TokenKind::Unknown;
            if (label && label->begin == field.begin) kind = TokenKind::JumpTarget;
            add(field.begin, field.end, kind);
        }
        if (label && a.command->run == interpreter::runGoto) add(label->begin, label->end, TokenKind::JumpTarget);
    }

    // Quotes that the preparation turned into blanks open and close quoted text.
    int open = -1;
    for (std::size_t p = 0; p < a.origin.size(); ++p) {
        const int c = a.origin[p];
        if (documentLine[static_cast<std::size_t>(c)] != '"' || a.preparedText[p] != ' ') continue;
        if (open < 0) {
            open = c;
        } else {
            tokens.push_back({open, c + 1, TokenKind::Quoted});
            open = -1;
        }
    }
    if (open >= 0) tokens.push_back({open, a.commentFrom, TokenKind::Quoted});

    std::vector<bool> kept(documentLine.size() + 1, false);
    for (int c : a.origin) kept[static_cast<std::size_t>(c)] = true;
    for (int c = a.offset; c < a.commentFrom; ++c) {
        if (kept[static_cast<std::size_t>(c)] || documentLine[static_cast<std::size_t>(c)] != '_') continue;
        int e = c;
        while (e < a.commentFrom && !kept[static_cast<std::size_t>(e)] && documentLine[static_cast<std::size_t>(e)] == '_') ++e;
        tokens.push_back({c, e, TokenKind::Vanishing});
        c = e - 1;
    }
    return tokens;
}

}  // namespace kivo::language
