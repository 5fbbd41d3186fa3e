#pragma once
// Character entities and the text normalisers. Text is 8-bit (Windows code page 1252 as far as
// entities go); the soft hyphen and the non-breaking space are held as the internal codes 1 and 2
// so that layout can tell them from ordinary characters.
#include <string>

inline constexpr char kHtmlSoftHyphen = '\x01';
inline constexpr char kHtmlNoBreakSpace = '\x02';

// Replaces entity references by their characters, scanning from the end: "&lt;&#65;" gives "<A",
// unknown names and numbers outside 32..255 give a blank, "&amp;lt;" gives "&lt;".
std::string EscapeToAnsi(const std::string& Text);
// The reverse for "<", ">", "&", the double quote and the codes 1 and 2.
std::string AnsiToEscape(const std::string& Text);
// Non-breaking spaces as blanks, for measuring and drawing.
std::string NoBreakToSpace(const std::string& Text);
// Ordinary text: control characters go, line feeds become blanks (except within the first two
// characters), runs of blanks become one.
std::string NormalizeText(const std::string& Text);
// Preformatted text: tabs become blanks, carriage returns line feeds, a line feed right after
// another goes, other control characters go.
std::string NormalizePreText(const std::string& Text);
