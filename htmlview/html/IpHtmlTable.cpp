// Table layout: the table lays its cells out as blocks in a grid of rows, at its origin, and is
// then moved where its block put it. A layout for the width already laid out is not repeated.
#include <algorithm>
#include <climits>

#include "htmlview/html/IpHtml.h"
#include "htmlview/html/IpHtmlBevel.h"
#include "htmlview/html/IpHtmlTableColumns.h"
#include "htmlview/html/Limits.h"

namespace {

int32_t Clamp(int64_t Value) {
    return int32_t(
        std::clamp<int64_t>(Value, -HtmlLimits::kMaxLayoutExtent, HtmlLimits::kMaxLayoutExtent));
}

int32_t Attribute(int32_t Value) {
    return std::clamp(Value, 0, HtmlLimits::kMaxPixels);
}

TIpHtmlVAlign3 VAlign3Of(TIpHtmlVAlign Align) {
    switch (Align) {
        case TIpHtmlVAlign::hvaTop:
            return TIpHtmlVAlign3::hva3Top;
        case TIpHtmlVAlign::hvaBottom:
            return TIpHtmlVAlign3::hva3Bottom;
        default:
            return TIpHtmlVAlign3::hva3Middle;
    }
}

}  // namespace

// Places the rows one below the other. A cell spanning rows counts towards the height of the
// row it ends in: the grid holds, row by row ahead, the cells that end there.
class TIpHtmlTableRows {
  public:
    TIpHtmlTableRows(TIpHtmlNodeTABLE& Table, int64_t Y) : FTable(Table), FColumns(Table), Y(Y) {}
    void Place(TIpHtmlNodeTR& Row);

  private:
    TIpHtmlNodeTABLE& FTable;
    TIpHtmlTableWidths FColumns;
    TRectRectArr FGrid;

  public:
    int64_t Y;
};

void TIpHtmlTableRows::Place(TIpHtmlNodeTR& Row) {
    TIpHtmlNodeTABLE& T = FTable;
    const int64_t Padding = Attribute(T.CellPadding), HS = T.FHS;
    const TIpHtmlAlign RowAlign =
        Row.Align == TIpHtmlAlign::haDefault ? TIpHtmlAlign::haLeft : Row.Align;
    const TIpHtmlVAlign3 RowVAlign = VAlign3Of(Row.VAlign);
    std::vector<TIpHtmlNodeTableHeaderOrCell*> Cells;
    FColumns.Row(Row, [&](TIpHtmlNodeTableHeaderOrCell& Cell, int32_t Col, int32_t Span) {
        const int64_t Left = int64_t(T.FTableRect.Left) + T.FColStart[Col];
        const int64_t Top = Y + HS + T.FHR;
        int64_t Right = Left + T.FColWidth[Col] + 2 * Padding + 2 * HS;
        for (int32_t I = 1; I < Span; ++I)
            Right += T.FColWidth[Col + I] + 2 * Padding + 2 * HS + T.FVR;
        const TIpHtmlRect Content{Clamp(Left + HS + Padding), Clamp(Top + Padding),
                                  Clamp(Right - HS - Padding), INT32_MAX};
        TIpHtmlProps& Props = *T.FRowProps;
        Props.Assign(*T.FProps);
        Props.SetAlignment(Cell.Align == TIpHtmlAlign::haDefault ? RowAlign : Cell.Align);
        Cell.LayoutVAlign = Cell.VAlign == TIpHtmlVAlign3::hva3Default ? RowVAlign : Cell.VAlign;
        Props.SetVAlignment(Cell.LayoutVAlign);
        Cell.LayoutBlock(Props, Content);
        int64_t Bottom = Cell.PageRect().Bottom;
        const int32_t Height = Attribute(Cell.Height.Value());
        if (Height > 0 && Bottom - Content.Top < Height) Bottom = int64_t(Content.Top) + Height;
        Cell.PadRect = {Clamp(Left + HS), Clamp(Top), Clamp(Right - HS), Clamp(Bottom + Padding)};
        FGrid.Row(size_t(std::max(Cell.Rowspan, 1) - 1)).Set(Col, &Cell.PadRect);
        Cells.push_back(&Cell);
        T.FPlaced.push_back(&Cell);
    });
    int64_t RowBottom = Y;
    for (TIpHtmlRect* R : FGrid.Row(0).Rects())
        if (R) RowBottom = std::max<int64_t>(RowBottom, R->Bottom);
    for (TIpHtmlRect* R : FGrid.Row(0).Rects())
        if (R) R->Bottom = Clamp(RowBottom);
    // Cells lower than the row move down within it; the room is what lies between the content
    // top and the row's bottom padding.
    for (TIpHtmlNodeTableHeaderOrCell* Cell : Cells) {
        const TIpHtmlRect& Laid = Cell->PageRect();
        const int64_t Room = RowBottom - Padding - Laid.Top;
        const int64_t Height = int64_t(Laid.Bottom) - Laid.Top;
        int64_t Down = 0;
        if (Cell->LayoutVAlign == TIpHtmlVAlign3::hva3Middle) Down = (Room - Height) / 2;
        if (Cell->LayoutVAlign == TIpHtmlVAlign3::hva3Bottom) Down = Room - Height;
        if (Down > 0) Cell->MoveBlock(0, Clamp(Down));
    }
    Y = std::max(Y, RowBottom);
    FGrid.DeleteRow(0);
}

