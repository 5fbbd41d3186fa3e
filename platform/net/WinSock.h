#pragma once
// WinSock-shaped sockets over POSIX sockets.
//
// The socket layer above was written for WinSock's non-blocking sockets with asynchronous
// select. This layer gives it the same calls, error codes and notices:
// - Socket handles are ids that count up and are never reused while the process runs. A
//   descriptor is reused by the kernel at once after close; an id is not, so a notice still
//   queued for a closed socket finds nothing instead of reaching its successor.
// - Errors are WinSock codes (WSAE...), read with WSAGetLastError; WSAErrorText gives their texts.
// - WSAAsyncSelect posts window messages (WParam the socket, LParam the event in the low word and
//   the error in the high word) under WinSock's rules: one FD_READ until recv is called again,
//   one FD_CONNECT when a connect ends and an FD_WRITE after a successful one, FD_WRITE otherwise
//   only after a send would have blocked, one FD_CLOSE when the peer closes or resets.
// - connect never blocks: it answers WSAEWOULDBLOCK and the outcome arrives as FD_CONNECT.
// - send never raises SIGPIPE.
// - Name lookup runs on a worker thread and is answered by a posted message.
//
// Readiness comes from Qt socket notifiers, which the application's message-loop passes and waits
// service. Everything except the lookup worker belongs to the user-interface thread.
//
// Names that would collide with the C library's macros (SOL_SOCKET, AF_INET, htons, ...) carry a
// WS_ prefix or a spelled-out name; the calls live in namespace WinSock.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/Messages.h"

using SOCKET = int32_t;
constexpr SOCKET INVALID_SOCKET = -1;
constexpr int SOCKET_ERROR = -1;

// Address family, socket types and protocol numbers as WinSock numbers them.
constexpr uint16_t WS_AF_INET = 2;
constexpr int WS_SOCK_STREAM = 1;
constexpr int WS_SOCK_DGRAM = 2;
constexpr int WS_IPPROTO_TCP = 6;

// Option levels and names (WinSock's values; the layer maps them to the system's).
constexpr int WS_SOL_SOCKET = 0xFFFF;
constexpr int WS_SO_DEBUG = 0x0001;
constexpr int WS_SO_REUSEADDR = 0x0004;
constexpr int WS_SO_KEEPALIVE = 0x0008;
constexpr int WS_SO_DONTROUTE = 0x0010;
constexpr int WS_SO_BROADCAST = 0x0020;
constexpr int WS_SO_SNDBUF = 0x1001;
constexpr int WS_SO_RCVBUF = 0x1002;
constexpr int WS_SO_ERROR = 0x1007;
constexpr int WS_SO_TYPE = 0x1008;
constexpr int WS_TCP_NODELAY = 0x0001;

// shutdown directions.
constexpr int SD_RECEIVE = 0;
constexpr int SD_SEND = 1;
constexpr int SD_BOTH = 2;

constexpr uint32_t WS_INADDR_ANY = 0;
constexpr uint32_t WS_INADDR_NONE = 0xFFFFFFFFu;

// Asynchronous select events.
constexpr uint16_t FD_READ = 0x01;
constexpr uint16_t FD_WRITE = 0x02;
constexpr uint16_t FD_OOB = 0x04;
constexpr uint16_t FD_ACCEPT = 0x08;
constexpr uint16_t FD_CONNECT = 0x10;
constexpr uint16_t FD_CLOSE = 0x20;

// WinSock error codes used by name in the code above.
constexpr int WSAEINTR = 10004;
constexpr int WSAEBADF = 10009;
constexpr int WSAEACCES = 10013;
constexpr int WSAEFAULT = 10014;
constexpr int WSAEINVAL = 10022;
constexpr int WSAEMFILE = 10024;
constexpr int WSAEWOULDBLOCK = 10035;
constexpr int WSAEINPROGRESS = 10036;
constexpr int WSAEALREADY = 10037;
constexpr int WSAENOTSOCK = 10038;
constexpr int WSAEDESTADDRREQ = 10039;
constexpr int WSAEMSGSIZE = 10040;
constexpr int WSAENOPROTOOPT = 10042;
constexpr int WSAEOPNOTSUPP = 10045;
constexpr int WSAEAFNOSUPPORT = 10047;
constexpr int WSAEADDRINUSE = 10048;
constexpr int WSAEADDRNOTAVAIL = 10049;
constexpr int WSAENETDOWN = 10050;
constexpr int WSAENETUNREACH = 10051;
constexpr int WSAECONNABORTED = 10053;
constexpr int WSAECONNRESET = 10054;
constexpr int WSAENOBUFS = 10055;
constexpr int WSAEISCONN = 10056;
constexpr int WSAENOTCONN = 10057;
constexpr int WSAESHUTDOWN = 10058;
constexpr int WSAETIMEDOUT = 10060;
constexpr int WSAECONNREFUSED = 10061;
constexpr int WSAEHOSTUNREACH = 10065;
constexpr int WSASYSNOTREADY = 10091;
constexpr int WSAVERNOTSUPPORTED = 10092;
constexpr int WSANOTINITIALISED = 10093;
constexpr int WSAEOPERATIONCANCELLED = 10103;
constexpr int WSASYSCALLFAILURE = 10107;
constexpr int WSAHOST_NOT_FOUND = 11001;
constexpr int WSATRY_AGAIN = 11002;
constexpr int WSANO_RECOVERY = 11003;
constexpr int WSANO_DATA = 11004;

