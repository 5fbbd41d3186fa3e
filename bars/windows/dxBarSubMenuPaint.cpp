// How a submenu window paints: the side band of its popup menu or sub-item, the scroll areas, the
// entries with their group separators (rarely used ones on a lighter background), the expand
// button, and its frame: a one-pixel line in the flat style (with the flat shadow), else the
// face colour at the left and top and a raised edge at the right and bottom.
#include <algorithm>

#include "bars/look/dxBarDraw.h"
#include "bars/look/dxBarSystem.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarItems.h"
#include "bars/model/dxBarManager.h"
#include "bars/windows/dxBarAnimation.h"
#include "bars/windows/dxBarItemControls.h"
#include "bars/windows/dxBarPopupMenus.h"
#include "bars/windows/dxBarSubMenu.h"
#include "platform/core/Paint.h"
#include "platform/gdi/RectMath.h"

namespace {

// A small filled triangle of the button-text colour pointing up or down, centred in R.
void DrawScrollArrow(HDC DC, const TRect& R, bool Up, int Size) {
    const int X = (R.Left + R.Right - (2 * Size - 1)) / 2;
    const int Y = (R.Top + R.Bottom - Size) / 2;
    POINT Points[3];
    if (Up) {
        Points[0] = POINT{X + Size - 1, Y};
        Points[1] = POINT{X, Y + Size - 1};
        Points[2] = POINT{X + 2 * Size - 2, Y + Size - 1};
    } else {
        Points[0] = POINT{X, Y};
        Points[1] = POINT{X + 2 * Size - 2, Y};
        Points[2] = POINT{X + Size - 1, Y + Size - 1};
    }
    const COLORREF Color = dxBarSysColor(COLOR_BTNTEXT);
    const HPEN Pen = CreatePen(PS_SOLID, 1, Color);
    const HGDIOBJ OldPen = SelectObject(DC, Pen);
    const HGDIOBJ OldBrush = SelectObject(DC, dxBarSysBrush(COLOR_BTNTEXT));
    Polygon(DC, Points, 3);
    SelectObject(DC, OldBrush);
    SelectObject(DC, OldPen);
    DeleteObject(Pen);
}

// Two chevrons pointing down, one below the other, centred in R.
void DrawDoubleChevron(HDC DC, const TRect& R, COLORREF Color) {
    const HPEN Pen = CreatePen(PS_SOLID, 1, Color);
    const HGDIOBJ Old = SelectObject(DC, Pen);
    const int X = (R.Left + R.Right) / 2 - 3;
    const int Y = (R.Top + R.Bottom) / 2 - 3;
    for (int Chevron = 0; Chevron < 2; ++Chevron)
        for (int Row = 0; Row < 2; ++Row) {
            const int Top = Y + 4 * Chevron + Row;
            MoveToEx(DC, X, Top, nullptr);
            LineTo(DC, X + 3, Top + 3);
            LineTo(DC, X + 7, Top - 1);
        }
    SelectObject(DC, Old);
    DeleteObject(Pen);
}

}  // namespace

void TdxBarSubMenuControl::Paint() {
    const HDC DC = Canvas()->Handle();
    if (PaintAnimationFrame(this, DC) || FHiding) return;
    const TRect Client = ClientRect();
    const HRGN Region = CreateRectRgnIndirect(Client);
    if (const int Band = BarSize(); Band > 0) {
        const TRect R{0, 0, Band, Client.Bottom};
        TdxBarItemLinks* Links = ItemLinks();
        if (TdxBarPopupMenu* Popup = Links ? Links->OwnerPopupMenu() : nullptr)
            Popup->DoPaintBar(Canvas(), R);
        else if (TCustomdxBarSubItem* Sub = Links ? Links->OwnerSubItem() : nullptr)
            Sub->DoPaintBar(Canvas(), R);
        ExcludeBarRect(Region, R);
    }
    for (const auto& [Area, Up] : {std::pair{TopScrollRect(), true}, {BottomScrollRect(), false}}) {
        if (IsRectEmpty(Area)) continue;
        PaintScrollArea(DC, Area, Up);
        ExcludeBarRect(Region, Area);
    }
    TdxBarItemLinks* Links = ItemLinks();
    for (int I = 0; Links && I < Links->VisibleItemCount(); ++I) {
        TdxBarItemControl* Control = Links->VisibleItems(I)->Control();
        if (!Control || IsRectEmpty(Control->ItemLink()->ItemRect())) continue;
        DrawItem(Control);
        ExcludeBarRect(Region, GetItemRectEx(Control, true));
    }
    if (MarkExists()) {
        PaintMark(DC);
        ExcludeBarRect(Region, MarkRect());
    }
    FillRgn(DC, Region, IsFlatStyle() ? dxBarSysBrush(COLOR_WINDOW) : GetBkBrush());
    DeleteObject(Region);
}

