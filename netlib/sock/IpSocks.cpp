#include "netlib/sock/IpSocks.h"

#include <algorithm>
#include <cstring>

#include "netlib/base/IpUtils.h"
#include "netlib/sock/IpSock.h"
#include "netlib/sock/IpTelnet.h"
#include "netlib/sock/Limits.h"

namespace {

constexpr uint8_t kSocks4 = 4;
constexpr uint8_t kSocks5 = 5;
constexpr uint8_t kCmdConnect = 1;
constexpr uint8_t kSocks4Granted = 90;
constexpr uint8_t kMethodNone = 0;
constexpr uint8_t kMethodUserPass = 2;
constexpr uint8_t kUserPassVersion = 1;
constexpr uint8_t kAtypIPv4 = 1;
constexpr uint8_t kAtypDomain = 3;
constexpr uint8_t kAtypIPv6 = 4;
// The reply code a SOCKS 5 proxy gives for an address type it does not know; used for a reply
// whose address type this side does not know.
constexpr int32_t kAddressTypeUnknown = 8;

void AppendPort(std::string& s, uint16_t netPort) {
    const auto* P = reinterpret_cast<const unsigned char*>(&netPort);
    s += static_cast<char>(P[0]);
    s += static_cast<char>(P[1]);
}

void AppendAddress(std::string& s, uint32_t netAddress) {
    const auto* P = reinterpret_cast<const unsigned char*>(&netAddress);
    for (int I = 0; I < 4; ++I) s += static_cast<char>(P[I]);
}

// A field with a length byte in front, cut to what the length byte can say.
void AppendCounted(std::string& s, const std::string& field) {
    const std::string Cut = field.substr(0, SockLimits::kSocksMaxField);
    s += static_cast<char>(Cut.size());
    s += Cut;
}

// The host part of the address text given to Connect, as the client split it.
std::string TargetHost(TIpDataSocket& socket) {
    auto* Client = dynamic_cast<TIpCustomClient*>(socket.Owner());
    if (!Client) return {};
    std::string Host;
    uint16_t Port = 0;
    try {
        Client->ResolveHostPort(socket.GetAddressText(), Host, Port);
    } catch (const Exception&) {
        return {};
    }
    return Host;
}

}  // namespace

void TIpSocksServerInfo::Assign(TIpSocksServerInfo& source) {
    if (&source == this) return;
    source.Lock();
    Lock();
    Address = source.Address;
    Password = source.Password;
    Port = source.Port;
    SocksVersion = source.SocksVersion;
    UserCode = source.UserCode;
    Unlock();
    source.Unlock();
}

TIpSocksFilter::TIpSocksFilter(TIpSocksServerInfo& server, std::unique_ptr<TIpSocketFilter> inner)
    : FInner(std::move(inner)) {
    server.Lock();
    FAddress = server.Address;
    FPassword = server.Password;
    FPort = server.Port;
    FVersion = server.SocksVersion;
    FUserCode = server.UserCode;
    server.Unlock();
}

bool TIpSocksFilter::ProxyAddress(TIpDataSocket&, TSockAddrIn& via) {
    via = TSockAddrIn();
    via.sin_port = WinSock::HostToNetShort(FPort);
    uint32_t Ip = WinSock::inet_addr(FAddress);
    if (Ip == WS_INADDR_NONE) Ip = TIpSockControl::LookupName(FAddress);
    // A proxy name that does not resolve must not turn into 0.0.0.0, which reaches this host.
    if (Ip == 0 || Ip == WS_INADDR_NONE) throw EIpWinSockError(WSAEADDRNOTAVAIL, "SocksConnect");
    via.sin_addr = Ip;
    return true;
}

// SOCKS 4a exists so that the proxy looks the name up.
bool TIpSocksFilter::ResolvesNames() const {
    return FVersion == svSocks4a;
}

