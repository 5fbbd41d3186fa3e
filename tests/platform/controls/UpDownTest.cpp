// The up-down control: range and position messages, a buddy edit that shows the position and is
// read back, steps with UDN_DELTAPOS (refusable) and the scroll messages, wrapping, arrow keys in
// the buddy, alignment, and a picture.
#include <gtest/gtest.h>

#include "tests/platform/controls/CommonControlsTestSupport.h"

using namespace CommonControlsTest;

namespace {

constexpr UINT_PTR kUpDownId = 600;

struct TScroll {
    UINT Msg;
    WORD Code;
    WORD Pos;
};

class UpDown : public testing::Test {
  protected:
    void SetUp() override {
        InitStandardControls();
        Drain();
        Form = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {70, 70, 370, 230}, 0, "Form"));
        Notes.Watch(Form);
        Notes.Answer = [this](const TNote& N, LPARAM LParam) -> LRESULT {
            if (N.Code != UDN_DELTAPOS) return 0;
            auto* Step = reinterpret_cast<NMUPDOWN*>(LParam);
            Steps.push_back({Step->iPos, Step->iDelta});
            if (Multiply) Step->iDelta *= Multiply;
            return Refuse;
        };
        const THandler Notify = Windows().Handlers[Form];
        Windows().Handlers[Form] = [this, Notify](HWND W, UINT Msg, WPARAM WParam,
                                                  LPARAM LParam) -> std::optional<LRESULT> {
            if (Msg == WM_VSCROLL || Msg == WM_HSCROLL) {
                EXPECT_EQ(static_cast<HWND>(LParam), Spin);
                Scrolls.push_back({Msg, LOWORD(WParam), HIWORD(WParam)});
                return 0;
            }
            return Notify(W, Msg, WParam, LParam);
        };
        Field = CreateWindowEx(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE, 20, 20, 120, 22,
                               Form, 1, 0, nullptr);
        Spin = Make(UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_AUTOBUDDY);
    }
    void TearDown() override { Drain(); }

    HWND Make(DWORD Style) {
        const HWND Made = CreateWindowEx(0, "msctls_updown32", "", WS_CHILD | WS_VISIBLE | Style, 0,
                                         0, 16, 22, Form, kUpDownId, 0, nullptr);
        EXPECT_NE(Made, 0u);
        Drain();
        return Made;
    }
    int Pos() { return static_cast<int>(SendMessage(Spin, UDM_GETPOS32, 0, 0)); }
    void Click(bool Up) {
        RECT R;
        GetClientRect(Spin, &R);
        MouseClick(Form, ScreenOf(Spin, POINT{R.right / 2, Up ? 3 : R.bottom - 3}));
        Drain();
    }

    TWindowGuard Guard;
    TNotes Notes;
    std::vector<std::pair<int, int>> Steps;
    std::vector<TScroll> Scrolls;
    LRESULT Refuse = 0;
    int Multiply = 0;
    HWND Form = 0;
    HWND Field = 0;
    HWND Spin = 0;
};

TEST_F(UpDown, RangeAndPositionMessages) {
    // The classic default runs from 100 down to 0.
    int Low = 0;
    int High = 0;
    SendMessage(Spin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&Low),
                reinterpret_cast<LPARAM>(&High));
    EXPECT_EQ(Low, 100);
    EXPECT_EQ(High, 0);
    SendMessage(Spin, UDM_SETRANGE32, static_cast<WPARAM>(-50), 100000);
    SendMessage(Spin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&Low),
                reinterpret_cast<LPARAM>(&High));
    EXPECT_EQ(Low, -50);
    EXPECT_EQ(High, 100000);
    struct TCase {
        int Set;
        int Want;
    };
    for (const TCase& C : {TCase{7, 7}, TCase{-51, -50}, TCase{200000, 100000}, TCase{0, 0}}) {
        SCOPED_TRACE(C.Set);
        SendMessage(Spin, UDM_SETPOS32, 0, C.Set);
        EXPECT_EQ(Pos(), C.Want);
    }
    EXPECT_EQ(SendMessage(Spin, UDM_SETPOS32, 0, 12345), 0);
    EXPECT_EQ(GetWindowText(Field), "12,345");
    // The 16-bit messages.
    SendMessage(Spin, UDM_SETRANGE, 0, MAKELPARAM(10, static_cast<WORD>(-10)));
    EXPECT_EQ(SendMessage(Spin, UDM_GETRANGE, 0, 0), MAKELONG(10, static_cast<WORD>(-10)));
    EXPECT_EQ(LOWORD(static_cast<std::uintptr_t>(SendMessage(Spin, UDM_GETPOS, 0, 0))), 10);
    EXPECT_EQ(static_cast<HWND>(SendMessage(Spin, UDM_GETBUDDY, 0, 0)), Field);
    EXPECT_EQ(SendMessage(Spin, UDM_SETBASE, 16, 0), 10);
    EXPECT_EQ(GetWindowText(Field), "0xA");
    EXPECT_EQ(SendMessage(Spin, UDM_SETBASE, 7, 0), 0);
    EXPECT_EQ(SendMessage(Spin, UDM_GETBASE, 0, 0), 16);
}

