// The standard scroll bars of our windows: the room they take from the client area, their
// ranges and positions, hit testing, the requests a press on them sends (driven by real input
// through our tracking loop) and their look.
#include <gtest/gtest.h>

#include <climits>

#include "platform/core/ScrollBar.h"
#include "tests/support/GuiTestSupport.h"

using namespace GuiTest;

namespace {

constexpr int kBar = 16;

SIZE ClientSize(HWND Wnd) {
    RECT R;
    GetClientRect(Wnd, &R);
    return SIZE{R.right, R.bottom};
}

int SetInfo(HWND Wnd, int Bar, UINT Mask, int Min, int Max, UINT Page, int Pos = 0) {
    SCROLLINFO Info;
    Info.fMask = Mask;
    Info.nMin = Min;
    Info.nMax = Max;
    Info.nPage = Page;
    Info.nPos = Pos;
    return SetScrollInfo(Wnd, Bar, &Info, TRUE);
}

SCROLLINFO InfoOf(HWND Wnd, int Bar) {
    SCROLLINFO Info;
    Info.fMask = SIF_ALL;
    EXPECT_TRUE(GetScrollInfo(Wnd, Bar, &Info));
    return Info;
}

class ScrollBars : public testing::Test {
  protected:
    void SetUp() override { Drain(); }
    void TearDown() override {
        ReleaseCapture();
        Drain();
    }
    TWindowGuard Guard;
};

TEST_F(ScrollBars, TheClientAreaShrinksAndGrowsWithTheBars) {
    // A client edge of 2 around 196 x 146; the bars lie inside it.
    const HWND Wnd =
        Guard(Windows().Create(WS_EX_CLIENTEDGE, WS_POPUP | WS_VISIBLE, {100, 100, 300, 250}));
    Drain();
    Windows().Recorded = {WM_SIZE};
    struct TStep {
        const char* What;
        std::function<void()> Do;
        bool Vertical, Horizontal;
        SIZE Client;
    };
    const TStep Steps[] = {
        {"a range shows the vertical bar",
         [&] { SetScrollRange(Wnd, SB_VERT, 0, 100, TRUE); },
         true,
         false,
         {196 - kBar, 146}},
        {"a range larger than the page shows the horizontal one",
         [&] { SetInfo(Wnd, SB_HORZ, SIF_RANGE | SIF_PAGE, 0, 99, 50); },
         true,
         true,
         {196 - kBar, 146 - kBar}},
        {"a page that holds the whole range hides the bar",
         [&] { SetInfo(Wnd, SB_VERT, SIF_PAGE, 0, 0, 101); },
         false,
         true,
         {196, 146 - kBar}},
        {"unless it is to be disabled instead",
         [&] { SetInfo(Wnd, SB_VERT, SIF_PAGE | SIF_DISABLENOSCROLL, 0, 0, 101); },
         true,
         true,
         {196 - kBar, 146 - kBar}},
        {"an empty range hides it",
         [&] { SetScrollRange(Wnd, SB_HORZ, 5, 5, TRUE); },
         true,
         false,
         {196 - kBar, 146}},
        {"a page one short of the range scrolls one step",
         [&] { SetInfo(Wnd, SB_HORZ, SIF_RANGE | SIF_PAGE, 0, 9, 9); },
         true,
         true,
         {196 - kBar, 146 - kBar}},
        {"ShowScrollBar hides both whatever their ranges",
         [&] { ShowScrollBar(Wnd, SB_BOTH, FALSE); },
         false,
         false,
         {196, 146}},
        {"and shows one",
         [&] { ShowScrollBar(Wnd, SB_HORZ, TRUE); },
         false,
         true,
         {196, 146 - kBar}},
    };
    for (const TStep& S : Steps) {
        Windows().Log.clear();
        S.Do();
        const auto Style = static_cast<DWORD>(GetWindowLongPtr(Wnd, GWL_STYLE));
        EXPECT_EQ((Style & WS_VSCROLL) != 0, S.Vertical) << S.What;
        EXPECT_EQ((Style & WS_HSCROLL) != 0, S.Horizontal) << S.What;
        EXPECT_EQ(ClientSize(Wnd), S.Client) << S.What;
        const auto Sizes = Windows().Of(Wnd, {WM_SIZE});
        ASSERT_FALSE(Sizes.empty()) << S.What;
        EXPECT_EQ(Sizes.back().LParam, MAKELPARAM(WORD(S.Client.cx), WORD(S.Client.cy))) << S.What;
    }
    // A window made with a bar has it from the start, with the range 0 to 100.
    const HWND Made =
        Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE | WS_HSCROLL, {300, 100, 400, 200}));
    EXPECT_EQ(ClientSize(Made), (SIZE{100, 100 - kBar}));
    const SCROLLINFO Info = InfoOf(Made, SB_HORZ);
    EXPECT_EQ(Info.nMin, 0);
    EXPECT_EQ(Info.nMax, 100);
}

