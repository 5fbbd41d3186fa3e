#include "terminal/IpTermBuffer.h"

#include <algorithm>
#include <iterator>

#include "platform/classes/Exception.h"
#include "terminal/Limits.h"

namespace {

constexpr uint32_t kDefaultForeColor = 0xC0C0C0;  // light grey
constexpr uint32_t kDefaultBackColor = 0x000000;  // black

void CheckCount(const char* Setter, int Count, int64_t Cells, int Max) {
    if (Count < 2) throw Exception(std::string(Setter) + ": new count too small");
    if (Count > Max || Cells > TerminalLimits::kMaxCells)
        throw Exception(std::string(Setter) + ": new count too large");
}

}  // namespace

TIpTerminalBuffer::TIpTerminalBuffer(bool UseWideChars)
    : FUseWideChars(UseWideChars),
      FChars(UseWideChars ? 2 : 1),
      FCharSets(1),
      FAttrs(1),
      FForeColors(4),
      FBackColors(4),
      FForeColor(kDefaultForeColor),
      FBackColor(kDefaultBackColor),
      FDefaultForeColor(kDefaultForeColor),
      FDefaultBackColor(kDefaultBackColor) {
    FChars.SetDefaultItem(FDefaultChar);
    FForeColors.SetDefaultItem(FForeColor);
    FBackColors.SetDefaultItem(FBackColor);
    tbSetSVRowCount(200);
    tbSetColCount(80);
    tbSetRowCount(24);
    ResetTabStops();
    MoveTo(ScreenTop(), 0);
    InvalidateScreen();
    if (OnCursorMoved) OnCursorMoved(this, CursorRow(), CursorCol());
}

template <class F>
void TIpTerminalBuffer::EachPlane(F&& Step) {
    Step(FChars);
    Step(FCharSets);
    Step(FAttrs);
    Step(FForeColors);
    Step(FBackColors);
}

// --- counts ---------------------------------------------------------------------------------

void TIpTerminalBuffer::ResizePlanes() {
    EachPlane([this](TIpTerminalArray& P) {
        P.SetColCount(FColCount);
        P.SetRowCount(FSVRowCount);
    });
}

void TIpTerminalBuffer::tbSetColCount(int Count) {
    if (Count == FColCount) return;
    CheckCount("TIpTerminalBuffer.tbSetColCount", Count, int64_t(Count) * FSVRowCount,
               TerminalLimits::kMaxColCount);
    // Columns that appear get the power-up stops, every eighth column, so that a tab still
    // works past the old right margin.
    const int Old = FColCount;
    FColCount = Count;
    FHorzTabStops.resize(size_t(Count), false);
    for (int Col = (Old + 7) / 8 * 8; Col < Count; Col += 8) FHorzTabStops[size_t(Col)] = true;
    if (FSVRowCount > 0) ResizePlanes();
    InvalidateScreen();
    if (FUseScrollRegion)
        SetUseScrollRegion(false);
    else if (FRowCount > 0)
        MoveTo(ScreenTop(), 0);
}

void TIpTerminalBuffer::tbSetRowCount(int Count) {
    if (Count == FRowCount) return;
    CheckCount("TIpTerminalBuffer.tbSetRowCount", Count, 0, TerminalLimits::kMaxSVRowCount);
    if (Count > FSVRowCount) return;
    if (FUseScrollRegion) SetUseScrollRegion(false);
    FRowCount = Count;
    FVertTabStops.assign(size_t(Count), false);
    if (FCursorRow < ScreenTop()) MoveTo(ScreenTop(), FCursorCol);
    FRegionTop = ScreenTop();
    FRegionHeight = Count;
    InvalidateScreen();
}

