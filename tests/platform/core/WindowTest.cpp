// Windows: creation and destruction, the tree, window procedures and subclassing, longs, text,
// coordinates, position, showing and the hosts behind top-level windows.
#include <gtest/gtest.h>

#include <QEvent>
#include <QWidget>
#include <cstring>

#include "platform/core/Screens.h"
#include "tests/support/GuiTestSupport.h"

using namespace GuiTest;

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kForm = WS_OVERLAPPEDWINDOW;

class Windows_ : public testing::Test {
  protected:
    void SetUp() override { Windows().Log.clear(); }
    TWindowGuard Guard;
};

using WindowLife = Windows_;

TEST_F(WindowLife, CreationSendsItsMessagesInOrderAndPassesTheCreateParameters) {
    const HWND Parent = Guard(Windows().Create(0, kForm, {10, 10, 310, 210}));
    int Param = 7;
    void* SeenParam = nullptr;
    std::string SeenName;
    Windows().Log.clear();
    WNDCLASS Class;
    Class.lpfnWndProc = [](HWND W, UINT M, WPARAM Wp, LPARAM Lp) -> LRESULT {
        if (M == WM_NCCREATE) {
            auto* Create = reinterpret_cast<CREATESTRUCT*>(Lp);
            SetWindowLongPtr(W, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(Create->lpCreateParams));
        }
        Windows().Log.push_back({W, M, Wp, Lp});
        return DefWindowProc(W, M, Wp, Lp);
    };
    Class.lpszClassName = "CreateOrderWindow";
    ASSERT_NE(RegisterClass(&Class), 0);
    const HWND Child = Guard(CreateWindowEx(0, "createorderwindow", "Name", kChild, 5, 6, 50, 40,
                                            Parent, 42, 0, &Param));
    ASSERT_NE(Child, 0u);
    EXPECT_EQ(Windows().MessagesOf(Child),
              (std::vector<UINT>{WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE,
                                 WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED}));
    SeenParam = reinterpret_cast<void*>(GetWindowLongPtr(Child, GWLP_USERDATA));
    SeenName = GetWindowText(Child);
    EXPECT_EQ(SeenParam, &Param);
    EXPECT_EQ(SeenName, "Name");
    EXPECT_EQ(GetWindowLongPtr(Child, GWLP_ID), 42);
    const auto Notify = Windows().Of(Parent, {WM_PARENTNOTIFY});
    ASSERT_EQ(Notify.size(), 1u);
    EXPECT_EQ(Notify[0].WParam, MAKEWPARAM(WM_CREATE, 42));
    EXPECT_EQ(static_cast<HWND>(Notify[0].LParam), Child);
    UnregisterClass("CreateOrderWindow", 0);
}

TEST_F(WindowLife, AWindowThatRefusesToBeCreatedIsGoneAndSaysSo) {
    struct TCase {
        UINT RefusedAt;
        std::vector<UINT> Seen;
    };
    const TCase Cases[] = {
        {WM_NCCREATE, {WM_NCCREATE, WM_NCDESTROY}},
        {WM_CREATE, {WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}},
    };
    static UINT RefuseAt = 0;
    WNDCLASS Class;
    Class.lpfnWndProc = [](HWND W, UINT M, WPARAM Wp, LPARAM Lp) -> LRESULT {
        Windows().Log.push_back({W, M, Wp, Lp});
        if (M == RefuseAt) return M == WM_CREATE ? -1 : FALSE;
        return DefWindowProc(W, M, Wp, Lp);
    };
    Class.lpszClassName = "RefusingWindow";
    ASSERT_NE(RegisterClass(&Class), 0);
    for (const TCase& C : Cases) {
        Windows().Log.clear();
        RefuseAt = C.RefusedAt;
        EXPECT_EQ(CreateWindowEx(0, "RefusingWindow", "", WS_POPUP, 0, 0, 10, 10, 0, 0, 0, nullptr),
                  0u);
        ASSERT_FALSE(Windows().Log.empty());
        const HWND Made = Windows().Log.front().Wnd;
        EXPECT_EQ(Windows().MessagesOf(Made), C.Seen);
        EXPECT_FALSE(IsWindow(Made));
    }
    EXPECT_EQ(CreateWindowEx(0, "NoSuchClass", "", WS_POPUP, 0, 0, 10, 10, 0, 0, 0, nullptr), 0u);
    EXPECT_EQ(CreateWindowEx(0, Windows().kClassName, "", WS_CHILD, 0, 0, 10, 10, 0, 0, 0, nullptr),
              0u);
    UnregisterClass("RefusingWindow", 0);
}

