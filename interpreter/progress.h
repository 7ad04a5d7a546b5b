#pragma once
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

// Work that moves many bytes (configuration, block transfers, big files) shows how far it is in
// one line on standard error; standard output never sees it. The transfer loops only count:
// a count compared with a threshold, the clock read only when the count passes it.
namespace kivo::interpreter::progress {

namespace detail {
struct Counter {
    std::uint64_t done = 0;
    /// The count at which the clock is read next; never reached while no work counts.
    std::uint64_t next = UINT64_MAX;
};
extern Counter counter;
extern bool lineShown;
void thresholdReached();
void eraseLine();
}  // namespace detail

/// Counts `bytes` more of the work that shows progress; outside such work it does nothing.
/// Cheap enough for every byte of a transfer loop.
inline void advance(std::uint64_t bytes) {
    detail::counter.done += bytes;
    if (detail::counter.done >= detail::counter.next) detail::thresholdReached();
}

/// Counts `bytes` more written to a file by the work that shows progress, shown beside the bytes
/// done (a file tool writes after it has read); called once a buffer, not in a byte loop.
void advanceWritten(std::uint64_t bytes);

/// Takes the line off the screen, when one is shown: the console calls it before it writes,
/// so that what stays on the terminal is exactly the program's output.
inline void hide() {
    if (detail::lineShown) detail::eraseLine();
}

/// While it lives, the bytes counted with advance() are shown as the progress of the work
/// `label` of `total` bytes (0: unknown). Work inside work that shows progress already shows
/// nothing of its own: its bytes count toward the outer work. The line is erased when the
/// object goes, whether the work ended or failed.
class Progress {
public:
    Progress(std::string_view label, std::uint64_t total);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

private:
    bool counting_ = false;
};

/// Where the line is drawn.
class LineOutput {
public:
    virtual ~LineOutput() = default;
    /// Replaces the line shown (if any) with `text`; `first`: no line is shown yet.
    virtual void show(std::string_view text, bool first) = 0;
    /// Removes the line shown; the cursor goes back where the line started.
    virtual void erase() = 0;
};

/// The text of the line: label, percentage, bytes done of total, bytes written, rate and time
/// left. `seconds` is the time since the work began.
std::string lineText(std::string_view label, std::uint64_t done, std::uint64_t total, double seconds,
                     std::uint64_t written = 0);

/// Settings of the reporter; tests replace the clock and the output.
struct Settings {
    enum class Mode { Off, Terminal, Forced };
    /// Off: no line; Terminal: after kDelay, when standard error is a terminal; Forced: at once.
    Mode mode = Mode::Off;
    std::chrono::steady_clock::time_point (*now)() = nullptr;
    LineOutput* output = nullptr;
};
/// Replaces the settings that KIVO_PROGRESS and standard error decide (tests); nullptr
/// members keep the system's clock and the line on standard error.
void configure(const Settings& settings);

/// Work that ends sooner shows no line on a terminal.
inline constexpr std::chrono::milliseconds kDelay{500};
/// Shortest time between two drawings of the line.
inline constexpr std::chrono::milliseconds kRedraw{100};

}  // namespace kivo::interpreter::progress
