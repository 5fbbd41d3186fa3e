// The classic look of a popup menu: a raised frame on the menu colour, items in the menu font
// (the default item in bold), the highlight in the selection colours, check marks (bullets for
// radio items) and submenu arrows from the frame-control glyphs, etched separators and embossed
// disabled text.
#include <algorithm>
#include <cstring>

#include "platform/classes/Mnemonics.h"
#include "platform/gdi/Gdi.h"
#include "platform/menus/MenuImpl.h"

namespace MenuImpl {

namespace {

constexpr int kFrame = 3;
constexpr int kCheckColumn = 17;
constexpr int kArrowColumn = 17;
constexpr int kAccelGap = 12;
constexpr int kSeparatorHeight = 8;
constexpr UINT kTextFormat = DT_SINGLELINE | DT_VCENTER;

HFONT MenuFont(bool Bold) {
    static HFONT Fonts[2] = {0, 0};
    HFONT& Font = Fonts[Bold ? 1 : 0];
    if (Font == 0) {
        LOGFONT Log;
        Log.lfHeight = -11;
        Log.lfWeight = Bold ? FW_BOLD : FW_NORMAL;
        std::strncpy(Log.lfFaceName, "MS Sans Serif", LF_FACESIZE - 1);
        Font = CreateFontIndirect(Log);
    }
    return Font;
}

// The label and the accelerator text after a tab.
std::pair<std::string, std::string> Split(const std::string& Text) {
    const size_t Tab = Text.find('\t');
    if (Tab == std::string::npos) return {Text, {}};
    return {Text.substr(0, Tab), Text.substr(Tab + 1)};
}

int TextWidth(HDC DC, const std::string& Text) {
    if (Text.empty()) return 0;
    RECT R{0, 0, 0, 0};
    DrawText(DC, Text, &R, DT_SINGLELINE | DT_CALCRECT);
    return R.right - R.left;
}

struct TMeasureDC {
    HDC DC = CreateCompatibleDC(0);
    HGDIOBJ Old = SelectObject(DC, MenuFont(false));
    ~TMeasureDC() {
        SelectObject(DC, Old);
        DeleteDC(DC);
    }
};

int ItemHeight(HDC DC) {
    TEXTMETRIC M;
    GetTextMetrics(DC, &M);
    return std::max(int(M.tmHeight) + 4, GetSystemMetrics(SM_CYMENUCHECK) + 4);
}

// A glyph of the frame controls (black on white) in the given colours.
void Glyph(HDC DC, const RECT& Where, UINT Kind, COLORREF Ink, COLORREF Paper) {
    const int W = Where.right - Where.left, H = Where.bottom - Where.top;
    const HDC Mem = CreateCompatibleDC(DC);
    const HBITMAP Mono = CreateBitmap(W, H, 1, 1, nullptr);
    const HGDIOBJ Old = SelectObject(Mem, Mono);
    RECT G{0, 0, W, H};
    DrawFrameControl(Mem, &G, DFC_MENU, Kind);
    const COLORREF OldText = SetTextColor(DC, Ink), OldBk = SetBkColor(DC, Paper);
    BitBlt(DC, Where.left, Where.top, W, H, Mem, 0, 0, SRCCOPY);
    SetTextColor(DC, OldText);
    SetBkColor(DC, OldBk);
    SelectObject(Mem, Old);
    DeleteObject(Mono);
    DeleteDC(Mem);
}

void Label(HDC DC, const std::string& Text, RECT R, UINT Align, bool Disabled, bool Selected,
           COLORREF Color) {
    if (Disabled && !Selected) {
        // Disabled items are engraved: a light copy one pixel down and right under a grey one.
        RECT Light = R;
        OffsetRect(&Light, 1, 1);
        SetTextColor(DC, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawText(DC, Text, &Light, kTextFormat | Align);
        SetTextColor(DC, GetSysColor(COLOR_BTNSHADOW));
    } else {
        SetTextColor(DC, Disabled ? GetSysColor(COLOR_GRAYTEXT) : Color);
    }
    DrawText(DC, Text, &R, kTextFormat | Align);
}

}  // namespace

char MnemonicOf(const std::string& Text) {
    return MnemonicKey(Text);
}

TLayout LayoutOf(const TMenu& Menu) {
    TMeasureDC M;
    const int Height = ItemHeight(M.DC);
    int Labels = 0, Accels = 0;
    for (const TItem& I : Menu.Items) {
        if (I.Separator()) continue;
        SelectObject(M.DC, MenuFont(I.Flags & MF_DEFAULT));
        const auto [Label, Accel] = Split(I.Text);
        Labels = std::max(Labels, TextWidth(M.DC, Label));
        Accels = std::max(Accels, TextWidth(M.DC, Accel));
    }
    const int Inner = kCheckColumn + Labels + (Accels ? kAccelGap + Accels : 0) + kArrowColumn;
    TLayout L;
    int Y = kFrame;
    for (const TItem& I : Menu.Items) {
        const int H = I.Separator() ? kSeparatorHeight : Height;
        L.Items.push_back(RECT{kFrame, Y, kFrame + Inner, Y + H});
        Y += H;
    }
    L.Size = SIZE{Inner + 2 * kFrame, Y + kFrame};
    return L;
}

void PaintMenu(HDC DC, const TMenu& Menu, const TLayout& Layout, int Selected) {
    RECT All{0, 0, Layout.Size.cx, Layout.Size.cy};
    FillRect(DC, &All, GetSysColorBrush(COLOR_MENU));
    DrawEdge(DC, &All, EDGE_RAISED, BF_RECT);
    SetBkMode(DC, TRANSPARENT);
    const HGDIOBJ OldFont = SelectObject(DC, MenuFont(false));
    for (size_t Index = 0; Index < Menu.Items.size() && Index < Layout.Items.size(); ++Index) {
        const TItem& I = Menu.Items[Index];
        RECT R = Layout.Items[Index];
        if (I.Separator()) {
            RECT Line{R.left, (R.top + R.bottom) / 2 - 1, R.right, (R.top + R.bottom) / 2 + 1};
            DrawEdge(DC, &Line, EDGE_ETCHED, BF_TOP);
            continue;
        }
        const bool Sel = int(Index) == Selected;
        const COLORREF Paper = GetSysColor(Sel ? COLOR_HIGHLIGHT : COLOR_MENU);
        const COLORREF Ink = GetSysColor(Sel ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
        FillRect(DC, &R, GetSysColorBrush(Sel ? COLOR_HIGHLIGHT : COLOR_MENU));
        SelectObject(DC, MenuFont(I.Flags & MF_DEFAULT));
        const auto [Text, Accel] = Split(I.Text);
        RECT TextRect{R.left + kCheckColumn, R.top, R.right - kArrowColumn, R.bottom};
        Label(DC, Text, TextRect, DT_LEFT, I.Disabled(), Sel, Ink);
        if (!Accel.empty()) Label(DC, Accel, TextRect, DT_RIGHT, I.Disabled(), Sel, Ink);
        const COLORREF GlyphInk = I.Disabled() ? GetSysColor(COLOR_GRAYTEXT) : Ink;
        const int Side = GetSystemMetrics(SM_CXMENUCHECK);
        const int Top = (R.top + R.bottom - Side) / 2;
        if (I.Flags & MF_CHECKED)
            Glyph(DC, RECT{R.left + 2, Top, R.left + 2 + Side, Top + Side},
                  (I.Flags & MFT_RADIOCHECK) ? DFCS_MENUBULLET : DFCS_MENUCHECK, GlyphInk, Paper);
        if (I.Flags & MF_POPUP)
            Glyph(DC, RECT{R.right - Side - 2, Top, R.right - 2, Top + Side}, DFCS_MENUARROW,
                  GlyphInk, Paper);
    }
    SelectObject(DC, OldFont);
}

}  // namespace MenuImpl
