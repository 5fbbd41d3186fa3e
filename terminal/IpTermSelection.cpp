// Selecting with the mouse: the selected cells carry the selection bit in the buffer, so the
// emulator shows them reversed; copying puts their text on the clipboard row by row.
#include <algorithm>

#include "platform/core/Paint.h"
#include "platform/shell/Clipboard.h"
#include "terminal/IpTermControl.h"
#include "terminal/IpVT100.h"

namespace {

// Division that rounds towards minus infinity: points left of or above the window lie in the
// cells before the first one shown.
int FloorDiv(int A, int B) {
    return A >= 0 ? A / B : -((-A + B - 1) / B);
}

}  // namespace

TIpCustomTerminal::TCell TIpCustomTerminal::CellAt(int X, int Y) const {
    const int Col = FloorDiv(X, FCellWidth) + FFirstCol;
    const int Row = FloorDiv(Y, FCellHeight) + FFirstRow;
    return TCell{std::clamp(Col, 1, Columns()),
                 std::clamp(Row, Rows() - ScrollbackRows() + 1, Rows())};
}

void TIpCustomTerminal::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    if (CanFocus()) SetFocus();
    RemoveSelection();
    FAnchor = FSelStart = FSelEnd = CellAt(X, Y);
    FSelecting = true;
}

void TIpCustomTerminal::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    if (FSelecting) ExtendSelection(CellAt(X, Y));
}

void TIpCustomTerminal::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (Button == mbLeft) FSelecting = false;
}

// The selection runs in reading order between the anchor and the cell the mouse is on. A press
// that has not moved off its cell selects nothing.
void TIpCustomTerminal::ExtendSelection(TCell To) {
    TCell Start = FAnchor, End = To;
    if (End.Row < Start.Row || (End.Row == Start.Row && End.Col < Start.Col)) std::swap(Start, End);
    if (FHasSelection && Start == FSelStart && End == FSelEnd) return;
    if (!FHasSelection && To == FAnchor) return;
    if (FHasSelection) MarkCells(FSelStart, FSelEnd, false);
    MarkCells(Start, End, true);
    FSelStart = Start;
    FSelEnd = End;
    FHasSelection = true;
}

void TIpCustomTerminal::MarkCells(TCell From, TCell To, bool Selected) {
    const uint8_t Bit = IpTermAttr::Selected;
    TIpTerminalBuffer& B = CurrentEmulator().Buffer();
    for (int Row = From.Row; Row <= To.Row; ++Row) {
        const int First = Row == From.Row ? From.Col : 1;
        const int Last = Row == To.Row ? To.Col : Columns();
        if (B.ChangeAttrBits(Row, First, Last, Selected ? Bit : 0, Selected ? 0 : Bit))
            InvalidateRow(Row);
    }
}

void TIpCustomTerminal::InvalidateRow(int Row) {
    if (!HandleAllocated() || Row < FFirstRow || Row >= FFirstRow + FVisibleRows) return;
    const int Top = (Row - FFirstRow) * FCellHeight;
    const RECT R{0, Top, FTextRect.right, Top + FCellHeight};
    InvalidateRect(FHandle, &R, FALSE);
}

// The marks may have moved with the rows since they were set (the screen scrolled), so every
// row of the buffer loses them.
void TIpCustomTerminal::RemoveSelection() {
    if (!FHasSelection) return;
    TIpTerminalBuffer& B = CurrentEmulator().Buffer();
    for (int Row = Rows() - ScrollbackRows() + 1; Row <= Rows(); ++Row)
        if (B.ChangeAttrBits(Row, 1, Columns(), 0, IpTermAttr::Selected)) InvalidateRow(Row);
    FHasSelection = false;
}

void TIpCustomTerminal::CancelSelecting() {
    FSelecting = false;
    RemoveSelection();
    if (MouseCapture()) SetMouseCapture(false);
}

std::string TIpCustomTerminal::SelectionText() {
    std::string Text;
    const TIpTerminalBuffer& B = CurrentEmulator().Buffer();
    for (int Row = FSelStart.Row; Row <= FSelEnd.Row; ++Row) {
        const int First = Row == FSelStart.Row ? FSelStart.Col : 1;
        const int Last = Row == FSelEnd.Row ? FSelEnd.Col : Columns();
        for (int Col = First; Col <= Last; ++Col) Text += char(B.CharAt(Row, Col));
        Text += "\r\n";
    }
    return Text;
}

void TIpCustomTerminal::CopyToClipboard() {
    if (FHasSelection) Clipboard().SetAsText(SelectionText());
}

// While selecting, a mouse held outside the window scrolls the view a line towards it (sideways
// only when the columns do not fit) and the selection follows.
void TIpCustomTerminal::TickSelection() {
    if (!FSelecting || !HandleAllocated()) return;
    POINT P;
    GetCursorPos(&P);
    ::ScreenToClient(FHandle, &P);
    RECT Client;
    GetClientRect(FHandle, &Client);
    int Col = FFirstCol, Row = FFirstRow;
    if (P.y < 0) --Row;
    if (P.y >= Client.bottom) ++Row;
    if (FHorzNeeded && P.x < 0) --Col;
    if (FHorzNeeded && P.x >= Client.right) ++Col;
    if (Col == FFirstCol && Row == FFirstRow) return;
    ScrollTo(Col, Row);
    ExtendSelection(CellAt(P.x, P.y));
}
