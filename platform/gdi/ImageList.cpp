// Image lists: equal-sized pictures with masks, drawn normally, transparently, as masks or
// blended with the selection colour.
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/Limits.h"

using namespace GdiInternal;

namespace {

struct TImageListObject : TObject {
    TImageListObject() : TObject(OBJ_IMAGELIST_INTERNAL) {}
    int Width = 16, Height = 16;
    UINT Flags = 0;
    COLORREF Bk = CLR_NONE;
    std::vector<QImage> Images;  // RGB32
    std::vector<QImage> Masks;   // RGB32, white where transparent
    bool Masked() const { return Flags & ILC_MASK; }
};

std::shared_ptr<TImageListObject> FindList(HIMAGELIST List) {
    return FindAs<TImageListObject>(List, OBJ_IMAGELIST_INTERNAL);
}

QImage Blank(int W, int H, uint32_t Fill) {
    QImage I(W, H, QImage::Format_RGB32);
    I.fill(Fill);
    return I;
}

// Cuts a picture into Width-wide images; returns the index of the first or -1.
int AddPieces(TImageListObject& L, const QImage& Image, const QImage* Mask) {
    if (Image.isNull() || Image.width() < L.Width) return -1;
    const int Count = Image.width() / L.Width;
    if (int64_t(L.Images.size()) + Count > GdiLimits::kMaxImageListCount) return -1;
    const int First = int(L.Images.size());
    for (int I = 0; I < Count; ++I) {
        QImage Piece = Blank(L.Width, L.Height, kBlack);
        QImage PieceMask = Blank(L.Width, L.Height, kBlack);
        for (int Y = 0; Y < L.Height && Y < Image.height(); ++Y)
            for (int X = 0; X < L.Width; ++X) {
                Piece.setPixel(X, Y, Image.pixel(I * L.Width + X, Y) | 0xFF000000u);
                if (Mask && I * L.Width + X < Mask->width() && Y < Mask->height())
                    PieceMask.setPixel(X, Y, Mask->pixel(I * L.Width + X, Y) | 0xFF000000u);
            }
        L.Images.push_back(Piece);
        L.Masks.push_back(PieceMask);
    }
    return First;
}

uint32_t Blend(uint32_t P, uint32_t With, int Percent) {
    auto Mix = [&](int Shift) {
        const int A = int((P >> Shift) & 0xFF), B = int((With >> Shift) & 0xFF);
        return uint32_t((A * (100 - Percent) + B * Percent) / 100) << Shift;
    };
    return 0xFF000000u | Mix(16) | Mix(8) | Mix(0);
}

}  // namespace

HIMAGELIST ImageList_Create(int Width, int Height, UINT Flags, int, int) {
    if (Width <= 0 || Height <= 0 || Width > GdiLimits::kMaxBitmapSide ||
        Height > GdiLimits::kMaxBitmapSide)
        return 0;
    auto L = std::make_shared<TImageListObject>();
    L->Width = Width;
    L->Height = Height;
    L->Flags = Flags;
    return Add(L);
}

BOOL ImageList_Destroy(HIMAGELIST List) {
    if (!FindList(List)) return FALSE;
    Remove(List);
    return TRUE;
}

int ImageList_Add(HIMAGELIST List, HBITMAP Image, HBITMAP Mask) {
    auto L = FindList(List);
    QImage* I = BitmapImage(Image);
    if (!L || !I) return -1;
    return AddPieces(*L, *I, L->Masked() ? BitmapImage(Mask) : nullptr);
}

int ImageList_AddMasked(HIMAGELIST List, HBITMAP Image, COLORREF MaskColor) {
    auto L = FindList(List);
    QImage* I = BitmapImage(Image);
    if (!L || !I) return -1;
    QImage Colour = I->copy();
    QImage Mask = Blank(I->width(), I->height(), kBlack);
    const uint32_t Key = ToPixel(MaskColor) & 0xFFFFFF;
    if (L->Masked()) {
        // Transparent pixels become black so that the image can be combined with XOR.
        for (int Y = 0; Y < I->height(); ++Y)
            for (int X = 0; X < I->width(); ++X)
                if ((I->pixel(X, Y) & 0xFFFFFF) == Key) {
                    Mask.setPixel(X, Y, kWhite);
                    Colour.setPixel(X, Y, kBlack);
                }
    }
    return AddPieces(*L, Colour, &Mask);
}

int ImageList_ReplaceIcon(HIMAGELIST List, int Index, HICON Icon) {
    auto L = FindList(List);
    auto I = FindAs<TIconObject>(Icon, OBJ_ICON_INTERNAL);
    if (!L || !I || Index < -1 || Index >= int(L->Images.size())) return -1;
    const QImage Colour = I->Color.scaled(L->Width, L->Height);
    const QImage Mask = I->Mask.scaled(L->Width, L->Height);
    if (Index == -1) {
        if (int64_t(L->Images.size()) >= GdiLimits::kMaxImageListCount) return -1;
        L->Images.push_back(Colour);
        L->Masks.push_back(Mask);
        return int(L->Images.size()) - 1;
    }
    L->Images[size_t(Index)] = Colour;
    L->Masks[size_t(Index)] = Mask;
    return Index;
}

int ImageList_AddIcon(HIMAGELIST List, HICON Icon) {
    return ImageList_ReplaceIcon(List, -1, Icon);
}

