// kivotrace's subcommands on small files: what a user reads and the exit codes scripts test.
#include "trace/kivotrace.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/unit/temp_files.h"

namespace kivo::trace {
namespace {

class Kivotrace : public testing::TempFiles {
protected:
    /// Runs a subcommand; `out` and `err` get what it printed.
    int run(int (*command)(const Args&, std::FILE*, std::FILE*), Args args) {
        std::FILE* o = std::tmpfile();
        std::FILE* e = std::tmpfile();
        // File names become paths in the test's directory; option values stay.
        for (std::size_t i = 0; i < args.size(); ++i) {
            if (args[i] == "--all") continue;
            if (args[i].rfind("--", 0) == 0) {
                if (args[i] == "--names") args[i + 1] = path(args[i + 1]);
                ++i;
                continue;
            }
            args[i] = path(args[i]);
        }
        const int rc = command(args, o, e);
        out = slurp(o);
        err = slurp(e);
        return rc;
    }
    static std::string slurp(std::FILE* f) {
        std::string s(static_cast<std::size_t>(std::ftell(f)), '\0');
        std::rewind(f);
        s.resize(std::fread(s.data(), 1, s.size(), f));
        std::fclose(f);
        return s;
    }
    void run(const std::string& dir, const std::string& trace, const std::string& answers) {
        std::filesystem::create_directories(path(dir));
        put(dir + "/kivo.tst", trace);
        put(dir + "/kivo.out", answers);
    }
    std::string out, err;
};

// writebyte 345 AB; readblock of 10 bytes at 100; sleep 20.
const std::string kTrace = std::string("\x01\x45\x01\x03\x01\x00\x01\x00\x02\xAB", 10) +
                           std::string("\x01\x00\x01\x01\x01\x00\x01\x00", 8) + std::string(10, '\x03') +
                           "\x0A\x14\xFF\xFF\xFF\xFF";
const std::string kAnswers = "0123456789";

TEST_F(Kivotrace, DumpFoldsRunsOfDataCyclesUnlessAll) {
    put("kivo.tst", kTrace);
    put("kivo.out", kAnswers);
    EXPECT_EQ(run(dumpCommand, {"kivo.tst", "kivo.out"}), 0);
    EXPECT_EQ(out,
              "         0  addr     0000_0345\n"
              "         1  write    0000_0345  AB\n"
              "         2  addr     0000_0100\n"
              "         3  read     0000_0100  x10  30 31 32 33 34 35 36 37 ..\n"
              "        13  wait     20 ms\n"
              "        14  end\n");
    EXPECT_EQ(run(dumpCommand, {"kivo.tst", "--all"}), 0);
    EXPECT_NE(out.find("        12  read     0000_0109\n        13  wait"), std::string::npos) << out;
}

TEST_F(Kivotrace, DumpPrintsWhatCameBeforeBrokenInputThenExits2) {
    put("cut.tst", kTrace.substr(0, 21));
    EXPECT_EQ(run(dumpCommand, {"cut.tst"}), 2);
    EXPECT_NE(out.find("read     0000_0100  x3\n"), std::string::npos) << out;
    EXPECT_NE(err.find("brak znacznika konca sladu (koniec pliku na pozycji 21)"), std::string::npos) << err;
    EXPECT_EQ(run(dumpCommand, {"missing.tst"}), 2);
    EXPECT_EQ(run(dumpCommand, {}), 2);
}

TEST_F(Kivotrace, DiffNamesTheFirstDifferenceAndCountsTheRest) {
    run("a", kTrace, kAnswers);
    run("b", kTrace, "0123X56Y89");
    run("short", kTrace.substr(0, 18) + "\xFF\xFF\xFF\xFF", "");
    EXPECT_EQ(run(diffCommand, {"a", "a"}), 0);
    EXPECT_EQ(out, "bez roznic: 15 operacji\n");
    EXPECT_EQ(run(diffCommand, {"a", "b"}), 1);
    EXPECT_EQ(out,
              "pierwsza roznica: operacja 7, adres 0000_0104\n"
              "A:          7  read     0000_0104  34\n"
              "B:          7  read     0000_0104  58\n"
              "dalszych roznic: 1\n");
    EXPECT_EQ(run(diffCommand, {"a", "short"}), 1);
    EXPECT_NE(out.find("B:          3  end\n"), std::string::npos) << out;
    EXPECT_NE(out.find("dalszych roznic: 11\n"), std::string::npos) << out;
    run("cut", kTrace, "012");
    EXPECT_EQ(run(diffCommand, {"a", "cut"}), 2);
    EXPECT_NE(err.find("odpowiedzi krotsze niz odczyty"), std::string::npos) << err;
}

TEST_F(Kivotrace, CsvConvertsCodesToMillivoltsFromACalibration) {
    // Zero input 2000h, the 1842 mV reference 1000h: 1842 mV per 1000h codes, falling.
    put("rec.bin", std::string("\x20\x00\x10\x00\x18\x00\x07", 7));
    EXPECT_EQ(run(csvCommand, {"rec.bin", "rec.csv", "--zero", "2000", "--ref", "1000"}), 0);
    EXPECT_EQ(get("rec.csv"), "index,code,mV\n0,8192,0.00\n1,4096,1842.00\n2,6144,921.00\n");
    EXPECT_NE(err.find("ostatni bajt pominiety"), std::string::npos);
    EXPECT_EQ(run(csvCommand, {"rec.bin", "raw.csv"}), 0);
    EXPECT_EQ(get("raw.csv"), "index,code\n0,8192\n1,4096\n2,6144\n");
    EXPECT_EQ(run(csvCommand, {"rec.bin", "x.csv", "--zero", "2000", "--ref", "2000"}), 2);
    EXPECT_EQ(run(csvCommand, {"rec.bin", "x.csv", "--zero", "2000"}), 2);
}

TEST_F(Kivotrace, VcdRefusesCapturesItCannotRead) {
    std::string regs(48, '\0');
    regs[0] = 0x4A;
    regs[1] = 0x2A;  // run-length coded
    regs[2] = 15;
    put("rlc.bin", regs + std::string(8, '\1'));
    EXPECT_EQ(run(vcdCommand, {"rlc.bin", "o.vcd"}), 2);
    EXPECT_NE(err.find("RLC"), std::string::npos);
    put("sim.bin", std::string(48 + 8, '\3'));
    EXPECT_EQ(run(vcdCommand, {"sim.bin", "o.vcd"}), 2);
    EXPECT_EQ(run(vcdCommand, {"sim.bin", "o.vcd", "--width", "16"}), 0);
    EXPECT_EQ(run(vcdCommand, {"sim.bin", "o.vcd", "--width", "12"}), 2);
    EXPECT_EQ(run(vcdCommand, {"sim.bin", "o.vcd", "--width", "16", "--trigger", "4"}), 2);
    EXPECT_EQ(run(vcdCommand, {"sim.bin", "o.vcd", "--width", "8", "--period", "3 furlongs"}), 2);
    put("bad.names", "addr 3:0\ndata 9:4\n");
    EXPECT_EQ(run(vcdCommand, {"sim.bin", "o.vcd", "--width", "8", "--names", "bad.names"}), 2);
    EXPECT_NE(err.find("linia 2"), std::string::npos) << err;
}

TEST_F(Kivotrace, VcdTimescaleFollowsThePeriod) {
    put("sim.bin", std::string(48, '\3') + "\x01\x02\x03");
    EXPECT_EQ(run(vcdCommand, {"sim.bin", "o.vcd", "--width", "8", "--period", "12.5ns"}), 0);
    const std::string vcd = get("o.vcd");
    EXPECT_NE(vcd.find("$timescale 100 ps $end"), std::string::npos) << vcd;
    EXPECT_NE(vcd.find("\n#250\n1!\n"), std::string::npos) << vcd;
    EXPECT_NE(vcd.find("\n#375\n"), std::string::npos) << vcd;
}

}  // namespace
}  // namespace kivo::trace
