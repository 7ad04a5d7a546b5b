#pragma once
#include <cstdio>
#include <string>
#include <vector>

// The subcommands of kivotrace. Each takes its arguments (after the subcommand word), writes
// its report to `out` and its complaints to `err`, and returns the exit code: 0 done (diff: the
// runs are the same), 1 the runs differ, 2 bad input or bad arguments.
namespace kivo::trace {

using Args = std::vector<std::string>;

inline constexpr int kExitSame = 0;
inline constexpr int kExitDifferent = 1;
inline constexpr int kExitBadInput = 2;

/// dump TRACE [RESPONSES] [--all]: one line per bus operation, runs of data cycles folded.
int dumpCommand(const Args& args, std::FILE* out, std::FILE* err);
/// diff A_DIR B_DIR: the first operation where two runs (kivo.tst + kivo.out) part ways.
int diffCommand(const Args& args, std::FILE* out, std::FILE* err);
/// vcd CAPTURE OUT.vcd [--names FILE] [--period TIME] [--trigger N] [--width BITS]: an
/// analyser capture file as a value change dump.
int vcdCommand(const Args& args, std::FILE* out, std::FILE* err);
/// csv RECORD OUT.csv [--zero HEX --ref HEX [--ref-mv MV]]: an ADC record as a table.
int csvCommand(const Args& args, std::FILE* out, std::FILE* err);

/// The whole program: argv[1] picks the subcommand.
int kivotraceMain(int argc, char** argv);

}  // namespace kivo::trace
