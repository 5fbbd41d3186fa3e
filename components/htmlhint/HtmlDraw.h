#pragma once
// The mini-HTML renderer: lays out and paints (or only measures) a short text with HTML-like
// tags on a canvas, one line at a time, and reports what lies under the mouse.
//
// Tags: A (links), B, BL (blink), BODY (BACKGROUND, BGCOLOR), BR, E (red zig-zag underline),
// FONT (FACE, COLOR, BGCOLOR, SIZE), HI (highlight), HR, I, IMG (SRC, ALT, WIDTH, HEIGHT, ALIGN),
// IND (x), LI, P (ALIGN, INDENT, BGCOLOR), R (a: rotation in degrees), S, SH (shadow), SUB, SUP,
// U, UL, Z (hidden text), and their closing forms; entities &amp; &quot; &sect; &permil; &reg;
// &copy; &para; &trade; &euro; &nbsp; &lt; &gt;. Pictures: "IDX:n" from the image list,
// "SSYS:path" / "LSYS:path" the desktop's small or large icon of a file, a name of the picture
// container, or a source ("RES://", "FILE://") loaded into the picture cache.
//
// The canvas's font on entry is the base font, its brush colour the background; both are as
// they were when the call returns. Texts are Windows-1252 bytes.
#include <string>
#include <string_view>

#include "platform/gdi/Graphics.h"

class TPictureContainer;
class THTMLPictureCache;

struct THTMLDrawOptions {
    TCustomImageList* Images = nullptr;
    TPictureContainer* Pictures = nullptr;
    THTMLPictureCache* Cache = nullptr;
    // For hit testing, in canvas coordinates.
    TPoint Mouse{-1, -1};
    // The number (from 1, in text order) of the link that has the keyboard focus; 0: none.
    int FocusLink = 0;
    TColor URLColor = clBlue;
    // Colours of the link under the mouse; clNone: not used.
    TColor HoverColor = clNone;
    TColor HoverFontColor = clNone;
    TColor ShadowColor = clGray;
    int ShadowOffset = 1;
    // Measure and hit-test only: nothing is drawn.
    bool CheckOnly = false;
    // Runs that reach beyond the rectangle end in "...".
    bool Ellipsis = false;
    bool WordWrap = true;
    // Scale of pictures for printing.
    double Resolution = 1.0;
    // The blink phase: while false, blinking text is drawn in the background colour.
    bool Blink = true;
    // Tags do not change the text colour or background.
    bool NoColorChange = false;
};

struct THTMLDrawResult {
    // The mouse is over a link or a picture.
    bool OverLink = false;
    // The address of the link under the mouse, its rectangle and number.
    std::string Anchor;
    TRect LinkRect;
    int HoverLink = 0;
    // Links in the text.
    int LinkCount = 0;
    // The mouse is over a picture; the picture's alternative text.
    bool OverPicture = false;
    std::string AltText;
    // The text without its tags, line breaks as CR.
    std::string PlainText;
    // The widest line (with its indentation) and the height of all lines.
    int Width = 0;
    int Height = 0;
};

// Lays out Text in R (measuring every line; drawing those that start inside R unless
// Options.CheckOnly). Returns Result.OverLink.
bool HTMLDrawEx(TCanvas& Canvas, std::string_view Text, const TRect& R,
                const THTMLDrawOptions& Options, THTMLDrawResult& Result);
