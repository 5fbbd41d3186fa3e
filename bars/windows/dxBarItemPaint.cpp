// How item controls paint themselves into their bar window's canvas: the glyph area, captions
// (turned on rotated bars, embossed when disabled outside the flat style), buttons in bars and
// in menus, menu entries, and sub-items.
//
// The looks of a button in a bar: hot (the selected control, IsPressed) gets a raised edge, or in
// the flat style the selection colour inside the flat frame; held down with the mouse it is drawn
// sunken (a darker fill in the flat style); a checked button that is down is sunken over the
// dithered brush (the flat down colour).
#include <algorithm>

#include "bars/look/dxBarDraw.h"
#include "bars/look/dxBarSystem.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarItems.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBars.h"
#include "bars/windows/dxBarControl.h"
#include "bars/windows/dxBarItemControls.h"
#include "bars/windows/dxBarToolbar.h"
#include "platform/classes/Mnemonics.h"
#include "platform/core/Input.h"
#include "platform/gdi/RectMath.h"

namespace {

void Frame(HDC DC, const TRect& R, HBRUSH Brush) {
    const RECT Rc = R;
    FrameRect(DC, &Rc, Brush);
}

void Edge(HDC DC, const TRect& R, UINT Kind) {
    RECT Rc = R;
    DrawEdge(DC, &Rc, Kind, BF_RECT);
}

// A caption turned 90 degrees (the canvas font is already turned): the accelerator is
// underlined by hand.
void DrawRotatedText(HDC DC, const TRect& R, const std::string& Caption, COLORREF Color) {
    const std::string Plain = StripMnemonics(Caption);
    TEXTMETRIC Metrics;
    GetTextMetrics(DC, &Metrics);
    SIZE Extent{0, 0};
    GetTextExtentPoint32(DC, Plain, &Extent);
    const int X = R.Left + (R.Width() + Metrics.tmHeight) / 2;
    const int Y = R.Top + std::max(0, (R.Height() - int(Extent.cx)) / 2);
    SetTextColor(DC, Color);
    RECT Clip = R;
    ExtTextOut(DC, X, Y, ETO_CLIPPED, &Clip, Plain);
    const size_t At = BarAccelPos(Caption);
    if (At == std::string::npos) return;
    // The plain text's offset of the accelerator: what precedes it, without its marks.
    const std::string Before = StripMnemonics(Caption.substr(0, At - 1));
    SIZE Start{0, 0}, Char{0, 0};
    GetTextExtentPoint32(DC, Before, &Start);
    GetTextExtentPoint32(DC, Caption.substr(At, 1), &Char);
    const HPEN Pen = CreatePen(PS_SOLID, 1, Color);
    const HGDIOBJ Old = SelectObject(DC, Pen);
    const int LineX = X - Metrics.tmAscent - 1;
    MoveToEx(DC, LineX, Y + Start.cx, nullptr);
    LineTo(DC, LineX, Y + Start.cx + Char.cx);
    SelectObject(DC, Old);
    DeleteObject(Pen);
}

}  // namespace

// ---- shared pieces ----------------------------------------------------------------------------

void TdxBarItemControl::DrawCaption(HDC DC, const TRect& R, const std::string& Caption,
                                    bool Selected, bool InMenu, UINT Alignment) {
    const bool Flat = IsFlat();
    const bool Enabled = GetEnabled();
    const int OldMode = SetBkMode(DC, TRANSPARENT);
    const bool Rotated = !InMenu && IsRotated();
    auto Draw = [&](const TRect& At, COLORREF Color) {
        if (Rotated) {
            DrawRotatedText(DC, At, Caption, Color);
            return;
        }
        SetTextColor(DC, Color);
        RECT Rc = At;
        DrawText(DC, Caption, &Rc,
                 DT_SINGLELINE | DT_VCENTER | Alignment | (InMenu ? DT_NOCLIP : 0));
    };
    if (Enabled) {
        Draw(R, Selected && InMenu && !Flat ? dxBarSysColor(COLOR_HIGHLIGHTTEXT)
                                            : dxBarSysColor(COLOR_BTNTEXT));
    } else if (Flat || Selected) {
        Draw(R, dxBarSysColor(COLOR_GRAYTEXT));
    } else {
        Draw(OffsetRect(R, 1, 1), dxBarSysColor(COLOR_BTNHIGHLIGHT));
        Draw(R, dxBarSysColor(COLOR_BTNSHADOW));
    }
    SetBkMode(DC, OldMode);
}

