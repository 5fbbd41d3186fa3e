// kestro.xml: the file written byte for byte, the tolerant reader, path lookup, the open count and
// writers in several processes.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <stdexcept>

#include "components/store/XMLFileStore.h"
#include "platform/classes/Classes.h"
#include "tests/support/TestSupport.h"

namespace {

std::string Golden(const std::string& Name) {
    return ReadFile(std::string(KESTRO_SOURCE_DIR) + "/tests/components/store/golden/" + Name);
}

std::string Crlf(std::initializer_list<std::string> Lines) {
    std::string Text;
    for (const std::string& Line : Lines) Text += Line + "\r\n";
    return Text;
}

class XMLFileStore : public ::testing::Test {
  protected:
    void SetUp() override {
        char Template[] = "/tmp/kestro-store-XXXXXX";
        Dir = mkdtemp(Template);
        Path = Dir + "/kestro.xml";
        Store.SetXMLFileName(Path);
    }
    void TearDown() override { std::filesystem::remove_all(Dir); }

    std::string Dir;
    std::string Path;
    TO32XMLFileStore Store{nullptr};
};

TEST_F(XMLFileStore, WritesTheGoldenFiles) {
    struct TCase {
        const char* Golden;
        const char* Input;  // the file before, none when empty
        std::function<void(TO32XMLFileStore&)> Writes;
    };
    const TCase Cases[] = {
        {"old-content.xml", "old-content.in.xml",
         [](TO32XMLFileStore& S) { S.WriteInteger("TFormWizard", "Flags", 0); }},
        {"empty-values.xml", "",
         [](TO32XMLFileStore& S) {
             S.WriteString("TFormViewMessage", "ActiveControl", "");
             S.WriteInteger("TFormViewMessage", "Color", 5);
             S.WriteString("TFormViewMessage", "Nested.Deeper", "");
             S.WriteString("TFormViewMessage", "Later", "");
             S.WriteString("TFormViewMessage", "Later", "7");
         }},
        {"hand-edited.xml", "hand-edited.in.xml",
         [](TO32XMLFileStore& S) {
             S.WriteInteger("TFormMain", "flags", 0);
             S.WriteString("tformmain", "ShowCmd", "say \"hello\"");
             S.WriteString("TFormAbout", "Version", "1.0");
         }},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Golden);
        std::filesystem::remove(Path);
        if (*C.Input) WriteFile(Path, Golden(C.Input));
        {
            TO32XMLFileStore Writer(nullptr);
            Writer.SetXMLFileName(Path);
            Writer.Open();
            C.Writes(Writer);
            Writer.Close();
        }
        EXPECT_EQ(ReadFile(Path), Golden(C.Golden));
    }
}

TEST_F(XMLFileStore, ReadsValuesWholeAndNamesInAnyCase) {
    WriteFile(Path, Golden("hand-edited.xml"));
    struct TCase {
        const char* Section;
        const char* Item;
        const char* Want;
    };
    const TCase Cases[] = {
        {"tformmain", "FLAGS", "0"},
        {"TFormMain", "ShowCmd", "say \"hello\""},  // up to the last quote of the line
        {"TFormMain", "Note", ""},
        {"TFormMain", "Missing", "default"},
        {"TFormGone", "Flags", "default"},
        {"TFormAbout", "Version", "1.0"},
        {"TFormAbout", "NormalPos", "default"},  // the search ends with the section
        {"TFormMain", "TFormAbout", "default"},
    };
    for (const TCase& C : Cases)
        EXPECT_EQ(Store.ReadString(C.Section, C.Item, "default"), C.Want)
            << C.Section << "." << C.Item;
    EXPECT_EQ(Store.ReadInteger("TFormMain", "NormalPos", -7), -7);
    EXPECT_FALSE(Store.Modified());
    EXPECT_EQ(ReadFile(Path), Golden("hand-edited.xml"));  // reading writes nothing
}

TEST_F(XMLFileStore, TheBlocksOwnLinesStayAsTheyWere) {
    // Written from their names, these lines would read "<_>" and "</x<FORMS>": the next open
    // would not find the block again.
    WriteFile(Path, Crlf({"_ <forms> placements", "x</FORMS>"}));
    Store.WriteString("TFormMain", "Flags", "3");
    EXPECT_EQ(ReadFile(Path), Crlf({"_ <forms> placements", "  <TFormMain>",
                                    "    <Flags value=\"3\"/>", "  </TFormMain>", "x</FORMS>"}));
    EXPECT_EQ(Store.ReadString("TFormMain", "Flags", ""), "3");
}

