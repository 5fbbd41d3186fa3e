#include "platform/widgets/ComboBoxes.h"

#include <algorithm>

#include "platform/controls/ComboBox.h"
#include "platform/controls/Limits.h"
#include "platform/gdi/Gdi.h"

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TCustomListControl(AOwner, kComboBoxMessages) {
    // The window reports clicks and selections itself.
    FControlStyle = TControlStyle{csFixedHeight};
    SetBounds(0, 0, 145, 21);
    SetTabStop(true);
    FColor = clWindow;
    FParentColor = false;
}

TCustomComboBox::~TCustomComboBox() {
    UnhookEdit();
    if (FEditInstance) FreeObjectInstance(FEditInstance);
}

void TCustomComboBox::CreateParams(TCreateParams& Params) {
    TCustomListControl::CreateParams(Params);
    CreateSubClass(Params, "COMBOBOX");
    // Items of a variable height are measured one by one but shown at the height measured for
    // the first: the window draws its list in rows of one height.
    static constexpr DWORD Kinds[] = {CBS_DROPDOWN, CBS_SIMPLE, CBS_DROPDOWNLIST,
                                      CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED,
                                      CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED};
    Params.Style |= WS_VSCROLL | CBS_HASSTRINGS | CBS_AUTOHSCROLL | Kinds[FStyle];
    if (Sorted()) Params.Style |= CBS_SORT;
    Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomComboBox::DestroyWnd() {
    UnhookEdit();
    TCustomListControl::DestroyWnd();
}

void TCustomComboBox::HookEdit() {
    HWND Child = GetWindow(Handle(), GW_CHILD);
    while (Child && UINT_PTR(GetWindowLongPtr(Child, GWLP_ID)) != kComboEditId)
        Child = GetWindow(Child, GW_HWNDNEXT);
    if (!Child) return;
    if (!FEditInstance) FEditInstance = MakeObjectInstance([this](TMessage& M) { EditWndProc(M); });
    FEdit = Child;
    FEditDefProc = reinterpret_cast<WNDPROC>(GetWindowLongPtr(FEdit, GWLP_WNDPROC));
    SetWindowLongPtr(FEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FEditInstance));
}

void TCustomComboBox::UnhookEdit() {
    if (FEdit && IsWindow(FEdit))
        SetWindowLongPtr(FEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FEditDefProc));
    FEdit = 0;
}

void TCustomComboBox::EditWndProc(TMessage& Message) {
    const HWND Edit = FEdit;
    try {
        switch (Message.Msg) {
            case WM_KEYDOWN:
            case WM_SYSKEYDOWN:
            case WM_KEYUP:
            case WM_SYSKEYUP: {
                WORD Key = WORD(Message.WParam);
                const bool Down = Message.Msg == WM_KEYDOWN || Message.Msg == WM_SYSKEYDOWN;
                if (Down ? DoKeyDown(Key, KeyboardShiftState())
                         : DoKeyUp(Key, KeyboardShiftState()))
                    return;
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
    } catch (...) {
        Application.HandleException();
        return;
    }
    Message.Result =
        CallWindowProc(FEditDefProc, Edit, Message.Msg, Message.WParam, Message.LParam);
    if (Message.Msg == WM_NCDESTROY && Edit == FEdit) FEdit = 0;
}

void TCustomComboBox::ItemsRestored() {
    HookEdit();
    if (FMaxLength > 0) ::SendMessage(Handle(), CB_LIMITTEXT, WPARAM(FMaxLength), 0);
    // An edit shows the text it had (typed text need not be an item's); a drop-down list shows
    // the item its text names when no item was current.
    const bool HasEdit = FStyle == csDropDown || FStyle == csSimple;
    if (HasEdit || (ItemIndex() < 0 && !FText.empty())) SetWindowText(Handle(), FText);
    AdjustDropDown();
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    RecreateWnd();
}

void TCustomComboBox::SetDropDownCount(int Value) {
    FDropDownCount = std::clamp(Value, 1, ControlsLimits::kMaxListItems);
    AdjustDropDown();
}

void TCustomComboBox::SetMaxLength(int Value) {
    FMaxLength = std::max(Value, 0);
    if (HandleAllocated()) ::SendMessage(Handle(), CB_LIMITTEXT, WPARAM(FMaxLength), 0);
}

bool TCustomComboBox::DroppedDown() {
    return HandleAllocated() && ::SendMessage(Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool Value) {
    ::SendMessage(Handle(), CB_SHOWDROPDOWN, Value ? TRUE : FALSE, 0);
}

int TCustomComboBox::ItemHeight() {
    if (!OwnerDrawn() && HandleAllocated())
        return int(::SendMessage(Handle(), CB_GETITEMHEIGHT, 0, 0));
    return FItemHeight;
}

void TCustomComboBox::SetItemHeight(int Value) {
    if (Value < 1 || Value > ControlsLimits::kMaxItemHeight)
        throw ERangeError("Item height " + std::to_string(Value) + " is not between 1 and " +
                          std::to_string(ControlsLimits::kMaxItemHeight));
    if (FItemHeight == Value) return;
    FItemHeight = Value;
    // The field and the items are measured when the window is made.
    if (OwnerDrawn()) RecreateWnd();
}

void TCustomComboBox::AdjustDropDown() {
    if (!HandleAllocated() || FStyle == csSimple) return;
    const int Item = std::max(1, int(::SendMessage(Handle(), CB_GETITEMHEIGHT, 0, 0)));
    RECT R;
    GetWindowRect(Handle(), &R);
    const long long Height = (R.bottom - R.top) + 2LL * GetSystemMetrics(SM_CYBORDER) +
                             static_cast<long long>(FDropDownCount) * Item;
    SetWindowPos(Handle(), 0, 0, 0, R.right - R.left, int(std::min<long long>(Height, 0x7FFF)),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomComboBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CN_COMMAND:
            switch (HIWORD(std::uintptr_t(Message.WParam))) {
                case CBN_DBLCLK:
                    DblClick();
                    break;
                case CBN_EDITCHANGE:
                    Change();
                    break;
                case CBN_DROPDOWN:
                    DropDown();
                    AdjustDropDown();
                    break;
                case CBN_SELCHANGE:
                    Click();
                    Select();
                    break;
                case CBN_CLOSEUP:
                    CloseUp();
                    break;
                default:
                    break;
            }
            return;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            // The edit and the list ask the combo box: they take its colours.
            Message.Result = CtlColorAnswer(HDC(Message.WParam));
            return;
        default:
            TCustomListControl::Dispatch(Message);
    }
}

void TCustomComboBox::Change() {
    if (OnChange) OnChange(this);
}

void TCustomComboBox::Select() {
    if (OnSelect)
        OnSelect(this);
    else
        Change();
}

void TCustomComboBox::DropDown() {
    if (OnDropDown) OnDropDown(this);
}

void TCustomComboBox::CloseUp() {
    if (OnCloseUp) OnCloseUp(this);
}
