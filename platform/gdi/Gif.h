#pragma once
// GIF pictures through libgif: the one decoder the program's picture classes use. It gives each
// frame as the file stores it (its place on the logical screen, its delay, its disposal and its
// transparency); putting the frames together is the animated graphic's work.
#include <QImage>
#include <cstdint>
#include <span>
#include <vector>

struct TGifFrame {
    // The frame's own pixels, 32-bit RGB; transparent pixels hold TransparentColor, a colour no
    // other pixel of the frame has.
    QImage Image;
    int Left = 0;
    int Top = 0;
    // Hundredths of a second the frame stays.
    int Delay = 0;
    // 0 unspecified, 1 leave in place, 2 restore to background, 3 restore to previous; other
    // values of the file read as 0.
    uint8_t Disposal = 0;
    bool Transparent = false;
    QRgb TransparentColor = 0;
};

struct TGifPicture {
    // The logical screen; where the file gives none, the extent of its frames.
    int Width = 0;
    int Height = 0;
    std::vector<TGifFrame> Frames;
    // A colour no frame has (nor any colour table of the file): what the screen shows where no
    // frame covers it, to be drawn transparent.
    QRgb BackgroundKey = 0;
    bool Empty() const { return Frames.empty(); }
};

bool IsGif(std::span<const uint8_t> Data);
// Every frame up to the first damage (a damaged frame is dropped, the ones before it kept) or up
// to the first that would pass a limit; no frames for data that is no GIF, has no readable frame,
// or whose screen goes beyond a limit. The limits are the painting layer's (see GdiLimits: the
// screen's size, each frame's, the frames' pixels together, their number) and what an open pixel
// allowance has left for the screen and the frames together (see PixelAllowance.h).
TGifPicture DecodeGif(std::span<const uint8_t> Data);
