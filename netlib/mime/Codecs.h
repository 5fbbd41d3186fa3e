#pragma once
// Content-transfer encodings: moving data between an entity's body (a text stream of lines)
// and plain bytes. Encoders read a source stream from its current position and append lines
// to the body; decoders read the body from its start and write bytes to the destination.
// Errors raise EIpBaseException; the destination keeps what was written before the error.
#include <cstdint>
#include <functional>
#include <string>

#include "netlib/stream/Streams.h"

// Called after each line or block with the bytes done and the total of the source; returning
// true stops the codec after that line or block, keeping what it wrote so far.
using TIpCodingProgressProc = std::function<bool(int64_t done, int64_t total)>;

// How the base64 and quoted-printable decoders take a line longer than their encoding allows:
// as an error ("Invalid line length for encoded text"), or as more of the same data, for a text
// that is only shown (a careless mailer's text is still its text).
enum class TIpLineLimit { Enforced, Ignored };

void EncodeTextLines(TStream& source, TIpAnsiTextStream& body,
                     const TIpCodingProgressProc& progress = {});
void DecodeTextLines(TIpAnsiTextStream& body, TStream& dest,
                     const TIpCodingProgressProc& progress = {});
// Copies the body's bytes as they are.
void DecodeBinary(TIpAnsiTextStream& body, TStream& dest,
                  const TIpCodingProgressProc& progress = {});

void EncodeBase64(TStream& source, TIpAnsiTextStream& body,
                  const TIpCodingProgressProc& progress = {});
void DecodeBase64(TIpAnsiTextStream& body, TStream& dest,
                  const TIpCodingProgressProc& progress = {},
                  TIpLineLimit limit = TIpLineLimit::Enforced);

void EncodeQuoted(TStream& source, TIpAnsiTextStream& body,
                  const TIpCodingProgressProc& progress = {});
void DecodeQuoted(TIpAnsiTextStream& body, TStream& dest,
                  const TIpCodingProgressProc& progress = {},
                  TIpLineLimit limit = TIpLineLimit::Enforced);

void EncodeUU(TStream& source, TIpAnsiTextStream& body, const std::string& fileName,
              const TIpCodingProgressProc& progress = {});
void DecodeUU(TIpAnsiTextStream& body, TStream& dest, const TIpCodingProgressProc& progress = {});

void EncodeBinHex(TStream& source, TIpAnsiTextStream& body, const std::string& fileName,
                  const TIpCodingProgressProc& progress = {});
void DecodeBinHex(TIpAnsiTextStream& body, TStream& dest,
                  const TIpCodingProgressProc& progress = {});

// CRC-16 of BinHex 4.0 (polynomial 0x1021, start 0, the XMODEM CRC).
uint16_t BinHexCRC(const void* data, size_t count, uint16_t crc = 0);
// The BinHex CRC of the bytes from offset `from` up to (not including) offset `to`. Offsets
// beyond the stream's size raise EIpBaseException "Invalid stream offset".
uint16_t StreamCRC16(TStream& stream, int64_t from, int64_t to);
uint32_t SwapBytes32(uint32_t value);
// Base64 of the text's bytes with "=" padding and no line breaks.
std::string Base64EncodeString(const std::string& text);
