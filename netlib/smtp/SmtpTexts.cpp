// Texts of the SMTP client's debug-log entries, and the small line routines.
#include <string>

#include "netlib/base/IpUtils.h"
#include "netlib/smtp/IpSmtp.h"

std::string SmtpTaskText(uint32_t task) {
    switch (task) {
        case stNoTask:
            return "None (stNoTask)";
        // The brace has always been written that way; log readers may match it.
        case stLogon:
            return "Logging on {stLogon)";
        case stSendMail:
            return "Sending mail (stSendMail)";
        case stFailed:
            return "Failed (3)";
        default:
            return "Unknown task (" + std::to_string(task) + ")";
    }
}

std::string SmtpStateText(uint32_t state) {
    switch (state) {
        case ssNoOp:
            return "No operation (ssNoOp)";
        case ssConnect:
            return "Connecting (ssConnect)";
        case ssEhlo:
            return "Logging on with EHLO (ssEhlo)";
        case ssHelo:
            return "Logging on with HELO (ssHelo)";
        case ssMailFrom:
            return "Sending sender's info (ssMailFrom)";
        case ssRcptTo:
            return "Sending MailTo info (ssRcptTo)";
        case ssRcptCc:
            return "Sending CC info (ssRcptCc)";
        case ssRcptBcc:
            return "Sending BCC info (ssRcptBcc)";
        case ssData:
            return "Sending Data (ssData)";
        case ssRSet:
            return "Resetting server (ssRSet)";
        case ssHelp:
            return "Help (ssHelp)";
        case ssSendEnvelope:
            return "Sending Envelope (ssSendEnvelope)";
        case ssSendMessage:
            return "Sending Message (ssSendMessage)";
        case ssSpecial:
            return "Sending special command (ssSpecial)";
        case ssQuit:
            return "Quit (ssQuit)";
        default:
            return "Unknown state (" + std::to_string(state) + ")";
    }
}

std::string SmtpReplyText(const std::string& line) {
    return line.size() > 4 ? line.substr(4) : std::string();
}

int32_t SmtpReplyCode(const std::string& line) {
    if (line.size() <= 4) return 0;
    int32_t code = 0;
    for (size_t i = 0; i < 3; ++i) {
        const char c = line[i];
        if (c < '0' || c > '9') return 0;
        code = code * 10 + (c - '0');
    }
    // "2500 queued" is no 250: a server that says it has lost track, and a file taken for
    // accepted on it would be deleted unsent.
    const char next = line[3];
    return next == ' ' || next == '-' || next == '\r' || next == '\n' ? code : 0;
}

std::string EnvelopeAddress(const std::string& spec) {
    return "<" + StripControls(spec) + ">";
}

void AppendStuffedLine(std::string& out, const std::string& line) {
    if (!line.empty() && line[0] == '.') out += '.';
    out += line;
    out += "\r\n";
}
