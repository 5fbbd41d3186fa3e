#include "platform/controls/EditControl.h"

#include <QPalette>
#include <QWidget>
#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/classes/FlagScope.h"
#include "platform/controls/ControlLook.h"
#include "platform/controls/MemoText.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/gdi/Gdi.h"
#include "platform/shell/Clipboard.h"

namespace {

bool Printable(unsigned char C) {
    return C >= 0x20 && C != 0x7F;
}

// Keys the edit answers itself instead of the widget: the clipboard keys become messages (Ctrl
// and a letter come as characters too, see kCharMessages), and Return and Tab type through their
// characters. Mods: the keys that must be held (Ctrl, or Shift without Ctrl; 0: any).
enum TMods { kAnyMods, kCtrl, kShift };
struct TEditKey {
    WORD Key;
    TMods Mods;
    UINT Sends;  // 0: nothing
};
constexpr TEditKey kKeys[] = {
    {VK_INSERT, kCtrl, WM_COPY},
    {VK_INSERT, kShift, WM_PASTE},
    {VK_DELETE, kShift, WM_CUT},
    {VK_C, kCtrl, 0},
    {VK_X, kCtrl, 0},
    {VK_V, kCtrl, 0},
    {VK_Z, kCtrl, 0},
    {VK_Y, kCtrl, 0},
    {VK_K, kCtrl, 0},
    {VK_RETURN, kAnyMods, 0},
    {VK_TAB, kAnyMods, 0},
};

// Characters the edit answers with a message.
struct TCharMessage {
    unsigned char Char;
    UINT Sends;
};
constexpr TCharMessage kCharMessages[] = {
    {0x03, WM_COPY}, {0x16, WM_PASTE}, {0x18, WM_CUT}, {0x1A, WM_UNDO}};

bool Held(TMods Mods) {
    const bool Ctrl = GetKeyState(VK_CONTROL) & 0x8000;
    const bool Shift = GetKeyState(VK_SHIFT) & 0x8000;
    if (Mods == kCtrl) return Ctrl;
    if (Mods == kShift) return Shift && !Ctrl;
    return true;
}

}  // namespace

TEditControl::TEditControl(HWND Wnd) : TWrappedControl(Wnd) {}

TEditControl::~TEditControl() {
    // The widget goes before the objects it uses.
    DeleteWidget();
    FEdit.reset();
}

QWidget* TEditControl::CreateWidget(QWidget* Host, const CREATESTRUCT& Create) {
    const auto Style = static_cast<DWORD>(Create.style);
    FMultiline = (Style & ES_MULTILINE) != 0;
    FEdit = FMultiline ? MakeMemoWidget(Host, Style, Create.dwExStyle)
                       : MakeLineEditWidget(Host, Style, Create.dwExStyle);
    FEdit->OnChange = [this] {
        if (!FUndoing) FUndone = false;
        if (Creating()) return;
        Command(EN_UPDATE);
        Command(EN_CHANGE);
    };
    if (!Multiline() && (Style & ES_PASSWORD)) {
        FPasswordChar = '*';
        FEdit->SetPasswordChar(FPasswordChar);
    }
    return FEdit->Widget();
}

bool TEditControl::ReadOnly() const {
    return (Style() & ES_READONLY) != 0;
}

std::string TEditControl::Text() const {
    return FEdit && FEdit->Widget() ? FEdit->Text() : std::string();
}

void TEditControl::SetText(const std::string& Text) {
    if (!FEdit || !FEdit->Widget()) return;
    FEdit->SetText(Text);
    FUndone = false;
}

bool TEditControl::Fits(size_t Inserted) {
    const size_t Kept = FEdit->Length() - FEdit->Selection().Length();
    if (Kept <= FLimit && Inserted <= FLimit - Kept) return true;
    Command(EN_MAXTEXT);
    return false;
}

