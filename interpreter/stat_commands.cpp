#include <algorithm>
#include <iterator>

#include "interpreter/console.h"
#include "interpreter/core_commands.h"
#include "interpreter/errors.h"
#include "interpreter/numbers.h"
#include "interpreter/scan.h"

namespace kivo::interpreter {
namespace {

std::int32_t& cell(Run& run, std::uint32_t index) {
    if (index > 0xFF) fail(Fail::StatusIndex);
    return run.state.statusMemory[index];
}

}  // namespace

void runStat(Run& run, const Line& line) {
    const std::string_view op = line.suffix;
    std::uint32_t& stat = run.state.stat;
    if (!op.empty() && op[0] == '?') {
        console::print("\tstat?,  stat= ");
        printGroupedHex(stat);
        console::print(" (%d)\n", static_cast<std::int32_t>(stat));
        return;
    }
    std::uint32_t operand = 0;
    Syntax valueOnly = *line.syntax;
    valueOnly.unknown = false;
    if (refusal(valueOnly, line.arguments, scan(line.arguments, valueOnly.format, {&operand}), line.prepared)) {
        console::print("\tstat%.*s %.*s\n", static_cast<int>(op.size()), op.data(),
                       static_cast<int>(line.arguments.size()), line.arguments.data());
        fail(Fail::BadInstruction);
    }
    console::print("\tstat%.*s %X\n", static_cast<int>(op.size()), op.data(), operand);

    if (op == "+=m") {
        stat += static_cast<std::uint32_t>(cell(run, operand));
    } else if (op == "-=m") {
        stat -= static_cast<std::uint32_t>(cell(run, operand));
    } else if (op == "+=") {
        stat += operand;
    } else if (op == "-=") {
        stat -= operand;
    } else if (op == "*=") {
        stat *= operand;
    } else if (op == "/=") {
        if (operand == 0) failLine(line);
        stat /= operand;
    } else if (op == "&=") {
        stat &= operand;
    } else if (op == "|=") {
        stat |= operand;
    } else if (op == "^=") {
        stat ^= operand;
    } else if (op == "=>m") {
        cell(run, operand) = static_cast<std::int32_t>(stat);
    } else if (op == "<=m") {
        stat = static_cast<std::uint32_t>(cell(run, operand));
    } else if (op == "<=>m") {
        std::int32_t& c = cell(run, operand);
        std::uint32_t old = stat;
        stat = static_cast<std::uint32_t>(c);
        c = static_cast<std::int32_t>(old);
    } else if (!op.empty() && op[0] == '=') {
        stat = operand;
    } else {
        fail(Fail::BadInstruction);
    }
}

Syntax statSyntax(std::string_view op) {
    if (!op.empty() && op[0] == '?') return {};
    static constexpr std::string_view kOperators[] = {"+=m", "-=m", "+=", "-=", "*=", "/=", "&=",
                                                      "|=",  "^=",  "=>m", "<=m", "<=>m"};
    Syntax syntax{"%x", fields(1, 1), Refusal::NoText};
    syntax.unknown = !(!op.empty() && op[0] == '=') &&
                     std::find(std::begin(kOperators), std::end(kOperators), op) == std::end(kOperators);
    return syntax;
}

}  // namespace kivo::interpreter
