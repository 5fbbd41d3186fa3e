#pragma once
// Bounds on everything a message or an encoded body controls.
#include <cstdint>

namespace IpMimeLimits {

// Longest base64 body line accepted; longer lines are not base64 as any mailer writes it.
constexpr int64_t Base64MaxLineLength = 85;
// Longest quoted-printable body line accepted (RFC 2045 allows 76, mailers exceed it).
constexpr int64_t QuotedMaxLineLength = 999;
// Quoted-printable output lines stay within 76 characters: 74 of text plus a soft break, or a
// trailing blank written as "=20".
constexpr int64_t QuotedLineWidth = 74;
// Bytes per base64 and uuencode block, and characters per base64 line.
constexpr int64_t CodecBlockSize = 45;
constexpr int64_t Base64LineLength = 76;
// BinHex text line length, longest file name, and the largest decoded BinHex data held in
// memory (run-length coding can expand input 127-fold).
constexpr int64_t BinHexLineLength = 64;
constexpr int64_t BinHexMaxNameLength = 63;
constexpr int64_t BinHexMaxDecodedSize = int64_t(256) << 20;

// Nesting depth of MIME parts; deeper content stays body lines of the deepest part.
constexpr int MaxMimeDepth = 64;
// Longest header line written before folding list headers onto a continuation line.
constexpr int64_t HeaderFoldLength = 1000;

}  // namespace IpMimeLimits
