// The toolbar window: its life, its frame (docked), its fonts and menu mode with the clicks that
// enter and leave it. Layout is dxBarToolbarLayout.cpp's, painting dxBarToolbarPaint.cpp's.
#include "bars/windows/dxBarToolbar.h"

#include <algorithm>

#include "bars/look/dxBarSystem.h"
#include "bars/model/dxBarCustomizing.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarItems.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarStrings.h"
#include "bars/model/dxBars.h"
#include "bars/windows/dxBarDock.h"
#include "bars/windows/dxBarHint.h"
#include "bars/windows/dxBarItemControls.h"
#include "bars/windows/dxBarTimers.h"
#include "bars/windows/dxBarToolbarsPopup.h"
#include "platform/classes/FlagScope.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/core/Pointer.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/RectMath.h"
#include "platform/shell/Sound.h"

bool IsVerticalBar(const TCustomdxBarControl* Control) {
    auto* Bar = dynamic_cast<const TdxBarControl*>(Control);
    return Bar && Bar->IsVertical();
}

bool IsRotatedBar(const TCustomdxBarControl* Control) {
    auto* Bar = dynamic_cast<const TdxBarControl*>(Control);
    return Bar && Bar->IsRotated();
}

// ---- life -------------------------------------------------------------------------------------

TdxBarControl::TdxBarControl(TdxBarManager* Manager, TdxBar* Bar)
    : TCustomdxBarControl(Manager), FBar(Bar) {}

TdxBarControl::~TdxBarControl() {
    dxBarCustomizing().FreeQuickControlOf(this);
    dxBarKillTimer(FMarkTimer);
    if (FDockControl && !Retired()) FDockControl->RemoveBar(this, true);
    FDockControl = nullptr;
    if (!Retired()) HideAll();
    DestroyHandle();
    if (FRotatedFont) DeleteObject(FRotatedFont);
}

void TdxBarControl::Retire() {
    dxBarCustomizing().FreeQuickControlOf(this);
    dxBarKillTimer(FMarkTimer);
    if (FDockControl && !Retired()) FDockControl->RemoveBar(this, true);
    FDockControl = nullptr;
    TCustomdxBarControl::Retire();
}

bool TdxBarControl::IsRotated() const {
    return IsVertical() && FBar->RotateWhenVertical();
}

bool TdxBarControl::InMenuMode() const {
    return BarManager()->KeyboardModeBar() == this;
}

void TdxBarControl::CreateParams(TCreateParams& Params) {
    TCustomdxBarControl::CreateParams(Params);
    // A window waiting for its form is made hidden: it is not on the screen for a moment, and
    // takes nothing of its first layout for the bar (SavePosition keeps what is shown).
    const bool Shown = Visible() && !(IsFloating() && WaitsForForm());
    Params.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (Shown ? WS_VISIBLE : 0);
    Params.ExStyle = 0;
    Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    if (IsFloating()) {
        Params.Style |= WS_POPUP | WS_BORDER | WS_SYSMENU | WS_THICKFRAME;
        // Never the active window: the owner form stays active while the bar is shown or
        // used, so a click in another form deactivates the owner and hides its floating bars.
        Params.ExStyle = WS_EX_NOACTIVATE;
        TCustomForm* Form = BarManager()->OwnerForm();
        Params.WndParent = Form && Form->HandleAllocated() ? Form->Handle() : 0;
    } else {
        Params.Style |= WS_CHILD;
    }
}

void TdxBarControl::CreateWnd() {
    TCustomdxBarControl::CreateWnd();
    SetWindowText(Handle(), FBar->Caption());
    SendMessage(Handle(), WM_NCACTIVATE, 1, 0);
}

void TdxBarControl::DockTo(TdxDockControl* Site, TdxBarDockingStyle Style) {
    if (HandleAllocated()) {
        ++FRecreating;
        DestroyHandle();
        FRecreating = std::max(FRecreating - 1, 0);
    }
    if (Parent() && Parent() != Site) SetParent(nullptr);
    FDockControl = Site;
    SetDockingStyle(Style);
    if (Site) SetParent(Site);
}

void TdxBarControl::BarCaptionChanged() {
    if (!HandleAllocated()) return;
    SetWindowText(Handle(), FBar->Caption());
    FrameChanged();
}