TEST_F(WindowLife, DestructionTakesOwnedWindowsFirstThenTheTreeInOrder) {
    const HWND Form = Windows().Create(0, kForm, {0, 0, 300, 200});
    const HWND Child = Windows().Create(0, kChild, {0, 0, 50, 50}, Form);
    const HWND Grandchild = Windows().Create(0, kChild, {0, 0, 10, 10}, Child);
    const HWND Owned = Windows().Create(WS_EX_TOOLWINDOW, WS_POPUP, {0, 0, 30, 30}, Form);
    Windows().Recorded = {WM_DESTROY, WM_NCDESTROY};
    Windows().Log.clear();
    ASSERT_TRUE(DestroyWindow(Form));
    const std::vector<TRecorded> Expected = {
        {Owned, WM_DESTROY, 0, 0},      {Owned, WM_NCDESTROY, 0, 0},
        {Form, WM_DESTROY, 0, 0},       {Child, WM_DESTROY, 0, 0},
        {Grandchild, WM_DESTROY, 0, 0}, {Grandchild, WM_NCDESTROY, 0, 0},
        {Child, WM_NCDESTROY, 0, 0},    {Form, WM_NCDESTROY, 0, 0},
    };
    EXPECT_EQ(Windows().Log, Expected);
    for (HWND H : {Form, Child, Grandchild, Owned}) EXPECT_FALSE(IsWindow(H));
    Windows().Recorded.clear();
}

TEST_F(WindowLife, AWindowDestroyedByItsOwnHandlerLetsTheHandlerFinish) {
    const HWND Form = Guard(Windows().Create(0, kForm, {0, 0, 200, 100}));
    std::string After;
    Windows().Handlers[Form] = [&](HWND W, UINT M, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (M != WM_USER) return std::nullopt;
        EXPECT_TRUE(DestroyWindow(W));
        // The window is gone for everyone, the handler's own state is not.
        After = "finished, window " + std::to_string(IsWindow(W));
        EXPECT_EQ(GetWindowLongPtr(W, GWLP_USERDATA), 0);
        return 5;
    };
    EXPECT_EQ(SendMessage(Form, WM_USER, 0, 0), 5);
    EXPECT_EQ(After, "finished, window 0");
    EXPECT_EQ(SendMessage(Form, WM_USER, 0, 0), 0);
}

using Procedures = Windows_;

TEST_F(Procedures, OneClassProcedureServesManyWindowsAndSubclassingReplacesItWhileItRuns) {
    const HWND A = Guard(Windows().Create(0, WS_POPUP, {0, 0, 10, 10}));
    const HWND B = Guard(Windows().Create(0, WS_POPUP, {0, 0, 10, 10}));
    Windows().Log.clear();
    SendMessage(A, WM_USER + 1, 1, 0);
    SendMessage(B, WM_USER + 1, 2, 0);
    EXPECT_EQ(Windows().Log,
              (std::vector<TRecorded>{{A, WM_USER + 1, 1, 0}, {B, WM_USER + 1, 2, 0}}));

    // The running procedure installs its successor; the next message goes there.
    static WNDPROC Previous = nullptr;
    static std::vector<std::string> Trace;
    Trace.clear();
    WNDPROC Replacement = [](HWND W, UINT M, WPARAM Wp, LPARAM Lp) -> LRESULT {
        if (M == WM_USER + 2) Trace.push_back("replacement");
        return CallWindowProc(Previous, W, M, Wp, Lp);
    };
    Windows().Handlers[A] = [&](HWND W, UINT M, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (M != WM_USER + 2) return std::nullopt;
        Trace.push_back("class");
        if (!Previous)
            Previous = reinterpret_cast<WNDPROC>(
                SetWindowLongPtr(W, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Replacement)));
        Trace.push_back("class finishes");
        return 0;
    };
    SendMessage(A, WM_USER + 2, 0, 0);
    SendMessage(A, WM_USER + 2, 0, 0);
    EXPECT_EQ(Trace, (std::vector<std::string>{"class", "class finishes", "replacement", "class",
                                               "class finishes"}));
    // Restoring puts the class procedure back; B was never touched.
    SetWindowLongPtr(A, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Previous));
    EXPECT_EQ(GetWindowLongPtr(A, GWLP_WNDPROC), GetWindowLongPtr(B, GWLP_WNDPROC));
    Previous = nullptr;
}

