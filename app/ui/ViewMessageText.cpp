#include "app/ui/ViewMessageText.h"

#include <algorithm>
#include <utility>

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

// A text part's body as far as it can be read: it is only shown, so a line longer than its
// encoding allows is read as more of the text, and a body no decoder gets to the end of shows
// what came before the fault, and Undecoded says so. A mail's own text never keeps it from
// showing.
std::string DecodedBody(TIpMimeEntity& Part, bool& Undecoded) {
    TMemoryStream Data;
    Part.Body.Seek(0, soBeginning);
    try {
        Part.DecodeBodyStream(Data, TIpLineLimit::Ignored);
    } catch (const Exception&) {
        Undecoded = true;
    }
    return std::string(Data.Memory(), size_t(Data.Size()));
}

// An HTML body in the window's code page: by the charset its part declares, else by the one the
// document names itself.
std::string ShownHtml(TIpMimeEntity& Part, bool& Undecoded) {
    const std::string Body = DecodedBody(Part, Undecoded);
    const std::string Charset =
        IsKnownCharset(Part.CharacterSet) ? Part.CharacterSet : HtmlMetaCharset(Body);
    return ToWindowCodePage(Charset, Body);
}

std::string NoticeParagraph(const char* Notice) {
    return std::string("\r\n<HR><P><B>") + Notice + "</B></P>\r\n";
}

// The panel reads a NUL byte as the end of its document, and the header list as the end of a
// line: in a mail it is one character of the text, so it shows as a blank and the rest of the
// mail follows it.
std::string WithoutNul(std::string Text) {
    std::replace(Text.begin(), Text.end(), '\0', ' ');
    return Text;
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
    return Document + NoticeParagraph(ViewMessageCutNotice);
}

// Room for the notice and the plain document's closing tags within MaxBytes.
size_t ShownRoom(size_t MaxBytes) {
    constexpr size_t kEnd = 1024;
    return MaxBytes > kEnd ? MaxBytes - kEnd : 0;
}

// The document, cut when it and End (a notice, or nothing) would not fit in MaxBytes, then End.
std::string BoundedHtml(std::string Document, size_t MaxBytes, const std::string& End) {
    if (Document.size() + End.size() <= MaxBytes) return Document + End;
    return CutDocument(std::move(Document), ShownRoom(MaxBytes)) + End;
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
    for (std::string& Line : Lines) Line = WithoutNul(std::move(Line));
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

namespace {

// The notice that ends the document of a part whose body could not be read to its end.
std::string UndecodedEnd(bool Undecoded) {
    return Undecoded ? NoticeParagraph(ViewMessageUndecodedNotice) : std::string();
}

std::string HtmlDocument(TIpMimeEntity& Html, size_t MaxBytes) {
    bool Undecoded = false;
    std::string Document = ShownHtml(Html, Undecoded);
    return BoundedHtml(std::move(Document), MaxBytes, UndecodedEnd(Undecoded));
}

std::string TextDocument(TIpMimeEntity& Text, size_t MaxBytes) {
    bool Undecoded = false;
    TStringList Lines;
    TStringStream Body(DecodedBody(Text, Undecoded));
    Lines.LoadFromStream(Body);
    std::string Document = "<HTML>\r\n<BODY>\r\n";
    for (int I = 0; I < Lines.Count(); ++I) {
        Document += EscapeHtmlText(ToWindowCodePage(Text.CharacterSet, Lines.Get(I))) + "<BR>\r\n";
        if (Document.size() > ShownRoom(MaxBytes)) {
            Document = CutDocument(std::move(Document), ShownRoom(MaxBytes));
            break;
        }
    }
    return Document + UndecodedEnd(Undecoded) + "</BODY>\r\n</HTML>\r\n";
}

std::string BodyDocument(TIpMessage& Message, size_t MaxBytes) {
    if (TIpMimeEntity* Html = Message.GetBodyHtml(false)) return HtmlDocument(*Html, MaxBytes);
    TIpMimeEntity* Text = Message.GetBodyPlain(false);
    if (!Text) Text = &Message;
    if (IsHtml(*Text)) return HtmlDocument(*Text, MaxBytes);
    return TextDocument(*Text, MaxBytes);
}

}  // namespace

std::string MessageDocument(TIpMessage& Message, size_t MaxBytes) {
    return WithoutNul(BodyDocument(Message, MaxBytes));
}

std::vector<std::string> RawBodyLines(TIpMimeEntity& Part) {
    return LinesFromStart(Part.Body);
}

std::vector<std::string> RawMessageLines(TIpMessage& Message) {
    return LinesFromStart(Message.MessageStream);
}
