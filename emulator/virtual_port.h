#pragma once
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "port/port_io.h"
#include "emulator/board_faults.h"
#include "emulator/board_model.h"

namespace kivo::emulator {

/// A virtual board as KIVO_PORT names it after "virtual:".
///
/// Form: [board][,flag...]. Boards: xsv300 (the default, also for an empty text), xsv800,
/// xsb, zem, none. Flags (BoardFaults tells what each breaks):
///   epp-timeout  hardware EPP cycles unanswered           (xsv300, xsv800)
///   nwait-stuck  the EPP board never becomes ready        (xsv300, xsv800)
///   no-ack       the nibble acknowledge never comes       (xsb, zem)
///   bad-echo     the nibble echo of written bits is wrong (xsb, zem)
///   initn-stuck  InitN stays low after ProgramN            (every board)
///   done-never   Done does not rise after the stream      (every board)
///   done-early   Done rises after the first stream byte   (every board)
///   bad-readback the configuration read-back is wrong      (xsv300, xsv800)
/// A text that starts with a flag means the default board with that flag.
struct VirtualBoard {
    BoardKind kind = BoardKind::Xsv300;
    BoardFaults faults;
};

/// Parses `text`; on an unknown board or flag, or a flag the board has no use for, returns
/// nothing and leaves a short message (Polish, without diacritics) in `error`.
std::optional<VirtualBoard> parseVirtualBoard(std::string_view text, std::string& error);

/// A fresh virtual board for `text` ("", "xsb", "xsv800,nwait-stuck"), or nullptr with the
/// message in `error`.
std::unique_ptr<port::PortIo> makeVirtualPort(std::string_view text, std::string& error);

}  // namespace kivo::emulator
