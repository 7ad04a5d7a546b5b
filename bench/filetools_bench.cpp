// In-process timings of the data file tools on a 64 MiB random file (and its hex form): the
// best of several runs of each tool, which shows the tools' own cost on a busy machine where
// bench/filetools_bench.sh, which compares whole processes with other programs, is noisy.
//   filetools_bench [runs]
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "datafiles/data_files.h"
#include "filetools/file_tools.h"

using namespace kivo;

namespace {

double bestOf(int runs, const std::function<void()>& action) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        action();
        const auto t1 = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    char pattern[] = "/tmp/kivo-filetools-bench-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const std::filesystem::path dir = pattern;
    std::filesystem::current_path(dir);

    constexpr std::size_t kSize = 64u << 20;
    std::vector<std::uint8_t> data(kSize);
    std::mt19937_64 rng(1);
    for (std::size_t i = 0; i < kSize; i += 8) {
        const std::uint64_t v = rng();
        std::memcpy(data.data() + i, &v, 8);
    }
    datafiles::writeDataFile("in.bin", data.data(), data.size(), false);
    datafiles::writeDataFile("in.hex", data.data(), data.size(), false);
    datafiles::writeDataFile("same.bin", data.data(), data.size(), false);

    interpreter::Interpreter state;
    // Each tool's echo goes to the console; only the times are of interest here.
    std::FILE* quiet = std::freopen("/dev/null", "w", stdout);
    struct Case {
        const char* name;
        std::function<void()> run;
    };
    const std::vector<Case> cases = {
        {"read binary", [] { datafiles::readDataFile("in.bin"); }},
        {"read hex", [] { datafiles::readDataFile("in.hex"); }},
        {"fileconv bin -> hex", [&] { datafiles::fileConv(state, "in.bin", "out.hex", 0); }},
        {"fileconv hex -> bin", [&] { datafiles::fileConv(state, "in.hex", "out.bin", 0); }},
        {"fileconv swap 16", [&] { datafiles::fileConv(state, "in.bin", "out.bin", 16); }},
        {"fileconv swap 32", [&] { datafiles::fileConv(state, "in.bin", "out.bin", 32); }},
        {"filecomp equal", [] { filetools::fileComp("in.bin", "same.bin"); }},
        {"file2txt 16", [&] { filetools::file2Txt(state, "in.bin", "out.txt", 16, 1); }},
        {"filehistogram 16", [&] { filetools::fileHistogram(state, "in.bin", "out.bin", 16); }},
        {"filestatistic 16 x 4", [] { filetools::fileStatistic("in.bin", 16, 4); }},
        {"file2raw 16 x 2, 2048 x 512", [&] { filetools::file2Raw(state, "in.bin", "out.raw", 2048, 512, 16, 2, 0); }},
    };
    std::vector<double> times;
    for (const auto& c : cases) times.push_back(bestOf(runs, c.run));
    std::fflush(stdout);
    (void)quiet;
    std::FILE* tty = std::fopen("/dev/stderr", "w");
    std::fprintf(tty, "64 MiB random input, best of %d runs\n", runs);
    for (std::size_t i = 0; i < cases.size(); ++i)
        std::fprintf(tty, "  %-30s %7.1f ms  %7.0f MiB/s of input\n", cases[i].name, times[i] * 1e3,
                     64.0 / times[i] * (i == 1 || i == 3 ? 196.0 / 64.0 : 1.0));
    std::filesystem::current_path("/");
    std::filesystem::remove_all(dir);
    return 0;
}
