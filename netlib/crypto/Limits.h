#pragma once
// Limits on what certificates and numbers from the network may make the crypto units do.
#include <cstdint>

namespace CryptoLimits {

// A DER certificate handed to the parser; a whole SSL handshake message is smaller.
inline constexpr int32_t kMaxCertificateBytes = 65536;
// DER length fields: at most four length bytes (lengths below 2^32, and the check against the
// data decides the rest).
inline constexpr int32_t kMaxDerLengthBytes = 4;
// Bytes of a high tag number (base 128); four give tag numbers far beyond any in use.
inline constexpr int32_t kMaxDerTagBytes = 4;
// Nesting of SEQUENCE and SET in one certificate; real certificates stay below 10.
inline constexpr int32_t kMaxDerDepth = 32;
// RSA public key sizes taken from a certificate: 16384-bit moduli, 4096-bit exponents.
inline constexpr int32_t kMaxPublicKeyModulusBytes = 2048;
inline constexpr int32_t kMaxPublicKeyExponentBytes = 512;
// Digits (bytes) of one big integer; products of the largest keys stay far below this.
inline constexpr int32_t kMaxBigIntegerDigits = 1 << 20;

}  // namespace CryptoLimits
