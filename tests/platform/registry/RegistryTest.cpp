#include "platform/registry/Registry.h"
#include "tests/support/TestSupport.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

// A slow disk, while set: a file the registry syncs is dated a second back, as one whose writing
// took that long is by the time the writer looks at it again.
bool SlowDisk = false;

}  // namespace

// Every sync of the test binary comes here.
extern "C" int fsync(int Fd) {
    const int Result = int(syscall(SYS_fsync, Fd));
    struct stat St;
    if (SlowDisk && Result == 0 && fstat(Fd, &St) == 0 && S_ISREG(St.st_mode)) {
        const struct timespec Times[2] = {{0, UTIME_OMIT}, {std::time(nullptr) - 1, 0}};
        futimens(Fd, Times);
    }
    return Result;
}

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
    ASSERT_TRUE(reg.Flush());  // the write reaches the file at the flush
    std::ifstream kept(TRegistry::HiveFileName(HKEY_CURRENT_USER) + ".damaged", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), damaged);
}

}  // namespace

// ---- Deferred writes and the file kept in memory ----------------------------------------------

namespace {

// Counts what happens to one file of a directory, as the kernel reports it: a "write" is a new
// file renamed over it or a file opened for writing and closed; a "read" is an open.
class FileWatch {
  public:
    FileWatch(const std::string& dir, std::string name) : FName(std::move(name)) {
        FFd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        EXPECT_GE(FFd, 0);
        EXPECT_GE(inotify_add_watch(FFd, dir.c_str(), IN_MOVED_TO | IN_CLOSE_WRITE | IN_OPEN), 0);
    }
    ~FileWatch() { close(FFd); }
    // Writes and reads since the last call.
    std::pair<int, int> Take() {
        int writes = 0, reads = 0;
        alignas(inotify_event) char buf[65536];
        for (ssize_t n; (n = read(FFd, buf, sizeof buf)) > 0;)
            for (char* p = buf; p < buf + n;) {
                auto* e = reinterpret_cast<inotify_event*>(p);
                if (e->len && FName == e->name) {
                    if (e->mask & (IN_MOVED_TO | IN_CLOSE_WRITE)) ++writes;
                    if (e->mask & IN_OPEN) ++reads;
                }
                p += sizeof(inotify_event) + e->len;
            }
        return {writes, reads};
    }
    int Writes() { return Take().first; }

  private:
    int FFd = -1;
    std::string FName;
};

const char kHive[] = "HKEY_CURRENT_USER.reg";

// Sets the file's time to when.
void SetFileTime(const std::string& file, time_t when) {
    struct timespec times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
}

// What a bar layout's saving does: every earlier key goes, then about two hundred values are
// written one by one into keys opened and closed in turn.
void SaveLayout(int width) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Bars", true));
    for (const std::string& name : reg.GetKeyNames()) reg.DeleteKey("\\Software\\Bars\\" + name);
    reg.WriteInteger("BarCount", 20);
    reg.CloseKey();
    for (int bar = 0; bar < 20; ++bar) {
        ASSERT_TRUE(reg.OpenKey("\\Software\\Bars\\Bar" + std::to_string(bar), true));
        reg.WriteString("Caption", "Bar " + std::to_string(bar));
        for (int v = 0; v < 8; ++v) reg.WriteInteger("Value" + std::to_string(v), v * bar);
        reg.WriteInteger("Width", width);
        reg.CloseKey();
    }
}

}  // namespace

