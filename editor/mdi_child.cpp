#include "editor/mdi_child.h"

#include "editor/command_table.h"
#include "editor/script_edit.h"
#include "editor/script_file.h"
#include "editor/ui_services.h"

#include <QAction>
#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QVBoxLayout>

namespace kivo::editor {

TMDIChild::TMDIChild(UiServices& ui, FileDialogMemory& dialogs) : ui_(ui), dialogs_(dialogs) {
    setAttribute(Qt::WA_DeleteOnClose);
    resize(355, 249);

    Memo = new ScriptEdit(this);
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

void TMDIChild::loadFile(const QString& path) {
    FileName = path;
    const ScriptFile::LoadResult loaded = ScriptFile::load(path);
    if (!loaded.ok)
        ui_.notice(this, loaded.error);
    loadText(loaded.text);
    // Set again after the load, so that closing asks about any later edit.
    memoModified_ = true;
}

bool TMDIChild::save() { return saveTo(false); }

bool TMDIChild::saveAs() { return saveTo(true); }

bool TMDIChild::saveTo(bool asAgain) {
    QString path = FileName;
    if (asAgain || path.isEmpty()) {
        const UiServices::FileChoice choice =
            ui_.saveFile(this, asAgain ? QStringLiteral("Save As") : QStringLiteral("Save"), dialogs_.saveFileName,
                         QString::fromLatin1(kScriptFilter));
        if (choice.path.isEmpty())
            return false;
        dialogs_.saveFileName = choice.path;
        path = choice.path;
        // Any dot counts, even one in a directory name: then the name is taken as given.
        if (choice.filterIndex == 0 && !path.contains(QLatin1Char('.')))
            path += QStringLiteral(".txt");
    }
    const ScriptFile::SaveResult written = ScriptFile::save(path, scriptText());
    if (!written.ok) {
        ui_.notice(this, written.error);
        return false;
    }
    FileName = path;
    setWindowTitle(path);
    Changed = false;
    emit saved();
    return true;
}

void TMDIChild::deleteForward() {
    QTextCursor cursor = Memo->textCursor();
    if (cursor.hasSelection())
        cursor.removeSelectedText();
    else
        cursor.deleteChar();
    Memo->setTextCursor(cursor);
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

void TMDIChild::MemoChange() {
    Changed = memoModified_;
    emit edited();
}

void TMDIChild::aHelpExecute() {
    const QString selection = Memo->textCursor().selectedText();
    if (selection.isEmpty()) {
        emit helpRequested({});
        return;
    }
    if (const auto anchor = helpAnchorForSelection(selection))
        emit helpRequested(*anchor);
}

void TMDIChild::closeEvent(QCloseEvent* event) {
    if (Changed && memoModified_) {
        const auto answer = ui_.ask(this, QStringLiteral("KIVO Voraraz Udide"),
                                    QStringLiteral("The current file has changed. Save changes?"),
                                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Question);
        // A save that does not happen (dialog cancelled, write failed) keeps the window, so
        // that answering Yes can never lose the text.
        if (answer == QMessageBox::Cancel || answer == QMessageBox::NoButton ||
            (answer == QMessageBox::Yes && !save())) {
            event->ignore();
            return;
        }
    }
    event->accept();
    closed_ = true;
    emit closed();
}

}  // namespace kivo::editor
