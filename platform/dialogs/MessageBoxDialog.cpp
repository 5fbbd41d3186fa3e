#include "platform/dialogs/MessageBoxDialog.h"

#include <algorithm>

#include "platform/controls/Button.h"
#include "platform/core/Screens.h"
#include "platform/dialogs/DialogTexts.h"
#include "platform/dialogs/Limits.h"
#include "platform/gdi/Gdi.h"
#include "platform/shell/Dialogs.h"

namespace {

constexpr int kMargin = 11;
constexpr int kIconGap = 12;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;
constexpr int kButtonsTop = 16;  // between the text (or icon) and the buttons
constexpr UINT kTextFormat = DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;

// The text as it is drawn: cut to the limit (never inside a UTF-8 sequence), then Windows-1252.
std::string DrawnText(const std::string& Utf8) {
    if (Utf8.size() <= DialogLimits::kMaxMessageText) return ShownText(Utf8);
    size_t Cut = DialogLimits::kMaxMessageText;
    while (Cut > 0 && (static_cast<unsigned char>(Utf8[Cut]) & 0xC0) == 0x80) --Cut;
    return ShownText(Utf8.substr(0, Cut)) + "...";
}

RECT WorkArea() {
    RECT Work{0, 0, 800, 600};
    SystemParametersInfo(SPI_GETWORKAREA, 0, &Work, 0);
    return Work;
}

}  // namespace

TMessageBoxDialog::TMessageBoxDialog(const std::string& Text, const std::string& Caption,
                                     uint32_t Flags)
    // A box without a title of its own carries the application's.
    : TDialogWindow(Caption.empty() ? ApplicationTitle() : Caption),
      FText(DrawnText(Text)),
      FFlags(Flags),
      FAnswers(MessageBoxAnswers(Flags)),
      FIcon(MessageIconOf(Flags)) {}

int TMessageBoxDialog::EscapeAnswer() const {
    if (std::find(FAnswers.begin(), FAnswers.end(), IDCANCEL) != FAnswers.end()) return IDCANCEL;
    return FAnswers.size() == 1 && FAnswers.front() == IDOK ? IDOK : 0;
}

int TMessageBoxDialog::QuitAnswer() const {
    return DefaultMessageBoxAnswer(FFlags);
}

SIZE TMessageBoxDialog::Build() {
    const RECT Work = WorkArea();
    const int WorkWidth = Work.right - Work.left, WorkHeight = Work.bottom - Work.top;
    const bool HasIcon = FIcon != TMessageIcon::None;
    const int TextLeft = kMargin + (HasIcon ? kMessageIconSize + kIconGap : 0);
    // Long lines wrap at three fifths of the screen; a very long text is cut at its bottom.
    const int MaxText = std::max(200, WorkWidth * 3 / 5 - TextLeft - kMargin);
    SIZE Text = TextExtent(FText.empty() ? std::string(" ") : FText, MaxText, kTextFormat);
    Text.cy = std::min<int>(Text.cy, std::max(40, WorkHeight - 140));
    const int IconHeight = HasIcon ? kMessageIconSize : 0;
    const int TextTop = kMargin + std::max(0, int(IconHeight - Text.cy) / 2);
    FTextRect = RECT{TextLeft, TextTop, TextLeft + Text.cx, TextTop + Text.cy};

    const int Count = int(FAnswers.size());
    const int Row = Count * kButtonWidth + (Count - 1) * kButtonGap;
    const int Caption = TextExtent(GetWindowText(Handle()), 0, DT_SINGLELINE | DT_NOPREFIX).cx + 48;
    const int Width = std::max({int(FTextRect.right) + kMargin, Row + 2 * kMargin, Caption});
    const int ButtonsTop = std::max(int(FTextRect.bottom), kMargin + IconHeight) + kButtonsTop;

    const size_t Default = (FFlags >> 8) & 0xF;
    int X = (Width - Row) / 2;
    for (int I = 0; I < Count; ++I) {
        const int Answer = FAnswers[size_t(I)];
        const DWORD Style = BS_PUSHBUTTON | BS_NOTIFY | WS_TABSTOP | (I == 0 ? WS_GROUP : 0);
        AddControl("BUTTON", MessageBoxButtonCaption(Answer), Style,
                   RECT{X, ButtonsTop, X + kButtonWidth, ButtonsTop + kButtonHeight}, UINT(Answer));
        X += kButtonWidth + kButtonGap;
    }
    SetDefaultButton(UINT(FAnswers[Default < FAnswers.size() ? Default : 0]));
    return SIZE{Width, ButtonsTop + kButtonHeight + kMargin};
}

void TMessageBoxDialog::Command(WORD Id, WORD Code, HWND) {
    if (Code != BN_CLICKED) return;
    if (Id == IDCANCEL && !Control(IDCANCEL)) {
        // Esc or the close box.
        if (const int Answer = EscapeAnswer()) EndDialog(Answer);
        return;
    }
    if (std::find(FAnswers.begin(), FAnswers.end(), int(Id)) != FAnswers.end()) EndDialog(Id);
}

void TMessageBoxDialog::Paint(HDC DC) {
    DrawMessageIcon(DC, kMargin, kMargin, FIcon);
    const HGDIOBJ Old = SelectObject(DC, Font());
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, GetSysColor(COLOR_WINDOWTEXT));
    RECT R = FTextRect;
    DrawText(DC, FText, &R, kTextFormat);
    SelectObject(DC, Old);
}
