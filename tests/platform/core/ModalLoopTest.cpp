// The queue with input in it: first in, first out with posted messages, merged mouse moves,
// painting last, filtered peeking, and modal loops entered from input handlers.
#include <gtest/gtest.h>

#include <QMouseEvent>

#include "tests/support/GuiTestSupport.h"

using namespace GuiTest;

namespace {

class Queue : public testing::Test {
  protected:
    void SetUp() override {
        Drain();
        Form = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {0, 0, 200, 100}));
        Child = Windows().Create(0, WS_CHILD | WS_VISIBLE, {10, 10, 110, 60}, Form);
        Drain();
        Windows().Recorded = {WM_USER,  WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP,
                              WM_PAINT, WM_TIMER,     WM_KEYDOWN,     WM_CHAR};
        Windows().Log.clear();
    }
    // A move given to Qt without letting the loop run (as several arrive in one Qt pass).
    void RawMove(POINT Screen) {
        const QPoint Local = LocalOf(Form, Screen);
        QMouseEvent Event(QEvent::MouseMove, QPointF(Local), QPointF(Local),
                          QPointF(Screen.x, Screen.y), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(QtWindowOf(Form), &Event);
    }
    TWindowGuard Guard;
    HWND Form = 0;
    HWND Child = 0;
};

TEST_F(Queue, MovesMergePostedMessagesKeepTheirPlaceAndPaintingComesLast) {
    InvalidateRect(Child, nullptr, FALSE);
    PostMessage(Child, WM_USER, 1, 0);
    RawMove(ScreenOf(Child, POINT{1, 1}));
    RawMove(ScreenOf(Child, POINT{2, 2}));
    RawMove(ScreenOf(Child, POINT{3, 3}));
    PostMessage(Child, WM_USER, 2, 0);
    RawMove(ScreenOf(Child, POINT{4, 4}));
    Drain();
    const std::vector<TRecorded> Expected = {
        {Child, WM_USER, 1, 0},  {Child, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3)},
        {Child, WM_USER, 2, 0},  {Child, WM_MOUSEMOVE, 0, MAKELPARAM(4, 4)},
        {Child, WM_PAINT, 0, 0},
    };
    EXPECT_EQ(Windows().Log, Expected);
}

