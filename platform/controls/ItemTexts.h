#pragma once
// The texts of items (and of tabs, status bar parts and the controls' own texts), Windows-1252
// bytes: how they come from a message and go back into a caller's buffer, and the one place that
// says how they compare, for every control that sorts or searches them (list and combo boxes, list
// views, tree views). Searching ignores case (Ä finds ä); sorting also puts accented letters with
// their base letter (Ä with A, ß as SS, Æ as AE), as sorting by the user's locale does, and lets
// accents decide only between texts that are otherwise equal. Texts that differ in case alone sort
// as equal: such items stay in the order they came.
#include <cstdint>
#include <string>
#include <string_view>

// The text a message passes (none: empty), cut at ControlsLimits::kMaxItemText. No more of it is
// read than is kept: a text that is not terminated in time is not read past the limit.
std::string ItemTextFrom(const char* Text);
// Copies Text into a caller's buffer of Size bytes, cut to fit and always terminated; the bytes
// copied (0 without a buffer or room).
int ItemTextTo(std::string_view Text, char* Buffer, std::int64_t Size);

// Negative, 0 or positive as A sorts before, with or after B.
int CompareItemTexts(std::string_view A, std::string_view B);
bool ItemTextStartsWith(std::string_view Text, std::string_view Prefix);
bool ItemTextEquals(std::string_view A, std::string_view B);
