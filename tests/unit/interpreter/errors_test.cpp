#include <gtest/gtest.h>

#include "../capture_stdout.h"
#include "interpreter/console.h"
#include "interpreter/errors.h"

namespace kivo::interpreter {
namespace {

const std::string kClosing = "Blad podczas wykonywania skryptu\nNacisnij dowolny klawisz\n";

std::string printed(const ScriptFailure& f) {
    testing::CaptureStdout capture;
    printFailure(f);
    return capture.text();
}

ScriptFailure caught(void (*raise)()) {
    try {
        raise();
    } catch (const ScriptFailure& f) {
        return f;
    }
    ADD_FAILURE() << "fail returned";
    return {};
}

TEST(Fail, ThrowsWithCodeAndText) {
    auto f = caught([] { fail(Fail::BadInstruction, "stat+= "); });
    EXPECT_EQ(f.code, 3);
    EXPECT_EQ(*f.text, "stat+= ");
    EXPECT_FALSE(f.ownText);
    EXPECT_FALSE(caught([] { fail(Fail::OutOfMemory); }).text.has_value());
    EXPECT_TRUE(caught([] { failMessage(Fail::Message, "x"); }).ownText);
}

TEST(Fail, MessageOfEveryCode) {
    console::setUtf8Output(false);
    EXPECT_EQ(printed({0, std::nullopt}), kClosing);
    EXPECT_EQ(printed({0, "tekst"}), "tekst\n" + kClosing);
    EXPECT_EQ(printed({1, "a.bin"}), "Nie moze otworzyc pliku: a.bin\n" + kClosing);
    EXPECT_EQ(printed({2, "ignored"}), "Zabraklo pamieci\n" + kClosing);
    EXPECT_EQ(printed({3, std::nullopt}), "Bledna instrukcja w uruchomionym skrypcie\n" + kClosing);
    EXPECT_EQ(printed({3, "stat 5 %s"}), "\tstat 5 %s\nBledna instrukcja w uruchomionym skrypcie\n" + kClosing);
    EXPECT_EQ(printed({4, std::nullopt}),
              "Blad odczytu adresu ukladu CPLD.\n\tUklad CPLD zle zaprogramowany lub zle polaczenie z plyta "
              "XSV\n\tZob. instrukcje: ver, eppmode\n" +
                  kClosing);
    EXPECT_EQ(printed({6, std::nullopt}),
              "Adres bazowy dla tego urzadzenia nie zostal poprawnie ustawiony, patrz instrukcja "
              "urzadzenie_baseadr\n" +
                  kClosing);
    EXPECT_EQ(printed({6, "la"}),
              "\tla\nAdres bazowy dla tego urzadzenia nie zostal poprawnie ustawiony, patrz instrukcja "
              "urzadzenie_baseadr\n" +
                  kClosing);
    EXPECT_EQ(printed({13, std::nullopt}),
              "Zla wartosc indeksu pamieci statusowej.\nBledna instrukcja w uruchomionym skrypcie\n" + kClosing);
    EXPECT_EQ(printed({20, "never shown"}), "\nZle parametry: \n" + kClosing);
    EXPECT_EQ(printed({5, "x"}), kClosing);
    EXPECT_EQ(printed({99, std::nullopt}), kClosing);
}

TEST(Console, OwnTextIsTranscodedOnlyForUtf8Consoles) {
    // "szerokości" with the Windows-1250 byte for ś.
    const ScriptFailure f{0, "szeroko\x9C" "ci", true};
    console::setUtf8Output(false);
    EXPECT_EQ(printed(f), "szeroko\x9C" "ci\n" + kClosing);
    console::setUtf8Output(true);
    EXPECT_EQ(printed(f), "szeroko\xC5\x9B" "ci\n" + kClosing);
    // Script text is never transcoded.
    EXPECT_EQ(printed({3, "\x9C"}), "\t\x9C\nBledna instrukcja w uruchomionym skrypcie\n" + kClosing);
    {
        testing::CaptureStdout capture;
        console::print("%s \xB3\n", "\xB3");
        EXPECT_EQ(capture.text(), "\xB3 \xC5\x82\n");
    }
    console::setUtf8Output(false);
}

TEST(Console, Windows1250ToUtf8) {
    EXPECT_EQ(console::toUtf8("abc"), "abc");
    EXPECT_EQ(console::toUtf8("\xA5\xB9\xCA\xEA\xA3\xB3\xD1\xF1\xD3\xF3\x8C\x9C\x8F\x9F\xAF\xBF\xC6\xE6"),
              "ĄąĘęŁłŃńÓóŚśŹźŻżĆć");
    EXPECT_EQ(console::toUtf8("\x80\x96"), "€–");
    EXPECT_EQ(console::toUtf8("\x81"), "\xEF\xBF\xBD");  // no character there
}

}  // namespace
}  // namespace kivo::interpreter
