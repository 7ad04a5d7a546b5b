// kivotrace vcd and csv: analyser captures for waveform viewers, ADC records for spreadsheets.
#include <cerrno>
#include <cinttypes>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "trace/kivotrace.h"
#include "trace/text_line.h"

namespace kivo::trace {

namespace {

// The capture file: the analyser's register block, then its sample memory.
constexpr std::size_t kRegisterBlock = 48;
constexpr std::uint8_t kSignature = 0x4A;
constexpr std::uint8_t kRlcBit = 0x20;

bool readWhole(const std::string& name, std::string& bytes) {
    std::ifstream in(name, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    bytes = s.str();
    return !in.bad();
}

/// Options after the positional arguments: "--name value" pairs and lone flags.
struct Options {
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> named;
    bool parse(const Args& args, std::initializer_list<const char*> known) {
        for (std::size_t i = 0; i < args.size(); ++i) {
            if (args[i].rfind("--", 0) != 0) {
                positional.push_back(args[i]);
                continue;
            }
            bool ok = false;
            for (const char* k : known) ok |= args[i] == k;
            if (!ok || i + 1 == args.size()) return false;
            named.emplace_back(args[i], args[i + 1]);
            ++i;
        }
        return true;
    }
    const std::string* get(const char* name) const {
        for (auto& [k, v] : named)
            if (k == name) return &v;
        return nullptr;
    }
};

bool parseUnsigned(const std::string& text, int base, std::uint64_t& value) {
    if (text.empty() || text[0] == '-') return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtoull(text.c_str(), &end, base);
    return errno == 0 && *end == '\0';
}

/// A time such as "20ns", "12.5 ns" or "1us" in femtoseconds; 0 when it is not one.
std::uint64_t parsePeriod(const std::string& text) {
    static const struct {
        const char* unit;
        std::uint64_t fs;
    } kUnits[] = {{"fs", 1}, {"ps", 1000}, {"ns", 1000000}, {"us", 1000000000}, {"ms", 1000000000000}, {"s", 1000000000000000}};
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    std::string unit(end);
    while (!unit.empty() && unit.front() == ' ') unit.erase(0, 1);
    for (auto& u : kUnits)
        if (unit == u.unit && value > 0 && value * static_cast<double>(u.fs) < 1e18) {
            const double fs = value * static_cast<double>(u.fs);
            const auto whole = static_cast<std::uint64_t>(fs + 0.5);
            return whole > 0 && std::abs(fs - static_cast<double>(whole)) < 1e-6 * fs ? whole : 0;
        }
    return 0;
}

/// The coarsest VCD time unit (1, 10 or 100 of s .. fs) that divides `periodFs`.
std::pair<std::string, std::uint64_t> timescaleFor(std::uint64_t periodFs) {
    static const char* kNames[] = {"s", "ms", "us", "ns", "ps", "fs"};
    std::uint64_t unit = 1000000000000000;
    for (const char* name : kNames) {
        for (std::uint64_t factor : {100, 10, 1}) {
            const std::uint64_t fs = unit * factor;
            if (periodFs % fs == 0)
                return {std::to_string(factor) + " " + name, fs};
        }
        unit /= 1000;
    }
    return {"1 fs", 1};
}

/// A signal of the dump: bits lsb..msb of the sample word, one 1-bit wire per bit.
struct Signal {
    std::string name;
    int msb = 0, lsb = 0;
};

bool parseNames(const std::string& text, int width, std::vector<Signal>& signals, std::string& problem) {
    std::istringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (const auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::string name;
        if (!(words >> name)) continue;
        std::string bits, extra;
        int msb = -1, lsb = -1, used = 0;
        if (!(words >> bits) || (words >> extra) ||
            (std::sscanf(bits.c_str(), "%d:%d%n", &msb, &lsb, &used) != 2 &&
             (lsb = -1, std::sscanf(bits.c_str(), "%d%n", &msb, &used) != 1)) ||
            used != static_cast<int>(bits.size())) {
            problem = "linia " + std::to_string(number) + ": oczekiwano NAZWA BIT albo NAZWA MSB:LSB";
            return false;
        }
        if (lsb < 0) lsb = msb;
        if (msb < lsb || lsb < 0 || msb >= width) {
            problem = "linia " + std::to_string(number) + ": bity " + bits + " poza slowem probki (" +
                      std::to_string(width) + " bitow)";
            return false;
        }
        Signal s;
        s.name = name;
        s.msb = msb;
        s.lsb = lsb;
        signals.push_back(s);
    }
    if (signals.empty()) problem = "plik nie nazywa zadnego sygnalu";
    return !signals.empty();
}

/// VCD identifier codes: printable characters from '!', more of them when needed.
std::string identifier(std::size_t n) {
    std::string id;
    do {
        id += static_cast<char>('!' + n % 94);
        n /= 94;
    } while (n != 0);
    return id;
}

}  // namespace

int vcdCommand(const Args& args, std::FILE* out, std::FILE* err) {
    Options options;
    if (!options.parse(args, {"--names", "--period", "--trigger", "--width"}) || options.positional.size() != 2) {
        std::fprintf(err, "uzycie: kivotrace vcd CAPTURE OUT.vcd [--names FILE] [--period TIME] [--trigger N] "
                          "[--width BITS]\n");
        return kExitBadInput;
    }
    const std::string& captureName = options.positional[0];
    const std::string& vcdName = options.positional[1];
    auto bad = [&](const std::string& problem) {
        std::fprintf(err, "kivotrace: %s: %s\n", captureName.c_str(), problem.c_str());
        return kExitBadInput;
    };
    std::string capture;
    if (!readWhole(captureName, capture)) return bad("nie moze otworzyc pliku");
    if (capture.size() < kRegisterBlock) return bad("krotszy niz blok rejestrow analizatora (48 bajtow)");
    const auto* reg = reinterpret_cast<const std::uint8_t*>(capture.data());

    int width = 0;
    if (const std::string* w = options.get("--width")) {
        std::uint64_t v = 0;
        if (!parseUnsigned(*w, 10, v) || (v != 8 && v != 16 && v != 32 && v != 64))
            return bad("--width: 8, 16, 32 albo 64");
        width = static_cast<int>(v);
    } else {
        // Without the signature (a capture from a simulation without answers) the block says
        // nothing about the samples.
        if (reg[0] != kSignature) return bad("brak znacznika analizatora (4A); podaj --width");
        width = reg[2] + 1;
        if (width != 8 && width != 16 && width != 32 && width != 64)
            return bad("szerokosc probki " + std::to_string(width) + " bitow w bloku rejestrow");
        if (reg[1] & kRlcBit) return bad("probki kodowane RLC: ten zapis nie jest obslugiwany");
    }
    const std::size_t wordBytes = static_cast<std::size_t>(width) / 8;
    const std::size_t sampleBytes = capture.size() - kRegisterBlock;
    if (sampleBytes % wordBytes != 0) return bad("pamiec probek nie dzieli sie na slowa " + std::to_string(width) + "-bitowe");
    const std::size_t samples = sampleBytes / wordBytes;

    std::uint64_t periodFs = 1000000;  // 1 ns
    if (const std::string* p = options.get("--period"))
        if ((periodFs = parsePeriod(*p)) == 0) return bad("--period: czas, np. 20ns, 12.5ns, 1us");
    std::uint64_t trigger = 0;
    if (const std::string* t = options.get("--trigger"))
        if (!parseUnsigned(*t, 10, trigger) || trigger >= samples) return bad("--trigger: numer probki spoza zapisu");

    std::vector<Signal> signals;
    if (const std::string* names = options.get("--names")) {
        std::string text, problem;
        if (!readWhole(*names, text)) return bad("nie moze otworzyc pliku nazw " + *names);
        if (!parseNames(text, width, signals, problem)) return bad(*names + ": " + problem);
    } else {
        for (int bit = 0; bit < width; ++bit) signals.push_back({"d" + std::to_string(bit), bit, bit});
    }

    // One wire per bit: the readers of the format that only take single-bit wires see every
    // signal, and a bus shows as its bits name[lsb]..name[msb].
    struct Wire {
        std::string name, id;
        int bit;
    };
    std::vector<Wire> wires;
    for (const Signal& s : signals)
        for (int bit = s.lsb; bit <= s.msb; ++bit)
            wires.push_back({s.msb == s.lsb ? s.name : s.name + "[" + std::to_string(bit - s.lsb) + "]",
                             identifier(wires.size()), bit});
    const std::string triggerId = identifier(wires.size());

    std::FILE* vcd = std::fopen(vcdName.c_str(), "wb");
    if (!vcd) {
        std::fprintf(err, "kivotrace: nie moze otworzyc pliku: %s\n", vcdName.c_str());
        return kExitBadInput;
    }
    const auto [scale, unitFs] = timescaleFor(periodFs);
    const std::uint64_t step = periodFs / unitFs;
    std::fprintf(vcd, "$version kivotrace $end\n");
    std::fprintf(vcd, "$comment %s: %zu samples of %d bits, trigger at sample %" PRIu64 " $end\n",
                 captureName.c_str(), samples, width, trigger);
    std::fprintf(vcd, "$timescale %s $end\n$scope module la $end\n", scale.c_str());
    for (const Wire& w : wires) std::fprintf(vcd, "$var wire 1 %s %s $end\n", w.id.c_str(), w.name.c_str());
    std::fprintf(vcd, "$var wire 1 %s trigger $end\n$upscope $end\n$enddefinitions $end\n", triggerId.c_str());

    const std::uint8_t* data = reg + kRegisterBlock;
    auto word = [&](std::size_t i) {
        std::uint64_t v = 0;
        for (std::size_t k = 0; k < wordBytes; ++k) v |= static_cast<std::uint64_t>(data[i * wordBytes + k]) << (8 * k);
        return v;
    };
    std::uint64_t previous = 0;
    for (std::size_t i = 0; i < samples; ++i) {
        const std::uint64_t v = word(i);
        const bool first = i == 0;
        const std::uint64_t changed = first ? ~0ull : v ^ previous;
        const bool triggerChange = first || i == trigger || i == trigger + 1;
        bool any = triggerChange;
        for (const Wire& w : wires) any |= ((changed >> w.bit) & 1) != 0;
        if (any) {
            std::fprintf(vcd, "#%" PRIu64 "\n", i * step);
            if (first) std::fprintf(vcd, "$dumpvars\n");
            for (const Wire& w : wires)
                if ((changed >> w.bit) & 1) std::fprintf(vcd, "%c%s\n", ((v >> w.bit) & 1) ? '1' : '0', w.id.c_str());
            if (triggerChange) std::fprintf(vcd, "%c%s\n", i == trigger ? '1' : '0', triggerId.c_str());
            if (first) std::fprintf(vcd, "$end\n");
        }
        previous = v;
    }
    // The last sample lasts one period too.
    std::fprintf(vcd, "#%" PRIu64 "\n", samples * step);
    if (std::fclose(vcd) != 0) {
        std::fprintf(err, "kivotrace: blad zapisu pliku: %s\n", vcdName.c_str());
        return kExitBadInput;
    }
    std::fprintf(out, "%s: %zu probek po %d bitow, %zu sygnalow, wyzwolenie w probce %" PRIu64 "\n", vcdName.c_str(),
                 samples, width, wires.size(), trigger);
    return kExitSame;
}

int csvCommand(const Args& args, std::FILE* out, std::FILE* err) {
    Options options;
    if (!options.parse(args, {"--zero", "--ref", "--ref-mv"}) || options.positional.size() != 2) {
        std::fprintf(err, "uzycie: kivotrace csv RECORD OUT.csv [--zero HEX --ref HEX [--ref-mv MV]]\n");
        return kExitBadInput;
    }
    const std::string& recordName = options.positional[0];
    const std::string& csvName = options.positional[1];
    auto bad = [&](const std::string& problem) {
        std::fprintf(err, "kivotrace: %s: %s\n", recordName.c_str(), problem.c_str());
        return kExitBadInput;
    };
    // Millivolts from a calibration line: the zero input reads `zero`, the reference of refMv
    // reads `ref`, and the codes fall as the voltage rises.
    const std::string* zeroText = options.get("--zero");
    const std::string* refText = options.get("--ref");
    const std::string* refMvText = options.get("--ref-mv");
    std::uint64_t zero = 0, ref = 0, refMv = 1842;
    const bool calibrated = zeroText || refText;
    if (calibrated) {
        if (!zeroText || !refText || !parseUnsigned(*zeroText, 16, zero) || !parseUnsigned(*refText, 16, ref) ||
            zero > 0xFFFF || ref > 0xFFFF)
            return bad("--zero i --ref: kody szesnastkowe z kalibracji (zero=, ref=)");
        if (zero == ref) return bad("--zero i --ref rowne: nie da sie wyznaczyc wzmocnienia");
        if (refMvText && (!parseUnsigned(*refMvText, 10, refMv) || refMv == 0))
            return bad("--ref-mv: napiecie odniesienia w mV (1842 albo 153)");
    } else if (refMvText) {
        return bad("--ref-mv wymaga --zero i --ref");
    }
    std::string record;
    if (!readWhole(recordName, record)) return bad("nie moze otworzyc pliku");
    std::FILE* csv = std::fopen(csvName.c_str(), "wb");
    if (!csv) {
        std::fprintf(err, "kivotrace: nie moze otworzyc pliku: %s\n", csvName.c_str());
        return kExitBadInput;
    }
    std::fputs(calibrated ? "index,code,mV\n" : "index,code\n", csv);
    const std::size_t samples = record.size() / 2;
    const double mvPerCode = calibrated ? static_cast<double>(refMv) / (static_cast<double>(zero) - static_cast<double>(ref)) : 0;
    for (std::size_t i = 0; i < samples; ++i) {
        // Samples are big-endian 16-bit words.
        const unsigned code = static_cast<std::uint8_t>(record[2 * i]) << 8 | static_cast<std::uint8_t>(record[2 * i + 1]);
        if (calibrated)
            std::fprintf(csv, "%zu,%u,%.2f\n", i, code, (static_cast<double>(zero) - code) * mvPerCode);
        else
            std::fprintf(csv, "%zu,%u\n", i, code);
    }
    if (std::fclose(csv) != 0) {
        std::fprintf(err, "kivotrace: blad zapisu pliku: %s\n", csvName.c_str());
        return kExitBadInput;
    }
    if (record.size() % 2 != 0)
        std::fprintf(err, "kivotrace: %s: nieparzysta liczba bajtow, ostatni bajt pominiety\n", recordName.c_str());
    std::fprintf(out, "%s: %zu probek\n", csvName.c_str(), samples);
    return kExitSame;
}

}  // namespace kivo::trace
