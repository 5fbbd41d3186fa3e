#include "platform/controls/UpDownControl.h"

#include <QLocale>
#include <algorithm>
#include <charconv>
#include <memory>

#include "platform/classes/CodePages.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/gdi/Gdi.h"

namespace {

constexpr UINT_PTR kRepeatTimer = 1;
// A held button steps again after the first pause, then at the faster rate.
constexpr UINT kFirstRepeat = 400;
constexpr UINT kRepeat = 100;

// The locale's digit grouping, as one Windows-1252 byte (',' when it has none).
char GroupSeparator() {
    const std::string Bytes = UnicodeToCp1252(QLocale::system().groupSeparator());
    return Bytes.size() == 1 && Bytes[0] != '?' ? Bytes[0] : ',';
}

}  // namespace

// The buddy's procedure while the up-down watches its arrow keys. It outlives the up-down when
// someone subclassed the buddy after it: then it only passes everything on.
struct TBuddyHook {
    TUpDownControl* Owner = nullptr;
    HWND Buddy = 0;
    WNDPROC Old = nullptr;
};

TUpDownControl::TUpDownControl(HWND Wnd) : TWrappedControl(Wnd) {}

TUpDownControl::~TUpDownControl() {
    ReleaseBuddy();
}

QWidget* TUpDownControl::CreateWidget(QWidget*, const CREATESTRUCT&) {
    // Two arrow buttons drawn on the surface.
    return nullptr;
}

LRESULT TUpDownControl::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
        case WM_CREATE: {
            const LRESULT Result = TWrappedControl::WndProc(Msg, WParam, LParam);
            if (Style() & UDS_AUTOBUDDY) SetBuddy(GetWindow(Handle(), GW_HWNDNEXT));
            return Result;
        }
        case UDM_SETRANGE:
            FUpper = static_cast<SHORT>(LOWORD(static_cast<std::uintptr_t>(LParam)));
            FLower = static_cast<SHORT>(HIWORD(static_cast<std::uintptr_t>(LParam)));
            SetPos(FPos);
            return 0;
        case UDM_GETRANGE:
            return static_cast<LRESULT>(
                MAKELONG(static_cast<WORD>(FUpper), static_cast<WORD>(FLower)));
        case UDM_SETRANGE32:
            FLower = static_cast<int>(static_cast<LONG_PTR>(WParam));
            FUpper = static_cast<int>(LParam);
            SetPos(FPos);
            return 0;
        case UDM_GETRANGE32:
            if (WParam) *reinterpret_cast<int*>(WParam) = FLower;
            if (LParam) *reinterpret_cast<int*>(LParam) = FUpper;
            return 0;
        case UDM_SETPOS:
        case UDM_SETPOS32: {
            const int Old = FPos;
            SetPos(Msg == UDM_SETPOS
                       ? static_cast<SHORT>(LOWORD(static_cast<std::uintptr_t>(LParam)))
                       : static_cast<int>(LParam));
            return Old;
        }
        case UDM_GETPOS:
        case UDM_GETPOS32: {
            const bool Read = !(Style() & UDS_SETBUDDYINT) || !FBuddy || ReadBuddy();
            if (Msg == UDM_GETPOS32) {
                if (LParam) *reinterpret_cast<BOOL*>(LParam) = Read ? FALSE : TRUE;
                return FPos;
            }
            return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(FPos), Read ? 0 : 1));
        }
        case UDM_SETBUDDY:
            return static_cast<LRESULT>(SetBuddy(static_cast<HWND>(WParam)));
        case UDM_GETBUDDY:
            return static_cast<LRESULT>(FBuddy);
        case UDM_SETBASE: {
            if (WParam != 10 && WParam != 16) return 0;
            const int Old = FBase;
            FBase = static_cast<int>(WParam);
            if (Style() & UDS_SETBUDDYINT) ShowInBuddy();
            return Old;
        }
        case UDM_GETBASE:
            return FBase;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_ENABLE:
            InvalidateRect(Handle(), nullptr, TRUE);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            const TArrow Arrow = ArrowAt(MessagePoint(LParam));
            if (!Arrow || FPressed) return 0;
            FPressed = Arrow;
            FRepeating = false;
            SetCapture(Handle());
            InvalidateRect(Handle(), nullptr, TRUE);
            Step(Arrow);
            if (FPressed && IsWindow(Handle())) SetTimer(Handle(), kRepeatTimer, kFirstRepeat);
            return 0;
        }
        case WM_TIMER: {
            if (WParam != kRepeatTimer || !FPressed) return 0;
            POINT At;
            GetCursorPos(&At);
            ScreenToClient(Handle(), &At);
            if (ArrowAt(At) == FPressed) Step(FPressed);
            if (FPressed && !FRepeating && IsWindow(Handle())) {
                FRepeating = true;
                SetTimer(Handle(), kRepeatTimer, kRepeat);
            }
            return 0;
        }
        case WM_LBUTTONUP:
            if (FPressed && GetCapture() == Handle()) ReleaseCapture();
            return 0;
        case WM_CAPTURECHANGED:
            if (!FPressed) return 0;
            FPressed = 0;
            KillTimer(Handle(), kRepeatTimer);
            InvalidateRect(Handle(), nullptr, TRUE);
            Scrolled(SB_ENDSCROLL);
            return 0;
        case WM_KEYDOWN:
            if ((Style() & UDS_ARROWKEYS) && (WParam == VK_UP || WParam == VK_DOWN))
                Step(WParam == VK_UP ? 1 : -1);
            return 0;
        case WM_NCDESTROY:
            ReleaseBuddy();
            return TWrappedControl::WndProc(Msg, WParam, LParam);
        default:
            break;
    }
    // A click leaves the focus where it is (in the buddy, usually).
    if ((Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSELAST) || Msg == WM_KEYUP || Msg == WM_CHAR)
        return DefWindowProc(Handle(), Msg, WParam, LParam);
    return TWrappedControl::WndProc(Msg, WParam, LParam);
}

