#pragma once
#include <QDialog>

class QLineEdit;
class QPushButton;
class QToolButton;

namespace kivo::editor {

class ScriptRunner;

/// The hidden raw image tool: turns a run's ".out" samples into a ".raw" image and shows it.
class TfrawGenetaror : public QDialog {
    Q_OBJECT
public:
    TfrawGenetaror(ScriptRunner& runner, QWidget* parent);

    QLineEdit* eInput;
    QLineEdit* eOutput;
    QToolButton* SpeedButton1;   ///< "...": choose the input
    QToolButton* SpeedButton2;   ///< "..": choose the output
    QPushButton* Button1;        ///< "Generate RAW"
    QPushButton* Button4;        ///< "View RAW"
    QPushButton* Button2;        ///< "Ok"
    QPushButton* Button3;        ///< "Cancel"

public slots:
    void Button1Click();
    void Button4Click();

private:
    ScriptRunner& runner_;
};

}  // namespace kivo::editor
