#pragma once
#include <cstdint>
#include <string>

#include "trace/byte_source.h"

namespace kivo::trace {

enum class OpKind : std::uint8_t { Address, Write, Read, Wait, WaitBit, End };

/// One bus operation of a trace. The address records of one transfer make one operation.
struct Op {
    OpKind kind = OpKind::End;
    std::uint64_t index = 0;   ///< operations before this one
    std::uint64_t offset = 0;  ///< trace offset of its first record
    /// Address: the board's address after the transfer; Write, Read: the cycle's address;
    /// WaitBit: the polled address.
    std::uint32_t address = 0;
    /// Write: the byte; Read: the answer (when hasValue); Wait: milliseconds; WaitBit: the
    /// expected state.
    std::uint8_t value = 0;
    std::uint8_t mask = 0;          ///< WaitBit
    std::uint8_t addressBytes = 0;  ///< Address: how many of the four bytes came
    bool hasValue = false;          ///< Read: answered from the responses
};

/// Reads a trace, and the responses that go with it when given, one operation at a time.
/// Tracks the address as the board does: address bytes load it by position, least significant
/// first, and every data cycle moves it on by one and starts the next address afresh.
class TraceReader {
public:
    TraceReader(ByteSource& trace, ByteSource* responses) : trace_(trace), responses_(responses) {}

    /// The next operation; false after the end mark, or at a fault (then fault() says where).
    bool next(Op& op);
    /// Empty, or what is wrong with the input and at which byte offset.
    const std::string& fault() const { return fault_; }
    /// Answers left over in the responses after the end mark.
    bool responsesLeft() { return responses_ && responses_->peek() >= 0; }

private:
    bool operand(int& byte, std::uint8_t code, std::uint64_t at);
    bool stop(std::string message);

    ByteSource& trace_;
    ByteSource* responses_;
    std::uint64_t index_ = 0;
    std::uint32_t address_ = 0;
    int addressByte_ = 0;
    bool done_ = false;
    std::string fault_;
};

}  // namespace kivo::trace