TEST_F(Procedures, ObjectInstancesSubclassAndAnswerSafelyOnceFreed) {
    const HWND A = Guard(Windows().Create(0, WS_POPUP, {0, 0, 10, 10}, 0, "text"));
    std::vector<UINT> Seen;
    WNDPROC Old = nullptr;
    const WNDPROC Instance = MakeObjectInstance([&](TMessage& M) {
        Seen.push_back(M.Msg);
        M.Result = M.Msg == WM_USER ? 99 : CallWindowProc(Old, A, M.Msg, M.WParam, M.LParam);
    });
    Old = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(A, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Instance)));
    EXPECT_EQ(SendMessage(A, WM_USER, 0, 0), 99);
    EXPECT_EQ(GetWindowText(A), "text");  // passed on to the class procedure
    EXPECT_EQ(Seen.front(), WM_USER);
    // Freed while still installed: the window answers as DefWindowProc would, nothing runs.
    FreeObjectInstance(Instance);
    Seen.clear();
    EXPECT_EQ(SendMessage(A, WM_USER, 0, 0), 0);
    EXPECT_EQ(GetWindowText(A), "text");
    EXPECT_TRUE(Seen.empty());
    SetWindowLongPtr(A, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Old));
}

TEST_F(Procedures, ClassesAreFoundWithoutRegardToCaseAndRegisteredOnce) {
    WNDCLASS Class;
    Class.lpfnWndProc = DefWindowProc;
    Class.lpszClassName = "OnceOnly";
    Class.cbWndExtra = 16;
    ASSERT_NE(RegisterClass(&Class), 0);
    EXPECT_EQ(RegisterClass(&Class), 0);
    Class.lpszClassName = "ONCEONLY";
    EXPECT_EQ(RegisterClass(&Class), 0);
    Class.lpszClassName = "TooMuchExtra";
    Class.cbWndExtra = 1 << 20;
    EXPECT_EQ(RegisterClass(&Class), 0);
    const HWND W = Guard(CreateWindowEx(0, "onceonly", "", WS_POPUP, 0, 0, 1, 1, 0, 0, 0, nullptr));
    EXPECT_EQ(GetClassName(W), "OnceOnly");
    char Short[5];
    EXPECT_EQ(GetClassName(W, Short, sizeof Short), 4);
    EXPECT_STREQ(Short, "Once");
    // Extra bytes: inside they keep what was set, beyond them nothing is read or written.
    EXPECT_EQ(SetWindowLongPtr(W, 8, 1234), 0);
    EXPECT_EQ(GetWindowLongPtr(W, 8), 1234);
    EXPECT_EQ(SetWindowLongPtr(W, 9, 1), 0);
    EXPECT_EQ(GetWindowLongPtr(W, 16), 0);
    EXPECT_EQ(GetWindowLongPtr(W, -100), 0);
    EXPECT_FALSE(UnregisterClass("ONCEONLY", 0));  // a window still uses it
    DestroyWindow(W);
    EXPECT_TRUE(UnregisterClass("ONCEONLY", 0));
}

using Tree = Windows_;

TEST_F(Tree, RelativesAreFoundFromEveryWindow) {
    const HWND Form = Guard(Windows().Create(0, kForm, {0, 0, 300, 200}, 0, "Main"));
    const HWND A = Windows().Create(0, kChild, {0, 0, 50, 50}, Form, "a", 1);
    const HWND B = Windows().Create(0, kChild, {60, 0, 110, 50}, Form, "b", 2);
    const HWND A1 = Windows().Create(0, kChild, {0, 0, 10, 10}, A, "a1", 3);
    const HWND Popup = Guard(Windows().Create(WS_EX_TOOLWINDOW, WS_POPUP, {0, 0, 9, 9}, A1));
    struct TCase {
        HWND Got;
        HWND Want;
    };
    const TCase Cases[] = {
        {GetParent(A1), A},
        {GetParent(Popup), Form},  // a popup's owner is the top-level window of what was given
        {GetAncestor(A1, GA_ROOT), Form},
        {GetAncestor(A1, GA_PARENT), A},
        {GetAncestor(Form, GA_PARENT), GetDesktopWindow()},
        {GetAncestor(Popup, GA_ROOTOWNER), Form},
        {GetWindow(Form, GW_CHILD), B},  // the newest child is on top
        {GetWindow(B, GW_HWNDNEXT), A},
        {GetWindow(A, GW_HWNDPREV), B},
        {GetWindow(A, GW_HWNDNEXT), 0},
        {GetWindow(Popup, GW_OWNER), Form},
        {GetTopWindow(A), A1},
        {FindWindow("kestrotestwindow", "Main"), Form},
        {FindWindow(nullptr, "a"), 0},  // children are not top-level windows
    };
    for (size_t I = 0; I < std::size(Cases); ++I)
        EXPECT_EQ(Cases[I].Got, Cases[I].Want) << "case " << I;
    EXPECT_TRUE(IsChild(Form, A1));
    EXPECT_FALSE(IsChild(A, B));
    EXPECT_FALSE(IsChild(Form, Popup));
    std::vector<HWND> Seen;
    EnumChildWindows(
        Form, [&](HWND H, LPARAM) { return Seen.push_back(H), TRUE; }, 0);
    EXPECT_EQ(Seen, (std::vector<HWND>{B, A, A1}));
}

