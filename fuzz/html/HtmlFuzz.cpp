// Feeds arbitrary bytes to the HTML parser, with and without FlagErrors, then hands the
// properties down the tree, builds the words of every text, shares out every frame set's rows
// and columns, and frees the document. The same bytes also go through the entity conversions,
// whose round trip must give them back, and the text normalisers, whose results must hold no
// character they remove.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "htmlview/html/IpHtml.h"
#include "htmlview/html/IpHtmlEntities.h"
#include "platform/classes/Classes.h"

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

void ParseAs(const std::string& Text, bool FlagErrors) {
    TIpHtml Doc;
    Doc.FlagErrors = FlagErrors;
    Doc.OnReportReference = [](const std::string&) {};
    TStringStream Stream(Text);
    try {
        Doc.Parse(Stream);
    } catch (const Exception&) {
        // A parse error leaves the tree built so far; it is walked all the same.
    }
    try {
        Walk(Doc, Text.size());
    } catch (const Exception&) {
        // The element pool is full.
    }
}

[[noreturn]] void Fail(const char* What, const std::string& Text) {
    std::fprintf(stderr, "%s: \"%s\"\n", What, Text.c_str());
    std::abort();
}

void CheckTexts(const std::string& Text) {
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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string Text(reinterpret_cast<const char*>(Data), Size);
    ParseAs(Text, false);
    ParseAs(Text, true);
    CheckTexts(Text);
    return 0;
}
