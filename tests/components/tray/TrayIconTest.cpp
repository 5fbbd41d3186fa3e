// The tray icon on the fake tray service: the records it sends, its errors, the animation, the
// owner window hidden to the tray and brought back, and the built-in menu.
#include <gtest/gtest.h>

#include "components/tray/Register.h"
#include "components/tray/StTrayIcon.h"
#include "platform/shell/Tray.h"
#include "platform/widgets/Forms.h"
#include "tests/components/tray/TrayTestSupport.h"
#include "tests/support/GuiTestSupport.h"

using namespace GuiTest;
using namespace TrayTest;

namespace {

// A 16 x 16 icon of one colour.
HICON SolidIcon(QRgb Color) {
    QImage Image(16, 16, QImage::Format_RGB32);
    Image.fill(Color);
    return IconOf(Image);
}

QRgb ColorOfIcon(HICON Icon) {
    return IconImage(Icon).pixel(8, 8) | 0xFF000000u;
}

class TrayIcon : public ::testing::Test {
  protected:
    void SetUp() override {
        auto Service = std::make_unique<TFakeTrayService>();
        Fake = Service.get();
        SetTrayService(std::move(Service));
        Owner = Guard(Windows().Create(0, WS_OVERLAPPEDWINDOW, {60, 60, 360, 260}));
        ShowWindow(Owner, SW_SHOW);
        Drain();
        Tray = std::make_unique<TStTrayIcon>(nullptr, Owner);
        Tray->SetHint("Orvalin Kestro");
    }
    void TearDown() override {
        Tray.reset();
        Drain();
        SetTrayService(nullptr);
    }
    const TTrayIconState* Shown() {
        auto It = Fake->Shown.find({Tray->Handle(), kTrayIconId});
        return It == Fake->Shown.end() ? nullptr : &It->second;
    }
    // Right-clicks the icon and runs Step once its menu is open. The menu's loop runs inside the
    // click's callback, so Step comes from a timer that looks again until the menu is there.
    void WhenMenuOpens(const std::function<void()>& Step) {
        bool Done = false;
        QTimer Poll;
        QObject::connect(&Poll, &QTimer::timeout, [&] {
            if (Done || MenuWindows().size() != 1) return;
            Done = true;
            Step();
        });
        Poll.start(1);
        Click(WM_RBUTTONDOWN);
        EXPECT_TRUE(PumpUntil([&] { return Done && MenuWindows().empty(); }, 5000));
        Drain();
    }
    void Click(UINT Mouse) {
        TrayIconClicked(Tray->Handle(), kTrayIconId, Mouse);
        Drain();
    }

