#include "port/port_registry.h"

#include <gtest/gtest.h>

#include <string>

#include "app/command_table.h"
#include "interpreter/console.h"
#include "interpreter/errors.h"
#include "tests/unit/capture_stdout.h"

namespace kivo::port {
namespace {

TEST(PortRegistry, MalformedSettingsEndTheRunListingTheKnownNames) {
    app::addPortBackends();
    interpreter::console::setUtf8Output(false);
    for (const char* setting : {"bogus", "ppdev", "ppdev:", "direct:0x278", "dll:x", "virtual:xsv900", ""}) {
        SCOPED_TRACE(setting);
        testing::CaptureStdout capture;
        EXPECT_THROW(openPortPaths(setting), interpreter::ScriptFailure);
        const std::string printed = capture.text();
        EXPECT_TRUE(printed.rfind("Nieznana wartosc zmiennej KIVO_PORT", 0) == 0 ||
                    printed.rfind("Bledna wartosc zmiennej KIVO_PORT", 0) == 0)
            << printed;
    }
}

TEST(PortRegistry, AVirtualBoardIsBothPathsAndAnUnopenablePortIsAnEmptyCable) {
    app::addPortBackends();
    PortPaths paths = openPortPaths("virtual");
    ASSERT_NE(paths.library, nullptr);
    EXPECT_EQ(paths.library, paths.direct);

    interpreter::console::setUtf8Output(false);
    testing::CaptureStdout capture;
    paths = openPortPaths("ppdev:/nonexistent/parport9");
#ifdef _WIN32
    const char* reason = "urzadzenie ppdev dostepne tylko w systemie Linux";
#else
    const char* reason = "No such file or directory";
#endif
    EXPECT_EQ(capture.text(), std::string("Nie mozna otworzyc portu 'ppdev:/nonexistent/parport9': ") + reason +
                                  ". Dalsza praca jak bez podlaczonej plyty\n");
    ASSERT_NE(paths.library, nullptr);
    EXPECT_EQ(paths.library->readByte(kStatusPort), 0x78);  // nError high: no nibble board either
    EXPECT_EQ(paths.library->readByte(kEppAddressPort), 0xFF);
}

}  // namespace
}  // namespace kivo::port
