#include "bars/windows/dxBarControl.h"

#include <algorithm>

#include "bars/look/dxBarDraw.h"
#include "bars/look/dxBarSystem.h"
#include "bars/model/dxBarCustomizing.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarItems.h"
#include "bars/model/dxBarManager.h"
#include "bars/windows/dxBarHint.h"
#include "bars/windows/dxBarItemControls.h"
#include "bars/windows/dxBarPopupMenus.h"
#include "bars/windows/dxBarToolbar.h"
#include "bars/windows/dxBarWindowViews.h"
#include "platform/classes/FlagScope.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/core/Pointer.h"
#include "platform/gdi/RectMath.h"
#include "platform/widgets/Forms.h"

namespace {

struct TBarWindows {
    TCustomdxBarControl* Active = nullptr;
    bool MenuModeBeganCustomizing = false;
    bool FullMenusShown = false;
};

TBarWindows& Windows() {
    static auto* W = new TBarWindows;
    return *W;
}

}  // namespace

TCustomdxBarControl* ActiveBarControl() {
    return Windows().Active;
}

bool dxBarFullMenusShown() {
    return Windows().FullMenusShown;
}

void SetdxBarFullMenusShown(bool Value) {
    Windows().FullMenusShown = Value;
}

TCustomdxBarControl* TopLevelBarControl(TCustomdxBarControl* Control) {
    while (Control && Control->IsSubMenuWindow() && Control->ParentBar())
        Control = Control->ParentBar();
    return Control;
}

TWinControl* FindControlOfWindow(HWND Wnd) {
    return FindControl(Wnd);
}

bool IsChildWindowOf(HWND Wnd, HWND Parent) {
    for (HWND At = GetParent(Wnd); At; At = GetParent(At))
        if (At == Parent) return true;
    return false;
}

HWND dxBarFocusTarget(TdxBarManager* Manager) {
    TCustomForm* Form = Manager ? Manager->OwnerForm() : nullptr;
    if (!Form || !Form->HandleAllocated()) return 0;
    const HWND Own = Form->Handle();
    if (IsWindowVisible(Own)) return Own;
    for (HWND Next = GetWindow(Own, GW_HWNDNEXT); Next; Next = GetWindow(Next, GW_HWNDNEXT))
        if (IsWindowVisible(Next) && IsWindowEnabled(Next) &&
            !dynamic_cast<TCustomdxBarControl*>(FindControl(Next)))
            return Next;
    return 0;
}

HWND ControlAtScreenPoint(TPoint P) {
    HWND Wnd = WindowFromPoint(POINT{P.X, P.Y});
    while (Wnd) {
        POINT Client{P.X, P.Y};
        ScreenToClient(Wnd, &Client);
        const HWND Child = ChildWindowFromPointEx(Wnd, Client, CWP_SKIPINVISIBLE);
        if (!Child || Child == Wnd) break;
        Wnd = Child;
    }
    return Wnd;
}

// ---- references --------------------------------------------------------------------------------

void TBarWindowRefBase::Set(TCustomdxBarControl* Window) {
    if (Window && Window->Retired()) Window = nullptr;
    if (Window == FWindow) return;
    if (FWindow) {
        auto& Refs = FWindow->FRefs;
        Refs.erase(std::remove(Refs.begin(), Refs.end(), this), Refs.end());
    }
    FWindow = Window;
    if (FWindow) FWindow->FRefs.push_back(this);
}

void TCustomdxBarControl::ForgetRefs() {
    for (TBarWindowRefBase* Ref : FRefs) Ref->FWindow = nullptr;
    FRefs.clear();
    if (Windows().Active == this) Windows().Active = nullptr;
}

// ---- life -------------------------------------------------------------------------------------

TCustomdxBarControl::TCustomdxBarControl(TdxBarManager* Manager)
    : TCustomControl(Manager), FBarManager(Manager) {
    RegisterdxBarViews();
    TControlStyle Style = ControlStyle();
    Style.Exclude(csCaptureMouse);
    Style.Include(csDoubleClicks);
    SetControlStyle(Style);
    SetColor(clBtnFace);
    SetVisible(false);
    SetBounds(100, 100, 50, 30);
}

