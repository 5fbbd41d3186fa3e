// The BUTTON class: pushing and clicking by mouse and space bar, what a click does to each type,
// radio groups, dialog codes, focus notifications, owner-drawn buttons drawn by their parent, and
// the parent's colours.
#include <gtest/gtest.h>

#include "platform/controls/ButtonView.h"
#include "platform/controls/Controls.h"
#include "platform/controls/OwnerDraw.h"
#include "platform/core/Wrapping.h"
#include "tests/platform/controls/ControlTestSupport.h"

using namespace ControlTest;

namespace {

class Buttons : public TControlForm {
  protected:
    void SetUp() override {
        TControlForm::SetUp();
        Windows().Recorded = {WM_COMMAND, WM_DRAWITEM, WM_LBUTTONDOWN};
        Windows().Log.clear();
    }
    void TearDown() override {
        ReleaseCapture();
        TControlForm::TearDown();
    }

    HWND Button(const char* Text, DWORD Style, RECT R, UINT_PTR Id = 1) {
        const HWND B =
            CreateWindowEx(0, "BUTTON", Text, WS_CHILD | WS_VISIBLE | Style, R.left, R.top,
                           R.right - R.left, R.bottom - R.top, Form, Id, 0, nullptr);
        EXPECT_NE(B, 0u);
        return B;
    }
    void Click(HWND Wnd, POINT At = {5, 5}) {
        MouseClick(Form, ScreenOf(Wnd, At));
        Drain();
    }
    static LRESULT Check(HWND B) { return SendMessage(B, BM_GETCHECK, 0, 0); }
    static LRESULT State(HWND B) { return SendMessage(B, BM_GETSTATE, 0, 0); }
};

TEST_F(Buttons, APressPushesWhileOverTheButtonAndTheReleaseClicks) {
    const HWND B = Button("&OK", BS_PUSHBUTTON, {10, 10, 85, 33}, 7);
    const HWND Other = Button("Other", BS_PUSHBUTTON, {100, 10, 175, 33}, 8);
    MouseMove(Form, ScreenOf(B, {20, 10}));
    MousePress(Form, ScreenOf(B, {20, 10}));
    Drain();
    EXPECT_EQ(GetFocus(), B);
    EXPECT_EQ(GetCapture(), B);
    EXPECT_EQ(State(B), LRESULT(BST_PUSHED | BST_FOCUS));
    // Off the button it comes up, back on it goes down again.
    MouseMove(Form, ScreenOf(B, {20, 40}));
    Drain();
    EXPECT_EQ(State(B), LRESULT(BST_FOCUS));
    MouseMove(Form, ScreenOf(B, {30, 12}));
    Drain();
    EXPECT_EQ(State(B), LRESULT(BST_PUSHED | BST_FOCUS));
    EXPECT_TRUE(Codes().empty());
    MouseRelease(Form, ScreenOf(B, {30, 12}));
    Drain();
    EXPECT_EQ(GetCapture(), 0u);
    EXPECT_EQ(Codes(), (std::vector<WORD>{BN_CLICKED}));
    EXPECT_EQ(LOWORD(Windows().Of(Form, {WM_COMMAND})[0].WParam), 7);
    EXPECT_EQ(static_cast<HWND>(Windows().Of(Form, {WM_COMMAND})[0].LParam), B);
    // Released elsewhere: no click.
    Windows().Log.clear();
    MousePress(Form, ScreenOf(B, {30, 12}));
    MouseMove(Form, ScreenOf(Other, {30, 12}));
    MouseRelease(Form, ScreenOf(Other, {30, 12}));
    Drain();
    EXPECT_TRUE(Codes().empty());
    EXPECT_EQ(State(Other), 0);
    // The space bar pushes the focused button and clicks it when it comes up.
    QTest::keyPress(QtWindowOf(Form), Qt::Key_Space);
    Drain();
    EXPECT_EQ(State(B), LRESULT(BST_PUSHED | BST_FOCUS));
    QTest::keyRelease(QtWindowOf(Form), Qt::Key_Space);
    Drain();
    EXPECT_EQ(Codes(), (std::vector<WORD>{BN_CLICKED}));
    EXPECT_EQ(State(B), LRESULT(BST_FOCUS));
    // Losing the focus while the space bar holds it lets it up without a click.
    Windows().Log.clear();
    QTest::keyPress(QtWindowOf(Form), Qt::Key_Space);
    Drain();
    SetFocus(Other);
    QTest::keyRelease(QtWindowOf(Form), Qt::Key_Space);
    Drain();
    EXPECT_EQ(State(B), 0);
    EXPECT_TRUE(Codes().empty());
}

TEST_F(Buttons, EachTypeDoesItsOwnThingWithItsCheckOnAClick) {
    struct TCase {
        const char* What;
        DWORD Style;
        std::vector<LRESULT> Checks;  // after each of three clicks
        LRESULT DlgCode;
    };
    const TCase Cases[] = {
        {"push", BS_PUSHBUTTON, {0, 0, 0}, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON},
        {"default push", BS_DEFPUSHBUTTON, {0, 0, 0}, DLGC_BUTTON | DLGC_DEFPUSHBUTTON},
        {"check box", BS_CHECKBOX, {0, 0, 0}, DLGC_BUTTON},
        {"auto check box", BS_AUTOCHECKBOX, {1, 0, 1}, DLGC_BUTTON},
        {"3-state", BS_3STATE, {0, 0, 0}, DLGC_BUTTON},
        {"auto 3-state", BS_AUTO3STATE, {1, 2, 0}, DLGC_BUTTON},
        {"radio", BS_RADIOBUTTON, {0, 0, 0}, DLGC_BUTTON | DLGC_RADIOBUTTON},
        {"auto radio", BS_AUTORADIOBUTTON, {1, 1, 1}, DLGC_BUTTON | DLGC_RADIOBUTTON},
        {"owner-drawn", BS_OWNERDRAW, {0, 0, 0}, DLGC_BUTTON},
        {"group box", BS_GROUPBOX, {0, 0, 0}, DLGC_STATIC},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.What);
        const HWND B = Button(C.What, C.Style | WS_GROUP, {10, 10, 150, 30});
        EXPECT_EQ(SendMessage(B, WM_GETDLGCODE, 0, 0), C.DlgCode);
        Windows().Log.clear();
        std::vector<LRESULT> Checks;
        for (int I = 0; I < 3; ++I) {
            SendMessage(B, BM_CLICK, 0, 0);
            Checks.push_back(Check(B));
        }
        EXPECT_EQ(Checks, C.Checks);
        const size_t Clicks = (C.Style == BS_GROUPBOX) ? 0 : 3;
        EXPECT_EQ(Codes(), std::vector<WORD>(Clicks, BN_CLICKED));
        DestroyWindow(B);
    }
    // What BM_SETCHECK takes depends on the type: two-state ones count indeterminate as checked.
    const HWND Two = Button("two", BS_CHECKBOX, {10, 40, 150, 60});
    const HWND Three = Button("three", BS_3STATE, {10, 70, 150, 90});
    const HWND Push = Button("push", BS_PUSHBUTTON, {10, 100, 150, 120});
    for (const HWND B : {Two, Three, Push}) SendMessage(B, BM_SETCHECK, BST_INDETERMINATE, 0);
    EXPECT_EQ(Check(Two), LRESULT(BST_CHECKED));
    EXPECT_EQ(Check(Three), LRESULT(BST_INDETERMINATE));
    EXPECT_EQ(Check(Push), 0);
    // The pushed look is a state of its own.
    SendMessage(Three, BM_SETSTATE, TRUE, 0);
    EXPECT_EQ(State(Three), LRESULT(BST_INDETERMINATE | BST_PUSHED));
    SendMessage(Three, BM_SETSTATE, FALSE, 0);
    EXPECT_EQ(State(Three), LRESULT(BST_INDETERMINATE));
    // A disabled button is not clicked.
    EnableWindow(Push, FALSE);
    Windows().Log.clear();
    SendMessage(Push, BM_CLICK, 0, 0);
    EXPECT_TRUE(Codes().empty());
}