    TWindowGuard Guard;
    TFakeTrayService* Fake = nullptr;
    HWND Owner = 0;
    std::unique_ptr<TStTrayIcon> Tray;
};

TEST_F(TrayIcon, LoadedShowsTheIconWithItsTipAndCallback) {
    EXPECT_EQ(Shown(), nullptr);
    Tray->Loaded();
    ASSERT_NE(Shown(), nullptr);
    EXPECT_EQ(Shown()->CallbackMessage, WM_USER + 767);
    EXPECT_EQ(Shown()->Tip, "Orvalin Kestro");
    EXPECT_EQ(Tray->Version(), "1.00");
    // At most 63 characters reach the tray.
    const std::string Long(100, 'x');
    Tray->SetHint(Long);
    EXPECT_EQ(Shown()->Tip, Long.substr(0, 63));
    // Without ShowHint the tip is not passed on.
    Tray->SetShowHint(false);
    Tray->SetHint("changed");
    EXPECT_EQ(Shown()->Tip, Long.substr(0, 63));
    Tray->SetActive(false);
    EXPECT_EQ(Shown(), nullptr);
    EXPECT_EQ(Fake->Log.back(), "remove 2");
}

TEST_F(TrayIcon, TheIconComesFromIconThenImagesThenTheApplication) {
    const HICON Application = SolidIcon(qRgb(0, 0, 255));
    Forms.Icon()->SetHandle(Application);
    Tray->Loaded();
    EXPECT_EQ(Shown()->Icon, Application);
    TCustomImageList Images(16, 16);
    for (QRgb C : {qRgb(255, 0, 0), qRgb(0, 255, 0)}) {
        TIcon I;
        I.SetHandle(SolidIcon(C));
        Images.AddIcon(I);
    }
    Tray->SetImages(&Images);
    Tray->SetImageIndex(1);
    EXPECT_EQ(ColorOfIcon(Shown()->Icon), qRgb(0, 255, 0));
    TIcon Own;
    Own.SetHandle(SolidIcon(qRgb(255, 255, 0)));
    Tray->SetIcon(Own);
    EXPECT_EQ(ColorOfIcon(Shown()->Icon), qRgb(255, 255, 0));
    Tray->SetImages(nullptr);
    Forms.Icon()->SetHandle(0);
}

TEST_F(TrayIcon, ErrorsComeWithTheShellTexts) {
    Tray->Loaded();
    EXPECT_EQ(ErrorOf<ESsTrayIconError>([&] { TStTrayIcon Second(nullptr, Owner); }),
              "Cannot have more than one StTrayIcon per application");
    EXPECT_EQ(ErrorOf<ESsTrayIconError>([&] { Tray->SetImageIndex(1); }),
              "ImageList is not assigned");
    // The icon went from the tray behind the component's back: a change is refused.
    NOTIFYICONDATA D;
    D.hWnd = Tray->Handle();
    D.uID = kTrayIconId;
    ASSERT_TRUE(Shell_NotifyIcon(NIM_DELETE, &D));
    try {
        Tray->SetHint("again");
        ADD_FAILURE() << "no error";
    } catch (const ESsTrayIconError& E) {
        EXPECT_EQ(E.Message(), "Tray icon error");
        EXPECT_EQ(E.MessageId, 121);
    }
}

TEST_F(TrayIcon, AnimationCyclesTheImagesAtTwoHundredMillisecondsForIntervalZeroAndResumes) {
    TCustomImageList Images(16, 16);
    for (QRgb C : {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)}) {
        TIcon I;
        I.SetHandle(SolidIcon(C));
        Images.AddIcon(I);
    }
    Tray->SetImages(&Images);
    Tray->Loaded();
    EXPECT_EQ(Tray->TimerInterval(), 0u);
    Tray->SetInterval(0);
    Tray->SetAnimate(true);
    EXPECT_EQ(Tray->TimerInterval(), 200u);
    std::vector<QRgb> Seen;
    for (int I = 0; I < 4; ++I) {
        SendMessage(Tray->Handle(), WM_TIMER, 1, 0);
        Seen.push_back(ColorOfIcon(Shown()->Icon));
    }
    EXPECT_EQ(Seen, (std::vector<QRgb>{qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255),
                                       qRgb(255, 0, 0)}));
    // The timer itself ticks.
    const size_t Before = Fake->Log.size();
    EXPECT_TRUE(PumpUntil([&] { return Fake->Log.size() >= Before + 2; }, 10000));
    // Deactivated while animating, and activated again: the animation goes on.
    Tray->SetActive(false);
    EXPECT_EQ(Tray->TimerInterval(), 0u);
    EXPECT_EQ(Shown(), nullptr);
    Tray->SetActive(true);
    EXPECT_EQ(Tray->TimerInterval(), 200u);
    EXPECT_TRUE(Tray->Animate());
    // Stopped, it shows image ImageIndex again.
    Tray->SetAnimate(false);
    EXPECT_EQ(Tray->TimerInterval(), 0u);
    EXPECT_EQ(ColorOfIcon(Shown()->Icon), qRgb(255, 0, 0));
    Tray->SetImages(nullptr);
}

