#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "emulator/address_map.h"

namespace kivo::emulator {
namespace {

// Records every access so tests see what the map routed to it.
class RecordingDevice final : public BusDevice {
public:
    std::uint8_t read(std::uint32_t offset) override {
        reads.push_back(offset);
        return static_cast<std::uint8_t>(0xD0 + offset);
    }
    void write(std::uint32_t offset, std::uint8_t value) override { writes.push_back({offset, value}); }
    void programNChanged(bool level) override { programN.push_back(level); }

    std::vector<std::uint32_t> reads;
    std::vector<std::pair<std::uint32_t, std::uint8_t>> writes;
    std::vector<bool> programN;
};

TEST(AddressMapTest, UnmappedAddressesAreRamThatStartsAtZero) {
    AddressMap map;
    EXPECT_EQ(map.read(0), 0);
    EXPECT_EQ(map.read(0xFFFFFFFF), 0);
    std::vector<std::uint8_t> block(100000, 0xEE);
    map.readBlock(0x7FFFFFF0, block.data(), block.size());
    EXPECT_EQ(block, std::vector<std::uint8_t>(100000, 0));
    EXPECT_EQ(map.ram().pageCount(), 0u) << "reading allocates nothing";

    map.write(0x0001FFFF, 0x42);  // the last byte of a page
    map.write(0x00020000, 0x43);
    EXPECT_EQ(map.read(0x0001FFFF), 0x42);
    EXPECT_EQ(map.read(0x00020000), 0x43);
    EXPECT_EQ(map.read(0x0001FFFE), 0);
    EXPECT_EQ(map.ram().pageCount(), 2u);
}

TEST(AddressMapTest, AttachRefusesEmptyOverflowingAndOverlappingWindows) {
    AddressMap map;
    ASSERT_NE(map.attach(0x1000, 0x100, std::make_unique<RecordingDevice>()), nullptr);
    EXPECT_EQ(map.attach(0x2000, 0, std::make_unique<RecordingDevice>()), nullptr);
    EXPECT_EQ(map.attach(0xFFFFFFF0, 0x11, std::make_unique<RecordingDevice>()), nullptr);
    EXPECT_EQ(map.attach(0x10FF, 1, std::make_unique<RecordingDevice>()), nullptr);
    EXPECT_EQ(map.attach(0x0F00, 0x101, std::make_unique<RecordingDevice>()), nullptr);
    EXPECT_EQ(map.attach(0x0800, 0x1000, std::make_unique<RecordingDevice>()), nullptr);
    // Touching windows are fine, as is the very last byte.
    EXPECT_NE(map.attach(0x0F00, 0x100, std::make_unique<RecordingDevice>()), nullptr);
    EXPECT_NE(map.attach(0x1100, 0x100, std::make_unique<RecordingDevice>()), nullptr);
    EXPECT_NE(map.attach(0xFFFFFFFF, 1, std::make_unique<RecordingDevice>()), nullptr);
}

TEST(AddressMapTest, DevicesSeeOffsetsInTheirWindowAndRamTheRest) {
    AddressMap map;
    auto* low = map.attach(0x100, 4, std::make_unique<RecordingDevice>());
    auto* high = map.attach(0x200, 2, std::make_unique<RecordingDevice>());
    map.write(0x102, 0x55);
    EXPECT_EQ(map.read(0x201), 0xD1);
    EXPECT_EQ(map.read(0x104), 0);  // just past the window: RAM
    EXPECT_EQ(low->writes, (std::vector<std::pair<std::uint32_t, std::uint8_t>>{{2, 0x55}}));
    EXPECT_EQ(high->reads, (std::vector<std::uint32_t>{1}));

    // A block across RAM and both windows: each device byte is one access, in order.
    std::vector<std::uint8_t> data(0x110);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<std::uint8_t>(i);
    }
    map.writeBlock(0xFE, data.data(), data.size());
    EXPECT_EQ(map.read(0xFE), 0x00);
    EXPECT_EQ(map.read(0x1FF), 0x01);
    EXPECT_EQ(map.read(0x20B), 0x0D);
    ASSERT_EQ(low->writes.size(), 5u);
    EXPECT_EQ(low->writes[1], (std::pair<std::uint32_t, std::uint8_t>{0, 0x02}));
    EXPECT_EQ(low->writes[4], (std::pair<std::uint32_t, std::uint8_t>{3, 0x05}));
    ASSERT_EQ(high->writes.size(), 2u);
    EXPECT_EQ(high->writes[0], (std::pair<std::uint32_t, std::uint8_t>{0, 0x02}));

    std::vector<std::uint8_t> back(data.size());
    map.readBlock(0xFE, back.data(), back.size());
    EXPECT_EQ(back[1], 0x01);
    EXPECT_EQ(back[2], 0xD0);
    EXPECT_EQ(back[5], 0xD3);
    EXPECT_EQ(back[6], 0x06);
    EXPECT_EQ(back[0x103], 0xD1);
}

TEST(AddressMapTest, BlocksWrapPastTheTopOfTheSpace) {
    AddressMap map;
    const std::uint8_t data[4] = {1, 2, 3, 4};
    map.writeBlock(0xFFFFFFFE, data, 4);
    EXPECT_EQ(map.read(0xFFFFFFFF), 2);
    EXPECT_EQ(map.read(0x00000001), 4);
    std::uint8_t back[4] = {};
    map.readBlock(0xFFFFFFFE, back, 4);
    EXPECT_EQ(back[3], 4);
}

TEST(AddressMapTest, ProgramNReachesEveryDevice) {
    AddressMap map;
    auto* a = map.attach(0x10, 1, std::make_unique<RecordingDevice>());
    auto* b = map.attach(0x20, 1, std::make_unique<RecordingDevice>());
    map.notifyProgramN(false);
    map.notifyProgramN(true);
    EXPECT_EQ(a->programN, (std::vector<bool>{false, true}));
    EXPECT_EQ(b->programN, (std::vector<bool>{false, true}));
}

TEST(AddressMapTest, LargeBlocksUsePagesNotBytes) {
    AddressMap map;
    constexpr std::size_t kSize = 64u << 20;
    std::vector<std::uint8_t> data(kSize);
    for (std::size_t i = 0; i < kSize; i += 4096) {
        data[i] = static_cast<std::uint8_t>(i >> 12);
    }
    map.writeBlock(0x10008000, data.data(), kSize);  // not page aligned
    EXPECT_EQ(map.ram().pageCount(), kSize / SparseRam::kPageSize + 1);
    std::vector<std::uint8_t> back(kSize);
    map.readBlock(0x10008000, back.data(), kSize);
    EXPECT_TRUE(back == data);
}

}  // namespace
}  // namespace kivo::emulator
