#include "interpreter/errors.h"

#include "interpreter/console.h"

namespace kivo::interpreter {

void fail(Fail code) { throw ScriptFailure{static_cast<int>(code), std::nullopt, false}; }

void fail(Fail code, std::string_view text) { throw ScriptFailure{static_cast<int>(code), std::string(text), false}; }

void failMessage(Fail code, std::string_view message) {
    throw ScriptFailure{static_cast<int>(code), std::string(message), true};
}

namespace {

// The output of a failure, once for the console and once for a checker that collects bytes.
struct Output {
    virtual void message(std::string_view text) = 0;
    virtual void text(std::string_view text) = 0;
    void put(char c) { text(std::string_view(&c, 1)); }

protected:
    ~Output() = default;
};

struct ConsoleOutput final : Output {
    void message(std::string_view s) override { console::message(s); }
    void text(std::string_view s) override { console::text(s); }
};

struct StringOutput final : Output {
    std::string bytes;
    void message(std::string_view s) override { bytes += s; }
    void text(std::string_view s) override { bytes += s; }
};

void printText(Output& console, const ScriptFailure& failure) {
    if (failure.ownText)
        console.message(*failure.text);
    else
        console.text(*failure.text);
}

void printCodeMessage(Output& console, const ScriptFailure& failure);

}  // namespace

void printFailure(const ScriptFailure& failure) {
    ConsoleOutput console;
    printCodeMessage(console, failure);
    console::message("Blad podczas wykonywania skryptu\nNacisnij dowolny klawisz\n");
}

std::string failureText(const ScriptFailure& failure) {
    StringOutput out;
    printCodeMessage(out, failure);
    return out.bytes;
}

namespace {

void printCodeMessage(Output& console, const ScriptFailure& failure) {
    const bool hasText = failure.text.has_value();
    switch (static_cast<Fail>(failure.code)) {
        case Fail::Message:
            if (hasText) {
                printText(console, failure);
                console.put('\n');
            }
            break;
        case Fail::FileOpen:
            console.message("Nie moze otworzyc pliku: ");
            if (hasText) printText(console, failure);
            console.put('\n');
            break;
        case Fail::OutOfMemory:
            console.message("Zabraklo pamieci\n");
            break;
        case Fail::BadInstruction:
            if (hasText) {
                console.put('\t');
                printText(console, failure);
                console.put('\n');
            }
            console.message("Bledna instrukcja w uruchomionym skrypcie\n");
            break;
        case Fail::CpldAddress:
            console.message(
                "Blad odczytu adresu ukladu CPLD.\n\tUklad CPLD zle zaprogramowany lub zle polaczenie z plyta "
                "XSV\n\tZob. instrukcje: ver, eppmode\n");
            break;
        case Fail::BaseAddress:
            if (hasText) {
                console.put('\t');
                printText(console, failure);
                console.put('\n');
            }
            console.message(
                "Adres bazowy dla tego urzadzenia nie zostal poprawnie ustawiony, patrz instrukcja "
                "urzadzenie_baseadr\n");
            break;
        case Fail::StatusIndex:
            console.message(
                "Zla wartosc indeksu pamieci statusowej.\nBledna instrukcja w uruchomionym skrypcie\n");
            break;
        case Fail::AdcParameters:
            console.message("\nZle parametry: \n");
            break;
        default:
            break;
    }
}

}  // namespace

}  // namespace kivo::interpreter
