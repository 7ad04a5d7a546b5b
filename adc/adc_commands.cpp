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

// Every adc argument error is code 20, whose message has no room for the line.
void requireFields(int fields, int lo, int hi) {
    if (fields < lo || fields > hi) fail(Fail::AdcParameters);
}

std::uint32_t scanAddress(const Line& line) {
    std::uint32_t address = 0;
    requireFields(scan(line.arguments, "%x", {&address}), 1, 1);
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
    requireFields(scan(line.arguments, "%x", {&channel}), 1, 1);
    console::print("channnel= %d\n", static_cast<std::int32_t>(channel));
    adc.calibrate(board::transport(run), channel);
}

void calibShow(Run& run, AdcController& adc, const Line& line) {
    std::string file;
    std::int32_t channel = 0;
    std::uint32_t control = 0;
    requireFields(scan(line.arguments, "%s %d %x", {&file, &channel, &control}), 3, 3);
    console::print("file= %s, channel= %d, switch= %X\n", file.c_str(), channel, control);
    adc.calibShow(board::transport(run), file, static_cast<std::uint32_t>(channel), static_cast<std::uint8_t>(control),
                  run.state.fileappend != 0);
}

void calibWave(Run& run, AdcController& adc, const Line& line) {
    std::int32_t channel = 0;
    std::uint32_t control = 0;
    std::int32_t time = 0;  // left out: the wave runs until the program is stopped
    const int fields = scan(line.arguments, "%d %X %d", {&channel, &control, &time});
    requireFields(fields, 2, 3);
    // Only a missing time means "forever": a mistyped one must not hang the run.
    std::string word;
    if (fields == 2 && scan(line.arguments, "%s %s %s", {&word, &word, &word}) == 3) fail(Fail::AdcParameters);
    console::print("channel= %d, switch= %X, time= %d[ms]\n", channel, control, time);
    adc.calibWave(board::transport(run), static_cast<std::uint32_t>(channel), static_cast<std::uint8_t>(control), time);
}

struct Subcommand {
    std::string_view name;
    void (*run)(Run& run, AdcController& adc, const Line& line);
};

constexpr Subcommand kSubcommands[] = {
    {"baseadr", baseAdr},
    {"membaseadr", memBaseAdr},
    {"memhighadr", memHighAdr},
    {"calibrate", calibrate},
    {"calibshow", calibShow},
    {"calibwave", calibWave},
};

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
    failMessage(Fail::Message, "\nNieznana komenda\n");
}

constexpr Command kAdcCommands[] = {
    {"adc", Match::Prefix, runAdc, subcommandWords},
};

}  // namespace

CommandTable adcCommands() { return kAdcCommands; }

}  // namespace kivo::adc