void TIpTerminalBuffer::tbSetSVRowCount(int Count) {
    if (Count == FSVRowCount) return;
    CheckCount("TIpTerminalBuffer.tbSetSVRowCount", Count, int64_t(Count) * FColCount,
               TerminalLimits::kMaxSVRowCount);
    const int Diff = Count - FSVRowCount;
    if (Count < FRowCount) {
        if (FUseScrollRegion) SetUseScrollRegion(false);
        FRowCount = Count;
        FVertTabStops.assign(size_t(Count), false);
    }
    FSVRowCount = Count;
    // Rows are added or dropped at the top, so everything on the screen keeps its screen line.
    FSRStartRow += Diff;
    FSREndRow += Diff;
    if (FUseScrollRegion) {
        FRegionTop += Diff;
    } else {
        FRegionTop = ScreenTop();
        FRegionHeight = FRowCount;
    }
    if (FRowCount > 0) {
        FCursorRow = std::clamp(FCursorRow + Diff, ScreenTop(), LastRow());
        FCursorMoved = true;
    }
    if (FColCount > 0) ResizePlanes();
    InvalidateScreen();
}

// --- current values -----------------------------------------------------------------------

void TIpTerminalBuffer::SetCharSet(uint8_t Value) {
    FCharSet = Value;
    FCharSets.SetDefaultItem(Value);
}

void TIpTerminalBuffer::SetAttr(uint8_t Value) {
    FAttr = Value;
    FAttrs.SetDefaultItem(Value);
}

void TIpTerminalBuffer::SetForeColor(uint32_t Value) {
    FForeColor = Value;
    FForeColors.SetDefaultItem(Value);
}

void TIpTerminalBuffer::SetBackColor(uint32_t Value) {
    FBackColor = Value;
    FBackColors.SetDefaultItem(Value);
}

void TIpTerminalBuffer::SetDefaultChar(uint16_t Value) {
    FDefaultChar = FUseWideChars ? Value : uint16_t(Value & 0xFF);
    FChars.SetDefaultItem(FDefaultChar);
}

void TIpTerminalBuffer::SetDefaultForeColor(uint32_t Value) {
    if (Value == FDefaultForeColor) return;
    FForeColors.ReplaceItems(FDefaultForeColor, Value);
    FDefaultForeColor = Value;
    InvalidateScreen();
}

void TIpTerminalBuffer::SetDefaultBackColor(uint32_t Value) {
    if (Value == FDefaultBackColor) return;
    FBackColors.ReplaceItems(FDefaultBackColor, Value);
    FDefaultBackColor = Value;
    InvalidateScreen();
}

// --- cursor ---------------------------------------------------------------------------------

// Every cursor change goes through here. A move also ends a pending wrap: the character that
// follows a cursor movement goes where the cursor now is, not to the next line.
void TIpTerminalBuffer::MoveTo(int Row, int Col) {
    FPendingWrap = false;
    if (Row == FCursorRow && Col == FCursorCol) return;
    FCursorRow = Row;
    FCursorCol = Col;
    FCursorMoved = true;
    if (OnCursorMoved) OnCursorMoved(this, CursorRow(), CursorCol());
}

int TIpTerminalBuffer::CursorRow() const {
    return FCursorRow - (FUseAbsAddress ? ScreenTop() : FRegionTop) + 1;
}

int TIpTerminalBuffer::CursorCol() const {
    return FCursorCol + 1;
}

// Rows land on the screen, or inside the region with relative addressing: the history is
// never a target of cursor addressing.
void TIpTerminalBuffer::SetCursorRow(int Row) {
    const int Top = FUseAbsAddress ? ScreenTop() : FRegionTop;
    const int Bottom = FUseAbsAddress ? LastRow() : RegionBottomRow();
    const int64_t Target = int64_t(Top) + Row - 1;
    MoveTo(int(std::clamp<int64_t>(Target, Top, Bottom)), FCursorCol);
}

void TIpTerminalBuffer::SetCursorCol(int Col) {
    MoveTo(FCursorRow, int(std::clamp<int64_t>(int64_t(Col) - 1, 0, FColCount - 1)));
}

void TIpTerminalBuffer::SetCursorPosition(int Row, int Col) {
    SetCursorCol(Col);
    SetCursorRow(Row);
}

void TIpTerminalBuffer::SetScreenCursor(int Row, int Col) {
    MoveTo(int(std::clamp<int64_t>(int64_t(ScreenTop()) + Row - 1, ScreenTop(), LastRow())),
           int(std::clamp<int64_t>(int64_t(Col) - 1, 0, FColCount - 1)));
}

