#include "app/ui/UiPictures.h"

#include <QImage>
#include <array>

#include "platform/gdi/Graphics.h"
#include "platform/widgets/GlyphArt.h"

namespace {

using TArt = std::array<const char*, 16>;

// ' ' is the mask colour.
constexpr TArtColor kColors[] = {
    {' ', clFuchsia}, {'k', clBlack},  {'w', clWhite}, {'y', clYellow}, {'o', clOlive},
    {'g', clGray},    {'s', clSilver}, {'b', clNavy},  {'B', clBlue},   {'G', clGreen},
};

constexpr TArt kClientBox = {{
    "                ",
    "  kkkkkkkkkkkk  ",
    "  kwwwwwwwwwwk  ",
    "  kwbbbbbbbbwk  ",
    "  kwbBBBBBBbwk  ",
    "  kwbBBBBBBbwk  ",
    "  kwbBBBBBBbwk  ",
    "  kwbbbbbbbbwk  ",
    "  kwwwwwwwwwwk  ",
    "  kkkkkkkkkkkk  ",
    "      kggk      ",
    "  kkkkkkkkkkkk  ",
    "  ksssssssssGk  ",
    "  kkkkkkkkkkkk  ",
    "                ",
    "                ",
}};
constexpr TArt kOtherBox = {{
    "                ",
    "  kkkkkkkkkkk   ",
    "  kwwwwwwwwwkk  ",
    "  kwwwwwwwwwkwk ",
    "  kwbbbbbbwwkkkk",
    "  kwwwwwwwwwwwwk",
    "  kwbbbbbbbbbwwk",
    "  kwwwwwwwwwwwwk",
    "  kwbbbbbbbbwwwk",
    "  kwwwwwwwwwwwwk",
    "  kwbbbbbbbwwwwk",
    "  kwwwwwwwwwwwwk",
    "  kwwwwwwwwwwwwk",
    "  kkkkkkkkkkkkkk",
    "                ",
    "                ",
}};
constexpr TArt kGroup = {{
    "                ",
    "                ",
    "   kkkkkkkkkk   ",
    "   kwwwwwwwwk   ",
    "   kwbbbbbbwk   ",
    "   kwwwwwwwwk   ",
    "   kwbbbbbwwk   ",
    "   kwwwwwwwwk   ",
    "   kwbbbbbbwk   ",
    "   kwwwwwwwwk   ",
    "   kwbbbbwwwk   ",
    "   kwwwwwwwwk   ",
    "   kkkkkkkkkk   ",
    "                ",
    "                ",
    "                ",
}};
constexpr TArt kGroupSelected = {{
    "                ",
    "                ",
    "   kkkkkkkkkk   ",
    "   kyyyyyyyyk   ",
    "   kybbbbbbyk   ",
    "   kyyyyyyyyk   ",
    "   kybbbbbyyk   ",
    "   kyyyyyyyyk   ",
    "   kybbbbbbyk   ",
    "   kyyyyyyyyk   ",
    "   kybbbbyyyk   ",
    "   kyyyyyyyyk   ",
    "   kkkkkkkkkk   ",
    "                ",
    "                ",
    "                ",
}};
constexpr TArt kFolder = {{
    "                ",
    "                ",
    "  kkkkk         ",
    " kyyyyyk        ",
    " kkkkkkkkkkkkk  ",
    " kyyyyyyyyyyyk  ",
    " kyyyyyyyyyyyk  ",
    " kyyyyyyyyyyyk  ",
    " kyyyyyyyyyyyk  ",
    " kyyyyyyyyyyyk  ",
    " kyyyyyyyyyyyk  ",
    " kyyyyyyyyyyyk  ",
    " kkkkkkkkkkkkk  ",
    "                ",
    "                ",
    "                ",
}};
constexpr TArt kFolderOpen = {{
    "                ",
    "                ",
    "  kkkkk         ",
    " kyyyyyk        ",
    " kyyyyykkkkkk   ",
    " kyyyyyyyyyyk   ",
    " kyykkkkkkkkkkk ",
    " kyykwwwwwwwwwk ",
    " kykwwwwwwwwwk  ",
    " kykwwwwwwwwwk  ",
    " kkwwwwwwwwwk   ",
    " kkwwwwwwwwwk   ",
    " kkkkkkkkkkk    ",
    "                ",
    "                ",
    "                ",
}};
constexpr TArt kEmpty = {{
    "                ",
    "                ",
    "                ",
    "                ",
    "                ",
    "                ",
    "                ",
    "                ",
    "                ",
    "                ",
    "                ",
    "                ",
    "                ",
    "                ",
    "                ",
    "                ",
}};
constexpr TArt kCheck = {{
    "                ",
    "                ",
    "            G   ",
    "           GG   ",
    "          GGG   ",
    "  G      GGG    ",
    "  GG    GGG     ",
    "  GGG  GGG      ",
    "   GGGGGG       ",
    "    GGGG        ",
    "     GG         ",
    "                ",
    "                ",
    "                ",
    "                ",
    "                ",
}};

void AddArt(TCustomImageList& List, const TArt& Art) {
    QImage Picture = ArtImage(Art, kColors);
    if (Picture.width() != List.Width() || Picture.height() != List.Height())
        Picture = Picture.scaled(List.Width(), List.Height());
    TBitmap Bitmap;
    Bitmap.SetImage(Picture);
    List.AddMasked(Bitmap, clFuchsia);
}

}  // namespace

void AddBoxPictures(TCustomImageList& List) {
    for (const TArt* Art : {&kClientBox, &kOtherBox}) AddArt(List, *Art);
}

void AddGroupTreePictures(TCustomImageList& List) {
    for (const TArt* Art : {&kGroup, &kGroupSelected, &kFolder, &kFolderOpen}) AddArt(List, *Art);
}

void AddSubscriptionPictures(TCustomImageList& List) {
    for (const TArt* Art : {&kEmpty, &kEmpty, &kCheck}) AddArt(List, *Art);
}

QImage WizardPicture(QRgb Background) {
    QImage Picture = ArtImage(kClientBox, kColors).convertToFormat(QImage::Format_RGB32);
    const QRgb Mask = qRgb(255, 0, 255);
    for (int Y = 0; Y < Picture.height(); ++Y)
        for (int X = 0; X < Picture.width(); ++X)
            if ((Picture.pixel(X, Y) & 0xFFFFFF) == (Mask & 0xFFFFFF))
                Picture.setPixel(X, Y, Background);
    return Picture.scaled(Picture.width() * 5, Picture.height() * 5);
}
