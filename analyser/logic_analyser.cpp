#include "analyser/logic_analyser.h"

#include <algorithm>
#include <string>

#include "board/epp_port.h"
#include "board/memory_commands.h"
#include "interpreter/console.h"
#include "interpreter/errors.h"
#include "interpreter/numbers.h"
#include "interpreter/progress.h"
#include "interpreter/scan.h"

namespace kivo::analyser {

using namespace interpreter;

namespace {

constexpr int kMinAwidth = 7;
constexpr int kMaxAwidth = 19;
constexpr const char* kDefaultCaptureFile = "la_data.bin";
constexpr std::int32_t kDefaultReadPolls = 10000;

// Identification bytes read as one block from the window's base.
constexpr int kIdentificationSize = 8;
constexpr std::uint8_t kMemAdrWidthBits = 0x1F;
constexpr std::uint8_t kUseRlcBit = 0x20;

constexpr const char* kCedNames[] = {"active_low", "register", "CE_Data", "AND_trig", "OR_trig", "not_RLC"};

constexpr Syntax kHex{"%x", fields(1, 1), Refusal::NoText};
constexpr Syntax kDecimal{"%d", fields(1, 1), Refusal::NoText};
// The file name and the number of polls, both with defaults.
constexpr Syntax kRead{"%s %d"};
// A qualifier's text is read byte by byte by the handler.
constexpr Syntax kQualifier{};

template <class T>
T scanOne(const Syntax& syntax, std::string_view arguments) {
    T value = 0;
    const int fields = scan(arguments, syntax.format, {&value});
    if (auto failure = refusal(syntax, arguments, fields, {})) throw *failure;
    return value;
}

std::uint32_t scanHex(std::string_view arguments) { return scanOne<std::uint32_t>(kHex, arguments); }

}  // namespace

const LogicAnalyser::Subcommand LogicAnalyser::kSubcommands[] = {
    {"awidth", &LogicAnalyser::awidth, kDecimal},     {"highadr", &LogicAnalyser::highadr, kHex},
    {"baseadr", &LogicAnalyser::baseadr, kHex},       {"start", &LogicAnalyser::start, kHex},
    {"read", &LogicAnalyser::read, kRead},            {"cectr", &LogicAnalyser::cectr, kHex},
    {"tvalue", &LogicAnalyser::tvalue, kQualifier},   {"tcare", &LogicAnalyser::tcare, kQualifier},
    {"cevalue", &LogicAnalyser::cevalue, kQualifier}, {"cecare", &LogicAnalyser::cecare, kQualifier},
};

Syntax LogicAnalyser::subcommandSyntax(std::string_view subcommand) {
    for (const Subcommand& s : kSubcommands)
        if (s.name == subcommand) return s.syntax;
    Syntax unknown{"", kAnyFieldCount, Refusal::NoText};
    unknown.unknown = true;
    return unknown;
}

std::vector<std::string_view> LogicAnalyser::subcommandWords() {
    std::vector<std::string_view> words;
    for (const Subcommand& s : kSubcommands) words.push_back(s.name);
    return words;
}

void LogicAnalyser::run(std::string_view subcommand, std::string_view arguments) {
    for (const Subcommand& s : kSubcommands) {
        if (s.name == subcommand) return (this->*s.run)(arguments);
    }
    // A script without a valid base hears about the base first, whatever it misspelt.
    requireBase();
    fail(Fail::BadInstruction);
}

void LogicAnalyser::requireBase() const {
    if ((la_.laBaseAdr & 0x7F) != 0) fail(Fail::BaseAddress);
}

void LogicAnalyser::awidth(std::string_view arguments) {
    std::int32_t n = 0;
    n = scanOne<std::int32_t>(kDecimal, arguments);
    console::print("%d\n", n);
    if (n < kMinAwidth || n > kMaxAwidth) failMessage(Fail::Message, "Bledny rozmiar szeroko\x9C" "ci adresowej LA");
    la_.laWindowSize = std::int32_t{1} << n;
    la_.laHighAdr = 0;
}

void LogicAnalyser::highadr(std::string_view arguments) {
    const std::uint32_t address = scanHex(arguments);
    printGroupedHex(address);
    console::print("\n");
    la_.laHighAdr = address;
    // Only labaseadr knows the base to measure the window from.
    la_.laWindowSize = -1;
}

void LogicAnalyser::baseadr(std::string_view arguments) {
    const std::uint32_t base = scanHex(arguments);
    la_.laBaseAdr = base;
    printGroupedHex(base);
    console::print(" ");
    requireBase();
    if (la_.laHighAdr != 0) la_.laWindowSize = static_cast<std::int32_t>(la_.laHighAdr - base + 1);

    std::uint8_t id[kIdentificationSize] = {};
    port_.readBlock(base, kIdentificationSize, id);
    if (id[0] != kLaSignature) {
        if (!port_.simulation())
            failMessage(Fail::Message,
                        "\nPod podanym adresem bazowym nie znaleziono znacznika LA, zly adres bazowy lub brak "
                        "urzadzenia LA");
        // A VHDL simulation answers whatever its response file holds: the script's own size
        // has to stand in for the parameters the core would have reported.
        console::print("\n\t Uwaga. LA nie wykryty prawdop. z powodu nie przeprowadzonej symulacji\n");
        if (la_.laWindowSize <= 0)
            failMessage(Fail::Message, "\nOkresl najpierw wielkosc lokacji adresowych instrukcja: la_highadr lub la_awidth");
        if (la_.laWindowSize < kLaMinWindow || la_.laWindowSize > kLaMaxWindow)
            failMessage(Fail::Message,
                        "\nZla wielkosc lokacji adresowych LA okreslona za pomoca instrukcji: la_awidth lub "
                        "la_highadr i la_baseadr");
        return;
    }

    la_.memAdrWidth = id[1] & kMemAdrWidthBits;
    console::print(", mem_adr_width= %d, ", la_.memAdrWidth);
    if (la_.memAdrWidth < 4 || la_.memAdrWidth > 16)
        failMessage(Fail::Message, "\nZla szeroko\x9C\xE6 magistrali adresowej pamieci rejestrowanych probek");
    la_.useRlc = (id[1] & kUseRlcBit) ? 1 : 0;
    console::print("use_rlc= %d, ", la_.useRlc);
    la_.dataWidth = id[2] + 1;
    console::print("\n\t  data_width= %d, ", la_.dataWidth);
    if (la_.dataWidth != 8 && la_.dataWidth != 16 && la_.dataWidth != 32 && la_.dataWidth != 64)
        failMessage(Fail::Message, "\nZla szerkosc magistrali danych");
    la_.trigWidth = id[3] + 1;
    console::print("trig_width= %d, ", la_.trigWidth);
    if (la_.trigWidth > 64) failMessage(Fail::Message, "\nZa duza szeroko\x9C" "c magistrali trigger");
    la_.ceDwidth = id[4] + 1;
    console::print("ce_dwidth= %d\n", la_.ceDwidth);
    if (la_.ceDwidth > 64) failMessage(Fail::Message, "\nZa duza szerokosc magistrali CE");

    // The sample memory fills the upper half of the window; the registers take the lower.
    std::int32_t size = (std::int32_t{1} << (la_.memAdrWidth + 1)) * (la_.dataWidth / 8);
    if (size < kLaMinWindow) size = kLaMinWindow;
    if (la_.laWindowSize > 0 && la_.laWindowSize != size) {
        console::print(
            "Uwaga, zla wielkosc lokacji adresowej okreslona poprzez instrukcje la_awidth lub la_highadr. Moze to "
            "powodowac bledy podczas wstepnej symulacji VHDL.\n  Powinno byc: la_highadr ");
        printGroupedHex(base + static_cast<std::uint32_t>(size) - 1);
        console::print("  lub la_awidth %d.\n", lowestSetBit(static_cast<std::uint32_t>(size)));
    }
    // The core knows its own size better than the script does.
    la_.laWindowSize = size;
}

void LogicAnalyser::start(std::string_view arguments) {
    requireBase();
    const std::uint32_t value = scanHex(arguments);
    console::print("%X\n", value);
    port_.writeByte(la_.laBaseAdr + kLaControlOffset, static_cast<std::uint8_t>(value));
}

void LogicAnalyser::read(std::string_view arguments) {
    requireBase();
    std::string name = kDefaultCaptureFile;
    std::int32_t polls = kDefaultReadPolls;
    scan(arguments, kRead.format, {&name, &polls});
    console::print("file= %s, timeout= %d ", name.c_str(), polls);

    const std::uint32_t base = la_.laBaseAdr;
    // A window past the top of the address space would wrap and save samples from address 0.
    if (la_.laWindowSize > 0 && std::uint64_t{base} + static_cast<std::uint32_t>(la_.laWindowSize) > 0x100000000)
        failMessage(Fail::Message, "\nOkno LA wychodzi poza adres FFFFFFFF: zmien la_baseadr lub wielkosc okna (la_awidth, la_highadr)");
    const std::uint32_t status = base + kLaControlOffset;
    if (!port_.waitForBit(1, kLaCaptureDone, status, polls)) {
        // A CE qualifier that never lets a sample through stalls the capture: storing every
        // clock lets the memory fill.
        port_.writeByte(base + kLaCtrCedOffset, kCedNotRlc);
        console::print("\t rejestr CED ustawiono na 0x20\n");
        if (port_.waitForBit(1, kLaCaptureDone, status, polls))
            console::print("\t O.K. Rejestracja zakonczona poprawnie po zmianie rej. ctr_ced\n");
        else
            console::print("Blad. Rejestracja danych nie przebiegla poprawnie\n");
    }

    // The save is the readblock operation, which leaves its value in stat: la commands keep stat.
    const std::uint32_t stat = state_.stat;
    const std::int32_t half = la_.laWindowSize / 2;
    const interpreter::progress::Progress shown(
        "laread", kLaRegisterBlockSize + static_cast<std::uint64_t>(std::max(la_.laWindowSize - half, 0)));
    board::readBlockToFile(port_, state_, name, base, base + kLaRegisterBlockSize - 1, false);
    const std::uint8_t fileappend = state_.fileappend;
    state_.fileappend = 1;
    board::readBlockToFile(port_, state_, name, base + static_cast<std::uint32_t>(half),
                           base + static_cast<std::uint32_t>(la_.laWindowSize) - 1, false);
    state_.fileappend = fileappend;
    state_.stat = stat;
    console::print("\n");
}

void LogicAnalyser::cectr(std::string_view arguments) {
    requireBase();
    const std::uint32_t value = scanHex(arguments);
    console::print("%X ", value);
    for (int bit = 0; bit < 6; ++bit) {
        if (value & (1u << bit)) console::print(bit < 5 ? "%s " : "%s", kCedNames[bit]);
    }
    console::print("\n");
    port_.writeByte(la_.laBaseAdr + kLaCtrCedOffset, static_cast<std::uint8_t>(value));
}

// The spacings put the four values in one column under their different prefixes.
void LogicAnalyser::tvalue(std::string_view arguments) {
    writeQualifier(arguments, " ", kLaTriggerValueOffset, la_.trigWidth);
}
void LogicAnalyser::tcare(std::string_view arguments) {
    writeQualifier(arguments, "  ", kLaTriggerCareOffset, la_.trigWidth);
}
void LogicAnalyser::cevalue(std::string_view arguments) {
    writeQualifier(arguments, "", kLaCeValueOffset, la_.ceDwidth);
}
void LogicAnalyser::cecare(std::string_view arguments) {
    writeQualifier(arguments, " ", kLaCeCareOffset, la_.ceDwidth);
}

void LogicAnalyser::writeQualifier(std::string_view arguments, const char* spacing, std::uint32_t offset,
                                   int busWidth) {
    requireBase();
    const auto nbytes = static_cast<std::size_t>((busWidth + 7) / 8);
    console::print("%s", spacing);
    std::uint8_t bytes[8] = {};
    const std::string text(arguments);
    parseHexBytes(text.c_str(), bytes, false);
    // The register is little-endian, as the bytes already are. The whole low word goes out
    // even for a narrow bus: the core ignores the bits it has no inputs for.
    port_.writeBlock(bytes, la_.laBaseAdr + offset, 4);
    printHexBytes(bytes, nbytes, false);
    console::print("\n");
    if (nbytes > 4) port_.writeBlock(bytes + 4, la_.laBaseAdr + offset + kLaUpperHalfDistance, 4);
}

}  // namespace kivo::analyser
