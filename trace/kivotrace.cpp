#include "trace/kivotrace.h"

#include <cstring>

namespace kivo::trace {

int kivotraceMain(int argc, char** argv) {
    // Dumps run to millions of lines: a large buffer keeps the writes few.
    static char buffer[1 << 20];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    static const struct {
        const char* name;
        int (*run)(const Args&, std::FILE*, std::FILE*);
    } kCommands[] = {{"dump", dumpCommand}, {"diff", diffCommand}, {"vcd", vcdCommand}, {"csv", csvCommand}};
    if (argc >= 2)
        for (const auto& c : kCommands)
            if (std::strcmp(argv[1], c.name) == 0) {
                const int rc = c.run(Args(argv + 2, argv + argc), stdout, stderr);
                return std::fflush(stdout) == 0 ? rc : kExitBadInput;
            }
    std::fprintf(stderr,
                 "uzycie:\n"
                 "  kivotrace dump TRACE [RESPONSES] [--all]\n"
                 "  kivotrace diff A_DIR B_DIR\n"
                 "  kivotrace vcd CAPTURE OUT.vcd [--names FILE] [--period TIME] [--trigger N] [--width BITS]\n"
                 "  kivotrace csv RECORD OUT.csv [--zero HEX --ref HEX [--ref-mv MV]]\n");
    return kExitBadInput;
}

}  // namespace kivo::trace
