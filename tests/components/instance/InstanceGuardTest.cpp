#include <gtest/gtest.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>

#include "components/instance/InstanceGuard.h"
#include "platform/core/Application.h"

extern char** environ;

namespace {

class InstanceGuardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/kestro-guard-XXXXXX";
        Dir = mkdtemp(tmpl);
        setenv("XDG_RUNTIME_DIR", Dir.c_str(), 1);
        Application.ProcessMessages();  // the guard listens through the Qt application object
    }
    void TearDown() override {
        FinalizeInstanceGuard();
        SetInstanceActivationHandler(nullptr);
        std::filesystem::remove_all(Dir);
    }

    // Runs the probe as another process while this one keeps its loop going; its exit code.
    int RunProbe(const std::string& caption) {
        pid_t pid;
        std::string exe = INSTANCE_PROBE;
        char* argv[] = {exe.data(), const_cast<char*>(caption.c_str()), nullptr};
        EXPECT_EQ(posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv, environ), 0);
        int status = 0;
        for (int i = 0; i < 5000; ++i) {
            if (waitpid(pid, &status, WNOHANG) == pid) return WEXITSTATUS(status);
            Application.WaitForEvent(10);
            Application.ProcessMessages();
        }
        return -1;
    }

    std::string Dir;
};

TEST_F(InstanceGuardTest, SecondCopyFindsTheFirstAndBringsItForward) {
    InitializeInstanceGuard("kestro");
    ASSERT_TRUE(IsFirstInstance());
    int activations = 0;
    SetInstanceActivationHandler([&] { ++activations; });
    ActivateFirstInstance();  // the first copy brings its own window forward
    EXPECT_EQ(activations, 1);

    EXPECT_EQ(RunProbe("kestro"), 3);
    for (int i = 0; i < 200 && activations < 2; ++i) {
        Application.WaitForEvent(10);
        Application.ProcessMessages();
    }
    EXPECT_EQ(activations, 2);
    // Another caption is another program: it runs as a first instance.
    EXPECT_EQ(RunProbe("other"), 0);
}

TEST_F(InstanceGuardTest, LockIsFreedWhenTheFirstCopyEnds) {
    InitializeInstanceGuard("kestro");
    ASSERT_TRUE(IsFirstInstance());
    FinalizeInstanceGuard();
    EXPECT_FALSE(IsFirstInstance());
    EXPECT_EQ(RunProbe("kestro"), 0);
}

TEST_F(InstanceGuardTest, UnusableDirectoryCountsAsSecondInstance) {
    setenv("XDG_RUNTIME_DIR", (Dir + "/missing").c_str(), 1);
    EXPECT_EQ(InstanceGuardDirectory(), "/tmp");
    // A runtime "directory" that is a file: the lock cannot be created.
    std::string file = Dir + "/plain";
    fclose(fopen(file.c_str(), "w"));
    setenv("XDG_RUNTIME_DIR", file.c_str(), 1);
    InitializeInstanceGuard("kestro");
    EXPECT_FALSE(IsFirstInstance());
    ActivateFirstInstance();  // nobody listens: returns without harm
}

}  // namespace