void TCustomdxBarControl::ReleaseWindow() {
    if (!HandlerRunning()) {
        Free();
        return;
    }
    Retire();
    // Its owner may go before the handler returns (a command that frees the manager or the form):
    // the window is freed later all the same.
    if (Owner()) Owner()->RemoveComponent(this);
    ReleaseControlLater(this);
}

void TCustomdxBarControl::LeaveMenuMode() {
    if (IsSubMenuWindow())
        SetActive(false);
    else
        TCustomdxBarControl::HideAll();
    if (FBarManager && FSelectedControl && FBarManager->SelectedItem() == FSelectedControl)
        FBarManager->SetSelectedItem(nullptr);
}

void TCustomdxBarControl::Retire() {
    if (FRetired) return;
    LeaveMenuMode();
    FSelectedControl = nullptr;
    EndPress();
    if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
    if (FItemLinks && FItemLinks->BarControl() == this) FItemLinks->SetBarControl(nullptr);
    SetItemLinks(nullptr);
    FRetired = true;
    ForgetRefs();
    SetVisible(false);
    // A submenu is shown by its handle alone: its window leaves the screen here, before the code
    // that retired it goes on (a command that opens a window would find the menu over it).
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
}

TCustomdxBarControl::~TCustomdxBarControl() {
    if (!FRetired) LeaveMenuMode();
    DestroyHandle();
    DestroyControls();
    if (FItemLinks && FItemLinks->BarControl() == this) FItemLinks->SetBarControl(nullptr);
    FRetired = true;
    ForgetRefs();
}

void TCustomdxBarControl::SetItemLinks(TdxBarItemLinks* Value) {
    if (FItemLinks == Value) return;
    if (!Value) {
        DestroyControls();
        // Without a window the links have no place.
        if (FItemLinks) FItemLinks->EmptyItemRects();
    }
    FItemLinks = Value;
}

void TCustomdxBarControl::CreateWnd() {
    TCustomControl::CreateWnd();
    AssignFont();
    CalcMetrics();
}

void TCustomdxBarControl::CreateWindowHandle(const TCreateParams& Params) {
    TCustomControl::CreateWindowHandle(Params);
    CreateControls();
}

void TCustomdxBarControl::DestroyWindowHandle() {
    DestroyControls();
    TCustomControl::DestroyWindowHandle();
}

void TCustomdxBarControl::CreateControls() {
    if (!FItemLinks) return;
    for (int I = 0; I < FItemLinks->VisibleItemCount(); ++I)
        FItemLinks->VisibleItems(I)->CreateControl();
}

void TCustomdxBarControl::DestroyControls() {
    if (!FItemLinks) return;
    const auto Locked = TFlagScope::Nested(FUpdateLock);
    FSelectedControl = nullptr;
    EndPress();
    for (int I = 0; I < FItemLinks->Count(); ++I) FItemLinks->Items(I)->DestroyControl();
}

void TCustomdxBarControl::CalcMetrics() {
    const TSize Own = TextExtentOf(Font()->Handle(), "0");
    FTextSize = Own.cy + 6;
    FFifthTextSize = std::max(FTextSize / 5, 4);
    const TSize Edit = TextExtentOf(GetFontHandle(), "0");
    FEditTextSize = Edit.cy + 6 + (FBarManager->IsFlat() ? 1 : 0);
    FDoubleDigitWidth = 2 * Edit.cx - 1;
}

// ---- what the window answers ------------------------------------------------------------------

bool TCustomdxBarControl::IsCustomizable() const {
    // The form designer's flag; never set in the program.
    return false;
}

HFONT TCustomdxBarControl::GetFontHandle() const {
    return FBarManager->FontHandle();
}

TRect TCustomdxBarControl::GetItemRect(TdxBarItemControl* Control) const {
    return Control ? Control->ItemLink()->ItemRect() : TRect{};
}

