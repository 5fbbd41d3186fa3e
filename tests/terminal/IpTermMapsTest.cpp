// The key and character-set maps, their resources and loader, and the byte queue.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "terminal/IpTermMaps.h"
#include "tests/support/TestSupport.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& Text) {
    return {Text.begin(), Text.end()};
}

std::string ShortString(const std::string& Text) {
    return std::string(1, char(Text.size())) + Text;
}

std::string Resource(uint32_t Count, const std::string& Records,
                     const std::string& Close = "AHT3") {
    std::string Out = "AHT3";
    for (int I = 0; I < 4; ++I) Out.push_back(char(Count >> (8 * I)));
    return Out + Records + Close;
}

TEST(TerminalResources, RecordCountsOfTheGeneratedMaps) {
    TIpKeyboardMapping Keys;
    Keys.LoadFromRes(MainResourceModule(), "IPVT100KeyMap");
    EXPECT_EQ(Keys.Count(), 221);
    EXPECT_EQ(Keys.Get("\\x26"), "VK_UP");
    EXPECT_EQ(Keys.Get("shift+VK_BACK"), "DEC_BS");
    EXPECT_EQ(Keys.Get("DEC_KP5k"), "");
    EXPECT_EQ(Keys.Get("DEC_KP56"), "\\eOu");
    EXPECT_EQ(Keys.Get("DEC_NULL"), "\\x00");

    TIpCharSetMapping Sets;
    Sets.LoadFromRes(MainResourceModule(), "IPVT100CHARSET");
    EXPECT_EQ(Sets.Count(), 603);
    std::vector<std::string> Fonts = Sets.GetFontNames();
    std::sort(Fonts.begin(), Fonts.end());
    EXPECT_EQ(Fonts, (std::vector<std::string>{"<Default>", "Terminal"}));
}

TEST(CharSetMapping, DrawScriptsSplitByFont) {
    TIpCharSetMapping Sets;
    Sets.LoadFromRes(MainResourceModule(), "IPVT100CHARSET");
    struct Case {
        const char* Text;
        const char* CharSet;
        const char* Expected;
    } Cases[] = {
        {"a#b", "VT100-UK", "<Default>:a Terminal:\x9c <Default>:b"},
        {"a#b", "VT100-USASCII", "<Default>:a#b"},
        {"lqqk", "VT100-linedraw", "Terminal:\xda\xc4\xc4\xbf"},
        {"AB_`x", "VT100-ROM2", "Terminal:AB \x04\xb3"},
        {"x\xe4y", "VT100-USASCII", "<Default>:x Terminal:\xe4 <Default>:y"},
        {"x\x01", "VT100-ROM1", "<Default>:x\x01"},
        {"abc", "no such set", "<Default>:abc"},
    };
    for (const Case& C : Cases) {
        Sets.GenerateDrawScript(C.Text, C.CharSet);
        std::string Font, Text, Script;
        while (Sets.GetNextDrawCommand(Font, Text))
            Script += (Script.empty() ? "" : " ") + Font + ":" + Text;
        EXPECT_EQ(Script, C.Expected) << C.Text << " in " << C.CharSet;
    }
}

TEST(CharSetMapping, ARangeWithACharacterPresentIsRefusedWhole) {
    TIpCharSetMapping Sets;
    EXPECT_TRUE(Sets.Add("S", 'b', 'B', "F", 'c'));
    EXPECT_FALSE(Sets.Add("S", 'a', 'A', "F", 'b'));
    EXPECT_TRUE(Sets.Add("T", 'a', 'A', "F", 'b'));
    EXPECT_EQ(Sets.Count(), 4);
    Sets.GenerateDrawScript("abc", "S");
    std::string Font, Text;
    ASSERT_TRUE(Sets.GetNextDrawCommand(Font, Text));
    EXPECT_EQ(Font + ":" + Text, "<Default>:a");
    ASSERT_TRUE(Sets.GetNextDrawCommand(Font, Text));
    EXPECT_EQ(Font + ":" + Text, "F:BC");
    EXPECT_FALSE(Sets.GetNextDrawCommand(Font, Text));
}