TEST_F(ScrollBars, PositionsStayWithinTheRangeLessThePage) {
    const HWND Wnd = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {100, 100, 300, 250}));
    struct TCase {
        int Min, Max;
        UINT Page;
        int Pos;
        int WantPos;
        UINT WantPage;
    };
    const TCase Cases[] = {
        {0, 100, 0, 150, 100, 0},
        {0, 100, 10, 95, 91, 10},
        {0, 100, 10, -5, 0, 10},
        {10, 20, 0, 5, 10, 0},
        {0, 100, 200, 50, 0, 101},  // the page never exceeds the range
        {-50, 50, 1, -60, -50, 1},
        {20, 10, 0, 15, 20, 0},  // a maximum below the minimum is the minimum
        {INT_MIN, INT_MAX, 0, INT_MAX, INT_MAX, 0},
        {INT_MIN, INT_MAX, 0x7FFFFFFF, INT_MAX, 1, 0x7FFFFFFF},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(testing::Message() << C.Min << ".." << C.Max << " page " << C.Page);
        EXPECT_EQ(SetInfo(Wnd, SB_VERT, SIF_ALL, C.Min, C.Max, C.Page, C.Pos), C.WantPos);
        const SCROLLINFO Info = InfoOf(Wnd, SB_VERT);
        EXPECT_EQ(Info.nPos, C.WantPos);
        EXPECT_EQ(Info.nTrackPos, C.WantPos);
        EXPECT_EQ(Info.nPage, C.WantPage);
    }
    SetInfo(Wnd, SB_VERT, SIF_ALL, 0, 100, 10, 30);
    EXPECT_EQ(SetScrollPos(Wnd, SB_VERT, 500, TRUE), 30);
    EXPECT_EQ(GetScrollPos(Wnd, SB_VERT), 91);
    // A smaller range pulls the position in.
    SetScrollRange(Wnd, SB_VERT, 0, 50, TRUE);
    int Min = -1;
    int Max = -1;
    EXPECT_TRUE(GetScrollRange(Wnd, SB_VERT, &Min, &Max));
    EXPECT_EQ(Max, 50);
    EXPECT_EQ(GetScrollPos(Wnd, SB_VERT), 41);
    // The flat scroll bar functions work on the same bars.
    EXPECT_TRUE(InitializeFlatSB(Wnd));
    EXPECT_TRUE(FlatSB_SetScrollProp(Wnd, WSB_PROP_VSTYLE, FSB_FLAT_MODE, TRUE));
    EXPECT_EQ(FlatSB_SetScrollPos(Wnd, SB_VERT, 7, TRUE), 41);
    EXPECT_EQ(GetScrollPos(Wnd, SB_VERT), 7);
    SCROLLINFO Flat;
    Flat.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    Flat.nMax = 1000;
    Flat.nPage = 100;
    Flat.nPos = 950;
    EXPECT_EQ(FlatSB_SetScrollInfo(Wnd, SB_HORZ, &Flat, TRUE), 901);
    EXPECT_EQ(FlatSB_GetScrollPos(Wnd, SB_HORZ), 901);
    SCROLLINFO Back;
    Back.fMask = SIF_PAGE;
    EXPECT_TRUE(FlatSB_GetScrollInfo(Wnd, SB_HORZ, &Back));
    EXPECT_EQ(Back.nPage, 100u);
    // Bad arguments change nothing.
    EXPECT_EQ(SetInfo(Wnd, 7, SIF_ALL, 0, 10, 0, 5), 0);
    EXPECT_EQ(SetScrollInfo(Wnd, SB_VERT, nullptr, TRUE), 0);
    EXPECT_FALSE(GetScrollInfo(0xDEAD, SB_VERT, &Back));
    EXPECT_FALSE(ShowScrollBar(Wnd, 9, TRUE));
    const HWND Plain = Guard(Windows().Create(0, WS_POPUP, {0, 0, 10, 10}));
    EXPECT_FALSE(GetScrollInfo(Plain, SB_VERT, &Back));
}

