#include "interpreter/progress.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "interpreter/platform.h"

namespace kivo::interpreter::progress {

namespace detail {
Counter counter;
bool lineShown = false;
}  // namespace detail

namespace {

using Clock = std::chrono::steady_clock;

// The clock is read about this often while the work runs, whatever the speed of the link.
constexpr double kCheckSeconds = 0.01;
constexpr std::uint64_t kFirstCheck = 4096;
constexpr std::uint64_t kLongestStride = 1u << 20;
constexpr std::size_t kLongestText = 76;  // one line of an 80-column terminal

// A terminal: the line goes where the cursor stands, so a line of standard output that is not
// finished stays on the screen.
class TerminalLine final : public LineOutput {
public:
    void show(std::string_view text, bool first) override { platform::showTerminalLine(text, first); }
    void erase() override { platform::eraseTerminalLine(); }
};

// A pipe or a file (a front end reads it): each drawing starts with a carriage return and the
// line is erased with blanks.
class StreamLine final : public LineOutput {
public:
    void show(std::string_view text, bool) override {
        std::string s = "\r";
        s.append(text);
        if (text.size() < length_) s.append(length_ - text.size(), ' ');
        length_ = std::max(length_, text.size());
        write(s);
    }
    void erase() override {
        std::string s = "\r";
        s.append(length_, ' ');
        s += '\r';
        length_ = 0;
        write(s);
    }

private:
    static void write(const std::string& s) {
        std::fwrite(s.data(), 1, s.size(), stderr);
        std::fflush(stderr);
    }
    std::size_t length_ = 0;
};

struct Work {
    bool active = false;
    std::string label;
    std::uint64_t total = 0;
    Clock::time_point start{};
    Clock::time_point lastDrawn{};
    bool drawn = false;
    std::uint64_t written = 0;
};

Settings settings;
bool settled = false;
Work work;

void settle() {
    if (settled) return;
    settled = true;
    static TerminalLine terminal;
    static StreamLine stream;
    const char* value = std::getenv("KIVO_PROGRESS");
    const bool terminalError = platform::errorIsTerminal();
    if (value && std::strcmp(value, "0") == 0)
        settings.mode = Settings::Mode::Off;
    else if (value && std::strcmp(value, "1") == 0)
        settings.mode = Settings::Mode::Forced;
    else
        settings.mode = terminalError ? Settings::Mode::Terminal : Settings::Mode::Off;
    settings.now = &Clock::now;
    settings.output = terminalError ? static_cast<LineOutput*>(&terminal) : &stream;
}

std::string bytes(double n) {
    char s[32];
    if (n < 1024)
        std::snprintf(s, sizeof s, "%.0f B", n);
    else if (n < 1024.0 * 1024)
        std::snprintf(s, sizeof s, "%.1f KiB", n / 1024);
    else if (n < 1024.0 * 1024 * 1024)
        std::snprintf(s, sizeof s, "%.1f MiB", n / (1024.0 * 1024));
    else
        std::snprintf(s, sizeof s, "%.2f GiB", n / (1024.0 * 1024 * 1024));
    return s;
}

std::string duration(double seconds) {
    const auto s = static_cast<unsigned long long>(seconds + 0.5);
    char text[32];
    if (s >= 3600)
        std::snprintf(text, sizeof text, "%llu:%02llu:%02llu", s / 3600, s / 60 % 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%llu:%02llu", s / 60, s % 60);
    return text;
}

}  // namespace

std::string lineText(std::string_view label, std::uint64_t done, std::uint64_t total, double seconds,
                     std::uint64_t written) {
    std::string text(label);
    if (total > 0) {
        done = std::min(done, total);  // configuration sends one byte more than its stream
        char percent[8];
        std::snprintf(percent, sizeof percent, " %3u%%", static_cast<unsigned>(done * 100 / total));
        text += percent;
    }
    text += "  " + bytes(static_cast<double>(done));
    if (total > 0) text += " z " + bytes(static_cast<double>(total));
    if (written > 0) text += "  zapisano " + bytes(static_cast<double>(written));
    // The first moments of a transfer say little about its speed; once everything is read, the
    // speed of the reading says nothing about what is left.
    if (seconds >= 0.2 && done > 0 && (total == 0 || done < total)) {
        const double rate = static_cast<double>(done) / seconds;
        text += "  " + bytes(rate) + "/s";
        if (total > done) text += "  pozostalo " + duration(static_cast<double>(total - done) / rate);
    }
    if (text.size() > kLongestText) text.resize(kLongestText);
    return text;
}

void configure(const Settings& given) {
    settle();
    settings.mode = given.mode;
    if (given.now) settings.now = given.now;
    if (given.output) settings.output = given.output;
}

namespace detail {

void thresholdReached() {
    const Clock::time_point now = settings.now();
    const double seconds = std::chrono::duration<double>(now - work.start).count();
    const bool due = settings.mode == Settings::Mode::Forced || now - work.start >= kDelay;
    if (due && (!work.drawn || now - work.lastDrawn >= kRedraw)) {
        // Standard output first, so that the line starts where that output ends.
        if (!lineShown) std::fflush(stdout);
        settings.output->show(lineText(work.label, counter.done, work.total, seconds, work.written), !lineShown);
        lineShown = true;
        work.drawn = true;
        work.lastDrawn = now;
    }
    std::uint64_t stride = kFirstCheck;
    if (seconds > 1e-6) {
        const double perCheck = static_cast<double>(counter.done) / seconds * kCheckSeconds;
        stride = static_cast<std::uint64_t>(std::clamp(perCheck, 1.0, static_cast<double>(kLongestStride)));
    }
    counter.next = counter.done + stride;
}

void eraseLine() {
    lineShown = false;
    settings.output->erase();
}

}  // namespace detail

void advanceWritten(std::uint64_t bytes) {
    if (!work.active) return;
    work.written += bytes;
    detail::thresholdReached();
}

Progress::Progress(std::string_view label, std::uint64_t total) {
    settle();
    if (work.active || settings.mode == Settings::Mode::Off) return;
    counting_ = true;
    work.active = true;
    work.label.assign(label);
    work.total = total;
    work.start = settings.now();
    work.drawn = false;
    work.written = 0;
    detail::counter.done = 0;
    detail::counter.next = settings.mode == Settings::Mode::Forced ? 1 : kFirstCheck;
}

Progress::~Progress() {
    if (!counting_) return;
    work.active = false;
    detail::counter = detail::Counter{};
    hide();
}

}  // namespace kivo::interpreter::progress
