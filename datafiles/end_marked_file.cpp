#include "datafiles/end_marked_file.h"

#include <algorithm>
#include <cstring>

namespace kivo::datafiles {

namespace {
// The file a signal finishes; only one is open at a time.
std::atomic<EndMarkedFile*> active{nullptr};
}  // namespace

EndMarkedFile::~EndMarkedFile() { close(); }

bool EndMarkedFile::create(const std::string& name, const std::uint8_t* endMark, std::size_t endMarkSize) {
    close();
    bool pipe = false;
    const std::intptr_t handle = openSystem(name, pipe);
    if (handle < 0) return false;
    handle_ = handle;
    pipe_ = pipe;
    endMarkSize_ = std::min(endMarkSize, sizeof endMark_);
    std::memcpy(endMark_, endMark, endMarkSize_);
    if (!buffer_) {
        buffer_ = std::make_unique<std::uint8_t[]>(kBufferSize);
        capacity_ = kBufferSize;
    }
    data_.store(buffer_.get());
    used_.store(0);
    deferredSignal_ = 0;
    catchSignals(&EndMarkedFile::onSignal);
    active.store(this);
    return true;
}

std::uint8_t* EndMarkedFile::reserve(std::size_t count) {
    const std::size_t used = used_.load() & ~kMarkIn;
    if (count <= capacity_ - used) return buffer_.get() + used;
    flush();
    if (count > capacity_) {
        // The handler may look at the buffer at any moment: it is swapped only while empty.
        auto larger = std::make_unique<std::uint8_t[]>(count);
        data_.store(larger.get());
        buffer_ = std::move(larger);
        capacity_ = count;
    }
    return buffer_.get();
}

void EndMarkedFile::commit(std::size_t count) { used_.store(used_.load() + count); }

void EndMarkedFile::append(const void* bytes, std::size_t count) {
    std::memcpy(reserve(count), bytes, count);
    commit(count);
}

bool EndMarkedFile::writeAll(const std::uint8_t* bytes, std::size_t count) {
    while (count > 0) {
        bool interrupted = false;
        const long put = writeSystem(handle_, bytes, count, interrupted);
        if (put < 0 && interrupted) continue;
        if (put <= 0) return false;
        bytes += put;
        count -= static_cast<std::size_t>(put);
    }
    return true;
}

void EndMarkedFile::flush() {
    if (handle_ < 0) return;
    const std::size_t state = used_.load();
    const std::size_t used = state & ~kMarkIn;
    if (used == 0) return;
    const std::uint8_t* data = data_.load();
    writing_.store(true);
    std::size_t done = 0;
    while (done < used && deferredSignal_ == 0) {
        bool interrupted = false;
        const long put = writeSystem(handle_, data + done, used - done, interrupted);
        if (put > 0)
            done += static_cast<std::size_t>(put);
        else if (!interrupted)
            break;  // the reader is gone or the disk full: what is left can reach no one
    }
    if (deferredSignal_ != 0) finishAndDie(data + done, used - done, deferredSignal_);
    used_.store(state & kMarkIn);
    writing_.store(false);
    // A signal between the last write and here found the flush still running.
    if (deferredSignal_ != 0) finishAndDie(nullptr, 0, deferredSignal_);
}

void EndMarkedFile::finishAndDie(const std::uint8_t* bytes, std::size_t count, int signal) {
    active.store(nullptr);
    if (count == 0 || writeAll(bytes, count))
        if ((used_.load() & kMarkIn) == 0) writeAll(endMark_, endMarkSize_);
    raiseDefault(signal);
}

void EndMarkedFile::onSignal(int signal) {
    EndMarkedFile* file = active.load();
    if (file && file->writing_.load()) {
        file->deferredSignal_ = signal;
        return;
    }
    if (!file) raiseDefault(signal);
    const std::size_t state = file->used_.load();
    file->finishAndDie(file->data_.load(), state & ~kMarkIn, signal);
}

void EndMarkedFile::close() {
    if (handle_ < 0) return;
    std::uint8_t* mark = reserve(endMarkSize_);
    std::memcpy(mark, endMark_, endMarkSize_);
    // One store puts the mark in and tells the handler so: it is never written twice.
    used_.store((static_cast<std::size_t>(mark - buffer_.get()) + endMarkSize_) | kMarkIn);
    flush();
    active.store(nullptr);
    closeSystem(handle_);
    handle_ = -1;
    pipe_ = false;
    used_.store(0);
}

}  // namespace kivo::datafiles
