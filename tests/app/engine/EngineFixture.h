#pragma once
// A private installation for every test: a point program directory with the program's directory
// below it (the layout the box fallback expects), a registry of its own, a working directory in
// the program's directory, captured message boxes and log lines, and clean engine state. And a
// limit on the size of files, which makes writes fail as on a full disk.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "app/engine/EngineLog.h"
#include "app/engine/KestroGlobal.h"
#include "app/engine/UnitScheduler.h"
#include "netlib/mime/Codecs.h"
#include "platform/shell/Dialogs.h"
#include "tests/support/TestSupport.h"

class EngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        Root = std::filesystem::temp_directory_path() /
               ("kestro-engine-" + std::to_string(getpid()) + "-" + info->test_suite_name() + "-" +
                info->name());
        std::filesystem::remove_all(Root);
        std::filesystem::create_directories(Root / "xp" / "kestro");
        std::filesystem::create_directories(Root / "reg");
        setenv("KESTRO_HOME", ProgramDir().c_str(), 1);
        setenv("KESTRO_REGISTRY_DIR", (Root / "reg").c_str(), 1);
        OldCwd = std::filesystem::current_path();
        std::filesystem::current_path(ProgramDir());
        ResetEngine();
        OldHandler =
            SetMessageBoxHandler([this](const std::string& text, const std::string&, uint32_t) {
                Messages.push_back(text);
                return IDOK;
            });
        OldLog = SetEngineLog([this](const std::string& text) { LogLines.push_back(text); });
    }

    void TearDown() override {
        NNTPTasks.SaveAndClear();
        ResetEngine();
        SetMessageBoxHandler(OldHandler);
        SetEngineLog(OldLog);
        std::filesystem::current_path(OldCwd);
        std::filesystem::remove_all(Root);
    }

    static void ResetEngine() {
        OptSendOnly = OptCfg = OptCfgOnly = false;
        PointProgramType = ptKestro;
        GlobalConfig = TGlobalConfig();
        TaskQueue.Clear();
        ConfigList.FreeAll();
        while (TaskList.Count() > 0) TaskList.Remove(0);
        ResetDupeSettings();
    }

    // The program's directory (with trailing '/') and the point program's directory above it.
    std::string ProgramDir() const { return (Root / "xp" / "kestro").string() + "/"; }
    std::string PointDir() const { return (Root / "xp").string() + "/"; }

    static std::string Golden(const std::string& name) {
        return ReadFile(std::string(KESTRO_SOURCE_DIR) + "/tests/app/engine/data/" + name);
    }

    std::filesystem::path Root;
    std::filesystem::path OldCwd;
    std::vector<std::string> Messages;
    std::vector<std::string> LogLines;
    TMessageBoxHandler OldHandler;
    TEngineLogProc OldLog;
};

// A write that fails part-way (the disk filled up): the process may write no more than a few
// bytes into any file while it is in force.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &FOld);
        FOldHandler = signal(SIGXFSZ, SIG_IGN);
        rlimit limit{bytes, FOld.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &FOld);
        signal(SIGXFSZ, FOldHandler);
    }

  private:
    rlimit FOld{};
    sighandler_t FOldHandler;
};

// A message's MIME fields and body with two file parts a fetch meets: broken.bin, whose uuencoded
// body cannot be decoded, and long.bin in base64 lines of 120 characters (some mailers write them
// so; the encoding allows 76).
struct TBentAttachments {
    TBentAttachments() {
        for (int i = 0; i < 300; ++i) Content += char(i * 11 + 5);
        Mime =
            "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"XX\"\r\n\r\n"
            "--XX\r\nContent-Type: application/octet-stream\r\n"
            "Content-Transfer-Encoding: uuencoded\r\n"
            "Content-Disposition: attachment; filename=broken.bin\r\n\r\n" +
            Broken +
            "--XX\r\nContent-Type: application/octet-stream\r\n"
            "Content-Transfer-Encoding: base64\r\n"
            "Content-Disposition: attachment; filename=long.bin\r\n\r\n" +
            InLines(Base64EncodeString(Content), 120) + "--XX--\r\n";
    }
    // broken.bin's body, and long.bin's bytes.
    const std::string Broken = "begin 644 broken.bin\r\nMxx\r\nend\r\n";
    std::string Content;
    std::string Mime;
    // The notice that takes long.bin's place is encoded as the part was: its first 54 bytes,
    // whole groups of three, stand in base64 at the start of the part's body.
    const std::string NoticeStart = Base64EncodeString(
        std::string("Die Datei long.bin (MIME-Typ: application/octet-stream)").substr(0, 54));
};
