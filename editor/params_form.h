#pragma once
#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace kivo::editor {

class UiServices;

/// The settings dialog, made for one use. The raw image controls exist but stay hidden.
class TfParams : public QDialog {
    Q_OBJECT
public:
    TfParams(UiServices& ui, QWidget* parent);

    QLabel* Label1;
    QLineEdit* eKivoPath;         ///< read-only: the interpreter's path
    QToolButton* SpeedButton1;    ///< "...": choose the interpreter
    QToolButton* SpeedButton3;    ///< empties eKivoPath
    QPushButton* ButtonOK;
    QPushButton* ButtonCancel;
    QCheckBox* cbGeneruj;         ///< hidden
    QLabel* LabelViewer;          ///< hidden
    QLineEdit* eViewerPath;       ///< hidden, read-only
    QToolButton* SpeedButton2;    ///< hidden "..." for the viewer
    QToolButton* SpeedButton4;    ///< hidden, empties eViewerPath
    QCheckBox* cbViewRaw;         ///< hidden

    /// The dialog's own generate flag; false for every new dialog.
    bool generateRaw() const { return generate_; }
    QString viewerPath() const;
    bool viewRaw() const;

public slots:
    void cbGenerujClick();
    void FormActivate();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void chooseExecutable(QLineEdit* target);

    UiServices& ui_;
    bool generate_ = false;
};

}  // namespace kivo::editor
