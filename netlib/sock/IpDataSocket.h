#pragma once
// The socket objects under the socket components: TIpBaseSocket wraps one non-blocking socket
// (create, options, notices, connect, close); TIpDataSocket adds the receive buffer with line
// cutting, the send queue, statistics, the idle clock and copies of received data for terminal
// windows. A data socket has no window or timer of its own: its owner (TIpSockControl) forwards
// the socket notices and timer ticks and receives everything the socket reports.
//
// Two seams stay open for layers built elsewhere:
// - TIpSocketFilter sits between the wire and the line cutter (proxy negotiation, terminal
//   option handling): it may hold the connect report back, rewrite received bytes and encode
//   outgoing ones.
// - TIpSecureLayer is the secure channel; a factory registered by that library creates one for
//   every socket that uses it.
// Test doubles replace the raw calls (Api...) and feed bytes through the same cutting code.
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "netlib/base/IpUtils.h"
#include "netlib/sock/IpWinSock.h"
#include "netlib/sock/Limits.h"
#include "platform/core/Application.h"

class TStream;
class TIpSockControl;
class TIpDataSocket;
class TIpTelnetTerminal;

enum TIpReceiveMode { rmLine, rmStream, rmAny };
enum TIpStatusType { stConnect, stDisconnect, stProgress };
enum TIpSockProtocol { spTcp, spUdp };

// Sets are bit masks of their members.
using TIpLogOptionSet = uint32_t;
constexpr TIpLogOptionSet loHighData = 1u << 0;
constexpr TIpLogOptionSet loLowData = 1u << 1;
constexpr TIpLogOptionSet loTelnet = 1u << 2;

using TIpSockOptionSet = uint32_t;
constexpr TIpSockOptionSet soBroadcast = 1u << 0;
constexpr TIpSockOptionSet soDebug = 1u << 1;
constexpr TIpSockOptionSet soDiscardReceived = 1u << 2;
constexpr TIpSockOptionSet soDontRoute = 1u << 3;
constexpr TIpSockOptionSet soEchoReceived = 1u << 4;
constexpr TIpSockOptionSet soEchoSent = 1u << 5;
constexpr TIpSockOptionSet soKeepAlive = 1u << 6;
constexpr TIpSockOptionSet soNoDelay = 1u << 7;
constexpr TIpSockOptionSet soReuseAddr = 1u << 8;
constexpr TIpSockOptionSet soStripHighBit = 1u << 9;
constexpr TIpSockOptionSet soTelnet = 1u << 10;

using TIpStatusSet = uint32_t;
constexpr TIpStatusSet StatusBit(TIpStatusType t) {
    return 1u << static_cast<unsigned>(t);
}

struct TIpSockStatRec {
    uint32_t BytesReceived = 0;
    uint32_t BytesSent = 0;
    uint32_t RawBytesReceived = 0;
    uint32_t RawBytesSent = 0;
    uint32_t TotalBytesReceived = 0;
    uint32_t TotalBytesSent = 0;
    uint32_t TotalRawBytesReceived = 0;
    uint32_t TotalRawBytesSent = 0;
};

#pragma pack(push, 1)
struct TIpConnRec {
    uint32_t RemoteAddress = 0;  // network order
    uint16_t RemotePort = 0;     // host order
    uint32_t LocalAddress = 0;
    uint16_t LocalPort = 0;
};
#pragma pack(pop)
static_assert(sizeof(TIpConnRec) == 12);

// The settings every new socket of a component starts with.
struct TIpDataInits {
    TIpSockOptionSet SocketOptions = 0;
    uint32_t FixedLineLength = 80;
    uint32_t IdleTimeout = 0;
    char LineTermChar = '\n';
    TIpLineTerminator LineTerminator = ltCRLF;
    TIpLogOptionSet LogOptions = loHighData | loTelnet;
    int32_t ReceiveBufferSize = 4096;
    TIpReceiveMode ReceiveMode = rmLine;
    int32_t SendBufferSize = 4096;
    bool StripLineTerminator = false;
    bool UsingSSL = false;
};

// A layer between the wire and the line cutter.
class TIpSocketFilter {
  public:
    virtual ~TIpSocketFilter() = default;
    // True with the address the TCP connection goes to instead of the target (a proxy).
    virtual bool ProxyAddress(TIpDataSocket&, TSockAddrIn&) { return false; }
    // The filter passes host names on as they are (the target needs no lookup here).
    virtual bool ResolvesNames() const { return false; }
    // The TCP connection is up. True: the filter negotiates first and calls NegotiationDone on
    // the socket when the connection may be reported.
    virtual bool StartNegotiation(TIpDataSocket&) { return false; }
    // Received bytes, rewritten in place; returns how many remain as data.
    virtual uint32_t Received(TIpDataSocket& socket, char* data, uint32_t count) = 0;
    // Appends the wire form of outgoing caller bytes to out.
    virtual void Encode(TIpDataSocket& socket, const char* data, uint32_t size,
                        std::string& out) = 0;
    // A terminal window changed its size.
    virtual void WindowSizeChanged(TIpDataSocket&) {}
};

