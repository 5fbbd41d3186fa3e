#include "netlib/ssl/SSL3Crypto.h"

#include <cstring>

#include "netlib/crypto/IpCrypto.h"
#include "netlib/sock/IpWinSock.h"
#include "netlib/ssl/Limits.h"

namespace {

constexpr size_t kBlock = 8;
constexpr size_t kSHA1Size = 20;

void PutSequence(uint64_t sequence, uint8_t out[8]) {
    for (int i = 7; i >= 0; --i) {
        out[i] = static_cast<uint8_t>(sequence);
        sequence >>= 8;
    }
}

// MD5(secret + SHA1(letters + secret + a + b)): one 16-byte step of both derivations.
void DeriveBlock(int step, const uint8_t* secret, size_t secretLength, const uint8_t a[32],
                 const uint8_t b[32], uint8_t out[16]) {
    uint8_t letters[26];
    std::memset(letters, 'A' + step, static_cast<size_t>(step) + 1);
    TIpSHA1Context sha;
    InitSHA1(sha);
    UpdateSHA1(sha, letters, static_cast<size_t>(step) + 1);
    UpdateSHA1(sha, secret, secretLength);
    UpdateSHA1(sha, a, 32);
    UpdateSHA1(sha, b, 32);
    uint8_t inner[20];
    FinalizeSHA1(sha, inner);
    TIpMD5Context md5;
    InitMD5(md5);
    UpdateMD5(md5, secret, secretLength);
    UpdateMD5(md5, inner, sizeof inner);
    FinalizeMD5(md5, out);
}

}  // namespace

TIpSSLSuiteParams SSLSuiteParams(uint16_t suite) {
    switch (suite) {
        case 1:
            return {kKeyExchangeRSA, kCipherNone, kMacMD5};
        case 2:
            return {kKeyExchangeRSA, kCipherNone, kMacSHA1};
        case 3:
            return {kKeyExchangeRSAExport, kCipherRC4_40, kMacMD5};
        case 4:
            return {kKeyExchangeRSA, kCipherRC4_128, kMacMD5};
        case 5:
            return {kKeyExchangeRSA, kCipherRC4_128, kMacSHA1};
        case 6:
            return {kKeyExchangeRSAExport, kCipherRC2_40, kMacMD5};
        case 9:
            return {kKeyExchangeRSA, kCipherDES, kMacSHA1};
        case 10:
            return {kKeyExchangeRSA, kCipher3DES, kMacSHA1};
        default:
            return {};
    }
}

size_t SSLMacSize(uint8_t mac) {
    return mac == kMacSHA1 ? 20 : mac == kMacMD5 ? 16 : 0;
}

size_t SSLKeySize(uint8_t cipher) {
    return cipher == kCipherDES ? 8 : cipher == kCipher3DES ? 24 : 0;
}

size_t SSLIVSize(uint8_t cipher) {
    return cipher == kCipherDES || cipher == kCipher3DES ? 8 : 0;
}

void SSL3MasterSecret(const uint8_t preMaster[48], const uint8_t clientRandom[32],
                      const uint8_t serverRandom[32], uint8_t master[48]) {
    for (int step = 0; step < 3; ++step)
        DeriveBlock(step, preMaster, 48, clientRandom, serverRandom, master + 16 * step);
}

std::string SSL3KeyBlock(const uint8_t master[48], const uint8_t serverRandom[32],
                         const uint8_t clientRandom[32], size_t length) {
    if (length > SslLimits::kMaxKeyMaterial || length > 16 * 26)
        throw EIpSSLError("SSLCreateKeyMaterial : SHA1 buffer to small.");
    std::string block;
    for (int step = 0; block.size() < length; ++step) {
        uint8_t out[16];
        DeriveBlock(step, master, 48, serverRandom, clientRandom, out);
        block.append(reinterpret_cast<const char*>(out), sizeof out);
    }
    block.resize(length);
    return block;
}

