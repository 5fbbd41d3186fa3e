#include "platform/controls/TabControlWindow.h"

#include <algorithm>

#include "platform/controls/ControlLook.h"
#include "platform/controls/ItemTexts.h"
#include "platform/controls/Limits.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/gdi/Gdi.h"

namespace {

// Room around a tab's text and image.
constexpr int kPadX = 6;
constexpr int kPadY = 3;
// Tabs keep this far from the control's left and top edge, where the selected tab grows.
constexpr int kMargin = 2;
// The display area lies this far inside the pane: its raised edge and a gap.
constexpr int kPaneInset = 4;
// Between push buttons (TCS_BUTTONS).
constexpr int kButtonGap = 3;
// The scroll arrows of a line that does not fit.
constexpr int kArrowSide = 16;

void Line(HDC DC, int Left, int Top, int Right, int Bottom, int SysColour) {
    const RECT R{Left, Top, Right, Bottom};
    FillRect(DC, &R, GetSysColorBrush(SysColour));
}

}  // namespace

TTabControlWindow::TTabControlWindow(HWND Wnd) : TWrappedControl(Wnd) {}

QWidget* TTabControlWindow::CreateWidget(QWidget*, const CREATESTRUCT&) {
    // Drawn by the window itself: the program's pages are windows over the display area and
    // must show above the control.
    return nullptr;
}

HFONT TTabControlWindow::Font() const {
    return FontOrDefault(FFont);
}

void TTabControlWindow::Relayout() {
    InvalidateRect(Handle(), nullptr, TRUE);
}

LRESULT TTabControlWindow::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
    const int Index = static_cast<int>(static_cast<LONG_PTR>(WParam));
    switch (Msg) {
        case TCM_INSERTITEM:
            return InsertItem(Index, reinterpret_cast<const TCITEM*>(LParam));
        case TCM_DELETEITEM:
            return DeleteItem(Index);
        case TCM_DELETEALLITEMS:
            FTabs.clear();
            FCurrent = -1;
            FFirst = 0;
            Relayout();
            return TRUE;
        case TCM_GETITEMCOUNT:
            return static_cast<LRESULT>(FTabs.size());
        case TCM_GETITEM:
            return GetItem(Index, reinterpret_cast<TCITEM*>(LParam));
        case TCM_SETITEM:
            return SetItem(Index, reinterpret_cast<const TCITEM*>(LParam));
        case TCM_GETCURSEL:
        case TCM_GETCURFOCUS:
            return FCurrent;
        case TCM_SETCURSEL:
            return SetCurSel(Index);
        case TCM_SETCURFOCUS:
            if (Index >= 0 && Index < static_cast<int>(FTabs.size())) Choose(Index);
            return 0;
        case TCM_ADJUSTRECT:
            return AdjustRect(WParam != 0, reinterpret_cast<RECT*>(LParam));
        case TCM_GETITEMRECT: {
            auto* Rect = reinterpret_cast<RECT*>(LParam);
            const TLayout L = Layout();
            if (!Rect || Index < 0 || Index >= static_cast<int>(L.Tabs.size())) return FALSE;
            *Rect = L.Tabs[static_cast<size_t>(Index)];
            return TRUE;
        }
        case TCM_HITTEST:
            return HitTest(reinterpret_cast<TCHITTESTINFO*>(LParam));
        case TCM_SETIMAGELIST: {
            const HIMAGELIST Old = FImages;
            FImages = static_cast<HIMAGELIST>(LParam);
            Relayout();
            return static_cast<LRESULT>(Old);
        }
        case TCM_GETIMAGELIST:
            return static_cast<LRESULT>(FImages);
        case TCM_GETROWCOUNT:
            return Layout().Rows;
        case WM_SETFONT:
            FFont = static_cast<HFONT>(WParam);
            if (LOWORD(static_cast<std::uintptr_t>(LParam))) Relayout();
            return 0;
        case WM_GETFONT:
            return static_cast<LRESULT>(FFont);
        case WM_SIZE:
        case WM_STYLECHANGED:
            Relayout();
            return 0;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            FFocused = Msg == WM_SETFOCUS;
            Relayout();
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            Press(MessagePoint(LParam));
            return 0;
        case WM_LBUTTONUP:
            if (FPressed) {
                FPressed = false;
                Notify(NM_CLICK);
            }
            return 0;
        case WM_RBUTTONUP:
            // A parent that answers NM_RCLICK has shown its menu itself.
            if (Notify(NM_RCLICK) == 0 && IsWindow(Handle()))
                return DefWindowProc(Handle(), Msg, WParam, LParam);
            return 0;
        case WM_KEYDOWN:
            KeyDown(WParam, LParam);
            return 0;
        default:
            break;
    }
    // Other input is the default window's: the base would forward it to a widget.
    if ((Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSELAST) || Msg == WM_KEYUP || Msg == WM_CHAR)
        return DefWindowProc(Handle(), Msg, WParam, LParam);
    return TWrappedControl::WndProc(Msg, WParam, LParam);
}

