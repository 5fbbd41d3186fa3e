#include "platform/controls/ButtonWindow.h"

#include <algorithm>
#include <array>

#include "platform/classes/CodePages.h"
#include "platform/controls/ButtonView.h"
#include "platform/controls/ControlLook.h"
#include "platform/controls/OwnerDraw.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/gdi/Gdi.h"

// What a click does to the check state.
enum class TAutoCheck { None, Toggle, Cycle, Radio };

struct TButtonType {
    DWORD Type;
    TButtonViewKind Kind;
    TAutoCheck Auto;
    // The highest check state (0: the type has none).
    WPARAM MaxCheck;
    LRESULT DlgCode;
    // BN_DOUBLECLICKED comes without BS_NOTIFY.
    bool DoubleClicks;
};

namespace {

using K = TButtonViewKind;
using A = TAutoCheck;

// Every type; an unknown one is a push button (the first row).
constexpr std::array<TButtonType, 10> kTypes = {{
    {BS_PUSHBUTTON, K::Push, A::None, 0, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON, false},
    {BS_DEFPUSHBUTTON, K::Push, A::None, 0, DLGC_BUTTON | DLGC_DEFPUSHBUTTON, false},
    {BS_CHECKBOX, K::Check, A::None, BST_CHECKED, DLGC_BUTTON, false},
    {BS_AUTOCHECKBOX, K::Check, A::Toggle, BST_CHECKED, DLGC_BUTTON, false},
    {BS_3STATE, K::Check, A::None, BST_INDETERMINATE, DLGC_BUTTON, false},
    {BS_AUTO3STATE, K::Check, A::Cycle, BST_INDETERMINATE, DLGC_BUTTON, false},
    {BS_RADIOBUTTON, K::Radio, A::None, BST_CHECKED, DLGC_BUTTON | DLGC_RADIOBUTTON, true},
    {BS_AUTORADIOBUTTON, K::Radio, A::Radio, BST_CHECKED, DLGC_BUTTON | DLGC_RADIOBUTTON, true},
    {BS_GROUPBOX, K::Group, A::None, 0, DLGC_STATIC, false},
    {BS_OWNERDRAW, K::Push, A::None, 0, DLGC_BUTTON, true},
}};

bool InClient(HWND Wnd, LPARAM LParam) {
    RECT R;
    GetClientRect(Wnd, &R);
    return PtInRect(&R, MessagePoint(LParam));
}

DWORD StyleOf(HWND Wnd) {
    return static_cast<DWORD>(GetWindowLongPtr(Wnd, GWL_STYLE));
}

}  // namespace

TButtonWindow::TButtonWindow(HWND Wnd) : TWrappedControl(Wnd) {}

const TButtonType& TButtonWindow::Type() const {
    const DWORD Type = Style() & BS_TYPEMASK;
    for (const TButtonType& T : kTypes)
        if (T.Type == Type) return T;
    return kTypes[0];
}

bool TButtonWindow::OwnerDrawn() const {
    return (Style() & BS_TYPEMASK) == BS_OWNERDRAW;
}

QWidget* TButtonWindow::CreateWidget(QWidget* Host, const CREATESTRUCT& Create) {
    if ((static_cast<DWORD>(Create.style) & BS_TYPEMASK) == BS_OWNERDRAW) return nullptr;
    FView = new TButtonView(Host);
    ApplyClassicLook(FView, static_cast<DWORD>(Create.style));
    Refresh();
    return FView;
}

void TButtonWindow::Refresh() {
    if (!FView) return;
    const DWORD S = Style();
    const TButtonType& T = Type();
    TButtonLook Look;
    Look.Kind = (S & BS_PUSHLIKE) && (T.Kind == K::Check || T.Kind == K::Radio) ? K::Push : T.Kind;
    Look.Caption = Cp1252ToUnicode(WindowText());
    Look.Check = FCheck;
    Look.Pushed = FPushed;
    Look.Focused = FFocused;
    Look.Default = T.Type == BS_DEFPUSHBUTTON;
    Look.Flat = (S & BS_FLAT) != 0;
    Look.LeftText = (S & BS_LEFTTEXT) != 0;
    Look.Multiline = (S & BS_MULTILINE) != 0;
    Look.Horizontal = S & BS_CENTER;
    Look.Vertical = S & BS_VCENTER;
    FView->SetLook(Look);
}

void TButtonWindow::ApplyColours() {
    if (!FView) return;
    const bool Static = Type().Kind != K::Push;
    const TControlColours C =
        AskControlColours(Handle(), Static ? WM_CTLCOLORSTATIC : WM_CTLCOLORBTN,
                          Static ? COLOR_WINDOWTEXT : COLOR_BTNTEXT, COLOR_BTNFACE);
    // Push buttons keep the system's face and text, whatever the parent answers.
    if (!Static) return;
    ApplyControlColours(FView, C, QPalette::Window, QPalette::WindowText);
}

