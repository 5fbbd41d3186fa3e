#include "app/ui/ViewMessageText.h"

#include "netlib/mime/Charsets.h"
#include "netlib/mime/EncodedWords.h"
#include "netlib/mime/MimeMessage.h"

namespace {

// The address lists shown when set, by caption.
struct TAddressLine {
    const char* Caption;
    TStringList TIpMessage::*List;
};
const TAddressLine AddressLines[] = {
    {"To: ", &TIpMessage::MailTo},
    {"CC: ", &TIpMessage::CC},
    {"BCC: ", &TIpMessage::BCC},
};

bool IsHtml(const TIpMimeEntity& Part) {
    return Part.ContentType == "text" && Part.ContentSubtype == "html";
}

std::string DecodedBody(TIpMimeEntity& Part) {
    TMemoryStream Data;
    Part.Body.Seek(0, soBeginning);
    Part.DecodeBodyStream(Data);
    return std::string(Data.Memory(), size_t(Data.Size()));
}

// An HTML body in the window's code page: by the charset its part declares, else by the one the
// document names itself.
std::string ShownHtml(TIpMimeEntity& Part) {
    const std::string Body = DecodedBody(Part);
    const std::string Charset =
        IsKnownCharset(Part.CharacterSet) ? Part.CharacterSet : HtmlMetaCharset(Body);
    return ToWindowCodePage(Charset, Body);
}

// Document cut to Size bytes, back to before a tag or an entity the cut would split, and ended
// by the notice that it was cut.
std::string CutDocument(std::string Document, size_t Size) {
    Document.resize(Size);
    const size_t Tag = Document.rfind('<');
    if (Tag != std::string::npos && Document.find('>', Tag) == std::string::npos)
        Document.resize(Tag);
    const size_t Entity = Document.rfind('&');
    if (Entity != std::string::npos &&
        Document.find_first_of("; \t\r\n", Entity) == std::string::npos)
        Document.resize(Entity);
    return Document + "\r\n<HR><P><B>" + ViewMessageCutNotice + "</B></P>\r\n";
}

// Room for the notice and the plain document's closing tags within MaxBytes.
size_t ShownRoom(size_t MaxBytes) {
    constexpr size_t kEnd = 1024;
    return MaxBytes > kEnd ? MaxBytes - kEnd : 0;
}

std::string BoundedHtml(std::string Document, size_t MaxBytes) {
    if (Document.size() <= MaxBytes) return Document;
    return CutDocument(std::move(Document), ShownRoom(MaxBytes));
}

std::vector<std::string> LinesFromStart(TIpAnsiTextStream& Stream) {
    std::vector<std::string> Lines;
    Stream.Seek(0, soBeginning);
    while (!Stream.AtEndOfStream()) Lines.push_back(Stream.ReadLine());
    return Lines;
}

}  // namespace

std::vector<std::string> MessageHeaderLines(const TIpMessage& Message) {
    // Names and subjects as people read them; the "X-" lines stay as they came.
    std::vector<std::string> Lines = {"Subject: " + DecodeEncodedWords(Message.Subject),
                                      "Date: " + Message.Date,
                                      "From: " + DecodeEncodedWords(Message.From)};
    for (const TAddressLine& Line : AddressLines)
        if ((Message.*Line.List).Count() > 0)
            Lines.push_back(Line.Caption + DecodeEncodedWords((Message.*Line.List).CommaText()));
    if (!Message.ContentType.empty()) Lines.push_back("ContentType: " + MediaTypeText(Message));
    if (!Message.ContentDescription.empty())
        Lines.push_back("ContentDescription: " + DecodeEncodedWords(Message.ContentDescription));
    for (int I = 0; I < Message.UserFields.Count(); ++I) Lines.push_back(Message.UserFields.Get(I));
    return Lines;
}

std::string MediaTypeText(const TIpMimeEntity& Part) {
    if (Part.ContentSubtype.empty()) return Part.ContentType;
    return Part.ContentType + "/" + Part.ContentSubtype;
}

std::string MimeNodeCaption(const TIpMimeEntity& Part) {
    return Part.FileName.empty() ? MediaTypeText(Part) : Part.FileName;
}

std::string EscapeHtmlText(const std::string& Text) {
    std::string Out;
    Out.reserve(Text.size());
    for (const char C : Text) {
        switch (C) {
            case '&':
                Out += "&amp;";
                break;
            case '<':
                Out += "&lt;";
                break;
            case '>':
                Out += "&gt;";
                break;
            default:
                Out += C;
        }
    }
    return Out;
}

std::string MessageDocument(TIpMessage& Message, size_t MaxBytes) {
    if (TIpMimeEntity* Html = Message.GetBodyHtml(false))
        return BoundedHtml(ShownHtml(*Html), MaxBytes);
    TIpMimeEntity* Text = Message.GetBodyPlain(false);
    if (!Text) Text = &Message;
    if (IsHtml(*Text)) return BoundedHtml(ShownHtml(*Text), MaxBytes);

    TStringList Lines;
    Text->Body.Seek(0, soBeginning);
    Text->DecodeBodyStrings(Lines);
    std::string Document = "<HTML>\r\n<BODY>\r\n";
    for (int I = 0; I < Lines.Count(); ++I) {
        Document += EscapeHtmlText(ToWindowCodePage(Text->CharacterSet, Lines.Get(I))) + "<BR>\r\n";
        if (Document.size() > ShownRoom(MaxBytes)) {
            Document = CutDocument(std::move(Document), ShownRoom(MaxBytes));
            break;
        }
    }
    return Document + "</BODY>\r\n</HTML>\r\n";
}

std::vector<std::string> RawBodyLines(TIpMimeEntity& Part) {
    return LinesFromStart(Part.Body);
}

std::vector<std::string> RawMessageLines(TIpMessage& Message) {
    return LinesFromStart(Message.MessageStream);
}
