#include "netlib/sock/IpWinSock.h"

EIpWinSockError::EIpWinSockError(int32_t errorCode, const std::string& api)
    : EIpBaseException(FormatMessage(errorCode, api)), FErrorCode(errorCode) {}

EIpWinSockError::EIpWinSockError(const std::string& text) : EIpBaseException(text) {}

std::string EIpWinSockError::ErrorText(int32_t code) {
    return WSAErrorText(code);
}

std::string EIpWinSockError::FormatMessage(int32_t code, const std::string& api) {
    return "WinSock Error (" + std::to_string(code) + "): " + ErrorText(code) + ", on API '" + api +
           "'";
}

EIpActiveError::EIpActiveError() : EIpBaseException("Cannot set property on an active socket") {}
EIpIndexError::EIpIndexError() : EIpBaseException("Index out of range") {}
EIpNoSocketError::EIpNoSocketError() : EIpBaseException("Socket not assigned") {}
EIpProgrammerError::EIpProgrammerError() : EIpBaseException("Stream not assigned") {}

TIpWinSockAccess::TIpWinSockAccess() {
    const int Rc = WinSock::WSAStartup(0x0202, FData);
    if (Rc != 0) throw EIpWinSockError(Rc, "WSAStartup");
    FModule = 1;
}

TIpWinSockAccess::~TIpWinSockAccess() {
    if (FModule) WinSock::WSACleanup();
}

TIpWinSockAccess& IpWinSock() {
    static TIpWinSockAccess Instance;
    return Instance;
}

namespace {

// "[n]" for codes without a name. Built by appending: g++ 12 at -O2 and above warns falsely
// (-Wrestrict) about a literal put in front of a temporary string.
std::string Bracketed(int code) {
    std::string Text(1, '[');
    Text += std::to_string(code);
    Text += ']';
    return Text;
}

}  // namespace

std::string IpSocketEventName(uint16_t event) {
    switch (event) {
        case FD_READ:
            return "Fd_Read";
        case FD_WRITE:
            return "Fd_Write";
        case FD_OOB:
            return "Fd_Oob";
        case FD_ACCEPT:
            return "Fd_Accept";
        case FD_CONNECT:
            return "Fd_Connect";
        case FD_CLOSE:
            return "Fd_Close";
        default:
            return Bracketed(event);
    }
}

std::string IpAsyncRequestName(int kind) {
    switch (kind) {
        case 0:
            return "WsaAsyncGetHostByName";
        case 1:
            return "WsaAsyncGetHostByAddr";
        case 2:
            return "WsaAsyncGetServByName";
        case 3:
            return "WsaAsyncGetServByPort";
        default:
            return Bracketed(kind);
    }
}
