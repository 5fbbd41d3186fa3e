#pragma once
// What bitmap buttons and speed buttons draw inside their bevel: a glyph and a caption, placed by
// the button's layout, margin and spacing.
//
// A glyph is a strip of up to four images of equal width: up, disabled, down (clicked) and
// exclusive (held down in a group). A state whose image is missing shows the up image, except the
// disabled state, which then shows the up image embossed: its shape (what is neither the
// transparent colour nor white) in the shadow colour over a copy in the highlight colour one
// pixel down and right. The transparent colour is the colour of the glyph's bottom-left pixel.
#include <functional>
#include <string>

#include "platform/gdi/Graphics.h"

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

struct TButtonPlacement {
    TPoint GlyphPos;
    TRect TextBounds;
};

// Places a glyph and a caption of these sizes in Client. Margin is the room between the edge the
// glyph is on and the glyph; -1 centres glyph and caption together. Spacing is the room between
// glyph and caption; -1 shares the free room evenly (with Margin -1: around and between them).
// Offset moves both (a pushed button). Without a glyph or caption there is no spacing.
TButtonPlacement PlaceButtonContent(const TRect& Client, TPoint Offset, TSize GlyphSize,
                                    TSize TextSize, TButtonLayout Layout, int Margin, int Spacing);

class TButtonGlyph {
  public:
    static constexpr int kMaxGlyphs = 4;

    TButtonGlyph();
    TButtonGlyph(const TButtonGlyph&) = delete;
    TButtonGlyph& operator=(const TButtonGlyph&) = delete;

    TBitmap* Glyph() { return &FGlyph; }
    void SetGlyph(const TBitmap* Value);
    // 1 to 4.
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);
    // The size of one image (0 x 0 without a glyph).
    TSize ImageSize() const;
    // The glyph or the image count changed.
    std::function<void()> OnChange;

    // Draws glyph and caption ("&" marks the accelerator) on Canvas, which has the button's font;
    // returns where the caption went. A disabled caption is embossed like the glyph.
    TRect Draw(TCanvas& Canvas, const TRect& Client, TPoint Offset, const std::string& Caption,
               TButtonLayout Layout, int Margin, int Spacing, TButtonState State);

  private:
    // The image of a state, ready to draw transparently.
    void MakeImage(TButtonState State, TBitmap& Image);
    void DrawCaption(TCanvas& Canvas, RECT R, const std::string& Caption, TButtonState State);

    TBitmap FGlyph;
    int FNumGlyphs = 1;
};
