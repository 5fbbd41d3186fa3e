#pragma once
// Limits of the POP3 client for everything a server controls.
#include <cstdint>

namespace Pop3Limits {

// The most bytes one message (RETR, TOP) may hold in memory; mail services refuse messages far
// smaller (25 to 150 MB). A server that sends more is cut off: the client reports an error and
// drops the connection.
inline constexpr uint64_t kMaxReplyBytes = uint64_t(256) << 20;

// The most lines and bytes a listing (LIST, UIDL) may have: POP3 mailboxes are counted in
// thousands, a line of a listing is some 10 to 80 bytes.
inline constexpr int32_t kMaxListLines = 1000000;
inline constexpr uint64_t kMaxListBytes = uint64_t(64) << 20;

// The time limit of a whole reply: at least this many bytes a second over every idle time-out,
// and never more than kMaxReplyMs (see netlib/sock/ReplyClock.h).
inline constexpr uint64_t kReplyMinBytesPerSecond = 8192;
inline constexpr uint32_t kMaxReplyMs = 30u * 60u * 1000u;

}  // namespace Pop3Limits