void TdxBarSubMenuControl::DrawItem(TdxBarItemControl* Control) {
    if (FHiding || !Control) return;
    TdxBarItemLink* Link = Control->ItemLink();
    const TRect R = Link->ItemRect();
    if (IsRectEmpty(R)) return;
    const bool Flat = IsFlatStyle();
    HBRUSH Brush = Flat ? dxBarSysBrush(COLOR_WINDOW) : GetBkBrush();
    if (Control->RarelyUsed && FRarelyUsedBrush) Brush = FRarelyUsedBrush;
    SetBkBrushOfItem(Brush);
    const HDC DC = Canvas()->Handle();
    const int Index = ItemLinks()->VisibleIndexOf(Link);
    Control->SeparatorRect = TRect{};
    if (Index > FTopIndex && Link->BeginGroup()) {
        const TRect Ex = GetItemRectEx(Control, true);
        const TRect Separator{R.Left, Ex.Top, R.Right, Ex.Top + GetBeginGroupSize()};
        PaintSeparator(DC, Control, Separator);
        Control->SeparatorRect = Separator;
    }
    if (!Flat && Control->RarelyUsed) {
        // The edges of a run of rarely used entries.
        const HBRUSH Light = dxBarSysBrush(COLOR_BTNHIGHLIGHT);
        if (Control->FirstOfRarelyUsed)
            FillBarRect(DC, TRect{R.Left, R.Top - 1, R.Right, R.Top}, Light);
        TdxBarItemLink* Next = ItemLinks()->VisibleItems(Index + 1);
        if (!Next || !Next->Control() || !Next->Control()->RarelyUsed)
            FillBarRect(DC, TRect{R.Left, R.Bottom - 1, R.Right, R.Bottom}, Light);
    }
    const int Saved = SaveDC(DC);
    IntersectClipRect(DC, R.Left, R.Top, R.Right, R.Bottom);
    Control->Paint(R, ptMenu);
    DrawCustomizingFrame(Control);
    RestoreDC(DC, Saved);
}

void TdxBarSubMenuControl::PaintSeparator(HDC DC, TdxBarItemControl* Control, const TRect& R) {
    FillBarRect(DC, R, BkBrushOfItem());
    const int Middle = (R.Top + R.Bottom) / 2;
    if (IsFlatStyle()) {
        // The glyph column goes on through the separator; the line starts at the text.
        const int Column = Control->ItemLink()->ItemRect().Height() + 1;
        FillBarRect(DC, TRect{R.Left, R.Top, R.Left + Column, R.Bottom},
                    BarManager()->FlatGlyphColumnBrush());
        const int TextLeft = R.Left + Column + 1 + 8;
        FillBarRect(DC, TRect{TextLeft, Middle, R.Right, Middle + 1},
                    dxBarSysBrush(COLOR_BTNSHADOW));
        return;
    }
    RECT Line{R.Left + 1, Middle - 1, R.Right - 1, Middle + 1};
    DrawEdge(DC, &Line, EDGE_ETCHED, BF_TOP);
}

void TdxBarSubMenuControl::PaintScrollArea(HDC DC, const TRect& R, bool Up) {
    FillBarRect(DC, R, IsFlatStyle() ? dxBarSysBrush(COLOR_WINDOW) : GetBkBrush());
    DrawScrollArrow(DC, R, Up, IsFlatStyle() ? 3 : 4);
}

