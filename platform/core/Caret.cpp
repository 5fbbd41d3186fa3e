// The caret: an inverted rectangle on its window's surface that blinks on its own timer.
#include <QObject>
#include <QTimerEvent>
#include <QWidget>

#include "platform/core/CaretImpl.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/core/WindowImpl.h"
#include "platform/gdi/Gdi.h"

namespace {

constexpr UINT kDefaultBlinkTime = 530;

class TCaret : public QObject {
  public:
    HWND Owner = 0;
    int Width = 0;
    int Height = 0;
    POINT Pos{};
    // Created hidden: one ShowCaret shows it.
    int HideCount = 1;
    // Paints of the owner in progress that took the caret off.
    int PaintHold = 0;
    // Whether the inverted rectangle is on the surface now, and the blink phase.
    bool Drawn = false;
    bool Phase = true;
    UINT BlinkTime = kDefaultBlinkTime;
    int TimerId = 0;

    bool Showing() const { return Owner != 0 && HideCount == 0; }

    void Toggle() {
        const HDC DC = GetDC(Owner);
        if (!DC) return;
        DrawCaretRect(DC, RECT{Pos.x, Pos.y, Pos.x + Width, Pos.y + Height});
        ReleaseDC(Owner, DC);
        Drawn = !Drawn;
    }
    // Draws or removes the rectangle so that it matches what should be seen.
    void Settle() {
        const bool Want = Showing() && PaintHold == 0 && Phase;
        if (Want != Drawn && Owner != 0 && FindWnd(Owner)) Toggle();
        if (!FindWnd(Owner)) Drawn = false;
    }
    void Restart() {
        if (TimerId != 0) killTimer(TimerId);
        TimerId = 0;
        Phase = true;
        if (Showing()) TimerId = startTimer(static_cast<int>(BlinkTime));
    }

  protected:
    void timerEvent(QTimerEvent* E) override {
        if (E->timerId() != TimerId) return;
        Phase = !Phase;
        Settle();
    }
};

TCaret& Caret() {
    static auto* Instance = new TCaret;
    return *Instance;
}

bool OwnedBy(HWND Wnd) {
    const HWND Owner = Caret().Owner;
    return Owner != 0 && (Wnd == 0 || Owner == Wnd || IsChild(Wnd, Owner));
}

}  // namespace

BOOL CreateCaret(HWND Wnd, HBITMAP, int Width, int Height) {
    if (!FindWnd(Wnd)) return FALSE;
    DestroyCaret();
    TCaret& C = Caret();
    C.Owner = Wnd;
    C.Width = Width > 0 ? Width : GetSystemMetrics(SM_CXBORDER);
    C.Height = Height > 0 ? Height : GetSystemMetrics(SM_CYBORDER);
    C.Pos = POINT{};
    C.HideCount = 1;
    C.PaintHold = 0;
    C.Drawn = false;
    return TRUE;
}

BOOL DestroyCaret() {
    TCaret& C = Caret();
    if (C.Owner == 0) return FALSE;
    C.HideCount = 1;
    C.Settle();
    C.Restart();
    C.Owner = 0;
    return TRUE;
}

BOOL HideCaret(HWND Wnd) {
    TCaret& C = Caret();
    if (C.Owner == 0 || (Wnd != 0 && Wnd != C.Owner)) return FALSE;
    ++C.HideCount;
    C.Settle();
    C.Restart();
    return TRUE;
}

BOOL ShowCaret(HWND Wnd) {
    TCaret& C = Caret();
    if (C.Owner == 0 || (Wnd != 0 && Wnd != C.Owner) || C.HideCount == 0) return FALSE;
    --C.HideCount;
    C.Restart();
    C.Settle();
    return TRUE;
}

BOOL SetCaretPos(int X, int Y) {
    TCaret& C = Caret();
    if (C.Owner == 0) return FALSE;
    if (C.Pos.x == X && C.Pos.y == Y) return TRUE;
    if (C.Drawn) C.Toggle();
    C.Pos = POINT{X, Y};
    // A caret that moves is seen at once, the blink starts over.
    C.Restart();
    C.Settle();
    return TRUE;
}

BOOL GetCaretPos(POINT* Point) {
    if (!Point) return FALSE;
    *Point = Caret().Pos;
    return TRUE;
}

BOOL GetCaretWindowPos(HWND* Wnd, POINT* Point) {
    if (!Wnd || !Point) return FALSE;
    const TCaret& C = Caret();
    if (C.Owner != 0 && FindWnd(C.Owner)) {
        *Wnd = C.Owner;
        *Point = C.Pos;
        return TRUE;
    }
    // A text widget draws its own cursor; it answers where through the input-method query.
    const HWND Focus = GetFocus();
    const TWndPtr W = FindWnd(Focus);
    if (!W || !W->Widget || !W->Widget->testAttribute(Qt::WA_InputMethodEnabled)) return FALSE;
    const QRect Cursor = W->Widget->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    if (!Cursor.isValid() && Cursor.topLeft() == QPoint()) return FALSE;
    // The widget covers the whole window, frame included.
    const RECT Outer = WindowImpl::ScreenRect(*W);
    const POINT Origin = WindowImpl::ClientOrigin(*W);
    *Wnd = Focus;
    *Point = POINT{Outer.left + Cursor.left() - Origin.x, Outer.top + Cursor.top() - Origin.y};
    return TRUE;
}

UINT GetCaretBlinkTime() {
    return Caret().BlinkTime;
}

BOOL SetCaretBlinkTime(UINT Milliseconds) {
    TCaret& C = Caret();
    C.BlinkTime = Milliseconds == 0 ? kDefaultBlinkTime : Milliseconds;
    C.Restart();
    C.Settle();
    return TRUE;
}

void CaretImpl::HideForPaint(HWND Wnd) {
    if (!OwnedBy(Wnd)) return;
    TCaret& C = Caret();
    ++C.PaintHold;
    C.Settle();
}

void CaretImpl::ShowAfterPaint(HWND Wnd) {
    TCaret& C = Caret();
    if (!OwnedBy(Wnd) || C.PaintHold == 0) return;
    --C.PaintHold;
    C.Settle();
}

void CaretImpl::Scrolled(HWND Wnd, int Dx, int Dy, const RECT& Area) {
    TCaret& C = Caret();
    if (C.Owner != Wnd || !PtInRect(&Area, C.Pos)) return;
    C.Pos.x += Dx;
    C.Pos.y += Dy;
}

void CaretImpl::ForgetWindow(HWND Wnd) {
    TCaret& C = Caret();
    if (C.Owner != Wnd) return;
    C.Drawn = false;
    C.HideCount = 1;
    C.Restart();
    C.Owner = 0;
}
