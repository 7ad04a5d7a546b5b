#include <string>

#include "interpreter/console.h"
#include "interpreter/core_commands.h"
#include "interpreter/dispatcher.h"
#include "interpreter/errors.h"
#include "interpreter/scan.h"
#include "interpreter/script.h"

namespace kivo::interpreter {

void jumpToLabel(Run& run, std::string_view label) {
    if (run.script.seekLabel(label)) return;
    console::print("Nie moze znalezc podanej etykiety: %.*s\n", static_cast<int>(label.size()), label.data());
    fail(Fail::BadInstruction);
}

void runGoto(Run& run, const Line& line) { jumpToLabel(run, line.arguments); }

Syntax goSyntax(std::string_view how) {
    Syntax syntax{"%x %s", fields(2, 2), Refusal::WithLine};
    syntax.unknown = how.empty() || (how[0] != '<' && how[0] != '=' && how[0] != '>');
    return syntax;
}

void runGoCompare(Run& run, const Line& line) {
    std::uint32_t value = 0;
    std::string label;
    // The echo comes before the refusal of an unknown comparison.
    Syntax known = *line.syntax;
    known.unknown = false;
    requireSyntax(Line{line.keyword, line.suffix, line.arguments, line.prepared, &known},
                  scan(line.arguments, known.format, {&value, &label}));
    // "go" alone compares with the character 0, which the echo line prints as it is.
    const char how = line.suffix.empty() ? '\0' : line.suffix[0];
    console::print("\tgo%c %x %s\n", how, value, label.c_str());
    requireSyntax(line, 2);  // refuses the comparisons that do not exist
    const std::uint32_t stat = run.state.stat;
    const bool jump = how == '<' ? stat < value : how == '=' ? stat == value : stat > value;
    if (jump) jumpToLabel(run, label);
}

void runGobit(Run& run, const Line& line) {
    std::uint32_t mask = 0;
    std::string label;
    readArguments(line, {&mask, &label});
    const int wanted = !line.suffix.empty() && line.suffix[0] == '0' ? 0 : 1;
    console::print("gobit%d mask= %X, label= %s\n", wanted, mask, label.c_str());
    const int anySet = (run.state.stat & mask) != 0 ? 1 : 0;
    if (anySet != wanted) jumpToLabel(run, label);
}

void runLoop(Run& run, const Line& line) {
    std::uint32_t count = 0;
    std::string label;
    readArguments(line, {&count, &label});
    // The counter wraps like a 32-bit register: a count of 80000000 must not overflow.
    auto counter = static_cast<std::uint32_t>(run.loopCounter);
    counter = run.loopCounter < 0 ? count - 1 : counter - 1;
    run.loopCounter = static_cast<std::int32_t>(counter);
    console::print("\tloop %s %X. ", label.c_str(), count);
    run.state.stat = counter;
    if (run.loopCounter > 0) {
        console::print("Licznik petli= %X [hex]\n", counter);
        jumpToLabel(run, label);
    } else {
        console::print("Zakonczenie petli\n");
    }
}

}  // namespace kivo::interpreter