TEST_F(RegistryTest, AFlushWritesTheFileOnceAndOnlyWhenSomethingChanged) {
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
    FileWatch watch(dir, kHive);
    SaveLayout(100);
    EXPECT_EQ(watch.Writes(), 1);  // about two hundred values, one write when the object goes

    // The next run saves the layout as it read it: deleted and written again, it is the same.
    SaveLayout(100);
    EXPECT_EQ(watch.Writes(), 0);
    SaveLayout(101);
    EXPECT_EQ(watch.Writes(), 1);
    {
        TRegistry reader;  // reading alone never writes
        ASSERT_TRUE(reader.OpenKey("\\Software\\Bars\\Bar3", false));
        EXPECT_EQ(reader.ReadInteger("Width"), 101);
    }
    EXPECT_EQ(watch.Writes(), 0);

    // Until the flush the change is in memory only, and every object of the process sees it.
    TRegistry writer;
    ASSERT_TRUE(writer.OpenKey("\\Software\\Bars\\Bar3", false));
    writer.WriteInteger("Width", 7);
    writer.WriteString("New", "value");
    writer.DeleteValue("Value1");
    {
        TRegistry other;
        ASSERT_TRUE(other.OpenKey("\\Software\\Bars\\Bar3", false));
        EXPECT_EQ(other.ReadInteger("Width"), 7);
        EXPECT_EQ(other.ReadString("New"), "value");
        EXPECT_FALSE(other.ValueExists("Value1"));
    }
    EXPECT_EQ(watch.Writes(), 1);  // the other object's going flushed the hive
    EXPECT_NE(HiveText(HKEY_CURRENT_USER).find("\"New\"=\"value\"\n"), std::string::npos);
    EXPECT_TRUE(writer.Flush());
    EXPECT_EQ(watch.Writes(), 0);  // nothing left to write

    // A change and its undoing before the flush write nothing.
    writer.WriteInteger("Width", 8);
    writer.WriteInteger("Width", 7);
    EXPECT_TRUE(writer.Flush());
    EXPECT_EQ(watch.Writes(), 0);
    // Changing the root closes the hive, as the object's going does.
    writer.WriteInteger("Width", 9);
    writer.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_EQ(watch.Writes(), 1);
}

TEST_F(RegistryTest, TheFileIsReadAgainOnlyWhenItChangedOnDisk) {
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
    SaveLayout(100);
    const std::string file = TRegistry::HiveFileName(HKEY_CURRENT_USER);
    // A file changed just now may change again within the same tick of the file times: it is
    // trusted to be unchanged only once it is older.
    SetFileTime(file, std::time(nullptr) - 10);
    TRegistry{}.KeyExists("\\Software");  // read once after the change of its time
    FileWatch watch(dir, kHive);
    TRegistry reg;
    for (int round = 0; round < 20; ++round)
        for (int bar = 0; bar < 20; ++bar) {
            ASSERT_TRUE(reg.OpenKey("\\Software\\Bars\\Bar" + std::to_string(bar), false));
            EXPECT_EQ(reg.ReadInteger("Width"), 100);
        }
    EXPECT_EQ(watch.Take().second, 0);  // 400 keys opened, the file not opened once

    // Another program replaces the file: the next key opened sees what it wrote.
    std::string text = HiveText(HKEY_CURRENT_USER);
    const std::string from = "[Software\\Bars\\Bar3]\n";
    text.replace(text.find(from), from.size(), from + "\"Edited\"=dword:0000002a\n");
    std::ofstream(file + ".new", std::ios::binary) << text;
    ASSERT_EQ(rename((file + ".new").c_str(), file.c_str()), 0);
    ASSERT_TRUE(reg.OpenKey("\\Software\\Bars\\Bar3", false));
    EXPECT_EQ(reg.ReadInteger("Edited"), 42);
    // Edited in place (another size), too.
    std::ofstream(file, std::ios::binary | std::ios::app) << "[Software\\Added]\n";
    EXPECT_TRUE(reg.KeyExists("\\Software\\Added"));

    // Edited in place within one tick of the file times: same inode, size and time (a time ahead
    // of the clock, as one just set is within the tick).
    const time_t tick = std::time(nullptr) + 3600;
    std::ofstream(file, std::ios::binary | std::ios::app) << "\"Tick\"=dword:00000001\n";
    SetFileTime(file, tick);
    ASSERT_TRUE(reg.OpenKey("\\Software\\Added", false));
    EXPECT_EQ(reg.ReadInteger("Tick"), 1);
    text = HiveText(HKEY_CURRENT_USER);
    text.replace(text.rfind("00000001"), 8, "00000002");
    std::ofstream(file, std::ios::binary | std::ios::in) << text;
    SetFileTime(file, tick);
    ASSERT_TRUE(reg.OpenKey("\\Software\\Added", false));
    EXPECT_EQ(reg.ReadInteger("Tick"), 2);
}