bool TCustomdxBarControl::IsCustomizing() const {
    return FBarManager->IsCustomizing();
}

TRect TCustomdxBarControl::GetItemRectEx(TdxBarItemControl* Control, bool) const {
    return GetItemRect(Control);
}

HRGN TCustomdxBarControl::GetItemRegion(TdxBarItemControl* Control) const {
    return CreateRectRgnIndirect(GetItemRectEx(Control, true));
}

HBRUSH TCustomdxBarControl::GetBkBrush() const {
    return FBarManager->IsFlat() ? FBarManager->FlatToolbarsBrush() : dxBarSysBrush(COLOR_BTNFACE);
}

HBRUSH TCustomdxBarControl::GetDownBrush() const {
    return FBarManager->IsFlat() ? FBarManager->FlatDownBrush() : DitherBrush();
}

HBRUSH TCustomdxBarControl::GetDownSelectedBrush() const {
    return FBarManager->IsFlat() ? FBarManager->FlatDownSelectedBrush()
                                 : dxBarSysBrush(COLOR_BTNFACE);
}

HBRUSH TCustomdxBarControl::GetSelectedBrush() const {
    return FBarManager->IsFlat() ? FBarManager->FlatSelectedBrush()
                                 : dxBarSysBrush(COLOR_HIGHLIGHT);
}

bool TCustomdxBarControl::IsParentOf(const TCustomdxBarControl* Control) const {
    for (const TCustomdxBarControl* At = Control ? Control->ParentBar() : nullptr; At;
         At = At->ParentBar())
        if (At == this) return true;
    return false;
}

bool TCustomdxBarControl::IsShownControl(const TdxBarItemControl* Control) const {
    return Control && FItemLinks && FItemLinks->ShownIndexOf(Control->ItemLink()) >= 0;
}

TdxBarItemControl* TCustomdxBarControl::ItemAtPos(TPoint P) const {
    if (!FItemLinks || (IsCustomizing() && !IsCustomizable())) return nullptr;
    for (int I = 0; I < FItemLinks->ShownCount(); ++I) {
        TdxBarItemControl* Control = FItemLinks->ShownItems(I)->Control();
        if (Control && PtInRect(GetItemRect(Control), P)) return Control;
    }
    return nullptr;
}

TdxBarItemControl* TCustomdxBarControl::GetDropPlace(TPoint P, bool& OnSeparator, bool& Before,
                                                     bool& Vertical) const {
    OnSeparator = Before = false;
    Vertical = IsSubMenuWindow() || IsVerticalBar(this);
    if (!FItemLinks) return nullptr;
    for (int I = 0; I < FItemLinks->ShownCount(); ++I) {
        TdxBarItemControl* Control = FItemLinks->ShownItems(I)->Control();
        if (!Control || !Control->IsOwnManagerItem()) continue;
        const HRGN Region = GetItemRegion(Control);
        const bool Hit = PtInRegion(Region, P.X, P.Y);
        DeleteObject(Region);
        if (!Hit) continue;
        TRect R = GetItemRect(Control);
        if (!PtInRect(R, P)) {
            OnSeparator = true;
            Vertical = P.Y < R.Top;
            R = Control->SeparatorRect;
        }
        Before = Vertical ? P.Y - R.Top < R.Bottom - P.Y : P.X - R.Left < R.Right - P.X;
        return Control;
    }
    return nullptr;
}

bool TCustomdxBarControl::IsMouseUnmoved(TPoint ClientPoint) const {
    if (IsCustomizing()) return true;
    const TPoint Screen = const_cast<TCustomdxBarControl*>(this)->ClientToScreen(ClientPoint);
    return Screen == FLastCursorPos;
}

// ---- painting items ---------------------------------------------------------------------------

bool TCustomdxBarControl::HasControl(const TdxBarItemControl* Control) const {
    if (!Control || !FItemLinks) return false;
    for (int I = 0; I < FItemLinks->Count(); ++I)
        if (FItemLinks->Items(I)->Control() == Control) return true;
    return false;
}

