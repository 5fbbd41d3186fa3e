#include "netlib/ssl/IpSSL.h"

#include <algorithm>
#include <cstring>
#include <ctime>

#include "netlib/crypto/IpBigInt.h"
#include "netlib/crypto/IpCrypto.h"
#include "netlib/sock/IpWinSock.h"
#include "netlib/ssl/Limits.h"

namespace {

using namespace SslLimits;

constexpr uint8_t kHsClientHello = 1, kHsServerHello = 2, kHsCertificate = 11,
                  kHsServerKeyExchange = 12, kHsServerHelloDone = 14, kHsClientKeyExchange = 16,
                  kHsFinished = 20, kHsAlert = 21;
constexpr size_t kFinishedSize = 36;

uint32_t Uint24(const uint8_t* p) {
    return (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
}

uint16_t Uint16(const uint8_t* p) {
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

// Advances over n bytes of a message; the count comes from the peer and is checked first.
const uint8_t* Take(const uint8_t*& at, size_t& left, size_t n) {
    if (n > left) throw EIpSSLError("MovePtrValue : Buffer overflow error.");
    const uint8_t* p = at;
    at += n;
    left -= n;
    return p;
}

// A record header is judged as soon as its five bytes are in: a peer speaking another protocol
// or version is refused before the client waits for a body that will never come.
void SanityCheckRecord(const uint8_t* header) {
    const uint8_t type = header[0];
    if (type != 20 && type != 21 && type != 22 && type != 23 && type != 255)
        throw EIpSSLError("SanityCheckRecord : bParsing error.");
    if (header[1] != 3 || header[2] != 0) throw EIpSSLError("SanityCheckRecord : Parsing error.");
    if (Uint16(header + 3) > kMaxRecordBody)
        throw EIpSSLError("dsReadData : Buffer overflow error.");
}

uint32_t MonotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000u +
                                 static_cast<uint64_t>(ts.tv_nsec) / 1000000u);
}

TIpBigInteger FromBigEndian(const uint8_t* bytes, size_t count) {
    TIpBigInteger raw;
    BigInit(raw, static_cast<int32_t>(count));
    BigSetBytes(raw, 1, bytes, static_cast<int32_t>(count));
    TIpBigInteger n;
    BigCopy(raw, n);
    BigTrim(n);
    return n;
}

// The number as exactly size big-endian bytes, zeros in front.
std::string ToBigEndian(const TIpBigInteger& n, size_t size) {
    TIpBigInteger trimmed = n;
    BigTrim(trimmed);
    size_t used = static_cast<size_t>(std::max(trimmed.Used, 0));
    while (used > 0 && trimmed.Digits[used - 1] == 0) --used;
    if (used > size) throw EIpSSLError("SSLFillMessRec : Padding error.");
    std::string out(size, '\0');
    for (size_t i = 0; i < used; ++i) out[size - 1 - i] = static_cast<char>(trimmed.Digits[i]);
    return out;
}

// "YYMMDDHHMMSSZ" (UTCTime) or "YYYYMMDDHHMMSSZ" (GeneralizedTime) as a readable date.
std::string FormatCertTime(const std::vector<uint8_t>& v) {
    std::string s(v.begin(), v.end());
    const bool utc = s.size() == 13;
    const bool general = s.size() == 15;
    if (!(utc || general) || s.back() != 'Z') return s;
    std::string year = utc ? ((s[0] < '5' ? "20" : "19") + s.substr(0, 2)) : s.substr(0, 4);
    const size_t p = utc ? 2 : 4;
    return year + "-" + s.substr(p, 2) + "-" + s.substr(p + 2, 2) + " " + s.substr(p + 4, 2) + ":" +
           s.substr(p + 6, 2) + ":" + s.substr(p + 8, 2) + " UTC";
}

std::string FieldText(const TIpCertField& f) {
    return std::string(f.Value.begin(), f.Value.end());
}

const char* AlertText(uint8_t description) {
    switch (description) {
        case 10:
            return "Server received an unexpected message.";
        case 20:
            return "Server received a bad record MAC.";
        case 30:
            return "Compression failure.";
        case 40:
            return "Handshake failure.";
        case 41:
            return "Certificate is not available.";
        case 42:
            return "Bad certificate.";
        case 43:
            return "Unsupported Certificate.";
        case 44:
            return "Revoked Certificate.";
        case 45:
            return "Expired Certificate.";
        case 46:
            return "Unknown Certificate.";
        case 47:
            return "Illegal Parameter.";
        default:
            return "Unknown Alert Error.";
    }
}

}  // namespace

