#pragma once
// Limits on what an SSL peer may make the client hold or compute.
#include <cstddef>
#include <cstdint>

namespace SslLimits {

// Record header: type, version (2), length (2).
inline constexpr size_t kRecordHeader = 5;
// Largest record body accepted from the server (the room of one record buffer, 32771 bytes,
// less its header). SSL 3.0 itself never needs more than 2^14 + 2048.
inline constexpr size_t kMaxRecordBody = 32766;
// Largest plaintext put into one record when sending (SSL 3.0: 2^14).
inline constexpr size_t kMaxPlainFragment = 16384;
// One handshake message reassembled from records (a certificate chain is the largest).
inline constexpr size_t kMaxHandshakeMessage = 256 * 1024;
// Certificates in one Certificate message.
inline constexpr size_t kMaxCertificates = 16;
// Key block: the most the key derivation produces.
inline constexpr size_t kMaxKeyMaterial = 1000;
// Session ID sent by the server.
inline constexpr size_t kMaxSessionId = 32;
// Application data written before the handshake has finished, held until it has.
inline constexpr size_t kMaxPendingWrite = 16 * 1024 * 1024;
// Bytes read from the socket in one call.
inline constexpr size_t kReadChunk = 16 * 1024;

}  // namespace SslLimits
