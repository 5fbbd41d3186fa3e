#include "bars/look/dxBarSystem.h"

#include <array>
#include <cstring>

#include "platform/core/CaptionFont.h"
#include "platform/widgets/Forms.h"

namespace {

constexpr int kColorCount = COLOR_MENUBAR + 1;

struct TColors {
    std::array<COLORREF, kColorCount> Values{};
    std::array<HBRUSH, kColorCount> Brushes{};
    bool Read = false;
};

TColors& Colors() {
    static TColors* C = new TColors;
    if (!C->Read) {
        C->Read = true;
        for (int I = 0; I < kColorCount; ++I) C->Values[size_t(I)] = GetSysColor(I);
    }
    return *C;
}

void DropBrush(TColors& C, int Index) {
    HBRUSH& B = C.Brushes[size_t(Index)];
    if (B) DeleteObject(B);
    B = 0;
}

// The screen object knows the system's fonts once the class library runs; before that (a window
// that is not shown yet) the classic ones stand in.
LOGFONT FontOf(TFont* (TScreen::*Which)()) {
    if (Screen) return (Screen->*Which)()->LogFont();
    LOGFONT Log;
    Log.lfHeight = -11;
    std::strncpy(Log.lfFaceName, "Tahoma", LF_FACESIZE - 1);
    return Log;
}

}  // namespace

COLORREF dxBarSysColor(int Index) {
    if (Index < 0 || Index >= kColorCount) return 0;
    return Colors().Values[size_t(Index)];
}

HBRUSH dxBarSysBrush(int Index) {
    if (Index < 0 || Index >= kColorCount) return 0;
    TColors& C = Colors();
    HBRUSH& B = C.Brushes[size_t(Index)];
    if (!B) B = CreateSolidBrush(C.Values[size_t(Index)]);
    return B;
}

void dxBarRefreshSysColors() {
    for (int I = 0; I < kColorCount; ++I) dxBarSetSysColor(I, GetSysColor(I));
}

void dxBarSetSysColor(int Index, COLORREF Color) {
    if (Index < 0 || Index >= kColorCount) return;
    TColors& C = Colors();
    if (C.Values[size_t(Index)] == Color) return;
    C.Values[size_t(Index)] = Color;
    DropBrush(C, Index);
}

LOGFONT dxBarMenuLogFont() {
    return FontOf(&TScreen::MenuFont);
}

LOGFONT dxBarIconTitleLogFont() {
    return FontOf(&TScreen::IconFont);
}

LOGFONT dxBarStatusLogFont() {
    return FontOf(&TScreen::HintFont);
}

LOGFONT dxBarSmallCaptionLogFont() {
    return CaptionLogFont(true);
}

void CreateBarFont(const TFont& Font, HFONT& Handle, bool UseSystemFont) {
    if (Handle) DeleteObject(Handle);
    LOGFONT Log = Font.LogFont();
    if (UseSystemFont) {
        Log.lfHeight = dxBarIconTitleLogFont().lfHeight;
        if (Log.lfHeight > -11) Log.lfHeight = -11;
    }
    Handle = CreateFontIndirect(Log);
}