bool TIpSocksFilter::StartNegotiation(TIpDataSocket& socket) {
    SendSocksRequest(socket);
    return true;
}

void TIpSocksFilter::SendSocksRequest(TIpDataSocket& socket) {
    const std::string Request = FVersion == svSocks5 ? BuildGreeting() : BuildSocks4Request(socket);
    FReply.clear();
    FState = ssRequestSent;
    socket.SendRaw(Request.data(), static_cast<uint32_t>(Request.size()), true);
}

std::string TIpSocksFilter::BuildSocks4Request(TIpDataSocket& socket) const {
    const TSockAddrIn& Target = socket.RemoteAddress();
    std::string Host;
    // 4a: a target that was not looked up here goes as its name behind the address 0.0.0.1.
    if (FVersion == svSocks4a && Target.sin_addr == 0) Host = TargetHost(socket);
    std::string R;
    R += static_cast<char>(kSocks4);
    R += static_cast<char>(kCmdConnect);
    AppendPort(R, Target.sin_port);
    AppendAddress(R, Host.empty() ? Target.sin_addr : WinSock::HostToNetLong(1));
    R += FUserCode.substr(0, SockLimits::kSocksMaxField);
    R += '\0';
    if (!Host.empty()) {
        R += Host.substr(0, SockLimits::kSocksMaxField);
        R += '\0';
    }
    return R;
}

std::string TIpSocksFilter::BuildGreeting() const {
    return std::string{static_cast<char>(kSocks5), 2, static_cast<char>(kMethodNone),
                       static_cast<char>(kMethodUserPass)};
}

std::string TIpSocksFilter::BuildAuthRequest() const {
    std::string R(1, static_cast<char>(kUserPassVersion));
    AppendCounted(R, FUserCode);
    AppendCounted(R, FPassword);
    return R;
}

std::string TIpSocksFilter::BuildConnectRequest(TIpDataSocket& socket) const {
    const TSockAddrIn& Target = socket.RemoteAddress();
    std::string R{static_cast<char>(kSocks5), static_cast<char>(kCmdConnect), 0,
                  static_cast<char>(kAtypIPv4)};
    AppendAddress(R, Target.sin_addr);
    AppendPort(R, Target.sin_port);
    return R;
}

// The length of the reply now awaited, as far as the bytes collected so far tell it.
uint32_t TIpSocksFilter::ReplyLength() const {
    if (FVersion != svSocks5) return 8;
    if (FState != ssConnectSent) return 2;
    if (FReply.size() < 4 || FReply[1] != 0) return 4;
    switch (static_cast<uint8_t>(FReply[3])) {
        case kAtypIPv4:
            return 4 + 4 + 2;
        case kAtypIPv6:
            return 4 + 16 + 2;
        case kAtypDomain:
            return FReply.size() < 5 ? 5 : 5 + static_cast<uint8_t>(FReply[4]) + 2;
        default:
            return 4;
    }
}

// Replies are collected until complete, also over several reads; what follows the last one is
// the server's data and stays in the block, after the connection has been reported.
uint32_t TIpSocksFilter::Received(TIpDataSocket& socket, char* data, uint32_t count) {
    if (FState == ssDone) return FInner ? FInner->Received(socket, data, count) : count;
    if (FFailed || FState == ssConfigured) return 0;
    uint32_t Used = 0;
    while (FState != ssDone && !FFailed && !socket.IsClosed()) {
        const uint32_t Need = ReplyLength();
        if (FReply.size() < Need) {
            const uint32_t Take =
                std::min<uint32_t>(Need - static_cast<uint32_t>(FReply.size()), count - Used);
            if (Take == 0) break;
            FReply.append(data + Used, Take);
            Used += Take;
            continue;  // the length may depend on the bytes just taken
        }
        HandleReply(socket);
    }
    if (FState != ssDone || socket.IsClosed()) return 0;
    const uint32_t Left = count - Used;
    std::memmove(data, data + Used, Left);
    return FInner ? FInner->Received(socket, data, Left) : Left;
}

