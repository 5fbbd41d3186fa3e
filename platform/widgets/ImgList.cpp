#include "platform/widgets/ImgList.h"

#include <array>
#include <cstring>

#include "platform/forms/Filer.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Limits.h"

namespace {

constexpr std::array<char, 4> kMagic{'K', 'I', 'L', '1'};
constexpr std::uint32_t kMasked = 1;

[[noreturn]] void Damaged(const std::string& What) {
    throw EInvalidGraphic("Image list data is damaged: " + What);
}

void WriteU32(TStream& Stream, std::uint32_t Value) {
    const unsigned char Bytes[4] = {
        static_cast<unsigned char>(Value), static_cast<unsigned char>(Value >> 8),
        static_cast<unsigned char>(Value >> 16), static_cast<unsigned char>(Value >> 24)};
    Stream.WriteBuffer(Bytes, 4);
}

std::uint32_t ReadU32(TStream& Stream) {
    unsigned char Bytes[4];
    if (Stream.Read(Bytes, 4) != 4) Damaged("it is cut short");
    return Bytes[0] | Bytes[1] << 8 | Bytes[2] << 16 | std::uint32_t(Bytes[3]) << 24;
}

// Pictures are checked as a whole before any is read: a list holds no more pixels than one
// bitmap may.
void CheckShape(std::uint32_t Width, std::uint32_t Height, std::uint32_t Count) {
    if (Width < 1 || Height < 1 || Width > GdiLimits::kMaxBitmapSide ||
        Height > GdiLimits::kMaxBitmapSide)
        Damaged("an image size of " + std::to_string(Width) + " x " + std::to_string(Height));
    if (Count > std::uint32_t(GdiLimits::kMaxImageListCount))
        Damaged(std::to_string(Count) + " images");
    if (std::uint64_t(Width) * Height * Count > std::uint64_t(GdiLimits::kMaxBitmapPixels))
        Damaged(std::to_string(Count) + " images of " + std::to_string(Width) + " x " +
                std::to_string(Height) + " are too many pixels");
}

void WriteBitmap(TStream& Stream, TBitmap& Bitmap) {
    TMemoryStream Data;
    Bitmap.SaveToStream(Data);
    WriteU32(Stream, std::uint32_t(Data.Size()));
    Data.SetPosition(0);
    Stream.CopyFrom(Data, Data.Size());
}

void ReadBitmap(TStream& Stream, TBitmap& Bitmap, int Width, int Height, const std::string& What) {
    const std::uint32_t Size = ReadU32(Stream);
    if (Size > Stream.Size() - Stream.Position()) Damaged(What + " is cut short");
    TMemoryStream Data;
    if (Size > 0) Data.CopyFrom(Stream, Size);
    Data.SetPosition(0);
    try {
        Bitmap.LoadFromStream(Data);
    } catch (const Exception& E) {
        Damaged(What + ": " + E.Message());
    }
    if (Bitmap.Width() != Width || Bitmap.Height() != Height)
        Damaged(What + " is " + std::to_string(Bitmap.Width()) + " x " +
                std::to_string(Bitmap.Height()) + ", not " + std::to_string(Width) + " x " +
                std::to_string(Height));
}

}  // namespace

void WriteImageListData(TCustomImageList& List, TStream& Stream) {
    const int Count = List.Count();
    const int W = List.Width(), H = List.Height();
    if (std::uint64_t(W) * std::uint64_t(H) * std::uint64_t(Count) >
        std::uint64_t(GdiLimits::kMaxBitmapPixels))
        throw EInvalidGraphicOperation("The image list is too large to be stored");
    Stream.WriteBuffer(kMagic.data(), kMagic.size());
    WriteU32(Stream, std::uint32_t(W));
    WriteU32(Stream, std::uint32_t(H));
    WriteU32(Stream, std::uint32_t(Count));
    WriteU32(Stream, List.Masked() ? kMasked : 0);
    for (int I = 0; I < Count; ++I) {
        // The picture as it is kept (also where the mask hides it), and the mask apart.
        TBitmap Image(W, H, pf24bit);
        ImageList_DrawEx(List.Handle(), I, Image.Canvas().Handle(), 0, 0, 0, 0, CLR_NONE, CLR_NONE,
                         ILD_IMAGE);
        WriteBitmap(Stream, Image);
        if (!List.Masked()) continue;
        TBitmap Mask(W, H, pf1bit);
        ImageList_DrawEx(List.Handle(), I, Mask.Canvas().Handle(), 0, 0, 0, 0, CLR_NONE, CLR_NONE,
                         ILD_MASK);
        WriteBitmap(Stream, Mask);
    }
}

void ReadImageListData(TCustomImageList& List, TStream& Stream) {
    std::array<char, 4> Magic{};
    if (Stream.Read(Magic.data(), 4) != 4) Damaged("it is cut short");
    if (Magic != kMagic) Damaged("it is not image list data");
    const std::uint32_t W = ReadU32(Stream), H = ReadU32(Stream);
    const std::uint32_t Count = ReadU32(Stream), Flags = ReadU32(Stream);
    CheckShape(W, H, Count);
    if (Flags & ~kMasked) Damaged("unknown flags " + std::to_string(Flags));
    const bool Masked = Flags & kMasked;
    TCustomImageList Read{int(W), int(H)};
    Read.SetMasked(Masked);
    for (std::uint32_t I = 0; I < Count; ++I) {
        const std::string Name = "image " + std::to_string(I);
        TBitmap Image, Mask;
        ReadBitmap(Stream, Image, int(W), int(H), Name);
        if (Masked) ReadBitmap(Stream, Mask, int(W), int(H), "the mask of " + Name);
        if (Read.Add(Image, Masked ? &Mask : nullptr) != int(I)) Damaged(Name + " is refused");
    }
    if (Stream.Position() != Stream.Size()) Damaged("it goes on after the last image");
    // The colour and the look are the list's own settings, not stored with the images.
    const TColor BkColor = List.BkColor();
    const TDrawingStyle Style = List.DrawingStyle();
    const TImageType Type = List.ImageType();
    List.BeginUpdate();
    List.Assign(Read);
    List.SetBkColor(BkColor);
    List.SetDrawingStyle(Style);
    List.SetImageType(Type);
    List.EndUpdate();
}

// ---- the component --------------------------------------------------------------------------

TImageList::TImageList(TComponent* AOwner) : TImageList(AOwner, 16, 16) {}

TImageList::TImageList(TComponent* AOwner, int Width, int Height)
    : TCustomImageList(Width, Height), TComponent(AOwner) {
    FSelfLink.OnChange = [this](TCustomImageList*) {
        if (OnChange) OnChange(this);
    };
    RegisterChanges(&FSelfLink);
}

TImageList::~TImageList() = default;

void TImageList::Assign(const TPersistent* Source) {
    auto* Other = dynamic_cast<const TImageList*>(Source);
    if (!Other) {
        TComponent::Assign(Source);
        return;
    }
    FAllocBy = Other->FAllocBy;
    TCustomImageList::Assign(*const_cast<TImageList*>(Other));
}

void TImageList::DefineProperties(TFiler& Filer) {
    TComponent::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        "Bitmap", [this](TStream& Stream) { ReadImageListData(*this, Stream); },
        [this](TStream& Stream) { WriteImageListData(*this, Stream); }, Count() > 0);
}
