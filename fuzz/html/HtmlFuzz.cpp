// Feeds arbitrary bytes to the HTML parser, with and without FlagErrors, then hands the
// properties down the tree, builds the words of every text, shares out every frame set's rows
// and columns, and frees the document. The same bytes also go through the entity conversions
// and the text normalisers.
#include <cstddef>
#include <cstdint>
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string Text(reinterpret_cast<const char*>(Data), Size);
    ParseAs(Text, false);
    ParseAs(Text, true);
    (void)AnsiToEscape(EscapeToAnsi(Text));
    (void)NormalizeText(Text);
    (void)NormalizePreText(Text);
    return 0;
}
