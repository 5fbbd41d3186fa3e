#include "bars/windows/dxBarHooks.h"

#include <algorithm>
#include <array>

#include "bars/look/dxBarDraw.h"
#include "bars/look/dxBarSystem.h"
#include "bars/model/dxBarCustomizing.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarItems.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBars.h"
#include "bars/windows/dxBarAnimation.h"
#include "bars/windows/dxBarControl.h"
#include "bars/windows/dxBarDropDownList.h"
#include "bars/windows/dxBarHint.h"
#include "bars/windows/dxBarItemControls.h"
#include "bars/windows/dxBarPopupMenus.h"
#include "bars/windows/dxBarSystemMenu.h"
#include "bars/windows/dxBarToolbar.h"
#include "platform/actions/ShortCuts.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/core/Pointer.h"
#include "platform/core/Screens.h"
#include "platform/widgets/Forms.h"

namespace {

struct THooks {
    HHOOK Keyboard = 0;
    HHOOK Mouse = 0;
    HHOOK CallWndProc = 0;
    // The release of the key that went to an open menu goes nowhere either.
    bool SwallowKey = false;
    WORD SwallowCode = 0;
    // Alt went down and nothing else since: its release opens the main menu.
    bool AltAlone = false;
    // The mouse hook's closing of menus is running (it may see its own messages).
    bool ClosingMenus = false;
};

THooks& Hooks() {
    static auto* H = new THooks;
    return *H;
}

bool Down(WORD Key) {
    return GetKeyState(Key) < 0;
}

// The window's form when the window is a form of ours.
TCustomForm* FormOfWindow(HWND Wnd) {
    return dynamic_cast<TCustomForm*>(TWinControl::FromHandle(Wnd));
}

bool IsBarWindow(HWND Wnd) {
    auto* Bar = dynamic_cast<TCustomdxBarControl*>(FindControl(Wnd));
    return !BarWindowGone(Bar);
}

// The window is the bar window, a window inside it, or one of its chain of parent bars.
bool InsideChain(TCustomdxBarControl* Bar, HWND Wnd) {
    // A combo's drop-down list belongs to the menus it was opened from.
    if (Bar && IsdxBarDropDownWindow(Wnd)) return true;
    for (; Bar; Bar = Bar->ParentBar()) {
        if (Bar->Retired() || !Bar->HandleAllocated()) continue;
        if (Wnd == Bar->Handle() || IsChildWindowOf(Wnd, Bar->Handle())) return true;
    }
    return false;
}

// Everything a main menu bar and the visible toolbars answer for keys: the main menu bar first.
std::vector<TdxBar*> BarsForKeys(TdxBarManager* Manager) {
    std::vector<TdxBar*> Result;
    if (TdxBar* Main = Manager->MainMenuBar()) Result.push_back(Main);
    for (int I = 0; I < Manager->Bars()->Count(); ++I) {
        TdxBar* Bar = Manager->Bars()->Items(I);
        if (Bar->Visible() && !Bar->IsMainMenu()) Result.push_back(Bar);
    }
    return Result;
}

// ---- the keyboard -----------------------------------------------------------------------------

// The manager whose bars the keys of the active form are for.
TdxBarManager* ManagerForKeys() {
    TCustomForm* Form = FormOfWindow(GetActiveWindow());
    if (!Form || Form->ComponentState().Contains(csDesigning)) return nullptr;
    TdxBarManager* Manager = BarManagerOfForm(Form);
    TCustomForm* Main = Forms.MainForm();
    TdxBarManager* MainManager = Main && Main != Form ? BarManagerOfForm(Main) : nullptr;
    if (!MainManager) return Manager;
    if (Form->FormStyle() == fsMDIChild) {
        if (!Manager || !Manager->MainMenuBar()) return MainManager;
        return Manager;
    }
    if (!Manager && MainManager->AllowCallFromAnotherForm && Main->HandleAllocated() &&
        IsWindowEnabled(Main->Handle()))
        return MainManager;
    return Manager;
}

bool ShowContextMenuOfFocus() {
    const HWND Focus = GetFocus();
    TWinControl* Control = FindControl(Focus);
    TdxBarManager* Manager = Control ? BarManagerOfForm(GetParentForm(Control)) : nullptr;
    return Manager && Manager->PopupMenuLinks()->ShowFor(Control, Focus, TPoint{-1, -1});
}

// Alt with a letter: the first link whose caption has it. Unless it is the only one and its
// control acts at once (a button), its bar enters menu mode there; the only one is pressed.
bool AcceleratorStep(TdxBarManager* Manager, WORD Key) {
    TShiftState Shift = KeyboardShiftState();
    Shift.Exclude(ssAlt);
    TdxBarItemLink* Link = nullptr;
    TdxBarItemLinks* Links = nullptr;
    for (TdxBar* Bar : BarsForKeys(Manager)) {
        Links = Bar->ItemLinks();
        if ((Link = Links->FindLinkByAccel(Key, Shift, nullptr))) break;
    }
    if (!Link || !Link->Item() || !Link->Item()->Enabled()) return false;
    const bool Unique = Links->FindLinkByAccel(Key, Shift, Link) == Link;
    TdxBarItemControl* Control = Link->Control();
    const TBarWindowRef<TdxBarControl> Window = dynamic_cast<TdxBarControl*>(Links->BarControl());
    if (!Control || !Window) return true;
    const bool Direct = !Control->IsSubItemControl();
    if (!(Direct && Unique)) Window->EnterMenuMode(Control);
    if (!Unique || BarWindowGone(Window) || !Window->HasControl(Control)) return true;
    if (Direct) {
        Control->Activate(false);
    } else {
        Window->SetSubMenuOpened(true);
        Control->Press(false);
    }
    return true;
}

bool ShortCutStep(TdxBarManager* Manager, WORD Key) {
    const TShortCut Pressed = ShortCut(Key, KeyboardShiftState());
    for (TdxBar* Bar : BarsForKeys(Manager))
        if (Bar->ProcessShortCut(Pressed)) return true;
    return Down(VK_MENU) && AcceleratorStep(Manager, Key);
}

bool NoKeyDown() {
    std::array<BYTE, 256> State{};
    GetKeyboardState(State.data());
    return std::none_of(State.begin(), State.end(), [](BYTE B) { return B & 0x80; });
}

bool KeyboardStep(WORD Key, LPARAM Data) {
    THooks& H = Hooks();
    if (Key == VK_PROCESSKEY) return false;
    const bool Up = (Data & KF_UP_BIT) != 0;
    if (Up && H.SwallowKey && Key == H.SwallowCode) {
        H.SwallowKey = false;
        return true;
    }
    TCustomdxBarControl* Active = ActiveBarControl();
    if (Active && !Active->BarManager()->InMenuLoop) {
        if (!Active->IsCustomizing()) {
            TdxBarItemControl* Selected = Active->SelectedControl();
            const bool Editing = Selected && Selected->IsWindowControl() && Selected->Focused();
            if (!Editing) {
                DropQueued(GetFocus(), WM_CONTEXTMENU, WM_CONTEXTMENU);
                if (!Up) {
                    H.SwallowKey = true;
                    H.SwallowCode = Key;
                }
                if (Active->HandleAllocated())
                    SendMessage(Active->Handle(), Up ? WM_KEYUP : WM_KEYDOWN, Key, Data);
                // Kept only when the key closed the menus and is still held.
                if (ActiveBarControl() || !Down(Key)) H.SwallowKey = false;
                return true;
            }
        } else if (Key == VK_ESCAPE && Active->HandleAllocated() &&
                   GetCapture() == Active->Handle()) {
            ReleaseCapture();
            return true;
        }
    }
    if (GetCapture()) return false;
    const bool OnlyShift = Down(VK_SHIFT) && !Down(VK_CONTROL) && !Down(VK_MENU);
    if (((Key == VK_APPS && Up) || (Key == VK_F10 && !Up && OnlyShift)) && ShowContextMenuOfFocus())
        return true;
    TdxBarManager* Manager = ManagerForKeys();
    if (!Manager || Manager->IsCustomizing() || Manager->KeyboardModeBar()) return false;
    if (Up) {
        TdxBar* Main = Manager->MainMenuBar();
        const bool NoShift = !Down(VK_SHIFT) && !Down(VK_CONTROL) && !Down(VK_MENU);
        const bool Opens = Main && Main->Control() &&
                           ((Key == VK_MENU && H.AltAlone && NoKeyDown()) ||
                            (Key == VK_F10 && NoShift && Manager->UseF10ForMenu));
        H.AltAlone = false;
        if (!Opens) return false;
        Main->Control()->EnterMenuMode(nullptr);
        return true;
    }
    if (Key == VK_MENU) {
        H.AltAlone = true;
        return false;
    }
    H.AltAlone = false;
    return ShortCutStep(Manager, Key);
}

LRESULT KeyboardHook(int Code, WPARAM WParam, LPARAM LParam) {
    const bool Handled = Code >= 0 && KeyboardStep(WORD(WParam), LParam);
    const LRESULT Next = CallNextHookEx(Hooks().Keyboard, Code, WParam, LParam);
    return Handled ? 1 : Next;
}

// ---- the mouse --------------------------------------------------------------------------------

bool IsPress(UINT Msg) {
    switch (Msg) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
        case WM_NCMBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK:
        case WM_NCRBUTTONDBLCLK:
        case WM_NCMBUTTONDBLCLK:
            return true;
        default:
            return false;
    }
}

