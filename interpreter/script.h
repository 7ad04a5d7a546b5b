#pragma once
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <unordered_map>

#include "interpreter/platform.h"

namespace kivo::interpreter {

/// Scripts are refused above this size: the whole text is held in memory, with its labels.
inline constexpr std::size_t kMaxScriptBytes = std::size_t{16} << 20;

/// To be called by everything that opens a file for writing: the file may be the script, so
/// the next jump reads the script again.
void noteFileWritten();

/// The script being run, read the way a text-mode stream is read on Windows (a CR LF pair is
/// one line end, Ctrl-Z ends the text), with one read position shared by the runner and the
/// label search. The file stays open for the whole run.
class Script {
public:
    Script() = default;
    ~Script();
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;

    /// Opens and reads the script; false when it cannot be opened or read. Text above
    /// kMaxScriptBytes (up to a Ctrl-Z) is refused with a message: fail code 0.
    bool open(const std::string& path);
    /// Uses `text` (already in text-mode form) as the script; for tests and the fuzz target.
    void openText(std::string text);

    /// Reads the next line like the scan format "%[^\n]%*c\n": the characters up to the line
    /// end (cut at a NUL byte), then the line end and every following blank are consumed.
    /// An empty line where a line should start is skipped like any blank line. False when no
    /// line is left. `rawLength` is the line's length before the NUL cut.
    bool readLine(std::string_view& line, std::size_t& rawLength);
    /// The number (from 1) of the file line that the last readLine returned; 0 before any.
    std::size_t lineNumber() const;
    /// The end-of-file indicator: set when the last read reached the end of the text.
    bool atEnd() const { return eof_; }

    /// Moves the read position to the line after the first label line named `label` (the text
    /// up to its first space), with the blank lines and indentation after it skipped. False
    /// when the script has no such label.
    bool seekLabel(std::string_view label);

    /// Makes the next label search read the file again (after a program ran that may have
    /// rewritten the script).
    void checkForChanges() { mustReread_ = true; }

    /// Script text in text-mode form: for tests.
    const std::string& text() const { return text_; }

    /// The name a label line (starting with ':') defines: up to the first space; a tab does not
    /// end it.
    static std::string_view labelName(std::string_view line);

private:
    void load(std::string raw);
    void buildIndex();
    void adopt(std::string text);
    void reloadIfChanged();
    void reread();

    std::FILE* file_ = nullptr;
    std::string path_;
    platform::FileStamp stamp_{};
    std::string text_;
    std::size_t pos_ = 0;
    std::size_t lineStart_ = std::string::npos;
    bool eof_ = false;
    bool indexed_ = false;
    // Asking the system for the file's stamp costs more than the jump itself, so a loop looks
    // at it at most every few milliseconds. That is only for changes made by other processes:
    // after kivo itself wrote a file, or ran a program, the file is read again at once, so that
    // a script that rewrites itself does not depend on timing.
    std::chrono::steady_clock::time_point nextCheck_{};
    std::uint64_t writesSeen_ = 0;
    bool mustReread_ = false;
    std::unordered_map<std::string_view, std::size_t> labels_;
};

}  // namespace kivo::interpreter
