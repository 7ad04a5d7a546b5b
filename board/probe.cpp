#include "board/epp_link.h"
#include "board/epp_port.h"
#include "board/epp_wire.h"
#include "interpreter/console.h"

namespace kivo::board {

namespace console = interpreter::console;

namespace {

// Bits 7, 6, 3, 2 of the address register read 1, 0, 1, 0 on an EPP board.
constexpr std::uint8_t kEppSignatureMask = 0xCC;
constexpr std::uint8_t kEppSignature = 0x88;
// Bits 7, 6 and 3 of the nibble identification byte name the board.
constexpr std::uint8_t kNibbleBoardMask = 0xC8;
constexpr std::uint8_t kXsbBoard = 0x80;
constexpr std::uint8_t kZemBoard = 0x40;

int bit(std::uint8_t value, int n) { return (value >> n) & 1; }

}  // namespace

bool EppPort::probe(bool verbose) {
    if (simulation_) return true;
    probePending_ = false;

    std::uint8_t id = 0;
    std::uint8_t status = 0;
    auto eppAttempt = [&] {
        writeControl(wire::kControlIdle);
        id = readAddressRegister();
        status = readStatus();
        return (id & kEppSignatureMask) == kEppSignature;
    };
    bool found = eppAttempt();
    if (!found && eppmode_ == 0) {
        // The port chip's EPP cycles got no answer: try driving the handshake by hand.
        eppmode_ = 3;
        found = eppAttempt();
    }
    if (found) {
        if (verbose) {
            // Status bit 0 is the port chip's EPP timeout flag.
            if ((status & 0x01) != 0 && eppmode_ == 0)
                console::print("\t Ostrzezenie: Blad timeout'u podczas pracy w trybie EPP\n");
            if (eppmode_ == 3) console::print("  Plyta pracuje w trybie software'owej emulacji standardu EPP\n");
            // The board line shows the address register the configuration relies on: bit 5 the
            // XSV300 marker, bit 4 the version, bit 1 Done, bit 0 InitN.
            console::print(bit(id, 5) ? "\tXSV300" : "\tXSV800");
            console::print(" Wersja: '%d', Done '%d', InitN '%d', eppmode '%d'\n", bit(id, 4), bit(id, 1), bit(id, 0),
                           eppmode_);
        }
        return true;
    }

    // Nibble boards answer on the status lines; a step with nError high finds no board.
    std::uint8_t value = 0;
    const bool answered = links().nibble[0].identify(value);
    const std::uint8_t board = value & kNibbleBoardMask;
    if (answered && (board == kXsbBoard || board == kZemBoard)) {
        boardKind_ = board == kXsbBoard ? 0 : 1;
        if (verbose) {
            console::print(board == kXsbBoard ? "Plyta XSB wykryta, Ver= %d. Progn= %d, InitN= %d, Done= %d\n"
                                              : "Plyta ZEM wykryta, Ver= %d. Progn= %d, InitN= %d, Done= %d\n",
                           (value >> 4) & 3, bit(value, 2), bit(value, 1), bit(value, 0));
        }
        if (eppmode_ < 16) eppmode_ = 16;
        return true;
    }

    // Status bit 7 is Busy read inverted, i.e. the EPP nWait line itself.
    console::print(
        "Blad. Plyta nie jest podlaczona, uklad CPLD jest zle zaprogramowany,\n\tlub uklad FPGA nie ma interface'u "
        "EPP\n\tSygnal ~Wait= %d, Done= %d\n",
        1 - bit(status, 7), bit(status, 4));
    return false;
}

}  // namespace kivo::board
