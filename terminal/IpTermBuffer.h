#pragma once
// The cell buffer of a terminal: the screen and its scrollback in five planes (characters,
// character sets, attributes, foreground and background colours), the cursor, the scrolling
// region, tab stops and the rectangle waiting to be repainted. Rows and columns are 1-based at
// the interface and 0-based inside; the screen is the last RowCount rows of the SVRowCount rows
// held, the rows above it are the history.
//
// The rows of a plane form a ring: scrolling every row of the buffer (a line feed at the bottom
// of a screen without a scrolling region) turns the ring by one row and clears one row, so its
// cost does not depend on the length of the history.
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

// One plane: a rectangular array of items of 1, 2 or 4 bytes, each row padded to a multiple of
// 4 bytes.
class TIpTerminalArray {
  public:
    explicit TIpTerminalArray(int ItemSize);

    int ItemSize() const { return FItemSize; }
    int ColCount() const { return FColCount; }
    int RowCount() const { return FRowCount; }
    // Columns per stored row.
    int Stride() const { return FStride; }
    void SetColCount(int Count);
    void SetRowCount(int Count);
    uint32_t DefaultItem() const { return FDefault; }
    void SetDefaultItem(uint32_t Item);

    void Clear();
    // Columns FromCol..ToCol (inclusive, clipped to the row) of Row take the default item.
    void ClearItems(int Row, int FromCol, int ToCol);
    void DeleteItems(int Count, int Row, int Col);
    void InsertItems(int Count, int Row, int Col);
    void WriteItems(const void* Items, int Count, int Row, int Col);
    // Count items from Row, Col (cut at the row's end) take the value Item.
    void FillItems(uint32_t Item, int Count, int Row, int Col);
    void ReplaceItems(uint32_t OldItem, uint32_t NewItem);
    // Positive Count moves rows First+Count..Last up to First..Last-Count and clears the bottom
    // Count rows of the range; negative moves them down and clears the top ones.
    void ScrollRows(int Count, int First, int Last);

    // The item at Row, Col (raises for an item size other than 1, 2 or 4); null without storage.
    void* GetItemPtr(int Row, int Col);
    uint32_t Item(int Row, int Col) const;

  private:
    uint8_t* RowPtr(int Row);
    const uint8_t* RowPtr(int Row) const;
    void Fill(uint8_t* At, int Count);
    void FillWith(uint8_t* At, int Count, uint32_t Item);
    void Resize(int Cols, int Rows);

    int FItemSize;
    int FColCount = 0;
    int FRowCount = 0;
    int FStride = 0;
    size_t FRowBytes = 0;  // bytes per stored row
    int FTop = 0;          // storage row of row 0 (the ring's start)
    uint32_t FDefault = 0;
    std::vector<uint8_t> FItems;
};

// A rectangle of 1-based screen cells (inclusive bounds).
struct TIpTermRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TIpTermRect&) const = default;
};

class TIpTerminalBuffer;
using TIpCursorMovedEvent = std::function<void(TIpTerminalBuffer* Buffer, int Row, int Col)>;
// Count > 0 scrolled up, < 0 down; First and Last are 1-based screen rows (rows of the history
// are 0 and below).
using TIpScrollEvent =
    std::function<void(TIpTerminalBuffer* Buffer, int Count, int First, int Last)>;

class TIpTerminalBuffer {
  public:
    explicit TIpTerminalBuffer(bool UseWideChars);

    int ColCount() const { return FColCount; }
    int RowCount() const { return FRowCount; }
    int SVRowCount() const { return FSVRowCount; }
    void tbSetColCount(int Count);
    void tbSetRowCount(int Count);
    void tbSetSVRowCount(int Count);
    bool UseWideChars() const { return FUseWideChars; }

    // Current values used for writing; each becomes the default item of its plane too.
    uint8_t CharSet() const { return FCharSet; }
    void SetCharSet(uint8_t Value);
    uint8_t Attr() const { return FAttr; }
    void SetAttr(uint8_t Value);
    uint32_t ForeColor() const { return FForeColor; }
    void SetForeColor(uint32_t Value);
    uint32_t BackColor() const { return FBackColor; }
    void SetBackColor(uint32_t Value);
    uint16_t DefaultChar() const { return FDefaultChar; }
    void SetDefaultChar(uint16_t Value);
    uint32_t DefaultForeColor() const { return FDefaultForeColor; }
    uint32_t DefaultBackColor() const { return FDefaultBackColor; }
    // Every cell with the old default colour takes the new one.
    void SetDefaultForeColor(uint32_t Value);
    void SetDefaultBackColor(uint32_t Value);