TEST_F(Tree, SetParentMovesWindowsBetweenParentsButNeverIntoTheirOwnTree) {
    const HWND Form = Guard(Windows().Create(0, kForm, {100, 100, 400, 300}));
    const HWND Dock = Windows().Create(0, kChild, {0, 0, 200, 50}, Form);
    const HWND Bar = Windows().Create(0, kChild, {5, 5, 55, 25}, Dock);
    EXPECT_EQ(SetParent(Dock, Bar), 0u);
    EXPECT_EQ(SetParent(Dock, Dock), 0u);
    EXPECT_EQ(GetParent(Dock), Form);
    // To a top-level window (a floating bar) and back.
    SetWindowLongPtr(Bar, GWL_STYLE, WS_POPUP | WS_CAPTION | WS_VISIBLE);
    SetWindowLongPtr(Bar, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
    EXPECT_EQ(SetParent(Bar, 0), Dock);
    EXPECT_EQ(GetAncestor(Bar, GA_ROOT), Bar);
    ASSERT_NE(HostOfWindow(Bar), nullptr);
    EXPECT_TRUE(HostOfWindow(Bar)->windowFlags() & Qt::Tool);
    SetWindowLongPtr(Bar, GWL_STYLE, WS_CHILD | WS_VISIBLE);
    EXPECT_EQ(SetParent(Bar, Dock), 0u);
    EXPECT_EQ(HostOfWindow(Bar), nullptr);
    EXPECT_TRUE(IsChild(Form, Bar));
}

using Longs = Windows_;

TEST_F(Longs, StylesChangeThroughTheirMessagesAndTheHighBitIsAFlag) {
    const HWND W = Guard(Windows().Create(0, WS_POPUP, {0, 0, 10, 10}));
    Windows().Handlers[W] = [](HWND, UINT M, WPARAM Wp, LPARAM Lp) -> std::optional<LRESULT> {
        // A window may refuse part of a change.
        if (M == WM_STYLECHANGING && Wp == static_cast<WPARAM>(GWL_STYLE))
            reinterpret_cast<STYLESTRUCT*>(Lp)->styleNew &= ~WS_THICKFRAME;
        return std::nullopt;
    };
    Windows().Log.clear();
    SetWindowLong(W, GWL_STYLE, static_cast<LONG>(WS_POPUP | WS_BORDER | WS_THICKFRAME));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLong(W, GWL_STYLE)), WS_POPUP | WS_BORDER);
    EXPECT_EQ(Windows().MessagesOf(W), (std::vector<UINT>{WM_STYLECHANGING, WM_STYLECHANGED}));
    SetWindowLongPtr(W, GWLP_USERDATA, -5);
    EXPECT_EQ(GetWindowLongPtr(W, GWLP_USERDATA), -5);
}

TEST_F(Longs, WindowTextIsBytesAndFitsTheCallersBuffer) {
    const HWND W = Guard(Windows().Create(0, WS_POPUP, {0, 0, 10, 10}));
    const std::string Text =
        "Gr\xFC\xDF"
        "e \x80";
    ASSERT_TRUE(SetWindowText(W, Text));
    EXPECT_EQ(GetWindowText(W), Text);
    EXPECT_EQ(GetWindowTextLength(W), 7);
    char Small[4];
    EXPECT_EQ(GetWindowText(W, Small, sizeof Small), 3);
    EXPECT_EQ(std::string(Small), "Gr\xFC");
    // A window that keeps its text itself answers for it.
    Windows().Handlers[W] = [](HWND, UINT M, WPARAM Wp, LPARAM Lp) -> std::optional<LRESULT> {
        if (M == WM_GETTEXTLENGTH) return 4;
        if (M != WM_GETTEXT) return std::nullopt;
        std::strncpy(reinterpret_cast<char*>(Lp), "mine", Wp);
        return 4;
    };
    EXPECT_EQ(GetWindowText(W), "mine");
}

