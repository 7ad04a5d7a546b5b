// Loading a 10,000-line script into the script editor (highlighting and line check included)
// against loading the same text into a plain QPlainTextEdit, side by side; then the cost of one
// keystroke in the middle of the script, and of kivo-check's whole-script check.
#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>

#include "editor/script_edit.h"
#include "editor/script_highlighter.h"
#include "language/check.h"

namespace {

QString script(int lines) {
    static const char* const kPiece[] = {
        "// pass %1: bytes in and out",
        "baseadr 1000_0000               // added to every board address",
        "writebyte 10 1A2B3",
        "readbyte 10 12",
        "stat= CAFEF00D",
        "writeblock 100 13F",
        "readblock \"pattern_%1.hex\" 100 13F",
        ":add%1",
        "    stat<=m 1",
        "    stat+= 10",
        "    stat=>m 1",
        "    loop 3 add%1",
        "go> 1F big%1",
        "/* a block comment",
        "   over two lines */",
        "print the sum is small",
        "goto done%1",
        ":big%1",
        "laread \"cap.bin\" 100",
        "file2txt \"pattern.hex\" \"pattern.txt\" 16 4",
        "adc_calibwave 0 C0 10",
        "waitbit1 80 4 100",
        "sleep 10",
        ":done%1",
    };
    QStringList out;
    for (int pass = 0; out.size() < lines; ++pass)
        for (const char* line : kPiece)
            if (out.size() < lines) out << QString::fromLatin1(line).replace(QLatin1String("%1"), QString::number(pass));
    return out.join(QLatin1Char('\n'));
}

double bestOf(int runs, const std::function<double()>& once) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) best = std::min(best, once());
    return best;
}

// What Qt's highlighting machinery costs by itself: no analysis, only formats set.
class FormatsOnly : public QSyntaxHighlighter {
public:
    using QSyntaxHighlighter::QSyntaxHighlighter;

protected:
    void highlightBlock(const QString& text) override {
        for (int i = 0; i + 4 < text.size(); i += 6) setFormat(i, 4, i % 12 ? word_ : number_);
    }

private:
    QTextCharFormat word_ = [] {
        QTextCharFormat f;
        f.setForeground(Qt::darkBlue);
        return f;
    }();
    QTextCharFormat number_ = [] {
        QTextCharFormat f;
        f.setForeground(Qt::darkMagenta);
        return f;
    }();
};

// The editor's margin and marks without the highlighter: what the widget itself adds.
class ScriptEditUnhighlighted : public kivo::editor::ScriptEdit {
public:
    ScriptEditUnhighlighted() { highlighter()->setDocument(nullptr); }
};

class PlainWithFormats : public QPlainTextEdit {
public:
    PlainWithFormats() { new FormatsOnly(document()); }
};

template <class Edit>
double load(const QString& text) {
    Edit edit;
    edit.resize(800, 600);
    edit.show();
    QCoreApplication::processEvents();
    // Processor time, not wall time: the figures stay comparable on a machine that is busy
    // with other work.
    const std::clock_t start = std::clock();
    edit.setPlainText(text);
    QCoreApplication::processEvents();  // what the highlighter left for later, and the paint
    return 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString text = script(10000);
    const QByteArray bytes = text.toLatin1();
    const int runs = 9;

    double plain = 1e30, ours = 1e30, formats = 1e30, bare = 1e30;
    for (int i = 0; i < runs; ++i) {  // alternated, so that both see the same machine
        plain = std::min(plain, load<QPlainTextEdit>(text));
        ours = std::min(ours, load<kivo::editor::ScriptEdit>(text));
        formats = std::min(formats, load<PlainWithFormats>(text));
        bare = std::min(bare, load<ScriptEditUnhighlighted>(text));
    }
    std::printf("10000 lines, best of %d, processor time\n", runs);
    std::printf("  QPlainTextEdit::setPlainText (floor)   %8.1f ms\n", plain);
    std::printf("  QPlainTextEdit, formats only (no analysis) %4.1f ms   %.2fx\n", formats, formats / plain);
    std::printf("  ScriptEdit without its highlighter     %8.1f ms   %.2fx\n", bare, bare / plain);
    std::printf("  ScriptEdit: load, highlight, check     %8.1f ms   %.2fx the floor (goal <= 3x)\n", ours,
                ours / plain);

    const double check = bestOf(runs, [&] {
        QElapsedTimer timer;
        timer.start();
        const auto findings = kivo::language::checkScript(std::string_view(bytes.constData(), bytes.size()));
        (void)findings;
        return static_cast<double>(timer.nsecsElapsed()) / 1e6;
    });
    std::printf("  checkScript (kivo-check, no editor)    %8.1f ms\n", check);

    kivo::editor::ScriptEdit edit;
    edit.resize(800, 600);
    edit.show();
    edit.setPlainText(text);
    QCoreApplication::processEvents();
    const double key = bestOf(50, [&] {
        QTextCursor caret(edit.document()->findBlockByNumber(5000));
        caret.movePosition(QTextCursor::EndOfBlock);
        QElapsedTimer timer;
        timer.start();
        caret.insertText(QStringLiteral("1"));
        QCoreApplication::processEvents();
        const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        caret.deletePreviousChar();
        QCoreApplication::processEvents();
        return ms;
    });
    const double labelKey = bestOf(20, [&] {
        QTextCursor caret(edit.document()->findBlockByNumber(7));  // the line ":add0"
        caret.movePosition(QTextCursor::EndOfBlock);
        QElapsedTimer timer;
        timer.start();
        caret.insertText(QStringLiteral("x"));  // the label changes: its jumps are looked at again
        QCoreApplication::processEvents();
        const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        caret.deletePreviousChar();
        QCoreApplication::processEvents();
        return ms;
    });
    std::printf("  one keystroke in line 5000             %8.3f ms\n", key);
    std::printf("  one keystroke in a label line          %8.3f ms\n", labelKey);
    return 0;
}
