#include "netlib/sock/IpFakeSocket.h"

#include <cstring>

TIpFakeSocket::TIpFakeSocket(TIpCustomClient& owner)
    : TIpDataSocket(&owner, &owner.SockInits(), WinSock::ReserveHandle(), TNoDescriptor{}) {
    FHandleOpen = true;
}

void TIpFakeSocket::AcceptConnect() {
    TIpSockControl* O = Owner();
    const SOCKET S = Handle();
    if (!O) return;
    O->SocketConnect(S);
    if (O->GetSocket(S, false) == this) O->SocketWrite(S);
}

void TIpFakeSocket::RefuseConnect(int errorCode) {
    if (TIpSockControl* O = Owner())
        O->DoError(Handle(), errorCode, EIpWinSockError::FormatMessage(errorCode, "Fd_Connect"));
}

void TIpFakeSocket::Feed(const std::string& bytes) {
    FInput.append(bytes);
    if (TIpSockControl* O = Owner()) O->SocketRead(Handle());
}

void TIpFakeSocket::FeedByNotice(const std::string& bytes) {
    FInput.append(bytes);
    if (TIpSockControl* O = Owner())
        SendMessage(O->Handle(), WM_IPSOCKETEVENT, static_cast<WPARAM>(Handle()),
                    MAKELPARAM(FD_READ, 0));
}

void TIpFakeSocket::ArriveByNotice(const std::string& bytes) {
    FInput.append(bytes);
    if (TIpSockControl* O = Owner())
        PostMessage(O->Handle(), WM_IPSOCKETEVENT, static_cast<WPARAM>(Handle()),
                    MAKELPARAM(FD_READ, 0));
}

void TIpFakeSocket::PeerClose() {
    FPeerClosed = true;
    if (TIpSockControl* O = Owner()) O->SocketClose(Handle());
}

void TIpFakeSocket::PeerCloseByNotice() {
    FPeerClosed = true;
    if (TIpSockControl* O = Owner())
        SendMessage(O->Handle(), WM_IPSOCKETEVENT, static_cast<WPARAM>(Handle()),
                    MAKELPARAM(FD_CLOSE, 0));
}

void TIpFakeSocket::SetBlocked(bool blocked) {
    FBlocked = blocked;
    TIpSockControl* O = Owner();
    if (!blocked && O && Connected()) O->SocketWrite(Handle());
}

std::string TIpFakeSocket::TakeWritten() {
    std::string Out;
    Out.swap(FWritten);
    return Out;
}

int TIpFakeSocket::ApiRecv(void* buf, int len) {
    const size_t Avail = FInput.size() - FInputPos;
    if (Avail == 0) {
        FInput.clear();
        FInputPos = 0;
        if (FPeerClosed) return 0;
        FLastError = WSAEWOULDBLOCK;
        return SOCKET_ERROR;
    }
    const size_t N = std::min(Avail, static_cast<size_t>(len));
    std::memcpy(buf, FInput.data() + FInputPos, N);
    FInputPos += N;
    return static_cast<int>(N);
}

int TIpFakeSocket::ApiSend(const void* buf, int len) {
    if (FBlocked) {
        FLastError = WSAEWOULDBLOCK;
        return SOCKET_ERROR;
    }
    FWritten.append(static_cast<const char*>(buf), static_cast<size_t>(len));
    return len;
}

int TIpFakeSocket::ApiConnect(const TSockAddrIn& addr) {
    FConnectCalled = true;
    FConnectAddress = addr;
    FLastError = WSAEWOULDBLOCK;
    return SOCKET_ERROR;
}

void TIpFakeSocket::ApiLocalAddress(TSockAddrIn& addr) {
    addr.sin_addr = WinSock::inet_addr("127.0.0.1");
    addr.sin_port = WinSock::HostToNetShort(50000);
}
