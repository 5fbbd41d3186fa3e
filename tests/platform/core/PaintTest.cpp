// Painting: update regions and WM_PAINT, erasing, clipping of children and siblings, contexts,
// scrolling, window regions, the caret, WM_SETREDRAW and what placing children makes invalid.
#include <gtest/gtest.h>

#include <initializer_list>

#include <QWidget>

#include "platform/core/Wrapping.h"
#include "tests/support/GuiTestSupport.h"

using namespace GuiTest;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// A handler that paints the whole client area in one colour.
THandler Paints(COLORREF Color) {
    return [Color](HWND W, UINT M, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (M != WM_PAINT) return std::nullopt;
        PAINTSTRUCT Ps;
        const HDC DC = BeginPaint(W, &Ps);
        RECT R;
        GetClientRect(W, &R);
        const HBRUSH Brush = CreateSolidBrush(Color);
        FillRect(DC, &R, Brush);
        DeleteObject(Brush);
        EndPaint(W, &Ps);
        return 0;
    };
}

class Painting : public testing::Test {
  protected:
    void SetUp() override {
        Windows().Log.clear();
        Drain();
    }
    TWindowGuard Guard;
};

TEST_F(Painting, InvalidAreasBecomePaintMessagesParentsFirst) {
    const HWND Form = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {0, 0, 200, 100}));
    const HWND A = Windows().Create(0, WS_CHILD | WS_VISIBLE, {10, 10, 60, 60}, Form);
    const HWND B = Windows().Create(0, WS_CHILD | WS_VISIBLE, {100, 10, 150, 60}, Form);
    Drain();
    Windows().Recorded = {WM_PAINT};
    Windows().Log.clear();
    RECT Area{20, 20, 40, 40};
    InvalidateRect(Form, &Area, TRUE);
    Drain();
    // Without WS_CLIPCHILDREN the child under the area is painted again too, after its parent.
    EXPECT_EQ(Windows().Log, (std::vector<TRecorded>{{Form, WM_PAINT, 0, 0}, {A, WM_PAINT, 0, 0}}));
    SetWindowLongPtr(Form, GWL_STYLE, GetWindowLongPtr(Form, GWL_STYLE) | WS_CLIPCHILDREN);
    Windows().Log.clear();
    InvalidateRect(Form, nullptr, TRUE);
    Drain();
    EXPECT_EQ(Windows().Log, (std::vector<TRecorded>{{Form, WM_PAINT, 0, 0}}));
    // The paint area is what was invalid; a procedure that ignores WM_PAINT gets it once.
    RECT Seen{};
    Windows().Handlers[B] = [&](HWND W, UINT M, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (M != WM_PAINT) return std::nullopt;
        RECT Update;
        GetUpdateRect(W, &Update, FALSE);
        Seen = Update;
        return 0;
    };
    Windows().Log.clear();
    RECT Small{5, 6, 7, 8};
    InvalidateRect(B, &Small, FALSE);
    Drain();
    Drain();
    EXPECT_EQ(Seen, Small);
    EXPECT_EQ(Windows().Log.size(), 1u);
}

TEST_F(Painting, PaintingStaysInsideWhatAWindowMayTouch) {
    const HWND Form =
        Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, {0, 0, 200, 100}));
    const HWND Low =
        Windows().Create(0, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, {10, 10, 60, 60}, Form);
    const HWND High = Windows().Create(0, WS_CHILD | WS_VISIBLE, {40, 40, 90, 90}, Form);
    const HWND Round = Windows().Create(0, WS_CHILD | WS_VISIBLE, {120, 10, 180, 70}, Form);
    SetWindowRgn(Round, CreateEllipticRgn(0, 0, 60, 60), FALSE);
    Windows().Handlers[Form] = Paints(kRed);
    Windows().Handlers[Low] = Paints(kGreen);
    Windows().Handlers[High] = Paints(kBlue);
    Windows().Handlers[Round] = Paints(kBlue);
    RedrawWindow(Form, nullptr, 0, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    Drain();
    SaveWindowPicture(Form, PicturePath("clipping"));
    struct TCase {
        int X, Y;
        COLORREF Want;
    };
    const TCase Cases[] = {
        {5, 5, kRed},      // the form around its children
        {20, 20, kGreen},  // the lower sibling
        {50, 50, kBlue},   // the upper sibling wins where they overlap (WS_CLIPSIBLINGS below)
        {85, 85, kBlue},   //
        {150, 40, kBlue},  // inside the round window
        {121, 11, kRed},   // outside its region the form shows
        {179, 69, kRed},
    };
    for (const TCase& C : Cases)
        EXPECT_EQ(PixelAt(Form, C.X, C.Y), ColorOf(C.Want)) << C.X << "," << C.Y;
}

