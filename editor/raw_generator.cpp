#include "editor/raw_generator.h"

#include "editor/editor_settings.h"
#include "editor/script_runner.h"
#include "editor/ui_services.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace kivo::editor {

TfrawGenetaror::TfrawGenetaror(ScriptRunner& runner, QWidget* parent) : QDialog(parent), runner_(runner) {
    setObjectName(QStringLiteral("frawGenetaror"));
    setWindowTitle(QStringLiteral("RAW Generator"));
    setFixedSize(416, 179);

    auto* inputLabel = new QLabel(QStringLiteral("Plik wejsciowy .out"), this);
    inputLabel->setGeometry(8, 8, 300, 16);
    eInput = new QLineEdit(this);
    eInput->setObjectName(QStringLiteral("eInput"));
    eInput->setGeometry(8, 26, 361, 22);
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setText(QStringLiteral("..."));
    SpeedButton1->setGeometry(376, 26, 25, 22);

    auto* outputLabel = new QLabel(QStringLiteral("Plik wyjsciowy .raw"), this);
    outputLabel->setGeometry(8, 56, 300, 16);
    eOutput = new QLineEdit(this);
    eOutput->setObjectName(QStringLiteral("eOutput"));
    eOutput->setGeometry(8, 74, 361, 22);
    SpeedButton2 = new QToolButton(this);
    SpeedButton2->setText(QStringLiteral(".."));
    SpeedButton2->setGeometry(376, 74, 25, 22);

    Button1 = new QPushButton(QStringLiteral("Generate RAW"), this);
    Button1->setGeometry(8, 112, 90, 25);
    Button4 = new QPushButton(QStringLiteral("View RAW"), this);
    Button4->setGeometry(106, 112, 90, 25);
    Button2 = new QPushButton(QStringLiteral("Ok"), this);
    Button2->setGeometry(240, 146, 75, 25);
    Button3 = new QPushButton(QStringLiteral("Cancel"), this);
    Button3->setGeometry(328, 146, 75, 25);

    connect(SpeedButton1, &QToolButton::clicked, this, [this] {
        const auto choice = runner_.ui().openFile(this, QStringLiteral("Open"), eInput->text(), {});
        if (!choice.path.isEmpty())
            eInput->setText(choice.path);
    });
    connect(SpeedButton2, &QToolButton::clicked, this, [this] {
        const auto choice = runner_.ui().saveFile(this, QStringLiteral("Save"), eOutput->text(), {});
        if (!choice.path.isEmpty())
            eOutput->setText(choice.path);
    });
    connect(Button1, &QPushButton::clicked, this, &TfrawGenetaror::Button1Click);
    connect(Button4, &QPushButton::clicked, this, &TfrawGenetaror::Button4Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrawGenetaror::Button1Click() {
    if (!QFileInfo(eInput->text()).isFile()) {
        runner_.ui().notice(this, QStringLiteral("Nie podano pliku wejsciowego"));
        return;
    }
    if (eOutput->text().isEmpty()) {
        runner_.ui().notice(this, QStringLiteral("Nie podano pliku wyjsciowego"));
        return;
    }
    runner_.ConvertOutToRaw(eInput->text(), eOutput->text());
    runner_.ui().notice(this, QStringLiteral("Plik zaostal wygenerowany"));
}

void TfrawGenetaror::Button4Click() {
    if (!QFileInfo(eOutput->text()).isFile())
        return;
    const QString viewer = runner_.settings().ViewerPath;
    if (viewer.isEmpty() || !QFileInfo(viewer).isFile()) {
        runner_.ui().notice(this, QStringLiteral("Nie prawidlowa sciezka do pliku tracelens.exe"));
        return;
    }
    runner_.ShowInViewer(eOutput->text());
}

}  // namespace kivo::editor
