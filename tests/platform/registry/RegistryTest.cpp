#include "platform/registry/Registry.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/kestro_reg_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        dir += "/hives";  // does not exist yet: the first write creates it
        setenv("KESTRO_REGISTRY_DIR", dir.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("KESTRO_REGISTRY_DIR");
        std::string cmd = "rm -rf '" + dir.substr(0, dir.rfind('/')) + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }
    std::string HiveText(HKEY root) {
        std::ifstream in(TRegistry::HiveFileName(root), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string dir;
};

std::string AllBytes() {
    std::string s;
    for (int i = 0; i < 256; ++i) s += char(i);
    return s;
}

TEST_F(RegistryTest, EveryTypeRoundTripsThroughTheFile) {
    const std::string odd = AllBytes() + "\"\\x41\r\n[]%";
    {
        TRegistry reg;
        reg.SetRootKey(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(reg.OpenKey("SOFTWARE\\Orvalin\\Kestro", true));
        reg.WriteInteger("MaxThreads", 8);
        reg.WriteInteger("Negative", -2);
        reg.WriteBool("EventLog", true);
        reg.WriteBool("DebugLog", false);
        reg.WriteString("Realname", "J\xc3\xb6rg \"Jo\" M\\ller");
        reg.WriteString("Odd", odd);
        reg.WriteString("Empty", "");
        reg.WriteBinaryData("Glyph", odd.data(), int32_t(odd.size()));
        reg.WriteBinaryData("NoBytes", nullptr, 0);
        reg.WriteString(odd, "value under an odd name");
    }
    EXPECT_EQ(TRegistry::HiveFileName(HKEY_LOCAL_MACHINE), dir + "/HKEY_LOCAL_MACHINE.reg");
    // The file is text a person can read.
    std::string text = HiveText(HKEY_LOCAL_MACHINE);
    EXPECT_NE(text.find("[SOFTWARE\\Orvalin\\Kestro]\n"), std::string::npos);
    EXPECT_NE(text.find("\"MaxThreads\"=dword:00000008\n"), std::string::npos);

    TRegistry reg;  // a new object reads the file again
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey("software\\ORVALIN\\kestro", false));  // names ignore case
    EXPECT_EQ(reg.ReadInteger("maxthreads"), 8);
    EXPECT_EQ(reg.ReadInteger("Negative"), -2);
    EXPECT_TRUE(reg.ReadBool("EventLog"));
    EXPECT_FALSE(reg.ReadBool("DebugLog"));
    EXPECT_EQ(reg.ReadString("Realname"), "J\xc3\xb6rg \"Jo\" M\\ller");
    EXPECT_EQ(reg.ReadString("Odd"), odd);
    EXPECT_EQ(reg.ReadString("Empty"), "");
    EXPECT_EQ(reg.ReadString(odd), "value under an odd name");
    std::string buffer(odd.size() + 10, '\0');
    EXPECT_EQ(reg.ReadBinaryData("Glyph", buffer.data(), int32_t(buffer.size())),
              int32_t(odd.size()));
    EXPECT_EQ(buffer.substr(0, odd.size()), odd);
    EXPECT_EQ(reg.ReadBinary("NoBytes"), "");
    EXPECT_EQ(reg.GetDataType("NoBytes"), rdBinary);
    EXPECT_EQ(reg.GetDataType("MaxThreads"), rdInteger);
    EXPECT_EQ(reg.GetDataType("Realname"), rdString);
    EXPECT_EQ(reg.GetDataType("missing"), rdUnknown);
    EXPECT_EQ(reg.GetDataSize("Empty"), 1);
    EXPECT_EQ(reg.GetDataSize("missing"), -1);
    EXPECT_EQ(reg.GetValueNames(),
              (std::vector<std::string>{"MaxThreads", "Negative", "EventLog", "DebugLog",
                                        "Realname", "Odd", "Empty", "Glyph", "NoBytes", odd}));
    // The other hive is a different file and holds nothing.
    reg.SetRootKey(HKEY_CURRENT_USER);
    EXPECT_FALSE(reg.KeyExists("\\SOFTWARE\\Orvalin\\Kestro"));
}

TEST_F(RegistryTest, WrongTypesAndMissingValues) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Test", true));
    reg.WriteString("Text", "12");
    reg.WriteInteger("Number", 12);
    reg.WriteBinaryData("Blob", "abc", 3);

    EXPECT_THROW(reg.ReadInteger("Missing"), ERegistryException);
    EXPECT_THROW(reg.ReadBool("Missing"), ERegistryException);
    EXPECT_EQ(reg.ReadString("Missing"), "");  // a missing string reads as empty
    char small[2];
    EXPECT_EQ(reg.ReadBinaryData("Missing", small, 2), 0);

    EXPECT_THROW(reg.ReadInteger("Text"), ERegistryException);
    EXPECT_THROW(reg.ReadBool("Blob"), ERegistryException);
    EXPECT_THROW(reg.ReadString("Number"), ERegistryException);
    EXPECT_THROW(reg.ReadBinaryData("Text", small, 2), ERegistryException);
    EXPECT_THROW(reg.ReadBinaryData("Blob", small, 2), ERegistryException);  // too small
    // the library's root exception carries the value's name
    EXPECT_NE(ErrorOf([&] { reg.ReadInteger("Text"); }).find("'Text'"), std::string::npos);
    // Rewriting with another type replaces the value.
    reg.WriteInteger("Text", 5);
    EXPECT_EQ(reg.ReadInteger("TEXT"), 5);
    EXPECT_EQ(reg.GetValueNames().front(), "Text");

    reg.CloseKey();
    EXPECT_THROW(reg.WriteInteger("X", 1), ERegistryException);
    ASSERT_TRUE(reg.OpenKeyReadOnly("Software\\Test"));
    EXPECT_THROW(reg.WriteString("X", "y"), ERegistryException);
    EXPECT_FALSE(reg.OpenKey("Software\\Nothing", false));
    EXPECT_FALSE(reg.KeyExists("\\Software\\Nothing"));
}