// ---- the buddy
// -----------------------------------------------------------------------------------

HWND TUpDownControl::SetBuddy(HWND Buddy) {
    const HWND Old = FBuddy;
    ReleaseBuddy();
    if (!Buddy || !IsWindow(Buddy) || Buddy == Handle()) return Old;
    FBuddy = Buddy;
    if (Style() & UDS_ARROWKEYS) {
        auto Hook = std::make_shared<TBuddyHook>();
        Hook->Owner = this;
        Hook->Buddy = Buddy;
        FBuddyOurs = MakeObjectInstance([Hook](TMessage& M) {
            if (Hook->Owner) {
                M.Result = Hook->Owner->BuddyProc(M.Msg, M.WParam, M.LParam);
            } else {
                M.Result = CallWindowProc(Hook->Old, Hook->Buddy, M.Msg, M.WParam, M.LParam);
            }
        });
        FBuddyOld = reinterpret_cast<WNDPROC>(
            SetWindowLongPtr(Buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FBuddyOurs)));
        Hook->Old = FBuddyOld;
        FHook = Hook;
    }
    Align();
    if (Style() & UDS_SETBUDDYINT) ShowInBuddy();
    return Old;
}

void TUpDownControl::ReleaseBuddy() {
    if (FBuddyOurs) {
        if (auto Hook = FHook.lock()) Hook->Owner = nullptr;
        // Unhooked only while ours is the buddy's procedure; else whoever came later still calls
        // ours, which passes everything on from now on.
        if (IsWindow(FBuddy) &&
            GetWindowLongPtr(FBuddy, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(FBuddyOurs)) {
            SetWindowLongPtr(FBuddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FBuddyOld));
            FreeObjectInstance(FBuddyOurs);
        }
    }
    FBuddyOurs = nullptr;
    FBuddyOld = nullptr;
    FHook.reset();
    FBuddy = 0;
}

LRESULT TUpDownControl::BuddyProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
    const WNDPROC Old = FBuddyOld;
    const HWND Buddy = FBuddy;
    if (Msg == WM_KEYDOWN && (WParam == VK_UP || WParam == VK_DOWN)) {
        Step(WParam == VK_UP ? 1 : -1);
        return 0;
    }
    if (Msg == WM_KEYUP && (WParam == VK_UP || WParam == VK_DOWN)) return 0;
    return CallWindowProc(Old, Buddy, Msg, WParam, LParam);
}

void TUpDownControl::Align() {
    const DWORD S = Style();
    if (!FBuddy || !(S & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT))) return;
    const HWND Parent = GetParent(Handle());
    RECT Buddy;
    GetWindowRect(FBuddy, &Buddy);
    MapWindowPoints(0, Parent, reinterpret_cast<POINT*>(&Buddy), 2);
    RECT Own;
    GetWindowRect(Handle(), &Own);
    int Width = Own.right - Own.left;
    if (Width <= 0) Width = GetSystemMetrics(SM_CXVSCROLL);
    const int Height = Buddy.bottom - Buddy.top;
    const int BuddyWidth = std::max(0, static_cast<int>(Buddy.right - Buddy.left) - Width);
    if (S & UDS_ALIGNRIGHT) {
        MoveWindow(FBuddy, Buddy.left, Buddy.top, BuddyWidth, Height, TRUE);
        MoveWindow(Handle(), Buddy.left + BuddyWidth, Buddy.top, Width, Height, TRUE);
    } else {
        MoveWindow(Handle(), Buddy.left, Buddy.top, Width, Height, TRUE);
        MoveWindow(FBuddy, Buddy.left + Width, Buddy.top, BuddyWidth, Height, TRUE);
    }
}

std::string TUpDownControl::Format(int Value) const {
    if (FBase == 16) {
        char Buffer[16];
        const auto End =
            std::to_chars(Buffer, Buffer + sizeof Buffer, static_cast<unsigned>(Value), 16).ptr;
        std::string Hex(Buffer, End);
        std::transform(Hex.begin(), Hex.end(), Hex.begin(),
                       [](char C) { return static_cast<char>(std::toupper(C)); });
        return "0x" + Hex;
    }
    const std::string Digits =
        std::to_string(static_cast<long long>(Value) < 0 ? -static_cast<long long>(Value) : Value);
    std::string Out;
    const char Separator = GroupSeparator();
    for (size_t I = 0; I < Digits.size(); ++I) {
        if (I > 0 && (Digits.size() - I) % 3 == 0 && !(Style() & UDS_NOTHOUSANDS)) Out += Separator;
        Out += Digits[I];
    }
    return Value < 0 ? "-" + Out : Out;
}

