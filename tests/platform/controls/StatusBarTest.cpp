// The status bar: placement along its parent's edge, parts and their texts, simple mode, the
// parent's owner-drawn parts (their pixels and their clip), the sizing grip, and a picture.
#include <gtest/gtest.h>

#include "platform/controls/OwnerDraw.h"
#include "tests/platform/controls/CommonControlsTestSupport.h"

using namespace CommonControlsTest;

namespace {

constexpr UINT_PTR kBarId = 300;

class StatusBar : public testing::Test {
  protected:
    void SetUp() override {
        InitStandardControls();
        Drain();
        Form = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {80, 80, 680, 380}, 0, "Form"));
        Notes.Watch(Form);
        Bar = Make(0);
    }
    void TearDown() override { Drain(); }

    HWND Make(DWORD Style) {
        const HWND Made = CreateWindowEx(0, "msctls_statusbar32", "", WS_CHILD | WS_VISIBLE | Style,
                                         0, 0, 0, 0, Form, kBarId, 0, nullptr);
        EXPECT_NE(Made, 0u);
        Drain();
        return Made;
    }
    RECT Placed(HWND Wnd) {
        RECT R;
        GetWindowRect(Wnd, &R);
        POINT Corner{R.left, R.top};
        ScreenToClient(Form, &Corner);
        return RECT{Corner.x, Corner.y, Corner.x + R.right - R.left, Corner.y + R.bottom - R.top};
    }
    int TextHeight() {
        const HDC DC = CreateCompatibleDC(0);
        SelectObject(DC, GetStockObject(DEFAULT_GUI_FONT));
        TEXTMETRIC M;
        GetTextMetrics(DC, &M);
        DeleteDC(DC);
        return M.tmHeight;
    }
    void SetParts(HWND Wnd, std::vector<int> Rights) {
        ASSERT_TRUE(
            SendMessage(Wnd, SB_SETPARTS, Rights.size(), reinterpret_cast<LPARAM>(Rights.data())));
    }
    std::string Text(HWND Wnd, WPARAM Part) {
        const LRESULT Length = SendMessage(Wnd, SB_GETTEXTLENGTH, Part, 0);
        std::string Out(LOWORD(static_cast<std::uintptr_t>(Length)) + 1, '\0');
        SendMessage(Wnd, SB_GETTEXT, Part, reinterpret_cast<LPARAM>(Out.data()));
        Out.resize(Out.size() - 1);
        return Out;
    }
    RECT PartRect(HWND Wnd, WPARAM Part) {
        RECT R{};
        EXPECT_TRUE(SendMessage(Wnd, SB_GETRECT, Part, reinterpret_cast<LPARAM>(&R)));
        return R;
    }

    TWindowGuard Guard;
    TNotes Notes;
    HWND Form = 0;
    HWND Bar = 0;
};

TEST_F(StatusBar, ItPlacesItselfAlongItsParentsEdgeOnEverySize) {
    const int Height = TextHeight() + 2 + 2 + 2;
    EXPECT_EQ(Placed(Bar), (RECT{0, 300 - Height, 600, 300}));
    // The parent passes its own WM_SIZE on to the bar.
    Windows().Handlers[Form] = [&](HWND, UINT Msg, WPARAM W, LPARAM L) -> std::optional<LRESULT> {
        if (Msg == WM_SIZE) SendMessage(Bar, WM_SIZE, W, L);
        return std::nullopt;
    };
    MoveWindow(Form, 80, 80, 500, 250, TRUE);
    EXPECT_EQ(Placed(Bar), (RECT{0, 250 - Height, 500, 250}));
    SendMessage(Bar, SB_SETMINHEIGHT, 30, 0);
    SendMessage(Bar, WM_SIZE, 0, 0);
    EXPECT_EQ(Placed(Bar), (RECT{0, 250 - 34, 500, 250}));

    struct TCase {
        DWORD Style;
        RECT Given;
        RECT Want;
    };
    for (const TCase& C : {
             TCase{CCS_TOP, {5, 40, 105, 60}, {0, 0, 500, Height}},
             TCase{CCS_NOMOVEY, {5, 40, 105, 60}, {0, 40, 500, 40 + Height}},
             TCase{CCS_NOPARENTALIGN, {5, 40, 105, 60}, {5, 40, 505, 40 + Height}},
             TCase{CCS_NORESIZE, {5, 40, 105, 60}, {5, 40, 105, 60}},
         }) {
        SCOPED_TRACE(C.Style);
        const HWND Other = CreateWindowEx(
            0, "msctls_statusbar32", "", WS_CHILD | WS_VISIBLE | C.Style, C.Given.left, C.Given.top,
            C.Given.right - C.Given.left, C.Given.bottom - C.Given.top, Form, 0, 0, nullptr);
        EXPECT_EQ(Placed(Other), C.Want);
        DestroyWindow(Other);
    }
}

