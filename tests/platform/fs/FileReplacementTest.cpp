// The files replaced whole under their lock (kestro.xml, the settings hives, the dial-up
// phonebook): writers killed after they wrote their temporary file and before they renamed it,
// again and again. The kills leave no more than the last one's temporary beside the file, the
// next write leaves none, and the file is always the old one or the new one, whole.
#include "platform/fs/FileReplacement.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <ostream>
#include <set>
#include <string>

#include "components/store/XMLFileStore.h"
#include "netlib/ras/provider/PhonebookText.h"
#include "platform/registry/Registry.h"
#include "tests/support/TestSupport.h"

namespace {

// Set in a writer the test means to kill: its first sync of a file (its temporary file, written
// whole and not yet renamed) stops it, and the test kills it there.
bool StopAtSync = false;

}  // namespace

// Every sync of the test binary comes here.
extern "C" int fsync(int Fd) {
    struct stat St;
    if (StopAtSync && fstat(Fd, &St) == 0 && S_ISREG(St.st_mode)) raise(SIGSTOP);
    return int(syscall(SYS_fsync, Fd));
}

namespace {

// A store whose file is replaced whole: where its file lies in Dir (the settings hives are kept
// there too), one write of a value as a program makes it (the store made, written and let go),
// and the value read back.
struct TStoreCase {
    const char* Name;
    std::function<std::string(const std::string& Dir)> File;
    std::function<void(const std::string& File, const std::string& Value)> Write;
    std::function<std::string(const std::string& File)> Read;
};

const TStoreCase StoreCases[] = {
    {"KestroXml", [](const std::string& Dir) { return Dir + "/kestro.xml"; },
     [](const std::string& File, const std::string& Value) {
         TO32XMLFileStore Store(nullptr);
         Store.SetXMLFileName(File);
         Store.WriteString("TFormViewMessage", "NormalPos", Value);
     },
     [](const std::string& File) {
         TO32XMLFileStore Store(nullptr);
         Store.SetXMLFileName(File);
         return Store.ReadString("TFormViewMessage", "NormalPos", "");
     }},
    {"SettingsHive", [](const std::string&) { return TRegistry::HiveFileName(HKEY_CURRENT_USER); },
     [](const std::string&, const std::string& Value) {
         TRegistry Registry;
         if (!Registry.OpenKey("Software\\Orvalin\\Kestro", true)) throw Exception("no key");
         Registry.WriteString("Value", Value);
         if (!Registry.Flush()) throw Exception("not flushed");
     },
     [](const std::string&) {
         TRegistry Registry;
         if (!Registry.OpenKey("Software\\Orvalin\\Kestro", false)) return std::string();
         return Registry.ReadString("Value");
     }},
};

// The dial-up phonebook as its dialog writes it: one entry whose command holds the value.
const TStoreCase PhonebookCase = {
    "Phonebook", [](const std::string& Dir) { return Dir + "/phonebook.ini"; },
    [](const std::string& File, const std::string& Value) {
        WritePhonebookText(File, "[isp]\nConnect=" + Value + "\n");
    },
    [](const std::string& File) {
        std::string Text, Error;
        if (ReadPhonebookText(File, Text, Error) != TPhonebookRead::Ok) return std::string();
        const size_t At = Text.find("Connect=");
        return At == std::string::npos ? std::string()
                                       : Text.substr(At + 8, Text.find('\n', At) - At - 8);
    }};

void PrintTo(const TStoreCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

// The names beside File that start as its temporary files do.
std::set<std::string> Temporaries(const std::string& File) {
    const std::filesystem::path Path(File);
    const std::string Prefix = Path.filename().string() + ".tmp.";
    std::set<std::string> Names;
    for (const auto& Entry : std::filesystem::directory_iterator(Path.parent_path()))
        if (Entry.path().filename().string().rfind(Prefix, 0) == 0)
            Names.insert(Entry.path().filename().string());
    return Names;
}

class FileReplacement : public ::testing::TestWithParam<TStoreCase> {
  protected:
    void SetUp() override {
        char Template[] = "/tmp/kestro-replace-XXXXXX";
        ASSERT_NE(mkdtemp(Template), nullptr);
        Dir = Template;
        setenv("KESTRO_REGISTRY_DIR", Dir.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("KESTRO_REGISTRY_DIR");
        std::filesystem::remove_all(Dir);
    }

    // A writer of Value in a process of its own, stopped when its temporary file is written and
    // killed there; its process id (-1 with a failure added when it could not be done).
    pid_t KillWriterBeforeItsRename(const std::string& File, const std::string& Value) {
        const pid_t Child = fork();
        if (Child < 0) {
            ADD_FAILURE() << "fork: " << std::strerror(errno);
            return -1;
        }
        if (Child == 0) {
            StopAtSync = true;
            try {
                GetParam().Write(File, Value);
            } catch (...) {
            }
            std::_Exit(1);  // it never synced a file
        }
        int Status = 0;
        if (waitpid(Child, &Status, WUNTRACED) != Child || !WIFSTOPPED(Status)) {
            ADD_FAILURE() << "the writer ended with " << Status << " before it synced";
            return -1;
        }
        kill(Child, SIGKILL);
        EXPECT_EQ(waitpid(Child, &Status, 0), Child);
        EXPECT_TRUE(WIFSIGNALED(Status) && WTERMSIG(Status) == SIGKILL) << Status;
        return Child;
    }

    std::string Dir;
};

TEST_P(FileReplacement, KilledWritersLeaveNoTemporariesToPileUp) {
    const TStoreCase& Case = GetParam();
    const std::string File = Case.File(Dir);
    Case.Write(File, "old");
    const std::string Old = ReadFile(File);
    ASSERT_EQ(Case.Read(File), "old");
    for (int Kill = 0; Kill < 5; ++Kill) {
        const std::string Value = "killed " + std::to_string(Kill);
        const pid_t Writer = KillWriterBeforeItsRename(File, Value);
        ASSERT_GT(Writer, 0) << Kill;
        const std::string Temporary = File + ".tmp." + std::to_string(Writer);
        // The kill left this writer's temporary file, whole; the one a writer killed before left
        // went at this writer's write.
        EXPECT_NE(ReadFile(Temporary).find(Value), std::string::npos) << Kill;
        EXPECT_EQ(Temporaries(File),
                  std::set<std::string>{std::filesystem::path(Temporary).filename().string()})
            << Kill;
        EXPECT_EQ(ReadFile(File), Old) << Kill;
    }
    Case.Write(File, "new");
    EXPECT_EQ(Temporaries(File), std::set<std::string>{});
    EXPECT_EQ(Case.Read(File), "new");
}

INSTANTIATE_TEST_SUITE_P(Stores, FileReplacement, ::testing::ValuesIn(StoreCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });
INSTANTIATE_TEST_SUITE_P(Dialup, FileReplacement, ::testing::Values(PhonebookCase),
                         [](const auto& Info) { return std::string(Info.param.Name); });

}  // namespace
