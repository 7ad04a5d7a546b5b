// The parts of scriptdesk without windows: the code page, script files, raw images and the
// command table.
#include "editor/command_table.h"
#include "editor/raw_image.h"
#include "editor/script_file.h"
#include "editor/settings_store.h"
#include "editor/windows1250.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>


using namespace kivo::editor;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

}  // namespace

class CoreTest : public QObject {
    Q_OBJECT
private slots:
    void polishLettersUseTheirWindows1250Bytes() {
        const QString polish = QStringLiteral("ąćęłńóśźż ĄĆĘŁŃÓŚŹŻ");
        const QByteArray bytes = toWindows1250(polish);
        QCOMPARE(bytes, QByteArray("\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF \xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF"));
        QCOMPARE(fromWindows1250(bytes), polish);
    }

    void everyByteSurvivesDecodeAndEncode() {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(static_cast<char>(b));
        QCOMPARE(toWindows1250(fromWindows1250(all)), all);
    }

    void charactersOutsideTheCodePageBecomeQuestionMarks() {
        QCOMPARE(toWindows1250(QStringLiteral("a\u4E2Db")), QByteArray("a?b"));
    }

    void savedLinesEndWithCrLf_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty document writes nothing") << QString() << QByteArray();
        QTest::newRow("last line gets its break") << QStringLiteral("a\nb") << QByteArray("a\r\nb\r\n");
        QTest::newRow("trailing break is not a line") << QStringLiteral("a\n") << QByteArray("a\r\n");
        QTest::newRow("blank lines kept") << QStringLiteral("\n\nx") << QByteArray("\r\n\r\nx\r\n");
    }
    void savedLinesEndWithCrLf() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(ScriptFile::encode(text), bytes);
    }

    void loadAcceptsAnyLineEndAndSaveRestoresCrLf() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("s.txt"));
        writeAll(path, "print \xB3\xF3\x64\x9F\r\nstat=5\nexit\r");
        const ScriptFile::LoadResult loaded = ScriptFile::load(path);
        QVERIFY(loaded.ok);
        QCOMPARE(loaded.text, QStringLiteral("print łódź\nstat=5\nexit\n"));
        QVERIFY(ScriptFile::save(path, loaded.text).ok);
        QCOMPARE(readAll(path), QByteArray("print \xB3\xF3\x64\x9F\r\nstat=5\r\nexit\r\n"));
    }

    void failedSaveLeavesTheOldFileAndSaysWhy() {
        QTemporaryDir dir;
        QVERIFY(!ScriptFile::save(dir.filePath(QStringLiteral("no/such/dir/s.txt")), QStringLiteral("x")).ok);
        // A directory in place of the file: the write fails, the directory stays as it was.
        const QString target = dir.filePath(QStringLiteral("taken"));
        QVERIFY(QDir().mkdir(target));
        const ScriptFile::SaveResult saved = ScriptFile::save(target, QStringLiteral("x"));
        QVERIFY(!saved.ok);
        QVERIFY(saved.error.contains(target));
        QVERIFY(QFileInfo(target).isDir());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
    }

    void loadOfMissingFileFails() {
        QVERIFY(!ScriptFile::load(QStringLiteral("/nonexistent/x.txt")).ok);
    }

    void rawPixelsAreRgb565LowByteFirst_data() {
        QTest::addColumn<QByteArray>("in");
        QTest::addColumn<QByteArray>("out");
        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("white") << QByteArray("\xFF\xFF\xFF") << QByteArray("\xFF\xFF");
        QTest::newRow("red only") << QByteArray("\xF8\x00\x00", 3) << QByteArray("\x00\xF8", 2);
        QTest::newRow("green only") << QByteArray("\x00\xFC\x00", 3) << QByteArray("\xE0\x07", 2);
        QTest::newRow("blue only") << QByteArray("\x00\x00\xF8", 3) << QByteArray("\x1F\x00", 2);
        QTest::newRow("low bits dropped") << QByteArray("\x07\x03\x07", 3) << QByteArray("\x00\x00", 2);
        QTest::newRow("two pixels") << QByteArray("\x80\x40\x20\x08\x04\x08", 6)
                                    << QByteArray("\x04\x82\x21\x08", 4);
        QTest::newRow("short last group padded") << QByteArray("\xFF\xFF\xFF\xFF", 4)
                                                  << QByteArray("\xFF\xFF\x00\xF8", 4);
    }
    void rawPixelsAreRgb565LowByteFirst() {
        QFETCH(QByteArray, in);
        QFETCH(QByteArray, out);
        QCOMPARE(outToRaw(in), out);
    }

    void convertOutToRawFiles() {
        QTemporaryDir dir;
        const QString in = dir.filePath(QStringLiteral("a.out"));
        const QString out = dir.filePath(QStringLiteral("a.raw"));
        QCOMPARE(convertOutToRaw(in, out), RawConversion::InputMissing);
        QVERIFY(!QFile::exists(out));
        writeAll(in, QByteArray("\xF8\x00\x00", 3));
        writeAll(out, "older and longer content");
        QCOMPARE(convertOutToRaw(in, out), RawConversion::Done);
        QCOMPARE(readAll(out), QByteArray("\x00\xF8", 2));
        QCOMPARE(convertOutToRaw(in, QString()), RawConversion::OutputFailed);
        QCOMPARE(convertOutToRaw(in, dir.filePath(QStringLiteral("no/dir/a.raw"))), RawConversion::OutputFailed);
    }

    void everyDialogCaptionNamesTheCommandItInserts() {
        // The group box is what tells the user which command the values are for.
        for (const CommandMenu& menu : commandMenus())
            for (const CommandItem& item : menu.items) {
                if (item.fieldCount == 0 || helpAnchor(item) == QLatin1String("label"))
                    continue;
                QString shown = QString::fromLatin1(item.groupCaption);
                shown.replace(QLatin1String("&&"), QLatin1String("&"));
                QVERIFY2(shown.contains(QLatin1String(item.keyword)), item.groupCaption);
            }
    }

    void helpKeywordsMatchAsUsersKnowThem_data() {
        QTest::addColumn<QString>("selection");
        QTest::addColumn<QString>("anchor");  // empty: no help
        QTest::newRow("go>") << "go>" << "go>";
        QTest::newRow("capitalised keeps its case") << "Config" << "Config";
        QTest::newRow("all caps") << "READBLOCK" << "READBLOCK";
        QTest::newRow("stat+= is not an entry") << "stat+=" << "";
        QTest::newRow("stat+ is") << "stat+" << "stat+";
        QTest::newRow("LA cannot match lowered") << "LA" << "";
        QTest::newRow("la neither") << "la" << "";
        QTest::newRow("eight-letter lacevalu") << "lacevalu" << "lacevalu";
        QTest::newRow("lacevalue is not an entry") << "lacevalue" << "";
        QTest::newRow("trailing code 26 dropped") << QStringLiteral("ver\x1A\x1A") << "ver";
        QTest::newRow("non-ASCII not lowered") << QStringLiteral("prİnt") << "";
        QTest::newRow("blank around") << " print" << "";
    }
    void helpKeywordsMatchAsUsersKnowThem() {
        QFETCH(QString, selection);
        QFETCH(QString, anchor);
        const auto found = helpAnchorForSelection(selection);
        QCOMPARE(found.value_or(QString()), anchor);
        QCOMPARE(helpKeywords().size(), 60);
    }

    void helpPageHasEveryAnchorTheEditorOpens() {
        QSet<QString> ids;
        const QString page = QString::fromUtf8(readAll(QStringLiteral(SCRIPTDESK_HELP_PAGE)));
        static const QRegularExpression idPattern(QStringLiteral("id=\"([^\"]*)\""));
        for (const QRegularExpressionMatch& m : idPattern.globalMatch(page)) {
            QString id = m.captured(1);
            id.replace(QLatin1String("&gt;"), QLatin1String(">")).replace(QLatin1String("&lt;"), QLatin1String("<"));
            ids.insert(id.replace(QLatin1String("&amp;"), QLatin1String("&")));
        }
        for (const QString& keyword : helpKeywords())
            QVERIFY2(ids.contains(keyword), qPrintable(keyword));
        for (const CommandMenu& menu : commandMenus())
            for (const CommandItem& item : menu.items)
                if (item.fieldCount > 0)
                    QVERIFY2(ids.contains(helpAnchor(item)), item.keyword);
    }

    void iniSettingsStoreKeepsKeySubkeyAndValues() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("cfg/Software/KIVO Voraraz Udide.ini"));
        auto store = makeUserSettingsStore(path);
        QVERIFY(!store->keyExists());
        QCOMPARE(store->readValue(QStringLiteral("KIVO_PATH")), QString());
        QVERIFY(store->createKey());
        QVERIFY(store->keyExists());
        QVERIFY(store->writeValue(QStringLiteral("KIVO_PATH"), QStringLiteral("/x y/kivo")));
        QVERIFY(store->writeValue(QStringLiteral("VIEW"), QStringLiteral("1")));
        auto again = makeUserSettingsStore(path);
        QCOMPARE(again->readValue(QStringLiteral("KIVO_PATH")), QStringLiteral("/x y/kivo"));
        QCOMPARE(again->readValue(QStringLiteral("VIEW")), QStringLiteral("1"));
        QVERIFY(readAll(path).contains("[PARAMETRY]"));
    }
};

QTEST_MAIN(CoreTest)
#include "core_test.moc"