TEST_F(StatusBar, PartsTextsAndTheirRectangles) {
    // The main window's five panels.
    SetParts(Bar, {263, 338, 413, 488, -1});
    int Rights[8] = {};
    EXPECT_EQ(SendMessage(Bar, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(Rights)), 5);
    EXPECT_EQ(Rights[1], 338);
    EXPECT_EQ(Rights[4], -1);
    int Borders[3] = {};
    SendMessage(Bar, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(Borders));
    EXPECT_EQ(Borders[1], 2);
    EXPECT_EQ(Borders[2], 2);
    RECT Client;
    GetClientRect(Bar, &Client);
    EXPECT_EQ(PartRect(Bar, 0), (RECT{0, 2, 263, Client.bottom}));
    EXPECT_EQ(PartRect(Bar, 1), (RECT{265, 2, 338, Client.bottom}));
    EXPECT_EQ(PartRect(Bar, 4), (RECT{490, 2, 600, Client.bottom}));
    RECT None;
    EXPECT_FALSE(SendMessage(Bar, SB_GETRECT, 5, reinterpret_cast<LPARAM>(&None)));

    struct TCase {
        WPARAM Part;
        UINT Type;
        const char* Text;
    };
    for (const TCase& C :
         {TCase{0, 0, "Dial Status: T-Online connected"}, TCase{1, SBT_POPOUT, " 3 Mails"},
          TCase{2, SBT_NOBORDERS, ""}, TCase{3, 0, " 1.00 KB"}, TCase{4, 0, "\xFC ber"}}) {
        SCOPED_TRACE(C.Part);
        EXPECT_TRUE(
            SendMessage(Bar, SB_SETTEXT, C.Part | C.Type, reinterpret_cast<LPARAM>(C.Text)));
        EXPECT_EQ(Text(Bar, C.Part), C.Text);
        const LRESULT Length = SendMessage(Bar, SB_GETTEXTLENGTH, C.Part, 0);
        EXPECT_EQ(LOWORD(static_cast<std::uintptr_t>(Length)), std::strlen(C.Text));
        EXPECT_EQ(HIWORD(static_cast<std::uintptr_t>(Length)), C.Type);
    }
    EXPECT_FALSE(SendMessage(Bar, SB_SETTEXT, 5, reinterpret_cast<LPARAM>("nowhere")));
    // The window text is the first part's.
    EXPECT_EQ(GetWindowText(Bar), "Dial Status: T-Online connected");
    SetWindowText(Bar, "Konfiguration geladen");
    EXPECT_EQ(Text(Bar, 0), "Konfiguration geladen");
    // Fewer parts keep the texts of those that stay; too many are refused.
    SetParts(Bar, {100, -1});
    EXPECT_EQ(Text(Bar, 1), " 3 Mails");
    std::vector<int> Many(257, 10);
    EXPECT_FALSE(SendMessage(Bar, SB_SETPARTS, Many.size(), reinterpret_cast<LPARAM>(Many.data())));
    EXPECT_FALSE(SendMessage(Bar, SB_SETPARTS, 0, reinterpret_cast<LPARAM>(Many.data())));
    // Simple mode shows its own text across the bar and keeps the parts' texts.
    SendMessage(Bar, SB_SIMPLE, TRUE, 0);
    SendMessage(Bar, SB_SETTEXT, SB_SIMPLEID, reinterpret_cast<LPARAM>("Verbinde..."));
    EXPECT_TRUE(SendMessage(Bar, SB_ISSIMPLE, 0, 0));
    EXPECT_EQ(PartRect(Bar, 0).right, 600);
    EXPECT_EQ(Text(Bar, SB_SIMPLEID), "Verbinde...");
    SendMessage(Bar, SB_SIMPLE, FALSE, 0);
    EXPECT_EQ(Text(Bar, 1), " 3 Mails");
}

