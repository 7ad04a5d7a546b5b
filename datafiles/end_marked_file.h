#pragma once
#include <atomic>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace kivo::datafiles {

/// A file of records that a reader takes as cut short until a closing mark arrives (the
/// simulation trace). Its bytes wait in a buffer this object owns and go out with the
/// system's own write calls, so that SIGINT, SIGTERM or SIGHUP still write what is pending and
/// the closing mark before the process dies of the signal: a simulator on the other end of a
/// named pipe would otherwise wait for ever. A named pipe is neither truncated nor seeked.
/// One file at a time is open for the signals' sake (the run has one trace).
class EndMarkedFile {
public:
    EndMarkedFile() = default;
    ~EndMarkedFile();
    EndMarkedFile(const EndMarkedFile&) = delete;
    EndMarkedFile& operator=(const EndMarkedFile&) = delete;

    /// Creates or truncates `name` (a named pipe is opened for writing, which waits for its
    /// reader); false when it cannot be opened.
    bool create(const std::string& name, const std::uint8_t* endMark, std::size_t endMarkSize);
    bool isOpen() const { return handle_ >= 0; }
    /// The other end is a process reading as the bytes come (a named pipe).
    bool isPipe() const { return pipe_; }

    /// Room for `count` bytes at the end of the buffer, to be committed with commit(); the
    /// buffer grows for a larger request (std::bad_alloc when it cannot). A record reserved and
    /// committed as one is never cut by a signal.
    std::uint8_t* reserve(std::size_t count);
    void commit(std::size_t count);
    void append(const void* bytes, std::size_t count);
    /// Hands everything buffered to the system.
    void flush();
    /// Writes what is pending and the closing mark, and closes.
    void close();

private:
    /// Writes `count` bytes from `bytes` and the closing mark unless it is among them, and
    /// dies of `signal` (its default action).
    [[noreturn]] void finishAndDie(const std::uint8_t* bytes, std::size_t count, int signal);
    /// Every byte, whatever signals come between; false when the reader is gone.
    bool writeAll(const std::uint8_t* bytes, std::size_t count);

    // Platform side (file_io_*.cpp).
    static std::intptr_t openSystem(const std::string& name, bool& pipe);
    /// One write call: bytes written, or -1 with `interrupted` set when a signal cut it short.
    static long writeSystem(std::intptr_t handle, const std::uint8_t* bytes, std::size_t count, bool& interrupted);
    static void closeSystem(std::intptr_t handle);
    /// Installs the handler for the signals that end a run from outside (once; a signal
    /// the process was told to ignore stays ignored).
    static void catchSignals(void (*handler)(int));
    [[noreturn]] static void raiseDefault(int signal);
    static void onSignal(int signal);

    std::intptr_t handle_ = -1;
    bool pipe_ = false;
    std::uint8_t endMark_[8] = {};
    std::size_t endMarkSize_ = 0;
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t capacity_ = 0;
    // Read by the signal handler: what is committed and not yet written (with kMarkIn once the
    // closing mark is among it or out), and whether a flush is in progress (the handler then
    // leaves the rest to the flush, which alone knows how far its write got).
    std::atomic<std::uint8_t*> data_{nullptr};
    std::atomic<std::size_t> used_{0};
    std::atomic<bool> writing_{false};
    volatile std::sig_atomic_t deferredSignal_ = 0;

    static constexpr std::size_t kBufferSize = 64 * 1024;
    static constexpr std::size_t kMarkIn = std::size_t{1} << (8 * sizeof(std::size_t) - 1);
};

}  // namespace kivo::datafiles
