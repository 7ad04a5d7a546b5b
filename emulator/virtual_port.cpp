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

enum class Boards { Epp, Nibble, Any };

struct FaultFlag {
    std::string_view name;
    bool BoardFaults::*field;
    Boards boards;  // the boards the fault can happen on
};

constexpr std::array kFlags = {
    FaultFlag{"epp-timeout", &BoardFaults::eppTimeout, Boards::Epp},
    FaultFlag{"nwait-stuck", &BoardFaults::nWaitStuck, Boards::Epp},
    FaultFlag{"no-ack", &BoardFaults::noAck, Boards::Nibble},
    FaultFlag{"bad-echo", &BoardFaults::badEcho, Boards::Nibble},
    FaultFlag{"initn-stuck", &BoardFaults::initNStuck, Boards::Any},
    FaultFlag{"done-never", &BoardFaults::doneNever, Boards::Any},
    FaultFlag{"done-early", &BoardFaults::doneEarly, Boards::Any},
    FaultFlag{"bad-readback", &BoardFaults::badReadback, Boards::Epp},
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
        const bool applies = flag.boards == Boards::Epp      ? isEppBoard(board.kind)
                             : flag.boards == Boards::Nibble ? isNibbleBoard(board.kind)
                                                             : board.kind != BoardKind::None;
        if (board.faults.*(flag.field) && !applies) {
            error = "Usterka " + std::string(flag.name) + " nie dotyczy plyty " +
                    std::string(boardKindName(board.kind));
            return std::nullopt;
        }
    }
    return board;
}

std::unique_ptr<port::PortIo> makeVirtualPort(std::string_view text, std::string& error) {
    const auto parsed = parseVirtualBoard(text, error);
    if (!parsed) {
        return nullptr;
    }
    return std::make_unique<BoardModel>(parsed->kind, parsed->faults);
}

}  // namespace kivo::emulator
