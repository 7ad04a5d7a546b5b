#include "emulator/virtual_port.h"

#include <array>

namespace kivo::emulator {

namespace {

struct BoardName {
    std::string_view name;
    BoardKind kind;
};

constexpr std::array kBoards = {
    BoardName{"xsv300", BoardKind::Xsv300}, BoardName{"xsv800", BoardKind::Xsv800},
    BoardName{"xsb", BoardKind::Xsb},       BoardName{"zem", BoardKind::Zem},
    BoardName{"none", BoardKind::None},
};

struct FaultFlag {
    std::string_view name;
    bool BoardFaults::*field;
    bool eppBoards;  // the fault belongs to the EPP link; else to the nibble link
};

constexpr std::array kFlags = {
    FaultFlag{"epp-timeout", &BoardFaults::eppTimeout, true},
    FaultFlag{"nwait-stuck", &BoardFaults::nWaitStuck, true},
    FaultFlag{"no-ack", &BoardFaults::noAck, false},
    FaultFlag{"bad-echo", &BoardFaults::badEcho, false},
};

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

template <class Table>
std::string knownNames(const Table& table) {
    std::string names;
    for (const auto& entry : table) {
        names += names.empty() ? "" : ", ";
        names += entry.name;
    }
    return names;
}

const BoardName* findBoard(std::string_view name) {
    for (const auto& board : kBoards) {
        if (board.name == name) {
            return &board;
        }
    }
    return nullptr;
}

const FaultFlag* findFlag(std::string_view name) {
    for (const auto& flag : kFlags) {
        if (flag.name == name) {
            return &flag;
        }
    }
    return nullptr;
}

bool isEppBoard(BoardKind kind) {
    return kind == BoardKind::Xsv300 || kind == BoardKind::Xsv800;
}

bool isNibbleBoard(BoardKind kind) {
    return kind == BoardKind::Xsb || kind == BoardKind::Zem;
}

}  // namespace

std::optional<VirtualBoard> parseVirtualBoard(std::string_view text, std::string& error) {
    VirtualBoard board;
    bool first = true;
    while (true) {
        const auto comma = text.find(',');
        const std::string_view item = trim(text.substr(0, comma));
        if (!item.empty()) {
            if (const FaultFlag* flag = findFlag(item)) {
                board.faults.*(flag->field) = true;
            } else if (const BoardName* named = first ? findBoard(item) : nullptr) {
                board.kind = named->kind;
            } else if (first) {
                error = "Nieznany typ plyty wirtualnej: " + std::string(item) + " (znane: " +
                        knownNames(kBoards) + ")";
                return std::nullopt;
            } else {
                error = "Nieznana usterka plyty wirtualnej: " + std::string(item) + " (znane: " +
                        knownNames(kFlags) + ")";
                return std::nullopt;
            }
        }
        first = false;
        if (comma == std::string_view::npos) {
            break;
        }
        text.remove_prefix(comma + 1);
    }
    for (const auto& flag : kFlags) {
        const bool applies = flag.eppBoards ? isEppBoard(board.kind) : isNibbleBoard(board.kind);
        if (board.faults.*(flag.field) && !applies) {
            error = "Usterka " + std::string(flag.name) + " nie dotyczy plyty " +
                    std::string(boardKindName(board.kind));
            return std::nullopt;
        }
    }
    return board;
}

std::unique_ptr<board::PortIo> makeVirtualPort(std::string_view text, std::string& error) {
    const auto parsed = parseVirtualBoard(text, error);
    if (!parsed) {
        return nullptr;
    }
    return std::make_unique<BoardModel>(parsed->kind, parsed->faults);
}

}  // namespace kivo::emulator