TEST_F(StatusBar, AnOwnerDrawnPartShowsWhatTheParentDrawsAndOnlyThere) {
    SetParts(Bar, {200, 300, -1});
    SendMessage(Bar, SB_SETTEXT, 0, reinterpret_cast<LPARAM>("links"));
    SendMessage(Bar, SB_SETTEXT, 2, reinterpret_cast<LPARAM>("rechts"));
    std::vector<DRAWITEMSTRUCT> Drawn;
    Notes.OnDrawItem = [&](LPARAM LParam) -> LRESULT {
        const auto* Draw = reinterpret_cast<const DRAWITEMSTRUCT*>(LParam);
        Drawn.push_back(*Draw);
        // Everything red: the context lets it touch only the part.
        RECT All{-1000, -1000, 1000, 1000};
        const HBRUSH Red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(Draw->hDC, &All, Red);
        DeleteObject(Red);
        return TRUE;
    };
    SendMessage(Bar, SB_SETTEXT, 1 | SBT_OWNERDRAW, 0x1234);
    EXPECT_EQ(SendMessage(Bar, SB_GETTEXT, 1, 0), 0x1234);
    InvalidateRect(Bar, nullptr, TRUE);
    Drain();
    ASSERT_FALSE(Drawn.empty());
    const DRAWITEMSTRUCT& D = Drawn.back();
    EXPECT_EQ(D.CtlID, kBarId);
    EXPECT_EQ(D.itemID, 1u);
    EXPECT_EQ(D.itemData, 0x1234u);
    EXPECT_EQ(D.hwndItem, Bar);
    RECT Inside = PartRect(Bar, 1);
    InflateRect(&Inside, -1, -1);
    EXPECT_EQ(D.rcItem, Inside);
    const QRgb Red = qRgb(255, 0, 0);
    EXPECT_EQ(PixelAt(Bar, Inside.left, Inside.top), Red);
    EXPECT_EQ(PixelAt(Bar, Inside.right - 1, Inside.bottom - 1), Red);
    // Its sunken edge and the parts beside it are the bar's own.
    EXPECT_EQ(PixelAt(Bar, Inside.left - 1, Inside.top - 1), ColorOf(GetSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(PixelAt(Bar, Inside.right, Inside.bottom), ColorOf(GetSysColor(COLOR_BTNHIGHLIGHT)));
    EXPECT_NE(PixelAt(Bar, Inside.left - 3, Inside.top + 2), Red);
    EXPECT_NE(PixelAt(Bar, Inside.right + 2, Inside.top + 2), Red);
    ASSERT_TRUE(SaveWindowPicture(Form, ControlPicturePath("statusbar-ownerdraw")));
}

TEST_F(StatusBar, TheGripSizesASizableTopLevelWindowOnly) {
    const HWND Grip = Make(SBARS_SIZEGRIP);
    RECT Client;
    GetClientRect(Grip, &Client);
    const POINT Corner = ScreenOf(Grip, POINT{Client.right - 3, Client.bottom - 3});
    const LPARAM At = MAKELPARAM(static_cast<WORD>(Corner.x), static_cast<WORD>(Corner.y));
    EXPECT_EQ(SendMessage(Grip, WM_NCHITTEST, 0, At), HTCLIENT);  // the form has no sizing frame
    SetWindowLongPtr(Form, GWL_STYLE, GetWindowLongPtr(Form, GWL_STYLE) | WS_THICKFRAME);
    EXPECT_EQ(SendMessage(Grip, WM_NCHITTEST, 0, At), HTBOTTOMRIGHT);
    const POINT Middle = ScreenOf(Grip, POINT{50, 5});
    EXPECT_EQ(SendMessage(Grip, WM_NCHITTEST, 0,
                          MAKELPARAM(static_cast<WORD>(Middle.x), static_cast<WORD>(Middle.y))),
              HTCLIENT);
    // The last part stops before the grip.
    EXPECT_EQ(PartRect(Grip, 0).right, Client.right - GetSystemMetrics(SM_CXVSCROLL));
}

TEST_F(StatusBar, APictureOfTheMainWindowsBar) {
    DestroyWindow(Bar);
    SetWindowLongPtr(Form, GWL_STYLE, GetWindowLongPtr(Form, GWL_STYLE) | WS_THICKFRAME);
    Bar = Make(SBARS_SIZEGRIP);
    SetParts(Bar, {263, 338, 413, 488, -1});
    const char* Texts[] = {"Dial Status: Arcor connected", " 12 Mails", " 340 News", " 1.25 MB",
                           " 2048 cps"};
    for (WPARAM I = 0; I < 5; ++I)
        SendMessage(Bar, SB_SETTEXT, I, reinterpret_cast<LPARAM>(Texts[I]));
    SendMessage(Bar, SB_SETTEXT, 1 | SBT_POPOUT, reinterpret_cast<LPARAM>("links\tMitte\trechts"));
    Drain();
    ASSERT_TRUE(SaveWindowPicture(Form, ControlPicturePath("statusbar")));
    const QImage Picture = WindowPicture(Bar);
    // Some text was drawn in the first part, in the button text colour.
    bool Dark = false;
    for (int X = 3; X < 100; ++X)
        for (int Y = 4; Y < Picture.height() - 2; ++Y)
            Dark =
                Dark || (Picture.pixel(X, Y) | 0xFF000000u) == ColorOf(GetSysColor(COLOR_BTNTEXT));
    EXPECT_TRUE(Dark);
}

}  // namespace
