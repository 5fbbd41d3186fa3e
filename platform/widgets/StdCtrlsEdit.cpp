#include "platform/widgets/StdCtrlsEdit.h"

#include "platform/controls/Edit.h"
#include "platform/core/Paint.h"
#include "platform/widgets/AnsiChars.h"

namespace {

constexpr DWORD ES_OEMCONVERT = 0x0400;

// Lines of text of the font with the frame: one line and the room a sunken frame takes.
int LineHeight(TFont& Font) {
    return Font.Metrics().tmHeight + GetSystemMetrics(SM_CYBORDER) * 8;
}

}  // namespace

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
    // The edit follows drags itself (it takes the capture when pressed); the control library's
    // capture would end its drag before the release.
    FControlStyle = TControlStyle{csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight};
    FColor = clWindow;
    FParentColor = false;
    FAutoSize = true;
    SetTabStop(true);
    SetBounds(0, 0, 121, 21);
}

TCustomEdit::~TCustomEdit() = default;

LRESULT TCustomEdit::Send(UINT Msg, WPARAM WParam, LPARAM LParam) {
    HandleNeeded();
    return Perform(Msg, WParam, LParam);
}

void TCustomEdit::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "EDIT");
    Params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
    if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
    if (FCharCase == ecUpperCase) Params.Style |= ES_UPPERCASE;
    if (FCharCase == ecLowerCase) Params.Style |= ES_LOWERCASE;
    if (!FHideSelection) Params.Style |= ES_NOHIDESEL;
    if (FOEMConvert) Params.Style |= ES_OEMCONVERT;
    if (FReadOnly) Params.Style |= ES_READONLY;
}

void TCustomEdit::CreateWnd() {
    FCreating = true;
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } Done{FCreating};
    TWinControl::CreateWnd();
    Perform(EM_LIMITTEXT, WPARAM(FMaxLength));
    if (FPasswordChar) Perform(EM_SETPASSWORDCHAR, static_cast<unsigned char>(FPasswordChar));
    Perform(EM_SETMODIFY, FModified ? TRUE : FALSE);
}

void TCustomEdit::DestroyWnd() {
    FModified = Perform(EM_GETMODIFY) != 0;
    TWinControl::DestroyWnd();
}

void TCustomEdit::WndProc(TMessage& Message) {
    if (Message.Msg != WM_LBUTTONDOWN && Message.Msg != WM_LBUTTONDBLCLK) {
        TWinControl::WndProc(Message);
        return;
    }
    const bool Was = FPressing;
    FPressing = true;
    struct TDone {
        bool& Flag;
        bool Was;
        ~TDone() { Flag = Was; }
    } Done{FPressing, Was};
    TWinControl::WndProc(Message);
}

void TCustomEdit::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CN_COMMAND:
            if (HIWORD(Message.WParam) == EN_CHANGE && !FCreating) Change();
            return;
        case CM_ENTER:
            if (FAutoSelect && !FPressing &&
                !(GetWindowLongPtr(Handle(), GWL_STYLE) & ES_MULTILINE))
                SelectAll();
            TWinControl::Dispatch(Message);
            return;
        case CM_FONTCHANGED:
            TWinControl::Dispatch(Message);
            AdjustSize();
            return;
        default:
            TWinControl::Dispatch(Message);
    }
}

void TCustomEdit::Change() {
    if (OnChange) OnChange(this);
}

void TCustomEdit::KeyPress(char& Key) {
    TWinControl::KeyPress(Key);
    if (FCharCase == ecUpperCase) Key = AnsiUpperChar(Key);
    if (FCharCase == ecLowerCase) Key = AnsiLowerChar(Key);
}

std::string TCustomEdit::Cased(std::string Text) const {
    if (FCharCase == ecUpperCase) return AnsiUpperCase(std::move(Text));
    if (FCharCase == ecLowerCase) return AnsiLowerCase(std::move(Text));
    return Text;
}