TIpSSLEngine::TIpSSLEngine() = default;

void TIpSSLEngine::SetRandom(std::unique_ptr<TIpRandomGenerator> generator) {
    FRandom = std::move(generator);
}
TIpSSLEngine::~TIpSSLEngine() {
    std::memset(FPreMaster, 0, sizeof FPreMaster);
    std::memset(FMaster, 0, sizeof FMaster);
    std::fill(FKeyBlock.begin(), FKeyBlock.end(), '\0');
}

// Every change of state goes through here, so a log shows the handshake's steps.
void TIpSSLEngine::SetState(TState state) {
    FState = state;
}

void TIpSSLEngine::Fail(const std::string& message) {
    throw EIpSSLError(message);
}

// ---- the first flight --------------------------------------------------------------------------

void TIpSSLEngine::SendClientHello() {
    if (FState != ssIdle) Fail("SendClientHello : Handshake already started.");
    if (!FRandom) FRandom = std::make_unique<TIpRandomGenerator>();
    const uint32_t ticks = FFixedTicks ? FTicks : MonotonicMs();
    for (int i = 0; i < 4; ++i) FClientRandom[i] = static_cast<uint8_t>(ticks >> (8 * i));
    FRandom->GetRandomBytes(FClientRandom + 4, 28);
    std::string body;
    body += '\x03';
    body += '\x00';
    body.append(reinterpret_cast<const char*>(FClientRandom), 32);
    body += '\x00';  // no session to resume
    const size_t suites = CipherSuites.size() * 2;
    body += static_cast<char>(suites >> 8);
    body += static_cast<char>(suites);
    for (uint16_t s : CipherSuites) {
        body += static_cast<char>(s >> 8);
        body += static_cast<char>(s);
    }
    body += '\x01';
    body += '\x00';  // null compression only
    QueueHandshake(kHsClientHello, body);
    SetState(ssHelloSent);
}

// A handshake message in a plain record (before our ChangeCipherSpec), kept for the hashes.
void TIpSSLEngine::QueueHandshake(uint8_t type, const std::string& body) {
    std::string msg;
    msg += static_cast<char>(type);
    msg += static_cast<char>(body.size() >> 16);
    msg += static_cast<char>(body.size() >> 8);
    msg += static_cast<char>(body.size());
    msg += body;
    FTranscript += msg;
    const size_t n = msg.size();
    FOutput += static_cast<char>(ctHandshake);
    FOutput += '\x03';
    FOutput += '\x00';
    FOutput += static_cast<char>(n >> 8);
    FOutput += static_cast<char>(n);
    FOutput += msg;
}

// ---- input -------------------------------------------------------------------------------------

void TIpSSLEngine::Feed(const void* data, size_t length) {
    if (FState == ssFailed) Fail("SSLRecv : Read error.");
    if (FState == ssClosed) return;  // nothing after close_notify counts
    FIn.append(static_cast<const char*>(data), length);
    try {
        while (FState != ssClosed && FIn.size() - FInPos >= kRecordHeader) {
            const uint8_t* p = reinterpret_cast<const uint8_t*>(FIn.data()) + FInPos;
            SanityCheckRecord(p);
            const uint8_t type = p[0];
            const size_t len = Uint16(p + 3);
            if (FIn.size() - FInPos < kRecordHeader + len) break;  // the rest comes later
            std::string body(FIn, FInPos + kRecordHeader, len);
            FInPos += kRecordHeader + len;
            HandleRecord(type, body);
        }
    } catch (const EIpSSLError&) {
        SetState(ssFailed);
        throw;
    } catch (const EIpBaseException& e) {
        // A certificate or a key the crypto units refuse: its text stays, and the caller meets
        // one class for every failure of the handshake.
        SetState(ssFailed);
        throw EIpSSLError(e.Message());
    } catch (...) {
        SetState(ssFailed);
        throw;
    }
    if (FInPos > 0) {
        FIn.erase(0, FInPos);
        FInPos = 0;
    }
}

void TIpSSLEngine::HandleRecord(uint8_t type, std::string& body) {
    if (type == 255) return;
    if (FRecv.Active()) FRecv.Open(type, body);
    switch (type) {
        case ctChangeCipherSpec:
            ChangeCipherSpec(body);
            break;
        case ctAlert:
            Alert(reinterpret_cast<const uint8_t*>(body.data()), body.size());
            break;
        case ctHandshake:
            HandleHandshakeBytes(body);
            break;
        case ctApplicationData:
            if (FState != ssOpen) Fail("SSLRecv : Read error.");
            if (FPlainPos == FPlain.size()) {
                FPlain.clear();
                FPlainPos = 0;
            } else if (FPlainPos > 0) {
                FPlain.erase(0, FPlainPos);
                FPlainPos = 0;
            }
            FPlain += body;
            break;
        default:
            Fail("SSLRecv : Read error.");
    }
}

