#include "platform/controls/EditControl.h"

#include <QLineEdit>
#include <QPalette>
#include <algorithm>
#include <cctype>

#include "platform/classes/CodePages.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/gdi/Gdi.h"

namespace {

QColor QtColor(COLORREF C) {
    return QColor(GetRValue(C), GetGValue(C), GetBValue(C));
}

bool Printable(unsigned char C) {
    return C >= 0x20 && C != 0x7F;
}

}  // namespace

int TEditControl::TPasswordStyle::styleHint(StyleHint Hint, const QStyleOption* Option,
                                            const QWidget* Widget, QStyleHintReturn* Return) const {
    if (Hint == QStyle::SH_LineEdit_PasswordCharacter) return Character.unicode();
    return QProxyStyle::styleHint(Hint, Option, Widget, Return);
}

TEditControl::TEditControl(HWND Wnd) : TWrappedControl(Wnd) {}

TEditControl::~TEditControl() {
    // The widget goes before the style it uses.
    DeleteWidget();
    FEdit = nullptr;
}

QWidget* TEditControl::CreateWidget(QWidget* Host, const CREATESTRUCT& Create) {
    FEdit = new QLineEdit(Host);
    FEdit->setMaxLength(kEditMaxLength);
    FEdit->setFrame((Create.style & WS_BORDER) || (Create.dwExStyle & WS_EX_CLIENTEDGE));
    // Input arrives only through our messages; Qt may give it the focus for its cursor.
    FEdit->setFocusPolicy(Qt::ClickFocus);
    FEdit->setContextMenuPolicy(Qt::NoContextMenu);
    const DWORD Style = static_cast<DWORD>(Create.style);
    FEdit->setAlignment(Style & ES_RIGHT    ? Qt::AlignRight | Qt::AlignVCenter
                        : Style & ES_CENTER ? Qt::AlignHCenter | Qt::AlignVCenter
                                            : Qt::AlignLeft | Qt::AlignVCenter);
    FEdit->setReadOnly(Style & ES_READONLY);
    if (Style & ES_PASSWORD) SetPasswordChar('*');
    QObject::connect(FEdit, &QLineEdit::textChanged, [this] {
        if (Creating()) return;
        Command(EN_UPDATE);
        Command(EN_CHANGE);
    });
    return FEdit;
}

std::string TEditControl::Text() const {
    return FEdit ? UnicodeToCp1252(FEdit->text()) : std::string();
}

void TEditControl::SetText(const std::string& Text) {
    if (!FEdit) return;
    // What does not fit the limit is cut, as typing would.
    FEdit->setText(Cp1252ToUnicode(Text).left(FEdit->maxLength()));
    FEdit->setModified(false);
}

void TEditControl::SetPasswordChar(unsigned char Character) {
    FPasswordChar = Character;
    if (!FEdit) return;
    if (Character == 0) {
        FEdit->setEchoMode(QLineEdit::Normal);
        return;
    }
    if (!FStyle) FStyle = std::make_unique<TPasswordStyle>();
    FStyle->Character = Cp1252ToUnicode(std::string(1, static_cast<char>(Character))).at(0);
    FEdit->setStyle(FStyle.get());
    FEdit->setEchoMode(QLineEdit::Normal);
    FEdit->setEchoMode(QLineEdit::Password);
}

void TEditControl::SetReadOnly(bool ReadOnly) {
    const DWORD S = Style();
    SetWindowLongPtr(Handle(), GWL_STYLE,
                     static_cast<LONG_PTR>(ReadOnly ? S | ES_READONLY : S & ~ES_READONLY));
    if (FEdit) FEdit->setReadOnly(ReadOnly);
}

RECT TEditControl::FormatRect() const {
    RECT R;
    GetClientRect(Handle(), &R);
    if (!FEdit) return R;
    const QMargins M = FEdit->textMargins();
    return RECT{R.left + M.left(), R.top + M.top(), R.right - M.right(), R.bottom - M.bottom()};
}

