#include "board/board_commands.h"
#include "interpreter/console.h"
#include "interpreter/scan.h"

namespace kivo::board {

using namespace interpreter;

namespace {

void warnWithoutBase(const Run& run) {
    if (run.state.baseadr == 0) console::print("\tUwaga nie ustawiono adresu bazowego instrukcja baseadr\n");
}

}  // namespace

void runWaitbit(Run&, const Line& line) {
    // The handler reads "%X %X %d" from the whole argument text itself.
    notAvailable(line);
}

void runI2cwrite(Run& run, const Line& line) {
    std::uint32_t subaddress = 0, data = 0;
    requireFields(scan(line.arguments, "%x %x", {&subaddress, &data}), 2, 2, line);
    if (subaddress > 0x80 || data > 0xFF) failLine(line);
    warnWithoutBase(run);
    notAvailable(line);
}

void runI2cread(Run& run, const Line& line) {
    warnWithoutBase(run);
    std::uint32_t subaddress = 0;
    requireFields(scan(line.arguments, "%x", {&subaddress}), 1, 1, line);
    if (subaddress > 0x80) failLine(line);
    notAvailable(line);
}

}  // namespace kivo::board