void TButtonWindow::DrawOwner(HDC DC, UINT Action) {
    const HWND Parent = GetParent(Handle());
    if (!Parent) return;
    const HDC Own = DC ? 0 : GetDC(Handle());
    const HDC On = DC ? DC : Own;
    if (!On) return;
    RECT R;
    GetClientRect(Handle(), &R);
    // The parent prepares the context (colours); its brush is the background.
    const auto Brush = static_cast<HBRUSH>(SendMessage(
        Parent, WM_CTLCOLORBTN, static_cast<WPARAM>(On), static_cast<LPARAM>(Handle())));
    if (Brush != 0 && Action == ODA_DRAWENTIRE) FillRect(On, &R, Brush);
    DRAWITEMSTRUCT Item;
    Item.CtlType = ODT_BUTTON;
    Item.CtlID = static_cast<UINT>(GetWindowLongPtr(Handle(), GWLP_ID));
    Item.itemAction = Action;
    Item.itemState = (FPushed ? ODS_SELECTED : 0) | (FFocused ? ODS_FOCUS : 0) |
                     (IsWindowEnabled(Handle()) ? 0 : ODS_DISABLED) | (FDefault ? ODS_DEFAULT : 0);
    Item.hwndItem = Handle();
    Item.hDC = On;
    Item.rcItem = R;
    SendMessage(Parent, WM_DRAWITEM, Item.CtlID, reinterpret_cast<LPARAM>(&Item));
    if (Own) ReleaseDC(Handle(), Own);
}

void TButtonWindow::SetPushed(bool Pushed) {
    if (FPushed == Pushed) return;
    FPushed = Pushed;
    if (OwnerDrawn())
        DrawOwner(0, ODA_SELECT);
    else
        Refresh();
}

void TButtonWindow::SetFocused(bool Focused) {
    FFocused = Focused;
    if (OwnerDrawn())
        DrawOwner(0, ODA_FOCUS);
    else
        Refresh();
}

void TButtonWindow::SetCheck(WPARAM Check) {
    const TButtonType& T = Type();
    if (T.MaxCheck == 0) return;
    // Radio buttons are reached by Tab where one is checked.
    if (T.Kind == K::Radio) {
        const DWORD S = Style();
        const DWORD Want = Check != BST_UNCHECKED ? S | WS_TABSTOP : S & ~WS_TABSTOP;
        if (Want != S) SetWindowLongPtr(Handle(), GWL_STYLE, static_cast<LONG_PTR>(Want));
    }
    FCheck = std::min(Check, T.MaxCheck);
    Refresh();
}

void TButtonWindow::SetStyle(WPARAM NewStyle, bool Redraw) {
    const DWORD Type = static_cast<DWORD>(NewStyle) & BS_TYPEMASK;
    if (OwnerDrawn() || Type == BS_OWNERDRAW) {
        // Owner-drawn buttons stay owner-drawn (their parent draws them); looking like the
        // default button is a state they are told to draw.
        if (!OwnerDrawn()) return;
        FDefault = Type == BS_DEFPUSHBUTTON;
        if (Redraw) InvalidateRect(Handle(), nullptr, FALSE);
        return;
    }
    SetWindowLongPtr(Handle(), GWL_STYLE, static_cast<LONG_PTR>((Style() & ~BS_TYPEMASK) | Type));
    Refresh();
    if (Redraw && FView) FView->repaint();
}

void TButtonWindow::Press(bool ByKey) {
    FHeld = ByKey ? THeld::Key : THeld::Mouse;
    SetCapture(Handle());
    SetPushed(true);
}

void TButtonWindow::Release(bool Click) {
    // Not held any more before the capture goes: WM_CAPTURECHANGED is then our own doing.
    FHeld = THeld::None;
    const bool WasPushed = FPushed;
    if (GetCapture() == Handle()) ReleaseCapture();
    SetPushed(false);
    if (Click && WasPushed) this->Click();
}

void TButtonWindow::Click() {
    switch (Type().Auto) {
        case A::Toggle:
            SendMessage(Handle(), BM_SETCHECK,
                        FCheck == BST_UNCHECKED ? BST_CHECKED : BST_UNCHECKED, 0);
            break;
        case A::Cycle:
            SendMessage(Handle(), BM_SETCHECK,
                        FCheck == BST_UNCHECKED ? BST_CHECKED
                        : FCheck == BST_CHECKED ? BST_INDETERMINATE
                                                : BST_UNCHECKED,
                        0);
            break;
        case A::Radio:
            SendMessage(Handle(), BM_SETCHECK, BST_CHECKED, 0);
            CheckInGroup();
            break;
        case A::None:
            break;
    }
    if (IsWindow(Handle())) Command(BN_CLICKED);
}

