// Running kivo, the settings, help from the main window and the raw image tools.
#include "fakes.h"

#include "editor/mdi_child.h"
#include "editor/params_form.h"
#include "editor/raw_generator.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace kivo::editor;
using namespace kivo::editor::test;

namespace {

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

const QString kSaveFirst = QStringLiteral("Musisz wpierw zapisac plik.");
const QString kBadKivo = QStringLiteral("Nie prawidlowa siezka do pliku Kivo.exe.");
const QString kNoKey = QStringLiteral("Nie można utworzyc odpowiedniego klucza w rejestrze.");

// An editor with a saved script s.txt and a stand-in interpreter file in a scratch directory.
struct Bench {
    QTemporaryDir dir;
    Editor ed;
    QString script = dir.filePath(QStringLiteral("s.txt"));
    QString kivo = dir.filePath(QStringLiteral("bin dir/kivo"));

    Bench() {
        QDir(dir.path()).mkdir(QStringLiteral("bin dir"));
        writeAll(kivo, "");
        writeAll(script, "print hello\r\n");
        ed.show();
        ed.ui->openChoices.enqueue({script, 0});
        ed.form->FileOpen1->trigger();
    }
    TMainForm& form() { return *ed.form; }
};

}  // namespace

class RunTest : public QObject {
    Q_OBJECT
private slots:
    void executeRefusesWhatIsNotSaved() {
        Bench b;
        b.form().settings().InterpreterPath = b.kivo;
        QTest::keyClicks(b.form().activeChild()->Memo, "x");
        b.form().Execute->trigger();
        QCOMPARE(b.ed.ui->notices, QStringList{kSaveFirst});

        b.form().FileNew1->trigger();
        b.form().Execute->trigger();
        QCOMPARE(b.ed.ui->notices, (QStringList{kSaveFirst, kSaveFirst}));
        QVERIFY(b.ed.starter->consoleRuns.isEmpty());
    }

    void executeRefusesAMissingInterpreter() {
        Bench b;
        b.ed.store->values[QStringLiteral("KIVO_PATH")] = b.dir.filePath(QStringLiteral("nowhere/kivo"));
        b.form().Execute->trigger();
        QCOMPARE(b.ed.ui->notices, QStringList{kBadKivo});
        QVERIFY(b.ed.starter->consoleRuns.isEmpty());
    }

    void executeStartsKivoOnTheSavedScript() {
        Bench b;
        // The path comes from the settings, read again because the one held is not valid.
        b.ed.store->values[QStringLiteral("KIVO_PATH")] = b.kivo;
        TMDIChild* child = b.form().activeChild();
        child->Memo->setFocus();
        QTest::keyClick(child->Memo, Qt::Key_F9);
        QVERIFY(b.ed.ui->notices.isEmpty());
        QCOMPARE(b.ed.starter->consoleRuns.size(), 1);
        const ProgramCall call = b.ed.starter->consoleRuns[0];
        QCOMPARE(call.program, b.kivo);
        QCOMPARE(call.arguments, QStringList{b.script});
        QCOMPARE(quotedCommandLine(call), QStringLiteral("\"%1\" \"%2\"").arg(b.kivo, b.script));
        QCOMPARE(b.ed.starter->waits[0], 10000);
    }

    void failedStartIsReported() {
        Bench b;
        b.form().settings().InterpreterPath = b.kivo;
        b.ed.starter->succeed = false;
        b.form().Execute->trigger();
        QCOMPARE(b.ed.ui->notices, QStringList{QStringLiteral("Blad w wywolaniu programu KIVO.")});
    }

    void postRunConversionFollowsTheScriptName() {
        Bench b;
        b.form().settings().InterpreterPath = b.kivo;
        b.form().settings().GenerateRaw = true;
        b.form().settings().ViewRaw = true;
        b.form().settings().ViewerPath = b.kivo;  // any existing program stands in for the viewer
        writeAll(b.dir.filePath(QStringLiteral("s.out")), QByteArray("\xFF\xFF\xFF", 3));
        b.ed.starter->succeed = false;  // the conversion runs even when the start failed
        b.form().Execute->trigger();
        QCOMPARE(readAll(b.dir.filePath(QStringLiteral("s.raw"))), QByteArray("\xFF\xFF"));
        QCOMPARE(b.ed.starter->detached.size(), 1);
        QCOMPARE(b.ed.starter->detached[0].arguments,
                 (QStringList{QStringLiteral("fir3x3"), b.dir.filePath(QStringLiteral("s.raw"))}));
        QCOMPARE(b.ed.ui->notices, (QStringList{QStringLiteral("Blad w wywolaniu programu KIVO."),
                                                QStringLiteral("Blad w wywolaniu programu tracelens.")}));
    }

