#pragma once
// The framework's own texts, by their numbers.
#include <string>

inline constexpr int kdxBarBlankName = 39010;
// The customizing popup's eight entries, 39150 + the entry's index.
inline constexpr int kdxBarCustomizingPopupFirst = 39150;
inline constexpr int kdxBarCustomizeCaption = 39300;
inline constexpr int kdxBarAddRemoveButtons = 39301;
inline constexpr int kdxBarMoreButtons = 39302;
inline constexpr int kdxBarResetToolbar = 39303;
inline constexpr int kdxBarExpandMenu = 39304;
inline constexpr int kdxBarNoManagers = 39005;

// The text of that number; empty for a number the framework does not know.
std::string dxBarString(int Id);