void TIpTerminalBuffer::StepDown(bool Scroll) {
    FPendingWrap = false;
    if (FCursorRow == RegionBottomRow()) {
        // Without a region the whole buffer moves, so the top screen line enters the history.
        if (Scroll) ScrollRows(1, FUseScrollRegion ? FRegionTop : 0, RegionBottomRow());
    } else if (FCursorRow < LastRow()) {
        MoveTo(FCursorRow + 1, FCursorCol);
    }
}

void TIpTerminalBuffer::StepUp(bool Scroll) {
    FPendingWrap = false;
    if (FCursorRow == FRegionTop) {
        if (Scroll) ScrollRows(-1, FRegionTop, RegionBottomRow());
    } else if (FCursorRow > ScreenTop()) {
        MoveTo(FCursorRow - 1, FCursorCol);
    }
}

void TIpTerminalBuffer::MoveCursorUp(bool Scroll, int Count) {
    for (int I = std::min(Count, FRowCount); I > 0; --I) StepUp(Scroll);
}

void TIpTerminalBuffer::MoveCursorDown(bool Scroll, int Count) {
    for (int I = std::min(Count, FRowCount); I > 0; --I) StepDown(Scroll);
}

void TIpTerminalBuffer::MoveCursorRight(bool Wrap, bool Scroll, int Count) {
    if (Count <= 0) return;
    if (!Wrap) {
        MoveTo(FCursorRow, int(std::min<int64_t>(int64_t(FCursorCol) + Count, FColCount - 1)));
        return;
    }
    for (int I = std::min(Count, FColCount * 2); I > 0; --I) {
        if (FCursorCol < FColCount - 1) {
            MoveTo(FCursorRow, FCursorCol + 1);
        } else if (FCursorRow == RegionBottomRow()) {
            if (!Scroll) return;
            StepDown(true);
            MoveTo(FCursorRow, 0);
        } else if (FCursorRow < LastRow()) {
            MoveTo(FCursorRow + 1, 0);
        }
    }
}

void TIpTerminalBuffer::MoveCursorLeft(bool Wrap, bool Scroll, int Count) {
    if (Count <= 0) return;
    if (!Wrap) {
        MoveTo(FCursorRow, int(std::max<int64_t>(int64_t(FCursorCol) - Count, 0)));
        return;
    }
    for (int I = std::min(Count, FColCount * 2); I > 0; --I) {
        if (FCursorCol > 0) {
            MoveTo(FCursorRow, FCursorCol - 1);
        } else if (FCursorRow == FRegionTop) {
            if (!Scroll) return;
            StepUp(true);
            MoveTo(FCursorRow, FColCount - 1);
        } else if (FCursorRow > ScreenTop()) {
            MoveTo(FCursorRow - 1, FColCount - 1);
        }
    }
}

// --- writing ----------------------------------------------------------------------------------

void TIpTerminalBuffer::WriteChar(uint16_t Ch) {
    if (FPendingWrap) {
        // The character after one written into the last column goes to the next line, and on
        // the region's bottom line that scrolls, as on a real VT100. The write into the last
        // column itself never scrolls.
        FPendingWrap = false;
        MoveCursorRight(FUseAutoWrap, FUseAutoWrap, 1);
    }
    const int Row = FCursorRow, Col = FCursorCol;
    if (FUseInsertMode) EachPlane([&](TIpTerminalArray& P) { P.InsertItems(1, Row, Col); });
    const uint16_t Stored = FUseWideChars ? Ch : uint16_t(Ch & 0xFF);
    if (FUseWideChars) {
        FChars.WriteItems(&Stored, 1, Row, Col);
    } else {
        const auto Narrow = uint8_t(Stored);
        FChars.WriteItems(&Narrow, 1, Row, Col);
    }
    FCharSets.WriteItems(&FCharSet, 1, Row, Col);
    FAttrs.WriteItems(&FAttr, 1, Row, Col);
    FForeColors.WriteItems(&FForeColor, 1, Row, Col);
    FBackColors.WriteItems(&FBackColor, 1, Row, Col);
    InvalidateCells(Row, Col, FUseInsertMode ? FColCount - 1 : Col);
    if (FUseAutoWrapDelay && Col == FColCount - 1)
        FPendingWrap = true;
    else
        MoveCursorRight(FUseAutoWrap, false, 1);
}