using Geometry = Windows_;

TEST_F(Geometry, CoordinatesMapThroughFramesAndParents) {
    const HWND Form = Guard(Windows().Create(WS_EX_CLIENTEDGE, kForm, {100, 50, 500, 350}));
    const HWND Child = Windows().Create(0, kChild | WS_BORDER, {10, 20, 110, 90}, Form);
    const HWND Inner = Windows().Create(0, kChild, {3, 4, 23, 24}, Child);
    const int Frame = GetSystemMetrics(SM_CXFRAME);
    const int Edge = GetSystemMetrics(SM_CXEDGE);
    const int Caption = GetSystemMetrics(SM_CYCAPTION);
    RECT R;
    GetClientRect(Form, &R);
    EXPECT_EQ(R, (RECT{0, 0, 400 - 2 * (Frame + Edge), 300 - 2 * (Frame + Edge) - Caption}));
    RECT Adjusted = R;
    AdjustWindowRectEx(&Adjusted, kForm, FALSE, WS_EX_CLIENTEDGE);
    EXPECT_EQ(Adjusted.right - Adjusted.left, 400);
    EXPECT_EQ(Adjusted.bottom - Adjusted.top, 300);

    const POINT FormClient{100 + Frame + Edge, 50 + Frame + Edge + Caption};
    GetWindowRect(Inner, &R);
    // Inner lies in Child's client area, one border pixel in.
    EXPECT_EQ(R, (RECT{FormClient.x + 10 + 1 + 3, FormClient.y + 20 + 1 + 4,
                       FormClient.x + 10 + 1 + 23, FormClient.y + 20 + 1 + 24}));
    POINT P{0, 0};
    ClientToScreen(Inner, &P);
    EXPECT_EQ(P, (POINT{R.left, R.top}));
    ScreenToClient(Form, &P);
    EXPECT_EQ(P, (POINT{14, 25}));
    POINT Pts[2] = {{0, 0}, {5, 5}};
    const int Offset = MapWindowPoints(Inner, Form, Pts, 2);
    EXPECT_EQ(Pts[1], (POINT{19, 30}));
    EXPECT_EQ(LOWORD(static_cast<DWORD>(Offset)), 14);
    EXPECT_EQ(HIWORD(static_cast<DWORD>(Offset)), 25);
}

TEST_F(Geometry, PointsFindTheDeepestVisibleEnabledWindow) {
    const HWND Form = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {0, 0, 300, 200}));
    const HWND Low = Windows().Create(0, kChild, {10, 10, 110, 110}, Form);
    const HWND High = Windows().Create(0, kChild, {60, 60, 160, 160}, Form);  // above Low
    const HWND Hidden = Windows().Create(0, WS_CHILD, {200, 10, 250, 50}, Form);
    const HWND Off = Windows().Create(0, kChild | WS_DISABLED, {200, 100, 250, 150}, Form);
    const HWND Round = Windows().Create(0, kChild, {10, 150, 50, 190}, Form);
    SetWindowRgn(Round, CreateEllipticRgn(0, 0, 40, 40), FALSE);
    const HWND Tip = Guard(Windows().Create(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, WS_POPUP | WS_VISIBLE,
                                            {250, 150, 290, 190}));
    struct TCase {
        POINT Pt;
        HWND Want;
    };
    const TCase Cases[] = {
        {{20, 20}, Low},    {{70, 70}, High},   {{150, 150}, High}, {{220, 20}, Form},
        {{220, 120}, Form}, {{30, 170}, Round}, {{11, 151}, Form},  {{260, 160}, Tip},
        {{299, 199}, Form}, {{300, 200}, 0},    {{-1, 5}, 0},
    };
    for (const TCase& C : Cases)
        EXPECT_EQ(WindowFromPoint(C.Pt), C.Want) << C.Pt.x << "," << C.Pt.y;
    EXPECT_EQ(ChildWindowFromPoint(Form, POINT{220, 20}), Hidden);
    EXPECT_EQ(ChildWindowFromPointEx(Form, POINT{220, 20}, CWP_SKIPINVISIBLE), Form);
    EXPECT_EQ(ChildWindowFromPointEx(Form, POINT{220, 120}, CWP_SKIPDISABLED), Form);
    EXPECT_EQ(ChildWindowFromPoint(Form, POINT{500, 20}), 0u);
    (void)Off;
}

