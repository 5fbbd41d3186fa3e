#include "app/engine/ConfigFile.h"

#include "tests/app/engine/EngineFixture.h"

namespace {

using ConfigFileTest = EngineTest;

TEST_F(ConfigFileTest, KeysAreMatchedLowerCasedAndValuesUntrimmed) {
    WriteFile("box.bfg", "Boxname=xp\nClient-Mode= on \nnoequals\nempty=\n");
    auto file = TConfigFile::CreateFromFile("box.bfg");
    EXPECT_EQ(file->FileName, "box.bfg");
    EXPECT_EQ(file->ReadValue("client-mode"), " on ");
    // The key is compared as given: callers pass it in lower case.
    EXPECT_EQ(file->ReadValue("Client-Mode"), "");
    EXPECT_EQ(file->ReadValue("missing"), "");
    EXPECT_EQ(file->ReadValue("empty"), "");
    EXPECT_EQ(file->ReadValue(""), "noequals");
}

TEST_F(ConfigFileTest, WriteValueReplacesOnlyAnExistingLine) {
    const std::string original =
        "# start\r\nBoxname=xp\r\nCLIENT-MODE=off\r\nclient-mode=second\r\n";
    WriteFile("box.bfg", original);
    TConfigFile file;
    file.LoadFromFile("box.bfg");

    file.WriteValue("Client-Spool", "C:\\SPOOL\\");
    file.Save();
    EXPECT_EQ(ReadFile("box.bfg"), original);

    file.WriteValue("Client-Mode", "on");
    file.SaveToFile("copy.bfg");
    EXPECT_EQ(file.FileName, "box.bfg");
    EXPECT_EQ(ReadFile("copy.bfg"),
              "# start\r\nBoxname=xp\r\nClient-Mode=on\r\nclient-mode=second\r\n");
}

TEST_F(ConfigFileTest, MissingFileRaises) {
    TConfigFile file;
    EXPECT_THROW(file.LoadFromFile("nothere.bfg"), Exception);
}

}  // namespace
