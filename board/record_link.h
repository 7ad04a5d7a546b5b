#pragma once
#include <cstdio>
#include <string>

#include "board/epp_link.h"
#include "trace/trace_writer.h"

namespace kivo::board {

/// Record mode: a tee around the board link that writes what the run does in the simulation's
/// own formats, DIR/kivo.tst (the records the same operations write in simulation) and
/// DIR/kivo.out (every byte the board answered), so that the run can be replayed without the
/// board or compared with a simulation. Only the data cycles are recorded: the address
/// register, ProgramN and the plain port lines have no record, as in simulation.
class RecordLink final : public EppLink {
public:
    /// Creates DIR (one level) and both files; fail code 1 with the name when one cannot be made.
    explicit RecordLink(const std::string& dir);
    ~RecordLink() override;

    /// The board link of the next operation: everything passes through to it.
    RecordLink& around(EppLink& board) {
        board_ = &board;
        return *this;
    }

    bool sendAddress(std::uint32_t address) override;
    void writeByte(std::uint8_t value) override;
    int writeData(const std::uint8_t* buffer, std::size_t count) override;
    std::uint8_t readData(bool& timeout) override;
    void readBlock(std::uint8_t* buffer, std::size_t count) override;
    std::uint8_t readAddressRegister() override { return board_->readAddressRegister(); }
    void setProgramN(bool high) override { board_->setProgramN(high); }
    /// A pause of the script, 0..255 ms.
    void pause(std::uint8_t milliseconds) override { trace_.wait(milliseconds); }
    /// The one record a bit wait leaves in simulation; its polls are not recorded.
    void waitBit(int expected, std::uint8_t mask, std::uint32_t address) { trace_.waitBit(expected, mask, address); }
    /// Writes the end mark once and closes both files.
    void close() override;

private:
    void answered(const std::uint8_t* bytes, std::size_t count);
    EppLink* board_ = nullptr;
    std::FILE* traceFile_ = nullptr;
    std::FILE* responseFile_ = nullptr;
    trace::TraceWriter trace_{nullptr};
};

}  // namespace kivo::board
