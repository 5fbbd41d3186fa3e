// A window's placement saved to kestro.xml and restored by the rules every window follows, on a
// fake pair of screens whose primary work area starts below a panel.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "components/store/FormPlacement.h"
#include "components/store/XMLFileStore.h"
#include "platform/core/Screens.h"
#include "tests/support/GuiTestSupport.h"

using namespace GuiTest;

namespace {

constexpr int32_t kBtnFace = int32_t(0xFF00000Fu);
const RECT kPrimaryWork{0, 30, 1024, 768};
const RECT kSecondWork{1024, 0, 2304, 1024};

class TTwoScreens : public TScreenSource {
  public:
    std::vector<TScreenInfo> Screens() const override {
        return {TScreenInfo{{0, 0, 1024, 768}, kPrimaryWork, true},
                TScreenInfo{{1024, 0, 2304, 1024}, kSecondWork, false}};
    }
};

std::string Section(const std::vector<std::string>& Items) {
    std::string Text = "<FORMS>\r\n  <TFormTest>\r\n";
    for (const std::string& Item : Items) Text += "    <" + Item + "/>\r\n";
    return Text + "  </TFormTest>\r\n</FORMS>\r\n";
}

class FormPlacement : public ::testing::Test {
  protected:
    void SetUp() override {
        SetScreenSource(std::make_shared<TTwoScreens>());
        char Template[] = "/tmp/kestro-placement-XXXXXX";
        Dir = Template;
        Dir = mkdtemp(Template);
        Path = Dir + "/kestro.xml";
        Store.SetXMLFileName(Path);
    }
    void TearDown() override {
        SetScreenSource(nullptr);
        std::filesystem::remove_all(Dir);
    }

    // A hidden top-level window at the given screen rectangle, as a form is at its creation.
    TFormStateSubject Form(RECT R, DWORD Style = WS_OVERLAPPEDWINDOW) {
        TFormStateSubject F;
        F.Wnd = Guard(Windows().Create(0, Style, R));
        F.Color = kBtnFace;
        return F;
    }

    TFormStateRestored Restore(const std::string& File, const TFormStateSubject& F,
                               TOvcFormStateOptions Options = {fsState, fsPosition}) {
        WriteFile(Path, File);
        return RestoreFormState(Store, "TFormTest", Options, F);
    }

    static RECT WindowRect(HWND Wnd) {
        RECT R;
        GetWindowRect(Wnd, &R);
        return R;
    }