void TCustomdxBarControl::RepaintItem(TdxBarItemControl* Control) {
    if (!Control || !HandleAllocated() || Destroying()) return;
    if (Canvas()->HandleAllocated()) {
        DrawItem(Control);
        return;
    }
    const HDC DC = GetDC(Handle());
    Canvas()->SetHandle(DC);
    try {
        DrawItem(Control);
    } catch (...) {
        Canvas()->SetHandle(0);
        ReleaseDC(Handle(), DC);
        throw;
    }
    Canvas()->SetHandle(0);
    ReleaseDC(Handle(), DC);
}

void TCustomdxBarControl::ControlDestroyed(TdxBarItemControl* Control) {
    if (FSelectedControl == Control) FSelectedControl = nullptr;
    if (FPressedControl == Control) EndPress();
}

void TCustomdxBarControl::DrawItem(TdxBarItemControl*) {
    FBkBrush = GetBkBrush();
}

void TCustomdxBarControl::SelectedChanged(TdxBarItemControl* OldControl) {
    if (FUpdateLock) return;
    if (OldControl && OldControl->Item() && !OldControl->Item()->IsDestroying())
        OldControl->Repaint();
    if (FSelectedControl) FSelectedControl->Repaint();
}

void TCustomdxBarControl::DrawCustomizingFrame(TdxBarItemControl* Control) {
    if (!IsCustomizing()) return;
    const bool Frame =
        FBarManager->Dragging()
            ? Control->ItemLink() == FBarManager->DraggingItemLink()
            : Control == FSelectedControl && Control == FBarManager->CustomizingSelection();
    if (!Frame) return;
    const HDC DC = Canvas()->Handle();
    TRect R = GetItemRect(Control);
    if (Control->IsSubItemControl() && IsSubMenuWindow()) {
        const int Old = SetROP2(DC, R2_NOT);
        for (int I = 0; I < 2; ++I) {
            const POINT P[5] = {{R.Left, R.Top},
                                {R.Right - 1 - I, R.Top},
                                {R.Right - 1 - I, R.Bottom - 1 - I},
                                {R.Left, R.Bottom - 1 - I},
                                {R.Left, R.Top}};
            Polyline(DC, P, 5);
            R = InflatedRect(R, -1, -1);
        }
        SetROP2(DC, Old);
        return;
    }
    for (int I = 0; I < 2; ++I) {
        const RECT F = R;
        FrameRect(DC, &F, dxBarSysBrush(COLOR_WINDOWTEXT));
        R = InflatedRect(R, -1, -1);
    }
}

// ---- the pointer's state ----------------------------------------------------------------------

void TCustomdxBarControl::SetInputState(TdxBarInputState Value) {
    FInputState = Value;
    if (Value != TdxBarInputState::Pressed) FPressedControl = nullptr;
}

void TCustomdxBarControl::EndPress() {
    if (FInputState == TdxBarInputState::Pressed) SetInputState(TdxBarInputState::Idle);
}

// ---- selection and menu mode ------------------------------------------------------------------

void TCustomdxBarControl::SetDockingStyle(TdxBarDockingStyle Value) {
    if (FDockingStyle == Value) return;
    FDockingStyle = Value;
    Perform(CM_FONTCHANGED);
}

void TCustomdxBarControl::SetActive(bool Value) {
    if (FActive == Value) return;
    TBarWindows& W = Windows();
    UpdateHint(FBarManager, false);
    if (Value) {
        if (!W.Active) W.MenuModeBeganCustomizing = W.FullMenusShown = IsCustomizing();
        FPrevActiveBar = W.Active;
        W.Active = this;
        FActive = true;
        if (!IsCustomizing() && FItemLinks) FItemLinks->UpdateActions();
        return;
    }
    if (IsCustomizing())
        FSelectedControl = nullptr;
    else
        SetKeySelectedControl(nullptr);
    if (FRetired) return;
    FActive = false;
    if (W.Active == this) {
        W.Active = FPrevActiveBar;
        if (W.Active && !W.Active->Active()) W.Active = nullptr;
    }
}

