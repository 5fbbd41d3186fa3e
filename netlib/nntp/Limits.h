#pragma once
// Limits on what an NNTP server may make the client hold. Everything the server sends is
// untrusted; these bound what one reply can grow to before it is refused.
#include <cstddef>
#include <cstdint>

namespace NntpLimits {

// One article (ARTICLE or HEAD), counted in raw bytes as received. News articles with binary
// attachments run to some megabytes; a larger article is read to its end and dropped as a
// failed article, so the fetch goes on with the next one.
inline constexpr uint64_t kMaxArticleSize = uint64_t(64) << 20;

// The whole reply to ARTICLE or HEAD: past this the server is taken to send without end, the
// connection is closed and the fetch ends with an error.
inline constexpr uint64_t kMaxArticleReplySize = uint64_t(256) << 20;

// Lines of one multi-line list (LIST, NEWGROUPS, NEWNEWS). The full list of a large server has
// some 100,000 groups; past this (or kMaxResponseBytes) the connection is closed.
inline constexpr size_t kMaxResponseLines = 500'000;

// Bytes of one multi-line list: a full list of 100,000 groups is some 4 MB.
inline constexpr uint64_t kMaxResponseBytes = uint64_t(64) << 20;

// Commands sent ahead whose replies have not begun (a caller keeps a few ARTICLE commands on
// their way): more than this is a caller's fault.
inline constexpr size_t kMaxQueuedCommands = 1024;

// The time limit of a whole reply: at least this many bytes a second over every idle time-out,
// and never more than kMaxReplyMs (see netlib/sock/ReplyClock.h).
inline constexpr uint64_t kReplyMinBytesPerSecond = 8192;
inline constexpr uint32_t kMaxReplyMs = 30u * 60u * 1000u;

// Longest argument of a command (a message ID, a group name, a user name): what a server
// accepts in a command line of 512 bytes.
inline constexpr size_t kMaxArgumentLength = 497;

}  // namespace NntpLimits