TEST_F(ScrollBars, TheBarsAndTheirCornerHaveHitTestCodes) {
    // Frame 4, caption 19: the client area runs from (4, 23) to (280, 180) with both bars.
    const HWND Form =
        Guard(Windows().Create(0, WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 400, 300}));
    SetScrollRange(Form, SB_VERT, 0, 10, TRUE);
    SetScrollRange(Form, SB_HORZ, 0, 10, TRUE);
    const HWND Dialog = Guard(
        Windows().Create(0, WS_POPUP | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, {0, 0, 100, 100}));
    struct TCase {
        HWND Wnd;
        POINT Screen;
        LRESULT Want;
    };
    const TCase Cases[] = {
        {Form, {100 + 285, 100 + 50}, HTVSCROLL},
        {Form, {100 + 100, 100 + 185}, HTHSCROLL},
        {Form, {100 + 285, 100 + 185}, HTBOTTOMRIGHT},
        {Form, {100 + 279, 100 + 50}, HTCLIENT},
        {Form, {100 + 100, 100 + 179}, HTCLIENT},
        {Dialog, {90, 90}, HTBORDER},
        {Dialog, {90, 10}, HTVSCROLL},
        {Dialog, {10, 90}, HTHSCROLL},
    };
    for (const TCase& C : Cases)
        EXPECT_EQ(SendMessage(C.Wnd, WM_NCHITTEST, 0, MAKELPARAM(C.Screen.x, C.Screen.y)), C.Want)
            << C.Screen.x << "," << C.Screen.y;
}

// A window that scrolls as programs do: it moves its bar's position by what each request asks.
struct TScrolled {
    struct TRequest {
        WORD Code;
        int Pos;
        bool operator==(const TRequest&) const = default;
    };
    std::vector<TRequest> Requests;
    // The 32-bit position GetScrollInfo gave for the last thumb request.
    int TrackPos = 0;

    void Attach(HWND Wnd) {
        Windows().Handlers[Wnd] = [this](HWND W, UINT M, WPARAM Wp,
                                         LPARAM) -> std::optional<LRESULT> {
            if (M != WM_VSCROLL && M != WM_HSCROLL) return std::nullopt;
            const int Bar = M == WM_VSCROLL ? SB_VERT : SB_HORZ;
            const WORD Code = LOWORD(Wp);
            Requests.push_back({Code, HIWORD(Wp)});
            const int Pos = GetScrollPos(W, Bar);
            switch (Code) {
                case SB_LINEDOWN:
                    SetScrollPos(W, Bar, Pos + 1, TRUE);
                    break;
                case SB_LINEUP:
                    SetScrollPos(W, Bar, Pos - 1, TRUE);
                    break;
                case SB_PAGEDOWN:
                    SetScrollPos(W, Bar, Pos + 10, TRUE);
                    break;
                case SB_PAGEUP:
                    SetScrollPos(W, Bar, Pos - 10, TRUE);
                    break;
                case SB_THUMBTRACK:
                case SB_THUMBPOSITION: {
                    SCROLLINFO Info;
                    Info.fMask = SIF_TRACKPOS;
                    GetScrollInfo(W, Bar, &Info);
                    TrackPos = Info.nTrackPos;
                    SetScrollPos(W, Bar, Info.nTrackPos, TRUE);
                    break;
                }
                default:
                    break;
            }
            return 0;
        };
    }
    std::vector<WORD> Codes() const {
        std::vector<WORD> Out;
        for (const TRequest& R : Requests) Out.push_back(R.Code);
        return Out;
    }
};

// A window at (100, 100), 150 x 150, with one bar: range 0..99, page 10 (positions 0..90). The
// vertical bar is x 134..150; arrows of 16, a track of 118 and a thumb of 11 (107 pixels of
// travel); the horizontal one likewise across.
class Tracking : public ScrollBars, public testing::WithParamInterface<int> {
  protected:
    void SetUp() override {
        ScrollBars::SetUp();
        Wnd = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {100, 100, 250, 250}));
        SetInfo(Wnd, Bar(), SIF_ALL, 0, 99, 10, 0);
        Scrolled.Attach(Wnd);
        Drain();
    }
    int Bar() const { return GetParam(); }
    // A point on the bar: Along its length (window coordinates), in the middle across.
    POINT On(int Along) const {
        return Bar() == SB_VERT ? POINT{100 + 142, 100 + Along} : POINT{100 + Along, 100 + 142};
    }
    // Presses at From, then runs Steps (each a later turn of the loop), released at the end.
    void Press(POINT From, std::vector<std::function<void()>> Steps, POINT ReleaseAt) {
        TScript Script;
        for (auto& S : Steps) Script.Then(S);
        Script.Then([this, ReleaseAt] { MouseRelease(Wnd, ReleaseAt); });
        MouseMove(Wnd, From);
        Script.Start();
        MousePress(Wnd, From);  // the loop runs in here
        ASSERT_TRUE(PumpUntil([&] { return Script.Done(); }, 10000));
        Drain();
    }
    HWND Wnd = 0;
    TScrolled Scrolled;
};