TEST_F(Queue, PeekingFiltersByWindowWithItsChildrenAndByRange) {
    const HWND Other = Guard(Windows().Create(0, WS_POPUP, {0, 0, 10, 10}));
    PostMessage(Other, WM_USER, 1, 0);
    PostMessage(Child, WM_USER + 5, 2, 0);
    PostMessage(Form, WM_USER, 3, 0);
    MSG Msg;
    ASSERT_TRUE(PeekMessage(&Msg, Form, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(Msg.hwnd, Child);  // a child counts as the window's own
    ASSERT_TRUE(PeekMessage(&Msg, Form, WM_USER, WM_USER, PM_REMOVE));
    EXPECT_EQ(Msg.wParam, 3u);
    EXPECT_FALSE(PeekMessage(&Msg, Form, WM_USER, WM_USER, PM_REMOVE));
    ASSERT_TRUE(PeekMessage(&Msg, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(Msg.hwnd, Other);
    // A quit message matches every filter.
    PostQuitMessage(4);
    ASSERT_TRUE(PeekMessage(&Msg, Other, WM_TIMER, WM_TIMER, PM_NOREMOVE));
    EXPECT_EQ(Msg.message, WM_QUIT);
    EXPECT_FALSE(GetMessage(&Msg, Other, WM_TIMER, WM_TIMER));
    EXPECT_EQ(Msg.wParam, 4u);
    // Painting is made up for a filter that wants it, and never taken out: it comes until the
    // window is valid.
    InvalidateRect(Child, nullptr, FALSE);
    ASSERT_TRUE(PeekMessage(&Msg, Form, WM_PAINT, WM_PAINT, PM_REMOVE));
    EXPECT_EQ(Msg.hwnd, Child);
    ASSERT_TRUE(PeekMessage(&Msg, Form, WM_PAINT, WM_PAINT, PM_REMOVE));
    DispatchMessage(&Msg);
    EXPECT_FALSE(PeekMessage(&Msg, Form, WM_PAINT, WM_PAINT, PM_REMOVE));
    Drain();
}

TEST_F(Queue, PaintingWaitsForWhatAHandlerPostedMeanwhile) {
    InvalidateRect(Child, nullptr, FALSE);
    Windows().Handlers[Child] = [&](HWND, UINT M, WPARAM Wp, LPARAM) -> std::optional<LRESULT> {
        if (M == WM_USER && Wp < 3) PostMessage(Child, WM_USER, Wp + 1, 0);
        return std::nullopt;
    };
    PostMessage(Child, WM_USER, 1, 0);
    Drain();
    const std::vector<TRecorded> Expected = {
        {Child, WM_USER, 1, 0},
        {Child, WM_USER, 2, 0},
        {Child, WM_USER, 3, 0},
        {Child, WM_PAINT, 0, 0},
    };
    EXPECT_EQ(Windows().Log, Expected);
}

// What PeekMessage takes, in order, until nothing matches: the wParam of each.
std::vector<WPARAM> TakeAll(HWND Filter, UINT Min, UINT Max) {
    std::vector<WPARAM> Taken;
    MSG Msg;
    for (int I = 0; I < 100 && PeekMessage(&Msg, Filter, Min, Max, PM_REMOVE); ++I)
        Taken.push_back(Msg.wParam);
    return Taken;
}

TEST_F(Queue, MovesOverDifferentWindowsAreNeverMerged) {
    const HWND Sibling = Windows().Create(0, WS_CHILD | WS_VISIBLE, {120, 10, 180, 60}, Form);
    Drain();
    Windows().Log.clear();
    RawMove(ScreenOf(Child, POINT{1, 1}));
    RawMove(ScreenOf(Sibling, POINT{2, 2}));
    RawMove(ScreenOf(Sibling, POINT{3, 3}));
    RawMove(ScreenOf(Form, POINT{5, 80}));
    RawMove(ScreenOf(Child, POINT{4, 4}));
    Drain();
    const std::vector<TRecorded> Expected = {
        {Child, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1)},
        {Sibling, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3)},
        {Form, WM_MOUSEMOVE, 0, MAKELPARAM(5, 80)},
        {Child, WM_MOUSEMOVE, 0, MAKELPARAM(4, 4)},
    };
    EXPECT_EQ(Windows().Log, Expected);
}

// Dropping a window's leftover messages of a kind leaves everything else, and a quit that
// arrived meanwhile, in the queue.
TEST_F(Queue, DroppingQueuedMessagesKeepsOthersAndTheQuit) {
    PostMessage(Child, WM_CHAR, 'a', 0);
    PostMessage(Form, WM_USER, 1, 0);
    PostMessage(Form, WM_CHAR, 'b', 0);
    DropQueued(Form, WM_CHAR, WM_CHAR);
    MSG Msg;
    ASSERT_TRUE(PeekMessage(&Msg, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(Msg.message, static_cast<UINT>(WM_USER));
    EXPECT_FALSE(PeekMessage(&Msg, Form, WM_CHAR, WM_CHAR, PM_NOREMOVE));
    PostQuitMessage(7);
    PostMessage(Form, WM_CHAR, 'c', 0);
    DropQueued(Form, WM_CHAR, WM_CHAR);
    ASSERT_TRUE(PeekMessage(&Msg, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(Msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(Msg.wParam, 7u);
    Drain();
}

TEST_F(Queue, ARangeFromZeroLeavesOutWhatLiesAboveIt) {
    PostMessage(Form, WM_USER, 1, 0);
    PostMessage(Child, WM_CHAR, 2, 0);
    PostMessage(Form, WM_KEYLAST + 1, 3, 0);
    PostMessage(Form, WM_NULL, 4, 0);
    PostMessage(Form, WM_KEYLAST, 5, 0);
    EXPECT_EQ(TakeAll(0, 0, WM_KEYLAST), (std::vector<WPARAM>{2, 4, 5}));
    EXPECT_EQ(TakeAll(Form, WM_KEYFIRST, WM_KEYLAST), std::vector<WPARAM>{});
    // What the range left out waits, in order, for a filter that takes everything.
    EXPECT_EQ(TakeAll(0, 0, 0), (std::vector<WPARAM>{1, 3}));
}

TEST_F(Queue, AWindowFilterTakesItsOwnAndItsDescendantsOnly) {
    const HWND Sibling = Windows().Create(0, WS_CHILD | WS_VISIBLE, {120, 10, 180, 60}, Form);
    const HWND Grandchild = Windows().Create(0, WS_CHILD | WS_VISIBLE, {5, 5, 20, 20}, Child);
    const HWND Other = Guard(Windows().Create(0, WS_POPUP, {0, 0, 10, 10}));
    const HWND OtherChild = Windows().Create(0, WS_CHILD, {0, 0, 5, 5}, Other);
    Drain();
    PostMessage(Form, WM_USER, 1, 0);
    PostMessage(Sibling, WM_USER, 2, 0);
    PostMessage(OtherChild, WM_USER, 3, 0);
    PostMessage(Grandchild, WM_USER, 4, 0);
    PostMessage(Child, WM_USER, 5, 0);
    PostMessage(Grandchild, WM_USER + 1, 6, 0);
    // A child's filter takes neither its parent's nor its sibling's messages.
    EXPECT_EQ(TakeAll(Child, WM_USER, WM_USER), (std::vector<WPARAM>{4, 5}));
    EXPECT_EQ(TakeAll(Other, 0, 0), std::vector<WPARAM>{3});
    // Descendants at any depth count.
    EXPECT_EQ(TakeAll(Form, 0, 0), (std::vector<WPARAM>{1, 2, 6}));
    EXPECT_EQ(TakeAll(0, 0, 0), std::vector<WPARAM>{});
}

TEST_F(Queue, AModalLoopStartedByAClickRunsEverythingAndHandsTheQuitOut) {
    std::vector<std::string> Seen;
    bool ModalEndedByQuit = false;
    TScript Inside;
    Inside.Then([&] { PostMessage(Child, WM_USER, 7, 0); });
    bool KeySent = false;
    int Depth = 0;
    Windows().Handlers[Child] = [&](HWND, UINT M, WPARAM Wp, LPARAM) -> std::optional<LRESULT> {
        const std::string Where = Depth > 0 ? " in the loop" : " outside";
        switch (M) {
            case WM_LBUTTONDOWN:
                SetFocus(Child);
                Inside.Start();
                ++Depth;
                ModalEndedByQuit = !RunModalLoop([] { return false; });
                --Depth;
                return 0;
            case WM_USER:
                Seen.push_back("posted" + Where);
                // Started only now, the timer cannot tick before the post arrived, however
                // late the machine runs the post's Qt timer.
                if (Depth > 0) SetTimer(Child, 1, 10);
                return 0;
            case WM_TIMER:
                if (Seen.empty() || Seen.back() != "timer" + Where) Seen.push_back("timer" + Where);
                // Once the timer ticked inside the loop, a key ends it.
                if (Depth > 0 && !KeySent) {
                    KeySent = true;
                    QTimer::singleShot(0, [&] { QTest::keyClick(QtWindowOf(Form), Qt::Key_K); });
                }
                return 0;
            case WM_CHAR:
                Seen.push_back(std::string("char ") + static_cast<char>(Wp) + Where);
                PostQuitMessage(5);
                return 0;
            default:
                return std::nullopt;
        }
    };
    TScript Outside;
    Outside.Then([&] { MouseClick(Form, ScreenOf(Child, POINT{5, 5})); });
    Outside.Start();
    // The program's own loop.
    MSG Msg;
    int Rounds = 0;
    while (GetMessage(&Msg, 0, 0, 0) && ++Rounds < 100000) {
        TranslateMessage(&Msg);
        DispatchMessage(&Msg);
    }
    KillTimer(Child, 1);
    EXPECT_EQ(Msg.message, WM_QUIT);
    EXPECT_EQ(Msg.wParam, 5u);
    EXPECT_TRUE(ModalEndedByQuit);
    // The timer ticked while its window's handler ran the loop; posted messages and keys came.
    EXPECT_EQ(Seen, (std::vector<std::string>{"posted in the loop", "timer in the loop",
                                              "char k in the loop"}));
    PumpUntil([&] { return Inside.Done(); }, 5000);
}

}  // namespace