TEST_F(Painting, AWrappedControlShowsOnlyInsideItsAncestorsClientAreas) {
    const HWND Form = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {0, 0, 300, 200}));
    const HWND Frame = Windows().Create(0, WS_CHILD | WS_VISIBLE, {10, 10, 110, 60}, Form);
    // Reaching past the frame's right and bottom edges, as a control anchored in a page that
    // became smaller than it.
    const HWND Control = Windows().Create(0, WS_CHILD | WS_VISIBLE, {50, 20, 150, 70}, Frame);
    QWidget Widget;
    Widget.setAutoFillBackground(true);
    QPalette Red = Widget.palette();
    Red.setColor(QPalette::Window, Qt::red);
    Widget.setPalette(Red);
    AttachWidget(Control, &Widget);
    Drain();
    const QRgb Shown = ColorOf(kRed);
    EXPECT_EQ(PixelAt(Form, 80, 50), Shown);
    EXPECT_NE(PixelAt(Form, 130, 50), Shown);  // right of the frame
    EXPECT_NE(PixelAt(Form, 80, 65), Shown);   // below it
    SaveWindowPicture(Form, PicturePath("wrapped-clipped"));

    // The frame grows: more of the control shows; it moves away: none does.
    SetWindowPos(Frame, 0, 10, 10, 200, 100, SWP_NOZORDER | SWP_NOACTIVATE);
    Drain();
    EXPECT_EQ(PixelAt(Form, 130, 50), Shown);
    EXPECT_EQ(PixelAt(Form, 80, 65), Shown);
    EXPECT_TRUE(Widget.isVisible());
    SetWindowPos(Control, 0, 250, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Drain();
    EXPECT_FALSE(Widget.isVisible());
    SetWindowPos(Control, 0, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Drain();
    EXPECT_TRUE(Widget.isVisible());
    EXPECT_TRUE(Widget.mask().isEmpty());
    AttachWidget(Control, nullptr);
}

TEST_F(Painting, ErasingUsesTheClassBrushAndContextsStartAtTheirOrigin) {
    const HWND Form = Guard(
        Windows().Create(WS_EX_CLIENTEDGE, WS_POPUP | WS_VISIBLE | WS_BORDER, {0, 0, 100, 80}));
    Drain();
    const int In = 1 + GetSystemMetrics(SM_CXEDGE);
    EXPECT_EQ(PixelAt(Form, In + 10, In + 10), ColorOf(GetSysColor(COLOR_BTNFACE)));
    // A client context's (0, 0) is the client area's corner, a window context's the window's.
    HDC DC = GetDC(Form);
    SetPixel(DC, 0, 0, kRed);
    ReleaseDC(Form, DC);
    DC = GetWindowDC(Form);
    SetPixel(DC, 0, 0, kGreen);
    ReleaseDC(Form, DC);
    EXPECT_EQ(PixelAt(Form, In, In), ColorOf(kRed));
    EXPECT_EQ(PixelAt(Form, 0, 0), ColorOf(kGreen));
    // Outside the client area a client context draws nothing.
    DC = GetDC(Form);
    SetPixel(DC, -1, -1, kBlue);
    ReleaseDC(Form, DC);
    EXPECT_NE(PixelAt(Form, In - 1, In - 1), ColorOf(kBlue));
}

TEST_F(Painting, TheScreenIsBlackUntilDrawnOnAndANewWindowShowsTheFaceUntilItPaints) {
    // The screen reads black, also where it is copied to.
    HDC Screen = GetDC(0);
    EXPECT_EQ(GetPixel(Screen, 3, 4), RGB(0, 0, 0));
    const HDC Memory = CreateCompatibleDC(Screen);
    const HBITMAP Bitmap = CreateCompatibleBitmap(Screen, 8, 8);
    const HGDIOBJ Old = SelectObject(Memory, Bitmap);
    SetPixel(Memory, 1, 1, kRed);
    ASSERT_TRUE(BitBlt(Memory, 0, 0, 8, 8, Screen, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(Memory, 1, 1), RGB(0, 0, 0));
    // What is drawn on it stays there.
    SetPixel(Screen, 5, 6, kGreen);
    ReleaseDC(0, Screen);
    Screen = GetDC(0);
    EXPECT_EQ(GetPixel(Screen, 5, 6), kGreen);
    EXPECT_EQ(GetPixel(Screen, 6, 6), RGB(0, 0, 0));
    SetPixel(Screen, 5, 6, RGB(0, 0, 0));
    SelectObject(Memory, Old);
    DeleteObject(Bitmap);
    DeleteDC(Memory);

    // A window that has not painted shows the button face; once shown and painted, its own.
    const HWND Form = Guard(Windows().Create(0, WS_POPUP, {0, 0, 60, 40}));
    EXPECT_EQ(PixelAt(Form, 30, 20), ColorOf(GetSysColor(COLOR_BTNFACE)));
    const HWND Shown = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {0, 0, 60, 40}));
    Drain();
    HDC DC = GetDC(Shown);
    ASSERT_TRUE(BitBlt(DC, 0, 0, 10, 10, Screen, 0, 0, SRCCOPY));
    ReleaseDC(Shown, DC);
    ReleaseDC(0, Screen);
    const QImage Picture = WindowPicture(Shown);
    EXPECT_EQ(Picture.pixel(2, 2), qRgb(0, 0, 0));
    EXPECT_EQ(QColor(Picture.pixel(2, 2)).alpha(), 255);
    EXPECT_EQ(PixelAt(Shown, 30, 20), ColorOf(GetSysColor(COLOR_BTNFACE)));
}