void SSL3FinishedHashes(const uint8_t master[48], const std::string& messages, const char sender[4],
                        uint8_t out[36]) {
    uint8_t pad[48];
    TIpMD5Context md5;
    InitMD5(md5);
    UpdateMD5(md5, messages.data(), messages.size());
    UpdateMD5(md5, sender, 4);
    UpdateMD5(md5, master, 48);
    std::memset(pad, 0x36, 48);
    UpdateMD5(md5, pad, 48);
    uint8_t inner[20];
    FinalizeMD5(md5, inner);
    InitMD5(md5);
    UpdateMD5(md5, master, 48);
    std::memset(pad, 0x5C, 48);
    UpdateMD5(md5, pad, 48);
    UpdateMD5(md5, inner, 16);
    FinalizeMD5(md5, out);

    TIpSHA1Context sha;
    InitSHA1(sha);
    UpdateSHA1(sha, messages.data(), messages.size());
    UpdateSHA1(sha, sender, 4);
    UpdateSHA1(sha, master, 48);
    std::memset(pad, 0x36, 40);
    UpdateSHA1(sha, pad, 40);
    FinalizeSHA1(sha, inner);
    InitSHA1(sha);
    UpdateSHA1(sha, master, 48);
    std::memset(pad, 0x5C, 40);
    UpdateSHA1(sha, pad, 40);
    UpdateSHA1(sha, inner, 20);
    FinalizeSHA1(sha, out + 16);
}

void SSL3MacSHA1(const uint8_t secret[20], uint64_t sequence, uint8_t type, const void* data,
                 size_t length, uint8_t out[20]) {
    uint8_t pad[40];
    uint8_t head[11];
    PutSequence(sequence, head);
    head[8] = type;
    head[9] = static_cast<uint8_t>(length >> 8);
    head[10] = static_cast<uint8_t>(length);
    TIpSHA1Context sha;
    InitSHA1(sha);
    UpdateSHA1(sha, secret, 20);
    std::memset(pad, 0x36, sizeof pad);
    UpdateSHA1(sha, pad, sizeof pad);
    UpdateSHA1(sha, head, sizeof head);
    UpdateSHA1(sha, data, length);
    uint8_t inner[20];
    FinalizeSHA1(sha, inner);
    InitSHA1(sha);
    UpdateSHA1(sha, secret, 20);
    std::memset(pad, 0x5C, sizeof pad);
    UpdateSHA1(sha, pad, sizeof pad);
    UpdateSHA1(sha, inner, sizeof inner);
    FinalizeSHA1(sha, out);
}

// ---- record protection ------------------------------------------------------------------------

struct TIpSSLCipherState::TSchedules {
    TIpDESKey Des;
    TIpDES3Key Des3;
};

TIpSSLCipherState::TIpSSLCipherState() : FKeys(std::make_unique<TSchedules>()) {}
TIpSSLCipherState::~TIpSSLCipherState() {
    if (FKeys) std::memset(static_cast<void*>(FKeys.get()), 0, sizeof(TSchedules));
    std::memset(FMacSecret, 0, sizeof FMacSecret);
}
TIpSSLCipherState::TIpSSLCipherState(TIpSSLCipherState&&) noexcept = default;
TIpSSLCipherState& TIpSSLCipherState::operator=(TIpSSLCipherState&&) noexcept = default;

void TIpSSLCipherState::Init(uint8_t cipher, bool encrypt, const uint8_t* key, const uint8_t iv[8],
                             const uint8_t macSecret[20]) {
    if (cipher == kCipherDES)
        InitDESKey(FKeys->Des, key, encrypt);
    else if (cipher == kCipher3DES)
        InitDES3Key(FKeys->Des3, key, encrypt);
    else
        throw EIpSSLError("SSLEncrpt : Encryption type not defined.");
    FCipher = cipher;
    std::memcpy(FIV, iv, 8);
    std::memcpy(FMacSecret, macSecret, 20);
    FSequence = 0;
}

