#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include "port/port_ppdev.h"
#include "port/port_registry.h"
#include "interpreter/console.h"

namespace kivo::port {

namespace {

class LinuxPpdev final : public PpdevSystem {
public:
    int open(const char* path) override { return ::open(path, O_RDWR); }
    int close(int fd) override { return ::close(fd); }
    int ioctl(int fd, unsigned long request, void* argument) override { return ::ioctl(fd, request, argument); }
    ssize_t read(int fd, void* buffer, std::size_t count) override { return ::read(fd, buffer, count); }
    ssize_t write(int fd, const void* buffer, std::size_t count) override { return ::write(fd, buffer, count); }
};

// The Linux parallel-port device. Plain registers map to the ppdev register ioctls; the EPP
// address and data registers map to reads and writes in EPP mode, so the kernel runs the EPP
// cycles (in the port chip, or by hand when the chip has no EPP).
class PpdevPort final : public PortIo {
public:
    PpdevPort(PpdevSystem& system, int fd, std::string device) : system_(system), fd_(fd), device_(std::move(device)) {}
    ~PpdevPort() override {
        // At the end there is nobody left to tell: a failed release or close changes nothing.
        system_.ioctl(fd_, PPRELEASE, nullptr);
        system_.close(fd_);
    }

    std::uint8_t readByte(std::uint16_t port) override {
        if (lost_) return lost_->readByte(port);
        unsigned char value = 0;
        switch (port) {
            case kDataPort:
                if (!call(PPRDATA, &value, "PPRDATA")) return lost_->readByte(port);
                break;
            case kStatusPort:
                if (!call(PPRSTATUS, &value, "PPRSTATUS")) return lost_->readByte(port);
                // The kernel clears the chip's EPP timeout flag after each EPP transfer; a
                // short transfer is what remains of it, shown in bit 0 until it is read.
                if (eppTimeout_) value |= 0x01, eppTimeout_ = false;
                break;
            case kControlPort:
                if (!call(PPRCONTROL, &value, "PPRCONTROL")) return lost_->readByte(port);
                value = static_cast<unsigned char>((value & 0x0F) | (reverse_ ? 0x20 : 0x00));
                break;
            case kEppAddressPort:
            case kEppDataPort: eppRead(port, &value, 1); break;
            default: value = 0xFF; break;
        }
        return value;
    }

    void writeByte(std::uint16_t port, std::uint8_t value) override {
        if (lost_) return;
        switch (port) {
            case kDataPort: call(PPWDATA, &value, "PPWDATA"); break;
            case kStatusPort:
                if (value & 0x01) eppTimeout_ = false;  // writing 1 clears the timeout flag
                break;
            case kControlPort: {
                // Bit 5 turns the data lines around; the kernel wants that as its own call.
                const bool reverse = (value & 0x20) != 0;
                if (reverse != reverse_) {
                    int direction = reverse ? 1 : 0;
                    if (!call(PPDATADIR, &direction, "PPDATADIR")) return;
                    reverse_ = reverse;
                }
                unsigned char lines = value & 0x0F;
                call(PPWCONTROL, &lines, "PPWCONTROL");
                break;
            }
            case kEppAddressPort:
            case kEppDataPort: eppWrite(port, &value, 1); break;
            default: break;
        }
    }

    void readBytes(std::uint16_t port, std::uint8_t* buffer, std::size_t count) override {
        if (isEpp(port)) {
            eppRead(port, buffer, count);
            return;
        }
        for (std::size_t i = 0; i < count; ++i) buffer[i] = readByte(port);
    }

    void writeBytes(std::uint16_t port, const std::uint8_t* buffer, std::size_t count) override {
        if (isEpp(port)) {
            eppWrite(port, buffer, count);
            return;
        }
        for (std::size_t i = 0; i < count; ++i) writeByte(port, buffer[i]);
    }

    // The kernel moves EPP data in whatever width the chip allows; four bytes per long in
    // memory order is what a 32-bit access of the EPP data register moves.
    void readLongs(std::uint16_t port, std::uint8_t* buffer, std::size_t count) override {
        readBytes(port, buffer, 4 * count);
    }
    void writeLongs(std::uint16_t port, const std::uint8_t* buffer, std::size_t count) override {
        writeBytes(port, buffer, 4 * count);
    }

private:
    static bool isEpp(std::uint16_t port) { return port == kEppAddressPort || port == kEppDataPort; }

    // A register call that fails leaves the lines in a state nobody knows: the failure is
    // told once and the rest of the run sees a port with nothing attached, as when the port
    // could not be opened at all.
    bool call(unsigned long request, void* argument, const char* name) {
        if (system_.ioctl(fd_, request, argument) == 0) return true;
        interpreter::console::print("Blad dostepu do portu 'ppdev:%s' (%s): %s. Dalsza praca jak bez podlaczonej plyty\n",
                                    device_.c_str(), name, std::strerror(errno));
        lost_ = makeDisconnectedPort();
        return false;
    }

    bool selectMode(std::uint16_t port) {
        int mode = IEEE1284_MODE_EPP | (port == kEppAddressPort ? IEEE1284_ADDR : 0);
        if (mode == mode_) return true;
        if (!call(PPSETMODE, &mode, "PPSETMODE")) return false;
        mode_ = mode;
        return true;
    }

    // A short EPP transfer is a cycle the board never answered (the chip's timeout), not a
    // failed port: it shows in the status as the chip's timeout flag.
    void eppRead(std::uint16_t port, std::uint8_t* buffer, std::size_t count) {
        if (lost_ || !selectMode(port)) {
            lost_->readBytes(port, buffer, count);
            return;
        }
        std::size_t done = 0;
        while (done < count) {
            const ssize_t got = system_.read(fd_, buffer + done, count - done);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) break;
            done += static_cast<std::size_t>(got);
        }
        if (done < count) {
            // The port chip reads floating lines.
            std::memset(buffer + done, 0xFF, count - done);
            eppTimeout_ = true;
        }
    }

    void eppWrite(std::uint16_t port, const std::uint8_t* buffer, std::size_t count) {
        if (lost_ || !selectMode(port)) return;
        std::size_t done = 0;
        while (done < count) {
            const ssize_t put = system_.write(fd_, buffer + done, count - done);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) break;
            done += static_cast<std::size_t>(put);
        }
        if (done < count) eppTimeout_ = true;
    }

    PpdevSystem& system_;
    int fd_;
    std::string device_;
    /// Set once a register call failed: the port with nothing attached that stands in.
    std::unique_ptr<PortIo> lost_;
    int mode_ = -1;
    bool reverse_ = false;
    bool eppTimeout_ = false;
};

}  // namespace

PpdevSystem& systemPpdev() {
    static LinuxPpdev system;
    return system;
}

std::unique_ptr<PortIo> openPpdevPort(const std::string& device, std::string& error, PpdevSystem& system) {
    const int fd = system.open(device.c_str());
    if (fd < 0) {
        error = std::strerror(errno);
        return nullptr;
    }
    if (system.ioctl(fd, PPCLAIM, nullptr) != 0) {
        error = std::strerror(errno);
        system.close(fd);
        return nullptr;
    }
    return std::make_unique<PpdevPort>(system, fd, device);
}

std::unique_ptr<PortIo> openPpdevPort(const std::string& device, std::string& error) {
    return openPpdevPort(device, error, systemPpdev());
}

}  // namespace kivo::port