bool IsRightUp(UINT Msg) {
    return Msg == WM_RBUTTONUP || Msg == WM_NCRBUTTONUP;
}

// Closes the open menus, a level at a time, while the message lies outside them; true when the
// message is to go nowhere.
bool CloseMenusStep(UINT Msg, const MOUSEHOOKSTRUCT& Info) {
    THooks& H = Hooks();
    H.ClosingMenus = true;
    struct TDone {
        ~TDone() { Hooks().ClosingMenus = false; }
    } Done;
    bool Eat = (IsRightUp(Msg) || Msg == WM_MBUTTONUP || Msg == WM_NCMBUTTONUP) &&
               !InsideChain(ActiveBarControl(), Info.hwnd);
    TCustomdxBarControl* Active = ActiveBarControl();
    if (Active && !Active->BarManager()->Dragging()) {
        while ((Active = ActiveBarControl())) {
            const bool LeftUp = Msg == WM_LBUTTONUP || Msg == WM_NCLBUTTONUP;
            const bool Counts =
                IsPress(Msg) || (LeftUp && !IsBarWindow(Info.hwnd) && !AnimatedSubMenu() &&
                                 !Active->IsCustomizing() &&
                                 (dynamic_cast<TdxBarControl*>(Active) || Active->ParentBar()));
            if (!Counts || InsideChain(Active, Info.hwnd)) break;
            Active->HideAll();
            if (ActiveBarControl() == Active) break;
        }
    }
    // Input for a window that is gone or hidden goes nowhere, unless that window holds the pointer
    // (a drag's own hidden window: the drag needs every move and the release).
    if (Info.hwnd != GetCapture() && (!IsWindow(Info.hwnd) || !IsWindowVisible(Info.hwnd)))
        Eat = true;
    return Eat;
}

