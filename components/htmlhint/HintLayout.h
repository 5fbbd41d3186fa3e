#pragma once
// What the HTML hint window does with a hint: measure it into a window rectangle that stays on
// the screen, cut the rounded style's region and paint the frame and the text. The window's
// canvas carries the hint font when these are called.
#include <string>

#include "platform/gdi/Graphics.h"

class TPictureContainer;
class THTMLPictureCache;

enum THintStyle { hsRectangle, hsRounded };

// The HTML hint component's settings that the window lays out and paints with.
struct THTMLHintSettings {
    TColor HintColor = clInfoBk;
    THintStyle HintStyle = hsRectangle;
    bool Ellipsis = false;
    TCustomImageList* Images = nullptr;
    TPictureContainer* PictureContainer = nullptr;
    THTMLPictureCache* Cache = nullptr;
    TColor ShadowColor = clBlack;
    int ShadowOffset = 0;
    TColor URLColor = clBlack;
    int XMargin = 0;
    int YMargin = 0;
};

// The measured text and the window rectangle (screen coordinates) of a hint shown at Pos: the
// text laid out in MaxWidth - 16, the margins around it, 16 pixels wider and 4 higher for the
// frame. A rectangle reaching past the right or bottom edge of the screen under Pos is moved
// back to end 2 pixels inside it (never past the screen's left or top edge).
struct THintPlacement {
    TSize Text{0, 0};
    TRect Window;
};
THintPlacement PlaceHTMLHint(TCanvas& Canvas, const std::string& Hint, TPoint Pos, int MaxWidth,
                             const THTMLHintSettings& Settings);

// The window region of the style, in window coordinates: a rounded rectangle with 16 x 16
// corners for hsRounded; 0 (no region) for hsRectangle. The caller owns the region.
HRGN HTMLHintRegion(const THTMLHintSettings& Settings, int Width, int Height);

// Paints a hint into the client rectangle Client (at 0, 0): background, frame and the text
// (whose measured height PlaceHTMLHint gave) centred between the margins.
void PaintHTMLHint(TCanvas& Canvas, const TRect& Client, const std::string& Hint, int TextHeight,
                   const THTMLHintSettings& Settings);
