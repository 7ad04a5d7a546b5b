// The FPGA design's devices on the virtual board: the I2C controller and its register device,
// the ready register, and the FPGA's configuration logic.
#include <gtest/gtest.h>

#include "emulator/board_maps.h"
#include "emulator/board_model.h"
#include "emulator/fpga_configuration.h"
#include "emulator/i2c_controller.h"
#include "emulator/ready_register.h"

namespace kivo::emulator {
namespace {

constexpr std::uint32_t kData = I2cController::kDataOffset;
constexpr std::uint32_t kCommand = I2cController::kCommandOffset;

// One byte and one command, then the status once the transfer is over.
std::uint8_t send(I2cController& i2c, std::uint8_t byte, std::uint8_t command) {
    i2c.write(kData, byte);
    i2c.write(kCommand, command);
    for (int i = 0; i < I2cController::kBusyReads; ++i) EXPECT_EQ(i2c.read(kCommand) & 0x02, 0x02);
    return i2c.read(kCommand);
}

TEST(I2cControllerTest, WritesARegisterAndReadsItBackWithARepeatedStart) {
    I2cController i2c;
    EXPECT_EQ(send(i2c, 0x4A, 0x90), 0x00);
    EXPECT_EQ(send(i2c, 0x80, 0x10), 0x00);
    EXPECT_EQ(send(i2c, 0x5C, 0x50), 0x00);
    EXPECT_EQ(i2c.deviceRegister(0x80), 0x5C);

    EXPECT_EQ(send(i2c, 0x4A, 0x90), 0x00);
    EXPECT_EQ(send(i2c, 0x80, 0x10), 0x00);
    EXPECT_EQ(send(i2c, 0x4B, 0x90), 0x00);
    i2c.write(kCommand, 0x68);
    while (i2c.read(kCommand) != 0) {
    }
    EXPECT_EQ(i2c.read(kData), 0x5C);
}

TEST(I2cControllerTest, OtherDeviceAddressesAndStrayBytesAreNotAcknowledged) {
    I2cController i2c;
    EXPECT_EQ(send(i2c, 0x4C, 0x90), 0x80);
    EXPECT_EQ(send(i2c, 0x01, 0x10), 0x80);  // nobody listens after a refused address
    EXPECT_EQ(send(i2c, 0x4A, 0x90), 0x00);  // a new start clears the flag
    // A read outside a read transfer finds the bus floating high.
    i2c.write(kCommand, 0x68);
    EXPECT_EQ(i2c.read(kData), 0xFF);
}

TEST(I2cControllerTest, ProgramNClearsTheControllerButNotTheDevice) {
    I2cController i2c;
    i2c.setDeviceRegister(3, 0x77);
    send(i2c, 0x4C, 0x90);
    i2c.write(kCommand, 0x10);
    i2c.programNChanged(false);
    EXPECT_EQ(i2c.read(kCommand), 0x00);
    EXPECT_EQ(i2c.deviceRegister(3), 0x77);
}

TEST(I2cControllerTest, EveryBoardHasTheControllerAndTheReadyRegisterInItsMap) {
    for (BoardKind kind : {BoardKind::Xsv300, BoardKind::Xsv800, BoardKind::Xsb, BoardKind::Zem}) {
        BoardModel board(kind);
        ASSERT_NE(board.i2cController(), nullptr);
        ASSERT_NE(board.readyRegister(), nullptr);
        board.poke(kI2cControllerAddress + kData, 0x4A);
        board.poke(kI2cControllerAddress + kCommand, 0x90);
        EXPECT_EQ(board.i2cController()->commandCount(), 1);
        EXPECT_EQ(board.peek(kReadyRegisterAddress), 0x01);
        EXPECT_EQ(board.readyRegister()->readCount(), 1u);
    }
    EXPECT_EQ(BoardModel(BoardKind::None).i2cController(), nullptr);
}

TEST(ReadyRegisterTest, BusyFor256ReadsPerUnitWritten) {
    ReadyRegister ready;
    ready.write(0, 2);
    for (int i = 0; i < 512; ++i) ASSERT_EQ(ready.read(0), 0x00) << i;
    EXPECT_EQ(ready.read(0), 0x01);
    ready.write(0, 1);
    ready.write(0, 0);
    EXPECT_EQ(ready.read(0), 0x01);
}

class FpgaConfigurationTest : public ::testing::Test {
protected:
    void pulse() {
        bus.setProgramN(false);
        bus.setProgramN(true);
    }
    void stream(std::uint32_t count) {
        for (std::uint32_t i = 0; i < count; ++i) bus.writeData(static_cast<std::uint8_t>(i + 1));
    }

    BoardBus bus;
    BoardFaults faults;
    FpgaConfiguration fpga{bus, faults, 100};
    void SetUp() override { bus.setConfigurationPort(&fpga); }
};

TEST_F(FpgaConfigurationTest, DoneRisesWithTheByteAfterTheStream) {
    pulse();
    EXPECT_TRUE(bus.fpga().initN);
    EXPECT_FALSE(bus.fpga().done);
    stream(100);
    EXPECT_FALSE(bus.fpga().done);
    EXPECT_EQ(bus.readData(), 100);  // the read-back echoes the last byte, without counting
    stream(1);
    EXPECT_TRUE(bus.fpga().done);
    EXPECT_EQ(fpga.received(), 101u);
    // Configured: data cycles reach the address map again.
    bus.writeData(0xEE);
    EXPECT_EQ(fpga.received(), 101u);
}

TEST_F(FpgaConfigurationTest, BytesWithoutAPulseOrDuringProgramLowAreIgnored) {
    bus.setProgramN(false);
    stream(5);
    EXPECT_EQ(fpga.received(), 0u);
    bus.setProgramN(true);
    stream(3);
    pulse();  // starts over
    EXPECT_EQ(fpga.received(), 0u);
}

TEST_F(FpgaConfigurationTest, FaultsOfTheConfigurationLines) {
    faults.initNStuck = true;
    pulse();
    EXPECT_FALSE(bus.fpga().initN);

    faults = {.doneNever = true};
    pulse();
    stream(150);
    EXPECT_FALSE(bus.fpga().done);

    faults = {.doneEarly = true};
    pulse();
    stream(1);
    EXPECT_TRUE(bus.fpga().done);
    stream(99);  // still taken: Done rose before the FPGA had everything
    EXPECT_EQ(fpga.received(), 100u);
    EXPECT_EQ(bus.readData(), 99);

    faults = {.badReadback = true};
    pulse();
    stream(7);
    EXPECT_EQ(bus.readData(), static_cast<std::uint8_t>(~7));
}

}  // namespace
}  // namespace kivo::emulator
