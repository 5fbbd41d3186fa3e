#include "netlib/sock/IpTelnet.h"

#include <cstring>

#include "netlib/sock/IpLog.h"
#include "netlib/sock/IpSock.h"
#include "netlib/sock/Limits.h"

using namespace IpTelnet;

namespace {

// Direction values of the telnet entries in the debug log.
constexpr uint32_t kTelnetReceived = 1;
constexpr uint32_t kTelnetSent = 2;
// Options listed in a status reply.
constexpr unsigned kStatusOptions = 50;

}  // namespace

uint32_t DoubleIAC(const char* source, char* target, uint32_t count) {
    uint32_t Out = 0;
    for (uint32_t I = 0; I < count; ++I) {
        target[Out++] = source[I];
        if (static_cast<uint8_t>(source[I]) == IAC) target[Out++] = source[I];
    }
    return Out;
}

std::string DoubleChar(const std::string& s, char c) {
    std::string Out;
    Out.reserve(s.size());
    for (char Ch : s) {
        Out += Ch;
        if (Ch == c) Out += Ch;
    }
    return Out;
}

TIpTelnetFilter::TIpTelnetFilter() {
    for (uint8_t O : {OptBinary, OptSuppressGoAhead, OptStatus, OptTerminalType, OptWindowSize})
        LocalSupported.set(O);
    for (uint8_t O : {OptBinary, OptEcho, OptSuppressGoAhead}) RemoteSupported.set(O);
}

void TIpTelnetFilter::Encode(TIpDataSocket&, const char* data, uint32_t size, std::string& out) {
    const size_t Start = out.size();
    out.resize(Start + 2 * static_cast<size_t>(size));
    const uint32_t N = DoubleIAC(data, out.data() + Start, size);
    out.resize(Start + N);
}

// Works through the block byte by byte, writing the data back in place (the output is never
// longer than the input). Where a command or a sub-negotiation stands at the end of a block is
// kept in the state, so a command split over reads is handled once, when it is complete.
uint32_t TIpTelnetFilter::Received(TIpDataSocket& socket, char* data, uint32_t count) {
    if (count == 0) return 0;
    const bool Binary = RemoteEnabled[OptBinary];
    if (FState == rsData && !FCrPending && !std::memchr(data, IAC, count) &&
        (Binary || !std::memchr(data, '\r', count)))
        return count;
    uint32_t Out = 0;
    for (uint32_t I = 0; I < count; ++I) {
        const uint8_t B = static_cast<uint8_t>(data[I]);
        switch (FState) {
            case rsData:
                if (B == IAC) {
                    FState = rsIac;
                    break;
                }
                // Outside binary mode a CR travels as CR LF or CR NUL; the NUL is not data.
                if (FCrPending) {
                    FCrPending = false;
                    if (B == 0) break;
                }
                if (B == '\r' && !RemoteEnabled[OptBinary]) FCrPending = true;
                data[Out++] = static_cast<char>(B);
                break;
            case rsIac:
                if (B == IAC) {
                    FCrPending = false;
                    data[Out++] = static_cast<char>(IAC);
                    FState = rsData;
                } else if (B == SB) {
                    FSub.clear();
                    FState = rsSub;
                } else if (B >= WILL && B <= DONT) {
                    FCommand = B;
                    FState = rsOption;
                } else {
                    // Commands without an option (NOP, GA, DM, ...) carry nothing for us.
                    FState = rsData;
                }
                break;
            case rsOption:
                FState = rsData;
                TelnetCommand(socket, FCommand, B);
                break;
            case rsSub:
                if (B == IAC) {
                    FState = rsSubIac;
                } else if (FSub.size() >= SockLimits::kTelnetMaxHeld) {
                    FSub.clear();
                    FSub.shrink_to_fit();
                    FState = rsSubSkip;
                } else {
                    FSub += static_cast<char>(B);
                }
                break;
            case rsSubIac:
                if (B == SE) {
                    FState = rsData;
                    std::string Sub;
                    Sub.swap(FSub);
                    TelnetSubNegotiation(socket, Sub);
                    break;
                }
                FState = rsSub;
                if (FSub.size() + 2 > SockLimits::kTelnetMaxHeld) {
                    FSub.clear();
                    FSub.shrink_to_fit();
                    FState = rsSubSkip;
                    break;
                }
                // IAC IAC is a 255 of the payload; IAC before anything else is kept as it came.
                if (B != IAC) FSub += static_cast<char>(IAC);
                FSub += static_cast<char>(B);
                break;
            case rsSubSkip:
                if (B == IAC) FState = rsSubSkipIac;
                break;
            case rsSubSkipIac:
                FState = B == SE ? rsData : rsSubSkip;
                break;
        }
    }
    return Out;
}

