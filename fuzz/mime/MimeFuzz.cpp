// Feeds arbitrary bytes to the message decoder as a received message, then encodes the result,
// which must give the bytes back (with CR LF line ends), decodes it again and decodes every
// part's body with its transfer encoding. The same bytes also go to every body decoder directly.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "netlib/base/IpBase.h"
#include "netlib/mime/MimeMessage.h"
#include "tests/netlib/mime/MimeTestUtil.h"

namespace {

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
    for (auto method : {emBase64, emQuoted, emUUEncode, emBinHex, emBinary}) DecodeAs(method, text);
    return 0;
}
