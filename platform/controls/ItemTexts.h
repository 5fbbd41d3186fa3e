#pragma once
// The one place that says how the texts of items compare, for every control that sorts or
// searches them (list and combo boxes, list views, tree views). Texts are Windows-1252 bytes.
// Searching ignores case (Ä finds ä); sorting also puts accented letters with their base letter
// (Ä with A, ß as SS, Æ as AE), as sorting by the user's locale does, and lets accents decide only
// between texts that are otherwise equal. Texts that differ in case alone sort as equal: such
// items stay in the order they came.
#include <string_view>

// Negative, 0 or positive as A sorts before, with or after B.
int CompareItemTexts(std::string_view A, std::string_view B);
bool ItemTextStartsWith(std::string_view Text, std::string_view Prefix);
bool ItemTextEquals(std::string_view A, std::string_view B);