void TdxBarSubMenuControl::PaintMark(HDC DC) {
    const TRect R = MarkRect();
    const bool Flat = IsFlatStyle();
    FillBarRect(DC, R,
                Flat && FMarkState != TdxBarButtonState::Normal
                    ? GetSelectedBrush()
                    : (Flat ? dxBarSysBrush(COLOR_WINDOW) : GetBkBrush()));
    if (FMarkState != TdxBarButtonState::Normal) {
        if (Flat) {
            FrameBarRect(DC, R, BarManager()->FlatFrameBrush());
        } else {
            RECT Edge = R;
            DrawEdge(DC, &Edge,
                     FMarkState == TdxBarButtonState::Down ? BDR_SUNKENOUTER : BDR_RAISEDINNER,
                     BF_RECT);
        }
    }
    const TRect Chevron{R.Left, R.Top + (R.Height() - FMarkHeight) / 2, R.Right,
                        R.Top + (R.Height() + FMarkHeight) / 2};
    DrawDoubleChevron(DC, Chevron, dxBarSysColor(COLOR_BTNTEXT));
}

void TdxBarSubMenuControl::StartAnimation() {
    // The whole menu, painted once; the steps show parts of it.
    const TRect Client = ClientRect();
    if (IsRectEmpty(Client)) return;
    const HDC Screen = GetDC(0);
    const HDC Memory = CreateCompatibleDC(Screen);
    const HBITMAP Image = CreateCompatibleBitmap(Screen, Client.Width(), Client.Height());
    ReleaseDC(0, Screen);
    const HGDIOBJ Old = SelectObject(Memory, Image);
    const HDC Saved = Canvas()->HandleAllocated() ? Canvas()->Handle() : 0;
    Canvas()->SetHandle(Memory);
    Paint();
    Canvas()->SetHandle(Saved);
    SelectObject(Memory, Old);
    DeleteDC(Memory);
    const TdxBarMenuAnimations Kind = ResolveAnimation(FAnimations);
    StartSubMenuAnimation(this,
                          PlanAnimation(Kind, Client.Width(), Client.Height(), FFlippedHorizontally,
                                        FFlippedVertically),
                          Image);
}

// ---- the frame --------------------------------------------------------------------------------

void TdxBarSubMenuControl::WMNCCalcSize(TMessage& Message) {
    TCustomdxBarControl::WMNCCalcSize(Message);
    RECT* R = Message.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                             : reinterpret_cast<RECT*>(Message.LParam);
    InflateRect(R, -1, -1);
    R->top += DetachBarHeight();
    R->right = std::max(R->right, R->left);
    R->bottom = std::max(R->bottom, R->top);
}

void TdxBarSubMenuControl::WMNCPaint(TMessage& Message) {
    TCustomdxBarControl::WMNCPaint(Message);
    if (!HandleAllocated()) return;
    const HDC DC = GetWindowDC(Handle());
    RECT W;
    GetWindowRect(Handle(), &W);
    OffsetRect(&W, -W.left, -W.top);
    if (HasShadow()) {
        W.right -= 2;
        W.bottom -= 2;
    }
    if (IsFlatStyle()) {
        FrameRect(DC, &W, dxBarSysBrush(COLOR_BTNTEXT));
    } else {
        const HBRUSH Face = dxBarSysBrush(COLOR_BTNFACE);
        const RECT Left{W.left, W.top, W.left + 1, W.bottom};
        const RECT Top{W.left, W.top, W.right, W.top + 1};
        FillRect(DC, &Left, Face);
        FillRect(DC, &Top, Face);
        DrawEdge(DC, &W, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM);
    }
    PaintDetachBar(DC);
    ReleaseDC(Handle(), DC);
}

void TdxBarSubMenuControl::WMNCHitTest(TMessage& Message) {
    TCustomdxBarControl::WMNCHitTest(Message);
    if (DetachBarHeight() == 0 || !HandleAllocated()) return;
    RECT W;
    GetWindowRect(Handle(), &W);
    const TPoint At = PointOf(Message.LParam);
    const POINT P{At.X - W.left, At.Y - W.top};
    const RECT Bar = DetachBarRect();
    if (PtInRect(&Bar, P)) Message.Result = HTCLIENT;
}