// The keys and buttons held, for a mouse message made here (the buttons as the user sees them).
WPARAM HeldMouseKeys() {
    WPARAM Flags = 0;
    if (IsPrimaryButtonDown()) Flags |= MK_LBUTTON;
    if (IsSecondaryButtonDown()) Flags |= MK_RBUTTON;
    if (Down(VK_MBUTTON)) Flags |= MK_MBUTTON;
    if (Down(VK_SHIFT)) Flags |= MK_SHIFT;
    if (Down(VK_CONTROL)) Flags |= MK_CONTROL;
    return Flags;
}

// The manager customizing from the dialog whose bars lie on the disabled form, or none.
TdxBarManager* CustomizingManagerOf(TCustomForm* Form) {
    TCustomForm* Dialog = dxBarCustomizing().Form();
    if (!Dialog || !Dialog->HandleAllocated() || GetActiveWindow() != Dialog->Handle())
        return nullptr;
    if (TdxBarManager* Manager = BarManagerOfForm(Form); Manager && Manager->IsCustomizing())
        return Manager;
    const TdxBarManagerList& Managers = TdxBarManagerList::Instance();
    for (int I = 0; I < Managers.Count(); ++I)
        if (Managers.Items(I)->IsCustomizing()) return Managers.Items(I);
    return nullptr;
}

