#pragma once
// Limits of the SMTP client for everything a server controls.
#include <cstdint>

namespace SmtpLimits {

// Continuation lines of one reply (EHLO lists a few dozen at most). A server that sends more is
// cut off: the client reports an error and drops the connection.
inline constexpr int32_t kMaxReplyLines = 10000;

// The body goes out in blocks of about this many bytes rather than one send per line.
inline constexpr size_t kSendBlock = 64 * 1024;

}  // namespace SmtpLimits
