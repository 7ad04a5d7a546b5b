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
    requireFields(scan(line.arguments, "%s %s %d", {&source, &destination, &nrBit}), 2, 3, line);
    const Progress shown(line.keyword, sizeOf(source));
    datafiles::fileConv(run.state, source, destination, nrBit);
}

void runFilecomp(Run& run, const Line& line) {
    std::string first, second;
    requireFields(scan(line.arguments, "%s %s", {&first, &second}), 2, 2, line);
    const Progress shown(line.keyword, sizeOf(first) + sizeOf(second));
    run.state.stat = fileComp(first, second);
}

void runFileselect(Run& run, const Line& line) {
    std::string source, destination;
    std::uint32_t start = 0, stop = 0;
    std::int32_t sampleBits = 0, recordBits = 0;
    const int fields =
        scan(line.arguments, "%s %s %x %x %d %d", {&source, &destination, &start, &stop, &sampleBits, &recordBits});
    if (fields != 4 && fields != 6) failLine(line);
    const Progress shown(line.keyword, sizeOf(source));
    fileSelect(run.state, source, destination, start, stop, sampleBits, recordBits);
}

void runFile2txt(Run& run, const Line& line) {
    std::string source, destination;
    std::int32_t nrBit = 0, columns = 0;
    requireFields(scan(line.arguments, "%s %s %d %d", {&source, &destination, &nrBit, &columns}), 4, 4, line);
    const Progress shown(line.keyword, sizeOf(source));
    file2Txt(run.state, source, destination, nrBit, columns);
}

void runFile2raw(Run& run, const Line& line) {
    std::string source, destination;
    std::int32_t x = 0, y = 0, bits = 0, channels = 1, view = 0;
    requireFields(scan(line.arguments, "%s %s %d %d %d %d %d", {&source, &destination, &x, &y, &bits, &channels, &view}),
                  5, 7, line);
    const Progress shown(line.keyword, sizeOf(source));
    file2Raw(run.state, source, destination, x, y, bits, channels, view);
}

void runFilestatistic(Run&, const Line& line) {
    std::string name;
    std::int32_t nrBit = 0, channels = 1;
    requireFields(scan(line.arguments, "%s %d %d", {&name, &nrBit, &channels}), 2, 3, line);
    const Progress shown(line.keyword, sizeOf(name));
    fileStatistic(name, nrBit, channels);
}

void runFilehistogram(Run& run, const Line& line) {
    std::string source, destination;
    std::int32_t nrBit = 8;
    requireFields(scan(line.arguments, "%s %s %d", {&source, &destination, &nrBit}), 2, 3, line);
    const Progress shown(line.keyword, sizeOf(source));
    fileHistogram(run.state, source, destination, nrBit);
}

constexpr Command kFileCommands[] = {
    {"fileconv", Match::Exact, runFileconv},
    {"filecomp", Match::Exact, runFilecomp},
    {"fileselect", Match::Exact, runFileselect},
    {"file2txt", Match::Exact, runFile2txt},
    {"file2raw", Match::Exact, runFile2raw},
    {"filestatistic", Match::Exact, runFilestatistic},
    {"filehistogram", Match::Exact, runFilehistogram},
};

}  // namespace

CommandTable fileCommands() { return kFileCommands; }

}  // namespace kivo::filetools
