// Stands in for the shell-script bitstream tool that a golden case brings in its files: reads
// that script from the current directory and does what its two kinds of lines say,
//   echo "TEXT" > "$base.EXT"                                  TEXT and a newline
//   head -c N /dev/zero | od -An -v -tx1 > "$base.EXT"         N zero bytes as od prints them
// where base is the third argument without ".bit".
#include <fstream>
#include <iostream>
#include <string>

namespace {

std::string target(const std::string& line, const std::string& base) {
    const auto at = line.find("\"$base.");
    if (at == std::string::npos) return {};
    const auto end = line.find('"', at + 1);
    return base + line.substr(at + 6, end - at - 6);
}

}  // namespace

int main(int argc, char** argv) {
    std::ifstream script("promgen", std::ios::binary);
    if (argc < 4 || !script) {
        std::cerr << "promgen double: no promgen script or too few arguments\n";
        return 1;
    }
    std::string base = argv[3];
    if (base.size() > 4 && base.ends_with(".bit")) base.resize(base.size() - 4);
    for (std::string line; std::getline(script, line);) {
        const std::string name = target(line, base);
        if (name.empty()) continue;
        std::ofstream out(name, std::ios::binary);
        if (line.rfind("echo \"", 0) == 0) {
            out << line.substr(6, line.find('"', 6) - 6) << '\n';
        } else if (line.rfind("head -c ", 0) == 0) {
            const long count = std::stol(line.substr(8));
            for (long i = 0; i < count; ++i) out << " 00" << ((i % 16 == 15 || i + 1 == count) ? "\n" : "");
        } else {
            std::cerr << "promgen double: cannot do: " << line << "\n";
            return 1;
        }
    }
    return 0;
}