TEST_F(Painting, ScrollingMovesPixelsAndInvalidAreasAndReportsWhatWasUncovered) {
    const HWND W = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {0, 0, 100, 50}));
    Drain();
    HDC DC = GetDC(W);
    for (int X = 0; X < 100; ++X) SetPixel(DC, X, 10, RGB(X, 0, 0));
    ReleaseDC(W, DC);
    RECT Pending{50, 0, 60, 5};
    ValidateRect(W, nullptr);
    InvalidateRect(W, &Pending, FALSE);
    RECT Uncovered{};
    const HRGN Update = CreateRectRgn(0, 0, 0, 0);
    const int Kind = ScrollWindowEx(W, -10, 0, nullptr, nullptr, Update, &Uncovered, SW_INVALIDATE);
    EXPECT_EQ(Kind, SIMPLEREGION);
    EXPECT_EQ(Uncovered, (RECT{90, 0, 100, 50}));
    RECT Box;
    GetRgnBox(Update, &Box);
    EXPECT_EQ(Box, Uncovered);
    DeleteObject(Update);
    EXPECT_EQ(PixelAt(W, 0, 10), qRgb(10, 0, 0));
    EXPECT_EQ(PixelAt(W, 89, 10), qRgb(99, 0, 0));
    // The old invalid area moved with the pixels; the uncovered strip joined it.
    RECT Invalid;
    GetUpdateRect(W, &Invalid, FALSE);
    EXPECT_EQ(Invalid, (RECT{40, 0, 100, 50}));
}

TEST_F(Painting, TheCaretIsInvertedPixelsThatHidingRestoresAndPaintingKeepsIntact) {
    const HWND W = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {0, 0, 60, 40}));
    Windows().Handlers[W] = Paints(kRed);
    InvalidateRect(W, nullptr, TRUE);
    Drain();
    ASSERT_TRUE(CreateCaret(W, 0, 2, 10));
    SetCaretPos(5, 5);
    EXPECT_EQ(PixelAt(W, 5, 5), ColorOf(kRed));  // created hidden
    ShowCaret(W);
    EXPECT_EQ(PixelAt(W, 5, 5), qRgb(0, 255, 255));
    EXPECT_EQ(PixelAt(W, 7, 5), ColorOf(kRed));
    // A paint of the window happens without the caret, which comes back afterwards.
    InvalidateRect(W, nullptr, TRUE);
    Drain();
    EXPECT_EQ(PixelAt(W, 5, 14), qRgb(0, 255, 255));
    // Hiding nests; the pixels come back exactly.
    HideCaret(W);
    HideCaret(W);
    ShowCaret(W);
    EXPECT_EQ(PixelAt(W, 5, 5), ColorOf(kRed));
    ShowCaret(W);
    SetCaretPos(20, 20);
    EXPECT_EQ(PixelAt(W, 5, 5), ColorOf(kRed));
    EXPECT_EQ(PixelAt(W, 21, 29), qRgb(0, 255, 255));
    // It blinks on its own.
    EXPECT_TRUE(PumpUntil([&] { return PixelAt(W, 20, 20) == ColorOf(kRed); }, 5000));
    EXPECT_TRUE(PumpUntil([&] { return PixelAt(W, 20, 20) != ColorOf(kRed); }, 5000));
    DestroyCaret();
    EXPECT_EQ(PixelAt(W, 20, 20), ColorOf(kRed));
}

