// Feeds arbitrary bytes to the BMP reader: it must either load a bitmap or raise a graphics
// error, never crash, hang or read outside the data. A bitmap it loads must be paid for by the
// bytes (at most GdiLimits::kMaxRlePixelsPerByte pixels a byte, the run-length budget, which no
// other encoding comes near), and must be saved and read back as the same picture in the same
// format. The same bytes are then read as an icon or cursor file.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/gdi/Graphics.h"
#include "platform/gdi/Limits.h"

namespace {

[[noreturn]] void Fail(const char* What) {
    std::fprintf(stderr, "%s\n", What);
    std::abort();
}

void CheckRoundTrip(TBitmap& Bitmap, size_t Size) {
    const QImage Image = Bitmap.Image();
    const int64_t Pixels = int64_t(Bitmap.Width()) * Bitmap.Height();
    if (Pixels > int64_t(Size) * GdiLimits::kMaxRlePixelsPerByte)
        Fail("more pixels were decoded than the bytes pay for");
    if (Image.width() != Bitmap.Width() || Image.height() != Bitmap.Height())
        Fail("the picture differs in size from the bitmap");
    (void)Bitmap.ScanLine(Bitmap.Height() - 1);
    TMemoryStream Out;
    Bitmap.SaveToStream(Out);
    Out.SetPosition(0);
    TBitmap Again;
    Again.LoadFromStream(Out);
    if (Again.PixelFormat() != Bitmap.PixelFormat()) Fail("the saved bitmap reads back deeper");
    if (Again.Image() != Image) Fail("the saved bitmap reads back as other pixels");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    TMemoryStream Stream;
    if (Size) Stream.WriteBuffer(Data, int64_t(Size));
    Stream.SetPosition(0);
    TBitmap Bitmap;
    try {
        Bitmap.LoadFromStream(Stream);
    } catch (const Exception&) {
    }
    if (!Bitmap.Empty()) CheckRoundTrip(Bitmap, Size);
    // The same bytes as an icon or cursor file: a picture of at most 256 x 256.
    try {
        const HICON Icon = CreateIconFromFileData(std::span<const uint8_t>(Data, Size));
        const QImage Image = IconImage(Icon);
        if (Image.width() < 1 || Image.width() > 256 || Image.height() < 1 || Image.height() > 256)
            Fail("an icon outside 1 to 256 pixels a side");
        DestroyIcon(Icon);
    } catch (const Exception&) {
    }
    return 0;
}