BOOL ImageList_Replace(HIMAGELIST List, int Index, HBITMAP Image, HBITMAP Mask) {
    auto L = FindList(List);
    QImage* I = BitmapImage(Image);
    if (!L || !I || Index < 0 || Index >= int(L->Images.size())) return FALSE;
    TImageListObject Temp;
    Temp.Width = L->Width;
    Temp.Height = L->Height;
    if (AddPieces(Temp, *I, L->Masked() ? BitmapImage(Mask) : nullptr) < 0) return FALSE;
    L->Images[size_t(Index)] = Temp.Images.front();
    L->Masks[size_t(Index)] = Temp.Masks.front();
    return TRUE;
}

BOOL ImageList_Remove(HIMAGELIST List, int Index) {
    auto L = FindList(List);
    if (!L || Index < -1 || Index >= int(L->Images.size())) return FALSE;
    if (Index == -1) {
        L->Images.clear();
        L->Masks.clear();
    } else {
        L->Images.erase(L->Images.begin() + Index);
        L->Masks.erase(L->Masks.begin() + Index);
    }
    return TRUE;
}

int ImageList_GetImageCount(HIMAGELIST List) {
    auto L = FindList(List);
    return L ? int(L->Images.size()) : 0;
}

BOOL ImageList_SetImageCount(HIMAGELIST List, UINT Count) {
    auto L = FindList(List);
    if (!L || Count > UINT(GdiLimits::kMaxImageListCount)) return FALSE;
    L->Images.resize(Count, Blank(L->Width, L->Height, kBlack));
    L->Masks.resize(Count, Blank(L->Width, L->Height, kBlack));
    return TRUE;
}

BOOL ImageList_GetIconSize(HIMAGELIST List, int* Width, int* Height) {
    auto L = FindList(List);
    if (!L || !Width || !Height) return FALSE;
    *Width = L->Width;
    *Height = L->Height;
    return TRUE;
}

BOOL ImageList_SetIconSize(HIMAGELIST List, int Width, int Height) {
    auto L = FindList(List);
    if (!L || Width <= 0 || Height <= 0) return FALSE;
    L->Width = Width;
    L->Height = Height;
    L->Images.clear();
    L->Masks.clear();
    return TRUE;
}

COLORREF ImageList_SetBkColor(HIMAGELIST List, COLORREF Color) {
    auto L = FindList(List);
    if (!L) return CLR_NONE;
    std::swap(L->Bk, Color);
    return Color;
}

COLORREF ImageList_GetBkColor(HIMAGELIST List) {
    auto L = FindList(List);
    return L ? L->Bk : CLR_NONE;
}

BOOL ImageList_DrawEx(HIMAGELIST List, int Index, HDC DC, int X, int Y, int Width, int Height,
                      COLORREF Background, COLORREF Foreground, UINT Style) {
    auto L = FindList(List);
    auto D = FindDC(DC);
    if (!L || !D || Index < 0 || Index >= int(L->Images.size()) || !D->Target()) return FALSE;
    const QImage& Image = L->Images[size_t(Index)];
    const QImage& Mask = L->Masks[size_t(Index)];
    const int W = Width > 0 ? std::min(Width, L->Width) : L->Width;
    const int H = Height > 0 ? std::min(Height, L->Height) : L->Height;
    const COLORREF Bk = Background == CLR_DEFAULT ? L->Bk : Background;
    const bool Transparent = (Style & ILD_TRANSPARENT) || Bk == CLR_NONE;
    const bool UseMask = L->Masked() && !(Style & ILD_IMAGE);
    int Percent = (Style & ILD_BLEND50) ? 50 : (Style & ILD_BLEND25) ? 25 : 0;
    const COLORREF BlendColour =
        Foreground == CLR_DEFAULT ? GetSysColor(COLOR_HIGHLIGHT) : Foreground;
    if (Foreground == CLR_NONE) Percent = 0;
    QImage& Target = *D->Target();
    const QPoint O = D->ToImage(X, Y);
    const QRegion Clip = D->EffectiveClip().translated(D->DeviceToImage());
    for (const QRect& C : Clip.intersected(QRect(O, QSize(W, H)))) {
        for (int PY = C.top(); PY <= C.bottom(); ++PY) {
            auto* Row = reinterpret_cast<uint32_t*>(Target.scanLine(PY));
            for (int PX = C.left(); PX <= C.right(); ++PX) {
                const int IX = PX - O.x(), IY = PY - O.y();
                const bool Clear = UseMask && (Mask.pixel(IX, IY) & 0xFFFFFF) != 0;
                uint32_t V;
                if (Style & ILD_MASK) {
                    V = Clear ? kWhite : kBlack;
                } else if (Clear) {
                    if (Transparent) continue;
                    V = ToPixel(Bk);
                } else {
                    V = Image.pixel(IX, IY) | 0xFF000000u;
                    if (Percent) V = Blend(V, ToPixel(BlendColour), Percent);
                }
                Row[PX] = D->Mono() ? MonoPixel(FromPixel(V)) : V;
            }
        }
    }
    return TRUE;
}

BOOL ImageList_Draw(HIMAGELIST List, int Index, HDC DC, int X, int Y, UINT Style) {
    return ImageList_DrawEx(List, Index, DC, X, Y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, Style);
}

HICON ImageList_GetIcon(HIMAGELIST List, int Index, UINT) {
    auto L = FindList(List);
    if (!L || Index < 0 || Index >= int(L->Images.size())) return 0;
    auto I = std::make_shared<TIconObject>();
    I->Color = L->Images[size_t(Index)];
    I->Mask = L->Masks[size_t(Index)];
    return Add(I);
}

HIMAGELIST ImageList_Duplicate(HIMAGELIST List) {
    auto L = FindList(List);
    if (!L) return 0;
    return Add(std::make_shared<TImageListObject>(*L));
}