void TCustomdxBarControl::SetKeySelectedControl(TdxBarItemControl* Control) {
    if (Control == FSelectedControl) return;
    if (FSelectedControl && FSelectedControl->Selected()) FSelectedControl->Deselect(true);
    if (FRetired) return;
    if (Control) {
        Control->SelectedByMouse = false;
        if (auto* Sub = dynamic_cast<TdxBarSubItemControl*>(Control))
            Sub->AnimateNextOpening = false;
    }
    SetSelectedControl(Control);
}

void TCustomdxBarControl::SetMouseSelectedControl(TdxBarItemControl* Control) {
    if (!HandleAllocated() || Control == FSelectedControl) return;
    if (FSelectedControl && FSelectedControl->IsWindowControl() && FSelectedControl->Focused())
        return;  // the user is typing in the selected control's editor
    if (FSelectedControl && FSelectedControl->Selected()) FSelectedControl->Deselect(false);
    if (Control) Control->SelectedByMouse = true;
    SetSelectedControl(Control);
    if (FRetired || !FSelectedControl) return;
    if (auto* Sub = dynamic_cast<TdxBarSubItemControl*>(FSelectedControl)) {
        if (FBarManager->Dragging() && FBarManager->DraggingItem() &&
            !Sub->SubItem()->CanContainItem(FBarManager->DraggingItem()))
            return;
        Sub->AnimateNextOpening = true;
    }
    FSelectedControl->Select(false);
}

void TCustomdxBarControl::SetSelectedControl(TdxBarItemControl* Control) {
    if (Control == FSelectedControl) return;
    if (Control) {
        dxBarCustomizing().QuickControlSelectionChanging(this);
        if (FRetired) return;
    }
    TdxBarItemControl* Old = FSelectedControl;
    FSelectedControl = Control;
    if (IsCustomizing()) {
        FBarManager->SetCustomizingSelection(Control);
        if (FRetired) return;
    } else {
        FBarManager->SetSelectedItem(Control);
    }
    SelectedChanged(Old);
    POINT Cursor;
    GetCursorPos(&Cursor);
    FLastCursorPos = TPoint{Cursor.x, Cursor.y};
    if (!Control) ::SetCursor(LoadCursor(0, MAKEINTRESOURCE(IDC_ARROW)));
    if (Control || FMarkState == TdxBarButtonState::Normal || IsSubMenuWindow())
        UpdateHint(FBarManager, true);
    SelectionHint();
}

void TCustomdxBarControl::SelectionHint() {
    std::string Text;
    if (FSelectedControl &&
        (FSelectedControl->GetEnabled() || FBarManager->ShowHintForDisabledItems))
        Text = GetLongHint(FSelectedControl->GetHint());
    SetHint(Text);
    // A popup menu has no bar of its own for its hints: the application's status bar shows them.
    TCustomdxBarControl* Root = TopLevelBarControl(this);
    TdxBarItemLinks* RootLinks = Root ? Root->ItemLinks() : nullptr;
    if (RootLinks && dynamic_cast<TdxBarPopupMenu*>(RootLinks->LinksOwner())) Forms.SetHint(Text);
}

void TCustomdxBarControl::HideAll() {
    SetActive(false);
    if (TCustomdxBarControl* Parent = FRetired ? nullptr : FParentBar.get()) Parent->HideAll();
}

void TCustomdxBarControl::DblClickItem(TdxBarItemControl* Control) {
    if (!Control) return;
    auto* Sub = dynamic_cast<TdxBarSubItemControl*>(Control);
    TCustomdxBarControl* SubMenu = Sub ? Sub->GetSubMenuControl() : nullptr;
    if (Control->OpensOnDblClick() && SubMenu && SubMenu->MarkExists())
        SubMenu->SetMarkState(TdxBarButtonState::Down);
    else
        Control->DblClick();
}

