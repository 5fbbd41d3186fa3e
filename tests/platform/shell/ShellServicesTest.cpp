// Clipboard, sounds, opening files and URLs, and the tray icons.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/core/Application.h"
#include "platform/core/Messages.h"
#include "platform/fs/Files.h"
#include "platform/shell/Clipboard.h"
#include "platform/shell/ShellExecute.h"
#include "platform/shell/Sound.h"
#include "platform/shell/Tray.h"
#include "tests/support/TestSupport.h"

namespace {

// The services that need one (the desktop clipboard, the tray) run under a QApplication on the
// offscreen platform.
QApplication& App() {
    static int Argc = 1;
    static char Name[] = "platform_shell_test";
    static char* Argv[] = {Name, nullptr};
    static QApplication* Instance = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return new QApplication(Argc, Argv);
    }();
    return *Instance;
}

}  // namespace

TEST(Clipboard, TextIsWindows1252InsideAndUnicodeWithLineFeedsOutside) {
    auto Memory = std::make_unique<TMemoryClipboardService>();
    TMemoryClipboardService* Board = Memory.get();
    SetClipboardService(std::move(Memory));
    Clipboard().SetAsText(
        "Gr\xFC\xDF"
        "e\r\nsecond line \x80");
    EXPECT_EQ(Board->TextUtf8(),
              "Gr\xC3\xBC\xC3\x9F"
              "e\nsecond line \xE2\x82\xAC");
    EXPECT_EQ(Clipboard().AsText(),
              "Gr\xFC\xDF"
              "e\r\nsecond line \x80");
    // What another program put there: LF line ends, characters the code page lacks.
    Board->SetTextUtf8("a\nb\r\n\xE3\x81\x82");
    EXPECT_EQ(Clipboard().AsText(), "a\r\nb\r\n?");
    EXPECT_TRUE(Clipboard().HasFormat(CF_TEXT));
    Clipboard().Clear();
    EXPECT_FALSE(Clipboard().HasFormat(CF_TEXT));
    EXPECT_EQ(Clipboard().AsText(), "");
    SetClipboardService(nullptr);
}

TEST(Clipboard, CustomFormatsHoldBytesUnderRegisteredNames) {
    SetClipboardService(std::make_unique<TMemoryClipboardService>());
    const UINT Format = RegisterClipboardFormat("Shell IDList Array");
    EXPECT_GE(Format, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormat("shell idlist array"), Format);
    EXPECT_NE(RegisterClipboardFormat("Other"), Format);
    EXPECT_EQ(RegisterClipboardFormat(""), 0u);
    EXPECT_EQ(RegisterClipboardFormat(std::string(300, 'x')), 0u);

    const std::string Bytes("\0\x01\xFF tail", 7);
    EXPECT_TRUE(Clipboard().SetData(Format, Bytes));
    EXPECT_TRUE(Clipboard().HasFormat(Format));
    EXPECT_FALSE(Clipboard().HasFormat(CF_TEXT));
    EXPECT_EQ(Clipboard().GetData(Format), Bytes);
    EXPECT_FALSE(Clipboard().SetData(0xC000 + 0x3000, "x"));  // never registered
    EXPECT_EQ(Clipboard().GetData(0xBFFF), "");
    Clipboard().SetAsText("replaces the data");
    EXPECT_FALSE(Clipboard().HasFormat(Format));
    SetClipboardService(nullptr);
}

TEST(Clipboard, DesktopClipboardCarriesTextAndCustomBytes) {
    App();
    SetClipboardService(nullptr);
    Clipboard().SetAsText(
        "\xFC"
        "ber\r\nzwei");
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(),
              "\xC3\xBC"
              "ber\nzwei");
    EXPECT_EQ(Clipboard().AsText(),
              "\xFC"
              "ber\r\nzwei");
    const UINT Format = RegisterClipboardFormat("Kestro Cells/1");
    const std::string Bytes("\0\x02\x03", 3);
    ASSERT_TRUE(Clipboard().SetData(Format, Bytes));
    EXPECT_EQ(Clipboard().GetData(Format), Bytes);
    EXPECT_FALSE(Clipboard().HasFormat(CF_TEXT));
}

