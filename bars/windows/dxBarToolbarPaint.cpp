// How a toolbar window paints: its items with the group separators between them, the mark at the
// end of a docked line, and the frame and grip of a docked bar.
#include <algorithm>

#include "bars/look/dxBarDraw.h"
#include "bars/look/dxBarSystem.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarItems.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBars.h"
#include "bars/windows/dxBarItemControls.h"
#include "bars/windows/dxBarToolbar.h"
#include "platform/core/Paint.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/RectMath.h"

TRect TdxBarControl::MarkRect() const {
    if (!MarkExists()) return TRect{};
    if (IsFloating()) {
        // In client coordinates like the docked mark: above the client area.
        RECT Client{0, 0, Width(), Height()};
        FloatingNCCalcSize(Client);
        return OffsetRect(FloatingMarkRect(), -Client.left, -Client.top);
    }
    const TRect C = const_cast<TdxBarControl*>(this)->ClientRect();
    const bool Standard = BarManager()->Style() == bmsStandard;
    if (IsVertical()) {
        const int Top = C.Bottom - kdxBarMarkSize;
        return Standard ? TRect{C.Right - 9, Top, C.Right, C.Bottom}
                        : TRect{C.Left, Top, C.Right, C.Bottom};
    }
    const int Left = C.Right - kdxBarMarkSize;
    return Standard ? TRect{Left, C.Top, C.Right, C.Top + 9}
                    : TRect{Left, C.Top, C.Right, C.Bottom};
}

void TdxBarControl::Paint() {
    TCustomForm* Form = BarManager()->OwnerForm();
    if (!Form || !Form->Visible() || UpdateLock() || FBar->UpdateLocked()) return;
    CalcControlsPositions();
    TdxBarItemLinks* Links = ItemLinks();
    // Links beyond the bar's end (reached through the mark) show nothing of their own: an
    // editor left open there would stay where the item was.
    if (Links && !BarManager()->ComponentState().Contains(csDesigning))
        for (int I = Links->ShownCount(); I < Links->VisibleItemCount(); ++I)
            if (TdxBarItemControl* Control = Links->VisibleItems(I)->Control()) {
                Control->Unplaced();
                if (Retired()) return;
            }
    if (BarManager()->Style() != bmsStandard) SendMessage(Handle(), WM_NCPAINT, 1, 0);
    const HDC DC = Canvas()->Handle();
    const HRGN Region = CreateRectRgnIndirect(ClientRect());
    for (int I = 0; Links && I < Links->ShownCount(); ++I) {
        TdxBarItemLink* Link = Links->ShownItems(I);
        TdxBarItemControl* Control = Link->Control();
        if (!Control || IsRectEmpty(Link->ItemRect())) continue;
        DrawItem(Control);
        ExcludeBarRect(Region, Link->ItemRect());
    }
    PaintSeparators(DC, Region);
    PaintMark(DC, Region);
    if (const TRect Close = RightCloseButtonRect(); !IsRectEmpty(Close)) {
        FillRgn(DC, Region, GetBkBrush());
        PaintRightCloseButton(DC, Close);
        ExcludeBarRect(Region, Close);
    }
    FillRgn(DC, Region, GetBkBrush());
    DeleteObject(Region);
}

// The system's close glyph, pushed while pressed (not in the flat style). The flat style, and a
// flat close button, keep one pixel of the button for a frame: the background's in the flat
// style, else a raised (pressed: sunken) edge.
void TdxBarControl::PaintRightCloseButton(HDC DC, const TRect& Button) {
    const bool Flat = BarManager()->IsFlat();
    RECT R = Button;
    const UINT State = DFCS_CAPTIONCLOSE | (FRightCloseButtonPressed && !Flat ? DFCS_PUSHED : 0);
    DrawFrameControl(DC, &R, DFC_CAPTION, State);
    if (Flat)
        FrameRect(DC, &R, GetBkBrush());
    else if (BarManager()->FlatCloseButton())
        DrawEdge(DC, &R, FRightCloseButtonPressed ? BDR_SUNKENOUTER : BDR_RAISEDOUTER, BF_RECT);
}

