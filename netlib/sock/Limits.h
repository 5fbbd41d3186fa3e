#pragma once
// Limits of the socket components for everything a peer or a caller controls.
#include <cstddef>
#include <cstdint>

// Receive buffer of a data socket; lines are cut from it without further copies.
constexpr uint32_t kIpReceiveBufferSize = 8192;
// Longest line held while its terminator has not arrived (longer ones are dropped with an error).
constexpr uint32_t kIpMaxLineBuf = 0x100000;
// The buffer is compacted before a read once its fill passes this mark.
constexpr uint32_t kIpCompactThreshold = 4096;
// Socket buffer sizes at or below this are never set (the system default stays).
constexpr int32_t kIpBufferSizeFloor = 1460;
// Chunk size of streams queued for sending; smaller with the terminal option layer, whose
// escaping may double each byte.
constexpr uint32_t kIpStreamChunk = 1460;
constexpr uint32_t kIpFilteredStreamChunk = 1024;
// Debug log ring buffer: the most a caller may ask for.
constexpr uint32_t kIpMaxDebugBufferSize = 64u * 1024u * 1024u;
// Longest address text accepted by Connect.
constexpr std::size_t kIpMaxAddressLength = 2048;
// Longest user name, password and host name a SOCKS request carries (the one-byte length fields
// of SOCKS 5; SOCKS 4 user ids and 4a host names are cut to the same).
constexpr std::size_t kIpSocksMaxField = 255;
// Bytes held for a telnet sub-negotiation whose end has not arrived; a longer one is dropped
// while the data around it goes on.
constexpr std::size_t kIpTelnetMaxHeld = 64u * 1024u;