    TWindowGuard Guard;
    std::string Dir;
    std::string Path;
    TO32XMLFileStore Store{nullptr};
};

TEST_F(FormPlacement, FirstSaveWritesTheGoldenFile) {
    TFormStateSubject Main = Form({40, 60, 440, 360});
    Main.MainForm = true;
    Main.DefaultMonitor = 2;
    Main.ActiveControl = "";  // none: no item
    SaveFormState(Store, "TFormMain", {fsState, fsPosition, fsDefaultMonitor, fsActiveControl},
                  Main);
    // NormalPos counts from the primary work area (30 pixels down).
    EXPECT_EQ(ReadFile(Path), ReadFile(std::string(KESTRO_SOURCE_DIR) +
                                       "/tests/components/store/golden/new-file.xml"));
}

TEST_F(FormPlacement, SavedPlacementComesBack) {
    TFormStateSubject F = Form({1100, 100, 1500, 400});
    F.ActiveControl = "edtServer";
    F.Color = 0x00123456;
    const TOvcFormStateOptions All{fsState, fsPosition, fsColor, fsActiveControl};
    SaveFormState(Store, "TFormTest", All, F);
    MoveWindow(F.Wnd, 5, 40, 100, 100, TRUE);
    F.Color = 0;
    const TFormStateRestored R = RestoreFormState(Store, "TFormTest", All, F);
    EXPECT_EQ(WindowRect(F.Wnd), (RECT{1100, 100, 1500, 400}));
    EXPECT_EQ(R.WindowState, TRestoredWindowState::Normal);
    EXPECT_EQ(R.Color, 0x00123456);
    EXPECT_EQ(R.ActiveControl, "edtServer");
    EXPECT_TRUE(R.Repaint);
    EXPECT_FALSE(R.PositionDesigned);
}

TEST_F(FormPlacement, RestoreRules) {
    const RECT Start{100, 100, 400, 300};  // 300 x 200
    struct TCase {
        const char* Name;
        std::vector<std::string> Items;
        DWORD Style;
        TOvcFormStateOptions Options;
        RECT Want;  // screen rectangle afterwards
        std::optional<TRestoredWindowState> State;
        std::optional<int32_t> Color;
        std::string ActiveControl;
    };
    const TOvcFormStateOptions Usual{fsState, fsPosition, fsColor, fsActiveControl};
    const std::vector<std::string> Saved = {"NormalPos value=\"10,20,510,420\"",
                                            "ShowCmd value=\"3\"", "Color value=\"7\"",
                                            "ActiveControl value=\"btnOK\""};
    auto With = [&](std::vector<std::string> More) {
        More.insert(More.end(), Saved.begin(), Saved.end());
        return More;
    };
    const TCase Cases[] = {
        {"saved-rectangle-and-state",
         Saved,
         WS_OVERLAPPEDWINDOW,
         Usual,
         {10, 50, 510, 450},
         TRestoredWindowState::Maximized,
         7,
         "btnOK"},
        // Only the active control survives a placement taken at another resolution.
        {"other-pixels-per-inch", With({"PixelsPerInch value=\"120\""}), WS_OVERLAPPEDWINDOW, Usual,
         Start, std::nullopt, std::nullopt, "btnOK"},
        {"empty-position-stops",
         {"NormalPos value=\"\"", "ShowCmd value=\"3\"", "Color value=\"7\""},
         WS_OVERLAPPEDWINDOW,
         Usual,
         Start,
         std::nullopt,
         std::nullopt,
         ""},
        {"fixed-border-keeps-its-size",
         Saved,
         WS_CAPTION | WS_SYSMENU,
         Usual,
         {10, 50, 310, 250},
         TRestoredWindowState::Maximized,
         7,
         "btnOK"},
        {"no-size-moves-only",
         Saved,
         WS_OVERLAPPEDWINDOW,
         {fsPosition, fsNoSize},
         {10, 30, 310, 230},
         std::nullopt,
         std::nullopt,
         ""},
        {"state-without-position",
         Saved,
         WS_OVERLAPPEDWINDOW,
         {fsState},
         Start,
         TRestoredWindowState::Maximized,
         std::nullopt,
         ""},
        {"numbers-that-are-not",
         {"NormalPos value=\"x,y,-,?\"", "ShowCmd value=\"max\""},
         WS_OVERLAPPEDWINDOW,
         Usual,
         {100, 130, 400, 330},
         TRestoredWindowState::Normal,
         kBtnFace,
         ""},
        // Off every screen: moved into the nearest work area; larger than it: shrunk to it.
        {"clamped-into-the-second-screen",
         {"NormalPos value=\"3000,-500,3400,-200\""},
         WS_OVERLAPPEDWINDOW,
         {fsPosition},
         {1904, 0, 2304, 300},
         std::nullopt,
         std::nullopt,
         ""},
        {"shrunk-to-the-work-area",
         {"NormalPos value=\"-100,-100,1100,1000\""},
         WS_OVERLAPPEDWINDOW,
         {fsPosition},
         {0, 30, 1024, 768},
         std::nullopt,
         std::nullopt,
         ""},
        {"no-section", {}, WS_OVERLAPPEDWINDOW, Usual, Start, std::nullopt, std::nullopt, ""},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        const TFormStateSubject F = Form(Start, C.Style);
        const TFormStateRestored R = Restore(Section(C.Items), F, C.Options);
        EXPECT_EQ(WindowRect(F.Wnd), C.Want);
        EXPECT_EQ(R.WindowState, C.State);
        EXPECT_EQ(R.Color, C.Color);
        EXPECT_EQ(R.ActiveControl, C.ActiveControl);
    }
}

TEST_F(FormPlacement, MinimisedMainWindowAsksTheApplicationToMinimise) {
    const HWND App = Guard(Windows().Create(0, WS_POPUP, {0, 0, 1, 1}));
    TFormStateSubject Main = Form({100, 100, 400, 300});
    Main.MainForm = true;
    Main.ApplicationWindow = App;
    const TFormStateRestored R =
        Restore(Section({"NormalPos value=\"10,20,510,420\"", "ShowCmd value=\"2\"",
                         "Color value=\"7\"", "ActiveControl value=\"btnOK\""}),
                Main, {fsState, fsPosition, fsColor, fsActiveControl});
    EXPECT_EQ(R.WindowState, std::nullopt);
    EXPECT_EQ(R.Color, std::nullopt);  // the restore ended with the request
    EXPECT_EQ(R.ActiveControl, "btnOK");
    Drain();
    const std::vector<TRecorded> Asked = Windows().Of(App, {WM_SYSCOMMAND});
    ASSERT_EQ(Asked.size(), 1u);
    EXPECT_EQ(Asked[0].WParam, SC_MINIMIZE);
    // Another window restored minimised just takes the state.
    const TFormStateRestored Other =
        Restore(Section({"NormalPos value=\"10,20,510,420\"", "ShowCmd value=\"6\""}),
                Form({100, 100, 400, 300}));
    EXPECT_EQ(Other.WindowState, TRestoredWindowState::Minimized);
}

TEST_F(FormPlacement, StoredNumbersBeyondAnyScreenCountAsMissing) {
    // 32-bit extremes are no place (and overflowed the placement's sums); the 16-bit extremes of
    // the display's coordinates are, and put the window on the nearest screen.
    const auto InAWorkArea = [](const RECT& R) {
        for (const RECT& W : {kPrimaryWork, kSecondWork})
            if (R.left >= W.left && R.top >= W.top && R.right <= W.right && R.bottom <= W.bottom)
                return true;
        return false;
    };
    const struct {
        const char* Position;
        TOvcFormStateOptions Options;
        std::optional<RECT> Want;  // else: the form's own size, inside a work area
    } Cases[] = {
        {"2147483000,2147483000,2147483647,2147483647", {fsPosition}, std::nullopt},
        {"-2147483648,-2147483648,2147483647,2147483647", {fsPosition}, std::nullopt},
        {"-2147483648,-2147483648", {fsPosition, fsNoSize}, std::nullopt},
        {"-32768,-32768", {fsPosition, fsNoSize}, RECT{0, 30, 300, 230}},
        {"100,300,400,40", {fsPosition}, std::nullopt},  // no height
        {"-32768,-32768,32767,32767", {fsPosition}, kSecondWork},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Position);
        const TFormStateSubject F = Form({100, 100, 400, 300});
        Restore(Section({std::string("NormalPos value=\"") + C.Position + "\""}), F, C.Options);
        const RECT R = WindowRect(F.Wnd);
        if (C.Want) {
            EXPECT_EQ(R, *C.Want);
        } else {
            EXPECT_EQ(R.right - R.left, 300);
            EXPECT_EQ(R.bottom - R.top, 200);
            EXPECT_TRUE(InAWorkArea(R)) << R.left << "," << R.top;
        }
    }
}

