// The run pane with the real kivo on the virtual board.
#include "fakes.h"

#include "editor/mdi_child.h"
#include "editor/run_pane.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace kivo::editor;
using namespace kivo::editor::test;

namespace {

struct PaneBench {
    QTemporaryDir dir;
    Editor ed{dir.path()};
    TMDIChild* child = nullptr;

    explicit PaneBench(const QByteArray& script) {
        const QString path = dir.filePath(QStringLiteral("run me.txt"));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(script);
        file.close();
        ed.store->values[QStringLiteral("KIVO_PATH")] = QStringLiteral(KIVO_PATH);
        ed.show();
        ed.form->openFromCommandLine({path});
        child = ed.form->activeChild();
        ed.form->PortChoice->setCurrentText(QStringLiteral("virtual:xsv300"));
    }
    RunPane& pane() { return *ed.form->Runs; }
    QString output() { return pane().Output->toPlainText(); }
};

}  // namespace

class RunPaneTest : public QObject {
    Q_OBJECT
private slots:
    void runShowsTheBoardsAnswersAndStopsOnTheFailingLine() {
        // "bogus" stands on lines 3 and 8; only the second runs. A Polish letter in a printed
        // text must come through the code page.
        PaneBench b("print start \xB9\r\ngoto later\r\nbogus\r\n\r\n:later\r\nwritebyte 10 5A\r\nreadbyte 10 10\r\n"
                    "bogus\r\nprint never\r\n");
        QSignalSpy ended(&b.pane(), &RunPane::runEnded);
        b.child->Memo->moveCursor(QTextCursor::Start);
        b.ed.form->RunHere->trigger();
        QVERIFY(b.ed.ui->notices.isEmpty());
        QVERIFY(!b.ed.form->RunHere->isEnabled());
        QVERIFY(b.ed.form->StopRun->isEnabled());

        // kivo waits for its key after the error: the caret is already there.
        QTRY_VERIFY_WITH_TIMEOUT(b.pane().KeyPrompt->isVisible(), 20000);
        QCOMPARE(b.child->Memo->textCursor().blockNumber(), 7);
        QVERIFY2(b.output().contains(QStringLiteral("start \u0105")), qPrintable(b.output()));
        QVERIFY2(b.output().contains(QStringLiteral("5A")), qPrintable(b.output()));
        QVERIFY(b.output().contains(QStringLiteral("Bledna instrukcja")));
        QVERIFY(!b.output().contains(QStringLiteral("never")));
        QVERIFY(!b.output().contains(QStringLiteral("kivo-error-line")));

        b.pane().SendKey->click();
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 20000);
        QCOMPARE(ended[0][0].toInt() & 0xFF, 0xFF);
        QVERIFY(!b.pane().KeyPrompt->isVisible());
        QVERIFY(b.pane().State->text().contains(QStringLiteral("line 8")));
        QVERIFY(b.ed.form->RunHere->isEnabled());
        QCOMPARE(b.ed.store->values.value(QStringLiteral("RUN_PORT")), QStringLiteral("virtual:xsv300"));
    }

    void longWorkShowsItsProgressAsABar() {
        // 8 MiB through the hand-driven link: long enough for several drawings of the line.
        PaneBench b("writeblock block.bin 0\r\nprint done\r\n");
        QFile block(QFileInfo(b.child->FileName).dir().filePath(QStringLiteral("block.bin")));
        QVERIFY(block.open(QIODevice::WriteOnly));
        block.write(QByteArray(8 << 20, '\x5A'));
        block.close();
        QSignalSpy ended(&b.pane(), &RunPane::runEnded);
        QSignalSpy drawn(b.pane().Progress, &QProgressBar::valueChanged);
        b.ed.form->RunHere->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 60000);
        QCOMPARE(ended[0][0].toInt(), 0);
        QVERIFY(!drawn.isEmpty());
        QVERIFY(!b.pane().Progress->isVisible());
        // The output is kivo's own, without the line's text or its carriage returns.
        QVERIFY2(!b.output().contains(QLatin1Char('\r')) && !b.output().contains(QLatin1Char('%')), qPrintable(b.output()));
        QVERIFY(b.output().endsWith(QStringLiteral("done\n")));
    }

#ifndef _WIN32  // a console program there is only ever killed: no polite stop to test
    void stopEndsTheRunPolitely() {
        PaneBench b("print start\r\nsleep 60000\r\nprint never\r\n");
        QSignalSpy ended(&b.pane(), &RunPane::runEnded);
        b.ed.form->RunHere->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(b.output().contains(QStringLiteral("start")) || ended.size() > 0, 20000);
        QElapsedTimer clock;
        clock.start();
        b.ed.form->StopRun->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 20000);
        QVERIFY(clock.elapsed() < RunPane::kStopGraceMs);  // ended by itself, not killed
        QCOMPARE(ended[0][0].toInt(), 143);
        QCOMPARE(b.pane().State->text(), QStringLiteral("Stopped"));
    }
#endif
};

QTEST_MAIN(RunPaneTest)
#include "run_pane_test.moc"
