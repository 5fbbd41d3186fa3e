#include "htmlview/png/IpPNGImg.h"

#include <algorithm>
#include <memory>

#include "htmlview/png/PngStrings.h"
#include "platform/shell/Dialogs.h"

namespace {

// Places decoded rows straight into a 32-bit bitmap's scan lines.
class TBitmapPixelTarget : public TPngPixelTarget {
  public:
    explicit TBitmapPixelTarget(TBitmap& Bitmap) : FBitmap(Bitmap) {}
    void SetSize(int Width, int Height) override {
        FBitmap.SetPixelFormat(pf32bit);
        FBitmap.SetSize(Width, Height);
        for (int Row = 0; Row < Height; ++Row)
            std::fill_n(ScanLine(Row), size_t(Width), 0xFF000000u);
    }
    uint32_t* ScanLine(int Row) override {
        return reinterpret_cast<uint32_t*>(FBitmap.ScanLine(Row));
    }

  private:
    TBitmap& FBitmap;
};

// Registers the class with the picture framework for as long as the program runs.
struct TPngRegistration {
    TPngRegistration() {
        TPicture::RegisterFileFormat("PNG", "Portable Network Graphics",
                                     [] { return std::make_unique<TIpPNGImage>(); });
    }
    ~TPngRegistration() { TPicture::UnregisterFileFormat("PNG"); }
};
const TPngRegistration kRegistration;

}  // namespace

// Referenced by the link options of the library, so the registration above is linked into every
// program that links the decoder even when nothing names the class.
extern "C" const void* const KestroIpPNGImgUnit = &kRegistration;

TIpPNGImage::TIpPNGImage() {
    FDecoder.OnShowWarning = [](const std::string& Message) { ShowMessage(Message); };
}

TIpPNGImage::~TIpPNGImage() = default;

void TIpPNGImage::SetTransparent(bool Value) {
    if (FDecoder.Transparent == Value) return;
    FDecoder.Transparent = Value;
    Changed();
}

void TIpPNGImage::SetTransparentColor(TColor Value) {
    if (TransparentColor() == Value) return;
    FDecoder.TransparentColor = uint32_t(Value);
    Changed();
}

void TIpPNGImage::SetTransparentMode(TTransparentMode Value) {
    if (FTransparentMode == Value) return;
    FTransparentMode = Value;
    Changed();
}

void TIpPNGImage::SetWidth(int Value) {
    FBitmap.SetWidth(Value);
    Changed();
}

void TIpPNGImage::SetHeight(int Value) {
    FBitmap.SetHeight(Value);
    Changed();
}

void TIpPNGImage::Draw(TCanvas& Canvas, const TRect& R) {
    FBitmap.SetTransparent(Transparent());
    FBitmap.SetTransparentMode(FTransparentMode);
    FBitmap.SetTransparentColor(TransparentColor());
    Canvas.StretchDraw(R, FBitmap);
}

void TIpPNGImage::LoadFromStream(TStream& Stream) {
    FTransparentMode = tmFixed;
    TBitmapPixelTarget Target(FBitmap);
    try {
        FDecoder.Decode(Stream, Target);
    } catch (...) {
        Changed();
        throw;
    }
    Changed();
}

void TIpPNGImage::LoadFromFile(const std::string& FileName) {
    TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(Stream);
}

void TIpPNGImage::SaveToStream(TStream&) {
    throw EIpPNGError(PngString(SPngSavingNotSupported));
}

void TIpPNGImage::SaveToFile(const std::string&) {
    // Raised before the file is opened, so no empty file is left behind.
    throw EIpPNGError(PngString(SPngSavingNotSupported));
}

void TIpPNGImage::SaveToClipboardFormat(uint16_t&, uintptr_t&, uintptr_t&) {
    throw EIpPNGError(PngString(SPngSavingNotSupported));
}

void TIpPNGImage::LoadFromClipboardFormat(uint16_t, uintptr_t, uintptr_t) {
    throw EIpPNGError(PngString(SPngClipboardNotSupported));
}

void TIpPNGImage::Assign(const TGraphic& Source) {
    const auto* Png = dynamic_cast<const TIpPNGImage*>(&Source);
    if (!Png) return TGraphic::Assign(Source);
    if (Png == this) return;
    FBitmap.Assign(Png->FBitmap);
    FDecoder.Comments.Clear();
    FDecoder.Comments.AddStrings(Png->FDecoder.Comments);
    FDecoder.Log.Clear();
    FDecoder.Log.AddStrings(Png->FDecoder.Log);
    FDecoder.CorrectGamma = Png->FDecoder.CorrectGamma;
    FDecoder.DetailedLog = Png->FDecoder.DetailedLog;
    FDecoder.ShowWarnings = Png->FDecoder.ShowWarnings;
    FDecoder.ModificationDate = Png->FDecoder.ModificationDate;
    FDecoder.Transparent = Png->FDecoder.Transparent;
    FDecoder.TransparentColor = Png->FDecoder.TransparentColor;
    FTransparentMode = Png->FTransparentMode;
    Changed();
}

void TIpPNGImage::AssignTo(TGraphic& Dest) const {
    if (auto* Bitmap = dynamic_cast<TBitmap*>(&Dest)) return Bitmap->Assign(FBitmap);
    TGraphic::AssignTo(Dest);
}
