#pragma once
// The small types of the HTML viewer's node model: the enumerations its attributes read into,
// colours and rectangles. Fonts and colours are kept as data, so nothing here needs a canvas.
#include <cstdint>

#include "htmlview/html/IpHtmlTagTable.h"

// A colour as a 32-bit blue-green-red value ($FF0000 is blue); kHtmlNoColor means "not given".
using TIpHtmlColor = uint32_t;
inline constexpr TIpHtmlColor kHtmlNoColor = 0xFFFFFFFF;

// A rectangle in page coordinates; right and bottom are exclusive, all zero means "not shown".
struct TIpHtmlRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    bool operator==(const TIpHtmlRect&) const = default;
};

// Font styles of a font record, as a set of bits.
enum class TIpHtmlFontStyle : uint8_t { Bold = 1, Italic = 2, Underline = 4, StrikeOut = 8 };
using TIpHtmlFontStyleSet = uint8_t;
inline TIpHtmlFontStyleSet operator|(TIpHtmlFontStyleSet Set, TIpHtmlFontStyle Style) {
    return TIpHtmlFontStyleSet(Set | uint8_t(Style));
}

enum class TIpHtmlAlign : uint8_t { haDefault, haLeft, haCenter, haRight, haJustify, haChar };
enum class TIpHtmlVAlign : uint8_t { hvaTop, hvaMiddle, hvaBottom };
enum class TIpHtmlVAlign3 : uint8_t { hva3Top, hva3Middle, hva3Bottom, hva3Baseline, hva3Default };
enum class TIpHtmlVAlignment2 : uint8_t { hva2Top, hva2Bottom, hva2Left, hva2Right };
enum class TIpHtmlImageAlign : uint8_t {
    hiaTop,
    hiaMiddle,
    hiaBottom,
    hiaLeft,
    hiaRight,
    hiaCenter
};
enum class TIpHtmlOLStyle : uint8_t {
    olArabic,
    olLowerAlpha,
    olUpperAlpha,
    olLowerRoman,
    olUpperRoman
};
enum class TIpHtmlULType : uint8_t { ulDisc, ulSquare, ulCircle };
enum class TIpHtmlInputType : uint8_t {
    hitText,
    hitPassword,
    hitCheckbox,
    hitRadio,
    hitSubmit,
    hitReset,
    hitFile,
    hitHidden,
    hitImage,
    hitButton
};
enum class TIpHtmlButtonType : uint8_t { hbtSubmit, hbtReset, hbtButton };
enum class TIpHtmlObjectValueType : uint8_t { hovtData, hovtRef, hovtObject };
enum class TIpHtmlMapShape : uint8_t { hmsDefault, hmsRect, hmsCircle, hmsPoly };
enum class TIpHtmlFormMethod : uint8_t { hfmGet, hfmPost };
enum class TIpHtmlBreakClear : uint8_t { hbcNone, hbcLeft, hbcRight, hbcAll };
enum class TIpHtmlDirection : uint8_t { hdLTR, hdRTL };
enum class TIpHtmlFrameProp : uint8_t {
    hfVoid,
    hfAbove,
    hfBelow,
    hfHSides,
    hfLhs,
    hfRhs,
    hfvSides,
    hfBox,
    hfBorder
};
enum class TIpHtmlRules : uint8_t { hrNone, hrGroups, hrRows, hrCols, hrAll };
enum class TIpHtmlFrameScrolling : uint8_t { hfsAuto, hfsYes, hfsNo };
// The style of a TT, I, B, U, STRIKE, S, BIG, SMALL, SUB or SUP element (hfsTT to hfsSUP).
#define IP_HTML_FONT_STYLE(Name, Text) hfs##Name,
enum class TIpHtmlFontStyles : uint8_t { IP_HTML_FONT_STYLE_TAGS(IP_HTML_FONT_STYLE) };
#undef IP_HTML_FONT_STYLE
// The style of an EM, STRONG, DFN, CODE, SAMP, KBD, VAR, CITE, ABBR or ACRONYM element (hpsEM to
// hpsACRONYM).
#define IP_HTML_PHRASE_STYLE(Name, Text) hps##Name,
enum class TIpHtmlPhraseStyle : uint8_t { IP_HTML_PHRASE_TAGS(IP_HTML_PHRASE_STYLE) };
#undef IP_HTML_PHRASE_STYLE
// 1 to 6, from H1 to H6.
using TIpHtmlHeaderSize = int32_t;
