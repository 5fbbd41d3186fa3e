// The text form of definitions: parsing every kind of value, printing in canonical form, and
// errors with their place.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/forms/FormText.h"
#include "platform/forms/Limits.h"
#include "tests/support/TestSupport.h"

namespace {

// Every construct of the format, in canonical form.
const char* const kCanonical = R"(object FormMain: TFormMain
  Left = 192
  Top = -7
  Caption = 'Orvalin Kestro'#13#10'x'
  Quote = 'it''s'
  Empty = ''
  Ratio = 0.5
  Big = 1e+20
  Whole = 100.0
  Font.Name = 'MS Sans Serif'
  Align = alClient
  Images = Form2.ImageList1
  Anchors = [akLeft, akTop]
  NoAnchors = []
  Items.Strings = (
    'a'
    'b'
    42
    (
      nested))
  NoItems = ()
  Hint =
    'This hint is long enough to be cut into pieces of sixty-four byt' +
    'es each, and the rest goes on the next line.'
  Glyph.Data = {
    000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F
    FF}
  NoData = {}
  Bars = <
    item
      Caption = 'Main Menu'
      Links = <
        item
          Visible = False
        end>
    end
    item
    end>
  NoBars = <>
  OnCreate = FormCreate
  object Panel1: TPanel
    object TPopupListBox
    end
  end
  inherited Old: TPanel [2]
  end
  inline Frame1: TFrame1
  end
end
)";

TFormValue ValueOf(const std::string& Text) {
    const TFormObject Root = ParseFormText("object A: T\n  P = " + Text + "\nend\n");
    return Root.Properties.at(0).Value;
}

}  // namespace

TEST(FormText, CanonicalTextPrintsBackUnchangedAndReparsesToTheSameTree) {
    const TFormObject Tree = ParseFormText(kCanonical, "canonical");
    EXPECT_EQ(PrintFormText(Tree), kCanonical);
    EXPECT_EQ(ParseFormText(PrintFormText(Tree)), Tree);

    EXPECT_EQ(Tree.Name, "FormMain");
    ASSERT_EQ(Tree.Children.size(), 3u);
    EXPECT_EQ(Tree.Children[0].Children[0].Name, "");
    EXPECT_EQ(Tree.Children[0].Children[0].ClassName, "TPopupListBox");
    EXPECT_EQ(Tree.Children[1].Kind, TObjectKind::Inherited);
    EXPECT_EQ(Tree.Children[1].ChildPos, 2);
    EXPECT_EQ(Tree.Children[2].Kind, TObjectKind::Inline);
    EXPECT_EQ(Tree.Properties[0].Pos.Line, 2);
    EXPECT_EQ(Tree.Properties[0].Pos.Column, 3);
}

TEST(FormText, ValuesAreDecodedToWindows1252Bytes) {
    struct Case {
        const char* Text;
        TFormValue Expected;
    };
    const Case Cases[] = {
        {"'a''b'", TFormValue::MakeString("a'b")},
        {"'x'#13#10'y'", TFormValue::MakeString("x\r\ny")},
        {"#$41#66", TFormValue::MakeString("AB")},
        {"#128#255", TFormValue::MakeString("\x80\xFF")},
        {"#8364", TFormValue::MakeString("\x80")},  // the euro sign's code page byte
        {"#12354", TFormValue::MakeString("?")},    // no such character in the code page
        {"'Gr\xC3\xBC\xC3\x9F\x65'", TFormValue::MakeString("Gr\xFC\xDF"
                                                            "e")},
        {"'\xE2\x82\xAC'", TFormValue::MakeString("\x80")},
        {"'a' +\n    'b' + #33", TFormValue::MakeString("ab!")},
        {"$FF", TFormValue::MakeInteger(255)},
        {"$FFFFFFFFFFFFFFFF", TFormValue::MakeInteger(-1)},
        {"-12", TFormValue::MakeInteger(-12)},
        {"+3", TFormValue::MakeInteger(3)},
        {"1.5E2", TFormValue::MakeFloat(150)},
        {"-0.25", TFormValue::MakeFloat(-0.25)},
        {"clBtnFace", TFormValue::MakeIdent("clBtnFace")},
        {"[ a ,b ]", TFormValue::MakeSet({"a", "b"})},
        {"{ 0a FF\n 10 }", TFormValue::MakeBinary("\x0A\xFF\x10")},
        {"( 1 'two' three )",
         TFormValue::MakeList({TFormValue::MakeInteger(1), TFormValue::MakeString("two"),
                               TFormValue::MakeIdent("three")})},
    };
    for (const Case& C : Cases) EXPECT_EQ(ValueOf(C.Text), C.Expected) << C.Text;
}

TEST(FormText, LooseLayoutPrintsInCanonicalForm) {
    const std::string Loose =
        "\xEF\xBB\xBFOBJECT Form1 : TForm1\r\n\tCaption='a'+'b'\r\n  Items.Strings=('x' 'y')\r\n"
        "Bars=<ITEM Row=1 END>\r\n  Object P:TPanel END\r\nEnd\r\n\r\n";
    EXPECT_EQ(PrintFormText(ParseFormText(Loose)),
              "object Form1: TForm1\n"
              "  Caption = 'ab'\n"
              "  Items.Strings = (\n"
              "    'x'\n"
              "    'y')\n"
              "  Bars = <\n"
              "    item\n"
              "      Row = 1\n"
              "    end>\n"
              "  object P: TPanel\n"
              "  end\n"
              "end\n");
}

