// Feeds arbitrary bytes to the message decoder as a received message, then encodes the result,
// which must give the bytes back (with CR LF line ends), decodes it again and decodes every
// part's body with its transfer encoding. The same bytes also go to every body decoder directly.
// A plain single-part message is also read by a small reader written here from the mail format
// alone: the decoder must find the same header values and the same decoded body, and the body
// encoded again in its transfer encoding must decode to the same bytes.
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "netlib/base/IpBase.h"
#include "netlib/mime/MimeMessage.h"
#include "tests/netlib/mime/MimeTestUtil.h"

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

std::string Lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// A field's value as a message keeps it: the one blank that may follow the colon parts it from
// the name; further blanks there and blanks at its end are the value's own.
std::string KeptValue(const std::string& afterColon) {
    return afterColon.substr(afterColon.rfind(' ', 0) == 0 ? 1 : 0);
}

// A message the reference reads: unfolded fields of printable ASCII, each once, then the body.
struct TPlainMessage {
    std::map<std::string, std::string> Fields;  // lower-case name -> kept value
    std::string Body;
};

// Only what the reference can read without doubt: no folding, no encoded words, no comments or
// parameters, no multipart; anything else is left to the round trip alone.
std::optional<TPlainMessage> ReadPlain(const std::string& text) {
    TPlainMessage m;
    size_t at = 0;
    for (;;) {
        const size_t end = text.find('\n', at);
        if (end == std::string::npos) return std::nullopt;
        std::string line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) break;
        for (char c : line)
            if (c < 0x20 || c > 0x7E) return std::nullopt;
        const size_t colon = line.find(':');
        if (colon == 0 || colon == std::string::npos || line[0] == ' ') return std::nullopt;
        const std::string name = Lower(line.substr(0, colon));
        if (name.find_first_of(" \t") != std::string::npos || name.rfind("x-", 0) == 0)
            return std::nullopt;
        const std::string value = KeptValue(line.substr(colon + 1));
        if (Trim(value).empty() || value.find("=?") != std::string::npos ||
            value.find_first_of("()\";\\<>,") != std::string::npos || m.Fields.count(name))
            return std::nullopt;
        m.Fields[name] = value;
    }
    if (m.Fields.empty()) return std::nullopt;
    if (m.Fields.count("content-type") && Lower(Trim(m.Fields["content-type"])) != "text/plain")
        return std::nullopt;
    m.Body = text.substr(at);
    return m;
}

// Base64 as the format defines it, for bodies of whole groups only: nothing but the alphabet,
// padding only at the very end.
std::optional<std::string> Base64Reference(const std::string& body) {
    static const std::string kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string letters;
    for (char c : body)
        if (c != '\r' && c != '\n') letters += c;
    size_t pad = 0;
    while (!letters.empty() && letters.back() == '=' && pad < 2) {
        letters.pop_back();
        ++pad;
    }
    if ((letters.size() + pad) % 4 != 0 || (pad && letters.size() % 4 == 0)) return std::nullopt;
    std::string out;
    uint32_t acc = 0;
    int bits = 0;
    for (char c : letters) {
        const size_t v = kAlphabet.find(c);
        if (v == std::string::npos) return std::nullopt;
        acc = (acc << 6) | uint32_t(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += char((acc >> bits) & 0xFF);
        }
    }
    return out;
}

// Line ends vary with the decoder's line reading; the bytes of the lines must not.
std::string Lines(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i)
        if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')) out += s[i];
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

std::string StreamText(TStream& stream) {
    std::string s(size_t(stream.Size()), '\0');
    stream.SetPosition(0);
    if (!s.empty()) stream.ReadBuffer(s.data(), int64_t(s.size()));
    return s;
}

std::string Decoded(TIpMimeEntity& e) {
    TMemoryStream sink;
    e.DecodeBodyStream(sink);
    return StreamText(sink);
}