// Draw scripts remember the entries of the set drawn last; adding entries or clearing the map
// must not leave them remembered.
TEST(CharSetMapping, ScriptsFollowEntriesAddedAfterADrawing) {
    TIpCharSetMapping Sets;
    const auto Script = [&Sets](const char* Text, const char* Set) {
        Sets.GenerateDrawScript(Text, Set);
        std::string Font, Part, Out;
        while (Sets.GetNextDrawCommand(Font, Part))
            Out += (Out.empty() ? "" : " ") + Font + ":" + Part;
        return Out;
    };
    EXPECT_EQ(Script("ab", "S"), "<Default>:ab");
    EXPECT_TRUE(Sets.Add("S", 'b', 'B', "F", 'b'));
    EXPECT_EQ(Script("ab", "S"), "<Default>:a F:B");
    EXPECT_EQ(Script("ab", "T"), "<Default>:ab");
    EXPECT_TRUE(Sets.Add("T", 'a', 'X', "G", 'a'));
    EXPECT_EQ(Script("ab", "S"), "<Default>:a F:B");
    EXPECT_EQ(Script("ab", "T"), "G:X <Default>:b");
    const TIpCharSetMapping Copy = Sets;
    Sets.Clear();
    EXPECT_EQ(Script("ab", "T"), "<Default>:ab");
    TIpCharSetMapping Again = Copy;
    Again.GenerateDrawScript("ab", "T");
    std::string Font, Part;
    ASSERT_TRUE(Again.GetNextDrawCommand(Font, Part));
    EXPECT_EQ(Font + ":" + Part, "G:X");
}

// Each resource is read once and copied to every later map: the copies are whole and their
// own, and other bytes under the same name are read for themselves.
TEST(TerminalResources, MapsReadOnceAreCopiedWholeAndApart) {
    TIpKeyboardMapping First, Second;
    First.LoadFromRes(MainResourceModule(), "IPVT100KeyMap");
    First.Add("mine", "only");
    Second.LoadFromRes(MainResourceModule(), "IPVT100KeyMap");
    EXPECT_EQ(Second.Count(), 221);
    EXPECT_EQ(Second.Get("mine"), "");
    EXPECT_EQ(Second.Get("\\x26"), "VK_UP");

    std::vector<uint8_t> Data = Bytes(Resource(1, ShortString("k") + ShortString("one")));
    const std::vector<uint8_t> Two = Bytes(Resource(1, ShortString("k") + ShortString("two")));
    const TResourceEntry Entries[] = {{"IPVT100KeyMap", Data}};
    TIpKeyboardMapping Own;
    Own.LoadFromRes(TResourceModule{Entries}, "IPVT100KeyMap");
    EXPECT_EQ(Own.Count(), 1);
    EXPECT_EQ(Own.Get("k"), "one");
    std::copy(Two.begin(), Two.end(), Data.begin());  // other bytes in the same place
    Own.LoadFromRes(TResourceModule{Entries}, "IPVT100KeyMap");
    EXPECT_EQ(Own.Get("k"), "two");

    TIpCharSetMapping Sets, More;
    Sets.LoadFromRes(MainResourceModule(), "IPVT100CHARSET");
    Sets.Clear();
    More.LoadFromRes(MainResourceModule(), "IPVT100CHARSET");
    EXPECT_EQ(More.Count(), 603);
}

TEST(KeyboardMapping, DuplicatesAreSkippedAndLongTextsCut) {
    TIpKeyboardMapping Keys;
    EXPECT_TRUE(Keys.Add("k", "one"));
    EXPECT_FALSE(Keys.Add("k", "two"));
    EXPECT_EQ(Keys.Get("k"), "one");
    EXPECT_TRUE(Keys.Add(std::string(80, 'x'), std::string(70, 'v')));
    EXPECT_EQ(Keys.Get(std::string(63, 'x')), std::string(63, 'v'));
    EXPECT_EQ(Keys.Count(), 2);
    EXPECT_EQ(IpTermElfHash("VK_UP") % 57, IpTermElfHash("VK_UP", 0) % 57);
    EXPECT_EQ(IpTermElfHash(""), 0u);
    EXPECT_EQ(IpTermElfHash("A"), 65u);
    EXPECT_EQ(IpTermElfHash("AB"), 65u * 16 + 66);
}

