// The document driver: laying the page out for a width, painting a part of it, the selection,
// and what lies under the mouse.
#include <algorithm>

#include "htmlview/anim/IpAnim.h"
#include "htmlview/html/IpHtml.h"
#include "htmlview/html/IpHtmlAnchorIndex.h"
#include "netlib/base/IpBase.h"
#include "platform/forms/Component.h"

namespace {

template <class TNode>
void ForEachBody(TIpHtmlNodeHtml& Root, TNode&& Proc) {
    for (int I = 0; I < Root.ChildCount(); ++I)
        if (auto* Body = dynamic_cast<TIpHtmlNodeBODY*>(Root.ChildNode(I))) Proc(*Body);
}

// Clears a flag when a layout ends, whichever way it ends.
class TLayoutGuard {
  public:
    TLayoutGuard(bool& Flag, TIpHtmlCanvasFonts& Fonts) : FFlag(Flag), FFonts(Fonts) {
        FFlag = true;
    }
    ~TLayoutGuard() {
        FFlag = false;
        FFonts.SetCanvas(nullptr);
    }
    TLayoutGuard(const TLayoutGuard&) = delete;
    TLayoutGuard& operator=(const TLayoutGuard&) = delete;

  private:
    bool& FFlag;
    TIpHtmlCanvasFonts& FFonts;
};

}  // namespace

// --- the root hands everything to its BODY ---

void TIpHtmlNodeHtml::HtmlMinMaxWidth(TIpHtmlProps& Props, int32_t& Min, int32_t& Max) {
    Min = Max = 0;
    ForEachBody(*this, [&](TIpHtmlNodeBODY& Body) {
        int32_t BodyMin = 0, BodyMax = 0;
        Body.BlockMinMaxWidth(Props, BodyMin, BodyMax);
        Min = std::max(Min, BodyMin);
        Max = std::max(Max, BodyMax);
    });
}

int32_t TIpHtmlNodeHtml::HtmlHeight(TIpHtmlProps& Props, int32_t Width) {
    int32_t Height = 0;
    ForEachBody(*this, [&](TIpHtmlNodeBODY& Body) {
        Height = std::max(Height, Body.BlockHeight(Props, Width));
    });
    return Height;
}

void TIpHtmlNodeHtml::HtmlLayout(TIpHtmlProps& Props, const TIpHtmlRect& Rect) {
    ForEachBody(*this, [&](TIpHtmlNodeBODY& Body) { Body.LayoutBlock(Props, Rect); });
}

void TIpHtmlNodeHtml::HtmlPaint(TIpHtmlProps& Props) {
    ForEachBody(*this, [&](TIpHtmlNodeBODY& Body) { Body.PaintBlock(Props); });
}

TIpHtmlRect TIpHtmlNodeHtml::HtmlPageRect() const {
    TIpHtmlRect R;
    for (int I = 0; I < ChildCount(); ++I)
        if (auto* Body = dynamic_cast<TIpHtmlNodeBODY*>(ChildNode(I)))
            R = IsEmptyRect(R) ? Body->PageRect()
                               : TIpHtmlRect{std::min(R.Left, Body->PageRect().Left),
                                             std::min(R.Top, Body->PageRect().Top),
                                             std::max(R.Right, Body->PageRect().Right),
                                             std::max(R.Bottom, Body->PageRect().Bottom)};
    return R;
}

// --- shared with the nodes ---

TIpHtmlCanvas& TIpHtml::Target() {
    if (!FFonts.Canvas()) throw EIpHtmlException("No canvas to lay out or paint on");
    return *FFonts.Canvas();
}

int32_t TIpHtml::StandardIndent() const {
    return PrintState.Printing ? std::max(PrintState.Scale(16), 1) : 16;
}

bool TIpHtml::PageRectToScreen(const TIpHtmlRect& R, TIpHtmlRect& Screen) const {
    if (!RectsIntersect(R, FPageRect)) return false;
    Screen = OffsetRect(R, FClientRect.Left - FPageRect.Left, FClientRect.Top - FPageRect.Top);
    return RectsIntersect(Screen, FClientRect);
}

bool TIpHtml::PageRectToTarget(const TIpHtmlRect& R, TIpHtmlRect& Target) const {
    if (!RectsIntersect(R, FPageRect)) return false;
    Target = OffsetRect(R, FPaintedAt.X - FPageRect.Left, FPaintedAt.Y - FPageRect.Top);
    return true;
}

TIpHtmlPoint TIpHtml::PagePtToScreen(TIpHtmlPoint P) const {
    return {P.X - FPageRect.Left + FClientRect.Left, P.Y - FPageRect.Top + FClientRect.Top};
}

void TIpHtml::FillPageRect(const TIpHtmlRect& R, TIpHtmlColor Color) {
    TIpHtmlRect Screen;
    if (PageRectToScreen(R, Screen)) Target().FillRect(Screen, Color);
}

