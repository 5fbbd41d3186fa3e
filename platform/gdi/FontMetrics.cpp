#include "platform/gdi/FontMetrics.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <algorithm>
#include <cstdint>

namespace GdiInternal {

namespace {

// The faces that draw the program's text, in font units of their 2048-unit em: the vertical
// metrics are theirs, so heights, line spacing and everything laid out by them come out as with
// the font system; widths are the face's average advance per character.
struct TFixedFace {
    const char* Family;
    int Ascent;
    int Descent;
    int Leading;
    int AverageWidth;
    int BoldAverageWidth;
    int MaxWidth;
    int BoldMaxWidth;
};

constexpr TFixedFace kFixedFaces[] = {
    {"DejaVu Sans", 1901, 483, 0, 1038, 1173, 3836, 4096},
    {"DejaVu Sans Mono", 1901, 483, 0, 1233, 1233, 1233, 1233},
    {"Liberation Mono", 1705, 615, 0, 1229, 1229, 1229, 1229},
    {"Liberation Serif", 1825, 443, 87, 1163, 1217, 2155, 2306},
    {"Liberation Sans", 1854, 434, 67, 1208, 1255, 2240, 2283},
};
// Other faces are drawn by the font system's default face, or its monospaced one.
constexpr const TFixedFace& kDefaultFace = kFixedFaces[0];
constexpr const TFixedFace& kDefaultTypewriterFace = kFixedFaces[1];

const TFixedFace& FixedFaceOf(const QFont& Font) {
    for (const TFixedFace& Face : kFixedFaces)
        if (Font.family().compare(QLatin1String(Face.Family), Qt::CaseInsensitive) == 0)
            return Face;
    return Font.styleHint() == QFont::TypeWriter ? kDefaultTypewriterFace : kDefaultFace;
}

// Font units at a pixel size rounded as the font system rounds them: to 1/64 pixel, then to
// whole pixels.
int ToPixels(int Pixels, int Units) {
    const int64_t Sixtyfourths = (int64_t(Units) * Pixels * 2048 + 0x8000) >> 16;
    return int((Sixtyfourths + 32) >> 6);
}

}  // namespace

bool HasFontSystem() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

bool FixedPitch(const QFont& Font) {
    if (HasFontSystem()) return QFontInfo(Font).fixedPitch();
    const TFixedFace& Face = FixedFaceOf(Font);
    return Face.AverageWidth == Face.MaxWidth;
}

TFontMetrics::TFontMetrics(const QFont& Font, bool FontSystem) {
    if (FontSystem) {
        FQt.emplace(Font);
        return;
    }
    const TFixedFace& Face = FixedFaceOf(Font);
    const int Pixels = Font.pixelSize() > 0 ? Font.pixelSize() : (Font.pointSize() * 4 + 2) / 3;
    const bool Bold = Font.weight() >= QFont::DemiBold;
    const int Stretch = Font.stretch() > 0 ? Font.stretch() : 100;
    FAscent = ToPixels(Pixels, Face.Ascent);
    FDescent = ToPixels(Pixels, Face.Descent);
    FLeading = ToPixels(Pixels, Face.Leading);
    FAverageWidth = std::max(
        1, ToPixels(Pixels, Bold ? Face.BoldAverageWidth : Face.AverageWidth) * Stretch / 100);
    FMaxWidth =
        std::max(1, ToPixels(Pixels, Bold ? Face.BoldMaxWidth : Face.MaxWidth) * Stretch / 100);
}

int TFontMetrics::height() const {
    return FQt ? FQt->height() : FAscent + FDescent;
}

int TFontMetrics::ascent() const {
    return FQt ? FQt->ascent() : FAscent;
}

int TFontMetrics::descent() const {
    return FQt ? FQt->descent() : FDescent;
}

int TFontMetrics::leading() const {
    return FQt ? FQt->leading() : FLeading;
}

int TFontMetrics::averageCharWidth() const {
    return FQt ? FQt->averageCharWidth() : FAverageWidth;
}

int TFontMetrics::maxWidth() const {
    return FQt ? FQt->maxWidth() : FMaxWidth;
}

int TFontMetrics::underlinePos() const {
    return FQt ? FQt->underlinePos() : std::max(1, FDescent / 2);
}

int TFontMetrics::lineWidth() const {
    return FQt ? FQt->lineWidth() : std::max(1, (FAscent + FDescent) / 16);
}

int TFontMetrics::horizontalAdvance(const QString& Text) const {
    return FQt ? FQt->horizontalAdvance(Text) : FAverageWidth * int(Text.size());
}

int TFontMetrics::horizontalAdvance(QChar Char) const {
    return FQt ? FQt->horizontalAdvance(Char) : FAverageWidth;
}

}  // namespace GdiInternal
