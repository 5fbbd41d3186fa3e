#include "app/ui/CommandPictures.h"

#include <array>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Graphics.h"
#include "platform/widgets/GlyphArt.h"

namespace {

using TArt = std::array<const char*, 16>;

// ' ' is the mask colour: the classic 16-colour palette, with black outlines.
constexpr TArtColor kColors[] = {
    {' ', clFuchsia}, {'k', clBlack},  {'w', clWhite}, {'s', clSilver}, {'g', clGray},
    {'y', clYellow},  {'o', clOlive},  {'b', clNavy},  {'B', clBlue},   {'G', clGreen},
    {'L', clLime},    {'r', clMaroon}, {'R', clRed},   {'c', clTeal},   {'C', clAqua},
};

constexpr TArt kNew = {{
    "                ",
    "   kkkkkkkk     ",
    "   kwwwwwwkk    ",
    "   kwwwwwwkwk   ",
    "   kwwwwwwkwwk  ",
    "   kwwwwwwkkkkk ",
    "   kwwwwwwwwwsk ",
    "   kwwwwwwwwwsk ",
    "   kwwwwwwwwwsk ",
    "   kwwwwwwwwwsk ",
    "   kwwwwwwwwwsk ",
    "   kwwwwwwwwwsk ",
    "   kwwwwwwwwwsk ",
    "   kssssssssssk ",
    "   kkkkkkkkkkkk ",
    "                ",
}};
constexpr TArt kOpen = {{
    "                ",
    "                ",
    "  kkkkk         ",
    " kyyyyyk        ",
    " kyoooookkkkkk  ",
    " kyooooooooook  ",
    " kyookkkkkkkkkkk",
    " kyokyyyyyyyyyk ",
    " kykyyyyyyyyyk  ",
    " kykyyyyyyyyyk  ",
    " kkyyyyyyyyyk   ",
    " kkyyyyyyyyyk   ",
    " kkkkkkkkkkkk   ",
    "                ",
    "                ",
    "                ",
}};
constexpr TArt kConfigure = {{
    "                ",
    " kkkkkkkkkkkkkk ",
    " kbbbbbbbbbwbwk ",
    " kkkkkkkkkkkkkk ",
    " kwwwwwwwwwwwsk ",
    " kwkkkwggggggsk ",
    " kwkwkwwwwwwwsk ",
    " kwkkkwggggggsk ",
    " kwwwwwwwwwwwsk ",
    " kwkkkwggggwwsk ",
    " kwkwkwwwwwwwsk ",
    " kwkkkwgggggwsk ",
    " kwwwwwwwwwwwsk ",
    " kssssssssssssk ",
    " kkkkkkkkkkkkkk ",
    "                ",
}};
constexpr TArt kOrderNews = {{
    "                ",
    " kkkkkkkkkkkkk  ",
    " kwwwwwwwwwwwkk ",
    " kwkkkkkkkkkwksk",
    " kwwwwwwwwwwwksk",
    " kwbbbbwgggwwksk",
    " kwbbbbwwwwwwksk",
    " kwbbbbwgggwwksk",
    " kwwwwwwwwwwwksk",
    " kwgggwwgggwwksk",
    " kwwwwwwwwwGwksk",
    " kwgggwwggGGGksk",
    " kwwwwwwwwwGwksk",
    " kkkkkkkkkkkkksk",
    "  ssssssssssssss",
    "                ",
}};
constexpr TArt kSave = {{
    "                ",
    " kkkkkkkkkkkkkk ",
    " kbkwwwwwwwwkbk ",
    " kbkwwwwwwwwkbk ",
    " kbkwggggggwkbk ",
    " kbkwwwwwwwwkbk ",
    " kbkwggggggwkbk ",
    " kbkwwwwwwwwkbk ",
    " kbbkkkkkkkkbbk ",
    " kbbbbbbbbbbbbk ",
    " kbbkkkkkkkkbbk ",
    " kbbksskkbbkbbk ",
    " kbbksskkbbkbbk ",
    " kbbksskkbbkbbk ",
    "  kkkkkkkkkkkkk ",
    "                ",
}};
constexpr TArt kStart = {{
    "                ",
    "    kk          ",
    "    kLk         ",
    "    kLGk        ",
    "    kLGGk       ",
    "    kLGGGk      ",
    "    kLGGGGk     ",
    "    kLGGGGGk    ",
    "    kLGGGGGGk   ",
    "    kLGGGGGk    ",
    "    kLGGGGk     ",
    "    kLGGGk      ",
    "    kLGGk       ",
    "    kLGk        ",
    "    kkk         ",
    "                ",
}};
constexpr TArt kMultiStart = {{
    "                ",
    " kk    kk       ",
    " kLk   kLk      ",
    " kLGk  kLGk     ",
    " kLGGk kLGGk    ",
    " kLGGGkkLGGGk   ",
    " kLGGGGkLGGGGk  ",
    " kLGGGGGkLGGGGk ",
    " kLGGGGGGkLGGGGk",
    " kLGGGGGkLGGGGk ",
    " kLGGGGkLGGGGk  ",
    " kLGGGkkLGGGk   ",
    " kLGGk kLGGk    ",
    " kLGk  kLGk     ",
    " kkk   kkk      ",
    "                ",
}};
constexpr TArt kTelnet = {{
    "                ",
    " kkkkkkkkkkkkkk ",
    " kwsssssssssssk ",
    " kskkkkkkkkkkgk ",
    " kskLkkkkkkkkgk ",
    " kskkLkkkkkkkgk ",
    " kskLkkLLLkkkgk ",
    " kskkkkkkkkkkgk ",
    " kskkkkkkkkkkgk ",
    " ksggggggggggsk ",
    " kssssssssssLsk ",
    " kkkkkkkkkkkkkk ",
    "     kssssk     ",
    "   kkkkkkkkkk   ",
    "   kwsssssssk   ",
    "   kkkkkkkkkk   ",
}};
constexpr TArt kOptions = {{
    "                ",
    "   kkk          ",
    "   kBk          ",
    " ggkBkggggggggg ",
    " wwkBkwwwwwwwww ",
    "   kkk          ",
    "          kkk   ",
    "          kBk   ",
    " gggggggggkBkgg ",
    " wwwwwwwwwkBkww ",
    "          kkk   ",
    "      kkk       ",
    "      kBk       ",
    " ggggggkBkggggg ",
    " wwwwwwkBkwwwww ",
    "      kkk       ",
}};
constexpr TArt kWizard = {{
    "           y    ",
    "      y    y    ",
    "         yyyyy  ",
    "  y        y    ",
    "          kyk   ",
    "         kwk y  ",
    "        kwk     ",
    "       kwk      ",
    "      kkk       ",
    "     kkk        ",
    "    kkk         ",
    "   kkk          ",
    "  kkk           ",
    " kkk            ",
    " kk             ",
    "                ",
}};
constexpr TArt kExit = {{
    "                ",
    "  kkkkkkkkkk    ",
    "  kkrrrrrrrk    ",
    "  kkrrrrrrrk    ",
    "  kkrrrrrrrk kk ",
    "  kkrrrrrrrk kRk",
    "  kkrrrrrrykkkRk",
    "  kkrrrrrrrRRRRk",
    "  kkrrrrrrrkkkRk",
    "  kkrrrrrrrk kRk",
    "  kkrrrrrrrk kk ",
    "  kkrrrrrrrk    ",
    "  kkrrrrrrrk    ",
    "  kkkkkkkkkk    ",
    "                ",
    "                ",
}};
constexpr TArt kAbout = {{
    "                ",
    "     kkkkkk     ",
    "   kkBBBBBBkk   ",
    "  kBBBBwwBBBBk  ",
    "  kBBBBwwBBBBk  ",
    " kBBBBBBBBBBBBk ",
    " kBBBBwwwBBBBBk ",
    " kBBBBBwwBBBBBk ",
    " kBBBBBwwBBBBBk ",
    " kBBBBBwwBBBBBk ",
    "  kBBBBwwBBBBk  ",
    "  kBBBwwwwBBBk  ",
    "   kkBBBBBBkk   ",
    "     kkkkkk     ",
    "                ",
    "                ",
}};
// The program's own picture: a letter going out and news coming in.
constexpr TArt kProgram = {{
    "                ",
    " kkkkkkkkkkkkkk ",
    " kkwwwwwwwwwwkk ",
    " kwkwwwwwwwwkwk ",
    " kwwkwwwwwwkwwk ",
    " kwwwkkwwkkwwwk ",
    " kwwwkwkkwkwwwk ",
    " kwwkwwwwwwkwwk ",
    " kwkwwwwwwwwkwk ",
    " kkkkkkkkkkkkkk ",
    "         kk     ",
    " kkkkkkkkkRRk   ",
    " kRRRRRRRRRRRk  ",
    " kkkkkkkkkRRk   ",
    "   kGGk  kk     ",
    "  kGGGGGGGGGGGk ",
}};

// The commands' pictures in the order of the image list: each command's image index in the
// window's definition is its row here.
struct TCommandPicture {
    const char* Item;
    const TArt* Art;
};
constexpr TCommandPicture kCommandPictures[] = {
    {"Neu1", &kNew},
    {"LoadConfig", &kOpen},
    {"Editieren1", &kConfigure},
    {"BarButtonOrderNews", &kOrderNews},
    {"SaveConfig", &kSave},
    {"BarButtonStart", &kStart},
    {"BarButtonMultiStart", &kMultiStart},
    {"Telnet1", &kTelnet},
    {"ButtonOptionen", &kOptions},
    {"dxBarManagerxBarButton1", &kWizard},
    {"BarButtonExit", &kExit},
    {"ber1", &kAbout},
};

}  // namespace

