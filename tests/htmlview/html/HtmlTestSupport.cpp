#include "tests/htmlview/html/HtmlTestSupport.h"

#include <cxxabi.h>

#include <cstdio>
#include <typeinfo>
#include <vector>

#include "platform/classes/Classes.h"

std::unique_ptr<TIpHtml> ParseHtml(const std::string& Text, bool FlagErrors) {
    auto Document = std::make_unique<TIpHtml>();
    Document->FlagErrors = FlagErrors;
    TStringStream Stream(Text);
    Document->Parse(Stream);
    return Document;
}

std::string ParseError(const std::string& Text) {
    try {
        ParseHtml(Text, true);
    } catch (const Exception& E) {
        return E.Message();
    }
    return std::string();
}

std::string Printable(const std::string& Text) {
    std::string Out;
    for (char C : Text) {
        const auto Code = uint8_t(C);
        if (C == '\n')
            Out += "\\n";
        else if (C == '\r')
            Out += "\\r";
        else if (C == '\t')
            Out += "\\t";
        else if (Code < 32 || Code >= 127) {
            char Hex[8];
            std::snprintf(Hex, sizeof Hex, "\\x%02X", Code);
            Out += Hex;
        } else
            Out += C;
    }
    return Out;
}

std::string DumpTokens(const std::string& Text, int BodyTextDepth) {
    TStringStream Stream(Text);
    TIpHtmlTokenizer Tok;
    Tok.Start(Stream);
    Tok.BodyTextDepth = BodyTextDepth;
    std::string Out;
    for (;;) {
        Tok.NextToken();
        if (Tok.CurToken() == ttEof) break;
        if (Tok.CurToken() == ttText) {
            Out += "text '" + Printable(Tok.TokenString()) + "'\n";
            continue;
        }
        Out += HtmlTokenName(Tok.CurToken());
        if (Tok.CurToken() == ttUnknown) Out += " " + Printable(Tok.TokenString());
        for (int I = 0; I < Tok.AttributeCount(); ++I)
            Out += " " + Printable(Tok.AttributeName(I)) + "=" + Printable(Tok.AttributeValue(I));
        Out += "\n";
    }
    return Out;
}

