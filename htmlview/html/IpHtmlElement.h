#pragma once
// The layout element: what a block lays out into lines. Text nodes give words, inline boxes give
// one object element each, and block-level markup appends the document's shared break, indent
// and hyphen elements. Elements live in the document's pool until the document goes.
#include <cstdint>
#include <string>

#include "htmlview/html/IpHtmlTypes.h"

class TIpHtmlNode;
class TIpHtmlPropA;
class TIpHtmlProps;

enum class TElementType : uint8_t {
    Word,             // a run of characters without a break opportunity, or a blank
    Object,           // a box that asks its node for size and paints through it
    SoftBreak,        // ends the line; several in a row give no empty lines
    HardBreak,        // ends the line; an empty line gets the font's height
    BreakClearLeft,   // ends the line and moves below left floats
    BreakClearRight,  // ends the line and moves below right floats
    BreakClearAll,    // ends the line and moves below all floats
    Indent,           // one indent step more
    Outdent,          // one indent step less
    SoftHyphen,       // a break opportunity that shows "-" when the line breaks there
};

struct LayoutElement {
    TElementType ElementType = TElementType::Word;
    // Words only; a non-breaking space is held as the code 2.
    std::string AnsiWord;
    // For a word of blanks only, how many; 0 for any other word.
    int32_t IsBlank = 0;
    // The font record the cached size was measured with; none when not measured.
    TIpHtmlPropA* SizeProp = nullptr;
    int32_t Width = 0;
    int32_t Height = 0;
    // Set by layout; all zero means the element is not shown.
    TIpHtmlRect WordRect;
    // The properties in force from this element on, or none when they do not change here.
    TIpHtmlProps* Props = nullptr;
    // The node that produced the element.
    TIpHtmlNode* Owner = nullptr;
};
