#pragma once
// The SSL 3.0 client as a state machine over bytes: received bytes go in (in pieces of any
// size), bytes to send and decrypted application data come out. It knows no socket; the data
// socket's secure layer (IpSSLLayer.h) moves the bytes, and tests drive it directly.
//
// Two suites are offered, SSL_RSA_WITH_DES_CBC_SHA (0x0009) and SSL_RSA_WITH_3DES_EDE_CBC_SHA
// (0x000A), keys are exchanged by RSA, and the server is not authenticated: its certificate is
// parsed for the key and described through OnLog, never checked (servers with self-signed
// certificates depend on that). Every protocol failure raises EIpSSLError "Routine : text"; after
// one the engine is failed and takes no more input. No alert is ever sent.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "netlib/crypto/IpCert.h"
#include "netlib/ssl/SSL3Crypto.h"

class TIpRandomGenerator;

class TIpSSLEngine {
  public:
    enum TState {
        ssIdle,          // nothing sent yet
        ssHelloSent,     // waiting for the server's hello messages
        ssKeysSent,      // our second flight is out; waiting for the server's ChangeCipherSpec
        ssCipherActive,  // waiting for the server's Finished
        ssOpen,          // handshake done: application data both ways
        ssClosed,        // the server sent close_notify
        ssFailed,        // an error was raised
    };

    // The random generator and the tick count can be replaced for reproducible output.
    TIpSSLEngine();
    ~TIpSSLEngine();
    TIpSSLEngine(const TIpSSLEngine&) = delete;
    TIpSSLEngine& operator=(const TIpSSLEngine&) = delete;

    // Suites offered, in order.
    std::vector<uint16_t> CipherSuites{0x0009, 0x000A};
    // Debug-log texts (server certificate, chosen suite).
    std::function<void(const std::string&)> OnLog;
    // For tests: a generator with known output and a fixed tick count.
    void SetRandom(std::unique_ptr<TIpRandomGenerator> generator);
    void SetTickCount(uint32_t ticks) {
        FTicks = ticks;
        FFixedTicks = true;
    }

    // Queues the ClientHello.
    void SendClientHello();
    // Takes received bytes; complete records are handled at once, a partial one waits for the
    // rest. Raises EIpSSLError (the engine is failed then).
    void Feed(const void* data, size_t length);
    // Plaintext sent by the server, in order.
    size_t PlainAvailable() const { return FPlain.size() - FPlainPos; }
    size_t ReadPlain(void* out, size_t room);
    // Bytes for the wire, in order; the engine's buffer is emptied.
    std::string TakeOutput();
    bool HasOutput() const { return !FOutput.empty(); }
    // Application data: encrypted into records of at most 16384 bytes and queued for the wire
    // once the handshake is done; before that it is held.
    void Write(const void* data, size_t length);
    // The records for data, appended to out (only while open).
    void EncryptTo(const void* data, size_t length, std::string& out);

    TState State() const { return FState; }
    bool HandshakeComplete() const { return FHandshakeDone; }
    uint16_t SelectedSuite() const { return FSuite; }
    const std::string& SessionId() const { return FSessionId; }
    // Bytes of a record still waiting for their rest.
    size_t PendingInput() const { return FIn.size() - FInPos; }

  private:
    void SetState(TState state);
    void Fail(const std::string& message);
    void HandleRecord(uint8_t type, std::string& body);
    void HandleHandshakeBytes(const std::string& data);
    void HandleHandshakeMessage(uint8_t type, const uint8_t* body, size_t length);
    void ParseServerHello(const uint8_t* body, size_t length);
    void ParseCertificate(const uint8_t* body, size_t length);
    void ParseServerKeyExchange(const uint8_t* body, size_t length);
    void ServerHelloDone(size_t length);
    void VerifyServerFinished(const uint8_t* body, size_t length);
    void ChangeCipherSpec(const std::string& body);
    void Alert(const uint8_t* body, size_t length);
    void SetServerPublicKey();
    void SetEncryptionType();
    void SendPreMasterSecret();
    void CreateKeys();
    void SendFinished();
    void QueueHandshake(uint8_t type, const std::string& body);
    void LogCertificate(const TIpCertRecord& record);

    TState FState = ssIdle;
    bool FHandshakeDone = false;
    std::unique_ptr<TIpRandomGenerator> FRandom;
    uint32_t FTicks = 0;
    bool FFixedTicks = false;

    std::string FIn;  // received bytes not yet handled
    size_t FInPos = 0;
    std::string FHandshakeIn;  // handshake bytes not yet forming a whole message
    std::string FTranscript;   // handshake messages for the Finished hashes
    std::string FPlain;
    size_t FPlainPos = 0;
    std::string FOutput;
    std::string FPendingWrite;

    uint8_t FClientRandom[32] = {};
    uint8_t FServerRandom[32] = {};
    std::string FSessionId;
    uint16_t FSuite = 0;
    TIpSSLSuiteParams FPending;
    TIpCert_Cert FCert;
    TIpCertHandle FCertHandle = 0;
    std::vector<uint8_t> FModulus;  // big-endian, no leading zero
    std::vector<uint8_t> FExponent;
    uint8_t FPreMaster[48] = {};
    bool FHavePreMaster = false;
    uint8_t FMaster[48] = {};
    std::string FKeyBlock;
    TIpSSLCipherState FSend;
    TIpSSLCipherState FRecv;
    uint8_t FClientFinished[36] = {};
};
