#pragma once
// Mails for the viewer's tests, one of each shape the viewer tells apart, as a spool holds them
// (CR LF lines).
#include <initializer_list>
#include <string>

#include "netlib/mime/MimeMessage.h"

namespace ViewMails {

inline std::string Lines(std::initializer_list<const char*> Text) {
    std::string Out;
    for (const char* Line : Text) Out += std::string(Line) + "\r\n";
    return Out;
}

// No content type at all: the tree stays empty. The body has markup-like text and an empty line.
inline const std::string Plain = Lines({
    "From: Petra Beispiel <petra@point.example>",
    "To: thomas@mailhafen.example",
    "Subject: Treffen am Dienstag",
    "Date: Tue, 01 Dec 2026 18:30:00 +0100",
    "X-Mailer: OpenXP 3.40",
    "",
    "Hallo Thomas,",
    "",
    "schreib mir an <petra@point.example> & sag Klaus Bescheid.",
    "Gru\xDF, Petra",
});

inline const std::string SingleText = Lines({
    "From: a@b.example",
    "Subject: eins",
    "MIME-Version: 1.0",
    "Content-Type: text/plain; charset=iso-8859-1",
    "",
    "nur Text",
});

inline const std::string SingleHtml = Lines({
    "From: a@b.example",
    "Subject: html allein",
    "MIME-Version: 1.0",
    "Content-Type: text/html",
    "",
    "<p>Nur <b>HTML</b></p>",
});

inline const std::string Alternative = Lines({
    "From: a@b.example",
    "Subject: beides",
    "MIME-Version: 1.0",
    "Content-Type: multipart/alternative; boundary=\"ALT\"",
    "",
    "--ALT",
    "Content-Type: text/plain",
    "",
    "der Text",
    "--ALT",
    "Content-Type: text/html",
    "Content-Transfer-Encoding: quoted-printable",
    "",
    "<p>das =3Cb>HTML=3C/b></p>",
    "--ALT--",
});

inline const std::string AlternativeTextOnly = Lines({
    "From: a@b.example",
    "Subject: nur Text",
    "MIME-Version: 1.0",
    "Content-Type: multipart/alternative; boundary=\"ALT\"",
    "",
    "--ALT",
    "Content-Type: text/plain",
    "",
    "Zeile 1",
    "",
    "Zeile <3>",
    "--ALT--",
});

// A text with two attachments: a name with a directory, and one named only by its disposition.
inline const std::string Mixed = Lines({
    "From: a@b.example",
    "Subject: Anhang",
    "MIME-Version: 1.0",
    "Content-Type: multipart/mixed; boundary=\"MIX\"",
    "",
    "This is a multi-part message in MIME format.",
    "--MIX",
    "Content-Type: text/plain",
    "",
    "siehe Anhang",
    "--MIX",
    "Content-Type: application/octet-stream; name=\"../../daten/bericht.txt\"",
    "Content-Transfer-Encoding: base64",
    "Content-Disposition: attachment; filename=\"bericht.txt\"",
    "",
    "SW5oYWx0IGRlcyBCZXJpY2h0cw==",
    "--MIX",
    "Content-Type: text/plain",
    "Content-Disposition: attachment; filename=\"notiz.txt\"",
    "",
    "eine Notiz",
    "--MIX--",
});

// A message whose whole body is one attachment: the root shows the type, its one part the name.
inline const std::string WholeAttachment = Lines({
    "From: a@b.example",
    "Subject: Rechnung",
    "MIME-Version: 1.0",
    "Content-Type: application/pdf",
    "Content-Disposition: attachment; filename=\"rechnung.pdf\"",
    "Content-Transfer-Encoding: base64",
    "",
    "JVBERi0xLjQK",
});

// A mixed mail whose body is an alternative, with a forwarded message.
inline const std::string Nested = Lines({
    "From: a@b.example",
    "Subject: verschachtelt",
    "MIME-Version: 1.0",
    "Content-Type: multipart/mixed; boundary=\"OUT\"",
    "",
    "--OUT",
    "Content-Type: multipart/alternative; boundary=\"IN\"",
    "",
    "--IN",
    "Content-Type: text/plain",
    "",
    "innen Text",
    "--IN",
    "Content-Type: text/html",
    "",
    "<p>innen HTML</p>",
    "--IN--",
    "--OUT",
    "Content-Type: message/rfc822",
    "",
    "From: c@d.example",
    "Subject: weitergeleitet",
    "",
    "alter Text",
    "--OUT--",
});

// Loads raw text into a message as a spool file would.
inline void Load(TIpMessage& Message, const std::string& Raw) {
    Message.NewMessageStream();
    Message.MessageStream.WriteString(Raw);
    Message.DecodeMessage();
}

}  // namespace ViewMails