void TIpSocksFilter::HandleReply(TIpDataSocket& socket) {
    const auto* R = reinterpret_cast<const unsigned char*>(FReply.data());
    if (FVersion != svSocks5) {
        if (R[1] != kSocks4Granted) return Refuse(socket, R[1]);
        return Connected(socket, R + 2, R + 4);
    }
    if (FState == ssRequestSent) {
        const uint8_t Method = R[1];
        FReply.clear();
        if (Method == kMethodNone) {
            const std::string C = BuildConnectRequest(socket);
            FState = ssConnectSent;
            socket.SendRaw(C.data(), static_cast<uint32_t>(C.size()), true);
        } else if (Method == kMethodUserPass) {
            const std::string A = BuildAuthRequest();
            FState = ssAuthSent;
            socket.SendRaw(A.data(), static_cast<uint32_t>(A.size()), true);
        } else {
            // 255 (nothing acceptable) and any method that was not offered.
            Refuse(socket, Method);
        }
        return;
    }
    if (FState == ssAuthSent) {
        const uint8_t Status = R[1];
        FReply.clear();
        if (Status != 0) return Refuse(socket, Status);
        const std::string C = BuildConnectRequest(socket);
        FState = ssConnectSent;
        socket.SendRaw(C.data(), static_cast<uint32_t>(C.size()), true);
        return;
    }
    if (R[1] != 0) return Refuse(socket, R[1]);
    const uint8_t Atyp = R[3];
    if (Atyp == kAtypIPv4) return Connected(socket, R + 8, R + 4);
    if (Atyp == kAtypIPv6 || Atyp == kAtypDomain) {
        const size_t PortAt = FReply.size() - 2;
        return Connected(socket, R + PortAt, nullptr);
    }
    Refuse(socket, kAddressTypeUnknown);
}

void TIpSocksFilter::Refuse(TIpDataSocket& socket, int32_t code) {
    FFailed = true;
    FReply.clear();
    if (TIpSockControl* Owner = socket.Owner())
        Owner->DoError(socket.Handle(), code, "SOCKS request refused - " + std::to_string(code));
}

// The proxy's bound address becomes the remote address when it is an IPv4 address at all
// (SOCKS 4 proxies commonly send zeros, which would only hide the target).
void TIpSocksFilter::Connected(TIpDataSocket& socket, const unsigned char* port,
                               const unsigned char* addr) {
    FReply.clear();
    FState = ssDone;
    uint32_t Ip = 0;
    if (addr) std::memcpy(&Ip, addr, 4);
    if (Ip != 0) {
        TSockAddrIn Remote = socket.RemoteAddress();
        std::memcpy(&Remote.sin_port, port, 2);
        Remote.sin_addr = Ip;
        socket.SetRemoteAddress(Remote);
    }
    socket.NegotiationDone();
}

void TIpSocksFilter::Encode(TIpDataSocket& socket, const char* data, uint32_t size,
                            std::string& out) {
    if (FInner)
        FInner->Encode(socket, data, size, out);
    else
        out.append(data, size);
}

void TIpSocksFilter::WindowSizeChanged(TIpDataSocket& socket) {
    if (FInner) FInner->WindowSizeChanged(socket);
}

std::unique_ptr<TIpSocketFilter> IpMakeSocketFilter(TIpSocksServerInfo& socksServer,
                                                    TIpSockOptionSet options) {
    std::unique_ptr<TIpSocketFilter> Filter;
    if (options & soTelnet) Filter = std::make_unique<TIpTelnetFilter>();
    socksServer.Lock();
    const bool Socks = !socksServer.Address.empty();
    socksServer.Unlock();
    if (Socks) Filter = std::make_unique<TIpSocksFilter>(socksServer, std::move(Filter));
    return Filter;
}
