#pragma once
#include <QMessageBox>
#include <QString>
#include <QUrl>

class QDialog;
class QWidget;

namespace kivo::editor {

/// Everything the editor asks of the user or of the desktop, in one replaceable place, so
/// that tests can answer instead of a person.
class UiServices {
public:
    /// A file chosen in a file dialog; an empty path means the dialog was cancelled.
    struct FileChoice {
        QString path;
        int filterIndex = 0;  ///< 0-based index of the filter selected when the dialog closed
    };

    virtual ~UiServices() = default;

    /// A notice: caption "Komunikat", warning icon, OK button.
    virtual void notice(QWidget* parent, const QString& text);

    /// A question with the given buttons; returns the button pressed.
    virtual QMessageBox::StandardButton ask(QWidget* parent, const QString& caption,
                                            const QString& text, QMessageBox::StandardButtons buttons,
                                            QMessageBox::Icon icon);

    /// The open-file dialog. filter is "Caption|pattern|Caption|pattern"; empty for none.
    virtual FileChoice openFile(QWidget* parent, const QString& title, const QString& fileName,
                                const QString& filter);

    /// The save-file dialog; it asks before an existing file is overwritten.
    virtual FileChoice saveFile(QWidget* parent, const QString& title, const QString& fileName,
                                const QString& filter);

    /// Runs a modal dialog and returns its result.
    virtual int exec(QDialog& dialog);

    /// Shows a page in the system's web browser; false when nothing could be started.
    virtual bool openUrl(const QUrl& url);
};

/// The filter of the dialogs that open and save scripts.
inline constexpr char kScriptFilter[] = "Text files (*.txt)|*.TXT|All files (*.*)|*.*";

/// What the main window's file dialogs remember between uses: a later dialog starts where the
/// last one ended, and the save dialog proposes the name last chosen in either.
struct FileDialogMemory {
    QString openFilter = QStringLiteral("All files (*.*)|*.*");
    QString openFileName;
    QString saveFileName;
};

/// The Qt file-dialog filters for a "Caption|pattern|..." filter.
QStringList qtFileFilters(const QString& filter);

}  // namespace kivo::editor
