#include "editor/params_form.h"

#include "editor/icons.h"
#include "editor/ui_services.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace kivo::editor {
namespace {

const QString kExeFilter = QStringLiteral("Exe files (*.exe)|*.exe|All files (*.*)|*.*");

QToolButton* makeToolButton(QWidget* parent, const char* name, QRect geometry) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    return button;
}

}  // namespace

TfParams::TfParams(UiServices& ui, QWidget* parent) : QDialog(parent), ui_(ui) {
    setObjectName(QStringLiteral("fParams"));
    setWindowTitle(QStringLiteral("KIVO Voraraz Udide - Params"));
    setFixedSize(413, 133);

    Label1 = new QLabel(QStringLiteral("Path to kivo.exe"), this);
    Label1->setGeometry(8, 8, 300, 16);
    eKivoPath = new QLineEdit(this);
    eKivoPath->setObjectName(QStringLiteral("eKivoPath"));
    eKivoPath->setReadOnly(true);
    eKivoPath->setGeometry(8, 26, 337, 22);
    SpeedButton1 = makeToolButton(this, "SpeedButton1", {349, 26, 25, 22});
    SpeedButton1->setText(QStringLiteral("..."));
    SpeedButton3 = makeToolButton(this, "SpeedButton3", {378, 26, 25, 22});
    SpeedButton3->setIcon(toolIcon(ToolImage::Clear));

    // The raw image settings: present, never shown.
    cbGeneruj = new QCheckBox(QStringLiteral("Generuj plik raw po kompilacji"), this);
    cbGeneruj->setObjectName(QStringLiteral("cbGeneruj"));
    cbGeneruj->setGeometry(8, 56, 250, 18);
    LabelViewer = new QLabel(this);
    eViewerPath = new QLineEdit(this);
    eViewerPath->setObjectName(QStringLiteral("eViewerPath"));
    eViewerPath->setReadOnly(true);
    SpeedButton2 = makeToolButton(this, "SpeedButton2", {});
    SpeedButton2->setText(QStringLiteral("..."));
    SpeedButton4 = makeToolButton(this, "SpeedButton4", {});
    SpeedButton4->setIcon(toolIcon(ToolImage::Clear));
    cbViewRaw = new QCheckBox(QStringLiteral("Podgląd pliku Raw po kompilacji"), this);
    cbViewRaw->setObjectName(QStringLiteral("cbViewRaw"));
    for (QWidget* hidden : std::initializer_list<QWidget*>{cbGeneruj, LabelViewer, eViewerPath,
                                                           SpeedButton2, SpeedButton4, cbViewRaw})
        hidden->setVisible(false);

    ButtonOK = new QPushButton(QStringLiteral("&OK"), this);
    ButtonOK->setObjectName(QStringLiteral("BitBtn1"));
    ButtonOK->setGeometry(240, 98, 75, 25);
    ButtonOK->setDefault(true);
    ButtonCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    ButtonCancel->setObjectName(QStringLiteral("BitBtn2"));
    ButtonCancel->setGeometry(328, 98, 75, 25);

    connect(SpeedButton1, &QToolButton::clicked, this, [this] { chooseExecutable(eKivoPath); });
    connect(SpeedButton3, &QToolButton::clicked, eKivoPath, &QLineEdit::clear);
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { chooseExecutable(eViewerPath); });
    connect(SpeedButton4, &QToolButton::clicked, eViewerPath, &QLineEdit::clear);
    connect(cbGeneruj, &QCheckBox::clicked, this, &TfParams::cbGenerujClick);
    connect(ButtonOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString TfParams::viewerPath() const { return eViewerPath->text(); }

bool TfParams::viewRaw() const { return cbViewRaw->isChecked(); }

void TfParams::chooseExecutable(QLineEdit* target) {
    const UiServices::FileChoice choice = ui_.openFile(this, QStringLiteral("Open"), target->text(), kExeFilter);
    if (!choice.path.isEmpty())
        target->setText(choice.path);
}

void TfParams::cbGenerujClick() { generate_ = cbGeneruj->isChecked(); }

void TfParams::FormActivate() {
    if (generate_)
        cbGeneruj->setChecked(true);
}

void TfParams::showEvent(QShowEvent* event) {
    FormActivate();
    QDialog::showEvent(event);
}

}  // namespace kivo::editor
