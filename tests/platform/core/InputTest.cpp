// Input translation: mouse messages and their coordinates, double clicks, capture, keys and
// characters, the hooks, disabled windows, focus, activation, mouse-leave tracking and cursors.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "platform/core/Pointer.h"
#include "tests/support/GuiTestSupport.h"

using namespace GuiTest;

namespace {

const std::vector<UINT> kMouse = {WM_MOUSEMOVE,       WM_LBUTTONDOWN,   WM_LBUTTONUP,
                                  WM_LBUTTONDBLCLK,   WM_RBUTTONDOWN,   WM_RBUTTONUP,
                                  WM_RBUTTONDBLCLK,   WM_NCLBUTTONDOWN, WM_NCLBUTTONUP,
                                  WM_NCLBUTTONDBLCLK, WM_NCMOUSEMOVE};
const std::vector<UINT> kKeys = {WM_KEYDOWN,    WM_KEYUP,    WM_CHAR,
                                 WM_SYSKEYDOWN, WM_SYSKEYUP, WM_SYSCHAR};

// A mouse event with a time stamp of our choosing, at the Qt window of Via's host.
void SendMouse(HWND Via, QEvent::Type Type, POINT Screen, Qt::MouseButton Button, ulong Time) {
    const QPoint Local = LocalOf(Via, Screen);
    const Qt::MouseButtons Held =
        Type == QEvent::MouseButtonPress ? Qt::MouseButtons(Button) : Qt::MouseButtons();
    QMouseEvent Event(Type, QPointF(Local), QPointF(Local), QPointF(Screen.x, Screen.y), Button,
                      Held, Qt::NoModifier);
    Event.setTimestamp(Time);
    QCoreApplication::sendEvent(QtWindowOf(Via), &Event);
    Drain();
}

class Input : public testing::Test {
  protected:
    void SetUp() override {
        Drain();
        Form = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE | WS_BORDER, {50, 40, 250, 190}));
        Child = Windows().Create(0, WS_CHILD | WS_VISIBLE, {20, 30, 120, 90}, Form, "child", 7);
        Drain();
        SetFocus(0);
        Windows().Log.clear();
    }
    void TearDown() override {
        ReleaseCapture();
        Drain();
    }
    TWindowGuard Guard;
    HWND Form = 0;
    HWND Child = 0;
};

TEST_F(Input, AClickOnAChildGivesMoveDownAndUpInClientCoordinates) {
    const POINT At = ScreenOf(Child, POINT{5, 7});
    MouseMove(Form, At);
    MouseClick(Form, At);
    Drain();
    const std::vector<TRecorded> Expected = {
        {Child, WM_MOUSEMOVE, 0, MAKELPARAM(5, 7)},
        {Child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 7)},
        {Child, WM_LBUTTONUP, 0, MAKELPARAM(5, 7)},
    };
    EXPECT_EQ(Windows().Of(Child, kMouse), Expected);
    // Each came after the hit test and the cursor question.
    const auto Cursor = Windows().Of(Child, {WM_SETCURSOR});
    ASSERT_EQ(Cursor.size(), 3u);
    EXPECT_EQ(Cursor[1].LParam, MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_EQ(Windows().Of(Form, kMouse).size(), 0u);
    POINT Pos;
    GetCursorPos(&Pos);
    EXPECT_EQ(Pos, At);
}

