#pragma once
// Fonts while a document is measured, laid out and painted.
//
// TIpHtmlCanvasFonts is the document's target canvas together with the font and text colour it
// was last given: a font goes to the canvas only when something is measured or drawn in it and
// it is not already there, so a layout whose words are all known makes no canvas call at all.
// It also fills the metric caches of the font records (space, hyphen, ascent, descent, height)
// and each record's cache of word sizes.
//
// TIpHtmlFontInForce is the properties in force during one walk over a block's elements: an
// element that carries properties switches them, and words are measured in the font in force.
#include <cstdint>
#include <string_view>

#include "htmlview/html/IpHtmlCanvas.h"
#include "htmlview/html/IpHtmlElement.h"
#include "htmlview/html/IpHtmlProps.h"

class TIpHtml;

class TIpHtmlCanvasFonts {
  public:
    explicit TIpHtmlCanvasFonts(TIpHtml& Owner) : FOwner(Owner) {}
    TIpHtmlCanvas* Canvas() const { return FCanvas; }
    // Draws and measures on Canvas (null: none) from now on; nothing is assumed selected on it.
    void SetCanvas(TIpHtmlCanvas* Canvas);
    // Whatever was selected on the canvas may have changed behind our back.
    void Forget();

    // The record with its metrics known (measured on the canvas the first time).
    TIpHtmlPropA& WithMetrics(TIpHtmlPropA& Font);
    // The size of Text in Font, from the record's cache when it was measured before.
    TIpHtmlSize WordSize(TIpHtmlPropA& Font, std::string_view Text);
    // Makes the canvas draw in Font and Color.
    void SelectForDrawing(TIpHtmlPropA& Font, TIpHtmlColor Color);

  private:
    void Select(TIpHtmlPropA& Font);
    TIpHtmlSize Measure(TIpHtmlPropA& Font, std::string_view Text);
    TIpHtml& FOwner;
    TIpHtmlCanvas* FCanvas = nullptr;
    TIpHtmlPropA* FSelected = nullptr;
    TIpHtmlColor FColor = 0;
    bool FColorKnown = false;
};

class TIpHtmlFontInForce {
  public:
    // Starts with Start in force.
    TIpHtmlFontInForce(TIpHtmlCanvasFonts& Fonts, const TIpHtmlProps& Start);
    // Makes Props the properties in force; false when they already were.
    bool Use(const TIpHtmlProps& Props);
    TIpHtmlPropA& Font() { return FFonts.WithMetrics(*FFont); }
    const TIpHtmlPropBKey& Other() const { return FOther->Key(); }
    // A word's size in the font in force; kept in the element with the font as its stamp.
    TIpHtmlSize WordSize(LayoutElement& Word);
    // Makes the canvas draw in the font and colour in force.
    void SelectForDrawing() { FFonts.SelectForDrawing(*FFont, FOther->Key().FontColor); }

  private:
    TIpHtmlCanvasFonts& FFonts;
    TIpHtmlPropA* FFont = nullptr;
    TIpHtmlPropB* FOther = nullptr;
};
