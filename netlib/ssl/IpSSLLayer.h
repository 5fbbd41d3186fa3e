#pragma once
// The SSL 3.0 client inside a data socket: the socket's secure layer moves bytes between the
// wire and the engine of IpSSL.h. Records that arrive in pieces are kept until whole, so reads
// never wait; the handshake's end reports the connection through the socket.
#include <memory>
#include <string>

#include "netlib/sock/IpDataSocket.h"
#include "netlib/ssl/IpSSL.h"

class TIpSSLLayer : public TIpSecureLayer {
  public:
    void Start(TIpDataSocket& socket) override;
    uint32_t Read(TIpDataSocket& socket, char* out, uint32_t room) override;
    void Encrypt(TIpDataSocket& socket, std::string& data) override;

    TIpSSLEngine* Engine() const { return FEngine.get(); }

  private:
    void Flush(TIpDataSocket& socket);
    void Log(TIpDataSocket& socket, const std::string& text);

    std::unique_ptr<TIpSSLEngine> FEngine;
    bool FReported = false;
};

// Makes every data socket that uses SSL get a TIpSSLLayer. Call once before switching SSL on
// (the program does it at start-up); further calls do nothing more.
void IpSSLRegister();
