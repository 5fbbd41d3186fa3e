// The submenu window's life, its answers to the bar window, the personalized menus' expand button
// and its keys and mouse. Layout and placement are dxBarSubMenuLayout.cpp's, painting
// dxBarSubMenuPaint.cpp's.
#include "bars/windows/dxBarSubMenu.h"

#include <algorithm>

#include "bars/look/dxBarDraw.h"
#include "bars/look/dxBarSystem.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarItems.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarStrings.h"
#include "bars/model/dxBars.h"
#include "bars/windows/dxBarAnimation.h"
#include "bars/windows/dxBarItemControls.h"
#include "bars/windows/dxBarPopupMenus.h"
#include "bars/windows/dxBarTimers.h"
#include "bars/windows/dxBarToolbar.h"
#include "platform/classes/FlagScope.h"
#include "platform/core/Input.h"
#include "platform/core/Messages.h"
#include "platform/core/Paint.h"
#include "platform/core/Pointer.h"
#include "platform/gdi/RectMath.h"
#include "platform/shell/Sound.h"
#include "platform/widgets/Forms.h"

namespace {

// Expanding a personalized menu by itself: after it has been open so long, or after the pointer
// rested on its expand button so long.
constexpr UINT kExpandAfterOpening = 4000;
constexpr UINT kExpandAfterHover = 1000;
constexpr UINT kScrollElapse = 80;

bool OnlyCtrlDown() {
    return GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_MENU) >= 0;
}

bool NoShiftKeyDown() {
    return GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_MENU) >= 0;
}

}  // namespace

// ---- life -------------------------------------------------------------------------------------

TdxBarSubMenuControl::TdxBarSubMenuControl(TdxBarManager* Manager) : TCustomdxBarControl(Manager) {
    SetBounds(100, 100, 0, 30);
}

TdxBarSubMenuControl::~TdxBarSubMenuControl() {
    FHiding = true;
    CloseUp();
}

void TdxBarSubMenuControl::SetParentItemSize(int Width, int Height) {
    FParentItemWidth = Width;
    FParentItemHeight = Height;
}

void TdxBarSubMenuControl::CreateParams(TCreateParams& Params) {
    TCustomdxBarControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    // Our popups: topmost tool windows, never activated.
    Params.ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    Params.WindowClass.style |= CS_SAVEBITS | CS_OWNDC | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    HWND Owner = FOwnerWindow;
    if (!Owner)
        if (TCustomForm* Form = BarManager()->OwnerForm(); Form && Form->HandleAllocated())
            Owner = Form->Handle();
    Params.WndParent = Owner;
}

void TdxBarSubMenuControl::CreateWnd() {
    // The screen behind the menu is up to date before the menu covers it.
    ProcessPaintMessages();
    if (!FRarelyUsedBrush)
        FRarelyUsedBrush = CreateSolidBrush(GetLightColor(COLOR_BTNFACE, 20, 20, 20));
    TCustomdxBarControl::CreateWnd();
    SetActive(true);
    FTopIndex = 0;
    PlaceOnScreen();
    PlayMenuSound(msMenuPopup);
}

