// The file is read record by record rather than slurped whole, so that every frame's size is
// checked against the limits before libgif allocates its pixels.
#include "platform/gdi/Gif.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <set>

#include "platform/gdi/Limits.h"
#include "platform/gdi/PixelAllowance.h"

namespace {

struct TReader {
    std::span<const uint8_t> Data;
    size_t Pos = 0;
};

int ReadBytes(GifFileType* File, GifByteType* Out, int Wanted) {
    auto* Reader = static_cast<TReader*>(File->UserData);
    const size_t N = std::min(size_t(std::max(Wanted, 0)), Reader->Data.size() - Reader->Pos);
    std::memcpy(Out, Reader->Data.data() + Reader->Pos, N);
    Reader->Pos += N;
    return int(N);
}

struct TCloseGif {
    void operator()(GifFileType* File) const { DGifCloseFile(File, nullptr); }
};
using TGifFile = std::unique_ptr<GifFileType, TCloseGif>;

// What a graphic-control extension says of the frame that follows it.
struct TControl {
    int Delay = 0;
    uint8_t Disposal = 0;
    int TransparentIndex = NO_TRANSPARENT_COLOR;
};

QRgb ColorAt(const ColorMapObject* Map, int Index) {
    if (!Map || Index < 0 || Index >= Map->ColorCount) return qRgb(0, 0, 0);
    const GifColorType& C = Map->Colors[Index];
    return qRgb(C.Red, C.Green, C.Blue);
}

// The transparent index's own colour, unless another entry of the table shares it (its pixels
// would vanish with the transparent ones); then a colour the table does not have. Black stands
// for indices beyond the table.
QRgb TransparentKey(const ColorMapObject* Map, int Transparent) {
    const int Count = Map ? Map->ColorCount : 0;
    const auto Used = [&](QRgb Rgb, int Except) {
        if (Rgb == qRgb(0, 0, 0)) return true;
        for (int I = 0; I < Count; ++I)
            if (I != Except && ColorAt(Map, I) == Rgb) return true;
        return false;
    };
    const QRgb Own = ColorAt(Map, Transparent);
    if (!Used(Own, Transparent)) return Own;
    QRgb Candidate = qRgb(255, 0, 255);
    while (Used(Candidate, -1)) ++Candidate;
    return Candidate;
}

bool ReadControl(GifFileType* File, TControl& Control) {
    int Code = 0;
    GifByteType* Block = nullptr;
    if (DGifGetExtension(File, &Code, &Block) == GIF_ERROR) return false;
    if (Code == GRAPHICS_EXT_FUNC_CODE && Block) {
        GraphicsControlBlock GCB;
        if (DGifExtensionToGCB(Block[0], Block + 1, &GCB) == GIF_OK) {
            Control.Delay = GCB.DelayTime;
            Control.Disposal = GCB.DisposalMode >= 0 && GCB.DisposalMode <= DISPOSE_PREVIOUS
                                   ? uint8_t(GCB.DisposalMode)
                                   : uint8_t(DISPOSAL_UNSPECIFIED);
            Control.TransparentIndex = GCB.TransparentColor;
        }
    }
    while (Block)
        if (DGifGetExtensionNext(File, &Block) == GIF_ERROR) return false;
    return true;
}

// The rows of an interlaced frame come in four passes.
std::vector<int> RowOrder(int Height, bool Interlaced) {
    std::vector<int> Rows;
    Rows.reserve(size_t(Height));
    if (!Interlaced) {
        for (int Y = 0; Y < Height; ++Y) Rows.push_back(Y);
        return Rows;
    }
    constexpr int kStart[] = {0, 4, 2, 1};
    constexpr int kStep[] = {8, 8, 4, 2};
    for (int Pass = 0; Pass < 4; ++Pass)
        for (int Y = kStart[Pass]; Y < Height; Y += kStep[Pass]) Rows.push_back(Y);
    return Rows;
}

// The frame whose descriptor was just read; none when its data is damaged.
std::optional<TGifFrame> ReadFrame(GifFileType* File, const TControl& Control) {
    const GifImageDesc& Desc = File->Image;
    const ColorMapObject* Map = Desc.ColorMap ? Desc.ColorMap : File->SColorMap;
    TGifFrame Frame;
    Frame.Left = Desc.Left;
    Frame.Top = Desc.Top;
    Frame.Delay = Control.Delay;
    Frame.Disposal = Control.Disposal;
    Frame.Transparent = Control.TransparentIndex != NO_TRANSPARENT_COLOR;
    if (Frame.Transparent) Frame.TransparentColor = TransparentKey(Map, Control.TransparentIndex);
    Frame.Image = QImage(Desc.Width, Desc.Height, QImage::Format_RGB32);
    if (Frame.Image.isNull()) return std::nullopt;
    std::vector<QRgb> Palette(256);
    for (int I = 0; I < 256; ++I)
        Palette[size_t(I)] = Frame.Transparent && I == Control.TransparentIndex
                                 ? Frame.TransparentColor
                                 : ColorAt(Map, I);
    std::vector<GifPixelType> Line(size_t(Desc.Width));
    for (int Y : RowOrder(Desc.Height, Desc.Interlace)) {
        if (DGifGetLine(File, Line.data(), Desc.Width) == GIF_ERROR) return std::nullopt;
        auto* Row = reinterpret_cast<QRgb*>(Frame.Image.scanLine(Y));
        for (int X = 0; X < Desc.Width; ++X) Row[X] = Palette[Line[size_t(X)]];
    }
    return Frame;
}

void AddColours(const ColorMapObject* Map, std::set<QRgb>& Used) {
    for (int I = 0; Map && I < Map->ColorCount; ++I) Used.insert(ColorAt(Map, I));
}

QRgb UnusedColour(const std::set<QRgb>& Used) {
    QRgb Candidate = qRgb(255, 0, 254);
    while (Used.count(Candidate)) ++Candidate;
    return Candidate;
}

bool SideAllowed(int64_t Side) {
    return Side >= 1 && Side <= GdiLimits::kMaxBitmapSide;
}

// The extent of the frames, for a file whose logical screen is empty; none when that screen with
// the frames' Pixels is more than a bitmap may hold or the open allowance has left.
void FitScreenToFrames(TGifPicture& Picture, int64_t Pixels) {
    int64_t W = 0, H = 0;
    for (const TGifFrame& F : Picture.Frames) {
        W = std::max<int64_t>(W, int64_t(F.Left) + F.Image.width());
        H = std::max<int64_t>(H, int64_t(F.Top) + F.Image.height());
    }
    if (!SideAllowed(W) || !SideAllowed(H) || W * H > GdiLimits::kMaxBitmapPixels ||
        W * H + Pixels > BitmapPixelsLeft()) {
        Picture = {};
        return;
    }
    Picture.Width = int(W);
    Picture.Height = int(H);
}

}  // namespace

