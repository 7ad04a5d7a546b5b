#include "fpga/fpga_config.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "datafiles/data_files.h"
#include "interpreter/console.h"
#include "interpreter/core_commands.h"
#include "interpreter/errors.h"
#include "interpreter/platform.h"
#include "interpreter/progress.h"
#include "interpreter/scan.h"

namespace kivo::fpga {

using namespace interpreter;
using board::EppPort;

namespace {

// Address register bits.
constexpr std::uint8_t kInitN = 0x01;
constexpr std::uint8_t kDone = 0x02;
constexpr std::uint8_t kXcv300 = 0x20;
constexpr std::uint8_t kSignatureMask = 0xC0;

constexpr std::int32_t kFirstNibbleMode = 16;
// One first read plus ten thousand retries, like the port's own poll limits (board/epp_wire.h).
constexpr int kInitNReads = 10001;
// Near the end of the stream the FPGA may already start up: an early Done or a read-back
// that no longer echoes is expected there.
constexpr std::uint32_t kStartupSlack = 20;
// A transfer that fails this close to the end is taken as the FPGA starting up, too.
constexpr std::uint32_t kTransferSlack = 100;

bool eppBoard(const EppPort& port) { return port.eppmode() < kFirstNibbleMode; }

// A directory named like a bitstream opens for reading on some systems: only a file counts.
bool bitstreamExists(const std::string& name) {
    std::error_code error;
    return std::filesystem::is_regular_file(name, error);
}

// The address register carries the board's signature in bits 7-6 only when a board answers:
// lines that float (no board, a dead cable) read FF, Done included, and would pass the other
// checks.
bool boardAnswers(const EppPort& port, std::uint8_t addressRegister) {
    const std::uint8_t signature = port.boardKind() == 1 ? 0x40 : 0x80;
    return (addressRegister & kSignatureMask) == signature;
}

void requireBoard(const EppPort& port, std::uint8_t addressRegister) {
    if (boardAnswers(port, addressRegister)) return;
    console::print("Odczytany adres: %X\n", static_cast<unsigned>(addressRegister));
    fail(Fail::CpldAddress);
}

// promgen turns base.bit into base.hex (and base.prm); fileconv makes the binary base.cfg.
void convertBitstream(Run& run, const std::string& base, const std::string& cfgName) {
    const std::string commandLine = "promgen -u 0 " + base + ".bit -p hex -s 2048 -w";
    runProgram(run, commandLine);
    datafiles::fileConv(run.state, base + ".hex", cfgName, 0);
    // Leftovers of the conversion; one that is missing or stays is no reason to stop.
    platform::deleteFile(base + ".hex");
    platform::deleteFile(base + ".prm");
}

// The ver command against `port`: the verbose report tells the user why the link failed.
void reportBoard(EppPort& port) {
    console::print("\tVer\n");
    if (!port.probe(true)) fail(Fail::Message);
}

}  // namespace

FpgaTarget fpgaTarget(std::int32_t eppmode, std::int32_t boardKind, std::uint8_t addressRegister) {
    if (eppmode < kFirstNibbleMode) {
        if (addressRegister & kXcv300) return {"XCV300 PQ240", 0x35760};
        return {"XCV800 HQ240", 0x8FE8C};
    }
    if (boardKind == 0) return {"XC2S300E PQ208", 0x393D8};
    return {"XC3S1500 FG456", 0x9F248};
}

std::string configurationBase(std::string_view name) {
    // Dots in directory names belong to the directories, not to the extension.
    const std::size_t separator = name.find_last_of("/\\");
    const std::size_t fileName = separator == std::string_view::npos ? 0 : separator + 1;
    return std::string(name.substr(0, name.find('.', fileName)));
}

void config(Run& run, EppPort& port, const std::string& name, std::int32_t chunk) {
    console::print("\tconfig %s\n", name.c_str());
    if (port.simulation()) return;
    const EppPort::Unrecorded configuration(port);

    const std::string base = configurationBase(name);
    const std::string cfgName = base + ".cfg";
    // The .bit file is kept: it is the user's source, and a later run converts it again.
    if (bitstreamExists(base + ".bit")) convertBitstream(run, base, cfgName);

    const datafiles::ByteBuffer data = datafiles::readDataFile(cfgName, 0);
    const auto length = static_cast<std::uint32_t>(data.size());

    // 1. Only a board that answers can be configured; the probe settles the port mode first.
    if (port.probePending()) port.probe(false);
    const std::uint8_t id = port.readAddressRegister();
    requireBoard(port, id);
    // 2. The stream must be exactly what this FPGA takes. Checked before the Program pulse,
    // which would erase a working FPGA for a file that cannot replace it.
    const FpgaTarget target = fpgaTarget(port.eppmode(), port.boardKind(), id);
    if (length != target.bytes) {
        failMessage(Fail::Message, "Niepoprawna dlugosc pliku konfigurujacego dla ukladu " + std::string(target.name) + "\n");
    }

    // 3. The Program pulse clears the FPGA's configuration memory.
    port.setProgramN(0);
    port.setProgramN(1);
    // 4. InitN rises when the clearing is over.
    bool initN = false;
    for (int i = 0; i < kInitNReads && !initN; ++i) initN = (port.readAddressRegister() & kInitN) != 0;
    if (!initN) failMessage(Fail::Message, "InitN nie idzie w stan wysoki po sygnale Program\n");

    // 5. Stream in chunks, checking Done and the board's signature after each.
    bool readBackFailed = false;
    const progress::Progress shown("config", length);
    const auto step = static_cast<std::uint32_t>(chunk);
    std::uint32_t sent = 0;
    while (sent < length) {
        const std::uint32_t count = std::min(step, length - sent);
        const int failed = port.writeData(data.data() + sent, static_cast<std::int32_t>(count));
        if (failed > 0 && length - sent > kTransferSlack) {
            console::print(
                "Blad. Zbyt dlugi czas pojedynczego transferu lub bledny transfer, przy konfiguracji %d bajtem\n",
                static_cast<int>(sent + static_cast<std::uint32_t>(failed)));
            reportBoard(port);
            failMessage(Fail::Message, "Blad podczas wykonywania instrukcji config.");
        }
        const std::uint8_t last = data.data()[sent + count - 1];
        sent += count;

        if (eppBoard(port)) {
            // The FPGA's data port echoes the last configuration byte it took.
            bool timeout = false;
            const std::uint8_t back = port.readData(timeout);
            if (back != last && sent + kStartupSlack < length) {
                console::print(
                    "Blad podczas konfiguracji FPGA po przeslaniu %Xh (%d)d Bajtow\nWartosc przeslana %X, odczytana "
                    "%X\n",
                    sent, static_cast<int>(sent), static_cast<unsigned>(last), static_cast<unsigned>(back));
                port.writeControl(0x00);  // ProgramN low: the FPGA is left cleared
                readBackFailed = true;
                break;
            }
        }

        const std::uint8_t status = port.readAddressRegister();
        if (status & kDone) {
            if (sent <= 1) {
                port.setProgramN(0);
                failMessage(Fail::Message,
                            "Done zawsze w stanie wysokim,\nsprawdz czy plyta zostala podlaczona do portu EPP\nUzyj "
                            "instrukcji 'ver' w celu otrzymania wiecej informacji\n");
            }
            if (sent + kStartupSlack < length) {
                port.setProgramN(0);
                console::print("Done idzie w stan wysoki za szybko - po transferze %Xh bajtow\n", sent);
                failMessage(Fail::Message, "Za duzy plik konfiguracyjny lub nie podlaczona plyta\n");
            }
        }
        requireBoard(port, status);
    }

    // 6. The FPGA's start-up needs clocks after the stream: one more byte gives them.
    port.writeData(data.data(), 1);
    const std::uint8_t status = port.readAddressRegister();
    // After a read-back error the FPGA was cleared on purpose: a Done that reads high then is
    // no configuration.
    if (readBackFailed || (status & kDone) == 0) {
        console::print("Blad programowania plikiem: %s. Sygnal Done= %d\n", cfgName.c_str(), (status & kDone) ? 1 : 0);
        fail(Fail::Message);
    }
    requireBoard(port, status);
    port.readAddressRegister();
    console::print("Uklad zaprogramowany poprawnie plikiem: %s\n", cfgName.c_str());
}

void ifconfig(Run& run, EppPort& port, const Line& line) {
    if (port.simulation()) return;
    bool board = !port.probePending() || port.probe(false);
    // A probe that ran before may have found no board, or the board may be gone since: floating
    // lines read Done high as well, so without the signature the probe is asked again.
    if (board && !boardAnswers(port, port.readAddressRegister())) board = port.probe(false);
    if (!board) {
        run.endRun = true;  // no board: the run ends here as at the end of the script
        return;
    }
    std::string name;
    std::int32_t chunk = kDefaultChunk;
    // The arguments are read this late: a board that needs no configuration never sees them.
    Line configLine = line;
    configLine.syntax = &kConfigSyntax;
    readArguments(configLine, {&name, &chunk});
    if (chunk < 1) chunk = kDefaultChunk;

    if (port.readAddressRegister() & kDone) {
        console::print("\tifconfig...procedura zaniechana - FPGA juz bylo zaprogramowane\n");
        return;
    }
    config(run, port, name, chunk);
}

}  // namespace kivo::fpga
