// The checker against kivo's golden runs: where kivo stops on a line for a reason the checker
// can know, the checker's first error is that line, with the very text kivo printed.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "language/check.h"
#include "language/line_analysis.h"

namespace kivo::language {
namespace {

namespace fs = std::filesystem;

const std::string kClosing = "Blad podczas wykonywania skryptu\nNacisnij dowolny klawisz\n";

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Cases where the checker marks a line that kivo never refuses, each for a reason kivo shows:
// the run ends or fails before the line, or the line is a jump that is not taken.
const std::set<std::string> kNotReached = {
    "fpga/ifconfig_no_board",  // no board: the run ends before ifconfig reads its arguments
    "fpga/config_sim",         // ifconfig after configuration: nothing more to do, arguments unread
};

// Lines refused with their text for a value only the run knows.
const std::set<std::string> kRefusedWhileRunning = {
    "stat/divide_by_zero",  // stat/= 0: refused by its value when it runs
};

// Failures that only the run finds (values, files, the board): out of the checker's reach.
bool runTimeFailure(const std::string& output) {
    for (const char* text : {"Nie moze otworzyc pliku", "Zla wartosc indeksu", "Adres koncowy", "Zabraklo pamieci",
                             "Adres bazowy dla tego urzadzenia", "Blad odczytu adresu ukladu CPLD"})
        if (output.find(text) != std::string::npos) return true;
    return false;
}

TEST(Checker, AgreesWithKivoOnTheFirstRefusedLineOfEveryGoldenScript) {
    const fs::path root = fs::path(KIVO_TEST_DATA_DIR) / "scripts";
    int agreed = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const fs::path script = entry.path();
        const std::string rel = fs::relative(script, root).replace_extension().generic_string();
        if (script.extension() != ".txt" || rel.find(".files/") != std::string::npos ||
            rel.find(".expect/") != std::string::npos)
            continue;
        fs::path outPath = script, rcPath = script;
        outPath.replace_extension(".out");
        rcPath.replace_extension(".rc");
        if (!fs::exists(outPath)) continue;
        const std::string output = slurp(outPath);
        const bool failed = fs::exists(rcPath) && std::stoi(slurp(rcPath)) == 255 && endsWith(output, kClosing);

        std::vector<Finding> errors;
        for (Finding& f : checkScript(slurp(script)))
            if (f.severity == Severity::Error) errors.push_back(std::move(f));

        SCOPED_TRACE(rel);
        if (kNotReached.count(rel)) {
            EXPECT_FALSE(errors.empty()) << "no longer marked: take it off the list";
            continue;
        }
        if (!errors.empty() && failed && endsWith(output, errors.front().message + kClosing)) {
            ++agreed;
            continue;
        }
        // No agreement: then kivo must have stopped for a reason out of the checker's reach,
        // before any line the checker marks.
        EXPECT_TRUE(errors.empty() || (failed && runTimeFailure(output)))
            << "checker: line " << errors.front().line + 1 << ": " << oneLine(errors.front().message)
            << "\nkivo ends: " << output.substr(output.size() - std::min<std::size_t>(output.size(), 200));
        if (failed && errors.empty()) {
            // kivo refused a line the checker passed: only the run's own failures may do that.
            // A prepared line of the script printed before the closing text: a refusal with line.
            bool withLine = false;
            bool inBlockComment = false;
            const std::string text = slurp(script);
            const std::vector<std::string_view> lines = documentLines(text);
            for (std::size_t n = 0; n < lines.size(); ++n) {
                const LineAnalysis a = analyseLine(lines[n], n == 0, inBlockComment);
                withLine |= a.split && endsWith(output, "\t" + a.preparedText +
                                                           "\nBledna instrukcja w uruchomionym skrypcie\n" + kClosing);
            }
            const bool refusedLine = output.find(" - Komenda nieznana!") != std::string::npos ||
                                     output.find("Nie moze znalezc podanej etykiety") != std::string::npos ||
                                     output.find("dluzsz") != std::string::npos ||
                                     (withLine && !kRefusedWhileRunning.count(rel));
            EXPECT_FALSE(refusedLine) << output.substr(output.size() - std::min<std::size_t>(output.size(), 200));
        }
    }
    EXPECT_GT(agreed, 40);  // the golden scripts refuse lines of every kind the checker knows
}

}  // namespace
}  // namespace kivo::language
