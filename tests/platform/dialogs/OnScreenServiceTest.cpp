// The on-screen service: installed for a display (never used on the offscreen platform unless a
// test installs it), answering through the dialog service's calls, and a message box opened
// from a socket's handler while the socket receives: the data keeps arriving while it is open.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QSocketNotifier>
#include <thread>

#include "platform/dialogs/OnScreenDialogs.h"
#include "tests/platform/dialogs/DialogTestSupport.h"

using namespace DialogTest;

namespace {

constexpr UINT WM_WORK = WM_USER + 11;

class OnScreenService : public testing::Test {
  protected:
    void SetUp() override {
        InitStandardControls();
        Drain();
    }
    void TearDown() override {
        SetDialogService(nullptr);
        ReleaseModifiers();
        Drain();
    }
};

// A pipe whose reading end's notifier posts the byte counts it reads, as the socket layer posts
// its notices; the writing end is fed from another thread, as a peer sends.
class TDataPipe {
  public:
    explicit TDataPipe(HWND Target) {
        EXPECT_EQ(pipe(FFds), 0);
        FNotifier = std::make_unique<QSocketNotifier>(FFds[0], QSocketNotifier::Read);
        QObject::connect(FNotifier.get(), &QSocketNotifier::activated, [this, Target] {
            char Buffer[4096];
            const ssize_t N = read(FFds[0], Buffer, sizeof Buffer);
            if (N > 0) PostMessage(Target, WM_WORK, WPARAM(N), 0);
        });
    }
    ~TDataPipe() {
        FNotifier.reset();
        close(FFds[0]);
        close(FFds[1]);
    }
    std::thread Send(size_t Total) {
        return std::thread([this, Total] {
            const std::string Chunk(512, 'd');
            for (size_t Sent = 0; Sent < Total; Sent += Chunk.size())
                EXPECT_EQ(write(FFds[1], Chunk.data(), Chunk.size()), ssize_t(Chunk.size()));
        });
    }

  private:
    int FFds[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> FNotifier;
};

}  // namespace

TEST_F(OnScreenService, InstalledForADisplayAndAnsweringWhenInstalledForAll) {
    InstallOnScreenDialogs();
    // The offscreen platform is no display: the headless service answers at once.
    EXPECT_FALSE(MessageBoxHasDisplay());
    EXPECT_EQ(MessageBox("Ende?", "Kestro", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_TRUE(OpenDialogs().empty());

    SetDialogService(std::make_unique<TOnScreenDialogService>());
    EXPECT_EQ(RunWith({[] { Key(TopDialog(), Qt::Key_Y); }},
                      [] { return MessageBox("Ende?", "Kestro", MB_YESNO | MB_DEFBUTTON2); }),
              IDYES);
    // The file dialog's answer gets the default extension, as from every service.
    TFileDialogRequest Save;
    Save.Kind = TFileDialogKind::Save;
    Save.InitialDir = "/tmp";
    Save.DefaultExt = "cfg";
    const TFileDialogAnswer Saved = RunWith({[] {
                                                const HWND D = TopDialog();
                                                Type(D, "kestro-service-test");
                                                Key(D, Qt::Key_Return);
                                            }},
                                            [&] { return ExecuteFileDialog(Save); });
    EXPECT_TRUE(Saved.Accepted);
    EXPECT_EQ(Saved.FileName(), "/tmp/kestro-service-test.cfg");
    TFolderDialogRequest Browse;
    Browse.Selected = "/tmp";
    EXPECT_FALSE(RunWith({[] { Key(TopDialog(), Qt::Key_Escape); }}, [&] {
                     return ExecuteFolderDialog(Browse);
                 }).Accepted);
}

TEST_F(OnScreenService, ABoxOpenedFromASocketHandlerKeepsTheDataComing) {
    SetDialogService(std::make_unique<TOnScreenDialogService>());
    constexpr size_t Total = 64 * 512;
    size_t Received = 0;
    bool Answering = false;
    const HWND Sink = AllocateHWnd([&](TMessage& M) {
        if (M.Msg != WM_WORK) return;
        Received += M.WParam;
        if (Received < Total || Answering) return;
        // Everything arrived while the box was open: now it is answered.
        Answering = true;
        QTimer::singleShot(0, [] {
            const std::vector<HWND> Open = OpenDialogs();
            if (!Open.empty()) Key(Open.front(), Qt::Key_Return);
        });
    });
    TDataPipe Data(Sink);
    int Click[2];
    ASSERT_EQ(pipe(Click), 0);
    std::thread Sender;
    int Answer = 0;
    size_t ReceivedWhileOpen = 0;
    bool Closed = false;
    // The "click": a Qt notifier's handler opens the box while the data is on its way.
    QSocketNotifier ClickNotifier(Click[0], QSocketNotifier::Read);
    QObject::connect(&ClickNotifier, &QSocketNotifier::activated, [&] {
        Application.Guarded([&] {
            ClickNotifier.setEnabled(false);
            Sender = Data.Send(Total);
            Answer = MessageBox("Verbindung trennen?", "Kestro", MB_OKCANCEL | MB_ICONQUESTION);
            ReceivedWhileOpen = Received;
            Closed = true;
        });
    });
    ASSERT_EQ(write(Click[1], "c", 1), 1);
    ASSERT_TRUE(PumpUntil([&] { return Closed; }, 30000));
    Sender.join();
    EXPECT_EQ(Answer, IDOK);
    EXPECT_EQ(ReceivedWhileOpen, Total);
    DeallocateHWnd(Sink);
    close(Click[0]);
    close(Click[1]);
}
