#pragma once
// Limits of the socket components for everything a peer or a caller controls.
#include <cstddef>
#include <cstdint>

namespace SockLimits {

// Receive buffer of a data socket; lines are cut from it without further copies.
inline constexpr uint32_t kReceiveBufferSize = 8192;
// Longest line held while its terminator has not arrived (longer ones are dropped with an error).
inline constexpr uint32_t kMaxLineBuf = 0x100000;
// What a close still reads and hands out beyond the buffered data: a peer that closed sent
// what the system buffers hold (some megabytes at most); one that keeps sending is cut off here.
inline constexpr uint64_t kMaxCloseDrain = uint64_t(16) << 20;
// The buffer is compacted before a read once its fill passes this mark.
inline constexpr uint32_t kCompactThreshold = 4096;
// Socket buffer sizes at or below this are never set (the system default stays).
inline constexpr int32_t kBufferSizeFloor = 1460;
// Chunk size of streams queued for sending; smaller with the terminal option layer, whose
// escaping may double each byte.
inline constexpr uint32_t kStreamChunk = 1460;
inline constexpr uint32_t kFilteredStreamChunk = 1024;
// Debug log ring buffer: the most a caller may ask for.
inline constexpr uint32_t kMaxDebugBufferSize = 64u * 1024u * 1024u;
// Longest address text accepted by Connect.
inline constexpr std::size_t kMaxAddressLength = 2048;
// Longest user name, password and host name a SOCKS request carries (the one-byte length fields
// of SOCKS 5; SOCKS 4 user ids and 4a host names are cut to the same).
inline constexpr std::size_t kSocksMaxField = 255;
// The send queue of a peer that reads nothing. Each queued item is counted with
// kSendItemOverhead bytes besides its data (a three-byte option answer costs far more than its
// bytes). Past kMaxQueuedAnswers the socket's own answers (telnet options, echo) are dropped: the
// peer has not read the ones before. Past kMaxTerminalSendQueue the caller's data on a telnet
// connection (typed keys, the terminal's replies to the host) closes it with an error.
inline constexpr uint64_t kSendItemOverhead = 128;
inline constexpr uint64_t kMaxQueuedAnswers = 256u * 1024u;
inline constexpr uint64_t kMaxTerminalSendQueue = uint64_t(16) << 20;
// Bytes held for a telnet sub-negotiation whose end has not arrived; a longer one is dropped
// while the data around it goes on.
inline constexpr std::size_t kTelnetMaxHeld = 64u * 1024u;

// The time limit of one reply of a mail or news server (the clients' own limits may differ):
// at least kReplyMinBytesPerSecond over every idle time-out, at most kMaxReplyMs in all
// (ReplyClock.h). 8 KB/s is 64 kbit/s: DSL, cable and mobile data move far more, so only a
// server that holds a reply open by dripping it falls below.
inline constexpr uint64_t kReplyMinBytesPerSecond = 8192;
inline constexpr uint32_t kMaxReplyMs = 30u * 60u * 1000u;

}  // namespace SockLimits
