#include <algorithm>
#include <unordered_map>

#include "platform/classes/FlagScope.h"
#include "platform/controls/OwnerDraw.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/widgets/Align.h"
#include "platform/widgets/Control.h"
#include "platform/widgets/Forms.h"

namespace {

std::unordered_map<HWND, TWinControl*>& HandleMap() {
    static auto* Map = new std::unordered_map<HWND, TWinControl*>;
    return *Map;
}

// The control whose window is being made: the first message of the window finds it here.
TWinControl* CreationControl = nullptr;

// Child windows get ids of their own, for the records that name a control by id.
std::unordered_map<UINT, TWinControl*>& IdMap() {
    static auto* Map = new std::unordered_map<UINT, TWinControl*>;
    return *Map;
}
UINT NextChildId = 0x1000;

HWND ChildOfId(UINT Id) {
    auto It = IdMap().find(Id);
    if (It == IdMap().end()) return 0;
    // During creation the control's handle is already set by its first message.
    return It->second->HandleAllocated() ? It->second->Handle() : 0;
}

bool IsMouseMessage(UINT Msg) {
    return Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSELAST && Msg != WM_MOUSEWHEEL;
}

}  // namespace

// The procedure every class of the control library registers: it subclasses the window with
// the control being made at its first message, then passes the message on.
LRESULT InitWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TWinControl* Control = CreationControl;
    CreationControl = nullptr;
    if (!Control) return DefWindowProc(Wnd, Msg, WParam, LParam);
    Control->FHandle = Wnd;
    HandleMap()[Wnd] = Control;
    SetWindowLongPtr(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Control->FObjectInstance));
    return CallWindowProc(Control->FObjectInstance, Wnd, Msg, WParam, LParam);
}

TWinControl* TWinControl::FromHandle(HWND Wnd) {
    auto It = HandleMap().find(Wnd);
    return It == HandleMap().end() ? nullptr : It->second;
}

TWinControl* FindControl(HWND Wnd) {
    for (HWND At = Wnd; At != 0; At = GetAncestor(At, GA_PARENT)) {
        if (TWinControl* C = TWinControl::FromHandle(At)) return C;
        if (!(GetWindowLongPtr(At, GWL_STYLE) & WS_CHILD)) break;
    }
    return nullptr;
}

TWinControl* FindVCLWindow(POINT ScreenPos) {
    return FindControl(WindowFromPoint(ScreenPos));
}

TControl* FindDragTarget(POINT ScreenPos, bool AllowDisabled) {
    TWinControl* Win = FindVCLWindow(ScreenPos);
    if (!Win) return nullptr;
    const TPoint P = Win->ScreenToClient(TPoint{ScreenPos.x, ScreenPos.y});
    if (TControl* Child = Win->ControlAtPos(P, AllowDisabled)) return Child;
    return Win;
}

TCustomForm* GetParentForm(TControl* Control) {
    while (Control && Control->Parent()) Control = Control->Parent();
    return dynamic_cast<TCustomForm*>(Control);
}

// ---- life -----------------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {
    FObjectInstance = MakeObjectInstance([this](TMessage& M) { MainWndProc(M); });
}

TWinControl::~TWinControl() {
    // Leaves its parent while it is still a window control: the parent's tab order lets go of
    // it too (by the time the base destructor leaves, it is only a control).
    if (FParent) FParent->RemoveControl(this);
    // Nobody keeps pointing at it as the focused or active control.
    if (Screen) Screen->ControlDestroyed(this);
    for (TControl* P = FParent; P; P = P->Parent())
        if (auto* Form = dynamic_cast<TCustomForm*>(P)) Form->ControlDestroyed(this);
    // Out of the parent's tab order now: by the time the base destructor leaves the parent,
    // it no longer knows it was a windowed control.
    if (auto* Parent = dynamic_cast<TWinControl*>(FParent))
        Parent->FTabList.erase(std::remove(Parent->FTabList.begin(), Parent->FTabList.end(), this),
                               Parent->FTabList.end());
    DestroyHandle();
    // The children belong to their owners; they only lose their parent.
    for (TControl* C : FControls) C->FParent = nullptr;
    FControls.clear();
    FTabList.clear();
    if (FCtlId) IdMap().erase(FCtlId);
    FreeObjectInstance(FObjectInstance);
}

void TWinControl::MainWndProc(TMessage& Message) {
    ++FDispatchDepth;
    struct TLeave {
        int& Depth;
        ~TLeave() { --Depth; }
    } Leave{FDispatchDepth};
    try {
        WindowProc(Message);
    } catch (...) {
        Application.HandleException();
    }
    if (Message.Msg == WM_NCDESTROY && FHandle) {
        HandleMap().erase(FHandle);
        FHandle = 0;
    }
}