void TEditControl::ApplyColours() {
    const HWND Parent = GetParent(Handle());
    if (!FEdit || !Parent) return;
    // The parent chooses the colours on a context of its own, as it would to paint the edit.
    const HDC DC = CreateCompatibleDC(0);
    SetTextColor(DC, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(DC, GetSysColor(COLOR_WINDOW));
    const auto Brush = static_cast<HBRUSH>(SendMessage(
        Parent, WM_CTLCOLOREDIT, static_cast<WPARAM>(DC), static_cast<LPARAM>(Handle())));
    QPalette Palette = FEdit->palette();
    Palette.setColor(QPalette::Text, QtColor(GetTextColor(DC)));
    LOGBRUSH Log;
    if (Brush != 0 && GetObject(Brush, sizeof Log, &Log) != 0 && Log.lbStyle == BS_SOLID)
        Palette.setColor(QPalette::Base, QtColor(Log.lbColor));
    DeleteDC(DC);
    if (Palette != FEdit->palette()) FEdit->setPalette(Palette);
}

LRESULT TEditControl::Char(WPARAM WParam, LPARAM LParam) {
    auto Byte = static_cast<unsigned char>(WParam & 0xFF);
    if (FEdit && Printable(Byte) && !FEdit->isReadOnly()) {
        const DWORD S = Style();
        if ((S & ES_NUMBER) && !std::isdigit(Byte)) return 0;
        if (S & ES_UPPERCASE) Byte = static_cast<unsigned char>(std::toupper(Byte));
        if (S & ES_LOWERCASE) Byte = static_cast<unsigned char>(std::tolower(Byte));
        if (!FEdit->hasSelectedText() && FEdit->text().size() >= FEdit->maxLength()) {
            Command(EN_MAXTEXT);
            return 0;
        }
    }
    return TWrappedControl::WndProc(WM_CHAR, Byte, LParam);
}

LRESULT TEditControl::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
        case WM_CHAR:
            return Char(WParam, LParam);
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
            return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
        default:
            break;
    }
    if (!FEdit) return TWrappedControl::WndProc(Msg, WParam, LParam);
    switch (Msg) {
        case EM_SETSEL: {
            const int Length = static_cast<int>(FEdit->text().size());
            const auto Start = static_cast<int>(static_cast<LONG>(WParam));
            const auto End = static_cast<int>(static_cast<LONG>(LParam));
            if (Start == -1) {
                FEdit->deselect();
                return 0;
            }
            const int From = std::clamp(Start, 0, Length);
            const int To = End < 0 ? Length : std::clamp(End, 0, Length);
            // The caret ends where the second position is.
            FEdit->setSelection(From, To - From);
            return 0;
        }
        case EM_GETSEL: {
            DWORD Start = static_cast<DWORD>(FEdit->cursorPosition());
            DWORD End = Start;
            if (FEdit->hasSelectedText()) {
                Start = static_cast<DWORD>(FEdit->selectionStart());
                End = static_cast<DWORD>(FEdit->selectionEnd());
            }
            if (WParam) *reinterpret_cast<DWORD*>(WParam) = Start;
            if (LParam) *reinterpret_cast<DWORD*>(LParam) = End;
            return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(std::min<DWORD>(Start, 0xFFFF)),
                                                 static_cast<WORD>(std::min<DWORD>(End, 0xFFFF))));
        }
        case EM_LIMITTEXT: {
            const auto Limit = static_cast<std::uintptr_t>(WParam);
            FEdit->setMaxLength(
                Limit == 0 ? kEditMaxLength
                           : static_cast<int>(std::min<std::uintptr_t>(Limit, kEditMaxLength)));
            return 0;
        }
        case EM_GETLIMITTEXT:
            return FEdit->maxLength();
        case EM_SETREADONLY:
            SetReadOnly(WParam != 0);
            return TRUE;
        case EM_SETPASSWORDCHAR:
            SetPasswordChar(static_cast<unsigned char>(WParam & 0xFF));
            return 0;
        case EM_GETPASSWORDCHAR:
            return FPasswordChar;
        case EM_SETRECT:
        case EM_SETRECTNP: {
            const auto* R = reinterpret_cast<const RECT*>(LParam);
            RECT Client;
            GetClientRect(Handle(), &Client);
            if (!R) {
                FEdit->setTextMargins(0, 0, 0, 0);
            } else {
                FEdit->setTextMargins(std::max(0L, static_cast<long>(R->left)),
                                      std::max(0L, static_cast<long>(R->top)),
                                      std::max(0L, static_cast<long>(Client.right - R->right)),
                                      std::max(0L, static_cast<long>(Client.bottom - R->bottom)));
            }
            return 0;
        }
        case EM_GETRECT:
            if (LParam) *reinterpret_cast<RECT*>(LParam) = FormatRect();
            return 0;
        case EM_SETMARGINS: {
            QMargins M = FEdit->textMargins();
            if (WParam != EC_USEFONTINFO) {
                if (WParam & EC_LEFTMARGIN) M.setLeft(LOWORD(static_cast<std::uintptr_t>(LParam)));
                if (WParam & EC_RIGHTMARGIN)
                    M.setRight(HIWORD(static_cast<std::uintptr_t>(LParam)));
            }
            FEdit->setTextMargins(M);
            return 0;
        }
        case EM_GETMODIFY:
            return FEdit->isModified() ? TRUE : FALSE;
        case EM_SETMODIFY:
            FEdit->setModified(WParam != 0);
            return 0;
        case EM_REPLACESEL: {
            const char* Text = reinterpret_cast<const char*>(LParam);
            FEdit->insert(Cp1252ToUnicode(Text ? Text : ""));
            return 0;
        }
        default:
            return TWrappedControl::WndProc(Msg, WParam, LParam);
    }
}
