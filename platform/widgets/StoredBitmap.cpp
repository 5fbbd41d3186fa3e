#include "platform/widgets/StoredBitmap.h"

#include <cstdint>

void ReadStoredBitmap(TGraphic& Bitmap, TStream& Stream) {
    unsigned char Bytes[4];
    Stream.ReadBuffer(Bytes, 4);
    const std::uint32_t Size =
        Bytes[0] | Bytes[1] << 8 | Bytes[2] << 16 | std::uint32_t(Bytes[3]) << 24;
    if (Size > Stream.Size() - Stream.Position()) throw EInvalidGraphic("Bitmap data is cut short");
    TMemoryStream Data;
    Data.CopyFrom(Stream, Size);
    Data.SetPosition(0);
    Bitmap.LoadFromStream(Data);
}

void WriteStoredBitmap(TGraphic& Bitmap, TStream& Stream) {
    TMemoryStream Data;
    Bitmap.SaveToStream(Data);
    const auto Size = static_cast<std::uint32_t>(Data.Size());
    const unsigned char Bytes[4] = {
        static_cast<unsigned char>(Size), static_cast<unsigned char>(Size >> 8),
        static_cast<unsigned char>(Size >> 16), static_cast<unsigned char>(Size >> 24)};
    Stream.WriteBuffer(Bytes, 4);
    Data.SetPosition(0);
    Stream.CopyFrom(Data, Data.Size());
}