void TButtonWindow::CheckInGroup() {
    // The group runs from the nearest sibling at or above this one that starts a group (WS_GROUP)
    // down to the next one that does.
    HWND First = Handle();
    for (HWND W = Handle(); W; W = GetWindow(W, GW_HWNDPREV)) {
        First = W;
        if (StyleOf(W) & WS_GROUP) break;
    }
    for (HWND W = First; W; W = GetWindow(W, GW_HWNDNEXT)) {
        if (W != First && (StyleOf(W) & WS_GROUP)) break;
        if (W != Handle() && (SendMessage(W, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON))
            SendMessage(W, BM_SETCHECK, BST_UNCHECKED, 0);
    }
}

bool TButtonWindow::Mouse(UINT Msg, LPARAM LParam) {
    const TButtonType& T = Type();
    switch (Msg) {
        case WM_LBUTTONDBLCLK:
            if (T.Kind == K::Group) return true;
            if (T.DoubleClicks || (Style() & BS_NOTIFY)) {
                Command(BN_DOUBLECLICKED);
                return true;
            }
            [[fallthrough]];
        case WM_LBUTTONDOWN:
            if (T.Kind == K::Group) return true;
            SetFocus(Handle());
            if (IsWindow(Handle()) && FHeld == THeld::None) Press(false);
            return true;
        case WM_MOUSEMOVE:
            if (FHeld == THeld::Mouse) SetPushed(InClient(Handle(), LParam));
            return true;
        case WM_LBUTTONUP:
            if (FHeld == THeld::Mouse) Release(InClient(Handle(), LParam));
            return true;
        default:
            return false;
    }
}

bool TButtonWindow::Key(UINT Msg, WPARAM WParam, LPARAM LParam) {
    if ((Msg != WM_KEYDOWN && Msg != WM_KEYUP) || WParam != VK_SPACE || Type().Kind == K::Group)
        return false;
    if (Msg == WM_KEYDOWN && FHeld == THeld::None && !(LParam & KF_REPEAT_BIT)) Press(true);
    if (Msg == WM_KEYUP && FHeld == THeld::Key) Release(true);
    return true;
}

LRESULT TButtonWindow::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
        case WM_SETTEXT: {
            const LRESULT Done = DefWindowProc(Handle(), Msg, WParam, LParam);
            Refresh();
            if (OwnerDrawn()) InvalidateRect(Handle(), nullptr, FALSE);
            return Done;
        }
        case WM_GETTEXT:
        case WM_GETTEXTLENGTH:
            return DefWindowProc(Handle(), Msg, WParam, LParam);
        case WM_STYLECHANGED:
            Refresh();
            break;
        case WM_PAINT:
            ApplyColours();
            if (OwnerDrawn()) {
                PAINTSTRUCT Ps;
                const HDC DC = BeginPaint(Handle(), &Ps);
                if (DC) DrawOwner(DC, ODA_DRAWENTIRE);
                EndPaint(Handle(), &Ps);
                return 0;
            }
            break;
        case WM_ENABLE:
            if (OwnerDrawn()) InvalidateRect(Handle(), nullptr, FALSE);
            break;
        case WM_NCHITTEST:
            if (Type().Kind == K::Group) return HTTRANSPARENT;
            break;
        case WM_GETDLGCODE:
            return Type().DlgCode;
        case WM_SETFOCUS:
            SetFocused(true);
            if (Style() & BS_NOTIFY) Command(BN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            if (FHeld != THeld::None) Release(false);
            SetFocused(false);
            if (Style() & BS_NOTIFY) Command(BN_KILLFOCUS);
            return 0;
        case WM_CAPTURECHANGED:
            // Another window took the mouse: the press is over, without a click.
            if (FHeld != THeld::None && static_cast<HWND>(LParam) != Handle()) {
                FHeld = THeld::None;
                SetPushed(false);
            }
            return 0;
        case BM_GETCHECK:
            return static_cast<LRESULT>(FCheck);
        case BM_SETCHECK:
            SetCheck(WParam);
            return 0;
        case BM_GETSTATE:
            return static_cast<LRESULT>(FCheck | (FPushed ? BST_PUSHED : 0) |
                                        (FFocused ? BST_FOCUS : 0));
        case BM_SETSTATE:
            SetPushed(WParam != 0);
            return 0;
        case BM_SETSTYLE:
            SetStyle(WParam, LParam != 0);
            return 0;
        case BM_CLICK:
            if (IsWindowEnabled(Handle())) {
                SendMessage(Handle(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
                SendMessage(Handle(), WM_LBUTTONUP, 0, 0);
            }
            return 0;
        default:
            break;
    }
    // Mouse and keys are the button's own (the view gets none); what it leaves has the default
    // answers.
    const bool IsMouse = Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSELAST;
    const bool IsKey = Msg >= WM_KEYFIRST && Msg <= WM_KEYLAST;
    if (!IsMouse && !IsKey) return TWrappedControl::WndProc(Msg, WParam, LParam);
    if (IsMouse ? Mouse(Msg, LParam) : Key(Msg, WParam, LParam)) return 0;
    return DefWindowProc(Handle(), Msg, WParam, LParam);
}
