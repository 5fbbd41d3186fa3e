#pragma once
// Driving the on-screen dialogs with real input: the steps of a test run from timers inside the
// dialog's own loop (the test's call to RunModal), find the dialog once it is on the screen and
// type and click through the Qt window of its host.
#include <QTest>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/classes/CodePages.h"
#include "platform/controls/Controls.h"
#include "platform/dialogs/DialogWindow.h"
#include "tests/support/GuiTestSupport.h"

namespace DialogTest {

using namespace GuiTest;

// The visible dialogs, the topmost first.
inline std::vector<HWND> OpenDialogs() {
    std::vector<HWND> Out;
    EnumWindows(
        [&](HWND Wnd, LPARAM) {
            if (GetClassName(Wnd) == TDialogWindow::kClassName && IsWindowVisible(Wnd))
                Out.push_back(Wnd);
            return TRUE;
        },
        0);
    return Out;
}

// The topmost dialog once Count dialogs are open and its host is exposed (a nested pass of the
// loop until then); 0 when that does not happen.
inline HWND TopDialog(size_t Count = 1) {
    PumpUntil(
        [&] {
            const std::vector<HWND> D = OpenDialogs();
            return D.size() >= Count && QtWindowOf(D.front()) && QtWindowOf(D.front())->isExposed();
        },
        5000);
    const std::vector<HWND> D = OpenDialogs();
    return D.size() >= Count ? D.front() : 0;
}

// The Qt window input for Dialog goes to; a test whose dialog went too early fails there.
inline QWindow* InputWindow(HWND Dialog) {
    QWindow* Window = IsWindow(Dialog) ? QtWindowOf(Dialog) : nullptr;
    if (!Window) ADD_FAILURE() << "the dialog is gone";
    return Window;
}

inline void Key(HWND Dialog, Qt::Key K, Qt::KeyboardModifiers Mods = {}) {
    if (QWindow* W = InputWindow(Dialog)) QTest::keyClick(W, K, Mods);
}

// Modifier (Shift, Ctrl, Alt) goes down and stays down while K is pressed, as a person holds it:
// the loop reads the keyboard's state when it takes the key, after the step. A later step calls
// Release.
inline void KeyWith(HWND Dialog, Qt::Key Modifier, Qt::Key K) {
    QWindow* W = InputWindow(Dialog);
    if (!W) return;
    QTest::keyPress(W, Modifier);
    QTest::keyClick(W, K);
}
// Shift, Ctrl and Alt up in the keyboard's state (a click with a modifier leaves it down until
// the next input says otherwise).
inline void ReleaseModifiers() {
    BYTE State[256];
    GetKeyboardState(State);
    for (WORD Vk : {VK_SHIFT, VK_LSHIFT, VK_RSHIFT, VK_CONTROL, VK_LCONTROL, VK_RCONTROL, VK_MENU,
                    VK_LMENU, VK_RMENU})
        State[Vk] = 0;
    SetKeyboardState(State);
}

inline void Release(Qt::Key Modifier) {
    const std::vector<HWND> Open = OpenDialogs();
    if (!Open.empty()) {
        QTest::keyRelease(QtWindowOf(Open.front()), Modifier);
        return;
    }
    // The window that took the key is gone: the key comes up in the keyboard's state alone.
    ReleaseModifiers();
}

// Letters, digits and punctuation typed one by one.
inline void Type(HWND Dialog, const std::string& Text) {
    if (QWindow* W = InputWindow(Dialog))
        for (char C : Text) QTest::keyClick(W, C);
}

inline POINT CentreOf(HWND Control) {
    RECT R;
    GetWindowRect(Control, &R);
    return POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2};
}

inline void Click(HWND Control, Qt::KeyboardModifiers Mods = {}) {
    const HWND Top = GetAncestor(Control, GA_ROOT);
    if (QWindow* W = InputWindow(Top))
        QTest::mouseClick(W, Qt::LeftButton, Mods, LocalOf(Top, CentreOf(Control)));
}

// The user's language for one test: LANG set to Value, LC_ALL and LC_MESSAGES unset; all three
// back as they were afterwards.
class TLanguage {
  public:
    explicit TLanguage(const char* Value) {
        for (const char* Name : kNames) {
            const char* Old = std::getenv(Name);
            FOld.push_back(Old ? std::optional<std::string>(Old) : std::nullopt);
            unsetenv(Name);
        }
        setenv("LANG", Value, 1);
    }
    ~TLanguage() {
        for (size_t I = 0; I < FOld.size(); ++I) {
            if (FOld[I])
                setenv(kNames[I], FOld[I]->c_str(), 1);
            else
                unsetenv(kNames[I]);
        }
    }
    TLanguage(const TLanguage&) = delete;
    TLanguage& operator=(const TLanguage&) = delete;

  private:
    static constexpr const char* kNames[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::vector<std::optional<std::string>> FOld;
};

// A control's text as the user reads it (the key mark taken out), UTF-8.
inline std::string ControlText(HWND Control) {
    char Buffer[256] = {};
    GetWindowText(Control, Buffer, sizeof(Buffer));
    std::string Text = Cp1252ToUnicode(Buffer).toStdString();
    std::erase(Text, '&');
    return Text;
}

inline void Picture(HWND Wnd, const std::string& Name) {
    SaveWindowPicture(Wnd, std::string(KESTRO_BINARY_DIR) + "/pictures/dialogs/" + Name + ".png");
}

// Runs Show (which opens a dialog and returns its answer) while the steps run inside its loop.
template <class F>
auto RunWith(std::vector<std::function<void()>> Steps, F&& Show) {
    TSteps Script(std::move(Steps));
    Script.Start();
    // A test whose input went astray fails instead of hanging: its dialogs go.
    QObject Watchdog;
    QTimer::singleShot(30000, &Watchdog, [] {
        ADD_FAILURE() << "a dialog was still open";
        for (HWND D : OpenDialogs()) DestroyWindow(D);
    });
    auto Answer = Show();
    EXPECT_TRUE(PumpUntil([&] { return Script.Done(); }, 5000));
    Drain();
    return Answer;
}

}  // namespace DialogTest