// The same as WriteChar for each character, a row at a time: each plane takes the part of the
// run that fits before the right margin in one write. Insert mode moves the rest of the row
// for every character, so it goes character by character.
void TIpTerminalBuffer::WriteChars(const uint8_t* Text, size_t Count) {
    while (Count > 0) {
        if (FUseInsertMode) {
            WriteChar(*Text++);
            --Count;
            continue;
        }
        if (FPendingWrap) {
            FPendingWrap = false;
            MoveCursorRight(FUseAutoWrap, FUseAutoWrap, 1);
        }
        const int Row = FCursorRow, Col = FCursorCol;
        const int N = int(std::min(Count, size_t(FColCount - Col)));
        WriteRun(Text, N, Row, Col);
        Text += N;
        Count -= N;
        InvalidateCells(Row, Col, Col + N - 1);
        // The cursor steps over every character but the last one of the row's part, then the
        // last one moves it as WriteChar does.
        const int Last = Col + N - 1;
        if (OnCursorMoved) {
            for (int C = Col + 1; C <= Last; ++C) MoveTo(Row, C);
        } else if (Last != Col) {
            MoveTo(Row, Last);
        }
        if (FUseAutoWrapDelay && Last == FColCount - 1)
            FPendingWrap = true;
        else
            MoveCursorRight(FUseAutoWrap, false, 1);
    }
}

void TIpTerminalBuffer::WriteRun(const uint8_t* Text, int Count, int Row, int Col) {
    if (FUseWideChars) {
        uint16_t Wide[256];
        for (int Done = 0; Done < Count;) {
            const int Part = std::min(Count - Done, int(std::size(Wide)));
            std::copy(Text + Done, Text + Done + Part, Wide);
            FChars.WriteItems(Wide, Part, Row, Col + Done);
            Done += Part;
        }
    } else {
        FChars.WriteItems(Text, Count, Row, Col);
    }
    FCharSets.FillItems(FCharSet, Count, Row, Col);
    FAttrs.FillItems(FAttr, Count, Row, Col);
    FForeColors.FillItems(FForeColor, Count, Row, Col);
    FBackColors.FillItems(FBackColor, Count, Row, Col);
}

// --- editing ----------------------------------------------------------------------------------

void TIpTerminalBuffer::DoBackspace() {
    MoveCursorLeft(false, false, 1);
}

void TIpTerminalBuffer::DoCarriageReturn() {
    MoveTo(FCursorRow, 0);
}

void TIpTerminalBuffer::DoLineFeed() {
    if (FUseNewLineMode) DoCarriageReturn();
    StepDown(true);
}

void TIpTerminalBuffer::DoHorzTab() {
    int Col = FCursorCol + 1;
    while (Col < FColCount - 1 && !FHorzTabStops[size_t(Col)]) ++Col;
    MoveTo(FCursorRow, std::min(Col, FColCount - 1));
}

void TIpTerminalBuffer::DoVertTab() {
    int Row = FCursorRow + 1;
    while (Row < RegionBottomRow() && !FVertTabStops[size_t(Row - ScreenTop())]) ++Row;
    MoveTo(std::min(std::max(Row, FRegionTop), RegionBottomRow()), FCursorCol);
}

void TIpTerminalBuffer::InsertChars(int Count) {
    FPendingWrap = false;
    const int N = std::clamp(Count, 0, FColCount - FCursorCol);
    EachPlane([&](TIpTerminalArray& P) { P.InsertItems(N, FCursorRow, FCursorCol); });
    InvalidateCells(FCursorRow, FCursorCol, FColCount - 1);
}

void TIpTerminalBuffer::DeleteChars(int Count) {
    FPendingWrap = false;
    const int N = std::clamp(Count, 0, FColCount - FCursorCol);
    EachPlane([&](TIpTerminalArray& P) { P.DeleteItems(N, FCursorRow, FCursorCol); });
    InvalidateCells(FCursorRow, FCursorCol, FColCount - 1);
}