using Positions = Windows_;

TEST_F(Positions, SetWindowPosAsksFirstAndTellsWhatChanged) {
    const HWND Form = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {0, 0, 300, 200}));
    const HWND Child = Windows().Create(0, kChild, {10, 10, 60, 60}, Form);
    Windows().Handlers[Child] = [](HWND, UINT M, WPARAM, LPARAM Lp) -> std::optional<LRESULT> {
        // The window keeps itself 30 pixels high, whatever it is asked.
        if (M == WM_WINDOWPOSCHANGING) reinterpret_cast<WINDOWPOS*>(Lp)->cy = 30;
        return std::nullopt;
    };
    Windows().Recorded = {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_NCCALCSIZE, WM_SIZE,
                          WM_MOVE};
    Windows().Log.clear();
    SetWindowPos(Child, 0, 20, 25, 80, 80, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(Windows().MessagesOf(Child),
              (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_SIZE,
                                 WM_MOVE}));
    const auto Size = Windows().Of(Child, {WM_SIZE});
    EXPECT_EQ(Size[0].LParam, MAKELPARAM(80, 30));
    EXPECT_EQ(Windows().Of(Child, {WM_MOVE})[0].LParam, MAKELPARAM(20, 25));
    // Moving only: no size message; nothing asked: nothing told.
    Windows().Log.clear();
    MoveWindow(Child, 21, 25, 80, 30, TRUE);
    EXPECT_EQ(Windows().MessagesOf(Child),
              (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE}));
}

TEST_F(Positions, ZOrderFollowsInsertAfterAndTheTopmostBandHoldsAbove) {
    const HWND A = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {0, 0, 50, 50}));
    const HWND B = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {0, 0, 50, 50}));
    const HWND T = Guard(
        Windows().Create(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, WS_POPUP | WS_VISIBLE, {0, 0, 50, 50}));
    EXPECT_EQ(WindowFromPoint(POINT{5, 5}), T);
    SetWindowPos(A, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // A ordinary window comes to the top of its band, below the topmost one.
    EXPECT_EQ(GetWindow(T, GW_HWNDNEXT), A);
    SetWindowPos(T, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_FALSE(GetWindowLongPtr(T, GWL_EXSTYLE) & WS_EX_TOPMOST);
    SetWindowPos(T, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(WindowFromPoint(POINT{5, 5}), A);
    SetWindowPos(B, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(WindowFromPoint(POINT{5, 5}), B);
    SetWindowPos(A, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(WindowFromPoint(POINT{5, 5}), B);
}

TEST_F(Positions, ShowingActivatesUnlessToldNotToAndHidingHandsActivationBack) {
    const HWND Owner = Guard(Windows().Create(0, kForm | WS_VISIBLE, {0, 0, 300, 200}));
    const HWND Dialog = Guard(
        Windows().Create(WS_EX_DLGMODALFRAME, WS_POPUP | WS_CAPTION, {50, 50, 200, 150}, Owner));
    const HWND Menu = Guard(
        Windows().Create(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, WS_POPUP, {10, 10, 60, 90}, Owner));
    EXPECT_EQ(GetActiveWindow(), Owner);
    EXPECT_FALSE(ShowWindow(Dialog, SW_SHOWNOACTIVATE));
    EXPECT_EQ(GetActiveWindow(), Owner);
    EXPECT_TRUE(ShowWindow(Dialog, SW_HIDE));
    Windows().Log.clear();
    ShowWindow(Dialog, SW_SHOW);
    EXPECT_EQ(GetActiveWindow(), Dialog);
    const auto Activate = Windows().Of(Dialog, {WM_ACTIVATE});
    ASSERT_EQ(Activate.size(), 1u);
    EXPECT_EQ(LOWORD(Activate[0].WParam), WA_ACTIVE);
    EXPECT_EQ(static_cast<HWND>(Activate[0].LParam), Owner);
    // Menus are shown without activation whatever the command says.
    ShowWindow(Menu, SW_SHOW);
    EXPECT_EQ(GetActiveWindow(), Dialog);
    ShowWindow(Dialog, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), Owner);
}

TEST_F(Positions, TheForegroundWindowIsActiveAndOnTop) {
    const HWND A = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE | WS_CAPTION, {0, 0, 100, 100}));
    const HWND B =
        Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE | WS_CAPTION, {50, 50, 150, 150}));
    EXPECT_EQ(GetForegroundWindow(), B);
    EXPECT_TRUE(SetForegroundWindow(A));
    EXPECT_EQ(GetForegroundWindow(), A);
    EXPECT_EQ(WindowFromPoint(POINT{75, 75}), A);
    // Brought to the top, a top-level window is activated as well.
    EXPECT_TRUE(BringWindowToTop(B));
    EXPECT_EQ(GetActiveWindow(), B);
    EXPECT_EQ(WindowFromPoint(POINT{75, 75}), B);
    // A child only changes its place among its siblings.
    const HWND Low = Windows().Create(0, WS_CHILD | WS_VISIBLE, {0, 0, 40, 40}, B);
    const HWND High = Windows().Create(0, WS_CHILD | WS_VISIBLE, {20, 20, 60, 60}, B);
    EXPECT_EQ(GetTopWindow(B), High);
    BringWindowToTop(Low);
    EXPECT_EQ(GetTopWindow(B), Low);
    EXPECT_EQ(GetActiveWindow(), B);
    SetCursorPos(12, 34);
    POINT Cursor;
    GetCursorPos(&Cursor);
    EXPECT_EQ(Cursor, (POINT{12, 34}));
}