TEST_F(Input, DoubleClicksAreOursAndFollowTheClassTimeAndPlace) {
    WNDCLASS Plain;
    Plain.lpfnWndProc = [](HWND W, UINT M, WPARAM Wp, LPARAM Lp) -> LRESULT {
        Windows().Log.push_back({W, M, Wp, Lp});
        return DefWindowProc(W, M, Wp, Lp);
    };
    Plain.lpszClassName = "NoDoubleClicks";
    RegisterClass(&Plain);
    const HWND Other = CreateWindowEx(0, "NoDoubleClicks", "", WS_CHILD | WS_VISIBLE, 130, 30, 50,
                                      50, Form, 0, 0, nullptr);
    struct TCase {
        const char* What;
        HWND Wnd;
        Qt::MouseButton Button;
        int SecondDx;
        ulong SecondDelay;
        std::vector<UINT> Want;
        int SecondDy = 0;
    };
    const std::vector<UINT> Double = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP};
    const std::vector<UINT> Twice = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP};
    const TCase Cases[] = {
        {"left, same place",
         Child,
         Qt::LeftButton,
         0,
         100,
         {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}},
        {"right",
         Child,
         Qt::RightButton,
         2,
         500,
         {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, WM_RBUTTONUP}},
        {"too far",
         Child,
         Qt::LeftButton,
         3,
         10,
         {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}},
        {"too late",
         Child,
         Qt::LeftButton,
         0,
         501,
         {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}},
        {"class without CS_DBLCLKS",
         Other,
         Qt::LeftButton,
         0,
         10,
         {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}},
        // The rectangle is SM_CXDOUBLECLK by SM_CYDOUBLECLK (4 x 4) around the first press.
        {"at the time limit", Child, Qt::LeftButton, 0, 500, Double},
        {"2 down", Child, Qt::LeftButton, 0, 10, Double, 2},
        {"3 down", Child, Qt::LeftButton, 0, 10, Twice, 3},
        {"3 up", Child, Qt::LeftButton, 0, 10, Twice, -3},
        {"2 left and 2 up", Child, Qt::LeftButton, -2, 10, Double, -2},
        {"3 left", Child, Qt::LeftButton, -3, 10, Twice},
    };
    ulong Time = 100000;
    for (const TCase& C : Cases) {
        Windows().Log.clear();
        const POINT At = ScreenOf(C.Wnd, POINT{10, 10});
        const POINT Second{At.x + C.SecondDx, At.y + C.SecondDy};
        SendMouse(Form, QEvent::MouseButtonPress, At, C.Button, Time);
        SendMouse(Form, QEvent::MouseButtonRelease, At, C.Button, Time);
        SendMouse(Form, QEvent::MouseButtonPress, Second, C.Button, Time + C.SecondDelay);
        SendMouse(Form, QEvent::MouseButtonRelease, Second, C.Button, Time + C.SecondDelay);
        std::vector<UINT> Got;
        for (const TRecorded& R : Windows().Log)
            if (R.Wnd == C.Wnd && R.Msg >= WM_LBUTTONDOWN && R.Msg <= WM_MBUTTONDBLCLK)
                Got.push_back(R.Msg);
        EXPECT_EQ(Got, C.Want) << C.What;
        Time += 10000;
    }
    // A third click right after a double click starts a new series.
    Windows().Log.clear();
    MouseDoubleClick(Form, ScreenOf(Child, POINT{10, 10}));
    SendMouse(Form, QEvent::MouseButtonPress, ScreenOf(Child, POINT{10, 10}), Qt::LeftButton,
              static_cast<ulong>(QTest::lastMouseTimestamp));
    EXPECT_EQ(Windows().MessagesOf(Child, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN}));
    DestroyWindow(Other);
    UnregisterClass("NoDoubleClicks", 0);
}

TEST_F(Input, CaptureTakesEveryMoveAndTellsTheWindowThatLosesIt) {
    const HWND Other = Windows().Create(0, WS_CHILD | WS_VISIBLE, {130, 30, 180, 80}, Form);
    EXPECT_EQ(SetCapture(Child), 0u);
    // Over another window, over the frame and outside the form: all to the child.
    const POINT Over = ScreenOf(Other, POINT{5, 5});
    const POINT Outside{20, 10};
    SendMouse(Form, QEvent::MouseMove, Over, Qt::NoButton, 1);
    SendMouse(Form, QEvent::MouseMove, Outside, Qt::NoButton, 2);
    const POINT Origin = ScreenOf(Child, POINT{0, 0});
    const auto Moves = Windows().Of(Child, {WM_MOUSEMOVE});
    ASSERT_EQ(Moves.size(), 2u);
    EXPECT_EQ(GET_X_LPARAM(Moves[0].LParam), Over.x - Origin.x);
    EXPECT_EQ(GET_X_LPARAM(Moves[1].LParam), Outside.x - Origin.x);
    EXPECT_EQ(GET_Y_LPARAM(Moves[1].LParam), Outside.y - Origin.y);  // negative: above it
    EXPECT_TRUE(Windows().Of(Other, {WM_MOUSEMOVE}).empty());
    EXPECT_EQ(SetCapture(Other), Child);
    EXPECT_EQ(Windows().Of(Child, {WM_CAPTURECHANGED}).back().LParam, static_cast<LPARAM>(Other));
    ReleaseCapture();
    EXPECT_EQ(Windows().Of(Other, {WM_CAPTURECHANGED}).back().LParam, 0);
    EXPECT_EQ(GetCapture(), 0u);
}

