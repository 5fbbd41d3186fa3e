#pragma once
// The socket components: TIpSockControl owns a hidden window that receives its sockets' notices,
// a window timer, a debug log and an event log, and turns socket happenings into calls of its
// virtual event operations (each fires its event, then lets the application process pending
// messages). TIpCustomClient adds one outgoing data socket; the protocol clients derive from it
// and TIpClient publishes it.
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "netlib/base/IpBase.h"
#include "netlib/sock/IpDataSocket.h"
#include "netlib/sock/IpLog.h"
#include "netlib/sock/IpSocks.h"
#include "netlib/sock/IpWinSock.h"
#include "platform/core/Application.h"
#include "platform/core/Messages.h"

// Window messages of the socket components. The terminal uses WM_IPSTATUS, WM_IPTERMDATA and
// WM_IPTERMRESIZE.
constexpr UINT WM_IPASYNCREPLY = 0x1290;
constexpr UINT WM_IPSOCKETEVENT = 0x1291;
constexpr UINT WM_IPSTATUS = 0x1292;
constexpr UINT WM_IPFREESOCKET = 0x1293;
constexpr UINT WM_IPLINE = 0x1294;
constexpr UINT WM_IPTERMDATA = 0x1295;
constexpr UINT WM_IPTERMRESIZE = 0x1296;

// WM_IPTERMDATA carries the received bytes in WParam (LParam: their count), read-only and valid
// until the receiving procedure returns: the message queue owns them and frees them after
// delivery, or when the message is dropped because its window died. Receivers that still call
// this to free the data lose nothing: it does nothing.
inline void IpFreeTermData(WPARAM) {}

class TIpSockControl;

using TIpAddressReplyEvent =
    std::function<void(TIpSockControl* sender, uintptr_t handle, uint32_t address)>;
using TIpErrorEvent = std::function<void(TIpSockControl* sender, SOCKET socket, int32_t errCode,
                                         const std::string& errStr)>;
using TIpErrorReplyEvent = std::function<void(TIpSockControl* sender, uintptr_t handle,
                                              int32_t errCode, const std::string& errStr)>;
using TIpIdleTimeoutEvent = std::function<void(TIpSockControl* sender, SOCKET socket, bool& reset)>;
using TIpItemSentEvent =
    std::function<void(TIpSockControl* sender, SOCKET socket, uint32_t handle, uint32_t remaining)>;
using TIpNameReplyEvent =
    std::function<void(TIpSockControl* sender, uintptr_t handle, const std::string& name)>;
using TIpPortReplyEvent =
    std::function<void(TIpSockControl* sender, uintptr_t handle, uint16_t port)>;
using TIpReadLineEvent =
    std::function<void(TIpSockControl* sender, SOCKET socket, const std::string& line)>;
using TIpServiceReplyEvent =
    std::function<void(TIpSockControl* sender, uintptr_t handle, const std::string& service)>;
using TIpStatusEvent =
    std::function<void(TIpSockControl* sender, SOCKET socket, TIpStatusType event,
                       const TIpConnRec& connection, const TIpSockStatRec& statRec)>;
using TIpExceptionEvent = std::function<void(TIpSockControl* sender, const std::string& message)>;

class TIpSockControl : public TIpBaseComponent, public TReleasable {
  public:
    explicit TIpSockControl(void* owner = nullptr);
    ~TIpSockControl() override;

    TIpDebugLog& DebugLog() { return *FDebugLog; }
    // Writes the debug log to its file when it holds entries. The component does this when it
    // is destroyed, but by then only this class's FormatDebugEntry is reachable: a class that
    // adds entries of its own calls this from its own destructor.
    void FlushDebugLog();
    TIpEventLog& EventLog() { return *FEventLog; }
    TIpDataInits& SockInits() { return FSockInits; }
    HWND Handle() const { return FHandle; }
    TIpSockProtocol SockProtocol() const { return FSockProtocol; }
    virtual void SetSockProtocol(TIpSockProtocol value);
    const std::string& ProtocolName() const { return FProtocolName; }
    int SocketType() const { return FSocketType; }
    uint32_t TimerInterval() const { return FTimerInterval; }
    void SetTimerInterval(uint32_t value);