// Under load a held press may repeat before its release: every request before the end is the
// press's own.
void ExpectRequests(const std::vector<WORD>& Codes, WORD Want) {
    ASSERT_GE(Codes.size(), 2u);
    EXPECT_EQ(Codes.back(), SB_ENDSCROLL);
    for (size_t I = 0; I + 1 < Codes.size(); ++I) EXPECT_EQ(Codes[I], Want) << I;
}

TEST_P(Tracking, ArrowsAndThePageAreasAskForLinesAndPages) {
    Press(On(140), {}, On(140));
    ExpectRequests(Scrolled.Codes(), SB_LINEDOWN);
    const int AfterLines = GetScrollPos(Wnd, Bar());
    EXPECT_EQ(AfterLines, int(Scrolled.Codes().size()) - 1);
    Scrolled.Requests.clear();
    // Far down the track, below the thumb.
    Press(On(120), {}, On(120));
    ExpectRequests(Scrolled.Codes(), SB_PAGEDOWN);
    EXPECT_GE(GetScrollPos(Wnd, Bar()), AfterLines + 10);
    Scrolled.Requests.clear();
    Press(On(5), {}, On(5));
    ExpectRequests(Scrolled.Codes(), SB_LINEUP);
    // A disabled arrow does nothing.
    Scrolled.Requests.clear();
    EnableScrollBar(Wnd, UINT(Bar()), ESB_DISABLE_UP);
    Press(On(5), {}, On(5));
    EXPECT_TRUE(Scrolled.Requests.empty());
    EXPECT_EQ(GetCapture(), 0u);
}

TEST_P(Tracking, TheThumbIsDraggedToEveryPositionOnTheWay) {
    // The thumb lies at 16..27; grabbed at 20, it moves 53 pixels (45 of 90) and then past the
    // end of its travel; released off the bar, where the drag ended.
    const POINT Grab = On(20);
    const POINT Half = On(73);
    const POINT Past =
        Bar() == SB_VERT ? POINT{Half.x - 30, 100 + 145} : POINT{100 + 145, Half.y - 30};
    {
        // Each move comes once the bar answered the one before: two moves that wait in the queue
        // together are one move (on a busy machine a timed step may come inside the one before).
        const UINT Scrolls = Bar() == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
        TCuedInput Input(Wnd);
        Input.On(WM_NCLBUTTONDOWN, [&] { MouseMove(Wnd, Half); })
            .On(Scrolls, [&] { MouseMove(Wnd, Past); })
            .On(Scrolls, [&] { MouseRelease(Wnd, Past); });
        MouseMove(Wnd, Grab);
        MousePress(Wnd, Grab);  // the loop runs in here, fed step by step as it answers
        ASSERT_TRUE(PumpUntil([&] { return Input.Done(); }, 10000));
        Drain();
    }
    using R = TScrolled::TRequest;
    EXPECT_EQ(
        Scrolled.Requests,
        (std::vector<R>{
            {SB_THUMBTRACK, 45}, {SB_THUMBTRACK, 90}, {SB_THUMBPOSITION, 90}, {SB_ENDSCROLL, 0}}));
    EXPECT_EQ(GetScrollPos(Wnd, Bar()), 90);
    EXPECT_EQ(InfoOf(Wnd, Bar()).nTrackPos, 90);
    // A press on the thumb that does not move it asks for nothing but the end.
    Scrolled.Requests.clear();
    SetScrollPos(Wnd, Bar(), 0, TRUE);
    Press(Grab, {}, Grab);
    EXPECT_EQ(Scrolled.Requests, (std::vector<R>{{SB_THUMBPOSITION, 0}, {SB_ENDSCROLL, 0}}));
}

