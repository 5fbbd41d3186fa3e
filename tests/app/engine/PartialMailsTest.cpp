// The list of partly fetched mails on its own: which ids it takes, how it reads what another
// program or a crash left, and how it stays within its size.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/engine/Limits.h"
#include "app/engine/PartialMails.h"
#include "platform/fs/Files.h"
#include "tests/app/engine/EngineFixture.h"

namespace {

using PartialMails = EngineTest;

TEST(PartialMailIds, OnlyWhatFitsOnALineIsAnId) {
    const std::string longest(KestroLimits::kMaxPartialMailIdLength, 'x');
    const struct {
        std::string Text;
        std::string Id;
    } cases[] = {
        {" \t<a@example.org>\r", "<a@example.org>"},
        {"whqtswO00WBw418f9t5JxYwZ", "whqtswO00WBw418f9t5JxYwZ"},
        {"<with blank@example.org>", "<with blank@example.org>"},
        {"<\xE4@example.org>", "<\xE4@example.org>"},
        {longest, longest},
        {longest + "x", ""},
        {"a\tb", ""},
        {"a\x7F", ""},
        {std::string("a\0b", 3), ""},
        {"  ", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(TPartialMails::CleanId(c.Text), c.Id) << c.Text;
    EXPECT_EQ(TPartialMails::FileNameFor("C:\\XP\\box.cfg"), "C:\\XP\\box.big");
}

TEST_F(PartialMails, ReadsLinesAsAnyEditorLeavesThemAndWritesThemBack) {
    const std::string file = ProgramDir() + "box.big";
    WriteFile(file, "one\nTwo\r\n\r\none\r\n  three  ");
    TPartialMails list;
    list.Load(file);
    EXPECT_EQ(list.Dropped(), 0);
    const std::vector<std::string> read = {"one", "Two", "three"};
    EXPECT_EQ(list.Ids(), read);
    EXPECT_TRUE(list.StoredBefore("Two"));
    EXPECT_FALSE(list.StoredBefore("two"));  // ids are compared exactly
    list.Add("four");
    EXPECT_FALSE(list.StoredBefore("four"));
    list.Retain({"Two", "three", "four"});
    EXPECT_EQ(list.Save(file), 0);
    EXPECT_EQ(ReadFile(file), "Two\r\nthree\r\nfour\r\n");
    EXPECT_FALSE(FileExists(file + ".tmp"));

    list.Retain({});
    EXPECT_TRUE(list.Modified());
    list.Save(file);
    EXPECT_FALSE(FileExists(file));
}

TEST_F(PartialMails, ListBeyondItsSizeKeepsTheNewestIds) {
    const std::string file = ProgramDir() + "box.big";
    TPartialMails list;
    const size_t idLength = KestroLimits::kMaxPartialMailIdLength;
    const int64_t perFile = KestroLimits::kMaxPartialMailFileSize / int64_t(idLength + 2);
    const int32_t total = int32_t(perFile) + 5;
    for (int32_t i = 0; i < total; ++i) {
        std::string id = std::to_string(i);
        list.Add(id + std::string(idLength - id.size(), '.'));
    }
    EXPECT_EQ(list.Save(file), 5);
    EXPECT_LE(FileSizeOf(file), KestroLimits::kMaxPartialMailFileSize);

    TPartialMails back;
    back.Load(file);
    ASSERT_EQ(back.Ids().size(), size_t(perFile));
    EXPECT_EQ(back.Ids().front().substr(0, 2), "5.");
    EXPECT_EQ(back.Ids(), list.Ids());
}

}  // namespace
