#pragma once
// Helpers shared by the message-model tests: loading raw text into a message, reading the
// encoded text back, and a comparable dump of a decoded message.
#include <string>

#include "netlib/mime/MimeMessage.h"

namespace MimeTest {

inline void Load(TIpMessage& m, const std::string& text) {
    m.MessageStream.WriteString(text);
    m.MessageStream.Seek(0, soBeginning);
}

inline std::string Raw(TIpMessage& m) {
    m.MessageStream.Seek(0, soBeginning);
    std::string s(size_t(m.MessageStream.Size()), '\0');
    m.MessageStream.Read(s.data(), int64_t(s.size()));
    m.MessageStream.Seek(0, soBeginning);
    return s;
}

inline std::string BodyText(TIpMimeEntity& e) {
    e.Body.Seek(0, soBeginning);
    std::string s(size_t(e.Body.Size()), '\0');
    e.Body.Read(s.data(), int64_t(s.size()));
    e.Body.Seek(0, soBeginning);
    return s;
}

inline std::string Decoded(TIpMimeEntity& e) {
    TMemoryStream out;
    try {
        e.DecodeBodyStream(out);
    } catch (const Exception& ex) {
        return "<error: " + ex.Message() + ">";
    }
    return std::string(out.Memory(), size_t(out.Size()));
}

// The text as the message stream holds it: every line ended by CR LF. A line feed alone ends a
// line, a carriage return alone stays in it, and a last line without terminator gets one.
inline std::string WithCrLf(const std::string& text) {
    std::string out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        const size_t next = end == std::string::npos ? text.size() : end + 1;
        if (end == std::string::npos) end = text.size();
        size_t stop = end;
        if (end < text.size() && stop > start && text[stop - 1] == '\r') --stop;
        out.append(text, start, stop - start);
        out += "\r\n";
        start = next;
    }
    return out;
}

// Whitespace runs count as one blank, as unfolding treats them; ends are trimmed.
inline std::string Squeeze(const std::string& s) {
    std::string out;
    bool blank = false;
    for (char c : s) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            blank = true;
            continue;
        }
        if (blank && !out.empty()) out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

inline std::string List(const TStringList& l) {
    std::string s;
    for (int i = 0; i < l.Count(); ++i) s += (i ? " | " : "") + Squeeze(l[i]);
    return s;
}

// Every field and part of the entity tree, with each part's decoded content.
inline void DumpEntity(TIpMimeEntity& e, const std::string& indent, std::string& out) {
    out += indent + "type=" + e.ContentType + "/" + e.ContentSubtype +
           " mime=" + std::to_string(e.IsMime) + " multi=" + std::to_string(e.IsMultipart) +
           " boundary=" + e.Boundary + " name=" + e.ContentName + " charset=" + e.CharacterSet +
           " cte=" + std::to_string(int(e.ContentTransferEncoding)) +
           " disp=" + e.ContentDisposition + " file=" + e.FileName + " id=" + e.ContentID +
           " desc=" + Squeeze(e.ContentDescription) + " version=" + Squeeze(e.MimeVersion) +
           " related=" + e.RelatedType + "/" + e.RelatedSubtype + ";" + e.RelatedStart + ";" +
           e.RelatedStartInfo + " size=" + std::to_string(e.Size) + " dates=" + e.CreationDate +
           ";" + e.ModificationDate + ";" + e.ReadDate + "\n";
    out += indent + "params:";
    for (const auto& p : e.ContentTypeParams) out += " " + p;
    out += " / ";
    for (const auto& p : e.DispositionParams) out += " " + p;
    out += "\n" + indent + "other: " + List(e.OtherHeaders) + "\n";
    out += indent + "content: " + Decoded(e) + "\n";
    for (int i = 0; i < e.Parts.Count(); ++i) DumpEntity(*e.Parts.Items(i), indent + "  ", out);
}

inline std::string Dump(TIpMessage& m) {
    std::string out;
    auto field = [&](const char* name, const std::string& v) {
        out += std::string(name) + Squeeze(v) + "\n";
    };
    auto list = [&](const char* name, const TStringList& l) {
        out += std::string(name) + List(l) + "\n";
    };
    list("Received: ", m.Received);
    list("Path: ", m.Path);
    list("Newsgroups: ", m.Newsgroups);
    field("Message-ID: ", m.MessageID);
    field("From: ", m.From);
    field("Reply-To: ", m.ReplyTo);
    field("Date: ", m.Date);
    list("To: ", m.MailTo);
    field("Subject: ", m.Subject);
    field("Organization: ", m.Organization);
    field("Control: ", m.Control);
    list("CC: ", m.CC);
    list("BCC: ", m.BCC);
    field("In-Reply-To: ", m.InReplyTo);
    field("Followup-To: ", m.FollowupTo);
    // References are one list of IDs however they were folded into entries.
    std::string refs;
    for (int i = 0; i < m.References.Count(); ++i) refs += " " + m.References[i];
    field("References: ", refs);
    field("Sender: ", m.Sender);
    field("Keywords: ", m.Keywords);
    field("NNTP-Posting-Host: ", m.NNTPPostingHost);
    field("Posting-Host: ", m.PostingHost);
    field("Return-Path: ", m.ReturnPath);
    list("X-: ", m.UserFields);
    DumpEntity(m, "", out);
    return out;
}

}  // namespace MimeTest