TEST_F(RegistryTest, KeysRelativeAbsoluteEnumerationAndDeletion) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Bars", true));
    ASSERT_TRUE(reg.OpenKey("zeta", true));  // relative to the open key
    EXPECT_EQ(reg.CurrentPath(), "Software\\Bars\\zeta");
    reg.WriteInteger("v", 1);
    ASSERT_TRUE(reg.OpenKey("\\Software\\Bars", false));
    EXPECT_TRUE(reg.CreateKey("Alpha\\Deep"));
    EXPECT_TRUE(reg.CreateKey("beta"));
    const std::string oddKey = std::string("k\x01%[]/\xff\"", 8);
    EXPECT_TRUE(reg.CreateKey(oddKey));
    EXPECT_TRUE(reg.HasSubKeys());

    TRegistry other;
    ASSERT_TRUE(other.OpenKey("\\software\\bars", false));
    EXPECT_EQ(other.GetKeyNames(), (std::vector<std::string>{"Alpha", "beta", oddKey, "zeta"}));
    EXPECT_TRUE(other.KeyExists(oddKey));
    EXPECT_TRUE(other.KeyExists("ALPHA\\deep"));
    TStringList list;  // the class library's form fills a string list
    list.Add("stale");
    other.GetKeyNames(list);
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list[0], "Alpha");

    EXPECT_TRUE(reg.DeleteKey("Alpha"));  // with its subkeys
    EXPECT_FALSE(reg.DeleteKey("Alpha"));
    EXPECT_FALSE(reg.KeyExists("Alpha\\Deep"));
    ASSERT_TRUE(reg.OpenKey("zeta", false));
    EXPECT_TRUE(reg.DeleteValue("V"));
    EXPECT_FALSE(reg.DeleteValue("V"));
    EXPECT_FALSE(reg.ValueExists("v"));
    TRegistry third;
    ASSERT_TRUE(third.OpenKey("\\Software\\Bars", false));
    EXPECT_EQ(third.GetKeyNames(), (std::vector<std::string>{"beta", oddKey, "zeta"}));
}

TEST_F(RegistryTest, ChangesOfTwoObjectsDoNotLoseEachOther) {
    TRegistry first, second;
    ASSERT_TRUE(first.OpenKey("Software\\Shared", true));
    ASSERT_TRUE(second.OpenKey("Software\\Shared", true));
    first.WriteInteger("A", 1);
    second.WriteInteger("B", 2);  // written over a fresh read: A survives
    TRegistry reader;
    ASSERT_TRUE(reader.OpenKey("Software\\Shared", false));
    EXPECT_EQ(reader.ReadInteger("A"), 1);
    EXPECT_EQ(reader.ReadInteger("B"), 2);
}

TEST_F(RegistryTest, DamagedLinesAreSkippedAndTheOriginalKept) {
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
    const std::string damaged =
        "; Kestro registry hive, version 1\n"
        "\"orphan\"=dword:00000001\n"
        "[Software\\Test]\n"
        "\"Good\"=dword:0000002a\n"
        "\"Bad\"=dword:zz\n"
        "\"Str\"=\"unterminated\n"
        "\"Hex\"=hex:0\n"
        "[Software\\%zz]\n"
        "\"Lost\"=\"x\"\r\n";
    std::ofstream(TRegistry::HiveFileName(HKEY_CURRENT_USER), std::ios::binary) << damaged;
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Test", false));
    EXPECT_EQ(reg.ReadInteger("Good"), 42);
    EXPECT_FALSE(reg.ValueExists("Bad"));
    reg.WriteInteger("New", 1);
    std::ifstream kept(TRegistry::HiveFileName(HKEY_CURRENT_USER) + ".damaged", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), damaged);
}

}  // namespace
