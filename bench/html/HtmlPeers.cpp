// The HTML parser side by side with gumbo, on the same text in the same process: the mail HTML
// of bench_html (100 KB, 1 MB, 3 MB) and two manuals that the bench set of scripts/setup.sh
// installs (ccache's and fetchmail's FAQ, from /usr/share/doc; a manual that is missing is
// left out with a note).
//
//   build/rel/bench/html/bench_html_peers
//
// Each parse builds the whole tree and frees it, as a mail that is shown and closed does. The
// two trees are not built alike (gumbo keeps comments and the blanks between tags as nodes,
// and adds the elements HTML5 implies), so before anything is timed both count what both keep:
// elements, and texts other than blanks. Their totals must lie within 1.5% of each other.
// Then rounds of alternating parses (see bench/SideBySide.h).
#include <gumbo.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/SideBySide.h"
#include "bench/html/HtmlSamples.h"
#include "htmlview/html/IpHtml.h"
#include "platform/classes/Classes.h"

namespace {

struct TInput {
    std::string Name;
    std::string Text;
};

std::vector<TInput> Inputs() {
    std::vector<TInput> List;
    for (const size_t Bytes : {size_t(100) << 10, size_t(1) << 20, size_t(3) << 20})
        List.push_back(
            {"mail HTML, " + std::to_string(Bytes >> 10) + " KB", HtmlSamples::MailHtml(Bytes)});
    for (const char* Path :
         {"/usr/share/doc/ccache/manual.html", "/usr/share/doc/fetchmail/fetchmail-FAQ.html"}) {
        std::ifstream In(Path, std::ios::binary);
        if (!In) {
            std::fprintf(stderr, "left out (not installed): %s\n", Path);
            continue;
        }
        std::string Text((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
        List.push_back(
            {std::string(Path).substr(15) + ", " + std::to_string(Text.size() >> 10) + " KB",
             std::move(Text)});
    }
    return List;
}

struct TCensus {
    size_t Elements = 0;
    size_t Texts = 0;
    size_t Total() const { return Elements + Texts; }
};

bool Blank(const std::string& Text) {
    return Text.find_first_not_of(" \t\r\n\f") == std::string::npos;
}

TCensus CountOurs(const std::string& Text) {
    TIpHtml Doc;
    TStringStream Stream(Text);
    Doc.Parse(Stream);
    TCensus C;
    Doc.HtmlNode()->ForEachNode([&C](TIpHtmlNode* Node) {
        if (const auto* T = dynamic_cast<const TIpHtmlNodeText*>(Node)) {
            if (!Blank(T->EscapedText())) ++C.Texts;
        } else {
            ++C.Elements;
        }
    });
    return C;
}

void CountGumbo(const GumboNode* Node, TCensus& C) {
    switch (Node->type) {
        case GUMBO_NODE_ELEMENT:
        case GUMBO_NODE_TEMPLATE:
            ++C.Elements;
            for (unsigned I = 0; I < Node->v.element.children.length; ++I)
                CountGumbo(static_cast<const GumboNode*>(Node->v.element.children.data[I]), C);
            break;
        case GUMBO_NODE_TEXT:
        case GUMBO_NODE_CDATA:
            ++C.Texts;
            break;
        default:  // the document, comments, blanks
            break;
    }
}

TCensus CountGumbo(const std::string& Text) {
    GumboOutput* Out = gumbo_parse_with_options(&kGumboDefaultOptions, Text.data(), Text.size());
    TCensus C;
    CountGumbo(Out->root, C);
    gumbo_destroy_output(&kGumboDefaultOptions, Out);
    return C;
}

void ParseOurs(const std::string& Text) {
    TIpHtml Doc;
    TStringStream Stream(Text);
    Doc.Parse(Stream);
}

void ParseGumbo(const std::string& Text) {
    GumboOutput* Out = gumbo_parse_with_options(&kGumboDefaultOptions, Text.data(), Text.size());
    gumbo_destroy_output(&kGumboDefaultOptions, Out);
}

}  // namespace

int main() {
    SideBySide::PrintHeader("gumbo");
    for (const TInput& In : Inputs()) {
        const TCensus Ours = CountOurs(In.Text), Theirs = CountGumbo(In.Text);
        const double Off = std::abs(double(Ours.Total()) - double(Theirs.Total())) /
                           double(std::max<size_t>(Theirs.Total(), 1));
        std::fprintf(stderr, "%s: ours %zu elements, %zu texts; gumbo %zu, %zu (%.2f%% apart)\n",
                     In.Name.c_str(), Ours.Elements, Ours.Texts, Theirs.Elements, Theirs.Texts,
                     Off * 100);
        if (Off > 0.015) SideBySide::Differ(In.Name + ": node counts more than 1.5% apart");
        SideBySide::PrintRow(
            In.Name, SideBySide::Run([&] { ParseOurs(In.Text); }, [&] { ParseGumbo(In.Text); }));
    }
    return 0;
}
