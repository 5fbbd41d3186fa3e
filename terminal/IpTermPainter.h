#pragma once
// Draws an emulator's paint runs on a device context: the cells of a run filled with its
// background, its text in the fonts its draw script names (one cell per character), and its
// underline and strike-through lines. It also measures the cell that holds a character of every
// font the terminal draws with.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "terminal/IpTermEmulator.h"

// Where the cells of a view lie: CellWidth x CellHeight pixels each, the view's first column and
// row (rows 0 and below are the history) at the context's origin.
struct TIpTermView {
    int CellWidth = 1;
    int CellHeight = 1;
    int FirstCol = 1;
    int FirstRow = 1;

    // The pixel rectangle of Count cells of a row from Column on (cells of Width pixels).
    RECT CellRect(int Row, int Column, int Count, int Width) const {
        const int Left = (Column - 1) * Width - (FirstCol - 1) * CellWidth;
        const int Top = (Row - FirstRow) * CellHeight;
        return RECT{Left, Top, Left + Count * Width, Top + CellHeight};
    }
};

class TIpTermPainter {
  public:
    TIpTermPainter() = default;
    ~TIpTermPainter();
    TIpTermPainter(const TIpTermPainter&) = delete;
    TIpTermPainter& operator=(const TIpTermPainter&) = delete;

    // The control's font: what "<Default>" draws with, and the model of the named fonts (the
    // same font with another name and the default character set).
    void SetBaseFont(const LOGFONT& Font);
    // The cell of the base font and of every named one: the tallest height with its external
    // leading, and the widest of their average widths (for a fixed-pitch font the average plus
    // half the difference to its widest character).
    void MeasureCell(const std::vector<std::string>& FontNames, int& Width, int& Height);
    void DrawRuns(HDC DC, const std::vector<TIpPaintRun>& Runs, const TIpTermView& View);

  private:
    // Fonts are made once per name and size and kept until the base font changes.
    HFONT FontOf(const std::string& Name, bool DoubleSize);
    void DrawText(HDC DC, const TIpPaintRun& Run, const RECT& Cells, int CellWidth);
    void DrawLines(HDC DC, const TIpPaintRun& Run, const RECT& Cells);
    void FreeFonts();

    LOGFONT FBase{};
    std::map<std::pair<std::string, bool>, HFONT> FFonts;
    std::vector<INT> FAdvances;
};
