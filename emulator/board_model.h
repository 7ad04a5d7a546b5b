#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "port/port_io.h"
#include "emulator/board_bus.h"
#include "emulator/board_faults.h"
#include "emulator/cpld.h"
#include "emulator/fpga_configuration.h"
#include "emulator/i2c_controller.h"
#include "emulator/ready_register.h"
#include "emulator/reset_register.h"

namespace kivo::emulator {

/// What hangs on the parallel cable.
enum class BoardKind {
    Xsv300,  ///< EPP board with an XCV300
    Xsv800,  ///< EPP board with an XCV800
    Xsb,     ///< nibble-protocol board, identification signature 0x80
    Zem,     ///< nibble-protocol board, identification signature 0x40
    None,    ///< nothing attached: every line floats
};

/// The name KIVO_PORT uses for `kind` ("xsv300", ...).
std::string_view boardKindName(BoardKind kind);

/// The virtual board behind the parallel port: a model of the port chip's registers with the
/// board's CPLD on the cable. The real transport drives it through PortIo unchanged; the CPLD
/// turns the register traffic into address and data cycles on the board's AddressMap.
class BoardModel final : public port::PortIo {
public:
    /// A board of `kind` with its memory map built, the FPGA configured (Done and InitN high,
    /// ProgramN high), RAM all zero and the control register idle (0x04).
    explicit BoardModel(BoardKind kind = BoardKind::Xsv300, BoardFaults faults = {});
    ~BoardModel() override;
    BoardModel(const BoardModel&) = delete;
    BoardModel& operator=(const BoardModel&) = delete;

    std::uint8_t readByte(std::uint16_t port) override;
    void writeByte(std::uint16_t port, std::uint8_t value) override;
    void readBytes(std::uint16_t port, std::uint8_t* buffer, std::size_t count) override;
    void writeBytes(std::uint16_t port, const std::uint8_t* buffer, std::size_t count) override;
    void readLongs(std::uint16_t port, std::uint8_t* buffer, std::size_t count) override;
    void writeLongs(std::uint16_t port, const std::uint8_t* buffer, std::size_t count) override;

    /// The board on the cable.
    BoardKind kind() const { return kind_; }
    /// The faults in force; `setFaults` changes them at once.
    const BoardFaults& faults() const { return faults_; }
    void setFaults(const BoardFaults& faults) { faults_ = faults; }

    /// The board's address space, for attaching devices and for direct access.
    AddressMap& addressMap() { return bus_.map(); }
    /// One bus read or write at `address`, bypassing the cable (devices see it as a cycle).
    std::uint8_t peek(std::uint32_t address) { return bus_.map().read(address); }
    void poke(std::uint32_t address, std::uint8_t value) { bus_.map().write(address, value); }
    /// The CPLD's 32-bit address register: where the next data cycle goes.
    std::uint32_t currentAddress() const { return bus_.address(); }
    /// The last value written to the control register.
    std::uint8_t controlValue() const { return control_; }
    /// The identification byte the board answers on an address-register read (0xFF: none).
    std::uint8_t identificationByte() const;
    /// The reset register at FFFFFFFF; nullptr when nothing is attached (`none`).
    ResetRegister* resetRegister() { return resetRegister_; }

    /// The FPGA's configuration lines; ProgramN follows the cable, the others can be set.
    const FpgaPins& fpga() const { return bus_.fpga(); }
    void setDone(bool level) { bus_.fpga().done = level; }
    void setInitN(bool level) { bus_.fpga().initN = level; }
    /// Where the FPGA takes its configuration stream; see BoardBus::setConfigurationPort.
    /// The device is not owned and must outlive the model or be removed first.
    void setConfigurationPort(BusDevice* port) { bus_.setConfigurationPort(port); }
    /// The board's bus, for devices that drive the FPGA lines.
    BoardBus& bus() { return bus_; }
    /// The FPGA's configuration logic, the configuration port from the start; nullptr (`none`).
    FpgaConfiguration* configuration() { return configuration_.get(); }
    /// The design's I2C controller and ready register (board_maps.h); nullptr (`none`).
    I2cController* i2cController() { return i2cController_; }
    ReadyRegister* readyRegister() { return readyRegister_; }

private:
    bool dataLinesDriven() const { return (control_ & 0x20) == 0; }  // bit 5: PC reads
    std::uint8_t linesSeenByBoard() const { return dataLinesDriven() ? dataLatch_ : 0xFF; }
    std::uint8_t readEppAddress();
    void writeEppAddress(std::uint8_t value);

    BoardKind kind_;
    BoardFaults faults_;
    BoardBus bus_;
    std::unique_ptr<Cpld> cpld_;  // nullptr: nothing on the cable
    ResetRegister* resetRegister_ = nullptr;
    I2cController* i2cController_ = nullptr;
    ReadyRegister* readyRegister_ = nullptr;
    std::unique_ptr<FpgaConfiguration> configuration_;
    std::uint8_t dataLatch_ = 0;
    std::uint8_t control_ = 0x04;
    bool eppTimeout_ = false;  // the port chip's EPP timeout flag, status bit 0
};

}  // namespace kivo::emulator