    bool UseAbsAddress() const { return FUseAbsAddress; }
    void SetUseAbsAddress(bool Value) { FUseAbsAddress = Value; }
    bool UseAutoWrap() const { return FUseAutoWrap; }
    void SetUseAutoWrap(bool Value) { FUseAutoWrap = Value; }
    bool UseAutoWrapDelay() const { return FUseAutoWrapDelay; }
    void SetUseAutoWrapDelay(bool Value) { FUseAutoWrapDelay = Value; }
    bool UseInsertMode() const { return FUseInsertMode; }
    void SetUseInsertMode(bool Value) { FUseInsertMode = Value; }
    bool UseNewLineMode() const { return FUseNewLineMode; }
    void SetUseNewLineMode(bool Value) { FUseNewLineMode = Value; }
    bool PendingWrap() const { return FPendingWrap; }

    // Cursor, 1-based, relative to the screen (absolute addressing) or to the scrolling region.
    int CursorRow() const;
    int CursorCol() const;
    void SetCursorRow(int Row);
    void SetCursorCol(int Col);
    void SetCursorPosition(int Row, int Col);
    // The cursor on the screen, whatever the addressing (1-based).
    int ScreenCursorRow() const { return FCursorRow - ScreenTop() + 1; }
    void SetScreenCursor(int Row, int Col);
    void MoveCursorUp(bool Scroll, int Count = 1);
    void MoveCursorDown(bool Scroll, int Count = 1);
    void MoveCursorLeft(bool Wrap, bool Scroll, int Count = 1);
    void MoveCursorRight(bool Wrap, bool Scroll, int Count = 1);

    void WriteChar(uint16_t Ch);
    // WriteChar for each of Count characters.
    void WriteChars(const uint8_t* Text, size_t Count);

    void DoBackspace();
    void DoCarriageReturn();
    void DoLineFeed();
    void DoHorzTab();
    void DoVertTab();
    void InsertChars(int Count);
    void DeleteChars(int Count);
    void EraseChars(int Count);
    void InsertLines(int Count);
    void DeleteLines(int Count);
    void EraseToEOL();
    void EraseFromBOL();
    void EraseLine();
    void EraseToEOS();
    void EraseFromBOS();
    void ClearScreen();
    void ClearIntoHistory();
    void Reset();

    void SetHorzTabStop();
    void ClearHorzTabStop();
    void ClearAllHorzTabStops();
    void ClearAllVertTabStops();

    void SetScrollRegion(int Top, int Bottom);
    bool UseScrollRegion() const { return FUseScrollRegion; }
    void SetUseScrollRegion(bool Value);
    // The region in force, as 1-based screen rows.
    int RegionTop() const { return FRegionTop - ScreenTop() + 1; }
    int RegionBottom() const { return RegionTop() + FRegionHeight - 1; }

    // One row's items of each plane, for a 1-based screen row (rows 0 and below reach into the
    // history); null outside the buffer.
    const void* GetCharPtr(int Row);
    const uint8_t* GetCharSetPtr(int Row);
    const uint8_t* GetAttrPtr(int Row);
    const uint32_t* GetForeColorPtr(int Row);
    const uint32_t* GetBackColorPtr(int Row);
    uint16_t CharAt(int Row, int Col) const;
    uint8_t CharSetAt(int Row, int Col) const;
    uint8_t AttrAt(int Row, int Col) const;
    uint32_t ForeColorAt(int Row, int Col) const;
    uint32_t BackColorAt(int Row, int Col) const;
    // Sets attribute bits of one cell without moving the cursor (the control's selection).
    void SetAttrAt(int Row, int Col, uint8_t Attr);
    // Sets the bits Set and clears the bits Clear of cells FromCol..ToCol of a row (clipped; rows
    // 0 and below are the history) without moving the cursor; whether any cell changed. The
    // changed cells of the screen are invalidated.
    bool ChangeAttrBits(int Row, int FromCol, int ToCol, uint8_t Set, uint8_t Clear);

    // Takes the union of the rectangles waiting to be repainted; false when there is none.
    bool GetInvalidRect(TIpTermRect& Rect);
    bool HasInvalidRect() const { return FInvalid; }
    // Takes and clears the cursor-moved flag.
    bool HasCursorMoved();
    void InvalidateScreen();
    void InvalidateRect(const TIpTermRect& Rect);

    TIpCursorMovedEvent OnCursorMoved;
    TIpScrollEvent OnScroll;

