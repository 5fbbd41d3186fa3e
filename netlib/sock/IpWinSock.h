#pragma once
// The process-wide start of the socket binding and the exceptions of the socket layer.
#include <cstdint>
#include <string>

#include "netlib/base/IpBase.h"
#include "platform/net/WinSock.h"

// recv flag: look at waiting bytes without taking them (WinSock's value, which is the system's).
constexpr int WS_MSG_PEEK = 0x2;

// A WinSock failure: "WinSock Error (<code>): <text>, on API '<call>'", or a plain text (code 0).
class EIpWinSockError : public EIpBaseException {
  public:
    EIpWinSockError(int32_t errorCode, const std::string& api);
    explicit EIpWinSockError(const std::string& text);
    int32_t ErrorCode() const { return FErrorCode; }
    // The table text of a WinSock code, or the system's text for codes outside the table.
    static std::string ErrorText(int32_t code);
    // The message text the socket layer uses for a failed call or notice.
    static std::string FormatMessage(int32_t code, const std::string& api);

  private:
    int32_t FErrorCode = 0;
};

// "Cannot set property on an active socket"
class EIpActiveError : public EIpBaseException {
  public:
    EIpActiveError();
};

// "Index out of range"
class EIpIndexError : public EIpBaseException {
  public:
    EIpIndexError();
};

// "Socket not assigned"
class EIpNoSocketError : public EIpBaseException {
  public:
    EIpNoSocketError();
};

// "Stream not assigned"
class EIpProgrammerError : public EIpBaseException {
  public:
    EIpProgrammerError();
};

// Failures of the secure layer; the data socket raises it when SSL is switched while connected.
class EIpSSLError : public EIpBaseException {
  public:
    using EIpBaseException::EIpBaseException;
};

// Starts the socket binding for the life of the process and keeps what WSAStartup reported.
class TIpWinSockAccess : public TIpBaseAccess {
  public:
    TIpWinSockAccess();
    ~TIpWinSockAccess() override;
    const TWSAData& Data() const { return FData; }

  private:
    TWSAData FData;
};

// The one binding of the process, started on first use.
TIpWinSockAccess& IpWinSock();

// Names of socket events and lookup kinds as error texts show them.
std::string IpSocketEventName(uint16_t event);
std::string IpAsyncRequestName(int kind);