LRESULT TEditControl::Char(WPARAM WParam, LPARAM LParam) {
    auto Byte = static_cast<unsigned char>(WParam & 0xFF);
    for (const TCharMessage& M : kCharMessages)
        if (M.Char == Byte) return SendMessage(Handle(), M.Sends, 0, 0);
    if (!FEdit || !FEdit->Widget()) return TWrappedControl::WndProc(WM_CHAR, Byte, LParam);
    if (Multiline() && (Byte == '\r' || Byte == '\n')) {
        if (!ReadOnly() && Fits(2)) FEdit->InsertLineBreak();
        return 0;
    }
    const bool Typed = Printable(Byte) || (Multiline() && Byte == '\t');
    if (Typed && !ReadOnly()) {
        const DWORD S = Style();
        if ((S & ES_NUMBER) && !std::isdigit(Byte)) return 0;
        if (S & ES_UPPERCASE) Byte = static_cast<unsigned char>(std::toupper(Byte));
        if (S & ES_LOWERCASE) Byte = static_cast<unsigned char>(std::tolower(Byte));
        if (!Fits(1)) return 0;
    }
    return TWrappedControl::WndProc(WM_CHAR, Byte, LParam);
}

bool TEditControl::KeyDown(WPARAM Key) {
    for (const TEditKey& K : kKeys) {
        if (K.Key != Key || !Held(K.Mods)) continue;
        if (K.Sends) SendMessage(Handle(), K.Sends, 0, 0);
        return true;
    }
    return false;
}

LRESULT TEditControl::Clipboard(UINT Msg) {
    const TEditRange Sel = FEdit->Selection();
    const bool Secret = !Multiline() && FPasswordChar != 0;
    switch (Msg) {
        case WM_COPY:
        case WM_CUT:
            // A password is never copied out of its edit.
            if (Secret || Sel.Length() == 0) return 0;
            ::Clipboard().SetAsText(FEdit->Range(Sel));
            if (Msg == WM_CUT && !ReadOnly()) FEdit->ReplaceSelection("");
            return 0;
        case WM_CLEAR:
            if (!ReadOnly()) FEdit->ReplaceSelection("");
            return 0;
        case WM_PASTE: {
            if (ReadOnly()) return 0;
            std::string Text = ::Clipboard().AsText();
            if (Multiline()) {
                Text = WithCrLf(Text);
            } else {
                Text.resize(std::min(Text.size(), Text.find_first_of("\r\n")));
            }
            if (Text.empty()) return 0;
            // What does not fit the limit stays on the clipboard, a line end whole.
            const size_t Kept = FEdit->Length() - Sel.Length();
            const size_t Room = Kept < FLimit ? FLimit - Kept : 0;
            if (Text.size() > Room) {
                Text.resize(Room > 0 && Text[Room - 1] == '\r' ? Room - 1 : Room);
                Command(EN_MAXTEXT);
            }
            if (!Text.empty()) FEdit->ReplaceSelection(Text);
            return 0;
        }
        default:
            return 0;
    }
}

LRESULT TEditControl::UndoStep() {
    // The classic edit keeps one step: undoing again takes the undo back.
    const TFlagScope Undoing(FUndoing);
    bool Done = false;
    if (FUndone && FEdit->CanRedo()) {
        FEdit->Redo();
        FUndone = false;
        Done = true;
    } else if (FEdit->CanUndo()) {
        FEdit->Undo();
        FUndone = true;
        Done = true;
    }
    return Done ? TRUE : FALSE;
}

void TEditControl::SetLimit(size_t Limit) {
    if (Multiline())
        FLimit = Limit == 0 ? kMemoMaxLength : Limit;
    else
        FLimit = Limit == 0 ? kEditMaxLength : std::min<size_t>(Limit, kEditMaxLength);
}

void TEditControl::SetReadOnly(bool ReadOnly) {
    const DWORD S = Style();
    SetWindowLongPtr(Handle(), GWL_STYLE,
                     static_cast<LONG_PTR>(ReadOnly ? S | ES_READONLY : S & ~ES_READONLY));
    if (FEdit && FEdit->Widget()) FEdit->SetReadOnly(ReadOnly);
}

RECT TEditControl::FormatRect() const {
    RECT R;
    GetClientRect(Handle(), &R);
    if (!FEdit || !FEdit->Widget()) return R;
    const QMargins M = FEdit->Margins();
    return RECT{R.left + M.left(), R.top + M.top(), R.right - M.right(), R.bottom - M.bottom()};
}

