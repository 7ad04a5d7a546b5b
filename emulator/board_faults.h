#pragma once

namespace kivo::emulator {

/// Broken parts of the link that the model can play, each named by its flag after the board
/// kind in KIVO_PORT (virtual:xsv800,nwait-stuck). They can change while the model runs.
struct BoardFaults {
    /// "epp-timeout": the port chip's hardware EPP cycles go unanswered: they move nothing,
    /// read 0xFF and set the chip's EPP timeout flag (status bit 0). Hand-driven cycles work.
    bool eppTimeout = false;
    /// "nwait-stuck": the EPP board never becomes ready: status bit 7 stays 1, hand-driven
    /// data cycles are ignored (reads see the data lines float to 0xFF) and hardware cycles
    /// time out as with epp-timeout. Hand-driven address cycles and address-register reads,
    /// which do not wait for nWait, still work.
    bool nWaitStuck = false;
    /// "no-ack": the nibble board never pulls its acknowledge (status bit 3) low. It still
    /// takes the steps; only the answer is lost.
    bool noAck = false;
    /// "bad-echo": the nibble board echoes the inverse of bits 7-6 of each write step.
    bool badEcho = false;
    /// "initn-stuck": the FPGA's configuration holds InitN low after a ProgramN pulse.
    bool initNStuck = false;
    /// "done-never": the FPGA's configuration takes the whole stream but Done never rises.
    bool doneNever = false;
    /// "done-early": the FPGA's configuration raises Done after the first byte of the stream
    /// and still takes the rest.
    bool doneEarly = false;
    /// "bad-readback": EPP boards: a data read during configuration answers the inverse of
    /// the last configuration byte.
    bool badReadback = false;
};

}  // namespace kivo::emulator
