#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <typeindex>
#include <unordered_map>
#include <vector>

#include "interpreter/errors.h"
#include "interpreter/interpreter.h"
#include "interpreter/scan.h"

namespace kivo::interpreter {

class Script;
struct Syntax;

/// One prepared script line as the dispatcher hands it to a command.
struct Line {
    std::string_view keyword;    ///< the command word
    std::string_view suffix;     ///< prefix families: the command word after the prefix
    std::string_view arguments;  ///< the argument text: after the blanks that follow the word
    std::string_view prepared;   ///< the whole prepared line, the text of "with line" failures
    const Syntax* syntax = nullptr;  ///< how the arguments are read (the member's, in a family)
};

/// Everything a command of the running script may use.
class Run {
public:
    Run(Interpreter& state, Script& script) : state(state), script(script) {}

    Interpreter& state;
    Script& script;
    /// Set by a command that ends the run early like the end of the script (ifconfig).
    bool endRun = false;
    /// The one loop counter of the process; negative while no loop runs.
    std::int32_t loopCounter = -1;
    /// Set between a line with "/*" and the next line with "*/".
    bool inBlockComment = false;

    /// State or a service of a command group that lives as long as this run: the one handed
    /// in by provide(), else one created on first use.
    template <class T>
    T& local() {
        auto& slot = locals_[std::type_index(typeid(T))];
        if (!slot) slot = std::make_shared<T>();
        return *static_cast<T*>(slot.get());
    }

    /// Hands the run a ready object for local<T>() (a test's transport over a virtual board);
    /// the caller keeps `object` alive for the run.
    template <class T>
    void provide(T& object) {
        locals_[std::type_index(typeid(T))] = std::shared_ptr<void>(std::shared_ptr<void>{}, &object);
    }

private:
    // Destroyed with the run on every way out (end, exit, failure, unwinding), which is what
    // closes the transport's trace.
    std::unordered_map<std::type_index, std::shared_ptr<void>> locals_;
};

enum class Match {
    Exact,   ///< the keyword equals the command word
    Prefix,  ///< the command word starts with the keyword; the rest is Line::suffix
};

/// How a command that does not accept its arguments ends the run.
enum class Refusal : std::uint8_t {
    None,           ///< any field count is accepted
    WithLine,       ///< fail code 3 with the prepared line as its text
    NoText,         ///< fail code 3 without text
    AdcParameters,  ///< fail code 20
    Message,        ///< fail code 0 with Syntax::message (unknown members only)
};

/// A set of field counts as scan() returns them (-1 to 30): bit n + 1 stands for n.
using FieldCounts = std::uint32_t;
/// The counts lo to hi.
constexpr FieldCounts fields(int lo, int hi) {
    FieldCounts set = 0;
    for (int n = lo; n <= hi; ++n) set |= FieldCounts{1} << (n + 1);
    return set;
}
inline constexpr FieldCounts kAnyFieldCount = ~FieldCounts{0};

/// The argument syntax of a command: the data that both the handler and the script checker
/// read, so that what the checker accepts is what the handler accepts.
struct Syntax {
    /// The scan format of the argument text; empty when the handler takes the text whole.
    std::string_view format = {};
    /// Accepted results of scan() (-1: the text ends before the first field).
    FieldCounts accepted = kAnyFieldCount;
    Refusal refusal = Refusal::None;
    /// Every word up to the format's field count must be read as its field: a word that is no
    /// number is refused even where fewer fields would do.
    bool everyWord = false;
    /// A family member that does not exist: refused whatever the arguments.
    bool unknown = false;
    /// The program's own text of Refusal::Message.
    std::string_view message = {};
    /// Highest values of the first two fields (unsigned); 0: no limit.
    std::uint32_t highest[2] = {0, 0};
};

/// One row of the command table.
struct Command {
    std::string_view keyword;
    Match match;
    void (*run)(Run& run, const Line& line);
    /// The arguments of the command, or of every member of a family without memberSyntax.
    Syntax syntax = {};
    /// A prefix family's own second-level table, as its words after the prefix ("read" for
    /// "laread"), so that the table check sees them; nullptr when the family takes any suffix.
    std::vector<std::string_view> (*subwords)() = nullptr;
    /// An exact word that is meant to win over the prefix family it starts with ("goto" over
    /// "go"); any other such word is a mistake the table check reports.
    bool shadowsFamily = false;
    /// A family whose members read different arguments: the syntax of the member `suffix`.
    Syntax (*memberSyntax)(std::string_view suffix) = nullptr;
};

using CommandTable = std::span<const Command>;

/// fail code 3 with the prepared line as its text.
[[noreturn]] void failLine(const Line& line);

/// The syntax that `keyword` (matched by `command`) reads its arguments with.
Syntax syntaxOf(const Command& command, std::string_view keyword);
/// The failure with which a command of `syntax` refuses `arguments` when scan() read `fields`
/// of them; none when they are accepted.
std::optional<ScriptFailure> refusal(const Syntax& syntax, std::string_view arguments, int fields,
                                     std::string_view prepared);
/// The same for arguments not read yet: scans them with the syntax's format first.
std::optional<ScriptFailure> refusal(const Syntax& syntax, std::string_view arguments, std::string_view prepared);
/// Ends the run as the line's syntax says unless `fields` are accepted.
void requireSyntax(const Line& line, int fields);
/// Reads the line's arguments with its syntax's format into `targets` and ends the run unless
/// they are accepted; returns the number of fields read.
int readArguments(const Line& line, std::initializer_list<ScanTarget> targets);

}  // namespace kivo::interpreter
