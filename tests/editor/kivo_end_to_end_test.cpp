// A script written with the editor's menus, saved by the editor and run by the real kivo.
#include "fakes.h"

#include "editor/mdi_child.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
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

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

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
        // Each insertion goes above the caret's line, so the lines come in the order chosen.
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

    // Every dialog item, filled in as a user would (optional values left empty), and every
    // direct item must give a line that kivo runs to a clean end: a line it rejects, or one
    // that fails for any other reason, shows as a non-zero exit code.
    void everyInsertedLineRunsInKivo_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<bool>("known");
        auto row = [](const char* item, const QStringList& values, bool known = true) {
            QTest::newRow(item) << QString::fromLatin1(item) << values << known;
        };
        row("config1", {"design.bit"});
        row("writeblock1", {"data.hex", "0", "F"});
        row("writebyte1", {"10", "A5"});
        row("readblock1", {"data.hex", "0", "FF"});
        row("readbyte1", {"0", "3"});
        row("baseadr1", {"1000_0000"});
        row("ver1", {});
        row("eppmode1", {"1"});
        row("reset1", {});
        row("waitbit01", {"1", "10", "5"});
        row("waitbit11", {"80", "10"});
        row("gobit11", {"80", "end"});
        row("gobit01", {"80", "end"});
        row("go1", {"3", "end"});
        row("go2", {"3", "end"});
        row("go3", {"0", "end"});
        row("fileconv1", {"data.hex", "data.bin", ""});
        row("filecomp1", {"data.hex", "data.bin"});
        row("fileappend1", {"1"});
        row("fileselect1", {"data.bin", "part.bin", "0", "3", "", ""});
        row("file2txt1", {"data.bin", "data.txt", "8", "4"});
        row("file2raw1", {"data.bin", "image.raw", "2", "2", "16", ""});
        row("filestatistic1", {"data.bin", "16", ""});
        row("filehistogram1", {"data.bin", "histogram.txt", ""});
        row("i2cwrite1", {"10", "5"});
        row("i2cread1", {"80"});
        row("labaseadr1", {"1000"});
        row("laawidth1", {"10"});
        row("lahighadr1", {"1FFF"});
        row("latvalue1", {"1"});
        row("latcare1", {"1"});
        row("lacevalue1", {"1"});
        row("lacecare1", {"1"});
        row("lacectr1", {"1"});
        row("lastart1", {"1"});
        row("laread1", {"", ""});
        row("sleep1", {"1"});
        row("run1", {"true"});
        row("exit1", {});
        row("waitforkey1", {});
        row("print1", {"hello 100%"});
        // The word is inserted for the user to turn into a comment; kivo does not know it.
        row("comment1", {"1"}, false);
        row("goto1", {"end"});
        row("label2", {"start"});
        row("loop1", {"3", "end"});
        row("stat1", {});
        for (const char* item : {"stat2", "stat3", "stat4", "stat5", "stat6", "stat7", "stat8", "stat9"})
            row(item, {"3"});
        for (const char* item : {"stat10", "stat11", "stat12", "statm1", "statm2"})
            row(item, {"1"});
        row("vhdlsim1", {});
    }
    void everyInsertedLineRunsInKivo() {
        QFETCH(QString, item);
        QFETCH(QStringList, values);
        QFETCH(bool, known);
        QTemporaryDir dir;
        // kivo works in the editor's current directory; the trace of the simulation goes there.
        const QString home = QDir::currentPath();
        QDir::setCurrent(dir.path());
        auto restore = qScopeGuard([&] { QDir::setCurrent(home); });

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
        // The data files the rows name, the same 16 bytes as binary and as kivo writes hex.
        QByteArray bytes;
        for (char b = 0; b < 16; ++b)
            bytes.append(b);
        writeFile(dir.filePath(QStringLiteral("data.bin")), bytes);
        writeFile(dir.filePath(QStringLiteral("data.hex")), "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\r\n");
        // Simulation keeps kivo off the parallel port, the analyser needs its size and place
        // before any other of its commands, and jumps land on the label after the line.
        const QString prelude = QStringLiteral("vhdlsim\nlaawidth 10\nlabaseadr 2000_0000\n");
        child->Memo->setPlainText(prelude + QStringLiteral(":end\n"));
        QTextCursor caret = child->Memo->textCursor();
        caret.setPosition(static_cast<int>(prelude.size()));
        child->Memo->setTextCursor(caret);

        QAction* action = form.findChild<QAction*>(item);
        QVERIFY(action);
        action->trigger();
        if (form.Dialog->isVisible()) {
            for (qsizetype i = 0; i < values.size(); ++i)
                form.Dialog->Edits[static_cast<std::size_t>(i)]->setText(values[i]);
            form.Dialog->Button_OK->click();
        }
        const QString line = child->Memo->document()->findBlockByNumber(3).text();

        ui->saveChoices.enqueue({dir.filePath(QStringLiteral("script")), 0});
        form.FileSave1->trigger();
        form.Execute->trigger();
        QVERIFY2(ui->notices.isEmpty(), qPrintable(ui->notices.join(QLatin1Char('\n'))));
        QVERIFY2((starter->exitCode == 0) == known,
                 qPrintable(QStringLiteral("%1 -> exit %2\n").arg(line).arg(starter->exitCode) +
                            QString::fromLocal8Bit(starter->output)));
    }
};

QTEST_MAIN(KivoEndToEndTest)
#include "kivo_end_to_end_test.moc"