TEST(Sounds, BeepsAndMenuSoundsAreRecorded) {
    auto Recording = std::make_unique<TRecordingSoundService>();
    TRecordingSoundService* Heard = Recording.get();
    SetSoundService(std::move(Recording));
    EXPECT_TRUE(MessageBeep(0x40));
    EXPECT_TRUE(
        PlaySound("MenuPopup", 0, SND_ALIAS | SND_ASYNC | SND_NODEFAULT | SND_NOSTOP | SND_NOWAIT));
    EXPECT_TRUE(PlaySound("", 0, 0));
    EXPECT_EQ(Heard->Beeps, std::vector<UINT>{0x40});
    ASSERT_EQ(Heard->Played.size(), 1u);
    EXPECT_EQ(Heard->Played[0].Sound, "MenuPopup");
    EXPECT_EQ(Heard->Played[0].Flags, 0x12013u);
    SetSoundService(nullptr);
    EXPECT_TRUE(MessageBeep(0));  // no application object: nothing to ring, no failure
}

TEST(OpenWithDesktop, TargetsAreCheckedAndHandedToXdgOpenAsOneArgument) {
    const std::string Dir = std::string(KESTRO_BINARY_DIR) + "/shell-test-open/";
    std::filesystem::create_directories(Dir + "Spool");
    WriteFile(Dir + "Spool/M0001.MSG", "x");
    auto Recording = std::make_unique<TRecordingProcessRunner>();
    TRecordingProcessRunner* Runner = Recording.get();
    SetProcessRunner(std::move(Recording));

    struct Case {
        std::string Verb, File, Directory;
        std::intptr_t Result;
        std::string Argument;  // what xdg-open got; empty when it was not started
    };
    const Case Cases[] = {
        {"open", "http://www.example.org/kestro", "", 42, "http://www.example.org/kestro"},
        {"", "mailto:point@example.org", "", 42, "mailto:point@example.org"},
        {"OPEN", "news:de.comm.software.crosspoint", "", 42, "news:de.comm.software.crosspoint"},
        {"open", "spool\\m0001.msg", Dir, 42, Dir + "Spool/M0001.MSG"},
        {"explore", Dir + "spool", "", 42, Dir + "Spool"},
        {"open", "missing.txt", Dir, ERROR_FILE_NOT_FOUND, ""},
        // One letter before the colon is a drive, looked up as a file, not a scheme.
        {"open", "C:\\Spool\\missing.txt", "", ERROR_FILE_NOT_FOUND, ""},
        {"open", "javascript:alert(1)", "", SE_ERR_NOASSOC, ""},
        {"open", "x-handler://run", "", SE_ERR_NOASSOC, ""},
        {"print", "http://www.example.org/", "", SE_ERR_NOASSOC, ""},
        {"open", "http://a/\nb", "", ERROR_FILE_NOT_FOUND, ""},
        {"open", "", "", ERROR_FILE_NOT_FOUND, ""},
        {"open", "http://" + std::string(5000, 'a'), "", ERROR_FILE_NOT_FOUND, ""},
    };
    for (const Case& C : Cases) {
        Runner->Started.clear();
        EXPECT_EQ(ShellExecute(0, C.Verb, C.File, "", C.Directory, 1), C.Result) << C.File;
        if (C.Argument.empty()) {
            EXPECT_TRUE(Runner->Started.empty()) << C.File;
            continue;
        }
        ASSERT_EQ(Runner->Started.size(), 1u) << C.File;
        EXPECT_EQ(Runner->Started[0].Program, "xdg-open");
        EXPECT_EQ(Runner->Started[0].Arguments, std::vector<std::string>{C.Argument});
    }
    Runner->Succeed = false;  // no handler could be started
    EXPECT_EQ(ShellExecute(0, "open", "https://example.org", "", "", 1), SE_ERR_NOASSOC);
    SetProcessRunner(nullptr);
    std::filesystem::remove_all(Dir);
}

