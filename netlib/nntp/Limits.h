#pragma once
// Limits on what an NNTP server may make the client hold. Everything the server sends is
// untrusted; these bound what one reply can grow to before it is refused.
#include <cstddef>
#include <cstdint>

// One article (ARTICLE or HEAD), counted in raw bytes as received. News articles with binary
// attachments run to some megabytes; a reply larger than this is dropped as a failed article.
constexpr uint64_t kIpMaxNntpArticleSize = uint64_t(64) << 20;

// Lines of one multi-line list (LIST, NEWGROUPS, NEWNEWS). The full list of a large server has
// some 100,000 groups.
constexpr size_t kIpMaxNntpResponseLines = 4'000'000;

// Bytes of one multi-line list.
constexpr uint64_t kIpMaxNntpResponseBytes = uint64_t(256) << 20;

// Longest argument of a command (a message ID, a group name, a user name): what a server
// accepts in a command line of 512 bytes.
constexpr size_t kIpMaxNntpArgumentLength = 497;
