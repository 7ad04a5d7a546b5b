#pragma once
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "interpreter/command.h"

namespace kivo::interpreter {

/// What an unknown word prints after the prepared line.
inline constexpr std::string_view kUnknownCommand = " - Komenda nieznana!\n";

/// Chooses the command of a line by its word: exact words first, then the prefix families,
/// the longest prefix first (so "gobit" wins over "go").
class Dispatcher {
public:
    explicit Dispatcher(CommandTable table);

    /// Carries out one split line. An unknown word prints the line with " - Komenda nieznana!"
    /// and fails with code 3.
    void dispatchCommand(Run& run, std::string_view keyword, std::string_view argumentText,
                         std::string_view prepared) const;

    /// The row that `keyword` selects, or nullptr.
    const Command* find(std::string_view keyword) const;

    /// Words that appear twice, and prefix rows that can never be reached; empty when the table
    /// is sound.
    std::vector<std::string> problems() const;

private:
    CommandTable table_;
    std::unordered_map<std::string_view, const Command*> exact_;
    std::vector<const Command*> prefixes_;
};

/// The commands the interpreter core carries out itself.
CommandTable coreCommands();

/// Moves the script to the line after the label, or prints the message and fails (code 3).
void jumpToLabel(Run& run, std::string_view label);

}  // namespace kivo::interpreter