HWND TWinControl::Handle() {
    if (!FHandle) CreateHandle();
    return FHandle;
}

void TWinControl::CreateParams(TCreateParams& Params) {
    Params.Caption = FText;
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (FControlStyle.Contains(csAcceptsControls)) Params.Style |= WS_CLIPCHILDREN;
    if (FVisible) Params.Style |= WS_VISIBLE;
    if (!FEnabled) Params.Style |= WS_DISABLED;
    if (FTabStop) Params.Style |= WS_TABSTOP;
    Params.X = FLeft;
    Params.Y = FTop;
    Params.Width = FWidth;
    Params.Height = FHeight;
    if (FParent) Params.WndParent = FParent->Handle();
    Params.WindowClass = WNDCLASS{};
    Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    Params.WindowClass.lpfnWndProc = &DefWindowProc;
    Params.WindowClass.hCursor = LoadCursor(0, MAKEINTRESOURCE(IDC_ARROW));
    Params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& Params, const char* ControlClassName) {
    WNDCLASS Class;
    if (!GetClassInfo(0, ControlClassName, &Class))
        throw EInvalidOperation(std::string("Unknown window class ") + ControlClassName);
    Params.WindowClass = Class;
    // The control library's class keeps its own name; the standard class's behaviour is its
    // default procedure.
    Params.WindowClass.lpszClassName = nullptr;
}

void TWinControl::CreateWnd() {
    TCreateParams Params;
    CreateParams(Params);
    if ((Params.Style & WS_CHILD) && Params.WndParent == 0)
        throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    FDefWndProc = Params.WindowClass.lpfnWndProc;
    WNDCLASS Existing;
    const bool Known = GetClassInfo(0, Params.WinClassName.c_str(), &Existing);
    if (!Known || Existing.lpfnWndProc != &InitWndProc) {
        if (Known) UnregisterClass(Params.WinClassName.c_str(), 0);
        WNDCLASS Class = Params.WindowClass;
        Class.lpfnWndProc = &InitWndProc;
        Class.lpszClassName = Params.WinClassName.c_str();
        if (!RegisterClass(&Class)) throw EInvalidOperation("Error creating window class");
    }
    CreationControl = this;
    CreateWindowHandle(Params);
    CreationControl = nullptr;
    if (!FHandle) throw EInvalidOperation("Error creating window for '" + Name() + "'");
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
    HMENU Id = 0;
    if (Params.Style & WS_CHILD) {
        if (FCtlId == 0) {
            FCtlId = NextChildId++;
            IdMap()[FCtlId] = this;
        }
        Id = FCtlId;
    }
    const HWND Wnd = CreateWindowEx(
        Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style, Params.X,
        Params.Y, Params.Width, Params.Height, Params.WndParent, Id, 0, Params.Param);
    if (Wnd && !FHandle) {
        FHandle = Wnd;
        HandleMap()[Wnd] = this;
    }
}

void TWinControl::CreateHandle() {
    if (FHandle) return;
    CreateWnd();
    // The window may have been given another rectangle than asked (a form's default place).
    UpdateBounds();
    ApplyFont();
    for (TControl* C : FControls)
        if (auto* Win = dynamic_cast<TWinControl*>(C)) Win->HandleNeeded();
    AlignChildren();
}

void TWinControl::DestroyHandle() {
    if (!FHandle) return;
    for (TControl* C : FControls)
        if (auto* Win = dynamic_cast<TWinControl*>(C)) Win->DestroyHandle();
    DestroyWnd();
}

void TWinControl::DestroyWnd() {
    // What lives in the window is kept for the next one.
    FText = GetWindowText(FHandle);
    DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
    const TFlagScope DestroyingHandle(FDestroyingHandle);
    const HWND Wnd = FHandle;
    if (CreationControl == this) CreationControl = nullptr;
    DestroyWindow(Wnd);
    HandleMap().erase(Wnd);
    FHandle = 0;
}

void TWinControl::RecreateWnd() {
    if (!FHandle) return;
    const bool HadFocus = Focused();
    {
        // The new window is made knowing it replaces one (a shown form's shows at once).
        const TFlagScope Recreating(FRecreating);
        DestroyHandle();
        HandleNeeded();
    }
    if (HadFocus) ::SetFocus(FHandle);
}

void TWinControl::ApplyFont() {
    if (FHandle) ::SendMessage(FHandle, WM_SETFONT, WPARAM(FFont.Handle()), 0);
}

// ---- messages -------------------------------------------------------------------------------

