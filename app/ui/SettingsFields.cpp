#include "app/ui/SettingsFields.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace {

std::string_view TrimBlanks(std::string_view Text) {
    while (!Text.empty() && (Text.front() == ' ' || Text.front() == '\t')) Text.remove_prefix(1);
    while (!Text.empty() && (Text.back() == ' ' || Text.back() == '\t')) Text.remove_suffix(1);
    return Text;
}

// A decimal number with an optional sign and nothing else. Overflowing digits are still a number
// (one too large for any field), so they are refused rather than quietly defaulted.
enum class TParsed { NoNumber, Number, TooLarge };

TParsed ParseDecimal(std::string_view Text, int64_t& Value) {
    Text = TrimBlanks(Text);
    bool Negative = false;
    if (!Text.empty() && (Text.front() == '+' || Text.front() == '-')) {
        Negative = Text.front() == '-';
        Text.remove_prefix(1);
    }
    if (Text.empty() ||
        !std::all_of(Text.begin(), Text.end(), [](char C) { return C >= '0' && C <= '9'; }))
        return TParsed::NoNumber;
    uint64_t Magnitude = 0;
    const auto Result = std::from_chars(Text.data(), Text.data() + Text.size(), Magnitude);
    if (Result.ec != std::errc() || Magnitude > uint64_t(INT64_MAX)) return TParsed::TooLarge;
    Value = Negative ? -int64_t(Magnitude) : int64_t(Magnitude);
    return TParsed::Number;
}

}  // namespace

TNumberValue ReadNumberField(const std::string& Text, const TNumberField& Field) {
    int64_t Value = 0;
    switch (ParseDecimal(Text, Value)) {
        case TParsed::NoNumber:
            return {Field.Default, {}};
        case TParsed::TooLarge:
            break;
        case TParsed::Number:
            if (Value < 0)
                return {std::nullopt,
                        "\xE2\x80\x9E" + Field.Caption + "\xE2\x80\x9C darf nicht negativ sein."};
            if (Value <= Field.Max) return {Value, {}};
            break;
    }
    return {std::nullopt, "\xE2\x80\x9E" + Field.Caption +
                              "\xE2\x80\x9C ist zu gro\xC3\x9F (h\xC3\xB6"
                              "chstens " +
                              std::to_string(Field.Max) + ")."};
}

int32_t MaxThreadsFromText(const std::string& Text) {
    int64_t Value = 0;
    if (ParseDecimal(Text, Value) != TParsed::Number) return 4;
    if (Value > 10) return 15;
    return Value < 1 ? 1 : int32_t(Value);
}

std::string SingleLine(std::string Text) {
    std::erase_if(Text, [](char C) { return C == '\r' || C == '\n' || C == '\0'; });
    return Text;
}