// Who shows the caret and where: the window that made one, and no one once it is gone (a window
// without a text widget of its own shows none even with the focus).
TEST_F(Painting, TheCaretsWindowAndPlaceCanBeAskedFor) {
    const HWND W = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {0, 0, 60, 40}));
    SetFocus(W);
    HWND Owner = 0;
    POINT At{-1, -1};
    EXPECT_FALSE(GetCaretWindowPos(&Owner, &At));
    ASSERT_TRUE(CreateCaret(W, 0, 2, 10));
    SetCaretPos(7, 9);
    ASSERT_TRUE(GetCaretWindowPos(&Owner, &At));
    EXPECT_EQ(Owner, W);
    EXPECT_EQ(At.x, 7);
    EXPECT_EQ(At.y, 9);
    DestroyCaret();
    EXPECT_FALSE(GetCaretWindowPos(&Owner, &At));
    EXPECT_FALSE(GetCaretWindowPos(nullptr, &At));
}

TEST_F(Painting, RedrawOffCollectsInvalidationsUntilItIsOnAgain) {
    const HWND Form = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {0, 0, 100, 100}));
    const HWND Child = Windows().Create(0, WS_CHILD | WS_VISIBLE, {0, 0, 50, 50}, Form);
    Drain();
    Windows().Recorded = {WM_PAINT};
    SendMessage(Form, WM_SETREDRAW, FALSE, 0);
    Windows().Log.clear();
    InvalidateRect(Form, nullptr, TRUE);
    InvalidateRect(Child, nullptr, TRUE);
    Drain();
    EXPECT_TRUE(Windows().Log.empty());
    SendMessage(Form, WM_SETREDRAW, TRUE, 0);
    Drain();
    EXPECT_EQ(Windows().Log,
              (std::vector<TRecorded>{{Form, WM_PAINT, 0, 0}, {Child, WM_PAINT, 0, 0}}));
    // UpdateWindow paints at once, without a pass.
    Windows().Log.clear();
    InvalidateRect(Child, nullptr, FALSE);
    UpdateWindow(Child);
    EXPECT_EQ(Windows().Log, (std::vector<TRecorded>{{Child, WM_PAINT, 0, 0}}));
}

// A region of the given rectangles.
HRGN RegionOf(std::initializer_list<RECT> Rects) {
    const HRGN Out = CreateRectRgn(0, 0, 0, 0);
    for (const RECT& R : Rects) {
        const HRGN Part = CreateRectRgn(R.left, R.top, R.right, R.bottom);
        CombineRgn(Out, Out, Part, RGN_OR);
        DeleteObject(Part);
    }
    return Out;
}

bool UpdateIs(HWND Wnd, std::initializer_list<RECT> Rects) {
    const HRGN Now = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(Wnd, Now, FALSE);
    const HRGN Expected = RegionOf(Rects);
    const bool Same = EqualRgn(Now, Expected);
    DeleteObject(Now);
    DeleteObject(Expected);
    return Same;
}