namespace {

class Tray : public ::testing::Test {
  protected:
    void SetUp() override {
        App();
        auto Fake = std::make_unique<TFakeTrayService>();
        FakeTray = Fake.get();
        SetTrayService(std::move(Fake));
        Wnd = AllocateHWnd([this](TMessage& Message) {
            if (Message.Msg == kCallback) Heard.push_back({Message.WParam, Message.LParam});
        });
    }
    void TearDown() override {
        DeallocateHWnd(Wnd);
        SetTrayService(nullptr);
    }
    NOTIFYICONDATA Record(UINT Flags, const char* Tip) const {
        NOTIFYICONDATA Data;
        Data.hWnd = Wnd;
        Data.uID = 2;
        Data.uFlags = Flags;
        Data.uCallbackMessage = kCallback;
        std::snprintf(Data.szTip, sizeof Data.szTip, "%s", Tip);
        return Data;
    }
    static constexpr UINT kCallback = 0x0400 + 767;
    TFakeTrayService* FakeTray = nullptr;
    HWND Wnd = 0;
    std::vector<std::pair<WPARAM, LPARAM>> Heard;
};

}  // namespace

TEST_F(Tray, IconsAreAddedChangedAndRemovedByWindowAndId) {
    NOTIFYICONDATA Data = Record(NIF_MESSAGE | NIF_ICON | NIF_TIP, "Orvalin Kestro");
    EXPECT_TRUE(Shell_NotifyIcon(NIM_ADD, &Data));
    EXPECT_FALSE(Shell_NotifyIcon(NIM_ADD, &Data));  // there already
    NOTIFYICONDATA Tip = Record(NIF_TIP, "Orvalin Kestro V0.1");
    EXPECT_TRUE(Shell_NotifyIcon(NIM_MODIFY, &Tip));
    const TTrayIconState& Shown = FakeTray->Shown.at({Wnd, 2});
    EXPECT_EQ(Shown.Tip, "Orvalin Kestro V0.1");
    EXPECT_EQ(Shown.CallbackMessage, kCallback);  // kept: the change named only the tip

    // A tip of 64 characters without its NUL: 63 reach the tray.
    NOTIFYICONDATA Long = Record(NIF_TIP, "");
    std::memset(Long.szTip, 'x', sizeof Long.szTip);
    EXPECT_TRUE(Shell_NotifyIcon(NIM_MODIFY, &Long));
    EXPECT_EQ(FakeTray->Shown.at({Wnd, 2}).Tip, std::string(63, 'x'));

    NOTIFYICONDATA Other = Record(NIF_TIP, "");
    Other.uID = 3;
    EXPECT_FALSE(Shell_NotifyIcon(NIM_MODIFY, &Other));
    EXPECT_FALSE(Shell_NotifyIcon(NIM_DELETE, &Other));
    Other.hWnd = 0;
    EXPECT_FALSE(Shell_NotifyIcon(NIM_ADD, &Other));  // no such window
    EXPECT_FALSE(Shell_NotifyIcon(7, &Data));
    EXPECT_FALSE(Shell_NotifyIcon(NIM_ADD, nullptr));
    EXPECT_TRUE(Shell_NotifyIcon(NIM_DELETE, &Data));
    EXPECT_FALSE(Shell_NotifyIcon(NIM_DELETE, &Data));
    EXPECT_EQ(FakeTray->Log,
              (std::vector<std::string>{"show 2 Orvalin Kestro", "show 2 Orvalin Kestro V0.1",
                                        "show 2 " + std::string(63, 'x'), "remove 2"}));
}

TEST_F(Tray, AChangeKeepsWhatItDoesNotName) {
    NOTIFYICONDATA Data = Record(NIF_MESSAGE | NIF_TIP, "kept");
    ASSERT_TRUE(Shell_NotifyIcon(NIM_ADD, &Data));
    // Each change carries a tip of its own, and a callback message of its own; only what its
    // flags name is taken.
    struct TChange {
        UINT Flags;
        const char* Tip;
        UINT Callback;
        const char* WantTip;
        UINT WantCallback;
    };
    const TChange Changes[] = {
        {NIF_ICON, "not this", 1, "kept", kCallback},
        {NIF_MESSAGE, "nor this", kCallback + 1, "kept", kCallback + 1},
        {NIF_TIP, "this", 2, "this", kCallback + 1},
    };
    for (const TChange& C : Changes) {
        NOTIFYICONDATA Change = Record(C.Flags, C.Tip);
        Change.uCallbackMessage = C.Callback;
        EXPECT_TRUE(Shell_NotifyIcon(NIM_MODIFY, &Change));
        const TTrayIconState& Shown = FakeTray->Shown.at({Wnd, 2});
        EXPECT_EQ(Shown.Tip, C.WantTip) << C.Flags;
        EXPECT_EQ(Shown.CallbackMessage, C.WantCallback) << C.Flags;
    }
    EXPECT_TRUE(Shell_NotifyIcon(NIM_DELETE, &Data));
}