TEST_P(Tracking, PositionsBeyondSixteenBitsComeThroughTheTrackPosition) {
    SetInfo(Wnd, Bar(), SIF_ALL, 0, 1000000, 0, 0);
    // A thumb of 16 leaves 102 pixels for a million positions; its end goes to the last one.
    const POINT Grab = On(20);
    const POINT End = On(140);
    Press(Grab, {[&] { MouseMove(Wnd, End); }}, End);
    ASSERT_EQ(Scrolled.Codes(), (std::vector<WORD>{SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL}));
    EXPECT_EQ(Scrolled.TrackPos, 1000000);
    EXPECT_EQ(Scrolled.Requests[0].Pos, 1000000 & 0xFFFF);
    EXPECT_EQ(GetScrollPos(Wnd, Bar()), 1000000);
}

TEST_P(Tracking, AHeldArrowRepeatsUntilReleased) {
    // The release waits until the timer has repeated the request twice.
    bool Repeated = false;
    QObject Context;  // pending checks go with the test
    std::function<void()> Wait = [&] {
        if (Scrolled.Requests.size() >= 3) {
            Repeated = true;
            MouseRelease(Wnd, On(140));
            return;
        }
        QTimer::singleShot(5, &Context, [&] { Wait(); });
    };
    MouseMove(Wnd, On(140));
    QTimer::singleShot(1, &Context, [&] { Wait(); });
    MousePress(Wnd, On(140));
    ASSERT_TRUE(PumpUntil([&] { return Repeated; }, 10000));
    Drain();
    ExpectRequests(Scrolled.Codes(), SB_LINEDOWN);
    EXPECT_GE(Scrolled.Requests.size(), 4u);
    EXPECT_EQ(GetCapture(), 0u);
}

TEST_P(Tracking, AWindowDestroyedByItsScrollHandlerEndsTheLoop) {
    Windows().Handlers[Wnd] = [](HWND W, UINT M, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (M == WM_VSCROLL || M == WM_HSCROLL) DestroyWindow(W);
        return std::nullopt;
    };
    // The button comes up over another window: this one is gone by then.
    const HWND Other = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {300, 100, 400, 200}));
    MouseMove(Wnd, On(140));
    TScript Script;
    Script.Then([&] { MouseRelease(Other, POINT{350, 150}); });
    Script.Start();
    MousePress(Wnd, On(140));
    PumpUntil([&] { return Script.Done(); }, 10000);
    EXPECT_FALSE(IsWindow(Wnd));
    EXPECT_EQ(GetCapture(), 0u);
}

TEST_P(Tracking, AWindowThatHeldTheCaptureKeepsIt) {
    // As a dropped-down list does: with the capture, a press on the bar comes as a client press,
    // which the window passes on as a press on the bar.
    const THandler Scrolls = Windows().Handlers[Wnd];
    Windows().Handlers[Wnd] = [Scrolls](HWND W, UINT M, WPARAM Wp,
                                        LPARAM Lp) -> std::optional<LRESULT> {
        if (M != WM_LBUTTONDOWN) return Scrolls(W, M, Wp, Lp);
        POINT P{GET_X_LPARAM(Lp), GET_Y_LPARAM(Lp)};
        ClientToScreen(W, &P);
        const LPARAM Screen = MAKELPARAM(WORD(P.x), WORD(P.y));
        const LRESULT Hit = SendMessage(W, WM_NCHITTEST, 0, Screen);
        if (Hit == HTVSCROLL || Hit == HTHSCROLL)
            DefWindowProc(W, WM_NCLBUTTONDOWN, WPARAM(Hit), Screen);
        return 0;
    };
    SetCapture(Wnd);
    Windows().Log.clear();
    Press(On(140), {}, On(140));
    ExpectRequests(Scrolled.Codes(), SB_LINEDOWN);
    EXPECT_EQ(GetCapture(), Wnd);
    EXPECT_TRUE(Windows().Of(Wnd, {WM_CAPTURECHANGED}).empty());
}

INSTANTIATE_TEST_SUITE_P(Bars, Tracking, testing::Values(SB_VERT, SB_HORZ),
                         [](const testing::TestParamInfo<int>& I) {
                             return I.param == SB_VERT ? "Vertical" : "Horizontal";
                         });

