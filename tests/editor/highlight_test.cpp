// Highlighting and the live line check of the script editor, as kivo reads the lines.
#include "editor/script_edit.h"
#include "editor/script_highlighter.h"

#include <QSignalSpy>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QtTest>

using namespace kivo::editor;
using kivo::language::TokenKind;

namespace {

QTextCharFormat formatAt(ScriptEdit& edit, int line, int column) {
    const QTextBlock block = edit.document()->findBlockByNumber(line);
    QTextCharFormat found;
    for (const QTextLayout::FormatRange& r : block.layout()->formats())
        if (column >= r.start && column < r.start + r.length) found = r.format;
    return found;
}

}  // namespace

class HighlightTest : public QObject {
    Q_OBJECT
private slots:
    void everyTokenKindAsKivoReadsIt();
    void marksFollowEditsOfLabelsAndBlockComments();
};

void HighlightTest::everyTokenKindAsKivoReadsIt() {
    ScriptEdit edit;
    edit.setPlainText(QStringLiteral(":start loop begins\n"
                                     "baseadr 1000_0000\n"
                                     "laread \"cap_1.bin\" 20\n"
                                     "stat+= 5\n"
                                     "go< 3 start\n"
                                     "/* open\n"
                                     "goto nowhere\n"
                                     "*/\n"
                                     "print \"a // b\"\n"
                                     "frob 1\n"
                                     "fileappend x"));
    ScriptHighlighter& h = *edit.highlighter();
    auto is = [&](int line, int column, TokenKind kind) {
        return formatAt(edit, line, column).foreground() == h.formatOf(kind).foreground() &&
               formatAt(edit, line, column).fontWeight() == h.formatOf(kind).fontWeight();
    };
    QVERIFY(is(0, 0, TokenKind::LabelDefinition) && is(0, 5, TokenKind::LabelDefinition));
    QVERIFY(is(0, 7, TokenKind::Comment));  // after the name's space
    QVERIFY(is(1, 0, TokenKind::Command));
    QVERIFY(is(1, 8, TokenKind::Hex) && is(1, 16, TokenKind::Hex));
    QVERIFY(formatAt(edit, 1, 12).fontStrikeOut());  // the underscore kivo removes
    QVERIFY(is(2, 0, TokenKind::Family) && is(2, 2, TokenKind::Member));
    QVERIFY(is(2, 9, TokenKind::Name));
    QVERIFY(!formatAt(edit, 2, 11).fontStrikeOut());  // kept between quotes
    QCOMPARE(formatAt(edit, 2, 11).background(), h.formatOf(TokenKind::Quoted).background());
    QVERIFY(is(2, 19, TokenKind::Decimal));
    QVERIFY(is(3, 0, TokenKind::Family) && is(3, 4, TokenKind::Member) && is(3, 7, TokenKind::Hex));
    QVERIFY(is(4, 4, TokenKind::Hex) && is(4, 6, TokenKind::JumpTarget));
    // The block comment's lines, the closing one included, are not run: no mark on the goto.
    QVERIFY(is(5, 0, TokenKind::Comment) && is(6, 0, TokenKind::Comment) && is(7, 0, TokenKind::Comment));
    QVERIFY(edit.messagesAt(6, true).isEmpty());
    // "//" between quotes still starts a comment.
    QVERIFY(is(8, 0, TokenKind::Command) && is(8, 9, TokenKind::Comment));
    QVERIFY(is(9, 0, TokenKind::Unknown));
    QCOMPARE(edit.messagesAt(9, true), QStringLiteral("frob 1 - Komenda nieznana! / Bledna instrukcja w uruchomionym skrypcie"));
    QCOMPARE(edit.messagesAt(10, false), QStringLiteral("fileappend x\nBledna instrukcja w uruchomionym skrypcie"));
}

void HighlightTest::marksFollowEditsOfLabelsAndBlockComments() {
    ScriptEdit edit;
    edit.setPlainText(QStringLiteral("print x\ngoto later\nloop 3 later"));
    QCoreApplication::processEvents();
    QVERIFY(edit.messagesAt(1, true).startsWith(QStringLiteral("Nie moze znalezc podanej etykiety: later")));
    QVERIFY(!edit.messagesAt(2, true).isEmpty());

    QSignalSpy status(&edit, &ScriptEdit::lineMessage);
    QTextCursor caret(edit.document()->findBlockByNumber(1));
    edit.setTextCursor(caret);
    QVERIFY(!status.isEmpty() && status.last().at(0).toString().contains(QStringLiteral("later")));

    // A label defined below clears both jumps once the events have run.
    QTextCursor end(edit.document());
    end.movePosition(QTextCursor::End);
    end.insertText(QStringLiteral("\n:later"));
    QCoreApplication::processEvents();
    QVERIFY(edit.messagesAt(1, true).isEmpty());
    QVERIFY(edit.messagesAt(2, true).isEmpty());
    QVERIFY(status.last().at(0).toString().isEmpty());

    // Removing the label's line marks them again.
    end.select(QTextCursor::BlockUnderCursor);
    end.removeSelectedText();
    QCoreApplication::processEvents();
    QVERIFY(!edit.messagesAt(1, true).isEmpty());

    // Opening a block comment above takes the following lines out of the run, and its marks.
    QTextCursor top(edit.document());
    top.insertText(QStringLiteral("/*\n"));
    QCoreApplication::processEvents();
    QVERIFY(edit.messagesAt(2, true).isEmpty());
    top.movePosition(QTextCursor::Start);
    top.select(QTextCursor::BlockUnderCursor);
    top.deleteChar();  // the "/*" goes
    top.deleteChar();  // and its line break
    QCoreApplication::processEvents();
    QVERIFY(!edit.messagesAt(1, true).isEmpty());
}

QTEST_MAIN(HighlightTest)
#include "highlight_test.moc"
