// The "&KIVO Command" menu, the parameter dialog and the lines they insert; F1 help.
#include "fakes.h"

#include "editor/command_table.h"
#include "editor/mdi_child.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolButton>
#include <QtTest>

using namespace kivo::editor;
using namespace kivo::editor::test;

namespace {

QAction* item(TMainForm& form, const char* name) {
    QAction* action = form.findChild<QAction*>(QString::fromLatin1(name));
    if (!action)
        qFatal("no menu item %s", name);
    return action;
}

// Chooses a dialog item, types the values and presses OK.
void insertWith(TMainForm& form, const char* name, const QStringList& values) {
    item(form, name)->trigger();
    QVERIFY(form.Dialog->isVisible());
    for (qsizetype i = 0; i < values.size(); ++i)
        QTest::keyClicks(form.Dialog->Edits[static_cast<std::size_t>(i)], values[i]);
    QTest::mouseClick(form.Dialog->Button_OK, Qt::LeftButton);
    QVERIFY(!form.Dialog->isVisible());
}

TMDIChild* newDocument(TMainForm& form, const QString& text, int caretPosition) {
    form.FileNew1->trigger();
    TMDIChild* child = form.activeChild();
    child->Memo->setPlainText(text);
    QTextCursor cursor = child->Memo->textCursor();
    cursor.setPosition(caretPosition);
    child->Memo->setTextCursor(cursor);
    return child;
}

QStringList visibleLabels(TDialog& dialog) {
    QStringList labels;
    for (std::size_t i = 0; i < 6; ++i)
        if (dialog.Edits[i]->isVisibleTo(&dialog))
            labels << dialog.EditLabels[i]->text();
    return labels;
}

}  // namespace

class CommandsTest : public QObject {
    Q_OBJECT
private slots:
    void everyMenuItemInsertsItsOwnCommand() {
        // Each action must reach its own item: a wrong or missing link inserts another
        // command, or nothing, without any error.
        Editor ed;
        ed.show();
        TMainForm& f = *ed.form;
        TMDIChild* child = newDocument(f, QString(), 0);
        int items = 0;
        for (const CommandMenu& menu : commandMenus())
            for (const CommandItem& entry : menu.items) {
                ++items;
                child->Memo->clear();
                QAction* action = item(f, entry.name);
                QCOMPARE(action->text(), QString::fromLatin1(entry.caption));
                action->trigger();
                QCOMPARE(f.Dialog->isVisible(), entry.fieldCount > 0);
                if (entry.fieldCount > 0) {
                    QCOMPARE(visibleLabels(*f.Dialog).size(), entry.fieldCount);
                    QTest::mouseClick(f.Dialog->Button_OK, Qt::LeftButton);
                }
                QVERIFY2(child->Memo->toPlainText().startsWith(QLatin1String(entry.keyword)), entry.name);
            }
        QCOMPARE(items, 60);
    }

