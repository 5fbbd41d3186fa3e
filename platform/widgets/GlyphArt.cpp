#include "platform/widgets/GlyphArt.h"

#include <cstring>

namespace {

QRgb RgbOfCode(char Code, std::span<const TArtColor> Colors) {
    for (const TArtColor& C : Colors)
        if (C.Code == Code) {
            const COLORREF Ref = ColorToRGB(C.Color);
            return qRgb(GetRValue(Ref), GetGValue(Ref), GetBValue(Ref));
        }
    return qRgb(0, 0, 0);
}

}  // namespace

QImage ArtImage(std::span<const char* const> Rows, std::span<const TArtColor> Colors) {
    if (Rows.empty()) return QImage();
    const int Width = int(std::strlen(Rows.front()));
    QImage Image(Width, int(Rows.size()), QImage::Format_RGB32);
    for (size_t Y = 0; Y < Rows.size(); ++Y)
        for (int X = 0; X < Width; ++X) Image.setPixel(X, int(Y), RgbOfCode(Rows[Y][X], Colors));
    return Image;
}