TEST_F(FormPlacement, DamagedFileIsLoggedAndTheWindowOpensAtItsDefaultPlace) {
    const std::string Damaged =
        "<FORMS>\r\n  <TFormTest>\r\n    <NormalPos value=\"1,2,3,4\"/>\r\n";
    const TFormStateSubject F = Form({100, 100, 400, 300});
    testing::internal::CaptureStderr();
    const TFormStateRestored R = Restore(Damaged + "</FORMS>\r\n", F);
    SaveFormState(Store, "TFormTest", {fsState, fsPosition}, F);
    const std::string Log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(WindowRect(F.Wnd), (RECT{100, 100, 400, 300}));
    EXPECT_FALSE(R.Repaint);
    EXPECT_NE(Log.find("form state of TFormTest: Invalid XMLStore File Format; the window opens "
                       "at its default place"),
              std::string::npos)
        << Log;
    EXPECT_NE(Log.find("the window's placement is not saved"), std::string::npos) << Log;
    EXPECT_EQ(ReadFile(Path), Damaged + "</FORMS>\r\n");
}

TEST_F(FormPlacement, SaveMarksAMinimisedApplicationAndTheMonitorSetting) {
    TFormStateSubject Main = Form({100, 100, 400, 300});
    Main.MainForm = true;
    Main.ApplicationMinimized = true;
    Main.DefaultMonitor = 3;
    SaveFormState(Store, "TFormTest", {fsState, fsPosition, fsDefaultMonitor}, Main);
    EXPECT_EQ(Store.ReadString("TFormTest", "ShowCmd", ""), "2");
    EXPECT_EQ(Store.ReadString("TFormTest", "DefaultMonitor", ""), "3");
    const std::pair<const char*, std::optional<int>> Monitors[] = {
        {"1", 1}, {"0", 0}, {"4", std::nullopt}, {"primary", std::nullopt}, {"", std::nullopt}};
    for (const auto& [Text, Want] : Monitors) {
        const TFormStateRestored R =
            Restore(Section({std::string("DefaultMonitor value=\"") + Text + "\""}),
                    Form({100, 100, 400, 300}), {fsState, fsDefaultMonitor});
        EXPECT_EQ(R.DefaultMonitor, Want) << Text;
    }
}

}  // namespace
