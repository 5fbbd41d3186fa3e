// The phonebook's lines changed for the entry dialog: what it writes is what the dialer then
// reads, and every other line stays as it was.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "netlib/ras/provider/DialupProvider.h"
#include "netlib/ras/provider/Limits.h"
#include "netlib/ras/provider/Phonebook.h"
#include "netlib/ras/provider/PhonebookText.h"
#include "tests/support/TestSupport.h"

namespace {

// The Connect command the dialer takes for the entry.
std::string Connect(const std::string& Text, const std::string& Entry) {
    TPhonebook Book;
    Book.Parse(Text, "phonebook.ini");
    const TPhonebookEntry* Found = Book.Find(Entry);
    return Found ? Found->Connect : "(no entry)";
}

TEST(PhonebookText, AValueSetIsTheOneTheDialerTakesAndTheOtherLinesStay) {
    const TDialupLogSink Log = SetDialupLogSink([](const std::string&) {});
    const std::string TooLong(DialupLimits::kMaxValueLength + 1, 'x');
    struct TCase {
        const char* Name;
        std::string Text;
        const char* Entry;
        const char* Value;
        std::string Want;
    } const Cases[] = {
        {"in place, the file's line ends kept", "[a]\nConnect=old\nStatus=s\n", "a", "new",
         "[a]\nConnect=new\nStatus=s\n"},
        // The dialer took the last of them: every one goes, the first place is kept.
        {"given twice, in two parts of the entry and in other cases",
         "[a]\r\nconnect=1\r\n[b]\r\nConnect=b\r\n[a]\r\n  CONNECT = 2\r\n", "a", "3",
         "[a]\r\nConnect=3\r\n[b]\r\nConnect=b\r\n[a]\r\n"},
        {"an entry of another case is another entry", "[isp]\nConnect=1\n[ISP]\nConnect=2\n", "ISP",
         "3", "[isp]\nConnect=1\n[ISP]\nConnect=3\n"},
        {"a new key ends the entry's first part, before blank lines and comments",
         "[a]\r\nX=1\r\n\r\n; next\r\n[b]\r\n[a]\r\nY=2\r\n", "a", "new",
         "[a]\r\nX=1\r\nConnect=new\r\n\r\n; next\r\n[b]\r\n[a]\r\nY=2\r\n"},
        {"a new key after a header ending the file", "[a]", "a", "new", "[a]\r\nConnect=new\r\n"},
        {"an empty value removes every line of the key", "[a]\nConnect=1\nX=2\nconnect=3\n", "a",
         "", "[a]\nX=2\n"},
        {"lines the dialer skips stay", "[a]\n#Connect=c\nConnect=" + TooLong + "\nConnect=1\n",
         "a", "2", "[a]\n#Connect=c\nConnect=" + TooLong + "\nConnect=2\n"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        const std::string Got = SetPhonebookValue(C.Text, C.Entry, "Connect", C.Value);
        EXPECT_EQ(Got, C.Want);
        EXPECT_EQ(Connect(Got, C.Entry), C.Value);
    }
    SetDialupLogSink(Log);
}

TEST(PhonebookText, EntriesAreAddedOnceByTheirExactNameAndBadOnesRefused) {
    EXPECT_EQ(AddPhonebookEntry("", "mobil"), "[mobil]\r\n");
    EXPECT_EQ(AddPhonebookEntry("[isp]\nConnect=1", "mobil"), "[isp]\nConnect=1\n\n[mobil]\n");
    EXPECT_EQ(AddPhonebookEntry("[isp]\n", "isp"), "[isp]\n");
    EXPECT_EQ(AddPhonebookEntry("[isp]\n", "ISP"), "[isp]\n\n[ISP]\n");
    for (const char* Name : {"", " isp", "a]b", "a\nb"})
        EXPECT_THROW(AddPhonebookEntry("", Name), std::invalid_argument) << Name;
    for (const char* Value : {" x", "x\r\ny=1"})
        EXPECT_THROW(SetPhonebookValue("[a]\n", "a", "Connect", Value), std::invalid_argument);
    EXPECT_THROW(SetPhonebookValue("[a]\n", "a", "Con=nect", "x"), std::invalid_argument);
    EXPECT_THROW(SetPhonebookValue("[a]\n", "A", "Connect", "x"), std::runtime_error);
}

TEST(PhonebookText, AWrittenFileKeepsItsPermissionsAndANewOneIsTheOwnersAlone) {
    const std::string Dir =
        std::filesystem::temp_directory_path() / ("kestro-phonebook-" + std::to_string(::getpid()));
    std::filesystem::create_directories(Dir);
    const std::string Old = Dir + "/phonebook.ini";
    WriteFile(Old, "[a]\n");
    ASSERT_EQ(::chmod(Old.c_str(), 0640), 0);
    WritePhonebookText(Old, "[a]\nConnect=1\n");
    const std::string New = Dir + "/new.ini";
    WritePhonebookText(New, "[b]\n");
    struct stat St {};
    ASSERT_EQ(::stat(Old.c_str(), &St), 0);
    EXPECT_EQ(St.st_mode & 07777, 0640u);
    ASSERT_EQ(::stat(New.c_str(), &St), 0);
    EXPECT_EQ(St.st_mode & 07777, 0600u);
    EXPECT_EQ(ReadFile(Old), "[a]\nConnect=1\n");
    // One the dialer would refuse to read is not written.
    EXPECT_THROW(WritePhonebookText(Old, std::string(DialupLimits::kMaxPhonebookBytes + 1, ';')),
                 std::runtime_error);
    EXPECT_EQ(ReadFile(Old), "[a]\nConnect=1\n");
    std::filesystem::remove_all(Dir);
}

}  // namespace