// ---- messages ---------------------------------------------------------------------------------

void TCustomdxBarControl::RetiredWndProc(TMessage& Message) {
    // Its links and manager may be gone: nothing is painted or answered any more.
    if (Message.Msg == WM_DESTROY) StopMouseTracking(Handle());
    DefaultHandler(Message);
}

void TCustomdxBarControl::WndProc(TMessage& Message) {
    if (FRetired) {
        RetiredWndProc(Message);
        return;
    }
    const UINT Msg = Message.Msg;
    const bool Mouse = (Msg >= WM_MOUSEFIRST && Msg <= WM_MBUTTONDBLCLK) ||
                       (Msg >= WM_NCMOUSEMOVE && Msg <= WM_NCMBUTTONDBLCLK);
    TCustomdxBarControl* Active = ActiveBarControl();
    if (Mouse && Active && Active != this && !IsParentOf(Active)) return;
    switch (Msg) {
        case WM_CTLCOLOREDIT:
            SetTextColor(HDC(Message.WParam), dxBarSysColor(COLOR_WINDOWTEXT));
            SetBkColor(HDC(Message.WParam), dxBarSysColor(COLOR_WINDOW));
            Message.Result = LRESULT(dxBarSysBrush(COLOR_WINDOW));
            return;
        case WM_COMMAND:
            // The notices of an item's in-place editor go back to the editor.
            if (HWND From = HWND(Message.LParam); From && IsChildWindowOf(From, Handle())) {
                Message.Result = SendMessage(From, CN_COMMAND, Message.WParam, Message.LParam);
                return;
            }
            break;
        case WM_NCACTIVATE:
            if (Message.WParam && !IsCustomizing() && HandleAllocated())
                if (HWND Parent = GetParent(Handle())) SendMessage(Parent, WM_NCACTIVATE, 1, 0);
            Message.WParam = 1;
            break;
        case WM_SETFOCUS:
            if (FSelectedControl && FSelectedControl->IsWindowControl()) break;
            // While customizing, the keys belong to the dialog (the form is disabled); the bar
            // stays above it meanwhile.
            if (TCustomForm* Dialog = IsCustomizing() ? dxBarCustomizing().Form() : nullptr;
                Dialog && Dialog->HandleAllocated()) {
                const UINT Flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
                SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, Flags);
                ::SetFocus(Dialog->Handle());
                SetWindowPos(Handle(), HWND_NOTOPMOST, 0, 0, 0, 0, Flags);
                return;
            }
            if (const HWND Target = dxBarFocusTarget(FBarManager)) ::SetFocus(Target);
            return;
        case WM_KILLFOCUS:
            TCustomControl::WndProc(Message);
            if (Message.WParam == 0 && !FRetired) HideAll();
            return;
        default:
            break;
    }
    TCustomControl::WndProc(Message);
}

void TCustomdxBarControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_ERASEBKGND:
            if (!FItemLinks || FItemLinks->VisibleItemCount() == 0) {
                RECT R;
                GetClientRect(Handle(), &R);
                FillRect(HDC(Message.WParam), &R, GetBkBrush());
            }
            Message.Result = 1;
            return;
        case WM_NCCALCSIZE:
            WMNCCalcSize(Message);
            return;
        case WM_NCPAINT:
            WMNCPaint(Message);
            return;
        case WM_SIZE:
            TCustomControl::Dispatch(Message);
            if (HasShadow() && !FRegionSuppressed) SetShadowRegion();
            return;
        case WM_DESTROY:
            StopMouseTracking(Handle());
            FMarkState = TdxBarButtonState::Normal;
            TCustomControl::Dispatch(Message);
            return;
        case WM_DXBARUPDATELAYOUT:
            UpdateLayout();
            return;
        case WM_MOUSEACTIVATE:
            Message.Result = MA_NOACTIVATE;
            return;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            WMKeyDown(Message);
            return;
        case WM_MOUSEMOVE:
            WMMouseMove(Message);
            return;
        case WM_MOUSELEAVE:
            WMMouseLeave(Message);
            return;
        case WM_LBUTTONDOWN:
            WMLButtonDown(Message);
            return;
        case WM_LBUTTONUP:
            WMLButtonUp(Message);
            return;
        case WM_LBUTTONDBLCLK:
            // Double clicks count in the enhanced and flat styles and while customizing.
            if (FBarManager->Style() == bmsStandard && !IsCustomizing()) {
                Message.Msg = WM_LBUTTONDOWN;
                WMLButtonDown(Message);
            } else {
                WMLButtonDblClk(Message);
            }
            return;
        case WM_RBUTTONDOWN:
            WMRButtonDown(Message);
            return;
        case WM_CAPTURECHANGED:
            WMCaptureChanged(Message);
            return;
        case WM_SETCURSOR:
            WMSetCursor(Message);
            return;
        case WM_NCHITTEST:
            WMNCHitTest(Message);
            return;
        default:
            TCustomControl::Dispatch(Message);
    }
}

