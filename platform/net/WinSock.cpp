#include "platform/net/WinSock.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QObject>
#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "platform/net/Limits.h"

namespace {

thread_local int LastError = 0;

int Fail(int Code) {
    LastError = Code;
    return SOCKET_ERROR;
}

int MapErrno(int Err) {
    switch (Err) {
        case EINTR:
            return WSAEINTR;
        case EBADF:
            return WSAEBADF;
        case EACCES:
        case EPERM:
            return WSAEACCES;
        case EFAULT:
            return WSAEFAULT;
        case EINVAL:
            return WSAEINVAL;
        case EMFILE:
        case ENFILE:
            return WSAEMFILE;
        case EAGAIN:
            return WSAEWOULDBLOCK;
        case EINPROGRESS:
            return WSAEINPROGRESS;
        case EALREADY:
            return WSAEALREADY;
        case ENOTSOCK:
            return WSAENOTSOCK;
        case EDESTADDRREQ:
            return WSAEDESTADDRREQ;
        case EMSGSIZE:
            return WSAEMSGSIZE;
        case EPROTOTYPE:
            return 10041;
        case ENOPROTOOPT:
            return WSAENOPROTOOPT;
        case EPROTONOSUPPORT:
            return 10043;
        case ESOCKTNOSUPPORT:
            return 10044;
        case EOPNOTSUPP:
            return WSAEOPNOTSUPP;
        case EPFNOSUPPORT:
            return 10046;
        case EAFNOSUPPORT:
            return WSAEAFNOSUPPORT;
        case EADDRINUSE:
            return WSAEADDRINUSE;
        case EADDRNOTAVAIL:
            return WSAEADDRNOTAVAIL;
        case ENETDOWN:
            return WSAENETDOWN;
        case ENETUNREACH:
            return WSAENETUNREACH;
        case ENETRESET:
            return 10052;
        case ECONNABORTED:
            return WSAECONNABORTED;
        case ECONNRESET:
            return WSAECONNRESET;
        case ENOBUFS:
        case ENOMEM:
            return WSAENOBUFS;
        case EISCONN:
            return WSAEISCONN;
        case ENOTCONN:
            return WSAENOTCONN;
        case ESHUTDOWN:
            return WSAESHUTDOWN;
        case ETIMEDOUT:
            return WSAETIMEDOUT;
        case ECONNREFUSED:
            return WSAECONNREFUSED;
        case ELOOP:
            return 10062;
        case ENAMETOOLONG:
            return 10063;
        case EHOSTDOWN:
            return 10064;
        case EHOSTUNREACH:
            return WSAEHOSTUNREACH;
        default:
            return WSASYSCALLFAILURE;
    }
}

int FailErrno() {
    return Fail(MapErrno(errno));
}

struct TSockEntry {
    int Fd = -1;
    int Type = WS_SOCK_STREAM;
    HWND Wnd = 0;
    UINT Msg = 0;
    uint32_t Events = 0;
    std::unique_ptr<QSocketNotifier> ReadNotifier;
    std::unique_ptr<QSocketNotifier> WriteNotifier;
    bool Connecting = false;
    bool Connected = false;
    bool ReadNoticed = false;  // an FD_READ waits for the next recv
    bool WriteWanted = false;  // a send would have blocked
    bool CloseNoticed = false;
    bool SendShut = false;
};

std::atomic<SOCKET> NextHandle{1};
std::unordered_map<SOCKET, std::unique_ptr<TSockEntry>> Sockets;
int StartupCount = 0;

TSockEntry* Find(SOCKET S) {
    auto It = Sockets.find(S);
    return It == Sockets.end() ? nullptr : It->second.get();
}

void Notify(SOCKET S, TSockEntry& E, uint16_t Event, int Error) {
    if (E.Wnd && (E.Events & Event))
        PostMessage(E.Wnd, E.Msg, static_cast<WPARAM>(S),
                    MAKELPARAM(Event, static_cast<uint16_t>(Error)));
}

void ArmRead(TSockEntry& E) {
    const bool Want = E.ReadNotifier && !E.ReadNoticed && !E.CloseNoticed && E.Connected &&
                      (E.Events & (FD_READ | FD_CLOSE));
    if (E.ReadNotifier && E.ReadNotifier->isEnabled() != Want) E.ReadNotifier->setEnabled(Want);
}

void ArmWrite(TSockEntry& E) {
    const bool Want = E.WriteNotifier && (E.Connecting || E.WriteWanted);
    if (E.WriteNotifier && E.WriteNotifier->isEnabled() != Want) E.WriteNotifier->setEnabled(Want);
}

void NoticeClose(SOCKET S, TSockEntry& E, int Error) {
    if (E.CloseNoticed) return;
    E.CloseNoticed = true;
    ArmRead(E);
    Notify(S, E, FD_CLOSE, Error);
}

void OnReadable(SOCKET S) {
    TSockEntry* E = Find(S);
    if (!E) return;
    E->ReadNotifier->setEnabled(false);
    char Byte;
    const ssize_t N = ::recv(E->Fd, &Byte, 1, MSG_PEEK | MSG_DONTWAIT);
    // A datagram socket has no end of stream: a peek of 0 bytes is an empty datagram, which is
    // read like any other (taken for a close, it would stop every later datagram's notice).
    if (N > 0 || (N == 0 && E->Type == WS_SOCK_DGRAM)) {
        if (E->Events & FD_READ) {
            E->ReadNoticed = true;
            Notify(S, *E, FD_READ, 0);
        }
    } else if (N == 0) {
        NoticeClose(S, *E, 0);
    } else if (errno == EAGAIN || errno == EINTR) {
        ArmRead(*E);
    } else {
        NoticeClose(S, *E, MapErrno(errno));
    }
}

void OnWritable(SOCKET S) {
    TSockEntry* E = Find(S);
    if (!E) return;
    if (E->Connecting) {
        E->Connecting = false;
        int Err = 0;
        socklen_t Len = sizeof(Err);
        if (::getsockopt(E->Fd, SOL_SOCKET, SO_ERROR, &Err, &Len) != 0) Err = errno;
        if (Err == 0) {
            E->Connected = true;
            Notify(S, *E, FD_CONNECT, 0);
            Notify(S, *E, FD_WRITE, 0);
        } else {
            Notify(S, *E, FD_CONNECT, MapErrno(Err));
        }
        ArmRead(*E);
    } else if (E->WriteWanted) {
        E->WriteWanted = false;
        Notify(S, *E, FD_WRITE, 0);
    }
    ArmWrite(*E);
}

void MakeNotifiers(SOCKET S, TSockEntry& E) {
    if (E.ReadNotifier) return;
    E.ReadNotifier = std::make_unique<QSocketNotifier>(E.Fd, QSocketNotifier::Read);
    E.ReadNotifier->setEnabled(false);
    QObject::connect(E.ReadNotifier.get(), &QSocketNotifier::activated,
                     [S](QSocketDescriptor, QSocketNotifier::Type) { OnReadable(S); });
    E.WriteNotifier = std::make_unique<QSocketNotifier>(E.Fd, QSocketNotifier::Write);
    E.WriteNotifier->setEnabled(false);
    QObject::connect(E.WriteNotifier.get(), &QSocketNotifier::activated,
                     [S](QSocketDescriptor, QSocketNotifier::Type) { OnWritable(S); });
}

bool MapOption(int Level, int OptName, int& SysLevel, int& SysName) {
    if (Level == WS_SOL_SOCKET) {
        SysLevel = SOL_SOCKET;
        switch (OptName) {
            case WS_SO_DEBUG:
                SysName = SO_DEBUG;
                return true;
            case WS_SO_REUSEADDR:
                SysName = SO_REUSEADDR;
                return true;
            case WS_SO_KEEPALIVE:
                SysName = SO_KEEPALIVE;
                return true;
            case WS_SO_DONTROUTE:
                SysName = SO_DONTROUTE;
                return true;
            case WS_SO_BROADCAST:
                SysName = SO_BROADCAST;
                return true;
            case WS_SO_SNDBUF:
                SysName = SO_SNDBUF;
                return true;
            case WS_SO_RCVBUF:
                SysName = SO_RCVBUF;
                return true;
            case WS_SO_ERROR:
                SysName = SO_ERROR;
                return true;
            case WS_SO_TYPE:
                SysName = SO_TYPE;
                return true;
            default:
                return false;
        }
    }
    if (Level == WS_IPPROTO_TCP && OptName == WS_TCP_NODELAY) {
        SysLevel = IPPROTO_TCP;
        SysName = TCP_NODELAY;
        return true;
    }
    return false;
}

sockaddr_in ToSys(const TSockAddrIn& A) {
    sockaddr_in Sys{};
    Sys.sin_family = AF_INET;
    Sys.sin_port = A.sin_port;
    Sys.sin_addr.s_addr = A.sin_addr;
    return Sys;
}

TSockAddrIn FromSys(const sockaddr_in& Sys) {
    TSockAddrIn A;
    A.sin_family = WS_AF_INET;
    A.sin_port = Sys.sin_port;
    A.sin_addr = Sys.sin_addr.s_addr;
    return A;
}

// The local or the peer address of a socket, by the system call given.
int QueryAddress(SOCKET S, TSockAddrIn& Addr, int (*Query)(int, sockaddr*, socklen_t*)) {
    TSockEntry* E = Find(S);
    if (!E) return Fail(WSAENOTSOCK);
    sockaddr_in Sys{};
    socklen_t Len = sizeof(Sys);
    if (Query(E->Fd, reinterpret_cast<sockaddr*>(&Sys), &Len) != 0) return FailErrno();
    Addr = FromSys(Sys);
    return 0;
}

int LookupError(int Gai) {
    switch (Gai) {
        case EAI_AGAIN:
            return WSATRY_AGAIN;
        case EAI_FAIL:
            return WSANO_RECOVERY;
#ifdef EAI_NODATA
        case EAI_NODATA:
            return WSANO_DATA;
#endif
        default:
            return WSAHOST_NOT_FOUND;
    }
}

int Lookup(const std::string& Name, std::vector<uint32_t>& Addresses) {
    Addresses.clear();
    if (Name.empty() || Name.size() > NetLimits::kMaxHostNameLength) return WSAHOST_NOT_FOUND;
    addrinfo Hints{};
    Hints.ai_family = AF_INET;
    Hints.ai_socktype = SOCK_STREAM;
    addrinfo* Result = nullptr;
    const int Rc = ::getaddrinfo(Name.c_str(), nullptr, &Hints, &Result);
    if (Rc != 0) return LookupError(Rc);
    for (addrinfo* A = Result; A && Addresses.size() < NetLimits::kMaxHostAddresses;
         A = A->ai_next) {
        if (A->ai_family != AF_INET) continue;
        const uint32_t Addr = reinterpret_cast<sockaddr_in*>(A->ai_addr)->sin_addr.s_addr;
        bool Seen = false;
        for (uint32_t Known : Addresses) Seen = Seen || Known == Addr;
        if (!Seen) Addresses.push_back(Addr);
    }
    ::freeaddrinfo(Result);
    return Addresses.empty() ? WSANO_DATA : 0;
}

// Requests of the lookup workers. Shared with the threads, so it is never destroyed: a worker
// may still be finishing while the process exits.
struct TLookups {
    struct TRequest {
        HWND Wnd = 0;
        UINT Msg = 0;
        bool Done = false;
        int Error = 0;
        std::vector<uint32_t> Addresses;
    };
    std::mutex Lock;
    std::map<uintptr_t, TRequest> Requests;
    uintptr_t Next = 1;
};

TLookups& Lookups() {
    static TLookups* Instance = new TLookups;
    return *Instance;
}

}  // namespace

