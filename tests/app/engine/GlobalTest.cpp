#include "app/engine/KestroGlobal.h"

#include "platform/registry/Registry.h"
#include "tests/app/engine/EngineFixture.h"

namespace {

class GlobalConfigTest : public EngineTest {
  protected:
    // Opens the settings key for writing test values straight into the store.
    static void WithKey(const std::function<void(TRegistry&)>& action) {
        TRegistry registry;
        registry.SetRootKey(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(registry.OpenKey(TGlobalConfig::RegistryKey, true));
        action(registry);
    }
};

TEST_F(GlobalConfigTest, FreshInstallationKeepsDefaultsAndCreatesTheKey) {
    TGlobalConfig config;
    config.LoadFromRegistry();
    EXPECT_TRUE(config.EventLog);
    EXPECT_FALSE(config.ThreadLog);
    EXPECT_FALSE(config.DebugLog);
    EXPECT_EQ(config.MaxThreads, 8);
    EXPECT_EQ(config.TimeServer, TGlobalConfig::DefaultTimeServer);
    EXPECT_FALSE(config.TimeServer.empty());

    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_TRUE(registry.KeyExists("\\SOFTWARE\\Orvalin\\Kestro"));
}

TEST_F(GlobalConfigTest, FirstMissingNumberEndsTheReading) {
    WithKey([](TRegistry& r) {
        r.WriteBool("EventLog", false);
        r.WriteString("TimeServer", "time.example");
        r.WriteInteger("MaxThreads", 3);
    });
    TGlobalConfig config;
    config.ThreadLog = true;
    config.Realname = "kept";
    config.LoadFromRegistry();
    EXPECT_FALSE(config.EventLog);
    // "ThreadLog" is missing: nothing after it is read.
    EXPECT_TRUE(config.ThreadLog);
    EXPECT_EQ(config.Realname, "kept");
    EXPECT_EQ(config.TimeServer, TGlobalConfig::DefaultTimeServer);
    EXPECT_EQ(config.MaxThreads, 8);
}

TEST_F(GlobalConfigTest, MissingStringsReadAsEmpty) {
    WithKey([](TRegistry& r) {
        r.WriteBool("EventLog", true);
        r.WriteBool("ThreadLog", true);
        r.WriteBool("DebugLog", true);
    });
    TGlobalConfig config;
    config.MaxThreads = 5;
    config.LoadFromRegistry();
    EXPECT_TRUE(config.ThreadLog);
    EXPECT_TRUE(config.DebugLog);
    EXPECT_EQ(config.TimeServer, "");
    EXPECT_EQ(config.MaxThreads, 5);
}

TEST_F(GlobalConfigTest, SaveAndLoadRoundTrip) {
    TGlobalConfig config;
    config.EventLog = false;
    config.DebugLog = true;
    config.TimeServer = "ptbtime1.example";
    config.CrosspointDir = "C:\\XP\\";
    config.Realname = "Erika Mustermann";
    config.eMail = "erika@example.net";
    config.MaxThreads = 3;
    config.Version = "1.2.3.4";
    config.SaveToRegistry();

    TGlobalConfig loaded;
    loaded.LoadFromRegistry();
    EXPECT_FALSE(loaded.EventLog);
    EXPECT_TRUE(loaded.DebugLog);
    EXPECT_EQ(loaded.TimeServer, "ptbtime1.example");
    EXPECT_EQ(loaded.CrosspointDir, "C:\\XP\\");
    EXPECT_EQ(loaded.Realname, "Erika Mustermann");
    EXPECT_EQ(loaded.eMail, "erika@example.net");
    EXPECT_EQ(loaded.MaxThreads, 3);
    // The version is stored for the point program to see, never read back.
    EXPECT_EQ(loaded.Version, "");
    WithKey([](TRegistry& r) { EXPECT_EQ(r.ReadString("Version"), "1.2.3.4"); });
}

TEST_F(GlobalConfigTest, MaxThreadsBelowOneIsStoredAndUsedAsOne) {
    TGlobalConfig config;
    config.MaxThreads = 0;
    EXPECT_EQ(config.EffectiveMaxThreads(), 1);
    config.SaveToRegistry();
    EXPECT_EQ(config.MaxThreads, 1);
    WithKey([](TRegistry& r) { EXPECT_EQ(r.ReadInteger("MaxThreads"), 1); });

    WithKey([](TRegistry& r) { r.WriteInteger("MaxThreads", -4); });
    TGlobalConfig loaded;
    loaded.LoadFromRegistry();
    EXPECT_EQ(loaded.MaxThreads, 1);
}

TEST(ParentDirectoryTest, DropsTheLastComponent) {
    EXPECT_EQ(ParentDirectory("C:\\XP\\KESTRO\\"), "C:\\XP\\");
    EXPECT_EQ(ParentDirectory("C:\\XP\\KESTRO"), "C:\\XP\\");
    EXPECT_EQ(ParentDirectory("C:\\"), "");
    EXPECT_EQ(ParentDirectory("box"), "");
    EXPECT_EQ(ParentDirectory(""), "");
    EXPECT_EQ(ParentDirectory("/opt/xp/kestro/"), "/opt/xp/");
    EXPECT_EQ(ParentDirectory("/opt"), "/");
    EXPECT_EQ(ParentDirectory("C:\\XP\\\\KESTRO\\\\"), "C:\\XP\\\\");
}

TEST_F(GlobalConfigTest, PointFileExistsLooksInTheWorkingAndThePointDirectory) {
    EXPECT_FALSE(PointFileExists("netcall.all"));
    WriteFile(PointDir() + "netcall.all", "");
    EXPECT_TRUE(PointFileExists("netcall.all"));
    EXPECT_TRUE(PointFileExists("NETCALL.ALL"));
    WriteFile(ProgramDir() + "kestro.dial", "x\r\n");
    EXPECT_TRUE(PointFileExists("kestro.dial"));
    EXPECT_FALSE(PointFileExists("other.all"));
}

}  // namespace
