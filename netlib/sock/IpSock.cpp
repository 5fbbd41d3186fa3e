#include "netlib/sock/IpSock.h"

#include <algorithm>
#include <cctype>

#include "netlib/base/IpUtils.h"
#include "netlib/sock/Limits.h"

namespace {

// Cancels a lookup; one that already answered is read and dropped, so nothing of it is kept.
void ForgetLookup(uintptr_t handle) {
    if (WinSock::WSACancelAsyncRequest(handle) != 0) {
        std::vector<uint32_t> discarded;
        WinSock::WSAGetAsyncHostResult(handle, discarded);
    }
}

constexpr UINT_PTR kTimerId = 1;

bool AllDigits(const std::string& s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

}  // namespace

// ---- TIpSockControl ----------------------------------------------------------------------------

TIpSockControl::TIpSockControl(void* owner) : TIpBaseComponent(owner) {
    IpWinSock();
    FHandle = AllocateHWnd(
        [this](TMessage& M) {
            try {
                WndProc(M);
            } catch (...) {
                HandleOwnException();
            }
        },
        this);
    FDebugLog = std::make_unique<TIpDebugLog>(this);
    FEventLog = std::make_unique<TIpEventLog>(this);
    FEventLog->SetDateTimeFormat("yyyy.mm.dd hh:nn:ss");
    FEventLog->SetFileName("event.log");
    SetTimerInterval(500);
    SetSockProtocol(spTcp);
}

TIpSockControl::~TIpSockControl() {
    SetTimerInterval(0);
    for (const TRequest& R : FRequests) ForgetLookup(R.Handle);
    FRequests.clear();
    try {
        FlushDebugLog();
    } catch (...) {
        Application.HandleException();
    }
    DeallocateHWnd(FHandle);
}

void TIpSockControl::HandleOwnException() {
    if (!OnException) throw;
    std::string Text;
    try {
        throw;
    } catch (const Exception& E) {
        Text = E.Message();
    } catch (const std::exception& E) {
        Text = E.what();
    } catch (...) {
        Text = "Unknown exception";
    }
    // The crash report behind a NUL is for the crash log, not for the task's log line.
    Text = Text.substr(0, Text.find('\0'));
    OnException(this, Text);
}

void TIpSockControl::FlushDebugLog() {
    if (FDebugLog && !FDebugLog->IsEmpty()) FDebugLog->WriteDebugLog();
}

void TIpSockControl::SetSockProtocol(TIpSockProtocol value) {
    if (IsActive()) throw EIpActiveError();
    FSockProtocol = value;
    FProtocolName = value == spTcp ? "tcp" : "udp";
    FSocketType = value == spTcp ? WS_SOCK_STREAM : WS_SOCK_DGRAM;
}

void TIpSockControl::SetTimerInterval(uint32_t value) {
    if (value == FTimerInterval) return;
    FTimerInterval = value;
    KillTimer(FHandle, kTimerId);
    if (value == 0) return;
    if (SetTimer(FHandle, kTimerId, value) == 0)
        throw Exception("Not enough system timers available");
    FLastTick = GetTickCount();
}

std::string TIpSockControl::FormatDebugEntry(uint32_t socket, uint32_t entryType, const void* data,
                                             uint32_t size) {
    return IpFormatSocketEntry(socket, entryType, data, size);
}

TIpDataSocket* TIpSockControl::GetSocket(SOCKET, bool raiseIfNone) {
    if (raiseIfNone) throw EIpNoSocketError();
    return nullptr;
}

void TIpSockControl::DoAddressReply(uintptr_t handle, uint32_t address) {
    if (OnAddressReply) OnAddressReply(this, handle, address);
    Application.ProcessMessages();
}

void TIpSockControl::DoError(SOCKET socket, int32_t errCode, const std::string& errStr) {
    if (OnError) OnError(this, socket, errCode, errStr);
    Application.ProcessMessages();
}

void TIpSockControl::DoErrorReply(uintptr_t handle, int32_t errCode, const std::string& errStr) {
    if (OnErrorReply) OnErrorReply(this, handle, errCode, errStr);
    Application.ProcessMessages();
}

void TIpSockControl::DoIdleTimeout(SOCKET socket, bool& reset) {
    if (OnIdleTimeout) OnIdleTimeout(this, socket, reset);
    Application.ProcessMessages();
}

void TIpSockControl::DoItemSent(SOCKET socket, uint32_t handle, uint32_t remaining) {
    if (OnItemSent) OnItemSent(this, socket, handle, remaining);
    Application.ProcessMessages();
}

void TIpSockControl::DoNameReply(uintptr_t handle, const std::string& name) {
    if (OnNameReply) OnNameReply(this, handle, name);
    Application.ProcessMessages();
}

void TIpSockControl::DoPortReply(uintptr_t handle, uint16_t port) {
    if (OnPortReply) OnPortReply(this, handle, port);
    Application.ProcessMessages();
}

void TIpSockControl::DoServiceReply(uintptr_t handle, const std::string& service) {
    if (OnServiceReply) OnServiceReply(this, handle, service);
    Application.ProcessMessages();
}

// Lines wait in the component's own queue; the posted message only says that one is there, so a
// message dropped with the window loses no memory.
void TIpSockControl::DoReadLine(SOCKET socket, const std::string& line) {
    if (DirectLines) {
        if (OnReadLine) OnReadLine(this, socket, line);
        Application.ProcessMessages();
        return;
    }
    FLines.emplace_back(socket, line);
    PostMessage(FHandle, WM_IPLINE, static_cast<WPARAM>(socket), 0);
    Application.ProcessMessages();
}

void TIpSockControl::HandleLineMessage(const TMessage&) {
    if (FLines.empty()) return;
    std::pair<SOCKET, std::string> Item = std::move(FLines.front());
    FLines.pop_front();
    if (OnReadLine) {
        OnReadLine(this, Item.first, Item.second);
        Application.ProcessMessages();
    }
}

void TIpSockControl::WriteConnectionLine(const char* prefix, const TIpConnRec& c) {
    const std::string Local = AddrToStr(c.LocalAddress) + ":" + std::to_string(c.LocalPort);
    const std::string Remote = AddrToStr(c.RemoteAddress) + ":" + std::to_string(c.RemotePort);
    FEventLog->WriteEventString(std::string(prefix) + "Loc: " + Local + " Rem: " + Remote);
}

void TIpSockControl::DoStatus(SOCKET socket, TIpStatusType event, const TIpConnRec& connection) {
    if (OnStatus && (StatusEvents & StatusBit(event))) {
        TIpSockStatRec Stat;
        GetStatRec(socket, Stat);
        OnStatus(this, socket, event, connection, Stat);
        Application.ProcessMessages();
    }
    if (event == stConnect) WriteConnectionLine("Connect: ", connection);
    if (event == stDisconnect) WriteConnectionLine("Close:   ", connection);
}

void TIpSockControl::SocketConnect(SOCKET socket) {
    if (TIpDataSocket* S = GetSocket(socket, false)) S->HandleConnect();
}

void TIpSockControl::SocketOutOfBand(SOCKET socket) {
    if (TIpDataSocket* S = GetSocket(socket, false)) S->HandleOutOfBand();
}

void TIpSockControl::SocketRead(SOCKET socket) {
    TIpDataSocket* S = GetSocket(socket, false);
    if (!S) return;
    {
        TDispatchScope Scope(S);
        S->HandleRead();
    }
    // A close notice that came while the read loop ran is handled now that it has returned.
    S = GetSocket(socket, false);
    if (S && !S->Reading() && S->ClosePending()) SocketClose(socket);
}

void TIpSockControl::SocketWrite(SOCKET socket) {
    if (TIpDataSocket* S = GetSocket(socket, false)) S->HandleWrite();
}

void TIpSockControl::SocketClose(SOCKET socket) {
    TIpDataSocket* S = GetSocket(socket, false);
    if (!S) return;
    if (S->Reading()) {
        S->SetClosePending();
        return;
    }
    // A close notice that comes while this socket's own close hands out the last data (a
    // handler ran a pass of the message loop) belongs to that close: it reports the disconnect,
    // and whoever runs it frees the socket afterwards. Freed now, the socket would be gone
    // before its disconnect is reported.
    if (S->Closing()) return;
    {
        TDispatchScope Scope(S);
        S->HandleClose();
    }
    if (GetSocket(socket, false)) FreeSocket(socket);
}

void TIpSockControl::TimerTick() {
    const uint32_t Now = GetTickCount();
    // Unsigned subtraction measures across the 32-bit wrap exactly.
    const uint32_t Elapsed = Now - FLastTick;
    FLastTick = Now;
    TimerElapsed(Elapsed);
}

void TIpSockControl::HandleSocketEvent(const TMessage& message) {
    const SOCKET Socket = static_cast<SOCKET>(message.WParam);
    const uint16_t Event = LOWORD(static_cast<uintptr_t>(message.LParam));
    const uint16_t Error = HIWORD(static_cast<uintptr_t>(message.LParam));
    // A notice for a socket that is gone (closed, or replaced by a new one) is stale.
    if (!GetSocket(Socket, false)) return;
    try {
        if (Error != 0) {
            DoError(Socket, Error, EIpWinSockError::FormatMessage(Error, IpSocketEventName(Event)));
            if (Event == FD_CLOSE) SocketClose(Socket);
            return;
        }
        switch (Event) {
            case FD_READ:
                SocketRead(Socket);
                break;
            case FD_WRITE:
                SocketWrite(Socket);
                break;
            case FD_OOB:
                SocketOutOfBand(Socket);
                break;
            case FD_ACCEPT:
                SocketAccept(Socket);
                break;
            case FD_CONNECT:
                SocketConnect(Socket);
                break;
            case FD_CLOSE:
                SocketClose(Socket);
                break;
            default:
                break;
        }
    } catch (const EIpWinSockError& E) {
        DoError(Socket, E.ErrorCode(), E.Message());
    } catch (const EIpSSLError& E) {
        // A failed handshake or a damaged record ends the transfer like a socket error: the
        // task hears of it through its error event, not the program's exception handler.
        DoError(Socket, 0, E.Message());
    }
}

uintptr_t TIpSockControl::StartConnectLookup(SOCKET socket, const std::string& host) {
    TRequest R;
    R.Kind = 0;
    R.ForConnect = socket;
    R.Handle = WinSock::WSAAsyncGetHostByName(FHandle, WM_IPASYNCREPLY, host);
    FRequests.push_back(R);
    return R.Handle;
}

void TIpSockControl::CancelConnectLookup() {
    for (auto It = FRequests.begin(); It != FRequests.end();) {
        if (It->ForConnect != INVALID_SOCKET) {
            ForgetLookup(It->Handle);
            It = FRequests.erase(It);
        } else {
            ++It;
        }
    }
}

void TIpSockControl::HandleAsyncReply(const TMessage& message) {
    const uintptr_t Handle = message.WParam;
    const int Error = HIWORD(static_cast<uintptr_t>(message.LParam));
    auto It = std::find_if(FRequests.begin(), FRequests.end(),
                           [Handle](const TRequest& R) { return R.Handle == Handle; });
    if (It == FRequests.end()) return;
    const TRequest R = *It;
    FRequests.erase(It);
    std::vector<uint32_t> Addresses;
    WinSock::WSAGetAsyncHostResult(Handle, Addresses);
    if (R.ForConnect != INVALID_SOCKET) {
        ConnectLookupDone(R.ForConnect, Error, Addresses);
        return;
    }
    if (Error != 0) {
        DoErrorReply(Handle, Error,
                     EIpWinSockError::FormatMessage(Error, IpAsyncRequestName(R.Kind)));
        return;
    }
    if (R.Kind == 0 && !Addresses.empty()) DoAddressReply(Handle, Addresses.front());
}

void TIpSockControl::WndProc(TMessage& message) {
    switch (message.Msg) {
        case WM_TIMER:
            try {
                TimerTick();
            } catch (...) {
                // A failing tick handler would fail on every tick; the component stops ticking.
                SetTimerInterval(0);
                HandleOwnException();
            }
            break;
        case WM_QUERYENDSESSION:
            message.Result = 1;
            break;
        case WM_IPSOCKETEVENT:
            HandleSocketEvent(message);
            break;
        case WM_IPASYNCREPLY:
            HandleAsyncReply(message);
            break;
        case WM_IPFREESOCKET:
            if (GetSocket(static_cast<SOCKET>(message.WParam), false))
                FreeSocket(static_cast<SOCKET>(message.WParam));
            break;
        case WM_IPLINE:
            HandleLineMessage(message);
            break;
        case WM_IPTERMRESIZE:
            if (TIpDataSocket* S = GetSocket(static_cast<SOCKET>(message.WParam), false))
                if (S->Filter()) S->Filter()->WindowSizeChanged(*S);
            break;
        default:
            break;
    }
}

void TIpSockControl::AttachWindow(HWND wnd) {
    FAttached.push_back(wnd);
}

void TIpSockControl::DetachWindow(HWND wnd) {
    auto It = std::find(FAttached.begin(), FAttached.end(), wnd);
    if (It != FAttached.end()) FAttached.erase(It);
}

bool TIpSockControl::RegisterTerminalWindow(SOCKET socket, HWND wnd) {
    TIpDataSocket* S = GetSocket(socket, false);
    if (!S) return false;
    S->RegisterTerminalWindow(wnd);
    return true;
}

void TIpSockControl::UnregisterTerminalWindow(SOCKET socket, HWND wnd) {
    if (TIpDataSocket* S = GetSocket(socket, false)) S->UnregisterTerminalWindow(wnd);
}

TIpTelnetTerminal* TIpSockControl::GetMasterTerminal(SOCKET socket) {
    TIpDataSocket* S = GetSocket(socket, false);
    return S ? S->GetMasterTerminal() : nullptr;
}

void TIpSockControl::SetMasterTerminal(SOCKET socket, TIpTelnetTerminal* terminal) {
    if (TIpDataSocket* S = GetSocket(socket, false)) S->SetMasterTerminal(terminal);
}

uint32_t TIpSockControl::PutBlock(SOCKET socket, const void* data, uint32_t size,
                                  bool closeAfterSend) {
    return GetSocket(socket, true)->PutBlock(data, size, closeAfterSend);
}

uint32_t TIpSockControl::PutString(SOCKET socket, const std::string& s, bool closeAfterSend) {
    return GetSocket(socket, true)->PutString(s, closeAfterSend);
}

void TIpSockControl::ResetStats(SOCKET socket) {
    GetSocket(socket, true)->ResetStats();
}

void TIpSockControl::GetStatRec(SOCKET socket, TIpSockStatRec& statRec) {
    statRec = GetSocket(socket, true)->GetStatRec();
}

std::string TIpSockControl::GetLocalHostName() {
    std::string Name;
    return WinSock::gethostname(Name) == 0 ? Name : std::string();
}

std::string TIpSockControl::WsaDescription() {
    return IpWinSock().Data().szDescription;
}
std::string TIpSockControl::WsaSystemStatus() {
    return IpWinSock().Data().szSystemStatus;
}
uint16_t TIpSockControl::WsaVersion() {
    return IpWinSock().Data().wVersion;
}

std::string TIpSockControl::AddrToStr(uint32_t address) {
    return WinSock::inet_ntoa(address);
}

uint32_t TIpSockControl::StrToAddr(const std::string& text) {
    return WinSock::inet_addr(text.substr(0, 15));
}

uint32_t TIpSockControl::LookupName(const std::string& name) {
    std::vector<uint32_t> Addresses;
    if (WinSock::gethostbyname(name, Addresses) != 0 || Addresses.empty()) return 0;
    return Addresses.front();
}

// ---- TIpCustomClient ---------------------------------------------------------------------------

TIpCustomClient::TIpCustomClient(void* owner) : TIpSockControl(owner) {}

TIpCustomClient::~TIpCustomClient() {
    CancelConnectLookup();
    if (FSocket) {
        TIpDataSocket* S = FSocket;
        FSocket = nullptr;
        S->DetachOwner();
        ReleaseSocket(S);
    }
}

void TIpCustomClient::ReleaseSocket(TIpDataSocket* socket) {
    // A socket whose own handler is on the stack is freed once that has returned.
    if (socket->DispatchDepth() > 0)
        Application.ReleaseLater(socket);
    else
        delete socket;
}

SOCKET TIpCustomClient::CreateSocket() {
    if (FFactory) {
        FSocket = FFactory(*this);
    } else {
        FSocket = new TIpDataSocket(this, &SockInits(), &LocalAddress, INVALID_SOCKET);
    }
    FSocket->SetFilter(IpMakeSocketFilter(SocksServer, SockInits().SocketOptions));
    return FSocket->Handle();
}

void TIpCustomClient::FreeSocket(SOCKET socket) {
    TIpDataSocket* S = GetSocket(socket, true);
    FSocket = nullptr;
    CancelConnectLookup();
    ReleaseSocket(S);
}

TIpDataSocket* TIpCustomClient::GetSocket(SOCKET socket, bool raiseIfNone) {
    if (FSocket && FSocket->Handle() == socket) return FSocket;
    if (raiseIfNone) throw EIpNoSocketError();
    return nullptr;
}

void TIpCustomClient::DoStatus(SOCKET socket, TIpStatusType event, const TIpConnRec& connection) {
    TIpSockControl::DoStatus(socket, event, connection);
    if (event == stConnect || event == stDisconnect) {
        const LPARAM L = MAKELPARAM(event == stConnect ? 1 : 2, 1);
        const std::vector<HWND> Windows = AttachedWindows();
        for (HWND Wnd : Windows) PostMessage(Wnd, WM_IPSTATUS, static_cast<WPARAM>(socket), L);
        Application.ProcessMessages();
    }
}

void TIpCustomClient::AttachWindow(HWND wnd) {
    if (IsConnected()) PostMessage(wnd, WM_IPSTATUS, FSocket->Handle(), MAKELPARAM(1, 1));
    TIpSockControl::AttachWindow(wnd);
}

void TIpCustomClient::TimerElapsed(uint32_t ms) {
    if (!FSocket) return;
    TIpDataSocket* S = FSocket;
    TDispatchScope Scope(S);
    S->TimerElapsed(ms);
}

void TIpCustomClient::ResolveHostPort(const std::string& address, std::string& host,
                                      uint16_t& port) const {
    if (address.size() > SockLimits::kMaxAddressLength) throw EIpWinSockError(WSAEINVAL, "Connect");
    std::string PortText;
    if (address.find("://") != std::string::npos) {
        TIpAddrRec Rec;
        ParseURL(address, Rec);
        host = Rec.Authority;
        PortText = Rec.Port;
    } else {
        // "host" or "host:port": the URL parser would take a dotless host for a scheme.
        host = address;
        const size_t Colon = address.rfind(':');
        if (Colon != std::string::npos && AllDigits(address.substr(Colon + 1))) {
            host = address.substr(0, Colon);
            PortText = address.substr(Colon + 1);
        }
    }
    if (host.empty()) throw EIpWinSockError("Destination address required");
    port = DefaultPort;
    if (!PortText.empty()) {
        if (!AllDigits(PortText) || PortText.size() > 5 || std::stoul(PortText) > 65535)
            throw EIpWinSockError(WSAEINVAL, "Connect");
        port = static_cast<uint16_t>(std::stoul(PortText));
    }
}

SOCKET TIpCustomClient::ConnectSocket(const std::string& address) {
    if (FSocket && FSocket->Connected()) throw EIpWinSockError("Socket is already connected");
    // A socket that tried a connect before is replaced; its settings carry over.
    if (FSocket && FSocket->ConnectStarted()) {
        const bool Ssl = FSocket->UsingSSL();
        FreeSocket(FSocket->Handle());
        CreateSocket();
        if (Ssl) FSocket->SetUsingSSL(true);
    }
    std::string Host;
    uint16_t Port = 0;
    ResolveHostPort(address, Host, Port);
    if (!FSocket) CreateSocket();
    CancelConnectLookup();
    TSockAddrIn Addr;
    Addr.sin_port = WinSock::HostToNetShort(Port);
    uint32_t Ip = Host == "255.255.255.255" ? 0xFFFFFFFFu : WinSock::inet_addr(Host);
    TIpDataSocket* S = FSocket;
    if (Ip == WS_INADDR_NONE && Host != "255.255.255.255") {
        // Host names are looked up off the user-interface thread; the connect follows.
        FPendingPort = Port;
        S->PrepareConnect(address);
        if (!S->NeedsLookup()) {
            S->Connect(Addr, address);
            return S->Handle();
        }
        StartConnectLookup(S->Handle(), Host);
        return S->Handle();
    }
    Addr.sin_addr = Ip;
    S->Connect(Addr, address);
    return S->Handle();
}

void TIpCustomClient::ConnectLookupDone(SOCKET socket, int error,
                                        const std::vector<uint32_t>& addrs) {
    TIpDataSocket* S = GetSocket(socket, false);
    if (!S || S->Connected() || S->IsClosed()) return;
    if (error != 0 || addrs.empty()) {
        // Nothing usable came back; WinSock reports that as an address that cannot be assigned.
        DoError(socket, WSAEADDRNOTAVAIL,
                EIpWinSockError::FormatMessage(WSAEADDRNOTAVAIL, "Connect"));
        return;
    }
    TSockAddrIn Addr;
    Addr.sin_port = WinSock::HostToNetShort(FPendingPort);
    Addr.sin_addr = addrs.front();
    try {
        S->Connect(Addr, S->GetAddressText());
    } catch (const EIpWinSockError& E) {
        DoError(socket, E.ErrorCode(), E.Message());
    }
}

void TIpCustomClient::CloseSocket(SOCKET socket) {
    TIpDataSocket* S = GetSocket(socket, false);
    if (!S) return;
    {
        TDispatchScope Scope(S);
        S->Close();
    }
    if (GetSocket(socket, false)) FreeSocket(socket);
}

void TIpCustomClient::Disconnect() {
    if (FSocket) CloseSocket(FSocket->Handle());
}

void TIpCustomClient::DropConnection() {
    if (!FSocket) return;
    const SOCKET Handle = FSocket->Handle();
    {
        TDispatchScope Scope(FSocket);
        FSocket->Drop();
    }
    if (GetSocket(Handle, false)) FreeSocket(Handle);
}

std::string TIpCustomClient::GetRemoteAddress() const {
    if (!FSocket) throw EIpNoSocketError();
    return FSocket->GetAddressText();
}

void TIpCustomClient::SetSocketIdleTimeout(uint32_t ms) {
    if (!FSocket) throw EIpNoSocketError();
    FSocket->SetIdleTimeout(ms);
}

bool TIpCustomClient::UsingSSL() const {
    if (!FSocket) throw EIpNoSocketError();
    return FSocket->UsingSSL();
}

void TIpCustomClient::SetUsingSSL(bool value) {
    if (!FSocket) CreateSocket();
    if (FSocket->UsingSSL() != value) FSocket->SetUsingSSL(value);
}
