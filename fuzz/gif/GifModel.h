#pragma once
// What each frame of a GIF should show, worked out here from the format alone, without libgif or
// the picture classes under test: the file's blocks give every image's place and size and what
// the graphic control block just before it (if any) says of it, and the frames are put together
// as the format describes, one after the other on a screen that starts as background:
//   - before a frame is drawn, the frame before it is removed as it asked: disposal 2 fills its
//     area with the background, 3 puts back the screen as it was before that frame was drawn;
//     0 and 1 (and the undefined 4 to 7) leave it;
//   - a frame is drawn over what remains, without its pixels of the transparent index.
// The pixels of each frame are taken as decoded (LZW is libgif's), its transparent pixels being
// those of the key colour the decoder gave them.
#include <QImage>
#include <QRect>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace GifModel {

struct TFrame {
    QRect Place;
    int Disposal = 0;
    bool Transparent = false;
};

// The images of the file in order, up to the first block that cannot be read.
inline std::vector<TFrame> Frames(const uint8_t* Data, size_t Size) {
    std::vector<TFrame> Out;
    if (Size < 13) return Out;
    const auto Word = [&](size_t At) { return int(Data[At]) | int(Data[At + 1]) << 8; };
    const auto Table = [](uint8_t Packed) {
        return Packed & 0x80 ? size_t(3) << ((Packed & 7) + 1) : 0;
    };
    size_t At = 13 + Table(Data[10]);
    // Sub-blocks up to the empty one; false when the data ends first.
    const auto Skip = [&] {
        while (At < Size) {
            const uint8_t Length = Data[At++];
            if (Length == 0) return true;
            At += Length;
        }
        return false;
    };
    TFrame Control;
    while (At < Size) {
        const uint8_t Kind = Data[At++];
        if (Kind == 0x21) {
            if (At >= Size) break;
            const uint8_t Label = Data[At++];
            // A graphic control block: four bytes of data, the disposal in bits 2 to 4 of the
            // first and its transparency flag in bit 0.
            if (Label == 0xF9 && At + 5 <= Size && Data[At] == 4) {
                const int Disposal = (Data[At + 1] >> 2) & 7;
                Control.Disposal = Disposal <= 3 ? Disposal : 0;
                Control.Transparent = (Data[At + 1] & 1) != 0;
            }
            if (!Skip()) break;
            continue;
        }
        if (Kind != 0x2C || At + 10 > Size) break;
        TFrame Frame = Control;
        Frame.Place = QRect(Word(At), Word(At + 2), Word(At + 4), Word(At + 6));
        At += 9 + Table(Data[At + 8]) + 1;
        if (!Skip()) break;
        Out.push_back(Frame);
        // What a control block says holds for the one image after it.
        Control = TFrame();
    }
    return Out;
}

// Puts the frames together one after the other on a Size screen of Background; Shown is called
// with each frame's index and the screen as that frame shows it. Pixels(I) gives frame I as
// decoded and Key(I) the colour of its transparent pixels.
template <class TPixels, class TKey, class TShown>
void Compose(const std::vector<TFrame>& Frames, QSize Size, QRgb Background, TPixels Pixels,
             TKey Key, TShown Shown) {
    QImage Screen(Size, QImage::Format_RGB32);
    Screen.fill(Background);
    QImage Before;
    const QRect Whole(QPoint(0, 0), Size);
    for (size_t I = 0; I < Frames.size(); ++I) {
        if (I > 0 && Frames[I - 1].Disposal == 2) {
            const QRect Area = Frames[I - 1].Place & Whole;
            for (int Y = Area.top(); Y <= Area.bottom(); ++Y)
                for (int X = Area.left(); X <= Area.right(); ++X) Screen.setPixel(X, Y, Background);
        } else if (I > 0 && Frames[I - 1].Disposal == 3) {
            Screen = Before;
        }
        if (Frames[I].Disposal == 3) Before = Screen.copy();
        const QImage Frame = Pixels(I);
        const QRect& Place = Frames[I].Place;
        for (int Y = 0; Y < Frame.height(); ++Y)
            for (int X = 0; X < Frame.width(); ++X) {
                const QPoint To(Place.left() + X, Place.top() + Y);
                const QRgb Pixel = Frame.pixel(X, Y) | 0xFF000000u;
                if (!Whole.contains(To) ||
                    (Frames[I].Transparent && Pixel == (Key(I) | 0xFF000000u)))
                    continue;
                Screen.setPixel(To, Pixel);
            }
        Shown(I, Screen);
    }
}

}  // namespace GifModel
