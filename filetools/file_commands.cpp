#include <filesystem>
#include <string>
#include <system_error>

#include "filetools/file_commands.h"
#include "datafiles/data_files.h"
#include "filetools/file_tools.h"
#include "interpreter/progress.h"
#include "interpreter/scan.h"

namespace kivo::filetools {

using namespace interpreter;

namespace {

// The file tools show how much of their sources they have read; a size that cannot be had
// (a pipe) leaves the total open.
std::uint64_t sizeOf(const std::string& name) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(name, error);
    return error ? 0 : static_cast<std::uint64_t>(size);
}

using progress::Progress;

void runFileconv(Run& run, const Line& line) {
    std::string source, destination;
    std::int32_t nrBit = 0;
    readArguments(line, {&source, &destination, &nrBit});
    const Progress shown(line.keyword, sizeOf(source));
    datafiles::fileConv(run.state, source, destination, nrBit);
}

void runFilecomp(Run& run, const Line& line) {
    std::string first, second;
    readArguments(line, {&first, &second});
    const Progress shown(line.keyword, sizeOf(first) + sizeOf(second));
    run.state.stat = fileComp(first, second);
}

void runFileselect(Run& run, const Line& line) {
    std::string source, destination;
    std::uint32_t start = 0, stop = 0;
    std::int32_t sampleBits = 0, recordBits = 0;
    readArguments(line, {&source, &destination, &start, &stop, &sampleBits, &recordBits});
    const Progress shown(line.keyword, sizeOf(source));
    fileSelect(run.state, source, destination, start, stop, sampleBits, recordBits);
}

void runFile2txt(Run& run, const Line& line) {
    std::string source, destination;
    std::int32_t nrBit = 0, columns = 0;
    readArguments(line, {&source, &destination, &nrBit, &columns});
    const Progress shown(line.keyword, sizeOf(source));
    file2Txt(run.state, source, destination, nrBit, columns);
}

void runFile2raw(Run& run, const Line& line) {
    std::string source, destination;
    std::int32_t x = 0, y = 0, bits = 0, channels = 1, view = 0;
    readArguments(line, {&source, &destination, &x, &y, &bits, &channels, &view});
    const Progress shown(line.keyword, sizeOf(source));
    file2Raw(run.state, source, destination, x, y, bits, channels, view);
}

void runFilestatistic(Run&, const Line& line) {
    std::string name;
    std::int32_t nrBit = 0, channels = 1;
    readArguments(line, {&name, &nrBit, &channels});
    const Progress shown(line.keyword, sizeOf(name));
    fileStatistic(name, nrBit, channels);
}

void runFilehistogram(Run& run, const Line& line) {
    std::string source, destination;
    std::int32_t nrBit = 8;
    readArguments(line, {&source, &destination, &nrBit});
    const Progress shown(line.keyword, sizeOf(source));
    fileHistogram(run.state, source, destination, nrBit);
}

const Command kFileCommands[] = {
    {"fileconv", Match::Exact, runFileconv, {"%s %s %d", fields(2, 3), Refusal::WithLine}},
    {"filecomp", Match::Exact, runFilecomp, {"%s %s", fields(2, 2), Refusal::WithLine}},
    {"fileselect", Match::Exact, runFileselect,
     {"%s %s %x %x %d %d", fields(4, 4) | fields(6, 6), Refusal::WithLine}},
    {"file2txt", Match::Exact, runFile2txt, {"%s %s %d %d", fields(4, 4), Refusal::WithLine}},
    {"file2raw", Match::Exact, runFile2raw, {"%s %s %d %d %d %d %d", fields(5, 7), Refusal::WithLine}},
    {"filestatistic", Match::Exact, runFilestatistic, {"%s %d %d", fields(2, 3), Refusal::WithLine}},
    {"filehistogram", Match::Exact, runFilehistogram, {"%s %s %d", fields(2, 3), Refusal::WithLine}},
};

}  // namespace

CommandTable fileCommands() { return kFileCommands; }

}  // namespace kivo::filetools