size_t TIpSSLEngine::ReadPlain(void* out, size_t room) {
    const size_t n = std::min(room, PlainAvailable());
    if (n) std::memcpy(out, FPlain.data() + FPlainPos, n);
    FPlainPos += n;
    if (FPlainPos == FPlain.size()) {
        FPlain.clear();
        FPlainPos = 0;
    }
    return n;
}

std::string TIpSSLEngine::TakeOutput() {
    std::string out;
    out.swap(FOutput);
    return out;
}

// Handshake messages may span records and records may hold several; whole messages are handled
// in order as they complete.
void TIpSSLEngine::HandleHandshakeBytes(const std::string& data) {
    FHandshakeIn += data;
    size_t at = 0;
    while (FHandshakeIn.size() - at >= 4) {
        const uint8_t* p = reinterpret_cast<const uint8_t*>(FHandshakeIn.data()) + at;
        const size_t len = Uint24(p + 1);
        if (len > kMaxHandshakeMessage) Fail("SSLParseHandShake : Read size miss-match.");
        if (FHandshakeIn.size() - at < 4 + len) break;
        const uint8_t type = p[0];
        // The server's Finished covers everything before it, so it joins the transcript after
        // being checked; the others join before being acted on.
        if (type != kHsFinished) FTranscript.append(reinterpret_cast<const char*>(p), 4 + len);
        at += 4 + len;
        HandleHandshakeMessage(type, p + 4, len);
        if (FState == ssClosed) break;
    }
    FHandshakeIn.erase(0, at);
}

void TIpSSLEngine::HandleHandshakeMessage(uint8_t type, const uint8_t* body, size_t length) {
    const bool hello = FState == ssHelloSent;
    switch (type) {
        case kHsServerHello:
            if (hello) return ParseServerHello(body, length);
            break;
        case kHsCertificate:
            if (hello) return ParseCertificate(body, length);
            break;
        case kHsServerKeyExchange:
            if (hello) return ParseServerKeyExchange(body, length);
            break;
        case kHsServerHelloDone:
            if (hello) return ServerHelloDone(length);
            break;
        case kHsFinished:
            if (FState == ssCipherActive) return VerifyServerFinished(body, length);
            break;
        case kHsAlert:
            return Alert(body, length);
        default:
            break;
    }
    Fail("SSLParseHandShake : Did not parse server hello correctly.");
}

void TIpSSLEngine::ParseServerHello(const uint8_t* body, size_t length) {
    const uint8_t* at = body;
    size_t left = length;
    if (length < 35) Fail("SSLParseHello : Parsing error.");
    Take(at, left, 2);  // the version inside the message is not checked
    std::memcpy(FServerRandom, Take(at, left, 32), 32);
    const size_t idLength = *Take(at, left, 1);
    if (idLength > kMaxSessionId)
        Fail("SSLGetServerSessionID : Session ID is longer than 32 bytes.");
    if (length != 38 + idLength) Fail("SSLParseHello : Parsing error.");
    FSessionId.assign(reinterpret_cast<const char*>(Take(at, left, idLength)), idLength);
    FSuite = Uint16(Take(at, left, 2));
    if (*Take(at, left, 1) != 0) Fail("SSLParseHello : Compression value is wrong.");
    if (OnLog) OnLog("SSL: server chose cipher suite " + std::to_string(FSuite));
}

void TIpSSLEngine::ParseCertificate(const uint8_t* body, size_t length) {
    const uint8_t* at = body;
    size_t left = length;
    const size_t listLength = Uint24(Take(at, left, 3));
    if (listLength != left) Fail("MovePtrValue : Buffer overflow error.");
    size_t count = 0;
    while (left > 0) {
        const size_t certLength = Uint24(Take(at, left, 3));
        const uint8_t* cert = Take(at, left, certLength);
        if (++count > kMaxCertificates) Fail("SSLGetCert : Too many certificates.");
        const TIpCertHandle handle = FCert.ParseCert(cert, static_cast<int32_t>(certLength));
        if (FCertHandle == 0) {
            FCertHandle = handle;
            if (const TIpCertRecord* r = FCert.Record(handle)) LogCertificate(*r);
        }
    }
}