TIpHtmlNodeTABLE::TIpHtmlNodeTABLE(TIpHtmlNode* Parent)
    : TIpHtmlNodeAlignInline(Parent),
      Width(&Owner()->PrintState),
      FRowProps(std::make_unique<TIpHtmlProps>(*Owner())) {}

TIpHtmlNodeTABLE::~TIpHtmlNodeTABLE() = default;

void TIpHtmlNodeTABLE::AssignProps(TIpHtmlProps& Props) {
    FProps->Assign(Props);
    FProps->SetNoBreak(false);
    TIpHtmlNodeMulti::AssignProps(Props);
}

void TIpHtmlNodeTABLE::SetBorder(int32_t Value) {
    FBorder = Value;
    Frame = Value != 0 ? TIpHtmlFrameProp::hfBorder : TIpHtmlFrameProp::hfVoid;
    Rules = Value != 0 ? TIpHtmlRules::hrAll : TIpHtmlRules::hrNone;
    FColCount = -1;
    ResetSize();
}

int32_t TIpHtmlNodeTABLE::Nesting() {
    if (FNesting >= 0) return FNesting;
    FNesting = 0;
    for (TIpHtmlNode* Node = ParentNode(); Node; Node = Node->ParentNode())
        if (dynamic_cast<TIpHtmlNodeTABLE*>(Node)) ++FNesting;
    return FNesting;
}

void TIpHtmlNodeTABLE::ResetSize() {
    ClearSizeCache();
    TIpHtmlNode::ResetSize();
}

void TIpHtmlNodeTABLE::ClearSizeCache() {
    FLaidOut = false;
    CalcMinWidth = CalcMaxWidth = -1;
}

int32_t TIpHtmlNodeTABLE::ParentWidthLimit() {
    if (Width.LengthType() == TIpHtmlLengthType::hlAbsolute) return Width.LengthValue();
    return TIpHtmlNode::ParentWidthLimit();
}

TIpHtmlSize TIpHtmlNodeTABLE::InlineSize(int32_t Available) {
    CalcMinMax();
    const int32_t Wide = TableWidth(Available);
    CalcTableWidth = Wide;
    if (!FLaidOut || Wide != FLayoutTableWidth) {
        LayoutTable(Wide);
        const bool TopCaption = FCaption && FCaption->Align != TIpHtmlVAlignment2::hva2Bottom;
        int64_t Top = 0;
        if (TopCaption) {
            FCaption->LayoutBlock(*FProps, {0, 0, Wide, INT32_MAX});
            Top = FCaption->PageRect().Bottom;
        }
        FPlaced.clear();
        TIpHtmlTableRows Rows(*this, Top + FBT);
        FTableRect = {0, Clamp(Top), Wide, INT32_MAX};
        ForEachRow([&](TIpHtmlNodeTR& Row) { Rows.Place(Row); }, true);
        const int64_t Bottom = Rows.Y + FHS + FHR + FBB;
        FTableRect.Bottom = Clamp(Bottom);
        if (Wide == 0 && Bottom > Top) FTableRect.Right = 1;
        FContentRect = {0, 0, FTableRect.Right, FTableRect.Bottom};
        if (FCaption && !TopCaption) {
            FCaption->LayoutBlock(*FProps, {0, FTableRect.Bottom, Wide, INT32_MAX});
            FContentRect.Bottom = FCaption->PageRect().Bottom;
        }
        FPlacedBottom.clear();
        int32_t Reached = INT32_MIN;
        for (const TIpHtmlNodeTableHeaderOrCell* Cell : FPlaced)
            FPlacedBottom.push_back(Reached = std::max(Reached, Cell->PadRect.Bottom));
        FLaidOut = true;
        FLayoutTableWidth = Wide;
    }
    return {FContentRect.Right - FContentRect.Left, FContentRect.Bottom - FContentRect.Top};
}

void TIpHtmlNodeTABLE::SetInlineRect(const TIpHtmlRect& Rect) {
    const int32_t DX = Rect.Left - FContentRect.Left, DY = Rect.Top - FContentRect.Top;
    if (DX == 0 && DY == 0) return;
    FTableRect = OffsetRect(FTableRect, DX, DY);
    FContentRect = OffsetRect(FContentRect, DX, DY);
    for (TIpHtmlNodeTableHeaderOrCell* Cell : FPlaced) {
        Cell->PadRect = OffsetRect(Cell->PadRect, DX, DY);
        Cell->MoveBlock(DX, DY);
    }
    for (int32_t& Bottom : FPlacedBottom) Bottom += DY;
    if (FCaption) FCaption->MoveBlock(DX, DY);
}