void CompareWithReference(const std::string& text) {
    const std::optional<TPlainMessage> plain = ReadPlain(text);
    if (!plain) return;
    TIpMessage m;
    m.MessageStream.WriteString(text);
    try {
        m.DecodeMessage();
    } catch (const EIpBaseException&) {
        return;
    }
    const auto field = [&](const char* name) -> std::string {
        const auto found = plain->Fields.find(name);
        return found == plain->Fields.end() ? std::string() : found->second;
    };
    if (m.Subject != field("subject")) Fail("the subject differs from the field's value");
    if (m.From != field("from")) Fail("the sender differs from the field's value");
    if (m.MessageID != field("message-id")) Fail("the message id differs from the field's value");
    // Without a content type the other content fields mean nothing: the body is plain text.
    if (field("content-type").empty()) return;
    const std::string encoding = Lower(Trim(field("content-transfer-encoding")));
    std::string body;
    TIpMimeEncodingMethod method;
    if (encoding == "base64") {
        const std::optional<std::string> expected = Base64Reference(plain->Body);
        if (!expected) return;
        method = emBase64;
        try {
            body = Decoded(m);
        } catch (const EIpBaseException&) {
            Fail("a well-formed base64 body was refused");
        }
        if (m.ContentTransferEncoding != emBase64) Fail("a base64 body read as another encoding");
        if (body != *expected) Fail("the base64 body decodes to other bytes");
    } else if (encoding.empty() || encoding == "7bit" || encoding == "8bit") {
        if (plain->Body.find_first_of(std::string("\0=", 2)) != std::string::npos) return;
        method = emBinary;
        try {
            body = Decoded(m);
        } catch (const EIpBaseException&) {
            return;
        }
        if (Lines(body) != Lines(plain->Body)) Fail("a plain body decodes to other text");
    } else {
        return;
    }
    // Encoded again in the same transfer encoding, the body decodes to the same bytes.
    if (body.empty()) return;
    TIpMimeEntity again(nullptr);
    again.ContentTransferEncoding = method;
    TMemoryStream source;
    source.WriteBuffer(body.data(), int64_t(body.size()));
    source.SetPosition(0);
    again.EncodeBodyStream(source, "");
    if (Decoded(again) != body) Fail("the body encoded again decodes to other bytes");
}

void DecodeBodies(TIpMimeEntity& e) {
    TMemoryStream sink;
    try {
        e.DecodeBodyStream(sink);
    } catch (const EIpBaseException&) {
    }
    for (int i = 0; i < e.Parts.Count(); ++i) DecodeBodies(*e.Parts.Items(i));
}

std::string RawOf(TIpMessage& m) {
    m.MessageStream.Seek(0, soBeginning);
    std::string s(size_t(m.MessageStream.Size()), '\0');
    if (!s.empty()) m.MessageStream.ReadBuffer(s.data(), int64_t(s.size()));
    return s;
}

void RoundTrip(const std::string& text) {
    TIpMessage m;
    m.MessageStream.WriteString(text);
    bool decoded = true;
    try {
        m.DecodeMessage();
    } catch (const EIpBaseException&) {
        decoded = false;  // what was read is still all there
    }
    m.EncodeMessage();
    if (RawOf(m) != MimeTest::WithCrLf(text)) {
        std::fprintf(stderr, "the encoded message differs from the decoded one\n");
        std::abort();
    }
    if (!decoded) return;
    DecodeBodies(m);
    m.EncodeMessage();
    TIpMessage again;
    again.Assign(m);
    DecodeBodies(again);
}

void DecodeAs(TIpMimeEncodingMethod method, const std::string& text) {
    TIpMimeEntity e(nullptr);
    e.ContentTransferEncoding = method;
    e.Body.WriteString(text);
    DecodeBodies(e);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    RoundTrip(text);
    CompareWithReference(text);
    for (auto method : {emBase64, emQuoted, emUUEncode, emBinHex, emBinary}) DecodeAs(method, text);
    return 0;
}
