// The non-client area a custom-framed window gets from DefWindowProc: hit testing, the move and
// size loop driven by real input, caption buttons, and its painting, pixel by pixel.
#include <gtest/gtest.h>

#include <chrono>

#include "tests/support/GuiTestSupport.h"

using namespace GuiTest;

namespace {

constexpr DWORD kForm = WS_OVERLAPPEDWINDOW | WS_VISIBLE;

class NonClient : public testing::Test {
  protected:
    void SetUp() override {
        Drain();
        Form = Guard(Windows().Create(0, kForm, {100, 100, 400, 300}, 0, "Kestro"));
        Drain();
        Windows().Log.clear();
        Frame = GetSystemMetrics(SM_CXFRAME);
        Caption = GetSystemMetrics(SM_CYCAPTION);
    }
    void TearDown() override {
        ReleaseCapture();
        Drain();
    }
    POINT At(int X, int Y) const { return POINT{100 + X, 100 + Y}; }
    RECT Rect() const {
        RECT R;
        GetWindowRect(Form, &R);
        return R;
    }
    TWindowGuard Guard;
    HWND Form = 0;
    int Frame = 0;
    int Caption = 0;
};

TEST_F(NonClient, EveryPartOfTheFrameHasItsHitTestCode) {
    const int W = 300;
    const int H = 200;
    const int Corner = Caption + Frame;
    const int ButtonTop = Frame + 2;
    const int CloseRight = W - Frame - 2;
    const int ButtonWidth = GetSystemMetrics(SM_CXSIZE) - 2;
    struct TCase {
        int X, Y;
        LRESULT Want;
    };
    const TCase Cases[] = {
        {0, 100, HTLEFT},
        {W - 1, 100, HTRIGHT},
        {150, 0, HTTOP},
        {150, H - 1, HTBOTTOM},
        {0, 0, HTTOPLEFT},
        {Corner - 1, 0, HTTOPLEFT},
        {Corner, 0, HTTOP},
        {0, Corner - 1, HTTOPLEFT},
        {W - 1, H - 1, HTBOTTOMRIGHT},
        {0, H - 1, HTBOTTOMLEFT},
        {W - 1, 0, HTTOPRIGHT},
        {50, Frame + 5, HTCAPTION},
        {CloseRight - 1, ButtonTop + 1, HTCLOSE},
        {CloseRight - ButtonWidth - 3, ButtonTop + 1, HTMAXBUTTON},
        {CloseRight - 2 * ButtonWidth - 3, ButtonTop + 1, HTMINBUTTON},
        {Frame, Frame + Caption, HTCLIENT},
        {150, 100, HTCLIENT},
        {W, 100, HTNOWHERE},
    };
    for (const TCase& C : Cases) {
        const POINT P = At(C.X, C.Y);
        EXPECT_EQ(SendMessage(Form, WM_NCHITTEST, 0, MAKELPARAM(P.x, P.y)), C.Want)
            << C.X << "," << C.Y;
    }
    // A frame that cannot be sized is a border everywhere.
    const HWND Dialog = Guard(Windows().Create(
        WS_EX_DLGMODALFRAME, WS_POPUP | WS_CAPTION | WS_SYSMENU, {0, 0, 100, 100}));
    EXPECT_EQ(SendMessage(Dialog, WM_NCHITTEST, 0, MAKELPARAM(0, 50)), HTBORDER);
    EXPECT_EQ(SendMessage(Dialog, WM_NCHITTEST, 0, MAKELPARAM(99, 99)), HTBORDER);
}

TEST_F(NonClient, TheCaptionMovesTheWindowThroughOurLoop) {
    Windows().Recorded = {WM_ENTERSIZEMOVE, WM_MOVING,        WM_EXITSIZEMOVE,
                          WM_MOVE,          WM_NCLBUTTONDOWN, WM_SYSCOMMAND};
    const POINT Grip = At(60, Frame + 5);
    TCuedInput Input(Form);
    Input.On(WM_ENTERSIZEMOVE,
             [&] {
                 MouseMove(Form, POINT{Grip.x + 30, Grip.y + 20});
             })
        .On(WM_MOVE,
            [&] {
                MouseMove(Form, POINT{Grip.x + 50, Grip.y + 40});
            })
        .On(WM_MOVE, [&] {
            MouseRelease(Form, POINT{Grip.x + 50, Grip.y + 40});
        });
    MouseMove(Form, Grip);
    MousePress(Form, Grip);  // the loop runs in here, fed step by step as it moves the window
    EXPECT_TRUE(Input.Done());
    EXPECT_EQ(Rect(), (RECT{150, 140, 450, 340}));
    EXPECT_EQ(GetCapture(), 0u);
    EXPECT_EQ(Windows().MessagesOf(Form),
              (std::vector<UINT>{WM_NCLBUTTONDOWN, WM_SYSCOMMAND, WM_ENTERSIZEMOVE, WM_MOVING,
                                 WM_MOVE, WM_MOVING, WM_MOVE, WM_EXITSIZEMOVE}));
    EXPECT_EQ(Windows().Of(Form, {WM_SYSCOMMAND})[0].WParam, SC_MOVE + HTCAPTION);
    EXPECT_EQ(HostOfWindow(Form)->geometry(), QRect(150, 140, 300, 200));
}

TEST_F(NonClient, TheMoveLoopDeliversThroughTheMessageHook) {
    std::vector<UINT> Hooked;
    Application.MessageHook = [&](MSG& Msg) {
        if (Msg.hwnd == Form && Msg.message >= WM_USER) Hooked.push_back(Msg.message);
        return Msg.message == WM_USER + 1;  // kept
    };
    Windows().Recorded = {WM_USER, WM_USER + 1, WM_EXITSIZEMOVE};
    const POINT Grip = At(60, Frame + 5);
    TCuedInput Input(Form);
    Input
        .On(WM_ENTERSIZEMOVE,
            [&] {
                PostMessage(Form, WM_USER + 1, 0, 0);
                PostMessage(Form, WM_USER, 0, 0);
            })
        .On(WM_USER, [&] { MouseRelease(Form, Grip); });
    MouseMove(Form, Grip);
    MousePress(Form, Grip);  // the move loop runs in here
    Application.MessageHook = nullptr;
    EXPECT_TRUE(Input.Done());
    EXPECT_EQ(Hooked, (std::vector<UINT>{WM_USER + 1, WM_USER}));
    EXPECT_EQ(Windows().MessagesOf(Form), (std::vector<UINT>{WM_USER, WM_EXITSIZEMOVE}));
}

TEST_F(NonClient, AQuitThatComesWithTheReleaseIsLeftForTheLoopOutside) {
    const POINT Close = At(300 - Frame - 4, Frame + 5);
    TCuedInput Input(Form);
    Input.On(WM_NCLBUTTONDOWN, [&] {
        MouseMove(Form, At(150, 100));
        MouseRelease(Form, At(150, 100));
        PostQuitMessage(3);
    });
    TScript Outside;
    Outside.Then([&] {
        MouseMove(Form, Close);
        MousePress(Form, Close);
    });
    Outside.Start();
    // The program's own loop: the button's loop runs inside the press it delivers, and drops
    // the mouse messages the release left; the quit is not one of them.
    MSG Msg{};
    const auto Until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < Until) {
        if (!PeekMessage(&Msg, 0, 0, 0, PM_REMOVE)) {
            Application.WaitForEvent(50);
            continue;
        }
        if (Msg.message == WM_QUIT) break;
        TranslateMessage(&Msg);
        DispatchMessage(&Msg);
    }
    EXPECT_TRUE(Input.Done());
    EXPECT_EQ(Msg.message, WM_QUIT);
    EXPECT_EQ(Msg.wParam, 3u);
    EXPECT_TRUE(IsWindow(Form));
}