std::string WSAErrorText(int Code) {
    switch (Code) {
        case 10004:
            return "Interrupted function call";
        case 10009:
            return "Bad file descriptor";
        case 10013:
            return "Permission denied";
        case 10014:
            return "Bad address";
        case 10022:
            return "Invalid argument";
        case 10024:
            return "Too many open files";
        case 10035:
            return "Resource temporarily unavailable";
        case 10036:
            return "Operation now in progress";
        case 10037:
            return "Operation already in progress";
        case 10038:
            return "Socket operation on nonsocket";
        case 10039:
            return "Destination address required";
        case 10040:
            return "Message too long";
        case 10041:
            return "Protocol wrong type for socket";
        case 10042:
            return "Bad protocol option";
        case 10043:
            return "Protocol not supported";
        case 10044:
            return "Socket type not supported";
        case 10045:
            return "Operation not supported";
        case 10046:
            return "Protocol family not supported";
        case 10047:
            return "Address family not supported by protocol family";
        case 10048:
            return "Address already in use";
        case 10049:
            return "Cannot assign requested address";
        case 10050:
            return "Network is down";
        case 10051:
            return "Network is unreachable";
        case 10052:
            return "Network dropped connection on reset";
        case 10053:
            return "Software caused connection abort";
        case 10054:
            return "Connection reset by peer";
        case 10055:
            return "No buffer space available";
        case 10056:
            return "Socket is already connected";
        case 10057:
            return "Socket is not connected";
        case 10058:
            return "Cannot send after socket shutdown";
        case 10059:
            return "Too many references; cannot splice";
        case 10060:
            return "Connection timed out";
        case 10061:
            return "Connection refused";
        case 10062:
            return "Too many levels of symbolic links";
        case 10063:
            return "File name too long";
        case 10064:
            return "Host is down";
        case 10065:
            return "No route to host";
        case 10066:
            return "Directory not empty";
        case 10067:
            return "Too many processes";
        case 10068:
            return "Too many users";
        case 10069:
            return "Disk quota exceeded";
        case 10070:
            return "Stale NFS file handle";
        case 10071:
            return "Too many levels of remote in path";
        case 10091:
            return "Network subsystem is unavailable";
        case 10092:
            return "WinSock DLL version not supported";
        case 10093:
            return "Successful WSAStartup not yet performed";
        case 10101:
            return "Graceful shutdown in progress";
        case 10102:
            return "No more data available";
        case 10103:
            return "Cancelled";
        case 10104:
            return "Invalid procedure table from service provider";
        case 10105:
            return "Invalid service provider version number";
        case 10106:
            return "Unable to initialize a service provider";
        case 10107:
            return "System call failure";
        case 10108:
            return "Service not found";
        case 10109:
            return "Type not found";
        case 10110:
            return "No more data available";
        case 10111:
            return "Lookup cancelled";
        case 10112:
            return "Refused";
        case 11001:
            return "Host not found";
        case 11002:
            return "Nonauthoritative host not found";
        case 11003:
            return "This is a nonrecoverable error";
        case 11004:
            return "Valid name, no data record of requested type";
        case 11005:
            return "At least one Reserve has arrived";
        case 11006:
            return "At least one Path has arrived";
        case 11007:
            return "There are no senders";
        case 11008:
            return "There are no receivers";
        case 11009:
            return "Reserve has been confirmed";
        case 11010:
            return "Error due to lack of resources";
        case 11011:
            return "Rejected for administrative reasons - bad credentials";
        case 11012:
            return "Unknown or conflicting style";
        case 11013:
            return "Problem filterspec or providerspecific buffer";
        case 11014:
            return "Problem with some part of the flowspec";
        case 11015:
            return "General error";
        default:
            return "Unknown error (" + std::to_string(Code) + ")";
    }
}