void TIpHtml::AddDrawRect(const TIpHtmlRect& R, LayoutElement* Element, TIpHtmlNodeBlock* Block) {
    FDrawRects.push_back({R, Element, Block});
}

// Where the rectangle showed in the last paint.
void TIpHtml::InvalidatePageRect(const TIpHtmlRect& R) {
    if (!OnInvalidateRect || IsEmptyRect(R)) return;
    OnInvalidateRect(OffsetRect(R, FPaintedAt.X - FPageRect.Left, FPaintedAt.Y - FPageRect.Top));
}

void TIpHtmlNodeBlock::Repaint() {
    Owner()->InvalidatePageRect(FPageRect);
}

// --- layout ---

// Another canvas measures differently: every measure and size goes, without each node telling
// its parents (the whole tree forgets at once).
void TIpHtml::ResetCaches() {
    FPropList.ClearFontMetrics();
    FPool->EnumerateItems([](void* Item) {
        auto* Element = static_cast<LayoutElement*>(Item);
        Element->SizeProp = nullptr;
        Element->WordRect = {};
    });
    FHtml->ForEachNode([](TIpHtmlNode* Node) { Node->ClearSizeCache(); });
}

void TIpHtml::DropRects() {
    for (TIpHtmlNodeA* Anchor : FAnchors) Anchor->DropRects();
    FAreas.clear();
    FAreasBuilt = false;
    FAnchorIndex.reset();
    FDrawRects.clear();
    FCurElement = nullptr;
}

TIpHtmlRect TIpHtml::LayoutPage(TIpHtmlCanvas& Canvas, int32_t Width, int32_t PageHeight) {
    if (FInLayout) return FDocRect;
    TLayoutGuard Guard(FInLayout, FFonts);
    FReady = false;
    FDocRect = {};
    FFonts.SetCanvas(&Canvas);
    if (Canvas.MetricsId() != FLastMetrics || PageHeight != FLastPageHeight) ResetCaches();
    FLastMetrics = Canvas.MetricsId();
    FLastPageHeight = PageHeight;
    FPageHeight = PageHeight;
    SetDefaultProps();
    FLayoutWidth = Width;
    int32_t Min = 0, Max = 0;
    FHtml->HtmlMinMaxWidth(*FDefaultProps, Min, Max);
    const int32_t W = std::max(Width, Min + 2 * MarginWidth);
    const int32_t H = FHtml->HtmlHeight(*FDefaultProps, W - 2 * MarginWidth) + 2 * MarginHeight;
    DropRects();
    FHtml->HtmlLayout(*FDefaultProps,
                      {MarginWidth, MarginHeight, W - MarginWidth, H - MarginHeight});
    const TIpHtmlRect Laid = FHtml->HtmlPageRect();
    FDocRect = {0, 0, std::max(W, Laid.Right + MarginWidth),
                std::max(H, Laid.Bottom + MarginHeight)};
    FReady = true;
    return FDocRect;
}

// --- painting ---

void TIpHtml::RenderPage(TIpHtmlCanvas& Canvas, const TIpHtmlRect& PageRect, TIpHtmlPoint Origin,
                         bool UseBuffer) {
    const int32_t W = PageRect.Right - PageRect.Left, H = PageRect.Bottom - PageRect.Top;
    FPaintedAt = Origin;
    FPageRect = PageRect;
    FClientRect = {Origin.X, Origin.Y, Origin.X + W, Origin.Y + H};
    if (!FReady) {
        Canvas.FillRect(FClientRect, 0xFFFFFF);
        return;
    }
    {
        TLayoutGuard Guard(FInLayout, FFonts);
        for (TIpHtmlNode* Control : FControls) Control->UnmarkControl();
        SetDefaultProps();
        TIpHtmlCanvas* Target = &Canvas;
        if (UseBuffer) {
            if (!FBuffer || FBufferSize != TIpHtmlSize{W, H}) {
                FBuffer = Canvas.CreateBuffer(W, H);
                FBufferSize = {W, H};
            }
            Target = FBuffer.get();
            FClientRect = {0, 0, W, H};
        }
        FFonts.SetCanvas(Target);
        FDrawRects.clear();
        FQueuedFrames.clear();
        FHtml->HtmlPaint(*FDefaultProps);
        for (TIpHtmlNode* Control : FControls) Control->HideUnmarkedControl();
        PaintQueuedFrames();
        PaintSelection();
        if (UseBuffer) {
            Canvas.DrawBuffer(*FBuffer, Origin);
            FClientRect = {Origin.X, Origin.Y, Origin.X + W, Origin.Y + H};
        }
    }
    for (TIpHtmlNodeIMG* Image : std::vector<TIpHtmlNodeIMG*>(FImages))
        if (!Image->Picture()) Image->LoadPicture();
}

void TIpHtml::QueueGifFrame(TIpAnimatedGraphic& Graphic, const TIpHtmlRect& R) {
    FQueuedFrames.emplace_back(&Graphic, R);
}