// The customizing dialog disables the forms, and the desktop hands the mouse input on their
// bars to the disabled form, which drops it. The user works on those bars with the dialog open,
// so the input goes on to the bar window under the pointer, as if the form were enabled. Info
// then names the bar window and its hit-test code.
bool RedirectToBar(UINT Msg, MOUSEHOOKSTRUCT& Info) {
    if (int(Info.wHitTestCode) != HTERROR) return false;
    TCustomForm* Form = FormOfWindow(Info.hwnd);
    TdxBarManager* Manager = Form ? CustomizingManagerOf(Form) : nullptr;
    if (!Manager) return false;
    const HWND Under = WindowFromPoint(Info.pt);
    HWND Target = 0;
    for (int I = 0; I < Manager->Bars()->Count() && !Target; ++I)
        if (TdxBarControl* Window = Manager->Bars()->Items(I)->Control();
            Window && Window->HandleAllocated() && Window->Handle() == Under)
            Target = Under;
    if (!Target) return false;
    const LRESULT Hit = SendMessage(Target, WM_NCHITTEST, 0, PointLParam(Info.pt));
    SendMessage(Target, WM_SETCURSOR, WPARAM(Target), MAKELPARAM(WORD(Hit), WORD(Msg)));
    if (!IsWindow(Target)) return true;
    Info.hwnd = Target;
    Info.wHitTestCode = UINT(Hit);
    // What the desktop made a non-client message (the form took it as an error) reaches the bar
    // as its client counterpart.
    const UINT Client = Msg >= WM_NCMOUSEMOVE && Msg <= WM_NCMBUTTONDBLCLK ? Msg + 0x160 : Msg;
    if (Client != WM_MOUSEMOVE)
        if (TCustomForm* Dialog = dxBarCustomizing().Form()) SetForegroundWindow(Dialog->Handle());
    POINT At = Info.pt;
    ScreenToClient(Target, &At);
    PostMessage(Target, Client, HeldMouseKeys(), PointLParam(At));
    return true;
}

bool MouseStep(UINT Msg, MOUSEHOOKSTRUCT Info) {
    const bool Redirected = RedirectToBar(Msg, Info);
    bool Eat = Redirected;
    if (ActiveBarControl() && !Hooks().ClosingMenus) Eat = CloseMenusStep(Msg, Info) || Eat;
    if (!Hooks().ClosingMenus) dxBarCustomizing().QuickControlMouseMessage(Msg, Info.hwnd, Info.pt);
    if (Eat || Redirected || !IsRightUp(Msg)) return Eat;
    TWinControl* Control = FindControl(Info.hwnd);
    TdxBarManager* Manager = Control ? BarManagerOfForm(GetParentForm(Control)) : nullptr;
    if (!Manager) return false;
    POINT At = Info.pt;
    ScreenToClient(Info.hwnd, &At);
    return Manager->PopupMenuLinks()->ShowFor(Control, Info.hwnd, TPoint{At.x, At.y});
}

LRESULT MouseHook(int Code, WPARAM WParam, LPARAM LParam) {
    const auto* Info = reinterpret_cast<const MOUSEHOOKSTRUCT*>(LParam);
    const bool Eat = Code >= 0 && Info && MouseStep(UINT(WParam), *Info);
    const LRESULT Next = CallNextHookEx(Hooks().Mouse, Code, WParam, LParam);
    return Eat ? 1 : Next;
}

// ---- messages to windows ----------------------------------------------------------------------

LRESULT CallWndProcHook(int Code, WPARAM WParam, LPARAM LParam) {
    const auto* Info = reinterpret_cast<const CWPSTRUCT*>(LParam);
    TdxBarManager* FrameManager = nullptr;
    if (Code >= 0 && Info) {
        HWND Wnd = Info->hwnd;
        const UINT Msg = Info->message;
        bool ChildMessage = false;
        if (Msg == WM_CHILDACTIVATE || Msg == WM_DESTROY || Msg == WM_MDIACTIVATE) {
            const HWND Parent = GetParent(Wnd);
            if (Parent && GetClassName(Parent) == "MDICLIENT") {
                ChildMessage = true;
                FrameManager = BarManagerOfForm(FormOfWindow(GetParent(Parent)));
            }
        }
        if (Msg == WM_HELP)
            if (TCustomdxBarControl* Active = ActiveBarControl()) {
                TWinControl* Control = FindControl(Wnd);
                TCustomForm* Form = Control ? GetParentForm(Control) : nullptr;
                if (Form && Form != Active->BarManager()->OwnerForm() && Form->HandleAllocated())
                    Wnd = Form->Handle();
            }
        TdxBarManager* Manager = BarManagerOfForm(FormOfWindow(Wnd));
        if (Manager && (!ChildMessage || Msg == WM_DESTROY))
            OwnerFormMessage(Manager, Msg, Info->wParam, Info->lParam);
    }
    const LRESULT Next = CallNextHookEx(Hooks().CallWndProc, Code, WParam, LParam);
    if (FrameManager) MDIChildChanged(FrameManager);
    return Next;
}