void TEditControl::ApplyColours() {
    QWidget* Widget = FEdit ? FEdit->Widget() : nullptr;
    if (!Widget) return;
    // A read-only or disabled edit is coloured as static text.
    const bool Static = ReadOnly() || !IsWindowEnabled(Handle());
    const TControlColours C =
        AskControlColours(Handle(), Static ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT, COLOR_WINDOWTEXT,
                          Static ? COLOR_BTNFACE : COLOR_WINDOW);
    // The edit's colours are asked for its state: a read-only edit's serve while disabled too.
    ApplyControlColours(Widget, C, QPalette::Base, QPalette::Text, Static);
}

LRESULT TEditControl::Selection(UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
        case EM_SETSEL: {
            const auto Start = static_cast<LONG>(WParam);
            const auto End = static_cast<LONG>(LParam);
            const size_t Length = FEdit->Length();
            if (Start == -1) {
                FEdit->Select(FEdit->Caret(), FEdit->Caret());
                return 0;
            }
            const size_t From = std::min(size_t(std::max<LONG>(Start, 0)), Length);
            const size_t To = End < 0 ? Length : std::min(size_t(End), Length);
            FEdit->Select(From, To);
            return 0;
        }
        case EM_GETSEL: {
            const TEditRange Sel = FEdit->Selection();
            const auto Start = static_cast<DWORD>(std::min<size_t>(Sel.Start, 0xFFFFFFFF));
            const auto End = static_cast<DWORD>(std::min<size_t>(Sel.End, 0xFFFFFFFF));
            if (WParam) *reinterpret_cast<DWORD*>(WParam) = Start;
            if (LParam) *reinterpret_cast<DWORD*>(LParam) = End;
            return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(std::min<DWORD>(Start, 0xFFFF)),
                                                 static_cast<WORD>(std::min<DWORD>(End, 0xFFFF))));
        }
        default: {  // EM_REPLACESEL
            const char* Text = reinterpret_cast<const char*>(LParam);
            FEdit->ReplaceSelection(Text ? Text : "");
            return 0;
        }
    }
}

LRESULT TEditControl::Lines(UINT Msg, WPARAM WParam, LPARAM LParam) {
    const int Count = FEdit->LineCount();
    const auto Param = static_cast<LONG>(WParam);
    switch (Msg) {
        case EM_GETLINECOUNT:
            return Count;
        case EM_LINEINDEX: {
            const int Line = Param == -1 ? FEdit->LineOf(FEdit->Caret()) : Param;
            if (Line < 0 || Line >= Count) return -1;
            return static_cast<LRESULT>(FEdit->LineStart(Line));
        }
        case EM_LINELENGTH: {
            if (Param != -1)
                return static_cast<LRESULT>(
                    FEdit->LineLength(FEdit->LineOf(size_t(std::max<LONG>(Param, 0)))));
            // The characters left unselected on the lines the selection touches.
            const TEditRange Sel = FEdit->Selection();
            const int First = FEdit->LineOf(Sel.Start);
            const int Last = FEdit->LineOf(Sel.End);
            const size_t LastEnd = FEdit->LineStart(Last) + FEdit->LineLength(Last);
            return static_cast<LRESULT>((Sel.Start - FEdit->LineStart(First)) +
                                        (LastEnd > Sel.End ? LastEnd - Sel.End : 0));
        }
        case EM_GETLINE: {
            // The buffer's first word says how many characters it takes; no terminator follows.
            char* Buffer = reinterpret_cast<char*>(LParam);
            const int Line = Multiline() ? Param : 0;
            if (!Buffer || Line < 0 || Line >= Count) return 0;
            WORD Size = 0;
            std::memcpy(&Size, Buffer, sizeof Size);
            const size_t Start = FEdit->LineStart(Line);
            const std::string Text = FEdit->Range({Start, Start + FEdit->LineLength(Line)});
            const size_t N = std::min<size_t>(Size, Text.size());
            std::memcpy(Buffer, Text.data(), N);
            return static_cast<LRESULT>(N);
        }
        case EM_LINEFROMCHAR:
            if (Param == -1) return FEdit->LineOf(FEdit->Selection().Start);
            return FEdit->LineOf(std::min(size_t(std::max<LONG>(Param, 0)), FEdit->Length()));
        case EM_SCROLLCARET:
            FEdit->ScrollToCaret();
            return TRUE;
        case EM_GETFIRSTVISIBLELINE:
            return FEdit->FirstVisible();
        default:  // EM_LINESCROLL
            return FEdit->Scroll(static_cast<int>(Param), static_cast<int>(LParam)) ? TRUE : FALSE;
    }
}