TEST(FormText, MalformedTextIsRefusedWithItsPlace) {
    struct Case {
        std::string Text;
        std::string Error;
    };
    std::string Deep;
    for (int I = 0; I < 60; ++I) Deep += "object A: T\n";
    const std::string LongIdent(FormsLimits::kMaxIdentifierLength + 1, 'x');
    const Case Cases[] = {
        {"object A: TX\n  Left = 1\n", "Unexpected end of the definition at line 3, column 1"},
        {"object A: TX\n  Left 1\nend", "'=' expected but a number found at line 2, column 8"},
        {"object A: TX\n  Caption = 'abc\nend", "Unterminated string at line 2, column 13"},
        {"object A: TX\n  Caption = 'abc",
         "Unexpected end of the definition in a string at line 2, column 13"},
        {"object A: TX\n  D = {0G}\nend", "Invalid character in binary data at line 2, column 9"},
        {"object A: TX\n  D = {0A1}\nend",
         "Odd number of hex digits in binary data at line 2, column 7"},
        {"object A: TX\n  D = {0A",
         "Unexpected end of the definition in binary data at line 2, column 10"},
        {"object A: TX\n  S = 'a\xC3'\nend", "Invalid UTF-8 in a string at line 2, column 9"},
        {"object A: TX\n  S = 'a\xC0\x80'\nend", "Invalid UTF-8 in a string at line 2, column 9"},
        // Longer than needed (U+07FF in three bytes, U+FFFF in four), or a surrogate.
        {"object A: TX\n  S = 'a\xE0\x9F\xBF'\nend",
         "Invalid UTF-8 in a string at line 2, column 9"},
        {"object A: TX\n  S = 'a\xF0\x8F\xBF\xBF'\nend",
         "Invalid UTF-8 in a string at line 2, column 9"},
        {"object A: TX\n  S = 'a\xED\xA0\x80'\nend",
         "Invalid UTF-8 in a string at line 2, column 9"},
        {"object A: TX\n  N = 99999999999999999999\nend",
         "Number out of range at line 2, column 7"},
        {"object A: TX\n  N = 1e999\nend", "Number out of range at line 2, column 7"},
        {"object A: TX\n  N = 12ab\nend", "Invalid number at line 2, column 7"},
        {"object A: TX\n  S = #1114112\nend", "Character code out of range at line 2, column 7"},
        {"object A: TX\n  S = 'a' + 1\nend",
         "String expected but a number found at line 2, column 13"},
        {"object A: TX\n  S = [a b]\nend", "',' expected but 'b' found at line 2, column 10"},
        {"object A: TX\n  C = < Caption = 'x' >\nend",
         "'item' expected but 'Caption' found at line 2, column 9"},
        {"object A: TX\n  P = )\nend", "Value expected but ')' found at line 2, column 7"},
        {"object A: TX\nend\nx",
         "End of the definition expected but 'x' found at line 3, column 1"},
        {"thing A: TX\nend", "'object' expected but 'thing' found at line 1, column 1"},
        {"object A: TX [x]\nend", "Child position expected but 'x' found at line 1, column 15"},
        {"object A: TX\n  object B: TY\n  end\n  Left = 1\nend",
         "'end' expected but 'Left' found at line 4, column 3"},
        {Deep, "Nesting deeper than 48 levels at line 49, column 1"},
        {"object " + LongIdent + ": T\nend",
         "Identifier longer than 255 characters at line 1, column 8"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(ErrorOf<EParserError>([&] { ParseFormText(C.Text); }), C.Error) << C.Text;

    const auto Error = [](const std::string& Text) {
        try {
            ParseFormText(Text, "forms/x.dfm");
        } catch (const EParserError& E) {
            return std::make_pair(E.Message(), E.Line());
        }
        return std::make_pair(std::string(), 0);
    };
    EXPECT_EQ(Error("object A: T\n\n  X ="),
              std::make_pair(std::string("forms/x.dfm: Unexpected end of the definition at line 3, "
                                         "column 6"),
                             3));
}

TEST(FormText, SizeLimitsAreCheckedBeforeTheWork) {
    const std::string Huge(FormsLimits::kMaxDefinitionSize + 1, ' ');
    EXPECT_EQ(ErrorOf<EParserError>([&] { ParseFormText(Huge); }),
              "Definition larger than 8388608 bytes at line 1, column 1");
    const std::string LongString =
        "object A: T\n  S = '" + std::string(FormsLimits::kMaxStringLength / 2, 'x') + "' + '" +
        std::string(FormsLimits::kMaxStringLength / 2 + 1, 'y') + "'\nend\n";
    EXPECT_EQ(ErrorOf<EParserError>([&] { ParseFormText(LongString); }),
              "String longer than 1048576 bytes at line 2, column 7");
}

TEST(FormText, PrinterRefusesValuesTheTextCannotHold) {
    TFormObject Root;
    Root.Name = "A";
    Root.ClassName = "T";
    Root.Properties.push_back({"Ratio", TFormValue::MakeFloat(std::nan("")), {}});
    EXPECT_EQ(ErrorOf<EFormWriteError>([&] { PrintFormText(Root); }), "A float that is not finite");
    Root.Properties[0] = {"Bad Name", TFormValue::MakeInteger(1), {}};
    EXPECT_EQ(ErrorOf<EFormWriteError>([&] { PrintFormText(Root); }),
              "'Bad Name' is not an identifier");
}

TEST(FormText, HeaderClassNameWithoutReadingTheRest) {
    EXPECT_EQ(FormTextClassName("object FormMain: TFormMain\n  garbage ( ( ("), "TFormMain");
    EXPECT_EQ(FormTextClassName("inherited Form2: TForm2 [1]\n"), "TForm2");
    EXPECT_EQ(FormTextClassName("object TPopupListBox\nend"), "TPopupListBox");
    EXPECT_EQ(FormTextClassName("PNG\x89..."), std::nullopt);
}