void TdxBarControl::PaintSeparators(HDC DC, HRGN Region) {
    TdxBarItemLinks* Links = ItemLinks();
    if (!Links) return;
    const bool Flat = BarManager()->IsFlat();
    const int Size = GetBeginGroupSize();
    const int Line = Flat ? 1 : 2;
    const int Margin = (Size - Line) / 2;
    const TRect Client = ClientRect();
    const HBRUSH Bk = GetBkBrush();
    for (int I = 0; I < Links->ShownCount(); ++I) {
        TdxBarItemLink* Link = Links->ShownItems(I);
        TdxBarItemControl* Control = Link->Control();
        const TRect R = Link->ItemRect();
        if (!Control) continue;
        Control->SeparatorRect = TRect{};
        if (!Link->BeginGroup() || IsRectEmpty(R)) continue;
        const TRect Row = GetItemRect(Control);
        const bool Across =
            IsVertical() || (R.Left == 0 && R.Top > 0) || (CanWrap() && Control->NewRow && I > 0);
        TRect Sep, LineRect;
        if (Across && !IsVertical()) {
            const int Right = Client.Right - (MarkExists() ? kdxBarMarkSize : 0);
            Sep = TRect{Client.Left, R.Top - Size, Right, R.Top};
            LineRect = TRect{Sep.Left, Sep.Top + Margin, Sep.Right, Sep.Top + Margin + Line};
        } else if (Across) {
            Sep = TRect{Row.Left, R.Top - Size, Row.Right, R.Top};
            LineRect = TRect{Sep.Left, Sep.Top + Margin, Sep.Right, Sep.Top + Margin + Line};
        } else {
            Sep = TRect{R.Left - Size, Row.Top, R.Left, Row.Bottom};
            LineRect = TRect{Sep.Left + Margin, Sep.Top, Sep.Left + Margin + Line, Sep.Bottom};
        }
        FillBarRect(DC, Sep, Bk);
        if (Flat) {
            FillBarRect(DC, LineRect, dxBarSysBrush(COLOR_BTNSHADOW));
        } else {
            RECT Edge = LineRect;
            DrawEdge(DC, &Edge, EDGE_ETCHED, Across ? BF_TOP : BF_LEFT);
        }
        Control->SeparatorRect = Sep;
        ExcludeBarRect(Region, Sep);
    }
}

void TdxBarControl::DrawChevron(HDC DC, const TRect& R, bool Vertical, COLORREF Color) {
    const HPEN Pen = CreatePen(PS_SOLID, 1, Color);
    const HGDIOBJ Old = SelectObject(DC, Pen);
    // Two chevrons, each two pixels thick.
    for (int Which = 0; Which < 2; ++Which)
        for (int Thick = 0; Thick < 2; ++Thick) {
            if (Vertical) {
                const int X = R.Left + (R.Width() - 5) / 2, Y = R.Bottom - 9 + 4 * Which + Thick;
                const POINT P[3] = {{X, Y}, {X + 2, Y + 2}, {X + 5, Y - 1}};
                Polyline(DC, P, 3);
            } else {
                const int X = R.Left + 2 + 4 * Which + Thick, Y = R.Top + 3;
                const POINT P[3] = {{X, Y}, {X + 2, Y + 2}, {X - 1, Y + 5}};
                Polyline(DC, P, 3);
            }
        }
    SelectObject(DC, Old);
    DeleteObject(Pen);
}

void TdxBarControl::DrawQuickCustomizingArrow(HDC DC, const TRect& R, bool Vertical,
                                              COLORREF Color) {
    int X, Y;
    if (Vertical) {
        X = R.Left + 5;
        Y = R.Top + 3;
    } else {
        X = R.Left + 3;
        Y = R.Bottom - 7 + (R.Height() < 17 ? 1 : 0);
    }
    const HPEN Pen = CreatePen(PS_SOLID, 1, Color);
    const HBRUSH Brush = CreateSolidBrush(Color);
    const HGDIOBJ OldPen = SelectObject(DC, Pen), OldBrush = SelectObject(DC, Brush);
    const POINT P[3] = {{X, Y}, {X + 4, Y}, {X + 2, Y + 2}};
    Polygon(DC, P, 3);
    SelectObject(DC, OldPen);
    SelectObject(DC, OldBrush);
    DeleteObject(Pen);
    DeleteObject(Brush);
}

void TdxBarControl::PaintMark(HDC DC, HRGN Region) {
    // A floating bar's mark is painted with its caption.
    const TRect R = MarkRect();
    if (IsRectEmpty(R) || IsFloating()) return;
    DrawMark(DC, R, GetBkBrush(), dxBarSysColor(COLOR_BTNTEXT));
    ExcludeBarRect(Region, R);
}

