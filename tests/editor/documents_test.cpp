// The life of script documents in the main window: enabling, numbering, saving, closing.
#include "fakes.h"

#include "editor/about_box.h"
#include "editor/mdi_child.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QScopeGuard>
#include <QLabel>
#include <QPushButton>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusTipEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QToolBar>
#include <QtTest>

using namespace kivo::editor;
using namespace kivo::editor::test;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

QStringList titles(TMainForm& form) {
    QStringList result;
    for (TMDIChild* child : form.documents())
        result << child->windowTitle();
    return result;
}

}  // namespace

class DocumentsTest : public QObject {
    Q_OBJECT
private slots:
    void documentCommandsNeedADocument() {
        Editor ed;
        ed.show();
        TMainForm& f = *ed.form;
        auto enabled = [&] {
            return QList<bool>{f.CommandMenu->menuAction()->isEnabled(), f.EditMenu->menuAction()->isEnabled(),
                               f.WindowMenu->menuAction()->isEnabled(), f.FileSave1->isEnabled(),
                               f.FileSaveAs1->isEnabled(), f.FileClose1->isEnabled(), f.Execute->isEnabled()};
        };
        const QList<bool> none(7, false);
        const QList<bool> all(7, true);
        QCOMPARE(enabled(), none);
        QVERIFY(f.FileNew1->isEnabled());
        QVERIFY(f.FileOpen1->isEnabled());
        f.FileNew1->trigger();
        QCOMPARE(enabled(), all);
        f.FileNew1->trigger();
        ed.closeActive();
        QCOMPARE(enabled(), all);
        ed.closeActive();
        QCOMPARE(enabled(), none);
        QCOMPARE(f.DocumentCount(), 0);
        QCOMPARE(f.statusPanel(1), QString());
    }

    void newDocumentsAreNumberedByWindowCount() {
        Editor ed;
        ed.show();
        TMainForm& f = *ed.form;
        f.FileNew1->trigger();
        f.FileNew1->trigger();
        QCOMPARE(titles(f), (QStringList{"Noname1", "Noname2"}));
        f.mdiArea->setActiveSubWindow(f.mdiArea->subWindowList(QMdiArea::CreationOrder).first());
        ed.closeActive();
        f.FileNew1->trigger();
        // The number counts windows; it does not look for a free name.
        QCOMPARE(titles(f), (QStringList{"Noname2", "Noname2"}));
        QVERIFY(ed.ui->questions.isEmpty());
    }

