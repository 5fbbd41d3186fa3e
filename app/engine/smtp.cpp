#include "app/engine/smtp.h"

#include <cctype>
#include <exception>
#include <vector>

#include "app/engine/KestroGlobal.h"
#include "app/engine/Limits.h"
#include "app/engine/RunState.h"
#include "app/engine/SpoolFiles.h"
#include "app/engine/bfgconfig.h"
#include "netlib/mime/Codecs.h"
#include "netlib/mime/MailAddresses.h"
#include "platform/fs/Files.h"

namespace {

constexpr UINT_PTR kWaitTimerId = 1;

std::string Upper(std::string text) {
    for (char& c : text) c = char(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The bare address ("a@b") of an address as the envelope writes it.
std::string BareAddress(const std::string& address) {
    const std::string normalized = TIpCustomSmtpClient::NormalizeAddress(address);
    return normalized.size() >= 2 ? normalized.substr(1, normalized.size() - 2) : std::string();
}

bool ListHasAddress(const TStringList& list, const std::string& bare) {
    const std::string wanted = Upper(bare);
    for (int i = 0; i < list.Count(); ++i)
        for (const std::string& spec : AddrSpecs(list[i]))
            if (Upper(spec) == wanted) return true;
    return false;
}

// Whether the message names anyone to send it to (a To of "undisclosed-recipients:;" alone
// does not).
bool HasRecipient(const TIpMessage& message) {
    for (const TStringList* list : {&message.MailTo, &message.CC, &message.BCC})
        for (int i = 0; i < list->Count(); ++i)
            if (!AddrSpecs((*list)[i]).empty()) return true;
    return false;
}

// A reply line without its line end, which frames the line and is none of what the server said.
// Control characters within the text stay: the log shows them escaped.
std::string WithoutLineEnd(const std::string& line) {
    size_t end = line.size();
    if (end > 0 && line[end - 1] == '\n') {
        --end;
        if (end > 0 && line[end - 1] == '\r') --end;
    }
    return line.substr(0, end);
}

// What the log shows of a reply: the texts of its lines without their line ends, joined by a
// blank, so that a refusal of several lines reads as the sentences the server wrote; cut when it
// grows too long for a log line.
std::string ReplyText(const std::vector<std::string>& texts) {
    std::string out;
    for (const std::string& text : texts) {
        const std::string part = WithoutLineEnd(text);
        if (part.empty()) continue;
        if (!out.empty()) out += ' ';
        out += part;
        if (out.size() > KestroLimits::kMaxReplyTextLogged) {
            out.resize(KestroLimits::kMaxReplyTextLogged);
            out += "...";
            break;
        }
    }
    return out;
}

}  // namespace

TKestroSMTPClient::TKestroSMTPClient() : Client(std::make_unique<TIpSmtpClient>()) {
    Client->XMailer = "Orvalin Kestro V" + GlobalConfig.Version;
    Client->OnNextMessage = [this](TIpCustomSmtpClient* c, bool& ready) {
        DoNextMessage(c, ready);
    };
    Client->OnResponse = [this](TIpCustomSmtpClient* c, TIpSmtpStates to, int32_t code,
                                const std::string& text) { DoResponse(c, to, code, text); };
    Client->OnMultiLineResponse = [this](TIpCustomSmtpClient* c, TIpSmtpStates to,
                                         TStringList& lines) { DoMultiLineResponse(c, to, lines); };
    Client->OnProgress = [this](TIpCustomSmtpClient* c, uint64_t n) { DoProgress(c, n); };
}

TKestroSMTPClient::~TKestroSMTPClient() {
    if (FHoldsSmtpBusy) --SmtpBusy;
    if (FWaitWindow) DeallocateHWnd(FWaitWindow);
    UnwireClient(*Client);
    Client->OnNextMessage = nullptr;
    Client->OnResponse = nullptr;
    Client->OnMultiLineResponse = nullptr;
    Client->OnProgress = nullptr;
}

bool TKestroSMTPClient::HandlerRunning() const {
    return ClientBusy(*Client);
}

void TKestroSMTPClient::Start(int32_t taskNo) {
    TKestroCustomClient::Start(taskNo);
    TaskNo = taskNo;
    try {
        if (Pop3Busy > 0 || SmtpBusy > 0) {
            Wait();
            return;
        }
        ++SmtpBusy;
        FHoldsSmtpBusy = true;
        if (!Prepare()) return;
        if (Files.Count() > 0 && PrepareNextMail()) {
            Client->SendMail(FServer, true);
        } else {
            State = tsFinished;
        }
    } catch (const std::exception& e) {
        Fail("Error: " + std::string(e.what()));
    }
}

bool TKestroSMTPClient::Prepare() {
    const TKestroConfig& box = GetConfig();
    FServer = box.SmtpServer;
    WireClient(*Client, FServer);
    // Sending the files of some other directory would send mail nobody meant to send.
    if (!SetSpoolDir(box.SmtpSpool)) {
        SetRunExitCode(1);
        State = tsFinished;
        return false;
    }
    Files.Clear();
    FileIndex = 0;
    for (const std::string& name : FindFiles(SpoolDir, "M*.OUT")) Files.Add(SpoolDir + name);
    const std::string count = std::to_string(Files.Count());
    if (box.IsFallback) {
        if (Files.Count() == 0)
            Log("Kein Fallback f\xC3\xBCr Verzeichnis " + SpoolDir + " n\xC3\xB6tig");
        else
            Log("Fallback: Versende " + count + " ausgehende Nachrichten in Verzeichnis " +
                SpoolDir);
    } else {
        Log("Versende " + count + " ausgehende Nachrichten in Verzeichnis " + SpoolDir);
    }
    if (Files.Count() == 0) return true;
    SetClientLogs(*Client, "SMTP");
    const int32_t port = box.SmtpUseSSL ? 465 : box.SmtpPort;
    if (!ApplyPortAndTimeout(*Client, port, box.SmtpTimeout, "SMTP")) return false;
    if (box.SmtpUseSSL) Client->SetUsingSSL(true);
    Client->SetIdleTimeout(uint32_t(box.SmtpTimeout) * 1000u);
    Client->SetTimerInterval(50);
    return true;
}

void TKestroSMTPClient::Wait() {
    const int64_t interval = int64_t(TaskNo) * 5 + 50;
    if (interval < 1 || interval > int64_t(USER_TIMER_MAXIMUM))
        throw ERangeError("Wait interval out of range for task " + std::to_string(TaskNo));
    if (!FWaitWindow) {
        Log("Warte auf anderen POP3 oder SMTP-Task");
        FWaitWindow = AllocateHWnd([this](TMessage& message) {
            if (message.Msg == WM_TIMER && message.WParam == kWaitTimerId) WaitTimerTick();
        });
    }
    SetTimer(FWaitWindow, kWaitTimerId, UINT(interval));
    FWaitTimerOn = true;
}

void TKestroSMTPClient::WaitTimerTick() {
    if (Pop3Busy > 0 || SmtpBusy > 0) return;
    KillTimer(FWaitWindow, kWaitTimerId);
    FWaitTimerOn = false;
    Start(TaskNo);
}

bool TKestroSMTPClient::PrepareNextMail() {
    const TKestroConfig& box = GetConfig();
    for (;; ++FileIndex) {
        while (FileIndex < Files.Count() && !FileExists(Files[FileIndex])) ++FileIndex;
        if (FileIndex >= Files.Count() || !Running) return false;

        TIpMailMessage& message = Client->Message();
        std::string helo;
        std::vector<std::string> recipients;
        try {
            ReadOutgoingMail(message, Files[FileIndex], helo, recipients);
        } catch (const std::exception& e) {
            // A damaged file stays for the user to look at; the others still go out.
            Log("Error: " + Files[FileIndex] + ": " + e.what());
            SetRunExitCode(1);
            continue;
        }

        std::string domain = box.SmtpEnvelope.empty() ? helo : box.SmtpEnvelope;
        const size_t at = domain.find('@');
        if (at != std::string::npos) domain = domain.substr(at + 1);
        Client->Domain = domain;

        // Envelope recipients missing from the header go in as blind copies: they get the
        // message without being shown to the others.
        std::string shown;
        for (const std::string& recipient : recipients) {
            const std::string bare = BareAddress(recipient);
            if (bare.empty()) continue;
            if (!shown.empty()) shown += ", ";
            shown += bare;
            if (!ListHasAddress(message.MailTo, bare) && !ListHasAddress(message.CC, bare) &&
                !ListHasAddress(message.BCC, bare))
                message.BCC.Add(bare);
        }
        if (!HasRecipient(message)) {
            Log("Error: " + Files[FileIndex] + ": keine Empf\xC3\xA4nger");
            SetRunExitCode(1);
            continue;
        }
        Log("Versende Nachricht " + std::to_string(FileIndex + 1) + " von " +
            std::to_string(Files.Count()) + " an " + shown);
        ++MailCount;
        return true;
    }
}

void TKestroSMTPClient::DoNextMessage(TIpCustomSmtpClient*, bool& nextMsgReady) {
    nextMsgReady = false;
    if (State != tsRunning) return;
    const std::string sent = Files[FileIndex];
    if (!DeleteFile(sent)) Log("Error: " + sent + " konnte nicht gel\xC3\xB6scht werden");
    if (FileIndex < Files.Count() - 1) {
        ++FileIndex;
        nextMsgReady = PrepareNextMail();
    }
    if (!nextMsgReady) {
        Log("Letze Nachricht versandt");
        State = tsFinished;
    }
}

void TKestroSMTPClient::OfferLogin(const std::string& line) {
    if (FAuthStep != asNone || GetConfig().SmtpUser.empty()) return;
    const std::string upper = Upper(line);
    if (upper.find("AUTH") == std::string::npos || upper.find("LOGIN") == std::string::npos) return;
    FAuthStep = asAuthSent;
    Client->SendCommand("AUTH LOGIN", false);
}

void TKestroSMTPClient::DoMultiLineResponse(TIpCustomSmtpClient* client, TIpSmtpStates responseTo,
                                            TStringList& response) {
    const std::string& last = client->LastReply();
    if (State == tsRunning && responseTo == ssEhlo) {
        // Every line of the reply counts, the final one too: servers name AUTH wherever they like.
        for (int i = 0; i < response.Count() && FAuthStep == asNone; ++i) OfferLogin(response[i]);
        OfferLogin(last);
    }
    // A reply of several lines means what its code says, as a reply of one line does: large
    // providers refuse a recipient with a paragraph.
    std::vector<std::string> texts;
    for (int i = 0; i < response.Count(); ++i) texts.push_back(SmtpReplyText(response[i]));
    texts.push_back(SmtpReplyText(last));
    JudgeReply(responseTo, SmtpReplyCode(last), ReplyText(texts));
}

void TKestroSMTPClient::DoResponse(TIpCustomSmtpClient*, TIpSmtpStates responseTo, int32_t code,
                                   const std::string& response) {
    if (State == tsRunning && responseTo == ssEhlo && code == 250) OfferLogin(response);
    JudgeReply(responseTo, code, ReplyText({response}));
}

void TKestroSMTPClient::JudgeReply(TIpSmtpStates responseTo, int32_t code,
                                   const std::string& text) {
    if (responseTo == ssSendMessage) CountBytes(*Client, false, true);  // the body went out
    if (State != tsRunning) return;
    const TKestroConfig& box = GetConfig();
    if (code == 334 && (FAuthStep == asAuthSent || FAuthStep == asUserSent)) {
        // The first challenge asks for the user, the second for the password, whatever the
        // server writes as prompt.
        if (FAuthStep == asAuthSent) {
            FAuthStep = asUserSent;
            Client->SendCommand(Base64EncodeString(box.SmtpUser), false);
            return;
        }
        FAuthStep = asPasswordSent;
        if (box.SmtpPass.empty()) Fail("SMTP Error auf " + FServer + ": Leeres Passwort");
        Client->SendCommand(Base64EncodeString(box.SmtpPass), false);
        return;
    }
    if (code == 235 && FAuthStep == asPasswordSent) {
        FAuthStep = asDone;
        Client->SendMail(FServer, true);
        return;
    }
    if (responseTo == ssSpecial && FResetSent) {
        FResetSent = false;
        if (code / 100 == 2) {
            Client->SendMail(FServer, true);
            return;
        }
    }
    if (SkipRefusedMail(responseTo, code, text)) return;
    const bool failed = code == 0 || (code > 400 && responseTo != ssEhlo) || code == 334 ||
                        (responseTo == ssSendMessage && code != 250);
    if (!failed) return;
    // A line without a reply code (garbage, a reply cut off by a close, "25") has no text after
    // the code either: the line itself says what the server sent.
    const std::string shown = code == 0
                                  ? "ung\xC3\xBCltige Antwort \"" +
                                        IpLineForLog(WithoutLineEnd(Client->LastReply())) + "\""
                                  : text;
    Fail(ErrorLine(code, shown));
}

std::string TKestroSMTPClient::ErrorLine(int32_t code, const std::string& text) const {
    return "SMTP Error " + std::to_string(code) + " auf " + FServer + ": " + text;
}

bool TKestroSMTPClient::SkipRefusedMail(TIpSmtpStates responseTo, int32_t code,
                                        const std::string& text) {
    const bool envelope =
        responseTo == ssRcptTo || responseTo == ssRcptCc || responseTo == ssRcptBcc;
    if (code < 500 || code > 599 || (!envelope && responseTo != ssSendMessage)) return false;
    // This mail will meet the same refusal on every run; held up by it, every mail after it
    // would wait for good. It stays in the spool as written, the run reports it, and the next
    // mail goes out on the same connection.
    Log(ErrorLine(code, text));
    Log("Nachricht " + std::to_string(FileIndex + 1) + " (" + Files[FileIndex] +
        ") wurde abgewiesen und bleibt im Spool");
    SetRunExitCode(ExitCodeError);
    ++FileIndex;
    if (!PrepareNextMail()) {
        // The client quits after the refusal.
        State = tsFinished;
        return true;
    }
    // A refused recipient leaves the server in the middle of the mail: RSET ends it, so the
    // recipients it took get nothing either.
    FResetSent = true;
    Client->SendCommand("RSET", false);
    return true;
}

void TKestroSMTPClient::DoProgress(TIpCustomSmtpClient*, uint64_t) {
    // The client reports what this message's body took so far; the task counts the session.
    CountBytes(*Client, false, true);
}
