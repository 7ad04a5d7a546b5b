#pragma once
#include <QWidget>

class QAction;
class QPlainTextEdit;

namespace kivo::editor {

class TMainForm;

/// A document window: one script edited as plain text.
class TMDIChild : public QWidget {
    Q_OBJECT
public:
    explicit TMDIChild(TMainForm& mainForm);

    QPlainTextEdit* Memo;
    QAction* aHelp;        ///< F1: help on the selected command word

    /// Full path the text was loaded from or last saved to; empty for a never saved document.
    QString FileName;
    /// True when Save has something to write (see the main window's Save).
    bool Changed = true;

    /// The editor's own edited flag: set by any change of the text, cleared by loading.
    bool memoModified() const { return memoModified_; }
    void setMemoModified(bool modified) { memoModified_ = modified; }

    /// The script as it stands in the editor, lines separated by "\n". Unlike toPlainText it
    /// keeps no-break spaces, which are a character of the script's code page like any other.
    QString scriptText() const;

    /// Replaces the text as a load does: the change is reported, the edited flag ends cleared.
    void loadText(const QString& text);

    /// Inserts the text and a line break at the start of the (displayed) line that holds the
    /// start of the selection; the caret ends where it was, at the start of that line.
    void InsertLine(const QString& text);

public slots:
    void FormActivate();
    void MemoChange();
    void aHelpExecute();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    TMainForm& mainForm_;
    bool memoModified_ = false;
    bool loading_ = false;
};

}  // namespace kivo::editor