    void postRunConversionOfAScriptWithoutDotLooksInTheCurrentDirectory() {
        QTemporaryDir scripts;
        QTemporaryDir work;
        if (scripts.path().contains(QLatin1Char('.')))
            QSKIP("the scratch directory's path has a dot");
        const QString home = QDir::currentPath();
        QDir::setCurrent(work.path());
        auto restore = qScopeGuard([&] { QDir::setCurrent(home); });
        // A script beside an .out of its own name is not what the search finds.
        writeAll(scripts.filePath(QStringLiteral("run.out")), QByteArray("\xFF\xFF\xFF", 3));
        writeAll(work.filePath(QStringLiteral(".out")), QByteArray("\x00\x00\xF8", 3));
        Editor ed;
        ed.form->runner().postRunConversion(scripts.filePath(QStringLiteral("run")));
        QVERIFY(ed.ui->notices.isEmpty());
        QCOMPARE(readAll(work.filePath(QStringLiteral(".raw"))), QByteArray("\x1F\x00", 2));
        QVERIFY(!QFile::exists(scripts.filePath(QStringLiteral("run.raw"))));
    }

    void firstStartAsksForTheInterpreter() {
        QTemporaryDir dir;
        const QString kivo = dir.filePath(QStringLiteral("kivo"));
        writeAll(kivo, "");
        Editor ed;
        ed.store->exists = false;

        ed.form->settings().LoadSettings();  // answered No
        QCOMPARE(ed.ui->questions.size(), 1);
        QCOMPARE(ed.ui->questions[0].text, QStringLiteral("Wskaz sciezke do pliku Kivo.exe."));
        QCOMPARE(ed.ui->questions[0].buttons, QMessageBox::Yes | QMessageBox::No);
        QVERIFY(!ed.store->exists);

        ed.ui->answers.enqueue(QMessageBox::Yes);
        ed.ui->openChoices.enqueue({kivo, 0});
        ed.form->settings().LoadSettings();
        QCOMPARE(ed.ui->openRequests.last().filter, QStringLiteral("All files (*.*)|*.*"));
        QCOMPARE(ed.form->settings().InterpreterPath, kivo);
        QCOMPARE(ed.store->writes, QStringList{QStringLiteral("KIVO_PATH=") + kivo});

        ed.form->settings().InterpreterPath.clear();
        ed.form->settings().LoadSettings();  // the key exists now: no question, the path is read back
        QCOMPARE(ed.ui->questions.size(), 2);
        QCOMPARE(ed.form->settings().InterpreterPath, kivo);
    }