TEST_F(Input, KeysBecomeVirtualKeysWithTheirDataAndCharacters) {
    SetFocus(Child);
    QWindow* Window = QtWindowOf(Form);
    Windows().Log.clear();
    QTest::keyClick(Window, Qt::Key_A);
    QTest::keyClick(Window, Qt::Key_F7);
    QTest::keyClick(Window, Qt::Key_X, Qt::AltModifier);
    QTest::sendKeyEvent(QTest::Click, Window, Qt::Key_Adiaeresis, QStringLiteral("\u00e4"), {});
    QTest::sendKeyEvent(QTest::Click, Window, Qt::Key_unknown, QStringLiteral("\u20ac"), {});
    Drain();
    const LPARAM A = 1 | (0x1E << 16);
    const LPARAM X = 1 | (0x2D << 16);
    const LPARAM Alt = 1 | (0x38 << 16);
    const LPARAM Up = KF_REPEAT_BIT | KF_UP_BIT;
    const std::vector<TRecorded> Expected = {
        {Child, WM_KEYDOWN, VK_A, A},
        {Child, WM_CHAR, 'a', A},
        {Child, WM_KEYUP, VK_A, A | Up},
        {Child, WM_KEYDOWN, VK_F7, 1 | (0x41 << 16)},
        {Child, WM_KEYUP, VK_F7, 1 | (0x41 << 16) | Up},
        {Child, WM_SYSKEYDOWN, VK_MENU, Alt | KF_ALTDOWN_BIT},
        {Child, WM_SYSKEYDOWN, VK_X, X | KF_ALTDOWN_BIT},
        {Child, WM_SYSCHAR, 'x', X | KF_ALTDOWN_BIT},
        {Child, WM_SYSKEYUP, VK_X, X | KF_ALTDOWN_BIT | Up},
        {Child, WM_SYSKEYUP, VK_MENU, Alt | KF_ALTDOWN_BIT | Up},
        {Child, WM_KEYDOWN, VK_OEM_102, 1 | (0x56 << 16)},
        {Child, WM_CHAR, 0xE4, 1 | (0x56 << 16)},
        {Child, WM_KEYUP, VK_OEM_102, 1 | (0x56 << 16) | Up},
        {Child, WM_KEYDOWN, VK_OEM_102, 1 | (0x56 << 16)},
        {Child, WM_CHAR, 0x80, 1 | (0x56 << 16)},
        {Child, WM_KEYUP, VK_OEM_102, 1 | (0x56 << 16) | Up},
    };
    EXPECT_EQ(Windows().Of(Child, kKeys), Expected);
}

TEST_F(Input, WithoutAFocusKeysGoToTheActiveWindowAndNotToADisabledOne) {
    SetActiveWindow(Form);
    ASSERT_EQ(GetActiveWindow(), Form);
    ASSERT_EQ(GetFocus(), 0u);
    QTest::keyClick(QtWindowOf(Form), Qt::Key_A);
    Drain();
    // As system keys, and the character they type as a system character.
    const LPARAM A = 1 | (0x1E << 16);
    const std::vector<TRecorded> Expected = {
        {Form, WM_SYSKEYDOWN, VK_A, A},
        {Form, WM_SYSCHAR, 'a', A},
        {Form, WM_SYSKEYUP, VK_A, A | KF_REPEAT_BIT | KF_UP_BIT},
    };
    EXPECT_EQ(Windows().Of(Form, kKeys), Expected);
    EXPECT_TRUE(Windows().Of(Child, kKeys).empty());
    // Disabled, the active window takes none: they are not sent anywhere else either.
    EnableWindow(Form, FALSE);
    ASSERT_EQ(GetFocus(), 0u);
    Windows().Log.clear();
    QTest::keyClick(QtWindowOf(Form), Qt::Key_A);
    Drain();
    for (const TRecorded& R : Windows().Log)
        EXPECT_EQ(std::count(kKeys.begin(), kKeys.end(), R.Msg), 0) << R.Wnd << " " << R.Msg;
    EnableWindow(Form, TRUE);
}

TEST_F(Input, AltGrIsNoAltAndTheKeyStateFollowsTheKeys) {
    SetFocus(Child);
    QWindow* Window = QtWindowOf(Form);
    Windows().Log.clear();
    QTest::sendKeyEvent(QTest::Press, Window, Qt::Key_AltGr, QString(), {});
    EXPECT_EQ(GetKeyState(VK_MENU) & 0x8000, 0);
    QTest::sendKeyEvent(QTest::Click, Window, Qt::Key_At, QStringLiteral("@"), {});
    QTest::sendKeyEvent(QTest::Release, Window, Qt::Key_AltGr, QString(), {});
    QTest::sendKeyEvent(QTest::Press, Window, Qt::Key_Shift, QString(), {});
    EXPECT_NE(GetKeyState(VK_SHIFT) & 0x8000, 0);
    EXPECT_NE(GetKeyState(VK_LSHIFT) & 0x8000, 0);
    QTest::sendKeyEvent(QTest::Release, Window, Qt::Key_Shift, QString(), {});
    EXPECT_EQ(GetKeyState(VK_SHIFT) & 0x8000, 0);
    // Caps Lock toggles on its way down.
    const SHORT Before = GetKeyState(VK_CAPITAL) & 1;
    QTest::sendKeyEvent(QTest::Click, Window, Qt::Key_CapsLock, QString(), {});
    EXPECT_NE(GetKeyState(VK_CAPITAL) & 1, Before);
    QTest::sendKeyEvent(QTest::Click, Window, Qt::Key_CapsLock, QString(), {});
    Drain();
    EXPECT_TRUE(Windows().Of(Child, {WM_SYSKEYDOWN, WM_SYSCHAR}).empty());
    const auto Chars = Windows().Of(Child, {WM_CHAR});
    ASSERT_EQ(Chars.size(), 1u);
    EXPECT_EQ(Chars[0].WParam, static_cast<WPARAM>('@'));
    BYTE State[256];
    GetKeyboardState(State);
    EXPECT_EQ(State[VK_SHIFT] & 0x80, 0);
}

