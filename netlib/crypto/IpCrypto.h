#pragma once
// The cipher unit of the SSL client: DES and triple DES with a cipher-block-chaining step, MD5,
// SHA-1 and a random-byte generator. Plain routines on records the caller owns; nothing here
// allocates. MD5 is the library base's (one implementation for the whole program); the names
// here keep the unit's calling convention.
#include <cstddef>
#include <cstdint>

#include "netlib/base/IpUtils.h"
#include "netlib/crypto/CryptoErrors.h"

// ---------------------------------------------------------------------------------------------
// DES (FIPS 46-3) and triple DES (EDE)

// A key schedule: 16 rounds of two words each, packed so that each 6-bit group of a round key
// sits in its own byte in the order the round function reads the combined S-box tables, then
// 1 for an encryption schedule or 0 for a decryption schedule (round keys reversed).
struct TIpDESKey {
    uint32_t Subkeys[32];
    uint8_t Encrypt;
};

// Builds the schedule from an 8-byte key; the parity bits are ignored.
void InitDESKey(TIpDESKey& schedule, const uint8_t key[8], bool encrypt);
// One DES operation in place on an 8-byte block (two big-endian 32-bit words).
void DESCipherBlock(const TIpDESKey& schedule, uint8_t block[8]);
// With an encryption schedule: block := DES(block XOR chain); with a decryption schedule:
// block := DES(block) XOR chain. The chaining value is left to the caller to advance.
void CBCStep(const TIpDESKey& schedule, const uint8_t chain[8], uint8_t block[8]);
// destination := destination XOR source over count bytes.
void XorMem(void* destination, const void* source, size_t count);

// Triple DES with outer CBC, key bytes 0-7, 8-15 and 16-23 as K1, K2, K3. An encryption key
// gives E_K3(D_K2(E_K1(block XOR chain))), a decryption key D_K1(E_K2(D_K3(block))) XOR chain.
struct TIpDES3Key {
    TIpDESKey K1, K2, K3;
    uint8_t Encrypt;
};

void InitDES3Key(TIpDES3Key& schedule, const uint8_t key[24], bool encrypt);
void DES3CBCStep(const TIpDES3Key& schedule, const uint8_t chain[8], uint8_t block[8]);

// ---------------------------------------------------------------------------------------------
// MD5 (RFC 1321): thin wrappers over MD5Init, MD5Update and MD5Final, on the same context
// (TIpMD5Context of netlib/base/IpUtils.h).

void InitMD5(TIpMD5Context& context);
void UpdateMD5(TIpMD5Context& context, const void* data, size_t length);
// Writes the digest and clears the context.
void FinalizeMD5(TIpMD5Context& context, uint8_t digest[16]);
void HashMD5(uint8_t digest[16], const void* data, size_t length);

// ---------------------------------------------------------------------------------------------
// SHA-1 (FIPS 180-1)

struct TIpSHA1Context {
    uint32_t Length[2];  // message length in bits, high word first
    uint32_t Index;      // bytes waiting in Block
    uint32_t H[5];
    uint8_t Block[64];
};

// Clears the whole context first.
void InitSHA1(TIpSHA1Context& context);
void UpdateSHA1(TIpSHA1Context& context, const void* data, size_t length);
// Writes the digest and clears the context.
void FinalizeSHA1(TIpSHA1Context& context, uint8_t digest[20]);
void HashSHA1(uint8_t digest[20], const void* data, size_t length);

// ---------------------------------------------------------------------------------------------
// Random numbers

// A 32-bit linear-feedback shift register (taps 31, 6, 4, 2, 1, 0).
class TIpRanLFS {
  public:
    // Seeds from the program-wide seed variable mixed with bits from the operating system.
    TIpRanLFS();
    // A register with a given, non-zero state (for reproducible sequences).
    explicit TIpRanLFS(uint32_t state) : FState(state) {}

    uint32_t State() const { return FState; }
    // One step; the output bit is bit 0 of the new state.
    bool NextBit();
    // Eight output bits, the first one ending up as the most significant.
    uint8_t NextByte();

  private:
    uint32_t FState;
};

// MD5 over a 16-byte pool and a counter. The pool is seeded from the operating system once and
// never changes; each 16 bytes of output are MD5(pool + counter, little-endian).
class TIpRandomGenerator {
  public:
    TIpRandomGenerator();
    // A generator with a known pool and counter, so its output can be checked.
    TIpRandomGenerator(const uint8_t pool[16], uint32_t counter);
    ~TIpRandomGenerator();
    TIpRandomGenerator(const TIpRandomGenerator&) = delete;
    TIpRandomGenerator& operator=(const TIpRandomGenerator&) = delete;

    void GetRandomBytes(void* buffer, size_t count);

    uint32_t Counter() const { return FCounter; }

  private:
    uint32_t FCounter = 0;
    uint8_t FPool[16] = {};
};

// Fills the buffer from the operating system's random source; raises EIpRandomError when it
// cannot be read.
void IpSystemRandomBytes(void* buffer, size_t count);
