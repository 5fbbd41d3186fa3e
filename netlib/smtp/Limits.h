#pragma once
// Limits of the SMTP client for everything a server controls.
#include <cstdint>

namespace SmtpLimits {

// Continuation lines of one reply (EHLO lists a few dozen at most). A server that sends more is
// cut off: the client reports an error and drops the connection.
inline constexpr int32_t kMaxReplyLines = 10000;

// The time limit of a whole reply: at least this many bytes a second over every idle time-out,
// and never more than kMaxReplyMs (see netlib/sock/ReplyClock.h). Replies of SMTP are a
// few lines: a few minutes is plenty.
inline constexpr uint64_t kReplyMinBytesPerSecond = 8192;
inline constexpr uint32_t kMaxReplyMs = 10u * 60u * 1000u;

// The body goes out in blocks of about this many bytes rather than one send per line.
inline constexpr size_t kSendBlock = 64 * 1024;

}  // namespace SmtpLimits