void TWinControl::DefaultHandler(TMessage& Message) {
    if (!FHandle) {
        TControl::DefaultHandler(Message);
        return;
    }
    Message.Result =
        CallWindowProc(FDefWndProc, FHandle, Message.Msg, Message.WParam, Message.LParam);
}

void TWinControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case WM_SETFOCUS:
            if (TCustomForm* Form = GetParentForm(this)) Form->SetFocusedControl(this);
            break;
        case WM_KILLFOCUS:
            break;
        default:
            if (IsMouseMessage(Message.Msg) && RouteToGraphicChild(Message)) {
                // A right click on a graphic child asks for a context menu as on any window.
                if (Message.Msg == WM_RBUTTONUP && Message.Result == 0 && FHandle)
                    DefaultHandler(Message);
                return;
            }
            break;
    }
    TControl::WndProc(Message);
}

bool TWinControl::RouteToGraphicChild(TMessage& Message) {
    TControl* Target = GetCaptureControl();
    if (Target && Target->Parent() != this) return false;
    if (!Target && GetCapture() != 0 && GetCapture() != FHandle) return false;
    const POINT P = MessagePoint(Message.LParam);
    if (!Target) {
        TControl* Hit = ControlAtPos(TPoint{P.x, P.y}, false);
        if (!Hit || dynamic_cast<TWinControl*>(Hit)) return false;
        Target = Hit;
    }
    if (Target == this || dynamic_cast<TWinControl*>(Target)) return false;
    Message.Result = Target->Perform(Message.Msg, Message.WParam,
                                     PointLParam(POINT{P.x - Target->Left(), P.y - Target->Top()}));
    return true;
}

void TWinControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_PAINT:
            PaintHandler(Message);
            return;
        case WM_ERASEBKGND: {
            RECT R;
            GetClientRect(FHandle, &R);
            const HBRUSH Brush = CreateSolidBrush(ColorToRGB(FColor));
            FillRect(HDC(Message.WParam), &R, Brush);
            DeleteObject(Brush);
            Message.Result = 1;
            return;
        }
        case WM_WINDOWPOSCHANGED:
            UpdateBounds();
            DefaultHandler(Message);
            return;
        case WM_SIZE:
            DefaultHandler(Message);
            AlignChildren();
            return;
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
        case WM_DELETEITEM:
        case WM_COMPAREITEM:
        case WM_HSCROLL:
        case WM_VSCROLL:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORLISTBOX:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
            WMCommandLike(Message);
            return;
        case WM_SETCURSOR:
            WMSetCursor(Message);
            return;
        case CN_CTLCOLOREDIT:
        case CN_CTLCOLORSTATIC:
        case CN_CTLCOLORBTN:
        case CN_CTLCOLORLISTBOX:
            Message.Result = CtlColorAnswer(HDC(Message.WParam));
            return;
        case CN_KEYDOWN:
        case CN_SYSKEYDOWN:
        case CN_CHAR:
        case CN_SYSCHAR:
            WMKeyLike(Message);
            return;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYUP:
        case WM_CHAR:
            WMKeyEvent(Message);
            return;
        case CM_ENABLEDCHANGED: {
            TWinControl* Leaving = FEnabled ? nullptr : ActiveInside();
            if (FHandle) EnableWindow(FHandle, FEnabled);
            Invalidate();
            FocusMovesOn(Leaving);
            return;
        }
        case CM_VISIBLECHANGED: {
            TWinControl* Leaving = FVisible ? nullptr : ActiveInside();
            if (FHandle) ShowWindow(FHandle, FVisible ? SW_SHOWNA : SW_HIDE);
            FocusMovesOn(Leaving);
            return;
        }
        case CM_FONTCHANGED:
            ApplyFont();
            TControl::Dispatch(Message);
            return;
        case CM_COLORCHANGED: {
            Invalidate();
            TMessage M{CM_PARENTCOLORCHANGED, 0, 0, 0};
            Broadcast(M);
            return;
        }
        case CM_SHOWHINTCHANGED: {
            TMessage M{CM_PARENTSHOWHINTCHANGED, 0, 0, 0};
            Broadcast(M);
            return;
        }
        case CM_DIALOGKEY:
        case CM_DIALOGCHAR:
        // Buttons take the default button's look from it (the focused one, or the default).
        case CM_FOCUSCHANGED:
            Broadcast(Message);
            return;
        case WM_CONTEXTMENU:
            // The graphic child under the pointer is asked first.
            if (Message.LParam != LPARAM(-1)) {
                const POINT P = MessagePoint(Message.LParam);
                TControl* Child = ControlAtPos(ScreenToClient(TPoint{P.x, P.y}), false);
                if (Child && !dynamic_cast<TWinControl*>(Child))
                    Message.Result = Child->Perform(WM_CONTEXTMENU, Message.WParam, Message.LParam);
                if (Message.Result) return;
            }
            TControl::Dispatch(Message);
            return;
        case CM_ENTER:
            DoEnter();
            return;
        case CM_EXIT:
            DoExit();
            return;
        case WM_GETDLGCODE:
            DefaultHandler(Message);
            return;
        default:
            TControl::Dispatch(Message);
    }
}

