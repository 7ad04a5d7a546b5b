#pragma once
#include <sys/types.h>

#include <cstddef>
#include <memory>
#include <string>

#include "port/port_io.h"

namespace kivo::port {

/// The system calls of the Linux parallel-port backend, so that tests can make them fail.
/// Each returns what the system call does: -1 with errno set on failure.
class PpdevSystem {
public:
    virtual ~PpdevSystem() = default;
    /// open(path, O_RDWR).
    virtual int open(const char* path) = 0;
    virtual int close(int fd) = 0;
    virtual int ioctl(int fd, unsigned long request, void* argument) = 0;
    virtual ssize_t read(int fd, void* buffer, std::size_t count) = 0;
    virtual ssize_t write(int fd, const void* buffer, std::size_t count) = 0;
};

/// The real system calls.
PpdevSystem& systemPpdev();

/// Opens and claims `device` through `system`, which must outlive the port. On failure:
/// nullptr, with the system's reason in `error`. A register call that fails later is reported
/// on the console once, and the port then acts as one with nothing attached.
std::unique_ptr<PortIo> openPpdevPort(const std::string& device, std::string& error, PpdevSystem& system);

}  // namespace kivo::port
