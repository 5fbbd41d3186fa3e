// Changing the width of an edit or combo item in customizing mode: the 7 pixels inside either
// edge of the selected item show the sizing cursor; a press there and a drag show the new width
// as an inverted frame; the release gives the link that width (UserWidth), from 20 to 600.
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarTypes.h"
#include "bars/windows/dxBarControl.h"
#include "bars/windows/dxBarEditControls.h"
#include "bars/windows/dxBarToolbar.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/gdi/RectMath.h"
#include "platform/widgets/Forms.h"

namespace {

constexpr int kSizingZone = 7;
constexpr int kFrameWidth = 2;

// The one sizing that runs (it holds the capture).
struct TItemSizing {
    TBarWindowRef<TdxBarControl> Window;
    TdxBarEditControl* Control = nullptr;
    bool RightEdge = true;
    int Width = 0;
    bool FrameShown = false;
    TRect Frame;
};

TItemSizing& Sizing() {
    static auto* S = new TItemSizing;
    return *S;
}

// The selected edit item of the window while the manager customizes, or none.
TdxBarEditControl* SizableControl(TdxBarControl* Window) {
    if (!Window->IsCustomizing() || Window->IsVertical()) return nullptr;
    auto* Control = dynamic_cast<TdxBarEditControl*>(Window->BarManager()->CustomizingSelection());
    return Control && Window->HasControl(Control) ? Control : nullptr;
}

// Whether a client point lies in the sizing zone of the control's rectangle, and on which edge.
bool InSizingZone(TdxBarEditControl* Control, TPoint P, bool& RightEdge) {
    const TRect R = Control->ItemLink()->ItemRect();
    if (!PtInRect(R, P)) return false;
    if (P.X >= R.Right - kSizingZone) {
        RightEdge = true;
        return true;
    }
    if (P.X < R.Left + kSizingZone) {
        RightEdge = false;
        return true;
    }
    return false;
}

// The item's rectangle with the edit part Width wide, from its fixed edge.
TRect FrameFor(const TItemSizing& S) {
    const TRect R = S.Control->ItemLink()->ItemRect();
    const int Whole = S.Control->CaptionPartWidth() + S.Width;
    return S.RightEdge ? TRect{R.Left, R.Top, R.Left + Whole, R.Bottom}
                       : TRect{R.Right - Whole, R.Top, R.Right, R.Bottom};
}

// Drawn twice, the inverted frame is gone again.
void InvertFrame(HWND Wnd, const TRect& R) {
    const HDC DC = GetDC(Wnd);
    PatBlt(DC, R.Left, R.Top, R.Width(), kFrameWidth, DSTINVERT);
    PatBlt(DC, R.Left, R.Bottom - kFrameWidth, R.Width(), kFrameWidth, DSTINVERT);
    PatBlt(DC, R.Left, R.Top + kFrameWidth, kFrameWidth, R.Height() - 2 * kFrameWidth, DSTINVERT);
    PatBlt(DC, R.Right - kFrameWidth, R.Top + kFrameWidth, kFrameWidth,
           R.Height() - 2 * kFrameWidth, DSTINVERT);
    ReleaseDC(Wnd, DC);
}

void ShowFrame(TItemSizing& S, bool Show) {
    if (S.FrameShown == Show && (!Show || S.Frame == FrameFor(S))) return;
    if (S.FrameShown) InvertFrame(S.Window->Handle(), S.Frame);
    S.FrameShown = Show;
    if (!Show) return;
    S.Frame = FrameFor(S);
    InvertFrame(S.Window->Handle(), S.Frame);
}

void TrackTo(TItemSizing& S, TPoint P) {
    const TRect R = S.Control->ItemLink()->ItemRect();
    int Width = (S.RightEdge ? P.X - R.Left : R.Right - P.X) - S.Control->CaptionPartWidth();
    CheckWidth(Width);
    S.Width = Width;
    ShowFrame(S, true);
}

// The sizing ends: the frame goes and, when Apply, the link takes the width.
void EndSizing(bool Apply) {
    TItemSizing S = Sizing();
    Sizing() = TItemSizing{};
    if (BarWindowGone(S.Window)) return;
    if (S.FrameShown) InvertFrame(S.Window->Handle(), S.Frame);
    if (GetCapture() == S.Window->Handle()) ReleaseCapture();
    if (BarWindowGone(S.Window) || !S.Window->HasControl(S.Control)) return;
    TdxBarItemLink* Link = S.Control->ItemLink();
    if (!Apply || S.Width < 1 || S.Width == Link->Width())
        S.Control->Repaint();
    else
        Link->SetUserWidth(S.Width);
}

}  // namespace

bool TdxBarControl::ItemSizingMessage(TMessage& Message) {
    TItemSizing& S = Sizing();
    if (S.Window == this) {
        switch (Message.Msg) {
            case WM_MOUSEMOVE:
                if (HasControl(S.Control)) TrackTo(S, PointOf(Message.LParam));
                return true;
            case WM_LBUTTONUP:
                EndSizing(true);
                return true;
            case WM_CAPTURECHANGED:
                EndSizing(false);
                return true;
            case WM_SETCURSOR:
                ::SetCursor(Screen->Cursors(crdxBarEditSizing));
                Message.Result = 1;
                return true;
            default:
                return false;
        }
    }
    const bool Press = Message.Msg == WM_LBUTTONDOWN;
    if (!Press && Message.Msg != WM_SETCURSOR) return false;
    if (!HandleAllocated() || GetCapture()) return false;
    TdxBarEditControl* Control = SizableControl(this);
    if (!Control) return false;
    TPoint P;
    if (Press) {
        P = PointOf(Message.LParam);
    } else {
        if (HWND(Message.WParam) != Handle()) return false;
        POINT Cursor;
        GetCursorPos(&Cursor);
        P = ScreenToClient(TPoint{Cursor.x, Cursor.y});
    }
    bool RightEdge = true;
    if (!InSizingZone(Control, P, RightEdge)) return false;
    ::SetCursor(Screen->Cursors(crdxBarEditSizing));
    if (!Press) {
        Message.Result = 1;
        return true;
    }
    S.Window = this;
    S.Control = Control;
    S.RightEdge = RightEdge;
    S.Width = Control->ItemLink()->Width();
    SetCapture(Handle());
    ShowFrame(S, true);
    return true;
}
