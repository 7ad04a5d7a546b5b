// Renders the main window with a script and the parameter dialog, a script with marked lines,
// and the run pane after a run of the demo script, for the documentation.
// Runs on the offscreen platform, where windows have no frames: the dialog's title bar is
// drawn by hand so the picture reads like the real thing.
#include "editor/main_form.h"
#include "editor/mdi_child.h"
#include "editor/run_pane.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextBlock>

using namespace kivo::editor;

namespace {

// Settings that exist and name no interpreter: nothing is asked while the pictures are taken.
class QuietStore final : public SettingsStore {
public:
    bool keyExists() const override { return true; }
    bool createKey() override { return true; }
    QString readValue(const QString&) const override { return {}; }
    bool writeValue(const QString&, const QString&) override { return true; }
};

QPixmap framed(QWidget& window) {
    const QPixmap content = window.grab();
    constexpr int kTitle = 22;
    QPixmap pixmap(content.width() + 2, content.height() + kTitle + 1);
    pixmap.fill(QColor(0, 0, 128));
    QPainter p(&pixmap);
    p.drawPixmap(1, kTitle, content);
    p.setPen(Qt::white);
    QFont font = window.font();
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRect(6, 0, pixmap.width() - 12, kTitle), Qt::AlignVCenter, window.windowTitle());
    return pixmap;
}

// The demo script run in the pane on the virtual board, with kivo from the build tree.
bool runPanePicture(const QString& path) {
    QTemporaryDir dir;
    const QString script = dir.filePath(QStringLiteral("demo.txt"));
    if (!QFile::copy(QStringLiteral(KIVO_DEMO_SCRIPT), script))
        return false;
    TMainForm form(EditorServices{nullptr, nullptr, std::make_shared<QuietStore>(), {}});
    form.resize(900, 640);
    form.show();
    form.settings().LoadSettings();
    if (form.settings().InterpreterPath.isEmpty()) {
        qWarning("kivo not found beside the screenshot program");
        return false;
    }
    form.openFromCommandLine({script});
    form.activeChild()->parentWidget()->showMaximized();
    form.PortChoice->setCurrentText(QStringLiteral("virtual:xsv300"));
    QEventLoop wait;
    QObject::connect(form.Runs, &RunPane::runEnded, &wait, &QEventLoop::quit);
    QTimer::singleShot(60000, &wait, &QEventLoop::quit);
    form.RunHere->trigger();
    wait.exec();
    form.Runs->Output->moveCursor(QTextCursor::End);
    form.Runs->Output->ensureCursorVisible();
    QApplication::processEvents();
    return framed(form).save(path);
}

// A script with a typo and a jump to a label it lacks: highlighted, the two lines marked in
// the margin, the caret on the first of them so that the status bar says what kivo would.
bool checkPicture(const QString& path) {
    TMainForm form(EditorServices{nullptr, nullptr, std::make_shared<QuietStore>(), {}});
    form.resize(800, 420);
    form.show();
    form.FileNew1->trigger();
    TMDIChild* child = form.activeChild();
    child->parentWidget()->showMaximized();
    child->Memo->setPlainText(QStringLiteral(
        "/* sweep the RAM and count\n"
        "   the passes in stat */\n"
        "baseadr 1000_0000        // RAM of the board\n"
        "stat= 0\n"
        ":again\n"
        "    writebyte 10 CAFE\n"
        "    readbite 10 11\n"
        "    stat+= 1\n"
        "    loop 5 agian\n"
        "readblock \"dump_a.hex\" 0 FF\n"
        "print done\n"));
    QTextCursor caret(child->Memo->document()->findBlockByNumber(6));
    caret.movePosition(QTextCursor::EndOfBlock);
    child->Memo->setTextCursor(caret);
    QEventLoop settle;  // the label list follows edits after a short pause
    QTimer::singleShot(1000, &settle, &QEventLoop::quit);
    settle.exec();
    const bool ok = framed(form).save(path);
    child->setMemoModified(false);
    return ok;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(outDir);

    TMainForm form(EditorServices{nullptr, nullptr, std::make_shared<QuietStore>(), {}});
    form.LabelsDock->hide();  // the window at its designed size has no room for it
    form.resize(665, 420);
    form.show();
    QApplication::processEvents();

    form.FileNew1->trigger();
    TMDIChild* child = form.activeChild();
    child->Memo->setPlainText(QStringLiteral(
        "// blink the LEDs four times\n"
        "baseadr 1000_0000\n"
        "config design.bit\n"
        ":again\n"
        "writebyte 0 FF\n"
        "sleep 250\n"
        "writebyte 0 00\n"
        "sleep 250\n"
        "loop 4 again\n"
        "print done\n"));
    child->parentWidget()->setGeometry(0, 0, 420, 250);
    QTextCursor caret(child->Memo->document()->findBlockByNumber(9));
    child->Memo->setTextCursor(caret);

    form.findChild<QAction*>(QStringLiteral("readblock1"))->trigger();
    const QStringList values{QStringLiteral("data.hex"), QStringLiteral("0"), QStringLiteral("FF")};
    for (qsizetype i = 0; i < values.size(); ++i)
        form.Dialog->Edits[static_cast<std::size_t>(i)]->setText(values[i]);
    form.Dialog->move(form.pos() + QPoint(370, 110));
    QApplication::processEvents();

    const QPixmap dialog = framed(*form.Dialog);
    QPixmap main = framed(form);
    {
        QPainter p(&main);
        p.drawPixmap(form.Dialog->pos() - form.pos(), dialog);
    }
    bool ok = main.save(outDir + QStringLiteral("/scriptdesk-main.png")) &&
              dialog.save(outDir + QStringLiteral("/scriptdesk-dialog.png"));
    form.Dialog->hide();
    child->setMemoModified(false);  // no close prompt on the way out
    ok = ok && checkPicture(outDir + QStringLiteral("/scriptdesk-check.png"));
    ok = ok && runPanePicture(outDir + QStringLiteral("/scriptdesk-run.png"));
    return ok ? 0 : 1;
}
