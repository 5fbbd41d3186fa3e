// What the terminal control paints and when: the window's own paint, the lazy display of
// received data, blinking text, and the 100 ms tick that drives the last two.
#include <algorithm>

#include "platform/core/Paint.h"
#include "terminal/IpTermControl.h"

namespace {

// The milliseconds since the last paint stop counting here: they only need to pass the delay.
constexpr int kMaxMsSincePaint = 1'000'000;

}  // namespace

// --- painting ---------------------------------------------------------------------------------

// The control's colour and font colour are the buffer's blank cells: when they change, every
// cell that had the old ones takes the new ones and the whole screen is painted again.
void TIpCustomTerminal::SyncColors() {
    TIpTerminalEmulator& E = CurrentEmulator();
    TIpTerminalBuffer& B = E.Buffer();
    const COLORREF Back = ColorToRGB(Color()), Fore = ColorToRGB(Font()->Color());
    if (B.DefaultBackColor() == Back && B.DefaultForeColor() == Fore) return;
    B.SetDefaultBackColor(Back);
    B.SetDefaultForeColor(Fore);
    B.SetBackColor(Back);
    B.SetForeColor(Fore);
    E.SetRepaintAll();
}

// Rows and columns are cut to what the view shows.
void TIpCustomTerminal::PaintRows(HDC DC, int FirstRow, int LastRow, int FirstCol, int LastCol,
                                  bool WithText) {
    FirstRow = std::max(FirstRow, FFirstRow);
    LastRow = std::min(LastRow, FFirstRow + FVisibleRows - 1);
    FirstCol = std::max(FirstCol, FFirstCol);
    LastCol = std::min(LastCol, FFirstCol + FVisibleCols - 1);
    if (FirstCol > LastCol) return;
    const TIpTermView View{FCellWidth, FCellHeight, FFirstCol, FFirstRow};
    for (int Row = FirstRow; Row <= LastRow; ++Row)
        FPainter.DrawRuns(DC, CurrentEmulator().RowRuns(Row, FirstCol, LastCol, WithText), View);
}

void TIpCustomTerminal::PaintWindow(HDC DC) {
    RECT Clip;
    GetClipBox(DC, &Clip);
    RECT Client;
    GetClientRect(FHandle, &Client);
    const HBRUSH Margin = CreateSolidBrush(ColorToRGB(Color()));
    const RECT Right{FTextRect.right, 0, Client.right, Client.bottom};
    const RECT Below{0, FTextRect.bottom, FTextRect.right, Client.bottom};
    FillRect(DC, &Right, Margin);
    FillRect(DC, &Below, Margin);
    DeleteObject(Margin);
    SyncColors();
    IntersectClipRect(DC, FTextRect.left, FTextRect.top, FTextRect.right, FTextRect.bottom);
    int FirstRow = Clip.top / FCellHeight + FFirstRow;
    int LastRow = (Clip.bottom - 1) / FCellHeight + FFirstRow;
    if (!FFreezeScrollBack) {
        FirstRow += FFirstRow - 1;
        LastRow += FFirstRow - 1;
    }
    PaintRows(DC, FirstRow, LastRow, Clip.left / FCellWidth + FFirstCol,
              (Clip.right - 1) / FCellWidth + FFirstCol, true);
    PlaceCaret();
}

void TIpCustomTerminal::PaintNow(const std::function<void(HDC)>& Paint) {
    if (!HandleAllocated()) return;
    const HDC DC = GetDC(FHandle);
    if (!DC) return;
    if (FCaretShown) {
        HideCaret(FHandle);
        FCaretShown = false;
    }
    IntersectClipRect(DC, FTextRect.left, FTextRect.top, FTextRect.right, FTextRect.bottom);
    Paint(DC);
    ReleaseDC(FHandle, DC);
    PlaceCaret();
}

// The rows the buffer marked since the last time, or everything the view shows when the
// emulator asks for it. Rows of the history in view are painted with any change: a screen that
// scrolled turned them too.
void TIpCustomTerminal::LazyPaint(HDC DC) {
    SyncColors();
    TIpTerminalEmulator& E = CurrentEmulator();
    TIpTermRect Rect;
    if (E.TakeRepaintAll()) {
        E.Buffer().GetInvalidRect(Rect);
        PaintRows(DC, FFirstRow, FFirstRow + FVisibleRows - 1, 1, Columns(), true);
        return;
    }
    if (!E.Buffer().GetInvalidRect(Rect)) return;
    if (!FFreezeScrollBack) {
        Rect.Top += FFirstRow - 1;
        Rect.Bottom += FFirstRow;
    }
    if (FFirstRow < 1) PaintRows(DC, FFirstRow, 0, 1, Columns(), true);
    PaintRows(DC, Rect.Top, Rect.Bottom, Rect.Left, Rect.Right, true);
}

void TIpCustomTerminal::PaintBlinking(HDC DC) {
    for (const TIpBlinkRegion& R : CurrentEmulator().BlinkRegions())
        PaintRows(DC, R.Row, R.Row, R.FirstCol, R.LastCol, FBlinkPhase);
}

// --- the tick ---------------------------------------------------------------------------------

void TIpCustomTerminal::StartTicking() {
    if (FTicking || !HandleAllocated()) return;
    FTicking = SetTimer(FHandle, kTickTimer, 100) != 0;
}

void TIpCustomTerminal::StopTicking() {
    if (FTicking && HandleAllocated()) KillTimer(FHandle, kTickTimer);
    FTicking = false;
}

void TIpCustomTerminal::Tick() {
    TickSelection();
    TickBlink();
    TickLazyDisplay();
}

void TIpCustomTerminal::TickBlink() {
    if (FBlinkTime <= 0) return;
    FBlinkElapsed += 100;
    if (FBlinkElapsed <= FBlinkTime) return;
    FBlinkPhase = !FBlinkPhase;
    FBlinkElapsed = 0;
    if (CurrentEmulator().HasBlinkingText()) PaintNow([this](HDC DC) { PaintBlinking(DC); });
}

// Received data shows once the delay has passed since the last paint, or once enough bytes
// came; the emulator is asked only then (asking takes its cursor-moved mark).
void TIpCustomTerminal::TickLazyDisplay() {
    if (!FUseLazyDisplay) return;
    FMsSincePaint = std::min(FMsSincePaint + 100, kMaxMsSincePaint);
    if (FMsSincePaint <= FLazyTimeDelay && FBytesSincePaint <= size_t(FLazyByteDelay)) return;
    if (!CurrentEmulator().NeedsRepaint()) return;
    PaintNow([this](HDC DC) { LazyPaint(DC); });
    FMsSincePaint = 0;
    FBytesSincePaint = 0;
}