// The secure channel of one socket.
class TIpSecureLayer {
  public:
    virtual ~TIpSecureLayer() = default;
    // The TCP connection is up: start the handshake. Call HandshakeDone on the socket when it is
    // complete (the connection is reported then).
    virtual void Start(TIpDataSocket& socket) = 0;
    // Reads from the wire (through the socket's ApiRecv) and writes up to room plain bytes to
    // out; the count, 0 when nothing is ready.
    virtual uint32_t Read(TIpDataSocket& socket, char* out, uint32_t room) = 0;
    // Replaces plain bytes by their wire form.
    virtual void Encrypt(TIpDataSocket& socket, std::string& data) = 0;
};
using TIpSecureLayerFactory = std::unique_ptr<TIpSecureLayer> (*)();

class TIpBaseSocket : public TReleasable {
  public:
    // States of the negotiation that comes between TCP connect and the reported connection.
    enum TNegotiation : uint8_t { ngDirect, ngFilter, ngSecure, ngDone };

    // With existingHandle = INVALID_SOCKET a new socket is made.
    TIpBaseSocket(TIpSockControl* owner, const TIpDataInits* inits, const TSockAddrIn* localAddress,
                  SOCKET existingHandle);
    ~TIpBaseSocket() override;
    // For test doubles: a socket without a descriptor behind its (reserved, unique) handle.
    struct TNoDescriptor {};
    TIpBaseSocket(TIpSockControl* owner, SOCKET reservedHandle, TNoDescriptor);

    SOCKET Handle() const { return FHandle; }
    bool Connected() const { return FConnected; }
    const std::string& GetAddressText() const { return FAddressText; }
    const TSockAddrIn& LocalAddress() const { return FLocalAddress; }
    const TSockAddrIn& RemoteAddress() const { return FRemoteAddress; }
    TIpSockControl* Owner() const { return FOwner; }
    // The owner goes away before the socket (the socket's free was deferred).
    void DetachOwner() { FOwner = nullptr; }
    // Connect was called on this socket (a failed connect makes a new socket next time).
    bool ConnectStarted() const { return FConnectStarted; }
    bool IsClosed() const { return FClosed; }
    // Records the address text of a connect that waits for a name lookup.
    void PrepareConnect(const std::string& addressText) {
        FAddressText = addressText;
        FConnectStarted = true;
    }
    // False for test doubles, which take any host name as it is, and for a proxy that is
    // given the name.
    virtual bool NeedsLookup() const { return true; }

    void SetSocketOptions(TIpSockOptionSet options);
    TIpSockOptionSet SocketOptions() const { return FOptions; }
    TIpConnRec ConnRec() const;

    virtual void AsyncSelect();
    virtual void HandleClose();
    virtual void HandleConnect();
    virtual void HandleOutOfBand() {}
    virtual void HandleRead() {}
    virtual void TimerElapsed(uint32_t) {}
    virtual void HandleWrite() {}
    virtual void Close();
    virtual void Connect(const TSockAddrIn& addr, const std::string& addressText);

  protected:
    void SetConnected(bool value);
    void ReportConnect();
    // Connect with target as the remote address, the TCP connection going to via.
    void ConnectThrough(const TSockAddrIn& target, const std::string& addressText,
                        const TSockAddrIn& via, const char* apiName);
    // The raw calls; test doubles replace them.
    virtual int ApiRecv(void* buf, int len);
    virtual int ApiSend(const void* buf, int len);
    virtual int ApiConnect(const TSockAddrIn& addr);
    virtual void ApiShutdown();
    virtual void ApiClose();
    virtual void ApiLocalAddress(TSockAddrIn& addr);
    virtual int ApiLastError();
    // True when the system holds received bytes that have not been read yet.
    virtual bool ApiDataWaiting();

    bool FConnected = false;
    bool FConnectStarted = false;
    bool FClosed = false;
    bool FHandleOpen = false;
    TNegotiation FNegotiation = ngDirect;
    SOCKET FHandle = INVALID_SOCKET;
    std::string FAddressText;
    TIpSockOptionSet FOptions = 0;
    TSockAddrIn FLocalAddress;
    TSockAddrIn FRemoteAddress;
    int FSocketType = WS_SOCK_STREAM;
    TIpSockControl* FOwner;

