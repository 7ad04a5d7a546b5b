#include "port/port_registry.h"

namespace kivo::port {

std::unique_ptr<PortIo> openPpdevPort(const std::string&, std::string& error) {
    error = "urzadzenie ppdev dostepne tylko w systemie Linux";
    return nullptr;
}

}  // namespace kivo::port