void TIpTerminalBuffer::EraseChars(int Count) {
    FPendingWrap = false;
    const int Last = std::max(FCursorRow, RegionBottomRow());
    int64_t Left = std::max(Count, 0);
    for (int Row = FCursorRow, Col = FCursorCol; Row <= Last && Left > 0; ++Row, Col = 0) {
        const int N = int(std::min<int64_t>(Left, FColCount - Col));
        ClearCells(Row, Col, Col + N - 1);
        Left -= N;
    }
}

// A VT100 ignores line insertion and deletion while the cursor is outside the region: the
// rows outside it never move.
void TIpTerminalBuffer::InsertLines(int Count) {
    FPendingWrap = false;
    if (!RowInRegion(FCursorRow) || Count <= 0) return;
    ScrollRows(-std::min(Count, FRowCount), FCursorRow, RegionBottomRow());
}

void TIpTerminalBuffer::DeleteLines(int Count) {
    FPendingWrap = false;
    if (!RowInRegion(FCursorRow) || Count <= 0) return;
    ScrollRows(std::min(Count, FRowCount), FCursorRow, RegionBottomRow());
}

void TIpTerminalBuffer::EraseToEOL() {
    ClearCells(FCursorRow, FCursorCol, FColCount - 1);
}

void TIpTerminalBuffer::EraseFromBOL() {
    ClearCells(FCursorRow, 0, FCursorCol);
}

void TIpTerminalBuffer::EraseLine() {
    ClearCells(FCursorRow, 0, FColCount - 1);
}

void TIpTerminalBuffer::EraseToEOS() {
    ClearCells(FCursorRow, FCursorCol, FColCount - 1);
    for (int Row = FCursorRow + 1; Row <= LastRow(); ++Row) ClearCells(Row, 0, FColCount - 1);
}

void TIpTerminalBuffer::EraseFromBOS() {
    ClearCells(FCursorRow, 0, FCursorCol);
    for (int Row = ScreenTop(); Row < FCursorRow; ++Row) ClearCells(Row, 0, FColCount - 1);
}

void TIpTerminalBuffer::ClearScreen() {
    EachPlane([](TIpTerminalArray& P) { P.Clear(); });
    MoveTo(ScreenTop(), 0);
    InvalidateScreen();
}

void TIpTerminalBuffer::ClearIntoHistory() {
    FPendingWrap = false;
    ScrollRows(FRowCount, 0, LastRow());
    InvalidateScreen();
}

void TIpTerminalBuffer::Reset() {
    SetCharSet(0);
    SetAttr(0);
    SetForeColor(FDefaultForeColor);
    SetBackColor(FDefaultBackColor);
    EachPlane([](TIpTerminalArray& P) { P.Clear(); });
    ResetTabStops();
    FUseAbsAddress = true;
    FUseAutoWrap = true;
    FUseAutoWrapDelay = true;
    FUseInsertMode = false;
    FUseNewLineMode = false;
    if (FUseScrollRegion) SetUseScrollRegion(false);
    MoveTo(ScreenTop(), 0);
    InvalidateScreen();
}

// --- tab stops --------------------------------------------------------------------------------

void TIpTerminalBuffer::ResetTabStops() {
    FHorzTabStops.assign(size_t(FColCount), false);
    FVertTabStops.assign(size_t(FRowCount), false);
    for (int Col = 0; Col < FColCount; Col += 8) FHorzTabStops[size_t(Col)] = true;
}

void TIpTerminalBuffer::SetHorzTabStop() {
    FHorzTabStops[size_t(FCursorCol)] = true;
}

void TIpTerminalBuffer::ClearHorzTabStop() {
    FHorzTabStops[size_t(FCursorCol)] = false;
}

void TIpTerminalBuffer::ClearAllHorzTabStops() {
    FHorzTabStops.assign(size_t(FColCount), false);
}

void TIpTerminalBuffer::ClearAllVertTabStops() {
    FVertTabStops.assign(size_t(FRowCount), false);
}

// --- scrolling region ---------------------------------------------------------------------

