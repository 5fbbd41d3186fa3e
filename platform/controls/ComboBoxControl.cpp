#include "platform/controls/ComboBoxControl.h"

#include <algorithm>
#include <cstring>

#include "platform/classes/FlagScope.h"
#include "platform/controls/ControlLook.h"
#include "platform/controls/Edit.h"
#include "platform/controls/ItemTexts.h"
#include "platform/controls/Limits.h"
#include "platform/controls/ListBoxControl.h"
#include "platform/controls/OwnerDraw.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/core/Screens.h"
#include "platform/gdi/Gdi.h"

namespace {

// The edit's subclass hands its messages to the combo box with this (internal) message, so that
// the combo box's own procedure, and its lifetime guard, runs them.
constexpr UINT kComboEditRelay = 0x016E;

// CB_ messages that are the list's LB_ messages under another number.
struct TForward {
    UINT Combo;
    UINT List;
};
constexpr TForward kForwards[] = {
    {CB_ADDSTRING, LB_ADDSTRING},
    {CB_INSERTSTRING, LB_INSERTSTRING},
    {CB_GETCOUNT, LB_GETCOUNT},
    {CB_GETCURSEL, LB_GETCURSEL},
    {CB_GETLBTEXT, LB_GETTEXT},
    {CB_GETLBTEXTLEN, LB_GETTEXTLEN},
    {CB_GETITEMDATA, LB_GETITEMDATA},
    {CB_SETITEMDATA, LB_SETITEMDATA},
    {CB_FINDSTRING, LB_FINDSTRING},
    {CB_FINDSTRINGEXACT, LB_FINDSTRINGEXACT},
    {CB_GETTOPINDEX, LB_GETTOPINDEX},
    {CB_SETTOPINDEX, LB_SETTOPINDEX},
    {CB_GETHORIZONTALEXTENT, LB_GETHORIZONTALEXTENT},
    {CB_SETHORIZONTALEXTENT, LB_SETHORIZONTALEXTENT},
    {CB_INITSTORAGE, LB_INITSTORAGE},
};

bool IsNavigation(WPARAM Key) {
    return Key == VK_UP || Key == VK_DOWN || Key == VK_PRIOR || Key == VK_NEXT;
}

int IndexOf(std::uintptr_t Value) {
    return static_cast<int>(static_cast<std::int32_t>(static_cast<std::uint32_t>(Value)));
}

}  // namespace

struct TComboBoxControl::TEditCall {
    HWND Edit;
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};

TComboBoxControl::TComboBoxControl(HWND Wnd) : TWrappedControl(Wnd) {}

TComboBoxControl::~TComboBoxControl() = default;

QWidget* TComboBoxControl::CreateWidget(QWidget*, const CREATESTRUCT&) {
    return nullptr;
}

// --- kind and parts -----------------------------------------------------------------------------

DWORD TComboBoxControl::Kind() const {
    const DWORD K = Style() & 0x3;
    return K == 0 ? CBS_SIMPLE : K;
}

bool TComboBoxControl::OwnerDraw() const {
    return Style() & CBS_OWNERDRAWFIXED;
}

TListBoxControl* TComboBoxControl::List() const {
    return dynamic_cast<TListBoxControl*>(TWrappedControl::Of(FList));
}

bool TComboBoxControl::Inside(HWND Wnd) const {
    return Wnd != 0 && (Wnd == Handle() || Wnd == FEdit || Wnd == FList || IsChild(Handle(), Wnd));
}

// The sunken edge (2 pixels each side), a pixel round the field, and the field.
int TComboBoxControl::ComboHeight() const {
    return FFieldHeight + 6;
}

RECT TComboBoxControl::ButtonRect() const {
    RECT C;
    GetClientRect(Handle(), &C);
    const int Edge = GetSystemMetrics(SM_CXEDGE);
    const int Bottom = Simple() ? 0 : ComboHeight() - Edge;
    return RECT{std::max(Edge, static_cast<int>(C.right) - Edge - GetSystemMetrics(SM_CXVSCROLL)),
                Edge, C.right - Edge, Bottom};
}

