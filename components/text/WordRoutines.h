#pragma once
// Word routines. A word is a maximal run of characters none of which is in the delimiter set, so
// leading, trailing and repeated delimiters never make empty words. Positions are 1-based.
#include <cstdint>
#include <string>

// True when c occurs in the delimiter set; an empty set holds nothing.
bool IsWordDelimiter(const std::string& delimiters, char c);
uint32_t CountWords(const std::string& text, const std::string& delimiters);
// True and the 1-based start of word n; false (position untouched) when there is no word n.
// Word 0 never exists.
bool FindWordPosition(uint32_t n, const std::string& text, const std::string& delimiters,
                      uint32_t& position);
// Word n, or an empty text.
std::string ExtractWord(uint32_t n, const std::string& text, const std::string& delimiters);
// True and the position of the first c; false and 0 when the text lacks it.
bool FindCharPosition(const std::string& text, char c, uint32_t& position);
// The substring of count characters from the 1-based start: a start below 1 counts as 1, the
// count is cut at the end, a start past the end or a negative count give an empty text.
std::string CopySubString(const std::string& text, int32_t start, int32_t count);
