#pragma once
// Limits on what the host at the other end of a terminal session, and the resources the
// terminal reads, may make it hold. Every byte the host sends is untrusted.
#include <cstddef>
#include <cstdint>

namespace TerminalLimits {

// Arguments of one control sequence: SGR and DECLL take up to this many values; a sequence with
// more is refused at its final byte.
inline constexpr size_t kMaxArguments = 30'000;

// Bytes of one sequence the parser collects. 30,000 arguments of one digit each take 60,000
// bytes; a host that sends more before the final byte gets the sequence refused, and the parser
// holds no more than this meanwhile.
inline constexpr size_t kMaxSequenceBytes = 128 * 1024;

// Columns and rows of the buffer (the control sets them, a VT100 host can ask for 132 columns).
inline constexpr int kMaxColCount = 1024;
inline constexpr int kMaxSVRowCount = 100'000;
// Cells of all rows together (scrollback and screen): the five planes take 11 bytes per cell.
inline constexpr int64_t kMaxCells = int64_t(8) << 20;

// Received data waiting in the control's queue for the emulator.
inline constexpr size_t kMaxQueueBytes = size_t(64) << 20;

// A key-map or character-set resource: names and values are short strings of at most this many
// characters; longer ones are cut.
inline constexpr size_t kMaxMapString = 63;

}  // namespace TerminalLimits
