// The message box on the screen, driven by real keys and clicks inside its own loop: which
// button each key chooses, Esc and the close box, the size the text gives the box, its place
// over the window that was active, and what it does to the other windows meanwhile.
#include <gtest/gtest.h>

#include "platform/core/Screens.h"
#include "platform/dialogs/DialogKeys.h"
#include "platform/dialogs/MessageBoxDialog.h"
#include "tests/platform/dialogs/DialogTestSupport.h"

using namespace DialogTest;

namespace {

class MessageBoxes : public testing::Test {
  protected:
    void SetUp() override {
        InitStandardControls();
        Drain();
    }
    void TearDown() override {
        ReleaseModifiers();
        Drain();
    }

    int Box(const std::string& Text, uint32_t Flags, std::vector<std::function<void()>> Steps,
            const std::string& Caption = "Orvalin Kestro") {
        return RunWith(std::move(Steps), [&] {
            TMessageBoxDialog Dialog(Text, Caption, Flags);
            return Dialog.RunModal();
        });
    }
    // A box answered by pressing one key.
    int Answer(uint32_t Flags, Qt::Key K, Qt::KeyboardModifiers Mods = {}) {
        return Box("?", Flags, {[&] { Key(TopDialog(), K, Mods); }});
    }
    HWND Button(HWND Dialog, int Answer) { return GetDlgItem(Dialog, Answer); }
};

}  // namespace

TEST_F(MessageBoxes, EnterTakesTheDefaultButtonAndEscTheCancelAnswer) {
    EXPECT_EQ(Answer(MB_YESNOCANCEL | MB_ICONQUESTION, Qt::Key_Return), IDYES);
    EXPECT_EQ(Answer(MB_YESNOCANCEL | MB_DEFBUTTON2, Qt::Key_Return), IDNO);
    EXPECT_EQ(Answer(MB_YESNOCANCEL | MB_DEFBUTTON3, Qt::Key_Enter), IDCANCEL);
    // A default beyond the buttons is the first one.
    EXPECT_EQ(Answer(MB_OKCANCEL | MB_DEFBUTTON3, Qt::Key_Return), IDOK);
    EXPECT_EQ(Answer(MB_YESNOCANCEL, Qt::Key_Escape), IDCANCEL);
    EXPECT_EQ(Answer(MB_RETRYCANCEL, Qt::Key_Escape), IDCANCEL);
    // A box with only OK takes Esc as OK.
    EXPECT_EQ(Answer(MB_OK | MB_ICONINFORMATION, Qt::Key_Escape), IDOK);
}

