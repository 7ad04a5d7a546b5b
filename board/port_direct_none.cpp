#include "board/port_registry.h"

namespace kivo::board {

std::unique_ptr<PortIo> openDirectPort(std::string& error) {
    error = "instrukcje portow niedostepne na tym procesorze";
    return nullptr;
}

}  // namespace kivo::board