TEST_F(TrayIcon, MinimisingHidesTheOwnerToTheTrayAfterOnMinimize) {
    Tray->SetMinimizeToTray(true);
    Tray->Loaded();
    bool VisibleAtMinimize = false;
    Tray->OnMinimize = [&](TObject*) { VisibleAtMinimize = IsWindowVisible(Owner); };
    SendMessage(Owner, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(VisibleAtMinimize);
    EXPECT_FALSE(IsWindowVisible(Owner));
    EXPECT_FALSE(IsIconic(Owner));
    ASSERT_NE(Shown(), nullptr);
    // A double click brings it back.
    int Restored = 0;
    Tray->OnRestore = [&](TObject*) { ++Restored; };
    Click(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(IsWindowVisible(Owner));
    EXPECT_EQ(Restored, 1);
    // A double click whose handler says no leaves the window where it is.
    SendMessage(Owner, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    Tray->OnDblClick = [](TObject*, TMouseButton, TShiftState, bool& RestoreApp) {
        RestoreApp = false;
    };
    Click(WM_LBUTTONDBLCLK);
    EXPECT_FALSE(IsWindowVisible(Owner));
    Tray->OnDblClick = nullptr;
    Tray->SetHideOnRestore(true);
    Click(WM_RBUTTONDBLCLK);
    EXPECT_TRUE(IsWindowVisible(Owner));
    EXPECT_EQ(Shown(), nullptr);
    // A posted minimise command goes to the tray too.
    PostMessage(Owner, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    Drain();
    EXPECT_FALSE(IsWindowVisible(Owner));
}

TEST_F(TrayIcon, WithoutATrayMinimisingLeavesAnOrdinaryMinimisedWindow) {
    Fake->IsAvailable = false;
    Tray->SetMinimizeToTray(true);
    Tray->Loaded();
    int Minimized = 0;
    Tray->OnMinimize = [&](TObject*) { ++Minimized; };
    SendMessage(Owner, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_EQ(Minimized, 1);
    EXPECT_TRUE(IsWindowVisible(Owner));
    EXPECT_TRUE(IsIconic(Owner));
    ShowWindow(Owner, SW_RESTORE);
    // A close meant for the tray keeps the program running, minimised, and the window reachable.
    SendMessage(Owner, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(IsWindow(Owner));
    EXPECT_TRUE(IsWindowVisible(Owner));
    EXPECT_TRUE(IsIconic(Owner));
}

TEST_F(TrayIcon, CloseGoesToTheTrayOnlyWithCloseToTray) {
    Tray->Loaded();
    SendMessage(Owner, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(IsWindow(Owner));
    EXPECT_FALSE(IsWindowVisible(Owner));
    ShowWindow(Owner, SW_SHOW);
    Tray->SetCloseToTray(false);
    SendMessage(Owner, WM_SYSCOMMAND, SC_CLOSE, 0);
    Drain();
    EXPECT_FALSE(IsWindow(Owner));
}

TEST_F(TrayIcon, TheBuiltInMenuClosesTheOwnerThroughItsCloseQueryAndRestoresIt) {
    Tray->SetMinimizeToTray(true);
    Tray->Loaded();
    // The owner's close query says no: the window stays and the program goes on.
    int CloseQueries = 0;
    Windows().Handlers[Owner] = [&](HWND, UINT Msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (Msg != WM_CLOSE) return std::nullopt;
        ++CloseQueries;
        return 0;
    };
    SetCursorPos(300, 300);
    std::vector<std::string> Items;
    WhenMenuOpens([&] {
        Items = {GetMenuString(Tray->PopupMenu(), 0, MF_BYPOSITION),
                 GetMenuString(Tray->PopupMenu(), 1, MF_BYPOSITION)};
        QTest::keyClick(QtWindowOf(Owner), Qt::Key_C);
    });
    EXPECT_EQ(Items, (std::vector<std::string>{"&Close", "&Restore"}));
    EXPECT_EQ(CloseQueries, 1);
    EXPECT_TRUE(IsWindow(Owner));
    MSG Quit;
    EXPECT_FALSE(PeekMessage(&Quit, 0, WM_QUIT, WM_QUIT, PM_NOREMOVE));

    SendMessage(Owner, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_FALSE(IsWindowVisible(Owner));
    WhenMenuOpens([&] { QTest::keyClick(QtWindowOf(Owner), Qt::Key_R); });
    EXPECT_TRUE(IsWindowVisible(Owner));

    // Without a popup menu a right click does nothing.
    Tray->SetPopupMenu(0);
    Click(WM_RBUTTONDOWN);
    EXPECT_TRUE(MenuWindows().empty());
}

TEST_F(TrayIcon, ClicksAndTheEndOfTheSession) {
    Tray->Loaded();
    std::vector<TMouseButton> Clicks;
    Tray->OnClick = [&](TObject* Sender, TMouseButton Button, TShiftState Shift) {
        EXPECT_EQ(Sender, Tray.get());
        EXPECT_TRUE(Shift.Contains(Button == mbLeft ? ssLeft : ssMiddle));
        Clicks.push_back(Button);
    };
    Click(WM_LBUTTONDOWN);
    Click(WM_LBUTTONUP);
    Click(WM_MBUTTONDOWN);
    EXPECT_EQ(Clicks, (std::vector<TMouseButton>{mbLeft, mbMiddle}));
    EXPECT_EQ(SendMessage(Tray->Handle(), WM_QUERYENDSESSION, 0, 0), 1);
}

TEST_F(TrayIcon, AWindowThatStartsMinimisedStaysInTheTray) {
    // Made minimised, as a form whose window state is minimised is.
    const HWND Hidden =
        Guard(Windows().Create(0, WS_OVERLAPPEDWINDOW | WS_MINIMIZE, {80, 80, 300, 200}));
    Tray.reset();
    Tray = std::make_unique<TStTrayIcon>(nullptr, Hidden);
    Tray->Loaded();
    ShowWindow(Hidden, SW_SHOW);
    Drain();
    EXPECT_FALSE(IsWindowVisible(Hidden));
    Click(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(IsWindowVisible(Hidden));
    EXPECT_FALSE(IsIconic(Hidden));
}

}  // namespace

namespace {

TEST_F(TrayIcon, AProcedurePutInAfterTheIconKeepsItsChainWhenTheIconGoes) {
    Tray->Loaded();
    WNDPROC Before = nullptr;
    int Seen = 0;
    const WNDPROC Later = MakeObjectInstance([&](TMessage& M) {
        if (M.Msg == WM_USER + 5) ++Seen;
        M.Result = CallWindowProc(Before, Owner, M.Msg, M.WParam, M.LParam);
    });
    Before = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(Owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Later)));
    Tray.reset();
    Windows().Log.clear();
    SendMessage(Owner, WM_USER + 5, 0, 0);
    EXPECT_EQ(Seen, 1);
    EXPECT_EQ(Windows().MessagesOf(Owner, {WM_USER + 5}), (std::vector<UINT>{WM_USER + 5}));
    SetWindowLongPtr(Owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Before));
    FreeObjectInstance(Later);
}

// ---- on a form read from its definition -----------------------------------------------------

class TTrayTestForm : public TForm {
  public:
    using TForm::TForm;
    TStTrayIcon* Icon() { return dynamic_cast<TStTrayIcon*>(FindComponent("TrayIcon1")); }
    void FormCloseQuery(TObject*, bool& CanClose) {
        ++CloseQueries;
        CanClose = false;
    }
    void TrayIconDblClick(TObject*, TMouseButton Button, TShiftState, bool&) {
        DoubleClicks.push_back(Button);
    }
    int CloseQueries = 0;
    std::vector<TMouseButton> DoubleClicks;
};

class TrayOnAForm : public ::testing::Test {
  protected:
    void SetUp() override {
        Forms.Initialize();
        RegisterTrayClasses();
        static const bool Registered = [] {
            RegisterClass<TTrayTestForm, TForm>("TTrayTestForm")
                .Method("FormCloseQuery", &TTrayTestForm::FormCloseQuery)
                .Method("TrayIconDblClick", &TTrayTestForm::TrayIconDblClick);
            return true;
        }();
        (void)Registered;
        auto Service = std::make_unique<TFakeTrayService>();
        Fake = Service.get();
        SetTrayService(std::move(Service));
    }
    void TearDown() override {
        while (Screen->FormCount() > 0) Screen->Forms(0)->Free();
        Drain();
        SetTrayService(nullptr);
        Forms.Icon()->SetHandle(0);
    }
    const TTrayIconState* Shown(TStTrayIcon* Icon) {
        auto It = Fake->Shown.find({Icon->Handle(), kTrayIconId});
        return It == Fake->Shown.end() ? nullptr : &It->second;
    }
    TFakeTrayService* Fake = nullptr;
};

TEST_F(TrayOnAForm, TheDefinitionsIconHooksItsFormAndTheMainFormMinimisesToTheTray) {
    Forms.Icon()->SetHandle(SolidIcon(qRgb(0, 0, 255)));
    TTrayTestForm* Form = Forms.CreateForm<TTrayTestForm>();
    ASSERT_EQ(Forms.MainForm(), Form);
    TStTrayIcon* Icon = Form->Icon();
    ASSERT_NE(Icon, nullptr);
    EXPECT_EQ(Icon->OwnerWindow(), Form->Handle());
    // Loading showed it, with the definition's tip and the application's icon.
    ASSERT_NE(Shown(Icon), nullptr);
    EXPECT_EQ(Shown(Icon)->Tip, "Orvalin Kestro");
    EXPECT_EQ(ColorOfIcon(Shown(Icon)->Icon), qRgb(0, 0, 255));
    EXPECT_TRUE(Icon->MinimizeToTray());
    EXPECT_TRUE(Icon->CloseToTray());  // not in the definition: the constructor's value

    // A second icon anywhere in the program is refused.
    EXPECT_EQ(ErrorOf<ESsTrayIconError>([&] { TStTrayIcon Second(Form); }),
              "Cannot have more than one StTrayIcon per application");

    Form->Show();
    Drain();
    PostMinimizeMainForm();
    Drain();
    EXPECT_FALSE(IsWindowVisible(Form->Handle()));
    EXPECT_FALSE(Forms.Minimized());
    TrayIconClicked(Icon->Handle(), kTrayIconId, WM_LBUTTONDBLCLK);
    Drain();
    EXPECT_EQ(Form->DoubleClicks, std::vector<TMouseButton>{mbLeft});
    EXPECT_TRUE(IsWindowVisible(Form->Handle()));

    // The form's close goes through its close query, which refuses here.
    PostMessage(Form->Handle(), WM_CLOSE, 0, 0);
    Drain();
    EXPECT_EQ(Form->CloseQueries, 1);
    EXPECT_TRUE(Form->Visible());
    // Freed with its form, the icon leaves the tray.
    const HWND IconWindow = Icon->Handle();
    Form->Free();
    EXPECT_TRUE(Fake->Shown.find({IconWindow, kTrayIconId}) == Fake->Shown.end());
}

}  // namespace