TEST_F(Painting, PlacingChildrenInvalidatesWhereEachWasAndIsAndNothingElse) {
    const HWND Form = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {0, 0, 400, 100}));
    const HWND A = Windows().Create(0, WS_CHILD | WS_VISIBLE, {0, 0, 50, 50}, Form);
    const HWND B = Windows().Create(0, WS_CHILD | WS_VISIBLE, {100, 0, 150, 50}, Form);
    const HWND C = Windows().Create(0, WS_CHILD | WS_VISIBLE, {200, 0, 250, 50}, Form);
    const HWND D = Windows().Create(0, WS_CHILD | WS_VISIBLE, {300, 0, 350, 50}, Form);
    // Stays where it is, under the new place of A and the old place of C.
    const HWND E = Windows().Create(0, WS_CHILD | WS_VISIBLE, {185, 35, 215, 45}, Form);
    Drain();
    for (HWND W : {Form, A, B, C, D, E}) ASSERT_FALSE(GetUpdateRect(W, nullptr, FALSE));

    const HDWP Batch = BeginDeferWindowPos(2);
    ASSERT_NE(Batch, HDWP(0));
    // A jumps over B; C goes down and gets smaller.
    SetWindowPos(A, 0, 160, 0, 30, 40, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(C, 0, 200, 55, 50, 40, SWP_NOZORDER | SWP_NOACTIVATE);
    // Placed at once, made invalid when the batch ends.
    RECT Now;
    GetWindowRect(A, &Now);
    EXPECT_EQ(Now.left, 160);
    EXPECT_FALSE(GetUpdateRect(Form, nullptr, FALSE));
    EXPECT_FALSE(EndDeferWindowPos(Batch + 1));
    EXPECT_TRUE(EndDeferWindowPos(Batch));
    EXPECT_FALSE(EndDeferWindowPos(Batch));

    // The parent: the old and new rectangle of each, not the box around them.
    EXPECT_TRUE(
        UpdateIs(Form, {{0, 0, 50, 50}, {160, 0, 190, 40}, {200, 0, 250, 50}, {200, 55, 250, 95}}));
    // The moved children whole; the sibling under them only where they were or are.
    EXPECT_TRUE(UpdateIs(A, {{0, 0, 30, 40}}));
    EXPECT_TRUE(UpdateIs(C, {{0, 0, 50, 40}}));
    EXPECT_TRUE(UpdateIs(E, {{0, 0, 5, 5}, {15, 0, 30, 10}}));
    // B lies between A's two places, D beside C's: neither is painted again.
    EXPECT_FALSE(GetUpdateRect(B, nullptr, FALSE));
    EXPECT_FALSE(GetUpdateRect(D, nullptr, FALSE));

    // Outside a batch a single move is made invalid at once, the same way; hiding leaves only
    // the old place.
    Drain();
    SetWindowPos(A, 0, 0, 0, 50, 50, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(UpdateIs(Form, {{0, 0, 50, 50}, {160, 0, 190, 40}}));
    EXPECT_TRUE(UpdateIs(E, {{0, 0, 5, 5}}));
    EXPECT_FALSE(GetUpdateRect(B, nullptr, FALSE));
    Drain();
    ShowWindow(C, SW_HIDE);
    EXPECT_TRUE(UpdateIs(Form, {{200, 55, 250, 95}}));
    EXPECT_FALSE(GetUpdateRect(E, nullptr, FALSE));
}

// Many children in one batch: each sibling that stayed is painted again exactly where the moved
// ones now cover it, however many there are.
TEST_F(Painting, ManyChildrenPlacedAtOnceInvalidateEachStayingSiblingWhereTheyCoverIt) {
    constexpr int kCount = 40;
    const HWND Form = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {0, 0, 900, 400}));
    std::vector<HWND> Stayed;
    std::vector<HWND> Moved;
    for (int K = 0; K < kCount; ++K) {
        // Tall strips side by side, and below them small boxes that will move up over them.
        Stayed.push_back(
            Windows().Create(0, WS_CHILD | WS_VISIBLE, {K * 20, 0, K * 20 + 10, 200}, Form));
        Moved.push_back(
            Windows().Create(0, WS_CHILD | WS_VISIBLE, {K * 20 + 5, 300, K * 20 + 25, 310}, Form));
    }
    Drain();
    const HDWP Batch = BeginDeferWindowPos(kCount);
    // Each box goes over the right half of its strip and the left half of the next one, a row
    // lower than the box before it.
    for (int K = 0; K < kCount; ++K)
        SetWindowPos(Moved[size_t(K)], 0, K * 20 + 5, 50 + 3 * K, 20, 5,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(EndDeferWindowPos(Batch));

    for (int K = 0; K < kCount; ++K) {
        const HRGN Expected = CreateRectRgn(5, 50 + 3 * K, 10, 55 + 3 * K);
        if (K > 0) {
            const HRGN FromLeft = CreateRectRgn(0, 47 + 3 * K, 5, 52 + 3 * K);
            CombineRgn(Expected, Expected, FromLeft, RGN_OR);
            DeleteObject(FromLeft);
        }
        const HRGN Now = CreateRectRgn(0, 0, 0, 0);
        GetUpdateRgn(Stayed[size_t(K)], Now, FALSE);
        EXPECT_TRUE(EqualRgn(Now, Expected)) << "strip " << K;
        DeleteObject(Now);
        DeleteObject(Expected);
        EXPECT_TRUE(UpdateIs(Moved[size_t(K)], {{0, 0, 20, 5}})) << "box " << K;
    }
}

}  // namespace
