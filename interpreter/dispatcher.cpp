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
        console::message(" - Komenda nieznana!\n");
        fail(Fail::BadInstruction);
    }
    Line line{keyword, keyword.substr(command->match == Match::Prefix ? command->keyword.size() : keyword.size()),
              argumentText, prepared};
    command->run(run, line);
}

void failLine(const Line& line) { fail(Fail::BadInstruction, line.prepared); }

void requireFields(int count, int lo, int hi, const Line& line) {
    if (count < lo || count > hi) failLine(line);
}

}  // namespace kivo::interpreter