void TCustomEdit::SetTextValue(const std::string& Value) {
    const std::string Text = Cased(Value);
    // The window's own text: a descendant's GetText may show it otherwise (a masked value).
    if (HandleAllocated() && Text == TWinControl::GetText()) return;
    TWinControl::SetTextValue(Text);
}

void TCustomEdit::Loaded() {
    TWinControl::Loaded();
    AdjustSize();
}

void TCustomEdit::AdjustSize() {
    if (!FAutoSize || ComponentState().Contains(csLoading)) return;
    SetHeight(LineHeight(FFont));
}

// ---- properties -----------------------------------------------------------------------------

void TCustomEdit::SetBorderStyle(TFormBorderStyle Value) {
    Value = Value == bsNone ? bsNone : bsSingle;
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
    if (FCharCase == Value) return;
    FCharCase = Value;
    RecreateWnd();
    SetTextValue(GetText());
}

void TCustomEdit::SetHideSelection(bool Value) {
    if (FHideSelection == Value) return;
    FHideSelection = Value;
    RecreateWnd();
}

void TCustomEdit::SetMaxLength(int Value) {
    FMaxLength = std::max(0, Value);
    if (HandleAllocated()) Perform(EM_LIMITTEXT, WPARAM(FMaxLength));
}

void TCustomEdit::SetPasswordChar(char Value) {
    if (FPasswordChar == Value) return;
    FPasswordChar = Value;
    if (HandleAllocated()) {
        Perform(EM_SETPASSWORDCHAR, static_cast<unsigned char>(Value));
        Invalidate();
    }
}

void TCustomEdit::SetReadOnly(bool Value) {
    FReadOnly = Value;
    if (HandleAllocated()) Perform(EM_SETREADONLY, Value ? TRUE : FALSE);
}

bool TCustomEdit::Modified() {
    return HandleAllocated() ? Perform(EM_GETMODIFY) != 0 : FModified;
}

void TCustomEdit::SetModified(bool Value) {
    FModified = Value;
    if (HandleAllocated()) Perform(EM_SETMODIFY, Value ? TRUE : FALSE);
}

// ---- selection and clipboard ----------------------------------------------------------------

int TCustomEdit::SelStart() {
    DWORD Start = 0;
    Send(EM_GETSEL, WPARAM(&Start), 0);
    return int(Start);
}

void TCustomEdit::SetSelStart(int Value) {
    Send(EM_SETSEL, WPARAM(Value), LPARAM(Value));
}

int TCustomEdit::SelLength() {
    DWORD Start = 0;
    DWORD End = 0;
    Send(EM_GETSEL, WPARAM(&Start), LPARAM(&End));
    return int(End - Start);
}

void TCustomEdit::SetSelLength(int Value) {
    const int Start = SelStart();
    Send(EM_SETSEL, WPARAM(Start), LPARAM(Start + Value));
}

std::string TCustomEdit::SelText() {
    const size_t Start = size_t(SelStart());
    const std::string Text = GetText();
    if (Start >= Text.size()) return std::string();
    return Text.substr(Start, size_t(SelLength()));
}

void TCustomEdit::SetSelText(const std::string& Value) {
    Send(EM_REPLACESEL, 0, LPARAM(Value.c_str()));
}

void TCustomEdit::SelectAll() {
    Send(EM_SETSEL, 0, LPARAM(-1));
}

void TCustomEdit::Clear() {
    SetText(std::string());
}

void TCustomEdit::ClearSelection() {
    Send(WM_CLEAR);
}

void TCustomEdit::CopyToClipboard() {
    Send(WM_COPY);
}

void TCustomEdit::CutToClipboard() {
    Send(WM_CUT);
}

void TCustomEdit::PasteFromClipboard() {
    Send(WM_PASTE);
}

bool TCustomEdit::CanUndo() {
    return Send(EM_CANUNDO) != 0;
}

void TCustomEdit::Undo() {
    Send(WM_UNDO);
}

void TCustomEdit::ClearUndo() {
    Send(EM_EMPTYUNDOBUFFER);
}
