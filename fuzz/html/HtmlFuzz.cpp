// Feeds arbitrary bytes to the HTML parser, with and without FlagErrors, then hands the
// properties down the tree, builds the words of every text, shares out every frame set's rows
// and columns, and frees the document. A document that parses is laid out and its first screen
// painted on a bitmap, as the viewer shows a received mail: the page must stay within the
// layout's extent. On simple documents (plain text and a few tags that hide nothing) the text
// of the parsed tree must be what a tag-stripper written here leaves. The same bytes also go
// through the entity conversions, whose round trip must give them back, and the text
// normalisers, whose results must hold no character they remove; every character reference in
// them must stand for the character Qt's HTML reader finds for it.
#include <QCoreApplication>
#include <QStringEncoder>
#include <QTextDocumentFragment>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "htmlview/html/IpHtml.h"
#include "htmlview/html/IpHtmlEntities.h"
#include "htmlview/html/IpHtmlPlatformCanvas.h"
#include "htmlview/html/Limits.h"
#include "platform/classes/Classes.h"
#include "platform/core/Application.h"
#include "platform/gdi/Graphics.h"

namespace {

void Walk(TIpHtml& Doc, size_t Size) {
    Doc.SetDefaultProps();
    Doc.HtmlNode()->AssignProps(Doc.DefaultProps());
    Doc.HtmlNode()->ForEachNode([&](TIpHtmlNode* Node) {
        if (auto* Text = dynamic_cast<TIpHtmlNodeText*>(Node)) {
            (void)Text->ANSIText();
            Doc.BuildWordList(Text->EscapedText(), Text->Props(), Text);
        } else if (auto* Set = dynamic_cast<TIpHtmlNodeFRAMESET*>(Node)) {
            (void)CalcMultiLength(Set->Rows, int32_t(Size % 5000));
            (void)CalcMultiLength(Set->Cols, int32_t(Size * 7 % 5000));
        }
        (void)Node->HintText();
    });
}

[[noreturn]] void Fail(const char* What, const std::string& Text) {
    std::fprintf(stderr, "%s: \"%s\"\n", What, Text.c_str());
    std::abort();
}

// The text of a simple document as a tag-stripper sees it, blanks left out (where the parser
// breaks lines and collapses blanks is its own affair): printable ASCII without entities, and
// tags only of the names below, without attributes. Nothing for any other document.
// The body is the whole document: what stands outside <html><body> ... </body></html> is the
// parser's to place.
std::optional<std::string> StrippedText(const std::string& Document) {
    static const std::set<std::string> kTags = {
        "p",  "b",  "i",  "u",  "em", "strong", "br",     "div",        "span",
        "h1", "h2", "h3", "ul", "ol", "li",     "center", "blockquote", "tt"};
    static const std::string kOpen = "<html><body>", kClose = "</body></html>";
    std::string Whole = Document;
    while (!Whole.empty() && std::isspace(static_cast<unsigned char>(Whole.back())))
        Whole.pop_back();
    if (Whole.size() < kOpen.size() + kClose.size() || Whole.compare(0, kOpen.size(), kOpen) != 0 ||
        Whole.compare(Whole.size() - kClose.size(), kClose.size(), kClose) != 0)
        return std::nullopt;
    const std::string Text =
        Whole.substr(kOpen.size(), Whole.size() - kOpen.size() - kClose.size());
    std::string Out;
    for (size_t I = 0; I < Text.size(); ++I) {
        const char C = Text[I];
        if (C == '<') {
            const size_t End = Text.find('>', I);
            if (End == std::string::npos) return std::nullopt;
            std::string Name = Text.substr(I + 1, End - I - 1);
            if (!Name.empty() && Name[0] == '/') Name.erase(0, 1);
            for (char& N : Name) N = char(std::tolower(static_cast<unsigned char>(N)));
            if (!kTags.count(Name)) return std::nullopt;
            I = End;
        } else if (C == '&' || C == '>' || C < 0x20 || C > 0x7E) {
            if (C != '\n' && C != '\r' && C != '\t') return std::nullopt;
        } else if (C != ' ') {
            Out += C;
        }
    }
    return Out;
}

// The text of the parsed tree's text nodes in document order, blanks left out.
std::string TreeText(TIpHtml& Doc) {
    std::string Out;
    Doc.HtmlNode()->ForEachNode([&](TIpHtmlNode* Node) {
        if (auto* Text = dynamic_cast<TIpHtmlNodeText*>(Node))
            for (char C : Text->ANSIText())
                if (!std::isspace(static_cast<unsigned char>(C)) && uint8_t(C) != 0xA0) Out += C;
    });
    return Out;
}

// Laid out a screen wide and its first screen painted, as the viewer shows a mail.
void LayoutAndPaint(TIpHtml& Doc) {
    TBitmap Paper(320, 240, pf32bit);
    TIpHtmlPlatformCanvas Canvas(Paper.Canvas());
    const TIpHtmlRect Page = Doc.LayoutPage(Canvas, 300, 0);
    if (Page.Left < 0 || Page.Top < 0 || Page.Right < Page.Left || Page.Bottom < Page.Top ||
        Page.Right > HtmlLimits::kMaxLayoutExtent || Page.Bottom > HtmlLimits::kMaxLayoutExtent)
        Fail("the page lies outside the layout's extent", "");
    Doc.RenderPage(Canvas, TIpHtmlRect{0, 0, 320, 240}, TIpHtmlPoint{0, 0}, false);
}

void ParseAs(const std::string& Text, bool FlagErrors) {
    TIpHtml Doc;
    Doc.FlagErrors = FlagErrors;
    Doc.OnReportReference = [](const std::string&) {};
    Doc.OnGetImage = [](TIpHtmlNode*, const std::string&, TIpHtmlPictureRef&) {};
    TStringStream Stream(Text);
    bool Parsed = true;
    try {
        Doc.Parse(Stream);
    } catch (const Exception&) {
        // A parse error leaves the tree built so far; it is walked all the same.
        Parsed = false;
    }
    if (Parsed && !FlagErrors)
        if (const std::optional<std::string> Expected = StrippedText(Text))
            if (TreeText(Doc) != *Expected)
                Fail("the parsed text differs from the document's", Text + "|" + TreeText(Doc));
    try {
        Walk(Doc, Text.size());
        if (Parsed && !FlagErrors) LayoutAndPaint(Doc);
    } catch (const Exception&) {
        // The element pool is full.
    }
}

// The character Qt's HTML reader finds for a reference, in Windows-1252 (by ICU's table); none
// when it finds no single character there.
std::optional<char> QtReads(const std::string& Reference) {
    static std::map<std::string, std::optional<char>> Known;
    if (const auto Found = Known.find(Reference); Found != Known.end()) return Found->second;
    const QString Read =
        QTextDocumentFragment::fromHtml(QString::fromLatin1(Reference.c_str())).toRawText();
    QStringEncoder Encoder("windows-1252");
    const QByteArray Bytes = Encoder.encode(Read);
    std::optional<char> Character;
    if (Read.size() == 1 && !Encoder.hasError() && Bytes.size() == 1) Character = Bytes[0];
    return Known[Reference] = Character;
}

// Every reference "&name;", "&#digits;" and "&#xhex;" of the text, decoded alone, is the
// character Qt's HTML reader finds for it. Where they part by design: a name the viewer does not
// know is a blank, and so is a number outside 32..255; the soft hyphen and the non-breaking space
// are held as internal codes; "minus", "circ" and "tilde" are the ASCII characters.
void CheckReferences(const std::string& Text) {
    static const std::set<std::string> kOwnCodes = {"shy", "nbsp", "minus", "circ", "tilde"};
    static const std::string kDigits = "0123456789", kHex = "0123456789abcdefABCDEF",
                             kName =
                                 "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz" + kDigits;
    for (size_t Amp = Text.find('&'); Amp != std::string::npos; Amp = Text.find('&', Amp + 1)) {
        const size_t Semicolon = Text.find(';', Amp);
        if (Semicolon == std::string::npos || Semicolon - Amp < 2 || Semicolon - Amp > 9) continue;
        const std::string Name = Text.substr(Amp + 1, Semicolon - Amp - 1);
        const bool Number = Name[0] == '#';
        const bool Hex = Number && Name.size() > 1 && (Name[1] == 'x' || Name[1] == 'X');
        const std::string Rest = Name.substr(Hex ? 2 : Number ? 1 : 0);
        const std::string& Allowed = Hex ? kHex : Number ? kDigits : kName;
        if (Rest.empty() || Rest.find_first_not_of(Allowed) != std::string::npos ||
            kOwnCodes.count(Name) || (!Number && kDigits.find(Rest[0]) != std::string::npos))
            continue;
        const std::string Reference = "&" + Name + ";";
        const std::string Shown = EscapeToAnsi(Reference);
        const long Value = Number ? std::strtol(Rest.c_str(), nullptr, Hex ? 16 : 10) : 0;
        if (Number && (Value < 32 || Value > 255)) {
            if (Shown != " ") Fail("a number outside the characters is no blank", Reference);
            continue;
        }
        // Qt's reader takes a blank for white space between words, and drops it alone.
        if ((!Number && Shown == " ") || Value == 32) continue;
        const std::optional<char> Expected = QtReads(Reference);
        if (Shown.size() != 1 || !Expected || Shown[0] != *Expected)
            Fail("a character reference stands for another character", Reference + "|" + Shown);
    }
}

void CheckTexts(const std::string& Text) {
    CheckReferences(Text);
    // Escaped, every "&" starts an entity, so unescaping gives each character back.
    const std::string Escaped = AnsiToEscape(Text);
    if (EscapeToAnsi(Escaped) != Text) Fail("the entity round trip changed the text", Escaped);
    (void)AnsiToEscape(EscapeToAnsi(Text));
    const std::string Normal = NormalizeText(Text);
    for (size_t I = 0; I < Normal.size(); ++I)
        if (uint8_t(Normal[I]) < 32 || (Normal[I] == ' ' && I > 0 && Normal[I - 1] == ' '))
            Fail("normalised text holds a control character or two blanks", Normal);
    // Preformatted, line feeds are the only control characters left (tabs and carriage
    // returns have become blanks and line feeds).
    const std::string Pre = NormalizePreText(Text);
    for (char C : Pre)
        if (uint8_t(C) < 32 && C != '\n') Fail("preformatted text holds a control character", Pre);
}

}  // namespace

// Fonts and painting need the GUI application object.
extern "C" int LLVMFuzzerInitialize(int* Argc, char*** Argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static std::unique_ptr<QCoreApplication> App = TApplication::InitializeQt(*Argc, *Argv, true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string Text(reinterpret_cast<const char*>(Data), Size);
    ParseAs(Text, false);
    ParseAs(Text, true);
    CheckTexts(Text);
    return 0;
}