bool IsGif(std::span<const uint8_t> Data) {
    return Data.size() >= 6 && std::memcmp(Data.data(), "GIF8", 4) == 0 &&
           (Data[4] == '7' || Data[4] == '9') && Data[5] == 'a';
}

TGifPicture DecodeGif(std::span<const uint8_t> Data) {
    TGifPicture Picture;
    if (!IsGif(Data)) return Picture;
    TReader Reader{Data};
    int Error = 0;
    TGifFile File(DGifOpen(&Reader, ReadBytes, &Error));
    if (!File) return Picture;
    const bool ScreenGiven = File->SWidth > 0 && File->SHeight > 0;
    const int64_t Screen = ScreenGiven ? int64_t(File->SWidth) * File->SHeight : 0;
    if (ScreenGiven && (!SideAllowed(File->SWidth) || !SideAllowed(File->SHeight) ||
                        Screen > GdiLimits::kMaxBitmapPixels || Screen > BitmapPixelsLeft()))
        return Picture;
    // The frames stop where either limit would be passed: the one of every GIF, and what the open
    // allowance has left beside the screen.
    const int64_t FramePixels = std::min(GdiLimits::kMaxGifPixels, BitmapPixelsLeft() - Screen);
    TControl Control;
    int64_t Pixels = 0;
    std::set<QRgb> Used = {qRgb(0, 0, 0)};
    AddColours(File->SColorMap, Used);
    for (GifRecordType Type = UNDEFINED_RECORD_TYPE; Type != TERMINATE_RECORD_TYPE;) {
        if (DGifGetRecordType(File.get(), &Type) == GIF_ERROR) break;
        if (Type == EXTENSION_RECORD_TYPE) {
            if (!ReadControl(File.get(), Control)) break;
            continue;
        }
        if (Type != IMAGE_DESC_RECORD_TYPE) continue;
        if (DGifGetImageDesc(File.get()) == GIF_ERROR) break;
        const GifImageDesc& Desc = File->Image;
        const int64_t With = Pixels + int64_t(Desc.Width) * Desc.Height;
        if (!SideAllowed(Desc.Width) || !SideAllowed(Desc.Height) || With > FramePixels ||
            Picture.Frames.size() >= size_t(GdiLimits::kMaxGifFrames))
            break;
        std::optional<TGifFrame> Frame = ReadFrame(File.get(), Control);
        if (!Frame) break;
        AddColours(Desc.ColorMap, Used);
        if (Frame->Transparent) Used.insert(Frame->TransparentColor);
        Picture.Frames.push_back(std::move(*Frame));
        Pixels = With;
        Control = {};
    }
    if (Picture.Frames.empty()) return Picture;
    Picture.BackgroundKey = UnusedColour(Used);
    if (ScreenGiven) {
        Picture.Width = File->SWidth;
        Picture.Height = File->SHeight;
    } else {
        FitScreenToFrames(Picture, Pixels);
    }
    return Picture;
}
