// The terminal control's view of its buffer: the character cell, which columns and rows fit the
// window, the scroll bars and scrolling into the history, and the caret at the cursor.
#include <algorithm>

#include "platform/classes/FlagScope.h"
#include "platform/core/Paint.h"
#include "platform/core/ScrollBar.h"
#include "terminal/IpTermControl.h"

namespace {

bool SameRect(const RECT& A, const RECT& B) {
    return A.left == B.left && A.top == B.top && A.right == B.right && A.bottom == B.bottom;
}

}  // namespace

// --- the cell ---------------------------------------------------------------------------------

void TIpCustomTerminal::MeasureCell() {
    int Width = 1, Height = 1;
    FPainter.MeasureCell(CurrentEmulator().FontNames(), Width, Height);
    if (Width == FCellWidth && Height == FCellHeight) return;
    FCellWidth = Width;
    FCellHeight = Height;
    if (!HandleAllocated()) return;
    Layout();
    Invalidate();
    if (FCaretCreated) CreateTheCaret();
}

// --- layout -----------------------------------------------------------------------------------

int TIpCustomTerminal::ClientCols() {
    return HandleAllocated() ? ClientWidth() / FCellWidth : Columns();
}

int TIpCustomTerminal::ClientRows() {
    return HandleAllocated() ? ClientHeight() / FCellHeight : Rows();
}

int TIpCustomTerminal::LowestFirstRow() const {
    return HistoryReachable() ? Rows() - ScrollbackRows() + 1 : 1;
}

// A scroll bar that appears or goes changes the client area, and with it what fits: the layout
// runs again until the client area stays (a bar can only come and go once each way).
void TIpCustomTerminal::Layout() {
    if (!HandleAllocated() || FLayingOut) return;
    const TFlagScope LayingOut(FLayingOut);
    FFirstCol = std::clamp(FFirstCol, 1, Columns());
    FFirstRow = std::clamp(FFirstRow, Rows() - ScrollbackRows() + 1, Rows());
    for (int Pass = 0; Pass < 3; ++Pass) {
        RECT Client;
        GetClientRect(FHandle, &Client);
        const int ColCap = Columns() - FFirstCol + 1, RowCap = Rows() - FFirstRow + 1;
        FVisibleCols = std::min((Client.right + FCellWidth - 1) / FCellWidth, ColCap);
        FFullCols = std::min(Client.right / FCellWidth, ColCap);
        FVisibleRows = std::min((Client.bottom + FCellHeight - 1) / FCellHeight, RowCap);
        FFullRows = std::min(Client.bottom / FCellHeight, RowCap);
        FTextRect = RECT{0, 0, FVisibleCols * FCellWidth, FVisibleRows * FCellHeight};
        FHorzNeeded = Columns() > FFullCols;
        FVertNeeded = Rows() > FFullRows;
        UpdateScrollBars();
        RECT After;
        GetClientRect(FHandle, &After);
        if (SameRect(After, Client)) break;
    }
}

// The vertical bar's positions are first rows less one: 0 is the screen's top row, negative
// ones lie in the history.
void TIpCustomTerminal::UpdateScrollBars() {
    if (!HandleAllocated()) return;
    SCROLLINFO Horz;
    Horz.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    Horz.nMin = 0;
    Horz.nMax = Columns() - 1;
    Horz.nPage = UINT(std::max(FFullCols, 0));
    Horz.nPos = FFirstCol - 1;
    SetScrollInfo(FHandle, SB_HORZ, &Horz, TRUE);
    SCROLLINFO Vert;
    Vert.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    Vert.nMin = HistoryReachable() ? Rows() - ScrollbackRows() : 0;
    Vert.nMax = Rows() - 1;
    Vert.nPage = UINT(std::max(FFullRows, 0));
    Vert.nPos = FFirstRow - 1;
    SetScrollInfo(FHandle, SB_VERT, &Vert, TRUE);
}

// --- scrolling --------------------------------------------------------------------------------