// The certificate is not checked, only described: users see what they connected to.
void TIpSSLEngine::LogCertificate(const TIpCertRecord& r) {
    if (!OnLog) return;
    OnLog("SSL: server certificate subject \"" + FieldText(r.Subject) + "\", issuer \"" +
          FieldText(r.Issuer) + "\", valid from " + FormatCertTime(r.NotBefore.Value) + " to " +
          FormatCertTime(r.NotAfter.Value) + " (not verified)");
}

void TIpSSLEngine::ParseServerKeyExchange(const uint8_t* body, size_t length) {
    const uint8_t* at = body;
    size_t left = length;
    const size_t modLength = Uint16(Take(at, left, 2));
    const uint8_t* mod = Take(at, left, modLength);
    const size_t expLength = Uint16(Take(at, left, 2));
    const uint8_t* exp = Take(at, left, expLength);
    FModulus.assign(mod, mod + modLength);
    FExponent.assign(exp, exp + expLength);
}

// ---- the second flight -------------------------------------------------------------------------

void TIpSSLEngine::ServerHelloDone(size_t length) {
    if (length != 0) Fail("SSLGetServerHelloDone : Parsing error.");
    SetServerPublicKey();
    SetEncryptionType();
    SendPreMasterSecret();
    CreateKeys();
    // ChangeCipherSpec, then everything we send is protected.
    FOutput.append("\x14\x03\x00\x00\x01\x01", 6);
    const size_t macSize = SSLMacSize(FPending.Mac), keySize = SSLKeySize(FPending.Cipher);
    const uint8_t* k = reinterpret_cast<const uint8_t*>(FKeyBlock.data());
    FSend.Init(FPending.Cipher, true, k + 2 * macSize, k + 2 * macSize + 2 * keySize, k);
    SendFinished();
    SetState(ssKeysSent);
}

void TIpSSLEngine::SetServerPublicKey() {
    if (FCertHandle == 0) Fail("SetServerPublicKey :Certificate is not available.");
    int32_t modLength = 0, expLength = 0;
    FCert.GetPublicKeySizes(FCertHandle, modLength, expLength);
    FModulus.assign(static_cast<size_t>(modLength), 0);
    FExponent.assign(static_cast<size_t>(expLength), 0);
    FCert.GetPublicKey(FCertHandle, FModulus.data(), modLength, FExponent.data(), expLength);
}

void TIpSSLEngine::SetEncryptionType() {
    FPending = SSLSuiteParams(FSuite);
    if (FPending.KeyExchange != kKeyExchangeRSA)
        Fail("SSLSetEncryptionType : Unsupported public encoding.");
    if (FPending.Cipher != kCipherDES && FPending.Cipher != kCipher3DES)
        Fail("SSLSetEncryptionType : Unsupported cipher chosen.");
}

void TIpSSLEngine::SendPreMasterSecret() {
    if (FPending.KeyExchange != kKeyExchangeRSA)
        Fail("SSLSendPreMasterSecret : Bad public encoding type.");
    FPreMaster[0] = 3;
    FPreMaster[1] = 0;
    FRandom->GetRandomBytes(FPreMaster + 2, 46);
    FHavePreMaster = true;
    // PKCS #1 v1.5 block type 2: 00 02, random non-zero padding, 00, the secret.
    const size_t k = FModulus.size();
    if (k < 48 + 11) Fail("SSLFillMessRec : Padding error.");
    std::vector<uint8_t> block(k);
    block[0] = 0;
    block[1] = 2;
    const size_t padding = k - 48 - 3;
    FRandom->GetRandomBytes(block.data() + 2, padding);
    for (size_t i = 2; i < 2 + padding; ++i)
        while (block[i] == 0) FRandom->GetRandomBytes(&block[i], 1);
    block[2 + padding] = 0;
    std::memcpy(block.data() + 3 + padding, FPreMaster, 48);
    const TIpBigInteger m = FromBigEndian(block.data(), k);
    std::fill(block.begin(), block.end(), 0);
    const TIpBigInteger e = FromBigEndian(FExponent.data(), FExponent.size());
    const TIpBigInteger n = FromBigEndian(FModulus.data(), FModulus.size());
    TIpBigInteger c;
    BigModExp(m, e, n, c);
    // The server expects exactly k bytes: a result with high zero bytes is padded, not cut.
    QueueHandshake(kHsClientKeyExchange, ToBigEndian(c, k));
}

