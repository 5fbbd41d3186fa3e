// Arbitrary bytes as an outgoing file of the point program: read as a mail (M*.OUT, batched SMTP
// or the "from " form) and as an article (N*.OUT). A mail file is either refused with a read
// error or gives a message, and what goes into the envelope commands (the HELO argument and
// every recipient) holds no line end, so nothing in a file can add a command of its own. An
// article decodes or raises the message model's error and encodes again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/engine/SpoolFiles.h"
#include "fuzz/support/FuzzWorld.h"
#include "netlib/base/IpBase.h"
#include "netlib/mime/MimeMessage.h"
#include "platform/classes/Exception.h"

namespace {

bool HasLineEnd(const std::string& Text) {
    return Text.find_first_of("\r\n") != std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzWorld::Root();
    FuzzWorld::Quiet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string_view Bytes(reinterpret_cast<const char*>(Data), Size);
    const std::string Mail = FuzzWorld::Spool() + "M0001.OUT";
    FuzzWorld::Write(Mail, Bytes);
    TIpMailMessage Message;
    std::string Helo;
    std::vector<std::string> Recipients;
    try {
        ReadOutgoingMail(Message, Mail, Helo, Recipients);
        if (HasLineEnd(Helo)) FuzzWorld::Fail("the HELO argument holds a line end");
        for (const std::string& Recipient : Recipients)
            if (HasLineEnd(Recipient)) FuzzWorld::Fail("a recipient holds a line end");
        Message.EncodeMessage();
    } catch (const EReadError&) {
        // Not a whole mail: it stays in the spool.
    }

    const std::string Article = FuzzWorld::Spool() + "N0001.OUT";
    FuzzWorld::Write(Article, Bytes);
    TIpNewsArticle News;
    News.LoadFromFile(Article);
    try {
        News.DecodeMessage();
    } catch (const EIpBaseException&) {
        return 0;
    }
    News.EncodeMessage();
    return 0;
}