void TIpCustomTerminal::ScrollTo(int Col, int Row) {
    Col = std::clamp(Col, 1, std::max(1, Columns() - ClientCols() + 1));
    Row = std::clamp(Row, LowestFirstRow(), std::max(1, Rows() - ClientRows() + 1));
    if (Col == FFirstCol && Row == FFirstRow) return;
    const int Dx = (FFirstCol - Col) * FCellWidth, Dy = (FFirstRow - Row) * FCellHeight;
    FFirstCol = Col;
    FFirstRow = Row;
    if (!HandleAllocated()) return;
    ScrollWindow(FHandle, Dx, Dy, nullptr, nullptr);
    Layout();
    // The margins beside and below the text may have moved with the pixels.
    RECT Client;
    GetClientRect(FHandle, &Client);
    const RECT Right{FTextRect.right, 0, Client.right, Client.bottom};
    const RECT Below{0, FTextRect.bottom, Client.right, Client.bottom};
    InvalidateRect(FHandle, &Right, FALSE);
    InvalidateRect(FHandle, &Below, FALSE);
    PlaceCaret();
}

// Line, page and thumb requests of the bars. With the screen taller than the window, a line
// up from its top row reaches into the history (Scrollback), and leaving the history's reach
// downwards gives that up again.
void TIpCustomTerminal::WMScroll(int Bar, WORD Request) {
    const bool Vertical = Bar == SB_VERT;
    int Pos = Vertical ? FFirstRow : FFirstCol;
    const int Page = std::max(1, Vertical ? FFullRows : FFullCols);
    switch (Request) {
        case SB_LINEUP:
            if (Vertical && FVertNeeded && FFirstRow == 1 && !FScrollback) SetScrollback(true);
            --Pos;
            break;
        case SB_LINEDOWN:
            ++Pos;
            break;
        case SB_PAGEUP:
            Pos -= Page;
            break;
        case SB_PAGEDOWN:
            Pos += Page;
            break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: {
            // The message's 16 bits cannot hold the negative positions of the history.
            SCROLLINFO Info;
            Info.fMask = SIF_TRACKPOS;
            if (!GetScrollInfo(FHandle, Bar, &Info)) return;
            Pos = Info.nTrackPos + 1;
            break;
        }
        default:
            return;
    }
    if (Vertical)
        ScrollTo(FFirstCol, Pos);
    else
        ScrollTo(Pos, FFirstRow);
    if (Vertical && FScrollback && FVertNeeded && FFirstRow > 1) SetScrollback(false);
}

// A window that grew shows free columns or rows past the buffer's end while scrolled: the
// view comes back so that the last column and row stay at the edge.
void TIpCustomTerminal::WMSize() {
    Layout();
    ScrollTo(FFirstCol, FFirstRow);
    PlaceCaret();
}

// --- the caret --------------------------------------------------------------------------------

void TIpCustomTerminal::CreateTheCaret() {
    DestroyTheCaret();
    if (!HandleAllocated() || GetFocus() != FHandle || FCursorType == ctNone) return;
    const int Height = FCursorType == ctUnderline ? 2 : FCellHeight;
    if (!CreateCaret(FHandle, 0, FCellWidth, Height)) return;
    FCaretCreated = true;
    PlaceCaret();
}

void TIpCustomTerminal::DestroyTheCaret() {
    if (!FCaretCreated) return;
    DestroyCaret();
    FCaretCreated = false;
    FCaretShown = false;
}

// The caret sits on the buffer's cursor as the view shows it, and only while that lies in the
// client area.
void TIpCustomTerminal::PlaceCaret() {
    if (!FCaretCreated || !HandleAllocated()) return;
    const TIpTerminalBuffer& B = CurrentEmulator().Buffer();
    const int X = (B.CursorCol() - FFirstCol) * FCellWidth;
    const int Y = (B.ScreenCursorRow() - FFirstRow) * FCellHeight +
                  (FCursorType == ctUnderline ? FCellHeight - 2 : 0);
    RECT Client;
    GetClientRect(FHandle, &Client);
    const bool Inside = X >= 0 && Y >= 0 && X < Client.right && Y < Client.bottom;
    SetCaretPos(X, Y);
    if (Inside && !FCaretShown) {
        ShowCaret(FHandle);
        FCaretShown = true;
    } else if (!Inside && FCaretShown) {
        HideCaret(FHandle);
        FCaretShown = false;
    }
}