TEST_F(XMLFileStore, PathsNameNestedElements) {
    Store.Open();
    Store.WriteString("TFormMain", "Grid.Columns.Width", "80");
    Store.WriteString("TFormMain", "Grid.Rows", "12");
    EXPECT_EQ(Store.ReadString("TFormMain", "grid.columns.width", ""), "80");
    EXPECT_EQ(Store.ReadString("TFormMain", "Grid.Rows", ""), "12");
    EXPECT_EQ(Store.ReadString("TFormMain", "Grid", "x"), "");  // a branch reads empty
    // A branch with content keeps it when a value is written to it.
    Store.WriteString("TFormMain", "Grid", "lost");
    EXPECT_EQ(Store.ReadString("TFormMain", "Grid.Rows", ""), "12");
    Store.Close();
    EXPECT_EQ(
        ReadFile(Path),
        Crlf({"<?xml version='1.0' encoding='us-ascii' ?>",
              "<!-- Kestro TO32XMLStore Data File -->", "<FORMS>", "  <TFormMain>", "    <Grid>",
              "      <Columns>", "        <Width value=\"80\"/>", "      </Columns>",
              "      <Rows value=\"12\"/>", "    </Grid>", "  </TFormMain>", "</FORMS>"}));
}

TEST_F(XMLFileStore, ErasesASectionWithEverythingInIt) {
    Store.WriteString("TFormA", "X.Y", "1");
    Store.WriteString("TFormB", "Z", "2");
    Store.EraseSection("tforma");
    Store.EraseSection("FORMS");  // never the block itself
    EXPECT_EQ(Store.ReadString("TFormA", "X.Y", "gone"), "gone");
    EXPECT_EQ(ReadFile(Path),
              Crlf({"<?xml version='1.0' encoding='us-ascii' ?>",
                    "<!-- Kestro TO32XMLStore Data File -->", "<FORMS>", "  <TFormB>",
                    "    <Z value=\"2\"/>", "  </TFormB>", "</FORMS>"}));
}

TEST_F(XMLFileStore, BadBlocksFailTheOpenAndLeaveTheFileAlone) {
    const std::string Head = "<FORMS>\r\n  <TFormMain>\r\n";
    struct TCase {
        const char* Name;
        std::string File;
        int32_t Code;
    };
    const TCase Cases[] = {
        // The block's own closing tag closes the section, and the block never closes.
        {"section-not-closed", Head + "    <Flags value=\"1\"/>\r\n</FORMS>\r\n", SCInvalidXMLFile},
        // Two levels open at the end: the section is the one left without its closing tag.
        {"branch-not-closed", Head + "    <Grid>\r\n</FORMS>\r\n", SCBadTerminatedElement},
        {"closed-before-the-end", Head + "  </TFormMain>\r\n  </Stray>\r\n</FORMS>\r\n",
         SCInvalidXMLFile},
        {"blank-line-opens-a-branch", Head + "  </TFormMain>\r\n\r\n</FORMS>\r\n",
         SCInvalidXMLFile},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        WriteFile(Path, C.File);
        int32_t Code = -1;
        std::string Message;
        try {
            Store.Open();
        } catch (const EXMLStoreError& E) {
            Code = E.ErrorCode;
            Message = E.Message();
        }
        EXPECT_EQ(Code, C.Code);
        EXPECT_EQ(Message, C.Code == SCInvalidXMLFile ? "Invalid XMLStore File Format"
                                                      : "Improperly terminated element");
        // The failed open left the store closed, so the next open reads the file again.
        EXPECT_EQ(Store.OpenCount(), 0);
        EXPECT_THROW(Store.WriteString("TFormMain", "Flags", "2"), EXMLStoreError);
        Store.Close();
        EXPECT_EQ(ReadFile(Path), C.File);
    }
    // Mended, the file opens again.
    WriteFile(Path, Head + "  </TFormMain>\r\n</FORMS>\r\n");
    EXPECT_EQ(Store.ReadString("TFormMain", "Flags", "none"), "none");
}

TEST_F(XMLFileStore, NamesThatCannotStandInATagAndLineBreaksAreRefused) {
    Store.Open();
    const std::pair<std::string, std::string> Refused[] = {
        {"", "x"},
        {"Two words", "x"},
        {"A<B", "x"},
        {"A/B", "x"},
        {"Q\"", "x"},
        {"Item.", "x"},
        {"Flags", "1\r\n<X value=\"2\"/>"},
    };
    for (const auto& [Item, Value] : Refused) {
        EXPECT_THROW(Store.WriteString("TFormMain", Item, Value), EXMLStoreError) << Item;
    }
    // A section name the path lookup splits cannot be found again: nothing is left of it.
    EXPECT_EQ(ErrorOf([&] { Store.WriteString("A.B", "Flags", "1"); }), "Error creating tag entry");
    Store.WriteString("TFormMain", "Flags", "1");
    Store.Close();
    EXPECT_EQ(ReadFile(Path),
              Crlf({"<?xml version='1.0' encoding='us-ascii' ?>",
                    "<!-- Kestro TO32XMLStore Data File -->", "<FORMS>", "  <TFormMain>",
                    "    <Flags value=\"1\"/>", "  </TFormMain>", "</FORMS>"}));
}