// A child's notification comes back to the child as CN_...; what it does not handle goes to the
// window's default procedure.
void TWinControl::WMCommandLike(TMessage& Message) {
    HWND From = 0;
    switch (Message.Msg) {
        case WM_NOTIFY:
            if (Message.LParam) From = reinterpret_cast<const NMHDR*>(Message.LParam)->hwndFrom;
            break;
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
        case WM_DELETEITEM:
        case WM_COMPAREITEM:
            if (Message.Msg == WM_DRAWITEM && Message.LParam)
                From = reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam)->hwndItem;
            else if (Message.Msg == WM_DELETEITEM && Message.LParam)
                From = reinterpret_cast<const DELETEITEMSTRUCT*>(Message.LParam)->hwndItem;
            else if (Message.Msg == WM_COMPAREITEM && Message.LParam)
                From = reinterpret_cast<const COMPAREITEMSTRUCT*>(Message.LParam)->hwndItem;
            else if (Message.Msg == WM_MEASUREITEM)
                // The record names the control by its id only (it may come before the window
                // is known): every child window of the library has an id of its own.
                From = ChildOfId(UINT(Message.WParam));
            break;
        default:
            From = HWND(Message.LParam);
            break;
    }
    if (From && From != FHandle) {
        if (TWinControl* Child = FromHandle(From)) {
            Message.Result = Child->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
            return;
        }
    }
    DefaultHandler(Message);
}

void TWinControl::WMSetCursor(TMessage& Message) {
    if (HWND(Message.WParam) == FHandle && LOWORD(std::uintptr_t(Message.LParam)) == HTCLIENT) {
        TCursor Shape = Screen ? Screen->Cursor() : crDefault;
        if (Shape == crDefault) {
            POINT P;
            GetCursorPos(&P);
            ::ScreenToClient(FHandle, &P);
            TControl* Under = ControlAtPos(TPoint{P.x, P.y}, false);
            Shape = Under && !dynamic_cast<TWinControl*>(Under) ? Under->Cursor() : FCursor;
        }
        if (Shape != crDefault) {
            ::SetCursor(Screen ? Screen->Cursors(Shape) : 0);
            Message.Result = 1;
            return;
        }
    }
    DefaultHandler(Message);
}

// ---- keys -----------------------------------------------------------------------------------

LRESULT TWinControl::CtlColorAnswer(HDC DC) {
    if (DC) {
        ::SetTextColor(DC, ColorToRGB(FFont.Color()));
        ::SetBkColor(DC, ColorToRGB(FColor));
    }
    if (FCtlColorBrush.Color() != FColor) FCtlColorBrush.SetColor(FColor);
    return LRESULT(FCtlColorBrush.Handle());
}

LRESULT TWinControl::DialogCode() {
    return FHandle ? ::SendMessage(FHandle, WM_GETDLGCODE, 0, 0) : 0;
}

// Before a key message is dispatched (see TFormsApplication): the form's shortcuts, then the
// dialog keys and characters the control does not want. A key used here is not dispatched.
void TWinControl::WMKeyLike(TMessage& Message) {
    TCustomForm* Form = GetParentForm(this);
    switch (Message.Msg) {
        case CN_KEYDOWN:
        case CN_SYSKEYDOWN: {
            const WORD Key = WORD(Message.WParam);
            const TShiftState Shift = KeyboardShiftState();
            if (Form && Form->IsShortCut(Key, Shift)) {
                Message.Result = 1;
                return;
            }
            LRESULT Wants = 0;
            switch (Key) {
                case VK_TAB:
                    Wants = DLGC_WANTTAB;
                    break;
                case VK_LEFT:
                case VK_RIGHT:
                case VK_UP:
                case VK_DOWN:
                    Wants = DLGC_WANTARROWS;
                    break;
                case VK_RETURN:
                case VK_ESCAPE:
                case VK_EXECUTE:
                case VK_CANCEL:
                    Wants = DLGC_WANTALLKEYS;
                    break;
                default:
                    return;
            }
            if (Perform(CM_WANTSPECIALKEY, Key) != 0) return;
            if (DialogCode() & (Wants | DLGC_WANTALLKEYS)) return;
            if (Form && Form->Perform(CM_DIALOGKEY, Key, Message.LParam) != 0) Message.Result = 1;
            return;
        }
        case CN_CHAR:
            // A character the control does not take may be a button's accelerator.
            if ((DialogCode() & DLGC_WANTCHARS) == 0 && Form &&
                Form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0)
                Message.Result = 1;
            return;
        case CN_SYSCHAR:
            // Alt with a letter: the control whose accelerator it is.
            if (Form && Form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0)
                Message.Result = 1;
            return;
        default:
            return;
    }
}

