#include "bars/look/dxBarCursors.h"

#include <QImage>
#include <array>

#include "bars/model/dxBarTypes.h"
#include "platform/core/Input.h"
#include "platform/gdi/Gdi.h"
#include "platform/widgets/Forms.h"

namespace {

// The cursors of item dragging, drawn row by row on 16 x 16: 'X' black, '.' white, the rest
// transparent; the hot spot is the top-left corner (the middle for the sizing cursor).
struct TCursorPicture {
    int Number;
    const char* Name;
    POINT HotSpot;
    std::array<const char*, 16> Rows;
};

const TCursorPicture kCursors[] = {
    {crdxBarDrag,
     "DXBARDRAGCURSOR",
     {0, 0},
     {"X               ", "X.X             ", "X..X            ", "X...X           ",
      "X....X          ", "X.....X         ", "X......X        ", "X....XXXX       ",
      "X.X..X          ", "XX X..X         ", "    X..X        ", "     XX  XXXXXX ",
      "         X....X ", "         X....X ", "         XXXXXX ", "                "}},
    {crdxBarDragCopy,
     "DXBARDRAGCOPYCURSOR",
     {0, 0},
     {"X               ", "X.X             ", "X..X            ", "X...X           ",
      "X....X          ", "X.....X         ", "X......X        ", "X....XXXX       ",
      "X.X..X          ", "XX X..X   XX    ", "    X..X  XX    ", "     XX XXXXXX  ",
      "        XXXXXX  ", "          XX    ", "          XX    ", "                "}},
    {crdxBarDragNoDrop,
     "DXBARDRAGNODROPCURSOR",
     {7, 7},
     {"      XXXX      ", "    XX....XX    ", "  XX........XX  ", "  X...XXXX...X  ",
      " X....X   XX..X ", " X.....X   X..X ", "X..XX...X   X..X", "X..X X...X  X..X",
      "X..X  X...X X..X", "X..X   X...XX..X", " X..X   X.....X ", " X..XX   X....X ",
      "  X...XXXX...X  ", "  XX........XX  ", "    XX....XX    ", "      XXXX      "}},
    {crdxBarEditSizing,
     "DXBAREDITSIZINGCURSOR",
     {7, 7},
     {"                ", "                ", "      X  X      ", "      X  X      ",
      "   X  X  X  X   ", "  XX  X  X  XX  ", " X.XXXX  XXXX.X ", "X..............X",
      " X.XXXX  XXXX.X ", "  XX  X  X  XX  ", "   X  X  X  X   ", "      X  X      ",
      "      X  X      ", "                ", "                ", "                "}},
};

HCURSOR MakeCursor(const TCursorPicture& Picture) {
    QImage Color(16, 16, QImage::Format_RGB32), Mask(16, 16, QImage::Format_RGB32);
    for (int Y = 0; Y < 16; ++Y)
        for (int X = 0; X < 16; ++X) {
            const char C = Picture.Rows[size_t(Y)][X];
            // The mask is white where the screen shows through (with a black colour there).
            Mask.setPixel(X, Y, C == 'X' || C == '.' ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
            Color.setPixel(X, Y, C == '.' ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        }
    ICONINFO Info;
    Info.fIcon = FALSE;
    Info.xHotspot = DWORD(Picture.HotSpot.x);
    Info.yHotspot = DWORD(Picture.HotSpot.y);
    Info.hbmMask = CreateBitmapFromImage(Mask, true);
    Info.hbmColor = CreateBitmapFromImage(Color);
    const HCURSOR Cursor = CreateIconIndirect(&Info);
    DeleteObject(Info.hbmMask);
    DeleteObject(Info.hbmColor);
    return Cursor;
}

void MakeAndRegister() {
    for (const TCursorPicture& Picture : kCursors) {
        const HCURSOR Cursor = MakeCursor(Picture);
        RegisterCursorResource(Picture.Name, Cursor);
        if (Screen) Screen->SetCursors(Picture.Number, Cursor);
    }
}

}  // namespace

void RegisterdxBarCursors() {
    static const bool Done = [] {
        MakeAndRegister();
        return true;
    }();
    (void)Done;
}

HCURSOR dxBarCursor(int Number) {
    RegisterdxBarCursors();
    for (const TCursorPicture& Picture : kCursors)
        if (Picture.Number == Number) return LoadCursor(0, Picture.Name);
    return LoadCursor(0, MAKEINTRESOURCE(IDC_ARROW));
}
