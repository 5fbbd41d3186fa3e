#include "components/dcedit/PopupListBox.h"

#include <algorithm>

#include "components/dcedit/DCEdit.h"
#include "components/dcedit/Limits.h"
#include "components/dcedit/TextAnswer.h"
#include "platform/controls/Limits.h"
#include "platform/controls/ListBox.h"

namespace {

std::string FontKey(const TFont& Font) {
    std::string Key = Font.Name() + "/" + std::to_string(Font.Height());
    for (TFontStyle Style : Font.Style()) Key += "/" + std::to_string(int(Style));
    return Key;
}

}  // namespace

TPopupListBox::TPopupListBox(TComponent* AOwner) : TDCListBox(AOwner), FFittedFont(FontKey(FFont)) {
    FVisible = false;
    SetTabStop(false);
}

TCustomDCEdit* TPopupListBox::OwnerEdit() const {
    return dynamic_cast<TCustomDCEdit*>(Owner());
}

void TPopupListBox::CloseUp(bool Accept) {
    if (TCustomDCEdit* Edit = OwnerEdit()) Edit->CloseUp(Accept);
}

void TPopupListBox::SetDisplayNames(bool Value) {
    if (FDisplayNames == Value) return;
    FDisplayNames = Value;
    Invalidate();
}

int TPopupListBox::RowsFor(int Count) {
    return std::clamp(Count, 1, DCEditLimits::kMaxPopupRows);
}

void TPopupListBox::CreateParams(TCreateParams& Params) {
    TDCListBox::CreateParams(Params);
    // A window of its own above everything, framed by a line, never activated.
    Params.Style = (Params.Style & ~(WS_CHILD | WS_VISIBLE | WS_TABSTOP)) | WS_POPUP | WS_BORDER |
                   WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    Params.WindowClass.style |= CS_SAVEBITS;
}

void TPopupListBox::CreateWnd() {
    TDCListBox::CreateWnd();
    AfterHandleCreated();
}

void TPopupListBox::SetPopupText(const std::string& Text) {
    const LRESULT Found = ::SendMessage(Handle(), LB_FINDSTRINGEXACT, WPARAM(-1),
                                        reinterpret_cast<LPARAM>(Text.c_str()));
    SetItemIndex(Found < 0 ? -1 : int(Found));
    SetClientHeight(ItemHeight() * RowsFor(Items()->Count()));
}

std::string TPopupListBox::PopupText() {
    const int Index = ItemIndex();
    return Index >= 0 ? Items()->Get(Index) : std::string();
}

void TPopupListBox::SelectAt(POINT Client) {
    const int Count = Items()->Count();
    if (Count == 0) return;
    const TRect Area = ClientRect();
    int Index;
    if (Client.y < Area.Top) {
        Index = std::max(ItemIndex() - 1, 0);
    } else if (Client.y >= Area.Bottom) {
        Index = std::min(ItemIndex() + 1, Count - 1);
    } else {
        const int X = std::clamp(int(Client.x), int(Area.Left), int(Area.Right) - 1);
        Index = ItemAtPos(TPoint{X, int(Client.y)}, true);
        if (Index < 0) return;
    }
    if (Index != ItemIndex()) SetItemIndex(Index);
}

bool TPopupListBox::ClosingKey(WORD Key) const {
    if (Key != VK_RETURN && Key != VK_ESCAPE) return false;
    const TShiftState Shift = KeyboardShiftState();
    return !Shift.Contains(ssShift) && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt);
}

void TPopupListBox::FitItemHeightToFont() {
    if (FontKey(FFont) == FFittedFont) return;
    FFittedFont = FontKey(FFont);
    SetItemHeight(std::clamp(int(FFont.Metrics().tmHeight) + 1, 9, ControlsLimits::kMaxItemHeight));
    RecreateWnd();
}

void TPopupListBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_SETTEXT:
            SetPopupText(SetTextOf(Message));
            Message.Result = TRUE;
            return;
        case WM_GETTEXT:
        case WM_GETTEXTLENGTH:
            AnswerTextMessage(Message, PopupText());
            return;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            SetCapture(Handle());
            SelectAt(MessagePoint(Message.LParam));
            return;
        case WM_MOUSEMOVE:
            if (Message.WParam & MK_LBUTTON) SelectAt(MessagePoint(Message.LParam));
            return;
        case WM_LBUTTONUP: {
            const POINT At = MessagePoint(Message.LParam);
            const TRect Area = ClientRect();
            const bool Inside =
                At.x >= Area.Left && At.x < Area.Right && At.y >= Area.Top && At.y < Area.Bottom;
            if (GetCapture() == Handle()) ReleaseCapture();
            CloseUp(Inside);
            return;
        }
        case WM_CANCELMODE:
            if (GetCapture() == Handle()) ReleaseCapture();
            break;
        case WM_KEYDOWN:
            if (ClosingKey(WORD(Message.WParam))) {
                CloseUp(Message.WParam == VK_RETURN);
                return;
            }
            break;
        case WM_CHAR:
            if (Message.WParam == '\r' || Message.WParam == '\x1b') return;
            break;
        case CM_WANTSPECIALKEY:
            if (Message.WParam == VK_ESCAPE) {
                Message.Result = 1;
                return;
            }
            break;
        case CN_COMMAND:
            if (HIWORD(Message.WParam) == LBN_SELCHANGE)
                if (TCustomDCEdit* Edit = OwnerEdit()) Edit->Change();
            break;
        case CM_FONTCHANGED:
            TDCListBox::Dispatch(Message);
            FitItemHeightToFont();
            return;
        default:
            break;
    }
    TDCListBox::Dispatch(Message);
}
