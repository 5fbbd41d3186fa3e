// Feeds arbitrary bytes to the message decoder as a received message, then encodes the result,
// decodes it again and decodes every part's body with its transfer encoding. The same bytes
// also go to every body decoder directly.
#include <cstddef>
#include <cstdint>
#include <string>

#include "netlib/base/IpBase.h"
#include "netlib/mime/MimeMessage.h"

namespace {

void DecodeBodies(TIpMimeEntity& e) {
    TMemoryStream sink;
    try {
        e.DecodeBodyStream(sink);
    } catch (const EIpBaseException&) {
    }
    for (int i = 0; i < e.Parts.Count(); ++i) DecodeBodies(*e.Parts.Items(i));
}

void RoundTrip(const std::string& text) {
    TIpMessage m;
    m.MessageStream.WriteString(text);
    try {
        m.DecodeMessage();
    } catch (const EIpBaseException&) {
        return;
    }
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