// The key events, when the key is dispatched: a key an event sets to 0 goes no further.
void TWinControl::WMKeyEvent(TMessage& Message) {
    switch (Message.Msg) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            WORD Key = WORD(Message.WParam);
            if (DoKeyDown(Key, KeyboardShiftState())) return;
            Message.WParam = Key;
            break;
        }
        case WM_KEYUP:
        case WM_SYSKEYUP: {
            WORD Key = WORD(Message.WParam);
            if (DoKeyUp(Key, KeyboardShiftState())) return;
            Message.WParam = Key;
            break;
        }
        case WM_CHAR: {
            char C = char(Message.WParam);
            if (DoKeyPress(C)) return;
            Message.WParam = static_cast<unsigned char>(C);
            break;
        }
        default:
            break;
    }
    DefaultHandler(Message);
}

TWinControl* TWinControl::KeyPreviewer() {
    TCustomForm* Form = GetParentForm(this);
    return Form && Form != this && Form->KeyPreview() ? Form : nullptr;
}

bool TWinControl::DoKeyDown(WORD& Key, TShiftState Shift) {
    if (TWinControl* Form = KeyPreviewer(); Form && Form->DoKeyDown(Key, Shift)) return true;
    KeyDown(Key, Shift);
    return Key == 0;
}

bool TWinControl::DoKeyUp(WORD& Key, TShiftState Shift) {
    if (TWinControl* Form = KeyPreviewer(); Form && Form->DoKeyUp(Key, Shift)) return true;
    KeyUp(Key, Shift);
    return Key == 0;
}

bool TWinControl::DoKeyPress(char& Key) {
    if (TWinControl* Form = KeyPreviewer(); Form && Form->DoKeyPress(Key)) return true;
    KeyPress(Key);
    return Key == 0;
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
    if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(WORD& Key, TShiftState Shift) {
    if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key) {
    if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

// ---- text, place, children --------------------------------------------------------------------

std::string TWinControl::GetText() {
    return FHandle ? GetWindowText(FHandle) : FText;
}

void TWinControl::SetTextValue(const std::string& Value) {
    if (FHandle)
        SetWindowText(FHandle, Value);
    else
        FText = Value;
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    const bool Resized = AWidth != FWidth || AHeight != FHeight;
    const bool Changed = Resized || ALeft != FLeft || ATop != FTop;
    if (Changed) {
        if (FHandle && !FDestroyingHandle) {
            SetWindowPos(FHandle, 0, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
            // The window may refuse or change the place (a form's minimum size): UpdateBounds
            // took what it has.
        } else {
            FLeft = ALeft;
            FTop = ATop;
            FWidth = AWidth;
            FHeight = AHeight;
            if (Resized) AlignChildren();
        }
    }
    if (!FPlacingByLayout) {
        UpdateAnchorRules();
        if (Changed) RequestAlign();
    }
    if (Resized) Resize();
}

void TWinControl::UpdateBounds() {
    if (!FHandle) return;
    RECT R;
    GetWindowRect(FHandle, &R);
    if (GetWindowLongPtr(FHandle, GWL_STYLE) & WS_CHILD) {
        const HWND Parent = GetParent(FHandle);
        if (Parent) MapWindowPoints(0, Parent, reinterpret_cast<POINT*>(&R), 2);
    }
    FLeft = R.left;
    FTop = R.top;
    FWidth = R.right - R.left;
    FHeight = R.bottom - R.top;
}

TRect TWinControl::ClientRect() {
    if (FHandle) {
        RECT R;
        GetClientRect(FHandle, &R);
        return TRect{R.left, R.top, R.right, R.bottom};
    }
    return TControl::ClientRect();
}

TPoint TWinControl::ClientOrigin() {
    if (FHandle) {
        POINT P{0, 0};
        ::ClientToScreen(FHandle, &P);
        return TPoint{P.x, P.y};
    }
    return TControl::ClientOrigin();
}

void TWinControl::SetClientSize(int AWidth, int AHeight) {
    const TRect R = ClientRect();
    SetBounds(FLeft, FTop, FWidth - R.Width() + AWidth, FHeight - R.Height() + AHeight);
}

void TWinControl::Invalidate() {
    if (FHandle) InvalidateRect(FHandle, nullptr, !FControlStyle.Contains(csOpaque));
}

void TWinControl::Update() {
    if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::InsertControl(TControl* AControl) {
    AControl->FParent = this;
    FControls.push_back(AControl);
    if (auto* Win = dynamic_cast<TWinControl*>(AControl)) {
        InsertTab(Win);
        if (FHandle) Win->HandleNeeded();
    }
    if (!AControl->ComponentState().Contains(csLoading)) {
        if (AControl->FParentFont) AControl->Perform(CM_PARENTFONTCHANGED);
        if (AControl->FParentColor) AControl->Perform(CM_PARENTCOLORCHANGED);
        AControl->UpdateAnchorRules();
    }
    Perform(CM_CONTROLLISTCHANGE, WPARAM(AControl), 1);
    AControl->Invalidate();
    AlignChildren();
}

void TWinControl::RemoveControl(TControl* AControl) {
    if (AControl->FParent != this) return;
    Perform(CM_CONTROLLISTCHANGE, WPARAM(AControl), 0);
    AControl->Invalidate();
    if (auto* Win = dynamic_cast<TWinControl*>(AControl)) {
        FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), Win), FTabList.end());
        if (!ComponentState().Contains(csDestroying)) Win->DestroyHandle();
    }
    FControls.erase(std::remove(FControls.begin(), FControls.end(), AControl), FControls.end());
    AControl->FParent = nullptr;
    AlignChildren();
}

bool TWinControl::ContainsControl(TControl* Control) const {
    for (TControl* C = Control; C; C = C->Parent())
        if (C == this) return true;
    return false;
}

TControl* TWinControl::ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls) {
    for (auto It = FControls.rbegin(); It != FControls.rend(); ++It) {
        TControl* C = *It;
        if (!C->Visible() || (!AllowDisabled && !C->Enabled())) continue;
        if (!AllowWinControls && dynamic_cast<TWinControl*>(C)) continue;
        const TRect R = C->BoundsRect();
        if (Pos.X < R.Left || Pos.X >= R.Right || Pos.Y < R.Top || Pos.Y >= R.Bottom) continue;
        if (C->Perform(CM_HITTEST, 0, PointLParam(POINT{Pos.X - R.Left, Pos.Y - R.Top})) == 0)
            continue;
        return C;
    }
    return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
    // A copy: handlers may change the children.
    const std::vector<TControl*> Children = FControls;
    for (TControl* C : Children) {
        if (std::find(FControls.begin(), FControls.end(), C) == FControls.end()) continue;
        C->WindowProc(Message);
        if (Message.Result != 0) return;
    }
}

