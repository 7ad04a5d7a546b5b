#include "emulator/board_model.h"

#include <cstring>

#include "emulator/board_maps.h"
#include "emulator/epp_cpld.h"
#include "emulator/nibble_cpld.h"

namespace kivo::emulator {

namespace {
using port::kControlPort;
using port::kDataPort;
using port::kEppAddressPort;
using port::kEppDataPort;
using port::kStatusPort;

// With nothing on the cable the status inputs float high; Busy is read inverted, so bit 7
// reads 0. nError high is what makes the nibble probe give up.
constexpr std::uint8_t kFloatingStatus = 0x78;
constexpr std::uint8_t kEppTimeoutFlag = 0x01;

std::uint32_t configurationBytes(BoardKind kind) {
    switch (kind) {
        case BoardKind::Xsv300: return kXcv300Bytes;
        case BoardKind::Xsv800: return kXcv800Bytes;
        case BoardKind::Xsb: return kXc2s300eBytes;
        case BoardKind::Zem: return kXc3s1500Bytes;
        case BoardKind::None: break;
    }
    return 0;
}
}  // namespace

std::string_view boardKindName(BoardKind kind) {
    switch (kind) {
        case BoardKind::Xsv300: return "xsv300";
        case BoardKind::Xsv800: return "xsv800";
        case BoardKind::Xsb: return "xsb";
        case BoardKind::Zem: return "zem";
        case BoardKind::None: return "none";
    }
    return "?";
}

BoardModel::BoardModel(BoardKind kind, BoardFaults faults) : kind_(kind), faults_(faults) {
    BoardDevices devices;
    switch (kind) {
        case BoardKind::Xsv300:
            devices = buildXsv300Map(bus_.map());
            cpld_ = std::make_unique<EppCpld>(bus_, faults_, true);
            break;
        case BoardKind::Xsv800:
            devices = buildXsv800Map(bus_.map());
            cpld_ = std::make_unique<EppCpld>(bus_, faults_, false);
            break;
        case BoardKind::Xsb:
            devices = buildXsbMap(bus_.map());
            cpld_ = std::make_unique<NibbleCpld>(bus_, faults_, 0x80);
            break;
        case BoardKind::Zem:
            devices = buildZemMap(bus_.map());
            cpld_ = std::make_unique<NibbleCpld>(bus_, faults_, 0x40);
            break;
        case BoardKind::None:
            break;
    }
    resetRegister_ = devices.resetRegister;
    i2cController_ = devices.i2cController;
    readyRegister_ = devices.readyRegister;
    if (const std::uint32_t size = configurationBytes(kind); size != 0) {
        configuration_ = std::make_unique<FpgaConfiguration>(bus_, faults_, size);
        bus_.setConfigurationPort(configuration_.get());
    }
}

BoardModel::~BoardModel() = default;

std::uint8_t BoardModel::identificationByte() const {
    return cpld_ ? cpld_->identification() : 0xFF;
}

std::uint8_t BoardModel::readByte(std::uint16_t port) {
    switch (port) {
        case kDataPort:
            // In output mode the chip reads back its own latch; in input mode, the lines.
            if (dataLinesDriven()) {
                return dataLatch_;
            }
            return cpld_ ? cpld_->dataLines() : 0xFF;
        case kStatusPort:
            return static_cast<std::uint8_t>((cpld_ ? cpld_->statusLines() : kFloatingStatus) |
                                             (eppTimeout_ ? kEppTimeoutFlag : 0));
        case kControlPort:
            return control_;
        case kEppAddressPort:
            return readEppAddress();
        case kEppDataPort: {
            std::uint8_t value = 0xFF;
            readBytes(kEppDataPort, &value, 1);
            return value;
        }
        default:
            return 0xFF;  // nothing decodes other ports
    }
}

void BoardModel::writeByte(std::uint16_t port, std::uint8_t value) {
    switch (port) {
        case kDataPort:
            dataLatch_ = value;
            if (cpld_ && dataLinesDriven()) {
                cpld_->dataWritten(value);
            }
            return;
        case kStatusPort:
            // Writing 1 to the timeout flag clears it, as on the usual EPP port chips.
            if (value & kEppTimeoutFlag) {
                eppTimeout_ = false;
            }
            return;
        case kControlPort:
            control_ = value;
            if (cpld_) {
                cpld_->controlWritten(value, linesSeenByBoard());
            }
            return;
        case kEppAddressPort:
            writeEppAddress(value);
            return;
        case kEppDataPort:
            writeBytes(kEppDataPort, &value, 1);
            return;
        default:
            return;
    }
}

std::uint8_t BoardModel::readEppAddress() {
    std::uint8_t value = 0xFF;
    if (!cpld_ || !cpld_->eppAddressRead(value)) {
        eppTimeout_ = true;
        return 0xFF;
    }
    return value;
}

void BoardModel::writeEppAddress(std::uint8_t value) {
    if (!cpld_ || !cpld_->eppAddressWrite(value)) {
        eppTimeout_ = true;
    }
}

void BoardModel::readBytes(std::uint16_t port, std::uint8_t* buffer, std::size_t count) {
    if (port != kEppDataPort) {
        for (std::size_t i = 0; i < count; ++i) {
            buffer[i] = readByte(port);
        }
        return;
    }
    // One call per block: the transport's hardware blocks must stay cheap.
    if (count > 0 && (!cpld_ || !cpld_->eppDataRead(buffer, count))) {
        eppTimeout_ = true;
        std::memset(buffer, 0xFF, count);
    }
}

void BoardModel::writeBytes(std::uint16_t port, const std::uint8_t* buffer, std::size_t count) {
    if (port != kEppDataPort) {
        for (std::size_t i = 0; i < count; ++i) {
            writeByte(port, buffer[i]);
        }
        return;
    }
    if (count > 0 && (!cpld_ || !cpld_->eppDataWrite(buffer, count))) {
        eppTimeout_ = true;
    }
}

// A 32-bit access to the EPP data register is four EPP data cycles in memory order; to any
// other port it splits, as on the bus, into byte accesses of four consecutive ports.
void BoardModel::readLongs(std::uint16_t port, std::uint8_t* buffer, std::size_t count) {
    if (port == kEppDataPort) {
        readBytes(port, buffer, 4 * count);
        return;
    }
    for (std::size_t i = 0; i < 4 * count; ++i) {
        buffer[i] = readByte(static_cast<std::uint16_t>(port + i % 4));
    }
}

void BoardModel::writeLongs(std::uint16_t port, const std::uint8_t* buffer, std::size_t count) {
    if (port == kEppDataPort) {
        writeBytes(port, buffer, 4 * count);
        return;
    }
    for (std::size_t i = 0; i < 4 * count; ++i) {
        writeByte(static_cast<std::uint16_t>(port + i % 4), buffer[i]);
    }
}

}  // namespace kivo::emulator