void TdxBarSubMenuControl::Show() {
    if (OnPopup) OnPopup(this);
    if (Retired() || FHiding) return;
    FAnimations = BarManager()->MenuAnimations();
    const bool Animates = FAnimationAllowed && FAnimations != maNone && ItemLinks() &&
                          ItemLinks()->VisibleItemCount() > 0 && !IsCustomizing();
    FAnimationAllowed = Animates;
    HandleNeeded();
    if (Retired() || !HandleAllocated()) return;
    if (Animates) StartAnimation();
    if (AnimatedSubMenu() != this)
        SetWindowPos(Handle(), 0, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    FVisible = true;
    ProcessPaintMessages();
}

void TdxBarSubMenuControl::Hide() {
    if (FHiding) return;
    FHiding = true;
    ReleaseWindow();
}

void TdxBarSubMenuControl::Retire() {
    FHiding = true;
    CloseUp();
    TCustomdxBarControl::Retire();
}

void TdxBarSubMenuControl::CloseUp() {
    if (FClosed) return;
    FClosed = true;
    if (AnimatedSubMenu() == this) StopSubMenuAnimation();
    StopScrolling();
    dxBarKillTimer(FExpandTimer);
    if (auto* Child = dynamic_cast<TdxBarSubMenuControl*>(ChildBar())) {
        SetChildBar(nullptr);
        Child->Hide();
    }
    if (ParentBar() && ParentBar()->ChildBar() == this) ParentBar()->SetChildBar(nullptr);
    if (!Retired()) SetActive(false);
    UnlistContainers();
    // A closed menu takes no part in the chain of its opener any more.
    SetParentBar(nullptr);
    TdxBarItemControl* Opener = FParentItemControl;
    FParentItemControl = nullptr;
    if (auto* Button = dynamic_cast<TdxBarButtonControl*>(Opener); Button && Button->DroppedDown())
        Button->MenuClosed();
    if (OnCloseUp) OnCloseUp(this);
    if (FRarelyUsedBrush) DeleteObject(FRarelyUsedBrush);
    FRarelyUsedBrush = 0;
}

// ---- what the window answers ------------------------------------------------------------------

bool TdxBarSubMenuControl::IsFlatStyle() const {
    return BarManager()->IsFlat();
}

bool TdxBarSubMenuControl::Animating() const {
    return AnimatedSubMenu() == this;
}

void TdxBarSubMenuControl::WaitForAnimation() {
    if (Animating()) StopSubMenuAnimation();
}

void TdxBarSubMenuControl::CalcMetrics() {
    TCustomdxBarControl::CalcMetrics();
    if (IsFlatStyle()) ++FTextSize;
    FArrowWidth = FTextSize / 4 * 3 + 1;
    // The chevrons of the expand button want an even number of rows above and below them.
    FMarkHeight = TextExtentOf(Font()->Handle(), "0").cy + 1;
    if ((FMarkHeight - 6) / 2 % 2 != 0) FMarkHeight = ((FMarkHeight - 6) / 2 - 1) * 2 + 6;
}

bool TdxBarSubMenuControl::IsCustomizable() const {
    if (TCustomdxBarControl::IsCustomizable() || !ItemLinks()) return true;
    if (ItemLinks()->OwnerPopupMenu()) return true;
    auto* Sub = dynamic_cast<TdxBarSubItem*>(ItemLinks()->OwnerSubItem());
    return Sub && Sub->AllowCustomizing;
}

int TdxBarSubMenuControl::GetBeginGroupSize() const {
    return IsFlatStyle() ? 5 : 10;
}

HFONT TdxBarSubMenuControl::GetFontHandle() const {
    if (ParentBar()) return ParentBar()->GetFontHandle();
    if (TdxBarPopupMenu* Popup = ItemLinks() ? ItemLinks()->OwnerPopupMenu() : nullptr)
        return Popup->FontHandle();
    return BarManager()->FontHandle();
}

void TdxBarSubMenuControl::AssignFont() {
    const auto FontChanging = TFlagScope::Nested(FFontChanging);
    LOGFONT Log;
    if (GetObject(GetFontHandle(), sizeof(Log), &Log)) Font()->SetLogFont(Log);
    Canvas()->Font().Assign(*Font());
}

int TdxBarSubMenuControl::BarSize() const {
    TdxBarItemLinks* Links = ItemLinks();
    if (!Links) return 0;
    if (TdxBarPopupMenu* Popup = Links->OwnerPopupMenu()) return Popup->BarSize();
    if (TCustomdxBarSubItem* Sub = Links->OwnerSubItem()) return Sub->BarSize();
    return 0;
}

bool TdxBarSubMenuControl::UsesRecentItems() const {
    return ItemLinks() && ItemLinks()->UsesRecentItems();
}

bool TdxBarSubMenuControl::MarkExists() const {
    TdxBarItemLinks* Links = ItemLinks();
    return UsesRecentItems() && Links->VisibleItemCount() < Links->CanVisibleItemCount();
}

TdxBarControl* TdxBarSubMenuControl::MainMenuBarWindow() const {
    TdxBar* Main = BarManager()->MainMenuBar();
    return Main ? Main->Control() : nullptr;
}

TCustomdxBarControl* TdxBarSubMenuControl::OpenerBar() const {
    if (ParentBar()) return ParentBar();
    if (FParentItemControl && !BarWindowGone(FParentItemControl->Parent()))
        return FParentItemControl->Parent();
    return nullptr;
}

// ---- menu mode and selection ------------------------------------------------------------------

void TdxBarSubMenuControl::SetActive(bool Value) {
    const bool Was = Active();
    TCustomdxBarControl::SetActive(Value);
    if (Retired() || Was == Value) return;
    if (Value && UsesRecentItems() && !FExpanded && !dxBarFullMenusShown() &&
        BarManager()->ShowFullMenusAfterDelay())
        StartExpandTimer(kExpandAfterOpening);
}

void TdxBarSubMenuControl::SetSelectedControl(TdxBarItemControl* Control) {
    if (Control == SelectedControl()) return;
    TCustomdxBarControl::SetSelectedControl(Control);
    if (Retired()) return;
    if (Control) MakeVisible(Control->ItemLink());
    if (FMarkState == TdxBarButtonState::Normal && FExpandTimer &&
        FExpandElapse == kExpandAfterOpening)
        StartExpandTimer(kExpandAfterOpening);
}

void TdxBarSubMenuControl::HideAll() {
    if (ParentBar()) {
        TCustomdxBarControl::HideAll();
        return;
    }
    Hide();
    ProcessPaintMessages();
}

void TdxBarSubMenuControl::UpdateLayout() {
    if (!HandleAllocated() || FHiding || UpdateLock()) return;
    WaitForAnimation();
    RecalcVisibleLinks();
    const TSize Size = MeasureSize();
    SetBounds(Left(), Top(), Size.cx, Size.cy);
    CalcLayout(false);
    Invalidate();
}

// ---- personalized menus -----------------------------------------------------------------------

void TdxBarSubMenuControl::StartExpandTimer(UINT Elapse) {
    dxBarKillTimer(FExpandTimer);
    FExpandElapse = Elapse;
    FExpandTimer = dxBarTimers().SetTimer(Elapse, [this] {
        dxBarKillTimer(FExpandTimer);
        if (!Retired()) SetMarkState(TdxBarButtonState::Down);
    });
}

void TdxBarSubMenuControl::SetMarkState(TdxBarButtonState Value) {
    if (IsCustomizing() || !UsesRecentItems() || Value == FMarkState) return;
    if (Value == TdxBarButtonState::Hot && SelectedControl() &&
        SelectedControl()->IsWindowControl() && SelectedControl()->Focused())
        return;
    FMarkState = Value;
    if (Value == TdxBarButtonState::Down) {
        Expand();
        return;
    }
    if (HandleAllocated()) {
        const RECT Mark = MarkRect();
        InvalidateRect(Handle(), &Mark, FALSE);
    }
    if (BarManager()->ShowFullMenusAfterDelay()) {
        if (FExpanded || dxBarFullMenusShown()) return;
        HWND Wnd = HandleAllocated() ? Handle() : 0;
        POINT P = CursorNow();
        if (Wnd) ::ScreenToClient(Wnd, &P);
        const bool Hovered =
            Value == TdxBarButtonState::Hot && PtInRect(MarkRect(), TPoint{P.x, P.y});
        StartExpandTimer(Hovered ? kExpandAfterHover : kExpandAfterOpening);
    } else {
        Forms.SetHint(Value == TdxBarButtonState::Hot ? dxBarString(kdxBarExpandMenu)
                                                      : std::string());
    }
}

void TdxBarSubMenuControl::Expand() {
    FMarkState = TdxBarButtonState::Normal;
    if (!MarkExists()) return;
    dxBarKillTimer(FExpandTimer);
    SetdxBarFullMenusShown(true);
    FExpanded = true;
    WaitForAnimation();
    StopScrolling();
    TdxBarItemLink* Selected = SelectedControl() ? SelectedControl()->ItemLink() : nullptr;
    FTopIndex = 0;
    PlaceOnScreen();
    if (Retired()) return;
    if (Selected && Selected->Control()) SetKeySelectedControl(Selected->Control());
    if (Retired()) return;
    FAnimationAllowed = FAnimations != maNone;
    if (FAnimationAllowed) StartAnimation();
    Invalidate();
}

// ---- scrolling --------------------------------------------------------------------------------

void TdxBarSubMenuControl::StopScrolling() {
    dxBarKillTimer(FScrollTimer);
    FLastScrollPos = TPoint{-1, -1};
}

void TdxBarSubMenuControl::Scroll(int Delta) {
    FTopIndex += Delta;
    CalcLayout(false);
    Invalidate();
}

void TdxBarSubMenuControl::ScrollTick() {
    POINT P = CursorNow();
    ::ScreenToClient(Handle(), &P);
    const TPoint At{P.x, P.y};
    if (FTopIndex > 0 && PtInRect(TopScrollRect(), At)) {
        Scroll(-1);
        return;
    }
    if (FScrollsDown && PtInRect(BottomScrollRect(), At)) {
        Scroll(1);
        return;
    }
    dxBarKillTimer(FScrollTimer);
    ResetLastCursorPos();
    if (BarManager()->Dragging()) {
        if (TCustomForm* Form = BarManager()->OwnerForm(); Form && Form->HandleAllocated())
            PostMessage(Form->Handle(), WM_MOUSEMOVE, 0, MAKELONG(P.x, P.y));
        return;
    }
    SendMessage(Handle(), WM_MOUSEMOVE, 0, MAKELONG(P.x, P.y));
}

// ---- keys -------------------------------------------------------------------------------------

void TdxBarSubMenuControl::WMKeyDown(TMessage& Message) {
    WaitForAnimation();
    const WORD Key = WORD(Message.WParam);
    TdxBarItemLinks* Links = ItemLinks();
    if (Links && MarkExists()) {
        if (Key == VK_DOWN && OnlyCtrlDown()) {
            SetMarkState(TdxBarButtonState::Down);
            return;
        }
        TdxBarItemLink* Last = Links->Last();
        if ((Key == VK_DOWN || Key == VK_TAB) && NoShiftKeyDown() && SelectedControl() && Last &&
            SelectedControl()->ItemLink() == Last) {
            SetMarkState(TdxBarButtonState::Down);
            // Again, so that the selection moves on into the entries now shown.
            if (!Retired() && HandleAllocated())
                SendMessage(Handle(), WM_KEYDOWN, Key, Message.LParam);
            return;
        }
    }
    TCustomdxBarControl::WMKeyDown(Message);
    if (Retired() || !ActiveBarControl()) return;
    TdxBarItemControl* Selected = SelectedControl();
    switch (WORD(Message.WParam)) {
        case VK_RETURN:
            if (Selected) Selected->Activate(false);
            return;
        case VK_ESCAPE:
            if (TBarWindowRef<> Parent = ParentBar()) {
                if (TdxBarItemControl* Opener = Parent->SelectedControl()) Opener->Deselect(true);
                if (auto* Toolbar = dynamic_cast<TdxBarControl*>(Parent.get()))
                    Toolbar->ExitMenuMode();
            } else {
                Hide();
            }
            return;
        case VK_LEFT: {
            TCustomdxBarControl* Opener = OpenerBar();
            if (!Opener || !Opener->SelectedControl()) return;
            if (Opener->IsSubMenuWindow())
                Opener->SelectedControl()->Deselect(true);
            else
                SendToMainMenuBar(VK_LEFT);
            return;
        }
        case VK_RIGHT:
            if (Selected && Selected->GetEnabled() && Selected->WantsKey(VK_RIGHT)) {
                Selected->KeyDown(VK_RIGHT);
                return;
            }
            SendToMainMenuBar(VK_RIGHT);
            return;
        default:
            return;
    }
}

void TdxBarSubMenuControl::SendToMainMenuBar(WORD Key) {
    // Only a menu bar this menu was opened from moves on to its next menu.
    TdxBarControl* Main = MainMenuBarWindow();
    if (Main && TopLevelBarControl(this) == Main && Main->HandleAllocated())
        SendMessage(Main->Handle(), WM_KEYDOWN, Key, 0);
}

// ---- the mouse --------------------------------------------------------------------------------

void TdxBarSubMenuControl::WMMouseMove(TMessage& Message) {
    const TPoint P = PointOf(Message.LParam);
    const bool Moved = !IsMouseUnmoved(P);
    if (Moved)
        WaitForAnimation();
    else if (Animating())
        return;
    if (Retired()) return;
    TCustomdxBarControl* Parent = ParentBar();
    if (Moved && Parent && FParentItemControl && Parent->HasControl(FParentItemControl))
        Parent->SetMouseSelectedControl(FParentItemControl);
    if (Retired()) return;
    SetDetachHot(OverDetachBar(P));
    if (MarkExists() && FMarkState != TdxBarButtonState::Down)
        SetMarkState(PtInRect(MarkRect(), P) ? TdxBarButtonState::Hot : TdxBarButtonState::Normal);
    if (Retired()) return;
    const bool InScroll = (FTopIndex > 0 && PtInRect(TopScrollRect(), P)) ||
                          (FScrollsDown && PtInRect(BottomScrollRect(), P));
    if (InScroll) {
        const TPoint Screen = ClientToScreen(P);
        if (Screen != FLastScrollPos) {
            FLastScrollPos = Screen;
            SetMouseSelectedControl(nullptr);
            if (!FScrollTimer)
                FScrollTimer = dxBarTimers().SetTimer(kScrollElapse, [this] {
                    if (!Retired()) ScrollTick();
                });
        }
        return;
    }
    StopScrolling();
    TCustomdxBarControl::WMMouseMove(Message);
}

void TdxBarSubMenuControl::WMMouseLeave(TMessage& Message) {
    SetDetachHot(false);
    StopScrolling();
    TCustomdxBarControl::WMMouseLeave(Message);
}

void TdxBarSubMenuControl::WMLButtonDown(TMessage& Message) {
    if (FScrollTimer) return;
    const bool Ignored = IgnoreNextClick || !ItemLinks() || ItemLinks()->ShownCount() == 0;
    TCustomdxBarControl::WMLButtonDown(Message);
    if (Retired() || Ignored) return;
    WaitForAnimation();
    if (Retired()) return;
    if (FDetachHot && OverDetachBar(PointOf(Message.LParam))) {
        Detach();
        return;
    }
    // The first click makes the expand button hot, the next one expands the menu.
    if (MarkExists() && PtInRect(MarkRect(), PointOf(Message.LParam)))
        SetMarkState(FMarkState == TdxBarButtonState::Hot ? TdxBarButtonState::Down
                                                          : TdxBarButtonState::Hot);
}

void TdxBarSubMenuControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_GETDLGCODE:
            Message.Result = DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS;
            return;
        case CM_FONTCHANGED:
            TCustomdxBarControl::Dispatch(Message);
            // Taking the font is a font change too.
            if (!HandleAllocated() || FFontChanging) return;
            {
                const TFlagScope FontChanging(FFontChanging);
                AssignFont();
            }
            CalcMetrics();
            UpdateLayout();
            return;
        default:
            TCustomdxBarControl::Dispatch(Message);
    }
}