LRESULT TEditControl::Format(UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
        case EM_SETRECT:
        case EM_SETRECTNP: {
            const auto* R = reinterpret_cast<const RECT*>(LParam);
            RECT Client;
            GetClientRect(Handle(), &Client);
            if (!R) {
                FEdit->SetMargins(QMargins());
            } else {
                FEdit->SetMargins(QMargins(std::max<LONG>(0, R->left), std::max<LONG>(0, R->top),
                                           std::max<LONG>(0, Client.right - R->right),
                                           std::max<LONG>(0, Client.bottom - R->bottom)));
            }
            return 0;
        }
        case EM_GETRECT:
            if (LParam) *reinterpret_cast<RECT*>(LParam) = FormatRect();
            return 0;
        default: {  // EM_SETMARGINS
            QMargins M = FEdit->Margins();
            if (WParam != EC_USEFONTINFO) {
                if (WParam & EC_LEFTMARGIN) M.setLeft(LOWORD(static_cast<std::uintptr_t>(LParam)));
                if (WParam & EC_RIGHTMARGIN)
                    M.setRight(HIWORD(static_cast<std::uintptr_t>(LParam)));
            }
            FEdit->SetMargins(M);
            return 0;
        }
    }
}

LRESULT TEditControl::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
        case WM_CHAR:
            return Char(WParam, LParam);
        case WM_KEYDOWN:
            if (KeyDown(WParam)) return 0;
            break;
        case WM_LBUTTONDOWN:
            if (FEdit && FEdit->Widget()) FEdit->BeforePress(MessagePoint(LParam));
            break;
        case WM_SETFOCUS:
            Command(EN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            Command(EN_KILLFOCUS);
            return 0;
        case WM_PAINT:
            ApplyColours();
            break;
        case WM_GETDLGCODE:
            return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS |
                   (Multiline() ? DLGC_WANTALLKEYS : 0);
        default:
            break;
    }
    if (!FEdit || !FEdit->Widget()) return TWrappedControl::WndProc(Msg, WParam, LParam);
    switch (Msg) {
        case EM_SETSEL:
        case EM_GETSEL:
        case EM_REPLACESEL:
            return Selection(Msg, WParam, LParam);
        case EM_GETLINECOUNT:
        case EM_LINEINDEX:
        case EM_LINELENGTH:
        case EM_GETLINE:
        case EM_LINEFROMCHAR:
        case EM_SCROLLCARET:
        case EM_GETFIRSTVISIBLELINE:
        case EM_LINESCROLL:
            return Lines(Msg, WParam, LParam);
        case EM_SETRECT:
        case EM_SETRECTNP:
        case EM_GETRECT:
        case EM_SETMARGINS:
            return Format(Msg, WParam, LParam);
        case WM_CUT:
        case WM_COPY:
        case WM_PASTE:
        case WM_CLEAR:
            return Clipboard(Msg);
        case WM_UNDO:
        case EM_UNDO:
            return UndoStep();
        case EM_CANUNDO:
            return FEdit->CanUndo() || (FUndone && FEdit->CanRedo()) ? TRUE : FALSE;
        case EM_EMPTYUNDOBUFFER:
            FEdit->ForgetUndo();
            FUndone = false;
            return 0;
        case EM_LIMITTEXT:
            SetLimit(static_cast<size_t>(WParam));
            return 0;
        case EM_GETLIMITTEXT:
            return static_cast<LRESULT>(FLimit);
        case EM_SETREADONLY:
            SetReadOnly(WParam != 0);
            return TRUE;
        case EM_SETPASSWORDCHAR:
            FPasswordChar = static_cast<unsigned char>(WParam & 0xFF);
            FEdit->SetPasswordChar(FPasswordChar);
            return 0;
        case EM_GETPASSWORDCHAR:
            return FPasswordChar;
        case EM_GETMODIFY:
            return FEdit->Modified() ? TRUE : FALSE;
        case EM_SETMODIFY:
            FEdit->SetModified(WParam != 0);
            return 0;
        default:
            return TWrappedControl::WndProc(Msg, WParam, LParam);
    }
}