void AddCommandPictures(TCustomImageList& List) {
    for (const TCommandPicture& Picture : kCommandPictures) {
        TBitmap Bitmap;
        Bitmap.SetImage(ArtImage(*Picture.Art, kColors));
        List.AddMasked(Bitmap, clFuchsia);
    }
}

std::vector<std::string> CommandPictureItems() {
    std::vector<std::string> Items;
    for (const TCommandPicture& Picture : kCommandPictures) Items.emplace_back(Picture.Item);
    return Items;
}

QImage ProgramPicture() {
    return ArtImage(kProgram, kColors);
}

HICON ProgramIcon(int Size) {
    const QImage Art = ProgramPicture().scaled(Size, Size);
    // The mask colour is see-through: white in the mask, black in the colour picture.
    QImage Color(Size, Size, QImage::Format_RGB32);
    QImage Mask(Size, Size, QImage::Format_RGB32);
    for (int Y = 0; Y < Size; ++Y)
        for (int X = 0; X < Size; ++X) {
            const bool Clear = (Art.pixel(X, Y) & 0xFFFFFF) == 0xFF00FF;
            Color.setPixel(X, Y, Clear ? qRgb(0, 0, 0) : Art.pixel(X, Y));
            Mask.setPixel(X, Y, Clear ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        }
    ICONINFO Info{};
    Info.fIcon = TRUE;
    Info.hbmColor = CreateBitmapFromImage(Color);
    Info.hbmMask = CreateBitmapFromImage(Mask, true);
    const HICON Icon = CreateIconIndirect(&Info);
    DeleteObject(Info.hbmColor);
    DeleteObject(Info.hbmMask);
    return Icon;
}