RECT TComboBoxControl::FieldRect() const {
    RECT C;
    GetClientRect(Handle(), &C);
    const int Edge = GetSystemMetrics(SM_CXEDGE);
    const int Right = Simple() ? C.right - Edge : ButtonRect().left;
    return RECT{Edge + 1, Edge + 1, std::max(Edge + 1, Right - 1), ComboHeight() - Edge - 1};
}

void TComboBoxControl::Created(const CREATESTRUCT& Create) {
    const TFlagScope Quiet(FQuiet);
    FDroppedHeight = Create.cy;
    CreateList(Create);
    const int TextHeight = static_cast<int>(SendMessage(FList, LB_GETITEMHEIGHT, 0, 0));
    FFieldHeight = TextHeight + 2;
    if (OwnerDraw()) {
        // The field first (itemID -1), then the items.
        FFieldHeight = Measure(-1, FFieldHeight, Create.cx);
        SendMessage(FList, LB_SETITEMHEIGHT, 0, Measure(0, TextHeight, Create.cx));
    }
    if (!DropList()) CreateEdit(Create);
    // The list of a simple combo box is its first child, the edit the next (as callers that
    // look for them by their order expect).
    if (Simple() && FList)
        SetWindowPos(FList, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    FixHeight();
    Layout();
}

int TComboBoxControl::Measure(int Item, int Height, int Width) {
    MEASUREITEMSTRUCT M;
    M.CtlType = ODT_COMBOBOX;
    M.CtlID = static_cast<UINT>(GetWindowLongPtr(Handle(), GWLP_ID));
    M.itemID = static_cast<UINT>(Item);
    M.itemWidth = static_cast<UINT>(std::max(0, Width));
    M.itemHeight = static_cast<UINT>(Height);
    if (const HWND Parent = GetParent(Handle()))
        SendMessage(Parent, WM_MEASUREITEM, M.CtlID, reinterpret_cast<LPARAM>(&M));
    return std::clamp(static_cast<int>(M.itemHeight), 1, ControlsLimits::kMaxItemHeight);
}

void TComboBoxControl::CreateList(const CREATESTRUCT& Create) {
    const auto S = static_cast<DWORD>(Create.style);
    DWORD ListStyle = LBS_COMBOBOX | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | (S & WS_VSCROLL);
    if (S & CBS_SORT) ListStyle |= LBS_SORT;
    if (S & CBS_HASSTRINGS) ListStyle |= LBS_HASSTRINGS;
    if (S & CBS_OWNERDRAWFIXED) ListStyle |= LBS_OWNERDRAWFIXED;
    if (S & CBS_DISABLENOSCROLL) ListStyle |= LBS_DISABLENOSCROLL;
    void* Self = reinterpret_cast<void*>(Handle());
    if (Simple()) {
        FList = CreateWindowEx(WS_EX_CLIENTEDGE, "ComboLBox", "", WS_CHILD | WS_VISIBLE | ListStyle,
                               0, 0, 0, 0, Handle(), 1000, 0, Self);
    } else {
        // Owned by the combo box's form; shown only while dropped down.
        FList = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "ComboLBox", "",
                               WS_POPUP | WS_BORDER | ListStyle, 0, 0, 0, 0, Handle(), 0, 0, Self);
    }
}

void TComboBoxControl::CreateEdit(const CREATESTRUCT& Create) {
    const auto S = static_cast<DWORD>(Create.style);
    DWORD EditStyle = WS_CHILD | WS_VISIBLE;
    if (S & CBS_AUTOHSCROLL) EditStyle |= ES_AUTOHSCROLL;
    if (S & CBS_UPPERCASE) EditStyle |= ES_UPPERCASE;
    if (S & CBS_LOWERCASE) EditStyle |= ES_LOWERCASE;
    if (S & WS_DISABLED) EditStyle |= WS_DISABLED;
    FEdit = CreateWindowEx(0, "EDIT", Create.lpszName ? Create.lpszName : "", EditStyle, 0, 0, 0, 0,
                           Handle(), kComboEditId, 0, nullptr);
    if (!FEdit) return;
    if (FFont) SendMessage(FEdit, WM_SETFONT, static_cast<WPARAM>(FFont), FALSE);
    FEditProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(FEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditRelay)));
}