    void openedFileSavesNothingUntilEdited() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("s.txt"));
        writeAll(path, "ver\r\nexit\r\n");
        Editor ed;
        ed.show();
        TMainForm& f = *ed.form;
        ed.ui->openChoices.enqueue({path, 0});
        f.FileOpen1->trigger();
        QCOMPARE(ed.ui->openRequests.last().filter, QStringLiteral("Text files (*.txt)|*.TXT|All files (*.*)|*.*"));
        TMDIChild* child = f.activeChild();
        QVERIFY(child);
        QCOMPARE(child->windowTitle(), path);
        QCOMPARE(child->FileName, path);
        QCOMPARE(child->Memo->toPlainText(), QStringLiteral("ver\nexit\n"));
        QVERIFY(!child->Changed);
        QCOMPARE(f.statusPanel(1), path);

        writeAll(path, "changed on disk");
        f.FileSave1->trigger();
        QCOMPARE(readAll(path), QByteArray("changed on disk"));
        QVERIFY(ed.ui->saveRequests.isEmpty());

        child->Memo->moveCursor(QTextCursor::End);
        QTest::keyClicks(child->Memo, "reset");
        QVERIFY(child->Changed);
        QCOMPARE(f.statusPanel(0), QStringLiteral("Modified"));
        f.FileSave1->trigger();
        QCOMPARE(readAll(path), QByteArray("ver\r\nexit\r\nreset\r\n"));
        QVERIFY(!child->Changed);
        QCOMPARE(f.statusPanel(0), QString());
        QCOMPARE(f.statusPanel(1), path);
        QVERIFY(ed.ui->saveRequests.isEmpty());
    }

    void newDocumentSaveAsksForAName_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("written");
        QTest::newRow("text filter adds .txt") << "test" << 0 << "test.txt";
        QTest::newRow("all files keeps the name") << "test" << 1 << "test";
        QTest::newRow("name with extension") << "test.kv" << 0 << "test.kv";
        QTest::newRow("dot in a directory name") << "d.ir/test" << 0 << "d.ir/test";
    }
    void newDocumentSaveAsksForAName() {
        QFETCH(QString, chosen);
        QFETCH(int, filter);
        QFETCH(QString, written);
        QTemporaryDir dir;
        QDir(dir.path()).mkdir(QStringLiteral("d.ir"));
        Editor ed;
        ed.show();
        TMainForm& f = *ed.form;
        f.FileNew1->trigger();
        ed.ui->saveChoices.enqueue({dir.filePath(chosen), filter});
        f.FileSave1->trigger();
        QCOMPARE(ed.ui->saveRequests.size(), 1);
        QCOMPARE(ed.ui->saveRequests[0].title, QStringLiteral("Save"));
        const QString path = dir.filePath(written);
        QCOMPARE(readAll(path), QByteArray());
        QCOMPARE(f.activeChild()->FileName, path);
        QCOMPARE(f.activeChild()->windowTitle(), path);
        QVERIFY(!f.activeChild()->Changed);
        if (written != chosen)
            QVERIFY(!QFile::exists(dir.filePath(chosen)));
    }

    void saveDialogProposesTheLastChosenName() {
        QTemporaryDir dir;
        const QString opened = dir.filePath(QStringLiteral("a.txt"));
        writeAll(opened, "");
        Editor ed;
        ed.show();
        TMainForm& f = *ed.form;
        ed.ui->openChoices.enqueue({opened, 0});
        f.FileOpen1->trigger();
        f.FileNew1->trigger();
        ed.ui->saveChoices.enqueue({dir.filePath(QStringLiteral("b.txt")), 0});
        f.FileSave1->trigger();
        QCOMPARE(ed.ui->saveRequests.last().fileName, opened);
        f.FileSaveAs1->trigger();  // cancelled
        QCOMPARE(ed.ui->saveRequests.last().title, QStringLiteral("Save As"));
        QCOMPARE(ed.ui->saveRequests.last().fileName, dir.filePath(QStringLiteral("b.txt")));
    }

    void saveAsWritesEvenWithoutChanges() {
        QTemporaryDir dir;
        const QString first = dir.filePath(QStringLiteral("a.txt"));
        writeAll(first, "print a\r\n");
        Editor ed;
        ed.show();
        TMainForm& f = *ed.form;
        ed.ui->openChoices.enqueue({first, 0});
        f.FileOpen1->trigger();
        const QString second = dir.filePath(QStringLiteral("b.txt"));
        ed.ui->saveChoices.enqueue({second, 0});
        f.FileSaveAs1->trigger();
        QCOMPARE(readAll(second), QByteArray("print a\r\n"));
        QCOMPARE(f.activeChild()->FileName, second);
    }

    void everyCodePageCharacterSurvivesOpenEditAndSave() {
        // The editor must not "tidy" characters on the way through: 0xA0 (no-break space)
        // used to come back as a plain blank.
        QByteArray line("\t");
        for (int b = 0x20; b < 0x100; ++b)
            line.append(static_cast<char>(b));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("all.txt"));
        writeAll(path, line + "\r\n");
        Editor ed;
        ed.show();
        TMainForm& f = *ed.form;
        ed.ui->openChoices.enqueue({path, 0});
        f.FileOpen1->trigger();
        TMDIChild* child = f.activeChild();
        child->Memo->moveCursor(QTextCursor::End);
        QTest::keyClicks(child->Memo, "exit");
        f.FileSave1->trigger();
        QVERIFY(ed.ui->notices.isEmpty());
        QCOMPARE(readAll(path), line + "\r\nexit\r\n");
    }

    void failedSaveKeepsNameCaptionAndChanged() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("s.txt"));
        writeAll(path, "ver\r\n");
        Editor ed;
        ed.show();
        TMainForm& f = *ed.form;
        ed.ui->openChoices.enqueue({path, 0});
        f.FileOpen1->trigger();
        TMDIChild* child = f.activeChild();
        QTest::keyClicks(child->Memo, "x");
        // Save As into a directory that does not exist.
        ed.ui->saveChoices.enqueue({dir.filePath(QStringLiteral("gone/t.txt")), 0});
        f.FileSaveAs1->trigger();
        QCOMPARE(ed.ui->notices.size(), 1);
        QVERIFY(ed.ui->notices[0].contains(QStringLiteral("gone/t.txt")));
        QCOMPARE(child->FileName, path);
        QCOMPARE(child->windowTitle(), path);
        QVERIFY(child->Changed);
        QCOMPARE(f.statusPanel(0), QStringLiteral("Modified"));
        QCOMPARE(readAll(path), QByteArray("ver\r\n"));
    }

    void closePromptAnswers() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("s.txt"));
        writeAll(path, "ver\r\n");
        Editor ed;
        ed.show();
        TMainForm& f = *ed.form;
        ed.ui->openChoices.enqueue({path, 0});
        f.FileOpen1->trigger();
        TMDIChild* child = f.activeChild();
        child->Memo->moveCursor(QTextCursor::End);
        QTest::keyClicks(child->Memo, "exit");

        ed.ui->answers.enqueue(QMessageBox::Cancel);
        ed.closeActive();
        QCOMPARE(f.DocumentCount(), 1);
        QCOMPARE(child->Memo->toPlainText(), QStringLiteral("ver\nexit"));
        const FakeUi::Question q = ed.ui->questions.last();
        QCOMPARE(q.caption, QStringLiteral("KIVO Voraraz Udide"));
        QCOMPARE(q.text, QStringLiteral("The current file has changed. Save changes?"));
        QCOMPARE(q.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(q.icon, QMessageBox::Question);

        ed.ui->answers.enqueue(QMessageBox::Yes);
        ed.closeActive();
        QCOMPARE(f.DocumentCount(), 0);
        QCOMPARE(readAll(path), QByteArray("ver\r\nexit\r\n"));

        ed.ui->openChoices.enqueue({path, 0});
        f.FileOpen1->trigger();
        QTest::keyClicks(f.activeChild()->Memo, "x");
        ed.ui->answers.enqueue(QMessageBox::No);
        ed.closeActive();
        QCOMPARE(f.DocumentCount(), 0);
        QCOMPARE(readAll(path), QByteArray("ver\r\nexit\r\n"));
        QVERIFY(ed.ui->saveRequests.isEmpty());
    }

    void yesWithCancelledSaveDialogKeepsTheText() {
        Editor ed;
        ed.show();
        TMainForm& f = *ed.form;
        f.FileNew1->trigger();
        QTest::keyClicks(f.activeChild()->Memo, "print keep me");
        ed.ui->answers.enqueue(QMessageBox::Yes);
        ed.closeActive();  // the save dialog is cancelled
        QCOMPARE(ed.ui->saveRequests.size(), 1);
        QCOMPARE(f.DocumentCount(), 1);
        QCOMPARE(f.activeChild()->Memo->toPlainText(), QStringLiteral("print keep me"));
    }

    void neverEditedNewDocumentClosesWithoutQuestion() {
        Editor ed;
        ed.show();
        ed.form->FileNew1->trigger();
        ed.closeActive();
        QVERIFY(ed.ui->questions.isEmpty());
        QCOMPARE(ed.form->DocumentCount(), 0);
    }

    void programCloseStopsAtCancel() {
        Editor ed;
        ed.show();
        TMainForm& f = *ed.form;
        f.FileNew1->trigger();
        f.FileNew1->trigger();
        QTest::keyClicks(f.activeChild()->Memo, "ver");
        ed.ui->answers.enqueue(QMessageBox::Cancel);
        QVERIFY(!f.close());
        Editor::settle();
        QVERIFY(f.isVisible());
        QCOMPARE(f.DocumentCount(), 1);
        QCOMPARE(f.activeChild()->Memo->toPlainText(), QStringLiteral("ver"));

        ed.ui->answers.enqueue(QMessageBox::No);
        QVERIFY(f.close());
        Editor::settle();
        QCOMPARE(f.DocumentCount(), 0);
    }

    void windowMenuListsDocumentsAndTiles() {
        Editor ed;
        ed.show();
        TMainForm& f = *ed.form;
        f.FileNew1->trigger();
        f.FileNew1->trigger();
        emit f.WindowMenu->aboutToShow();
        QStringList entries;
        for (QAction* action : f.WindowMenu->actions())
            if (!action->isSeparator())
                entries << action->text();
        QCOMPARE(entries, (QStringList{"&Cascade", "Tile &Horizontally", "Tile &Vertically", "&Minimize All",
                                       "&Arrange All", "&1 Noname1", "&2 Noname2"}));

        const int width = f.mdiArea->viewport()->width();
        f.WindowTileHorizontal1->trigger();
        for (QMdiSubWindow* window : f.mdiArea->subWindowList())
            QCOMPARE(window->width(), width);
        f.WindowTileVertical1->trigger();
        for (QMdiSubWindow* window : f.mdiArea->subWindowList())
            QCOMPARE(window->width(), width / 2);
        f.WindowMinimizeAll1->trigger();
        for (QMdiSubWindow* window : f.mdiArea->subWindowList())
            QVERIFY(window->isMinimized());
    }

    void menusToolbarAndHintsAsDesigned() {
        Editor ed;
        TMainForm& f = *ed.form;
        // A menu as "caption<TAB>shortcut" entries, "-" for a separator.
        auto entries = [](const QList<QAction*>& actions) {
            QStringList result;
            for (QAction* action : actions) {
                if (action->isSeparator()) {
                    result << QStringLiteral("-");
                    continue;
                }
                QString entry = action->text();
                if (!action->shortcut().isEmpty())
                    entry += QLatin1Char('\t') + action->shortcut().toString();
                result << entry;
            }
            return result;
        };
        QCOMPARE(entries(f.FileMenu->actions()),
                 (QStringList{"&New\tCtrl+N", "&Open\tCtrl+O", "&Close", "&Save\tCtrl+S", "Save &As...", "-",
                              "Recent &Files", "-", "E&xit"}));
        QCOMPARE(entries(f.EditMenu->actions()),
                 (QStringList{"&Undo\tCtrl+Z", "Select &All\tCtrl+A", "-", "Cu&t\tCtrl+X", "&Copy\tCtrl+C",
                              "&Paste\tCtrl+V", "&Delete\tDel", "-", "Go to &label\tF12"}));
        QCOMPARE(entries(f.RunMenu->actions()), (QStringList{"Run &here\tCtrl+F9", "&Stop\tCtrl+F2", "-", "Run &pane", "&Labels"}));
        QCOMPARE(entries(f.OptionsMenu->actions()), QStringList{"&Params"});
        QCOMPARE(entries(f.ToolsMenu->actions()), QStringList{"&RAW generator"});
        QCOMPARE(entries(f.HelpMenu->actions()), (QStringList{"&About...", "Help"}));
        QCOMPARE(f.EditMenu->menuAction()->statusTip(), QStringLiteral("Edit commands"));
        QCOMPARE(f.WindowMenu->menuAction()->statusTip(), QStringLiteral("Window related commands"));
        QCOMPARE(f.HelpMenu->menuAction()->statusTip(), QStringLiteral("Help topics"));

        QStringList toolbar;
        QList<QAction*> buttons = f.ToolBar->actions();
        buttons.removeLast();  // the port choice
        for (QAction* action : buttons)
            toolbar << (action->isSeparator() ? QStringLiteral("-") : action->toolTip());
        QCOMPARE(toolbar, (QStringList{"New", "Open", "Save", "-", "Cut", "Copy", "Paste", "-", "Cascade",
                                       "Tile Horizontally", "Tile Vertically", "-", "Execute", "Run here", "Stop"}));
        QCOMPARE(f.ToolBar->widgetForAction(f.ToolBar->actions().last()), static_cast<QWidget*>(f.PortChoice));
        for (QAction* action : buttons)
            QVERIFY2(action->isSeparator() || !action->icon().isNull(), qPrintable(action->toolTip()));

        // Short hint as tooltip, long hint for the status bar.
        const QList<std::pair<QAction*, QString>> hints{
            {f.FileNew1, "New|Create a new file"},
            {f.FileOpen1, "Open|Open a file"},
            {f.FileClose1, "Close|Close current file"},
            {f.FileSave1, "Save|Save current file"},
            {f.FileSaveAs1, "Save As|Save current file with different name"},
            {f.FileExit1, "Exit|Exit application"},
            {f.EditCut1, "Cut|Cuts the selection and puts it on the Clipboard"},
            {f.EditCopy1, "Copy|Copies the selection and puts it on the Clipboard"},
            {f.EditPaste1, "Paste|Inserts Clipboard contents"},
            {f.EditSelectAll1, "Select All|Selects the entire document"},
            {f.EditUndo1, "Undo|Reverts the last action"},
            {f.EditDelete1, "Delete|Erases the selection"},
            {f.WindowCascade1, "Cascade|Cascade"},
            {f.WindowTileHorizontal1, "Tile Horizontally|Tile Horizontally"},
            {f.WindowTileVertical1, "Tile Vertically|Tile Vertically"},
            {f.WindowMinimizeAll1, "Minimize All|Minimize All"},
            {f.WindowArrangeAll1, "Arrange All|Arrange All"},
            {f.Execute, "Execute|Execute"},
        };
        for (const auto& [action, hint] : hints)
            QCOMPARE(action->toolTip() + QLatin1Char('|') + action->statusTip(), hint);
    }

    void aboutBoxShowsNameVersionAndCloses() {
        Editor ed;
        TMainForm& f = *ed.form;
        bool checked = false;
        ed.ui->onExec = [&](QDialog& dialog) {
            auto* about = qobject_cast<TAboutBox*>(&dialog);
            if (!about)
                return int(QDialog::Rejected);
            QStringList texts;
            for (QLabel* label : about->findChildren<QLabel*>())
                texts << label->text();
            auto* shortName = about->findChild<QLabel*>(QStringLiteral("ShortName"));
            checked = about->windowTitle() == QLatin1String("About") && about->size() == QSize(298, 218) &&
                      about->minimumSize() == about->maximumSize() &&
                      texts == QStringList{"KIVO Voraraz Udide", "Version 1.1", "KIVO"} && shortName &&
                      shortName->font().bold() && shortName->font().family() == QLatin1String("Arial") &&
                      about->OKButton->text() == QLatin1String("OK") && about->OKButton->isDefault();
            about->OKButton->click();
            return about->result();
        };
        f.HelpAbout1->trigger();
        QVERIFY(checked);
    }

    void hintsAndCaptions() {
        Editor ed;
        TMainForm& f = *ed.form;
        QCOMPARE(f.windowTitle(), QStringLiteral("KIVO Voraraz Udide"));
        QCOMPARE(f.FileNew1->toolTip(), QStringLiteral("New"));
        QCOMPARE(f.FileNew1->statusTip(), QStringLiteral("Create a new file"));
        QCOMPARE(f.Execute->shortcut(), QKeySequence(Qt::Key_F9));
        QVERIFY(!f.ToolsMenu->menuAction()->isVisible());
        QStringList menus;
        for (QAction* action : f.menuBar()->actions())
            menus << action->text();
        QCOMPARE(menus, (QStringList{"&File", "&Edit", "&KIVO Command", "&Options", "&Run", "&Tools", "&Window",
                                     "&Help"}));
        QStatusTipEvent tip(QStringLiteral("Cuts the selection and puts it on the Clipboard"));
        QCoreApplication::sendEvent(&f, &tip);
        QCOMPARE(f.statusPanel(0), tip.tip());
    }

    void commandLineFilesAndRecentFiles() {
        QTemporaryDir dir;
        const QString home = QDir::currentPath();
        QDir::setCurrent(dir.path());
        auto restore = qScopeGuard([&] { QDir::setCurrent(home); });
        writeAll(dir.filePath(QStringLiteral("demo.txt")), "print hi\r\n");
        Editor ed;
        ed.form->openFromCommandLine({QStringLiteral("demo.txt"), QStringLiteral("new.txt")});
        const QList<TMDIChild*> docs = ed.form->documents();
        QCOMPARE(docs.size(), 2);
        QCOMPARE(docs[0]->scriptText(), QStringLiteral("print hi\n"));
        QCOMPARE(docs[0]->FileName, dir.filePath(QStringLiteral("demo.txt")));
        QVERIFY(!docs[0]->Changed);
        // A name of no file yet saves under that name, without a dialog.
        QCOMPARE(docs[1]->FileName, dir.filePath(QStringLiteral("new.txt")));
        docs[1]->Memo->setPlainText(QStringLiteral("exit"));
        ed.form->FileSave1->trigger();
        QVERIFY(ed.ui->saveRequests.isEmpty());
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("new.txt"))));

        // Most recent first, kept in the store and read back by the next start.
        QCOMPARE(ed.store->values.value(QStringLiteral("RECENT1")), dir.filePath(QStringLiteral("new.txt")));
        QCOMPARE(ed.store->values.value(QStringLiteral("RECENT2")), dir.filePath(QStringLiteral("demo.txt")));
        Editor next;
        next.store = ed.store;
        next.form = std::make_unique<TMainForm>(EditorServices{next.ui, next.starter, next.store, {}});
        emit next.form->RecentMenu->aboutToShow();
        const QList<QAction*> entries = next.form->RecentMenu->actions();
        QCOMPARE(entries.size(), 2);
        entries[1]->trigger();
        QCOMPARE(next.form->activeChild()->FileName, dir.filePath(QStringLiteral("demo.txt")));
    }

    void labelsListAndJumpsToLabels() {
        Editor ed;
        ed.show();
        ed.form->FileNew1->trigger();
        TMDIChild* child = ed.form->activeChild();
        child->Memo->setPlainText(
            QStringLiteral(":top\nprint a\n  :second more\ngoto second\nloop 3 top\nprint b\ngoto nowhere\n"));
        QTRY_COMPARE(ed.form->LabelList->count(), 2);
        QCOMPARE(ed.form->LabelList->item(1)->text(), QStringLiteral("second\t3"));
        auto caretLine = [&] { return child->Memo->textCursor().blockNumber(); };
        auto putCaret = [&](int line) {
            child->Memo->setTextCursor(QTextCursor(child->Memo->document()->findBlockByNumber(line)));
        };

        putCaret(3);
        ed.form->GoToLabel->trigger();
        QCOMPARE(caretLine(), 2);
        QCOMPARE(child->Memo->textCursor().positionInBlock(), 3);  // at the name, after the ':'
        putCaret(6);
        ed.form->GoToLabel->trigger();  // an undefined label goes nowhere
        QCOMPARE(caretLine(), 6);

        // Ctrl+click on the loop line.
        putCaret(5);
        const QRect loopLine = child->Memo->cursorRect(QTextCursor(child->Memo->document()->findBlockByNumber(4)));
        QTest::mouseClick(child->Memo->viewport(), Qt::LeftButton, Qt::ControlModifier, loopLine.center());
        QCOMPARE(caretLine(), 0);

        putCaret(5);
        emit ed.form->LabelList->itemActivated(ed.form->LabelList->item(1));
        QCOMPARE(caretLine(), 2);
        child->setMemoModified(false);
    }
};

QTEST_MAIN(DocumentsTest)
#include "documents_test.moc"
