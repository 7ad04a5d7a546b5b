#include "interpreter/script.h"

#include <algorithm>
#include <cstring>

#include "interpreter/console.h"
#include "interpreter/errors.h"
#include "interpreter/scan.h"

namespace kivo::interpreter {

Script::~Script() {
    if (file_) std::fclose(file_);
}

namespace {

std::uint64_t filesWritten = 0;

// Text-mode reading: Ctrl-Z ends the text, CR LF becomes LF, a lone CR stays.
void toTextMode(std::string& raw) {
    if (auto stop = raw.find('\x1A'); stop != std::string::npos) raw.resize(stop);
    std::size_t out = 0;
    for (std::size_t in = 0; in < raw.size(); ++in) {
        if (raw[in] == '\r' && in + 1 < raw.size() && raw[in + 1] == '\n') continue;
        raw[out++] = raw[in];
    }
    raw.resize(out);
}

enum class ReadResult { ok, failed, tooLarge };

// `fromStart`: the file is read again after it changed. A script that was just opened is read
// from where it stands, so that a pipe (a script generated on the fly) can be run too. Reading
// stops at Ctrl-Z, where the text ends anyway, and past kMaxScriptBytes: a device that never
// ends (kivo /dev/zero) must not take all memory before the first line runs.
ReadResult readAll(std::FILE* file, std::string& raw, bool fromStart) {
    raw.clear();
    if (fromStart && std::fseek(file, 0, SEEK_SET) != 0) return ReadResult::failed;
    char buffer[1 << 16];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        const void* stop = std::memchr(buffer, '\x1A', n);
        if (stop) n = static_cast<std::size_t>(static_cast<const char*>(stop) - buffer);
        if (raw.size() + n > kMaxScriptBytes) return ReadResult::tooLarge;
        raw.append(buffer, n);
        if (stop) break;
    }
    return std::ferror(file) ? ReadResult::failed : ReadResult::ok;
}

[[noreturn]] void refuseTooLarge(const std::string& path) {
    console::print("Skrypt %s wiekszy niz %zu MB\n", path.c_str(), kMaxScriptBytes >> 20);
    fail(Fail::Message);
}

}  // namespace

void noteFileWritten() { ++filesWritten; }

void Script::load(std::string raw) {
    toTextMode(raw);
    adopt(std::move(raw));
}

void Script::adopt(std::string text) {
    text_ = std::move(text);
    pos_ = 0;
    eof_ = false;
    indexed_ = false;
    labels_.clear();
}

bool Script::open(const std::string& path) {
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) return false;
    path_ = path;
    std::string raw;
    const ReadResult result = readAll(file_, raw, false);
    if (result == ReadResult::tooLarge) refuseTooLarge(path_);
    if (result == ReadResult::failed) {  // a directory opens but does not read
        std::fclose(file_);
        file_ = nullptr;
        return false;
    }
    platform::fileStamp(file_, stamp_);
    writesSeen_ = filesWritten;
    load(std::move(raw));
    return true;
}

void Script::openText(std::string text) { load(std::move(text)); }

bool Script::readLine(std::string_view& line, std::size_t& rawLength) {
    const std::size_t size = text_.size();
    if (pos_ < size && text_[pos_] == '\n') {
        // Only possible at the very start: the reading format cannot pass an empty first line,
        // so it is skipped here like any other blank line.
        while (pos_ < size && isBlank(text_[pos_])) ++pos_;
    }
    if (pos_ >= size) {
        eof_ = true;
        return false;
    }
    std::size_t end = text_.find('\n', pos_);
    if (end == std::string::npos) end = size;
    std::string_view raw(text_.data() + pos_, end - pos_);
    lineStart_ = pos_;
    rawLength = raw.size();
    line = raw.substr(0, raw.find('\0'));
    pos_ = end;
    if (pos_ < size) ++pos_;
    while (pos_ < size && isBlank(text_[pos_])) ++pos_;
    eof_ = pos_ >= size;
    return true;
}

std::size_t Script::lineNumber() const {
    if (lineStart_ == std::string::npos) return 0;
    // Counted only when asked (after an error): the line loop itself keeps no count. A script
    // that rewrote itself may be shorter than where the line began.
    const std::size_t start = std::min(lineStart_, text_.size());
    return 1 + static_cast<std::size_t>(std::count(text_.begin(), text_.begin() + static_cast<std::ptrdiff_t>(start), '\n'));
}

std::string_view Script::labelName(std::string_view line) {
    std::string_view name = line.substr(1);
    return name.substr(0, name.find(' '));
}

void Script::buildIndex() {
    labels_.clear();
    std::size_t savedPos = pos_;
    std::size_t savedLineStart = lineStart_;
    bool savedEof = eof_;
    pos_ = 0;
    eof_ = false;
    std::string_view line;
    std::size_t rawLength;
    while (readLine(line, rawLength)) {
        if (!line.empty() && line[0] == ':') labels_.try_emplace(labelName(line), pos_);
        if (eof_) break;
    }
    pos_ = savedPos;
    lineStart_ = savedLineStart;
    eof_ = savedEof;
    indexed_ = true;
}

void Script::reloadIfChanged() {
    if (!file_) return;
    if (mustReread_ || writesSeen_ != filesWritten) {
        mustReread_ = false;
        writesSeen_ = filesWritten;
        reread();
        return;
    }
    const auto time = std::chrono::steady_clock::now();
    if (time < nextCheck_) return;
    nextCheck_ = time + std::chrono::milliseconds(20);
    platform::FileStamp now;
    if (!platform::fileStamp(file_, now) || now == stamp_) return;
    reread();
}

void Script::reread() {
    platform::FileStamp now;
    const bool stamped = platform::fileStamp(file_, now);
    std::string raw;
    const ReadResult result = readAll(file_, raw, true);
    // Running on with the old text would run lines that are no longer in the file.
    if (result == ReadResult::tooLarge) refuseTooLarge(path_);
    if (result == ReadResult::failed) return;
    if (stamped) stamp_ = now;
    toTextMode(raw);
    // Unchanged text keeps its index: a loop that writes data files pays only for the reading.
    if (raw != text_) adopt(std::move(raw));
}

bool Script::seekLabel(std::string_view label) {
    reloadIfChanged();
    if (!indexed_) buildIndex();
    label = label.substr(0, label.find(' '));
    label = label.substr(0, label.find('\0'));
    auto found = labels_.find(label);
    if (found == labels_.end()) return false;
    pos_ = found->second;
    eof_ = pos_ >= text_.size();
    return true;
}

}  // namespace kivo::interpreter
