#include "netlib/sock/IpDataSocket.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <string>

#include "netlib/sock/IpSock.h"
#include "platform/classes/Classes.h"

namespace {

TIpSecureLayerFactory SecureFactory = nullptr;

const TSockAddrIn EmptyAddress{};

bool IsEmptyAddress(const TSockAddrIn& a) {
    return std::memcmp(&a, &EmptyAddress, sizeof(a)) == 0;
}

// Runs a socket operation as a handler of the socket: a free requested meanwhile waits until
// the outermost one has returned.
using TSocketScope = TDispatchScope;

// Holds one of the socket's state flags at a value while a step runs, and clears it however
// that step ends.
class TFlagScope {
  public:
    explicit TFlagScope(bool& flag, bool value = true) : FFlag(flag) { FFlag = value; }
    ~TFlagScope() { FFlag = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

  private:
    bool& FFlag;
};

}  // namespace

// ---- TIpBaseSocket -----------------------------------------------------------------------------

TIpBaseSocket::TIpBaseSocket(TIpSockControl* owner, const TIpDataInits* inits,
                             const TSockAddrIn* localAddress, SOCKET existingHandle)
    : FOwner(owner) {
    IpWinSock();
    FSocketType = owner ? owner->SocketType() : WS_SOCK_STREAM;
    if (existingHandle == INVALID_SOCKET) {
        CreateSocket(localAddress, inits);
        return;
    }
    FHandle = existingHandle;
    FHandleOpen = true;
    int32_t Type = 0;
    if (WinSock::getsockopt(FHandle, WS_SOL_SOCKET, WS_SO_TYPE, Type) == SOCKET_ERROR)
        throw EIpWinSockError(WinSock::WSAGetLastError(), "GetSockOpt");
    FSocketType = Type;
    if (inits) SetSocketOptions(inits->SocketOptions);
    WinSock::getsockname(FHandle, FLocalAddress);
    WinSock::getpeername(FHandle, FRemoteAddress);
    FConnected = true;
    // A socket handed over connected has nothing left to negotiate.
    FNegotiation = ngDone;
}

TIpBaseSocket::TIpBaseSocket(TIpSockControl* owner, SOCKET reservedHandle, TNoDescriptor)
    : FHandle(reservedHandle), FOwner(owner) {}

// Sockets made for test doubles have no descriptor: the double passes a reserved handle and
// never registers it with the binding.
void TIpBaseSocket::CreateSocket(const TSockAddrIn* localAddress, const TIpDataInits* inits) {
    FHandle = WinSock::socket(WS_AF_INET, FSocketType, 0);
    if (FHandle == INVALID_SOCKET) throw EIpWinSockError(WinSock::WSAGetLastError(), "Socket");
    FHandleOpen = true;
    if (inits) SetSocketOptions(inits->SocketOptions);
    if (localAddress && !IsEmptyAddress(*localAddress)) {
        FLocalAddress = *localAddress;
        if (WinSock::bind(FHandle, FLocalAddress) == SOCKET_ERROR)
            throw EIpWinSockError(WinSock::WSAGetLastError(), "Bind");
    }
}

TIpBaseSocket::~TIpBaseSocket() {
    if (FHandleOpen) {
        FHandleOpen = false;
        WinSock::closesocket(FHandle);
    }
}

void TIpBaseSocket::AsyncSelect() {
    if (!FHandleOpen || !FOwner) return;
    if (WinSock::WSAAsyncSelect(FHandle, FOwner->Handle(), WM_IPSOCKETEVENT,
                                FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE) == SOCKET_ERROR)
        throw EIpWinSockError(WinSock::WSAGetLastError(), "WsaAsyncSelect");
}

void TIpBaseSocket::SetSocketOptions(TIpSockOptionSet options) {
    struct TOpt {
        TIpSockOptionSet Bit;
        int Level;
        int Name;
        bool StreamOnly;
        bool DgramOnly;
    };
    static const TOpt Table[] = {
        {soBroadcast, WS_SOL_SOCKET, WS_SO_BROADCAST, false, true},
        {soNoDelay, WS_IPPROTO_TCP, WS_TCP_NODELAY, true, false},
        {soKeepAlive, WS_SOL_SOCKET, WS_SO_KEEPALIVE, true, false},
        {soDebug, WS_SOL_SOCKET, WS_SO_DEBUG, false, false},
        {soDontRoute, WS_SOL_SOCKET, WS_SO_DONTROUTE, false, false},
        {soReuseAddr, WS_SOL_SOCKET, WS_SO_REUSEADDR, false, false},
    };
    for (const TOpt& O : Table) {
        if (O.StreamOnly && FSocketType != WS_SOCK_STREAM) continue;
        if (O.DgramOnly && FSocketType != WS_SOCK_DGRAM) continue;
        // Debugging needs privileges the program does not have; only switching it on can fail.
        if (O.Bit == soDebug && !(options & soDebug)) continue;
        if (WinSock::setsockopt(FHandle, O.Level, O.Name, (options & O.Bit) ? -1 : 0) ==
            SOCKET_ERROR)
            throw EIpWinSockError(WinSock::WSAGetLastError(), "SetSockOpt");
    }
    FOptions = options;
}

TIpConnRec TIpBaseSocket::ConnRec() const {
    TIpConnRec R;
    R.RemoteAddress = FRemoteAddress.sin_addr;
    R.RemotePort = WinSock::NetToHostShort(FRemoteAddress.sin_port);
    R.LocalAddress = FLocalAddress.sin_addr;
    R.LocalPort = WinSock::NetToHostShort(FLocalAddress.sin_port);
    return R;
}

void TIpBaseSocket::Connect(const TSockAddrIn& addr, const std::string& addressText) {
    ConnectThrough(addr, addressText, addr, "Connect");
}

void TIpBaseSocket::ConnectThrough(const TSockAddrIn& target, const std::string& addressText,
                                   const TSockAddrIn& via, const char* apiName) {
    FAddressText = addressText;
    FRemoteAddress = target;
    FConnectStarted = true;
    if (ApiConnect(via) == SOCKET_ERROR) {
        const int Err = ApiLastError();
        if (Err != WSAEWOULDBLOCK) throw EIpWinSockError(Err, apiName);
    }
}

void TIpBaseSocket::SetConnected(bool value) {
    FConnected = value;
}

void TIpBaseSocket::HandleConnect() {
    if (FConnected || FClosed) return;
    TSocketScope Scope(this);
    SetConnected(true);
    ApiLocalAddress(FLocalAddress);
    ReportConnect();
}

void TIpBaseSocket::ReportConnect() {
    if (FOwner) FOwner->DoStatus(FHandle, stConnect, ConnRec());
}

void TIpBaseSocket::HandleClose() {
    SetConnected(false);
}

void TIpBaseSocket::Close() {
    if (FHandleOpen) {
        FHandleOpen = false;
        ApiClose();
    }
    if (FOwner) FOwner->DoStatus(FHandle, stDisconnect, ConnRec());
}

int TIpBaseSocket::ApiRecv(void* buf, int len) {
    return WinSock::recv(FHandle, buf, len, 0);
}
int TIpBaseSocket::ApiSend(const void* buf, int len) {
    return WinSock::send(FHandle, buf, len, 0);
}
int TIpBaseSocket::ApiConnect(const TSockAddrIn& addr) {
    return WinSock::connect(FHandle, addr);
}
void TIpBaseSocket::ApiShutdown() {
    WinSock::shutdown(FHandle, SD_SEND);
}
void TIpBaseSocket::ApiClose() {
    WinSock::closesocket(FHandle);
}
void TIpBaseSocket::ApiLocalAddress(TSockAddrIn& addr) {
    WinSock::getsockname(FHandle, addr);
}
int TIpBaseSocket::ApiLastError() {
    return WinSock::WSAGetLastError();
}
bool TIpBaseSocket::ApiDataWaiting() {
    char Byte;
    return WinSock::recv(FHandle, &Byte, 1, WS_MSG_PEEK) > 0;
}

// ---- TIpDataSocket -----------------------------------------------------------------------------

TIpDataSocket::TIpDataSocket(TIpSockControl* owner, const TIpDataInits* inits,
                             const TSockAddrIn* localAddress, SOCKET existingHandle)
    : TIpBaseSocket(owner, inits, localAddress, existingHandle) {
    Init(inits);
}

TIpDataSocket::TIpDataSocket(TIpSockControl* owner, const TIpDataInits* inits,
                             SOCKET reservedHandle, TNoDescriptor tag)
    : TIpBaseSocket(owner, reservedHandle, tag) {
    Init(inits);
}

void TIpDataSocket::Init(const TIpDataInits* inits) {
    const TIpDataInits Defaults;
    const TIpDataInits& I = inits ? *inits : Defaults;
    FixedLineLength = I.FixedLineLength;
    FIdleTimeout = I.IdleTimeout;
    LineTermChar = I.LineTermChar;
    LineTerminator = I.LineTerminator;
    LogOptions = I.LogOptions;
    ReceiveMode = I.ReceiveMode;
    StripLineTerminator = I.StripLineTerminator;
    if (FHandleOpen) {
        SetReceiveBufferSize(I.ReceiveBufferSize);
        SetSendBufferSize(I.SendBufferSize);
    }
    SetUsingSSL(I.UsingSSL);
    FReadyToSend = FConnected;
    AsyncSelect();
}

TIpDataSocket::~TIpDataSocket() = default;

void TIpDataSocket::SetUsingSSL(bool value) {
    if (FConnected) throw EIpSSLError("SSLRecv : Can not change SSL status while connected.");
    if (value && !SecureFactory) throw EIpSSLError("SSL is not available in this program.");
    FUsingSSL = value;
    if (!value) FSecure.reset();
}

void TIpDataSocket::SetSecureLayerFactory(TIpSecureLayerFactory factory) {
    SecureFactory = factory;
}

// Sizes only ever grow the system's buffers: setting a size switches off the system's own tuning,
// and the small sizes the settings carry (4096) would cut loopback and LAN transfers to a
// fraction of their speed.
void TIpDataSocket::SetBufferSize(int option, int32_t size) {
    int32_t Current = 0;
    if (WinSock::getsockopt(FHandle, WS_SOL_SOCKET, option, Current) != SOCKET_ERROR &&
        Current >= size)
        return;
    while (size > SockLimits::kBufferSizeFloor) {
        if (WinSock::setsockopt(FHandle, WS_SOL_SOCKET, option, size) != SOCKET_ERROR) return;
        const int Err = WinSock::WSAGetLastError();
        if (Err == WSAENOPROTOOPT || Err == WSAEINVAL) return;
        size /= 2;
    }
}

void TIpDataSocket::SetReceiveBufferSize(int32_t size) {
    SetBufferSize(WS_SO_RCVBUF, size);
}
void TIpDataSocket::SetSendBufferSize(int32_t size) {
    SetBufferSize(WS_SO_SNDBUF, size);
}

void TIpDataSocket::UnregisterTerminalWindow(HWND wnd) {
    auto It = std::find(FTerminalWindows.begin(), FTerminalWindows.end(), wnd);
    if (It != FTerminalWindows.end()) FTerminalWindows.erase(It);
}

void TIpDataSocket::Connect(const TSockAddrIn& addr, const std::string& addressText) {
    FHead = FTail = 0;
    FStats = TIpSockStatRec();
    FActivity = false;
    TSockAddrIn Proxy;
    if (FFilter && FFilter->ProxyAddress(*this, Proxy)) {
        ConnectThrough(addr, addressText, Proxy, "SocksConnect");
        return;
    }
    TIpBaseSocket::Connect(addr, addressText);
}

void TIpDataSocket::HandleConnect() {
    if (FConnected || FClosed) return;
    TSocketScope Scope(this);
    SetConnected(true);
    ApiLocalAddress(FLocalAddress);
    if (FFilter && FFilter->StartNegotiation(*this)) {
        FNegotiation = ngFilter;
        return;
    }
    NegotiationDone();
}

void TIpDataSocket::NegotiationDone() {
    if (FClosed) return;
    if (FUsingSSL && SecureFactory) {
        if (!FSecure) FSecure = SecureFactory();
        FNegotiation = ngSecure;
        FSecure->Start(*this);
        return;
    }
    FNegotiation = ngDone;
    ReleaseHeld();
    if (!FClosed) ReportConnect();
}

void TIpDataSocket::HandshakeDone() {
    if (FClosed) return;
    FNegotiation = ngDone;
    ReleaseHeld();
    if (!FClosed) ReportConnect();
}

bool TIpDataSocket::HoldsUserData() const {
    switch (FNegotiation) {
        case ngFilter:
        case ngSecure:
            return true;
        case ngDirect:
            // Not connected yet: a negotiation may still come first.
            return FUsingSSL || FFilter != nullptr;
        case ngDone:
            return false;
    }
    return false;
}

void TIpDataSocket::ReleaseHeld() {
    if (FHeld.empty()) return;
    TSocketScope Scope(this);
    while (!FHeld.empty()) {
        FQueue.push_back(std::move(FHeld.front()));
        FHeld.pop_front();
    }
    while (SendNextItem()) {
    }
}

// The connection is up: the filter negotiates first, then the secure layer shakes hands, and
// only then is the connection reported.
void TIpDataSocket::HandleClose() {
    TSocketScope Scope(this);
    if (!FClosed) Close();
}

void TIpDataSocket::TimerElapsed(uint32_t ms) {
    TSocketScope Scope(this);
    // The tick's time is over before the progress report runs a pass of the message loop: a read
    // in that pass takes what was waiting, and the time before it would then look idle.
    if (!FClosed) AddElapsed(ms);
    if (FActivity && FNegotiation != ngSecure) {
        FActivity = false;
        if (FOwner) FOwner->DoStatus(FHandle, stProgress, ConnRec());
    }
}

void TIpDataSocket::AddElapsed(uint32_t ms) {
    const bool ReadMeanwhile = FReadSinceTick;
    FReadSinceTick = false;
    FIdleElapsed += ms;
    if (FIdleTimeout == 0 || FIdleElapsed <= FIdleTimeout) return;
    // A tick that comes after a long handler, a long read or a stalled machine may carry more
    // than the idle time-out. The peer was not the one that was idle when its bytes still wait
    // (their read notice is on its way) or were read since the last tick (a read that caught up
    // with the peer leaves nothing waiting, yet how much of the tick came before it is unknown).
    if (ReadMeanwhile || DataWaiting()) {
        ResetIdle();
        return;
    }
    IdleTimeoutFired();
}

bool TIpDataSocket::DataWaiting() {
    return FHandleOpen && FConnected && !FClosed && ApiDataWaiting();
}

void TIpDataSocket::IdleTimeoutFired() {
    bool Reset = false;
    if (FOwner) FOwner->DoIdleTimeout(FHandle, Reset);
    if (Reset) ResetIdle();
}

void TIpDataSocket::ResetStats() {
    FStats.BytesReceived = FStats.BytesSent = FStats.RawBytesReceived = FStats.RawBytesSent = 0;
    FActivity = false;
}

// ---- receiving ---------------------------------------------------------------------------------

void TIpDataSocket::HandleRead() {
    ResetIdle();
    // A notice that arrives while this socket's read loop is further up the stack (a handler ran
    // a pass of the message loop) is left to that loop, which reads until nothing is waiting.
    if (FReading > 0) {
        FReadAgain = true;
        return;
    }
    TSocketScope Scope(this);
    ++FReading;
    try {
        do {
            FReadAgain = false;
            while (!FClosed && ReadData(false) > 0)
                while (!FClosed && ProcessReceived()) {
                }
        } while (FReadAgain && !FClosed);
    } catch (...) {
        --FReading;
        throw;
    }
    --FReading;
}

uint32_t TIpDataSocket::ReadData(bool force) {
    if (!FHandleOpen || (!force && !FConnected)) return 0;
    if (FHead == FTail) {
        FHead = FTail = 0;
    } else if (FHead > 0 && FTail > SockLimits::kCompactThreshold) {
        // Compact only before reading: moving the rest after every line would copy the
        // buffer many times over.
        std::memmove(FBuffer, FBuffer + FHead, FTail - FHead);
        FTail -= FHead;
        FHead = 0;
    }
    const uint32_t Room = SockLimits::kReceiveBufferSize - FTail;
    if (Room == 0) return 0;
    char* At = FBuffer + FTail;
    int N;
    if (FUsingSSL && FSecure) {
        N = static_cast<int>(FSecure->Read(*this, At, Room));
    } else {
        N = ApiRecv(At, static_cast<int>(Room));
        if (N < 0) {
            const int Err = ApiLastError();
            if (Err == WSAEWOULDBLOCK || Err == WSAENOTCONN || force) return 0;
            // A reset is reported once, by the close notice the binding posts for it.
            if (Err == WSAECONNRESET || Err == WSAECONNABORTED) return 0;
            throw EIpWinSockError(Err, "Recv");
        }
        if (N > 0 && (LogOptions & loLowData) && FOwner)
            FOwner->DebugLog().AddDebugEntry(nullptr, FHandle, deLowRecv, At, N);
    }
    if (N <= 0) return 0;
    FReadSinceTick = true;
    uint32_t Count = static_cast<uint32_t>(N);
    FStats.RawBytesReceived += Count;
    FStats.TotalRawBytesReceived += Count;
    if (FFilter) Count = FFilter->Received(*this, At, Count);
    if (FOptions & soStripHighBit)
        for (uint32_t I = 0; I < Count; ++I) At[I] = static_cast<char>(At[I] & 0x7F);
    if ((FOptions & soEchoReceived) && Count) QueueItem(At, Count, false, true, false, nullptr);
    if (FOptions & soDiscardReceived) Count = 0;
    if (Count && (LogOptions & loHighData) && FOwner)
        FOwner->DebugLog().AddDebugEntry(nullptr, FHandle, deHighRead, At, Count);
    if (Count && !FTerminalWindows.empty()) {
        // One read-only copy for every terminal window; the queue owns it, so a block queued for
        // a window that dies before delivery is freed with the dropped message.
        auto Copy = std::make_shared<std::string>(At, Count);
        const auto Data = reinterpret_cast<WPARAM>(Copy->data());
        for (HWND Wnd : FTerminalWindows) PostMessage(Wnd, WM_IPTERMDATA, Data, Count, Copy);
    }
    FStats.BytesReceived += Count;
    FStats.TotalBytesReceived += Count;
    FActivity = true;
    FTail += Count;
    return Count;
}

bool TIpDataSocket::ProcessReceived() {
    if (FHead == FTail) return false;
    switch (ReceiveMode) {
        case rmLine: {
            const bool Got = ExtractLine(false);
            if (Got || FClosed) return Got;
            // No terminator in what is unread: a full buffer moves into the held line, all but its
            // last two bytes so that a CR LF pair is never split.
            if (FTail == SockLimits::kReceiveBufferSize && FTail - FHead > 2) {
                const uint32_t Move = FTail - FHead - 2;
                if (!FSkippingLine) FPartial.append(FBuffer + FHead, Move);
                FHead += Move;
                if (FPartial.size() > FMaxLineLength) {
                    // The rest of the line goes unread up to its terminator: one error for
                    // the line, and no tail of it handed out as if it were a line of its own.
                    FPartial.clear();
                    FPartial.shrink_to_fit();
                    FSkippingLine = true;
                    if (FOwner)
                        FOwner->DoError(FHandle, 8001,
                                        "Received line too long, exceeds MaxLineBuf");
                }
            }
            return false;
        }
        case rmStream:
            if (!ReceiveStream) throw EIpProgrammerError();
            ReceiveStream->WriteBuffer(FBuffer + FHead, FTail - FHead);
            FHead = FTail;
            return false;
        case rmAny:
            return ExtractLine(true);
    }
    return false;
}

bool TIpDataSocket::ExtractLine(bool flush) {
    const uint32_t Avail = FTail - FHead;
    const char* P = FBuffer + FHead;
    // A nested delivery (from a close inside a handler) must not overwrite the line that the
    // outer handler is still reading.
    std::string Local;
    std::string& Line = FDelivering ? Local : FLine;
    if (FSkippingLine && flush) {
        // The connection ends inside a line that was too long: nothing of it is a line.
        FSkippingLine = false;
        FHead = FTail;
        return false;
    }
    if (LineTerminator == ltNone || flush) {
        uint32_t Take;
        if (flush) {
            // What is held is delivered at the end as well, also with nothing new unread.
            if (Avail == 0 && FPartial.empty()) return false;
            Take = Avail;
        } else {
            const uint32_t Need = FixedLineLength;
            if (Need == 0 || FPartial.size() + Avail < Need) return false;
            Take = Need - static_cast<uint32_t>(std::min<size_t>(FPartial.size(), Need));
        }
        Line.assign(FPartial);
        Line.append(P, Take);
        FPartial.clear();
        FHead += Take;
        Deliver(Line);
        return true;
    }
    char Term;
    switch (LineTerminator) {
        case ltCR:
            Term = '\r';
            break;
        case ltLF:
        case ltCRLF:
            Term = '\n';
            break;
        case ltOther:
            Term = LineTermChar;
            break;
        default:
            throw Exception("Bad terminator");
    }
    const uint32_t TermLen = StripLineTerminator ? (LineTerminator == ltCRLF ? 2 : 1) : 0;
    uint32_t From = 0;
    for (;;) {
        const void* Hit = std::memchr(P + From, Term, Avail - From);
        if (!Hit) return false;
        const uint32_t I = static_cast<uint32_t>(static_cast<const char*>(Hit) - P);
        if (LineTerminator != ltCRLF || (I > 0 && P[I - 1] == '\r')) {
            if (FSkippingLine) {
                FSkippingLine = false;
                FHead += I + 1;
                return true;
            }
            const uint32_t Len = I + 1 - TermLen;
            if (FPartial.empty()) {
                Line.assign(P, Len);
            } else {
                Line.assign(FPartial);
                Line.append(P, Len);
                FPartial.clear();
            }
            FHead += I + 1;
            Deliver(Line);
            return true;
        }
        From = I + 1;
        if (From >= Avail) return false;
    }
}

// The read position has moved past the line before it is handed out, so a handler that runs a
// pass of the message loop can never see it again.
void TIpDataSocket::Deliver(std::string& line) {
    if (!FOwner) return;
    ++FDelivering;
    try {
        FOwner->DoReadLine(FHandle, line);
    } catch (...) {
        --FDelivering;
        throw;
    }
    --FDelivering;
}

// ---- closing -----------------------------------------------------------------------------------

void TIpDataSocket::Shutdown() {
    SetConnected(false);
    FReadyToSend = false;
    ClearSendQueue();
    if (FHandleOpen) ApiShutdown();
}

void TIpDataSocket::Close() {
    if (FClosed) return;
    TSocketScope Scope(this);
    TFlagScope Closing(FClosing);
    FClosed = true;
    Shutdown();
    std::exception_ptr HandlerError;
    try {
        HandOutRemaining();
    } catch (...) {
        // The disconnect is reported all the same: else the owner takes the connection for open.
        HandlerError = std::current_exception();
    }
    TIpBaseSocket::Close();
    if (HandlerError) std::rethrow_exception(HandlerError);
}

void TIpDataSocket::HandOutRemaining() {
    // What the peer sent before the close still reaches the owner, the held line last. Lines
    // already in the buffer are cut first, so that the final flush cannot merge them.
    while (ProcessReceived()) {
    }
    uint64_t Drained = 0;
    uint32_t N;
    while (Drained < SockLimits::kMaxCloseDrain && (N = ReadData(true)) > 0) {
        Drained += N;
        while (ProcessReceived()) {
        }
    }
    if (ReceiveMode == rmStream) return;
    TFlagScope CutLine(FDeliveringCutLine, ReceiveMode == rmLine && LineTerminator != ltNone);
    ExtractLine(true);
}

void TIpDataSocket::Drop() {
    if (FClosed) return;
    TSocketScope Scope(this);
    TFlagScope Closing(FClosing);
    FClosed = true;
    FHead = FTail = 0;
    FPartial.clear();
    FSkippingLine = false;
    Shutdown();
    TIpBaseSocket::Close();
}

// ---- sending -----------------------------------------------------------------------------------

uint32_t TIpDataSocket::PutBlock(const void* data, uint32_t size, bool closeAfterSend) {
    return QueueItem(data, size, false, false, closeAfterSend, nullptr);
}

uint32_t TIpDataSocket::PutString(const std::string& s, bool closeAfterSend) {
    return QueueItem(s.data(), static_cast<uint32_t>(s.size()), false, false, closeAfterSend,
                     nullptr);
}

uint32_t TIpDataSocket::PutStream(TStream& stream, bool closeAfterSend) {
    return QueueItem(nullptr, 0, false, false, closeAfterSend, &stream);
}

uint32_t TIpDataSocket::SendRaw(const void* data, uint32_t size, bool internal) {
    return QueueItem(data, size, true, internal, false, nullptr);
}

uint32_t TIpDataSocket::QueueItem(const void* data, uint32_t size, bool raw, bool internal,
                                  bool closeAfterSend, TStream* stream) {
    if (FClosed) return 0;
    TSocketScope Scope(this);
    auto Item = std::make_unique<TIpSendItem>();
    Item->CloseAfterSend = closeAfterSend;
    Item->Internal = internal;
    Item->Stream = stream;
    if (stream) {
        LoadNextChunk(*Item);
    } else {
        const char* P = static_cast<const char*>(data);
        if (FFilter && !raw) {
            FFilter->Encode(*this, P, size, Item->Data);
            if (Item->Data.size() != size) Item->UserData.assign(P, size);
        } else {
            Item->Data.assign(P, size);
        }
        Item->UserBytes = size;
    }
    Item->Raw = raw && FNegotiation != ngDone;
    Item->Cost = Item->Data.size() + Item->UserData.size() + SockLimits::kSendItemOverhead;
    if (SendQueueFull(internal, Item->Raw, Item->Cost)) return 0;
    FQueuedBytes += Item->Cost;
    if (!Item->Raw && HoldsUserData()) {
        Item->Id = ++FLastItemId;
        FHeld.push_back(std::move(Item));
        return FLastItemId;
    }
    FQueue.push_back(std::move(Item));
    if (FQueue.size() == 1 && FReadyToSend) {
        TIpSendItem& Front = *FQueue.front();
        bool Complete = false;
        while (!Complete && FReadyToSend && !FClosed) Complete = SendQueueItem(Front);
        if (Complete) {
            const bool CloseAfter = Front.CloseAfterSend;
            FQueuedBytes -= Front.Cost;
            FQueue.pop_front();
            if (CloseAfter) AfterSendComplete(true);
            return 0;
        }
        if (FClosed) return 0;
    }
    FQueue.back()->Id = ++FLastItemId;
    return FLastItemId;
}

bool TIpDataSocket::SendQueueFull(bool internal, bool negotiation, uint64_t cost) {
    // A negotiation (proxy, handshake) is never cut short: its few items go first.
    if (negotiation) return false;
    // Answers to a peer that has not read the former ones are of no use to it; keeping them
    // would let a host that asks without end (and never reads) fill the memory.
    if (internal) return FQueuedBytes > SockLimits::kMaxQueuedAnswers;
    // A mail or an article may be queued whole; a terminal's data is typed or answered, and a
    // host that reads none of it is dead or hostile.
    if (!(FOptions & soTelnet) || FQueue.empty() ||
        FQueuedBytes + cost <= SockLimits::kMaxTerminalSendQueue)
        return false;
    if (FOwner)
        FOwner->DoError(FHandle, WSAENOBUFS,
                        "Send queue full: the host reads nothing, connection closed");
    Drop();
    return true;
}

void TIpDataSocket::LoadNextChunk(TIpSendItem& item) {
    const uint32_t Max = FFilter ? SockLimits::kFilteredStreamChunk : SockLimits::kStreamChunk;
    char Chunk[SockLimits::kStreamChunk];
    const int32_t Read = item.Stream->Read(Chunk, static_cast<int32_t>(Max));
    const uint32_t N = Read > 0 ? static_cast<uint32_t>(Read) : 0;
    item.Data.clear();
    item.UserData.clear();
    if (FFilter) {
        FFilter->Encode(*this, Chunk, N, item.Data);
        if (item.Data.size() != N) item.UserData.assign(Chunk, N);
    } else {
        item.Data.assign(Chunk, N);
    }
    item.UserBytes = N;
    item.Sent = 0;
    item.Sealed = false;
    if (N < Max) item.Stream = nullptr;
}

bool TIpDataSocket::SendQueueItem(TIpSendItem& item) {
    if (!FReadyToSend || !FHandleOpen) return false;
    if (!item.Raw && !item.Sealed && FUsingSSL && FSecure && FNegotiation == ngDone) {
        // The data log shows what the caller sent, not its records.
        if (item.UserData.empty() && (LogOptions & loHighData)) item.UserData = item.Data;
        FSecure->Encrypt(*this, item.Data);
        item.Sealed = true;
    }
    const uint32_t Left = static_cast<uint32_t>(item.Data.size()) - item.Sent;
    int N = 0;
    if (Left > 0) {
        N = ApiSend(item.Data.data() + item.Sent, static_cast<int>(Left));
        ResetIdle();
        if (N == SOCKET_ERROR) {
            const int Err = ApiLastError();
            if (Err != WSAEWOULDBLOCK) throw EIpWinSockError(Err, "send");
            FReadyToSend = false;
            return false;
        }
        if (N > 0 && (LogOptions & loLowData) && FOwner)
            FOwner->DebugLog().AddDebugEntry(nullptr, FHandle, deLowSend,
                                             item.Data.data() + item.Sent, N);
    }
    if (static_cast<uint32_t>(N) < Left) {
        item.Sent += static_cast<uint32_t>(N);
        return false;
    }
    const uint32_t Size = static_cast<uint32_t>(item.Data.size());
    FStats.RawBytesSent += Size;
    FStats.TotalRawBytesSent += Size;
    if (!item.Internal) {
        FStats.BytesSent += item.UserBytes;
        FStats.TotalBytesSent += item.UserBytes;
        if ((LogOptions & loHighData) && FOwner && item.UserBytes) {
            const std::string& User = item.UserData.empty() ? item.Data : item.UserData;
            FOwner->DebugLog().AddDebugEntry(nullptr, FHandle, deHighWrite, User.data(),
                                             item.UserBytes);
        }
    }
    FActivity = true;
    if (item.Stream) {
        LoadNextChunk(item);
        return false;
    }
    return true;
}

bool TIpDataSocket::SendNextItem() {
    if (!FHandleOpen || FQueue.empty() || !FReadyToSend) return false;
    if (!SendQueueItem(*FQueue.front())) return true;
    // The item leaves the queue before anyone hears of it: the event's handler may queue,
    // send or close, and must find the queue as it now is.
    std::unique_ptr<TIpSendItem> Done = std::move(FQueue.front());
    FQueue.pop_front();
    FQueuedBytes -= Done->Cost;
    if (FOwner) FOwner->DoItemSent(FHandle, Done->Id, static_cast<uint32_t>(FQueue.size()));
    if (Done->CloseAfterSend) {
        AfterSendComplete(true);
        return false;
    }
    return !FClosed;
}

void TIpDataSocket::AfterSendComplete(bool closeAfterSend) {
    if (!closeAfterSend) return;
    Close();
    if (FOwner) PostMessage(FOwner->Handle(), WM_IPFREESOCKET, static_cast<WPARAM>(FHandle), 0);
}

void TIpDataSocket::HandleWrite() {
    if (!FHandleOpen) return;
    TSocketScope Scope(this);
    FReadyToSend = true;
    while (SendNextItem()) {
    }
}