// ---- tabs
// ----------------------------------------------------------------------------------------

LRESULT TTabControlWindow::InsertItem(int Index, const TCITEM* Item) {
    if (!Item || Index < 0 || static_cast<int>(FTabs.size()) >= ControlsLimits::kMaxTabs) return -1;
    Index = std::min(Index, static_cast<int>(FTabs.size()));
    TTab Tab;
    if (Item->mask & TCIF_TEXT) Tab.Text = ItemTextFrom(Item->pszText);
    if (Item->mask & TCIF_IMAGE) Tab.Image = Item->iImage;
    if (Item->mask & TCIF_PARAM) Tab.Param = Item->lParam;
    if (Item->mask & TCIF_STATE) Tab.State = Item->dwState & Item->dwStateMask;
    FTabs.insert(FTabs.begin() + Index, std::move(Tab));
    if (FCurrent < 0) {
        FCurrent = 0;
    } else if (Index <= FCurrent) {
        ++FCurrent;
    }
    Relayout();
    return Index;
}

LRESULT TTabControlWindow::DeleteItem(int Index) {
    if (Index < 0 || Index >= static_cast<int>(FTabs.size())) return FALSE;
    FTabs.erase(FTabs.begin() + Index);
    if (Index == FCurrent) {
        FCurrent = -1;
    } else if (Index < FCurrent) {
        --FCurrent;
    }
    FFirst = std::clamp(FFirst, 0, std::max(0, static_cast<int>(FTabs.size()) - 1));
    Relayout();
    return TRUE;
}

LRESULT TTabControlWindow::GetItem(int Index, TCITEM* Item) const {
    if (!Item || Index < 0 || Index >= static_cast<int>(FTabs.size())) return FALSE;
    const TTab& Tab = FTabs[static_cast<size_t>(Index)];
    if (Item->mask & TCIF_TEXT) ItemTextTo(Tab.Text, Item->pszText, Item->cchTextMax);
    if (Item->mask & TCIF_IMAGE) Item->iImage = Tab.Image;
    if (Item->mask & TCIF_PARAM) Item->lParam = Tab.Param;
    if (Item->mask & TCIF_STATE) Item->dwState = Tab.State & Item->dwStateMask;
    return TRUE;
}

LRESULT TTabControlWindow::SetItem(int Index, const TCITEM* Item) {
    if (!Item || Index < 0 || Index >= static_cast<int>(FTabs.size())) return FALSE;
    TTab& Tab = FTabs[static_cast<size_t>(Index)];
    if (Item->mask & TCIF_TEXT) Tab.Text = ItemTextFrom(Item->pszText);
    if (Item->mask & TCIF_IMAGE) Tab.Image = Item->iImage;
    if (Item->mask & TCIF_PARAM) Tab.Param = Item->lParam;
    if (Item->mask & TCIF_STATE)
        Tab.State = (Tab.State & ~Item->dwStateMask) | (Item->dwState & Item->dwStateMask);
    Relayout();
    return TRUE;
}

LRESULT TTabControlWindow::SetCurSel(int Index) {
    if (Index < 0 || Index >= static_cast<int>(FTabs.size())) return -1;
    const int Old = FCurrent;
    FCurrent = Index;
    if (FCurrent < FFirst) FFirst = FCurrent;
    // On a line that scrolls, scroll until the selected tab is whole.
    for (TLayout L = Layout(); L.Scrolls && FFirst < FCurrent &&
                               L.Tabs[static_cast<size_t>(FCurrent)].right > L.Back.left;
         L = Layout())
        ++FFirst;
    Relayout();
    return Old;
}

bool TTabControlWindow::Choose(int Index) {
    if (Index < 0 || Index >= static_cast<int>(FTabs.size()) || Index == FCurrent) return false;
    if (Notify(TCN_SELCHANGING) != 0 || !IsWindow(Handle())) return false;
    SetCurSel(Index);
    Notify(TCN_SELCHANGE);
    return true;
}

// ---- geometry
// ------------------------------------------------------------------------------------