// A setting changed and, after a flush, changed back to what the file held before is written again,
// also when the flush between took longer than a tick of the file times (a slow disk): the file is
// then trusted without being read again, and the change back must still count as one.
TEST_F(RegistryTest, ASettingChangedBackAfterASlowFlushIsWritten) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Orvalin\\Kestro", true));
    reg.WriteString("TimeServer", "ptbtime1.ptb.de");
    ASSERT_TRUE(reg.Flush());
    SlowDisk = true;
    reg.WriteString("TimeServer", "");
    const bool Flushed = reg.Flush();
    SlowDisk = false;
    ASSERT_TRUE(Flushed);
    ASSERT_NE(HiveText(HKEY_CURRENT_USER).find("\"TimeServer\"=\"\"\n"), std::string::npos);
    reg.WriteString("TimeServer", "ptbtime1.ptb.de");
    ASSERT_TRUE(reg.Flush());
    EXPECT_NE(HiveText(HKEY_CURRENT_USER).find("\"TimeServer\"=\"ptbtime1.ptb.de\"\n"),
              std::string::npos)
        << HiveText(HKEY_CURRENT_USER);
}

TEST_F(RegistryTest, ChangesOfTwoProcessesDoNotLoseEachOther) {
    TRegistry first;
    ASSERT_TRUE(first.OpenKey("Software\\Shared", true));
    first.WriteInteger("Before", 1);
    ASSERT_TRUE(first.Flush());
    first.WriteInteger("A", 1);  // not yet flushed when the other process writes
    first.DeleteValue("Before");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The child's copy of this process's pending changes must not be written by it.
        std::_Exit([] {
            const std::string file = TRegistry::HiveFileName(HKEY_CURRENT_USER);
            std::string text;
            {
                std::ifstream in(file, std::ios::binary);
                text.assign(std::istreambuf_iterator<char>(in), {});
            }
            text += "[Software\\Shared\\FromChild]\n\"B\"=dword:00000002\n";
            std::ofstream(file + ".child", std::ios::binary) << text;
            return rename((file + ".child").c_str(), file.c_str()) == 0 ? 0 : 1;
        }());
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_EQ(status, 0);
    ASSERT_TRUE(first.Flush());  // made again over what the other process wrote
    TRegistry reader;
    ASSERT_TRUE(reader.OpenKey("Software\\Shared", false));
    EXPECT_EQ(reader.ReadInteger("A"), 1);
    EXPECT_FALSE(reader.ValueExists("Before"));
    ASSERT_TRUE(reader.OpenKey("FromChild", false));
    EXPECT_EQ(reader.ReadInteger("B"), 2);
}

TEST_F(RegistryTest, ChangesStillHeldAreWrittenWhenTheProgramEnds) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TRegistry reg;  // still there when the program ends: its own going never flushes
        if (!reg.OpenKey("Software\\AtExit", true)) std::_Exit(2);
        reg.WriteString("Value", "kept");
        std::exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    TRegistry reader;
    ASSERT_TRUE(reader.OpenKey("Software\\AtExit", false));
    EXPECT_EQ(reader.ReadString("Value"), "kept");
}

