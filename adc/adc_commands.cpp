#include "adc/adc_commands.h"

#include <string>

#include "adc/adc_controller.h"
#include "board/epp_port.h"
#include "interpreter/console.h"
#include "interpreter/errors.h"
#include "interpreter/numbers.h"
#include "interpreter/scan.h"

namespace kivo::adc {

using namespace interpreter;

namespace {

std::uint32_t scanAddress(const Line& line) {
    std::uint32_t address = 0;
    readArguments(line, {&address});
    return address;
}

void echoAddress(std::uint32_t address) {
    printGroupedHex(address);
    console::print("\n");
}

void baseAdr(Run&, AdcController& adc, const Line& line) {
    const std::uint32_t address = scanAddress(line);
    adc.setBaseAdr(address);
    echoAddress(address);
}

void memBaseAdr(Run&, AdcController& adc, const Line& line) {
    adc.memBaseAdr = scanAddress(line);
    echoAddress(adc.memBaseAdr);
}

void memHighAdr(Run&, AdcController& adc, const Line& line) {
    adc.memHighAdr = scanAddress(line);
    echoAddress(adc.memHighAdr);
}

void calibrate(Run& run, AdcController& adc, const Line& line) {
    std::uint32_t channel = 0;
    readArguments(line, {&channel});
    console::print("channnel= %d\n", static_cast<std::int32_t>(channel));
    adc.calibrate(board::transport(run), channel);
}

void calibShow(Run& run, AdcController& adc, const Line& line) {
    std::string file;
    std::int32_t channel = 0;
    std::uint32_t control = 0;
    readArguments(line, {&file, &channel, &control});
    console::print("file= %s, channel= %d, switch= %X\n", file.c_str(), channel, control);
    adc.calibShow(board::transport(run), file, static_cast<std::uint32_t>(channel), static_cast<std::uint8_t>(control),
                  run.state.fileappend != 0);
}

void calibWave(Run& run, AdcController& adc, const Line& line) {
    std::int32_t channel = 0;
    std::uint32_t control = 0;
    std::int32_t time = 0;  // left out: the wave runs until the program is stopped
    readArguments(line, {&channel, &control, &time});
    console::print("channel= %d, switch= %X, time= %d[ms]\n", channel, control, time);
    adc.calibWave(board::transport(run), static_cast<std::uint32_t>(channel), static_cast<std::uint8_t>(control), time);
}

struct Subcommand {
    std::string_view name;
    void (*run)(Run& run, AdcController& adc, const Line& line);
    Syntax syntax;
};

// Every adc argument error is code 20, whose message has no room for the line.
constexpr Syntax kAddress{"%x", fields(1, 1), Refusal::AdcParameters};
// Only a missing time means "forever": a mistyped one must not hang the run.
constexpr Syntax kWave{"%d %X %d", fields(2, 3), Refusal::AdcParameters, true};

constexpr Subcommand kSubcommands[] = {
    {"baseadr", baseAdr, kAddress},
    {"membaseadr", memBaseAdr, kAddress},
    {"memhighadr", memHighAdr, kAddress},
    {"calibrate", calibrate, kAddress},
    {"calibshow", calibShow, {"%s %d %x", fields(3, 3), Refusal::AdcParameters}},
    {"calibwave", calibWave, kWave},
};

Syntax memberSyntax(std::string_view name) {
    for (const Subcommand& subcommand : kSubcommands)
        if (subcommand.name == name) return subcommand.syntax;
    Syntax unknown;
    unknown.refusal = Refusal::Message;
    unknown.unknown = true;
    unknown.message = "\nNieznana komenda\n";
    return unknown;
}

std::vector<std::string_view> subcommandWords() {
    std::vector<std::string_view> words;
    for (const Subcommand& subcommand : kSubcommands) words.push_back(subcommand.name);
    return words;
}

void runAdc(Run& run, const Line& line) {
    console::print("\tadc_%.*s ", static_cast<int>(line.suffix.size()), line.suffix.data());
    for (const Subcommand& subcommand : kSubcommands) {
        if (subcommand.name == line.suffix) {
            subcommand.run(run, run.local<AdcController>(), line);
            return;
        }
    }
    requireSyntax(line, 0);
}

const Command kAdcCommands[] = {
    {"adc", Match::Prefix, runAdc, {}, subcommandWords, false, memberSyntax},
};

}  // namespace

CommandTable adcCommands() { return kAdcCommands; }

}  // namespace kivo::adc