void TIpTelnetFilter::LogTelnet(TIpDataSocket& socket, uint32_t direction, uint8_t command,
                                uint8_t option) {
    if (!(socket.LogOptions & loTelnet) || !socket.Owner()) return;
    socket.Owner()->DebugLog().AddDebugValue(nullptr, static_cast<uint32_t>(socket.Handle()),
                                             deTelnet, direction,
                                             (static_cast<uint32_t>(command) << 8) | option);
}

bool TIpTelnetFilter::TelnetCommand(TIpDataSocket& socket, uint8_t command, uint8_t option) {
    if (command < WILL || command > DONT) return false;
    LogTelnet(socket, kTelnetReceived, command, option);
    // Only a change of state is answered, so that two sides never answer each other for ever.
    switch (command) {
        case WILL:
            if (RemoteEnabled[option]) break;
            if (RemoteSupported[option]) {
                RemoteEnabled.set(option);
                SendTelnetCommand(socket, DO, option);
            } else {
                SendTelnetCommand(socket, DONT, option);
            }
            break;
        case WONT:
            if (!RemoteEnabled[option]) break;
            RemoteEnabled.reset(option);
            SendTelnetCommand(socket, DONT, option);
            break;
        case DO:
            if (LocalEnabled[option]) break;
            if (LocalSupported[option]) {
                // WILL goes first: servers ignore a window size that comes before it.
                SendTelnetCommand(socket, WILL, option);
                EnableLocalOption(socket, option);
            } else {
                SendTelnetCommand(socket, WONT, option);
            }
            break;
        case DONT:
            if (!LocalEnabled[option]) break;
            LocalEnabled.reset(option);
            SendTelnetCommand(socket, WONT, option);
            break;
        default:
            break;
    }
    return true;
}

void TIpTelnetFilter::TelnetSubNegotiation(TIpDataSocket& socket, const std::string& bytes) {
    if (bytes.size() < 2 || static_cast<uint8_t>(bytes[1]) != SEND) return;
    const uint8_t Option = static_cast<uint8_t>(bytes[0]);
    if (Option == OptStatus) SendStatus(socket);
    if (Option == OptTerminalType) SendTerminalType(socket);
}

void TIpTelnetFilter::SendTelnetCommand(TIpDataSocket& socket, uint8_t command, uint8_t option) {
    const char Bytes[3] = {static_cast<char>(IAC), static_cast<char>(command),
                           static_cast<char>(option)};
    socket.SendRaw(Bytes, 3, true);
    LogTelnet(socket, kTelnetSent, command, option);
}

void TIpTelnetFilter::EnableLocalOption(TIpDataSocket& socket, uint8_t option) {
    LocalEnabled.set(option);
    if (option == OptWindowSize) SendWindowSize(socket);
}

void TIpTelnetFilter::SendSub(TIpDataSocket& socket, uint8_t option, const std::string& payload) {
    std::string Bytes;
    Bytes += static_cast<char>(IAC);
    Bytes += static_cast<char>(SB);
    Bytes += static_cast<char>(option);
    Bytes += payload;
    Bytes += static_cast<char>(IAC);
    Bytes += static_cast<char>(SE);
    socket.SendRaw(Bytes.data(), static_cast<uint32_t>(Bytes.size()), true);
}

// The window size is sent only once the server has asked for it (DO NAWS answered).
void TIpTelnetFilter::SendWindowSize(TIpDataSocket& socket) {
    TIpTelnetTerminal* Terminal = socket.GetMasterTerminal();
    if (!LocalEnabled[OptWindowSize] || !Terminal) return;
    std::string Size;
    Terminal->WindowSizeBytes(Size);
    SendSub(socket, OptWindowSize, DoubleChar(Size, static_cast<char>(IAC)));
}

void TIpTelnetFilter::SendTerminalType(TIpDataSocket& socket) {
    if (!LocalEnabled[OptTerminalType]) return;
    std::string Name;
    if (TIpTelnetTerminal* Terminal = socket.GetMasterTerminal()) Name = Terminal->TelnetTermType();
    if (Name.empty()) Name = "dumb";
    std::string Payload(1, static_cast<char>(IS));
    Payload += DoubleChar(Name, static_cast<char>(IAC));
    SendSub(socket, OptTerminalType, Payload);
}

void TIpTelnetFilter::SendStatus(TIpDataSocket& socket) {
    if (!LocalEnabled[OptStatus]) return;
    std::string List(1, static_cast<char>(IS));
    for (unsigned O = 0; O < kStatusOptions; ++O) {
        if (LocalEnabled[O]) {
            List += static_cast<char>(WILL);
            List += static_cast<char>(O);
        }
        if (RemoteEnabled[O]) {
            List += static_cast<char>(DO);
            List += static_cast<char>(O);
        }
    }
    SendSub(socket, OptStatus, List);
}
