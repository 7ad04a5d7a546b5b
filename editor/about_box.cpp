#include "editor/about_box.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace kivo::editor {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(298, 218);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(8, 8, 281, 161);

    auto* productName = new QLabel(QStringLiteral("KIVO Voraraz Udide"), panel);
    productName->setObjectName(QStringLiteral("ProductName"));
    productName->setGeometry(16, 16, 250, 16);
    auto* version = new QLabel(QStringLiteral("Version 1.1"), panel);
    version->setObjectName(QStringLiteral("Version"));
    version->setGeometry(16, 40, 250, 16);
    auto* shortName = new QLabel(QStringLiteral("KIVO"), panel);
    shortName->setObjectName(QStringLiteral("ShortName"));
    QFont big(QStringLiteral("Arial"), 36, QFont::Bold);
    shortName->setFont(big);
    shortName->setStyleSheet(QStringLiteral("color: red;"));
    shortName->setAlignment(Qt::AlignCenter);
    shortName->setGeometry(16, 72, 250, 72);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    OKButton->setGeometry(111, 180, 75, 25);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutBox::showEvent(QShowEvent* event) {
    // Centred on the screen, not on the main window.
    if (QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

}  // namespace kivo::editor
