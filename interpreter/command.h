#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <typeindex>
#include <unordered_map>
#include <vector>

#include "interpreter/interpreter.h"

namespace kivo::interpreter {

class Script;

/// One prepared script line as the dispatcher hands it to a command.
struct Line {
    std::string_view keyword;    ///< the command word
    std::string_view suffix;     ///< prefix families: the command word after the prefix
    std::string_view arguments;  ///< the argument text: after the blanks that follow the word
    std::string_view prepared;   ///< the whole prepared line, the text of "with line" failures
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

/// One row of the command table.
struct Command {
    std::string_view keyword;
    Match match;
    void (*run)(Run& run, const Line& line);
    /// A prefix family's own second-level table, as its words after the prefix ("read" for
    /// "laread"), so that the table check sees them; nullptr when the family takes any suffix.
    std::vector<std::string_view> (*subwords)() = nullptr;
    /// An exact word that is meant to win over the prefix family it starts with ("goto" over
    /// "go"); any other such word is a mistake the table check reports.
    bool shadowsFamily = false;
};

using CommandTable = std::span<const Command>;

/// fail code 3 with the prepared line as its text.
[[noreturn]] void failLine(const Line& line);
/// fail code 3 with the line unless lo <= count <= hi.
void requireFields(int count, int lo, int hi, const Line& line);

}  // namespace kivo::interpreter