int TTabControlWindow::TabHeight() const {
    const HDC DC = CreateCompatibleDC(0);
    SelectObject(DC, Font());
    TEXTMETRIC Metrics;
    GetTextMetrics(DC, &Metrics);
    DeleteDC(DC);
    int ImageWidth = 0;
    int ImageHeight = 0;
    if (FImages) ImageList_GetIconSize(FImages, &ImageWidth, &ImageHeight);
    return std::max(static_cast<int>(Metrics.tmHeight), ImageHeight) + 2 * kPadY - 1;
}

int TTabControlWindow::TabWidth(const TTab& Tab, HDC DC) const {
    RECT Text{0, 0, 0, 0};
    DrawText(DC, Tab.Text, &Text, DT_SINGLELINE | DT_CALCRECT);
    int Width = (Text.right - Text.left) + 2 * kPadX;
    int ImageWidth = 0;
    int ImageHeight = 0;
    if (FImages && Tab.Image >= 0 && ImageList_GetIconSize(FImages, &ImageWidth, &ImageHeight))
        Width += ImageWidth + 3;
    return Width;
}

TTabControlWindow::TLayout TTabControlWindow::Layout() const {
    TLayout L;
    RECT C;
    GetClientRect(Handle(), &C);
    const bool Buttons = Style() & TCS_BUTTONS;
    const int Height = TabHeight();
    const int Step = Buttons ? Height + kButtonGap : Height;
    const int Left = Buttons ? 0 : kMargin;
    const int Room = std::max(1, static_cast<int>(C.right) - (Buttons ? 0 : 2 * kMargin));
    const int Gap = Buttons ? kButtonGap : 0;
    const HDC DC = CreateCompatibleDC(0);
    SelectObject(DC, Font());
    std::vector<int> Widths;
    for (const TTab& Tab : FTabs) Widths.push_back(TabWidth(Tab, DC));
    DeleteDC(DC);
    const int Top = Buttons ? 0 : kMargin;
    L.Tabs.resize(FTabs.size());
    if (Style() & TCS_MULTILINE) {
        // Rows filled from the left; the selected tab's row goes next to the pane.
        std::vector<std::pair<size_t, size_t>> Rows;
        int Used = 0;
        for (size_t I = 0; I < Widths.size(); ++I) {
            if (Rows.empty() || (Used + Widths[I] > Room && I > Rows.back().first)) {
                Rows.push_back({I, I});
                Used = 0;
            }
            Rows.back().second = I + 1;
            Used += Widths[I] + Gap;
        }
        size_t Selected = 0;
        for (size_t R = 0; R < Rows.size(); ++R)
            if (FCurrent >= static_cast<int>(Rows[R].first) &&
                FCurrent < static_cast<int>(Rows[R].second))
                Selected = R;
        const size_t Count = Rows.size();
        for (size_t R = 0; R < Count; ++R) {
            const auto [First, End] = Rows[R];
            // Rows after the selected one move above it, in turn.
            const size_t Place = (R + Count - Selected - 1) % Count;
            int Spare = Room;
            for (size_t I = First; I < End; ++I) Spare -= Widths[I] + Gap;
            const bool Justify = Count > 1 && !(Style() & TCS_RAGGEDRIGHT) && Spare > 0;
            int X = Left;
            for (size_t I = First; I < End; ++I) {
                int W = Widths[I];
                if (Justify)
                    W += Spare / static_cast<int>(End - First) +
                         (I - First < static_cast<size_t>(Spare % (End - First)) ? 1 : 0);
                const int Y = Top + static_cast<int>(Place) * Step;
                L.Tabs[I] = RECT{X, Y, X + W, Y + Height};
                X += W + Gap;
            }
        }
        L.Rows = static_cast<int>(std::max<size_t>(1, Count));
    } else {
        int Total = 0;
        for (int W : Widths) Total += W + Gap;
        L.Scrolls = Total > Room && !FTabs.empty();
        int X = Left;
        for (int I = 0; I < FFirst && I < static_cast<int>(Widths.size()); ++I)
            X -= Widths[static_cast<size_t>(I)] + Gap;
        for (size_t I = 0; I < Widths.size(); ++I) {
            L.Tabs[I] = RECT{X, Top, X + Widths[I], Top + Height};
            X += Widths[I] + Gap;
        }
        if (L.Scrolls) {
            const int Y = Top + (Height - kArrowSide) / 2;
            L.Forward = RECT{C.right - kArrowSide, Y, C.right, Y + kArrowSide};
            L.Back = RECT{C.right - 2 * kArrowSide, Y, C.right - kArrowSide, Y + kArrowSide};
        }
        L.Rows = 1;
    }
    const int PaneTop = Buttons ? L.Rows * Step : Top + L.Rows * Height;
    L.Pane = RECT{0, PaneTop, C.right, std::max(static_cast<LONG>(PaneTop), C.bottom)};
    return L;
}