bool TUpDownControl::ReadBuddy() {
    std::string Text = GetWindowText(FBuddy);
    const char Separator = GroupSeparator();
    std::erase_if(Text, [Separator](char C) { return C == Separator || C == ' '; });
    int Base = 10;
    std::string_view Digits = Text;
    bool Negative = false;
    if (FBase == 16) {
        Base = 16;
        if (Digits.size() > 2 && Digits[0] == '0' && (Digits[1] == 'x' || Digits[1] == 'X'))
            Digits.remove_prefix(2);
    } else if (!Digits.empty() && Digits[0] == '-') {
        Negative = true;
        Digits.remove_prefix(1);
    }
    long long Value = 0;
    const auto [End, Error] =
        std::from_chars(Digits.data(), Digits.data() + Digits.size(), Value, Base);
    if (Digits.empty() || Error != std::errc() || End != Digits.data() + Digits.size())
        return false;
    if (Negative) Value = -Value;
    if (FBase == 16 && Value > 0x7FFFFFFF) Value -= 0x100000000LL;
    if (Value < std::min(FLower, FUpper) || Value > std::max(FLower, FUpper)) return false;
    FPos = static_cast<int>(Value);
    return true;
}

void TUpDownControl::ShowInBuddy() {
    if (FBuddy && IsWindow(FBuddy)) SetWindowText(FBuddy, Format(FPos));
}

// ---- the position
// ----------------------------------------------------------------------------------

void TUpDownControl::SetPos(int Value) {
    FPos = std::clamp(Value, std::min(FLower, FUpper), std::max(FLower, FUpper));
    if (Style() & UDS_SETBUDDYINT) ShowInBuddy();
}

void TUpDownControl::Step(TArrow Arrow) {
    if ((Style() & UDS_SETBUDDYINT) && FBuddy) ReadBuddy();
    NMUPDOWN Note;
    Note.iPos = FPos;
    Note.iDelta = FUpper >= FLower ? Arrow : -Arrow;
    if (Notify(UDN_DELTAPOS, &Note.hdr) != 0 || !IsWindow(Handle())) return;
    const long long Low = std::min(FLower, FUpper);
    const long long High = std::max(FLower, FUpper);
    long long Target = static_cast<long long>(FPos) + Note.iDelta;
    const bool Wrap = Style() & UDS_WRAP;
    if (Target > High) Target = Wrap ? Low : High;
    if (Target < Low) Target = Wrap ? High : Low;
    if (Target == FPos) return;
    SetPos(static_cast<int>(Target));
    Scrolled(SB_THUMBPOSITION);
}

void TUpDownControl::Scrolled(WORD Code) {
    const HWND Parent = GetParent(Handle());
    if (!Parent) return;
    SendMessage(Parent, (Style() & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL,
                MAKEWPARAM(Code, static_cast<WORD>(FPos)), static_cast<LPARAM>(Handle()));
}

// ---- the look
// ----------------------------------------------------------------------------------------

RECT TUpDownControl::ArrowRect(TArrow Arrow) const {
    RECT C;
    GetClientRect(Handle(), &C);
    if (Style() & UDS_HORZ) {
        const LONG Middle = C.right / 2;
        return Arrow > 0 ? RECT{Middle, 0, C.right, C.bottom} : RECT{0, 0, Middle, C.bottom};
    }
    const LONG Middle = C.bottom / 2;
    return Arrow > 0 ? RECT{0, 0, C.right, Middle} : RECT{0, Middle, C.right, C.bottom};
}

TUpDownControl::TArrow TUpDownControl::ArrowAt(POINT At) const {
    for (TArrow Arrow : {1, -1}) {
        const RECT R = ArrowRect(Arrow);
        if (PtInRect(&R, At)) return Arrow;
    }
    return 0;
}

void TUpDownControl::Paint() {
    PAINTSTRUCT Ps;
    const HDC DC = BeginPaint(Handle(), &Ps);
    if (!DC) return;
    const bool Horizontal = Style() & UDS_HORZ;
    const UINT Disabled = IsWindowEnabled(Handle()) ? 0 : DFCS_INACTIVE;
    for (TArrow Arrow : {1, -1}) {
        RECT R = ArrowRect(Arrow);
        const UINT Kind = Horizontal ? (Arrow > 0 ? DFCS_SCROLLRIGHT : DFCS_SCROLLLEFT)
                                     : (Arrow > 0 ? DFCS_SCROLLUP : DFCS_SCROLLDOWN);
        DrawFrameControl(DC, &R, DFC_SCROLL,
                         Kind | Disabled | (FPressed == Arrow ? DFCS_PUSHED : 0));
    }
    EndPaint(Handle(), &Ps);
}