void TIpSSLCipherState::EncryptBlocks(uint8_t* data, size_t length) {
    const uint8_t* chain = FIV;
    for (size_t at = 0; at < length; at += kBlock) {
        if (FCipher == kCipherDES)
            CBCStep(FKeys->Des, chain, data + at);
        else
            DES3CBCStep(FKeys->Des3, chain, data + at);
        chain = data + at;
    }
    std::memcpy(FIV, chain, kBlock);
}

void TIpSSLCipherState::DecryptBlocks(uint8_t* data, size_t length) {
    uint8_t chain[kBlock], next[kBlock];
    std::memcpy(chain, FIV, kBlock);
    for (size_t at = 0; at < length; at += kBlock) {
        std::memcpy(next, data + at, kBlock);
        if (FCipher == kCipherDES)
            CBCStep(FKeys->Des, chain, data + at);
        else
            DES3CBCStep(FKeys->Des3, chain, data + at);
        std::memcpy(chain, next, kBlock);
    }
    std::memcpy(FIV, chain, kBlock);
}

void TIpSSLCipherState::Seal(uint8_t type, const char* data, size_t length, std::string& out) {
    if (FCipher != kCipherDES && FCipher != kCipher3DES)
        throw EIpSSLError("SSLEncrpt : Encryption type not defined.");
    // Content and MAC, then 0-7 padding bytes and the padding length: a final block is always
    // added, so the body is the next multiple of 8 above content + MAC.
    const size_t plain = length + kSHA1Size;
    const size_t body = (plain / kBlock + 1) * kBlock;
    if (length > SslLimits::kMaxPlainFragment + 2048 || body > SslLimits::kMaxRecordBody)
        throw EIpSSLError(FCipher == kCipherDES ? "SSLEncrptDESWrite : Buffer overflow error."
                                                : "SSLEncrpt3DESWrite : Buffer overflow error.");
    const size_t start = out.size();
    out.resize(start + SslLimits::kRecordHeader + body);
    uint8_t* p = reinterpret_cast<uint8_t*>(out.data()) + start;
    p[0] = type;
    p[1] = 3;
    p[2] = 0;
    p[3] = static_cast<uint8_t>(body >> 8);
    p[4] = static_cast<uint8_t>(body);
    uint8_t* b = p + SslLimits::kRecordHeader;
    if (length) std::memcpy(b, data, length);
    SSL3MacSHA1(FMacSecret, FSequence, type, data, length, b + length);
    ++FSequence;
    const size_t padding = body - plain - 1;
    std::memset(b + plain, 0xAA, padding);
    b[body - 1] = static_cast<uint8_t>(padding);
    EncryptBlocks(b, body);
}

void TIpSSLCipherState::Open(uint8_t type, std::string& body) {
    if (FCipher != kCipherDES && FCipher != kCipher3DES)
        throw EIpSSLError("SSLDecrptRecv : Encryption type not defined.");
    if (body.empty() || body.size() % kBlock != 0)
        throw EIpSSLError(FCipher == kCipherDES ? "SSLDecrptRecvDES : Block size error"
                                                : "SSLDecrptRecv3DES : Block size error");
    uint8_t* b = reinterpret_cast<uint8_t*>(body.data());
    DecryptBlocks(b, body.size());
    // The padding length sits in the last byte; the padding bytes themselves are not checked.
    const size_t pad = b[body.size() - 1];
    const size_t cut = pad >= kBlock - 1 ? kBlock : pad + 1;
    const size_t plain = body.size() - cut;
    if (plain < kSHA1Size) throw EIpSSLError("SSLVerifySHAMac : Record shorter than its MAC.");
    const size_t content = plain - kSHA1Size;
    uint8_t mac[20];
    SSL3MacSHA1(FMacSecret, FSequence, type, b, content, mac);
    uint8_t diff = 0;
    for (size_t i = 0; i < kSHA1Size; ++i) diff |= static_cast<uint8_t>(mac[i] ^ b[content + i]);
    if (diff != 0) throw EIpSSLError("SSLVerifySHAMac : MAC did not match.");
    ++FSequence;
    body.resize(content);
}