void TIpSSLEngine::CreateKeys() {
    if (!FHavePreMaster) Fail("SSLCreateMasterSecret : No pre-master secret.");
    SSL3MasterSecret(FPreMaster, FClientRandom, FServerRandom, FMaster);
    std::memset(FPreMaster, 0, sizeof FPreMaster);
    const size_t macSize = SSLMacSize(FPending.Mac);
    if (macSize == 0) Fail("SSLCreateKeyMaterial : No hash type selected.");
    const size_t keySize = SSLKeySize(FPending.Cipher);
    if (keySize == 0) Fail("SSLCreateKeyMaterial : No message encoding type selected.");
    const size_t need = 2 * (macSize + keySize + SSLIVSize(FPending.Cipher));
    FKeyBlock = SSL3KeyBlock(FMaster, FServerRandom, FClientRandom, need);
}

void TIpSSLEngine::SendFinished() {
    SSL3FinishedHashes(FMaster, FTranscript, "CLNT", FClientFinished);
    std::string msg("\x14\x00\x00\x24", 4);
    msg.append(reinterpret_cast<const char*>(FClientFinished), kFinishedSize);
    FTranscript += msg;
    FSend.Seal(ctHandshake, msg.data(), msg.size(), FOutput);
}

// ---- the server's ChangeCipherSpec and Finished ------------------------------------------------

void TIpSSLEngine::ChangeCipherSpec(const std::string& body) {
    if (FState != ssKeysSent) Fail("SSLChangeChiper : Parsing error.");
    if (body.size() != 1 || body[0] != 1) Fail("SSLChangeChiper : Invalid cipher.");
    const size_t macSize = SSLMacSize(FPending.Mac), keySize = SSLKeySize(FPending.Cipher);
    const uint8_t* k = reinterpret_cast<const uint8_t*>(FKeyBlock.data());
    FRecv.Init(FPending.Cipher, false, k + 2 * macSize + keySize, k + 2 * macSize + 2 * keySize + 8,
               k + macSize);
    SetState(ssCipherActive);
}

void TIpSSLEngine::VerifyServerFinished(const uint8_t* body, size_t length) {
    if (length != kFinishedSize) Fail("SSLVerifyHashes : Parsing error.");
    uint8_t expected[kFinishedSize];
    SSL3FinishedHashes(FMaster, FTranscript, "SRVR", expected);
    if (std::memcmp(expected, body, 16) != 0) Fail("SSLVerifyHashes : MD5 hash did not match.");
    if (std::memcmp(expected + 16, body + 16, 20) != 0)
        Fail("SSLVerifyHashes : SHA1 hash did not match.");
    SetState(ssOpen);
    FHandshakeDone = true;
    // The record states hold their keys; the rest of the handshake is not needed any more.
    std::memset(FMaster, 0, sizeof FMaster);
    std::fill(FKeyBlock.begin(), FKeyBlock.end(), '\0');
    FKeyBlock.clear();
    FTranscript.clear();
    FTranscript.shrink_to_fit();
    if (OnLog) OnLog("SSL: handshake done");
    if (!FPendingWrite.empty()) {
        EncryptTo(FPendingWrite.data(), FPendingWrite.size(), FOutput);
        FPendingWrite.clear();
        FPendingWrite.shrink_to_fit();
    }
}

void TIpSSLEngine::Alert(const uint8_t* body, size_t length) {
    if (length < 2) Fail("Alert : Parsing error.");
    if (body[1] == 0) {  // close_notify
        SetState(ssClosed);
        return;
    }
    const std::string prefix = body[0] == 1 ? "Alert : Warning - " : "Alert : Fatal Error - ";
    Fail(prefix + AlertText(body[1]));
}

// ---- output ------------------------------------------------------------------------------------

void TIpSSLEngine::Write(const void* data, size_t length) {
    if (FHandshakeDone) return EncryptTo(data, length, FOutput);
    if (FPendingWrite.size() + length > kMaxPendingWrite)
        Fail("SSLWriteBuf : Buffer overflow error.");
    FPendingWrite.append(static_cast<const char*>(data), length);
}

void TIpSSLEngine::EncryptTo(const void* data, size_t length, std::string& out) {
    if (!FSend.Active()) Fail("SSLEncrpt : Encryption type not defined.");
    const char* p = static_cast<const char*>(data);
    while (length > 0) {
        const size_t n = std::min(length, kMaxPlainFragment);
        FSend.Seal(ctApplicationData, p, n, out);
        p += n;
        length -= n;
    }
}
