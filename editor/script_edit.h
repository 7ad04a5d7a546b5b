#pragma once
#include <QPlainTextEdit>

namespace kivo::editor {

class ScriptHighlighter;

/// The script editor: highlighted and checked as kivo reads the script, with a margin of line
/// numbers and marks. A mark's message shows as the margin's tooltip and, while the caret is
/// on its line, through lineMessage (the status bar).
class ScriptEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ScriptEdit(QWidget* parent = nullptr);

    ScriptHighlighter* highlighter() const { return highlighter_; }
    QWidget* margin() const { return margin_; }
    int marginWidth() const;
    /// The messages of the marks on a line (one line each), empty when it has none.
    QString messagesAt(int line, bool oneLine) const;

signals:
    /// The caret's line carries a mark with this message; empty when it carries none.
    void lineMessage(const QString& message);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class ScriptMargin;
    void paintMargin(QPaintEvent* event);
    bool marginToolTip(QHelpEvent* event);
    void caretMoved();

    ScriptHighlighter* highlighter_;
    QWidget* margin_;
    QString shownMessage_;
};

}  // namespace kivo::editor
