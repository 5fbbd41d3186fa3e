#include "platform/dialogs/DialogKeys.h"

#include <vector>

#include "platform/classes/Mnemonics.h"
#include "platform/controls/Button.h"
#include "platform/controls/Edit.h"
#include "platform/controls/Static.h"
#include "platform/gdi/Gdi.h"

namespace {

// The dialog's controls in z-order (the order they were made in).
std::vector<HWND> ControlsOf(HWND Dialog) {
    std::vector<HWND> Out;
    for (HWND W = GetWindow(Dialog, GW_CHILD); W != 0; W = GetWindow(W, GW_HWNDNEXT))
        Out.push_back(W);
    return Out;
}

DWORD StyleOf(HWND Wnd) {
    return DWORD(GetWindowLongPtr(Wnd, GWL_STYLE));
}

bool Usable(HWND Wnd) {
    return IsWindowVisible(Wnd) && IsWindowEnabled(Wnd);
}

LRESULT DialogCodeOf(HWND Wnd, const MSG* Msg) {
    return SendMessage(Wnd, WM_GETDLGCODE, Msg ? Msg->wParam : 0, reinterpret_cast<LPARAM>(Msg));
}

bool IsPushButton(LRESULT Code) {
    return Code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON);
}

// The next control of List after Index (or before it) that Accept takes, round the end.
HWND Step(const std::vector<HWND>& List, size_t Index, bool Previous, bool (*Accept)(HWND Wnd)) {
    const size_t N = List.size();
    for (size_t K = 1; K <= N; ++K) {
        const size_t I = Previous ? (Index + N - K) % N : (Index + K) % N;
        if (Accept(List[I])) return List[I];
    }
    return 0;
}

size_t IndexOf(const std::vector<HWND>& List, HWND Wnd) {
    for (size_t I = 0; I < List.size(); ++I)
        if (List[I] == Wnd) return I;
    // Nothing of the dialog has the focus: walking forward starts at the first control.
    return List.empty() ? 0 : List.size() - 1;
}

void Focus(HWND Wnd) {
    SetFocus(Wnd);
    // An edit reached by the keyboard shows its whole text selected, ready to be typed over.
    if (IsWindow(Wnd) && (DialogCodeOf(Wnd, nullptr) & DLGC_HASSETSEL))
        SendMessage(Wnd, EM_SETSEL, 0, -1);
}

// A push button pressed from the keyboard: the dialog hears its id as from a click, and the
// focus stays where it is (Enter in a list still knows the list). Without such a button the
// dialog hears of the id anyway.
void Press(HWND Dialog, int Id, HWND Button) {
    if (Button != 0 && !Usable(Button)) return;
    SendMessage(Dialog, WM_COMMAND, MAKEWPARAM(WORD(Id), BN_CLICKED), LPARAM(Button));
}

void PressEnter(HWND Dialog, HWND FocusChild, LRESULT Code) {
    if (IsPushButton(Code)) {
        Press(Dialog, int(GetWindowLongPtr(FocusChild, GWLP_ID)), FocusChild);
        return;
    }
    const LRESULT Def = SendMessage(Dialog, DM_GETDEFID, 0, 0);
    const int Id = HIWORD(std::uintptr_t(Def)) == DC_HASDEFID ? LOWORD(std::uintptr_t(Def)) : IDOK;
    Press(Dialog, Id, GetDlgItem(Dialog, Id));
}

// Acts on the control whose caption marks Letter; false when none does.
bool Mnemonic(HWND Dialog, HWND FocusChild, char Letter) {
    const std::vector<HWND> List = ControlsOf(Dialog);
    const size_t From = IndexOf(List, FocusChild);
    for (size_t K = 1; K <= List.size(); ++K) {
        const HWND W = List[(From + K) % List.size()];
        const LRESULT Code = DialogCodeOf(W, nullptr);
        const bool Label = (Code & DLGC_STATIC) && !(StyleOf(W) & SS_NOPREFIX);
        if (!(Code & DLGC_BUTTON) && !Label) continue;
        if (!IsWindowVisible(W) || MnemonicKey(GetWindowText(W)) != Letter) continue;
        if (Label) {
            // A label stands for the control after it.
            if (const HWND Next = GetNextDlgTabItem(Dialog, W, false)) Focus(Next);
        } else if (IsPushButton(Code)) {
            Press(Dialog, int(GetWindowLongPtr(W, GWLP_ID)), W);
        } else if (IsWindowEnabled(W)) {
            SetFocus(W);
            SendMessage(W, BM_CLICK, 0, 0);
        }
        return true;
    }
    return false;
}

