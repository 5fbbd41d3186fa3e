// The attribute readers, the value classes and the frame-size distribution.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "htmlview/html/IpHtmlAttributes.h"
#include "htmlview/html/IpHtmlTokenizer.h"
#include "htmlview/html/Limits.h"
#include "platform/classes/Classes.h"
#include "tests/support/TestSupport.h"

namespace {

// A tokenizer that has read the tag Tag.
class TTag {
  public:
    explicit TTag(const std::string& Tag, bool FlagErrors = false) : FStream(Tag) {
        Tok.Start(FStream);
        Tok.FlagErrors = FlagErrors;
        Tok.NextToken();
    }
    TIpHtmlTokenizer Tok;

  private:
    TStringStream FStream;
};

// The message the reader raises with errors flagged ("" for none), and what it gives without.
template <class T>
std::pair<std::string, T> Read(const std::string& Tag,
                               const std::function<T(TIpHtmlTokenizer&)>& Reader) {
    TTag Flagged(Tag, true);
    const std::string Error = ErrorOf([&] { Reader(Flagged.Tok); });
    TTag Quiet(Tag);
    return {Error, Reader(Quiet.Tok)};
}

std::string ErrorText(const std::string& Message) {
    return "Error \"" + Message + "\" at line 1, position ";
}

TEST(HtmlAttributes, IntegersAndPixels) {
    const auto Integer = [](TIpHtmlTokenizer& Tok) { return ParseInteger(Tok, "SIZE", 7); };
    struct {
        const char* Tag;
        int32_t Expected;
        bool Error;
    } Cases[] = {
        {"<x>", 7, false},
        {"<x size>", 1, false},
        {"<x size=12>", 12, false},
        {"<x size=-3>", -3, false},
        {"<x size=$1F>", 31, false},
        {"<x size=0x10>", 16, false},
        {"<x size=' 5 '>", 5, false},
        {"<x size=12px>", 7, true},
        {"<x size=0x>", 7, true},
        {"<x size=99999999999>", 7, true},
        {"<x size=2000000000>", HtmlLimits::kMaxPixels, false},  // clamped, no overflow later
    };
    for (const auto& Case : Cases) {
        const auto [Error, Value] = Read<int32_t>(Case.Tag, Integer);
        EXPECT_EQ(Value, Case.Expected) << Case.Tag;
        EXPECT_EQ(Error.rfind(ErrorText("Invalid integer constant"), 0) == 0, Case.Error)
            << Case.Tag;
    }
    const auto Pixels = [](TIpHtmlTokenizer& Tok) {
        TIpHtmlPixels Value;
        ParsePixels(Tok, "HEIGHT", Value);
        return Value.Value();
    };
    EXPECT_EQ(Read<int32_t>("<img>", Pixels), std::make_pair(std::string(), 0));
    EXPECT_EQ(Read<int32_t>("<img height=40>", Pixels).second, 40);
    EXPECT_EQ(Read<int32_t>("<img height=-4>", Pixels).second, 0);
    EXPECT_NE(Read<int32_t>("<img height=-4>", Pixels).first, "");
}

std::string LengthOf(const std::string& Tag, const std::string& Default = "") {
    TTag Quiet(Tag);
    TIpHtmlLength Length;
    ParseHtmlLength(Quiet.Tok, "WIDTH", Default, Length);
    static const char* const Types[] = {"undefined", "px", "%"};
    return std::to_string(Length.LengthValue()) + Types[size_t(Length.LengthType())];
}

TEST(HtmlAttributes, LengthsAndPrintScaling) {
    EXPECT_EQ(LengthOf("<hr>", "100%"), "100%");
    EXPECT_EQ(LengthOf("<hr width=50%>"), "50%");
    EXPECT_EQ(LengthOf("<hr width=\"50 %\">"), "50%");
    EXPECT_EQ(LengthOf("<hr width=120>"), "120px");
    EXPECT_EQ(LengthOf("<hr>"), "0undefined");
    EXPECT_EQ(LengthOf("<hr width=-5>"), "0undefined");
    EXPECT_EQ(LengthOf("<hr width=wide>"), "0undefined");

    TIpHtmlPrintState Print{true, 2.5};
    TIpHtmlLength Absolute(&Print), Percent(&Print);
    Absolute.SetLengthType(TIpHtmlLengthType::hlAbsolute);
    Absolute.SetLengthValue(100);
    Percent.SetLengthType(TIpHtmlLengthType::hlPercent);
    Percent.SetLengthValue(100);
    EXPECT_EQ(Absolute.LengthValue(), 250);
    EXPECT_EQ(Percent.LengthValue(), 100);
    Print.Printing = false;
    EXPECT_EQ(Absolute.LengthValue(), 100);
    // A change fires only when the value differs.
    int Changes = 0;
    Absolute.OnChange = [&] { ++Changes; };
    Absolute.SetLengthValue(100);
    Absolute.SetLengthValue(101);
    EXPECT_EQ(Changes, 1);
}

std::vector<int32_t> FrameSizes(const std::string& Shares, int32_t Total) {
    TTag Quiet("<frameset rows=\"" + Shares + "\">");
    TIpHtmlMultiLengthList List;
    ParseHtmlMultiLengthList(Quiet.Tok, "ROWS", "100%", List, nullptr);
    return CalcMultiLength(List, Total);
}

TEST(HtmlAttributes, FrameSizesShareTheTotal) {
    using V = std::vector<int32_t>;
    EXPECT_EQ(FrameSizes("*,*", 100), (V{50, 50}));  // a bare "*" counts one share
    EXPECT_EQ(FrameSizes("100,*", 300), (V{100, 200}));
    EXPECT_EQ(FrameSizes("20%,*,3*", 200), (V{40, 40, 120}));
    EXPECT_EQ(FrameSizes("25%, 75%", 400), (V{100, 300}));
    EXPECT_EQ(FrameSizes("0*,0*", 90), (V{90, 0}));  // no shares: no division, the first takes it
    EXPECT_EQ(FrameSizes("500,500", 300), (V{300, 0}));
    EXPECT_EQ(FrameSizes("80%,80%", 100), (V{50, 50}));  // too much is taken back evenly
    EXPECT_EQ(FrameSizes("10,10", 100), (V{50, 50}));    // too little is added evenly
    EXPECT_EQ(FrameSizes("1000000%,1000000%", 2000000000), (V{1000000000, 1000000000}));
    EXPECT_EQ(CalcMultiLength(TIpHtmlMultiLengthList(), 77), (V{77}));
}

TEST(HtmlAttributes, Colors) {
    const auto Color = [](const std::string& Value) {
        return Read<TIpHtmlColor>("<font color=\"" + Value + "\">",
                                  [](TIpHtmlTokenizer& Tok) { return ParseColor(Tok, "COLOR"); });
    };
    const std::pair<std::string, TIpHtmlColor> Quiet[] = {
        {"#FF0000", 0x0000FF}, {"#00ff80", 0x80FF00},   {"ff8000", 0x0080FF},
        {"red", 0x0000FF},     {"Navy", 0x800000},      {"MAROON", 0x000080},
        {"#GG0000", 0x0000FF}, {"bogus", kHtmlNoColor}, {"#12345", kHtmlNoColor}};
    for (const auto& [Value, Expected] : Quiet) {
        EXPECT_EQ(Color(Value).second, Expected) << Value;
        EXPECT_EQ(Color(Value).first.empty(), Value != "#12345") << Value;
    }
    EXPECT_EQ(Color("#12345").first,
              "Error \"Invalid color constant:#12345\" at line 1, position 21");
    EXPECT_EQ(
        Read<TIpHtmlColor>("<font>", [](TIpHtmlTokenizer& T) { return ParseColor(T, "COLOR"); })
            .second,
        kHtmlNoColor);
}

TEST(HtmlAttributes, EnumeratedValuesAndTheirMessages) {
    struct TCase {
        const char* Tag;
        std::function<int(TIpHtmlTokenizer&)> Reader;
        int Expected;
        const char* Message;  // raised with errors flagged; empty for a known value
    };
    const TCase Cases[] = {
        {"<p align=center>", [](auto& T) { return int(ParseAlignment(T)); },
         int(TIpHtmlAlign::haCenter), ""},
        {"<p>", [](auto& T) { return int(ParseAlignment(T)); }, int(TIpHtmlAlign::haDefault), ""},
        {"<p align=char>", [](auto& T) { return int(ParseAlignment(T)); },
         int(TIpHtmlAlign::haLeft), "Invalid alignment specified"},
        {"<td align=char>", [](auto& T) { return int(ParseCellAlign(T, TIpHtmlAlign::haLeft)); },
         int(TIpHtmlAlign::haChar), ""},
        {"<td align=up>", [](auto& T) { return int(ParseCellAlign(T, TIpHtmlAlign::haLeft)); },
         int(TIpHtmlAlign::haCenter), "Invalid alignment specified"},
        {"<img>", [](auto& T) { return int(ParseImageAlignment(T, "BOTTOM")); },
         int(TIpHtmlImageAlign::hiaBottom), ""},
        {"<img align=absCenter>", [](auto& T) { return int(ParseImageAlignment(T, "BOTTOM")); },
         int(TIpHtmlImageAlign::hiaMiddle), ""},
        {"<caption align=left>", [](auto& T) { return int(ParseVAlignment2(T)); },
         int(TIpHtmlVAlignment2::hva2Left), ""},
        {"<tr valign=center>", [](auto& T) { return int(ParseVAlignment(T)); },
         int(TIpHtmlVAlign::hvaMiddle), ""},
        {"<td>", [](auto& T) { return int(ParseVAlignment3(T)); }, int(TIpHtmlVAlign3::hva3Default),
         ""},
        {"<td valign=baseline>", [](auto& T) { return int(ParseVAlignment3(T)); },
         int(TIpHtmlVAlign3::hva3Baseline), ""},
        {"<ol type=a>", [](auto& T) { return int(ParseOLStyle(T, TIpHtmlOLStyle::olArabic)); },
         int(TIpHtmlOLStyle::olLowerAlpha), ""},
        {"<ol type=I>", [](auto& T) { return int(ParseOLStyle(T, TIpHtmlOLStyle::olArabic)); },
         int(TIpHtmlOLStyle::olUpperRoman), ""},
        {"<ol type=x>", [](auto& T) { return int(ParseOLStyle(T, TIpHtmlOLStyle::olUpperAlpha)); },
         int(TIpHtmlOLStyle::olUpperAlpha), "Invalid type specified"},
        {"<ul type=Square>", [](auto& T) { return int(ParseULStyle(T, TIpHtmlULType::ulDisc)); },
         int(TIpHtmlULType::ulSquare), ""},
        {"<input type=textarea>", [](auto& T) { return int(ParseInputType(T)); },
         int(TIpHtmlInputType::hitText), ""},
        {"<input type=date>", [](auto& T) { return int(ParseInputType(T)); },
         int(TIpHtmlInputType::hitText), "Invalid type specified"},
        {"<button type=reset>", [](auto& T) { return int(ParseButtonType(T)); },
         int(TIpHtmlButtonType::hbtReset), ""},
        {"<param valuetype=x>", [](auto& T) { return int(ParseObjectValueType(T)); },
         int(TIpHtmlObjectValueType::hovtData), "Invalid value type specified"},
        {"<area shape=polygon>", [](auto& T) { return int(ParseShape(T)); },
         int(TIpHtmlMapShape::hmsPoly), ""},
        {"<area shape=oval>", [](auto& T) { return int(ParseShape(T)); },
         int(TIpHtmlMapShape::hmsDefault), "Invalid shape specified"},
        {"<form method=put>", [](auto& T) { return int(ParseMethod(T)); },
         int(TIpHtmlFormMethod::hfmGet), "Invalid method specified"},
        {"<br clear=all>", [](auto& T) { return int(ParseBRClear(T)); },
         int(TIpHtmlBreakClear::hbcAll), ""},
        {"<br clear=both>", [](auto& T) { return int(ParseBRClear(T)); },
         int(TIpHtmlBreakClear::hbcNone), "Invalid alignment specified"},
        {"<html dir=up>", [](auto& T) { return int(ParseDir(T)); }, int(TIpHtmlDirection::hdLTR),
         "Invalid dir value specified"},
        {"<table frame=vsides>",
         [](auto& T) { return int(ParseFrameProp(T, TIpHtmlFrameProp::hfBox)); },
         int(TIpHtmlFrameProp::hfvSides), ""},
        {"<table frame=x>", [](auto& T) { return int(ParseFrameProp(T, TIpHtmlFrameProp::hfBox)); },
         int(TIpHtmlFrameProp::hfVoid), "Invalid frame specified"},
        {"<table rules=x>", [](auto& T) { return int(ParseRules(T, TIpHtmlRules::hrAll)); },
         int(TIpHtmlRules::hrNone), "Invalid rule specified"},
        {"<frame scrolling=x>", [](auto& T) { return int(ParseFrameScrollingProp(T)); },
         int(TIpHtmlFrameScrolling::hfsAuto), "Invalid scrolling specified"},
    };
    for (const TCase& Case : Cases) {
        const auto [Error, Value] = Read<int>(Case.Tag, Case.Reader);
        EXPECT_EQ(Value, Case.Expected) << Case.Tag;
        if (*Case.Message)
            EXPECT_EQ(Error.rfind(ErrorText(Case.Message), 0), 0u) << Case.Tag;
        else
            EXPECT_EQ(Error, "") << Case.Tag;
    }
}

TEST(HtmlAttributes, RelativeFontSizes) {
    const auto Size = [](const std::string& Tag) {
        TTag Quiet(Tag);
        TIpHtmlRelSize Result;
        ParseRelSize(Quiet.Tok, Result);
        return std::make_pair(int(Result.SizeType()), Result.Value());
    };
    using enum TIpHtmlRelSizeType;
    EXPECT_EQ(Size("<font>"), std::make_pair(int(hrsUnspecified), 0));
    EXPECT_EQ(Size("<font size=4>"), std::make_pair(int(hrsAbsolute), 4));
    EXPECT_EQ(Size("<font size=+2>"), std::make_pair(int(hrsRelative), 2));
    EXPECT_EQ(Size("<font size=-1>"), std::make_pair(int(hrsRelative), -1));
    EXPECT_EQ(Size("<font size=big>"), std::make_pair(int(hrsUnspecified), 0));
}

}  // namespace