void TWinControl::SetChildOrder(TComponent* Child, int Order) {
    auto* C = dynamic_cast<TControl*>(Child);
    if (!C || C->FParent != this) return;
    FControls.erase(std::remove(FControls.begin(), FControls.end(), C), FControls.end());
    FControls.insert(FControls.begin() + std::clamp(Order, 0, int(FControls.size())), C);
}

void TWinControl::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    // A root (a form) also holds what it owns that is no control (timers, image lists, dialogs):
    // those come first, so that the controls referring to them find them when read back.
    if (Root == this) {
        std::vector<TComponent*> Loose;
        for (int I = 0; I < ComponentCount(); ++I)
            if (!Components(I)->HasParent()) Loose.push_back(Components(I));
        for (TComponent* C : Loose) Proc(C);
    }
    for (TControl* C : FControls)
        if (C->Owner() == Root) Proc(C);
}

void TWinControl::Loaded() {
    TControl::Loaded();
    AlignChildren();
}

void TWinControl::SetBorderWidth(int Value) {
    if (FBorderWidth == Value) return;
    FBorderWidth = Value;
    AlignChildren();
    Invalidate();
}

// ---- alignment ------------------------------------------------------------------------------

void TWinControl::AdjustClientRect(TRect& Rect) {
    Rect.Left += FBorderWidth;
    Rect.Top += FBorderWidth;
    Rect.Right -= FBorderWidth;
    Rect.Bottom -= FBorderWidth;
}

void TWinControl::Realign() {
    AlignChildren();
}

void TWinControl::EnableAlign() {
    if (FAlignLevel > 0 && --FAlignLevel == 0) AlignChildren();
}

void TWinControl::RealignTree() {
    AlignChildren();
    for (TControl* C : FControls)
        if (auto* Win = dynamic_cast<TWinControl*>(C)) Win->RealignTree();
}

void TWinControl::AlignChildren() {
    if (FAlignLevel > 0 || ComponentState().Contains(csLoading) ||
        ComponentState().Contains(csDestroying))
        return;
    if (TCustomForm* Form = GetParentForm(this); Form && Form->FormState().Contains(fsCreating))
        return;
    ++FAlignLevel;
    struct TDone {
        int& Level;
        ~TDone() { --Level; }
    } Done{FAlignLevel};
    TRect R = ClientRect();
    AdjustClientRect(R);
    AlignControls(nullptr, R);
}

