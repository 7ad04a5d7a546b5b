// kivotrace dump and diff: a trace read as text, and two runs compared operation by operation.
#include <cstring>
#include <memory>

#include "trace/kivotrace.h"
#include "trace/text_line.h"
#include "trace/trace_reader.h"

namespace kivo::trace {

namespace {

// Bytes of a folded run that its line shows.
constexpr std::size_t kShownValues = 8;
constexpr std::size_t kKindColumn = 12;
constexpr std::size_t kKindWidth = 9;

const char* kindName(OpKind kind) {
    switch (kind) {
    case OpKind::Address: return "addr";
    case OpKind::Write: return "write";
    case OpKind::Read: return "read";
    case OpKind::Wait: return "wait";
    case OpKind::WaitBit: return "waitbit";
    case OpKind::End: return "end";
    }
    return "?";
}

/// The line of one operation, or of a run of `count` data cycles that starts with `op` and
/// whose first values are `values`.
void opLine(TextLine& line, const Op& op, std::uint64_t count = 1, const std::uint8_t* values = nullptr) {
    // Columns count from where the operation starts: diff puts a label before it.
    const std::size_t kindColumn = line.size() + kKindColumn;
    const std::size_t kAddressColumn = kindColumn + kKindWidth;
    line.number(op.index, 10).pad(kindColumn).text(kindName(op.kind));
    switch (op.kind) {
    case OpKind::Address:
        line.pad(kAddressColumn).address(op.address);
        if (op.addressBytes < 4) line.text("  (").number(op.addressBytes).text(" of 4 bytes)");
        break;
    case OpKind::Write:
    case OpKind::Read:
        line.pad(kAddressColumn).address(op.address);
        if (count > 1) {
            line.text("  x").number(count);
            if (op.kind == OpKind::Write || op.hasValue) {
                line.text(" ");
                for (std::size_t i = 0; i < count && i < kShownValues; ++i) line.text(" ").hex2(values[i]);
                if (count > kShownValues) line.text(" ..");
            }
        } else if (op.kind == OpKind::Write || op.hasValue) {
            line.text("  ").hex2(op.value);
        }
        break;
    case OpKind::Wait:
        line.pad(kAddressColumn).number(op.value).text(" ms");
        break;
    case OpKind::WaitBit:
        line.pad(kAddressColumn).address(op.address).text("  mask ").hex2(op.mask).text(" = ").number(op.value);
        break;
    case OpKind::End:
        break;
    }
}

bool dataCycle(const Op& op) { return op.kind == OpKind::Write || op.kind == OpKind::Read; }

/// An open input file, closed when it goes.
struct InputFile {
    explicit InputFile(const std::string& name) : file(std::fopen(name.c_str(), "rb")) {}
    ~InputFile() {
        if (file) std::fclose(file);
    }
    std::FILE* file;
};

int cannotOpen(std::FILE* err, const std::string& name) {
    std::fprintf(err, "kivotrace: nie moze otworzyc pliku: %s\n", name.c_str());
    return kExitBadInput;
}

int badInput(std::FILE* err, const std::string& name, const std::string& fault) {
    std::fprintf(err, "kivotrace: %s: %s\n", name.c_str(), fault.c_str());
    return kExitBadInput;
}

bool sameOp(const Op& a, const Op& b) {
    return a.kind == b.kind && a.address == b.address && a.value == b.value && a.mask == b.mask &&
           a.addressBytes == b.addressBytes && a.hasValue == b.hasValue;
}

}  // namespace

int dumpCommand(const Args& args, std::FILE* out, std::FILE* err) {
    std::vector<std::string> files;
    bool all = false;
    for (const std::string& a : args) {
        if (a == "--all")
            all = true;
        else
            files.push_back(a);
    }
    if (files.empty() || files.size() > 2) {
        std::fprintf(err, "uzycie: kivotrace dump TRACE [RESPONSES] [--all]\n");
        return kExitBadInput;
    }
    InputFile traceFile(files[0]);
    if (!traceFile.file) return cannotOpen(err, files[0]);
    std::unique_ptr<InputFile> responseFile;
    if (files.size() == 2) {
        responseFile = std::make_unique<InputFile>(files[1]);
        if (!responseFile->file) return cannotOpen(err, files[1]);
    }
    ByteSource trace(traceFile.file);
    std::unique_ptr<ByteSource> responses;
    if (responseFile) responses = std::make_unique<ByteSource>(responseFile->file);
    TraceReader reader(trace, responses.get());

    TextLine line;
    // The run of data cycles not printed yet: its first operation, length and first values.
    Op first;
    std::uint64_t count = 0;
    std::uint8_t values[kShownValues];
    auto flush = [&] {
        if (count == 0) return;
        opLine(line, first, count, values);
        line.put(out);
        count = 0;
    };
    Op op;
    while (reader.next(op)) {
        if (!all && dataCycle(op)) {
            if (count > 0 && op.kind == first.kind) {
                if (count < kShownValues) values[count] = op.value;
                ++count;
                continue;
            }
            flush();
            first = op;
            values[0] = op.value;
            count = 1;
            continue;
        }
        flush();
        opLine(line, op);
        line.put(out);
    }
    flush();
    if (!reader.fault().empty()) return badInput(err, files[0], reader.fault());
    return kExitSame;
}

int diffCommand(const Args& args, std::FILE* out, std::FILE* err) {
    if (args.size() != 2) {
        std::fprintf(err, "uzycie: kivotrace diff A_DIR B_DIR\n");
        return kExitBadInput;
    }
    struct Run {
        explicit Run(const std::string& dir)
            : traceName(dir + "/kivo.tst"), responseName(dir + "/kivo.out"), traceFile(traceName),
              responseFile(responseName) {}
        std::string traceName, responseName;
        InputFile traceFile, responseFile;
    };
    Run a(args[0]), b(args[1]);
    for (Run* run : {&a, &b}) {
        if (!run->traceFile.file) return cannotOpen(err, run->traceName);
        if (!run->responseFile.file) return cannotOpen(err, run->responseName);
    }
    ByteSource traceA(a.traceFile.file), responsesA(a.responseFile.file);
    ByteSource traceB(b.traceFile.file), responsesB(b.responseFile.file);
    TraceReader readerA(traceA, &responsesA), readerB(traceB, &responsesB);

    std::uint64_t differences = 0, operations = 0;
    Op opA, opB;
    TextLine line;
    for (;;) {
        const bool gotA = readerA.next(opA);
        const bool gotB = readerB.next(opB);
        if (!gotA && !gotB) break;
        if (!readerA.fault().empty() || !readerB.fault().empty()) break;
        ++operations;
        if (gotA && gotB && sameOp(opA, opB)) continue;
        if (differences++ > 0) continue;
        const Op& where = gotA ? opA : opB;
        line.text("pierwsza roznica: operacja ").number(where.index).text(", adres ").address(where.address);
        line.put(out);
        for (int side = 0; side < 2; ++side) {
            line.text(side == 0 ? "A: " : "B: ");
            if (side == 0 ? gotA : gotB)
                opLine(line, side == 0 ? opA : opB);
            else
                line.text("(koniec przebiegu)");
            line.put(out);
        }
    }
    if (!readerA.fault().empty()) return badInput(err, a.traceName, readerA.fault());
    if (!readerB.fault().empty()) return badInput(err, b.traceName, readerB.fault());
    if (differences == 0) {
        line.text("bez roznic: ").number(operations).text(" operacji");
        line.put(out);
        return kExitSame;
    }
    line.text("dalszych roznic: ").number(differences - 1);
    line.put(out);
    return kExitDifferent;
}

}  // namespace kivo::trace
