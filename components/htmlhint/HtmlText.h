#pragma once
// The small text routines of the mini-HTML renderer: entities, colour values, attribute values
// and forgiving number parsing. Texts are Windows-1252 bytes.
#include <string>
#include <string_view>

#include "platform/gdi/Graphics.h"

namespace HtmlText {

inline constexpr size_t npos = std::string::npos;

// The byte two hexadecimal digits give (either case); a character that is not a digit counts 0.
int HexVal(std::string_view Pair);
// "#RRGGBB" as a colour (red + green * 256 + blue * 65536); missing digits count 0.
TColor HexToColor(std::string_view Value);
// A colour name ("clRed", "clBtnFace"; any case); 0 (black) for an unknown name.
TColor Text2Color(std::string_view Name);
// A colour value: "#" and hex digits, else a colour name.
TColor ColorValue(std::string_view Value);

// Position of Needle in Haystack without regard to ASCII case, or npos.
size_t IPos(std::string_view Needle, std::string_view Haystack, size_t From = 0);
// The number at the start of Text (blanks and one sign first); invalid text gives the value read
// so far, and a number too big for an int stops growing at the limit.
int IStrToInt(std::string_view Text);
// Replaces the first occurrence of From (without regard to case) in S; false when there is none.
bool TagReplaceString(std::string_view From, std::string_view To, std::string& S);

// The value of an attribute of a tag: the text between the first pair of double quotes after the
// name, or an unquoted value (up to a blank or ">") when the name is followed by "=" and no quote.
// Name is matched as given (callers pass upper case for upper-cased tags); false when absent.
bool AttributeValue(std::string_view Tag, std::string_view Name, std::string& Value);
// The text between the first pair of double quotes of the tag (a link's address).
std::string FirstQuoted(std::string_view Tag);

// The text with its character entities replaced, as a hint text is prepared: "&amp;" becomes
// "&&" (one ampersand once drawn), "&quot;" a quote, and the symbols their Windows-1252 bytes.
// An "&amp;" that now stands before "quot;" (or any entity's rest) makes that entity too.
std::string ReplaceEntities(std::string_view Text);
// A text run's own entities: "&nbsp;", "&lt;" and "&gt;".
std::string ReplaceRunEntities(std::string_view Run);

std::string UpperCase(std::string_view Text);

}  // namespace HtmlText
