#include "platform/dialogs/DialogIcons.h"

#include <cstring>

#include "platform/gdi/Gdi.h"
#include "platform/shell/Dialogs.h"

namespace {

constexpr COLORREF kMaskColor = RGB(255, 0, 255);

// Selects a pen and a brush for the life of the object.
class TPenAndBrush {
  public:
    TPenAndBrush(HDC DC, COLORREF Pen, COLORREF Brush, int PenWidth = 1)
        : FDC(DC),
          FPen(CreatePen(PS_SOLID, PenWidth, Pen)),
          FBrush(CreateSolidBrush(Brush)),
          FOldPen(SelectObject(DC, FPen)),
          FOldBrush(SelectObject(DC, FBrush)) {}
    ~TPenAndBrush() {
        SelectObject(FDC, FOldPen);
        SelectObject(FDC, FOldBrush);
        DeleteObject(FPen);
        DeleteObject(FBrush);
    }
    TPenAndBrush(const TPenAndBrush&) = delete;
    TPenAndBrush& operator=(const TPenAndBrush&) = delete;

  private:
    HDC FDC;
    HPEN FPen;
    HBRUSH FBrush;
    HGDIOBJ FOldPen;
    HGDIOBJ FOldBrush;
};

void Line(HDC DC, int X1, int Y1, int X2, int Y2) {
    MoveToEx(DC, X1, Y1, nullptr);
    LineTo(DC, X2, Y2);
}

// A bold glyph in the middle of R.
void Glyph(HDC DC, const char* Text, RECT R, COLORREF Color, const char* Face, int Height) {
    LOGFONT Log;
    Log.lfHeight = -Height;
    Log.lfWeight = FW_BOLD;
    std::strncpy(Log.lfFaceName, Face, LF_FACESIZE - 1);
    const HFONT Font = CreateFontIndirect(Log);
    const HGDIOBJ Old = SelectObject(DC, Font);
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, Color);
    DrawText(DC, Text, &R, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(DC, Old);
    DeleteObject(Font);
}

// A white speech balloon with its tail at the lower left, as question and information boxes show.
void Balloon(HDC DC, int X, int Y) {
    TPenAndBrush Look(DC, RGB(0, 0, 0), RGB(255, 255, 255));
    const POINT Tail[] = {{X + 7, Y + 22}, {X + 5, Y + 31}, {X + 15, Y + 25}};
    Polygon(DC, Tail, 3);
    Ellipse(DC, X + 1, Y + 1, X + 31, Y + 27);
    // The tail's root inside the balloon stays white.
    TPenAndBrush Inner(DC, RGB(255, 255, 255), RGB(255, 255, 255));
    const POINT Root[] = {{X + 8, Y + 22}, {X + 7, Y + 28}, {X + 14, Y + 24}};
    Polygon(DC, Root, 3);
}

void Error(HDC DC, int X, int Y) {
    {
        TPenAndBrush Look(DC, RGB(128, 0, 0), RGB(255, 0, 0));
        Ellipse(DC, X + 1, Y + 1, X + 31, Y + 31);
    }
    TPenAndBrush Cross(DC, RGB(255, 255, 255), RGB(255, 255, 255), 3);
    Line(DC, X + 10, Y + 10, X + 21, Y + 21);
    Line(DC, X + 21, Y + 10, X + 10, Y + 21);
}

void Warning(HDC DC, int X, int Y) {
    {
        TPenAndBrush Look(DC, RGB(0, 0, 0), RGB(255, 255, 0));
        const POINT Triangle[] = {{X + 16, Y + 1}, {X + 31, Y + 29}, {X + 1, Y + 29}};
        Polygon(DC, Triangle, 3);
    }
    const HBRUSH Black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    const RECT Bar{X + 15, Y + 10, X + 18, Y + 21};
    const RECT Dot{X + 15, Y + 23, X + 18, Y + 26};
    FillRect(DC, &Bar, Black);
    FillRect(DC, &Dot, Black);
}

void Question(HDC DC, int X, int Y) {
    Balloon(DC, X, Y);
    Glyph(DC, "?", RECT{X + 1, Y + 1, X + 31, Y + 27}, RGB(0, 0, 255), "Times New Roman", 22);
}

void Information(HDC DC, int X, int Y) {
    Balloon(DC, X, Y);
    Glyph(DC, "i", RECT{X + 1, Y + 1, X + 31, Y + 27}, RGB(0, 0, 255), "Times New Roman", 22);
}

// ---- small icons ------------------------------------------------------------------------------

void ClosedFolder(HDC DC) {
    TPenAndBrush Look(DC, RGB(128, 128, 0), RGB(255, 255, 153));
    const POINT Body[] = {{1, 4}, {6, 4}, {7, 5}, {14, 5}, {14, 13}, {1, 13}};
    Polygon(DC, Body, 6);
}

void OpenFolder(HDC DC) {
    {
        TPenAndBrush Back(DC, RGB(128, 128, 0), RGB(224, 224, 128));
        const POINT Body[] = {{1, 4}, {6, 4}, {7, 5}, {13, 5}, {13, 13}, {1, 13}};
        Polygon(DC, Body, 6);
    }
    TPenAndBrush Front(DC, RGB(128, 128, 0), RGB(255, 255, 153));
    const POINT Flap[] = {{3, 8}, {15, 8}, {13, 13}, {1, 13}};
    Polygon(DC, Flap, 4);
}

void File(HDC DC) {
    TPenAndBrush Look(DC, RGB(128, 128, 128), RGB(255, 255, 255));
    const POINT Page[] = {{3, 1}, {10, 1}, {13, 4}, {13, 14}, {3, 14}};
    Polygon(DC, Page, 5);
    Line(DC, 10, 1, 10, 4);
    Line(DC, 10, 4, 13, 4);
}

void AddIcon(HIMAGELIST List, void (*Draw)(HDC DC)) {
    const HDC Screen = CreateCompatibleDC(0);
    const HBITMAP Bitmap = CreateBitmap(16, 16, 1, 32, nullptr);
    const HGDIOBJ Old = SelectObject(Screen, Bitmap);
    const HBRUSH Mask = CreateSolidBrush(kMaskColor);
    const RECT All{0, 0, 16, 16};
    FillRect(Screen, &All, Mask);
    DeleteObject(Mask);
    Draw(Screen);
    SelectObject(Screen, Old);
    ImageList_AddMasked(List, Bitmap, kMaskColor);
    DeleteObject(Bitmap);
    DeleteDC(Screen);
}

}  // namespace

TMessageIcon MessageIconOf(unsigned Flags) {
    switch (Flags & 0xF0) {
        case MB_ICONHAND:
            return TMessageIcon::Error;
        case MB_ICONQUESTION:
            return TMessageIcon::Question;
        case MB_ICONEXCLAMATION:
            return TMessageIcon::Warning;
        case MB_ICONASTERISK:
            return TMessageIcon::Information;
        default:
            return TMessageIcon::None;
    }
}

void DrawMessageIcon(HDC DC, int X, int Y, TMessageIcon Icon) {
    switch (Icon) {
        case TMessageIcon::Error:
            Error(DC, X, Y);
            break;
        case TMessageIcon::Question:
            Question(DC, X, Y);
            break;
        case TMessageIcon::Warning:
            Warning(DC, X, Y);
            break;
        case TMessageIcon::Information:
            Information(DC, X, Y);
            break;
        case TMessageIcon::None:
            break;
    }
}

HIMAGELIST FileIcons() {
    static const HIMAGELIST List = [] {
        const HIMAGELIST L = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 3, 0);
        AddIcon(L, ClosedFolder);
        AddIcon(L, OpenFolder);
        AddIcon(L, File);
        return L;
    }();
    return List;
}