    void firstStartFindsKivoWithoutAsking() {
        // Beside the editor (an installation), and from a build tree's editor/ or tests/editor/
        // in its bin/; a stored path that went stale is mended the same way.
        for (const QString& editorDir : {QStringLiteral("bin"), QStringLiteral("editor"), QStringLiteral("tests/editor")}) {
            QTemporaryDir tree;
            QDir(tree.path()).mkpath(editorDir);
            QDir(tree.path()).mkpath(QStringLiteral("bin"));
            const QString kivo = tree.filePath(QStringLiteral("bin/kivo"));
            writeAll(kivo, "#!/bin/sh\n");
            QFile::setPermissions(kivo, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            Editor ed(tree.filePath(editorDir));
            ed.store->exists = false;
            ed.form->settings().LoadSettings();
            QVERIFY2(ed.ui->questions.isEmpty(), qPrintable(editorDir));
            QCOMPARE(QFileInfo(ed.form->settings().InterpreterPath).canonicalFilePath(),
                     QFileInfo(kivo).canonicalFilePath());
            QCOMPARE(ed.store->values.value(QStringLiteral("KIVO_PATH")), ed.form->settings().InterpreterPath);

            ed.store->values[QStringLiteral("KIVO_PATH")] = tree.filePath(QStringLiteral("moved/kivo"));
            ed.form->settings().LoadSettings();
            QCOMPARE(ed.form->settings().InterpreterPath, ed.store->values.value(QStringLiteral("KIVO_PATH")));
            QVERIFY(QFileInfo(ed.form->settings().InterpreterPath).isFile());
        }
    }

#ifndef _WIN32  // the terminal is a POSIX shell snippet; cmd's counterpart needs a console
    void executeKeepsTheTerminalUntilAKey() {
        // A "terminal" that runs its program with the output in a file and no keyboard.
        QTemporaryDir dir;
        const QString log = dir.filePath(QStringLiteral("terminal.log"));
        const QString kivo = dir.filePath(QStringLiteral("fake kivo"));
        writeAll(kivo, "#!/bin/sh\necho \"kivo ran $1\"\nexit 3\n");
        QFile::setPermissions(kivo, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString terminal = dir.filePath(QStringLiteral("terminal"));
        writeAll(terminal, QStringLiteral("#!/bin/sh\nexec \"$@\" </dev/null >\"%1\" 2>&1\n").arg(log).toLocal8Bit());
        QFile::setPermissions(terminal, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("SCRIPTDESK_TERMINAL", QStringLiteral("\"%1\"").arg(terminal).toLocal8Bit());
        auto restore = qScopeGuard([] { qunsetenv("SCRIPTDESK_TERMINAL"); });
        QVERIFY(makeSystemProcessStarter()->runInOwnConsole({kivo, {QStringLiteral("my script.txt")}}, 10000));
        QTRY_VERIFY(readAll(log).contains("zamknac okno"));
        QCOMPARE(readAll(log), QByteArray("kivo ran my script.txt\n\nKoniec pracy kivo (kod wyjscia 3). Nacisnij "
                                          "dowolny klawisz, aby zamknac okno.\n"));
    }
#endif

    void firstStartFailures() {
        Editor ed;
        ed.store->exists = false;
        ed.ui->answers.enqueue(QMessageBox::Yes);  // the dialog is then cancelled
        ed.form->settings().LoadSettings();
        QCOMPARE(ed.ui->notices, QStringList{kBadKivo});
        QVERIFY(ed.store->exists);
        QVERIFY(ed.store->writes.isEmpty());

        Editor locked;
        locked.store->exists = false;
        locked.store->canCreate = false;
        locked.ui->answers.enqueue(QMessageBox::Yes);
        locked.form->settings().LoadSettings();
        QCOMPARE(locked.ui->notices, QStringList{kNoKey});
        QVERIFY(locked.ui->openRequests.isEmpty());
        locked.form->settings().StoreSetting(QStringLiteral("VIEW"), QStringLiteral("1"));
        QCOMPARE(locked.ui->notices, (QStringList{kNoKey, kNoKey}));
    }

    void paramsWritesOnlyWhatChanged() {
        QTemporaryDir dir;
        const QString other = dir.filePath(QStringLiteral("kivo2"));
        Editor ed;
        TMainForm& f = *ed.form;
        f.settings().InterpreterPath = QStringLiteral("/old/kivo");

        bool shownAsExpected = false;
        ed.ui->onExec = [&](QDialog& dialog) {
            auto& params = dynamic_cast<TfParams&>(dialog);
            // The raw settings are there but hidden; the path field is read-only.
            shownAsExpected = !params.cbGeneruj->isVisibleTo(&params) && !params.cbViewRaw->isVisibleTo(&params) &&
                              params.eKivoPath->isReadOnly() && params.eKivoPath->text() == QLatin1String("/old/kivo") &&
                              params.windowTitle() == QLatin1String("KIVO Voraraz Udide - Params");
            return int(QDialog::Rejected);
        };
        f.aParams->trigger();
        QVERIFY(shownAsExpected);
        QVERIFY(ed.store->writes.isEmpty());

        ed.ui->onExec = [](QDialog&) { return int(QDialog::Accepted); };
        f.aParams->trigger();
        QVERIFY(ed.store->writes.isEmpty());

        ed.ui->openChoices.enqueue({other, 0});
        ed.ui->onExec = [](QDialog& dialog) {
            auto& params = dynamic_cast<TfParams&>(dialog);
            params.SpeedButton1->click();
            params.cbGeneruj->click();
            return int(QDialog::Accepted);
        };
        f.aParams->trigger();
        QCOMPARE(ed.ui->openRequests.last().filter, QStringLiteral("Exe files (*.exe)|*.exe|All files (*.*)|*.*"));
        QCOMPARE(ed.store->writes, (QStringList{QStringLiteral("KIVO_PATH=") + other, QStringLiteral("GENERUJ_RAW=1")}));
        QCOMPARE(f.settings().InterpreterPath, other);
        QVERIFY(f.settings().GenerateRaw);

        ed.store->writes.clear();
        ed.ui->onExec = [](QDialog& dialog) {
            dynamic_cast<TfParams&>(dialog).SpeedButton3->click();
            return int(QDialog::Accepted);
        };
        f.aParams->trigger();
        // A new dialog starts with its generate flag off, so OK turns the setting off again.
        QCOMPARE(ed.store->writes, (QStringList{QStringLiteral("KIVO_PATH="), QStringLiteral("GENERUJ_RAW=0")}));
    }

    void helpMenuNeedsTheHelpPage() {
        QTemporaryDir dir;
        Editor ed(dir.path());
        ed.form->aHelp->trigger();
        QCOMPARE(ed.ui->notices, QStringList{QStringLiteral(
            "Nie prawidlowa siezka do pliku Help.htm. Plik musi znajdowac sie w katalogu zrodlowym alpkacji.")});
        QVERIFY(ed.ui->urls.isEmpty());
        writeAll(dir.filePath(QStringLiteral("Help.htm")), "<html></html>");
        ed.form->aHelp->trigger();
        QCOMPARE(ed.ui->urls.size(), 1);
        QCOMPARE(ed.ui->urls[0], QUrl::fromLocalFile(dir.filePath(QStringLiteral("Help.htm"))));
    }

    void rawGeneratorButtons() {
        QTemporaryDir dir;
        const QString in = dir.filePath(QStringLiteral("a.out"));
        const QString out = dir.filePath(QStringLiteral("a.raw"));
        Editor ed;
        TMainForm& f = *ed.form;
        QStringList steps;
        ed.ui->onExec = [&](QDialog& dialog) {
            auto& g = dynamic_cast<TfrawGenetaror&>(dialog);
            g.Button1->click();
            g.eInput->setText(in);
            writeAll(in, QByteArray("\x00\xFC\x00", 3));
            g.Button1->click();
            g.eOutput->setText(out);
            g.Button4->click();  // no output file yet: silent
            g.Button1->click();
            g.Button4->click();  // no viewer
            f.settings().ViewerPath = in;
            g.Button4->click();
            return int(QDialog::Accepted);
        };
        f.aRawGenerator->trigger();
        QCOMPARE(ed.ui->notices, (QStringList{QStringLiteral("Nie podano pliku wejsciowego"),
                                              QStringLiteral("Nie podano pliku wyjsciowego"),
                                              QStringLiteral("Plik zaostal wygenerowany"),
                                              QStringLiteral("Nie prawidlowa sciezka do pliku tracelens.exe")}));
        QCOMPARE(readAll(out), QByteArray("\xE0\x07", 2));
        QCOMPARE(ed.starter->detached.size(), 1);
        QCOMPARE(ed.starter->detached[0].program, in);
    }

    void conversionAndViewerMessages() {
        QTemporaryDir dir;
        Editor ed;
        TMainForm& f = *ed.form;
        const QString missing = dir.filePath(QStringLiteral("none.out"));
        QVERIFY(!f.runner().ConvertOutToRaw(missing, dir.filePath(QStringLiteral("x.raw"))));
        writeAll(dir.filePath(QStringLiteral("a.out")), "abc");
        QVERIFY(!f.runner().ConvertOutToRaw(dir.filePath(QStringLiteral("a.out")),
                                            dir.filePath(QStringLiteral("no/x.raw"))));
        f.runner().ShowInViewer(dir.filePath(QStringLiteral("x.raw")));
        QCOMPARE(ed.ui->notices, (QStringList{QStringLiteral("Podany plik [%1] nie istnieje.").arg(missing),
                                              QStringLiteral("Nie podales pliku wyjsciowego"),
                                              QStringLiteral("Nie prawidlowa siezka do pliku tracelens.exe.")}));
    }

    void noticesAreWarningsCaptionedKomunikat() {
        UiServices real;
        QString title;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            title = box->windowTitle();
            icon = box->icon();
            buttons = box->standardButtons();
            box->accept();
        });
        real.notice(nullptr, QStringLiteral("x"));
        QCOMPARE(title, QStringLiteral("Komunikat"));
        QCOMPARE(icon, QMessageBox::Warning);
        QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
};

QTEST_MAIN(RunTest)
#include "run_test.moc"
