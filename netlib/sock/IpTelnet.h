#pragma once
// The telnet layer of a data socket (socket option soTelnet): received data is cleaned of telnet
// commands, option negotiation is answered on its own (passively: this side never starts one),
// the terminal type, window size and status are sent when the server asks, and outgoing data
// has its IAC bytes doubled.
#include <bitset>
#include <cstdint>
#include <string>

#include "netlib/sock/IpDataSocket.h"

// What the telnet layer needs of the terminal that is master of a socket.
class TIpTelnetTerminal {
  public:
    virtual ~TIpTelnetTerminal() = default;
    // Appends the window-size payload: columns high, columns low, rows high, rows low.
    virtual void WindowSizeBytes(std::string& s) = 0;
    // The terminal type of the terminal's emulator; empty when the terminal has none.
    virtual std::string TelnetTermType() = 0;
};

namespace IpTelnet {
constexpr uint8_t IAC = 255;
constexpr uint8_t DONT = 254;
constexpr uint8_t DO = 253;
constexpr uint8_t WONT = 252;
constexpr uint8_t WILL = 251;
constexpr uint8_t SB = 250;
constexpr uint8_t SE = 240;
constexpr uint8_t IS = 0;
constexpr uint8_t SEND = 1;
constexpr uint8_t OptBinary = 0;
constexpr uint8_t OptEcho = 1;
constexpr uint8_t OptSuppressGoAhead = 3;
constexpr uint8_t OptStatus = 5;
constexpr uint8_t OptTerminalType = 24;
constexpr uint8_t OptWindowSize = 31;
}  // namespace IpTelnet

class TIpTelnetFilter : public TIpSocketFilter {
  public:
    using TOptionSet = std::bitset<256>;

    TIpTelnetFilter();

    uint32_t Received(TIpDataSocket& socket, char* data, uint32_t count) override;
    void Encode(TIpDataSocket& socket, const char* data, uint32_t size, std::string& out) override;
    void WindowSizeChanged(TIpDataSocket& socket) override { SendWindowSize(socket); }

    // Block-wise name of the receive side.
    uint32_t TelnetFilter(TIpDataSocket& socket, char* data, uint32_t count) {
        return Received(socket, data, count);
    }
    // One received negotiation command; true for WILL, WONT, DO and DONT.
    virtual bool TelnetCommand(TIpDataSocket& socket, uint8_t command, uint8_t option);
    // The bytes between IAC SB and IAC SE (doubled IAC bytes undone).
    virtual void TelnetSubNegotiation(TIpDataSocket& socket, const std::string& bytes);
    void SendTelnetCommand(TIpDataSocket& socket, uint8_t command, uint8_t option);
    void EnableLocalOption(TIpDataSocket& socket, uint8_t option);
    void SendWindowSize(TIpDataSocket& socket);
    void SendTerminalType(TIpDataSocket& socket);
    void SendStatus(TIpDataSocket& socket);

    TOptionSet LocalSupported;
    TOptionSet LocalEnabled;
    TOptionSet RemoteSupported;
    TOptionSet RemoteEnabled;

    // Bytes held for a sub-negotiation that has not ended yet.
    size_t HeldBytes() const { return FSub.size(); }

  private:
    enum TRecvState : uint8_t { rsData, rsIac, rsOption, rsSub, rsSubIac, rsSubSkip, rsSubSkipIac };
    void LogTelnet(TIpDataSocket& socket, uint32_t direction, uint8_t command, uint8_t option);
    void SendSub(TIpDataSocket& socket, uint8_t option, const std::string& payload);

    TRecvState FState = rsData;
    uint8_t FCommand = 0;
    bool FCrPending = false;  // the last data byte was a CR outside binary mode
    std::string FSub;
};

// Copies count bytes from source to target with every 255 written twice; the bytes written.
// target must have room for 2 * count bytes.
uint32_t DoubleIAC(const char* source, char* target, uint32_t count);
// s with every occurrence of c doubled.
std::string DoubleChar(const std::string& s, char c);
