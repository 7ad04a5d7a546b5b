#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "interpreter/command.h"
#include "interpreter/interpreter.h"

namespace kivo::board {
class EppPort;
}

namespace kivo::analyser {

/// Window offsets of the analyser core's registers (bytes from laBaseAdr; the signature is at 0).
inline constexpr std::uint32_t kLaControlOffset = 8;  ///< write: control; read: status
inline constexpr std::uint32_t kLaCtrCedOffset = 10;
inline constexpr std::uint32_t kLaTriggerValueOffset = 16;
inline constexpr std::uint32_t kLaTriggerCareOffset = 20;
inline constexpr std::uint32_t kLaCeValueOffset = 32;
inline constexpr std::uint32_t kLaCeCareOffset = 36;
/// The upper 32 bits of each qualifier register lie this far above its lower 32 bits.
inline constexpr std::uint32_t kLaUpperHalfDistance = 8;
/// Bytes at the window's base saved ahead of the samples.
inline constexpr std::uint32_t kLaRegisterBlockSize = 48;
inline constexpr std::uint8_t kLaSignature = 0x4A;
/// Status bit: the capture has finished.
inline constexpr std::uint8_t kLaCaptureDone = 0x40;
/// ctr_ced flag not_RLC: what laread falls back to when a capture does not finish.
inline constexpr std::uint8_t kCedNotRlc = 0x20;
/// Window sizes the analyser accepts from a size command, in bytes.
inline constexpr std::int32_t kLaMinWindow = 128;
inline constexpr std::int32_t kLaMaxWindow = 0x80000;

/// What the la commands know about the analyser. One set for the whole run, never reset.
struct LaState {
    /// Base of the analyser's window; valid only with its low 7 bits zero (FFFFFFFF: not set).
    std::uint32_t laBaseAdr = 0xFFFFFFFF;
    /// Last address of the window as lahighadr gave it; 0: not given.
    std::uint32_t laHighAdr = 0;
    /// Window size in bytes; 0 or less: unknown.
    std::int32_t laWindowSize = -1;
    /// Address width of the sample memory, in bits (4..16 once read from the core).
    int memAdrWidth = 0;
    /// 1 when the core stores run-length coded samples; -1 until read.
    int useRlc = -1;
    /// Bits of one sample word (8, 16, 32 or 64); -1 until read.
    int dataWidth = -1;
    /// Bits of the trigger bus (1..64).
    int trigWidth = 8;
    /// Bits of the CE data bus (1..64).
    int ceDwidth = 8;
};

/// The la subcommands, acting on `la` and the board through `port`. Each call prints what
/// follows the dispatcher's "\tla_<subcommand> " echo; errors end the run through fail.
class LogicAnalyser {
public:
    LogicAnalyser(board::EppPort& port, interpreter::Interpreter& state, LaState& la)
        : port_(port), state_(state), la_(la) {}

    /// Runs one subcommand ("awidth", "start", ...) with its argument text.
    void run(std::string_view subcommand, std::string_view arguments);
    /// The subcommand words run() knows, for the command table's check.
    static std::vector<std::string_view> subcommandWords();
    /// How the subcommand reads its arguments.
    static interpreter::Syntax subcommandSyntax(std::string_view subcommand);

    /// laawidth: window of 2^n bytes, n decimal 7..19.
    void awidth(std::string_view arguments);
    /// lahighadr: the window's last address; the size is left to labaseadr.
    void highadr(std::string_view arguments);
    /// labaseadr: finds the core at the address and takes its bus widths and window size.
    void baseadr(std::string_view arguments);
    /// lastart: writes the control byte.
    void start(std::string_view arguments);
    /// laread [file [polls]]: waits for the capture and saves registers and samples.
    void read(std::string_view arguments);
    /// lacectr: writes ctr_ced and names its flags.
    void cectr(std::string_view arguments);
    /// latvalue, latcare, lacevalue, lacecare: a qualifier register of up to 64 bits.
    void tvalue(std::string_view arguments);
    void tcare(std::string_view arguments);
    void cevalue(std::string_view arguments);
    void cecare(std::string_view arguments);

private:
    struct Subcommand {
        std::string_view name;
        void (LogicAnalyser::*run)(std::string_view);
        interpreter::Syntax syntax;
    };
    static const Subcommand kSubcommands[];

    void requireBase() const;
    void writeQualifier(std::string_view arguments, const char* spacing, std::uint32_t offset, int busWidth);

    board::EppPort& port_;
    interpreter::Interpreter& state_;
    LaState& la_;
};

}  // namespace kivo::analyser