void TdxBarItemControl::DrawGlyphArea(HDC DC, const TRect& R, bool Pressed, bool Down, bool Enabled,
                                      bool Selected, bool CheckMark) {
    TCustomdxBarControl* Window = Parent();
    TdxBarManager* M = BarManager();
    const bool Flat = IsFlat();
    const bool InMenu = InSubMenu();
    HBRUSH Brush = Window->BkBrushOfItem();
    if (Down && Enabled)
        Brush = Pressed ? Window->GetDownSelectedBrush() : Window->GetDownBrush();
    else if (Pressed && (Flat || (InMenu && !HasGlyph())))
        Brush = Window->GetSelectedBrush();
    else if (Flat && InMenu)
        Brush = M->FlatGlyphColumnBrush();
    const bool Framed = Pressed || Down || Selected;
    TRect Inner = Framed ? InflatedRect(R, -1, -1) : R;
    if (HasGlyph()) {
        TdxBarGlyphSource Source;
        Source.Glyph = GetGlyph();
        Source.ImageList = Flat && Selected && GetHotImages() ? GetHotImages() : GetImages();
        Source.ImageIndex = GetImageIndex();
        Source.ImageListBkColor = M->ImageListBkColor();
        TSize Size{Source.ImageList ? Source.ImageList->Width() : 0,
                   Source.ImageList ? Source.ImageList->Height() : 0};
        if (Source.Glyph && !Source.Glyph->Empty())
            Size = TSize{Source.Glyph->Width(), Source.Glyph->Height()};
        if (!InMenu && M->LargeIcons()) Size = TSize{Size.cx * 2, Size.cy * 2};
        int X = R.Left + (R.Width() - Size.cx) / 2;
        int Y = R.Top + (R.Height() - Size.cy) / 2;
        if (!Flat) {
            const int Shift = (Pressed ? 1 : 0) + (Down ? 1 : 0);
            X += Shift;
            Y += Shift;
        }
        TdxBarGlyphLook Look;
        Look.Enabled = Enabled;
        Look.Flat = Flat;
        Look.Selected = Selected;
        Look.Down = Down;
        DrawGlyph(DC, Brush, Inner, TRect{X, Y, X + Size.cx, Y + Size.cy}, Source, Look);
    } else {
        FillBarRect(DC, Inner, Brush);
        if (CheckMark) {
            // A tick of line segments, two pixels thick, centred in the area.
            const COLORREF Color = !Enabled ? dxBarSysColor(COLOR_BTNSHADOW)
                                   : dxBarSysColor(COLOR_BTNFACE) == RGB(0, 0, 0)
                                       ? RGB(255, 255, 255)
                                       : RGB(0, 0, 0);
            const int U = Canvas()->Font().Size() >= 16 ? 2 : 1;
            const int X = R.Left + (R.Width() - 9 * U) / 2, Y = R.Top + (R.Height() - 7 * U) / 2;
            const HPEN Pen = CreatePen(PS_SOLID, 1, Color);
            const HGDIOBJ Old = SelectObject(DC, Pen);
            for (int Row = 0; Row < 2 * U; ++Row) {
                MoveToEx(DC, X, Y + 2 * U + Row, nullptr);
                LineTo(DC, X + 3 * U, Y + 5 * U + Row);
                LineTo(DC, X + 9 * U, Y - U + Row);
            }
            SelectObject(DC, Old);
            DeleteObject(Pen);
        }
    }
    if (!Framed) return;
    if (Flat)
        Frame(DC, R, M->FlatFrameBrush());
    else
        Edge(DC, R, Pressed || Down ? BDR_SUNKENOUTER : BDR_RAISEDINNER);
}