void TdxBarControl::DrawMark(HDC DC, const TRect& R, HBRUSH Bk, COLORREF Glyph) {
    const bool Vertical = IsVertical();
    switch (BarManager()->Style()) {
        case bmsStandard:
            FillBarRect(DC, R, Bk);
            if (FHiddenItems) {
                // The chevron embossed: highlight below, shadow on top.
                DrawChevron(DC, OffsetRect(R, 1, 1), Vertical, dxBarSysColor(COLOR_BTNHIGHLIGHT));
                DrawChevron(DC, R, Vertical, dxBarSysColor(COLOR_BTNSHADOW));
            }
            break;
        case bmsEnhanced:
        case bmsFlat: {
            const bool Flat = BarManager()->IsFlat();
            RECT Frame = R;
            if (FMarkState == TdxBarButtonState::Normal) {
                FrameRect(DC, &Frame, Bk);
            } else if (Flat) {
                FrameHighlight(DC, R);
            } else {
                DrawEdge(DC, &Frame,
                         FMarkState == TdxBarButtonState::Hot ? BDR_RAISEDINNER : BDR_SUNKENOUTER,
                         BF_RECT);
            }
            FillBarRect(DC, InflatedRect(R, -1, -1),
                        Flat && FMarkState != TdxBarButtonState::Normal ? GetSelectedBrush() : Bk);
            // The flat style's lit mark is filled with the selection's light colour.
            const COLORREF Color = Flat && FMarkState != TdxBarButtonState::Normal
                                       ? dxBarSysColor(COLOR_BTNTEXT)
                                       : Glyph;
            DrawQuickCustomizingArrow(DC, R, Vertical, Color);
            if (FHiddenItems) DrawChevron(DC, R, Vertical, Color);
            break;
        }
    }
}

void TdxBarControl::PaintDockedFrame(HDC DC, const TRect& W) {
    TdxBarManager* M = BarManager();
    const HBRUSH Bk = GetBkBrush();
    if (FBar->BorderStyle() != bbsSingle) {
        if (FSizeGripShown) {
            const int Size = GetSystemMetrics(SM_CXHSCROLL);
            RECT Grip{W.Right - Size, W.Bottom - GetSystemMetrics(SM_CYHSCROLL), W.Right, W.Bottom};
            DrawFrameControl(DC, &Grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
        }
        return;
    }
    // The ring between the frame and the client area takes the bar's background.
    const HRGN Ring = CreateRectRgnIndirect(W);
    RECT Client;
    GetClientRect(Handle(), &Client);
    MapWindowPoints(Handle(), 0, reinterpret_cast<POINT*>(&Client), 2);
    RECT Window;
    GetWindowRect(Handle(), &Window);
    OffsetRect(&Client, -Window.left, -Window.top);
    ExcludeBarRect(Ring, ToTRect(Client));
    FillRgn(DC, Ring, Bk);
    DeleteObject(Ring);
    RECT Edge = W;
    if (M->IsFlat())
        FrameRect(DC, &Edge, dxBarSysBrush(COLOR_BTNFACE));
    else
        DrawEdge(DC, &Edge, BDR_RAISEDINNER, BF_RECT);
    // The grip: across the bar near its start.
    const bool Vertical = IsVertical();
    const int Offset = 2 + M->GripOffset();
    const int Inset = M->Style() == bmsEnhanced ? 1 : M->IsFlat() ? 3 : 0;
    TRect Grip =
        Vertical
            ? TRect{W.Left + 2 + Inset, W.Top + Offset, W.Right - 2 - Inset, W.Top + Offset + 3}
            : TRect{W.Left + Offset, W.Top + 2 + Inset, W.Left + Offset + 3, W.Bottom - 2 - Inset};
    if (M->IsFlat()) {
        // A dotted line, every other pixel in the shadow colour.
        const COLORREF Shadow = dxBarSysColor(COLOR_BTNSHADOW);
        if (Vertical) {
            for (int X = Grip.Left; X < Grip.Right; X += 2) SetPixelV(DC, X, Grip.Top + 1, Shadow);
        } else {
            for (int Y = Grip.Top; Y < Grip.Bottom; Y += 2) SetPixelV(DC, Grip.Left + 1, Y, Shadow);
        }
        return;
    }
    const int Grips = M->Style() == bmsStandard ? 2 : 1;
    for (int I = 0; I < Grips; ++I) {
        RECT G = Grip;
        DrawEdge(DC, &G, BDR_RAISEDINNER, BF_RECT);
        if (M->Style() == bmsStandard)
            SetPixelV(DC, Grip.Left, Grip.Top, dxBarSysColor(COLOR_BTNHIGHLIGHT));
        Grip = Vertical ? OffsetRect(Grip, 0, 3) : OffsetRect(Grip, 3, 0);
    }
}
