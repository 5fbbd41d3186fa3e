#pragma once
// The time client: asks a time server for the current time with the time protocol (RFC 868,
// port 37: four bytes, seconds since 1900) or the daytime protocol (RFC 867, port 13: one line
// of text), over TCP or UDP, once on request or every PollInterval minutes, and reports the
// answer through OnTime or OnDaytime.
//
// Over TCP the client's own data socket connects to Server and the server sends its answer and
// closes. Over UDP the client sends one datagram from a socket of its own and takes the first
// answer that comes from the server's address.
#include <cstdint>
#include <functional>
#include <string>

#include "netlib/sock/IpSock.h"

enum TIpTimeService { tsDaytime, tsTime };

// Requests (WParam 2) and finished answers (WParam 1) go through this message to the client's
// own window, so events fire after the socket notice that produced them has been handled.
constexpr UINT WM_IPTIMECLIENT = 0x129A;

// Errors of the time client beside the socket errors, reported through OnError.
constexpr int32_t kIpTimeShortAnswer = 8101;  // fewer than four bytes in a time answer
constexpr int32_t kIpTimeNoAnswer = 8102;     // closed, or no datagram in time, without an answer

class TIpCustomTimeClient;

using TIpClientDaytimeEvent =
    std::function<void(TIpCustomTimeClient* sender, const std::string& daytime)>;
// The time as a date-time value: days since 30 December 1899, UTC.
using TIpClientTimeEvent = std::function<void(TIpCustomTimeClient* sender, double timeStamp)>;

class TIpCustomTimeClient : public TIpCustomClient {
  public:
    explicit TIpCustomTimeClient(void* owner = nullptr);
    ~TIpCustomTimeClient() override;

    TIpClientDaytimeEvent OnDaytime;
    TIpClientTimeEvent OnTime;
    // Host name or address of the time server; "host:port" chooses another port.
    std::string Server;

    // Minutes between polls; 0 (the default) polls never. The next poll is counted from the
    // end of the previous request.
    uint32_t PollInterval() const { return FPollInterval; }
    void SetPollInterval(uint32_t minutes);
    bool PollTimerEnabled() const { return FPollEnabled; }

    TIpTimeService TimeService() const { return FTimeService; }
    // Ignored while connected. Sets the default port (13 daytime, 37 time) and how the answer
    // is cut from the connection (a line, or four bytes).
    void SetTimeService(TIpTimeService value);

    // The last answers received.
    const std::string& Daytime() const { return FDaytime; }
    double TimeStamp() const { return FTimeStamp; }

    // Asks the server; the request is carried out when the posted message arrives.
    void RequestTime();

    // The date-time value of RFC 868 seconds (since 1 January 1900 UTC, day 2 of the scale).
    static double TimeStampOf(uint32_t seconds) { return double(seconds) / 86400.0 + 2.0; }

    void DoReadLine(SOCKET socket, const std::string& line) override;
    void DoStatus(SOCKET socket, TIpStatusType event, const TIpConnRec& connection) override;
    void WndProc(TMessage& message) override;

  private:
    void StartRequest();
    void StartUdpRequest();
    void HandleUdpEvent(const TMessage& message);
    void HandleReply(SOCKET socket, const char* data, size_t size);
    void AnswerReady();
    void FailRequest(SOCKET socket, int32_t code, const std::string& text);
    void CloseUdpSocket();
    void EnablePollTimer(bool enable);

    uint32_t FPollInterval = 0;
    bool FPollEnabled = false;
    TIpTimeService FTimeService = tsDaytime;
    std::string FDaytime;
    double FTimeStamp = 0.0;
    // True from a request until its answer (or failure); later data of the same exchange is
    // ignored.
    bool FWaiting = false;
    SOCKET FUdpSocket = INVALID_SOCKET;
    TSockAddrIn FUdpPeer;
};

// The published time client.
class TIpTimeClient : public TIpCustomTimeClient {
  public:
    using TIpCustomTimeClient::TIpCustomTimeClient;
};
