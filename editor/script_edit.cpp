#include "editor/script_edit.h"

#include <QHelpEvent>
#include <QPainter>
#include <QTextBlock>
#include <QToolTip>

#include "editor/script_highlighter.h"
#include "editor/windows1250.h"

namespace kivo::editor {

class ScriptMargin : public QWidget {
public:
    explicit ScriptMargin(ScriptEdit* edit) : QWidget(edit), edit_(edit) {}
    QSize sizeHint() const override { return {edit_->marginWidth(), 0}; }

protected:
    void paintEvent(QPaintEvent* event) override { edit_->paintMargin(event); }
    bool event(QEvent* event) override {
        if (event->type() == QEvent::ToolTip) return edit_->marginToolTip(static_cast<QHelpEvent*>(event));
        return QWidget::event(event);
    }

private:
    ScriptEdit* edit_;
};

ScriptEdit::ScriptEdit(QWidget* parent)
    : QPlainTextEdit(parent), highlighter_(new ScriptHighlighter(document())), margin_(new ScriptMargin(this)) {
    margin_->setObjectName(QStringLiteral("ScriptMargin"));
    // Only a new number of digits moves the text: a load changes the count once per line.
    connect(this, &QPlainTextEdit::blockCountChanged, this, [this] {
        if (marginWidth() == margin_->width()) return;
        setViewportMargins(marginWidth(), 0, 0, 0);
        const QRect r = contentsRect();
        margin_->setGeometry(QRect(r.left(), r.top(), marginWidth(), r.height()));
    });
    connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect& rect, int dy) {
        if (dy)
            margin_->scroll(0, dy);
        else
            margin_->update(0, rect.y(), margin_->width(), rect.height());
    });
    connect(highlighter_, &ScriptHighlighter::marksChanged, margin_, qOverload<>(&QWidget::update));
    connect(highlighter_, &ScriptHighlighter::marksChanged, this, &ScriptEdit::caretMoved);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &ScriptEdit::caretMoved);
    setViewportMargins(marginWidth(), 0, 0, 0);
    margin_->resize(marginWidth(), 0);
}

int ScriptEdit::marginWidth() const {
    int digits = 1;
    for (int n = qMax(1, blockCount()); n >= 10; n /= 10) ++digits;
    // Room for the mark before the number.
    return fontMetrics().horizontalAdvance(QLatin1Char('9')) * (digits + 2) + 6;
}

void ScriptEdit::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    const QRect r = contentsRect();
    margin_->setGeometry(QRect(r.left(), r.top(), marginWidth(), r.height()));
}

QString ScriptEdit::messagesAt(int line, bool oneLine) const {
    const LineMarks* marks = ScriptHighlighter::marksOf(document()->findBlockByNumber(line));
    QStringList messages;
    if (marks)
        for (const language::Finding& f : marks->findings) {
            const std::string text = oneLine ? language::oneLine(f.message) : f.message;
            messages << fromWindows1250(QByteArray(text.data(), static_cast<qsizetype>(text.size()))).trimmed();
        }
    return messages.join(QLatin1Char('\n'));
}

void ScriptEdit::paintMargin(QPaintEvent* event) {
    QPainter painter(margin_);
    painter.fillRect(event->rect(), QColor(0xF0, 0xF0, 0xF0));
    const int width = margin_->width();
    const int cell = fontMetrics().height();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF box = blockBoundingGeometry(block).translated(contentOffset());
        if (box.top() > event->rect().bottom()) break;
        if (!block.isVisible() || box.bottom() < event->rect().top()) continue;
        const int top = qRound(box.top());
        painter.setPen(QColor(0x80, 0x80, 0x80));
        painter.drawText(0, top, width - 3, cell, Qt::AlignRight, QString::number(block.blockNumber() + 1));
        const LineMarks* marks = ScriptHighlighter::marksOf(block);
        if (!marks || marks->findings.empty()) continue;
        bool error = false;
        for (const language::Finding& f : marks->findings) error |= f.severity == language::Severity::Error;
        const int d = qMax(6, cell - 6);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(error ? QColor(0xD0, 0x10, 0x10) : QColor(0xE8, 0x98, 0x00));
        painter.drawEllipse(2, top + (cell - d) / 2, d, d);
    }
}

bool ScriptEdit::marginToolTip(QHelpEvent* event) {
    const QTextBlock block = cursorForPosition(QPoint(0, event->pos().y())).block();
    const QString text = messagesAt(block.blockNumber(), false);
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPos(), text, margin_);
    return true;
}

void ScriptEdit::caretMoved() {
    const QString message = messagesAt(textCursor().blockNumber(), true);
    if (message == shownMessage_) return;
    shownMessage_ = message;
    emit lineMessage(message);
}

}  // namespace kivo::editor
