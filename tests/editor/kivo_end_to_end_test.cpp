// A script written with the editor's menus, saved by the editor and run by the real kivo.
#include "fakes.h"

#include "editor/mdi_child.h"

#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace kivo::editor;
using namespace kivo::editor::test;

namespace {

// Runs what Execute asks for right here, without a terminal, and keeps what kivo printed.
class CapturingStarter : public ProcessStarter {
public:
    QByteArray output;
    int exitCode = -100;

    bool runInOwnConsole(const ProgramCall& call, int waitMs) override {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(call.program, call.arguments);
        process.closeWriteChannel();  // a key wait ends at once
        if (!process.waitForStarted() || !process.waitForFinished(waitMs))
            return false;
        output = process.readAll();
        exitCode = process.exitCode();
        return true;
    }
    bool startDetached(const ProgramCall&) override { return false; }
};

}  // namespace

class KivoEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void savedScriptRunsInKivo() {
        QTemporaryDir dir;
        auto starter = std::make_shared<CapturingStarter>();
        auto ui = std::make_shared<FakeUi>();
        auto store = std::make_shared<MemoryStore>();
        store->exists = true;
        store->values[QStringLiteral("KIVO_PATH")] = QStringLiteral(KIVO_PATH);
        TMainForm form(EditorServices{ui, starter, store, dir.path()});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        form.FileNew1->trigger();
        TMDIChild* child = form.activeChild();
        auto choose = [&](const char* name, const QStringList& values) {
            form.findChild<QAction*>(QString::fromLatin1(name))->trigger();
            for (qsizetype i = 0; i < values.size(); ++i)
                form.Dialog->Edits[static_cast<std::size_t>(i)]->setText(values[i]);
            form.Dialog->Button_OK->click();
        };
        // Each insertion goes above the caret, so the script is built from its last line up.
        child->Memo->setPlainText(QStringLiteral("print end\n"));
        child->Memo->moveCursor(QTextCursor::Start);
        choose("print1", {QStringLiteral("hello from the editor")});
        choose("stat2", {QStringLiteral("5")});
        choose("label2", {QStringLiteral("top")});

        ui->saveChoices.enqueue({dir.filePath(QStringLiteral("script")), 0});
        form.FileSave1->trigger();
        QVERIFY(ui->notices.isEmpty());
        QCOMPARE(child->FileName, dir.filePath(QStringLiteral("script.txt")));

        form.Execute->trigger();
        QVERIFY2(ui->notices.isEmpty(), qPrintable(ui->notices.join(QLatin1Char('\n'))));
        QCOMPARE(starter->exitCode, 0);
        QVERIFY2(starter->output.contains("hello from the editor"), starter->output.constData());
        QVERIFY2(starter->output.contains("end"), starter->output.constData());
    }
};

QTEST_MAIN(KivoEndToEndTest)
#include "kivo_end_to_end_test.moc"
