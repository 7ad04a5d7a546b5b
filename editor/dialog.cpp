#include "editor/dialog.h"

#include "editor/icons.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>

#include <algorithm>

namespace kivo::editor {
namespace {

constexpr int kDialogWidth = 280;
constexpr int kGroupTop = 8;
constexpr int kFieldPitch = 40;
constexpr int kEditLeft = 8;
constexpr int kEditWidth = 233;
constexpr int kEditHeight = 21;
constexpr int kLabelHeight = 13;
constexpr int kLabelGap = 3;

}  // namespace

TDialog::TDialog(const PendingCommand& pending, QWidget* parent)
    : QDialog(parent), pending_(pending) {
    setObjectName(QStringLiteral("Dialog"));
    setWindowTitle(QStringLiteral("KIVO Command"));
    setModal(false);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    GroupBox = new QGroupBox(this);
    GroupBox->setObjectName(QStringLiteral("GroupBox"));
    GroupBox->setGeometry(8, kGroupTop, 257, 80);
    for (int i = 0; i < 6; ++i) {
        const int top = kFieldPitch * (i + 1);
        Edits[i] = new QLineEdit(GroupBox);
        Edits[i]->setObjectName(QStringLiteral("Edit%1").arg(i + 1));
        Edits[i]->setGeometry(kEditLeft, top, kEditWidth, kEditHeight);
        Edits[i]->hide();
        EditLabels[i] = new QLabel(GroupBox);
        EditLabels[i]->setObjectName(QStringLiteral("Edit%1Label").arg(i + 1));
        EditLabels[i]->setGeometry(kEditLeft, top - kLabelGap - kLabelHeight, kEditWidth, kLabelHeight);
        EditLabels[i]->setBuddy(Edits[i]);
        EditLabels[i]->hide();
    }

    Button_OK = new QPushButton(QStringLiteral("&OK"), this);
    Button_OK->setObjectName(QStringLiteral("Button_OK"));
    Button_OK->setDefault(true);
    Button_Cancel = new QPushButton(QStringLiteral("&Anuluj"), this);
    Button_Cancel->setObjectName(QStringLiteral("Button_Cancel"));

    aHelp = new QAction(toolIcon(ToolImage::Help), QStringLiteral("Help"), this);
    aHelp->setObjectName(QStringLiteral("aHelp"));
    aHelp->setShortcut(QKeySequence(Qt::Key_F1));
    aHelp->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(aHelp);
    sbHelp = new QToolButton(this);
    sbHelp->setObjectName(QStringLiteral("sbHelp"));
    sbHelp->setDefaultAction(aHelp);
    sbHelp->setAutoRaise(true);

    connect(Button_OK, &QPushButton::clicked, this, &TDialog::Button_OKClick);
    connect(Button_Cancel, &QPushButton::clicked, this, &TDialog::Button_CancelClick);
    connect(aHelp, &QAction::triggered, this, &TDialog::aHelpExecute);
    FormShow();
}

void TDialog::showEvent(QShowEvent* event) {
    // Only a real hidden-to-shown change lays out; being raised again keeps what is typed.
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TDialog::FormShow() {
    for (int i = 0; i < 6; ++i) {
        Edits[i]->hide();
        Edits[i]->clear();
        EditLabels[i]->hide();
    }
    const int count = std::clamp(pending_.FieldCount, 0, 6);
    for (int i = 0; i < count; ++i) {
        EditLabels[i]->setText(pending_.FieldLabels[i]);
        EditLabels[i]->show();
        Edits[i]->show();
    }
    GroupBox->setTitle(pending_.GroupCaption);
    const int groupHeight = count * kFieldPitch + 40;
    GroupBox->resize(GroupBox->width(), groupHeight);
    const int buttonsTop = kGroupTop + groupHeight + 10;
    Button_OK->setGeometry(47, buttonsTop, 75, 25);
    Button_Cancel->setGeometry(143, buttonsTop, 75, 25);
    sbHelp->setGeometry(232, buttonsTop, 25, 25);
    setFixedSize(kDialogWidth, buttonsTop + 70);
    if (count > 0)
        Edits[0]->setFocus();
}

QString TDialog::buildLine() const {
    if (pending_.Keyword == QLatin1String(":"))
        return pending_.Keyword + Edits[0]->text();
    QString line = pending_.Keyword;
    for (int i = 0; i < std::clamp(pending_.FieldCount, 0, 6); ++i)
        line += QLatin1Char(' ') + Edits[i]->text();
    return line;
}

void TDialog::Button_OKClick() {
    emit lineAccepted(buildLine());
    hide();
}

void TDialog::Button_CancelClick() { hide(); }

void TDialog::aHelpExecute() { emit helpRequested(pending_.HelpTarget); }

}  // namespace kivo::editor