TEST_F(NonClient, EdgesSizeTheWindowWithinItsTrackingLimits) {
    Windows().Handlers[Form] = [](HWND, UINT M, WPARAM, LPARAM Lp) -> std::optional<LRESULT> {
        if (M == WM_GETMINMAXINFO)
            reinterpret_cast<MINMAXINFO*>(Lp)->ptMinTrackSize = POINT{250, 150};
        return std::nullopt;
    };
    struct TCase {
        const char* What;
        POINT Grip;  // window coordinates
        POINT Move;
        WPARAM Edge;
        RECT Want;
    };
    const TCase Cases[] = {
        {"right", {299, 100}, {20, 5}, WMSZ_RIGHT, {100, 100, 420, 300}},
        {"bottom", {150, 199}, {5, 15}, WMSZ_BOTTOM, {100, 100, 400, 315}},
        {"top left", {1, 1}, {-10, -20}, WMSZ_TOPLEFT, {90, 80, 400, 300}},
        {"left, stopped at the smallest width", {0, 100}, {80, 0}, WMSZ_LEFT, {150, 100, 400, 300}},
        {"bottom right", {299, 199}, {-10, -10}, WMSZ_BOTTOMRIGHT, {100, 100, 390, 290}},
    };
    for (const TCase& C : Cases) {
        SetWindowPos(Form, 0, 100, 100, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
        Windows().Log.clear();
        const POINT Grip = At(C.Grip.x, C.Grip.y);
        const POINT To{Grip.x + C.Move.x, Grip.y + C.Move.y};
        TCuedInput Input(Form);
        Input.On(WM_ENTERSIZEMOVE, [&] { MouseMove(Form, To); }).On(WM_SIZING, [&] {
            MouseRelease(Form, To);
        });
        MouseMove(Form, Grip);
        MousePress(Form, Grip);
        EXPECT_TRUE(Input.Done()) << C.What;
        EXPECT_EQ(Rect(), C.Want) << C.What;
        const auto Sizing = Windows().Of(Form, {WM_SIZING});
        ASSERT_EQ(Sizing.size(), 1u) << C.What;
        EXPECT_EQ(Sizing[0].WParam, C.Edge) << C.What;
    }
    // Escape puts the window back where it was; the button comes up after the loop ended.
    SetWindowPos(Form, 0, 100, 100, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    Windows().Log.clear();
    const POINT Grip = At(299, 100);
    const POINT To{Grip.x + 40, Grip.y};
    TCuedInput Input(Form);
    Input.On(WM_ENTERSIZEMOVE, [&] { MouseMove(Form, To); }).On(WM_SIZING, [&] {
        QTest::keyClick(QtWindowOf(Form), Qt::Key_Escape);
    });
    MouseMove(Form, Grip);
    MousePress(Form, Grip);
    EXPECT_TRUE(Input.Done());
    EXPECT_EQ(Windows().Of(Form, {WM_SIZING}).size(), 1u);
    MouseRelease(Form, To);
    EXPECT_EQ(Rect(), (RECT{100, 100, 400, 300}));
}

TEST_F(NonClient, CaptionButtonsActOnlyWhenReleasedOverThem) {
    const int ButtonTop = Frame + 2;
    const POINT Close = At(300 - Frame - 4, ButtonTop + 3);
    const POINT Max = At(300 - Frame - 4 - GetSystemMetrics(SM_CXSIZE), ButtonTop + 3);
    // Pressed, moved off and released elsewhere: nothing happens.
    auto Press = [&](POINT Where, std::function<void()> Then) {
        TCuedInput Input(Form);
        Input.On(WM_NCLBUTTONDOWN, std::move(Then));
        MouseMove(Form, Where);
        MousePress(Form, Where);  // the button's loop runs in here
        EXPECT_TRUE(Input.Done());
    };
    Press(Close, [&] {
        MouseMove(Form, At(150, 100));
        MouseRelease(Form, At(150, 100));
    });
    EXPECT_TRUE(IsWindow(Form));
    // The maximize button maximizes, a double click on the caption restores.
    Press(Max, [&] { MouseRelease(Form, Max); });
    EXPECT_TRUE(IsZoomed(Form));
    RECT R;
    GetWindowRect(Form, &R);
    MouseDoubleClick(Form, POINT{R.left + 50, R.top + Frame + 5});
    Drain();
    EXPECT_FALSE(IsZoomed(Form));
    Press(Close, [&] { MouseRelease(Form, Close); });
    EXPECT_FALSE(IsWindow(Form));
    EXPECT_EQ(Windows().Of(Form, {WM_SYSCOMMAND}).back().WParam, SC_CLOSE);
}

// The client area's paint: a solid colour, a colour pattern brush and a monochrome mask blitted
// with DSPDxax (where the mask is 1 the brush shows, elsewhere the destination stays).
constexpr COLORREF kDest = RGB(10, 20, 30);
COLORREF PatternColor(int X, int Y) {
    return ((X >> 1) ^ Y) & 1 ? RGB(200, 40, 40) : RGB(40, 200, 40);
}
bool MaskBit(int X, int Y) {
    return (X * X + Y) % 5 == 0;
}
constexpr RECT kBlit{5, 7, 45, 27};

std::optional<LRESULT> PaintClient(HWND W, UINT M, WPARAM, LPARAM) {
    if (M != WM_PAINT) return std::nullopt;
    PAINTSTRUCT Ps;
    const HDC DC = BeginPaint(W, &Ps);
    RECT Client;
    GetClientRect(W, &Client);
    const HBRUSH Solid = CreateSolidBrush(kDest);
    FillRect(DC, &Client, Solid);
    DeleteObject(Solid);
    const HBITMAP PatternBits = CreateBitmap(8, 8, 1, 32, nullptr);
    const HDC PatternDC = CreateCompatibleDC(DC);
    const HGDIOBJ OldPattern = SelectObject(PatternDC, PatternBits);
    for (int Y = 0; Y < 8; ++Y)
        for (int X = 0; X < 8; ++X) SetPixel(PatternDC, X, Y, PatternColor(X, Y));
    SelectObject(PatternDC, OldPattern);
    DeleteDC(PatternDC);
    const HBRUSH Pattern = CreatePatternBrush(PatternBits);
    const int Width = kBlit.right - kBlit.left;
    const int Height = kBlit.bottom - kBlit.top;
    const HBITMAP MaskBits = CreateBitmap(Width, Height, 1, 1, nullptr);
    const HDC MaskDC = CreateCompatibleDC(DC);
    const HGDIOBJ OldMask = SelectObject(MaskDC, MaskBits);
    for (int Y = 0; Y < Height; ++Y)
        for (int X = 0; X < Width; ++X)
            SetPixel(MaskDC, X, Y, MaskBit(X, Y) ? RGB(255, 255, 255) : RGB(0, 0, 0));
    SetTextColor(DC, RGB(0, 0, 0));
    SetBkColor(DC, RGB(255, 255, 255));
    const HGDIOBJ OldBrush = SelectObject(DC, Pattern);
    BitBlt(DC, kBlit.left, kBlit.top, Width, Height, MaskDC, 0, 0, DSPDxax);
    SelectObject(DC, OldBrush);
    SelectObject(MaskDC, OldMask);
    DeleteDC(MaskDC);
    DeleteObject(MaskBits);
    DeleteObject(Pattern);
    DeleteObject(PatternBits);
    EndPaint(W, &Ps);
    return 0;
}

TEST_F(NonClient, TheWindowIsPaintedPixelByPixel) {
    Windows().Handlers[Form] = PaintClient;
    SetActiveWindow(Form);
    RedrawWindow(Form, nullptr, 0, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    Drain();
    QImage Picture = WindowPicture(Form);
    SaveWindowPicture(Form, PicturePath("custom-frame-active"));
    auto Pixel = [&](int X, int Y) { return Picture.pixel(X, Y) | 0xFF000000u; };
    // The raised frame: light and white top-left, black and grey bottom-right, border colour
    // inside; the caption above the client area.
    EXPECT_EQ(Pixel(0, 50), ColorOf(GetSysColor(COLOR_3DLIGHT)));
    EXPECT_EQ(Pixel(1, 50), ColorOf(GetSysColor(COLOR_3DHILIGHT)));
    EXPECT_EQ(Pixel(299, 50), ColorOf(GetSysColor(COLOR_3DDKSHADOW)));
    EXPECT_EQ(Pixel(298, 50), ColorOf(GetSysColor(COLOR_3DSHADOW)));
    EXPECT_EQ(Pixel(Frame - 1, 50), ColorOf(GetSysColor(COLOR_ACTIVEBORDER)));
    EXPECT_EQ(Pixel(Frame + 1, Frame + Caption - 2), ColorOf(GetSysColor(COLOR_ACTIVECAPTION)));
    EXPECT_EQ(Pixel(Frame + 1, Frame + Caption - 1), ColorOf(GetSysColor(COLOR_BTNFACE)));
    // The caption's text is drawn in the caption text colour somewhere at its left.
    bool Text = false;
    for (int Y = Frame; Y < Frame + Caption - 1; ++Y)
        for (int X = Frame + 2; X < Frame + 60; ++X)
            Text = Text || Pixel(X, Y) == ColorOf(GetSysColor(COLOR_CAPTIONTEXT));
    EXPECT_TRUE(Text);
    // The client area, computed pixel by pixel from its definition.
    const int Left = Frame;
    const int Top = Frame + Caption;
    int Wrong = 0;
    for (int Y = 0; Y < 40; ++Y)
        for (int X = 0; X < 60; ++X) {
            COLORREF Want = kDest;
            const POINT P{X, Y};
            if (PtInRect(&kBlit, P) && MaskBit(X - kBlit.left, Y - kBlit.top))
                Want = PatternColor(X & 7, Y & 7);
            if (Pixel(Left + X, Top + Y) != ColorOf(Want)) ++Wrong;
        }
    EXPECT_EQ(Wrong, 0);
    // Inactive, the caption takes the inactive colours.
    SendMessage(Form, WM_NCACTIVATE, FALSE, 0);
    Picture = WindowPicture(Form);
    SaveWindowPicture(Form, PicturePath("custom-frame-inactive"));
    EXPECT_EQ(Pixel(Frame + 1, Frame + Caption - 2), ColorOf(GetSysColor(COLOR_INACTIVECAPTION)));
    EXPECT_EQ(Pixel(Frame - 1, 50), ColorOf(GetSysColor(COLOR_INACTIVEBORDER)));
}

}  // namespace