TEST_F(ScrollBars, ABarLooksClassic) {
    const HWND Form = Guard(Windows().Create(WS_EX_CLIENTEDGE, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                             {100, 100, 400, 300}, 0, "Scroll bars"));
    SetInfo(Form, SB_VERT, SIF_ALL, 0, 99, 20, 40);
    SetInfo(Form, SB_HORZ, SIF_ALL, 0, 99, 50, 0);
    const HWND Disabled = Guard(
        Windows().Create(WS_EX_CLIENTEDGE, WS_POPUP | WS_VISIBLE, {420, 100, 520, 300}, 0, ""));
    SetInfo(Disabled, SB_VERT, SIF_ALL | SIF_DISABLENOSCROLL, 0, 9, 10, 0);
    RedrawWindow(Form, nullptr, 0, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    Drain();
    ASSERT_TRUE(SaveWindowPicture(Form, PicturePath("scroll-bars")));
    ASSERT_TRUE(SaveWindowPicture(Disabled, PicturePath("scroll-bar-disabled")));
    // Frame 4 + edge 2, caption 19: the client area is (6, 25)..(278, 178); the vertical bar
    // runs down x 278..294, the horizontal one across y 178..194.
    const QRgb Face = ColorOf(GetSysColor(COLOR_BTNFACE));
    const QRgb White = ColorOf(GetSysColor(COLOR_BTNHIGHLIGHT));
    const QRgb Black = ColorOf(GetSysColor(COLOR_BTNTEXT));
    // The corner square, the track's dither and the up arrow's glyph.
    EXPECT_EQ(PixelAt(Form, 285, 185), Face);
    const QRgb A = PixelAt(Form, 285, 45);
    const QRgb B = PixelAt(Form, 286, 45);
    EXPECT_NE(A, B);
    EXPECT_TRUE((A == White && B == Face) || (A == Face && B == White));
    bool Glyph = false;
    for (int Y = 25; Y < 41; ++Y)
        for (int X = 278; X < 294; ++X) Glyph = Glyph || PixelAt(Form, X, Y) == Black;
    EXPECT_TRUE(Glyph);
    // The thumb at 40 of 80 in a track of 121 - 16: a raised face from y 41 + 40 * 97 / 80.
    const int ThumbTop = 41 + 40 * (121 - 24) / 80;
    EXPECT_EQ(PixelAt(Form, 280, ThumbTop + 5), Face);
    EXPECT_EQ(PixelAt(Form, 279, ThumbTop + 5), White);
    // The sunken client edge goes around the bars as well.
    EXPECT_EQ(PixelAt(Form, 294, 100), ColorOf(GetSysColor(COLOR_3DLIGHT)));
    EXPECT_EQ(PixelAt(Form, 295, 100), ColorOf(GetSysColor(COLOR_BTNHIGHLIGHT)));
    // A disabled bar has no thumb: its track is dithered all along (no two face pixels meet).
    bool Thumb = false;
    for (int Y = 18; Y < 181; ++Y)
        Thumb = Thumb || (PixelAt(Disabled, 86, Y) == Face && PixelAt(Disabled, 86, Y + 1) == Face);
    EXPECT_FALSE(Thumb);
}

TEST_F(ScrollBars, ABarIsDrawnAgainOnlyWhenItLooksDifferent) {
    // The vertical bar runs down x 134..150: arrows of 16, a track of 118.
    const HWND Wnd = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {100, 100, 250, 250}));
    SetInfo(Wnd, SB_VERT, SIF_ALL, 0, 999, 100, 0);
    Drain();
    const HBRUSH Red = CreateSolidBrush(RGB(255, 0, 0));
    const HDC DC = GetWindowDC(Wnd);
    const RECT Bar{134, 0, 150, 150};
    FillRect(DC, &Bar, Red);
    ReleaseDC(Wnd, DC);
    DeleteObject(Red);
    const QRgb Marked = ColorOf(RGB(255, 0, 0));
    // One more position leaves the thumb of 11 where it was.
    SetInfo(Wnd, SB_VERT, SIF_RANGE, 0, 1000, 0);
    SetScrollPos(Wnd, SB_VERT, 0, TRUE);
    EXPECT_EQ(PixelAt(Wnd, 142, 8), Marked);
    EXPECT_EQ(PixelAt(Wnd, 142, 70), Marked);
    // A thumb that moves draws the bar again.
    SetScrollPos(Wnd, SB_VERT, 450, TRUE);
    EXPECT_NE(PixelAt(Wnd, 142, 8), Marked);
    EXPECT_NE(PixelAt(Wnd, 142, 70), Marked);
}

}  // namespace
