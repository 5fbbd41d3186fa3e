// The class registries (packaged collections, notices, lookup by class name) and the file
// systems over the disk and the program's resources.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "components/registries/ClassRegistries.h"
#include "components/registries/FileSystems.h"
#include "platform/forms/StandardClasses.h"
#include "tests/support/TestSupport.h"

namespace {

class TTestPopup : public TComponent {
  public:
    using TComponent::TComponent;
};
class TTestEdit : public TComponent {
  public:
    using TComponent::TComponent;
};
class TTestMaskEdit : public TComponent {
  public:
    using TComponent::TComponent;
};

// Answers the registry-changed notice and counts what it saw.
class TListeningCollection : public TPackagedCollection {
  public:
    TListeningCollection() : TPackagedCollection(ItemClassOf<TPackagedCollectionItem>()) {}
    void Dispatch(TMessage& Message) override {
        Seen.push_back(Message.Msg);
        if (Answer) Message.Result = 1;
        TPackagedCollection::Dispatch(Message);
    }
    std::vector<UINT> Seen;
    bool Answer = false;
};

TEST(ClassRegistries, ClassesAreFoundByNameInTheirRegistry) {
    if (GetClass("TComponent") == nullptr) RegisterStandardClasses();
    RegisterPopupClass<TTestPopup, TComponent>("TTestPopup", typeid(std::string), "", 0);
    RegisterEditClass<TTestEdit, TComponent>("TTestEdit", typeid(std::string), "", 0);
    RegisterEditClass<TTestMaskEdit, TComponent>("TTestMaskEdit", typeid(std::string), " ", 1);
    ASSERT_NE(GetClass("TTestPopup"), nullptr);  // registered for streaming on the way
    const TRegisteredClassInfo* Popup = FindRegisteredClass(PopupClasses(), "ttestpopup");
    ASSERT_NE(Popup, nullptr);
    EXPECT_EQ(Popup->ValueType, typeid(std::string));
    EXPECT_EQ(FindRegisteredClass(EditClasses(), "TTestPopup"), nullptr);  // another registry
    EXPECT_EQ(FindRegisteredClass(PopupClasses(), "TNoSuchClass"), nullptr);
    const auto* Plain =
        static_cast<TEditClassInfo*>(FindRegisteredClass(EditClasses(), "TTestEdit"));
    const auto* Mask =
        static_cast<TEditClassInfo*>(FindRegisteredClass(EditClasses(), "TTestMaskEdit"));
    ASSERT_TRUE(Plain && Mask);
    EXPECT_FALSE(Plain->Default);
    EXPECT_TRUE(Mask->Default);  // the second inner edit of a value type
    EXPECT_EQ(Mask->Name, " ");
    // Registering again keeps the streaming class as it was.
    RegisterPopupClass<TTestPopup, TComponent>("TTestPopup", typeid(bool), "", 0);
    EXPECT_EQ(PopupClasses().Count(), 2);
}

TEST(ClassRegistries, NoticesGoNewestFirstAndAnUnloadedModuleTakesItsItems) {
    TListeningCollection Older;
    TListeningCollection Newer;
    SetCurrentModule(7);
    Older.Add();
    Older.Add();
    SetCurrentModule(0);
    Older.Add();
    TMessage Unloading{CM_MODULEUNLOADING, 7, 0, 0};
    EXPECT_TRUE(BroadcastToPackagedCollections(Unloading, false));
    EXPECT_EQ(Older.Count(), 1);
    EXPECT_EQ(static_cast<TPackagedCollectionItem*>(Older.Items(0))->Module(), 0u);

    // Stopping at the first answer: the newer one answers, the older never hears of it.
    Newer.Answer = true;
    TMessage Changed{CM_REGISTRYCHANGED, 0, 0, 0};
    EXPECT_FALSE(BroadcastToPackagedCollections(Changed, true));
    EXPECT_EQ(Newer.Seen.back(), CM_REGISTRYCHANGED);
    EXPECT_EQ(Older.Seen.back(), CM_MODULEUNLOADING);
    // Palette registrations tell everyone; flags add up, the first page stays.
    Newer.Answer = false;
    if (GetClass("TComponent") == nullptr) RegisterStandardClasses();
    const TClassInfo* Component = GetClass("TComponent");
    RegisterComponents("Kestro", {Component});
    RegisterComponents("Other", {Component});
    EXPECT_EQ(Older.Seen.back(), CM_REGISTRYCHANGED);
    int Found = 0;
    for (int N = 0; N < ClassItems().Count(); ++N) {
        auto* Item = static_cast<TClassItem*>(ClassItems().Items(N));
        if (Item->Class != Component) continue;
        ++Found;
        EXPECT_EQ(Item->Flags, kPaletteRegistration);
        EXPECT_EQ(Item->Page, "Kestro");
    }
    EXPECT_EQ(Found, 1);
}

// ---- file systems --------------------------------------------------------------------------

class FileSystems : public ::testing::Test {
  protected:
    void SetUp() override {
        char Template[] = "/tmp/kestro-fs-XXXXXX";
        Dir = std::string(mkdtemp(Template)) + "/";
    }
    void TearDown() override {
        chmod(Dir.c_str(), 0700);
        std::filesystem::remove_all(Dir);
    }
    std::string Dir;
};

TEST_F(FileSystems, DiskOperationsAndTheirErrors) {
    TWin32FileSystem Disk(nullptr);
    WriteFile(Dir + "box.cfg", "x");
    Disk.RenameFile(Dir + "box.cfg", Dir + "box.bak");
    EXPECT_TRUE(Disk.FileExists(Dir + "BOX.BAK"));
    WriteFile(Dir + "box.cfg", "y");
    EXPECT_EQ(ErrorOf([&] { Disk.RenameFile(Dir + "box.cfg", Dir + "box.bak"); }),
              "Can't rename file " + Dir + "box.cfg to file " + Dir + "box.bak");
    Disk.DeleteFile(Dir + "missing.cfg");  // nothing to delete: no error
    Disk.DeleteFile(Dir + "box.cfg");
    EXPECT_FALSE(Disk.FileExists(Dir + "box.cfg"));
    chmod(Dir.c_str(), 0500);
    if (::access(Dir.c_str(), W_OK) != 0) {  // root may write anyway
        EXPECT_EQ(ErrorOf([&] { Disk.DeleteFile(Dir + "box.bak"); }),
                  "Can't delete file " + Dir + "box.bak");
    }
    chmod(Dir.c_str(), 0700);
    const std::string Temporary = Disk.GetTempFileName(Dir + "kestro.xml");
    EXPECT_EQ(Temporary.rfind(Dir + "kes", 0), 0u) << Temporary;
    EXPECT_TRUE(Disk.FileExists(Temporary));
    EXPECT_THROW(Disk.GetTempFileName(Dir + "missing/kestro.xml"), EFileSystemError);
    auto Stream = Disk.CreateStream(Dir + "new.txt", fmCreate);
    Stream->WriteString("abc");
    Stream.reset();
    EXPECT_EQ(ReadFile(Dir + "new.txt"), "abc");
    EXPECT_FALSE(Disk.IsReadOnly(Dir + "new.txt"));
    EXPECT_FALSE(Disk.IsReadOnly(Dir + "missing.txt"));
    EXPECT_FALSE(Disk.IsResourceFileSystem());
}

TEST_F(FileSystems, BackupNames) {
    TWin32FileSystem Disk(nullptr);
    const std::pair<const char*, const char*> Cases[] = {{"box.cfg", "box.~cf"},
                                                         {"dir.x/box", "dir.x/box.~"},
                                                         {"a.b", "a.~b"},
                                                         {"k.tar.gz", "k.tar.~gz"}};
    for (const auto& [Name, Want] : Cases) EXPECT_EQ(Disk.GetBackupFileName(Name), Want);
}

TEST_F(FileSystems, ResourcesOfTheProgram) {
    const std::pair<const char*, TResourceName> Names[] = {
        {"RT_RCDATA\\STSRMGR_STRINGS", {10, "", "STSRMGR_STRINGS"}},
        {"RT_ANIICON\\X", {22, "", "X"}},
        {"MYTYPE\\X", {0, "MYTYPE", "X"}},
        {"RT_UNKNOWN\\X", {0, "RT_UNKNOWN", "X"}},
        {"X", {0, "", "X"}},
    };
    for (const auto& [Text, Want] : Names) {
        const TResourceName Got = SplitResourceName(Text);
        EXPECT_EQ(Got.TypeNumber, Want.TypeNumber) << Text;
        EXPECT_EQ(Got.TypeName, Want.TypeName) << Text;
        EXPECT_EQ(Got.Name, Want.Name) << Text;
    }
    TResFileSystem Resources(nullptr);
    EXPECT_TRUE(Resources.IsResourceFileSystem());
    EXPECT_TRUE(Resources.FileExists("RT_RCDATA\\STSRMGR_STRINGS"));
    EXPECT_FALSE(Resources.FileExists("RT_RCDATA\\NO_SUCH_THING"));
    auto Stream = Resources.CreateStream("RT_RCDATA\\STSRMGR_STRINGS", fmOpenRead);
    EXPECT_GT(Stream->Size(), 0);
    char Magic[4];
    Stream->ReadBuffer(Magic, 4);
    EXPECT_EQ(std::string(Magic, 4), "STR0");
    Stream.reset();  // read only: nothing to store
    auto Changed = Resources.CreateStream("RT_RCDATA\\STSRMGR_STRINGS", fmOpenReadWrite);
    Changed->WriteString("x");
    EXPECT_EQ(ErrorOf([&] { static_cast<TResWriteStream&>(*Changed).Flush(); }),
              "Error updating resource");
    Resources.FileName = Dir + "other.exe";
    EXPECT_FALSE(Resources.FileExists("RT_RCDATA\\STSRMGR_STRINGS"));
}

}  // namespace