RECT TTabControlWindow::Raised(RECT Tab) const {
    return RECT{Tab.left - 2, Tab.top - 2, Tab.right + 2, Tab.bottom};
}

LRESULT TTabControlWindow::AdjustRect(bool Larger, RECT* Rect) const {
    if (!Rect) return 0;
    const bool Buttons = Style() & TCS_BUTTONS;
    const int Tabs = Layout().Pane.top;
    const int Side = Buttons ? 0 : kPaneInset;
    const int Above = Tabs + Side;
    if (Larger) {
        *Rect = RECT{Rect->left - Side, Rect->top - Above, Rect->right + Side, Rect->bottom + Side};
    } else {
        *Rect = RECT{Rect->left + Side, Rect->top + Above, Rect->right - Side, Rect->bottom - Side};
        if (Rect->right < Rect->left) Rect->right = Rect->left;
        if (Rect->bottom < Rect->top) Rect->bottom = Rect->top;
    }
    return 0;
}

LRESULT TTabControlWindow::HitTest(TCHITTESTINFO* Info) const {
    if (!Info) return -1;
    Info->flags = TCHT_NOWHERE;
    const TLayout L = Layout();
    const bool Buttons = Style() & TCS_BUTTONS;
    auto Hit = [&](int I, const RECT& R) {
        if (!PtInRect(&R, Info->pt)) return false;
        if (L.Scrolls && Info->pt.x >= L.Back.left) return false;
        int ImageWidth = 0;
        int ImageHeight = 0;
        const TTab& Tab = FTabs[static_cast<size_t>(I)];
        const bool OnImage = FImages && Tab.Image >= 0 &&
                             ImageList_GetIconSize(FImages, &ImageWidth, &ImageHeight) &&
                             Info->pt.x >= R.left + kPadX &&
                             Info->pt.x < R.left + kPadX + ImageWidth;
        Info->flags = OnImage ? TCHT_ONITEMICON : TCHT_ONITEMLABEL;
        return true;
    };
    // The selected tab lies over its neighbours.
    if (FCurrent >= 0 && !Buttons && Hit(FCurrent, Raised(L.Tabs[static_cast<size_t>(FCurrent)])))
        return FCurrent;
    for (int I = 0; I < static_cast<int>(L.Tabs.size()); ++I)
        if (Hit(I, L.Tabs[static_cast<size_t>(I)])) return I;
    return -1;
}

// ---- painting
// ------------------------------------------------------------------------------------

void TTabControlWindow::Paint() {
    PAINTSTRUCT Ps;
    const HDC DC = BeginPaint(Handle(), &Ps);
    if (!DC) return;
    const RECT C = PaintFace(Handle(), DC, FFont);
    const TLayout L = Layout();
    const bool Buttons = Style() & TCS_BUTTONS;
    if (!Buttons) {
        // A soft raised edge: white outside at the top and left, as the tabs have.
        const RECT& P = L.Pane;
        Line(DC, P.left, P.top, P.right - 1, P.top + 1, COLOR_3DHIGHLIGHT);
        Line(DC, P.left, P.top, P.left + 1, P.bottom - 1, COLOR_3DHIGHLIGHT);
        Line(DC, P.left + 1, P.top + 1, P.right - 2, P.top + 2, COLOR_3DLIGHT);
        Line(DC, P.left + 1, P.top + 1, P.left + 2, P.bottom - 2, COLOR_3DLIGHT);
        Line(DC, P.left, P.bottom - 1, P.right, P.bottom, COLOR_3DDKSHADOW);
        Line(DC, P.right - 1, P.top, P.right, P.bottom, COLOR_3DDKSHADOW);
        Line(DC, P.left + 1, P.bottom - 2, P.right - 1, P.bottom - 1, COLOR_3DSHADOW);
        Line(DC, P.right - 2, P.top + 1, P.right - 1, P.bottom - 1, COLOR_3DSHADOW);
    }
    const int Saved = SaveDC(DC);
    if (L.Scrolls) IntersectClipRect(DC, 0, 0, L.Back.left, C.bottom);
    for (size_t I = 0; I < FTabs.size(); ++I)
        if (static_cast<int>(I) != FCurrent || Buttons)
            PaintTab(DC, FTabs[I], L.Tabs[I], static_cast<int>(I) == FCurrent);
    if (FCurrent >= 0 && !Buttons)
        PaintTab(DC, FTabs[static_cast<size_t>(FCurrent)], L.Tabs[static_cast<size_t>(FCurrent)],
                 true);
    RestoreDC(DC, Saved);
    if (L.Scrolls) {
        RECT Back = L.Back;
        RECT Forward = L.Forward;
        const bool AtEnd = FTabs.empty() || L.Tabs.back().right <= L.Back.left;
        DrawFrameControl(DC, &Back, DFC_SCROLL,
                         DFCS_SCROLLLEFT | (FFirst == 0 ? DFCS_INACTIVE : 0));
        DrawFrameControl(DC, &Forward, DFC_SCROLL, DFCS_SCROLLRIGHT | (AtEnd ? DFCS_INACTIVE : 0));
    }
    EndPaint(Handle(), &Ps);
}