void TComboBoxControl::FixHeight() {
    if (Simple()) return;
    RECT R;
    GetWindowRect(Handle(), &R);
    const TFlagScope Fixing(FFixingHeight);
    SetWindowPos(Handle(), 0, 0, 0, R.right - R.left, ComboHeight(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TComboBoxControl::Layout() {
    RECT C;
    GetClientRect(Handle(), &C);
    if (FEdit) {
        const RECT F = FieldRect();
        MoveWindow(FEdit, F.left, F.top, F.right - F.left, F.bottom - F.top, TRUE);
    }
    if (Simple() && FList)
        MoveWindow(FList, 0, ComboHeight(), C.right, std::max(0, C.bottom - ComboHeight()), TRUE);
    InvalidateRect(Handle(), nullptr, FALSE);
}

void TComboBoxControl::SetFont(HFONT Font, bool Redraw) {
    FFont = Font;
    if (FEdit) SendMessage(FEdit, WM_SETFONT, static_cast<WPARAM>(Font), Redraw);
    if (FList) SendMessage(FList, WM_SETFONT, static_cast<WPARAM>(Font), Redraw);
    if (!OwnerDraw())
        FFieldHeight = static_cast<int>(SendMessage(FList, LB_GETITEMHEIGHT, 0, 0)) + 2;
    FixHeight();
    Layout();
}

// --- selection and text -------------------------------------------------------------------------

int TComboBoxControl::CurSel() const {
    return static_cast<int>(SendMessage(FList, LB_GETCURSEL, 0, 0));
}

std::string TComboBoxControl::ItemText(int Index) const {
    const LRESULT Length = SendMessage(FList, LB_GETTEXTLEN, static_cast<WPARAM>(Index), 0);
    if (Length < 0) return {};
    std::string Text(static_cast<size_t>(Length) + 1, '\0');
    SendMessage(FList, LB_GETTEXT, static_cast<WPARAM>(Index),
                reinterpret_cast<LPARAM>(Text.data()));
    Text.resize(static_cast<size_t>(Length));
    return Text;
}

void TComboBoxControl::SetEditText(const std::string& Text) {
    if (!FEdit) return;
    const TFlagScope Quiet(FQuiet);
    SetWindowText(FEdit, Text);
}

// The field or the edit shows the list's selection.
void TComboBoxControl::ShowSelection() {
    const int Sel = CurSel();
    if (FEdit) {
        SetEditText(Sel < 0 ? std::string() : ItemText(Sel));
        if (GetFocus() == FEdit) SendMessage(FEdit, EM_SETSEL, 0, -1);
    }
    InvalidateRect(Handle(), nullptr, FALSE);
}

std::string TComboBoxControl::CurrentText() const {
    if (FEdit) return GetWindowText(FEdit);
    const int Sel = CurSel();
    return Sel < 0 ? std::string() : ItemText(Sel);
}

LRESULT TComboBoxControl::SetTextMessage(const char* Text) {
    const std::string Wanted = Text ? Text : "";
    const auto Found =
        static_cast<int>(SendMessage(FList, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(Wanted.c_str())));
    if (!FEdit) {
        if (Found < 0) return CB_ERR;
        SendMessage(FList, LB_SETCURSEL, static_cast<WPARAM>(Found), 0);
        InvalidateRect(Handle(), nullptr, FALSE);
        return TRUE;
    }
    SetEditText(Wanted);
    SendMessage(FList, LB_SETCURSEL, static_cast<WPARAM>(Found), 0);
    return TRUE;
}

LRESULT TComboBoxControl::GetTextMessage(WPARAM Size, char* Buffer) const {
    return ItemTextTo(CurrentText(), Buffer, static_cast<std::int64_t>(Size));
}

// Typing selects the first item the text begins, without telling (nothing when it is empty).
void TComboBoxControl::FollowEdit() {
    const std::string Now = GetWindowText(FEdit);
    int Found = -1;
    if (!Now.empty())
        Found = static_cast<int>(SendMessage(FList, LB_FINDSTRING, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(Now.c_str())));
    SendMessage(FList, LB_SETCURSEL, static_cast<WPARAM>(Found), 0);
}

// --- the list -----------------------------------------------------------------------------------

int TComboBoxControl::DroppedWidth() const {
    RECT R;
    GetWindowRect(Handle(), &R);
    return std::max(static_cast<int>(R.right - R.left), FDroppedWidth);
}

// Under the combo box, as many whole items high as the height it was given leaves (at least
// one); above it when the screen ends below.
RECT TComboBoxControl::DroppedRect() const {
    RECT Combo;
    GetWindowRect(Handle(), &Combo);
    const int Item = std::max(1, static_cast<int>(SendMessage(FList, LB_GETITEMHEIGHT, 0, 0)));
    const int Count = static_cast<int>(SendMessage(FList, LB_GETCOUNT, 0, 0));
    const int Border = 2 * GetSystemMetrics(SM_CYBORDER);
    const int Room = FDroppedHeight - ComboHeight() - Border;
    const int Rows = std::clamp(Room / Item, 1, std::max(1, Count));
    const int Height = Rows * Item + Border;
    RECT R{Combo.left, Combo.bottom, Combo.left + DroppedWidth(), Combo.bottom + Height};
    MONITORINFO Info;
    if (GetMonitorInfo(MonitorFromRect(&Combo, MONITOR_DEFAULTTONEAREST), &Info) &&
        R.bottom > Info.rcWork.bottom && Combo.top - Height >= Info.rcWork.top)
        OffsetRect(&R, 0, Combo.top - Height - R.top);
    return R;
}

void TComboBoxControl::DropDown(bool Tracking) {
    if (FDropped || Simple()) return;
    Command(CBN_DROPDOWN);
    if (!IsWindow(Handle()) || FDropped) return;
    if (FEdit) {
        // The item the edit names (whole, else by its beginning) shows selected.
        const std::string Now = GetWindowText(FEdit);
        auto Found =
            static_cast<int>(SendMessage(FList, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(Now.c_str())));
        if (Found < 0 && !Now.empty())
            Found = static_cast<int>(SendMessage(FList, LB_FINDSTRING, static_cast<WPARAM>(-1),
                                                 reinterpret_cast<LPARAM>(Now.c_str())));
        SendMessage(FList, LB_SETCURSEL, static_cast<WPARAM>(Found), 0);
    }
    FSelAtDrop = CurSel();
    const RECT R = DroppedRect();
    FDropped = true;
    FButtonDown = Tracking;
    if (TListBoxControl* L = List()) L->DroppedDown(Tracking);
    SetWindowPos(FList, HWND_TOPMOST, R.left, R.top, R.right - R.left, R.bottom - R.top,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SetCapture(FList);
    InvalidateRect(Handle(), nullptr, FALSE);
}

void TComboBoxControl::CloseUp(bool Accept) {
    if (!FDropped) return;
    FDropped = false;
    FButtonDown = false;
    if (TListBoxControl* L = List()) L->ClosedUp();
    if (!Accept) SendMessage(FList, LB_SETCURSEL, static_cast<WPARAM>(FSelAtDrop), 0);
    const int Sel = CurSel();
    Command(Accept ? CBN_SELENDOK : CBN_SELENDCANCEL);
    if (!IsWindow(Handle())) return;
    if (GetCapture() == FList) ReleaseCapture();
    ShowWindow(FList, SW_HIDE);
    InvalidateRect(Handle(), nullptr, FALSE);
    Command(CBN_CLOSEUP);
    if (!IsWindow(Handle()) || !Accept) return;
    const bool Changed = Sel != FSelAtDrop;
    FSelAtDrop = Sel;
    if (Changed || FEdit) ShowSelection();
    if (Changed) Command(CBN_SELCHANGE);
}

void TComboBoxControl::ListNotice(TComboListNotice Notice) {
    switch (Notice) {
        case TComboListNotice::SelectionMoved:
            FSelAtDrop = CurSel();
            ShowSelection();
            if (Simple()) Command(CBN_SELENDOK);
            if (IsWindow(Handle())) Command(CBN_SELCHANGE);
            break;
        case TComboListNotice::Chosen:
            if (!Simple()) {
                CloseUp(true);
            } else if (CurSel() != FSelAtDrop) {
                ListNotice(TComboListNotice::SelectionMoved);
            }
            break;
        case TComboListNotice::Released:
            if (FButtonDown) {
                FButtonDown = false;
                InvalidateRect(Handle(), nullptr, FALSE);
            }
            break;
        case TComboListNotice::Cancelled:
            CloseUp(false);
            break;
        case TComboListNotice::Pressed:
            if (!Inside(GetFocus())) SetFocus(Handle());
            break;
        case TComboListNotice::DoubleClicked:
            Command(CBN_DBLCLK);
            break;
    }
}

// --- input and focus ----------------------------------------------------------------------------

// The keys the combo box handles itself, for the edit or for its own window; true when taken.
bool TComboBoxControl::Key(UINT Msg, WPARAM Key) {
    const bool CanDrop = !Simple();
    if (Msg == WM_SYSKEYDOWN && CanDrop && (Key == VK_DOWN || Key == VK_UP)) {
        if (FDropped)
            CloseUp(true);
        else
            DropDown(false);
        return true;
    }
    if (Msg != WM_KEYDOWN) return false;
    if (Key == VK_F4 && CanDrop && !FExtendedUI) {
        if (FDropped)
            CloseUp(true);
        else
            DropDown(false);
        return true;
    }
    if (FDropped && (Key == VK_RETURN || Key == VK_ESCAPE)) {
        CloseUp(Key == VK_RETURN);
        return true;
    }
    const bool ListKey =
        IsNavigation(Key) ||
        (DropList() && (Key == VK_HOME || Key == VK_END || Key == VK_LEFT || Key == VK_RIGHT));
    if (!ListKey) return false;
    if (!FDropped && FExtendedUI && CanDrop && Key == VK_DOWN) {
        DropDown(false);
        return true;
    }
    SendMessage(FList, WM_KEYDOWN, Key, 0);
    return true;
}

bool TComboBoxControl::Character(unsigned char C) {
    // Enter and Escape did their work as keys.
    if (FDropped && (C == '\r' || C == 0x1B)) return true;
    if (!DropList()) return false;
    SendMessage(FList, WM_CHAR, C, 0);
    return true;
}

void TComboBoxControl::Wheel(int Delta) {
    if (FDropped) {
        SendMessage(FList, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(Delta)), 0);
        return;
    }
    for (int Notches = std::abs(Delta) / WHEEL_DELTA; Notches > 0 && IsWindow(Handle()); --Notches)
        SendMessage(FList, WM_KEYDOWN, Delta > 0 ? VK_UP : VK_DOWN, 0);
}

void TComboBoxControl::MouseDown(POINT Pt) {
    if (!Inside(GetFocus())) {
        SetFocus(Handle());
        if (!IsWindow(Handle())) return;
    }
    const RECT Button = ButtonRect();
    if (Simple() || (!DropList() && !PtInRect(&Button, Pt))) return;
    DropDown(LeftButtonHeld());
}

void TComboBoxControl::FocusIn() {
    if (FFocused) return;
    FFocused = true;
    InvalidateRect(Handle(), nullptr, FALSE);
    if (FEdit) SendMessage(FEdit, EM_SETSEL, 0, -1);
    Command(CBN_SETFOCUS);
}

void TComboBoxControl::FocusOut(HWND NewFocus) {
    if (!FFocused || Inside(NewFocus)) return;
    CloseUp(false);
    if (!IsWindow(Handle())) return;
    FFocused = false;
    InvalidateRect(Handle(), nullptr, FALSE);
    Command(CBN_KILLFOCUS);
}

void TComboBoxControl::EditCommand(WORD Code) {
    switch (Code) {
        case EN_SETFOCUS:
            FocusIn();
            break;
        case EN_KILLFOCUS:
            FocusOut(GetFocus());
            break;
        case EN_UPDATE:
            if (!FQuiet) Command(CBN_EDITUPDATE);
            break;
        case EN_CHANGE:
            if (FQuiet) break;
            FollowEdit();
            Command(CBN_EDITCHANGE);
            break;
        default:
            break;
    }
}

LRESULT TComboBoxControl::EditRelay(HWND Edit, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TEditCall Call{Edit, Msg, WParam, LParam, 0};
    const HWND Combo = GetParent(Edit);
    if (Combo && SendMessage(Combo, kComboEditRelay, 0, reinterpret_cast<LPARAM>(&Call)))
        return Call.Result;
    // The combo box is gone: the edit's class serves it alone.
    const auto Own = reinterpret_cast<WNDPROC>(GetClassLongPtr(Edit, GCLP_WNDPROC));
    return CallWindowProc(Own, Edit, Msg, WParam, LParam);
}

LRESULT TComboBoxControl::EditMessage(TEditCall& Call) {
    if (Call.Edit != FEdit || !FEditProc) return FALSE;
    switch (Call.Msg) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (Key(Call.Msg, Call.WParam)) return TRUE;
            break;
        case WM_CHAR:
            if (FDropped && (Call.WParam == '\r' || Call.WParam == 0x1B)) return TRUE;
            break;
        case WM_MOUSEWHEEL:
            Wheel(static_cast<SHORT>(HIWORD(Call.WParam)));
            return TRUE;
        default:
            break;
    }
    Call.Result = CallWindowProc(FEditProc, Call.Edit, Call.Msg, Call.WParam, Call.LParam);
    // Enter and Escape belong to the open list, not to the dialog.
    if (Call.Msg == WM_GETDLGCODE && FDropped) Call.Result |= DLGC_WANTALLKEYS;
    return TRUE;
}

// --- painting -----------------------------------------------------------------------------------

HBRUSH TComboBoxControl::FieldBrush(HDC DC) {
    SetTextColor(DC, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(DC, GetSysColor(COLOR_WINDOW));
    const bool Enabled = IsWindowEnabled(Handle());
    HBRUSH Brush = 0;
    if (const HWND Parent = GetParent(Handle()))
        Brush = static_cast<HBRUSH>(
            SendMessage(Parent, Enabled ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC,
                        static_cast<WPARAM>(DC), static_cast<LPARAM>(Handle())));
    if (!Enabled) {
        SetTextColor(DC, GetSysColor(COLOR_GRAYTEXT));
        SetBkColor(DC, GetSysColor(COLOR_BTNFACE));
        if (!Brush) Brush = GetSysColorBrush(COLOR_BTNFACE);
    }
    return Brush ? Brush : GetSysColorBrush(COLOR_WINDOW);
}

// The selected item of a drop-down list: highlighted while the combo box has the focus.
void TComboBoxControl::PaintField(HDC DC, RECT R) {
    const int Sel = CurSel();
    const bool Lit = FFocused && !FDropped;
    const bool Enabled = IsWindowEnabled(Handle());
    if (OwnerDraw()) {
        DRAWITEMSTRUCT D;
        D.CtlType = ODT_COMBOBOX;
        D.CtlID = static_cast<UINT>(GetWindowLongPtr(Handle(), GWLP_ID));
        D.itemID = static_cast<UINT>(Sel);
        D.itemAction = ODA_DRAWENTIRE;
        D.itemState =
            ODS_COMBOBOXEDIT | (Lit ? ODS_SELECTED | ODS_FOCUS : 0) | (Enabled ? 0 : ODS_DISABLED);
        D.hwndItem = Handle();
        D.hDC = DC;
        D.rcItem = R;
        D.itemData =
            Sel < 0 ? 0 : static_cast<ULONG_PTR>(SendMessage(FList, LB_GETITEMDATA, Sel, 0));
        const int Saved = SaveDC(DC);
        IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
        SendMessage(GetParent(Handle()), WM_DRAWITEM, D.CtlID, reinterpret_cast<LPARAM>(&D));
        RestoreDC(DC, Saved);
        return;
    }
    if (Lit) {
        SetTextColor(DC, GetSysColor(COLOR_HIGHLIGHTTEXT));
        SetBkColor(DC, GetSysColor(COLOR_HIGHLIGHT));
    }
    const std::string Text = Sel < 0 ? std::string() : ItemText(Sel);
    TEXTMETRIC Metrics;
    GetTextMetrics(DC, &Metrics);
    const int Y = R.top + (R.bottom - R.top - Metrics.tmHeight) / 2;
    ExtTextOut(DC, R.left + 2, Y, ETO_OPAQUE | ETO_CLIPPED, &R, Text);
    if (Lit) DrawFocusRect(DC, &R);
}

void TComboBoxControl::Paint() {
    PAINTSTRUCT Ps;
    const HDC DC = BeginPaint(Handle(), &Ps);
    SelectObject(DC, FontOrDefault(FFont));
    RECT Frame;
    GetClientRect(Handle(), &Frame);
    if (!Simple()) Frame.bottom = ComboHeight();
    RECT Inner = Frame;
    if (Simple()) Inner.bottom = ComboHeight();
    DrawEdge(DC, &Inner, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    const HBRUSH Brush = FieldBrush(DC);
    RECT Field = Inner;
    if (!Simple()) Field.right = ButtonRect().left;
    FillRect(DC, &Field, Brush);
    if (!Simple()) {
        RECT Button = ButtonRect();
        DrawFrameControl(DC, &Button, DFC_SCROLL,
                         DFCS_SCROLLCOMBOBOX | (FButtonDown ? DFCS_PUSHED | DFCS_FLAT : 0) |
                             (IsWindowEnabled(Handle()) ? 0 : DFCS_INACTIVE));
    }
    if (DropList()) PaintField(DC, FieldRect());
    EndPaint(Handle(), &Ps);
}

// --- messages -----------------------------------------------------------------------------------

LRESULT TComboBoxControl::ComboMessage(UINT Msg, WPARAM WParam, LPARAM LParam) {
    for (const TForward& F : kForwards)
        if (F.Combo == Msg) return SendMessage(FList, F.List, WParam, LParam);
    const bool Edit = FEdit != 0;
    switch (Msg) {
        case CB_DELETESTRING: {
            const bool Shown = IndexOf(WParam) == CurSel();
            const LRESULT Left = SendMessage(FList, LB_DELETESTRING, WParam, 0);
            if (Shown && !FEdit) InvalidateRect(Handle(), nullptr, FALSE);
            return Left;
        }
        case CB_RESETCONTENT:
            SendMessage(FList, LB_RESETCONTENT, 0, 0);
            SetEditText("");
            InvalidateRect(Handle(), nullptr, FALSE);
            return CB_OKAY;
        case CB_SETCURSEL: {
            const LRESULT Answer = SendMessage(FList, LB_SETCURSEL, WParam, 0);
            FSelAtDrop = CurSel();
            ShowSelection();
            return Answer;
        }
        case CB_SELECTSTRING: {
            const LRESULT Answer = SendMessage(FList, LB_SELECTSTRING, WParam, LParam);
            if (Answer >= 0) {
                FSelAtDrop = CurSel();
                ShowSelection();
            }
            return Answer;
        }
        case CB_SHOWDROPDOWN:
            if (WParam)
                DropDown(false);
            else
                CloseUp(false);
            return TRUE;
        case CB_GETDROPPEDSTATE:
            return FDropped ? TRUE : FALSE;
        case CB_SETDROPPEDWIDTH:
            if (IndexOf(WParam) < 0) return CB_ERR;
            FDroppedWidth = IndexOf(WParam);
            return DroppedWidth();
        case CB_GETDROPPEDWIDTH:
            return DroppedWidth();
        case CB_GETDROPPEDCONTROLRECT: {
            auto* R = reinterpret_cast<RECT*>(LParam);
            if (!R) return CB_ERR;
            GetWindowRect(Handle(), R);
            R->right = R->left + DroppedWidth();
            R->bottom = R->top + std::max(FDroppedHeight, ComboHeight());
            return TRUE;
        }
        case CB_SETEXTENDEDUI:
            FExtendedUI = WParam != 0;
            return CB_OKAY;
        case CB_GETEXTENDEDUI:
            return FExtendedUI ? TRUE : FALSE;
        case CB_LIMITTEXT:
            if (!Edit) return CB_ERR;
            SendMessage(FEdit, EM_LIMITTEXT, WParam, 0);
            return TRUE;
        case CB_SETEDITSEL: {
            if (!Edit) return CB_ERR;
            // The positions are 16-bit halves; -1 ends the selection or removes it.
            const auto Start = static_cast<SHORT>(LOWORD(static_cast<std::uintptr_t>(LParam)));
            const auto End = static_cast<SHORT>(HIWORD(static_cast<std::uintptr_t>(LParam)));
            SendMessage(FEdit, EM_SETSEL, static_cast<WPARAM>(static_cast<LONG_PTR>(Start)), End);
            return TRUE;
        }
        case CB_GETEDITSEL:
            if (!Edit) return CB_ERR;
            return SendMessage(FEdit, EM_GETSEL, WParam, LParam);
        case CB_SETITEMHEIGHT: {
            if (IndexOf(WParam) != -1) return SendMessage(FList, LB_SETITEMHEIGHT, WParam, LParam);
            const int Height = LOWORD(static_cast<std::uintptr_t>(LParam));
            if (Height <= 0 || Height > ControlsLimits::kMaxItemHeight) return CB_ERR;
            FFieldHeight = Height;
            FixHeight();
            Layout();
            return CB_OKAY;
        }
        case CB_GETITEMHEIGHT:
            if (IndexOf(WParam) == -1) return FFieldHeight;
            return SendMessage(FList, LB_GETITEMHEIGHT, WParam, 0);
        default:
            // Directory listings and locales are not offered.
            return CB_ERR;
    }
}

LRESULT TComboBoxControl::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
        case WM_NCCREATE:
            return TWrappedControl::WndProc(Msg, WParam, LParam);
        case WM_CREATE: {
            const LRESULT Answer = TWrappedControl::WndProc(Msg, WParam, LParam);
            if (LParam) Created(*reinterpret_cast<const CREATESTRUCT*>(LParam));
            return Answer;
        }
        case WM_DESTROY:
            CloseUp(false);
            // The list is not a child: it goes with the combo box.
            if (IsWindow(FList)) DestroyWindow(FList);
            FList = 0;
            break;
        case WM_NCCALCSIZE:
        case WM_NCPAINT:
            // The combo box draws its own edge.
            return 0;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_WINDOWPOSCHANGING: {
            auto* Pos = reinterpret_cast<WINDOWPOS*>(LParam);
            if (Pos && !Simple() && !(Pos->flags & SWP_NOSIZE)) {
                if (!FFixingHeight) FDroppedHeight = Pos->cy;
                Pos->cy = ComboHeight();
            }
            break;
        }
        case WM_SIZE:
            Layout();
            return 0;
        case WM_SETFONT:
            SetFont(static_cast<HFONT>(WParam), LOWORD(static_cast<std::uintptr_t>(LParam)) != 0);
            return 0;
        case WM_GETFONT:
            return static_cast<LRESULT>(FFont);
        case WM_ENABLE:
            if (FEdit) EnableWindow(FEdit, WParam != 0);
            if (!WParam) CloseUp(false);
            InvalidateRect(Handle(), nullptr, FALSE);
            return 0;
        case WM_SETFOCUS:
            if (FEdit)
                SetFocus(FEdit);
            else
                FocusIn();
            return 0;
        case WM_KILLFOCUS:
            FocusOut(static_cast<HWND>(WParam));
            return 0;
        case WM_SETTEXT:
            return SetTextMessage(reinterpret_cast<const char*>(LParam));
        case WM_GETTEXT:
            return GetTextMessage(WParam, reinterpret_cast<char*>(LParam));
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(CurrentText().size());
        case WM_COMMAND:
            if (FEdit && static_cast<HWND>(LParam) == FEdit) {
                EditCommand(HIWORD(WParam));
                return 0;
            }
            break;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSTATIC: {
            // The parts' colours are the parent's to choose.
            const HWND Parent = GetParent(Handle());
            const LRESULT Answer = Parent ? SendMessage(Parent, Msg, WParam, LParam) : 0;
            return Answer ? Answer : DefWindowProc(Handle(), Msg, WParam, LParam);
        }
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS | (FDropped ? DLGC_WANTALLKEYS : 0);
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (Key(Msg, WParam)) return 0;
            break;
        case WM_CHAR:
            if (Character(static_cast<unsigned char>(WParam & 0xFF))) return 0;
            break;
        case WM_MOUSEWHEEL:
            Wheel(static_cast<SHORT>(HIWORD(WParam)));
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            MouseDown(MessagePoint(LParam));
            return 0;
        case WM_CANCELMODE:
            CloseUp(false);
            break;
        case kComboListNotice:
            ListNotice(static_cast<TComboListNotice>(WParam));
            return 0;
        case kComboEditRelay:
            return LParam ? EditMessage(*reinterpret_cast<TEditCall*>(LParam)) : FALSE;
        default:
            if (Msg >= CB_GETEDITSEL && Msg <= CB_INITSTORAGE)
                return ComboMessage(Msg, WParam, LParam);
            break;
    }
    return DefWindowProc(Handle(), Msg, WParam, LParam);
}