TEST_F(MessageBoxes, BoxesWithoutCancelIgnoreEscAndHaveNoCloseBox) {
    HWND Dialog = 0;
    EXPECT_EQ(Box("Verbindung wählen?", MB_YESNO | MB_ICONQUESTION,
                  {[&] {
                       Dialog = TopDialog();
                       Key(Dialog, Qt::Key_Escape);
                   },
                   [&] {
                       // Still open; the close box is not there and WM_CLOSE does nothing.
                       EXPECT_EQ(OpenDialogs().size(), 1u);
                       EXPECT_FALSE(GetWindowLongPtr(Dialog, GWL_STYLE) & WS_SYSMENU);
                       SendMessage(Dialog, WM_CLOSE, 0, 0);
                   },
                   [&] {
                       EXPECT_EQ(OpenDialogs().size(), 1u);
                       Key(Dialog, Qt::Key_N);
                   }}),
              IDNO);
    // With a Cancel button the close box answers Cancel.
    EXPECT_EQ(Box("Ende?", MB_OKCANCEL, {[&] {
                      Dialog = TopDialog();
                      EXPECT_TRUE(GetWindowLongPtr(Dialog, GWL_STYLE) & WS_SYSMENU);
                      PostMessage(Dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
                  }}),
              IDCANCEL);
}

TEST_F(MessageBoxes, LettersArrowsTabAndClicksChooseButtons) {
    EXPECT_EQ(
        Box("?", MB_ABORTRETRYIGNORE,
            {[&] { KeyWith(TopDialog(), Qt::Key_Alt, Qt::Key_R); }, [&] { Release(Qt::Key_Alt); }}),
        IDRETRY);
    EXPECT_EQ(Answer(MB_ABORTRETRYIGNORE, Qt::Key_I), IDIGNORE);
    EXPECT_EQ(Answer(MB_YESNO, Qt::Key_Y), IDYES);
    // A letter no button has does nothing.
    HWND Dialog = 0;
    EXPECT_EQ(Box("?", MB_ABORTRETRYIGNORE,
                  {[&] {
                       Dialog = TopDialog();
                       Key(Dialog, Qt::Key_Q);
                   },
                   [&] {
                       EXPECT_EQ(OpenDialogs().size(), 1u);
                       // The arrows walk the buttons; Enter takes the focused one.
                       Key(Dialog, Qt::Key_Right);
                   },
                   [&] {
                       EXPECT_EQ(GetFocus(), Button(Dialog, IDRETRY));
                       // It shows the default frame while it has the focus.
                       EXPECT_EQ(GetWindowLongPtr(Button(Dialog, IDRETRY), GWL_STYLE) & 0xF,
                                 LONG_PTR(BS_DEFPUSHBUTTON));
                       EXPECT_EQ(GetWindowLongPtr(Button(Dialog, IDABORT), GWL_STYLE) & 0xF,
                                 LONG_PTR(BS_PUSHBUTTON));
                       Key(Dialog, Qt::Key_Right);
                   },
                   [&] { Key(Dialog, Qt::Key_Right); },
                   [&] {
                       EXPECT_EQ(GetFocus(), Button(Dialog, IDABORT));
                       KeyWith(Dialog, Qt::Key_Shift, Qt::Key_Tab);
                   },
                   [&] {
                       Release(Qt::Key_Shift);
                       EXPECT_EQ(GetFocus(), Button(Dialog, IDIGNORE));
                       Key(Dialog, Qt::Key_Return);
                   }}),
              IDIGNORE);
    // The space bar on the focused button, and the mouse.
    EXPECT_EQ(Box("?", MB_YESNOCANCEL | MB_DEFBUTTON2, {[&] { Key(TopDialog(), Qt::Key_Space); }}),
              IDNO);
    EXPECT_EQ(Box("?", MB_YESNOCANCEL, {[&] { Click(Button(TopDialog(), IDCANCEL)); }}), IDCANCEL);
}

TEST_F(MessageBoxes, TheBoxFitsItsTextAndSitsOverTheActiveWindow) {
    TWindowGuard Guard;
    const HWND Owner =
        Guard(Windows().Create(0, WS_OVERLAPPEDWINDOW | WS_VISIBLE, {40, 60, 440, 360}));
    SetActiveWindow(Owner);
    Drain();
    RECT Short{}, Long{}, OwnerRect{};
    GetWindowRect(Owner, &OwnerRect);
    bool OwnerBlocked = false;
    EXPECT_EQ(Box("Kurz.", MB_OK, {[&] {
                      const HWND D = TopDialog();
                      GetWindowRect(D, &Short);
                      OwnerBlocked = !IsWindowEnabled(Owner);
                      Key(D, Qt::Key_Return);
                  }}),
              IDOK);
    EXPECT_TRUE(OwnerBlocked);
    EXPECT_TRUE(IsWindowEnabled(Owner));
    EXPECT_EQ(GetActiveWindow(), Owner);
    // Centred over the owner.
    EXPECT_NEAR((Short.left + Short.right) / 2, (OwnerRect.left + OwnerRect.right) / 2, 1);
    EXPECT_NEAR((Short.top + Short.bottom) / 2, (OwnerRect.top + OwnerRect.bottom) / 2, 1);
    // A long text wraps within the screen and makes the box taller, never wider than it.
    std::string Text;
    for (int I = 0; I < 60; ++I) Text += "Fehler beim Lesen der Konfiguration ";
    EXPECT_EQ(Box(Text, MB_OK | MB_ICONERROR, {[&] {
                      const HWND D = TopDialog();
                      GetWindowRect(D, &Long);
                      Key(D, Qt::Key_Return);
                  }}),
              IDOK);
    EXPECT_GT(Long.bottom - Long.top, Short.bottom - Short.top + 40);
    EXPECT_GT(Long.right - Long.left, Short.right - Short.left);
    EXPECT_LE(Long.right - Long.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_GE(Long.left, 0);
}

TEST_F(MessageBoxes, WithoutAnActiveWindowTheBoxIsInTheMiddleOfTheScreen) {
    SetActiveWindow(0);
    Drain();
    RECT R{};
    Box("Fehler: Konfig-Datei box.bfg konnte nicht geladen werden", MB_OK | MB_ICONERROR, {[&] {
            const HWND D = TopDialog();
            GetWindowRect(D, &R);
            Key(D, Qt::Key_Return);
        }});
    RECT Work{};
    SystemParametersInfo(SPI_GETWORKAREA, 0, &Work, 0);
    EXPECT_NEAR((R.left + R.right) / 2, (Work.left + Work.right) / 2, 1);
    EXPECT_NEAR((R.top + R.bottom) / 2, (Work.top + Work.bottom) / 2, 1);
}

TEST_F(MessageBoxes, EveryIconAndButtonSetLooksClassic) {
    struct TCase {
        const char* Name;
        const char* Text;
        uint32_t Flags;
    };
    const TCase Cases[] = {
        {"error", "Fehler: Konfig-Datei box.bfg konnte nicht geladen werden", MB_OK | MB_ICONERROR},
        {"question",
         "Ihre Konfiguration ist noch nicht gespeichert. Möchten Sie diese jetzt speichern?",
         MB_YESNO | MB_ICONQUESTION},
        {"warning", "Are you sure you want to delete the 'Toolbar' toolbar?",
         MB_OKCANCEL | MB_ICONWARNING},
        {"information", "Die Verbindung wurde beendet.\r\n\r\n3 Mails, 120 News",
         MB_YESNOCANCEL | MB_ICONINFORMATION | MB_DEFBUTTON2},
        {"retry", "Socket Error # 10061\nConnection refused.", MB_ABORTRETRYIGNORE},
    };
    for (const TCase& C : Cases) {
        QImage Seen;
        Box(C.Text, C.Flags, {[&] {
                const HWND D = TopDialog();
                Drain();
                Picture(D, std::string("messagebox-") + C.Name);
                Seen = WindowPicture(D);
                Key(D, Qt::Key_Return);
            }});
        ASSERT_FALSE(Seen.isNull()) << C.Name;
        // The face of the box is the button face.
        EXPECT_EQ(Seen.pixel(Seen.width() / 2, Seen.height() - 5) | 0xFF000000u,
                  ColorOf(GetSysColor(COLOR_BTNFACE)))
            << C.Name;
    }
}

TEST_F(MessageBoxes, UnderAGermanLanguageTheButtonsSpeakGerman) {
    const auto Captions = [&](uint32_t Flags) {
        std::vector<std::string> Out;
        Box("Möchten Sie die Konfiguration speichern?", Flags, {[&] {
                const HWND D = TopDialog();
                for (int Answer : MessageBoxAnswers(Flags))
                    Out.push_back(ControlText(Button(D, Answer)));
                Drain();
                if (Flags == (MB_YESNOCANCEL | MB_ICONQUESTION)) Picture(D, "messagebox-german");
                Key(D, Qt::Key_Return);
            }});
        return Out;
    };
    {
        TLanguage German("de_DE.UTF-8");
        EXPECT_EQ(Captions(MB_YESNOCANCEL | MB_ICONQUESTION),
                  (std::vector<std::string>{"Ja", "Nein", "Abbrechen"}));
        EXPECT_EQ(Captions(MB_ABORTRETRYIGNORE),
                  (std::vector<std::string>{"Abbrechen", "Wiederholen", "Ignorieren"}));
        // The letter of a German caption presses it.
        EXPECT_EQ(Box("?", MB_YESNO, {[&] { Key(TopDialog(), Qt::Key_N); }}), IDNO);
    }
    TLanguage English("en_GB.UTF-8");
    EXPECT_EQ(Captions(MB_YESNOCANCEL), (std::vector<std::string>{"Yes", "No", "Cancel"}));
}

TEST_F(MessageBoxes, ABoxWithoutATitleCarriesTheApplicationsTitle) {
    std::vector<std::string> Titles;
    const TMessageBoxHandler Old =
        SetMessageBoxHandler([&](const std::string&, const std::string& Caption, uint32_t) {
            Titles.push_back(Caption);
            return IDOK;
        });
    const std::string Before = Application.Title;
    Application.Title = "Orvalin Kestro";
    ShowMessage("Kein Server angegeben.");
    SetMessageBoxHandler(Old);
    EXPECT_EQ(Titles, (std::vector<std::string>{"Orvalin Kestro"}));
    std::string Shown;
    Box("Verbindung wählen?", MB_YESNO, {[&] {
            Shown = ControlText(TopDialog());
            Key(TopDialog(), Qt::Key_Return);
        }},
        "");
    Application.Title = Before;
    EXPECT_EQ(Shown, "Orvalin Kestro");
}
