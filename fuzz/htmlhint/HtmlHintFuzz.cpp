// Feeds arbitrary markup to the mini-HTML renderer: measured, then painted with hit testing on
// an offscreen bitmap, with an image list and a picture container to name. The first byte picks
// the options and the rectangle. Every input must lay out in bounded time without touching
// memory outside what it owns; measuring alone paints nothing and finds what painting finds (the
// size, the plain text, the links), and text without markup is its own plain text. Text with
// simple markup (the tags below and the hint's entities) has the plain text a reader written here
// finds, with each entity's character as Qt's HTML reader finds it.
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

#include "components/htmlhint/HtmlDraw.h"
#include "components/htmlhint/HtmlPicture.h"
#include "platform/core/Application.h"

namespace {

struct TWorld {
    TWorld() {
        QImage Green(6, 4, QImage::Format_RGB32);
        Green.fill(qRgb(0, 255, 0));
        TBitmap B;
        B.SetImage(Green.scaled(16, 16));
        Images.Add(B, nullptr);
        // A 2 x 2 GIF of one red frame.
        static const uint8_t Gif[] = {'G', 'I', 'F', '8', '9', 'a',  2,    0,    2,    0,    0x80,
                                      0,   0,   255, 0,   0,   0,    0,    0,    0x21, 0xF9, 0x04,
                                      0,   0,   0,   0,   0,   0x2C, 0,    0,    0,    0,    2,
                                      0,   2,   0,   0,   2,   2,    0x44, 0x01, 0,    0x3B};
        TPictureItem* Item = Pictures.Add();
        Item->SetName("P");
        Item->Picture().LoadFromBytes(Gif);
    }
    TCustomImageList Images{16, 16};
    TPictureContainer Pictures{nullptr};
};

[[noreturn]] void Fail(const char* What, const std::string& Text) {
    std::fprintf(stderr, "%s: \"%s\"\n", What, Text.c_str());
    std::abort();
}

constexpr QRgb kPaper = 0xFF123456u;

bool Untouched(TBitmap& Paper) {
    const QImage Image = Paper.Image();
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            if (Image.pixel(X, Y) != kPaper) return false;
    return true;
}

// Printable text with nothing a tag or an entity could start.
bool WithoutMarkup(const std::string& Text) {
    for (char C : Text)
        if (C < 0x20 || C > 0x7E || C == '<' || C == '&' || C == '>') return false;
    return true;
}

// The character Qt's HTML reader finds for an entity, in Windows-1252 (by ICU's table).
char QtReads(const std::string& Entity) {
    static std::map<std::string, char> Known;
    if (const auto Found = Known.find(Entity); Found != Known.end()) return Found->second;
    const QString Read =
        QTextDocumentFragment::fromHtml(QString::fromLatin1(Entity.c_str())).toRawText();
    QStringEncoder Encoder("windows-1252");
    const QByteArray Bytes = Encoder.encode(Read);
    if (Read.size() != 1 || Encoder.hasError() || Bytes.size() != 1)
        Fail("Qt's HTML reader finds no character for", Entity);
    return Known[Entity] = Bytes[0];
}

// The plain text of a hint of printable text with line breaks, the tags of text attributes,
// breaks and hidden text (B, I, U, S, BR, Z; either case, closed or not) and the entities a hint
// knows, written in lower case: the text without its tags, a break as CR, a line feed dropped,
// each entity its character ("&nbsp;" a blank, as the hint shows it). Nothing for other text,
// and none for an "&amp;" right before a name (the hint reads "&amp;lt;" as "&" and "<").
std::optional<std::string> ModelPlainText(const std::string& Text) {
    static const std::set<std::string> kTags = {"b", "/b", "i",  "/i", "u", "/u",
                                                "s", "/s", "br", "z",  "/z"};
    static const std::set<std::string> kEntities = {"amp",  "quot", "sect", "permil",
                                                    "reg",  "copy", "para", "trade",
                                                    "euro", "nbsp", "lt",   "gt"};
    std::string Out;
    for (size_t I = 0; I < Text.size(); ++I) {
        const char C = Text[I];
        if (C == '<') {
            const size_t End = Text.find('>', I);
            if (End == std::string::npos) return std::nullopt;
            std::string Name = Text.substr(I + 1, End - I - 1);
            for (char& N : Name) N = char(std::tolower(static_cast<unsigned char>(N)));
            if (!kTags.count(Name)) return std::nullopt;
            if (Name == "br") Out += '\r';
            I = End;
        } else if (C == '&') {
            const size_t End = Text.find(';', I);
            if (End == std::string::npos) return std::nullopt;
            const std::string Name = Text.substr(I + 1, End - I - 1);
            if (!kEntities.count(Name)) return std::nullopt;
            if (Name == "amp" && End + 1 < Text.size() && std::isalpha(uint8_t(Text[End + 1])))
                return std::nullopt;
            Out += Name == "nbsp" ? ' ' : QtReads("&" + Name + ";");
            I = End;
        } else if (C == '\r') {
            Out += '\r';
        } else if (C != '\n') {
            if (C < 0x20 || C > 0x7E || C == '>') return std::nullopt;
            Out += C;
        }
    }
    return Out;
}

}  // namespace

// Fonts and pictures need the GUI application object.
extern "C" int LLVMFuzzerInitialize(int* Argc, char*** Argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static std::unique_ptr<QCoreApplication> App = TApplication::InitializeQt(*Argc, *Argv, true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 1) return 0;
    static TWorld World;
    const uint8_t Flags = Data[0];
    const std::string Text(reinterpret_cast<const char*>(Data + 1), Size - 1);
    TBitmap Paper(160, 90, pf32bit);
    TCanvas& Canvas = Paper.Canvas();
    Canvas.Font().SetName("Tahoma");
    THTMLDrawOptions Options;
    Options.Images = &World.Images;
    Options.Pictures = &World.Pictures;
    Options.WordWrap = Flags & 1;
    Options.Ellipsis = Flags & 2;
    Options.Blink = Flags & 4;
    Options.NoColorChange = Flags & 8;
    Options.HoverColor = (Flags & 16) ? clYellow : clNone;
    Options.FocusLink = Flags >> 6;
    Options.ShadowOffset = Flags % 3;
    Options.Mouse = Point(Flags % 150, Flags / 3);
    const TRect R = Rect(2, 3, 20 + Flags % 140, 85);
    QImage Blank(160, 90, QImage::Format_RGB32);
    Blank.fill(kPaper);
    Paper.SetImage(Blank);
    THTMLDrawResult Measured;
    Options.CheckOnly = true;
    HTMLDrawEx(Canvas, Text, R, Options, Measured);
    if (!Untouched(Paper)) Fail("measuring painted", Text);
    THTMLDrawResult Painted;
    Options.CheckOnly = false;
    HTMLDrawEx(Canvas, Text, R, Options, Painted);
    // Painting stops at the first line below the rectangle; text that fits is painted whole.
    if (Measured.Height <= R.Height()) {
        if (Measured.Width != Painted.Width || Measured.Height != Painted.Height)
            Fail("measuring and painting found other sizes", Text);
        if (Measured.PlainText != Painted.PlainText || Measured.LinkCount != Painted.LinkCount)
            Fail("measuring and painting found other text", Text);
    }
    if (WithoutMarkup(Text) && Measured.PlainText != Text)
        Fail("text without markup is not its own plain text", Painted.PlainText);
    if (const std::optional<std::string> Expected = ModelPlainText(Text);
        Expected && Measured.PlainText != *Expected)
        Fail("the plain text is not the text without its markup", Text + "|" + Measured.PlainText);
    return 0;
}
