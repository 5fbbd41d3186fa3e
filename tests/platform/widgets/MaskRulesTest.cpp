// Edit masks apart from any window: how masks read, what a value looks like in a mask and back,
// what typing and deleting do, what counts as complete; and the Windows-1252 letters they use.
#include <gtest/gtest.h>

#include "platform/widgets/AnsiChars.h"
#include "platform/widgets/MaskRules.h"

namespace {

constexpr size_t npos = TEditMask::npos;

TEST(MaskRules, MasksReadTheirFieldsDirectivesAndLiterals) {
    struct TCase {
        const char* Mask;
        const char* Empty;
        bool Save;
        char Blank;
        bool Reverse;
    };
    const TCase Cases[] = {
        {"00/00/0000;1;_", "__/__/____", true, '_', false},
        {"!99:99;0;*", "**:**", false, '*', true},
        {"(999) 000-0000;0; ", "(   )    -    ", false, ' ', false},
        // '_' in the mask is a blank literal; ':' and '/' stand for the separators.
        {"0_0", "_ _", true, '_', false},
        // An escaped character is a literal, the separator too.
        {"\\L0\\;0", "L_;_", true, '_', false},
        // Case directives take no place.
        {">LL<ll<>cc", "______", true, '_', false},
        // Save flag field empty: literals are saved; no blank field: '_'.
        {"00;", "__", true, '_', false},
        {"00;0", "__", false, '_', false},
        {"00;;#", "##", true, '#', false},
        // A trailing escape stands for itself.
        {"0\\", "_\\", true, '_', false},
    };
    for (const TCase& C : Cases) {
        const TEditMask M(C.Mask);
        EXPECT_EQ(M.EmptyText(), C.Empty) << C.Mask;
        EXPECT_EQ(M.SaveLiterals(), C.Save) << C.Mask;
        EXPECT_EQ(M.Blank(), C.Blank) << C.Mask;
        EXPECT_EQ(M.Reverse(), C.Reverse) << C.Mask;
    }
    EXPECT_TRUE(TEditMask("").Empty());
    EXPECT_TRUE(TEditMask(";1;_").Empty());
    EXPECT_FALSE(TEditMask("0").Empty());
}

TEST(MaskRules, EachMaskCharacterTakesItsKindOfCharacter) {
    struct TCase {
        const char* Mask;
        char Typed;
        char Kept;  // 0: refused
    };
    const TCase Cases[] = {
        {"L", 'a', 'a'},
        {"L", '1', 0},
        {"L", '\xE4', '\xE4'},
        {"l", 'Z', 'Z'},
        {"A", '7', '7'},
        {"A", '-', 0},
        {"a", 'q', 'q'},
        {"C", '-', '-'},
        {"C", ' ', ' '},
        {"c", '\x01', 0},
        {"0", '5', '5'},
        {"0", 'x', 0},
        {"9", '9', '9'},
        {"9", '+', 0},
        {"#", '+', '+'},
        {"#", '-', '-'},
        {"#", '3', '3'},
        {"#", '*', 0},
        {">L", 'a', 'A'},
        {">L", '\xE4', '\xC4'},
        {"<L", 'Q', 'q'},
        {"><L", 'Q', 'q'},
        {"<>L", 'Q', 'Q'},
        {">a<a", 'x', 'X'},
        {">c", '\xFF', '\x9F'},
        // The blank character would read as nothing entered.
        {"C;1;x", 'x', 0},
    };
    for (const TCase& C : Cases) {
        const TEditMask M(C.Mask);
        const std::optional<char> Kept = M.Accept(0, C.Typed);
        if (C.Kept == 0)
            EXPECT_FALSE(Kept.has_value()) << C.Mask << " " << C.Typed;
        else
            EXPECT_EQ(Kept, std::optional<char>(C.Kept)) << C.Mask << " " << C.Typed;
    }
    EXPECT_FALSE(TEditMask("0/").Accept(1, '/'));
    EXPECT_FALSE(TEditMask("0").Accept(5, '1'));
}

TEST(MaskRules, ValuesBecomeShownTextsAndBack) {
    struct TCase {
        const char* Mask;
        const char* Value;
        const char* Shown;
        const char* Back;
    };
    const TCase Cases[] = {
        // Saved literals: the value holds them, blanks as spaces.
        {"00/00/0000;1;_", "24/12/1999", "24/12/1999", "24/12/1999"},
        {"00/00/0000;1;_", "24121999", "24/12/1999", "24/12/1999"},
        {"00/00/0000;1;_", "24/1", "24/1_/____", "24/1 /    "},
        // Literals left out: the value is what was entered, without blanks at its end.
        {"00:00;0;_", "1234", "12:34", "1234"},
        {"00:00;0;_", "12:34", "12:34", "1234"},
        {"00:00;0;_", "12", "12:__", "12"},
        {"00:00;0;_", "1 3", "1_:3_", "1 3"},
        // '!': a short value fills the slots from the end; blanks at the start are left out.
        {"!9999;0;_", "12", "__12", "12"},
        {"!(999);0;_", "42", "(_42)", "42"},
        // Case and kinds: what does not suit its place stays blank.
        {">LL<ll;1;_", "abCD", "ABcd", "ABcd"},
        {"LL;1;_", "a1", "a_", "a "},
        {"#99;1;_", "-12", "-12", "-12"},
        {"#99;1;_", "x12", "_12", " 12"},
        // A value longer than the mask loses its end.
        {"000;0;_", "12345", "123", "123"},
        {"(999) 000-0000;0;_", "0301234567", "(030) 123-4567", "0301234567"},
        // A blank that is a space.
        {"00-00;1; ", "1", "1 -  ", "1 -  "},
    };
    for (const TCase& C : Cases) {
        const TEditMask M(C.Mask);
        EXPECT_EQ(M.EditTextOf(C.Value), C.Shown) << C.Mask << " / " << C.Value;
        EXPECT_EQ(M.ValueOf(C.Shown), C.Back) << C.Mask << " / " << C.Shown;
        // What a value became reads the same way again.
        EXPECT_EQ(M.EditTextOf(M.ValueOf(C.Shown)), C.Shown) << C.Mask;
    }
}

TEST(MaskRules, AnyTextIsMadeToFitTheMask) {
    const TEditMask M(">LL-00;1;_");
    EXPECT_EQ(M.Conform("ab-12"), "AB-12");
    EXPECT_EQ(M.Conform("a"), "A_-__");
    EXPECT_EQ(M.Conform("1b+x7zzz"), "_B-_7");
    EXPECT_EQ(M.Conform(""), "__-__");
}

// Types every character of Keys at the caret, the way the edit does.
TMaskEditResult TypeAll(const TEditMask& M, std::string Text, size_t Caret, const std::string& Keys,
                        int& Refused) {
    TMaskEditResult R{M.Conform(Text), Caret, true};
    for (const char K : Keys) {
        const TMaskEditResult Next = M.Type(R.Text, R.Caret, R.Caret, K);
        if (!Next.Accepted) {
            ++Refused;
            continue;
        }
        R = Next;
    }
    return R;
}

TEST(MaskRules, TypingOverwritesSkipsLiteralsAndRefusesWhatDoesNotSuit) {
    struct TCase {
        const char* Mask;
        const char* Start;
        size_t Caret;
        const char* Keys;
        const char* Shown;
        size_t CaretAfter;
        int Refused;
    };
    const TCase Cases[] = {
        {"00:00;1;_", "", 0, "1234", "12:34", 5, 0},
        // The literal typed where it stands moves past it.
        {"00:00;1;_", "", 0, "12:34", "12:34", 5, 0},
        {"00:00;1;_", "", 0, "1a2", "12:__", 3, 1},
        // Typing overwrites; at a literal the character goes into the next place.
        {"00:00;1;_", "12:34", 2, "9", "12:94", 4, 0},
        {"00:00;1;_", "12:34", 0, "56", "56:34", 3, 0},
        // No place left.
        {"0000;1;_", "", 0, "12345", "1234", 4, 1},
        {">L<l;1;_", "", 0, "ab", "Ab", 2, 0},
        {"LL;1;_", "", 0, "\xE4\xD6", "\xE4\xD6", 2, 0},
    };
    for (const TCase& C : Cases) {
        const TEditMask M(C.Mask);
        int Refused = 0;
        const TMaskEditResult R = TypeAll(M, M.EditTextOf(C.Start), C.Caret, C.Keys, Refused);
        EXPECT_EQ(R.Text, C.Shown) << C.Mask << " " << C.Keys;
        EXPECT_EQ(R.Caret, C.CaretAfter) << C.Mask << " " << C.Keys;
        EXPECT_EQ(Refused, C.Refused) << C.Mask << " " << C.Keys;
    }
}

TEST(MaskRules, ATypedCharacterReplacesTheSelectionOnlyWhenItIsTaken) {
    const TEditMask M("00/00;1;_");
    const TMaskEditResult Taken = M.Type("12/34", 0, 5, '9');
    EXPECT_TRUE(Taken.Accepted);
    EXPECT_EQ(Taken.Text, "9_/__");
    EXPECT_EQ(Taken.Caret, 1u);
    const TMaskEditResult Refused = M.Type("12/34", 0, 5, 'x');
    EXPECT_FALSE(Refused.Accepted);
    EXPECT_EQ(Refused.Text, "12/34");
}

TEST(MaskRules, DeletingBlanksPlacesAndMovesNothing) {
    struct TCase {
        size_t Start;
        size_t End;
        bool Backward;
        const char* Shown;
        size_t Caret;
        bool Changed;
    };
    const TEditMask M("00/00;1;_");
    const TCase Cases[] = {
        {5, 5, true, "12/3_", 4, true},
        // Backspace right after a literal takes the place before it.
        {3, 3, true, "1_/34", 1, true},
        {0, 0, false, "_2/34", 0, true},
        {2, 2, false, "12/_4", 3, true},
        {1, 4, true, "1_/_4", 1, true},
        {0, 0, true, "12/34", 0, false},
        {5, 5, false, "12/34", 5, false},
    };
    for (const TCase& C : Cases) {
        const TMaskEditResult R = M.Erase("12/34", C.Start, C.End, C.Backward);
        EXPECT_EQ(R.Text, C.Shown) << C.Start << "-" << C.End;
        EXPECT_EQ(R.Caret, C.Caret) << C.Start << "-" << C.End;
        EXPECT_EQ(R.Accepted, C.Changed) << C.Start << "-" << C.End;
    }
}

TEST(MaskRules, PastedTextIsTypedUntilACharacterDoesNotFit) {
    const TEditMask M("00/00/0000;1;_");
    const TMaskEditResult Whole = M.Paste(M.EmptyText(), 0, 0, "24.12.1999");
    // '.' is no digit and not the literal: the paste stops there.
    EXPECT_FALSE(Whole.Accepted);
    EXPECT_EQ(Whole.Text, "24/__/____");
    const TMaskEditResult Fits = M.Paste(M.EmptyText(), 0, 0, "24/12/1999");
    EXPECT_TRUE(Fits.Accepted);
    EXPECT_EQ(Fits.Text, "24/12/1999");
    const TMaskEditResult Into = M.Paste("24/12/1999", 3, 5, "07");
    EXPECT_EQ(Into.Text, "24/07/1999");
    EXPECT_EQ(Into.Caret, 6u);
}

TEST(MaskRules, AShownTextIsCompleteWhenEveryRequiredPlaceIsFilled) {
    struct TCase {
        const char* Mask;
        const char* Shown;
        size_t Invalid;
    };
    const TCase Cases[] = {
        {"00:00;1;_", "12:34", npos}, {"00:00;1;_", "12:3_", 4}, {"00:00;1;_", "__:__", 0},
        {"99:99;1;_", "__:__", npos}, {"L0;1;_", "_1", 0},       {"L0;1;_", "a_", 1},
        {"cC;1;_", " x", npos},       {"cC;1;_", "x ", npos},    {"0;1;_", "x", 0},
        {">L;1;_", "a", 0},           {"0000;1;_", "12", 2},     {"aA;1;_", "__", 1},
    };
    for (const TCase& C : Cases)
        EXPECT_EQ(TEditMask(C.Mask).FindInvalid(C.Shown), C.Invalid) << C.Mask << " " << C.Shown;
}

TEST(MaskRules, InputPlacesAroundAPosition) {
    const TEditMask M("(00)-0");
    EXPECT_EQ(M.NextInput(0), 1u);
    EXPECT_EQ(M.NextInput(3), 5u);
    EXPECT_EQ(M.NextInput(6), 6u);
    EXPECT_EQ(M.PrevInput(5), 2u);
    EXPECT_EQ(M.PrevInput(1), npos);
}

TEST(AnsiChars, LettersAndTheirCaseInWindows1252) {
    struct TCase {
        char C;
        bool Letter;
        char Upper;
        char Lower;
    };
    const TCase Cases[] = {
        {'a', true, 'A', 'a'},           {'Z', true, 'Z', 'z'},
        {'5', false, '5', '5'},          {'\xE4', true, '\xC4', '\xE4'},  // ä Ä
        {'\xD6', true, '\xD6', '\xF6'},                                   // Ö ö
        {'\xDF', true, '\xDF', '\xDF'},                                   // ß
        {'\xFF', true, '\x9F', '\xFF'},                                   // ÿ Ÿ
        {'\x8A', true, '\x8A', '\x9A'},                                   // Š š
        {'\xD7', false, '\xD7', '\xD7'},                                  // ×
        {'\xF7', false, '\xF7', '\xF7'},                                  // ÷
        {'\xB5', true, '\xB5', '\xB5'},                                   // µ
        {'\x80', false, '\x80', '\x80'},                                  // €
    };
    for (const TCase& C : Cases) {
        EXPECT_EQ(IsAnsiLetter(C.C), C.Letter) << int(static_cast<unsigned char>(C.C));
        EXPECT_EQ(AnsiUpperChar(C.C), C.Upper) << int(static_cast<unsigned char>(C.C));
        EXPECT_EQ(AnsiLowerChar(C.C), C.Lower) << int(static_cast<unsigned char>(C.C));
    }
    EXPECT_EQ(AnsiUpperCase("Gr\xF6\xDF"
                            "e"),
              "GR\xD6\xDF"
              "E");
}

}  // namespace
