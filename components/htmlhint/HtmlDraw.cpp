#include "components/htmlhint/HtmlDraw.h"

#include <algorithm>

#include "components/htmlhint/HtmlLine.h"
#include "components/htmlhint/HtmlText.h"
#include "components/htmlhint/Limits.h"

using namespace HtmlRender;

namespace {

// The text as the lines are laid out from it: entities replaced, the first "<#...>" unwrapped,
// line feeds dropped and carriage returns made line breaks.
std::string Prepare(std::string_view Text) {
    std::string S = Text.find('&') != std::string_view::npos ? HtmlText::ReplaceEntities(Text)
                                                             : std::string(Text);
    if (const size_t Open = S.find("<#"); Open != std::string::npos) {
        const size_t Close = S.find('>', Open + 2);
        if (Close != std::string::npos) S.erase(Close, 1);
        S.erase(Open, 2);
    }
    std::string Out;
    Out.reserve(S.size());
    for (char C : S) {
        if (C == '\n') continue;
        if (C == '\r')
            Out += "<BR>";
        else
            Out += C;
    }
    return Out;
}

// The canvas's font, brush and pen as the caller set them.
class TSavedCanvas {
  public:
    explicit TSavedCanvas(TCanvas& Canvas)
        : FCanvas(Canvas),
          FFont(Canvas.Font().LogFont()),
          FFontColor(Canvas.Font().Color()),
          FBrushColor(Canvas.Brush().Color()),
          FBrushStyle(Canvas.Brush().Style()),
          FPenColor(Canvas.Pen().Color()),
          FPenWidth(Canvas.Pen().Width()) {}
    ~TSavedCanvas() {
        FCanvas.Font().SetLogFont(FFont);
        FCanvas.Font().SetColor(FFontColor);
        FCanvas.Brush().SetColor(FBrushColor);
        FCanvas.Brush().SetStyle(FBrushStyle);
        FCanvas.Pen().SetColor(FPenColor);
        FCanvas.Pen().SetWidth(FPenWidth);
    }
    TSavedCanvas(const TSavedCanvas&) = delete;
    TSavedCanvas& operator=(const TSavedCanvas&) = delete;

  private:
    TCanvas& FCanvas;
    LOGFONT FFont;
    TColor FFontColor, FBrushColor;
    TBrushStyle FBrushStyle;
    TColor FPenColor;
    int FPenWidth;
};

bool Inside(TPoint P, const TRect& R) {
    return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}

// Where a measured line starts: one pixel in from the left edge, moved by its alignment, then
// indented.
int LineStart(const TRect& R, const TLine& Line) {
    int X = R.Left + 1;
    if (Line.Align == alRight && R.Right - Line.Width > X)
        X = R.Right - Line.Width;
    else if (Line.Align == alCenter && Line.Width < R.Width())
        X += (R.Width() - Line.Width) / 2;
    return X + Line.Indent;
}

}  // namespace

bool HTMLDrawEx(TCanvas& Canvas, std::string_view Text, const TRect& R,
                const THTMLDrawOptions& Options, THTMLDrawResult& Result) {
    Result = THTMLDrawResult{};
    const std::string Prepared = Prepare(Text.substr(0, HtmlHintLimits::kMaxMarkup));
    const TSavedCanvas Saved(Canvas);
    TStyle Style;
    Style.Font = Canvas.Font().LogFont();
    Style.FontColor = Canvas.Font().Color();
    TLineLayout Layout(Canvas, Prepared, R, Options, Result);
    const bool HitTest = Inside(Options.Mouse, R);

    int Y = R.Top;
    size_t Pos = 0;
    while (Pos < Prepared.size()) {
        if (!Options.CheckOnly && Y > R.Bottom) break;
        const TStyle AtStart = Style;
        size_t End = Pos;
        TLine Line = Layout.Layout(End, Style, R.Left + 1, Y, TPass::Measure, nullptr, HitTest,
                                   Options.CheckOnly);
        const int X = LineStart(R, Line);
        if (HitTest && X != R.Left + 1) {
            // Hit-tested again where the line really stands.
            TStyle Again = AtStart;
            size_t At = Pos;
            const TLine Moved =
                Layout.Layout(At, Again, X, Y, TPass::Measure, nullptr, true, false);
            Line.LinkHit = Moved.LinkHit;
            Line.HitLink = Moved.HitLink;
            Line.HitAnchor = Moved.HitAnchor;
            Line.HitRect = Moved.HitRect;
            Line.PictureHit = Moved.PictureHit;
            Line.AltText = Moved.AltText;
        }
        // A link counts where its text is, not in the space a taller neighbour adds above it.
        const int Bottom = Y + Line.SupSpace + Line.Height;
        const bool OnText =
            Options.Mouse.Y >= Bottom - Layout.TextHeight() && Options.Mouse.Y < Bottom;
        int Hover = 0;
        if ((Line.LinkHit && OnText) || Line.PictureHit) {
            Result.OverLink = true;
            Result.Anchor = Line.HitAnchor;
            if (Line.LinkHit) {
                Hover = Line.HitLink;
                Result.HoverLink = Line.HitLink;
                Result.LinkRect = Line.HitRect;
            }
            if (Line.PictureHit) {
                Result.OverPicture = true;
                Result.AltText = Line.AltText;
            }
        }
        if (!Options.CheckOnly) {
            Layout.SetHoverLink(Hover);
            Style = AtStart;
            End = Pos;
            Layout.Layout(End, Style, X, Y, TPass::Draw, &Line, false, true);
        }
        Pos = std::max(End, Pos + 1);
        const int Height = Line.SupSpace + Line.Height + Line.SubSpace;
        Y += Height;
        Result.Height += Height;
        Result.Width = std::max(Result.Width, Line.Width + Line.Indent);
    }
    if (Result.Height == 0) Result.Height = Layout.TextHeight();
    Result.LinkCount = Style.LinkCount;
    return Result.OverLink;
}
