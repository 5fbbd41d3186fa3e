#include "bars/customize/dxBarCustLists.h"

#include <algorithm>

#include "bars/look/dxBarDraw.h"
#include "bars/model/dxBarCategories.h"
#include "bars/model/dxBarContainerItems.h"
#include "bars/model/dxBarGroups.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarItems.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarStoredValues.h"
#include "bars/model/dxBarTypes.h"
#include "bars/model/dxBarWindowItems.h"
#include "bars/model/dxBars.h"
#include "bars/windows/dxBarControl.h"
#include "bars/windows/dxBarDock.h"
#include "bars/windows/dxBarDropDownList.h"
#include "bars/windows/dxBarEditControls.h"
#include "bars/windows/dxBarItemControls.h"
#include "bars/windows/dxBarPopupMenus.h"
#include "bars/windows/dxBarToolbar.h"
#include "platform/classes/Mnemonics.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/RectMath.h"
#include "platform/shell/Sound.h"

namespace dxBarCustForm {

namespace {

// The submenu arrow of a sub-item entry: a triangle 7 pixels high pointing right.
void DrawSubMenuArrow(HDC DC, int X, int Y) {
    const POINT Points[3] = {{X, Y}, {X, Y + 6}, {X + 3, Y + 3}};
    Polygon(DC, Points, 3);
}

// A drop-down arrow pointing down in a part of the entry.
void DrawDropDownPart(HDC DC, TRect Part, bool Flat) {
    RECT R = Part;
    if (Flat) {
        FrameRect(DC, &R, GetSysColorBrush(COLOR_BTNSHADOW));
    } else {
        FillRect(DC, &R, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(DC, &R, BDR_RAISEDINNER, BF_RECT);
    }
    DrawRectArrow(DC, InflatedRect(Part, -1, -1), true, true, false, Flat);
}

bool ShowsCaptionInParentheses(TdxBarItem* Item) {
    return dynamic_cast<TCustomdxBarContainerItem*>(Item) != nullptr;
}

}  // namespace

// --- the bars list ---------------------------------------------------------------------------

TCheckListBox::TCheckListBox(TComponent* AOwner) : TListBox(AOwner) {
    SetStyle(lbOwnerDrawFixed);
}

TdxBar* TCheckListBox::Bar(int Index) {
    if (Index < 0 || Index >= Items()->Count()) return nullptr;
    return static_cast<TdxBar*>(Items()->GetObject(Index));
}

void TCheckListBox::InvalidateCheck(int Index) {
    if (!HandleAllocated() || Index < 0) return;
    RECT R = ItemRect(Index);
    R.right = R.left + CheckWidth();
    InvalidateRect(Handle(), &R, FALSE);
}

void TCheckListBox::ToggleBar(int Index) {
    TdxBar* Target = Bar(Index);
    if (!Target) return;
    if (!Target->CanClose()) {
        MessageBeep(0);
        return;
    }
    Target->SetVisible(!Target->Visible());
    InvalidateCheck(Index);
}

void TCheckListBox::KeyPress(char& Key) {
    TListBox::KeyPress(Key);
    if (Key != ' ') return;
    ToggleBar(ItemIndex());
    Key = 0;
}

void TCheckListBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            // The list selects the entry first: the dialog's buttons follow the bar toggled.
            TListBox::Dispatch(Message);
            const POINT P = MessagePoint(Message.LParam);
            const int Index = ItemAtPos(TPoint{P.x, P.y}, true);
            if (Index < 0) return;
            const bool InCheck = P.x < ItemRect(Index).Left + CheckWidth();
            // A double click in the column came after its own first click, which toggled.
            if (Message.Msg == WM_LBUTTONDOWN ? InCheck : true) ToggleBar(Index);
            return;
        }
        default:
            TListBox::Dispatch(Message);
    }
}

void TCheckListBox::DrawCheck(HDC DC, TRect Column, int Index) {
    RECT Back = Column;
    FillRect(DC, &Back, GetSysColorBrush(COLOR_WINDOW));
    TdxBar* Target = Bar(Index);
    if (!Target) return;
    // One pixel of margin above and below, centred in the row.
    const int Side = std::min(13, Column.Height() - 2);
    if (Side <= 0) return;
    const int X = Column.Left + (Column.Width() - Side) / 2;
    const int Y = Column.Top + (Column.Height() - Side) / 2;
    RECT Box{X, Y, X + Side, Y + Side};
    UINT Flags = DFCS_BUTTONCHECK;
    if (Target->Visible()) Flags |= DFCS_CHECKED;
    if (!Target->CanClose()) Flags |= DFCS_INACTIVE;
    DrawFrameControl(DC, &Box, DFC_BUTTON, Flags);
}

void TCheckListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    TRect Column = Rect;
    Column.Right = std::min(Rect.Left + CheckWidth(), Rect.Right);
    DrawCheck(Canvas()->Handle(), Column, Index);
    Rect.Left = Column.Right;
    TListBox::DrawItem(Index, Rect, State);
}

// --- the commands list -----------------------------------------------------------------------

TCommandsListBox::TCommandsListBox(TComponent* AOwner) : TListBox(AOwner) {
    SetStyle(lbOwnerDrawVariable);
}

TdxBarItem* TCommandsListBox::Item(int Index) {
    if (Index < 0 || Index >= Items()->Count()) return nullptr;
    return static_cast<TdxBarItem*>(Items()->GetObject(Index));
}

void TCommandsListBox::MeasureItem(int, int& Height) {
    Height = kItemHeight;
}

void TCommandsListBox::PressedAt(TMessage& Message, bool Left) {
    const POINT P = MessagePoint(Message.LParam);
    const int Index = ItemAtPos(TPoint{P.x, P.y}, true);
    if (!Left) {
        if (Index >= 0) SetItemIndex(Index);
        return;
    }
    if (Index < 0 || Index != ItemIndex()) return;
    FDragItem = Item(Index);
    FDragFrom = TPoint{P.x, P.y};
}

void TCommandsListBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_LBUTTONDOWN:
            TListBox::Dispatch(Message);
            PressedAt(Message, true);
            return;
        case WM_RBUTTONDOWN:
            PressedAt(Message, false);
            TListBox::Dispatch(Message);
            return;
        case WM_MOUSEMOVE: {
            TListBox::Dispatch(Message);
            if (!FDragItem) return;
            if (!(Message.WParam & MK_LBUTTON)) {
                FDragItem = nullptr;
                return;
            }
            const POINT P = MessagePoint(Message.LParam);
            const int DX = GetSystemMetrics(SM_CXDRAG), DY = GetSystemMetrics(SM_CYDRAG);
            if (std::abs(P.x - FDragFrom.X) < DX && std::abs(P.y - FDragFrom.Y) < DY) return;
            TdxBarItem* Dragged = FDragItem;
            FDragItem = nullptr;
            // The drag loop takes the mouse from here on, from the entry that was pressed.
            if (GetCapture() == Handle()) ReleaseCapture();
            SetItemIndex(Items()->IndexOfObject(Dragged));
            if (OnDragItem) OnDragItem(Dragged);
            return;
        }
        case WM_LBUTTONUP:
        case WM_CANCELMODE:
        case WM_CAPTURECHANGED:
            FDragItem = nullptr;
            TListBox::Dispatch(Message);
            return;
        case WM_SETFOCUS:
            TListBox::Dispatch(Message);
            if (ItemIndex() < 0 && Items()->Count() > 0) SetItemIndex(0);
            return;
        default:
            TListBox::Dispatch(Message);
    }
}

// How an entry looks: the manager's style and whether the entry is selected.
struct TCommandsListBox::TLook {
    bool Flat;
    bool Selected;
    HBRUSH Back;
    // Text and arrows.
    int TextColor() const { return Selected && !Flat ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT; }
};

void TCommandsListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    TdxBarItem* Command = Item(Index);
    HDC DC = Canvas()->Handle();
    TLook Look{FBarManager && FBarManager->IsFlat(), State.Contains(odSelected), 0};
    Look.Back = GetSysColorBrush(Look.Flat ? COLOR_WINDOW : COLOR_BTNFACE);
    if (Look.Selected)
        Look.Back =
            Look.Flat ? FBarManager->FlatSelectedBrush() : GetSysColorBrush(COLOR_HIGHLIGHT);
    RECT Whole = Rect;
    FillRect(DC, &Whole, Look.Back);
    if (!Command) return;
    DrawGlyphColumn(DC, Command, Rect, Look);
    if (Look.Selected && Look.Flat) FrameRect(DC, &Whole, FBarManager->FlatFrameBrush());

    // Neither the marks nor the underlines of accelerators: the list is not a menu.
    std::string Caption = StripMnemonics(Command->Caption());
    if (ShowsCaptionInParentheses(Command)) Caption = "(" + Caption + ")";
    SetTextColor(DC, GetSysColor(Look.TextColor()));
    SetBkMode(DC, TRANSPARENT);
    RECT Text{Rect.Left + (Look.Flat ? Rect.Height() + 10 : 24 + 2), Rect.Top, Rect.Right - 2,
              Rect.Bottom};
    DrawText(DC, Caption, &Text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    DrawText(DC, Caption, &Text, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    DrawKind(DC, Command, Rect, Text.right, Look);
}

void TCommandsListBox::DrawGlyphColumn(HDC DC, TdxBarItem* Command, TRect Rect, const TLook& Look) {
    TRect Column{Rect.Left, Rect.Top, Rect.Left + (Look.Flat ? Rect.Height() : 23), Rect.Bottom};
    if (!Look.Flat) {
        RECT Face = Column;
        FillRect(DC, &Face, GetSysColorBrush(COLOR_BTNFACE));
        RECT Line{Column.Right - 1, Column.Top, Column.Right, Column.Bottom};
        FillRect(DC, &Line, GetSysColorBrush(COLOR_BTNSHADOW));
        Column.Right -= 1;
    }
    TdxBarGlyphSource Source;
    Source.Glyph = Command->Glyph();
    Source.ImageList = FBarManager ? FBarManager->Images() : nullptr;
    Source.ImageIndex = Command->ImageIndex();
    if (FBarManager) Source.ImageListBkColor = FBarManager->ImageListBkColor();
    TSize Size{0, 0};
    if (!Source.Glyph->Empty())
        Size = TSize{Source.Glyph->Width(), Source.Glyph->Height()};
    else if (Source.ImageList && Source.ImageIndex >= 0 &&
             Source.ImageIndex < Source.ImageList->Count())
        Size = TSize{Source.ImageList->Width(), Source.ImageList->Height()};
    if (Size.cx == 0) return;
    const int X = Column.Left + (Column.Width() - Size.cx) / 2;
    const int Y = Column.Top + (Column.Height() - Size.cy) / 2;
    const TRect At{X, Y, X + Size.cx, Y + Size.cy};
    TdxBarGlyphLook GlyphLook;
    GlyphLook.Flat = Look.Flat;
    DrawGlyph(DC, Look.Flat ? Look.Back : GetSysColorBrush(COLOR_BTNFACE), At, At, Source,
              GlyphLook);
    if (Look.Selected && !Look.Flat) {
        RECT Edge = InflatedRect(At, 2, 2);
        DrawEdge(DC, &Edge, BDR_RAISEDINNER, BF_RECT);
    }
}

void TCommandsListBox::DrawKind(HDC DC, TdxBarItem* Command, TRect Rect, int CaptionRight,
                                const TLook& Look) {
    HGDIOBJ OldBrush = SelectObject(DC, GetSysColorBrush(Look.TextColor()));
    HGDIOBJ OldPen = SelectObject(DC, GetStockObject(NULL_PEN));
    if (auto* Button = dynamic_cast<TdxBarButton*>(Command);
        Button && Button->ButtonStyle() == bsDropDown) {
        DrawDropDownPart(DC, TRect{Rect.Right - 13, Rect.Top + 1, Rect.Right - 1, Rect.Bottom - 1},
                         Look.Flat);
    } else if (dynamic_cast<TCustomdxBarSubItem*>(Command) && !ShowsCaptionInParentheses(Command)) {
        DrawSubMenuArrow(DC, Rect.Right - 9, Rect.Top + 7);
    } else if (dynamic_cast<TdxBarEdit*>(Command)) {
        const TRect Box{std::max(CaptionRight + 8, Rect.Left + Rect.Width() / 2), Rect.Top + 3,
                        Rect.Right - 3, Rect.Bottom - 3};
        RECT Field = Box;
        FillRect(DC, &Field, GetSysColorBrush(COLOR_WINDOW));
        if (Look.Flat)
            FrameRect(DC, &Field, GetSysColorBrush(COLOR_BTNSHADOW));
        else
            DrawEdge(DC, &Field, EDGE_SUNKEN, BF_RECT);
        if (dynamic_cast<TCustomdxBarCombo*>(Command)) {
            const int Inset = Look.Flat ? 1 : 2;
            DrawDropDownPart(DC,
                             TRect{Box.Right - Inset - 12, Box.Top + Inset, Box.Right - Inset,
                                   Box.Bottom - Inset},
                             Look.Flat);
        }
    }
    SelectObject(DC, OldPen);
    SelectObject(DC, OldBrush);
}

}  // namespace dxBarCustForm
