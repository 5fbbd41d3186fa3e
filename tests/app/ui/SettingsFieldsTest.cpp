// What the settings dialogs make of typed numbers and texts.
#include <gtest/gtest.h>

#include "app/ui/SettingsFields.h"

namespace {

TEST(SettingsFields, NumberFieldsTakeNumbersDefaultOtherTextsAndRefuseWhatCannotBeMeant) {
    const TNumberField Threads{"Maximale Zahl gleichzeitiger Verbindungen", 15};
    const TNumberField NewMax{"Maximale neue Nachrichten", 0, UINT32_MAX};
    struct {
        std::string Text;
        const TNumberField* Field;
        std::optional<int64_t> Value;
    } const Cases[] = {
        {"7", &Threads, 7},
        {" 12 ", &Threads, 12},
        {"+3", &Threads, 3},
        {"0", &Threads, 0},
        {"abc", &Threads, 15},  // no number: the field's default, as the dialog always did
        {"", &Threads, 15},
        {"12abc", &Threads, 15},
        {"-", &Threads, 15},
        {"2147483647", &Threads, 2147483647},
        {"2147483648", &Threads, std::nullopt},  // beyond the field
        {"99999999999999999999999", &Threads, std::nullopt},
        {"-1", &Threads, std::nullopt},
        {"4294967295", &NewMax, 4294967295},
        {"4294967296", &NewMax, std::nullopt},
        {"-5", &NewMax, std::nullopt},
        {"-0", &NewMax, 0},
    };
    for (const auto& C : Cases) {
        const TNumberValue V = ReadNumberField(C.Text, *C.Field);
        EXPECT_EQ(V.Value, C.Value) << C.Text;
        EXPECT_EQ(V.Error.empty(), C.Value.has_value()) << C.Text;
        if (!C.Value) {
            EXPECT_NE(V.Error.find(C.Field->Caption), std::string::npos) << V.Error;
        }
    }
    EXPECT_EQ(ReadNumberField("-5", NewMax).Error,
              "\xE2\x80\x9EMaximale neue Nachrichten\xE2\x80\x9C darf nicht negativ sein.");
}

TEST(SettingsFields, ThreadMaximumIsFourForNoNumberFifteenAboveTenAndNeverBelowOne) {
    const std::pair<std::string, int32_t> Cases[] = {
        {"abc", 4}, {"", 4},    {"1", 1}, {"8", 8},  {"10", 10},
        {"11", 15}, {"99", 15}, {"0", 1}, {"-3", 1}, {" 6 ", 6},
    };
    for (const auto& [Text, Expected] : Cases)
        EXPECT_EQ(MaxThreadsFromText(Text), Expected) << Text;
}

TEST(SettingsFields, SingleLineDropsLineBreaksAndNuls) {
    EXPECT_EQ(SingleLine("pop.example.org\r\nPop3Pass=x"), "pop.example.orgPop3Pass=x");
    EXPECT_EQ(SingleLine(std::string("a\0b\rc\nd", 7)), "abcd");
    EXPECT_EQ(SingleLine("C:\\XP\\Spool mit Blanks "), "C:\\XP\\Spool mit Blanks ");
}

}  // namespace