TEST_F(XMLFileStore, NestedOpensReadTheFileOnceAndTheLastCloseWritesIt) {
    Store.Open();
    Store.WriteString("TFormMain", "Flags", "1");
    Store.Open();
    WriteFile(Path, "changed meanwhile\r\n");
    EXPECT_EQ(Store.ReadString("TFormMain", "Flags", ""), "1");
    Store.Close();
    EXPECT_EQ(ReadFile(Path), "changed meanwhile\r\n");
    Store.Close();
    Store.Close();  // one close too many does nothing
    EXPECT_EQ(Store.OpenCount(), 0);
    EXPECT_NE(ReadFile(Path).find("<Flags value=\"1\"/>"), std::string::npos);
    // The change is made over what the file holds at the close: what was written meanwhile stays.
    EXPECT_NE(ReadFile(Path).find("changed meanwhile\r\n"), std::string::npos);
    // Once written, every close rewrites the file.
    EXPECT_TRUE(Store.Modified());
}

// Every running copy writes the one file. Writers in processes of their own each save their own
// window again and again while readers read the file: no write fails or is lost, what the file
// held is kept, and no reader ever finds the file empty or cut.
TEST_F(XMLFileStore, WritersInOtherProcessesLoseNoWriteAndReadersSeeWholeFiles) {
    const std::string Before = Golden("hand-edited.xml");
    WriteFile(Path, Before);
    constexpr int kWriters = 4;
    constexpr int kRounds = 60;
    constexpr int kReaders = 2;
    constexpr int kReads = 1500;
    const auto Writer = [&](int Number) {
        const std::string Section = "TWriter" + std::to_string(Number);
        for (int Round = 0; Round < kRounds; ++Round) {
            TO32XMLFileStore Store(nullptr);
            Store.SetXMLFileName(Path);
            Store.Open();
            Store.WriteInteger(Section, "Round", Round);
            Store.WriteString(Section, "NormalPos", "1,2,3,4");
            Store.Close();
        }
    };
    const auto Reader = [&] {
        for (int Read = 0; Read < kReads; ++Read) {
            const std::string Text = ReadFile(Path);
            if (Text.rfind("<?xml", 0) != 0 || !Text.ends_with("<!-- the end -->\r\n"))
                throw std::runtime_error("read a part of the file: \"" + Text + "\"");
            TXMLStoreDocument Document;
            TStringList Lines;
            Lines.SetText(Text);
            std::vector<std::string> All;
            for (int N = 0; N < Lines.Count(); ++N) All.push_back(Lines[N]);
            Document.Load(All);
            if (Document.Created()) throw std::runtime_error("read a file without its block");
        }
    };
    std::vector<pid_t> Children;
    for (int N = 0; N < kWriters + kReaders; ++N) {
        const pid_t Child = fork();
        ASSERT_GE(Child, 0);
        if (Child == 0) {
            try {
                N < kWriters ? Writer(N) : Reader();
            } catch (const std::exception& E) {
                std::fprintf(stderr, "process %d: %s\n", N, E.what());
                std::_Exit(1);
            }
            std::_Exit(0);
        }
        Children.push_back(Child);
    }
    for (const pid_t Child : Children) {
        int Status = 0;
        ASSERT_EQ(waitpid(Child, &Status, 0), Child);
        EXPECT_TRUE(WIFEXITED(Status) && WEXITSTATUS(Status) == 0) << Status;
    }
    for (int N = 0; N < kWriters; ++N)
        EXPECT_EQ(Store.ReadInteger("TWriter" + std::to_string(N), "Round", -1), kRounds - 1) << N;
    EXPECT_EQ(Store.ReadString("TFormAbout", "Version", ""), "1.0");
    // The temporary files are gone; the lock file stays for the next writer.
    for (const auto& Entry : std::filesystem::directory_iterator(Dir))
        EXPECT_EQ(Entry.path().filename().string().find(".tmp"), std::string::npos) << Entry.path();
}

TEST(XMLFileStoreName, DefaultsToTheProgramNameAndTheProgramDirectory) {
    setenv("KESTRO_HOME", "/opt/kestro", 1);
    TO32XMLFileStore Store(nullptr);
    EXPECT_EQ(Store.FileName(), "components_store_test.XML");
    Store.SetXMLFileName("dir/kestro");
    EXPECT_EQ(Store.FileName(), "dir/kestro.XML");
    Store.SetUseExeDir(true);
    EXPECT_EQ(Store.FileName(), "/opt/kestro/kestro.XML");
    Store.SetXMLFileName("kestro.xml");
    EXPECT_EQ(Store.FileName(), "/opt/kestro/kestro.xml");
    unsetenv("KESTRO_HOME");
}

TEST(XMLFileStoreName, IntegersFallBackOnAnythingButA32BitNumber) {
    const std::pair<const char*, int32_t> Cases[] = {
        {"0", 0},    {"-12", -12}, {"+7", 7},           {"2147483647", 2147483647},
        {"", 99},    {"-", 99},    {"2147483648", 99},  {"-2147483648", -2147483647 - 1},
        {"1e3", 99}, {" 5", 99},   {"-2147483649", 99},
    };
    for (const auto& [Text, Want] : Cases) EXPECT_EQ(StrToIntDef(Text, 99), Want) << Text;
}

}  // namespace
