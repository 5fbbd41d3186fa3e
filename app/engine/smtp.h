#pragma once
// The SMTP send task: sends the box's outgoing mail files M*.OUT one by one over one SMTP
// connection and deletes each once the server has accepted its message. Only one SMTP task
// sends at a time, and none while a POP3 task of a box with "SMTP after POP" has not been freed;
// a task that has to wait counts as running and looks again on a timer.
#include <cstdint>
#include <memory>
#include <string>

#include "app/engine/pop3.h"
#include "netlib/smtp/IpSmtp.h"

class TKestroSMTPClient : public TKestroCustomClient {
  public:
    TKestroSMTPClient();
    ~TKestroSMTPClient() override;

    std::unique_ptr<TIpSmtpClient> Client;
    // Full paths of the M*.OUT files of this run.
    TStringList Files;
    int32_t FileIndex = 0;

    void Start(int32_t taskNo) override;
    bool HandlerRunning() const override;
    // Reads the next outgoing file into the client's message; false when none is left or the run
    // was stopped.
    bool PrepareNextMail();

    void DoNextMessage(TIpCustomSmtpClient* client, bool& nextMsgReady);
    void DoMultiLineResponse(TIpCustomSmtpClient* client, TIpSmtpStates responseTo,
                             TStringList& response);
    void DoResponse(TIpCustomSmtpClient* client, TIpSmtpStates responseTo, int32_t code,
                    const std::string& response);
    void DoProgress(TIpCustomSmtpClient* client, uint64_t charsTransferred);

    // The task waits for another POP3 or SMTP task.
    bool Waiting() const { return FWaitWindow != 0 && FWaitTimerOn; }

  private:
    enum TAuthStep : uint8_t { asNone, asAuthSent, asUserSent, asPasswordSent, asDone };

    bool Prepare();
    void Wait();
    void WaitTimerTick();
    void OfferLogin(const std::string& line);
    // Every reply of the server, of one line or of several, is judged here by its code; text is
    // what the log shows of it (ReplyText).
    void JudgeReply(TIpSmtpStates responseTo, int32_t code, const std::string& text);
    // The log line of the server's reply code with its text.
    std::string ErrorLine(int32_t code, const std::string& text) const;
    // The server refused the mail being sent for good: to its recipient (RCPT TO) or at the end of
    // its body. True (the mail skipped) for such a reply.
    bool SkipRefusedMail(TIpSmtpStates responseTo, int32_t code, const std::string& text);

    // The wait timer lives on a hidden window of its own, made on the first wait.
    HWND FWaitWindow = 0;
    bool FWaitTimerOn = false;
    bool FHoldsSmtpBusy = false;
    TAuthStep FAuthStep = asNone;
    // RSET was sent after a refused mail; its reply lets the next mail start.
    bool FResetSent = false;
    std::string FServer;
};
