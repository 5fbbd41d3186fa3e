// The combos' drop-down window: opening and closing it beside the combo's control, the list of a
// TdxBarCustomCombo (filled from Items, measured and drawn by the combo), and the list window's
// mouse and keys.
#include "bars/windows/dxBarDropDownList.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "bars/look/dxBarSystem.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarWindowItems.h"
#include "bars/windows/dxBarControl.h"
#include "bars/windows/dxBarEditControls.h"
#include "platform/controls/ListBox.h"
#include "platform/controls/OwnerDraw.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/core/Screens.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/RectMath.h"
#include "platform/widgets/Forms.h"

namespace {

// The list windows that are open now.
std::vector<HWND>& OpenLists() {
    static std::vector<HWND> Lists;
    return Lists;
}

constexpr int kFrame = 2;

}  // namespace

bool IsdxBarDropDownWindow(HWND Wnd) {
    const auto& Lists = OpenLists();
    return Wnd && std::find(Lists.begin(), Lists.end(), Wnd) != Lists.end();
}

TPoint PlaceDropDown(TPoint At, TSize Size, TSize ItemSize, bool Beside, const TRect& Work) {
    int X = At.X, Y = At.Y;
    if (Beside) {
        if (X + Size.cx > Work.Right && Work.Right - X < X - ItemSize.cx - Work.Left)
            X -= ItemSize.cx + Size.cx;
        if (Y + Size.cy > Work.Bottom) Y = Work.Bottom - Size.cy;
    } else {
        if (X + Size.cx > Work.Right) X = Work.Right - Size.cx;
        if (Y + Size.cy > Work.Bottom && Work.Bottom - Y < Y - ItemSize.cy - Work.Top)
            Y -= ItemSize.cy + Size.cy;
    }
    return TPoint{std::max(X, 0), std::max(Y, 0)};
}

// ---- opening and closing ----------------------------------------------------------------------

void ShowDropDownWindow(HWND Window, TCustomdxBarComboControl* Control, TPoint At) {
    RECT Bounds;
    GetWindowRect(Window, &Bounds);
    const TSize Size{Bounds.right - Bounds.left, Bounds.bottom - Bounds.top};
    const TRect Item = Control->ItemLink()->ItemRect();
    const bool Beside = Control->InSubMenu() || Control->IsVertical();
    const TPoint Place = PlaceDropDown(At, Size, TSize{Item.Width(), Item.Height()}, Beside,
                                       ToTRect(WorkAreaAt(POINT{At.X, At.Y})));
    SetWindowPos(Window, 0, Place.X, Place.Y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOZORDER);
    ShowWindow(Window, SW_SHOWNOACTIVATE);
    OpenLists().push_back(Window);
    if (GetKeyState(VK_LBUTTON) < 0) {
        if (auto* List = dynamic_cast<TdxBarDropDownListBox*>(FindControl(Window)))
            List->SetTracking(true);
        SetCapture(Window);
    }
}

void HideDropDownWindow(HWND Window) {
    auto& Lists = OpenLists();
    Lists.erase(std::remove(Lists.begin(), Lists.end(), Window), Lists.end());
    if (Window) {
        if (GetCapture() == Window) ReleaseCapture();
        ShowWindow(Window, SW_HIDE);
    }
}

// ---- the list of a custom combo ---------------------------------------------------------------

TdxBarDropDownListBox* ComboListBox(TdxBarCustomCombo* Combo) {
    if (!Combo->HeldListBox()) Combo->HoldListBox(new TdxBarDropDownListBox(Combo));
    return Combo->HeldListBox();
}

HWND ComboListWindow(TdxBarCustomCombo* Combo) {
    if (!Combo->DroppedDownControl()) {
        // Opening: the list needs the form as its parent (its rows are drawn through it).
        TdxBarManager* Manager = Combo->BarManager();
        TCustomForm* Form = Manager ? Manager->OwnerForm() : nullptr;
        if (!Form) return 0;
        if (ComboListBox(Combo)->Parent() != Form) ComboListBox(Combo)->SetParent(Form);
    }
    return ComboListBox(Combo)->Handle();
}

