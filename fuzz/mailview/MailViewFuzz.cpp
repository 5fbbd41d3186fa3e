// A received mail as the message viewer shows it: the document the viewer makes of the mail
// (its HTML part, or its text with line breaks) is parsed, laid out and painted on a canvas of
// fixed metrics that records every call, with the pictures of the mail's own parts.
//
// The first byte picks the page width (bits 0 and 1) and whether pictures are loaded (bit 2);
// when its top five bits are all set, the mail's body is repeated until the document is longer
// than layout can hold, as a mail of some megabytes is. The rest is the mail.
//
// A document layout cannot hold is shown cut, as the viewer does: the cut document is within
// the bound the viewer gives, ends with the notice that it was cut, and lays out. A document
// within that bound always lays out. The page stays within the layout's extent. On a simple
// document (text in paragraphs, breaks, blocks and inline styles, printable ASCII) the whole
// page is painted, and the painted words are the parsed tree's text.
#include <QCoreApplication>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/ui/Limits.h"
#include "app/ui/MessagePictures.h"
#include "app/ui/ViewMessageParts.h"
#include "app/ui/ViewMessageText.h"
#include "fuzz/support/FuzzInput.h"
#include "htmlview/html/IpHtml.h"
#include "htmlview/html/Limits.h"
#include "netlib/base/IpBase.h"
#include "netlib/mime/MimeMessage.h"
#include "platform/core/Application.h"
#include "platform/gdi/Graphics.h"
#include "tests/htmlview/html/RecordingCanvas.h"