namespace WinSock {

int WSAStartup(uint16_t VersionRequested, TWSAData& Data) {
    const uint8_t Major = VersionRequested & 0xFF;
    if (Major < 1) return WSAVERNOTSUPPORTED;
    Data.wVersion = Major >= 2 ? 0x0202 : VersionRequested;
    Data.wHighVersion = 0x0202;
    Data.szDescription = "Kestro sockets over POSIX";
    Data.szSystemStatus = "Running";
    Data.iMaxSockets = 0x7FFF;
    Data.iMaxUdpDg = 65467;
    ++StartupCount;
    return 0;
}

int WSACleanup() {
    if (StartupCount == 0) return Fail(WSANOTINITIALISED);
    --StartupCount;
    return 0;
}

int WSAGetLastError() {
    return LastError;
}
void WSASetLastError(int Code) {
    LastError = Code;
}

SOCKET socket(int Family, int Type, int Protocol) {
    if (Family != WS_AF_INET) return Fail(WSAEAFNOSUPPORT);
    if (Type != WS_SOCK_STREAM && Type != WS_SOCK_DGRAM) return Fail(10044);
    const int SysType = (Type == WS_SOCK_STREAM ? SOCK_STREAM : SOCK_DGRAM);
    const int Fd = ::socket(AF_INET, SysType | SOCK_NONBLOCK | SOCK_CLOEXEC, Protocol);
    if (Fd < 0) return FailErrno();
    auto E = std::make_unique<TSockEntry>();
    E->Fd = Fd;
    E->Type = Type;
    const SOCKET S = NextHandle++;
    Sockets.emplace(S, std::move(E));
    return S;
}

int closesocket(SOCKET S) {
    auto It = Sockets.find(S);
    if (It == Sockets.end()) return Fail(WSAENOTSOCK);
    std::unique_ptr<TSockEntry> E = std::move(It->second);
    Sockets.erase(It);
    E->ReadNotifier.reset();
    E->WriteNotifier.reset();
    ::close(E->Fd);
    return 0;
}

int bind(SOCKET S, const TSockAddrIn& Addr) {
    TSockEntry* E = Find(S);
    if (!E) return Fail(WSAENOTSOCK);
    const sockaddr_in Sys = ToSys(Addr);
    if (::bind(E->Fd, reinterpret_cast<const sockaddr*>(&Sys), sizeof(Sys)) != 0)
        return FailErrno();
    return 0;
}

int connect(SOCKET S, const TSockAddrIn& Addr) {
    TSockEntry* E = Find(S);
    if (!E) return Fail(WSAENOTSOCK);
    if (Addr.sin_addr == WS_INADDR_ANY || Addr.sin_port == 0) return Fail(WSAEADDRNOTAVAIL);
    if (E->Connected) return Fail(WSAEISCONN);
    if (E->Connecting) return Fail(WSAEALREADY);
    const sockaddr_in Sys = ToSys(Addr);
    const int Rc = ::connect(E->Fd, reinterpret_cast<const sockaddr*>(&Sys), sizeof(Sys));
    if (Rc != 0 && errno != EINPROGRESS) return FailErrno();
    // Also an at-once success is reported through FD_CONNECT, as WinSock always does.
    E->Connecting = true;
    ArmWrite(*E);
    return Fail(WSAEWOULDBLOCK);
}

int shutdown(SOCKET S, int How) {
    TSockEntry* E = Find(S);
    if (!E) return Fail(WSAENOTSOCK);
    const int SysHow = How == SD_RECEIVE ? SHUT_RD : How == SD_SEND ? SHUT_WR : SHUT_RDWR;
    if (How != SD_RECEIVE) E->SendShut = true;
    if (::shutdown(E->Fd, SysHow) != 0) return FailErrno();
    return 0;
}

int recv(SOCKET S, void* Buf, int Len, int Flags) {
    TSockEntry* E = Find(S);
    if (!E) return Fail(WSAENOTSOCK);
    if (Len < 0) return Fail(WSAEINVAL);
    E->ReadNoticed = false;
    const ssize_t N = ::recv(E->Fd, Buf, static_cast<size_t>(Len), Flags | MSG_DONTWAIT);
    if (N < 0) {
        const int Err = errno;
        if (Err == ECONNRESET || Err == ECONNABORTED || Err == ETIMEDOUT)
            NoticeClose(S, *E, MapErrno(Err));
        else
            ArmRead(*E);
        if (Err == ENOTCONN || (!E->Connected && E->Type == WS_SOCK_STREAM))
            return Fail(WSAENOTCONN);
        return Fail(MapErrno(Err));
    }
    if (N == 0 && Len > 0 && E->Type == WS_SOCK_STREAM) {
        NoticeClose(S, *E, 0);
    } else {
        // Acknowledge at once: the protocols here answer a short command with a reply the server
        // may write in pieces, and a delayed acknowledgement would hold each later piece back.
        if (N > 0 && E->Type == WS_SOCK_STREAM) {
            int One = 1;
            ::setsockopt(E->Fd, IPPROTO_TCP, TCP_QUICKACK, &One, sizeof One);
        }
        ArmRead(*E);
    }
    return static_cast<int>(N);
}

int send(SOCKET S, const void* Buf, int Len, int Flags) {
    TSockEntry* E = Find(S);
    if (!E) return Fail(WSAENOTSOCK);
    if (Len < 0) return Fail(WSAEINVAL);
    if (E->SendShut) return Fail(WSAESHUTDOWN);
    const ssize_t N =
        ::send(E->Fd, Buf, static_cast<size_t>(Len), Flags | MSG_NOSIGNAL | MSG_DONTWAIT);
    if (N < 0) {
        if (errno == EAGAIN) {
            E->WriteWanted = true;
            ArmWrite(*E);
            return Fail(WSAEWOULDBLOCK);
        }
        if (errno == EPIPE) return Fail(WSAECONNRESET);
        if (errno == ENOTCONN) return Fail(WSAENOTCONN);
        return FailErrno();
    }
    return static_cast<int>(N);
}

int recvfrom(SOCKET S, void* Buf, int Len, int Flags, TSockAddrIn* From) {
    TSockEntry* E = Find(S);
    if (!E) return Fail(WSAENOTSOCK);
    if (Len < 0) return Fail(WSAEINVAL);
    E->ReadNoticed = false;
    sockaddr_in Sys{};
    socklen_t SysLen = sizeof(Sys);
    const ssize_t N = ::recvfrom(E->Fd, Buf, static_cast<size_t>(Len), Flags | MSG_DONTWAIT,
                                 reinterpret_cast<sockaddr*>(&Sys), &SysLen);
    ArmRead(*E);
    if (N < 0) return FailErrno();
    if (From) *From = FromSys(Sys);
    return static_cast<int>(N);
}

int sendto(SOCKET S, const void* Buf, int Len, int Flags, const TSockAddrIn& To) {
    TSockEntry* E = Find(S);
    if (!E) return Fail(WSAENOTSOCK);
    if (Len < 0) return Fail(WSAEINVAL);
    const sockaddr_in Sys = ToSys(To);
    const ssize_t N =
        ::sendto(E->Fd, Buf, static_cast<size_t>(Len), Flags | MSG_NOSIGNAL | MSG_DONTWAIT,
                 reinterpret_cast<const sockaddr*>(&Sys), sizeof(Sys));
    if (N < 0) return FailErrno();
    return static_cast<int>(N);
}

int getsockopt(SOCKET S, int Level, int OptName, int32_t& Value) {
    TSockEntry* E = Find(S);
    if (!E) return Fail(WSAENOTSOCK);
    if (Level == WS_SOL_SOCKET && OptName == WS_SO_TYPE) {
        Value = E->Type;
        return 0;
    }
    int SysLevel = 0, SysName = 0;
    if (!MapOption(Level, OptName, SysLevel, SysName)) return Fail(WSAENOPROTOOPT);
    int V = 0;
    socklen_t Len = sizeof(V);
    if (::getsockopt(E->Fd, SysLevel, SysName, &V, &Len) != 0) return FailErrno();
    Value = (SysName == SO_ERROR && Level == WS_SOL_SOCKET && V != 0) ? MapErrno(V) : V;
    return 0;
}

int setsockopt(SOCKET S, int Level, int OptName, int32_t Value) {
    TSockEntry* E = Find(S);
    if (!E) return Fail(WSAENOTSOCK);
    int SysLevel = 0, SysName = 0;
    if (!MapOption(Level, OptName, SysLevel, SysName)) return Fail(WSAENOPROTOOPT);
    int V = Value;
    // Boolean options take -1 for on, as WinSock accepts any non-zero value.
    if (SysName != SO_SNDBUF && SysName != SO_RCVBUF) V = Value != 0 ? 1 : 0;
    if (::setsockopt(E->Fd, SysLevel, SysName, &V, sizeof(V)) != 0) return FailErrno();
    return 0;
}

int getsockname(SOCKET S, TSockAddrIn& Addr) {
    return QueryAddress(S, Addr, ::getsockname);
}

int getpeername(SOCKET S, TSockAddrIn& Addr) {
    return QueryAddress(S, Addr, ::getpeername);
}

int WSAAsyncSelect(SOCKET S, HWND Wnd, UINT Msg, uint32_t Events) {
    TSockEntry* E = Find(S);
    if (!E) return Fail(WSAENOTSOCK);
    if (Events != 0 && !IsWindow(Wnd)) return Fail(WSAEINVAL);
    E->Wnd = Events ? Wnd : 0;
    E->Msg = Msg;
    E->Events = Events;
    if (Events) MakeNotifiers(S, *E);
    if (E->Type == WS_SOCK_DGRAM) E->Connected = true;
    // An adopted, connected socket may write at once; WinSock says so with one FD_WRITE.
    if (E->Connected && !E->Connecting && (Events & FD_WRITE)) Notify(S, *E, FD_WRITE, 0);
    ArmRead(*E);
    ArmWrite(*E);
    return 0;
}

int gethostname(std::string& Name) {
    char Buf[NetLimits::kMaxHostNameLength + 1] = {};
    if (::gethostname(Buf, sizeof(Buf) - 1) != 0) return FailErrno();
    Name = Buf;
    return 0;
}

int gethostbyname(const std::string& Name, std::vector<uint32_t>& Addresses) {
    const int Err = Lookup(Name, Addresses);
    return Err ? Fail(Err) : 0;
}

uint32_t inet_addr(const std::string& Text) {
    in_addr A{};
    if (Text.empty() || Text.size() > 15 || ::inet_aton(Text.c_str(), &A) == 0)
        return WS_INADDR_NONE;
    return A.s_addr;
}

std::string inet_ntoa(uint32_t Addr) {
    const auto* B = reinterpret_cast<const uint8_t*>(&Addr);
    return std::to_string(B[0]) + "." + std::to_string(B[1]) + "." + std::to_string(B[2]) + "." +
           std::to_string(B[3]);
}

uint16_t HostToNetShort(uint16_t Value) {
    return ::htons(Value);
}
uint16_t NetToHostShort(uint16_t Value) {
    return ::ntohs(Value);
}
uint32_t HostToNetLong(uint32_t Value) {
    return ::htonl(Value);
}
uint32_t NetToHostLong(uint32_t Value) {
    return ::ntohl(Value);
}

uintptr_t WSAAsyncGetHostByName(HWND Wnd, UINT Msg, const std::string& Name) {
    TLookups& L = Lookups();
    uintptr_t Handle;
    {
        std::lock_guard<std::mutex> G(L.Lock);
        Handle = L.Next++;
        auto& R = L.Requests[Handle];
        R.Wnd = Wnd;
        R.Msg = Msg;
    }
    if (Name.empty() || Name.size() > NetLimits::kMaxHostNameLength) {
        std::lock_guard<std::mutex> G(L.Lock);
        auto& R = L.Requests[Handle];
        R.Done = true;
        R.Error = Name.empty() ? WSAHOST_NOT_FOUND : WSAEINVAL;
        PostMessage(Wnd, Msg, Handle, MAKELPARAM(0, static_cast<uint16_t>(R.Error)));
        return Handle;
    }
    std::thread([Handle, Name]() {
        std::vector<uint32_t> Addresses;
        const int Err = Lookup(Name, Addresses);
        TLookups& L = Lookups();
        std::lock_guard<std::mutex> G(L.Lock);
        auto It = L.Requests.find(Handle);
        if (It == L.Requests.end()) return;  // cancelled
        It->second.Done = true;
        It->second.Error = Err;
        It->second.Addresses = std::move(Addresses);
        PostMessage(It->second.Wnd, It->second.Msg, Handle,
                    MAKELPARAM(0, static_cast<uint16_t>(Err)));
    }).detach();
    return Handle;
}

bool WSAGetAsyncHostResult(uintptr_t Handle, std::vector<uint32_t>& Addresses) {
    TLookups& L = Lookups();
    std::lock_guard<std::mutex> G(L.Lock);
    auto It = L.Requests.find(Handle);
    if (It == L.Requests.end() || !It->second.Done) return false;
    Addresses = std::move(It->second.Addresses);
    L.Requests.erase(It);
    return true;
}

int WSACancelAsyncRequest(uintptr_t Handle) {
    TLookups& L = Lookups();
    std::lock_guard<std::mutex> G(L.Lock);
    auto It = L.Requests.find(Handle);
    if (It == L.Requests.end()) return Fail(WSAEINVAL);
    // An answer already on its way is delivered and can still be read, as WinSock does it.
    if (It->second.Done) return Fail(WSAEALREADY);
    L.Requests.erase(It);
    return 0;
}

SOCKET ReserveHandle() {
    return NextHandle++;
}

size_t OpenSocketCount() {
    return Sockets.size();
}

}  // namespace WinSock