namespace {

std::string ClassName(const TIpHtmlNode& Node) {
    int Status = 0;
    char* Demangled = abi::__cxa_demangle(typeid(Node).name(), nullptr, nullptr, &Status);
    std::string Name = Status == 0 ? Demangled : typeid(Node).name();
    std::free(Demangled);
    const std::string Prefix = "TIpHtmlNode";
    return Name.rfind(Prefix, 0) == 0 ? Name.substr(Prefix.size()) : Name;
}

template <size_t N>
const char* NameOf(const char* const (&Names)[N], unsigned Value) {
    return Value < N ? Names[Value] : "?";
}

const char* const kAlign[] = {"haDefault", "haLeft", "haCenter", "haRight", "haJustify", "haChar"};
const char* const kImageAlign[] = {"hiaTop",  "hiaMiddle", "hiaBottom",
                                   "hiaLeft", "hiaRight",  "hiaCenter"};
const char* const kVAlign[] = {"hvaTop", "hvaMiddle", "hvaBottom"};
const char* const kVAlign3[] = {"hva3Top", "hva3Middle", "hva3Bottom", "hva3Baseline",
                                "hva3Default"};
const char* const kVAlign2[] = {"hva2Top", "hva2Bottom", "hva2Left", "hva2Right"};
const char* const kULType[] = {"ulDisc", "ulSquare", "ulCircle"};
const char* const kOLStyle[] = {"olArabic", "olLowerAlpha", "olUpperAlpha", "olLowerRoman",
                                "olUpperRoman"};
const char* const kInputType[] = {"hitText",   "hitPassword", "hitCheckbox", "hitRadio",
                                  "hitSubmit", "hitReset",    "hitFile",     "hitHidden",
                                  "hitImage",  "hitButton"};
const char* const kFontStyles[] = {"hfsTT", "hfsI",   "hfsB",     "hfsU",   "hfsSTRIKE",
                                   "hfsS",  "hfsBIG", "hfsSMALL", "hfsSUB", "hfsSUP"};
const char* const kPhrase[] = {"hpsEM",  "hpsSTRONG", "hpsDFN",  "hpsCODE", "hpsSAMP",
                               "hpsKBD", "hpsVAR",    "hpsCITE", "hpsABBR", "hpsACRONYM"};
const char* const kFrameProp[] = {"hfVoid", "hfAbove",  "hfBelow", "hfHSides", "hfLhs",
                                  "hfRhs",  "hfvSides", "hfBox",   "hfBorder"};
const char* const kRules[] = {"hrNone", "hrGroups", "hrRows", "hrCols", "hrAll"};
const char* const kClear[] = {"hbcNone", "hbcLeft", "hbcRight", "hbcAll"};
const char* const kLengthType[] = {"", "", "%"};
const char* const kMultiType[] = {"?", "", "%", "*"};

class TLine {
  public:
    void Add(const char* Name, const std::string& Value) {
        if (!Value.empty()) FText += std::string(" ") + Name + "='" + Printable(Value) + "'";
    }
    void Add(const char* Name, int64_t Value, int64_t Default) {
        if (Value != Default) FText += std::string(" ") + Name + "=" + std::to_string(Value);
    }
    void Quote(const std::string& Value) { FText += " '" + Printable(Value) + "'"; }
    void Flag(const char* Name, bool Value) {
        if (Value) FText += std::string(" ") + Name;
    }
    void Enum(const char* Name, const char* Value, const char* Default) {
        if (std::string(Value) != Default) FText += std::string(" ") + Name + "=" + Value;
    }
    void Color(const char* Name, TIpHtmlColor Value) {
        if (Value == kHtmlNoColor) return;
        char Hex[16];
        std::snprintf(Hex, sizeof Hex, "$%06X", Value);
        FText += std::string(" ") + Name + "=" + Hex;
    }
    void Length(const char* Name, const TIpHtmlLength& Value) {
        if (Value.LengthType() == TIpHtmlLengthType::hlUndefined) return;
        FText += std::string(" ") + Name + "=" + std::to_string(Value.LengthValue()) +
                 kLengthType[size_t(Value.LengthType())];
    }
    void Multi(const char* Name, const TIpHtmlMultiLength& Value) {
        FText += std::string(" ") + Name + "=" + std::to_string(Value.LengthValue()) +
                 kMultiType[size_t(Value.LengthType())];
    }
    void MultiList(const char* Name, const TIpHtmlMultiLengthList& List) {
        std::string Items;
        for (int I = 0; I < List.Entries(); ++I) {
            const TIpHtmlMultiLength& Value = List.Values(I);
            Items += (I ? "," : "") + std::to_string(Value.LengthValue()) +
                     kMultiType[size_t(Value.LengthType())];
        }
        FText += std::string(" ") + Name + "=" + Items;
    }
    const std::string& Text() const { return FText; }