char LetterOf(WPARAM Key) {
    if ((Key >= VK_A && Key <= VK_Z) || (Key >= VK_0 && Key <= VK_9)) return char(Key);
    return 0;
}

}  // namespace

HWND GetDlgItem(HWND Dialog, int Id) {
    for (HWND W : ControlsOf(Dialog))
        if (GetWindowLongPtr(W, GWLP_ID) == Id) return W;
    return 0;
}

HWND DialogChildOf(HWND Dialog, HWND Wnd) {
    for (int Depth = 0; Wnd != 0 && Depth < 64; ++Depth) {
        if (GetParent(Wnd) == Dialog && (StyleOf(Wnd) & WS_CHILD)) return Wnd;
        if (!(StyleOf(Wnd) & WS_CHILD)) return 0;
        Wnd = GetParent(Wnd);
    }
    return 0;
}

HWND GetNextDlgTabItem(HWND Dialog, HWND Control, bool Previous) {
    const std::vector<HWND> List = ControlsOf(Dialog);
    return Step(List, IndexOf(List, Control), Previous,
                [](HWND W) { return Usable(W) && (StyleOf(W) & WS_TABSTOP) != 0; });
}

HWND GetNextDlgGroupItem(HWND Dialog, HWND Control, bool Previous) {
    const std::vector<HWND> List = ControlsOf(Dialog);
    const size_t At = IndexOf(List, Control);
    if (List.empty()) return 0;
    // The group: from the nearest control with WS_GROUP at or before Control to the next one.
    size_t First = At;
    while (First > 0 && !(StyleOf(List[First]) & WS_GROUP)) --First;
    size_t End = At + 1;
    while (End < List.size() && !(StyleOf(List[End]) & WS_GROUP)) ++End;
    const std::vector<HWND> Group(List.begin() + long(First), List.begin() + long(End));
    return Step(Group, At - First, Previous,
                [](HWND W) { return Usable(W) && !(DialogCodeOf(W, nullptr) & DLGC_STATIC); });
}

bool IsDialogMessage(HWND Dialog, const MSG& Msg) {
    if (Msg.message != WM_KEYDOWN && Msg.message != WM_SYSKEYDOWN) return false;
    if (!IsWindow(Dialog) || (Msg.hwnd != Dialog && !IsChild(Dialog, Msg.hwnd))) return false;
    const HWND FocusChild = DialogChildOf(Dialog, Msg.hwnd);
    const LRESULT Code = Msg.hwnd == Dialog ? 0 : DialogCodeOf(Msg.hwnd, &Msg);
    const bool Ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool Alt = Msg.message == WM_SYSKEYDOWN;
    const bool WantsAll = Code & DLGC_WANTALLKEYS;
    switch (Msg.wParam) {
        case VK_TAB:
            if (Ctrl || Alt || (Code & DLGC_WANTTAB) || WantsAll) return false;
            if (const HWND Next = GetNextDlgTabItem(Dialog, FocusChild, GetKeyState(VK_SHIFT) < 0))
                Focus(Next);
            return true;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN: {
            if (Alt || (Code & DLGC_WANTARROWS) || WantsAll || FocusChild == 0) return false;
            const bool Back = Msg.wParam == VK_LEFT || Msg.wParam == VK_UP;
            const HWND Next = GetNextDlgGroupItem(Dialog, FocusChild, Back);
            if (Next == 0 || Next == FocusChild) return true;
            SetFocus(Next);
            if (DialogCodeOf(Next, nullptr) & DLGC_RADIOBUTTON) SendMessage(Next, BM_CLICK, 0, 0);
            return true;
        }
        case VK_RETURN:
            if (Alt || WantsAll) return false;
            PressEnter(Dialog, FocusChild, Code);
            return true;
        case VK_ESCAPE:
            if (Alt || WantsAll) return false;
            // Esc means Cancel, also when the dialog shows no such button (its close box).
            SendMessage(Dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                        LPARAM(GetDlgItem(Dialog, IDCANCEL)));
            return true;
        default:
            break;
    }
    const char Letter = LetterOf(Msg.wParam);
    if (Letter == 0 || Ctrl) return false;
    if (!Alt && (Code & (DLGC_WANTCHARS | DLGC_WANTALLKEYS))) return false;
    // Alt with a letter belongs to the dialog even when nothing is marked with it.
    return Mnemonic(Dialog, FocusChild, Letter) || Alt;
}
