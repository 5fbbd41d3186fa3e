// The in-place editor of edit and combo items: its window, opening and closing it, its keys, and
// the sizes of the controls.
#include "bars/windows/dxBarEditControls.h"

#include <algorithm>

#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarWindowItems.h"
#include "bars/windows/dxBarControl.h"
#include "bars/windows/dxBarDropDownList.h"
#include "bars/windows/dxBarToolbar.h"
#include "platform/classes/FlagScope.h"
#include "platform/controls/Edit.h"
#include "platform/core/Input.h"
#include "platform/gdi/RectMath.h"
#include "platform/widgets/Forms.h"

namespace {

bool PlainKey() {
    const TShiftState Shift = KeyboardShiftState();
    return !Shift.Contains(ssShift) && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt);
}

}  // namespace

TdxBarItemControl* CreateWindowItemControlOrButton(TdxBarItemLink* Link,
                                                   TdxBarItemControl* (*Create)(TdxBarItemLink*)) {
    TCustomdxBarControl* Window = Link->Links() ? Link->Links()->BarControl() : nullptr;
    if (Window && IsVerticalBar(Window)) return new TdxBarButtonControl(Link);
    return Create(Link);
}

// ---- the editor's window ----------------------------------------------------------------------

TdxBarWinControl::TdxBarWinControl(TdxBarItemLink* Link) : TdxBarItemControl(Link) {
    FIsWindowControl = true;
}

TdxBarWinControl::~TdxBarWinControl() {
    if (Detached()) return;
    *FAlive = false;
    TdxBarWinControl::DestroyEditWindow();
}

void TdxBarWinControl::LetGo() {
    *FAlive = false;
    TdxBarWinControl::DestroyEditWindow();
    TdxBarItemControl::LetGo();
}

TdxBarWindowItem* TdxBarWinControl::WindowItem() const {
    return dynamic_cast<TdxBarWindowItem*>(Item());
}

void TdxBarWinControl::HookEditWindow(HWND Wnd) {
    FEditWnd = Wnd;
    FThunk = MakeObjectInstance([this](TMessage& Message) { EditWndProc(Message); });
    FOldProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FThunk)));
}

void TdxBarWinControl::DestroyEditWindow() {
    if (!FEditWnd) return;
    SetFocused(false);
    const HWND Wnd = FEditWnd;
    FEditWnd = 0;
    if (IsWindow(Wnd) && GetWindowLongPtr(Wnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(FThunk))
        SetWindowLongPtr(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOldProc));
    FreeObjectInstance(FThunk);
    FThunk = nullptr;
    if (IsWindow(Wnd)) DestroyWindow(Wnd);
}

void TdxBarWinControl::DefaultEditProc(TMessage& Message) {
    Message.Result =
        CallWindowProc(FOldProc, FEditWnd, Message.Msg, Message.WParam, Message.LParam);
}

std::string TdxBarWinControl::GetEditText() const {
    return FEditWnd ? ::GetEditText(FEditWnd) : std::string();
}

void TdxBarWinControl::SetEditText(const std::string& Text) {
    if (!FEditWnd) return;
    const TFlagScope SettingText(FSettingText);
    SetWindowText(FEditWnd, Text);
}

void TdxBarWinControl::RemovePendingChars() {
    if (FEditWnd) DropQueued(FEditWnd, WM_CHAR, WM_CHAR);
}

void TdxBarWinControl::Press(bool ByMouse) {
    (void)ByMouse;
    SetFocused(true);
}

void TdxBarWinControl::Deselect(bool Immediately) {
    TdxBarItemControl::Deselect(Immediately);
    SetFocused(false);
}

void TdxBarWinControl::Unplaced() {
    SetFocused(false);
}

void TdxBarWinControl::MouseToEditor(UINT Msg, WPARAM WParam, TPoint WindowPoint) {
    TCustomdxBarControl* Window = Parent();
    if (!FEditWnd || !Window || !Window->HandleAllocated()) return;
    POINT P{WindowPoint.X, WindowPoint.Y};
    MapWindowPoints(Window->Handle(), FEditWnd, &P, 1);
    SendMessage(FEditWnd, Msg, WParam, MAKELPARAM(P.x, P.y));
}

