// The Linux port backend against a fake of its system calls: every failed call is a failed
// port, never a value made up.
#include "port/port_ppdev.h"

#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "interpreter/console.h"
#include "tests/unit/capture_stdout.h"

namespace kivo::port {
namespace {

class FakePpdev final : public PpdevSystem {
public:
    std::map<unsigned long, int> failing;  ///< request -> errno it fails with
    std::vector<unsigned long> requests;
    bool openFails = false;
    bool closed = false;

    int open(const char*) override {
        if (openFails) return errno = EACCES, -1;
        return 7;
    }
    int close(int) override { return closed = true, 0; }
    int ioctl(int, unsigned long request, void* argument) override {
        requests.push_back(request);
        if (auto it = failing.find(request); it != failing.end()) return errno = it->second, -1;
        if (request == PPRSTATUS || request == PPRDATA || request == PPRCONTROL)
            *static_cast<unsigned char*>(argument) = 0x5A;
        return 0;
    }
    ssize_t read(int, void*, std::size_t count) override { return static_cast<ssize_t>(count); }
    ssize_t write(int, const void*, std::size_t count) override { return static_cast<ssize_t>(count); }
};

TEST(PortPpdev, OpenAndClaimFailuresGiveTheSystemsReason) {
    FakePpdev system;
    std::string error;
    system.openFails = true;
    EXPECT_EQ(openPpdevPort("/dev/parport0", error, system), nullptr);
    EXPECT_EQ(error, std::strerror(EACCES));

    system.openFails = false;
    system.failing[PPCLAIM] = EBUSY;
    EXPECT_EQ(openPpdevPort("/dev/parport0", error, system), nullptr);
    EXPECT_EQ(error, std::strerror(EBUSY));
    EXPECT_TRUE(system.closed);
}

TEST(PortPpdev, AFailedRegisterCallIsToldOnceAndThePortActsAsNoBoard) {
    interpreter::console::setUtf8Output(false);
    struct Case {
        unsigned long request;
        const char* name;
        std::function<void(PortIo&)> access;
    };
    const Case cases[] = {
        {PPRDATA, "PPRDATA", [](PortIo& p) { p.readByte(kDataPort); }},
        {PPRSTATUS, "PPRSTATUS", [](PortIo& p) { p.readByte(kStatusPort); }},
        {PPRCONTROL, "PPRCONTROL", [](PortIo& p) { p.readByte(kControlPort); }},
        {PPWDATA, "PPWDATA", [](PortIo& p) { p.writeByte(kDataPort, 1); }},
        {PPWCONTROL, "PPWCONTROL", [](PortIo& p) { p.writeByte(kControlPort, 0x04); }},
        {PPDATADIR, "PPDATADIR", [](PortIo& p) { p.writeByte(kControlPort, 0x24); }},
        {PPSETMODE, "PPSETMODE", [](PortIo& p) { p.readByte(kEppAddressPort); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakePpdev system;
        system.failing[c.request] = EIO;
        std::string error;
        auto port = openPpdevPort("/dev/parport0", error, system);
        ASSERT_NE(port, nullptr);

        testing::CaptureStdout capture;
        c.access(*port);
        c.access(*port);
        const std::size_t calls = system.requests.size();
        // What a port with nothing attached reads: floating lines, Busy read inverted.
        EXPECT_EQ(port->readByte(kStatusPort), 0x78);
        EXPECT_EQ(port->readByte(kDataPort), 0xFF);
        std::uint8_t block[4] = {};
        port->readBytes(kEppDataPort, block, 4);
        EXPECT_EQ(block[3], 0xFF);
        EXPECT_EQ(system.requests.size(), calls);  // the device is left alone from then on
        EXPECT_EQ(capture.text(), std::string("Blad dostepu do portu 'ppdev:/dev/parport0' (") + c.name +
                                      "): " + std::strerror(EIO) + ". Dalsza praca jak bez podlaczonej plyty\n");
    }
}

TEST(PortPpdev, WorkingCallsPassTheirValuesAndTheEndReleasesThePort) {
    FakePpdev system;
    std::string error;
    {
        auto port = openPpdevPort("/dev/parport0", error, system);
        ASSERT_NE(port, nullptr);
        EXPECT_EQ(port->readByte(kDataPort), 0x5A);
        EXPECT_EQ(port->readByte(kControlPort), 0x0A);  // the four line bits, data driven
    }
    EXPECT_EQ(system.requests.back(), static_cast<unsigned long>(PPRELEASE));
    EXPECT_TRUE(system.closed);
}

}  // namespace
}  // namespace kivo::port
