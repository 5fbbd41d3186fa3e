#pragma once
// What the pictures of one view may decode to together. A picture from a mail may ask for a
// bitmap of millions of pixels in a header of a few bytes, within every limit of the painting
// layer, and a page may show many of them; what bounds their memory is an allowance shared by
// all of them.
//
// While a TPixelAllowanceScope is open on a thread, every bitmap made there (a picture decoded,
// its frames, its screen) takes its pixels from the scope's allowance before they are allocated,
// and one that would take more than is left is refused with EInvalidGraphic, as a bitmap beyond
// the painting layer's limits is. The decoders that hold pixels of their own on the way (GIF
// frames, a JPEG's rows) ask what is left and stop or refuse before allocating them. Pixels come
// back only when the one who opened the scope gives back what its pictures took.
#include <cstdint>

class TPixelAllowance {
  public:
    explicit TPixelAllowance(int64_t Pixels) : FLeft(Pixels) {}
    int64_t Left() const { return FLeft; }
    // Raises EInvalidGraphic, taking nothing, when Pixels are more than is left.
    void Take(int64_t Pixels);
    void GiveBack(int64_t Pixels) { FLeft += Pixels; }

  private:
    int64_t FLeft;
};

// Makes Allowance the one that bitmaps made on this thread take from, until the scope ends (then
// the one before it, if any, again).
class TPixelAllowanceScope {
  public:
    explicit TPixelAllowanceScope(TPixelAllowance& Allowance);
    ~TPixelAllowanceScope();
    TPixelAllowanceScope(const TPixelAllowanceScope&) = delete;
    TPixelAllowanceScope& operator=(const TPixelAllowanceScope&) = delete;

  private:
    TPixelAllowance* FOuter;
};

// For the painting layer and the picture classes: takes the pixels of a bitmap of Width x Height
// from the open allowance (none open: nothing is taken); raises EInvalidGraphic when they are
// more than is left.
void TakeBitmapPixels(int64_t Width, int64_t Height);
// What the open allowance has left; without one, more than any bitmap may hold.
int64_t BitmapPixelsLeft();
