#include "terminal/IpTermPainter.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr const char* kDefaultFont = "<Default>";

}  // namespace

TIpTermPainter::~TIpTermPainter() {
    FreeFonts();
}

void TIpTermPainter::FreeFonts() {
    for (auto& [Key, Font] : FFonts) DeleteObject(Font);
    FFonts.clear();
}

void TIpTermPainter::SetBaseFont(const LOGFONT& Font) {
    FreeFonts();
    FBase = Font;
}

HFONT TIpTermPainter::FontOf(const std::string& Name, bool DoubleSize) {
    const auto Key = std::make_pair(Name == kDefaultFont ? std::string() : Name, DoubleSize);
    if (auto It = FFonts.find(Key); It != FFonts.end()) return It->second;
    LOGFONT Log = FBase;
    if (!Key.first.empty()) {
        std::memset(Log.lfFaceName, 0, sizeof Log.lfFaceName);
        std::strncpy(Log.lfFaceName, Key.first.c_str(), sizeof Log.lfFaceName - 1);
        Log.lfCharSet = DEFAULT_CHARSET;
    }
    if (DoubleSize) {
        Log.lfHeight *= 2;
        Log.lfWidth *= 2;
    }
    const HFONT Font = CreateFontIndirect(Log);
    FFonts[Key] = Font;
    return Font;
}

void TIpTermPainter::MeasureCell(const std::vector<std::string>& FontNames, int& Width,
                                 int& Height) {
    std::vector<std::string> Names{kDefaultFont};
    Names.insert(Names.end(), FontNames.begin(), FontNames.end());
    const HDC DC = CreateCompatibleDC(0);
    Width = 1;
    Height = 1;
    for (const std::string& Name : Names) {
        SelectObject(DC, FontOf(Name, false));
        TEXTMETRIC M;
        GetTextMetrics(DC, &M);
        Height = std::max<int>(Height, M.tmHeight + M.tmExternalLeading);
        // The pitch bit is set for proportional fonts.
        const bool FixedPitch = (M.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0;
        const int Average = M.tmAveCharWidth;
        Width =
            std::max<int>(Width, FixedPitch ? Average + (M.tmMaxCharWidth - Average) / 2 : Average);
    }
    DeleteDC(DC);
}

void TIpTermPainter::DrawRuns(HDC DC, const std::vector<TIpPaintRun>& Runs,
                              const TIpTermView& View) {
    const int Saved = SaveDC(DC);
    SetBkMode(DC, TRANSPARENT);
    SetTextAlign(DC, TA_LEFT | TA_TOP);
    for (const TIpPaintRun& Run : Runs) {
        const int Width = Run.DoubleWidth ? 2 * View.CellWidth : View.CellWidth;
        const RECT Cells = View.CellRect(Run.Row, Run.Column, Run.Count, Width);
        const HBRUSH Back = CreateSolidBrush(Run.BackColor);
        FillRect(DC, &Cells, Back);
        DeleteObject(Back);
        if (!Run.WithText) continue;
        DrawText(DC, Run, Cells, Width);
        DrawLines(DC, Run, Cells);
    }
    RestoreDC(DC, Saved);
}

// Double-height rows draw their text at twice the size, the top half in the upper row and the
// bottom half in the lower one, each clipped to its row.
void TIpTermPainter::DrawText(HDC DC, const TIpPaintRun& Run, const RECT& Cells, int CellWidth) {
    const bool DoubleSize = Run.LineAttr == 1 || Run.LineAttr == 2;
    const int Top = Run.LineAttr == 2 ? 2 * Cells.top - Cells.bottom : Cells.top;
    SetTextColor(DC, Run.ForeColor);
    int Left = Cells.left;
    for (const TIpDrawElement& Element : Run.Script) {
        if (Element.Text.empty()) continue;
        FAdvances.assign(Element.Text.size(), CellWidth);
        SelectObject(DC, FontOf(Element.Font, DoubleSize));
        ExtTextOut(DC, Left, Top, ETO_CLIPPED, &Cells, Element.Text, FAdvances.data());
        Left += int(Element.Text.size()) * CellWidth;
    }
}

void TIpTermPainter::DrawLines(HDC DC, const TIpPaintRun& Run, const RECT& Cells) {
    if (!Run.Underline && !Run.StrikeThrough) return;
    const HPEN Pen = CreatePen(PS_SOLID, 1, Run.ForeColor);
    const HGDIOBJ Old = SelectObject(DC, Pen);
    auto Line = [&](int Y) {
        MoveToEx(DC, Cells.left, Y, nullptr);
        LineTo(DC, Cells.right, Y);
    };
    if (Run.Underline) Line(Cells.bottom - 2);
    if (Run.StrikeThrough) Line(Cells.top + (Cells.bottom - Cells.top) / 2);
    SelectObject(DC, Old);
    DeleteObject(Pen);
}
