#pragma once
// The texts typed values travel in between a value editor and its edit control: a colour by the
// class library's name ("clBlack") or as a number, a pen style by its identifier ("psSolid"), a
// brush style as "bs" and its name ("bsSolid"), a Boolean as "True" or "False".
//
// Reading a text that names no value raises Exception with the text in its message; the value
// being edited then stays as it was.
#include <span>
#include <string>

#include "platform/gdi/Graphics.h"

// The colours a colour list offers, in its order: the 16 standard colours, the 25 system colours
// of indexes 0 to 24, and clNone.
std::span<const TColor> ListedColors();
std::string ColorText(TColor Color);
TColor ColorFromText(const std::string& Text);

// Pen styles by identifier, in the order of TPenStyle.
std::span<const char* const> PenStyleNames();
std::string PenStyleText(TPenStyle Style);
TPenStyle PenStyleFromText(const std::string& Text);

// Brush styles by name without the "bs" their texts carry, in the order of TBrushStyle.
std::span<const char* const> BrushStyleNames();
inline constexpr const char* kBrushStylePrefix = "bs";
std::string BrushStyleText(TBrushStyle Style);
TBrushStyle BrushStyleFromText(const std::string& Text);

// True when the text starts with "T" or "Y" in either case ("True", "yes"); any other text,
// the empty one too, is false.
bool BooleanFromText(const std::string& Text);
std::string BooleanText(bool Value);
