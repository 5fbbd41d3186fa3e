#pragma once
// The SSL 3.0 constructions over MD5 and SHA-1: master secret, key block, Finished hashes and
// the record MAC, and the protection of one direction of records (MAC, then DES-CBC or
// triple-DES-EDE-CBC with the SSL 3.0 padding).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Content types of records.
enum TIpSSLContentType : uint8_t {
    ctChangeCipherSpec = 20,
    ctAlert = 21,
    ctHandshake = 22,
    ctApplicationData = 23,
};

// Internal codes of the suite parameters.
constexpr uint8_t kKeyExchangeNone = 0, kKeyExchangeRSA = 1, kKeyExchangeRSAExport = 2;
constexpr uint8_t kCipherNone = 0, kCipherDES = 33, kCipherRC4_40 = 35, kCipherRC4_128 = 36,
                  kCipherRC2_40 = 38, kCipher3DES = 40;
constexpr uint8_t kMacNone = 0, kMacSHA1 = 17, kMacMD5 = 18;

struct TIpSSLSuiteParams {
    uint8_t KeyExchange = kKeyExchangeNone;
    uint8_t Cipher = kCipherNone;
    uint8_t Mac = kMacNone;
};

// The parameters of a suite number (unknown suites give all zero).
TIpSSLSuiteParams SSLSuiteParams(uint16_t suite);
size_t SSLMacSize(uint8_t mac);
size_t SSLKeySize(uint8_t cipher);
size_t SSLIVSize(uint8_t cipher);

// master = MD5(pre + SHA1("A" + pre + cr + sr)) + ... with "BB" and "CCC".
void SSL3MasterSecret(const uint8_t preMaster[48], const uint8_t clientRandom[32],
                      const uint8_t serverRandom[32], uint8_t master[48]);
// length bytes of key material (blocks with "A", "BB", "CCC", ...); length at most 16 * 26.
std::string SSL3KeyBlock(const uint8_t master[48], const uint8_t serverRandom[32],
                         const uint8_t clientRandom[32], size_t length);
// The 36 bytes of a Finished message (MD5 hash, then SHA-1 hash) over the handshake messages
// and the sender code ("CLNT" or "SRVR").
void SSL3FinishedHashes(const uint8_t master[48], const std::string& messages, const char sender[4],
                        uint8_t out[36]);
// The SSL 3.0 MAC over SHA-1 with a 20-byte secret.
void SSL3MacSHA1(const uint8_t secret[20], uint64_t sequence, uint8_t type, const void* data,
                 size_t length, uint8_t out[20]);

// One direction of record protection: keys, chaining value, MAC secret and sequence number.
class TIpSSLCipherState {
  public:
    TIpSSLCipherState();
    ~TIpSSLCipherState();
    TIpSSLCipherState(TIpSSLCipherState&&) noexcept;
    TIpSSLCipherState& operator=(TIpSSLCipherState&&) noexcept;

    // cipher: kCipherDES or kCipher3DES; encrypt: the sending direction.
    void Init(uint8_t cipher, bool encrypt, const uint8_t* key, const uint8_t iv[8],
              const uint8_t macSecret[20]);
    bool Active() const { return FCipher != kCipherNone; }
    uint8_t Cipher() const { return FCipher; }
    uint64_t Sequence() const { return FSequence; }

    // Appends the record (header and protected body) of plain content to out; the sequence
    // number advances. The content must fit one record (SSLEncrptWrite's limits).
    void Seal(uint8_t type, const char* data, size_t length, std::string& out);
    // Decrypts a record body in place, checks its MAC and cuts it down to the content.
    // Raises EIpSSLError on a wrong length or MAC.
    void Open(uint8_t type, std::string& body);

  private:
    void EncryptBlocks(uint8_t* data, size_t length);
    void DecryptBlocks(uint8_t* data, size_t length);

    // The key schedules live with the cipher unit, whose header does not mix with the socket
    // layer's (both name an MD5 context).
    struct TSchedules;
    uint8_t FCipher = kCipherNone;
    std::unique_ptr<TSchedules> FKeys;
    uint8_t FIV[8] = {};
    uint8_t FMacSecret[20] = {};
    uint64_t FSequence = 0;
};
