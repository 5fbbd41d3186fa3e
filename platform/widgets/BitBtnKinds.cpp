#include "platform/widgets/BitBtnKinds.h"

#include <array>

#include "platform/widgets/GlyphArt.h"

namespace {

constexpr int kArtSize = 16;
using TArt = std::array<const char*, kArtSize>;

// The glyphs as pictures: one character per pixel; '.' is the transparent colour (olive, as
// the bottom-left pixel says).
constexpr TArtColor kArtColors[] = {
    {'.', clOlive}, {'k', clBlack},  {'w', clWhite},  {'g', clGreen},
    {'G', clLime},  {'r', clMaroon}, {'R', clRed},    {'b', clNavy},
    {'B', clBlue},  {'y', clYellow}, {'n', 0x004080}, {'o', clGray},
};

// OK
constexpr TArt kOKArt = {{
    "................",
    "................",
    "................",
    "............gg..",
    "...........gGg..",
    "..........gGg...",
    ".........gGGg...",
    "........gGGg....",
    "..gg...gGGg.....",
    "..gGg.gGGg......",
    "...gGgGGg.......",
    "....gGGg........",
    ".....gg.........",
    "................",
    "................",
    "................",
}};
// Cancel
constexpr TArt kCancelArt = {{
    "................",
    "................",
    "................",
    "...rr......rr...",
    "...rRr....rRr...",
    "....rRr..rRr....",
    ".....rRrrRr.....",
    "......rRRr......",
    "......rRRr......",
    ".....rRrrRr.....",
    "....rRr..rRr....",
    "...rRr....rRr...",
    "...rr......rr...",
    "................",
    "................",
    "................",
}};
// Help
constexpr TArt kHelpArt = {{
    "................",
    ".....bbbbbb.....",
    "....bBBBBBBb....",
    "...bBBb..bBBb...",
    "...bBb....bBb...",
    "..........bBb...",
    ".........bBBb...",
    "........bBBb....",
    ".......bBBb.....",
    ".......bBb......",
    ".......bBb......",
    "................",
    ".......bBb......",
    ".......bBb......",
    "................",
    "................",
}};
// No
constexpr TArt kNoArt = {{
    "................",
    ".....rrrrrr.....",
    "....rRRRRRRr....",
    "...rRRRRRRRRr...",
    "..rRRRRRRRRRRr..",
    "..rRRRRRRRRRRr..",
    ".rRRRRRRRRRRRRr.",
    ".rRRwwwwwwwwRRr.",
    ".rRRwwwwwwwwRRr.",
    "..rRRRRRRRRRRr..",
    "..rRRRRRRRRRRr..",
    "...rRRRRRRRRr...",
    "....rRRRRRRr....",
    ".....rrrrrr.....",
    "................",
    "................",
}};
// Close
constexpr TArt kCloseArt = {{
    "................",
    "....kkkkkkkk....",
    "....konnnnnk....",
    "....konnnnnk....",
    "....konnnnnk....",
    "....konnnnnk....",
    "....konnnnnk....",
    "....konnnykk....",
    "....konnnnnk....",
    "....konnnnnk....",
    "....konnnnnk....",
    "....konnnnnk....",
    "....konnnnnk....",
    "....kkkkkkkk....",
    "................",
    "................",
}};
// Abort
constexpr TArt kAbortArt = {{
    "................",
    ".....rrrrrr.....",
    "....rRRRRRRr....",
    "...rRRRRRRRRr...",
    "..rRRwwRRRwwRr..",
    "..rRRRwwRwwRRr..",
    ".rRRRRwwwwwRRRr.",
    ".rRRRRRwwwRRRRr.",
    ".rRRRRwwwwwRRRr.",
    "..rRRRwwRwwRRr..",
    "..rRRwwRRRwwRr..",
    "...rRRRRRRRRr...",
    "....rRRRRRRr....",
    ".....rrrrrr.....",
    "................",
    "................",
}};
// Retry
constexpr TArt kRetryArt = {{
    "................",
    ".....gggggg.....",
    "....gGGGGGGg.g..",
    "...gGGggggGGgGg.",
    "..gGgg....ggGGg.",
    "..gGg....gGGGGg.",
    ".gGg......ggggg.",
    ".gGg............",
    ".gGg............",
    ".gGg........gg..",
    "..gGg......gGg..",
    "..gGgg....ggGg..",
    "...gGGggggGGg...",
    "....gGGGGGGg....",
    ".....gggggg.....",
    "................",
}};
// Ignore
constexpr TArt kIgnoreArt = {{
    "................",
    "................",
    "................",
    "..bb...bb.......",
    "..bBb..bBb......",
    "...bBb..bBb.....",
    "....bBb..bBb....",
    ".....bBb..bBb...",
    "......bb...bb...",
    ".....bBb..bBb...",
    "....bBb..bBb....",
    "...bBb..bBb.....",
    "..bBb..bBb......",
    "..bb...bb.......",
    "................",
    "................",
}};
// All
constexpr TArt kAllArt = {{
    "................",
    "................",
    "................",
    "..............g.",
    ".............gG.",
    "........g...gGg.",
    ".......ggg.gGg..",
    "......gGgGgGg...",
    ".g...gGg.gGg....",
    ".gg.gGg...g.....",
    ".gGgGg..........",
    "..gGg...........",
    "...g............",
    "................",
    "................",
    "................",
}};

struct TKindRow {
    TBitBtnKindInfo Info;
    const TArt* Art;
};
using K = TBitBtnKind;
// Yes shares OK's check mark.
constexpr TKindRow kKinds[] = {
    {{K::bkCustom, "", mrNone, false, false}, nullptr},
    {{K::bkOK, "OK", mrOk, true, false}, &kOKArt},
    {{K::bkCancel, "Cancel", mrCancel, false, true}, &kCancelArt},
    {{K::bkHelp, "&Help", mrNone, false, false}, &kHelpArt},
    {{K::bkYes, "&Yes", mrYes, true, false}, &kOKArt},
    {{K::bkNo, "&No", mrNo, false, true}, &kNoArt},
    {{K::bkClose, "&Close", mrNone, false, false}, &kCloseArt},
    {{K::bkAbort, "Abort", mrAbort, false, false}, &kAbortArt},
    {{K::bkRetry, "&Retry", mrRetry, false, false}, &kRetryArt},
    {{K::bkIgnore, "&Ignore", mrIgnore, false, false}, &kIgnoreArt},
    {{K::bkAll, "&All", mrAll, false, false}, &kAllArt},
};

const TKindRow& RowOf(TBitBtnKind Kind) {
    for (const TKindRow& Row : kKinds)
        if (Row.Info.Kind == Kind) return Row;
    return kKinds[0];
}

}  // namespace

const TBitBtnKindInfo& BitBtnKindInfo(TBitBtnKind Kind) {
    return RowOf(Kind).Info;
}

void LoadBitBtnGlyph(TBitBtnKind Kind, TBitmap& Glyph) {
    const TArt* Art = RowOf(Kind).Art;
    if (!Art) {
        Glyph.SetSize(0, 0);
        return;
    }
    Glyph.SetImage(ArtImage(*Art, kArtColors));
}
