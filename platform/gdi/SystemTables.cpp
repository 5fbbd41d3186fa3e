// The fixed classic system colours and metrics, and the code pages of the display boundary.
#include <array>

#include "platform/classes/CodePages.h"
#include "platform/gdi/GdiInternal.h"

using namespace GdiInternal;

namespace {

// The classic grey scheme, the same on screen and in tests.
constexpr std::array<COLORREF, 31> kSysColors = {
    RGB(192, 192, 192),  // COLOR_SCROLLBAR
    RGB(0, 128, 128),    // COLOR_BACKGROUND
    RGB(0, 0, 128),      // COLOR_ACTIVECAPTION
    RGB(128, 128, 128),  // COLOR_INACTIVECAPTION
    RGB(192, 192, 192),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(0, 0, 0),        // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
    RGB(192, 192, 192),  // COLOR_ACTIVEBORDER
    RGB(192, 192, 192),  // COLOR_INACTIVEBORDER
    RGB(128, 128, 128),  // COLOR_APPWORKSPACE
    RGB(0, 0, 128),      // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(192, 192, 192),  // COLOR_BTNFACE
    RGB(128, 128, 128),  // COLOR_BTNSHADOW
    RGB(128, 128, 128),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(192, 192, 192),  // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(0, 0, 0),        // COLOR_3DDKSHADOW
    RGB(192, 192, 192),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
    RGB(180, 180, 180),  // 25 (unused)
    RGB(0, 0, 255),      // COLOR_HOTLIGHT
    RGB(16, 132, 208),   // COLOR_GRADIENTACTIVECAPTION
    RGB(181, 181, 181),  // COLOR_GRADIENTINACTIVECAPTION
    RGB(0, 0, 128),      // COLOR_MENUHILIGHT
    RGB(192, 192, 192),  // COLOR_MENUBAR
};

struct TScreen {
    int Width = 800, Height = 600;
    RECT WorkArea{0, 0, 800, 600};
};
TScreen& Screen() {
    static TScreen S;
    return S;
}

}  // namespace

DWORD GetSysColor(int Index) {
    return Index >= 0 && Index < int(kSysColors.size()) ? kSysColors[size_t(Index)] : 0;
}

HBRUSH GetSysColorBrush(int Index) {
    static std::array<HBRUSH, kSysColors.size()> Brushes{};
    if (Index < 0 || Index >= int(kSysColors.size())) return 0;
    HBRUSH& B = Brushes[size_t(Index)];
    if (!B) {
        B = CreateSolidBrush(kSysColors[size_t(Index)]);
        Find(B)->Stock = true;  // system brushes are never deleted
    }
    return B;
}

void SetScreenMetrics(int Width, int Height, const RECT& WorkArea) {
    Screen() = TScreen{Width, Height, WorkArea};
}

RECT GetWorkAreaMetric() {
    return Screen().WorkArea;
}

int GetSystemMetrics(int Index) {
    const TScreen& S = Screen();
    switch (Index) {
        case SM_CXSCREEN:
        case SM_CXVIRTUALSCREEN:
        case SM_CXMAXTRACK:
            return S.Width;
        case SM_CYSCREEN:
        case SM_CYVIRTUALSCREEN:
        case SM_CYMAXTRACK:
            return S.Height;
        case SM_CXFULLSCREEN:
            return S.WorkArea.right - S.WorkArea.left;
        case SM_CYFULLSCREEN:
            return S.WorkArea.bottom - S.WorkArea.top - 19;
        case SM_CXMAXIMIZED:
            return S.WorkArea.right - S.WorkArea.left + 8;
        case SM_CYMAXIMIZED:
            return S.WorkArea.bottom - S.WorkArea.top + 8;
        case SM_CXVSCROLL:
        case SM_CYHSCROLL:
        case SM_CYVSCROLL:
        case SM_CXHSCROLL:
        case SM_CYVTHUMB:
        case SM_CXHTHUMB:
            return 16;
        case SM_CYCAPTION:
            return 19;
        case SM_CXBORDER:
        case SM_CYBORDER:
            return 1;
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME:
            return 3;
        case SM_CXICON:
        case SM_CYICON:
        case SM_CXCURSOR:
        case SM_CYCURSOR:
            return 32;
        case SM_CYMENU:
            return 19;
        case SM_MOUSEPRESENT:
            return 1;
        case SM_SWAPBUTTON:
            return 0;
        case SM_CXMIN:
        case SM_CXMINTRACK:
            return 112;
        case SM_CYMIN:
        case SM_CYMINTRACK:
            return 27;
        case SM_CXSIZE:
        case SM_CYSIZE:
            return 18;
        case SM_CXFRAME:
        case SM_CYFRAME:
            return 4;
        case SM_CXDOUBLECLK:
        case SM_CYDOUBLECLK:
            return 4;
        case SM_CXICONSPACING:
        case SM_CYICONSPACING:
            return 75;
        case SM_MENUDROPALIGNMENT:
            return 0;
        case SM_CXEDGE:
        case SM_CYEDGE:
            return 2;
        case SM_CXSMICON:
        case SM_CYSMICON:
            return 16;
        case SM_CYSMCAPTION:
            return 15;
        case SM_CXSMSIZE:
            return 12;
        case SM_CYSMSIZE:
            return 14;
        case SM_CXMENUSIZE:
        case SM_CYMENUSIZE:
            return 18;
        case SM_CXDRAG:
        case SM_CYDRAG:
            return 4;
        case SM_CXMENUCHECK:
        case SM_CYMENUCHECK:
            return 13;
        case SM_CMONITORS:
            return 1;
        default:
            return 0;
    }
}

QString TFontObject::Decode(std::string_view Bytes) const {
    switch (Encoding) {
        case enOem:
            return Cp437ToUnicode(Bytes);
        case enSymbol: {
            QString S = Cp1252ToUnicode(Bytes);
            for (qsizetype I = 0; I < S.size(); ++I)
                if (S[I] == QChar(0xB7)) S[I] = QChar(0x2022);
            return S;
        }
        default:
            return Cp1252ToUnicode(Bytes);
    }
}
