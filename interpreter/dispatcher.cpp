#include "interpreter/dispatcher.h"

#include <algorithm>

#include "interpreter/console.h"
#include "interpreter/errors.h"

namespace kivo::interpreter {

Dispatcher::Dispatcher(CommandTable table) : table_(table) {
    for (const Command& c : table_) {
        if (c.match == Match::Exact)
            exact_.try_emplace(c.keyword, &c);
        else
            prefixes_.push_back(&c);
    }
    std::stable_sort(prefixes_.begin(), prefixes_.end(),
                     [](const Command* a, const Command* b) { return a->keyword.size() > b->keyword.size(); });
}

const Command* Dispatcher::find(std::string_view keyword) const {
    if (auto it = exact_.find(keyword); it != exact_.end()) return it->second;
    for (const Command* c : prefixes_)
        if (keyword.substr(0, c->keyword.size()) == c->keyword) return c;
    return nullptr;
}

std::vector<std::string> Dispatcher::problems() const {
    std::vector<std::string> found;
    for (std::size_t i = 0; i < table_.size(); ++i) {
        for (std::size_t j = i + 1; j < table_.size(); ++j)
            if (table_[i].keyword == table_[j].keyword) found.push_back("duplicate: " + std::string(table_[i].keyword));
        if (find(table_[i].keyword) != &table_[i] && table_[i].match == Match::Exact)
            found.push_back("unreachable: " + std::string(table_[i].keyword));
    }
    // An exact word that starts with a prefix family hides that family's member of the same
    // spelling; only a row that says so may do that.
    for (const Command* p : prefixes_)
        for (const Command& c : table_)
            if (c.match == Match::Exact && c.keyword.substr(0, p->keyword.size()) == p->keyword && !c.shadowsFamily)
                found.push_back("exact word inside a prefix family: " + std::string(c.keyword));
    // A family's second-level words: each once, and each reaching its family's row.
    for (const Command* p : prefixes_) {
        if (!p->subwords) continue;
        const std::vector<std::string_view> words = p->subwords();
        for (std::size_t i = 0; i < words.size(); ++i) {
            const std::string word = std::string(p->keyword) + std::string(words[i]);
            for (std::size_t j = i + 1; j < words.size(); ++j)
                if (words[i] == words[j]) found.push_back("duplicate: " + word);
            if (find(word) != p) found.push_back("unreachable: " + word);
        }
    }
    return found;
}

void Dispatcher::dispatchCommand(Run& run, std::string_view keyword, std::string_view argumentText,
                                 std::string_view prepared) const {
    const Command* command = find(keyword);
    if (!command) {
        console::text(prepared);
        console::message(kUnknownCommand);
        fail(Fail::BadInstruction);
    }
    const Syntax syntax = syntaxOf(*command, keyword);
    Line line{keyword, keyword.substr(command->match == Match::Prefix ? command->keyword.size() : keyword.size()),
              argumentText, prepared, &syntax};
    command->run(run, line);
}

Syntax syntaxOf(const Command& command, std::string_view keyword) {
    if (!command.memberSyntax) return command.syntax;
    return command.memberSyntax(keyword.substr(command.keyword.size()));
}

namespace {

int formatFields(std::string_view format) {
    int n = 0;
    for (char c : format) n += c == '%';
    return n;
}

}  // namespace

std::optional<ScriptFailure> refusal(const Syntax& syntax, std::string_view arguments, int fields,
                                     std::string_view prepared) {
    bool refused = syntax.unknown || (syntax.refusal != Refusal::None && 
                                  (fields < -1 || fields > 30 || !(syntax.accepted >> (fields + 1) & 1)));
    if (!refused && (syntax.highest[0] || syntax.highest[1])) {
        std::uint32_t values[2] = {0, 0};
        scan(arguments, syntax.format, {&values[0], &values[1]});
        for (int i = 0; i < 2; ++i) refused |= syntax.highest[i] && values[i] > syntax.highest[i];
    }
    if (!refused && syntax.everyWord) {
        // As many words as the format has fields, each read as a word.
        std::string word;
        const std::string_view words[] = {"", "%s", "%s %s", "%s %s %s", "%s %s %s %s", "%s %s %s %s %s"};
        const int n = std::min(formatFields(syntax.format), 5);
        refused = scan(arguments, words[n], {&word, &word, &word, &word, &word}) > std::max(fields, 0);
    }
    if (!refused) return std::nullopt;
    switch (syntax.refusal) {
        case Refusal::WithLine: return ScriptFailure{static_cast<int>(Fail::BadInstruction), std::string(prepared)};
        case Refusal::AdcParameters: return ScriptFailure{static_cast<int>(Fail::AdcParameters), std::nullopt};
        case Refusal::Message:
            return ScriptFailure{static_cast<int>(Fail::Message), std::string(syntax.message), true};
        case Refusal::None:
        case Refusal::NoText: break;
    }
    return ScriptFailure{static_cast<int>(Fail::BadInstruction), std::nullopt};
}

std::optional<ScriptFailure> refusal(const Syntax& syntax, std::string_view arguments, std::string_view prepared) {
    // The fields' values do not matter here, only how many are read.
    std::string word;
    std::uint32_t number = 0;
    ScanTarget targets[8];
    std::size_t n = 0;
    for (std::size_t i = 0; i + 1 < syntax.format.size() && n < std::size(targets); ++i)
        if (syntax.format[i] == '%') targets[n++] = syntax.format[i + 1] == 's' ? ScanTarget{&word} : ScanTarget{&number};
    const int fields = syntax.format.empty() ? -1 : scan(arguments, syntax.format, std::span<const ScanTarget>(targets, n));
    return refusal(syntax, arguments, fields, prepared);
}

void requireSyntax(const Line& line, int fields) {
    if (!line.syntax) return;
    if (auto failure = refusal(*line.syntax, line.arguments, fields, line.prepared)) throw *failure;
}

int readArguments(const Line& line, std::initializer_list<ScanTarget> targets) {
    const int fields = scan(line.arguments, line.syntax ? line.syntax->format : std::string_view{}, targets);
    requireSyntax(line, fields);
    return fields;
}

void failLine(const Line& line) { fail(Fail::BadInstruction, line.prepared); }

}  // namespace kivo::interpreter