// ---- the owner form ---------------------------------------------------------------------------

std::vector<TdxBarControl*> FloatingBarWindows(TdxBarManager* Manager) {
    std::vector<TdxBarControl*> Result;
    for (int I = 0; I < Manager->Bars()->Count(); ++I)
        if (TdxBarControl* Window = Manager->Bars()->Items(I)->Control();
            Window && Window->IsFloating() && Window->HandleAllocated())
            Result.push_back(Window);
    return Result;
}

void ShowFloatingBars(TdxBarManager* Manager, bool Show) {
    for (TdxBarControl* Window : FloatingBarWindows(Manager)) {
        if (!Window->Bar()->Visible()) continue;
        ShowWindow(Window->Handle(), Show ? SW_SHOWNA : SW_HIDE);
        if (Show) UpdateWindow(Window->Handle());
    }
}

// Floating bars go back into the work area of the monitor at the owner form's centre.
void KeepFloatingBarsOnScreen(TdxBarManager* Manager) {
    TCustomForm* Form = Manager->OwnerForm();
    if (!Form) return;
    const TRect F = Form->BoundsRect();
    const TRect Work = ToTRect(WorkAreaAt(POINT{(F.Left + F.Right) / 2, (F.Top + F.Bottom) / 2}));
    for (int I = 0; I < Manager->Bars()->Count(); ++I) {
        TdxBar* Bar = Manager->Bars()->Items(I);
        if (Bar->DockingStyle() != dsNone) continue;
        TdxBarControl* Window = Bar->Control();
        TRect R = Window
                      ? Window->BoundsRect()
                      : TRect{Bar->FloatLeft, Bar->FloatTop, Bar->FloatLeft + 1, Bar->FloatTop + 1};
        const int Width = R.Width(), Height = R.Height();
        if (R.Bottom > Work.Bottom) R.Top = Work.Bottom - Height;
        if (R.Top < Work.Top) R.Top = Work.Top;
        if (R.Right > Work.Right) R.Left = Work.Right - Width;
        if (R.Left < Work.Left) R.Left = Work.Left;
        if (Window)
            Window->SetBounds(R.Left, R.Top, Width, Height);
        else {
            Bar->FloatLeft = R.Left;
            Bar->FloatTop = R.Top;
        }
    }
}

// The customizing dialog while it customizes the manager's bars, or none.
TCustomForm* OwnDialog(TdxBarManager* Manager) {
    TCustomForm* Dialog = dxBarCustomizing().Form();
    return Manager->IsCustomizing() && Dialog && dxBarCustomizing().FormManager() == Manager &&
                   Dialog->HandleAllocated()
               ? Dialog
               : nullptr;
}

// A help request closes the menus; the program has no help viewer to show the item's topic in.
void HelpRequested(TdxBarManager* Manager) {
    if (TCustomdxBarControl* Active = ActiveBarControl(); Active && Active->BarManager() == Manager)
        Active->HideAll();
}

}  // namespace

// ---- the list of managers ---------------------------------------------------------------------

void RegisterManager(TdxBarManager* Manager) {
    TdxBarManagerList::Instance().Add(Manager);
    if (!Manager->ComponentState().Contains(csDesigning)) CreatedxBarHintWindow();
    THooks& H = Hooks();
    if (!H.Keyboard) H.Keyboard = SetWindowsHookEx(WH_KEYBOARD, THookProc(KeyboardHook));
    if (!H.Mouse) H.Mouse = SetWindowsHookEx(WH_MOUSE, THookProc(MouseHook));
    if (!H.CallWndProc)
        H.CallWndProc = SetWindowsHookEx(WH_CALLWNDPROC, THookProc(CallWndProcHook));
}

void UnregisterManager(TdxBarManager* Manager) {
    TdxBarManagerList& List = TdxBarManagerList::Instance();
    List.Remove(Manager);
    if (List.Count() > 0) return;
    THooks& H = Hooks();
    for (HHOOK* Hook : {&H.CallWndProc, &H.Mouse, &H.Keyboard}) {
        if (*Hook) UnhookWindowsHookEx(*Hook);
        *Hook = 0;
    }
    H.SwallowKey = H.AltAlone = false;
    FreedxBarHintWindow();
}