void TIpHtml::PaintQueuedFrames() {
    for (const auto& [Graphic, R] : FQueuedFrames) Target().DrawPicture(R, Graphic->Bitmap());
    FQueuedFrames.clear();
}

// --- selection ---

void TIpHtml::SetSelectionPoints(TIpHtmlPoint P1, TIpHtmlPoint P2) {
    FAllSelected = false;
    const bool FirstIsStart = P1.Y < P2.Y || (P1.Y == P2.Y && P1.X <= P2.X);
    FSelStart = FirstIsStart ? P1 : P2;
    FSelEnd = FirstIsStart ? P2 : P1;
    if (FBody) InvalidatePageRect(FBody->PageRect());
}

void TIpHtml::SelectAll() {
    FAllSelected = true;
    if (FBody) InvalidatePageRect(FBody->PageRect());
}

// Wholly between the two rows, under either point, or inside the band the points span.
bool TIpHtml::SelectionHits(const TIpHtmlRect& R) const {
    const TIpHtmlPoint S = FSelStart, E = FSelEnd;
    if (R.Top > S.Y && R.Bottom < E.Y) return true;
    if (PointInRect(R, S) || PointInRect(R, E)) return true;
    return R.Bottom >= S.Y && R.Top <= E.Y && R.Left >= S.X && R.Right <= E.X;
}

std::string TIpHtml::SelectionText() {
    std::string Text;
    FHtml->CopySelectionText(Text);
    return Text;
}

void TIpHtml::PaintSelection() {
    if (!HasSelection() || FDrawRects.empty()) return;
    size_t First = 0, Last = FDrawRects.size() - 1;
    if (!FAllSelected) {
        while (First < FDrawRects.size() && !SelectionHits(FDrawRects[First].Rect)) ++First;
        if (First == FDrawRects.size()) return;
        while (Last > First && !SelectionHits(FDrawRects[Last].Rect)) --Last;
    }
    for (size_t I = First; I <= Last; ++I) {
        const TIpHtmlRect Screen =
            IntersectRects(OffsetRect(FDrawRects[I].Rect, FClientRect.Left - FPageRect.Left,
                                      FClientRect.Top - FPageRect.Top),
                           FClientRect);
        if (!IsEmptyRect(Screen)) Target().InvertRect(Screen);
    }
}

// --- the mouse ---

// Each image with a map takes the areas of the map its USEMAP names ("#name", as in a link, or a
// bare name), matched without regard to case; a name no map has gives the image none.
void TIpHtml::BuildAreaList() {
    FAreasBuilt = true;
    FAreas.clear();
    for (TIpHtmlNodeIMG* Image : FImages) {
        if (Image->UseMap.empty()) continue;
        const size_t Hash = Image->UseMap.find('#');
        const std::string Name =
            Hash == std::string::npos ? Image->UseMap : Image->UseMap.substr(Hash + 1);
        const auto Map = std::find_if(FMaps.begin(), FMaps.end(), [&](TIpHtmlNodeMAP* Candidate) {
            return SameText(Candidate->Name, Name);
        });
        if (Map == FMaps.end()) continue;
        for (int I = 0; I < (*Map)->ChildCount(); ++I)
            if (auto* Area = dynamic_cast<TIpHtmlNodeAREA*>((*Map)->ChildNode(I)))
                FAreas.push_back({Area, TIpHtmlAreaShape(*Area, Image->Element()->WordRect)});
    }
}

TIpHtmlNode* TIpHtml::FindAnchorOrArea(TIpHtmlPoint Point) {
    if (!FAnchorIndex) FAnchorIndex = std::make_unique<TIpHtmlAnchorIndex>(FAnchors);
    if (TIpHtmlNodeA* Anchor = FAnchorIndex->AnchorAt(Point)) {
        FHotPoint = Anchor->AnchorMapPoint(Point);
        return Anchor;
    }
    for (const TIpHtmlPlacedArea& Placed : FAreas)
        if (Placed.Shape.Hits(Point)) return Placed.Area;
    return nullptr;
}

void TIpHtml::TrackMouse(TIpHtmlPoint Point) {
    FHotPoint = {-1, -1};
    if (!FMaps.empty() && !FAreasBuilt) BuildAreaList();
    TIpHtmlNode* Hot = FindAnchorOrArea(Point);
    if (Hot != FHotNode) {
        if (auto* Old = dynamic_cast<TIpHtmlNodeA*>(FHotNode)) Old->SetAnchorHot(false);
        FHotNode = Hot;
        if (auto* New = dynamic_cast<TIpHtmlNodeA*>(Hot)) New->SetAnchorHot(true);
    }
    if (Hot) return;
    FCurElement = nullptr;
    for (const TIpHtmlDrawRect& Entry : FDrawRects)
        if (PointInRect(Entry.Rect, Point)) {
            FCurElement = Entry.Element;
            break;
        }
}
