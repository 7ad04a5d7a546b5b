#include <string>

#include "board/board_commands.h"
#include "interpreter/errors.h"
#include "interpreter/scan.h"

namespace kivo::board {

using namespace interpreter;

void runWritebyte(Run& run, const Line& line) {
    std::uint32_t address = 0;
    std::string data;
    requireFields(scan(line.arguments, "%x %s", {&address, &data}), 2, 2, line);
    address += run.state.baseadr;
    notAvailable(line);
}

void runReadbyte(Run& run, const Line& line) {
    std::uint32_t start = 0, stop = 0;
    const int fields = scan(line.arguments, "%x %x", {&start, &stop});
    if (fields < 1 || fields > 2) fail(3);
    if (fields == 1) stop = start;
    start += run.state.baseadr;
    stop += run.state.baseadr;
    notAvailable(line);
}

void runWriteblock(Run& run, const Line& line) {
    std::string name;
    std::uint32_t start = 0, stop = 0;
    const int fields = scan(line.arguments, "%s %x %x", {&name, &start, &stop});
    if (fields <= 1) {
        // No addresses: status memory cells 0 and 1 hold them.
        start = static_cast<std::uint32_t>(run.state.statusMemory[0]);
        stop = static_cast<std::uint32_t>(run.state.statusMemory[1]);
        if (fields < 1) name.clear();
    } else if (fields == 2 && name.find('.') == std::string::npos) {
        // Two words and the first is no file name: they are the start and stop addresses.
        name.clear();
        start = stop = 0;
        scan(line.arguments, "%x %x", {&start, &stop});
    }
    start += run.state.baseadr;
    stop += run.state.baseadr;
    notAvailable(line);
}

void runReadblock(Run& run, const Line& line) {
    std::string name;
    std::uint32_t start = 0, stop = 0;
    requireFields(scan(line.arguments, "%s %x %x", {&name, &start, &stop}), 3, 3, line);
    start += run.state.baseadr;
    stop += run.state.baseadr;
    notAvailable(line);
}

}  // namespace kivo::board