  private:
    int ScreenTop() const { return FSVRowCount - FRowCount; }
    int RegionBottomRow() const { return FRegionTop + FRegionHeight - 1; }
    int LastRow() const { return FSVRowCount - 1; }
    bool RowInRegion(int Row) const { return Row >= FRegionTop && Row <= RegionBottomRow(); }
    void MoveTo(int Row, int Col);
    void StepDown(bool Scroll);
    void StepUp(bool Scroll);
    void ScrollRows(int Count, int First, int Last);
    void ClearCells(int Row, int FromCol, int ToCol);
    void WriteRun(const uint8_t* Text, int Count, int Row, int Col);
    void InvalidateCells(int Row, int FromCol, int ToCol);
    void InvalidateRows(int FirstRow, int LastRow);
    void ResizePlanes();
    void ResetTabStops();
    void ApplyRegion();
    template <class F>
    void EachPlane(F&& Step);

    bool FUseWideChars;
    TIpTerminalArray FChars;
    TIpTerminalArray FCharSets;
    TIpTerminalArray FAttrs;
    TIpTerminalArray FForeColors;
    TIpTerminalArray FBackColors;

    int FColCount = 0;
    int FRowCount = 0;
    int FSVRowCount = 0;

    uint8_t FCharSet = 0;
    uint8_t FAttr = 0;
    uint32_t FForeColor;
    uint32_t FBackColor;
    uint16_t FDefaultChar = ' ';
    uint32_t FDefaultForeColor;
    uint32_t FDefaultBackColor;

    int FCursorRow = 0;  // absolute row
    int FCursorCol = 0;
    bool FCursorMoved = false;
    bool FPendingWrap = false;

    bool FUseScrollRegion = false;
    int FRegionTop = 0;  // absolute row
    int FRegionHeight = 0;
    int FSRStartRow = 0;  // rows chosen by SetScrollRegion, absolute
    int FSREndRow = 0;

    bool FUseAbsAddress = true;
    bool FUseAutoWrap = true;
    bool FUseAutoWrapDelay = true;
    bool FUseInsertMode = false;
    bool FUseNewLineMode = false;

    std::vector<bool> FHorzTabStops;
    std::vector<bool> FVertTabStops;

    bool FInvalid = false;
    TIpTermRect FInvalidRect;
};

// The cells of one screen row (1-based, as the buffer's Get...Ptr calls take it), read by
// 1-based column without a look-up per cell: paint runs compare every cell of a row with its
// neighbour. The row must lie inside the buffer and the buffer must not change meanwhile.
class TIpTermRowCells {
  public:
    TIpTermRowCells(TIpTerminalBuffer& Buffer, int Row)
        : FWide(Buffer.UseWideChars()),
          FChars(static_cast<const uint8_t*>(Buffer.GetCharPtr(Row))),
          FCharSets(Buffer.GetCharSetPtr(Row)),
          FAttrs(Buffer.GetAttrPtr(Row)),
          FFore(Buffer.GetForeColorPtr(Row)),
          FBack(Buffer.GetBackColorPtr(Row)) {}

    uint16_t Char(int Col) const {
        if (!FWide) return FChars[Col - 1];
        uint16_t Ch;
        std::memcpy(&Ch, FChars + size_t(Col - 1) * 2, 2);
        return Ch;
    }
    uint8_t CharSet(int Col) const { return FCharSets[Col - 1]; }
    uint8_t Attr(int Col) const { return FAttrs[Col - 1]; }
    uint32_t ForeColor(int Col) const { return FFore[Col - 1]; }
    uint32_t BackColor(int Col) const { return FBack[Col - 1]; }

  private:
    bool FWide;
    const uint8_t* FChars;
    const uint8_t* FCharSets;
    const uint8_t* FAttrs;
    const uint32_t* FFore;
    const uint32_t* FBack;
};

// One byte per row of a buffer, addressed by 1-based screen row; the VT100 emulator keeps its
// line attributes (double width and height) here. It follows the buffer's row count and turns
// with the buffer's rows when they scroll.
class TIpLineAttrArray {
  public:
    explicit TIpLineAttrArray(TIpTerminalBuffer& Buffer);

    uint8_t Attr(int Row);
    void SetAttr(int Row, uint8_t Value);
    // The buffer scrolled (see TIpScrollEvent): the attributes move with their rows.
    void Scroll(int Count, int First, int Last);
    void Clear();

  private:
    void Follow();
    int Index(int Row);

    TIpTerminalBuffer& FBuffer;
    TIpTerminalArray FAttrs;
    int FRowCount = 0;
    int FScreenRows = 0;
};

// Colour helpers (colours are 32-bit blue-green-red values).
constexpr uint32_t IpTermRGB(uint8_t R, uint8_t G, uint8_t B) {
    return uint32_t(R) | uint32_t(G) << 8 | uint32_t(B) << 16;
}
