#pragma once
// Bounds on everything a message or an encoded body controls.
#include <cstddef>
#include <cstdint>

namespace MimeLimits {

// Longest base64 body line accepted; longer lines are not base64 as any mailer writes it.
inline constexpr int64_t kBase64MaxLineLength = 85;
// Longest quoted-printable body line accepted (RFC 2045 allows 76, mailers exceed it).
inline constexpr int64_t kQuotedMaxLineLength = 999;
// Quoted-printable output lines stay within 76 characters: 74 of text plus a soft break, or a
// trailing blank written as "=20".
inline constexpr int64_t kQuotedLineWidth = 74;
// Bytes per base64 and uuencode block, and characters per base64 line.
inline constexpr int64_t kCodecBlockSize = 45;
inline constexpr int64_t kBase64LineLength = 76;
// BinHex text line length, longest file name, and the largest decoded BinHex data held in
// memory (run-length coding can expand input 127-fold).
inline constexpr int64_t kBinHexLineLength = 64;
inline constexpr int64_t kBinHexMaxNameLength = 63;
inline constexpr int64_t kBinHexMaxDecodedSize = int64_t(256) << 20;

// Nesting depth of MIME parts; deeper content stays body lines of the deepest part.
inline constexpr int kMaxMimeDepth = 64;
// Longest header line written before folding list headers onto a continuation line.
inline constexpr int64_t kHeaderFoldLength = 1000;

// How far into an HTML body a <meta> naming its charset is looked for.
inline constexpr int64_t kMetaCharsetScanLength = 8192;

// Longest encoded word of a header decoded for display ("=?" to "?="). RFC 2047 allows 75
// characters; mailers write longer ones, but a word is never a whole header line.
inline constexpr size_t kMaxEncodedWordLength = 1000;

}  // namespace MimeLimits