TEST_F(RegistryTest, AKillDuringAFlushLeavesTheOldOrTheNewFileWhole) {
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
    const std::string file = TRegistry::HiveFileName(HKEY_CURRENT_USER);
    // Each generation writes every value anew with its number: a file of a generation is whole
    // when every value holds the same number.
    constexpr int kValues = 2000;
    const std::string filler(1000, 'x');
    {
        TRegistry reg;  // generation 0: the old file of the first kill
        ASSERT_TRUE(reg.OpenKey("Software\\Big", true));
        reg.WriteInteger("Generation", 0);
        for (int v = 0; v < kValues; ++v) reg.WriteString("V" + std::to_string(v), "0" + filler);
    }
    for (int round = 0; round < 6; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int generation = 1;; ++generation) {
                TRegistry reg;
                if (!reg.OpenKey("Software\\Big", true)) std::_Exit(2);
                reg.WriteInteger("Generation", generation);
                for (int v = 0; v < kValues; ++v)
                    reg.WriteString("V" + std::to_string(v), std::to_string(generation) + filler);
            }
        }
        // Killed while its temporary file is being written (after a few generations in the later
        // rounds), with no wait in between.
        const std::string tmp = file + ".tmp." + std::to_string(child);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        int seen = 0;
        struct stat st;
        while (seen <= round && std::chrono::steady_clock::now() < deadline)
            if (stat(tmp.c_str(), &st) == 0) ++seen;
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_GT(seen, 0) << "the writer never flushed; it ended with " << status;

        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("Software\\Big", false));
        const std::string generation = std::to_string(reg.ReadInteger("Generation"));
        ASSERT_EQ(reg.GetValueNames().size(), size_t(kValues + 1));
        for (int v = 0; v < kValues; ++v)
            ASSERT_EQ(reg.ReadString("V" + std::to_string(v)), generation + filler) << v;
    }
    // The temporary files the killed writers left go with the next write.
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("Software\\Big", false));
        reg.WriteInteger("Generation", -1);
    }
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        EXPECT_EQ(entry.path().filename().string().find(".tmp."), std::string::npos)
            << entry.path();
}

TEST_F(RegistryTest, AKeyWithManyValuesAndDamagedLinesReadsRight) {
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
    std::string text = "[Software\\Many]\n";
    constexpr int kValues = 20000;
    for (int v = 0; v < kValues; ++v) {
        text += "\"V" + std::to_string(v) + "\"=dword:" + (v % 7 ? "0000000a" : "zz") + "\n";
        if (v % 5 == 0) text += "\"v" + std::to_string(v) + "\"=\"again\"\n";  // the later holds
        if (v % 11 == 0) text += "\"Broken" + std::to_string(v) + "=\"x\"\n";
    }
    std::ofstream(TRegistry::HiveFileName(HKEY_CURRENT_USER), std::ios::binary) << text;
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Many", false));
    std::vector<std::string> names = reg.GetValueNames();
    EXPECT_EQ(names.front(), "v0");  // V0 is damaged: the later line makes it
    for (int v = 0; v < kValues; ++v) {
        const std::string name = "V" + std::to_string(v);
        if (v % 5 == 0)
            EXPECT_EQ(reg.ReadString(name), "again") << name;
        else if (v % 7 == 0)
            EXPECT_FALSE(reg.ValueExists(name)) << name;
        else
            EXPECT_EQ(reg.ReadInteger(name), 10) << name;
    }
    EXPECT_FALSE(reg.ValueExists("Broken0"));
    // Deleting values in the middle keeps every later one found, in its order.
    ASSERT_TRUE(reg.DeleteValue("V1"));
    ASSERT_TRUE(reg.DeleteValue("v500"));
    EXPECT_EQ(reg.ReadInteger("V2"), 10);
    EXPECT_EQ(reg.ReadString("V505"), "again");
    EXPECT_EQ(reg.ReadInteger("V19998"), 10);
    reg.WriteInteger("V2", 3);
    EXPECT_EQ(reg.ReadInteger("v2"), 3);
    names.erase(std::find(names.begin(), names.end(), "V1"));
    names.erase(std::find(names.begin(), names.end(), "V500"));
    EXPECT_EQ(reg.GetValueNames(), names);
}
