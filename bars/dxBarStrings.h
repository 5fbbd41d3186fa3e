#pragma once
// The framework's own texts, by their numbers.
#include <string>

inline constexpr int kdxBarResetBarQuestion = 39001;
inline constexpr int kdxBarResetUsageDataQuestion = 39002;
inline constexpr int kdxBarCustomizeCaption = 39300;
inline constexpr int kdxBarMoreButtons = 39302;
inline constexpr int kdxBarExpandMenu = 39304;
inline constexpr int kdxBarNoManagers = 39005;

// The text of that number; empty for a number the framework does not know.
std::string dxBarString(int Id);
