#include "port/port_registry.h"

namespace kivo::port {

std::unique_ptr<PortIo> openDirectPort(std::string& error) {
    error = "instrukcje portow niedostepne na tym procesorze";
    return nullptr;
}

}  // namespace kivo::port