TEST_F(Buttons, AnAutoRadioButtonUnchecksTheOthersOfItsGroupOnly) {
    // In z-order: R1 (group) R2 Box R3 | R4 (group) R5.
    struct TMade {
        const char* Text;
        DWORD Style;
    };
    const TMade Made[] = {{"R1", BS_AUTORADIOBUTTON | WS_GROUP},
                          {"R2", BS_AUTORADIOBUTTON},
                          {"Box", BS_AUTOCHECKBOX},
                          {"R3", BS_AUTORADIOBUTTON},
                          {"R4", BS_AUTORADIOBUTTON | WS_GROUP},
                          {"R5", BS_RADIOBUTTON}};
    std::vector<HWND> B;
    for (const TMade& M : Made) {
        const int Y = 10 + 25 * int(B.size());
        B.push_back(Button(M.Text, M.Style, {10, Y, 150, Y + 20}));
        SetWindowPos(B.back(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    for (const size_t I : {size_t(1), size_t(2), size_t(5)})
        SendMessage(B[I], BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_TRUE(GetWindowLongPtr(B[1], GWL_STYLE) & WS_TABSTOP);
    Click(B[3]);
    std::vector<LRESULT> Now;
    for (const HWND H : B) Now.push_back(Check(H));
    EXPECT_EQ(Now, (std::vector<LRESULT>{0, 0, 1, 1, 0, 1}));
    // The checked radio button is where Tab stops.
    EXPECT_FALSE(GetWindowLongPtr(B[1], GWL_STYLE) & WS_TABSTOP);
    EXPECT_TRUE(GetWindowLongPtr(B[3], GWL_STYLE) & WS_TABSTOP);
    // The first of a group unchecks down to the next group.
    Click(B[0]);
    Now.clear();
    for (const HWND H : B) Now.push_back(Check(H));
    EXPECT_EQ(Now, (std::vector<LRESULT>{1, 0, 1, 0, 0, 1}));
}

TEST_F(Buttons, DoubleClicksNotifyOrPressAgainByType) {
    struct TCase {
        const char* What;
        DWORD Style;
        std::vector<WORD> Want;
        LRESULT Check;
    };
    const TCase Cases[] = {
        {"check box: a second press", BS_AUTOCHECKBOX, {BN_CLICKED, BN_CLICKED}, 0},
        {"check box with BS_NOTIFY",
         BS_AUTOCHECKBOX | BS_NOTIFY,
         {BN_SETFOCUS, BN_CLICKED, BN_DOUBLECLICKED},
         1},
        {"radio button", BS_AUTORADIOBUTTON, {BN_CLICKED, BN_DOUBLECLICKED}, 1},
        {"push button", BS_PUSHBUTTON, {BN_CLICKED, BN_CLICKED}, 0},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.What);
        const HWND B = Button(C.What, C.Style, {10, 10, 150, 30});
        Windows().Log.clear();
        MouseDoubleClick(Form, ScreenOf(B, {5, 5}));
        Drain();
        EXPECT_EQ(Codes(), C.Want);
        EXPECT_EQ(Check(B), C.Check);
        DestroyWindow(B);
        Drain();
    }
}

TEST_F(Buttons, FocusIsToldOnlyWithNotifyAndGroupBoxesLetClicksThrough) {
    const HWND Quiet = Button("quiet", BS_PUSHBUTTON, {10, 10, 100, 30}, 1);
    const HWND Loud = Button("loud", BS_PUSHBUTTON | BS_NOTIFY, {10, 40, 100, 60}, 2);
    SetFocus(Quiet);
    SetFocus(Loud);
    SetFocus(Quiet);
    EXPECT_EQ(Codes(), (std::vector<WORD>{BN_SETFOCUS, BN_KILLFOCUS}));
    for (const TRecorded& R : Windows().Of(Form, {WM_COMMAND})) EXPECT_EQ(LOWORD(R.WParam), 2);
    EXPECT_EQ(State(Quiet), LRESULT(BST_FOCUS));
    // A group box takes neither the mouse nor the focus: the click is the form's.
    const HWND Group = Button("Gruppe", BS_GROUPBOX, {150, 10, 350, 150}, 3);
    Windows().Log.clear();
    const POINT Inside = ScreenOf(Group, {100, 70});
    EXPECT_EQ(SendMessage(Group, WM_NCHITTEST, 0, MAKELPARAM(Inside.x, Inside.y)), HTTRANSPARENT);
    Click(Group, {100, 70});
    EXPECT_EQ(Windows().MessagesOf(Form, {WM_LBUTTONDOWN}).size(), 1u);
    EXPECT_EQ(GetFocus(), Quiet);
}

TEST_F(Buttons, BmSetStyleSwitchesTheDefaultLookOnAndOff) {
    const HWND B = Button("&Beenden", BS_PUSHBUTTON | BS_CENTER, {10, 10, 100, 33});
    auto* View = dynamic_cast<TButtonView*>(AttachedWidget(B));
    ASSERT_NE(View, nullptr);
    EXPECT_FALSE(View->Look().Default);
    EXPECT_EQ(View->Look().Caption, QStringLiteral("&Beenden"));
    SendMessage(B, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_TRUE(View->Look().Default);
    EXPECT_EQ(SendMessage(B, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
    // Only the type changes: the other style bits stay.
    EXPECT_EQ(GetWindowLongPtr(B, GWL_STYLE) & (BS_TYPEMASK | BS_CENTER),
              LONG_PTR(BS_DEFPUSHBUTTON | BS_CENTER));
    SendMessage(B, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_FALSE(View->Look().Default);
    EXPECT_EQ(SendMessage(B, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
    SetWindowText(B, "Abbruch");
    EXPECT_EQ(View->Look().Caption, QStringLiteral("Abbruch"));
    EXPECT_EQ(GetWindowText(B), "Abbruch");
}

// The owner draws: red while pushed, green otherwise, a blue bar along the top with the focus.
struct TOwner {
    std::vector<DRAWITEMSTRUCT> Items;
    void Attach(HWND Form) {
        Windows().Handlers[Form] = [this](HWND, UINT M, WPARAM,
                                          LPARAM Lp) -> std::optional<LRESULT> {
            if (M != WM_DRAWITEM) return std::nullopt;
            const auto& D = *reinterpret_cast<const DRAWITEMSTRUCT*>(Lp);
            Items.push_back(D);
            const HBRUSH Fill =
                CreateSolidBrush((D.itemState & ODS_SELECTED) ? RGB(255, 0, 0) : RGB(0, 255, 0));
            RECT R = D.rcItem;
            FillRect(D.hDC, &R, Fill);
            DeleteObject(Fill);
            if (D.itemState & ODS_FOCUS) {
                const HBRUSH Bar = CreateSolidBrush(RGB(0, 0, 255));
                R.bottom = R.top + 3;
                FillRect(D.hDC, &R, Bar);
                DeleteObject(Bar);
            }
            return TRUE;
        };
    }
};

TEST_F(Buttons, AnOwnerDrawnButtonIsWhatItsParentDraws) {
    TOwner Owner;
    Owner.Attach(Form);
    const HWND B = Button("", BS_OWNERDRAW, {20, 20, 95, 45}, 9);
    Drain();
    // No Qt widget: the parent's drawing on the window's surface is the button.
    EXPECT_EQ(AttachedWidget(B), nullptr);
    ASSERT_FALSE(Owner.Items.empty());
    const DRAWITEMSTRUCT First = Owner.Items.back();
    EXPECT_EQ(First.CtlType, ODT_BUTTON);
    EXPECT_EQ(First.CtlID, 9u);
    EXPECT_EQ(First.itemAction, ODA_DRAWENTIRE);
    EXPECT_EQ(First.hwndItem, B);
    EXPECT_EQ(First.rcItem, (RECT{0, 0, 75, 25}));
    EXPECT_EQ(PixelAt(B, 30, 15), qRgb(0, 255, 0));

    Owner.Items.clear();
    MouseMove(Form, ScreenOf(B, {30, 15}));
    MousePress(Form, ScreenOf(B, {30, 15}));
    Drain();
    ASSERT_EQ(Owner.Items.size(), 2u);
    EXPECT_EQ(Owner.Items[0].itemAction, ODA_FOCUS);
    EXPECT_EQ(Owner.Items[0].itemState, ODS_FOCUS);
    EXPECT_EQ(Owner.Items[1].itemAction, ODA_SELECT);
    EXPECT_EQ(Owner.Items[1].itemState, ODS_SELECTED | ODS_FOCUS);
    EXPECT_EQ(PixelAt(B, 30, 15), qRgb(255, 0, 0));
    EXPECT_EQ(PixelAt(B, 30, 1), qRgb(0, 0, 255));
    Windows().Log.clear();
    MouseRelease(Form, ScreenOf(B, {30, 15}));
    Drain();
    EXPECT_EQ(Owner.Items.back().itemState, ODS_FOCUS);
    EXPECT_EQ(PixelAt(B, 30, 15), qRgb(0, 255, 0));
    EXPECT_EQ(Codes(), (std::vector<WORD>{BN_CLICKED}));
    // Told to look like the default button, and disabled: the next drawing says so.
    SendMessage(B, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_EQ(GetWindowLongPtr(B, GWL_STYLE) & BS_TYPEMASK, LONG_PTR(BS_OWNERDRAW));
    Drain();
    EXPECT_EQ(Owner.Items.back().itemState, ODS_FOCUS | ODS_DEFAULT);
    EnableWindow(B, FALSE);
    Drain();
    EXPECT_EQ(Owner.Items.back().itemState, ODS_DISABLED | ODS_DEFAULT);
    EXPECT_EQ(Owner.Items.back().itemAction, ODA_DRAWENTIRE);
}

TEST_F(Buttons, CheckBoxesTakeTheirParentsColoursPushButtonsKeepTheSystems) {
    const HBRUSH Yellow = CreateSolidBrush(RGB(255, 255, 0));
    std::vector<UINT> Asked;
    Windows().Handlers[Form] = [&](HWND, UINT M, WPARAM Wp, LPARAM) -> std::optional<LRESULT> {
        if (M != WM_CTLCOLORSTATIC && M != WM_CTLCOLORBTN) return std::nullopt;
        Asked.push_back(M);
        SetTextColor(static_cast<HDC>(Wp), RGB(200, 0, 0));
        return static_cast<LRESULT>(Yellow);
    };
    const HWND Box = Button("Farbe", BS_AUTOCHECKBOX, {10, 10, 150, 30});
    const HWND Push = Button("Knopf", BS_PUSHBUTTON, {10, 40, 150, 63});
    Drain();
    EXPECT_NE(std::find(Asked.begin(), Asked.end(), WM_CTLCOLORSTATIC), Asked.end());
    EXPECT_NE(std::find(Asked.begin(), Asked.end(), WM_CTLCOLORBTN), Asked.end());
    EXPECT_EQ(PixelAt(Box, 130, 10), qRgb(255, 255, 0));
    EXPECT_EQ(PixelAt(Push, 130, 10), ColorOf(GetSysColor(COLOR_BTNFACE)));
    // Disabled, the check box is not painted by us again: it keeps the colour its parent gave.
    EnableWindow(Box, FALSE);
    Drain();
    EXPECT_EQ(PixelAt(Box, 130, 10), qRgb(255, 255, 0));
    Windows().Handlers.erase(Form);
    DestroyWindow(Box);
    DestroyWindow(Push);
    DeleteObject(Yellow);
}

TEST_F(Buttons, AButtonDestroyedByItsOwnClickGoesSafely) {
    const HWND B = Button("Weg", BS_AUTOCHECKBOX, {10, 10, 100, 30});
    Windows().Handlers[Form] = [&](HWND, UINT M, WPARAM Wp, LPARAM) -> std::optional<LRESULT> {
        if (M == WM_COMMAND && HIWORD(Wp) == BN_CLICKED) DestroyWindow(B);
        return std::nullopt;
    };
    Click(B);
    EXPECT_FALSE(IsWindow(B));
    EXPECT_EQ(GetCapture(), 0u);
}

TEST_F(Buttons, APictureOfEveryKind) {
    TOwner Owner;
    Owner.Attach(Form);
    const HWND Ok = Button("&OK", BS_DEFPUSHBUTTON, {10, 10, 85, 33});
    Button("Abbruch", BS_PUSHBUTTON, {95, 10, 170, 33});
    const HWND Pushed = Button(
        "Gedr\xFC"
        "ckt",
        BS_PUSHBUTTON, {180, 10, 255, 33});
    SendMessage(Pushed, BM_SETSTATE, TRUE, 0);
    Button("Zwei\r\nZeilen", BS_PUSHBUTTON | BS_MULTILINE, {265, 10, 340, 45});
    const HWND Header = Button("nur &Header", BS_AUTOCHECKBOX, {10, 50, 130, 67});
    SendMessage(Header, BM_SETCHECK, BST_CHECKED, 0);
    const HWND Grey = Button("unbestimmt", BS_AUTO3STATE, {140, 50, 260, 67});
    SendMessage(Grey, BM_SETCHECK, BST_INDETERMINATE, 0);
    const HWND Off = Button("gesperrt", BS_CHECKBOX | WS_DISABLED, {10, 72, 130, 89});
    SendMessage(Off, BM_SETCHECK, BST_CHECKED, 0);
    Button("links", BS_CHECKBOX | BS_LEFTTEXT, {140, 72, 260, 89});
    const HWND Group = Button(" MIME-Teile ", BS_GROUPBOX, {10, 100, 200, 190});
    const HWND One = Button("&Eins", BS_AUTORADIOBUTTON, {20, 120, 120, 137});
    SendMessage(One, BM_SETCHECK, BST_CHECKED, 0);
    Button("Zwei", BS_AUTORADIOBUTTON, {20, 142, 120, 159});
    const HWND Like = Button("Umschalter", BS_AUTOCHECKBOX | BS_PUSHLIKE, {210, 110, 300, 133});
    SendMessage(Like, BM_SETCHECK, BST_CHECKED, 0);
    Button("", BS_OWNERDRAW, {210, 145, 285, 170});
    SetFocus(Ok);
    Drain();
    ASSERT_TRUE(SaveWindowPicture(Form, PicturePath("buttons")));
    (void)Group;
    // The default button's black frame; the checked box: a tick in the window colour.
    EXPECT_EQ(PixelAt(Ok, 0, 10), qRgb(0, 0, 0));
    EXPECT_EQ(PixelAt(Ok, 1, 10), ColorOf(GetSysColor(COLOR_BTNHIGHLIGHT)));
    int White = 0;
    int Black = 0;
    for (int Y = 2; Y < 15; ++Y)
        for (int X = 0; X < 13; ++X) {
            White += PixelAt(Header, X, Y) == ColorOf(GetSysColor(COLOR_WINDOW));
            Black += PixelAt(Header, X, Y) == ColorOf(GetSysColor(COLOR_WINDOWTEXT));
        }
    EXPECT_GT(White, 40);
    EXPECT_GT(Black, 10);
}

}  // namespace
