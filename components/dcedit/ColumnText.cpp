#include "components/dcedit/ColumnText.h"

#include <algorithm>

#include "components/dcedit/Limits.h"

namespace {

constexpr char kColumnSeparator = '|';
constexpr char kMarker = '~';

struct TPart {
    const std::string& Text;
    HFONT Font;
};

SIZE ExtentIn(HDC DC, const std::string& Text, HFONT Font) {
    SIZE Size{0, 0};
    if (Text.empty()) return Size;
    const HGDIOBJ Old = SelectObject(DC, Font);
    GetTextExtentPoint32(DC, Text, &Size);
    SelectObject(DC, Old);
    return Size;
}

}  // namespace

std::vector<std::string> SplitColumns(const std::string& Item) {
    std::vector<std::string> Columns;
    size_t Start = 0;
    while (int(Columns.size()) < DCEditLimits::kMaxListColumns - 1) {
        const size_t Bar = Item.find(kColumnSeparator, Start);
        if (Bar == std::string::npos) break;
        Columns.push_back(Item.substr(Start, Bar - Start));
        Start = Bar + 1;
    }
    Columns.push_back(Item.substr(Start));
    return Columns;
}

TMarkedText SplitMarked(const std::string& Column) {
    const size_t Open = Column.find(kMarker);
    const size_t Close = Open == std::string::npos ? Open : Column.find(kMarker, Open + 1);
    if (Close == std::string::npos) return TMarkedText{Column, "", ""};
    return TMarkedText{Column.substr(0, Open), Column.substr(Open + 1, Close - Open - 1),
                       Column.substr(Close + 1)};
}

SIZE MarkedTextExtent(HDC DC, const TMarkedText& Text, HFONT Normal, HFONT Bold) {
    SIZE Total{0, 0};
    for (const TPart& Part :
         {TPart{Text.Before, Normal}, TPart{Text.Marked, Bold}, TPart{Text.After, Normal}}) {
        const SIZE Size = ExtentIn(DC, Part.Text, Part.Font);
        Total.cx += Size.cx;
        Total.cy = std::max(Total.cy, Size.cy);
    }
    return Total;
}

void DrawMarkedText(HDC DC, const RECT& Rect, const TMarkedText& Text, HFONT Normal, HFONT Bold,
                    TAlignment Alignment) {
    const int Width = Rect.right - Rect.left;
    const int Needed = MarkedTextExtent(DC, Text, Normal, Bold).cx;
    int X = Rect.left;
    if (Needed <= Width && Alignment == taRightJustify) X = Rect.right - Needed;
    if (Needed <= Width && Alignment == taCenter) X = Rect.left + (Width - Needed) / 2;
    const int Saved = SaveDC(DC);
    SetBkMode(DC, TRANSPARENT);
    for (const TPart& Part :
         {TPart{Text.Before, Normal}, TPart{Text.Marked, Bold}, TPart{Text.After, Normal}}) {
        if (Part.Text.empty()) continue;
        if (X >= Rect.right) break;
        SelectObject(DC, Part.Font);
        RECT R{X, Rect.top, Rect.right, Rect.bottom};
        DrawText(DC, Part.Text, &R,
                 DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        X += ExtentIn(DC, Part.Text, Part.Font).cx;
    }
    RestoreDC(DC, Saved);
}
