#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "board/port_registry.h"

namespace kivo::board {

namespace {

// The Linux parallel-port device. Plain registers map to the ppdev register ioctls; the EPP
// address and data registers map to reads and writes in EPP mode, so the kernel runs the EPP
// cycles (in the port chip, or by hand when the chip has no EPP).
class PpdevPort final : public PortIo {
public:
    explicit PpdevPort(int fd) : fd_(fd) {}
    ~PpdevPort() override {
        ioctl(fd_, PPRELEASE);
        ::close(fd_);
    }

    std::uint8_t readByte(std::uint16_t port) override {
        unsigned char value = 0xFF;
        switch (port) {
            case kDataPort: ioctl(fd_, PPRDATA, &value); break;
            case kStatusPort:
                ioctl(fd_, PPRSTATUS, &value);
                // The kernel clears the chip's EPP timeout flag after each EPP transfer; a
                // short transfer is what remains of it, shown in bit 0 until it is read.
                if (eppTimeout_) value |= 0x01, eppTimeout_ = false;
                break;
            case kControlPort:
                ioctl(fd_, PPRCONTROL, &value);
                value = static_cast<unsigned char>((value & 0x0F) | (reverse_ ? 0x20 : 0x00));
                break;
            case kEppAddressPort:
            case kEppDataPort: eppRead(port, &value, 1); break;
            default: break;
        }
        return value;
    }

    void writeByte(std::uint16_t port, std::uint8_t value) override {
        switch (port) {
            case kDataPort: ioctl(fd_, PPWDATA, &value); break;
            case kStatusPort:
                if (value & 0x01) eppTimeout_ = false;  // writing 1 clears the timeout flag
                break;
            case kControlPort: {
                // Bit 5 turns the data lines around; the kernel wants that as its own call.
                const bool reverse = (value & 0x20) != 0;
                if (reverse != reverse_) {
                    int direction = reverse ? 1 : 0;
                    ioctl(fd_, PPDATADIR, &direction);
                    reverse_ = reverse;
                }
                unsigned char lines = value & 0x0F;
                ioctl(fd_, PPWCONTROL, &lines);
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

    void selectMode(std::uint16_t port) {
        int mode = IEEE1284_MODE_EPP | (port == kEppAddressPort ? IEEE1284_ADDR : 0);
        if (mode == mode_) return;
        ioctl(fd_, PPSETMODE, &mode);
        mode_ = mode;
    }

    void eppRead(std::uint16_t port, std::uint8_t* buffer, std::size_t count) {
        selectMode(port);
        std::size_t done = 0;
        while (done < count) {
            const ssize_t got = ::read(fd_, buffer + done, count - done);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) break;
            done += static_cast<std::size_t>(got);
        }
        if (done < count) {
            // A cycle the board never answered: the port chip reads floating lines.
            std::memset(buffer + done, 0xFF, count - done);
            eppTimeout_ = true;
        }
    }

    void eppWrite(std::uint16_t port, const std::uint8_t* buffer, std::size_t count) {
        selectMode(port);
        std::size_t done = 0;
        while (done < count) {
            const ssize_t put = ::write(fd_, buffer + done, count - done);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) break;
            done += static_cast<std::size_t>(put);
        }
        if (done < count) eppTimeout_ = true;
    }

    int fd_;
    int mode_ = -1;
    bool reverse_ = false;
    bool eppTimeout_ = false;
};

}  // namespace

std::unique_ptr<PortIo> openPpdevPort(const std::string& device, std::string& error) {
    const int fd = ::open(device.c_str(), O_RDWR);
    if (fd < 0) {
        error = std::strerror(errno);
        return nullptr;
    }
    if (ioctl(fd, PPCLAIM) != 0) {
        error = std::strerror(errno);
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<PpdevPort>(fd);
}

}  // namespace kivo::board