TRect TdxBarItemControl::DrawMenuEntry(HDC DC, TRect R, bool Down, bool ShowGlyph, bool Selected) {
    TCustomdxBarControl* Window = Parent();
    TdxBarManager* M = BarManager();
    const bool Flat = IsFlat();
    const int Column = R.Height();
    if (Flat) {
        if (Selected) {
            Frame(DC, R, M->FlatFrameBrush());
        } else {
            Frame(DC, TRect{R.Left, R.Top, R.Left + Column + 1, R.Bottom},
                  M->FlatGlyphColumnBrush());
            Frame(DC, TRect{R.Left + Column, R.Top, R.Right, R.Bottom}, Window->BkBrushOfItem());
        }
        R = InflatedRect(R, -1, -1);
    }
    const TRect Glyph{R.Left, R.Top, R.Left + R.Height(), R.Bottom};
    if (ShowGlyph)
        DrawGlyphArea(DC, Glyph, Selected && !Flat, Down, GetEnabled(), Selected, Down);
    else
        FillBarRect(DC, Glyph, Flat ? M->FlatGlyphColumnBrush() : Window->BkBrushOfItem());
    const int GapWidth = Flat ? 2 : 1;
    const TRect Gap{Glyph.Right, R.Top, Glyph.Right + GapWidth, R.Bottom};
    FillBarRect(DC, Gap,
                Selected && (Flat || !ShowGlyph)
                    ? Window->GetSelectedBrush()
                    : (Flat ? M->FlatGlyphColumnBrush() : Window->BkBrushOfItem()));
    const TRect Text{Gap.Right, R.Top, R.Right, R.Bottom};
    FillBarRect(DC, Text, Selected ? Window->GetSelectedBrush() : Window->BkBrushOfItem());
    const TRect Caption{Text.Left + (Flat ? 8 : 2), Text.Top, Text.Right, Text.Bottom};
    DrawCaption(DC, Caption, GetCaption(), Selected, true, DT_LEFT);
    return Text;
}

// ---- buttons ----------------------------------------------------------------------------------

bool TdxBarButtonControl::PressedLook() const {
    if (IsPressed() && Parent()->Active() && IsMouseDownOver() && !FDroppedDown) {
        POINT P;
        GetCursorPos(&P);
        ScreenToClient(Parent()->Handle(), &P);
        if (!PtInRect(ArrowRect(Parent()->GetItemRect(const_cast<TdxBarButtonControl*>(this))),
                      TPoint{P.x, P.y}))
            return true;
    }
    return DoingClick() && Button() && Button()->ButtonStyle() != bsChecked;
}

void TdxBarButtonControl::Paint(const TRect& R, TdxBarPaintType PaintType) {
    if (IsRectEmpty(R)) return;
    const HDC DC = Canvas()->Handle();
    TRect Rc = R;
    if (Button() && Button()->Lowered()) {
        if (IsFlat())
            Frame(DC, Rc, dxBarSysBrush(COLOR_BTNSHADOW));
        else
            Edge(DC, Rc, BDR_SUNKENOUTER);
        Rc = InflatedRect(Rc, -1, -1);
    }
    const TRect Arrow = ArrowRect(Rc);
    if (!IsRectEmpty(Arrow)) Rc.Right = Arrow.Left;
    if (PaintType == ptMenu)
        PaintInMenu(DC, Rc);
    else
        PaintInBar(DC, Rc, PaintType);
    if (!IsRectEmpty(Arrow)) PaintArrowPart(DC, Arrow, PaintType == ptMenu);
}