// An IPv4 socket address laid out as WinSock's (16 bytes). Port and address in network order.
struct TSockAddrIn {
    uint16_t sin_family = WS_AF_INET;
    uint16_t sin_port = 0;
    uint32_t sin_addr = 0;
    uint8_t sin_zero[8] = {};
};
static_assert(sizeof(TSockAddrIn) == 16);

// What WSAStartup reports.
struct TWSAData {
    uint16_t wVersion = 0;
    uint16_t wHighVersion = 0;
    std::string szDescription;   // at most 256 characters
    std::string szSystemStatus;  // at most 128 characters
    uint16_t iMaxSockets = 0;
    uint16_t iMaxUdpDg = 0;
};

// The text of a WinSock error code ("Connection refused"); codes without a text of their own get
// "Unknown error (<code>)".
std::string WSAErrorText(int Code);

namespace WinSock {

int WSAStartup(uint16_t VersionRequested, TWSAData& Data);
int WSACleanup();
// The error of the calling thread's last failed call.
int WSAGetLastError();
void WSASetLastError(int Code);

SOCKET socket(int Family, int Type, int Protocol);
int closesocket(SOCKET S);
int bind(SOCKET S, const TSockAddrIn& Addr);
// Starts a non-blocking connect: SOCKET_ERROR with WSAEWOULDBLOCK, then FD_CONNECT. The address
// 0.0.0.0 is refused with WSAEADDRNOTAVAIL (the system would reach the local host instead).
int connect(SOCKET S, const TSockAddrIn& Addr);
int shutdown(SOCKET S, int How);
// Number of bytes, 0 at the end of the stream, SOCKET_ERROR on failure (WSAEWOULDBLOCK when
// nothing is waiting). Re-arms FD_READ.
int recv(SOCKET S, void* Buf, int Len, int Flags);
// Bytes taken, or SOCKET_ERROR (WSAEWOULDBLOCK: FD_WRITE follows when room is free again).
int send(SOCKET S, const void* Buf, int Len, int Flags);
int recvfrom(SOCKET S, void* Buf, int Len, int Flags, TSockAddrIn* From);
int sendto(SOCKET S, const void* Buf, int Len, int Flags, const TSockAddrIn& To);
int getsockopt(SOCKET S, int Level, int OptName, int32_t& Value);
int setsockopt(SOCKET S, int Level, int OptName, int32_t Value);
int getsockname(SOCKET S, TSockAddrIn& Addr);
int getpeername(SOCKET S, TSockAddrIn& Addr);
// Registers the socket's notices (an event mask of FD_...) for the window; 0 as mask stops them.
int WSAAsyncSelect(SOCKET S, HWND Wnd, UINT Msg, uint32_t Events);

int gethostname(std::string& Name);
// Blocking lookup of an IPv4 host: its addresses in network order. SOCKET_ERROR and
// WSAHOST_NOT_FOUND (or another lookup code) when there are none.
int gethostbyname(const std::string& Name, std::vector<uint32_t>& Addresses);
// Dotted text to an address in network order; WS_INADDR_NONE when the text is none.
uint32_t inet_addr(const std::string& Text);
std::string inet_ntoa(uint32_t Addr);
uint16_t HostToNetShort(uint16_t Value);
uint16_t NetToHostShort(uint16_t Value);
uint32_t HostToNetLong(uint32_t Value);
uint32_t NetToHostLong(uint32_t Value);

// Looks the host up on a worker thread; when done, posts Msg to Wnd with WParam the request's
// handle and LParam MAKELPARAM(0, error). Fetch the answer with WSAGetAsyncHostResult. Returns
// the handle (never 0); a name longer than NetLimits::kMaxHostNameLength fails at once with
// WSAEINVAL.
uintptr_t WSAAsyncGetHostByName(HWND Wnd, UINT Msg, const std::string& Name);
// Takes the addresses of a finished request (network order) and forgets the request.
bool WSAGetAsyncHostResult(uintptr_t Handle, std::vector<uint32_t>& Addresses);
// Forgets a request; its message is not posted when it has not been yet. SOCKET_ERROR with
// WSAEINVAL for an unknown handle.
int WSACancelAsyncRequest(uintptr_t Handle);

// A handle that is unique like a socket's but has no descriptor behind it (test doubles).
SOCKET ReserveHandle();
// Number of sockets open (tests check that nothing leaks).
size_t OpenSocketCount();

}  // namespace WinSock