TEST_F(Positions, MinimizeMaximizeAndPlacementRoundTrip) {
    const HWND Form = Guard(Windows().Create(0, kForm | WS_VISIBLE, {40, 30, 340, 230}));
    Windows().Recorded = {WM_SIZE, WM_GETMINMAXINFO};
    ShowWindow(Form, SW_MAXIMIZE);
    EXPECT_TRUE(IsZoomed(Form));
    MONITORINFO Monitor;
    GetMonitorInfo(MonitorFromWindow(Form, MONITOR_DEFAULTTONEAREST), &Monitor);
    RECT Client;
    GetClientRect(Form, &Client);
    RECT Window;
    GetWindowRect(Form, &Window);
    const int Frame = GetSystemMetrics(SM_CXFRAME);
    // The frame lies outside the work area.
    EXPECT_EQ(Window.left, Monitor.rcWork.left - Frame);
    EXPECT_EQ(Window.right, Monitor.rcWork.right + Frame);
    EXPECT_EQ(Windows().Of(Form, {WM_SIZE}).back().WParam, SIZE_MAXIMIZED);
    WINDOWPLACEMENT P;
    GetWindowPlacement(Form, &P);
    EXPECT_EQ(P.showCmd, static_cast<UINT>(SW_SHOWMAXIMIZED));
    EXPECT_EQ(P.rcNormalPosition.right - P.rcNormalPosition.left, 300);
    ShowWindow(Form, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(Form));
    EXPECT_EQ(Windows().Of(Form, {WM_SIZE}).back().WParam, SIZE_MINIMIZED);
    EXPECT_EQ(WindowFromPoint(POINT{100, 100}), 0u);  // a minimized window takes no input
    ShowWindow(Form, SW_RESTORE);                     // back to maximized, as it was before
    EXPECT_TRUE(IsZoomed(Form));
    ShowWindow(Form, SW_RESTORE);
    GetWindowRect(Form, &Window);
    EXPECT_EQ(Window, (RECT{40, 30, 340, 230}));
    EXPECT_EQ(Windows().Of(Form, {WM_SIZE}).back().WParam, SIZE_RESTORED);

    WINDOWPLACEMENT Stored;
    GetWindowPlacement(Form, &Stored);
    Stored.rcNormalPosition = RECT{10, 20, 210, 170};
    Stored.showCmd = SW_SHOWNORMAL;
    SetWindowPlacement(Form, &Stored);
    GetWindowRect(Form, &Window);
    EXPECT_EQ(Window.right - Window.left, 200);
    WINDOWPLACEMENT Again;
    GetWindowPlacement(Form, &Again);
    EXPECT_EQ(Again.rcNormalPosition, Stored.rcNormalPosition);
}

using Hosts = Windows_;