namespace {

using Fuzz::Fail;

const std::string& Dir() {
    static const std::string Made = Fuzz::OwnDir("mailview");
    return Made;
}

constexpr int32_t kWidths[] = {300, 640, 60, 2000};
constexpr uint8_t kRepeatBits = 0xF8;

// The mail with its body repeated until it is longer than the pool holds elements (a byte of
// text makes at most about one and a half).
std::string Repeated(const std::string& Mail) {
    size_t Body = Mail.find("\r\n\r\n");
    Body = Body == std::string::npos ? Mail.find("\n\n") : Body;
    if (Body == std::string::npos) return Mail;
    const std::string Part = Mail.substr(Body);
    if (Part.size() < 8) return Mail;
    std::string Out = Mail;
    while (Out.size() < HtmlLimits::kMaxPoolItems * 3 / 2) Out += Part;
    return Out;
}

// The viewer's document, parsed and laid out, and its page; no document when layout cannot
// hold it.
std::unique_ptr<TIpHtml> LaidOut(const std::string& Document, TIpMessage& Mail, bool Pictures,
                                 TIpHtmlCanvas& Canvas, int32_t Width, TIpHtmlRect& Page) {
    auto Doc = std::make_unique<TIpHtml>();
    Doc->OnReportReference = [](const std::string&) {};
    // As the viewer asks: each part once for the document, within its allowance of pixels.
    Doc->OnGetImage = [&Mail, Pictures, Decoded = std::make_shared<TMessagePictures>()](
                          TIpHtmlNode* Sender, const std::string& URL, TIpHtmlPictureRef& Picture) {
        if (!Pictures) return;
        if (TIpMimeEntity* Part = FindContentPart(Mail, URL))
            Picture = Decoded->Picture(*Part, Sender ? Sender->Owner() : nullptr);
    };
    TStringStream Stream(Document);
    try {
        Doc->Parse(Stream);
        Page = Doc->LayoutPage(Canvas, Width, 0);
        if (Page.Left < 0 || Page.Top < 0 || Page.Right < Page.Left || Page.Bottom < Page.Top ||
            Page.Right > HtmlLimits::kMaxLayoutExtent || Page.Bottom > HtmlLimits::kMaxLayoutExtent)
            Fail("the page lies outside the layout's extent");
    } catch (const EIpHtmlException&) {
        // The element pool is full.
        return nullptr;
    }
    if (Doc->Pool().Count() > HtmlLimits::kMaxPoolItems) Fail("more elements than the pool holds");
    return Doc;
}

// Whether the tree holds only text and elements that show all of it in document order, and its
// text is printable ASCII.
bool Simple(TIpHtml& Doc) {
    bool Yes = true;
    Doc.HtmlNode()->ForEachNode([&](TIpHtmlNode* Node) {
        if (auto* Text = dynamic_cast<TIpHtmlNodeText*>(Node)) {
            for (char C : Text->ANSIText())
                if (C != ' ' && C != '\n' && C != '\r' && C != '\t' && (C < 0x21 || C > 0x7E))
                    Yes = false;
        } else if (!dynamic_cast<TIpHtmlNodeHtml*>(Node) && !dynamic_cast<TIpHtmlNodeBODY*>(Node) &&
                   !dynamic_cast<TIpHtmlNodeP*>(Node) && !dynamic_cast<TIpHtmlNodeBR*>(Node) &&
                   !dynamic_cast<TIpHtmlNodeFontStyle*>(Node) &&
                   !dynamic_cast<TIpHtmlNodePhrase*>(Node) &&
                   !dynamic_cast<TIpHtmlNodeDIV*>(Node) && !dynamic_cast<TIpHtmlNodeSPAN*>(Node) &&
                   !dynamic_cast<TIpHtmlNodeHeader*>(Node) &&
                   !dynamic_cast<TIpHtmlNodeBLOCKQUOTE*>(Node)) {
            Yes = false;
        }
    });
    return Yes;
}

std::string WithoutBlanks(const std::string& Text) {
    std::string Out;
    for (char C : Text)
        if (!std::isspace(static_cast<unsigned char>(C))) Out += C;
    return Out;
}

// The parsed tree's text in document order.
std::string TreeText(TIpHtml& Doc) {
    std::string Out;
    Doc.HtmlNode()->ForEachNode([&](TIpHtmlNode* Node) {
        if (auto* Text = dynamic_cast<TIpHtmlNodeText*>(Node)) Out += Text->ANSIText();
    });
    return WithoutBlanks(Out);
}

// The words painted, in the order they were painted.
std::string PaintedText(const TRecordingCanvas& Canvas) {
    std::string Out;
    for (const std::string& Line : Canvas.Drawn("text ")) {
        const size_t Word = Line.find(' ', 5);
        if (Word != std::string::npos) Out += Line.substr(Word + 1);
    }
    return WithoutBlanks(Out);
}

void Show(const std::string& Mail, bool Pictures, int32_t Width) {
    Fuzz::WriteFile(Dir() + "mail", Mail);
    TIpMessage Message;
    Message.LoadFromFile(Dir() + "mail");
    const std::string Document = MessageDocument(Message);
    TRecordingCanvas Canvas;
    TIpHtmlRect Page;
    std::unique_ptr<TIpHtml> Doc = LaidOut(Document, Message, Pictures, Canvas, Width, Page);
    if (!Doc) {
        const size_t Bound = UiLimits::kMaxShownDocumentBytes;
        if (Document.size() <= Bound)
            Fail("a document of " + std::to_string(Document.size()) +
                 " bytes, within the shown bound, does not lay out");
        const std::string Cut = MessageDocument(Message, Bound);
        if (Cut.size() > Bound) Fail("the cut document is longer than the shown bound");
        if (Cut.find(ViewMessageCutNotice) == std::string::npos)
            Fail("a document cut without the notice");
        Doc = LaidOut(Cut, Message, Pictures, Canvas, Width, Page);
        if (!Doc) Fail("the cut document does not lay out");
    }
    if (Doc->Pool().Count() < 65536 && Simple(*Doc)) {
        Canvas.Log.clear();
        Doc->RenderPage(Canvas, TIpHtmlRect{0, 0, Page.Right, Page.Bottom}, TIpHtmlPoint{0, 0},
                        false);
        const std::string Tree = TreeText(*Doc), Painted = PaintedText(Canvas);
        if (Painted != Tree) Fail("the painted text differs from the parsed text: " + Painted);
    } else {
        Doc->RenderPage(Canvas, TIpHtmlRect{0, 0, Width, 480}, TIpHtmlPoint{0, 0}, false);
    }
}

}  // namespace

// Fonts and pictures need the GUI application object.
extern "C" int LLVMFuzzerInitialize(int* Argc, char*** Argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static std::unique_ptr<QCoreApplication> App = TApplication::InitializeQt(*Argc, *Argv, true);
    Dir();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 1) return 0;
    const std::string Mail(reinterpret_cast<const char*>(Data) + 1, Size - 1);
    Show((Data[0] & kRepeatBits) == kRepeatBits ? Repeated(Mail) : Mail, Data[0] & 4,
         kWidths[Data[0] & 3]);
    return 0;
}
