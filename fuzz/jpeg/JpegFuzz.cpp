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

#include "platform/core/Application.h"
#include "platform/gdi/Jpeg.h"
#include "platform/gdi/Limits.h"

namespace {

[[noreturn]] void Fail(const char* What) {
    std::fprintf(stderr, "%s\n", What);
    std::abort();
}

const std::string& InputPath() {
    static const std::string Path = (std::filesystem::temp_directory_path() /
                                     ("kestro-jpeg-fuzz-" + std::to_string(getpid()) + ".JPG"))
                                        .string();
    return Path;
}

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

// Bitmaps draw through the GUI application's painting.
extern "C" int LLVMFuzzerInitialize(int* Argc, char*** Argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The path first: statics die in the reverse order of their making and handlers, so the
    // handler must be registered after the path it removes exists.
    (void)InputPath();
    std::atexit([] { std::filesystem::remove(InputPath()); });
    static std::unique_ptr<QCoreApplication> App = TApplication::InitializeQt(*Argc, *Argv, true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    std::ofstream(InputPath(), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(Data), std::streamsize(Size));
    TPicture Picture;
    Picture.Bitmap().SetSize(1, 1);
    try {
        Picture.LoadFromFile(InputPath());
    } catch (const Exception&) {
        if (Picture.Width() != 1 || Picture.Height() != 1 ||
            !dynamic_cast<TBitmap*>(Picture.Graphic()))
            Fail("a failed load changed the picture");
        return 0;
    }
    Check(Picture, Data, Size);
    return 0;
}