void TWinControl::AlignControls(TControl*, TRect& Rect) {
    // One batch: what the children leave and take is made invalid once, after all have moved.
    struct TBatch {
        HDWP Handle = BeginDeferWindowPos(0);
        ~TBatch() { EndDeferWindowPos(Handle); }
    } Batch;
    std::vector<TControl*> Aligned;
    std::vector<TAlignItem> Items;
    const TRect Client = ClientRect();
    for (TControl* C : FControls) {
        if (!C->Visible()) continue;
        if (C->Align() == alNone) {
            if (C->FAnchors == TAnchors{akLeft, akTop}) continue;
            // Placed while this control had no size (see UpdateAnchorRules).
            TControl::TAnchorOrigin& Origin = C->FAnchorOrigin;
            if (Origin.ParentWidth < 0 && Client.Width() > 0)
                Origin.ParentWidth = int(Client.Width());
            if (Origin.ParentHeight < 0 && Client.Height() > 0)
                Origin.ParentHeight = int(Client.Height());
            const TRect B = AnchoredBounds(Origin.Bounds, Origin.ParentWidth, Origin.ParentHeight,
                                           Client.Width(), Client.Height(), C->FAnchors);
            if (!(B == C->BoundsRect()))
                C->SetBoundsFromLayout(B.Left, B.Top, B.Width(), B.Height());
            continue;
        }
        Aligned.push_back(C);
        Items.push_back(TAlignItem{C->Align(), C->BoundsRect(), false});
    }
    AlignItems(Items, Rect);
    for (size_t I = 0; I < Aligned.size(); ++I) {
        const TRect& B = Items[I].Bounds;
        if (!(B == Aligned[I]->BoundsRect()))
            Aligned[I]->SetBoundsFromLayout(B.Left, B.Top, B.Width(), B.Height());
    }
}

// ---- painting -------------------------------------------------------------------------------

void TWinControl::PaintHandler(TMessage& Message) {
    const bool HasGraphicChildren =
        std::any_of(FControls.begin(), FControls.end(),
                    [](TControl* C) { return C->Visible() && !dynamic_cast<TWinControl*>(C); });
    if (!HasGraphicChildren && !dynamic_cast<TCustomControl*>(this)) {
        DefaultHandler(Message);
        return;
    }
    PAINTSTRUCT PS;
    HDC DC = HDC(Message.WParam);
    const bool Own = DC == 0;
    if (Own) DC = BeginPaint(FHandle, &PS);
    const int Saved = SaveDC(DC);
    PaintWindow(DC);
    RestoreDC(DC, Saved);
    PaintControls(DC, nullptr);
    if (Own) EndPaint(FHandle, &PS);
}

void TWinControl::PaintWindow(HDC DC) {
    TMessage M{WM_PAINT, WPARAM(DC), 0, 0};
    DefaultHandler(M);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
    auto Start = FControls.begin();
    if (First) Start = std::find(FControls.begin(), FControls.end(), First);
    for (auto It = Start; It != FControls.end(); ++It) {
        auto* G = dynamic_cast<TGraphicControl*>(*It);
        if (!G || !G->Visible()) continue;
        const RECT R = G->BoundsRect();
        if (!RectVisible(DC, &R)) continue;
        const int Saved = SaveDC(DC);
        POINT Old;
        OffsetViewportOrgEx(DC, G->Left(), G->Top(), &Old);
        IntersectClipRect(DC, 0, 0, G->Width(), G->Height());
        G->Perform(WM_PAINT, WPARAM(DC), 0);
        RestoreDC(DC, Saved);
    }
}

// ---- focus and tab order ----------------------------------------------------------------------

void TWinControl::InsertTab(TWinControl* Control) {
    FTabList.push_back(Control);
}

TTabOrder TWinControl::TabOrder() const {
    if (!FParent) return -1;
    const auto& List = FParent->FTabList;
    const auto It = std::find(List.begin(), List.end(), this);
    return It == List.end() ? -1 : TTabOrder(It - List.begin());
}

void TWinControl::SetTabOrder(TTabOrder Value) {
    if (!FParent) return;
    auto& List = FParent->FTabList;
    List.erase(std::remove(List.begin(), List.end(), this), List.end());
    List.insert(List.begin() + std::clamp(Value, 0, int(List.size())), this);
}