void TdxBarButtonControl::PaintInBar(HDC DC, TRect R, TdxBarPaintType PaintType) {
    TCustomdxBarControl* Window = Parent();
    TdxBarManager* M = BarManager();
    const bool Flat = IsFlat();
    const bool Enabled = GetEnabled();
    const bool Hot = IsPressed() && Enabled;
    const bool Pressed = PressedLook();
    const bool Down = Button() && Button()->Down();
    const TdxBarPaintStyle Style = RealPaintStyle();
    HBRUSH Brush = Window->BkBrushOfItem();
    if (Down && Enabled)
        Brush = Flat && (Hot || Pressed) ? Window->GetDownSelectedBrush() : Window->GetDownBrush();
    else if (Flat && Pressed)
        Brush = Window->GetDownSelectedBrush();
    else if (Flat && Hot)
        Brush = Window->GetSelectedBrush();
    FillBarRect(DC, R, Brush);
    const bool Framed = Hot || Pressed || Down;
    if (Framed) {
        if (Flat)
            Frame(DC, R, M->FlatFrameBrush());
        else
            Edge(DC, R, Pressed || Down ? BDR_SUNKENOUTER : BDR_RAISEDINNER);
    }
    const bool Vertical = PaintType == ptVertical || IsVertical();
    TRect GlyphArea = Vertical ? TRect{R.Left, R.Top, R.Right, R.Top + M->ButtonHeight()}
                               : TRect{R.Left, R.Top, R.Left + M->ButtonWidth(), R.Bottom};
    if (Style != psCaption && HasGlyph()) {
        TdxBarGlyphSource Source;
        Source.Glyph = GetGlyph();
        Source.ImageList = Flat && Hot && GetHotImages() ? GetHotImages() : GetImages();
        Source.ImageIndex = GetImageIndex();
        Source.ImageListBkColor = M->ImageListBkColor();
        TSize Size{Source.ImageList ? Source.ImageList->Width() : 0,
                   Source.ImageList ? Source.ImageList->Height() : 0};
        if (Source.Glyph && !Source.Glyph->Empty())
            Size = TSize{Source.Glyph->Width(), Source.Glyph->Height()};
        if (M->LargeIcons()) Size = TSize{Size.cx * 2, Size.cy * 2};
        const TRect Area = Vertical ? TRect{R.Left, R.Top, R.Right, R.Top + M->ButtonHeight()}
                                    : TRect{R.Left, R.Top, R.Left + M->ButtonWidth(), R.Bottom};
        int X = Area.Left + (Area.Width() - Size.cx) / 2;
        int Y = Area.Top + (Area.Height() - Size.cy) / 2;
        if (!Flat) {
            const int Shift = (Pressed ? 1 : 0) + (Down ? 1 : 0);
            X += Shift;
            Y += Shift;
        }
        TdxBarGlyphLook Look;
        Look.Enabled = Enabled;
        Look.Flat = Flat;
        Look.Selected = Hot && !Pressed;
        Look.Down = Down || Pressed;
        const TRect Inner = Framed ? InflatedRect(Area, -1, -1) : Area;
        DrawGlyph(DC, Brush, Inner, TRect{X, Y, X + Size.cx, Y + Size.cy}, Source, Look);
    }
    if (Style != psCaption && Style != psCaptionGlyph) return;
    TRect Text = R;
    if (Style == psCaptionGlyph) {
        if (Vertical)
            Text.Top = GlyphArea.Bottom;
        else
            Text.Left = GlyphArea.Right;
    } else if (Vertical) {
        Text.Top += Canvas()->Font().Size() / 2;
    } else {
        Text.Left += Canvas()->Font().Size() / 2;
    }
    if (!Flat) {
        const int Shift = (Down ? 1 : 0) + (Pressed ? 1 : 0);
        Text = OffsetRect(Text, Shift, Shift);
    }
    DrawCaption(DC, Text, GetCaption(), false, false, DT_LEFT);
}

void TdxBarButtonControl::PaintInMenu(HDC DC, TRect R) {
    const TdxBarPaintStyle Style = ItemLink()->PaintStyle();
    const bool Down = Button() && Button()->Down();
    const bool ShowGlyph = Style != psCaption && Style != psCaptionInMenu;
    const TRect Text = DrawMenuEntry(DC, R, Down, ShowGlyph, IsPressed());
    if (GetShortCut() == scNone) return;
    const TRect Keys{Text.Left, Text.Top, R.Right - (R.Height() + 5), Text.Bottom};
    DrawCaption(DC, Keys, ShortCutToText(GetShortCut()), IsPressed(), true, DT_RIGHT | DT_NOPREFIX);
}

