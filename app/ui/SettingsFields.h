#pragma once
// How the settings dialogs turn what was typed into values: numbers with the defaults the
// dialogs give a text that is no number, the program-wide thread maximum, and texts that must
// stay on one line of a settings file.
#include <cstdint>
#include <optional>
#include <string>

// A number field of a dialog: its caption (for messages) and the value a text that is no number
// gives. Negative numbers have no meaning in any of them.
struct TNumberField {
    std::string Caption;
    int64_t Default = 0;
    int64_t Max = INT32_MAX;
};

// What a number field's text gives: the value, or why it cannot be taken (a UTF-8 sentence
// naming the field).
struct TNumberValue {
    std::optional<int64_t> Value;
    std::string Error;
};

// A decimal number, blanks around it allowed, is taken when it is not negative and fits the
// field; a text that is no number gives the field's default (the dialogs have always done so);
// a negative number or one beyond the field's maximum is refused.
TNumberValue ReadNumberField(const std::string& Text, const TNumberField& Field);

// The thread maximum of the options dialog: 4 for a text that is no number, 15 above 10, and
// never below 1 (the scheduler divides by it).
int32_t MaxThreadsFromText(const std::string& Text);

// The text without CR, LF and NUL: each settings file holds one value per line, and a line
// break typed or pasted into a field would start a line (a key) of its own.
std::string SingleLine(std::string Text);