    TIpStatusSet StatusEvents =
        StatusBit(stConnect) | StatusBit(stDisconnect) | StatusBit(stProgress);
    // Received lines go to OnReadLine at once instead of through a posted message.
    bool DirectLines = false;
    // A non-empty address (family and anything else set) makes new sockets bind to it.
    TSockAddrIn LocalAddress;

    TIpAddressReplyEvent OnAddressReply;
    TIpErrorEvent OnError;
    TIpErrorReplyEvent OnErrorReply;
    TIpIdleTimeoutEvent OnIdleTimeout;
    TIpItemSentEvent OnItemSent;
    TIpNameReplyEvent OnNameReply;
    TIpPortReplyEvent OnPortReply;
    TIpReadLineEvent OnReadLine;
    TIpServiceReplyEvent OnServiceReply;
    TIpStatusEvent OnStatus;
    // An exception raised while the component handled one of its window messages (a socket
    // notice with the events it fires, a timer tick, a posted state change). Without a handler
    // it goes on to the application's exception handler; an owner that must end its work on it
    // (a transfer task) takes it here.
    TIpExceptionEvent OnException;

    std::string FormatDebugEntry(uint32_t socket, uint32_t entryType, const void* data,
                                 uint32_t size) override;

    virtual SOCKET CreateSocket() = 0;
    virtual void FreeSocket(SOCKET socket) = 0;
    virtual bool IsActive() const { return false; }
    virtual TIpDataSocket* GetSocket(SOCKET socket, bool raiseIfNone);

    // Event operations: each fires its event when assigned, then processes pending messages.
    virtual void DoAddressReply(uintptr_t handle, uint32_t address);
    virtual void DoError(SOCKET socket, int32_t errCode, const std::string& errStr);
    virtual void DoErrorReply(uintptr_t handle, int32_t errCode, const std::string& errStr);
    virtual void DoIdleTimeout(SOCKET socket, bool& reset);
    virtual void DoItemSent(SOCKET socket, uint32_t handle, uint32_t remaining);
    virtual void DoNameReply(uintptr_t handle, const std::string& name);
    virtual void DoPortReply(uintptr_t handle, uint16_t port);
    // A received line. The protocol clients override it and handle the line at once.
    virtual void DoReadLine(SOCKET socket, const std::string& line);
    virtual void DoServiceReply(uintptr_t handle, const std::string& service);
    virtual void DoStatus(SOCKET socket, TIpStatusType event, const TIpConnRec& connection);

    virtual void SocketAccept(SOCKET) {}
    virtual void SocketClose(SOCKET socket);
    virtual void SocketConnect(SOCKET socket);
    virtual void SocketOutOfBand(SOCKET socket);
    virtual void SocketRead(SOCKET socket);
    virtual void SocketWrite(SOCKET socket);
    virtual void TimerTick();
    virtual void TimerElapsed(uint32_t) {}
    virtual void WndProc(TMessage& message);
    virtual void AttachWindow(HWND wnd);
    virtual void DetachWindow(HWND wnd);

    // Services for terminal windows.
    bool RegisterTerminalWindow(SOCKET socket, HWND wnd);
    void UnregisterTerminalWindow(SOCKET socket, HWND wnd);
    TIpTelnetTerminal* GetMasterTerminal(SOCKET socket);
    void SetMasterTerminal(SOCKET socket, TIpTelnetTerminal* terminal);
    uint32_t PutBlock(SOCKET socket, const void* data, uint32_t size, bool closeAfterSend);
    uint32_t PutString(SOCKET socket, const std::string& s, bool closeAfterSend);

    void ResetStats(SOCKET socket);
    void GetStatRec(SOCKET socket, TIpSockStatRec& statRec);

    std::string GetLocalHostName();
    std::string WsaDescription();
    std::string WsaSystemStatus();
    uint16_t WsaVersion();
    static std::string AddrToStr(uint32_t address);
    static uint32_t StrToAddr(const std::string& text);
    // Blocking lookup: the first address, or 0.
    static uint32_t LookupName(const std::string& name);

