#include "platform/widgets/Forms.h"

#include <algorithm>

#include "platform/core/Input.h"
#include "platform/core/ModalScope.h"
#include "platform/core/Paint.h"
#include "platform/core/Screens.h"
#include "platform/forms/FormDefinitions.h"
#include "platform/widgets/Menus.h"

// ---- TCustomForm ----------------------------------------------------------------------------

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
    FVisible = false;
    FColor = clBtnFace;
    FParentColor = false;
    FParentFont = false;
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                                  csDoubleClicks};
    FWidth = 320;
    FHeight = 240;
    FFormState.Include(fsCreating);
    if (Screen) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
    if (Screen) Screen->RemoveForm(this);
}

void TCustomForm::AfterConstruction() {
    if (FCreated) return;
    FCreated = true;
    // Nothing is aligned while the form is read (fsCreating): the anchors of each control are
    // taken against its parent's designed size. Then the whole tree is aligned once.
    InitInheritedComponent(this);
    FFormState.Exclude(fsCreating);
    RealignTree();
    DoCreate();
}

void TCustomForm::ReadState(TReader& Reader) {
    DisableAlign();
    struct TDone {
        TCustomForm* Form;
        ~TDone() { Form->EnableAlign(); }
    } Done{this};
    TWinControl::ReadState(Reader);
}

void TCustomForm::Loaded() {
    TWinControl::Loaded();
    ApplyClientSize();
}

void TCustomForm::BeforeDestruction() {
    if (!ComponentState().Contains(csDestroying)) {
        if (Forms.FMainForm == this) Forms.FMainForm = nullptr;
        if (FCreated) {
            try {
                DoDestroy();
            } catch (...) {
                Application.HandleException();
            }
        }
    }
    TWinControl::BeforeDestruction();
}

void TCustomForm::DoCreate() {
    if (OnCreate) OnCreate(this);
}

void TCustomForm::DoDestroy() {
    if (OnDestroy) OnDestroy(this);
}

void TCustomForm::DoShow() {
    if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
    if (OnHide) OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& Action) {
    if (OnClose) OnClose(this, Action);
}

void TCustomForm::Activate() {
    if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
    if (OnDeactivate) OnDeactivate(this);
}

// ---- the frame ------------------------------------------------------------------------------

DWORD TCustomForm::FrameStyle() const {
    DWORD Style = WS_CLIPCHILDREN;
    switch (FBorderStyle) {
        case bsNone:
            Style |= WS_POPUP;
            break;
        case bsSingle:
        case bsToolWindow:
            Style |= WS_CAPTION | WS_BORDER;
            break;
        case bsSizeable:
        case bsSizeToolWin:
            Style |= WS_CAPTION | WS_THICKFRAME;
            break;
        case bsDialog:
            Style |= WS_POPUP | WS_CAPTION | WS_DLGFRAME;
            break;
    }
    if (FBorderStyle != bsNone) {
        if (FBorderIcons.Contains(biSystemMenu)) Style |= WS_SYSMENU;
        const bool Icons = FBorderStyle == bsSingle || FBorderStyle == bsSizeable;
        if (Icons && FBorderIcons.Contains(biMinimize)) Style |= WS_MINIMIZEBOX;
        if (Icons && FBorderIcons.Contains(biMaximize)) Style |= WS_MAXIMIZEBOX;
    }
    return Style;
}

DWORD TCustomForm::FrameExStyle() const {
    DWORD Ex = 0;
    if (FBorderStyle == bsDialog) Ex |= WS_EX_DLGMODALFRAME;
    if (FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin) Ex |= WS_EX_TOOLWINDOW;
    if (FFormStyle == fsStayOnTop) Ex |= WS_EX_TOPMOST;
    return Ex;
}

void TCustomForm::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.Style = FrameStyle();
    // A shown form whose window is made again (a new border) stays on the screen; a form is
    // otherwise made hidden and shown by Show.
    if (FRecreating && FVisible) Params.Style |= WS_VISIBLE;
    if (!FEnabled) Params.Style |= WS_DISABLED;
    Params.ExStyle = FrameExStyle();
    // Forms belong to the application's hidden window, not to the main form: a form the user
    // put aside falls behind the main window when that is clicked. A modal form is owned by the
    // window it interrupts while it runs (see ShowModal).
    Params.WndParent = Forms.Handle();
    if (FPosition == poDefault || FPosition == poDefaultPosOnly)
        Params.X = Params.Y = CW_USEDEFAULT;
    Params.WindowClass.hbrBackground = 0;
}

