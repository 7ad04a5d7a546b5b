#include "editor/mdi_child.h"

#include "editor/command_table.h"
#include "editor/main_form.h"

#include <QAction>
#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QVBoxLayout>

namespace kivo::editor {

TMDIChild::TMDIChild(TMainForm& mainForm) : mainForm_(mainForm) {
    setAttribute(Qt::WA_DeleteOnClose);
    resize(355, 249);

    Memo = new QPlainTextEdit(this);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    Memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo->setTabChangesFocus(false);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo);
    setFocusProxy(Memo);

    aHelp = new QAction(QStringLiteral("Help"), this);
    aHelp->setObjectName(QStringLiteral("aHelp"));
    aHelp->setShortcut(QKeySequence(Qt::Key_F1));
    aHelp->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(aHelp);

    connect(Memo, &QPlainTextEdit::textChanged, this, [this] {
        if (!loading_)
            memoModified_ = true;
        MemoChange();
    });
    connect(aHelp, &QAction::triggered, this, &TMDIChild::aHelpExecute);
}

void TMDIChild::loadText(const QString& text) {
    loading_ = true;
    memoModified_ = false;
    Memo->setPlainText(text);
    loading_ = false;
}

QString TMDIChild::scriptText() const {
    QString text = Memo->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

void TMDIChild::InsertLine(const QString& text) {
    QTextCursor cursor = Memo->textCursor();
    cursor.setPosition(cursor.selectionStart());
    // StartOfLine follows the wrapped lines as they are displayed.
    if (!cursor.movePosition(QTextCursor::StartOfLine))
        cursor.movePosition(QTextCursor::StartOfBlock);
    cursor.insertText(text + QLatin1Char('\n'));
    Memo->setTextCursor(cursor);
}

void TMDIChild::FormActivate() { mainForm_.setStatusPanel(1, FileName); }

void TMDIChild::MemoChange() {
    mainForm_.setStatusPanel(0, QStringLiteral("Modified"));
    mainForm_.setStatusPanel(1, FileName);
    Changed = memoModified_;
}

void TMDIChild::aHelpExecute() {
    const QString selection = Memo->textCursor().selectedText();
    if (selection.isEmpty()) {
        mainForm_.openHelp({});
        return;
    }
    if (const auto anchor = helpAnchorForSelection(selection))
        mainForm_.openHelp(*anchor);
}

void TMDIChild::closeEvent(QCloseEvent* event) {
    if (Changed && memoModified_) {
        const auto answer = mainForm_.ui().ask(
            this, QStringLiteral("KIVO Voraraz Udide"),
            QStringLiteral("The current file has changed. Save changes?"),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Question);
        // A save that does not happen (dialog cancelled, write failed) keeps the window, so
        // that answering Yes can never lose the text.
        if (answer == QMessageBox::Cancel || answer == QMessageBox::NoButton ||
            (answer == QMessageBox::Yes && !mainForm_.saveDocument(*this, false))) {
            event->ignore();
            return;
        }
    }
    event->accept();
    mainForm_.documentClosed(*this);
}

}  // namespace kivo::editor