  private:
    void CreateSocket(const TSockAddrIn* localAddress, const TIpDataInits* inits);
};

struct TIpSendItem {
    uint32_t Id = 0;
    bool CloseAfterSend = false;
    bool Internal = false;
    // Bytes of the negotiation itself (proxy requests, handshake records): they go out exactly
    // as given, never through the secure layer, and pass user items held back meanwhile.
    bool Raw = false;
    // Data already holds the secure layer's records for the current chunk: a send that would
    // block hands the item back, and it must not be sealed a second time.
    bool Sealed = false;
    TStream* Stream = nullptr;
    std::string Data;  // wire form
    uint32_t Sent = 0;
    std::string UserData;  // caller's bytes when they differ from the wire form (for the log)
    uint32_t UserBytes = 0;
    uint64_t Cost = 0;  // what the item adds to the socket's QueuedBytes
};

class TIpDataSocket : public TIpBaseSocket {
  public:
    TIpDataSocket(TIpSockControl* owner, const TIpDataInits* inits, const TSockAddrIn* localAddress,
                  SOCKET existingHandle);
    ~TIpDataSocket() override;
    TIpDataSocket(TIpSockControl* owner, const TIpDataInits* inits, SOCKET reservedHandle,
                  TNoDescriptor);

    // Settings.
    uint32_t FixedLineLength = 80;
    char LineTermChar = '\n';
    TIpLineTerminator LineTerminator = ltCRLF;
    TIpLogOptionSet LogOptions = loHighData | loTelnet;
    TIpReceiveMode ReceiveMode = rmLine;
    TStream* ReceiveStream = nullptr;  // caller-owned target of rmStream
    bool StripLineTerminator = false;

    uint32_t IdleTimeout() const { return FIdleTimeout; }
    void SetIdleTimeout(uint32_t ms) { FIdleTimeout = ms; }
    bool UsingSSL() const { return FUsingSSL; }
    void SetUsingSSL(bool value);
    void SetReceiveBufferSize(int32_t size);
    void SetSendBufferSize(int32_t size);
    TIpTelnetTerminal* GetMasterTerminal() const { return FMasterTerminal; }
    void SetMasterTerminal(TIpTelnetTerminal* terminal) { FMasterTerminal = terminal; }
    void RegisterTerminalWindow(HWND wnd) { FTerminalWindows.push_back(wnd); }
    void UnregisterTerminalWindow(HWND wnd);
    void SetFilter(std::unique_ptr<TIpSocketFilter> filter) { FFilter = std::move(filter); }
    TIpSocketFilter* Filter() const { return FFilter.get(); }
    TIpSecureLayer* Secure() const { return FSecure.get(); }
    static void SetSecureLayerFactory(TIpSecureLayerFactory factory);

    // Overrides.
    void HandleConnect() override;
    void HandleClose() override;
    void HandleRead() override;
    void HandleWrite() override;
    void TimerElapsed(uint32_t ms) override;
    // Closes; what the peer sent before the close still reaches the owner (at most
    // SockLimits::kMaxCloseDrain bytes beyond what is buffered: a peer that sends without end
    // must not keep the close from finishing).
    void Close() override;
    // Closes, and drops what was received and not yet handed out: the owner has given up on
    // the connection and takes nothing more from it.
    void Drop();
    void Connect(const TSockAddrIn& addr, const std::string& addressText) override;
    bool NeedsLookup() const override { return !(FFilter && FFilter->ResolvesNames()); }
    // The peer as a proxy reports it once it has connected.
    void SetRemoteAddress(const TSockAddrIn& addr) { FRemoteAddress = addr; }

    // Sending: the item id, or 0 when the data went out at once.
    uint32_t PutBlock(const void* data, uint32_t size, bool closeAfterSend);
    uint32_t PutString(const std::string& s, bool closeAfterSend);
    // Queues a caller-owned stream; it must stay alive until the item is sent.
    uint32_t PutStream(TStream& stream, bool closeAfterSend);
    virtual uint32_t QueueItem(const void* data, uint32_t size, bool raw, bool internal,
                               bool closeAfterSend, TStream* stream);
    size_t QueueCount() const { return FQueue.size() + FHeld.size(); }
    // What the queued items hold, each counted with SockLimits::kSendItemOverhead besides its
    // data.
    uint64_t QueuedBytes() const { return FQueuedBytes; }