// Anything but a whole, well-closed resource leaves the map empty.
TEST(KeyboardMapping, MalformedResourcesLeaveTheMapEmpty) {
    const std::string Record = ShortString("key") + ShortString("value");
    struct Case {
        const char* Name;
        std::string Data;
        int Count;
    } Cases[] = {
        {"well formed", Resource(1, Record), 1},
        {"bad closing magic", Resource(1, Record, "AHT4"), 0},
        {"no closing magic", Resource(1, Record, ""), 0},
        {"bad opening magic", "XHT3" + Resource(1, Record).substr(4), 0},
        {"count beyond the data", Resource(0xFFFFFFFF, Record), 0},
        {"count one too many", Resource(2, Record), 0},
        {"string runs past the end",
         Resource(1,
                  ShortString("key") + "\xff"
                                       "abc",
                  ""),
         0},
        {"empty", "", 0},
    };
    for (const Case& C : Cases) {
        TIpKeyboardMapping Keys;
        Keys.Add("stale", "x");
        Keys.LoadFromData(Bytes(C.Data));
        EXPECT_EQ(Keys.Count(), C.Count) << C.Name;
    }
    TIpKeyboardMapping Keys;
    Keys.LoadFromRes(MainResourceModule(), "NO_SUCH_RESOURCE");
    EXPECT_EQ(Keys.Count(), 0);
}

TEST(CharSetMapping, MalformedResourcesLeaveTheMapEmpty) {
    const std::string Record = ShortString("S") + ShortString("F") + "ab";
    TIpCharSetMapping Sets;
    Sets.LoadFromData(Bytes(Resource(2, Record + Record)));
    EXPECT_EQ(Sets.Count(), 1);  // the second record defines 'a' again
    Sets.LoadFromData(Bytes(Resource(2, Record + Record, "AHT")));
    EXPECT_EQ(Sets.Count(), 0);
    Sets.LoadFromData(Bytes(Resource(1, Record.substr(0, 5), "")));
    EXPECT_EQ(Sets.Count(), 0);
}

TEST(ByteQueue, GrowsKeepsOrderAndRefusesShortReads) {
    TaaByteQueue Q;
    EXPECT_EQ(Q.Capacity(), 64u);
    std::string Expected;
    for (int I = 0; I < 100; ++I) {
        const std::string Block(37, char('a' + I % 26));
        Q.Put(Block.data(), Block.size());
        Expected += Block;
        if (I % 3 == 0) {
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(Q.Peek(10)), 10),
                      Expected.substr(0, 10));
            Q.Remove(10);
            Expected.erase(0, 10);
        }
    }
    EXPECT_EQ(Q.Count(), Expected.size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(Q.Peek(Q.Count())), Q.Count()), Expected);
    EXPECT_EQ(Q.Capacity() % 128, 0u);
    EXPECT_EQ(ErrorOf([&] { Q.Peek(Q.Count() + 1); }),
              "Not enough data in queue (" + std::to_string(Q.Count()) +
                  " bytes) to satisfy read request (" + std::to_string(Q.Count() + 1) + " bytes)");
    uint8_t* At = Q.PutPosition(4);
    std::copy_n("wxyz", 4, At);
    Q.AdvanceTail(4);
    Q.Remove(Q.Count() - 4);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(Q.Peek(4)), 4), "wxyz");
    Q.Clear();
    EXPECT_EQ(Q.Count(), 0u);
    EXPECT_NE(ErrorOf([&] { Q.PutPosition(size_t(1) << 40); }), "");
}

}  // namespace
