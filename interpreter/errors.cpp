#include "interpreter/errors.h"

#include "interpreter/console.h"

namespace kivo::interpreter {

void fail(int code) { throw ScriptFailure{code, std::nullopt, false}; }

void fail(int code, std::string_view text) { throw ScriptFailure{code, std::string(text), false}; }

void failMessage(int code, std::string_view message) { throw ScriptFailure{code, std::string(message), true}; }

namespace {

void printText(const ScriptFailure& failure) {
    if (failure.ownText)
        console::message(*failure.text);
    else
        console::text(*failure.text);
}

}  // namespace

void printFailure(const ScriptFailure& failure) {
    const bool hasText = failure.text.has_value();
    switch (failure.code) {
        case 0:
            if (hasText) {
                printText(failure);
                console::put('\n');
            }
            break;
        case 1:
            console::message("Nie moze otworzyc pliku: ");
            if (hasText) printText(failure);
            console::put('\n');
            break;
        case 2:
            console::message("Zabraklo pamieci\n");
            break;
        case 3:
            if (hasText) {
                console::put('\t');
                printText(failure);
                console::put('\n');
            }
            console::message("Bledna instrukcja w uruchomionym skrypcie\n");
            break;
        case 4:
            console::message(
                "Blad odczytu adresu ukladu CPLD.\n\tUklad CPLD zle zaprogramowany lub zle polaczenie z plyta "
                "XSV\n\tZob. instrukcje: ver, eppmode\n");
            break;
        case 6:
            if (hasText) {
                console::put('\t');
                printText(failure);
                console::put('\n');
            }
            console::message(
                "Adres bazowy dla tego urzadzenia nie zostal poprawnie ustawiony, patrz instrukcja "
                "urzadzenie_baseadr\n");
            break;
        case 13:
            console::message(
                "Zla wartosc indeksu pamieci statusowej.\nBledna instrukcja w uruchomionym skrypcie\n");
            break;
        case 20:
            console::message("\nZle parametry: \n");
            break;
        default:
            break;
    }
    console::message("Blad podczas wykonywania skryptu\nNacisnij dowolny klawisz\n");
}

}  // namespace kivo::interpreter
