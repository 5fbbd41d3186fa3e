#pragma once
// Inside of the mini-HTML renderer: the layout of one line, tag by tag (see HtmlDraw.h). A line
// is laid out twice when it is drawn: once measuring, to learn its size and alignment, then
// drawing from the place that alignment gives.
#include <string>
#include <string_view>

#include "components/htmlhint/HtmlDraw.h"

class THTMLPicture;

namespace HtmlRender {

enum TAlign { alLeft = 0, alRight = 1, alCenter = 2 };

// What goes on from one line to the next: the font and colours, the flags the tags set, the
// paragraph and the link being read.
struct TStyle {
    LOGFONT Font{};
    TColor FontColor = clBlack;
    TColor TextBack = clNone;
    bool Hidden = false, Shadow = false, Sub = false, Sup = false, ErrorLine = false;
    int ListLevel = 0;
    TAlign Align = alLeft;
    int Indent = 0;
    TColor ParaFill = clNone;
    int LinkCount = 0;
    bool InLink = false;
    std::string LinkAddress;
    int LinkStart = 0;
    // Colours put back by the closing tags.
    TColor LinkSavedColor = clBlack, LinkSavedBack = clNone;
    TColor FontSavedColor = clBlack, FontSavedBack = clNone;
    TColor HiSavedColor = clBlack, HiSavedBack = clNone;
    TColor ParaSavedBack = clNone;
    bool Rotated = false;
    LOGFONT Unrotated{};
};

// What one pass learned of its line.
struct TLine {
    int Width = 0;
    int Height = 0;
    int SubSpace = 0;
    int SupSpace = 0;
    TAlign Align = alLeft;
    int Indent = 0;
    // A link's run or a picture lies under the mouse.
    bool LinkHit = false;
    int HitLink = 0;
    std::string HitAnchor;
    TRect HitRect;
    bool PictureHit = false;
    std::string AltText;
    // Where the line ended in the text: a drawing pass stops there.
    size_t End = 0;
};

enum class TPass { Measure, Draw };

class TLineLayout {
  public:
    TLineLayout(TCanvas& Canvas, std::string_view Text, const TRect& R,
                const THTMLDrawOptions& Options, THTMLDrawResult& Result);

    // Lays out the line that starts at Pos and moves Pos past it. A measuring pass at X learns
    // the line (and hit-tests it when HitTest is set); a drawing pass paints it with the height
    // and spaces Measured found. Plain text is collected when Consume is set.
    TLine Layout(size_t& Pos, TStyle& Style, int X, int Y, TPass Pass, const TLine* Measured,
                 bool HitTest, bool Consume);
    // The link under the mouse, for the hover colours of the drawing pass.
    void SetHoverLink(int Link) { FHoverLink = Link; }
    // The height of text in the canvas's current font ("gh").
    int TextHeight();

  private:
    enum class TTagResult { Go, EndAfter, EndBefore };
    using THandler = TTagResult (TLineLayout::*)(std::string_view Tag, const std::string& Upper);
    struct TTagRule {
        std::string_view Prefix;
        THandler Open;
        THandler Close;
    };
    static const TTagRule kTags[];

    TTagResult HandleTag(std::string_view Tag);
    void PlaceRun(const std::string& Run, TSize Size);
    TSize Measure(const std::string& Run);
    void Paint(const std::string& Run, TSize Size);
    void PaintText(const std::string& Run, const TRect& Cell);
    void ZigZag(int Left, int Right, int Bottom);
    void SetFontStyle(TFontStyle Style, bool On);
    void SetTextColor(TColor Color);
    // False when the picture does not fit on a line that has content already.
    bool PlacePicture(std::string_view Tag, const std::string& Upper);
    THTMLPicture* FindPicture(const std::string& Source);
    int Scaled(int Pixels);
    void TileBackground(THTMLPicture& Picture);
    void FillLine(TColor Color);
    int CellTop() const;
    int CellBottom() const;

    TTagResult OpenLink(std::string_view, const std::string&);
    TTagResult CloseLink(std::string_view, const std::string&);
    TTagResult Bold(std::string_view, const std::string&);
    TTagResult Unbold(std::string_view, const std::string&);
    TTagResult LineBreak(std::string_view, const std::string&);
    TTagResult Blink(std::string_view, const std::string&);
    TTagResult BaseColor(std::string_view, const std::string&);
    TTagResult Body(std::string_view, const std::string&);
    TTagResult ErrorOn(std::string_view, const std::string&);
    TTagResult ErrorOff(std::string_view, const std::string&);
    TTagResult Font(std::string_view, const std::string&);
    TTagResult CloseFont(std::string_view, const std::string&);
    TTagResult Highlight(std::string_view, const std::string&);
    TTagResult CloseHighlight(std::string_view, const std::string&);
    TTagResult Rule(std::string_view, const std::string&);
    TTagResult Italic(std::string_view, const std::string&);
    TTagResult Unitalic(std::string_view, const std::string&);
    TTagResult Indent(std::string_view, const std::string&);
    TTagResult Image(std::string_view, const std::string&);
    TTagResult ListItem(std::string_view, const std::string&);
    TTagResult Paragraph(std::string_view, const std::string&);
    TTagResult CloseParagraph(std::string_view, const std::string&);
    TTagResult Rotate(std::string_view, const std::string&);
    TTagResult Unrotate(std::string_view, const std::string&);
    TTagResult ShadowOn(std::string_view, const std::string&);
    TTagResult ShadowOff(std::string_view, const std::string&);
    TTagResult SubOn(std::string_view, const std::string&);
    TTagResult SupOn(std::string_view, const std::string&);
    TTagResult SubSupOff(std::string_view, const std::string&);
    TTagResult Strike(std::string_view, const std::string&);
    TTagResult Unstrike(std::string_view, const std::string&);
    TTagResult List(std::string_view, const std::string&);
    TTagResult CloseList(std::string_view, const std::string&);
    TTagResult Underline(std::string_view, const std::string&);
    TTagResult Ununderline(std::string_view, const std::string&);
    TTagResult HiddenOn(std::string_view, const std::string&);
    TTagResult HiddenOff(std::string_view, const std::string&);

    TCanvas& FCanvas;
    std::string_view FText;
    TRect FRect;
    const THTMLDrawOptions& FOptions;
    THTMLDrawResult& FResult;
    TColor FBaseColor;
    TColor FBackground;
    LOGFONT FBaseFont;
    int FHoverLink = 0;

    // The pass under way.
    TStyle* FStyle = nullptr;
    TPass FPass = TPass::Measure;
    const TLine* FMeasured = nullptr;
    TLine FLine;
    bool FHitTest = false;
    bool FConsume = false;
    int FX = 0;
    int FY = 0;
    int FStartX = 0;
    bool FHasContent = false;
    bool FEndsInBlank = false;
    int FItems = 0;
    // ALIGN="TOP" / "MIDDLE" of a picture: the following text is raised by this much.
    int FRaise = 0;
};

}  // namespace HtmlRender