    void ResetStats();
    TIpSockStatRec GetStatRec() const { return FStats; }
    void ResetIdle() { FIdleElapsed = 0; }
    // Time passed on the socket's clock; past the idle time-out the owner hears of it, unless
    // bytes wait unread or were read since the last tick: then the peer has sent and only this
    // side was too busy to read.
    void AddElapsed(uint32_t ms);
    // The peer's bytes have arrived and wait in the system's buffers, not read yet: whatever the
    // time since the last read, the peer was not the slow side.
    bool DataWaiting();
    virtual void IdleTimeoutFired();

    // Seams for the filter and the secure layer.
    void NegotiationDone();
    void HandshakeDone();
    // Raw bytes straight to the wire, past the filter's encoding (filter negotiation,
    // handshakes, terminal option replies). While the socket still negotiates they also pass the
    // secure layer; afterwards they are sealed like any other data.
    uint32_t SendRaw(const void* data, uint32_t size, bool internal);
    int RawRecv(void* buf, int len) { return ApiRecv(buf, len); }
    // The error code of the last raw call, from the same (replaceable) source as RawRecv.
    int RawLastError() { return ApiLastError(); }

    // True while this socket's read processing is on the stack.
    bool Reading() const { return FReading > 0; }
    // A close notice that arrived during the read processing; it runs when that returns.
    void SetClosePending() { FClosePending = true; }
    bool ClosePending() const { return FClosePending; }
    // True while this socket's own close runs, up to its report of the disconnect.
    bool Closing() const { return FClosing; }
    // True while the piece of a line that the close left without its terminator is handed out:
    // the peer may never have sent the rest.
    bool DeliveringCutLine() const { return FDeliveringCutLine; }
    // The longest line held while its terminator has not arrived. SockLimits::kMaxLineBuf guards
    // against a peer's endless reply line; an owner that reads the data of a message (a mail, an
    // article) raises it to its own limit on the message's size for as long as that data runs.
    uint64_t MaxLineLength() const { return FMaxLineLength; }
    void SetMaxLineLength(uint64_t bytes) { FMaxLineLength = bytes; }

  protected:
    uint32_t ReadData(bool force);
    bool ProcessReceived();
    bool ExtractLine(bool flush);
    // Hands out what the peer sent before the close, received or still waiting in the system.
    void HandOutRemaining();
    bool SendQueueItem(TIpSendItem& item);
    bool SendNextItem();
    void LoadNextChunk(TIpSendItem& item);
    void Shutdown();
    void ClearSendQueue() {
        FQueue.clear();
        FHeld.clear();
        FQueuedBytes = 0;
    }
    // True while caller data must wait: the filter or the secure layer has not finished its
    // negotiation, so the data would reach the proxy, or leave before it can be encrypted.
    bool HoldsUserData() const;
    // The negotiation is done: held items join the queue and go out (sealed) before anyone
    // hears of the connection.
    void ReleaseHeld();
    void Deliver(std::string& line);
    void AfterSendComplete(bool closeAfterSend);
    // The item may not join the queue: the peer reads nothing of what waits (see the limits of
    // the send queue in Limits.h). A caller's item refused this way has closed the connection.
    bool SendQueueFull(bool internal, bool negotiation, uint64_t cost);

  private:
    void Init(const TIpDataInits* inits);
    void SetBufferSize(int option, int32_t size);

    uint32_t FIdleElapsed = 0;
    uint32_t FIdleTimeout = 0;
    // The peer's bytes were read since the idle clock last took a tick's time.
    bool FReadSinceTick = false;
    bool FUsingSSL = false;
    TIpTelnetTerminal* FMasterTerminal = nullptr;
    std::unique_ptr<TIpSocketFilter> FFilter;
    std::unique_ptr<TIpSecureLayer> FSecure;

    char FBuffer[SockLimits::kReceiveBufferSize];
    uint32_t FHead = 0;
    uint32_t FTail = 0;
    std::string FPartial;
    // A line grew past the limit: what comes up to its terminator is dropped.
    bool FSkippingLine = false;
    uint64_t FMaxLineLength = SockLimits::kMaxLineBuf;
    std::string FLine;  // reused for each line so that cutting does not allocate
    int FDelivering = 0;
    int FReading = 0;
    bool FReadAgain = false;
    bool FClosePending = false;
    bool FClosing = false;
    bool FDeliveringCutLine = false;

    std::deque<std::unique_ptr<TIpSendItem>> FQueue;
    std::deque<std::unique_ptr<TIpSendItem>> FHeld;  // caller items waiting for the negotiation
    uint64_t FQueuedBytes = 0;
    TIpSockStatRec FStats;
    bool FActivity = false;
    bool FReadyToSend = false;
    std::vector<HWND> FTerminalWindows;
    uint32_t FLastItemId = 0;
};