bool dxBarHooksInstalled() {
    const THooks& H = Hooks();
    return H.Keyboard && H.Mouse && H.CallWndProc;
}

// ---- the owner form ---------------------------------------------------------------------------

void FormActivationChanged(TdxBarManager* Manager, bool Active, HWND Other) {
    if (Manager->ActivationChanging) return;
    Manager->ActivationChanging = true;
    struct TDone {
        TdxBarManager* Manager;
        ~TDone() { Manager->ActivationChanging = false; }
    } Done{Manager};
    TCustomForm* Form = Manager->OwnerForm();
    if (Active) {
        if (Form && Form->HandleAllocated() && !IsIconic(Form->Handle()))
            ShowFloatingBars(Manager, true);
        return;
    }
    if (TCustomdxBarControl* Bar = ActiveBarControl(); Bar && Bar->BarManager() == Manager)
        Bar->HideAll();
    // Handing the activation to a popup of the program (a menu, a hint), or to the customizing
    // dialog of this manager, changes nothing more.
    TCustomForm* Dialog = dxBarCustomizing().Form();
    const bool ToDialog = Dialog && dxBarCustomizing().FormManager() == Manager &&
                          Dialog->HandleAllocated() && Other == Dialog->Handle();
    if (Other && IsWindow(Other) && Other != Forms.Handle() && (!FormOfWindow(Other) || ToDialog))
        return;
    ShowFloatingBars(Manager, false);
    if (Form && Form->HandleAllocated()) SendMessage(Form->Handle(), WM_NCACTIVATE, FALSE, 0);
}

void OwnerFormMessage(TdxBarManager* Manager, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TCustomForm* Form = Manager->OwnerForm();
    if (!Form || Form->ComponentState().Contains(csDestroying)) return;
    switch (Msg) {
        case WM_ACTIVATE: {
            const bool Activated = LOWORD(WParam) != WA_INACTIVE;
            const HWND Other = HWND(LParam);
            auto* OtherBar = dynamic_cast<TCustomdxBarControl*>(FindControl(Other));
            if (!Activated && OtherBar && OtherBar->BarManager() == Manager) return;
            const bool Nested = Manager->ActivationChanging;
            FormActivationChanged(Manager, Activated, Other);
            // The form the dialog disabled passes its activation on to the dialog.
            if (TCustomForm* Dialog = OwnDialog(Manager);
                !Nested && Activated && Dialog && !IsWindowEnabled(Form->Handle()))
                SendMessage(Dialog->Handle(), WM_ACTIVATE, WParam, LParam);
            return;
        }
        case WM_ACTIVATEAPP:
            if (WParam) return;
            FormActivationChanged(Manager, false, 0);
            // The program lost the desktop: the link the user pointed at is not selected any more.
            if (TdxBarItemControl* Selected = Manager->CustomizingSelection()) {
                if (TCustomdxBarControl* Window = Selected->Parent();
                    Window && Window->HandleAllocated())
                    SendMessage(Window->Handle(), WM_MOUSELEAVE, 0, 0);
                Manager->SetCustomizingSelection(nullptr);
            }
            return;
        case WM_WINDOWPOSCHANGING:
            if (const auto* Pos = reinterpret_cast<const WINDOWPOS*>(LParam);
                Pos && (Pos->flags & SWP_HIDEWINDOW))
                FormActivationChanged(Manager, false, 0);
            return;
        case WM_WINDOWPOSCHANGED:
            // The dialog (and its sub-menu editor) comes and goes with the form whose bars it
            // customizes.
            if (const auto* Pos = reinterpret_cast<const WINDOWPOS*>(LParam);
                Pos && OwnDialog(Manager)) {
                if (Pos->flags & SWP_SHOWWINDOW) dxBarCustomizing().OwnerFormShown(true);
                if (Pos->flags & SWP_HIDEWINDOW) dxBarCustomizing().OwnerFormShown(false);
            }
            return;
        case WM_SYSCOMMAND:
            switch (WParam & 0xFFF0) {
                case SC_MINIMIZE:
                case SC_CLOSE:
                    ShowFloatingBars(Manager, false);
                    return;
                case SC_MAXIMIZE:
                case SC_RESTORE:
                    ShowFloatingBars(Manager, true);
                    return;
                default:
                    return;
            }
        case WM_SYSCOLORCHANGE:
            dxBarRefreshSysColors();
            CreateDitherBrush();
            Manager->CreateFlatBrushes();
            Manager->RepaintBarControls();
            return;
        case WM_SETTINGCHANGE:
            if (WParam == SPI_SETNONCLIENTMETRICS) Manager->SystemFontChanged();
            if (WParam == SPI_SETWORKAREA) KeepFloatingBarsOnScreen(Manager);
            return;
        case WM_DISPLAYCHANGE:
            KeepFloatingBarsOnScreen(Manager);
            return;
        case WM_HELP:
            HelpRequested(Manager);
            return;
        case WM_CREATE:
            // The form's window is made again: the floating bars that went with the old one come
            // back (they wait for the form to show, as floating bars do).
            while (TdxBar* Bar = Manager->TakeBarToShowAgain()) Bar->SetVisible(true);
            return;
        default:
            return;
    }
}