// Only the cells from the first that reaches into the page rectangle down to the first below it
// are painted.
void TIpHtmlNodeTABLE::PaintInline(TIpHtmlNodeBlock&) {
    TIpHtml& Doc = *Owner();
    TIpHtmlRect Screen;
    if (BgColor != kHtmlNoColor && Doc.PageRectToScreen(FTableRect, Screen))
        Doc.Target().FillRect(Screen, BgColor);
    const TIpHtmlRect& Page = Doc.PaintPageRect();
    const size_t First =
        size_t(std::partition_point(FPlacedBottom.begin(), FPlacedBottom.end(),
                                    [&](int32_t Bottom) { return Bottom <= Page.Top; }) -
               FPlacedBottom.begin());
    const bool Ruled = Rules == TIpHtmlRules::hrCols || Rules == TIpHtmlRules::hrAll;
    for (size_t I = First; I < FPlaced.size(); ++I) {
        TIpHtmlNodeTableHeaderOrCell* Cell = FPlaced[I];
        if (Cell->PadRect.Top >= Page.Bottom) break;
        Cell->PaintBlock(Cell->Props());
        const TIpHtmlRect& Pad = Cell->PadRect;
        if (Ruled && !IsEmptyRect(Pad) &&
            Doc.PageRectToScreen({Pad.Left - 1, Pad.Top - 1, Pad.Right + 1, Pad.Bottom + 1},
                                 Screen))
            Doc.Target().FrameRect(Screen, 0xC0C0C0);
    }
    PaintFrame();
    if (FCaption) FCaption->PaintBlock(*FProps);
}

void TIpHtmlNodeTABLE::PaintFrame() {
    TIpHtml& Doc = *Owner();
    TIpHtmlRect Screen;
    const int32_t Width = Attribute(FBorder);
    if (Width == 0 || !Doc.PageRectToScreen(FTableRect, Screen)) return;
    using enum TIpHtmlFrameProp;
    const bool Box = Frame == hfBox || Frame == hfBorder;
    PaintBevel(
        Doc.Target(), Screen, Width,
        {Box || Frame == hfAbove || Frame == hfHSides, Box || Frame == hfBelow || Frame == hfHSides,
         Box || Frame == hfLhs || Frame == hfvSides, Box || Frame == hfRhs || Frame == hfvSides});
}

// --- cells ---

bool TIpHtmlNodeTableHeaderOrCell::IsHeader() const {
    return dynamic_cast<const TIpHtmlNodeTH*>(this) != nullptr;
}

void TIpHtmlNodeTableHeaderOrCell::BlockMinMaxWidth(TIpHtmlProps& Props, int32_t& Min,
                                                    int32_t& Max) {
    TIpHtmlProps& Own = *FCellProps;
    Own.Assign(Props);
    Own.SetAlignment(Align);
    if (IsHeader()) Own.SetFontStyle(Own.FontStyle() | TIpHtmlFontStyle::Bold);
    Own.SetVAlignment(VAlign);
    if (BgColor != kHtmlNoColor) Own.SetBgColor(BgColor);
    if (Nowrap) Own.SetNoBreak(true);
    TIpHtmlNodeBlock::BlockMinMaxWidth(Own, Min, Max);
    if (Nowrap) Min = Max;
}

void TIpHtmlNodeTableHeaderOrCell::LayoutBlock(TIpHtmlProps& Props, const TIpHtmlRect& Rect) {
    TIpHtmlProps& Own = *FCellProps;
    Own.Assign(Props);
    if (Align != TIpHtmlAlign::haDefault)
        Own.SetAlignment(Align);
    else if (IsHeader())
        Own.SetAlignment(TIpHtmlAlign::haCenter);
    if (IsHeader()) Own.SetFontStyle(Own.FontStyle() | TIpHtmlFontStyle::Bold);
    if (Nowrap) Own.SetNoBreak(true);
    if (VAlign != TIpHtmlVAlign3::hva3Default) Own.SetVAlignment(VAlign);
    if (BgColor != kHtmlNoColor) Own.SetBgColor(BgColor);
    TIpHtmlNodeBlock::LayoutBlock(Own, Rect);
}

// A cell paints with the properties it was laid out with: handing other ones down the tree on
// every paint would cost the whole content each time.
void TIpHtmlNodeTableHeaderOrCell::PaintBlock(TIpHtmlProps&) {
    TIpHtml& Doc = *Owner();
    TIpHtmlRect Screen;
    if (BgColor != kHtmlNoColor && Doc.PageRectToScreen(PadRect, Screen))
        Doc.Target().FillRect(Screen, BgColor);
    TIpHtmlNodeBlock::PaintBlock(*FProps);
}