void TCustomForm::CreateWnd() {
    TWinControl::CreateWnd();
}

TRect TCustomForm::ClientRect() {
    if (HandleAllocated()) return TWinControl::ClientRect();
    RECT Frame{0, 0, 0, 0};
    AdjustWindowRectEx(&Frame, FrameStyle(), FALSE, FrameExStyle());
    return TRect{0, 0, std::max(0, FWidth - (Frame.right - Frame.left)),
                 std::max(0, FHeight - (Frame.bottom - Frame.top))};
}

void TCustomForm::SetClientSize(int AWidth, int AHeight) {
    if (ComponentState().Contains(csLoading)) {
        FClientWidth = AWidth;
        FClientHeight = AHeight;
        return;
    }
    TWinControl::SetClientSize(AWidth, AHeight);
}

void TCustomForm::SetDefinedClientWidth(int Value) {
    if (ComponentState().Contains(csLoading))
        FClientWidth = Value;
    else
        SetClientWidth(Value);
}

void TCustomForm::SetDefinedClientHeight(int Value) {
    if (ComponentState().Contains(csLoading))
        FClientHeight = Value;
    else
        SetClientHeight(Value);
}

void TCustomForm::ApplyClientSize() {
    if (FClientWidth < 0 && FClientHeight < 0) return;
    const TRect R = ClientRect();
    const int W = FClientWidth >= 0 ? FClientWidth : R.Width();
    const int H = FClientHeight >= 0 ? FClientHeight : R.Height();
    FClientWidth = FClientHeight = -1;
    TWinControl::SetClientSize(W, H);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
    if (FBorderStyle == Value) return;
    const TRect Client = ClientRect();
    FBorderStyle = Value;
    if (HandleAllocated()) RecreateWnd();
    // The client area keeps its size; the frame around it changes.
    if (!ComponentState().Contains(csLoading)) SetClientSize(Client.Width(), Client.Height());
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
    if (FBorderIcons == Value) return;
    FBorderIcons = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
    if (FFormStyle == Value) return;
    FFormStyle = Value;
    if (HandleAllocated())
        SetWindowPos(Handle(), Value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

TWindowState TCustomForm::WindowState() {
    if (HandleAllocated()) {
        if (IsIconic(Handle())) return wsMinimized;
        if (IsZoomed(Handle())) return wsMaximized;
        return IsWindowVisible(Handle()) ? wsNormal : FWindowState;
    }
    return FWindowState;
}

void TCustomForm::SetWindowState(TWindowState Value) {
    FWindowState = Value;
    if (!HandleAllocated() || !FVisible) return;
    ShowWindow(Handle(), Value == wsMinimized   ? SW_MINIMIZE
                         : Value == wsMaximized ? SW_SHOWMAXIMIZED
                                                : SW_RESTORE);
}

// ---- showing --------------------------------------------------------------------------------

void TCustomForm::PlaceOnShow() {
    if (FPlaced) return;
    FPlaced = true;
    TRect Area = Screen ? Screen->WorkAreaRect() : TRect{0, 0, 800, 600};
    auto CentreOver = [&](const TRect& Over) {
        int L = Over.Left + (Over.Width() - FWidth) / 2;
        int T = Over.Top + (Over.Height() - FHeight) / 2;
        // Kept on the work area, top-left corner first.
        L = std::max(int(Area.Left), std::min(L, int(Area.Right) - FWidth));
        T = std::max(int(Area.Top), std::min(T, int(Area.Bottom) - FHeight));
        SetBounds(L, T, FWidth, FHeight);
    };
    switch (FPosition) {
        case poScreenCenter:
        case poDesktopCenter:
            CentreOver(Area);
            break;
        case poMainFormCenter:
        case poOwnerFormCenter: {
            TCustomForm* Over =
                FPosition == poOwnerFormCenter ? dynamic_cast<TCustomForm*>(Owner()) : nullptr;
            if (!Over) Over = Forms.FMainForm;
            if (Over && Over != this && Over->HandleAllocated())
                CentreOver(Over->BoundsRect());
            else
                CentreOver(Area);
            break;
        }
        default:
            break;
    }
}

void TCustomForm::Show() {
    HandleNeeded();
    PlaceOnShow();
    if (!FVisible) {
        FVisible = true;
        FFormState.Include(fsVisible);
        const int Cmd = FWindowState == wsMinimized   ? SW_SHOWMINIMIZED
                        : FWindowState == wsMaximized ? SW_SHOWMAXIMIZED
                                                      : SW_SHOWNORMAL;
        ShowWindow(Handle(), Cmd);
        DoShow();
    }
    BringWindowToTop(Handle());
    SetForegroundWindow(Handle());
}

void TCustomForm::Hide() {
    if (!FVisible) return;
    FVisible = false;
    FFormState.Exclude(fsVisible);
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
    DoHide();
}

bool TCustomForm::CloseQuery() {
    bool CanClose = true;
    if (OnCloseQuery) OnCloseQuery(this, CanClose);
    return CanClose;
}

void TCustomForm::SetModalResult(TModalResult Value) {
    FModalResult = Value;
    // The modal loop looks at the result when a message of ours arrives; a result set from
    // outside one (a Qt timer, a signal of a Qt object) would otherwise wait for the next input.
    if (Value != mrNone && FFormState.Contains(fsModal) && HandleAllocated())
        PostMessage(FHandle, WM_NULL, 0, 0);
}

void TCustomForm::Close() {
    if (FFormState.Contains(fsModal)) {
        SetModalResult(mrCancel);
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction Action = caHide;
    DoClose(Action);
    if (Action == caNone) return;
    if (Forms.FMainForm == this) {
        Forms.Terminate();
        Hide();
        return;
    }
    switch (Action) {
        case caHide:
            Hide();
            break;
        case caMinimize:
            SetWindowState(wsMinimized);
            break;
        case caFree:
            Hide();
            Release();
            break;
        default:
            break;
    }
}

void TCustomForm::Release() {
    if (HandleAllocated())
        PostMessage(Handle(), CM_RELEASE, 0, 0);
    else
        Free();
}

void TCustomForm::CloseModal() {
    TCloseAction Action = caHide;
    if (!CloseQuery()) {
        FModalResult = mrNone;
        return;
    }
    DoClose(Action);
    if (Action == caNone) FModalResult = mrNone;
}

TModalResult TCustomForm::ShowModal() {
    if (FVisible || !FEnabled || FFormState.Contains(fsModal))
        throw EInvalidOperation("Cannot make a visible window modal");
    FFormState.Include(fsModal);
    struct TLeave {
        TCustomForm* Form;
        ~TLeave() { Form->FFormState.Exclude(fsModal); }
    } Leave{this};
    HandleNeeded();
    // Above the window it interrupts, whatever is clicked meanwhile.
    const HWND Interrupted = GetActiveWindow();
    const HWND Owner = Interrupted != 0 && Interrupted != FHandle ? Interrupted
                       : Forms.FMainForm && Forms.FMainForm->HandleAllocated()
                           ? Forms.FMainForm->Handle()
                           : Forms.Handle();
    const LONG_PTR OldOwner = SetWindowLongPtr(FHandle, GWLP_HWNDPARENT, LONG_PTR(Owner));
    struct TOwnerBack {
        HWND Wnd;
        LONG_PTR Owner;
        ~TOwnerBack() {
            if (IsWindow(Wnd)) SetWindowLongPtr(Wnd, GWLP_HWNDPARENT, Owner);
        }
    } OwnerBack{FHandle, OldOwner};
    TModalScope Modal(FHandle);
    FModalResult = mrNone;
    Show();
    const bool Ended = RunModalLoop([this] {
        if (FModalResult != mrNone) CloseModal();
        return FModalResult != mrNone || !FVisible;
    });
    if (!Ended && FModalResult == mrNone) FModalResult = mrCancel;
    Hide();
    return FModalResult;
}

// ---- focus ----------------------------------------------------------------------------------

void TCustomForm::SetActiveControl(TWinControl* Value) {
    if (Value && GetParentForm(Value) != this && Value != this)
        throw EInvalidOperation("Invalid active control");
    FActiveControl = Value;
    if (Value && FActive && !ComponentState().Contains(csLoading) && Value->CanFocus())
        ::SetFocus(Value->Handle());
}

void TCustomForm::FocusControl(TWinControl* Control) {
    if (!Control || !Control->CanFocus()) return;
    FActiveControl = Control;
    if (!HandleAllocated() || !IsWindowVisible(FHandle)) return;
    if (GetActiveWindow() != FHandle) SetActiveWindow(FHandle);
    ::SetFocus(Control->Handle());
}

void TCustomForm::SetFocusedControl(TWinControl* Control) {
    if (Control == this) Control = nullptr;
    if (FFocusedControl == Control) {
        if (Control) FActiveControl = Control;
        return;
    }
    TWinControl* Old = FFocusedControl;
    FFocusedControl = Control;
    if (Control) FActiveControl = Control;
    if (Screen) Screen->SetActiveControl(Control);
    if (Old && ContainsControl(Old)) Old->Perform(CM_EXIT);
    if (Control && FFocusedControl == Control) Control->Perform(CM_ENTER);
    Perform(CM_FOCUSCHANGED, 0, LPARAM(Control));
}

void TCustomForm::ControlDestroyed(TWinControl* Control) {
    if (FActiveControl == Control) FActiveControl = nullptr;
    if (FFocusedControl == Control) FFocusedControl = nullptr;
}

void TCustomForm::SetActive(bool Value) {
    if (FActive == Value) return;
    FActive = Value;
    if (Value) {
        if (Screen) Screen->SetActiveForm(this);
        if (FActiveControl && FActiveControl->CanFocus())
            ::SetFocus(FActiveControl->Handle());
        else if (TWinControl* First = FindNextControl(nullptr, true, true, false))
            First->SetFocus();
        else
            ::SetFocus(FHandle);
        Activate();
    } else {
        Deactivate();
    }
}

bool TCustomForm::IsShortCut(WORD Key, TShiftState Shift) {
    bool Handled = false;
    if (OnShortCut) OnShortCut(Key, Shift, Handled);
    if (Handled) return true;
    const TShortCut Short = ShortCut(Key, Shift);
    for (int I = 0; I < ComponentCount(); ++I)
        if (auto* List = dynamic_cast<TCustomActionList*>(Components(I)))
            if (List->IsShortCut(Short)) return true;
    // The menus the form owns: their items' shortcuts work while the menus are closed.
    for (int I = 0; I < ComponentCount(); ++I)
        if (auto* Menu = dynamic_cast<TMenu*>(Components(I)))
            if (Menu->IsShortCut(Short)) return true;
    return false;
}

void TCustomForm::CMDialogKey(TMessage& Message) {
    const WORD Key = WORD(Message.WParam);
    const TShiftState Shift = KeyboardShiftState();
    switch (Key) {
        case VK_TAB:
            if (!Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt)) {
                SelectNext(FActiveControl, !Shift.Contains(ssShift), true);
                Message.Result = 1;
                return;
            }
            break;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
            if (FActiveControl && FActiveControl->Parent()) {
                FActiveControl->Parent()->SelectNext(FActiveControl,
                                                     Key == VK_RIGHT || Key == VK_DOWN, false);
                Message.Result = 1;
                return;
            }
            break;
        default:
            break;
    }
    Broadcast(Message);
}

// ---- messages -------------------------------------------------------------------------------

void TCustomForm::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_CLOSE:
            Close();
            return;
        case WM_ACTIVATE:
            SetActive(LOWORD(Message.WParam) != WA_INACTIVE);
            return;
        case WM_MOUSEACTIVATE:
            DefaultHandler(Message);
            return;
        case CM_RELEASE:
            ReleaseControlLater(this);
            return;
        case CM_DIALOGKEY:
            CMDialogKey(Message);
            return;
        case WM_SYSCOMMAND:
            if ((Message.WParam & 0xFFF0) == SC_MINIMIZE && Forms.FMainForm == this) {
                Forms.Minimize();
                return;
            }
            if ((Message.WParam & 0xFFF0) == SC_RESTORE && Forms.FMinimized &&
                Forms.FMainForm == this) {
                Forms.Restore();
                return;
            }
            DefaultHandler(Message);
            return;
        case WM_SHOWWINDOW:
            DefaultHandler(Message);
            return;
        default:
            TWinControl::Dispatch(Message);
    }
}

void TCustomForm::PaintWindow(HDC DC) {
    if (!OnPaint) return;
    FCanvas.SetHandle(DC);
    try {
        OnPaint(this);
    } catch (...) {
        FCanvas.SetHandle(0);
        throw;
    }
    FCanvas.SetHandle(0);
}
