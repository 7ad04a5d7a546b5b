#pragma once
#include <cstdint>

namespace kivo::board {

/// The one board transport of the process: hardware EPP, hand-driven EPP or the nibble
/// protocol on the parallel port, or the simulation trace. Every board access goes through it.
/// (Contract for the board link; the implementation fills in the private side.)
class EppPort {
public:
    virtual ~EppPort();

    /// Sends a 32-bit address in four address cycles, least significant byte first; runs the
    /// silent probe first while it is pending.
    void setAddress(std::uint32_t address);
    void writeByte(std::uint32_t address, std::uint8_t value);
    std::uint8_t readByte(std::uint32_t address);
    /// One address transfer, then `count` data cycles (count <= 0 moves no data).
    void writeBlock(const std::uint8_t* buffer, std::uint32_t address, std::int32_t count);
    void readBlock(std::uint32_t address, std::int32_t count, std::uint8_t* buffer);
    /// Data cycles at the address last sent; 0, or the 1-based number of the byte that failed.
    int writeData(const std::uint8_t* buffer, std::int32_t count);
    /// One data read at the address last sent; `timeout` is set only by the nibble protocol.
    std::uint8_t readData(bool& timeout);
    std::uint8_t readAddressRegister();
    std::uint8_t readStatus();
    void writeControl(std::uint8_t value);
    /// 0..3 from status bits 5-4, or 0xFF when the acknowledge never came.
    std::uint8_t waitAcknowledge();
    void setProgramN(int level);
    bool probe(bool verbose);
    void enterSimulation();
    void traceWait(std::uint32_t milliseconds);
    bool waitForBit(int expected, std::uint8_t mask, std::uint32_t address, std::int32_t count);
    /// Ends the trace (FF FF FF FF, once) and closes the simulation files.
    void close();

    std::int32_t eppmode() const;
    void setEppmode(std::int32_t mode);
    std::int32_t boardKind() const;
    bool simulation() const;
    bool probePending() const;
};

/// The process's one transport, closed at process exit.
EppPort& eppPort();

}  // namespace kivo::board
