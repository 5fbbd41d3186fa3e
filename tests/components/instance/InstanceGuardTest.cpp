// The guard across two processes: the second copy finds the first and brings its window
// forward through the window layer.
#include <gtest/gtest.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "components/instance/ApplicationInstance.h"
#include "components/instance/InstanceGuard.h"
#include "platform/widgets/Forms.h"
#include "tests/support/GuiTestSupport.h"

extern char** environ;

using namespace GuiTest;

namespace {

const std::string kCaption = "Kestro Guard Test";

class InstanceGuardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/kestro-guard-XXXXXX";
        Dir = mkdtemp(tmpl);
        setenv("XDG_RUNTIME_DIR", Dir.c_str(), 1);
    }
    void TearDown() override {
        FinalizeInstanceGuard();
        SetInstanceWindow(0);
        std::filesystem::remove_all(Dir);
    }

    // Runs the probe as another process while this one keeps its loop going; its exit code.
    int RunProbe(const std::string& caption, const std::string& title = "",
                 std::string exe = INSTANCE_PROBE) {
        pid_t pid;
        std::vector<char*> argv = {exe.data(), const_cast<char*>(caption.c_str())};
        if (!title.empty()) argv.push_back(const_cast<char*>(title.c_str()));
        argv.push_back(nullptr);
        EXPECT_EQ(posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv.data(), environ), 0);
        int status = -1;
        PumpUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; });
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    HWND TopLevel(const char* caption, HWND owner = 0) {
        return Windows(GuiTest::Windows().Create(0, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                                 {100, 100, 400, 300}, owner, caption));
    }

    // Activations of the window recorded since the log was cleared.
    static size_t ActivationsOf(HWND wnd) {
        size_t count = 0;
        for (const TRecorded& r : GuiTest::Windows().Of(wnd, {WM_ACTIVATE}))
            if (LOWORD(r.WParam) != WA_INACTIVE) ++count;
        return count;
    }

    std::string Dir;
    TWindowGuard Windows;
};

TEST_F(InstanceGuardTest, SecondCopyBringsTheFirstCopysWindowForward) {
    InitializeInstanceGuard(kCaption);
    ASSERT_TRUE(IsFirstInstance());
    const HWND other = TopLevel("Other");
    const HWND main = TopLevel(kCaption.c_str());
    SetForegroundWindow(other);
    ASSERT_EQ(GetActiveWindow(), other);

    EXPECT_EQ(RunProbe(kCaption), 3);
    EXPECT_TRUE(PumpUntil([&] { return GetActiveWindow() == main; }));

    // Minimised, it is restored.
    ShowWindow(main, SW_MINIMIZE);
    EXPECT_EQ(RunProbe(kCaption), 3);
    EXPECT_TRUE(PumpUntil([&] { return !IsIconic(main); }));

    // An enabled dialog it owns comes to the top above it.
    const HWND dialog = TopLevel("Dialog", main);
    SetForegroundWindow(other);
    EXPECT_EQ(RunProbe(kCaption), 3);
    EXPECT_TRUE(PumpUntil([&] { return GetTopWindow(0) == dialog; }));
}

TEST_F(InstanceGuardTest, WindowWithAnotherCaptionIsNotFound) {
    InitializeInstanceGuard(kCaption);
    const HWND main = TopLevel("Orvalin Kestro V0.1");
    const HWND marker = TopLevel("Marker");
    const HWND other = TopLevel("Other");
    SetForegroundWindow(other);
    Drain();
    GuiTest::Windows().Log.clear();
    EXPECT_EQ(RunProbe(kCaption), 3);  // asks for "Kestro Guard Test": nothing matches
    // Requests are served in turn: once the marker has come forward, the first one is done.
    EXPECT_EQ(RunProbe(kCaption, "Marker"), 3);
    EXPECT_TRUE(PumpUntil([&] { return GetActiveWindow() == marker; }));
    EXPECT_EQ(ActivationsOf(main), 0u);
}

TEST_F(InstanceGuardTest, FirstCopyBringsItsOwnWindowForward) {
    InitializeInstanceGuard(kCaption);
    const HWND main = TopLevel(kCaption.c_str());
    const HWND other = TopLevel("Other");
    SetInstanceWindow(main);
    SetForegroundWindow(other);
    ActivateFirstInstance();
    EXPECT_EQ(GetActiveWindow(), main);
    ShowWindow(main, SW_MINIMIZE);
    ActivateFirstInstance();
    EXPECT_FALSE(IsIconic(main));
    // Another caption is another program: it runs as a first instance.
    EXPECT_EQ(RunProbe("other"), 0);
}

TEST_F(InstanceGuardTest, OnlyALiveFirstCopyCounts) {
    InitializeInstanceGuard(kCaption);
    ASSERT_TRUE(IsFirstInstance());
    FinalizeInstanceGuard();  // the lock file stays, with nobody holding it
    EXPECT_FALSE(IsFirstInstance());
    EXPECT_EQ(RunProbe(kCaption), 0);
}

// The first copy's socket, the only one in the runtime directory.
std::string SocketIn(const std::string& dir) {
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        if (entry.path().extension() == ".sock") return entry.path().string();
    return "";
}

