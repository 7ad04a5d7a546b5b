#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "port/port_io.h"

namespace kivo::interpreter {
class Run;
}

namespace kivo::board {

using port::PortIo;

class EppLink;
class RecordLink;
class TraceLink;
struct PortLinks;

/// The board transport of a run: hardware EPP, hand-driven EPP or the nibble protocol on the
/// parallel port, or the simulation trace. Every board access goes through it.
class EppPort {
public:
    /// A transport whose ports come from KIVO_PORT, opened on first use; it records the run when
    /// KIVO_RECORD names a directory.
    EppPort();
    /// A transport over given ports (tests, benchmarks): `library` is the port-I/O library
    /// path, `direct` the port-instruction path that eppmode bit 3 selects. Both must outlive it.
    EppPort(PortIo& library, PortIo& direct);
    virtual ~EppPort();
    EppPort(const EppPort&) = delete;
    EppPort& operator=(const EppPort&) = delete;

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
    /// The board's address register: InitN in bit 0, Done in bit 1, the XSV300 marker in bit 5,
    /// the EPP signature in bits 7, 6, 3, 2.
    std::uint8_t readAddressRegister();
    std::uint8_t readStatus();
    void writeControl(std::uint8_t value);
    /// 0..3 from status bits 5-4, or 0xFF when the acknowledge never came.
    std::uint8_t waitAcknowledge();
    /// Drives the FPGA's ProgramN line: level 0 (low) or 1 (high).
    void setProgramN(int level);
    /// Finds the board and settles eppmode and boardKind; false when no board answers.
    bool probe(bool verbose);
    /// Switches to simulation for the rest of the run: trace "kivo.tst", answers "kivo.out".
    void enterSimulation();
    /// Records a pause of `milliseconds` (0..255; larger values are recorded as 255).
    void traceWait(std::uint32_t milliseconds);
    /// Polls the byte at `address` up to `count` times until (byte & mask) != 0 equals
    /// `expected` (0 or 1); false on timeout.
    bool waitForBit(int expected, std::uint8_t mask, std::uint32_t address, std::int32_t count);
    /// Ends the trace (FF FF FF FF, once) and closes the simulation files.
    void close();

    /// Record mode: from now on the board's data cycles also go to DIR/kivo.tst and its answers
    /// to DIR/kivo.out.
    void startRecording(const std::string& dir);
    bool recording() const { return recorder_ != nullptr && !simulation_; }
    /// Records a pause of the script on the board, clamped to 0..255 ms as simulation does.
    void recordPause(std::int32_t milliseconds);
    /// While it lives, the board traffic is not recorded (configuration has no place in a
    /// trace).
    class Unrecorded {
    public:
        explicit Unrecorded(EppPort& port) : port_(port) { ++port_.unrecorded_; }
        ~Unrecorded() { --port_.unrecorded_; }
        Unrecorded(const Unrecorded&) = delete;
        Unrecorded& operator=(const Unrecorded&) = delete;

    private:
        EppPort& port_;
    };

    std::int32_t eppmode() const { return eppmode_; }
    void setEppmode(std::int32_t mode) { eppmode_ = mode; }
    /// 0: XSB, 1: ZEM; found by the nibble probe, 0 for EPP boards.
    std::int32_t boardKind() const { return boardKind_; }
    bool simulation() const { return simulation_; }
    bool probePending() const { return probePending_; }

private:
    bool nibble() const { return eppmode_ >= 16; }
    bool softwareWrite() const { return (eppmode_ & 1) != 0; }
    bool softwareRead() const { return (eppmode_ & 2) != 0; }
    /// Index of the port path eppmode bit 3 chooses: 0 the port-I/O library, 1 the direct
    /// port instructions.
    int path() const { return (eppmode_ & 8) != 0 ? 1 : 0; }

    PortLinks& links() {
        if (!links_) openPorts();
        return *links_;
    }
    /// The link of the write cycles (address, data, ProgramN) and of the read cycles in the
    /// current mode: eppmode may change between any two operations.
    EppLink& writer();
    EppLink& reader();
    /// The recording around a board link while record mode is on.
    EppLink& recorded(EppLink& board);
    /// The path eppmode bit 3 chooses for the plain control and status accesses.
    PortIo& io();
    void openPorts();

    PortIo* library_ = nullptr;
    PortIo* direct_ = nullptr;
    std::shared_ptr<PortIo> ownedLibrary_;
    std::shared_ptr<PortIo> ownedDirect_;
    std::unique_ptr<PortLinks> links_;
    std::unique_ptr<TraceLink> trace_;
    std::unique_ptr<RecordLink> recorder_;
    int unrecorded_ = 0;

    std::int32_t eppmode_ = 3;
    std::int32_t boardKind_ = 0;
    bool simulation_ = false;
    bool probePending_ = true;
    /// The nibble address transfer was given up: the data phase of that transfer is skipped.
    bool addressLost_ = false;
};

/// The transport of the running script.
EppPort& transport(interpreter::Run& run);

}  // namespace kivo::board
