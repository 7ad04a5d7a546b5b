#pragma once
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "port/port_io.h"

namespace kivo::board::testing {

using namespace kivo::port;

/// A port backend that writes every access into a shared log, one short text each:
/// "ctl<-0D", "data<-AB", "addr<-45", "edata<-12" for writes; "status?", "data?", "addr?",
/// "edata?" for reads; "edata<-bytes(3)", "edata<-longs(2)", "edata?bytes(3)",
/// "edata?longs(2)" for repeated accesses. Accesses through the second instance of a test
/// (the port-instruction path) start with "!". Reads are answered by `answer`.
class RecordingPort final : public PortIo {
public:
    RecordingPort(std::vector<std::string>& log, bool direct) : log_(log), prefix_(direct ? "!" : "") {}

    std::function<std::uint8_t(std::uint16_t port)> answer = [](std::uint16_t) { return std::uint8_t{0}; };
    /// The last value written to the data register.
    std::uint8_t lastData = 0;
    /// Data written by repeated writes, in order.
    std::vector<std::uint8_t> written;

    std::uint8_t readByte(std::uint16_t port) override {
        log_.push_back(prefix_ + name(port) + "?");
        return answer(port);
    }
    void writeByte(std::uint16_t port, std::uint8_t value) override {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%02X", value);
        if (port == kDataPort) lastData = value;
        log_.push_back(prefix_ + name(port) + "<-" + hex);
    }
    void readBytes(std::uint16_t port, std::uint8_t* buffer, std::size_t count) override {
        log_.push_back(prefix_ + name(port) + "?bytes(" + std::to_string(count) + ")");
        for (std::size_t i = 0; i < count; ++i) buffer[i] = answer(port);
    }
    void writeBytes(std::uint16_t port, const std::uint8_t* buffer, std::size_t count) override {
        log_.push_back(prefix_ + name(port) + "<-bytes(" + std::to_string(count) + ")");
        written.insert(written.end(), buffer, buffer + count);
    }
    void readLongs(std::uint16_t port, std::uint8_t* buffer, std::size_t count) override {
        log_.push_back(prefix_ + name(port) + "?longs(" + std::to_string(count) + ")");
        for (std::size_t i = 0; i < 4 * count; ++i) buffer[i] = answer(port);
    }
    void writeLongs(std::uint16_t port, const std::uint8_t* buffer, std::size_t count) override {
        log_.push_back(prefix_ + name(port) + "<-longs(" + std::to_string(count) + ")");
        written.insert(written.end(), buffer, buffer + 4 * count);
    }

private:
    static std::string name(std::uint16_t port) {
        switch (port) {
            case kDataPort: return "data";
            case kStatusPort: return "status";
            case kControlPort: return "ctl";
            case kEppAddressPort: return "addr";
            case kEppDataPort: return "edata";
            default: return "port" + std::to_string(port);
        }
    }

    std::vector<std::string>& log_;
    std::string prefix_;
};

}  // namespace kivo::board::testing
