#include <gtest/gtest.h>

#include <QString>
#include <string>

#include "platform/classes/Mnemonics.h"

namespace {

constexpr size_t kNone = std::string::npos;

struct TCase {
    const char* Marked;
    const char* Plain;
    size_t At;       // in Marked
    size_t PlainAt;  // in Plain
};

// One table for every reader of the mark: the shown text, the mnemonic in the marked text and in
// the shown one.
constexpr TCase kCases[] = {
    {"", "", kNone, kNone},
    {"Datei", "Datei", kNone, kNone},
    {"&Datei", "Datei", 1, 0},
    {"K&estro", "Kestro", 2, 1},
    {"Drag && Drop", "Drag & Drop", kNone, kNone},
    {"A&&&B", "A&B", 4, 2},
    {"&&&x", "&x", 3, 1},
    {"Ende&", "Ende&", kNone, kNone},  // a closing "&" shows as itself and marks nothing
    {"&", "&", kNone, kNone},
    {"a&&", "a&", kNone, kNone},
    {"a&b&c", "abc", 2, 1},  // the first single mark is the mnemonic
    {"&a&&b&c", "a&bc", 1, 0},
    {"a&&b&", "a&b&", kNone, kNone},
    {"Speichern &unter...", "Speichern unter...", 11, 10},
};

TEST(Mnemonics, TheTextsAndTheirMnemonicFollowOneRule) {
    for (const TCase& C : kCases) {
        const TMnemonicText<std::string> Read = ReadMnemonic(std::string(C.Marked));
        EXPECT_EQ(Read.Plain, C.Plain) << C.Marked;
        EXPECT_EQ(Read.At, C.At) << C.Marked;
        EXPECT_EQ(Read.PlainAt, C.PlainAt) << C.Marked;
        EXPECT_EQ(StripMnemonics(C.Marked), C.Plain) << C.Marked;
        EXPECT_EQ(MnemonicPos(C.Marked), C.At) << C.Marked;
        if (C.At != kNone) {
            EXPECT_EQ(Read.Plain[C.PlainAt], C.Marked[C.At]) << C.Marked;
        }
    }
}

TEST(Mnemonics, QtStringsReadAsTheirBytes) {
    for (const TCase& C : kCases) {
        const TMnemonicText<QString> Read = ReadMnemonic(QString::fromLatin1(C.Marked));
        EXPECT_EQ(Read.Plain, QString::fromLatin1(C.Plain)) << C.Marked;
        EXPECT_EQ(Read.At, C.At) << C.Marked;
        EXPECT_EQ(Read.PlainAt, C.PlainAt) << C.Marked;
    }
    // Characters beyond Latin-1 are characters like any other.
    const TMnemonicText<QString> Wide = ReadMnemonic(QStringLiteral(u"\u20AC&\u00FCber"));
    EXPECT_EQ(Wide.Plain, QStringLiteral(u"\u20AC\u00FCber"));
    EXPECT_EQ(Wide.PlainAt, 1u);
}

TEST(Mnemonics, TheKeyIsTheMarkedCharacterUpperCasedInAscii) {
    const std::pair<const char*, char> kKeys[] = {
        {"&Datei", 'D'},     {"K&estro", 'E'}, {"&7 Tage", '7'}, {"a&b&c", 'B'},
        {"Drag && Drop", 0}, {"Ende&", 0},     {"", 0},          {"&\xE4nderung", '\xE4'},
    };
    for (auto [Text, Key] : kKeys) EXPECT_EQ(MnemonicKey(Text), Key) << Text;
}

}  // namespace