void TdxBarButtonControl::PaintArrowPart(HDC DC, const TRect& R, bool InMenu) {
    TCustomdxBarControl* Window = Parent();
    const bool Selected = IsSelected();
    const bool Enabled = GetEnabled() && Button() && Button()->DropDownEnabled();
    if (IsFlat()) {
        FillBarRect(DC, R, Selected ? Window->GetSelectedBrush() : Window->BkBrushOfItem());
        if (Selected)
            Frame(DC, R, InMenu ? dxBarSysBrush(COLOR_BTNSHADOW) : BarManager()->FlatFrameBrush());
    } else {
        FillBarRect(DC, R, Window->BkBrushOfItem());
        if (InMenu) {
            RECT Line{R.Left, R.Top, R.Left + 2, R.Bottom};
            DrawEdge(DC, &Line, EDGE_ETCHED, BF_LEFT);
        } else if (Selected) {
            Edge(DC, R, FDroppedDown ? BDR_SUNKENOUTER : BDR_RAISEDINNER);
        }
    }
    DrawRectArrow(DC, R, !InMenu, Enabled, false, IsFlat());
}

// ---- sub-items --------------------------------------------------------------------------------

void TdxBarSubItemControl::Paint(const TRect& R, TdxBarPaintType PaintType) {
    if (IsRectEmpty(R)) return;
    const HDC DC = Canvas()->Handle();
    TCustomdxBarControl* Window = Parent();
    TdxBarManager* M = BarManager();
    const bool Flat = IsFlat();
    const bool Open = GetSubMenuControl() != nullptr;
    if (PaintType == ptMenu) {
        const TRect Text = DrawMenuEntry(DC, R, false, HasGlyph(), IsSelected());
        const int Size = Window->FifthTextSize();
        const TRect Arrow{Text.Right - Text.Height(), Text.Top, Text.Right, Text.Bottom};
        DrawArrow(DC, Arrow, false, GetEnabled(), IsSelected() && !Flat, Flat, Size);
        return;
    }
    const bool Hot = IsSelected() && GetEnabled();
    HBRUSH Brush = Window->BkBrushOfItem();
    if (Flat && Hot && !Open) Brush = Window->GetSelectedBrush();
    FillBarRect(DC, R, Brush);
    if (Flat && (Hot || Open))
        Frame(DC, R, M->FlatFrameBrush());
    else if (!Flat && (Hot || Open))
        Edge(DC, R, Open ? BDR_SUNKENOUTER : BDR_RAISEDINNER);
    TCustomdxBarSubItem* Sub = SubItem();
    const bool ShowCaption = !Sub || Sub->ShowCaption();
    const bool Vertical = PaintType == ptVertical || IsVertical();
    TRect Text = R;
    if (HasGlyph() || !ShowCaption) {
        const TRect Area = Vertical ? TRect{R.Left, R.Top, R.Right, R.Top + M->ButtonHeight()}
                                    : TRect{R.Left, R.Top, R.Left + M->ButtonWidth(), R.Bottom};
        DrawGlyphArea(DC, Area, Open && !Flat, false, GetEnabled(), false, false);
        if (Vertical)
            Text.Top = Area.Bottom;
        else
            Text.Left = Area.Right;
    } else {
        const int Indent = (std::abs(Canvas()->Font().Height()) & ~1) / 2;
        if (Vertical)
            Text.Top += Indent;
        else
            Text.Left += Indent;
    }
    if (!Flat && Open) Text = OffsetRect(Text, 1, 1);
    auto* Bar = dynamic_cast<TdxBarControl*>(Window);
    const bool Arrow = Bar && !Bar->Bar()->IsMainMenu();
    if (Arrow) Text.Right -= Window->TextSize() / 2;
    if (ShowCaption) DrawCaption(DC, Text, GetCaption(), false, false, DT_LEFT);
    if (Arrow) {
        const TRect Place{Text.Right, R.Top, R.Right, R.Bottom};
        DrawArrow(DC, Place, !Vertical, GetEnabled(), false, Flat, Window->FifthTextSize() - 1);
    }
}
