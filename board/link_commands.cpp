#include "board/board_commands.h"
#include "board/epp_port.h"
#include "interpreter/console.h"
#include "interpreter/errors.h"
#include "interpreter/platform.h"
#include "interpreter/scan.h"
#include "port/port_registry.h"

namespace kivo::board {

using namespace interpreter;

void runVer(Run& run, const Line&) {
    console::print("\tVer\n");
    if (!transport(run).probe(true)) fail(Fail::Message);
}

void runEppmode(Run& run, const Line& line) {
    std::int32_t mode = -1;  // no argument: show the current mode
    readArguments(line, {&mode});
    EppPort& port = transport(run);
    if (mode >= 0) {
        console::print("\teppmode %X (%d dec)\n", static_cast<unsigned>(mode), mode);
        port.setEppmode(mode);
    } else {
        console::print("\t  eppmode= %X (hex)\n", static_cast<unsigned>(port.eppmode()));
    }
    run.state.stat = static_cast<std::uint32_t>(port.eppmode());
}

void runVhdlsim(Run& run, const Line&) {
    console::print("vhdlsim. Przejscie w tryb symulacji\n");
    transport(run).enterSimulation();
}

void startRun(Run& run) {
    // As if the script's first line were vhdlsim, echo included: the console says which mode
    // the run is in.
    if (port::simulationConfigured()) runVhdlsim(run, Line{});
}

void runReset(Run& run, const Line&) {
    console::print("reset\n");
    // The board's reset register sits at the top of the address space; baseadr does not apply.
    static constexpr std::uint32_t kResetRegister = 0xFFFFFFFF;
    const std::uint8_t assert = 0x01, release = 0x00;
    EppPort& port = transport(run);
    port.writeBlock(&assert, kResetRegister, 1);
    port.writeBlock(&release, kResetRegister, 1);
}

void runExit(Run& run, const Line&) {
    console::print("\texit\n");
    transport(run).close();  // ends the simulation trace as the run ends
    throw ScriptExit{};
}

void runSleep(Run& run, const Line& line) {
    std::int32_t milliseconds = 0;
    readArguments(line, {&milliseconds});
    console::print("\tsleep %d (dec)\n", milliseconds);
    EppPort& port = transport(run);
    if (port.simulation()) {
        port.traceWait(static_cast<std::uint32_t>(milliseconds));
    } else {
        port.recordPause(milliseconds);
        // A negative duration would be an endless wait; it is taken as no pause.
        if (milliseconds > 0) {
            console::flush();
            platform::sleepMs(static_cast<std::uint32_t>(milliseconds));
        }
    }
}

}  // namespace kivo::board