// ---- the flat shadow --------------------------------------------------------------------------

bool TCustomdxBarControl::HasShadow() const {
    return FBarManager->IsFlat() && FDockingStyle == dsNone;
}

void TCustomdxBarControl::WMNCCalcSize(TMessage& Message) {
    if (HasNonClientFrame()) DefaultHandler(Message);
    if (!HasShadow()) return;
    RECT* R = Message.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                             : reinterpret_cast<RECT*>(Message.LParam);
    R->right -= 2;
    R->bottom -= 2;
}

void TCustomdxBarControl::WMNCPaint(TMessage& Message) {
    DefaultHandler(Message);
    if (!HasShadow()) return;
    const HDC DC = GetWindowDC(Handle());
    RECT W;
    GetWindowRect(Handle(), &W);
    OffsetRect(&W, -W.left, -W.top);
    W.right -= 2;
    W.bottom -= 2;
    const RECT Right{W.right, W.top + 2, W.right + 2, W.bottom + 2};
    const RECT Bottom{W.left + 2, W.bottom, W.right, W.bottom + 2};
    FillRect(DC, &Right, FBarManager->ShadowBrush());
    FillRect(DC, &Bottom, FBarManager->ShadowBrush());
    ReleaseDC(Handle(), DC);
}

void TCustomdxBarControl::SetShadowRegion() {
    const int W = Width(), H = Height();
    const HRGN Region = CreateRectRgn(0, 0, W, H);
    const HRGN TopRight = CreateRectRgn(W - 2, 0, W, 2);
    const HRGN BottomLeft = CreateRectRgn(0, H - 2, 2, H);
    CombineRgn(Region, Region, TopRight, RGN_DIFF);
    CombineRgn(Region, Region, BottomLeft, RGN_DIFF);
    DeleteObject(TopRight);
    DeleteObject(BottomLeft);
    SetWindowRgn(Handle(), Region, TRUE);
}

// ---- dock rows --------------------------------------------------------------------------------

void TdxDockCol::UpdatePos() {
    if (FBarControl) Pos = TPoint{FBarControl->Left(), FBarControl->Top()};
}

TdxDockRow::~TdxDockRow() {
    while (!FCols.empty()) {
        delete FCols.back();
        FCols.pop_back();
    }
}

TdxDockCol* TdxDockRow::InsertCol(int Index, TdxBarControl* BarControl) {
    Index = std::clamp(Index, 0, ColCount());
    auto* Col = new TdxDockCol(this, BarControl);
    FCols.insert(FCols.begin() + Index, Col);
    return Col;
}

void TdxDockRow::DeleteCol(int Index) {
    if (Index < 0 || Index >= ColCount()) return;
    delete FCols[size_t(Index)];
    FCols.erase(FCols.begin() + Index);
}

int TdxDockRow::IndexOfBarControl(const TdxBarControl* BarControl) const {
    for (int I = 0; I < ColCount(); ++I)
        if (FCols[size_t(I)]->BarControl() == BarControl) return I;
    return -1;
}