void TTabControlWindow::PaintTab(HDC DC, const TTab& Tab, RECT R, bool Selected) {
    const bool Buttons = Style() & TCS_BUTTONS;
    if (Buttons) {
        DrawEdge(DC, &R, Selected ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    } else {
        if (Selected) R = Raised(R);
        // The selected tab reaches into the pane and hides its top edge there.
        const int Bottom = Selected ? R.bottom + 2 : R.bottom;
        const RECT Face{R.left + 1, R.top + 1, R.right - 2, Bottom};
        FillRect(DC, &Face, GetSysColorBrush(COLOR_BTNFACE));
        Line(DC, R.left, R.top + 2, R.left + 1, Bottom, COLOR_3DHIGHLIGHT);
        Line(DC, R.left + 1, R.top + 1, R.left + 2, R.top + 2, COLOR_3DHIGHLIGHT);
        Line(DC, R.left + 2, R.top, R.right - 2, R.top + 1, COLOR_3DHIGHLIGHT);
        Line(DC, R.right - 2, R.top + 1, R.right - 1, Bottom, COLOR_3DSHADOW);
        Line(DC, R.right - 1, R.top + 2, R.right, Bottom, COLOR_3DDKSHADOW);
        Line(DC, R.right - 2, R.top + 1, R.right - 1, R.top + 2, COLOR_3DDKSHADOW);
    }
    RECT Inside{R.left + kPadX, R.top, R.right - kPadX, R.bottom};
    if (Selected && !Buttons) OffsetRect(&Inside, 0, -1);
    int ImageWidth = 0;
    int ImageHeight = 0;
    if (FImages && Tab.Image >= 0 && ImageList_GetIconSize(FImages, &ImageWidth, &ImageHeight)) {
        ImageList_Draw(FImages, Tab.Image, DC, Inside.left,
                       Inside.top + (Inside.bottom - Inside.top - ImageHeight) / 2,
                       ILD_TRANSPARENT);
        Inside.left += ImageWidth + 3;
    }
    DrawText(DC, Tab.Text, &Inside, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    if (Selected && FFocused) {
        RECT Focus = R;
        InflateRect(&Focus, -3, -3);
        if (!Buttons) OffsetRect(&Focus, 0, -1);
        DrawFocusRect(DC, &Focus);
    }
}

// ---- input
// ---------------------------------------------------------------------------------------

void TTabControlWindow::Press(POINT At) {
    const TLayout L = Layout();
    if (L.Scrolls && PtInRect(&L.Back, At)) {
        FFirst = std::max(0, FFirst - 1);
        Relayout();
        return;
    }
    if (L.Scrolls && PtInRect(&L.Forward, At)) {
        if (!FTabs.empty() && L.Tabs.back().right > L.Back.left) ++FFirst;
        Relayout();
        return;
    }
    TCHITTESTINFO Hit;
    Hit.pt = At;
    const int Index = static_cast<int>(HitTest(&Hit));
    if (Index < 0) return;
    if (!(Style() & TCS_FOCUSNEVER) && GetFocus() != Handle()) SetFocus(Handle());
    if (!IsWindow(Handle())) return;
    FPressed = true;
    Choose(Index);
}

void TTabControlWindow::KeyDown(WPARAM Key, LPARAM KeyData) {
    NMTCKEYDOWN Note;
    Note.wVKey = static_cast<WORD>(Key);
    Note.flags = KeyFlagsOf(KeyData);
    Notify(TCN_KEYDOWN, &Note.hdr);
    if (!IsWindow(Handle()) || FTabs.empty()) return;
    const int Last = static_cast<int>(FTabs.size()) - 1;
    switch (Key) {
        case VK_LEFT:
            Choose(std::max(0, FCurrent - 1));
            break;
        case VK_RIGHT:
            Choose(std::min(Last, FCurrent + 1));
            break;
        case VK_HOME:
            Choose(0);
            break;
        case VK_END:
            Choose(Last);
            break;
        default:
            break;
    }
}