// Qt often hands over a burst of input before the loop takes the first message of it. Each
// message still reads the key state of its own moment (Shift+Tab typed quickly stays Shift+Tab),
// while the asynchronous state is the newest. Hooks see each key as the loop takes it, and read
// the state of the key's moment too.
TEST_F(Input, EachKeyMessageReadsTheKeyStateOfItsOwnMoment) {
    SetFocus(Child);
    Drain();
    std::vector<std::string> Seen;
    Windows().Handlers[Child] = [&](HWND, UINT Msg, WPARAM WParam,
                                    LPARAM) -> std::optional<LRESULT> {
        if (Msg == WM_KEYDOWN || Msg == WM_KEYUP)
            Seen.push_back(std::string(Msg == WM_KEYDOWN ? "down " : "up ") +
                           (WParam == VK_TAB ? "Tab" : "Shift") +
                           (GetKeyState(VK_SHIFT) < 0 ? " shifted" : "") +
                           (GetAsyncKeyState(VK_SHIFT) < 0 ? " async-shifted" : ""));
        return std::nullopt;
    };
    std::vector<std::string> Hooked;
    static std::vector<std::string>* HookSeen = nullptr;
    HookSeen = &Hooked;
    const HHOOK Hook = SetWindowsHookEx(
        WH_KEYBOARD,
        [](int Code, WPARAM WParam, LPARAM LParam) -> LRESULT {
            if (WParam == VK_TAB && !(LParam & KF_UP_BIT))
                HookSeen->push_back(GetKeyState(VK_SHIFT) < 0 ? "Tab shifted" : "Tab");
            return CallNextHookEx(0, Code, WParam, LParam);
        },
        0, GetCurrentThreadId());
    QWindow* Window = QtWindowOf(Form);
    auto Send = [&](QEvent::Type Type, Qt::Key Key, Qt::KeyboardModifiers Mods) {
        QKeyEvent Event(Type, Key, Mods);
        QCoreApplication::sendEvent(Window, &Event);  // translated now, nothing taken yet
    };
    Send(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
    Send(QEvent::KeyPress, Qt::Key_Backtab, Qt::ShiftModifier);
    Send(QEvent::KeyRelease, Qt::Key_Backtab, Qt::ShiftModifier);
    Send(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
    EXPECT_TRUE(Hooked.empty());
    EXPECT_EQ(GetAsyncKeyState(VK_SHIFT), 0);
    Drain();
    UnhookWindowsHookEx(Hook);
    const std::vector<std::string> Expected{"down Shift shifted", "down Tab shifted",
                                            "up Tab shifted", "up Shift"};
    EXPECT_EQ(Seen, Expected);
    EXPECT_EQ(Hooked, std::vector<std::string>{"Tab shifted"});
    EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
    Windows().Handlers.erase(Child);
}

// Hooks are plain procedures; the tests talk to them through these.
std::vector<std::string> HookTrace;
HHOOK KeyHookA = 0;
HHOOK KeyHookB = 0;

TEST_F(Input, HooksSeeInputFirstNewestFirstAndCanEatIt) {
    SetFocus(Child);
    HookTrace.clear();
    KeyHookA = SetWindowsHookEx(
        WH_KEYBOARD,
        [](int Code, WPARAM Wp, LPARAM Lp) -> LRESULT {
            HookTrace.push_back("A" + std::to_string(Wp));
            return CallNextHookEx(KeyHookA, Code, Wp, Lp);
        },
        0, GetCurrentThreadId());
    KeyHookB = SetWindowsHookEx(
        WH_KEYBOARD,
        [](int Code, WPARAM Wp, LPARAM Lp) -> LRESULT {
            HookTrace.push_back("B" + std::to_string(Wp));
            if (Wp == VK_Q) return 1;  // eaten, the first hook never sees it
            return CallNextHookEx(KeyHookB, Code, Wp, Lp);
        },
        0, GetCurrentThreadId());
    QTest::keyClick(QtWindowOf(Form), Qt::Key_Q);
    QTest::keyClick(QtWindowOf(Form), Qt::Key_W);
    Drain();
    EXPECT_EQ(HookTrace, (std::vector<std::string>{"B81", "B81", "B87", "A87", "B87", "A87"}));
    EXPECT_EQ(Windows().MessagesOf(Child, kKeys),
              (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
    EXPECT_EQ(Windows().Of(Child, {WM_KEYDOWN})[0].WParam, VK_W);
    // Unhooked from inside a call, a hook is not called again; the chain goes on.
    UnhookWindowsHookEx(KeyHookA);
    KeyHookA = SetWindowsHookEx(WH_KEYBOARD, [](int Code, WPARAM Wp, LPARAM Lp) -> LRESULT {
        HookTrace.push_back("self-removing");
        UnhookWindowsHookEx(KeyHookA);
        return CallNextHookEx(KeyHookA, Code, Wp, Lp);
    });
    HookTrace.clear();
    QTest::keyClick(QtWindowOf(Form), Qt::Key_E);
    Drain();
    EXPECT_EQ(HookTrace, (std::vector<std::string>{"self-removing", "B69", "B69"}));
    UnhookWindowsHookEx(KeyHookB);
    EXPECT_FALSE(UnhookWindowsHookEx(KeyHookB));
}

// A burst of keys arrives before the loop takes the first: the hook sees each one just before its
// window does, not the whole burst ahead of it. A hook set after a key arrived still sees it, and
// a key whose window was disabled in the meantime goes nowhere.
TEST_F(Input, KeyboardHooksSeeEachKeyWhenTheLoopTakesIt) {
    SetFocus(Child);
    Drain();
    Windows().Log.clear();
    static std::vector<std::string>* Trace = nullptr;
    std::vector<std::string> Seen;
    Trace = &Seen;
    Windows().Handlers[Child] = [&](HWND, UINT Msg, WPARAM WParam,
                                    LPARAM) -> std::optional<LRESULT> {
        if (Msg == WM_KEYDOWN || Msg == WM_KEYUP)
            Seen.push_back((Msg == WM_KEYDOWN ? "window down " : "window up ") +
                           std::to_string(WParam));
        return std::nullopt;
    };
    QWindow* Window = QtWindowOf(Form);
    auto Send = [&](QEvent::Type Type, Qt::Key Key, const char* Text) {
        QKeyEvent Event(Type, Key, Qt::NoModifier, QString::fromLatin1(Text));
        QCoreApplication::sendEvent(Window, &Event);  // translated now, nothing taken yet
    };
    Send(QEvent::KeyPress, Qt::Key_A, "a");
    Send(QEvent::KeyRelease, Qt::Key_A, "a");
    Send(QEvent::KeyPress, Qt::Key_B, "b");
    const HHOOK Hook = SetWindowsHookEx(
        WH_KEYBOARD,
        [](int Code, WPARAM WParam, LPARAM LParam) -> LRESULT {
            Trace->push_back(((LParam & KF_UP_BIT) ? "hook up " : "hook down ") +
                             std::to_string(WParam));
            if (WParam == VK_B) return 1;
            return CallNextHookEx(0, Code, WParam, LParam);
        },
        0, GetCurrentThreadId());
    EXPECT_TRUE(Seen.empty());
    Drain();
    const std::vector<std::string> Expected{"hook down 65", "window down 65", "hook up 65",
                                            "window up 65", "hook down 66"};
    EXPECT_EQ(Seen, Expected);
    // The eaten key typed nothing.
    EXPECT_EQ(Windows().MessagesOf(Child, kKeys),
              (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
    // Disabled before the loop takes it: the hook still sees the key, the window does not.
    Seen.clear();
    Send(QEvent::KeyPress, Qt::Key_C, "c");
    EnableWindow(Form, FALSE);
    Drain();
    EnableWindow(Form, TRUE);
    EXPECT_EQ(Seen, std::vector<std::string>{"hook down 67"});
    UnhookWindowsHookEx(Hook);
    Windows().Handlers.erase(Child);
}

HHOOK MouseHook = 0;
std::vector<MOUSEHOOKSTRUCT> MouseSeen;

TEST_F(Input, ADisabledFormTakesNoInputAndTheMouseHookSeesAnError) {
    MouseSeen.clear();
    MouseHook = SetWindowsHookEx(WH_MOUSE, [](int Code, WPARAM Wp, LPARAM Lp) -> LRESULT {
        if (Wp == WM_LBUTTONDOWN || Wp == WM_NCLBUTTONDOWN)
            MouseSeen.push_back(*reinterpret_cast<MOUSEHOOKSTRUCT*>(Lp));
        return CallNextHookEx(MouseHook, Code, Wp, Lp);
    });
    SetFocus(Child);
    SetCapture(Child);
    EXPECT_FALSE(EnableWindow(Form, FALSE));
    EXPECT_EQ(GetFocus(), 0u);  // the focus left the disabled form
    // A capture inside it is cancelled (WM_CANCELMODE) and gone: nothing can route input there.
    EXPECT_EQ(Windows().Of(Form, {WM_CANCELMODE}).size(), 1u);
    EXPECT_EQ(GetCapture(), 0u);
    EXPECT_EQ(Windows().Of(Child, {WM_CAPTURECHANGED}).size(), 1u);
    EXPECT_EQ(Windows().Of(Form, {WM_ENABLE}).back().WParam, static_cast<WPARAM>(FALSE));
    Windows().Log.clear();
    const POINT At = ScreenOf(Child, POINT{5, 5});
    MouseClick(Form, At);
    QTest::keyClick(QtWindowOf(Form), Qt::Key_A);
    Drain();
    EXPECT_TRUE(Windows().Of(Child, kMouse).empty());
    EXPECT_TRUE(Windows().Of(Form, kMouse).empty());
    EXPECT_TRUE(Windows().Of(Child, kKeys).empty());
    ASSERT_EQ(MouseSeen.size(), 1u);
    EXPECT_EQ(MouseSeen[0].hwnd, Form);
    EXPECT_EQ(static_cast<int>(MouseSeen[0].wHitTestCode), HTERROR);
    EXPECT_EQ(MouseSeen[0].pt, At);
    // Enabled again, nothing is greyed or lost: the next click arrives.
    EXPECT_TRUE(EnableWindow(Form, TRUE));
    MouseClick(Form, At);
    Drain();
    EXPECT_EQ(Windows().MessagesOf(Child, {WM_LBUTTONDOWN, WM_LBUTTONUP}),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
    // A mouse hook that eats a press: the press is gone, the release still comes.
    UnhookWindowsHookEx(MouseHook);
    MouseHook = SetWindowsHookEx(WH_MOUSE, [](int Code, WPARAM Wp, LPARAM Lp) -> LRESULT {
        if (Wp == WM_LBUTTONDOWN) return 1;
        return CallNextHookEx(MouseHook, Code, Wp, Lp);
    });
    Windows().Log.clear();
    MouseClick(Form, At);
    Drain();
    EXPECT_EQ(Windows().MessagesOf(Child, {WM_LBUTTONDOWN, WM_LBUTTONUP}),
              std::vector<UINT>{WM_LBUTTONUP});
    UnhookWindowsHookEx(MouseHook);
}

TEST_F(Input, FocusMessagesNameTheOtherWindow) {
    const HWND Other = Windows().Create(0, WS_CHILD | WS_VISIBLE, {130, 30, 180, 80}, Form);
    SetFocus(Child);
    Windows().Log.clear();
    EXPECT_EQ(SetFocus(Other), Child);
    const std::vector<TRecorded> Expected = {{Child, WM_KILLFOCUS, Other, 0},
                                             {Other, WM_SETFOCUS, Child, 0}};
    EXPECT_EQ(Windows().Log, Expected);
    EXPECT_EQ(GetFocus(), Other);
    // A disabled window cannot take the focus.
    EnableWindow(Child, FALSE);
    EXPECT_EQ(SetFocus(Child), 0u);
    EXPECT_EQ(GetFocus(), Other);
}

// A window hidden or disabled with the focus inside takes the focus out of its tree, to the
// nearest window around it that is shown and enabled: keys never go to a window nobody can see
// or use. Each case starts with the focus on Inner, a child of Child; Dialog is a top-level
// window of its own.
TEST_F(Input, TheFocusLeavesAWindowThatIsHiddenOrDisabled) {
    const HWND Inner = Windows().Create(0, WS_CHILD | WS_VISIBLE, {5, 5, 60, 40}, Child);
    const HWND Dialog =
        Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE | WS_CAPTION, {300, 40, 450, 190}));
    const HWND InDialog = Windows().Create(0, WS_CHILD | WS_VISIBLE, {5, 5, 60, 40}, Dialog);
    struct TCase {
        const char* What;
        HWND Focused;
        HWND Changed;
        bool Hide;
        HWND FocusAfter;
        HWND KeysTo;  // 0: no window (a disabled active window takes none)
    };
    const TCase Cases[] = {
        {"the focused window hidden", Inner, Inner, true, Child, Child},
        {"the focused window disabled", Inner, Inner, false, Child, Child},
        {"its parent hidden", Inner, Child, true, Form, Form},
        {"its parent disabled", Inner, Child, false, Form, Form},
        // The window activated in its place takes the focus.
        {"its top-level window hidden", InDialog, Dialog, true, Form, Form},
        {"its top-level window disabled", InDialog, Dialog, false, 0, 0},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.What);
        ShowWindow(Dialog, SW_SHOWNA);
        SetFocus(C.Focused);
        ASSERT_EQ(GetFocus(), C.Focused);
        if (C.Hide)
            ShowWindow(C.Changed, SW_HIDE);
        else
            EnableWindow(C.Changed, FALSE);
        EXPECT_EQ(GetFocus(), C.FocusAfter);
        Windows().Log.clear();
        QTest::keyClick(QtWindowOf(GetActiveWindow() ? GetActiveWindow() : Form), Qt::Key_F6);
        Drain();
        EXPECT_TRUE(Windows().Of(C.Focused, kKeys).empty());
        for (const HWND W : {Form, Child, Inner, Dialog, InDialog})
            EXPECT_EQ(Windows().Of(W, kKeys).empty(), W != C.KeysTo) << W;
        if (C.Hide)
            ShowWindow(C.Changed, SW_SHOWNA);
        else
            EnableWindow(C.Changed, TRUE);
    }
}

// A window that never becomes active (a floating tool bar) still hears WM_MOUSEACTIVATE before
// the click, so that it can come to the top by itself; answering MA_ACTIVATE activates nothing.
TEST_F(Input, AWindowThatNeverActivatesHearsOfTheClickFirst) {
    const HWND Floating =
        Guard(Windows().Create(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW,
                               WS_POPUP | WS_VISIBLE | WS_CAPTION, {300, 40, 450, 190}));
    SetActiveWindow(Form);
    Windows().Log.clear();
    POINT InClient{10, 10};
    ClientToScreen(Floating, &InClient);
    MouseClick(Floating, InClient);
    Drain();
    EXPECT_EQ(GetActiveWindow(), Form);
    const auto Heard = Windows().Of(Floating, {WM_MOUSEACTIVATE, WM_LBUTTONDOWN});
    ASSERT_EQ(Heard.size(), 2u);
    EXPECT_EQ(Heard[0].Msg, static_cast<UINT>(WM_MOUSEACTIVATE));
    EXPECT_EQ(static_cast<HWND>(Heard[0].WParam), Floating);
    EXPECT_EQ(LOWORD(Heard[0].LParam), static_cast<WORD>(HTCLIENT));
    EXPECT_EQ(HIWORD(Heard[0].LParam), static_cast<WORD>(WM_LBUTTONDOWN));
    EXPECT_EQ(Heard[1].Msg, static_cast<UINT>(WM_LBUTTONDOWN));
    // A disabled one hears nothing of it.
    EnableWindow(Floating, FALSE);
    Windows().Log.clear();
    MouseClick(Floating, InClient);
    Drain();
    EXPECT_TRUE(Windows().MessagesOf(Floating, {WM_MOUSEACTIVATE}).empty());
}

TEST_F(Input, ClicksActivateFormsAsTheirWindowsAllow) {
    const HWND Second =
        Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE | WS_CAPTION, {300, 40, 450, 190}));
    const HWND Bar = Windows().Create(0, WS_CHILD | WS_VISIBLE, {0, 0, 150, 20}, Second);
    SetActiveWindow(Form);
    Windows().Log.clear();
    // A bar answers MA_NOACTIVATE: the click arrives, the form stays inactive.
    Windows().Handlers[Bar] = [](HWND, UINT M, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (M == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
        return std::nullopt;
    };
    MouseClick(Second, ScreenOf(Bar, POINT{5, 5}));
    Drain();
    EXPECT_EQ(GetActiveWindow(), Form);
    EXPECT_EQ(Windows().MessagesOf(Bar, {WM_MOUSEACTIVATE, WM_LBUTTONDOWN}),
              (std::vector<UINT>{WM_MOUSEACTIVATE, WM_LBUTTONDOWN}));
    // The client area of the form itself activates it, as a click.
    Windows().Log.clear();
    POINT InClient{10, 30};
    ClientToScreen(Second, &InClient);
    MouseClick(Second, InClient);
    Drain();
    EXPECT_EQ(GetActiveWindow(), Second);
    const auto Activate = Windows().Of(Second, {WM_ACTIVATE});
    ASSERT_EQ(Activate.size(), 1u);
    EXPECT_EQ(Activate[0].WParam, MAKEWPARAM(WA_CLICKACTIVE, 0));
    EXPECT_EQ(static_cast<HWND>(Activate[0].LParam), Form);
    EXPECT_EQ(Windows().Of(Form, {WM_ACTIVATE})[0].WParam, MAKEWPARAM(WA_INACTIVE, 0));
    EXPECT_EQ(Windows().Of(Form, {WM_NCACTIVATE})[0].WParam, static_cast<WPARAM>(FALSE));
    // Nothing of the program visible is active: every top-level window hears it.
    Windows().Log.clear();
    ShowWindow(Second, SW_HIDE);
    ShowWindow(Form, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), 0u);
    EXPECT_EQ(GetForegroundWindow(), 0u);
    EXPECT_EQ(Windows().Of(Second, {WM_ACTIVATEAPP}).back().WParam, static_cast<WPARAM>(FALSE));
    ShowWindow(Form, SW_SHOW);
    EXPECT_EQ(Windows().Of(Second, {WM_ACTIVATEAPP}).back().WParam, static_cast<WPARAM>(TRUE));
}

TEST_F(Input, LeavingATrackedWindowPostsOneMouseLeave) {
    const HWND Other = Windows().Create(0, WS_CHILD | WS_VISIBLE, {130, 30, 180, 80}, Form);
    MouseMove(Form, ScreenOf(Child, POINT{5, 5}));
    TRACKMOUSEEVENT Track;
    Track.dwFlags = TME_LEAVE;
    Track.hwndTrack = Child;
    ASSERT_TRUE(TrackMouseEvent(&Track));
    TRACKMOUSEEVENT Query;
    Query.dwFlags = TME_QUERY;
    TrackMouseEvent(&Query);
    EXPECT_EQ(Query.hwndTrack, Child);
    MouseMove(Form, ScreenOf(Child, POINT{6, 6}));
    MouseMove(Form, ScreenOf(Other, POINT{5, 5}));
    MouseMove(Form, ScreenOf(Child, POINT{6, 6}));
    Drain();
    EXPECT_EQ(Windows().Of(Child, {WM_MOUSELEAVE}).size(), 1u);
    // Asked while the cursor is elsewhere, the leave comes at once.
    Track.hwndTrack = Other;
    TrackMouseEvent(&Track);
    Drain();
    EXPECT_EQ(Windows().Of(Other, {WM_MOUSELEAVE}).size(), 1u);
}

// The pointer as the program asks about it: the cursor, the logical buttons, and leave tracking
// that, stopped while it runs, tells the window at once (and only then).
TEST_F(Input, ThePointersPlaceButtonsAndLeaveTrackingAsTheProgramAsks) {
    const POINT At = ScreenOf(Child, POINT{5, 5});
    MouseMove(Form, At);
    Drain();
    EXPECT_EQ(CursorNow(), At);
    MousePress(Form, At);
    Drain();
    EXPECT_TRUE(IsPrimaryButtonDown());
    EXPECT_FALSE(IsSecondaryButtonDown());
    MouseRelease(Form, At);
    Drain();
    EXPECT_FALSE(IsPrimaryButtonDown());

    Windows().Log.clear();
    StartMouseTracking(Child);
    EXPECT_TRUE(IsMouseTracked(Child));
    EXPECT_FALSE(IsMouseTracked(Form));
    StopMouseTracking(Child);
    EXPECT_FALSE(IsMouseTracked(Child));
    EXPECT_EQ(Windows().Of(Child, {WM_MOUSELEAVE}).size(), 1u);
    // Not tracked: nothing to tell.
    StopMouseTracking(Child);
    Drain();
    EXPECT_EQ(Windows().Of(Child, {WM_MOUSELEAVE}).size(), 1u);
}

TEST_F(Input, DefaultHandlingSendsCursorsContextMenusAndWheelsWhereTheyBelong) {
    MouseMove(Form, ScreenOf(Child, POINT{5, 5}));
    EXPECT_EQ(GetCursor(), LoadCursor(0, MAKEINTRESOURCE(IDC_ARROW)));
    SetFocus(Child);
    Windows().Log.clear();
    const POINT At = ScreenOf(Child, POINT{8, 9});
    MouseClick(Form, At, Qt::RightButton);
    QWheelEvent Wheel(QPointF(LocalOf(Form, At)), QPointF(At.x, At.y), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(QtWindowOf(Form), &Wheel);
    Drain();
    const auto Menu = Windows().Of(Form, {WM_CONTEXTMENU});
    ASSERT_EQ(Menu.size(), 1u);  // the child passed it up
    EXPECT_EQ(static_cast<HWND>(Menu[0].WParam), Child);
    EXPECT_EQ(Menu[0].LParam, MAKELPARAM(At.x, At.y));
    const auto Turned = Windows().Of(Form, {WM_MOUSEWHEEL});
    ASSERT_EQ(Turned.size(), 1u);
    EXPECT_EQ(static_cast<short>(HIWORD(Turned[0].WParam)), 120);
    EXPECT_EQ(Windows().Of(Child, {WM_MOUSEWHEEL}).size(), 1u);
}

std::vector<CWPSTRUCT> Sent;
HHOOK SentHook = 0;

TEST_F(Input, TheCallWindowProcedureHookSeesEverySentMessage) {
    Sent.clear();
    SentHook = SetWindowsHookEx(WH_CALLWNDPROC, [](int Code, WPARAM Wp, LPARAM Lp) -> LRESULT {
        Sent.push_back(*reinterpret_cast<CWPSTRUCT*>(Lp));
        return CallNextHookEx(SentHook, Code, Wp, Lp);
    });
    SetWindowText(Child, "x");
    SetFocus(Child);
    PostMessage(Child, WM_USER, 0, 0);  // posted: not a sent message
    Drain();
    UnhookWindowsHookEx(SentHook);
    ASSERT_GE(Sent.size(), 2u);
    EXPECT_EQ(Sent[0].message, WM_SETTEXT);
    EXPECT_EQ(Sent[0].hwnd, Child);
    EXPECT_EQ(Sent[1].message, WM_SETFOCUS);
    for (const CWPSTRUCT& S : Sent) EXPECT_NE(S.message, WM_USER);
}

}  // namespace