// Rows outside the screen are refused: a region reaching below the screen would move rows
// that do not exist.
void TIpTerminalBuffer::SetScrollRegion(int Top, int Bottom) {
    if (Bottom < Top) std::swap(Top, Bottom);
    Top = std::clamp(Top, 1, FRowCount);
    Bottom = std::clamp(Bottom, 1, FRowCount);
    FSRStartRow = ScreenTop() + Top - 1;
    FSREndRow = ScreenTop() + Bottom - 1;
    if (FUseScrollRegion) SetUseScrollRegion(false);
    if (Top != 1 || Bottom != FRowCount) SetUseScrollRegion(true);
}

void TIpTerminalBuffer::SetUseScrollRegion(bool Value) {
    FUseScrollRegion = Value;
    ApplyRegion();
}

void TIpTerminalBuffer::ApplyRegion() {
    if (FUseScrollRegion) {
        FRegionTop = FSRStartRow;
        FRegionHeight = FSREndRow - FSRStartRow + 1;
    } else {
        FRegionTop = ScreenTop();
        FRegionHeight = FRowCount;
    }
    MoveTo(FRegionTop, 0);
}

// --- rows and cells ---------------------------------------------------------------------------

void TIpTerminalBuffer::ScrollRows(int Count, int First, int Last) {
    EachPlane([&](TIpTerminalArray& P) { P.ScrollRows(Count, First, Last); });
    InvalidateRows(std::min(First, Last), std::max(First, Last));
    if (OnScroll) OnScroll(this, Count, First - ScreenTop() + 1, Last - ScreenTop() + 1);
}

void TIpTerminalBuffer::ClearCells(int Row, int FromCol, int ToCol) {
    FPendingWrap = false;
    EachPlane([&](TIpTerminalArray& P) { P.ClearItems(Row, FromCol, ToCol); });
    InvalidateCells(Row, FromCol, ToCol);
}

const void* TIpTerminalBuffer::GetCharPtr(int Row) {
    return FChars.GetItemPtr(ScreenTop() + Row - 1, 0);
}

const uint8_t* TIpTerminalBuffer::GetCharSetPtr(int Row) {
    return static_cast<const uint8_t*>(FCharSets.GetItemPtr(ScreenTop() + Row - 1, 0));
}

const uint8_t* TIpTerminalBuffer::GetAttrPtr(int Row) {
    return static_cast<const uint8_t*>(FAttrs.GetItemPtr(ScreenTop() + Row - 1, 0));
}

const uint32_t* TIpTerminalBuffer::GetForeColorPtr(int Row) {
    return static_cast<const uint32_t*>(FForeColors.GetItemPtr(ScreenTop() + Row - 1, 0));
}

const uint32_t* TIpTerminalBuffer::GetBackColorPtr(int Row) {
    return static_cast<const uint32_t*>(FBackColors.GetItemPtr(ScreenTop() + Row - 1, 0));
}

uint16_t TIpTerminalBuffer::CharAt(int Row, int Col) const {
    return uint16_t(FChars.Item(ScreenTop() + Row - 1, Col - 1));
}

uint8_t TIpTerminalBuffer::CharSetAt(int Row, int Col) const {
    return uint8_t(FCharSets.Item(ScreenTop() + Row - 1, Col - 1));
}

uint8_t TIpTerminalBuffer::AttrAt(int Row, int Col) const {
    return uint8_t(FAttrs.Item(ScreenTop() + Row - 1, Col - 1));
}

uint32_t TIpTerminalBuffer::ForeColorAt(int Row, int Col) const {
    return FForeColors.Item(ScreenTop() + Row - 1, Col - 1);
}

uint32_t TIpTerminalBuffer::BackColorAt(int Row, int Col) const {
    return FBackColors.Item(ScreenTop() + Row - 1, Col - 1);
}

void TIpTerminalBuffer::SetAttrAt(int Row, int Col, uint8_t Attr) {
    const int Abs = ScreenTop() + Row - 1;
    FAttrs.WriteItems(&Attr, 1, Abs, Col - 1);
    InvalidateCells(Abs, Col - 1, Col - 1);
}

