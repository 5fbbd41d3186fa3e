#include <gtest/gtest.h>

#include "components/text/WordRoutines.h"

namespace {

TEST(WordRoutines, CountWordsIgnoresLeadingTrailingAndRepeatedDelimiters) {
    const struct {
        const char* text;
        const char* delimiters;
        uint32_t words;
    } cases[] = {
        {"  a  b ", " ", 2}, {"", " ", 0},      {"   ", " ", 0},  {"abc", "", 1},
        {"", "", 0},         {"a|b|c", "|", 3}, {"a||c", "|", 2}, {"a, b;c", ", ;", 3},
        {"abc", " ", 1},     {"|", "|", 0},     {" a", " ", 1},   {"a ", " ", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CountWords(c.text, c.delimiters), c.words) << '"' << c.text << '"';
    EXPECT_TRUE(IsWordDelimiter(" |", '|'));
    EXPECT_FALSE(IsWordDelimiter("", ' '));
}

TEST(WordRoutines, FindWordPositionAndExtractWord) {
    const struct {
        uint32_t n;
        const char* text;
        const char* delimiters;
        bool found;
        uint32_t position;  // when found
        const char* word;
    } cases[] = {
        {1, "  a  bc", " ", true, 3, "a"}, {2, "  a  bc", " ", true, 6, "bc"},
        {3, "  a  bc", " ", false, 0, ""}, {0, "  a  bc", " ", false, 0, ""},
        {2, "a|b|c", "|", true, 3, "b"},   {2, "a||b|c", "|", true, 4, "b"},
        {3, "a||b|c", "|", true, 6, "c"},  {4, "a|b|c", "|", false, 0, ""},
        {4, "a||b|c", "|", false, 0, ""},  {1, "", " ", false, 0, ""},
        {1, "word", "", true, 1, "word"},  {2, "word", "", false, 0, ""},
        {1, "|||", "|", false, 0, ""},     {1, "key=value", "=", true, 1, "key"},
    };
    for (const auto& c : cases) {
        uint32_t position = 4711;
        EXPECT_EQ(FindWordPosition(c.n, c.text, c.delimiters, position), c.found)
            << c.n << " in \"" << c.text << '"';
        // A failed search leaves the position as it was.
        EXPECT_EQ(position, c.found ? c.position : 4711u) << c.n << " in \"" << c.text << '"';
        EXPECT_EQ(ExtractWord(c.n, c.text, c.delimiters), c.word)
            << c.n << " in \"" << c.text << '"';
    }
}

TEST(WordRoutines, FindCharPosition) {
    uint32_t position = 99;
    EXPECT_TRUE(FindCharPosition("a.b.c", '.', position));
    EXPECT_EQ(position, 2u);
    EXPECT_FALSE(FindCharPosition("abc", '.', position));
    EXPECT_EQ(position, 0u);
    position = 99;
    EXPECT_FALSE(FindCharPosition("", '.', position));
    EXPECT_EQ(position, 0u);
}

TEST(WordRoutines, CopySubString) {
    const struct {
        const char* text;
        int32_t start;
        int32_t count;
        const char* want;
    } cases[] = {
        {"abcdef", 0, 3, "abc"},  {"abcdef", -5, 3, "abc"}, {"abcdef", 7, 1, ""},
        {"abcdef", 5, 100, "ef"}, {"abcdef", 6, 1, "f"},    {"abcdef", 2, -1, ""},
        {"abcdef", 2, 0, ""},     {"", 1, 3, ""},           {"abcdef", 1, INT32_MAX, "abcdef"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CopySubString(c.text, c.start, c.count), c.want) << c.start << "," << c.count;
}

}  // namespace