TEST_F(UpDown, TheBuddyIsReadBackAndBadTextSaysSo) {
    SendMessage(Spin, UDM_SETRANGE32, 0, 5000);
    SetWindowText(Field, "1,234");
    EXPECT_EQ(Pos(), 1234);
    BOOL Error = FALSE;
    SetWindowText(Field, "zwanzig");
    EXPECT_EQ(SendMessage(Spin, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&Error)), 1234);
    EXPECT_TRUE(Error);
    EXPECT_EQ(HIWORD(static_cast<std::uintptr_t>(SendMessage(Spin, UDM_GETPOS, 0, 0))), 1);
    SetWindowText(Field, "9999");  // outside the range
    SendMessage(Spin, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&Error));
    EXPECT_TRUE(Error);
    // A step starts from what the buddy says.
    SetWindowText(Field, "41");
    Click(true);
    EXPECT_EQ(Pos(), 42);
    EXPECT_EQ(GetWindowText(Field), "42");
}

TEST_F(UpDown, StepsNotifyFirstAndMayBeRefusedOrChanged) {
    SendMessage(Spin, UDM_SETRANGE32, 0, 10);
    SendMessage(Spin, UDM_SETPOS32, 0, 5);
    Click(true);
    Click(false);
    Click(false);
    EXPECT_EQ(Steps, (std::vector<std::pair<int, int>>{{5, 1}, {6, -1}, {5, -1}}));
    EXPECT_EQ(Pos(), 4);
    ASSERT_EQ(Scrolls.size(), 6u);  // a position and the end of each click
    EXPECT_EQ(Scrolls[0].Msg, static_cast<UINT>(WM_VSCROLL));
    EXPECT_EQ(Scrolls[0].Code, SB_THUMBPOSITION);
    EXPECT_EQ(Scrolls[0].Pos, 6);
    EXPECT_EQ(Scrolls[1].Code, SB_ENDSCROLL);
    // Refused: nothing moves.
    Refuse = TRUE;
    Scrolls.clear();
    Click(true);
    EXPECT_EQ(Pos(), 4);
    EXPECT_EQ(Scrolls.size(), 1u);  // only the end
    // The parent may make the step bigger.
    Refuse = 0;
    Multiply = 3;
    Click(true);
    EXPECT_EQ(Pos(), 7);
    // A range that runs backwards: the up arrow still goes towards the upper end.
    Multiply = 0;
    SendMessage(Spin, UDM_SETRANGE32, 10, 0);
    Steps.clear();
    Click(true);
    EXPECT_EQ(Pos(), 6);
    EXPECT_EQ(Steps.back(), (std::pair<int, int>{7, -1}));
}

TEST_F(UpDown, EndsStopOrWrap) {
    SendMessage(Spin, UDM_SETRANGE32, 0, 3);
    SendMessage(Spin, UDM_SETPOS32, 0, 3);
    Click(true);
    EXPECT_EQ(Pos(), 3);
    EXPECT_EQ(Steps.size(), 1u);  // asked, but nothing to scroll
    SetWindowLongPtr(Spin, GWL_STYLE, GetWindowLongPtr(Spin, GWL_STYLE) | UDS_WRAP);
    Click(true);
    EXPECT_EQ(Pos(), 0);
    Click(false);
    EXPECT_EQ(Pos(), 3);
}

TEST_F(UpDown, ArrowKeysInTheBuddyStepAndOtherKeysStillType) {
    SendMessage(Spin, UDM_SETRANGE32, 0, 100);
    SendMessage(Spin, UDM_SETPOS32, 0, 10);
    SetFocus(Field);
    QTest::keyClick(QtWindowOf(Form), Qt::Key_Up);
    QTest::keyClick(QtWindowOf(Form), Qt::Key_Up);
    QTest::keyClick(QtWindowOf(Form), Qt::Key_Down);
    Drain();
    EXPECT_EQ(Pos(), 11);
    EXPECT_EQ(GetFocus(), Field);
    SendMessage(Field, EM_SETSEL, 0, -1);
    QTest::keyClick(QtWindowOf(Form), '7');
    QTest::keyClick(QtWindowOf(Form), '7');
    Drain();
    EXPECT_EQ(GetWindowText(Field), "77");
    EXPECT_EQ(Pos(), 77);
    // The up-down goes: the buddy is its old self again.
    DestroyWindow(Spin);
    QTest::keyClick(QtWindowOf(Form), Qt::Key_Up);
    QTest::keyClick(QtWindowOf(Form), '8');
    Drain();
    EXPECT_EQ(GetWindowText(Field), "778");
}

TEST_F(UpDown, ItSitsOnTheBuddysRightEdgeAndHasAPicture) {
    RECT Buddy;
    GetWindowRect(Field, &Buddy);
    RECT Own;
    GetWindowRect(Spin, &Own);
    EXPECT_EQ(Own.left, Buddy.right);
    EXPECT_EQ(Own.top, Buddy.top);
    EXPECT_EQ(Own.bottom, Buddy.bottom);
    EXPECT_EQ(Buddy.right - Buddy.left + Own.right - Own.left, 120);
    SendMessage(Spin, UDM_SETRANGE32, 0, 20);
    SendMessage(Spin, UDM_SETPOS32, 0, 15);
    const HWND Sideways = CreateWindowEx(0, "msctls_updown32", "", WS_CHILD | WS_VISIBLE | UDS_HORZ,
                                         200, 20, 32, 16, Form, 3, 0, nullptr);
    Drain();
    ASSERT_TRUE(SaveWindowPicture(Form, ControlPicturePath("updown")));
    // The arrows are button-face buttons with a black glyph.
    EXPECT_EQ(PixelAt(Spin, 3, 3), ColorOf(GetSysColor(COLOR_BTNFACE)));
    DestroyWindow(Sideways);
}

}  // namespace
