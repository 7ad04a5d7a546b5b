#pragma once
#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <memory>
#include <cstdint>
#include <set>
#include <unordered_map>
#include <vector>
#include <string>

#include "language/check.h"
#include "language/tokens.h"

namespace kivo::editor {

/// What the highlighter learned about one line: its marks for the margin and whether it
/// defines a label or jumps to one.
struct LineMarks {
    std::vector<language::Finding> findings;
    bool hasLabel = false;
    std::string label;
    bool jumps = false;
    std::string jumpLabel;
    bool jumpMarked = false;  ///< the jump was marked as going nowhere
};

/// Highlights a script as kivo reads it and checks each line as it does so. The block state
/// carries kivo's block-comment flag, so an edit re-highlights only the lines it changed and
/// those whose comment state it changed. Jumps are checked against the labels the document
/// defines; when a label appears or goes, only the lines that jump to it are looked at again.
class ScriptHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    explicit ScriptHighlighter(QTextDocument* document);

    /// The marks of a line; nullptr before it has been highlighted.
    static const LineMarks* marksOf(const QTextBlock& block);

    /// The format a token kind is drawn with (for tests and the legend).
    QTextCharFormat formatOf(language::TokenKind kind) const;

signals:
    /// The marks of some lines changed: the margin repaints.
    void marksChanged();

protected:
    void highlightBlock(const QString& text) override;

private:
    struct LabelIndex;
    class BlockData;
    void recheckJumps();
    static constexpr int kLargeChange = 4096;

    // What one column of the line is drawn as.
    enum : std::uint8_t { kQuoted = 1, kVanishing = 2, kWarning = 4, kError = 8 };
    struct Column {
        std::int8_t kind = -1;  ///< a TokenKind, -1 for none
        std::uint8_t overlays = 0;
        bool operator==(const Column&) const = default;
    };
    const QTextCharFormat& composite(Column column);
    std::vector<Column> columns_;
    std::unordered_map<int, QTextCharFormat> composites_;

    std::shared_ptr<LabelIndex> labels_;
    bool recheckPending_ = false;
    bool notifyPending_ = false;
    QTextCharFormat formats_[12];
    QTextCharFormat errorFormat_, warningFormat_;
};

}  // namespace kivo::editor