// A connection to the socket, as a second copy that does not behave would open it.
int ConnectTo(const std::string& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// True once the first copy has closed its end of the connection.
bool ClosedByTheOtherEnd(int fd) {
    return PumpUntil([&] {
        char c;
        return recv(fd, &c, 1, MSG_DONTWAIT) == 0;
    });
}

TEST_F(InstanceGuardTest, TheSocketIsTheUsersOwnAndAStaleOneIsReplaced) {
    InitializeInstanceGuard(kCaption);
    const std::string path = SocketIn(Dir);
    ASSERT_FALSE(path.empty());
    struct stat st;
    ASSERT_EQ(lstat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 077, 0u);  // no other user may connect
    // A first copy that ends removes its socket; one that crashed left it, and the next one
    // listens there.
    FinalizeInstanceGuard();
    EXPECT_NE(lstat(path.c_str(), &st), 0);
    const int stale = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(bind(stale, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    close(stale);
    EXPECT_EQ(ConnectTo(path), -1);
    InitializeInstanceGuard(kCaption);
    ASSERT_TRUE(IsFirstInstance());
    const HWND other = TopLevel("Other");
    const HWND main = TopLevel(kCaption.c_str());
    SetForegroundWindow(other);
    EXPECT_EQ(RunProbe(kCaption), 3);
    EXPECT_TRUE(PumpUntil([&] { return GetActiveWindow() == main; }));
    // Nothing but the lock and the socket is left in the directory.
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(Dir)) ++entries;
    EXPECT_EQ(entries, 2u);
}

TEST_F(InstanceGuardTest, PeersThatSendTooMuchOrNothingDoNotStopTheNextRequest) {
    InitializeInstanceGuard(kCaption);
    const std::string path = SocketIn(Dir);
    const HWND other = TopLevel("Other");
    const HWND main = TopLevel(kCaption.c_str());
    SetForegroundWindow(other);
    Drain();

    // One connects and stays silent; one sends a line longer than any request, a byte at a time
    // at first; one sends a request that is no request.
    const int silent = ConnectTo(path);
    const int flood = ConnectTo(path);
    const int wrong = ConnectTo(path);
    ASSERT_GE(silent, 0);
    ASSERT_GE(flood, 0);
    ASSERT_GE(wrong, 0);
    ASSERT_EQ(send(flood, "a", 1, MSG_NOSIGNAL), 1);
    Drain();
    const std::string big(8192, 'a');
    size_t sent = 0;
    PumpUntil([&] {
        const ssize_t n =
            send(flood, big.data() + sent, big.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) sent += static_cast<size_t>(n);
        return sent == big.size() || n < 0;
    });
    EXPECT_TRUE(ClosedByTheOtherEnd(flood));
    const std::string request = "activate " + std::string("x\n");
    ASSERT_EQ(send(wrong, request.data(), request.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(request.size()));
    EXPECT_TRUE(ClosedByTheOtherEnd(wrong));
    EXPECT_EQ(GetActiveWindow(), other);

    // A real second copy is still served while the silent one waits.
    EXPECT_EQ(RunProbe(kCaption), 3);
    EXPECT_TRUE(PumpUntil([&] { return GetActiveWindow() == main; }));
    // A first copy that ends closes the connections it still has.
    FinalizeInstanceGuard();
    char c;
    EXPECT_EQ(recv(silent, &c, 1, 0), 0);
    close(silent);
    close(flood);
    close(wrong);
}

TEST_F(InstanceGuardTest, LockThatCannotBeCreatedIsLoggedAndTheStartGoesOn) {
    setenv("XDG_RUNTIME_DIR", (Dir + "/missing").c_str(), 1);
    EXPECT_EQ(InstanceGuardDirectory(), "/tmp");
    // A runtime "directory" that is a file: the lock cannot be created.
    std::string file = Dir + "/plain";
    fclose(fopen(file.c_str(), "w"));
    setenv("XDG_RUNTIME_DIR", file.c_str(), 1);
    testing::internal::CaptureStderr();
    InitializeInstanceGuard(kCaption);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(IsFirstInstance());
    EXPECT_NE(log.find("instance guard: cannot create " + file + "/kestro-"), std::string::npos)
        << log;
    EXPECT_NE(log.find("; starting without the guard"), std::string::npos) << log;
    ActivateFirstInstance();  // no window: nothing to do
}

TEST_F(InstanceGuardTest, BothCopiesStandForThemselvesByTheApplicationWindow) {
    const std::string name = QCoreApplication::applicationName().toStdString();
    ASSERT_TRUE(GuardApplicationInstance("Kestro Guard Title"));
    EXPECT_EQ(GetClassName(Forms.Handle()), "TApplication");
    EXPECT_EQ(GetWindowText(Forms.Handle()), "Kestro Guard Title");
    const HWND other = TopLevel("Other");
    TForm* main = Forms.CreateForm<TForm>();
    main->Show();
    SetForegroundWindow(other);
    Drain();
    ASSERT_EQ(GetActiveWindow(), other);

    // A second copy of the same program (the same name) comes to the first one's main form.
    EXPECT_EQ(RunProbe(name, "Kestro Guard Title", INSTANCE_APP_PROBE), 3);
    EXPECT_TRUE(PumpUntil([&] { return GetActiveWindow() == main->Handle(); }));
    // The application minimised is restored.
    SendMessage(main->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(Forms.Minimized());
    EXPECT_EQ(RunProbe(name, "Kestro Guard Title", INSTANCE_APP_PROBE), 3);
    EXPECT_TRUE(PumpUntil([&] { return !Forms.Minimized() && !IsIconic(main->Handle()); }));
    main->Free();
    Forms.SetTitle("");
}

}  // namespace