TEST_F(Tray, ClicksPostTheCallbackMessageWithTheIdAndTheMouseMessage) {
    NOTIFYICONDATA Data = Record(NIF_MESSAGE | NIF_TIP, "Kestro");
    ASSERT_TRUE(Shell_NotifyIcon(NIM_ADD, &Data));
    TrayIconClicked(Wnd, 2, 0x0203);  // a double click
    TrayIconClicked(Wnd, 9, 0x0201);  // no such icon: nothing
    ASSERT_TRUE(PumpUntil([&] { return !Heard.empty(); }));
    EXPECT_EQ(Heard, (std::vector<std::pair<WPARAM, LPARAM>>{{2, 0x0203}}));

    // Without NIF_MESSAGE a click tells nobody.
    NOTIFYICONDATA Quiet = Record(NIF_TIP, "quiet");
    Quiet.uID = 5;
    ASSERT_TRUE(Shell_NotifyIcon(NIM_ADD, &Quiet));
    TrayIconClicked(Wnd, 5, 0x0201);
    Shell_NotifyIcon(NIM_DELETE, &Data);
    Shell_NotifyIcon(NIM_DELETE, &Quiet);
}

TEST_F(Tray, AnIconWhoseWindowIsGoneLeavesAtTheNextClick) {
    NOTIFYICONDATA Data = Record(NIF_MESSAGE, "");
    ASSERT_TRUE(Shell_NotifyIcon(NIM_ADD, &Data));
    const HWND Gone = Wnd;
    DeallocateHWnd(Wnd);
    Wnd = 0;
    TrayIconClicked(Gone, 2, 0x0201);
    EXPECT_TRUE(FakeTray->Shown.empty());
    EXPECT_EQ(FakeTray->Log.back(), "remove 2");
}

TEST_F(Tray, AvailabilityComesFromTheServiceAndANewServiceShowsTheKeptIcons) {
    NOTIFYICONDATA Data = Record(NIF_TIP, "kept");
    ASSERT_TRUE(Shell_NotifyIcon(NIM_ADD, &Data));
    FakeTray->IsAvailable = false;
    EXPECT_FALSE(IsTrayAvailable());
    auto Next = std::make_unique<TFakeTrayService>();
    TFakeTrayService* NextTray = Next.get();
    SetTrayService(std::move(Next));
    EXPECT_TRUE(IsTrayAvailable());
    EXPECT_EQ(NextTray->Shown.at({Wnd, 2}).Tip, "kept");
    EXPECT_TRUE(Shell_NotifyIcon(NIM_DELETE, &Data));
}

TEST_F(Tray, TheDesktopServiceKeepsIconsWhereTheDesktopHasNoTray) {
    SetTrayService(nullptr);  // the desktop's service; the offscreen platform has no tray
    EXPECT_FALSE(IsTrayAvailable());
    NOTIFYICONDATA Data = Record(NIF_MESSAGE | NIF_ICON | NIF_TIP, "Orvalin Kestro");
    EXPECT_TRUE(Shell_NotifyIcon(NIM_ADD, &Data));
    NOTIFYICONDATA Tip = Record(NIF_TIP, "changed");
    EXPECT_TRUE(Shell_NotifyIcon(NIM_MODIFY, &Tip));
    TrayIconClicked(Wnd, 2, 0x0201);
    ASSERT_TRUE(PumpUntil([&] { return !Heard.empty(); }));
    EXPECT_TRUE(Shell_NotifyIcon(NIM_DELETE, &Data));
}
