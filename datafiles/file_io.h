#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace kivo::datafiles {

/// Bytes of one command: allocated to their exact size, freed when the command ends.
class ByteBuffer {
public:
    ByteBuffer() = default;
    /// `size` bytes of undefined contents; a size that cannot be allocated: fail code 2.
    static ByteBuffer uninitialised(std::uint64_t size);
    /// `size` zero bytes; a size that cannot be allocated: fail code 2.
    static ByteBuffer zeroed(std::uint64_t size);

    std::uint8_t* data() { return data_.get(); }
    const std::uint8_t* data() const { return data_.get(); }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    /// Forgets the bytes from `size` on (the allocation stays); `size` <= size().
    void shrink(std::size_t size) { size_ = size < size_ ? size : size_; }

private:
    // Platform side (file_io_*.cpp): large buffers come straight from the system, in pages
    // as large as it offers, since faulting in 4 KiB pages costs more than reading a file.
    static std::uint8_t* allocate(std::size_t bytes, bool zero);
    static void release(std::uint8_t* p, std::size_t bytes);

    struct Free {
        Free() noexcept : bytes(0) {}
        explicit Free(std::size_t n) noexcept : bytes(n) {}
        std::size_t bytes;
        void operator()(std::uint8_t* p) const { release(p, bytes); }
    };
    std::unique_ptr<std::uint8_t, Free> data_;
    std::size_t size_ = 0;
};

/// A file opened for reading in binary mode; closed when it goes out of scope.
class InputFile {
public:
    /// Cannot be opened, or is a directory: fail code 1 with the name.
    explicit InputFile(const std::string& name);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    /// Size in bytes, or -1 when the file has none that can be believed (a pipe, a character
    /// device, a file that reports 0 bytes). Readers still read to the end.
    std::int64_t size() const { return size_; }
    /// Reads up to `count` bytes; fewer only at the end of the file. A read error: fail code 1.
    std::size_t read(std::uint8_t* buffer, std::size_t count);
    /// Reads what one read of the system gives, at most `count` bytes: from a pipe, what has
    /// arrived; 0 only at the end of the file. A read error: fail code 1.
    std::size_t readSome(std::uint8_t* buffer, std::size_t count);

private:
    std::string name_;
    std::intptr_t handle_ = -1;
    std::int64_t size_ = -1;
};

/// A file opened for writing in binary mode: created with owner read and write permission
/// when absent, else truncated or appended to. Every failure (open, write, close) is fail code
/// 1 with the name, so a partly written file is never taken for a finished one. Opening one
/// tells the script runner that a file was written (it may be the script).
class OutputFile {
public:
    OutputFile(const std::string& name, bool append);
    /// Closes without reporting: only reached on the way out of a failed command.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    /// Buffered: the bytes reach the file at the latest on close().
    void append(const void* data, std::size_t count);
    /// Room for at least `count` bytes (<= kBufferSize) at the end of the buffer, to be
    /// committed with commit(); lets a writer format straight into the buffer.
    char* reserve(std::size_t count) {
        if (count > kBufferSize - used_) flush();
        return buffer_.data() + used_;
    }
    void commit(std::size_t count) { used_ += count; }
    /// Writes everything that is buffered and closes the file.
    void close();

    static constexpr std::size_t kBufferSize = 1 << 20;

private:
    void flush();
    void writeAll(const void* data, std::size_t count);

    std::string name_;
    std::intptr_t handle_ = -1;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
};

/// Creates `name`, or truncates it when it exists, and opens it for reading and writing in
/// binary mode; a new file gets owner read and write permission. nullptr when it cannot be made.
std::FILE* createReadWriteFile(const std::string& name);

}  // namespace kivo::datafiles
