#pragma once
#include <QDialog>
#include <QString>
#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QAction;

namespace kivo::editor {

/// The command the parameter dialog is asking values for: set by the last dialog item chosen.
struct PendingCommand {
    QString Keyword;                    ///< begins the inserted line; ":" for a label
    int FieldCount = 0;                 ///< 1..6
    std::array<QString, 6> FieldLabels; ///< only the first FieldCount are shown
    QString GroupCaption;               ///< caption of the group box; "&&" shows "&"
    QString HelpTarget;                 ///< help page path + "#" + anchor
};

/// The non-modal parameter dialog of the command menu. It is created once and only shown and
/// hidden; its layout and empty fields are made each time it goes from hidden to shown.
class TDialog : public QDialog {
    Q_OBJECT
public:
    TDialog(const PendingCommand& pending, QWidget* parent);

    /// The line OK inserts for the pending command and the texts in the fields.
    QString buildLine() const;

    QGroupBox* GroupBox;
    std::array<QLineEdit*, 6> Edits;     ///< Edit1 .. Edit6
    std::array<QLabel*, 6> EditLabels;   ///< the caption above each edit
    QPushButton* Button_OK;
    QPushButton* Button_Cancel;
    QToolButton* sbHelp;
    QAction* aHelp;                      ///< F1

signals:
    /// OK was pressed; the receiver inserts the line if a document is active.
    void lineAccepted(const QString& line);
    /// Help was asked for the pending command.
    void helpRequested(const QString& helpTarget);

public slots:
    void FormShow();
    void Button_OKClick();
    void Button_CancelClick();
    void aHelpExecute();

protected:
    void showEvent(QShowEvent* event) override;

private:
    const PendingCommand& pending_;
};

}  // namespace kivo::editor
