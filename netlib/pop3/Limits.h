#pragma once
// Limits of the POP3 client for everything a server controls.
#include <cstdint>

namespace Pop3Limits {

// The most bytes one multi-line reply (a message, a top, a listing) may hold in memory. A server
// that sends more is cut off: the client reports an error and drops the connection.
inline constexpr uint64_t kMaxReplyBytes = uint64_t(512) << 20;

// The most lines a listing (LIST, UIDL) may have: POP3 mailboxes are counted in thousands.
inline constexpr int32_t kMaxListLines = 10000000;

}  // namespace Pop3Limits