  private:
    std::string FText;
};

template <class T, class F>
void Probe(const TIpHtmlNode& Node, TLine& Line, F Fields) {
    if (const auto* Typed = dynamic_cast<const T*>(&Node)) Fields(*Typed, Line);
}

void DescribeStructure(const TIpHtmlNode& Node, TLine& L) {
    Probe<TIpHtmlNodeText>(Node, L, [](auto& N, TLine& L) { L.Quote(N.EscapedText()); });
    Probe<TIpHtmlNodeCore>(Node, L, [](auto& N, TLine& L) {
        L.Add("Id", N.Id);
        L.Add("ClassId", N.ClassId);
        L.Add("Title", N.Title);
        L.Add("Style", N.Style);
    });
    Probe<TIpHtmlNodeHtml>(Node, L, [](auto& N, TLine& L) {
        L.Add("Version", N.Version);
        L.Add("Lang", N.Lang);
        L.Flag("RTL", N.Dir == TIpHtmlDirection::hdRTL);
    });
    Probe<TIpHtmlNodeTITLE>(Node, L, [](auto& N, TLine& L) { L.Add("Title", N.Title); });
    Probe<TIpHtmlNodeMETA>(Node, L, [](auto& N, TLine& L) {
        L.Add("HttpEquiv", N.HttpEquiv);
        L.Add("Name", N.Name);
        L.Add("Content", N.Content);
    });
    Probe<TIpHtmlNodeLINK>(Node, L, [](auto& N, TLine& L) {
        L.Add("HRef", N.HRef);
        L.Add("Rel", N.Rel);
    });
    Probe<TIpHtmlNodeSTYLE>(Node, L, [](auto& N, TLine& L) { L.Add("Media", N.Media); });
    Probe<TIpHtmlNodeBODY>(Node, L, [](auto& N, TLine& L) {
        L.Color("BgColor", N.BgColor());
        L.Color("Text", N.Text());
        L.Color("Link", N.Link());
        L.Color("VLink", N.VLink());
        L.Color("ALink", N.ALink());
        L.Add("Background", N.Background());
    });
    Probe<TIpHtmlNodeAlignInline>(Node, L, [](auto& N, TLine& L) {
        L.Enum("Align", NameOf(kImageAlign, unsigned(N.Align())), "hiaTop");
    });
}

void DescribeInline(const TIpHtmlNode& Node, TLine& L) {
    Probe<TIpHtmlNodeFONT>(Node, L, [](auto& N, TLine& L) {
        L.Add("Face", N.Face);
        if (N.Size.SizeType() == TIpHtmlRelSizeType::hrsAbsolute) L.Add("Size", N.Size.Value(), 0);
        if (N.Size.SizeType() == TIpHtmlRelSizeType::hrsRelative)
            L.Add("SizeRelative", N.Size.Value(), 0);
        L.Color("Color", N.Color);
    });
    Probe<TIpHtmlNodeFontStyle>(Node, L, [](auto& N, TLine& L) {
        L.Enum("Style", NameOf(kFontStyles, unsigned(N.Style)), "");
    });
    Probe<TIpHtmlNodePhrase>(Node, L, [](auto& N, TLine& L) {
        L.Enum("Style", NameOf(kPhrase, unsigned(N.Style)), "");
    });
    Probe<TIpHtmlNodeHeader>(Node, L, [](auto& N, TLine& L) {
        L.Add("Size", N.Size, 0);
        L.Enum("Align", NameOf(kAlign, unsigned(N.Align)), "haDefault");
    });
    Probe<TIpHtmlNodeP>(Node, L, [](auto& N, TLine& L) {
        L.Enum("Align", NameOf(kAlign, unsigned(N.Align)), "haDefault");
    });
    Probe<TIpHtmlNodeDIV>(Node, L, [](auto& N, TLine& L) {
        L.Enum("Align", NameOf(kAlign, unsigned(N.Align)), "haDefault");
    });
    Probe<TIpHtmlNodeSPAN>(Node, L, [](auto& N, TLine& L) {
        L.Enum("Align", NameOf(kAlign, unsigned(N.Align)), "haDefault");
    });
    Probe<TIpHtmlNodeList>(Node, L, [](auto& N, TLine& L) {
        L.Enum("ListType", NameOf(kULType, unsigned(N.ListType)), "");
        L.Flag("Compact", N.Compact);
    });
    Probe<TIpHtmlNodeOL>(Node, L, [](auto& N, TLine& L) {
        L.Enum("Style", NameOf(kOLStyle, unsigned(N.Style)), "olArabic");
        L.Add("Start", N.Start, 1);
    });
    Probe<TIpHtmlNodeLI>(Node, L, [](auto& N, TLine& L) {
        L.Enum("ListType", NameOf(kULType, unsigned(N.ListType)), "");
        L.Add("Value", N.Value, -1);
    });
    Probe<TIpHtmlNodeBR>(Node, L, [](auto& N, TLine& L) {
        L.Enum("Clear", NameOf(kClear, unsigned(N.Clear)), "hbcNone");
    });
    Probe<TIpHtmlNodeHR>(Node, L, [](auto& N, TLine& L) {
        L.Add("Size", N.Size.Value(), 1);
        L.Length("Width", N.Width);
        L.Flag("NoShade", N.NoShade);
        L.Color("Color", N.Color);
    });
    Probe<TIpHtmlNodeA>(Node, L, [](auto& N, TLine& L) {
        L.Add("Name", N.Name());
        L.Add("HRef", N.HRef());
        L.Add("Target", N.Target);
    });
    Probe<TIpHtmlNodeIMG>(Node, L, [](auto& N, TLine& L) {
        L.Add("Src", N.Src);
        L.Add("Alt", N.Alt);
        L.Add("Height", N.Height.Value(), 0);
        L.Length("Width", N.Width);
        L.Add("Border", N.Border, 0);
        L.Add("HSpace", N.HSpace, 0);
        L.Add("VSpace", N.VSpace, 0);
        L.Add("UseMap", N.UseMap);
        L.Flag("IsMap", N.IsMap);
    });
}

void DescribeTablesAndForms(const TIpHtmlNode& Node, TLine& L) {
    Probe<TIpHtmlNodeTABLE>(Node, L, [](auto& N, TLine& L) {
        L.Length("Width", N.Width);
        L.Add("Border", N.Border(), 0);
        L.Enum("Frame", NameOf(kFrameProp, unsigned(N.Frame)), "hfVoid");
        L.Enum("Rules", NameOf(kRules, unsigned(N.Rules)), "hrNone");
        L.Add("CellSpacing", N.CellSpacing, 4);
        L.Add("CellPadding", N.CellPadding, 2);
        L.Color("BgColor", N.BgColor);
    });
    Probe<TIpHtmlNodeCAPTION>(Node, L, [](auto& N, TLine& L) {
        L.Enum("Align", NameOf(kVAlign2, unsigned(N.Align)), "hva2Top");
    });
    Probe<TIpHtmlNodeTHeadFootBody>(Node, L, [](auto& N, TLine& L) {
        L.Enum("Align", NameOf(kAlign, unsigned(N.Align)), "haDefault");
        L.Enum("VAlign", NameOf(kVAlign3, unsigned(N.VAlign)), "hva3Default");
    });
    Probe<TIpHtmlNodeCOLGROUP>(Node, L, [](auto& N, TLine& L) {
        L.Add("Span", N.Span, 1);
        L.Multi("Width", N.Width);
    });
    Probe<TIpHtmlNodeCOL>(Node, L, [](auto& N, TLine& L) {
        L.Add("Span", N.Span, 1);
        L.Multi("Width", N.Width);
    });
    Probe<TIpHtmlNodeTR>(Node, L, [](auto& N, TLine& L) {
        L.Enum("Align", NameOf(kAlign, unsigned(N.Align)), "haDefault");
        L.Enum("VAlign", NameOf(kVAlign, unsigned(N.VAlign)), "hvaMiddle");
    });
    Probe<TIpHtmlNodeTableHeaderOrCell>(Node, L, [](auto& N, TLine& L) {
        L.Enum("Align", NameOf(kAlign, unsigned(N.Align)), "");
        L.Enum("VAlign", NameOf(kVAlign3, unsigned(N.VAlign)), "hva3Default");
        L.Add("Colspan", N.Colspan, 1);
        L.Add("Rowspan", N.Rowspan, 1);
        L.Length("Width", N.Width);
        L.Add("Height", N.Height.Value(), 0);
        L.Flag("Nowrap", N.Nowrap);
        L.Color("BgColor", N.BgColor);
    });
    Probe<TIpHtmlNodeFORM>(Node, L, [](auto& N, TLine& L) {
        L.Add("Action", N.Action);
        L.Flag("POST", N.Method == TIpHtmlFormMethod::hfmPost);
        L.Add("Enctype", N.Enctype);
    });
    Probe<TIpHtmlNodeINPUT>(Node, L, [](auto& N, TLine& L) {
        L.Enum("Type", NameOf(kInputType, unsigned(N.InputType)), "hitText");
        L.Add("Name", N.Name);
        L.Add("Value", N.Value);
        L.Flag("Checked", N.Checked);
        L.Add("Size", N.Size, -1);
    });
    Probe<TIpHtmlNodeSELECT>(Node, L, [](auto& N, TLine& L) {
        L.Add("Name", N.Name);
        L.Add("Size", N.Size, -1);
        L.Flag("Multiple", N.Multiple);
    });
    Probe<TIpHtmlNodeOPTGROUP>(Node, L, [](auto& N, TLine& L) {
        L.Add("GroupLabel", N.GroupLabel);
        L.Flag("Disabled", N.Disabled);
    });
    Probe<TIpHtmlNodeOPTION>(Node, L, [](auto& N, TLine& L) {
        L.Add("Value", N.Value);
        L.Flag("Selected", N.Selected);
    });
    Probe<TIpHtmlNodeTEXTAREA>(Node, L, [](auto& N, TLine& L) {
        L.Add("Name", N.Name);
        L.Add("Rows", N.Rows, 20);
        L.Add("Cols", N.Cols, 20);
    });
    Probe<TIpHtmlNodeBUTTON>(Node, L, [](auto& N, TLine& L) { L.Add("Name", N.Name); });
    Probe<TIpHtmlNodeLABEL>(Node, L, [](auto& N, TLine& L) { L.Add("LabelFor", N.LabelFor); });
}

void DescribeFramesAndMaps(const TIpHtmlNode& Node, TLine& L) {
    Probe<TIpHtmlNodeFRAMESET>(Node, L, [](auto& N, TLine& L) {
        L.MultiList("Rows", N.Rows);
        L.MultiList("Cols", N.Cols);
    });
    Probe<TIpHtmlNodeFRAME>(Node, L, [](auto& N, TLine& L) {
        L.Add("Name", N.Name);
        L.Add("Src", N.Src);
        L.Add("FrameBorder", N.FrameBorder(), 1);
        L.Flag("NoResize", N.NoResize);
    });
    Probe<TIpHtmlNodeIFRAME>(Node, L, [](auto& N, TLine& L) {
        L.Add("Src", N.Src);
        L.Length("Width", N.Width);
        L.Length("Height", N.Height);
    });
    Probe<TIpHtmlNodeMAP>(Node, L, [](auto& N, TLine& L) { L.Add("Name", N.Name); });
    Probe<TIpHtmlNodeAREA>(Node, L, [](auto& N, TLine& L) {
        L.Add("Coords", N.Coords);
        L.Add("HRef", N.HRef);
    });
    Probe<TIpHtmlNodePARAM>(Node, L, [](auto& N, TLine& L) {
        L.Add("Name", N.Name);
        L.Add("Value", N.Value);
    });
    Probe<TIpHtmlNodeAPPLET>(Node, L, [](auto& N, TLine& L) { L.Add("Code", N.Code); });
    Probe<TIpHtmlNodeOBJECT>(Node, L, [](auto& N, TLine& L) { L.Add("Data", N.Data); });
}

}  // namespace

std::string DumpTree(const TIpHtml& Document) {
    std::string Out;
    // (node, depth), walked without recursion so the deepest trees dump too.
    std::vector<std::pair<const TIpHtmlNode*, int>> Pending{{Document.HtmlNode(), 0}};
    while (!Pending.empty()) {
        const auto [Node, Depth] = Pending.back();
        Pending.pop_back();
        TLine Line;
        DescribeStructure(*Node, Line);
        DescribeInline(*Node, Line);
        DescribeTablesAndForms(*Node, Line);
        DescribeFramesAndMaps(*Node, Line);
        Out += std::string(size_t(Depth) * 2, ' ') + ClassName(*Node) + Line.Text() + "\n";
        if (const auto* Multi = dynamic_cast<const TIpHtmlNodeMulti*>(Node))
            for (int I = Multi->ChildCount() - 1; I >= 0; --I)
                Pending.push_back({Multi->ChildNode(I), Depth + 1});
    }
    return Out;
}
