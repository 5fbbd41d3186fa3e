#include "netlib/time/IpTime.h"

#include <algorithm>

#include "netlib/time/Limits.h"
#include "platform/net/WinSock.h"

namespace {

// Timer ids on the client's window beside the socket control's own timer (1).
constexpr UINT_PTR kPollTimerId = 2;
constexpr UINT_PTR kUdpAnswerTimerId = 3;

constexpr WPARAM kAnswerReady = 1;
constexpr WPARAM kRequest = 2;

uint32_t BigEndian32(const char* p) {
    return uint32_t(uint8_t(p[0])) << 24 | uint32_t(uint8_t(p[1])) << 16 |
           uint32_t(uint8_t(p[2])) << 8 | uint32_t(uint8_t(p[3]));
}

}  // namespace

TIpCustomTimeClient::TIpCustomTimeClient(void* owner) : TIpCustomClient(owner) {
    DefaultPort = 13;
}

TIpCustomTimeClient::~TIpCustomTimeClient() {
    EnablePollTimer(false);
    KillTimer(Handle(), kUdpAnswerTimerId);
    if (FUdpSocket != INVALID_SOCKET) WinSock::closesocket(FUdpSocket);
}

void TIpCustomTimeClient::SetPollInterval(uint32_t minutes) {
    FPollInterval = minutes;
    EnablePollTimer(minutes > 0);
}

void TIpCustomTimeClient::EnablePollTimer(bool enable) {
    KillTimer(Handle(), kPollTimerId);
    FPollEnabled = false;
    if (!enable || FPollInterval == 0) return;
    const uint64_t ms = std::min<uint64_t>(uint64_t(FPollInterval) * 60000u, USER_TIMER_MAXIMUM);
    FPollEnabled = SetTimer(Handle(), kPollTimerId, UINT(ms)) != 0;
}

void TIpCustomTimeClient::SetTimeService(TIpTimeService value) {
    if (IsConnected() || value == FTimeService) return;
    FTimeService = value;
    if (value == tsDaytime) {
        DefaultPort = 13;
        SockInits().LineTerminator = ltCRLF;
        SockInits().ReceiveBufferSize = 1024;
    } else {
        // The four-byte answer is cut as one fixed-length line.
        DefaultPort = 37;
        SockInits().LineTerminator = ltNone;
        SockInits().FixedLineLength = 4;
        SockInits().ReceiveBufferSize = 4;
    }
}

void TIpCustomTimeClient::RequestTime() {
    PostMessage(Handle(), WM_IPTIMECLIENT, kRequest, 0);
}

void TIpCustomTimeClient::WndProc(TMessage& message) {
    if (message.Msg == WM_IPTIMECLIENT) {
        if (message.WParam == kRequest) StartRequest();
        if (message.WParam == kAnswerReady) AnswerReady();
        return;
    }
    if (message.Msg == WM_TIMER && message.WParam == kPollTimerId) {
        EnablePollTimer(false);
        RequestTime();
        return;
    }
    if (message.Msg == WM_TIMER && message.WParam == kUdpAnswerTimerId) {
        KillTimer(Handle(), kUdpAnswerTimerId);
        if (FUdpSocket != INVALID_SOCKET && FWaiting)
            FailRequest(FUdpSocket, kIpTimeNoAnswer, "No answer from time server " + Server);
        return;
    }
    // The datagram socket is the client's own, not a data socket of the socket control.
    if (message.Msg == WM_IPSOCKETEVENT && FUdpSocket != INVALID_SOCKET &&
        SOCKET(message.WParam) == FUdpSocket) {
        HandleUdpEvent(message);
        return;
    }
    TIpCustomClient::WndProc(message);
}

void TIpCustomTimeClient::StartRequest() {
    FWaiting = true;
    if (SockProtocol() == spTcp)
        Connect(Server);
    else
        StartUdpRequest();
}

