#include "components/htmlhint/HtmlLine.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "components/htmlhint/HtmlPicture.h"
#include "components/htmlhint/HtmlText.h"
#include "components/htmlhint/Limits.h"
#include "components/htmlhint/ShellIcon.h"

using namespace HtmlText;

namespace HtmlRender {

namespace {

// Runs are single lines with tabs expanded, set on the bottom of their cell with the font's
// external leading.
constexpr UINT kRunFormat = DT_SINGLELINE | DT_EXPANDTABS | DT_BOTTOM | DT_EXTERNALLEADING;

// "&&" is drawn as one ampersand; the plain text holds what is seen.
std::string Visible(const std::string& Run) {
    std::string Out;
    Out.reserve(Run.size());
    for (size_t I = 0; I < Run.size(); ++I) {
        Out += Run[I];
        if (Run[I] == '&' && I + 1 < Run.size() && Run[I + 1] == '&') ++I;
    }
    return Out;
}

bool Inside(TPoint P, const TRect& R) {
    return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}

// An attribute's value as the tag has it, not upper-cased (names of files, texts for people).
std::string AsWritten(std::string_view Tag, const std::string& Upper, std::string_view Name) {
    std::string Value;
    const size_t At = Upper.find(Name);
    if (At != std::string::npos) AttributeValue(Tag.substr(At), Tag.substr(At, Name.size()), Value);
    return Value;
}

// A new font handle is costly: the canvas gets one only when the font really changes.
void SetFont(TCanvas& Canvas, const LOGFONT& Font) {
    if (std::memcmp(&Canvas.Font().LogFont(), &Font, sizeof Font) != 0)
        Canvas.Font().SetLogFont(Font);
}

int Clamped(int Value) {
    return std::clamp(Value, 0, HtmlHintLimits::kMaxOffset);
}

}  // namespace

// Looked up in order: the first rule whose prefix starts the tag's name applies.
const TLineLayout::TTagRule TLineLayout::kTags[] = {
    {"A", &TLineLayout::OpenLink, &TLineLayout::CloseLink},
    {"BR", &TLineLayout::LineBreak, nullptr},
    {"BL", &TLineLayout::Blink, &TLineLayout::BaseColor},
    {"BO", &TLineLayout::Body, &TLineLayout::BaseColor},
    {"B", &TLineLayout::Bold, &TLineLayout::Unbold},
    {"E", &TLineLayout::ErrorOn, &TLineLayout::ErrorOff},
    {"F", &TLineLayout::Font, &TLineLayout::CloseFont},
    {"HI", &TLineLayout::Highlight, &TLineLayout::CloseHighlight},
    {"HR", &TLineLayout::Rule, nullptr},
    {"IN", &TLineLayout::Indent, nullptr},
    {"IM", &TLineLayout::Image, nullptr},
    {"I", &TLineLayout::Italic, &TLineLayout::Unitalic},
    {"LI", &TLineLayout::ListItem, nullptr},
    {"P", &TLineLayout::Paragraph, &TLineLayout::CloseParagraph},
    {"R", &TLineLayout::Rotate, &TLineLayout::Unrotate},
    {"SH", &TLineLayout::ShadowOn, &TLineLayout::ShadowOff},
    {"SUB", &TLineLayout::SubOn, &TLineLayout::SubSupOff},
    {"SUP", &TLineLayout::SupOn, &TLineLayout::SubSupOff},
    {"S", &TLineLayout::Strike, &TLineLayout::Unstrike},
    {"UL", &TLineLayout::List, &TLineLayout::CloseList},
    {"U", &TLineLayout::Underline, &TLineLayout::Ununderline},
    {"Z", &TLineLayout::HiddenOn, &TLineLayout::HiddenOff},
};

TLineLayout::TLineLayout(TCanvas& Canvas, std::string_view Text, const TRect& R,
                         const THTMLDrawOptions& Options, THTMLDrawResult& Result)
    : FCanvas(Canvas),
      FText(Text),
      FRect(R),
      FOptions(Options),
      FResult(Result),
      FBaseColor(Canvas.Font().Color()),
      FBackground(Canvas.Brush().Color()),
      FBaseFont(Canvas.Font().LogFont()) {}

int TLineLayout::TextHeight() {
    return FCanvas.TextHeight("gh");
}

TLine TLineLayout::Layout(size_t& Pos, TStyle& Style, int X, int Y, TPass Pass,
                          const TLine* Measured, bool HitTest, bool Consume) {
    FStyle = &Style;
    FPass = Pass;
    FMeasured = Measured;
    FHitTest = HitTest;
    FConsume = Consume;
    FX = FStartX = X;
    FY = Y;
    FHasContent = FEndsInBlank = false;
    FItems = 0;
    FRaise = 0;
    FLine = TLine{};
    FLine.Align = Style.Align;
    FLine.Indent = Style.Indent;
    SetFont(FCanvas, Style.Font);
    FCanvas.Font().SetColor(Style.FontColor);
    if (!Style.Hidden) FLine.Height = TextHeight();
    if (Pass == TPass::Draw && Style.ParaFill != clNone) FillLine(Style.ParaFill);

    const size_t End = Pass == TPass::Draw && Measured ? Measured->End : FText.size();
    while (Pos < End) {
        if (FText[Pos] != '<') {
            size_t RunEnd = std::min(End, FText.find('<', Pos));
            if (FOptions.WordWrap) {
                const size_t Blank = FText.find(' ', Pos);
                if (Blank < RunEnd) RunEnd = Blank + 1;
            }
            const std::string Run = ReplaceRunEntities(FText.substr(Pos, RunEnd - Pos));
            const TSize Size = Style.Hidden || Run.empty() ? TSize{0, 0} : Measure(Run);
            if (Pass == TPass::Measure && FOptions.WordWrap && !Style.Hidden && FEndsInBlank &&
                FX + Size.cx > FRect.Right && Size.cx < FRect.Width())
                break;
            Pos = RunEnd;
            PlaceRun(Run, Size);
            continue;
        }
        // "<" with fewer than two characters after it: the rest is no tag and is dropped.
        if (FText.size() - Pos <= 2) {
            Pos = FText.size();
            break;
        }
        const size_t Close = FText.find('>', Pos);
        const size_t TagEnd = Close == std::string_view::npos ? FText.size() : Close;
        const TTagResult Result = HandleTag(FText.substr(Pos + 1, TagEnd - Pos - 1));
        if (Result == TTagResult::EndBefore && Pass == TPass::Measure) break;
        Pos = std::min(FText.size(), TagEnd + 1);
        if (Result == TTagResult::EndAfter) break;
    }
    FLine.End = Pos;
    FLine.Width = FX - FStartX;
    Style.Font = FCanvas.Font().LogFont();
    Style.FontColor = FCanvas.Font().Color();
    return FLine;
}

TLineLayout::TTagResult TLineLayout::HandleTag(std::string_view Tag) {
    const bool Closing = !Tag.empty() && Tag[0] == '/';
    const std::string Upper = UpperCase(Closing ? Tag.substr(1) : Tag);
    for (const TTagRule& Rule : kTags) {
        if (Upper.compare(0, Rule.Prefix.size(), Rule.Prefix) != 0) continue;
        const THandler Handler = Closing ? Rule.Close : Rule.Open;
        return Handler ? (this->*Handler)(Tag, Upper) : TTagResult::Go;
    }
    return TTagResult::Go;
}

// --- text runs --------------------------------------------------------------------------------

TSize TLineLayout::Measure(const std::string& Run) {
    RECT R{0, 0, 0, 0};
    DrawText(FCanvas.Handle(), Run, &R, kRunFormat | DT_CALCRECT);
    return TSize{R.right - R.left, R.bottom - R.top};
}

void TLineLayout::PlaceRun(const std::string& Run, TSize Size) {
    if (FConsume) FResult.PlainText += Visible(Run);
    if (FStyle->Hidden || Run.empty()) return;
    FLine.Height = std::max(FLine.Height, int(Size.cy));
    if (FStyle->Sub) FLine.SubSpace = std::max(FLine.SubSpace, int(Size.cy) / 4);
    if (FStyle->Sup) FLine.SupSpace = std::max(FLine.SupSpace, int(Size.cy) / 4);
    if (FHitTest && FStyle->InLink &&
        Inside(FOptions.Mouse, Rect(FX, FY, FX + Size.cx, FY + Size.cy))) {
        FLine.LinkHit = true;
        FLine.HitLink = FStyle->LinkCount;
        FLine.HitAnchor = FStyle->LinkAddress;
    }
    if (FPass == TPass::Draw) Paint(Run, Size);
    FX += Size.cx;
    FHasContent = true;
    FEndsInBlank = Run.back() == ' ';
}

int TLineLayout::CellTop() const {
    return FY + (FMeasured ? FMeasured->SupSpace : 0);
}

int TLineLayout::CellBottom() const {
    return CellTop() + (FMeasured ? FMeasured->Height : FLine.Height) - FRaise;
}

void TLineLayout::Paint(const std::string& Run, TSize Size) {
    int Bottom = CellBottom();
    if (FStyle->Sub) Bottom += Size.cy / 4;
    if (FStyle->Sup) Bottom -= Size.cy / 4;
    int Right = FX + Size.cx;
    if (FOptions.Ellipsis) Right = std::min(Right, int(FRect.Right));
    const TRect Cell =
        Rect(FX, Bottom - std::max(int(Size.cy), CellBottom() - CellTop()), Right, Bottom);
    if (FStyle->TextBack != clNone) {
        FCanvas.Brush().SetStyle(bsSolid);
        FCanvas.Brush().SetColor(FStyle->TextBack);
        FCanvas.FillRect(Rect(FX, Bottom - Size.cy, Right, Bottom));
    }
    FCanvas.Brush().SetStyle(bsClear);
    if (FStyle->Shadow) {
        const TColor Own = FCanvas.Font().Color();
        FCanvas.Font().SetColor(FOptions.ShadowColor);
        const int D = FOptions.ShadowOffset;
        PaintText(Run, Rect(Cell.Left + D, Cell.Top + D, Cell.Right + D, Cell.Bottom + D));
        FCanvas.Font().SetColor(Own);
    }
    PaintText(Run, Cell);
    if (FStyle->ErrorLine) ZigZag(FX, FX + Size.cx, Bottom);
}

void TLineLayout::PaintText(const std::string& Run, const TRect& Cell) {
    const HDC DC = FCanvas.Handle();
    if (FCanvas.Font().LogFont().lfEscapement != 0) {
        // Text drawing lays out upright lines only; a rotated run turns about its cell's top.
        TextOut(DC, Cell.Left, Cell.Bottom - Measure(Run).cy, Run);
        return;
    }
    RECT R = Cell;
    DrawText(DC, Run, &R, kRunFormat | (FOptions.Ellipsis ? DT_END_ELLIPSIS : 0));
}

void TLineLayout::ZigZag(int Left, int Right, int Bottom) {
    TPen& Pen = FCanvas.Pen();
    const TColor OldColor = Pen.Color();
    const int OldWidth = Pen.Width();
    Pen.SetColor(clRed);
    Pen.SetWidth(1);
    int X = Left & ~1;
    bool Low = X % 4 == 0;
    FCanvas.MoveTo(X, Low ? Bottom + 1 : Bottom - 1);
    while (X < Right) {
        X += 2;
        Low = !Low;
        FCanvas.LineTo(X, Low ? Bottom + 1 : Bottom - 1);
    }
    Pen.SetColor(OldColor);
    Pen.SetWidth(OldWidth);
}

void TLineLayout::SetFontStyle(TFontStyle Style, bool On) {
    TFontStyles S = FCanvas.Font().Style();
    if (On)
        S.insert(Style);
    else
        S.erase(Style);
    FCanvas.Font().SetStyle(S);
}

void TLineLayout::SetTextColor(TColor Color) {
    FCanvas.Font().SetColor(Color);
}

void TLineLayout::FillLine(TColor Color) {
    const TLine& M = FMeasured ? *FMeasured : FLine;
    FCanvas.Brush().SetStyle(bsSolid);
    FCanvas.Brush().SetColor(Color);
    FCanvas.FillRect(Rect(FRect.Left, FY, FRect.Right, FY + M.SupSpace + M.Height + M.SubSpace));
    FCanvas.Brush().SetStyle(bsClear);
}

int TLineLayout::Scaled(int Pixels) {
    const int Dpi = GetDeviceCaps(FCanvas.Handle(), LOGPIXELSX);
    const double Scale = (Dpi > 0 ? Dpi : 96) / 96.0 * FOptions.Resolution;
    return Clamped(int(std::lround(Pixels * Scale)));
}

// --- links and simple styles -----------------------------------------------------------------

TLineLayout::TTagResult TLineLayout::OpenLink(std::string_view Tag, const std::string&) {
    TStyle& S = *FStyle;
    ++S.LinkCount;
    S.InLink = true;
    S.LinkAddress = FirstQuoted(Tag);
    S.LinkStart = FX;
    S.LinkSavedColor = FCanvas.Font().Color();
    S.LinkSavedBack = S.TextBack;
    const bool HoverColors = FOptions.HoverColor != clNone || FOptions.HoverFontColor != clNone;
    if (FHoverLink == S.LinkCount && HoverColors) {
        if (FOptions.HoverColor != clNone) S.TextBack = FOptions.HoverColor;
        if (FOptions.HoverFontColor != clNone) SetTextColor(FOptions.HoverFontColor);
    } else {
        SetFontStyle(fsUnderline, true);
        if (!FOptions.NoColorChange) SetTextColor(FOptions.URLColor);
    }
    return TTagResult::Go;
}

TLineLayout::TTagResult TLineLayout::CloseLink(std::string_view, const std::string&) {
    TStyle& S = *FStyle;
    SetFontStyle(fsUnderline, false);
    if (!S.InLink) return TTagResult::Go;
    S.InLink = false;
    SetTextColor(S.LinkSavedColor);
    S.TextBack = S.LinkSavedBack;
    const int Top = FPass == TPass::Draw ? CellTop() : FY;
    const int Height = FMeasured ? FMeasured->Height : FLine.Height;
    if (FHitTest && FLine.LinkHit && FLine.HitLink == S.LinkCount)
        FLine.HitRect = Rect(S.LinkStart, Top, FX, Top + Height);
    if (FPass == TPass::Draw && S.LinkCount == FOptions.FocusLink)
        FCanvas.DrawFocusRect(Rect(S.LinkStart, Top, FX, Top + Height));
    return TTagResult::Go;
}

TLineLayout::TTagResult TLineLayout::Bold(std::string_view, const std::string&) {
    SetFontStyle(fsBold, true);
    return TTagResult::Go;
}

TLineLayout::TTagResult TLineLayout::Unbold(std::string_view, const std::string&) {
    SetFontStyle(fsBold, false);
    return TTagResult::Go;
}

TLineLayout::TTagResult TLineLayout::Italic(std::string_view, const std::string&) {
    SetFontStyle(fsItalic, true);
    return TTagResult::Go;
}

TLineLayout::TTagResult TLineLayout::Unitalic(std::string_view, const std::string&) {
    SetFontStyle(fsItalic, false);
    return TTagResult::Go;
}

TLineLayout::TTagResult TLineLayout::Underline(std::string_view, const std::string&) {
    SetFontStyle(fsUnderline, true);
    return TTagResult::Go;
}

TLineLayout::TTagResult TLineLayout::Ununderline(std::string_view, const std::string&) {
    SetFontStyle(fsUnderline, false);
    return TTagResult::Go;
}

TLineLayout::TTagResult TLineLayout::Strike(std::string_view, const std::string&) {
    SetFontStyle(fsStrikeOut, true);
    return TTagResult::Go;
}

TLineLayout::TTagResult TLineLayout::Unstrike(std::string_view, const std::string&) {
    SetFontStyle(fsStrikeOut, false);
    return TTagResult::Go;
}

TLineLayout::TTagResult TLineLayout::LineBreak(std::string_view, const std::string&) {
    if (FConsume) FResult.PlainText += '\r';
    return TTagResult::EndAfter;
}

TLineLayout::TTagResult TLineLayout::Blink(std::string_view, const std::string&) {
    if (!FOptions.Blink) SetTextColor(FBackground);
    return TTagResult::Go;
}

TLineLayout::TTagResult TLineLayout::BaseColor(std::string_view, const std::string&) {
    SetTextColor(FBaseColor);
    return TTagResult::Go;
}

TLineLayout::TTagResult TLineLayout::ErrorOn(std::string_view, const std::string&) {
    if (FPass == TPass::Draw) FStyle->ErrorLine = true;
    return TTagResult::Go;
}

TLineLayout::TTagResult TLineLayout::ErrorOff(std::string_view, const std::string&) {
    FStyle->ErrorLine = false;
    return TTagResult::Go;
}

TLineLayout::TTagResult TLineLayout::ShadowOn(std::string_view, const std::string&) {
    FStyle->Shadow = true;
    return TTagResult::Go;
}

TLineLayout::TTagResult TLineLayout::ShadowOff(std::string_view, const std::string&) {
    FStyle->Shadow = false;
    return TTagResult::Go;
}

TLineLayout::TTagResult TLineLayout::SubOn(std::string_view, const std::string&) {
    FStyle->Sub = true;
    return TTagResult::Go;
}

TLineLayout::TTagResult TLineLayout::SupOn(std::string_view, const std::string&) {
    FStyle->Sup = true;
    return TTagResult::Go;
}

TLineLayout::TTagResult TLineLayout::SubSupOff(std::string_view, const std::string&) {
    FStyle->Sub = FStyle->Sup = false;
    return TTagResult::Go;
}

TLineLayout::TTagResult TLineLayout::HiddenOn(std::string_view, const std::string&) {
    FStyle->Hidden = true;
    return TTagResult::Go;
}

TLineLayout::TTagResult TLineLayout::HiddenOff(std::string_view, const std::string&) {
    FStyle->Hidden = false;
    return TTagResult::Go;
}

// --- fonts and colours -----------------------------------------------------------------------

TLineLayout::TTagResult TLineLayout::Font(std::string_view, const std::string& Upper) {
    TStyle& S = *FStyle;
    S.FontSavedColor = FCanvas.Font().Color();
    S.FontSavedBack = S.TextBack;
    std::string Value;
    if (AttributeValue(Upper, "FACE", Value) && !Value.empty()) FCanvas.Font().SetName(Value);
    if (AttributeValue(Upper, " COLOR", Value) && !FOptions.NoColorChange)
        SetTextColor(ColorValue(Value));
    if (AttributeValue(Upper, "BGCOLOR", Value) && FPass == TPass::Draw && !FOptions.NoColorChange)
        S.TextBack = ColorValue(Value);
    if (AttributeValue(Upper, "SIZE", Value)) {
        static constexpr int kPoints[] = {8, 10, 12, 14, 16};
        const int Size = IStrToInt(Value);
        const int Points = Size >= 1 && Size <= 5 ? kPoints[Size - 1] : Size;
        if (Points >= 1) FCanvas.Font().SetSize(std::min(Points, HtmlHintLimits::kMaxFontPoints));
    }
    return TTagResult::Go;
}

TLineLayout::TTagResult TLineLayout::CloseFont(std::string_view, const std::string&) {
    TStyle& S = *FStyle;
    LOGFONT L = FCanvas.Font().LogFont();
    std::memcpy(L.lfFaceName, FBaseFont.lfFaceName, sizeof L.lfFaceName);
    L.lfHeight = FBaseFont.lfHeight;
    SetFont(FCanvas, L);
    SetTextColor(S.FontSavedColor);
    S.TextBack = S.FontSavedBack;
    return TTagResult::Go;
}

TLineLayout::TTagResult TLineLayout::Highlight(std::string_view, const std::string&) {
    TStyle& S = *FStyle;
    S.HiSavedColor = FCanvas.Font().Color();
    S.HiSavedBack = S.TextBack;
    if (!FOptions.NoColorChange) {
        S.TextBack = clHighlight;
        SetTextColor(clHighlightText);
    }
    return TTagResult::Go;
}

TLineLayout::TTagResult TLineLayout::CloseHighlight(std::string_view, const std::string&) {
    SetTextColor(FStyle->HiSavedColor);
    FStyle->TextBack = FStyle->HiSavedBack;
    return TTagResult::Go;
}

TLineLayout::TTagResult TLineLayout::Rotate(std::string_view, const std::string& Upper) {
    TStyle& S = *FStyle;
    std::string Value;
    AttributeValue(Upper, "A", Value);
    const int Degrees = IStrToInt(Value) % 360;
    if (!S.Rotated) S.Unrotated = FCanvas.Font().LogFont();
    S.Rotated = true;
    LOGFONT L = FCanvas.Font().LogFont();
    L.lfEscapement = L.lfOrientation = Degrees * 10;
    const TColor Color = FCanvas.Font().Color();
    SetFont(FCanvas, L);
    SetTextColor(Color);
    return TTagResult::Go;
}

TLineLayout::TTagResult TLineLayout::Unrotate(std::string_view, const std::string&) {
    TStyle& S = *FStyle;
    if (!S.Rotated) return TTagResult::Go;
    S.Rotated = false;
    const TColor Color = FCanvas.Font().Color();
    SetFont(FCanvas, S.Unrotated);
    SetTextColor(Color);
    return TTagResult::Go;
}

// --- lines, paragraphs and lists -------------------------------------------------------------

TLineLayout::TTagResult TLineLayout::Rule(std::string_view, const std::string&) {
    if (FPass == TPass::Draw) {
        const TLine& M = *FMeasured;
        const int Y = FY + M.SupSpace + M.Height + M.SubSpace - 1;
        TPen& Pen = FCanvas.Pen();
        const TColor Old = Pen.Color();
        Pen.SetColor(clBlack);
        FCanvas.MoveTo(FRect.Left, Y);
        FCanvas.LineTo(FRect.Right, Y);
        Pen.SetColor(Old);
    }
    return TTagResult::EndAfter;
}

TLineLayout::TTagResult TLineLayout::Indent(std::string_view, const std::string& Upper) {
    std::string Value;
    AttributeValue(Upper, "X", Value);
    FX = std::max(FX, int(FRect.Left) + Clamped(IStrToInt(Value)));
    return TTagResult::Go;
}

TLineLayout::TTagResult TLineLayout::ListItem(std::string_view, const std::string&) {
    if (FItems > 0) return TTagResult::EndBefore;
    ++FItems;
    TStyle& S = *FStyle;
    FX += 12 * std::min(S.ListLevel, 64);
    // The bullet in the symbol font, at the size of the text around it.
    const LOGFONT Text = FCanvas.Font().LogFont();
    const TColor Color = FCanvas.Font().Color();
    LOGFONT Symbol = Text;
    std::strcpy(Symbol.lfFaceName, "Symbol");
    Symbol.lfCharSet = SYMBOL_CHARSET;
    Symbol.lfEscapement = Symbol.lfOrientation = 0;
    SetFont(FCanvas, Symbol);
    SetTextColor(Color);
    const std::string Bullet = S.ListLevel % 2 == 1 ? "\xB7" : "o";
    if (!S.Hidden) {
        const TSize Size = Measure(Bullet);
        FLine.Height = std::max(FLine.Height, int(Size.cy));
        if (FPass == TPass::Draw) {
            RECT R = Rect(FX, CellBottom() - Size.cy, FX + Size.cx, CellBottom());
            FCanvas.Brush().SetStyle(bsClear);
            DrawText(FCanvas.Handle(), Bullet, &R, kRunFormat);
        }
        FX += std::max(int(Size.cx) + 4, 12);
    }
    SetFont(FCanvas, Text);
    SetTextColor(Color);
    return TTagResult::Go;
}

TLineLayout::TTagResult TLineLayout::List(std::string_view, const std::string&) {
    ++FStyle->ListLevel;
    return TTagResult::Go;
}

TLineLayout::TTagResult TLineLayout::CloseList(std::string_view, const std::string&) {
    if (FStyle->ListLevel > 0)
        --FStyle->ListLevel;
    else
        SetFontStyle(fsUnderline, false);
    return TTagResult::Go;
}

TLineLayout::TTagResult TLineLayout::Paragraph(std::string_view, const std::string& Upper) {
    TStyle& S = *FStyle;
    std::string Value;
    if (AttributeValue(Upper, "ALIGN", Value)) {
        if (Value == "RIGHT")
            S.Align = alRight;
        else if (Value == "CENTER")
            S.Align = alCenter;
        else if (Value == "LEFT")
            S.Align = alLeft;
        FLine.Align = S.Align;
    }
    if (AttributeValue(Upper, "INDENT", Value)) {
        S.Indent = Clamped(IStrToInt(Value));
        FLine.Indent = S.Indent;
    }
    if (AttributeValue(Upper, "BGCOLOR", Value) && !FOptions.NoColorChange) {
        S.ParaSavedBack = S.TextBack;
        S.ParaFill = ColorValue(Value);
        S.TextBack = S.ParaFill;
        if (FPass == TPass::Draw) FillLine(S.ParaFill);
    }
    return TTagResult::Go;
}

TLineLayout::TTagResult TLineLayout::CloseParagraph(std::string_view, const std::string&) {
    TStyle& S = *FStyle;
    if (S.ParaFill != clNone) S.TextBack = S.ParaSavedBack;
    S.ParaFill = clNone;
    // Alignment and indentation belong to the paragraph: the next line starts at the left.
    S.Align = alLeft;
    S.Indent = 0;
    return TTagResult::EndAfter;
}

// --- pictures --------------------------------------------------------------------------------

THTMLPicture* TLineLayout::FindPicture(const std::string& Source) {
    if (Source.find(':') == std::string::npos)
        return FOptions.Pictures ? FOptions.Pictures->FindPicture(Source) : nullptr;
    if (Source.find("://") == std::string::npos || !FOptions.Cache) return nullptr;
    if (THTMLPicture* Known = FOptions.Cache->FindPicture(Source)) return Known;
    THTMLPicture* Picture = FOptions.Cache->AddPicture();
    if (!Picture) return nullptr;
    Picture->SetAsynch(false);
    try {
        Picture->SetID(Source);
    } catch (const std::exception&) {
        // A source that cannot be read stays an empty picture: the hint shows without it.
    }
    return Picture;
}

TLineLayout::TTagResult TLineLayout::Body(std::string_view, const std::string& Upper) {
    if (FPass != TPass::Draw) return TTagResult::Go;
    std::string Value;
    if (AttributeValue(Upper, "BACKGROUND", Value))
        if (THTMLPicture* Picture = FindPicture(Value); Picture && !Picture->Empty())
            TileBackground(*Picture);
    if (AttributeValue(Upper, "BGCOLOR", Value)) {
        const size_t Hash = Value.find('#');
        TColor Color = clNone;
        if (Value.find("CL") != std::string::npos)
            Color = Text2Color(Value);
        else if (Hash != std::string::npos)
            Color = HexToColor(std::string_view(Value).substr(Hash));
        if (Color != clNone) {
            FCanvas.Brush().SetStyle(bsSolid);
            FCanvas.Brush().SetColor(Color);
            FCanvas.FillRect(FRect);
            FCanvas.Brush().SetStyle(bsClear);
        }
    }
    return TTagResult::Go;
}

void TLineLayout::TileBackground(THTMLPicture& Picture) {
    const int W = Picture.Width(), H = Picture.Height();
    if (W <= 0 || H <= 0) return;
    const HDC DC = FCanvas.Handle();
    const int Saved = SaveDC(DC);
    IntersectClipRect(DC, FRect.Left, FRect.Top, FRect.Right, FRect.Bottom);
    int64_t Tiles = 0;
    for (int Y = FRect.Top; Y < FRect.Bottom; Y += H)
        for (int X = FRect.Left; X < FRect.Right; X += W) {
            if (++Tiles > HtmlHintLimits::kMaxBackgroundTiles) break;
            DrawPictureImage(FCanvas, Rect(X, Y, X + W, Y + H), Picture.Image());
        }
    RestoreDC(DC, Saved);
}

TLineLayout::TTagResult TLineLayout::Image(std::string_view Tag, const std::string& Upper) {
    return PlacePicture(Tag, Upper) ? TTagResult::Go : TTagResult::EndBefore;
}

bool TLineLayout::PlacePicture(std::string_view Tag, const std::string& Upper) {
    std::string Source, Value;
    AttributeValue(Upper, "SRC", Source);
    // The alternative text is for people: it keeps the case it was written in.
    const std::string Alt = AsWritten(Tag, Upper, "ALT");
    const int Width = AttributeValue(Upper, "WIDTH", Value) ? Clamped(IStrToInt(Value)) : 0;
    const int Height = AttributeValue(Upper, "HEIGHT", Value) ? Clamped(IStrToInt(Value)) : 0;

    enum { None, Listed, Shell, Picture } Kind = None;
    int Index = 0;
    THTMLPicture* Pic = nullptr;
    TSize Size{0, 0};
    const bool Small = Source.rfind("SSYS:", 0) == 0;
    if (Source.rfind("IDX:", 0) == 0) {
        Index = IStrToInt(std::string_view(Source).substr(4));
        if (FOptions.Images && Index >= 0 && Index < FOptions.Images->Count()) {
            Kind = Listed;
            Size = TSize{Scaled(FOptions.Images->Width()), Scaled(FOptions.Images->Height())};
        }
    } else if (Small || Source.rfind("LSYS:", 0) == 0) {
        Kind = Shell;
        Size = TSize{Scaled(Small ? 16 : 32), Scaled(Small ? 16 : 32)};
    } else if ((Pic = FindPicture(Source)) && !Pic->Empty()) {
        Kind = Picture;
        const bool Given = Width >= 1 && Height >= 1;
        Size = TSize{Scaled(Given ? Width : Pic->Width()), Scaled(Given ? Height : Pic->Height())};
    }
    if (Kind == None) return true;
    if (FPass == TPass::Measure && FHasContent && FX + Size.cx > FRect.Right) return false;

    if (FMeasured) {
        const int Text = TextHeight();
        if (Upper.find("\"TOP") != std::string::npos)
            FRaise = FMeasured->Height - Text;
        else if (Upper.find("\"MIDDLE") != std::string::npos)
            FRaise = (FMeasured->Height - Text) / 2;
    }
    FLine.Height = std::max(FLine.Height, int(Size.cy));
    const int Top = FPass == TPass::Draw ? CellTop() : FY;
    const TRect Box = Rect(FX, Top, FX + Size.cx, Top + Size.cy);
    if (FHitTest && Inside(FOptions.Mouse, Box)) {
        FLine.PictureHit = true;
        FLine.AltText = Alt;
        FLine.HitAnchor = FStyle->InLink ? FStyle->LinkAddress : std::string();
    }
    if (FPass == TPass::Draw) {
        if (Kind == Listed) {
            if (Size.cx == FOptions.Images->Width() && Size.cy == FOptions.Images->Height()) {
                FOptions.Images->Draw(FCanvas, FX, Top, Index);
            } else {
                TBitmap Image;
                FOptions.Images->GetBitmap(Index, Image);
                FCanvas.StretchDraw(Box, Image);
            }
        } else if (Kind == Shell) {
            DrawShellIcon(FCanvas, Box, AsWritten(Tag, Upper, "SRC").substr(5), !Small);
        } else {
            if (!(Width >= 1 && Height >= 1) && Pic->FrameCount() > 1) {
                // An animated picture's frame covers only part of it: what the frame leaves
                // out is the background, not the frame before.
                FCanvas.Brush().SetStyle(bsSolid);
                FCanvas.Brush().SetColor(FBackground);
                FCanvas.FillRect(Rect(FX + Pic->FrameXPos(), Top + Pic->FrameYPos(),
                                      FX + Pic->FrameXPos() + Pic->FrameXSize(),
                                      Top + Pic->FrameYPos() + Pic->FrameYSize()));
                FCanvas.Brush().SetStyle(bsClear);
            }
            DrawPictureImage(FCanvas, Box, Pic->Image());
        }
    }
    FX += Size.cx;
    FHasContent = true;
    FEndsInBlank = true;
    return true;
}

}  // namespace HtmlRender
