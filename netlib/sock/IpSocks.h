#pragma once
// The SOCKS proxy layer of a data socket: with a proxy address set, the socket connects to the
// proxy, asks it (SOCKS 4, 4a or 5) for a connection to the target and reports the connection
// only when the proxy has made it. Refusals are error events; the connection stays open for the
// owner to close.
#include <cstdint>
#include <memory>
#include <string>

#include "netlib/base/IpBase.h"
#include "netlib/sock/IpDataSocket.h"

enum TIpSocksVersion { svSocks4, svSocks4a, svSocks5 };

class TIpSocksServerInfo : public TIpBasePersistent {
  public:
    std::string Address;  // empty: connections go direct
    std::string Password;
    uint16_t Port = 1080;
    TIpSocksVersion SocksVersion = svSocks4;
    std::string UserCode;

    void Assign(TIpSocksServerInfo& source);
};

class TIpSocksFilter : public TIpSocketFilter {
  public:
    // Where the negotiation stands; the values are the socket's negotiation states.
    enum TState : uint8_t {
        ssConfigured = 1,
        ssRequestSent = 2,
        ssAuthSent = 3,
        ssConnectSent = 4,
        ssDone = 5
    };

    // inner: the layer that takes over once the proxy has connected (telnet), or null.
    TIpSocksFilter(TIpSocksServerInfo& server, std::unique_ptr<TIpSocketFilter> inner);

    TState State() const { return FState; }
    TIpSocketFilter* Inner() const { return FInner.get(); }

    bool ProxyAddress(TIpDataSocket& socket, TSockAddrIn& via) override;
    bool ResolvesNames() const override;
    bool StartNegotiation(TIpDataSocket& socket) override;
    uint32_t Received(TIpDataSocket& socket, char* data, uint32_t count) override;
    void Encode(TIpDataSocket& socket, const char* data, uint32_t size, std::string& out) override;
    void WindowSizeChanged(TIpDataSocket& socket) override;

    // The requests, as they go on the wire.
    std::string BuildSocks4Request(TIpDataSocket& socket) const;
    std::string BuildGreeting() const;
    std::string BuildAuthRequest() const;
    std::string BuildConnectRequest(TIpDataSocket& socket) const;

  private:
    void SendSocksRequest(TIpDataSocket& socket);
    uint32_t ReplyLength() const;
    void HandleReply(TIpDataSocket& socket);
    void Refuse(TIpDataSocket& socket, int32_t code);
    void Connected(TIpDataSocket& socket, const unsigned char* port, const unsigned char* addr);

    std::string FAddress;
    std::string FPassword;
    uint16_t FPort;
    TIpSocksVersion FVersion;
    std::string FUserCode;
    std::unique_ptr<TIpSocketFilter> FInner;
    TState FState = ssConfigured;
    bool FFailed = false;
    std::string FReply;  // reply bytes collected over reads
};

// The layers a new socket of a client gets: SOCKS when the server has an address, telnet with
// soTelnet (inside SOCKS when both apply).
std::unique_ptr<TIpSocketFilter> IpMakeSocketFilter(TIpSocksServerInfo& socksServer,
                                                    TIpSockOptionSet options);