void TIpCustomTimeClient::StartUdpRequest() {
    // An unanswered earlier request gives way to this one.
    CloseUdpSocket();
    std::string host;
    uint16_t port = 0;
    ResolveHostPort(Server, host, port);

    FUdpSocket = WinSock::socket(WS_AF_INET, WS_SOCK_DGRAM, 0);
    if (FUdpSocket == INVALID_SOCKET) {
        FWaiting = false;
        throw Exception("invalid udp socket");
    }
    WinSock::WSAAsyncSelect(FUdpSocket, Handle(), WM_IPSOCKETEVENT, FD_READ);

    FUdpPeer = TSockAddrIn();
    FUdpPeer.sin_family = WS_AF_INET;
    FUdpPeer.sin_port = WinSock::HostToNetShort(port);
    FUdpPeer.sin_addr = WinSock::inet_addr(host);
    if (FUdpPeer.sin_addr == WS_INADDR_NONE) FUdpPeer.sin_addr = LookupName(host);
    if (FUdpPeer.sin_addr == 0 || FUdpPeer.sin_addr == WS_INADDR_NONE) {
        FailRequest(FUdpSocket, WSAHOST_NOT_FOUND,
                    EIpWinSockError::FormatMessage(WSAHOST_NOT_FOUND, "gethostbyname"));
        return;
    }
    const char probe = 0;
    if (WinSock::sendto(FUdpSocket, &probe, 1, 0, FUdpPeer) == SOCKET_ERROR) {
        const int code = WinSock::WSAGetLastError();
        FailRequest(FUdpSocket, code, EIpWinSockError::FormatMessage(code, "sendto"));
        return;
    }
    const uint32_t wait =
        SockInits().IdleTimeout > 0 ? SockInits().IdleTimeout : TimeLimits::kUdpAnswerTimeout;
    SetTimer(Handle(), kUdpAnswerTimerId, wait);
}

void TIpCustomTimeClient::HandleUdpEvent(const TMessage& message) {
    const uint16_t error = HIWORD(uintptr_t(message.LParam));
    if (error != 0) {
        FailRequest(FUdpSocket, error, EIpWinSockError::FormatMessage(error, "FD_READ"));
        return;
    }
    if (LOWORD(uintptr_t(message.LParam)) != FD_READ) return;
    char buffer[TimeLimits::kDatagramSize];
    TSockAddrIn from;
    const int count = WinSock::recvfrom(FUdpSocket, buffer, int(sizeof(buffer)), 0, &from);
    if (count == SOCKET_ERROR) {
        const int code = WinSock::WSAGetLastError();
        if (code != WSAEWOULDBLOCK)
            FailRequest(FUdpSocket, code, EIpWinSockError::FormatMessage(code, "recvfrom"));
        return;
    }
    // Anybody can send a datagram to the port: only the server's answer counts.
    if (from.sin_addr != FUdpPeer.sin_addr || from.sin_port != FUdpPeer.sin_port) return;
    HandleReply(FUdpSocket, buffer, size_t(count));
}

void TIpCustomTimeClient::DoReadLine(SOCKET socket, const std::string& line) {
    TIpCustomClient::DoReadLine(socket, line);
    if (!line.empty()) HandleReply(socket, line.data(), line.size());
}

void TIpCustomTimeClient::HandleReply(SOCKET socket, const char* data, size_t size) {
    if (!FWaiting) return;
    if (FTimeService == tsTime) {
        // The answer is read by its byte count: a zero byte is part of the number.
        if (size < 4) {
            FailRequest(socket, kIpTimeShortAnswer,
                        "Time answer of " + std::to_string(size) + " bytes, expected 4");
            return;
        }
        FTimeStamp = TimeStampOf(BigEndian32(data));
    } else {
        FDaytime.assign(data, size);
    }
    FWaiting = false;
    PostMessage(Handle(), WM_IPTIMECLIENT, kAnswerReady, 0);
}

void TIpCustomTimeClient::AnswerReady() {
    if (SockProtocol() == spUdp) {
        CloseUdpSocket();
        EnablePollTimer(true);
    }
    if (FTimeService == tsDaytime) {
        if (OnDaytime) OnDaytime(this, FDaytime);
    } else {
        if (OnTime) OnTime(this, FTimeStamp);
    }
}

void TIpCustomTimeClient::FailRequest(SOCKET socket, int32_t code, const std::string& text) {
    FWaiting = false;
    if (socket == FUdpSocket && socket != INVALID_SOCKET) {
        CloseUdpSocket();
        EnablePollTimer(true);
    }
    DoError(socket, code, text);
}

void TIpCustomTimeClient::CloseUdpSocket() {
    KillTimer(Handle(), kUdpAnswerTimerId);
    if (FUdpSocket == INVALID_SOCKET) return;
    WinSock::closesocket(FUdpSocket);
    FUdpSocket = INVALID_SOCKET;
}

void TIpCustomTimeClient::DoStatus(SOCKET socket, TIpStatusType event,
                                   const TIpConnRec& connection) {
    TIpCustomClient::DoStatus(socket, event, connection);
    if (event == stConnect && SockProtocol() == spUdp) PutString(socket, std::string(), false);
    if (event == stDisconnect) {
        EnablePollTimer(true);
        // A server that closes without an answer has failed the request.
        if (FWaiting && SockProtocol() == spTcp)
            FailRequest(socket, kIpTimeNoAnswer,
                        "Time server " + Server + " closed the connection without an answer");
    }
}