    void dialogGrowsFortyPixelsPerField_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("fields");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QString>("caption");
        QTest::newRow("one field") << "config1" << 1 << QStringList{"File name"} << " config ";
        QTest::newRow("two fields") << "writebyte1" << 2 << QStringList{"address (hex)", "data (hex)"}
                                    << " writebyte - write data to memory ";
        QTest::newRow("six fields") << "fileselect1" << 6
                                    << QStringList{"Source file", "Destination file", "Start", "Stop",
                                                   "[Sample size]", "[Record size]"}
                                    << " fileselect ";
        QTest::newRow("ampersand caption") << "stat7" << 1 << QStringList{"Value (hex)"}
                                           << "stat&&= - logical 'status register AND Value' operation";
    }
    void dialogGrowsFortyPixelsPerField() {
        QFETCH(QString, name);
        QFETCH(int, fields);
        QFETCH(QStringList, labels);
        QFETCH(QString, caption);
        Editor ed;
        ed.show();
        TMainForm& f = *ed.form;
        item(f, name.toLatin1().constData())->trigger();
        TDialog& d = *f.Dialog;
        QVERIFY(d.isVisible());
        QVERIFY(!d.isModal());
        QCOMPARE(d.windowTitle(), QStringLiteral("KIVO Command"));
        QCOMPARE(d.height(), 40 * fields + 128);
        QCOMPARE(d.width(), 280);
        QCOMPARE(d.GroupBox->height(), 40 * fields + 40);
        QCOMPARE(d.Button_OK->y(), 40 * fields + 58);
        QCOMPARE(d.Button_Cancel->y(), 40 * fields + 58);
        QCOMPARE(d.sbHelp->geometry(), QRect(232, 40 * fields + 58, 25, 25));
        QCOMPARE(visibleLabels(d), labels);
        QCOMPARE(d.GroupBox->title(), caption);
        QCOMPARE(d.Button_Cancel->text(), QStringLiteral("&Anuluj"));
    }

    void knownHeightsForOneAndSixFields() {
        Editor ed;
        ed.show();
        item(*ed.form, "sleep1")->trigger();
        QCOMPARE(ed.form->Dialog->height(), 168);
        QTest::mouseClick(ed.form->Dialog->Button_Cancel, Qt::LeftButton);
        item(*ed.form, "file2raw1")->trigger();
        QCOMPARE(ed.form->Dialog->height(), 368);
    }

    void fieldsAreEmptyEachTimeTheDialogOpens() {
        Editor ed;
        ed.show();
        TMainForm& f = *ed.form;
        f.FileNew1->trigger();
        item(f, "readblock1")->trigger();
        QTest::keyClicks(f.Dialog->Edits[0], "old.hex");
        QTest::mouseClick(f.Dialog->Button_Cancel, Qt::LeftButton);
        QVERIFY(!f.Dialog->isVisible());
        QCOMPARE(f.activeChild()->Memo->toPlainText(), QString());
        item(f, "readblock1")->trigger();
        QCOMPARE(f.Dialog->Edits[0]->text(), QString());
    }

    void choosingAnotherItemWhileShownKeepsTheScreenButNotTheCommand() {
        Editor ed;
        ed.show();
        TMainForm& f = *ed.form;
        TMDIChild* child = newDocument(f, QString(), 0);
        item(f, "writebyte1")->trigger();
        QTest::keyClicks(f.Dialog->Edits[0], "10");
        QTest::keyClicks(f.Dialog->Edits[1], "20");
        item(f, "baseadr1")->trigger();
        QCOMPARE(f.Dialog->height(), 40 * 2 + 128);
        QCOMPARE(f.Dialog->Edits[1]->text(), QStringLiteral("20"));
        QTest::mouseClick(f.Dialog->Button_OK, Qt::LeftButton);
        QCOMPARE(child->Memo->toPlainText(), QStringLiteral("baseadr 10\n"));
    }

    void insertedLinesFollowTheTable_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("line");
        QTest::newRow("writeblock") << "writeblock1" << QStringList{"data.hex", "0", "FF"} << "writeblock data.hex 0 FF";
        QTest::newRow("label has no blank") << "label2" << QStringList{"start"} << ":start";
        QTest::newRow("stat&&= inserts stat&=") << "stat7" << QStringList{"5"} << "stat&= 5";
        QTest::newRow("stat=> inserts stat=>m") << "stat10" << QStringList{"10"} << "stat=>m 10";
        QTest::newRow("empty fields keep their blanks") << "writebyte1" << QStringList{} << "writebyte  ";
        QTest::newRow("values are not checked") << "print1" << QStringList{"a b  c"} << "print a b  c";
        QTest::newRow("go>") << "go1" << QStringList{"3", "top"} << "go> 3 top";
        QTest::newRow("lacectr") << "lacectr1" << QStringList{"1F"} << "lacectr 1F";
        QTest::newRow("loop") << "loop1" << QStringList{"A", "again"} << "loop A again";
    }
    void insertedLinesFollowTheTable() {
        QFETCH(QString, name);
        QFETCH(QStringList, values);
        QFETCH(QString, line);
        Editor ed;
        ed.show();
        TMainForm& f = *ed.form;
        TMDIChild* child = newDocument(f, QString(), 0);
        insertWith(f, name.toLatin1().constData(), values);
        QCOMPARE(child->Memo->toPlainText(), line + QLatin1Char('\n'));
    }

    void insertionGoesAboveTheCaretLine() {
        Editor ed;
        ed.show();
        TMainForm& f = *ed.form;
        const QString text = QStringLiteral("one\ntwo\nthree\nfour");
        // The caret between "th" and "ree" of line 3.
        TMDIChild* child = newDocument(f, text, text.indexOf(QLatin1String("three")) + 2);
        f.Dialog->hide();
        child->setMemoModified(false);
        child->Changed = false;
        f.setStatusPanel(0, {});

        insertWith(f, "readblock1", {"d.bin", "0", "F"});
        QCOMPARE(child->Memo->toPlainText(), QStringLiteral("one\ntwo\nreadblock d.bin 0 F\nthree\nfour"));
        const QTextCursor caret = child->Memo->textCursor();
        QVERIFY(!caret.hasSelection());
        QCOMPARE(caret.blockNumber(), 3);
        QCOMPARE(caret.positionInBlock(), 0);
        QVERIFY(child->Changed);
        QCOMPARE(f.statusPanel(0), QStringLiteral("Modified"));

        // One after the other, they appear in the order chosen.
        item(f, "ver1")->trigger();
        item(f, "stat1")->trigger();
        QCOMPARE(child->Memo->toPlainText(),
                 QStringLiteral("one\ntwo\nreadblock d.bin 0 F\nver\nstat?\nthree\nfour"));
    }

    void caretInAWrappedContinuationInsertsAtTheWrapPoint() {
        Editor ed;
        ed.show();
        TMainForm& f = *ed.form;
        const QString longLine = QStringLiteral("word ").repeated(80).trimmed();
        TMDIChild* child = newDocument(f, longLine, static_cast<int>(longLine.size()));
        QCoreApplication::processEvents();
        const QTextLayout* layout = child->Memo->document()->firstBlock().layout();
        QVERIFY(layout->lineCount() > 1);
        const int wrapAt = layout->lineAt(layout->lineCount() - 1).textStart();
        QVERIFY(wrapAt > 0);
        // The line as displayed counts: the new line starts where the last screen line did.
        item(f, "ver1")->trigger();
        QCOMPARE(child->Memo->toPlainText(), longLine.left(wrapAt) + QStringLiteral("ver\n") + longLine.mid(wrapAt));
    }

    void selectionStartDecidesTheLine() {
        Editor ed;
        ed.show();
        TMainForm& f = *ed.form;
        TMDIChild* child = newDocument(f, QStringLiteral("a\nbb\ncc"), 0);
        QTextCursor cursor = child->Memo->textCursor();
        cursor.setPosition(6);
        cursor.setPosition(3, QTextCursor::KeepAnchor);  // selected backwards, from line 3 into line 2
        child->Memo->setTextCursor(cursor);
        item(f, "reset1")->trigger();
        QCOMPARE(child->Memo->toPlainText(), QStringLiteral("a\nreset\nbb\ncc"));
        QVERIFY(!child->Memo->textCursor().hasSelection());
    }

    void nothingHappensWithoutADocument() {
        Editor ed;
        ed.show();
        TMainForm& f = *ed.form;
        f.FileNew1->trigger();
        item(f, "print1")->trigger();
        QTest::keyClicks(f.Dialog->Edits[0], "lost");
        ed.closeActive();
        QCOMPARE(f.DocumentCount(), 0);
        QTest::mouseClick(f.Dialog->Button_OK, Qt::LeftButton);
        QVERIFY(!f.Dialog->isVisible());
        item(f, "exit1")->trigger();  // direct item: no document, nothing to do
        QCOMPARE(f.DocumentCount(), 0);
    }

    void dialogHelpOpensTheCommandsAnchor_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("anchor");
        QTest::newRow("keyword") << "writeblock1" << "writeblock";
        QTest::newRow("label") << "label2" << "label";
        QTest::newRow("stat=>m") << "stat10" << "stat=>m";
        QTest::newRow("go<") << "go2" << "go<";
    }
    void dialogHelpOpensTheCommandsAnchor() {
        QFETCH(QString, name);
        QFETCH(QString, anchor);
        Editor ed;
        ed.show();
        TMainForm& f = *ed.form;
        item(f, name.toLatin1().constData())->trigger();
        QCOMPARE(f.Pending.HelpTarget, QStringLiteral("/opt/scriptdesk/Help.htm#") + anchor);
        QTest::mouseClick(f.Dialog->sbHelp, Qt::LeftButton);
        QCOMPARE(ed.ui->urls.size(), 1);
        QCOMPARE(ed.ui->urls[0].toLocalFile(), QStringLiteral("/opt/scriptdesk/Help.htm"));
        QCOMPARE(ed.ui->urls[0].fragment(), anchor);
        QVERIFY(f.Dialog->isVisible());
        QCOMPARE(f.Dialog->aHelp->shortcut(), QKeySequence(Qt::Key_F1));
    }

    void f1InADocumentLooksUpTheSelection_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("anchor");  // "-": nothing opened; "": the page without anchor
        QTest::newRow("go>") << "go> 5 top" << "go>" << "go>";
        QTest::newRow("Config keeps its case") << "Config a.bit" << "Config" << "Config";
        QTest::newRow("stat+=") << "stat+= 4" << "stat+=" << "-";
        QTest::newRow("LA") << "LA" << "LA" << "-";
        QTest::newRow("no selection") << "print x" << "" << "";
    }
    void f1InADocumentLooksUpTheSelection() {
        QFETCH(QString, text);
        QFETCH(QString, selected);
        QFETCH(QString, anchor);
        Editor ed;
        ed.show();
        TMainForm& f = *ed.form;
        TMDIChild* child = newDocument(f, text, 0);
        QTextCursor cursor = child->Memo->textCursor();
        cursor.setPosition(static_cast<int>(selected.size()), QTextCursor::KeepAnchor);
        child->Memo->setTextCursor(cursor);
        child->Memo->setFocus();
        QTest::keyClick(child->Memo, Qt::Key_F1);
        if (anchor == QLatin1String("-")) {
            QVERIFY(ed.ui->urls.isEmpty());
            return;
        }
        QCOMPARE(ed.ui->urls.size(), 1);
        // The page is opened whether or not it exists.
        QCOMPARE(ed.ui->urls[0].toLocalFile(), QStringLiteral("/opt/scriptdesk/Help.htm"));
        QCOMPARE(ed.ui->urls[0].fragment(), anchor);
        QCOMPARE(ed.ui->urls[0].hasFragment(), !anchor.isEmpty());
    }
};

QTEST_MAIN(CommandsTest)
#include "commands_test.moc"
