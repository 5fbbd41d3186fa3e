// Feeds arbitrary bytes to the picture registry as a JPEG file (".JPG": the registry picks the
// class by the extension, whatever its case). A file either loads or raises a graphics error
// that leaves the picture as it was; one that loads must be a TJPEGImage of a size within the
// painting layer's limits and paid for by its bytes, save back exactly the bytes it was read
// from, decode to the same pixels again, and draw.
#include <unistd.h>

#include <QCoreApplication>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "fuzz/support/PictureFuzz.h"
#include "platform/core/Application.h"
#include "platform/gdi/Jpeg.h"
#include "platform/gdi/Limits.h"

namespace {

using Fuzz::Fail;

void Check(TPicture& Picture, const uint8_t* Data, size_t Size) {
    auto* Jpeg = dynamic_cast<TJPEGImage*>(Picture.Graphic());
    if (!Jpeg) Fail("a .JPG file loaded as another class");
    const int64_t W = Jpeg->Width(), H = Jpeg->Height();
    if (W < 1 || H < 1 || W > GdiLimits::kMaxBitmapSide || H > GdiLimits::kMaxBitmapSide)
        Fail("a picture outside the painting layer's sides");
    if (W * H > int64_t(Size) * GdiLimits::kMaxJpegPixelsPerByte)
        Fail("more pixels than the bytes pay for");
    TMemoryStream Saved;
    Jpeg->SaveToStream(Saved);
    if (size_t(Saved.Size()) != Size || std::memcmp(Saved.Memory(), Data, Size) != 0)
        Fail("the picture saves other bytes than it read");
    if (DecodeJpeg(std::span<const uint8_t>(Data, Size)) != Jpeg->Bitmap().Image())
        Fail("the same bytes decode to other pixels");
    TBitmap Paper(16, 16, pf32bit);
    Paper.Canvas().StretchDraw(Rect(0, 0, 16, 16), *Jpeg);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* Argc, char*** Argv) {
    return PictureFuzz::Initialize(Argc, Argv, "jpeg", ".JPG");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    return PictureFuzz::Load(Data, Size, Check);
}
