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

// A selected group shows its sheet in yellow.
constexpr TArtColor kSelectedColors[] = {
    {' ', clFuchsia},
    {'k', clBlack},
    {'w', clYellow},
    {'b', clNavy},
};

void AddPicture(TCustomImageList& List, QImage Picture) {
    if (Picture.width() != List.Width() || Picture.height() != List.Height())
        Picture = Picture.scaled(List.Width(), List.Height());
    TBitmap Bitmap;
    Bitmap.SetImage(Picture);
    List.AddMasked(Bitmap, clFuchsia);
}

void AddArt(TCustomImageList& List, const TArt& Art) {
    AddPicture(List, ArtImage(Art, kColors));
}

// A picture of the mask colour alone.
void AddEmpty(TCustomImageList& List) {
    QImage Empty(List.Width(), List.Height(), QImage::Format_RGB32);
    Empty.fill(qRgb(255, 0, 255));
    AddPicture(List, Empty);
}

}  // namespace

void AddBoxPictures(TCustomImageList& List) {
    for (const TArt* Art : {&kClientBox, &kOtherBox}) AddArt(List, *Art);
}

void AddGroupTreePictures(TCustomImageList& List) {
    AddArt(List, kGroup);
    AddPicture(List, ArtImage(kGroup, kSelectedColors));
    AddArt(List, kFolder);
    AddArt(List, kFolderOpen);
}

void AddSubscriptionPictures(TCustomImageList& List) {
    AddEmpty(List);
    AddEmpty(List);
    AddArt(List, kCheck);
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