TPoint TdxBarWinControl::WindowPointOf(LPARAM EditPoint) const {
    const TPoint At = PointOf(EditPoint);
    POINT P{At.X, At.Y};
    if (TCustomdxBarControl* Window = Parent(); Window && Window->HandleAllocated() && FEditWnd)
        MapWindowPoints(FEditWnd, Window->Handle(), &P, 1);
    return TPoint{P.x, P.y};
}

void TdxBarWinControl::SetFocused(bool Value) {
    if (FFocused == Value) return;
    TCustomdxBarControl* Window = Parent();
    if (!Value) {
        FFocused = false;
        // The text is taken before the window goes: Esc held (without Ctrl or Alt) throws it away.
        const bool Escaping =
            GetKeyState(VK_ESCAPE) < 0 && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0;
        const bool Save = BarManager() && BarManager()->AlwaysSaveText && !Escaping && FEditWnd;
        const std::string Text = Save ? GetEditText() : std::string();
        if (FEditWnd) ShowWindow(FEditWnd, SW_HIDE);
        RestoreFocus();
        if (Save && WindowItem()) WindowItem()->SetText(Text);
        Repaint();
        return;
    }
    if (BarWindowGone(Window) || !Window->HandleAllocated() || !WindowItem()) return;
    if (!FEditWnd) CreateEditWindow();
    if (!FEditWnd) return;
    FPrevFocus = GetFocus();
    if (!FPrevFocus || !IsWindowVisible(FPrevFocus)) {
        TCustomForm* Form = BarManager()->OwnerForm();
        FPrevFocus = Form && Form->HandleAllocated() ? Form->Handle() : 0;
    }
    SendMessage(FEditWnd, WM_SETFONT, WPARAM(Window->GetFontHandle()), 0);
    PrepareEditWindow();
    if (!Selected()) Select(true);
    FFocused = true;
    const TRect R = EditRect();
    SetWindowPos(FEditWnd, HWND_TOP, R.Left, R.Top, R.Width(), R.Height(),
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    EditWindowPlaced();
    SetEditText(WindowItem()->Text());
    SendMessage(FEditWnd, EM_SETSEL, 0, -1);
    ::SetFocus(FEditWnd);
}

void TdxBarWinControl::RestoreFocus() {
    if (GetFocus() != FEditWnd) return;
    HWND Target = FPrevFocus;
    if (!Target || !IsWindow(Target) || !IsWindowVisible(Target))
        Target = dxBarFocusTarget(BarManager());
    FPrevFocus = 0;
    ::SetFocus(Target);
}

void TdxBarWinControl::EditWndProc(TMessage& Message) {
    // The item's handlers may take the window away.
    const TBarWindowRef<> Window = Parent();
    TdxBarWindowItem* WItem = WindowItem();
    const TShiftState Shift = KeyboardShiftState();
    switch (Message.Msg) {
        case WM_KEYDOWN:
        case WM_KEYUP: {
            WORD Key = WORD(Message.WParam);
            if (WItem)
                (Message.Msg == WM_KEYDOWN ? WItem->KeyDown(Key, Shift) : WItem->KeyUp(Key, Shift));
            if (Key == 0) return;
            Message.WParam = Key;
            break;
        }
        case WM_CHAR: {
            char Key = char(Message.WParam);
            if (WItem) WItem->KeyPress(Key);
            if (Key == 0) return;
            Message.WParam = WPARAM(static_cast<unsigned char>(Key));
            break;
        }
        case WM_SETFOCUS:
            DefaultEditProc(Message);
            if (WItem) WItem->DoEnter();
            return;
        case WM_KILLFOCUS: {
            DefaultEditProc(Message);
            const HWND To = HWND(Message.WParam);
            const bool Outside = !Window || !Window->HandleAllocated() ||
                                 (To != Window->Handle() && !IsChildWindowOf(To, Window->Handle()));
            if (FFocused) {
                if (!BarWindowGone(Window)) Window->HideAll();
            } else if (Outside && !BarWindowGone(Window) && !Window->IsSubMenuWindow()) {
                RemovePendingChars();
                Window->HideAll();
            }
            if (WItem) WItem->DoExit();
            return;
        }
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP: {
            const bool AltKey = Message.WParam == VK_MENU;
            const bool ShiftF10 = Message.WParam == VK_F10 && Shift.Contains(ssShift);
            if (AltKey && Message.Msg == WM_SYSKEYDOWN) {
                ++FAltCount;
            } else if (AltKey ? FAltCount > 0 : Message.Msg == WM_SYSKEYDOWN && !ShiftF10) {
                // Alt pressed and released alone, or Alt with another key: the user goes on to
                // the menus.
                FAltCount = 0;
                if (!BarWindowGone(Window)) Window->HideAll();
                return;
            }
            DefaultEditProc(Message);
            return;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            // A press the window passed on from the item's own parts (its caption, the frame):
            // the editor has nothing under it.
            if (const TPoint At = WindowPointOf(Message.LParam);
                !PtInRect(EditRect(), At) && PtInRect(ItemLink()->ItemRect(), At))
                return;
            break;
        case WM_RBUTTONDOWN:
            if (Window && Window->HandleAllocated()) {
                POINT P{PointOf(Message.LParam).X, PointOf(Message.LParam).Y};
                MapWindowPoints(FEditWnd, Window->Handle(), &P, 1);
                SendMessage(Window->Handle(), WM_RBUTTONDOWN, Message.WParam, MAKELPARAM(P.x, P.y));
            }
            return;
        case WM_DESTROY:
            SetFocused(false);
            DefaultEditProc(Message);
            return;
        default:
            break;
    }
    if (Message.Msg == WM_KEYDOWN && !BarWindowGone(Window)) {
        switch (Message.WParam) {
            case VK_TAB:
                RemovePendingChars();
                SendMessage(Window->Handle(), WM_KEYDOWN, VK_TAB, Message.LParam);
                return;
            case VK_RETURN:
            case VK_ESCAPE:
                Window->SetKeySelectedControl(nullptr);
                RemovePendingChars();
                if (BarWindowGone(Window)) return;
                if (Message.WParam == VK_ESCAPE) {
                    if (Window->HasControl(this)) Window->SetSelectedControl(this);
                } else {
                    Window->HideAll();
                }
                return;
            default:
                break;
        }
    }
    if (Message.Msg == CN_COMMAND && HIWORD(Message.WParam) == EN_CHANGE) {
        if (!FSettingText) EditTextChanged();
        return;
    }
    DefaultEditProc(Message);
}

// ---- edits ------------------------------------------------------------------------------------

TdxBarEdit* TdxBarEditControl::Edit() const {
    return dynamic_cast<TdxBarEdit*>(Item());
}

bool TdxBarEditControl::ShowsCaption() const {
    return InSubMenu() || (Edit() && Edit()->ShowCaption());
}

int TdxBarEditControl::CaptionPartWidth() const {
    if (!ShowsCaption() || !Parent()) return 0;
    const int Part = CaptionWidth() + (IsFlat() ? 11 : 6);
    // In a menu the caption follows the glyph column as every entry's does.
    return InSubMenu() ? Part + GetDefaultHeight() + (IsFlat() ? 10 : 3) : Part;
}

TRect TdxBarEditControl::EditBoxRect() const {
    const TRect R = ItemLink()->ItemRect();
    if (IsRectEmpty(R)) return TRect{};
    int Left = R.Left + CaptionPartWidth();
    // Menus put the boxes of their edits at their right edge, one under the other.
    if (InSubMenu()) Left = std::max(Left, int(R.Right) - ItemLink()->Width());
    return TRect{std::min(Left, int(R.Right)), R.Top, R.Right, R.Bottom};
}

TRect TdxBarEditControl::EditRect() const {
    const TRect Box = EditBoxRect();
    if (IsRectEmpty(Box)) return TRect{};
    return InflatedRect(Box, -EditFrameWidth(), -EditFrameWidth());
}

int TdxBarEditControl::GetDefaultHeight() const {
    if (!Parent()) return 0;
    const int Edit = Parent()->EditTextSize();
    return ShowsCaption() ? std::max(Edit, Parent()->TextSize()) : Edit;
}

int TdxBarEditControl::GetMinWidth() const {
    return CaptionPartWidth() + 20;
}

int TdxBarEditControl::GetDefaultWidth() const {
    return CaptionPartWidth() + ItemLink()->Width();
}

void TdxBarEditControl::CreateEditWindow() {
    TCustomdxBarControl* Window = Parent();
    DWORD Style = WS_CHILD | ES_AUTOHSCROLL;
    if (IsFlat()) Style |= ES_MULTILINE;
    const HWND Wnd =
        CreateWindowEx(0, "EDIT", "", Style, 0, 0, 100, 100, Window->Handle(), 0, 0, nullptr);
    if (!Wnd) return;
    if (Edit()) SendMessage(Wnd, EM_LIMITTEXT, WPARAM(Edit()->MaxLength()), 0);
    HookEditWindow(Wnd);
}

void TdxBarEditControl::PrepareEditWindow() {
    const HWND Wnd = EditWindow();
    if (!IsFlat()) SendMessage(Wnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(2, 2));
    auto* Combo = dynamic_cast<TCustomdxBarCombo*>(Item());
    const bool ReadOnly = (Edit() && Edit()->ReadOnly) || (Combo && !Combo->ShowEditor());
    SendMessage(Wnd, EM_SETREADONLY, ReadOnly, 0);
}

void TdxBarEditControl::EditWindowPlaced() {
    if (!IsFlat()) return;
    const TRect R = EditRect();
    RECT Text{2, 2, std::max(2, int(R.Width()) - 2), std::max(2, int(R.Height()) - 2)};
    SendMessage(EditWindow(), EM_SETRECT, 0, reinterpret_cast<LPARAM>(&Text));
}

void TdxBarEditControl::StoreEditText() {
    if (WindowItem()) WindowItem()->SetText(GetEditText());
}

void TdxBarEditControl::EditTextChanged() {
    if (WindowItem()) WindowItem()->CurTextChanged();
}

void TdxBarEditControl::EditWndProc(TMessage& Message) {
    if (Message.Msg == WM_KEYDOWN && (Message.WParam == VK_RETURN || Message.WParam == VK_TAB)) {
        const std::shared_ptr<const bool> Alive = AliveToken();
        StoreEditText();
        if (!*Alive) return;
        if (Message.WParam == VK_RETURN) {
            try {
                ItemLink()->SourceLink()->RecordUse();
            } catch (...) {
            }
        }
        if (!EditWindow() || !IsWindowVisible(EditWindow())) return;
    }
    TdxBarWinControl::EditWndProc(Message);
}

// ---- combos -----------------------------------------------------------------------------------

TCustomdxBarCombo* TCustomdxBarComboControl::Combo() const {
    return dynamic_cast<TCustomdxBarCombo*>(Item());
}

TRect TCustomdxBarComboControl::DropDownButtonRect() const {
    const TRect Inner = TdxBarEditControl::EditRect();
    if (IsRectEmpty(Inner) || !Parent()) return TRect{};
    const int Width = std::min(Parent()->DoubleDigitWidth(), int(Inner.Width()));
    return TRect{Inner.Right - Width, Inner.Top, Inner.Right, Inner.Bottom};
}

TRect TCustomdxBarComboControl::EditRect() const {
    if (Combo() && !Combo()->ShowEditor()) return TRect{};
    TRect R = TdxBarEditControl::EditRect();
    R.Right = DropDownButtonRect().Left;
    return R;
}

void TCustomdxBarComboControl::SetDroppedDown(bool Value) {
    TCustomdxBarCombo* C = Combo();
    if (FDroppedDown == Value || !C || (Value && C->ReadOnly)) return;
    FDroppedDown = Value;
    Repaint();
    if (!Value) {
        C->CloseUp();
        return;
    }
    const TRect R = ItemLink()->ItemRect();
    const TPoint At =
        InSubMenu() || IsVertical() ? TPoint{R.Right, R.Top} : TPoint{EditBoxRect().Left, R.Bottom};
    C->DropDown(Parent()->ClientToScreen(At), this);
    if (!C->DroppedDownControl()) FDroppedDown = false;
}

TRect TCustomdxBarComboControl::DropDownPressRect() const {
    return Combo() && !Combo()->ShowEditor() ? ItemLink()->ItemRect() : DropDownButtonRect();
}

void TCustomdxBarComboControl::Press(bool ByMouse) {
    TdxBarEditControl::Press(ByMouse);
    if (!ByMouse || !Parent() || !Parent()->HandleAllocated()) return;
    POINT P;
    GetCursorPos(&P);
    ScreenToClient(Parent()->Handle(), &P);
    if (PtInRect(DropDownPressRect(), TPoint{P.x, P.y})) SetDroppedDown(!FDroppedDown);
}

void TCustomdxBarComboControl::Unplaced() {
    SetDroppedDown(false);
    TdxBarEditControl::Unplaced();
}

void TCustomdxBarComboControl::Deselect(bool Immediately) {
    SetDroppedDown(false);
    TdxBarEditControl::Deselect(Immediately);
}

void TCustomdxBarComboControl::EditWndProc(TMessage& Message) {
    TCustomdxBarCombo* C = Combo();
    const WORD Key = WORD(Message.WParam);
    const bool Down = Message.Msg == WM_KEYDOWN || Message.Msg == WM_SYSKEYDOWN;
    const bool AltArrow = (Message.Msg == WM_SYSKEYDOWN || Message.Msg == WM_SYSKEYUP) &&
                          (Key == VK_UP || Key == VK_DOWN);
    if (Down && Key == VK_F4) {
        SetDroppedDown(!FDroppedDown);
        return;
    }
    if (Message.Msg == WM_KEYDOWN && FDroppedDown && C &&
        C->CheckKeyForDropDownWindow(Key, KeyboardShiftState())) {
        if (const HWND List = C->GetDropDownWindow())
            Message.Result = SendMessage(List, WM_KEYDOWN, Message.WParam, Message.LParam);
        return;
    }
    if (AltArrow) {
        AltKeyUsed();
        if (Message.Msg == WM_SYSKEYDOWN) SetDroppedDown(!FDroppedDown);
        return;
    }
    // A press on the button, passed on by the window while the editor is open.
    if ((Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) &&
        PtInRect(DropDownPressRect(), WindowPointOf(Message.LParam))) {
        SetDroppedDown(!FDroppedDown);
        return;
    }
    TdxBarEditControl::EditWndProc(Message);
}

// ---- combos with a list of strings ------------------------------------------------------------

TdxBarCombo* TdxBarComboControl::ComboItem() const {
    return dynamic_cast<TdxBarCombo*>(Item());
}

void TdxBarComboControl::SetCurItemIndex(int Value) {
    TdxBarCombo* C = ComboItem();
    if (!C) return;
    FCurItemIndex = Value;
    const bool Entry = Value >= 0 && Value < C->Items()->Count();
    SetEditText(Entry ? C->Items()->Get(Value) : C->Text());
    if (EditWindow()) SendMessage(EditWindow(), EM_SETSEL, 0, -1);
    if (!Focused()) Repaint();
}

void TdxBarComboControl::SetFocused(bool Value) {
    TCustomdxBarComboControl::SetFocused(Value);
    if (Value && Focused() && ComboItem()) SetCurItemIndex(ComboItem()->ItemIndex());
}

void TdxBarComboControl::EditWndProc(TMessage& Message) {
    TdxBarCombo* C = ComboItem();
    if (Message.Msg == WM_KEYDOWN && C && !DroppedDown() && PlainKey() &&
        (Message.WParam == VK_UP || Message.WParam == VK_DOWN)) {
        const int Next = FCurItemIndex + (Message.WParam == VK_UP ? -1 : 1);
        if (Next >= 0 && Next < C->Items()->Count()) SetCurItemIndex(Next);
        return;
    }
    TCustomdxBarComboControl::EditWndProc(Message);
}

void TdxBarComboControl::StoreEditText() {
    TdxBarCombo* C = ComboItem();
    const std::string Text = GetEditText();
    if (C && FCurItemIndex >= 0 && FCurItemIndex < C->Items()->Count() &&
        C->Items()->Get(FCurItemIndex) == Text) {
        C->SetItemIndex(FCurItemIndex);
        return;
    }
    TCustomdxBarComboControl::StoreEditText();
}

void TdxBarComboControl::EditTextChanged() {
    TCustomdxBarComboControl::EditTextChanged();
    TdxBarCombo* C = ComboItem();
    if (!C || !Focused()) return;
    const std::string Text = GetEditText();
    FCurItemIndex = C->FindItemIndex(Text, FCurItemIndex);
    if (DroppedDown()) SyncComboListToText(C, Text, FCurItemIndex);
}
