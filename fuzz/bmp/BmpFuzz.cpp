// Feeds arbitrary bytes to the BMP reader: it must either load a bitmap or raise a graphics
// error, never crash, hang or read outside the data.
#include <cstddef>
#include <cstdint>

#include "platform/gdi/Graphics.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    TMemoryStream Stream;
    if (Size) Stream.WriteBuffer(Data, int64_t(Size));
    Stream.SetPosition(0);
    TBitmap Bitmap;
    try {
        Bitmap.LoadFromStream(Stream);
        // Touch what was read: the pixels in every direction a caller would.
        if (!Bitmap.Empty()) {
            (void)Bitmap.Image();
            (void)Bitmap.ScanLine(Bitmap.Height() - 1);
            TMemoryStream Out;
            Bitmap.SaveToStream(Out);
        }
    } catch (const Exception&) {
    }
    // The same bytes as an icon or cursor file.
    try {
        const HICON Icon = CreateIconFromFileData(std::span<const uint8_t>(Data, Size));
        (void)IconImage(Icon);
        DestroyIcon(Icon);
    } catch (const Exception&) {
    }
    return 0;
}