bool TIpTerminalBuffer::ChangeAttrBits(int Row, int FromCol, int ToCol, uint8_t Set,
                                       uint8_t Clear) {
    const int Abs = ScreenTop() + Row - 1;
    FromCol = std::max(FromCol, 1);
    ToCol = std::min(ToCol, FColCount);
    auto* Attrs = static_cast<uint8_t*>(FAttrs.GetItemPtr(Abs, 0));
    if (!Attrs || FromCol > ToCol) return false;
    int First = -1, Last = -1;
    for (int Col = FromCol - 1; Col < ToCol; ++Col) {
        const uint8_t New = uint8_t((Attrs[Col] & ~Clear) | Set);
        if (New == Attrs[Col]) continue;
        Attrs[Col] = New;
        if (First < 0) First = Col;
        Last = Col;
    }
    if (First < 0) return false;
    InvalidateCells(Abs, First, Last);
    return true;
}

// --- repainting -------------------------------------------------------------------------------

bool TIpTerminalBuffer::GetInvalidRect(TIpTermRect& Rect) {
    if (!FInvalid) return false;
    Rect = FInvalidRect;
    FInvalid = false;
    return true;
}

bool TIpTerminalBuffer::HasCursorMoved() {
    const bool Moved = FCursorMoved;
    FCursorMoved = false;
    return Moved;
}

void TIpTerminalBuffer::InvalidateScreen() {
    if (FRowCount > 0 && FColCount > 0) InvalidateRect({1, 1, FColCount, FRowCount});
}

// Pending rectangles are only ever taken as their union, so the union is all that is kept:
// a host that writes a million cells between two paints costs no memory.
void TIpTerminalBuffer::InvalidateRect(const TIpTermRect& Rect) {
    if (!FInvalid) {
        FInvalidRect = Rect;
        FInvalid = true;
        return;
    }
    FInvalidRect.Left = std::min(FInvalidRect.Left, Rect.Left);
    FInvalidRect.Top = std::min(FInvalidRect.Top, Rect.Top);
    FInvalidRect.Right = std::max(FInvalidRect.Right, Rect.Right);
    FInvalidRect.Bottom = std::max(FInvalidRect.Bottom, Rect.Bottom);
}

void TIpTerminalBuffer::InvalidateCells(int Row, int FromCol, int ToCol) {
    if (Row < ScreenTop() || FromCol > ToCol) return;
    const int ScreenRow = Row - ScreenTop() + 1;
    InvalidateRect({FromCol + 1, ScreenRow, ToCol + 1, ScreenRow});
}

void TIpTerminalBuffer::InvalidateRows(int FirstRow, int LastRow) {
    FirstRow = std::max(FirstRow, ScreenTop());
    if (FirstRow > LastRow) return;
    InvalidateRect({1, FirstRow - ScreenTop() + 1, FColCount, LastRow - ScreenTop() + 1});
}

// --- line attributes ------------------------------------------------------------------------

TIpLineAttrArray::TIpLineAttrArray(TIpTerminalBuffer& Buffer) : FBuffer(Buffer), FAttrs(1) {
    FAttrs.SetColCount(1);
    Follow();
}

// Re-sizes to the buffer's rows, the last rows staying aligned with the buffer's last rows.
void TIpLineAttrArray::Follow() {
    if (FRowCount == FBuffer.SVRowCount() && FScreenRows == FBuffer.RowCount()) return;
    FRowCount = FBuffer.SVRowCount();
    FScreenRows = FBuffer.RowCount();
    FAttrs.SetRowCount(FRowCount);
}

int TIpLineAttrArray::Index(int Row) {
    Follow();
    return FRowCount - FScreenRows + Row - 1;
}

uint8_t TIpLineAttrArray::Attr(int Row) {
    return uint8_t(FAttrs.Item(Index(Row), 0));
}

void TIpLineAttrArray::SetAttr(int Row, uint8_t Value) {
    FAttrs.WriteItems(&Value, 1, Index(Row), 0);
}

void TIpLineAttrArray::Scroll(int Count, int First, int Last) {
    FAttrs.ScrollRows(Count, Index(First), Index(Last));
}

void TIpLineAttrArray::Clear() {
    Follow();
    FAttrs.Clear();
}