// ---- MDI --------------------------------------------------------------------------------------

HWND ActiveMDIChild(TCustomForm* Frame, bool* Maximized) {
    if (Maximized) *Maximized = false;
    (void)Frame;
    // No form of the window layer has an MDI client window to ask.
    return 0;
}

void MDIChildChanged(TdxBarManager* Manager) {
    bool Maximized = false;
    const HWND Child = ActiveMDIChild(Manager->OwnerForm(), &Maximized);
    const HWND Last = Manager->LastMDIChild;
    if (Child == Last && Maximized == Manager->LastMDIChildMaximized) return;
    if (TCustomForm* Old = FormOfWindow(Last); Old && Child != Last)
        MergeMDIChild(Manager, Old, false, false);
    Manager->LastMDIChild = Child;
    Manager->LastMDIChildMaximized = Maximized;
    if (TCustomForm* New = FormOfWindow(Child)) MergeMDIChild(Manager, New, true, false);
    if (TdxBar* Main = Manager->MainMenuBar(); Main && Main->Control())
        Main->Control()->UpdateLayout();
}

void MergeMDIChild(TdxBarManager* Manager, TCustomForm* Child, bool Active, bool Unmerge) {
    TdxBar* Main = Manager->MainMenuBar();
    if (!Main || !Child) return;
    TdxBarItemLinks* Links = Main->ItemLinks();
    const bool Maximized = Child->HandleAllocated() && IsZoomed(Child->Handle());
    // The child's system menu as the first entry of the frame's menu bar.
    TdxBarItemLink* First = Links->Count() > 0 ? Links->Items(0) : nullptr;
    auto* SystemItem = First ? dynamic_cast<TSystemMenuSubItem*>(First->Item()) : nullptr;
    if (Active && Maximized && !SystemItem && Child->HandleAllocated() &&
        (GetWindowLong(Child->Handle(), GWL_STYLE) & WS_SYSMENU)) {
        auto* Item = new TSystemMenuSubItem(Manager->OwnerForm());
        Item->SetForm(Child);
        TdxBarItem::AddTemporaryItem(Item);
        Links->Insert(0)->SetItem(Item);
    } else if (!Active && SystemItem) {
        First->SetItem(nullptr);
        TdxBarItem::FreeTemporaryItems();
    }
    TdxBarManager* ChildManager = BarManagerOfForm(Child);
    TdxBar* ChildMain = ChildManager ? ChildManager->MainMenuBar() : nullptr;
    if (!ChildMain || Unmerge) return;
    if (Active && (Manager->AlwaysMerge || Maximized)) {
        Manager->ChildMainMenuVisible = ChildMain->Visible();
        if (Manager->OnMenuMerge) {
            Manager->OnMenuMerge(Manager, ChildManager, true);
        } else {
            for (int I = 0; I < ChildMain->ItemLinks()->Count(); ++I)
                Links->Add()->Assign(ChildMain->ItemLinks()->Items(I));
        }
        ChildMain->SetVisible(false);
        return;
    }
    if (Active) return;
    for (int I = Links->Count() - 1; I >= 0; --I)
        if (TdxBarItem* Item = Links->Items(I)->Item(); Item && Item->BarManager() == ChildManager)
            Links->Items(I)->SetItem(nullptr);
    if (Manager->OnMenuMerge) Manager->OnMenuMerge(Manager, ChildManager, false);
    if (!Manager->AlwaysMerge && !ChildMain->Visible())
        ChildMain->SetVisible(Manager->ChildMainMenuVisible);
}
