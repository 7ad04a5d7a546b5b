#pragma once
#include <QWidget>

class QAction;
class QPlainTextEdit;

namespace kivo::editor {

class UiServices;
struct FileDialogMemory;

/// A document window: one script edited as plain text. It loads and saves itself and tells
/// the main window through its signals what the status bar and the menus should show.
class TMDIChild : public QWidget {
    Q_OBJECT
public:
    TMDIChild(UiServices& ui, FileDialogMemory& dialogs);

    QPlainTextEdit* Memo;
    QAction* aHelp;        ///< F1: help on the selected command word

    /// Full path the text was loaded from or last saved to; empty for a never saved document.
    QString FileName;
    /// True when Save has something to write: a new document, or an edit since the last save.
    bool Changed = true;

    /// The editor's own edited flag: set by any change of the text, cleared by loading.
    bool memoModified() const { return memoModified_; }
    void setMemoModified(bool modified) { memoModified_ = modified; }

    /// The script as it stands in the editor, lines separated by "\n". Unlike toPlainText it
    /// keeps no-break spaces, which are a character of the script's code page like any other.
    QString scriptText() const;

    /// Replaces the text as a load does: the change is reported, the edited flag ends cleared.
    void loadText(const QString& text);

    /// Loads the file as the document's text; an unreadable file is reported and leaves the
    /// document empty, though still named after the file.
    void loadFile(const QString& path);

    /// Writes the document to FileName, asking for a name when it has none; false when
    /// nothing was written.
    bool save();
    /// Writes the document under a name asked for; false when nothing was written.
    bool saveAs();

    /// True once the window has accepted to close: it stays in the MDI area until it is
    /// deleted, but it is no longer a document.
    bool hasClosed() const { return closed_; }

    /// Deletes the selection, or without one the character after the caret: the Del key is
    /// the Edit menu's Delete shortcut, so it must still delete forward.
    void deleteForward();

    /// Inserts the text and a line break at the start of the (displayed) line that holds the
    /// start of the selection; the caret ends where it was, at the start of that line.
    void InsertLine(const QString& text);

signals:
    /// The text changed.
    void edited();
    /// The text was written to FileName.
    void saved();
    /// F1 asked for the help page, at the anchor when there is one.
    void helpRequested(const QString& anchor);
    /// The window accepted to close.
    void closed();

public slots:
    void MemoChange();
    void aHelpExecute();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool saveTo(bool askForName);

    UiServices& ui_;
    FileDialogMemory& dialogs_;
    bool memoModified_ = false;
    bool loading_ = false;
    bool closed_ = false;
};

}  // namespace kivo::editor