void TWinControl::SetTabStop(bool Value) {
    if (FTabStop == Value) return;
    FTabStop = Value;
    if (FHandle) {
        const LONG_PTR Style = GetWindowLongPtr(FHandle, GWL_STYLE);
        SetWindowLongPtr(FHandle, GWL_STYLE,
                         Value ? Style | WS_TABSTOP : Style & ~LONG_PTR(WS_TABSTOP));
    }
    Perform(CM_TABSTOPCHANGED);
}

bool TWinControl::CanFocus() {
    TCustomForm* Form = GetParentForm(this);
    if (!Form) return false;
    for (TControl* C = this; C; C = C->Parent())
        if (!C->Visible() || !C->Enabled()) return false;
    return true;
}

bool TWinControl::Focused() {
    return FHandle != 0 && GetFocus() == FHandle;
}

void TWinControl::SetFocus() {
    if (TCustomForm* Form = GetParentForm(this)) {
        Form->FocusControl(this);
        return;
    }
    if (CanFocus()) ::SetFocus(Handle());
}

bool TWinControl::HandlerRunning() const {
    if (FDispatchDepth > 0) return true;
    for (TControl* C : FControls)
        if (auto* Win = dynamic_cast<const TWinControl*>(C); Win && Win->HandlerRunning())
            return true;
    return false;
}

namespace {

// Runs its step in the first pass in which no handler of the control or of its children runs, or
// once the control went some other way.
class TAfterHandlers : public TReleasable {
  public:
    TAfterHandlers(TWinControl* Control, std::function<void(bool ControlGone)> Then)
        : FControl(Control), FWatch(Control), FThen(std::move(Then)) {}
    ~TAfterHandlers() override { FThen(FWatch.Gone()); }
    bool InUse() const override { return !FWatch.Gone() && FControl->HandlerRunning(); }

  private:
    TWinControl* FControl;
    TFreeWatch FWatch;
    std::function<void(bool)> FThen;
};

}  // namespace

void AfterHandlersOf(TWinControl* Control, std::function<void(bool ControlGone)> Then) {
    Application.ReleaseLater(new TAfterHandlers(Control, std::move(Then)));
}

void ReleaseControlLater(TWinControl* Control) {
    if (!Control) return;
    AfterHandlersOf(Control, [Control](bool Gone) {
        if (!Gone) Control->Free();
    });
}

bool TWinControl::Showing() {
    return FHandle != 0 && IsWindowVisible(FHandle);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) {
    for (TWinControl* C : FTabList) {
        List.push_back(C);
        C->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward,
                                          bool CheckTabStop, bool CheckParent) {
    std::vector<TWinControl*> List;
    GetTabOrderList(List);
    if (List.empty()) return nullptr;
    const int Count = int(List.size());
    int Start = int(std::find(List.begin(), List.end(), CurControl) - List.begin());
    if (Start == Count) Start = GoForward ? Count - 1 : 0;
    for (int Step = 1; Step <= Count; ++Step) {
        const int I = ((Start + (GoForward ? Step : -Step)) % Count + Count) % Count;
        TWinControl* C = List[size_t(I)];
        if (C == CurControl) break;
        if (CheckTabStop && !C->TabStop()) continue;
        if (CheckParent && C->Parent() != this) continue;
        if (!C->CanFocus()) continue;
        return C;
    }
    return nullptr;
}

TWinControl* TWinControl::ActiveInside() {
    TCustomForm* Form = GetParentForm(this);
    if (!Form || Form == this) return nullptr;
    TWinControl* Active = Form->ActiveControl();
    return Active && (Active == this || ContainsControl(Active)) ? Active : nullptr;
}

void TWinControl::FocusMovesOn(TWinControl* Leaving) {
    if (!Leaving) return;
    TCustomForm* Form = GetParentForm(this);
    if (!Form) return;
    TWinControl* Next = Form->FindNextControl(Leaving, true, true, false);
    if (Next) {
        Form->SetActiveControl(Next);
        return;
    }
    Form->SetActiveControl(nullptr);
    if (Form->Active()) ::SetFocus(Form->Handle());
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    if (TWinControl* Next = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop))
        Next->SetFocus();
}

// ---- graphic and custom controls ------------------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_PAINT && Message.WParam) {
        FCanvas.SetHandle(HDC(Message.WParam));
        try {
            Paint();
        } catch (...) {
            FCanvas.SetHandle(0);
            throw;
        }
        FCanvas.SetHandle(0);
        return;
    }
    TControl::Dispatch(Message);
}

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {}

TCustomControl::~TCustomControl() = default;

void TCustomControl::PaintWindow(HDC DC) {
    FCanvas.SetHandle(DC);
    try {
        Paint();
    } catch (...) {
        FCanvas.SetHandle(0);
        throw;
    }
    FCanvas.SetHandle(0);
}