void FillComboList(TdxBarCustomCombo* Combo, HWND Window, TCustomdxBarComboControl* Control) {
    TdxBarDropDownListBox* List = ComboListBox(Combo);
    if (!List->HandleAllocated() || List->Handle() != Window) return;
    TCustomdxBarControl* Bar = Control->Parent();
    List->Canvas()->Font().SetHandle(Bar->GetFontHandle());
    List->Items()->Assign(*Combo->Items());
    int Height = 0;
    Combo->MeasureItem(0, Height);
    List->SetItemHeight(std::clamp(Height, 1, 255));
    const int Rows =
        std::min(std::max(Combo->DropDownCount, 1), std::max(Combo->Items()->Count(), 1));
    int Total = 0;
    for (int I = 0; I < Rows; ++I) {
        int H = 0;
        Combo->MeasureItem(I, H);
        Total += std::clamp(H, 1, 255);
    }
    const int ControlWidth =
        Control->ItemLink()->ItemRect().Width() - Control->Parent()->DoubleDigitWidth();
    SetWindowPos(Window, 0, 0, 0, Combo->GetDropDownWidth(ControlWidth), Total + 2 * kFrame,
                 SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    auto* ComboControl = dynamic_cast<TdxBarComboControl*>(Control);
    const int Current =
        ComboControl && Control->Focused() ? ComboControl->CurItemIndex() : Combo->ItemIndex();
    List->SetItemIndex(Current);
    if (Current >= 0) List->SetTopIndex(Current);
}

void ComboListClosed(TdxBarCustomCombo* Combo) {
    if (TdxBarDropDownListBox* List = Combo->HeldListBox()) List->SetParent(nullptr);
}

void FreeComboList(TdxBarCustomCombo* Combo) {
    if (TdxBarDropDownListBox* List = Combo->TakeListBox()) List->Free();
}

TSize ComboListTextExtent(TdxBarCustomCombo* Combo, const std::string& Text) {
    return TextExtentOf(ComboListBox(Combo)->Canvas()->Font().Handle(), Text);
}

void SyncComboListToText(TdxBarCustomCombo* Combo, const std::string& Text, int Index) {
    TdxBarDropDownListBox* List = Combo->HeldListBox();
    if (!List || !List->HandleAllocated()) return;
    auto Upper = [](std::string S) {
        for (char& C : S) C = char(std::toupper(static_cast<unsigned char>(C)));
        return S;
    };
    if (Index >= 0 && Index < Combo->Items()->Count() &&
        Upper(Combo->Items()->Get(Index)) == Upper(Text)) {
        List->SetItemIndex(Index);
        return;
    }
    List->SetItemIndex(-1);
    if (Index >= 0) List->SetTopIndex(Index);
}

// ---- the list window --------------------------------------------------------------------------

TdxBarDropDownListBox::TdxBarDropDownListBox(TdxBarCustomCombo* Combo)
    : TCustomListBox(Combo), FCombo(Combo) {
    SetVisible(false);
    SetStyle(lbOwnerDrawFixed);
    SetBorderStyle(bsNone);
    SetTabStop(false);
}

void TdxBarDropDownListBox::CreateParams(TCreateParams& Params) {
    TCustomListBox::CreateParams(Params);
    Params.Style = (Params.Style & ~(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER)) | WS_POPUP |
                   WS_VSCROLL | LBS_NOTIFY;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    Params.WindowClass.style |= CS_SAVEBITS;
}

void TdxBarDropDownListBox::SelectRow(int Index) {
    const int Before = ItemIndex();
    if (Index != Before) SetItemIndex(Index);
    ShowSelection(Before);
}

void TdxBarDropDownListBox::ShowSelection(int Before) {
    const int Now = ItemIndex();
    if (Now == Before || Now < 0) return;
    if (auto* Control = dynamic_cast<TdxBarComboControl*>(FCombo->DroppedDownControl()))
        Control->SetCurItemIndex(Now);
}

void TdxBarDropDownListBox::Choose() {
    TCustomdxBarComboControl* Control = FCombo->DroppedDownControl();
    const int Row = ItemIndex();
    if (Control) {
        try {
            Control->ItemLink()->SourceLink()->RecordUse();
        } catch (...) {
        }
        if (TCustomdxBarControl* Bar = Control->Parent(); !BarWindowGone(Bar)) Bar->HideAll();
    }
    // Closing the menus may already have closed the list (its control went).
    if (FCombo->DroppedDownControl()) FCombo->CloseUp();
    if (Row >= 0) FCombo->SetItemIndex(Row);
}

void TdxBarDropDownListBox::PaintFrame() {
    const HDC DC = GetWindowDC(Handle());
    RECT R;
    GetWindowRect(Handle(), &R);
    RECT Frame{0, 0, R.right - R.left, R.bottom - R.top};
    if (FCombo->BarManager() && FCombo->BarManager()->IsFlat()) {
        FrameRect(DC, &Frame, dxBarSysBrush(COLOR_BTNSHADOW));
        InflateRect(&Frame, -1, -1);
        FrameRect(DC, &Frame, dxBarSysBrush(COLOR_WINDOW));
    } else {
        DrawEdge(DC, &Frame, EDGE_RAISED, BF_RECT);
    }
    ReleaseDC(Handle(), DC);
}

void TdxBarDropDownListBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_NCCALCSIZE: {
            RECT* R = Message.WParam
                          ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                          : reinterpret_cast<RECT*>(Message.LParam);
            const RECT Outer = *R;
            TCustomListBox::Dispatch(Message);
            // The frame comes on top of what the list takes (its scroll bar).
            R->left = std::max(R->left, Outer.left + kFrame);
            R->top = std::max(R->top, Outer.top + kFrame);
            R->right = std::min(R->right, Outer.right - kFrame);
            R->bottom = std::min(R->bottom, Outer.bottom - kFrame);
            return;
        }
        case WM_NCPAINT:
            TCustomListBox::Dispatch(Message);
            PaintFrame();
            return;
        case WM_ERASEBKGND:
            Message.Result = 1;
            return;
        case WM_MOUSEACTIVATE:
            Message.Result = MA_NOACTIVATE;
            return;
        case WM_MOUSEMOVE: {
            const TPoint P = PointOf(Message.LParam);
            if (FTracking && PtInRect(ClientRect(), P)) {
                FTracking = false;
                SendMessage(Handle(), WM_LBUTTONDOWN, MK_LBUTTON, Message.LParam);
            }
            if (PtInRect(ClientRect(), P)) SelectRow(ItemAtPos(P, true));
            return;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            // Selected here rather than by the list's own press, which would take the focus
            // from the combo's editor (and so close the menus).
            const TPoint P = PointOf(Message.LParam);
            SetCapture(Handle());
            if (PtInRect(ClientRect(), P)) SelectRow(ItemAtPos(P, true));
            return;
        }
        case WM_LBUTTONUP:
            if (FTracking) {
                FTracking = false;
                if (GetCapture() == Handle()) ReleaseCapture();
                return;
            }
            if (GetCapture() == Handle()) ReleaseCapture();
            Choose();
            return;
        case WM_CAPTURECHANGED:
            FTracking = false;
            break;
        case WM_KEYDOWN: {
            if (ItemIndex() < 0 && Items()->Count() > 0) SetItemIndex(TopIndex());
            const int Before = ItemIndex();
            TCustomListBox::Dispatch(Message);
            ShowSelection(Before);
            return;
        }
        default:
            break;
    }
    TCustomListBox::Dispatch(Message);
}

void TdxBarDropDownListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    unsigned Flags = 0;
    if (State.Contains(odSelected)) Flags |= ODS_SELECTED;
    // The list draws the focus rectangle itself.
    FCombo->DrawItem(Canvas(), Index, Rect, Flags, false);
}

void TdxBarDropDownListBox::MeasureItem(int Index, int& Height) {
    FCombo->MeasureItem(Index, Height);
}
