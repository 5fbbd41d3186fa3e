#pragma once
// Wide-string routines of the XML library. Positions are 1-based, as the library's callers
// count them.
#include <string>

// Count characters from Index, both clipped to the text.
std::u16string XpCopy(const std::u16string& Text, int Index, int Count);
// The position of Pattern in Text, compared as Windows-1252 text; 0 when it is not there.
int XpPos(const std::u16string& Pattern, const std::u16string& Text);
// Text with every occurrence of Pattern replaced.
std::u16string XpReplaceAll(const std::u16string& Text, const std::u16string& Pattern,
                            const std::u16string& Replacement);
