#include "port/port_registry.h"

namespace kivo::port {

std::unique_ptr<PortIo> openLibraryPort(std::string& error) {
    error = "biblioteka portow dostepna tylko w systemie Windows";
    return nullptr;
}

}  // namespace kivo::port