  protected:
    // A name lookup for a connect has finished (error 0: addresses holds the answer).
    virtual void ConnectLookupDone(SOCKET, int, const std::vector<uint32_t>&) {}
    // Starts a lookup on a worker thread for the socket's connect.
    uintptr_t StartConnectLookup(SOCKET socket, const std::string& host);
    void CancelConnectLookup();

    const std::vector<HWND>& AttachedWindows() const { return FAttached; }

  private:
    // Called inside a catch block: hands the exception being handled to OnException, or
    // rethrows it when nobody took it.
    void HandleOwnException();

    struct TRequest {
        uintptr_t Handle = 0;
        int Kind = 0;
        SOCKET ForConnect = INVALID_SOCKET;
    };
    void HandleSocketEvent(const TMessage& message);
    void HandleAsyncReply(const TMessage& message);
    void HandleLineMessage(const TMessage& message);
    void WriteConnectionLine(const char* prefix, const TIpConnRec& connection);

    std::unique_ptr<TIpDebugLog> FDebugLog;
    std::unique_ptr<TIpEventLog> FEventLog;
    HWND FHandle = 0;
    TIpDataInits FSockInits;
    TIpSockProtocol FSockProtocol = spTcp;
    std::string FProtocolName = "tcp";
    int FSocketType = WS_SOCK_STREAM;
    uint32_t FTimerInterval = 0;
    uint32_t FLastTick = 0;
    std::vector<TRequest> FRequests;
    std::vector<HWND> FAttached;
    std::deque<std::pair<SOCKET, std::string>> FLines;
};

class TIpCustomClient : public TIpSockControl {
  public:
    explicit TIpCustomClient(void* owner = nullptr);
    ~TIpCustomClient() override;

    uint16_t DefaultPort = 0;
    // The proxy of new connections (none while its Address is empty).
    TIpSocksServerInfo SocksServer;

    SOCKET CreateSocket() override;
    void FreeSocket(SOCKET socket) override;
    bool IsActive() const override { return FSocket != nullptr; }
    TIpDataSocket* GetSocket(SOCKET socket, bool raiseIfNone) override;
    void DoStatus(SOCKET socket, TIpStatusType event, const TIpConnRec& connection) override;
    void AttachWindow(HWND wnd) override;
    void TimerElapsed(uint32_t ms) override;

    // Starts connecting to "host", "host:port" or a URL; the handle of the socket. Host names
    // are looked up on a worker thread; the connect follows the answer.
    virtual SOCKET ConnectSocket(const std::string& address);
    void Connect(const std::string& address) { ConnectSocket(address); }
    virtual void CloseSocket(SOCKET socket);
    void Disconnect();
    // Closes the connection without handing out anything more it received (TIpDataSocket::Drop):
    // for a client that has given up on what the server sends.
    void DropConnection();

    bool IsConnected() const { return FSocket && FSocket->Connected(); }
    SOCKET SocketHandle() const { return FSocket ? FSocket->Handle() : INVALID_SOCKET; }
    std::string GetRemoteAddress() const;
    void SetSocketIdleTimeout(uint32_t ms);
    bool UsingSSL() const;
    void SetUsingSSL(bool value);
    TIpDataSocket* Socket() const { return FSocket; }

    // Splits an address text into host and port (DefaultPort when none is given). Raises
    // "Destination address required" for an empty host.
    void ResolveHostPort(const std::string& address, std::string& host, uint16_t& port) const;

    // Test seam: makes the client's sockets (a double that feeds bytes through the real cutting
    // and queueing code). Null restores real sockets.
    using TSocketFactory = std::function<TIpDataSocket*(TIpCustomClient& client)>;
    void SetSocketFactory(TSocketFactory factory) { FFactory = std::move(factory); }

  protected:
    void ConnectLookupDone(SOCKET socket, int error, const std::vector<uint32_t>& addrs) override;

  private:
    void ReleaseSocket(TIpDataSocket* socket);

    TIpDataSocket* FSocket = nullptr;
    uint16_t FPendingPort = 0;
    TSocketFactory FFactory;
};

// The published client socket component (the telnet window uses it with a terminal).
class TIpClient : public TIpCustomClient {
  public:
    using TIpCustomClient::TIpCustomClient;
};