TEST_F(Hosts, TopLevelWindowsGetTheHostTheirStylesAskForAtTheirPlace) {
    struct TCase {
        DWORD ExStyle;
        DWORD Style;
        Qt::WindowType Type;
    };
    const TCase Cases[] = {
        {WS_EX_TOOLWINDOW | WS_EX_TOPMOST, WS_POPUP, Qt::ToolTip},
        {WS_EX_TOPMOST, WS_POPUP | WS_BORDER, Qt::ToolTip},
        {WS_EX_TOOLWINDOW, WS_POPUP | WS_CAPTION, Qt::Tool},
        {0, kForm, Qt::Window},
        {WS_EX_DLGMODALFRAME, WS_POPUP | WS_CAPTION, Qt::Window},
    };
    for (const TCase& C : Cases) {
        const HWND W =
            Guard(Windows().Create(C.ExStyle, C.Style | WS_VISIBLE, {317, 263, 417, 313}));
        THost* Host = HostOfWindow(W);
        ASSERT_NE(Host, nullptr);
        EXPECT_EQ(Host->windowType(), C.Type);
        EXPECT_TRUE(Host->windowFlags() & Qt::FramelessWindowHint);
        EXPECT_TRUE(Host->isVisible());
        EXPECT_EQ(Host->geometry(), QRect(317, 263, 100, 50));
    }
    const HWND Hidden = AllocateHWnd([](TMessage&) {});
    EXPECT_EQ(HostOfWindow(Hidden), nullptr);
    DeallocateHWnd(Hidden);
}

TEST_F(Hosts, TheHostFollowsItsWindowAndGoesWithIt) {
    const HWND W = Windows().Create(0, WS_POPUP | WS_VISIBLE, {0, 0, 100, 100});
    QPointer<THost> Host = HostOfWindow(W);
    ASSERT_TRUE(Host);
    SetWindowPos(W, 0, 10, 20, 200, 50, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(Host->geometry(), QRect(10, 20, 200, 50));
    SetWindowRgn(W, CreateRectRgn(0, 0, 50, 50), TRUE);
    EXPECT_EQ(Host->mask(), QRegion(0, 0, 50, 50));
    ShowWindow(W, SW_HIDE);
    EXPECT_FALSE(Host->isVisible());
    ShowWindow(W, SW_SHOWNA);
    DestroyWindow(W);
    EXPECT_FALSE(Host->isVisible());
    Drain();
    EXPECT_TRUE(Host.isNull());
}

}  // namespace

namespace {

struct TPaintEvents : QObject {
    int Count = 0;
    bool eventFilter(QObject*, QEvent* E) override {
        if (E->type() == QEvent::Paint) ++Count;
        return false;
    }
};

}  // namespace

// A form shown before it was painted is painted by Qt once, after the loop painted it, not first
// with its empty surface; hidden before that, it is painted again when shown.
TEST_F(Hosts, AHostShownBeforeItsFormWasPaintedIsPaintedOnceAfterIt) {
    const HWND Form = Guard(Windows().Create(0, kForm, {100, 100, 300, 200}));
    Guard(Windows().Create(0, kChild, {10, 10, 60, 30}, Form));
    THost* Host = HostOfWindow(Form);
    ASSERT_NE(Host, nullptr);
    TPaintEvents Paints;
    Host->installEventFilter(&Paints);
    ShowWindow(Form, SW_SHOWNA);
    Drain();
    Drain();
    EXPECT_EQ(Paints.Count, 1);
    EXPECT_TRUE(Host->updatesEnabled());
    Host->removeEventFilter(&Paints);

    const HWND Other = Guard(Windows().Create(0, kForm, {100, 100, 300, 200}));
    THost* OtherHost = HostOfWindow(Other);
    ASSERT_NE(OtherHost, nullptr);
    ShowWindow(Other, SW_SHOWNA);
    ShowWindow(Other, SW_HIDE);
    EXPECT_TRUE(OtherHost->updatesEnabled());
    ShowWindow(Other, SW_SHOWNA);
    Drain();
    EXPECT_TRUE(OtherHost->updatesEnabled());

    // A form whose pending paint is validated away before the loop paints it is shown all the
    // same, a moment later.
    const HWND Third = Guard(Windows().Create(0, kForm, {100, 100, 300, 200}));
    THost* ThirdHost = HostOfWindow(Third);
    ASSERT_NE(ThirdHost, nullptr);
    ShowWindow(Third, SW_SHOWNA);
    ValidateRect(Third, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return ThirdHost->updatesEnabled(); }, 5000));
}