void TdxBarControl::FrameChanged() {
    if (!HandleAllocated()) return;
    SetWindowPos(Handle(), 0, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    RedrawWindow(Handle(), nullptr, 0, RDW_FRAME | RDW_INVALIDATE);
}

// ---- what the bar window answers --------------------------------------------------------------

bool TdxBarControl::CanAlignItems() const {
    return !IsFloating() && !FBar->MultiLine();
}

bool TdxBarControl::HasNonClientFrame() const {
    return !IsFloating() || !BarManager()->IsFlat();
}

bool TdxBarControl::IsCustomizable() const {
    return TCustomdxBarControl::IsCustomizable() || FBar->AllowCustomizing;
}

int TdxBarControl::GetBeginGroupSize() const {
    return BarManager()->IsFlat() ? 5 : 6;
}

HFONT TdxBarControl::GetFontHandle() const {
    return FBar->FontHandle();
}

HBRUSH TdxBarControl::GetBkBrush() const {
    // The flat style's menu bar keeps the face colour; toolbars take the lighter one.
    if (BarManager()->IsFlat() && FBar->IsMainMenu()) return dxBarSysBrush(COLOR_BTNFACE);
    return TCustomdxBarControl::GetBkBrush();
}

bool TdxBarControl::MarkExists() const {
    return FBar->ShowMark() && (FHiddenItems || (BarManager()->Style() != bmsStandard &&
                                                 FBar->AllowQuickCustomizing()));
}

bool TdxBarControl::StopsMouseTracking(LRESULT HitTest) const {
    // The hot close button waits for the pointer to leave the window.
    return FCaptionButtonState != TdxBarButtonState::Hot &&
           TCustomdxBarControl::StopsMouseTracking(HitTest);
}

TRect TdxBarControl::GetItemRect(TdxBarItemControl* Control) const {
    TRect R = TCustomdxBarControl::GetItemRect(Control);
    if (!Control || IsRectEmpty(R)) return R;
    // The hot area of an item spans its whole row.
    const int Row = Control->ItemLink()->RowHeight();
    if (IsVertical()) {
        const int Delta = Row - R.Width();
        R.Left -= Delta / 2;
        R.Right = R.Left + Row;
    } else {
        const int Delta = Row - R.Height();
        R.Top -= Delta / 2;
        R.Bottom = R.Top + Row;
    }
    return R;
}

bool TdxBarControl::IsMouseUnmoved(TPoint ClientPoint) const {
    if (TCustomdxBarControl::IsMouseUnmoved(ClientPoint)) return true;
    if (IsFloating()) return false;
    TCustomForm* Form = BarManager()->OwnerForm();
    if (Form && Form->HandleAllocated() && GetActiveWindow() == Form->Handle()) return false;
    // A toolbar of an inactive form hot-tracks only under the pointer.
    POINT Cursor;
    GetCursorPos(&Cursor);
    auto* Self = const_cast<TdxBarControl*>(this);
    return !HandleAllocated() || ControlAtScreenPoint(TPoint{Cursor.x, Cursor.y}) != Self->Handle();
}

void TdxBarControl::DrawItem(TdxBarItemControl* Control) {
    if (FBar->UpdateLocked() || !Control) return;
    TCustomdxBarControl::DrawItem(Control);
    const TRect R = Control->ItemLink()->ItemRect();
    if (IsRectEmpty(R)) return;
    const HDC DC = Canvas()->Handle();
    const int Saved = SaveDC(DC);
    IntersectClipRect(DC, R.Left, R.Top, R.Right, R.Bottom);
    Control->Paint(R, IsRotated() ? ptVertical : ptHorizontal);
    DrawCustomizingFrame(Control);
    RestoreDC(DC, Saved);
}

void TdxBarControl::CalcMetrics() {
    TCustomdxBarControl::CalcMetrics();
    FCaptionButtonWidth = GetSystemMetrics(SM_CXMENUSIZE) - 2;
    FCaptionButtonHeight = GetSystemMetrics(SM_CYMENUSIZE) - 4;
}

void TdxBarControl::SetDockingStyle(TdxBarDockingStyle Value) {
    if (Value != FDockingStyle) FHiddenItems = false;
    TCustomdxBarControl::SetDockingStyle(Value);
}

void TdxBarControl::AssignFont() {
    SetFont(FBar->Font());
}

void TdxBarControl::FontChanged() {
    if (FFontChanging) return;
    {
        const TFlagScope FontChanging(FFontChanging);
        if (IsRotated()) {
            LOGFONT Log = Font()->LogFont();
            Log.lfEscapement = Log.lfOrientation = -900;
            Log.lfOutPrecision = OUT_TT_ONLY_PRECIS;
            Canvas()->Font().SetLogFont(Log);
        } else {
            Canvas()->Font().Assign(*Font());
        }
    }
    // Sizes are measured with a window only; making it measures them.
    if (!HandleAllocated()) return;
    CalcMetrics();
    if (FRecreating > 0) return;
    SetMouseSelectedControl(nullptr);
    UpdateLayout();
}

// ---- menu mode --------------------------------------------------------------------------------

void TdxBarControl::EnterMenuMode(TdxBarItemControl* Control) {
    POINT Cursor;
    GetCursorPos(&Cursor);
    const HWND Under = ControlAtScreenPoint(TPoint{Cursor.x, Cursor.y});
    if (Under && (!HandleAllocated() || Under != Handle()))
        if (auto* Other = dynamic_cast<TCustomdxBarControl*>(FindControl(Under)))
            StopMouseTracking(Other->Handle());
    FFocusBeforeMenuMode = GetFocus();
    TCustomForm* Form = BarManager()->OwnerForm();
    if (!IsCustomizing() && Form && Form->HandleAllocated())
        SetWindowPos(Form->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (!Control && ItemLinks())
        for (int I = 0; I < ItemLinks()->ShownCount() && !Control; ++I)
            if (TdxBarItemControl* C = ItemLinks()->ShownItems(I)->Control();
                C && C->IsSelectable())
                Control = C;
    SetKeySelectedControl(Control);
    if (Retired()) return;
    SetActive(true);
    BarManager()->SetKeyboardModeBar(this);
}

void TdxBarControl::ExitMenuMode() {
    TdxBarManager* M = BarManager();
    if (M->KeyboardModeBar() != this) return;
    M->SetKeyboardModeBar(nullptr);
    SetKeySelectedControl(nullptr);
    if (Retired()) return;
    SetActive(false);
    // Hot tracking starts again wherever the pointer rests now.
    POINT Cursor;
    GetCursorPos(&Cursor);
    if (const HWND Under = ControlAtScreenPoint(TPoint{Cursor.x, Cursor.y}))
        if (auto* Bar = dynamic_cast<TCustomdxBarControl*>(FindControl(Under))) {
            Bar->ResetLastCursorPos();
            POINT Client = Cursor;
            ::ScreenToClient(Bar->Handle(), &Client);
            PostMessage(Bar->Handle(), WM_MOUSEMOVE, 0, MAKELONG(Client.x, Client.y));
        }
    TCustomForm* Form = M->OwnerForm();
    if (FFocusBeforeMenuMode && Form && Form->HandleAllocated() &&
        GetActiveWindow() == Form->Handle() && IsWindowVisible(FFocusBeforeMenuMode))
        ::SetFocus(FFocusBeforeMenuMode);
    FFocusBeforeMenuMode = 0;
}

void TdxBarControl::SetActive(bool Value) {
    if (!Value) {
        if (IsCustomizing()) {
            SetMouseSelectedControl(nullptr);
        } else if (InMenuMode()) {
            auto* Button = dynamic_cast<TdxBarButtonControl*>(SelectedControl());
            if (Button && Button->DroppedDown()) Button->Deselect(true);
        }
        if (FSubMenuOpened) {
            FSubMenuOpened = false;
            if (!IsCustomizing()) ExitMenuMode();
        }
        if (Retired()) return;
    }
    TCustomdxBarControl::SetActive(Value);
}

void TdxBarControl::HideAll() {
    ExitMenuMode();
    if (!Retired()) TCustomdxBarControl::HideAll();
}

void TdxBarControl::SetKeySelectedControl(TdxBarItemControl* Control) {
    TCustomdxBarControl::SetKeySelectedControl(Control);
    if (Retired() || !Control || Control != SelectedControl() || Control->Selected() ||
        IsCustomizing())
        return;
    // Moving along a menu bar opens each submenu in turn.
    if (Control->IsSubItemControl())
        Control->Press(false);
    else
        Control->Select(true);
}

// ---- the mark ---------------------------------------------------------------------------------

void TdxBarControl::SetMarkState(TdxBarButtonState Value) {
    if (IsCustomizing() || Value == FMarkState) return;
    dxBarKillTimer(FMarkTimer);
    FMarkState = Value;
    RepaintMark();
    if (Value != TdxBarButtonState::Down) dxBarCustomizing().FreeQuickControlOf(this);
    if (Value == TdxBarButtonState::Hot && IsFloating())
        FMarkTimer = dxBarTimers().SetTimer(kdxBarMarkTimerElapse, [this] { MarkTimerTick(); });
    if (Value == TdxBarButtonState::Hot)
        UpdateHint(BarManager(), true, dxBarString(kdxBarMoreButtons));
    if (Value == TdxBarButtonState::Normal && !SelectedControl()) UpdateHint(BarManager(), false);
    if (Value == TdxBarButtonState::Down) {
        PlayMenuSound(msMenuPopup);
        dxBarCustomizing().ShowQuickControl(this);
    }
}

void TdxBarControl::RepaintMark() {
    if (!HandleAllocated()) return;
    if (IsFloating()) {
        SendMessage(Handle(), WM_NCPAINT, 1, 0);
        return;
    }
    const RECT Mark = MarkRect();
    InvalidateRect(Handle(), &Mark, FALSE);
}

bool TdxBarControl::CursorOverMark() {
    POINT Cursor;
    GetCursorPos(&Cursor);
    return HandleAllocated() && PtInRect(MarkRect(), ScreenToClient(TPoint{Cursor.x, Cursor.y}));
}

void TdxBarControl::MarkTimerTick() {
    if (CursorOverMark()) return;
    dxBarKillTimer(FMarkTimer);
    if (FMarkState == TdxBarButtonState::Hot) SetMarkState(TdxBarButtonState::Normal);
}

// ---- messages ---------------------------------------------------------------------------------

void TdxBarControl::Dispatch(TMessage& Message) {
    if (ItemSizingMessage(Message)) return;
    switch (Message.Msg) {
        case CM_FONTCHANGED:
            TCustomdxBarControl::Dispatch(Message);
            FontChanged();
            return;
        case WM_GETMINMAXINFO: {
            auto* Info = reinterpret_cast<MINMAXINFO*>(Message.LParam);
            Info->ptMinTrackSize = POINT{10, 10};
            Info->ptMaxSize = Info->ptMaxPosition = Info->ptMaxTrackSize = POINT{30000, 30000};
            return;
        }
        case WM_GETDLGCODE:
            Message.Result = DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS;
            return;
        case WM_SETFOCUS:
            return;
        case WM_MOUSEACTIVATE:
            Message.Result = MA_NOACTIVATE;
            // A floating bar clicked comes above the other floating bars, but leaves the
            // activation with its form.
            if (IsFloating() && !InMenuMode() && HandleAllocated())
                SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            return;
        case WM_SIZE:
            if (Destroying()) return;
            break;
        case WM_DESTROY:
            dxBarKillTimer(FMarkTimer);
            TCustomdxBarControl::Dispatch(Message);
            KeepBarForFormsNewWindow();
            return;
        case WM_CANCELMODE:
            // A modal window opening while the right-hand button is held: the press ends here,
            // and its loop (which counts only a release) runs nothing.
            if (FRightCloseButtonPressed) {
                if (GetCapture() == Handle()) ReleaseCapture();
                FRightCloseButtonPressed = false;
                UpdateLayout();
            }
            break;
        case WM_WINDOWPOSCHANGING:
            TCustomdxBarControl::Dispatch(Message);
            if (IsFloating() && !Moving())
                KeepOnScreen(*reinterpret_cast<WINDOWPOS*>(Message.LParam));
            return;
        case WM_WINDOWPOSCHANGED:
            TCustomdxBarControl::Dispatch(Message);
            SavePosition();
            return;
        case WM_SIZING:
            if (IsFloating())
                FloatingSizing(Message.WParam, *reinterpret_cast<RECT*>(Message.LParam));
            Message.Result = TRUE;
            return;
        case WM_NCLBUTTONDOWN:
            HideAll();
            if (Retired()) return;
            if (LRESULT(Message.WParam) == HTCLOSE) {
                TrackCloseButton();
                return;
            }
            break;
        case WM_LBUTTONDBLCLK:
        case WM_NCLBUTTONDBLCLK:
            if (FLastHit == HTCAPTION && !BarManager()->ComponentState().Contains(csDesigning)) {
                ToggleDocking();
                return;
            }
            break;
        default:
            break;
    }
    TCustomdxBarControl::Dispatch(Message);
}

void TdxBarControl::WMNCCalcSize(TMessage& Message) {
    if (IsFloating()) {
        FSizeGripShown = false;
        FloatingNCCalcSize(Message.WParam
                               ? reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                               : *reinterpret_cast<RECT*>(Message.LParam));
        return;
    }
    TCustomdxBarControl::WMNCCalcSize(Message);
    FSizeGripShown = FBar->ShowsSizeGrip();
    RECT* R = Message.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                             : reinterpret_cast<RECT*>(Message.LParam);
    if (FBar->BorderStyle() == bbsSingle) {
        InflateRect(R, -2, -2);
        if (IsVertical())
            R->top += BarManager()->GripSize();
        else
            R->left += BarManager()->GripSize();
    } else if (FDockingStyle == dsBottom) {
        R->top += 2;
        if (FSizeGripShown) R->right -= GetSystemMetrics(SM_CXHSCROLL);
    }
    R->right = std::max(R->right, R->left);
    R->bottom = std::max(R->bottom, R->top);
}

void TdxBarControl::WMNCPaint(TMessage& Message) {
    TCustomdxBarControl::WMNCPaint(Message);
    if (!HandleAllocated()) return;
    const HDC DC = GetWindowDC(Handle());
    RECT W;
    GetWindowRect(Handle(), &W);
    const TRect Window{0, 0, W.right - W.left, W.bottom - W.top};
    if (IsFloating())
        PaintFloatingFrame(DC, Window);
    else
        PaintDockedFrame(DC, Window);
    ReleaseDC(Handle(), DC);
}

bool TdxBarControl::PointOverUsableItem(TPoint P) const {
    TdxBarItemControl* Control = ItemAtPos(P);
    if (!Control) return false;
    if (IsCustomizing()) return true;
    return Control->IsSelectable() || Control->ExecutesItemOnClick();
}

void TdxBarControl::WMNCHitTest(TMessage& Message) {
    if (IsFloating()) {
        Message.Result = FloatingHitTest(PointOf(Message.LParam));
        return;
    }
    TCustomdxBarControl::WMNCHitTest(Message);
    const TPoint P = ScreenToClient(PointOf(Message.LParam));
    const bool InClient = PtInRect(ClientRect(), P);
    if (PtInRect(RightCloseButtonRect(), P) && !IsCustomizing()) {
        FLastHit = HTCLIENT;
        Message.Result = HTCLIENT;
        return;
    }
    if (InClient && (PointOverUsableItem(P) || (BarManager()->Style() != bmsStandard &&
                                                MarkExists() && PtInRect(MarkRect(), P)))) {
        FLastHit = HTCLIENT;
        Message.Result = HTCLIENT;
        return;
    }
    if (FSizeGripShown && !InClient && P.X >= ClientRect().Right) {
        FLastHit = HTGROWBOX;
        Message.Result = HTGROWBOX;
        return;
    }
    // The grip and the empty parts of a docked bar move it.
    FLastHit = HTCAPTION;
    Message.Result = HTCLIENT;
}

void TdxBarControl::WMLButtonDown(TMessage& Message) {
    if (IgnoreNextClick) return;
    const TPoint P = PointOf(Message.LParam);
    // What lies under the press, not under the last move: the cursor may have moved on before
    // the press is handled.
    const TPoint Pressed = ClientToScreen(P);
    SendMessage(Handle(), WM_NCHITTEST, 0, MAKELPARAM(Pressed.X, Pressed.Y));
    if (Retired()) return;
    if (PtInRect(RightCloseButtonRect(), P) && !IsCustomizing()) {
        TrackRightCloseButton();
        return;
    }
    const bool InClient = PtInRect(ClientRect(), P);
    TdxBarItemControl* Control = InClient ? ItemAtPos(P) : nullptr;
    if (Control && !IsCustomizing() &&
        (!Control->GetEnabled() || (!Control->IsSelectable() && !Control->ExecutesItemOnClick())))
        Control = nullptr;
    if (Control && !IsCustomizing()) {
        if (InMenuMode()) {
            if (Control == SelectedControl() && Control->IsWindowControl() && Control->Focused()) {
                // On the item being edited, outside its editor: the editor decides (a combo's
                // button drops the list down) and the text typed so far stays.
                Control->MouseToEditor(WM_LBUTTONDOWN, Message.WParam, P);
                return;
            }
            if (Control != SelectedControl() || Control->IsWindowControl()) {
                SetKeySelectedControl(Control);
                FSubMenuOpened = false;
            } else if (!Control->IsSubItemControl() || !FSubMenuOpened) {
                // A button, or an item whose submenu is not open: nothing more to do here.
            } else {
                ExitMenuMode();
            }
        } else {
            EnterMenuMode(Control);
        }
        if (Retired()) return;
        if (InMenuMode() && !Control->IsWindowControl()) FSubMenuOpened = true;
    } else if (Control && !Active()) {
        EnterMenuMode(Control);
    } else if (!Control) {
        SetActive(false);
    }
    if (Retired()) return;
    if (!Control && !IsCustomizing() && StartsFrameAction(Message)) return;
    TCustomdxBarControl::WMLButtonDown(Message);
    if (Retired() || FLastHit == HTCAPTION) return;
    if (MarkExists() && BarManager()->Style() != bmsStandard && PtInRect(MarkRect(), P))
        SetMarkState(FMarkState == TdxBarButtonState::Down ? TdxBarButtonState::Hot
                                                           : TdxBarButtonState::Down);
}

void TdxBarControl::WMKeyDown(TMessage& Message) {
    TCustomdxBarControl::WMKeyDown(Message);
    if (Retired() || !InMenuMode()) return;
    const WORD Key = WORD(Message.WParam);
    TdxBarItemControl* Selected = SelectedControl();
    if (Selected && Selected->GetEnabled() && Selected->WantsKey(Key)) {
        Selected->KeyDown(Key);
        return;
    }
    if (Key == VK_ESCAPE) {
        Message.WParam = 0;
        HideAll();
        return;
    }
    if (Key != VK_RETURN && Key != VK_UP && Key != VK_DOWN) return;
    if (!Selected) return;
    const bool Sub = Selected->IsSubItemControl();
    if (Sub && Selected->GetEnabled()) FSubMenuOpened = true;
    if (Sub || Key == VK_RETURN) Selected->Activate(false);
}

void TdxBarControl::WMMouseLeave(TMessage& Message) {
    if (FCaptionButtonState == TdxBarButtonState::Hot && !OverCloseButton(ToTPoint(CursorNow())))
        SetCaptionButtonState(TdxBarButtonState::Normal);
    if (InMenuMode()) {
        if (auto* Button = dynamic_cast<TdxBarButtonControl*>(SelectedControl())) Button->Repaint();
        return;
    }
    TCustomdxBarControl::WMMouseLeave(Message);
}

void TdxBarControl::WMRButtonDown(TMessage& Message) {
    if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
    if (IsCustomizing()) {
        SetActive(false);
        if (!Retired()) TCustomdxBarControl::WMRButtonDown(Message);
        return;
    }
    ShowToolbarsPopup(BarManager()->OwnerForm(), ClientToScreen(PointOf(Message.LParam)));
}

void TdxBarControl::WMMouseMove(TMessage& Message) {
    const TPoint P = PointOf(Message.LParam);
    const bool Moved = !IsMouseUnmoved(P);
    const bool MarkHover =
        Moved && !ActiveBarControl() && BarManager()->Style() != bmsStandard && MarkExists();
    if (MarkHover && FMarkState != TdxBarButtonState::Down && PtInRect(MarkRect(), P))
        SetMarkState(TdxBarButtonState::Hot);
    TCustomdxBarControl::WMMouseMove(Message);
    if (Retired()) return;
    if (MarkHover && FMarkState == TdxBarButtonState::Hot && !PtInRect(MarkRect(), P))
        SetMarkState(TdxBarButtonState::Normal);
    if (Moved && !ActiveBarControl()) TrackCloseButtonHover(P);
}
