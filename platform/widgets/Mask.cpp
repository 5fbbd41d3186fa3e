#include "platform/widgets/Mask.h"

#include "platform/controls/Edit.h"
#include "platform/core/Input.h"
#include "platform/shell/Clipboard.h"
#include "platform/shell/Sound.h"

namespace {

// Posted to the edit by itself when the focus left it incomplete: the error is reported once the
// focus change is over, not from inside it.
constexpr UINT CM_MASKREVALIDATE = CM_BASE + 200;

constexpr const char* kInvalidInput = "Invalid input value.  Use escape key to abandon changes";

}  // namespace

TCustomMaskEdit::TCustomMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

std::string TCustomMaskEdit::EditText() {
    return TCustomEdit::GetText();
}

void TCustomMaskEdit::SetEditText(const std::string& Value) {
    TCustomEdit::SetTextValue(IsMasked() ? FMask.Conform(Value) : Value);
}

std::string TCustomMaskEdit::GetText() {
    const std::string Shown = TCustomEdit::GetText();
    return IsMasked() ? FMask.ValueOf(Shown) : Shown;
}

void TCustomMaskEdit::SetTextValue(const std::string& Value) {
    TCustomEdit::SetTextValue(IsMasked() ? FMask.EditTextOf(Value) : Value);
}

void TCustomMaskEdit::SetEditMask(const std::string& Value) {
    if (Value == FEditMask) return;
    // What was entered goes into the new mask; the old one's literals do not.
    const std::string Shown = EditText();
    const std::string Kept = IsMasked() ? FMask.EnteredOf(Shown) : Shown;
    FEditMask = Value;
    FMask = TEditMask(Value);
    SetTextValue(Kept);
}

void TCustomMaskEdit::Selection(size_t& Start, size_t& End) {
    DWORD S = 0;
    DWORD E = 0;
    Perform(EM_GETSEL, WPARAM(&S), LPARAM(&E));
    Start = S;
    End = E;
}

void TCustomMaskEdit::Select(size_t Start, size_t End) {
    Perform(EM_SETSEL, WPARAM(Start), LPARAM(End));
}

// Puts the changed characters into the window as one replacement (the edit's undo takes it back
// as one step) and moves the caret; a refused input beeps.
void TCustomMaskEdit::Apply(const TMaskEditResult& Result) {
    if (!Result.Accepted) MessageBeep(0);
    const std::string Shown = EditText();
    if (Shown.size() != Result.Text.size()) {
        TCustomEdit::SetTextValue(Result.Text);
    } else {
        size_t First = 0;
        while (First < Shown.size() && Shown[First] == Result.Text[First]) ++First;
        size_t Last = Shown.size();
        while (Last > First && Shown[Last - 1] == Result.Text[Last - 1]) --Last;
        if (First < Last) {
            Select(First, Last);
            const std::string Part = Result.Text.substr(First, Last - First);
            Perform(EM_REPLACESEL, TRUE, LPARAM(Part.c_str()));
        }
    }
    if (Shown != Result.Text) SetModified(true);
    Select(Result.Caret, Result.Caret);
}

void TCustomMaskEdit::KeyPress(char& Key) {
    TCustomEdit::KeyPress(Key);
    if (!Editable() || Key == 0) return;
    const auto C = static_cast<unsigned char>(Key);
    // Control characters (the clipboard keys) go on to the edit, which sends itself the
    // clipboard messages handled below; Backspace is a key (KeyDown).
    if (C < 0x20 || C == 0x7F) {
        if (Key == '\b') Key = 0;
        return;
    }
    size_t Start = 0;
    size_t End = 0;
    Selection(Start, End);
    Apply(FMask.Type(EditText(), Start, End, Key));
    Key = 0;
}

void TCustomMaskEdit::KeyDown(WORD& Key, TShiftState Shift) {
    TCustomEdit::KeyDown(Key, Shift);
    if (!IsMasked() || Key == 0) return;
    if (Key == VK_ESCAPE) {
        Reset();
        Key = 0;
        return;
    }
    const bool Erasing = Key == VK_BACK || (Key == VK_DELETE && !Shift.Contains(ssShift));
    if (!Erasing || ReadOnly()) return;
    size_t Start = 0;
    size_t End = 0;
    Selection(Start, End);
    Apply(FMask.Erase(EditText(), Start, End, Key == VK_BACK));
    Key = 0;
}

void TCustomMaskEdit::EraseSelection() {
    size_t Start = 0;
    size_t End = 0;
    Selection(Start, End);
    if (Start < End) Apply(FMask.Erase(EditText(), Start, End, false));
}

void TCustomMaskEdit::Paste() {
    std::string Text = Clipboard().AsText();
    Text.resize(std::min(Text.size(), Text.find_first_of("\r\n")));
    if (Text.empty()) return;
    size_t Start = 0;
    size_t End = 0;
    Selection(Start, End);
    Apply(FMask.Paste(EditText(), Start, End, Text));
}

void TCustomMaskEdit::Reset() {
    if (!Modified()) return;
    SetEditText(FOldValue);
    SetModified(false);
}

void TCustomMaskEdit::ValidateError() {
    MessageBeep(0);
    throw EDBEditError(kInvalidInput);
}

void TCustomMaskEdit::ValidateEdit() {
    if (!IsMasked() || !Modified()) return;
    const size_t Bad = FMask.FindInvalid(EditText());
    if (Bad == TEditMask::npos) return;
    if (CanFocus()) FocusAt(Bad);
    ValidateError();
}

void TCustomMaskEdit::FocusAt(size_t Place) {
    if (!Focused()) {
        FReEntering = true;
        SetFocus();
    }
    Select(Place, Place);
}

void TCustomMaskEdit::Revalidate() {
    // The text may have been completed (or the edit hidden) before this came.
    if (!IsMasked() || !CanFocus()) return;
    const size_t Bad = FMask.FindInvalid(EditText());
    if (Bad == TEditMask::npos) return;
    FocusAt(Bad);
    ValidateError();
}

void TCustomMaskEdit::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_SETTEXT:
            if (IsMasked()) {
                // Whoever sets the shown text, it keeps to the mask.
                const char* Raw = reinterpret_cast<const char*>(Message.LParam);
                const std::string Shown = FMask.Conform(Raw ? Raw : "");
                Message.LParam = LPARAM(Shown.c_str());
                TCustomEdit::Dispatch(Message);
                return;
            }
            break;
        case WM_PASTE:
        case WM_CUT:
        case WM_CLEAR:
            if (!Editable()) break;
            if (Message.Msg == WM_CUT) Perform(WM_COPY);
            if (Message.Msg == WM_PASTE)
                Paste();
            else
                EraseSelection();
            return;
        case CM_WANTSPECIALKEY:
            // Esc takes back the changes instead of cancelling the form.
            if (Message.WParam == VK_ESCAPE && IsMasked() && Modified()) {
                Message.Result = 1;
                return;
            }
            break;
        case CM_ENTER:
            // Sent back to complete the text, the edit keeps what Esc returns to.
            if (!FReEntering) FOldValue = EditText();
            FReEntering = false;
            break;
        case CM_EXIT:
            if (IsMasked() && Modified() && FMask.FindInvalid(EditText()) != TEditMask::npos) {
                PostMessage(Handle(), CM_MASKREVALIDATE, 0, 0);
                return;
            }
            break;
        case CM_MASKREVALIDATE:
            Revalidate();
            return;
        default:
            break;
    }
    TCustomEdit::Dispatch(Message);
}
