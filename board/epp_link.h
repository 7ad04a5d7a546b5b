#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "datafiles/end_marked_file.h"
#include "port/port_io.h"

// The ways EppPort moves bytes, one class each; private to board/. EppPort picks the link for
// each operation from eppmode and the simulation flag, so a new way of moving bytes (a
// recording tee, a live co-simulation) is one more class here, not a branch in every operation.
namespace kivo::board {

// The transport speaks to the port layer's registers by their names.
using port::kControlPort;
using port::kDataPort;
using port::kEppAddressPort;
using port::kEppDataPort;
using port::kStatusPort;
using port::PortIo;

/// One way of running bus cycles. Data operations work at the address last sent.
class EppLink {
public:
    virtual ~EppLink() = default;
    /// Four address cycles, least significant byte first; false when the address never got
    /// through (the data phase that follows is then skipped).
    virtual bool sendAddress(std::uint32_t address) = 0;
    /// The single-byte write of writeByte; reports its own failure.
    virtual void writeByte(std::uint8_t value) = 0;
    /// Writes buffer[0..count-1], count >= 1: 0, or the 1-based number of the byte that failed.
    virtual int writeData(const std::uint8_t* buffer, std::size_t count) = 0;
    /// One data read; `timeout` is set by links that can tell the board did not answer.
    virtual std::uint8_t readData(bool& timeout) = 0;
    /// Reads count >= 1 bytes into buffer, reporting a failure and leaving the rest as it was.
    virtual void readBlock(std::uint8_t* buffer, std::size_t count) = 0;
    /// The board's address register (identification, InitN, Done).
    virtual std::uint8_t readAddressRegister() = 0;
    /// Drives the FPGA's ProgramN line.
    virtual void setProgramN(bool high) = 0;
    /// A link that answers a bit wait itself returns its result; the others are polled with
    /// reads by EppPort.
    virtual std::optional<bool> waitForBit(int /*expected*/, std::uint8_t /*mask*/, std::uint32_t /*address*/) {
        return std::nullopt;
    }
    /// A pause of the script (0..255 ms): only a link that records the bus keeps it.
    virtual void pause(std::uint8_t /*milliseconds*/) {}
    /// Ends what the link has open; it stays usable and moves nothing more.
    virtual void close() {}
};

/// Polls the status until bit 7 (nWait, read inverted) is 0: true when it got there.
bool waitReady(PortIo& port, std::uint32_t maxReads);

/// EPP cycles on a port: the nInit line carries ProgramN.
class PortEppLink : public EppLink {
public:
    explicit PortEppLink(PortIo& port) : port_(port) {}
    void setProgramN(bool high) override;

protected:
    PortIo& port_;
};

/// The port chip runs the EPP cycles; never verified.
class HardwareEppLink final : public PortEppLink {
public:
    /// `mode` is the transport's eppmode: bit 2 allows 32-bit block accesses.
    HardwareEppLink(PortIo& port, const std::int32_t& mode) : PortEppLink(port), mode_(mode) {}
    bool sendAddress(std::uint32_t address) override;
    void writeByte(std::uint8_t value) override;
    int writeData(const std::uint8_t* buffer, std::size_t count) override;
    std::uint8_t readData(bool& timeout) override;
    void readBlock(std::uint8_t* buffer, std::size_t count) override;
    std::uint8_t readAddressRegister() override;

private:
    bool longs(std::size_t count) const { return (mode_ & 4) != 0 && count % 4 == 0; }
    const std::int32_t& mode_;
};

/// The EPP handshake driven by hand on the data and control registers. Through the port-I/O
/// library it waits for nWait; with the direct port instructions it does not.
class HandEppLink final : public PortEppLink {
public:
    HandEppLink(PortIo& port, bool waitsForReady) : PortEppLink(port), waits_(waitsForReady) {}
    bool sendAddress(std::uint32_t address) override;
    void writeByte(std::uint8_t value) override;
    int writeData(const std::uint8_t* buffer, std::size_t count) override;
    std::uint8_t readData(bool& timeout) override;
    void readBlock(std::uint8_t* buffer, std::size_t count) override;
    std::uint8_t readAddressRegister() override;

private:
    /// Ends a write cycle and leaves the lines idle.
    void releaseStrobes();
    bool waits_;
};

/// The nibble protocol of the XSB and ZEM boards: four data bits out, two bits back per step
/// on status bits 5-4, each step acknowledged on nError. Always through the port-I/O library.
class NibbleLink final : public EppLink {
public:
    /// `plain` is the path of the plain status read after a ProgramN change (eppmode bit 3).
    NibbleLink(PortIo& library, PortIo& plain) : port_(library), plain_(plain) {}
    bool sendAddress(std::uint32_t address) override;
    void writeByte(std::uint8_t value) override;
    int writeData(const std::uint8_t* buffer, std::size_t count) override;
    std::uint8_t readData(bool& timeout) override;
    void readBlock(std::uint8_t* buffer, std::size_t count) override;
    std::uint8_t readAddressRegister() override;
    void setProgramN(bool high) override;

    /// 0..3 from status bits 5-4, or wire::kNoAcknowledge when the acknowledge never came.
    std::uint8_t waitAcknowledge();
    /// The probe's identification read: false as soon as a step finds no board (nError high).
    bool identify(std::uint8_t& value);

private:
    bool readRegister(std::uint8_t& value, bool needsBoard);
    PortIo& port_;
    PortIo& plain_;
};

/// Simulation: every cycle becomes a record of the trace file "kivo.tst"; reads are answered
/// from "kivo.out", 0x03 past its end. Nothing touches the port. Both files may be named pipes
/// to a running simulator (live co-simulation): each read then waits for its answer.
class TraceLink final : public EppLink {
public:
    ~TraceLink() override;
    /// Starts the trace afresh (fail code 1 when it cannot be made) and opens the answers.
    void start();
    bool sendAddress(std::uint32_t address) override;
    void writeByte(std::uint8_t value) override;
    int writeData(const std::uint8_t* buffer, std::size_t count) override;
    std::uint8_t readData(bool& timeout) override;
    void readBlock(std::uint8_t* buffer, std::size_t count) override;
    std::uint8_t readAddressRegister() override;
    void setProgramN(bool) override {}
    std::optional<bool> waitForBit(int expected, std::uint8_t mask, std::uint32_t address) override;
    void pause(std::uint8_t milliseconds) override;
    /// Writes the end mark FF FF FF FF once and closes both files.
    void close() override;

private:
    void record(const void* bytes, std::size_t count);
    /// Before kivo waits for the simulator (a read) or lets it run on its own (a wait): a
    /// simulator reading a pipe must have every record so far.
    void handOver();
    datafiles::EndMarkedFile trace_;
    std::FILE* responseFile_ = nullptr;
};

/// The port links of the transport, made once its ports are open; index 1 is the direct
/// port-instruction path of eppmode bit 3.
struct PortLinks {
    PortLinks(PortIo& library, PortIo& direct, const std::int32_t& mode)
        : hardware{{library, mode}, {direct, mode}},
          hand{{library, true}, {direct, false}},
          nibble{{library, library}, {library, direct}} {}
    HardwareEppLink hardware[2];
    HandEppLink hand[2];
    NibbleLink nibble[2];
};

}  // namespace kivo::board
