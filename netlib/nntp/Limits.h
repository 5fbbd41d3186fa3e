#pragma once
// Limits on what an NNTP server may make the client hold. Everything the server sends is
// untrusted; these bound what one reply can grow to before it is refused.
#include <cstddef>
#include <cstdint>

namespace NntpLimits {

// One article (ARTICLE or HEAD), counted in raw bytes as received. News articles with binary
// attachments run to some megabytes; a reply larger than this is dropped as a failed article.
inline constexpr uint64_t kMaxArticleSize = uint64_t(64) << 20;

// Lines of one multi-line list (LIST, NEWGROUPS, NEWNEWS). The full list of a large server has
// some 100,000 groups.
inline constexpr size_t kMaxResponseLines = 4'000'000;

// Bytes of one multi-line list.
inline constexpr uint64_t kMaxResponseBytes = uint64_t(256) << 20;

// Longest argument of a command (a message ID, a group name, a user name): what a server
// accepts in a command line of 512 bytes.
inline constexpr size_t kMaxArgumentLength = 497;

}  // namespace NntpLimits
