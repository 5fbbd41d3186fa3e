// Wrapped standard controls and the EDIT class: messages in, notifications out, input only
// through our messages (so hooks and subclassing come first), placement and lifetime.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>

#include "platform/controls/ControlLook.h"
#include "platform/controls/Controls.h"
#include "platform/controls/WrappedControl.h"
#include "platform/core/Wrapping.h"
#include "tests/support/GuiTestSupport.h"

using namespace GuiTest;

namespace {

constexpr UINT_PTR kEditId = 101;

class Edit : public testing::Test {
  protected:
    void SetUp() override {
        InitStandardControls();
        Drain();
        Form = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {100, 100, 400, 250}, 0, "Form"));
        Field = CreateWindowEx(WS_EX_CLIENTEDGE, "edit",
                               "Gr\xFC\xDF"
                               "e",
                               WS_CHILD | WS_VISIBLE, 10, 20, 150, 24, Form, kEditId, 0, nullptr);
        ASSERT_NE(Field, 0u);
        Drain();
        Windows().Recorded = {WM_COMMAND, WM_NOTIFY};
        Windows().Log.clear();
    }
    void TearDown() override { Drain(); }

    QLineEdit* Line() const { return qobject_cast<QLineEdit*>(AttachedWidget(Field)); }
    // The notification codes the form got from the edit, in order.
    std::vector<WORD> Codes() const {
        std::vector<WORD> Out;
        for (const TRecorded& R : Windows().Of(Form, {WM_COMMAND})) {
            EXPECT_EQ(LOWORD(R.WParam), kEditId);
            EXPECT_EQ(static_cast<HWND>(R.LParam), Field);
            Out.push_back(HIWORD(R.WParam));
        }
        return Out;
    }
    void Type(const char* Keys) {
        for (const char* K = Keys; *K; ++K) QTest::keyClick(QtWindowOf(Form), *K);
        Drain();
    }

    TWindowGuard Guard;
    HWND Form = 0;
    HWND Field = 0;
};

TEST_F(Edit, TheWidgetLiesAtItsWindowAndFollowsIt) {
    QLineEdit* L = Line();
    ASSERT_NE(L, nullptr);
    EXPECT_EQ(L->parentWidget(), HostOfWindow(Form));
    EXPECT_EQ(L->geometry(), QRect(10, 20, 150, 24));
    EXPECT_TRUE(L->isVisible());
    EXPECT_TRUE(L->hasFrame());
    MoveWindow(Field, 30, 40, 100, 22, TRUE);
    EXPECT_EQ(L->geometry(), QRect(30, 40, 100, 22));
    ShowWindow(Field, SW_HIDE);
    EXPECT_FALSE(L->isVisible());
    ShowWindow(Field, SW_SHOW);
    // It goes to another form's host with its window.
    const HWND Other = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {500, 100, 700, 200}));
    SetParent(Field, Other);
    EXPECT_EQ(L->parentWidget(), HostOfWindow(Other));
    EXPECT_TRUE(L->isVisible());
    // Its window answers for the text, in bytes.
    EXPECT_EQ(GetWindowText(Field),
              "Gr\xFC\xDF"
              "e");
    EXPECT_EQ(L->text(), QStringLiteral("Gr\u00fc\u00dfe"));
    EXPECT_EQ(GetClassName(Field), "EDIT");
}

TEST_F(Edit, MessagesSetTextSelectionLimitsAndLook) {
    QLineEdit* L = Line();
    SetWindowText(Field, "Hallo Welt");
    EXPECT_EQ(Codes(), (std::vector<WORD>{EN_UPDATE, EN_CHANGE}));
    SendMessage(Field, EM_SETSEL, 2, 5);
    DWORD Start = 0;
    DWORD End = 0;
    const LRESULT Both = SendMessage(Field, EM_GETSEL, reinterpret_cast<WPARAM>(&Start),
                                     reinterpret_cast<LPARAM>(&End));
    EXPECT_EQ(Start, 2u);
    EXPECT_EQ(End, 5u);
    EXPECT_EQ(Both, MAKELONG(2, 5));
    EXPECT_EQ(L->selectedText(), QStringLiteral("llo"));
    SendMessage(Field, EM_SETSEL, 0, static_cast<LPARAM>(-1));
    EXPECT_EQ(L->selectedText(), QStringLiteral("Hallo Welt"));
    SendMessage(Field, EM_SETSEL, static_cast<WPARAM>(-1), 0);
    EXPECT_FALSE(L->hasSelectedText());

    SendMessage(Field, EM_LIMITTEXT, 12, 0);
    EXPECT_EQ(SendMessage(Field, EM_GETLIMITTEXT, 0, 0), 12);
    SendMessage(Field, EM_LIMITTEXT, 0, 0);
    EXPECT_EQ(SendMessage(Field, EM_GETLIMITTEXT, 0, 0), kEditMaxLength);

    SendMessage(Field, EM_SETPASSWORDCHAR, '#', 0);
    EXPECT_EQ(L->echoMode(), QLineEdit::Password);
    EXPECT_EQ(L->displayText(), QString(10, QLatin1Char('#')));
    EXPECT_EQ(SendMessage(Field, EM_GETPASSWORDCHAR, 0, 0), '#');
    SendMessage(Field, EM_SETPASSWORDCHAR, 0, 0);
    EXPECT_EQ(L->echoMode(), QLineEdit::Normal);

    RECT Format{4, 2, 140, 22};
    SendMessage(Field, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&Format));
    RECT Back{};
    SendMessage(Field, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&Back));
    EXPECT_EQ(Back, Format);

    SendMessage(Field, EM_SETREADONLY, TRUE, 0);
    EXPECT_TRUE(L->isReadOnly());
    EXPECT_TRUE(GetWindowLongPtr(Field, GWL_STYLE) & ES_READONLY);
    EnableWindow(Field, FALSE);
    EXPECT_FALSE(L->isEnabled());  // controls are greyed, unlike forms
}

// Its colours are asked for when it is painted: a new edit is not painted once more for a
// colour of the disabled state it does not show, and disabled it takes the static colours.
TEST_F(Edit, ColoursAskedWhenPaintedCostNoSecondPaintAndFollowTheState) {
    struct TPaints : QObject {
        int Count = 0;
        bool eventFilter(QObject*, QEvent* E) override {
            if (E->type() == QEvent::Paint) ++Count;
            return false;
        }
    } Paints;
    // On a form shown after it was filled, as forms are.
    const HWND Other = Guard(Windows().Create(0, WS_POPUP, {500, 100, 700, 200}));
    const HWND Fresh = CreateWindowEx(WS_EX_CLIENTEDGE, "edit", "neu", WS_CHILD | WS_VISIBLE, 10,
                                      60, 150, 24, Other, kEditId + 1, 0, nullptr);
    ASSERT_NE(Fresh, 0u);
    QWidget* W = AttachedWidget(Fresh);
    ASSERT_NE(W, nullptr);
    W->installEventFilter(&Paints);
    ShowWindow(Other, SW_SHOWNA);
    Drain();
    Drain();
    // When the form's host is first shown and when the edit's frame is drawn beside it.
    EXPECT_LE(Paints.Count, 2);
    const QColor Window = QtColor(GetSysColor(COLOR_WINDOW));
    const QColor Face = QtColor(GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(W->palette().color(QPalette::Active, QPalette::Base), Window);

    EnableWindow(Fresh, FALSE);
    InvalidateRect(Fresh, nullptr, TRUE);
    Drain();
    EXPECT_EQ(W->palette().color(QPalette::Disabled, QPalette::Base), Face);
    EnableWindow(Fresh, TRUE);
    InvalidateRect(Fresh, nullptr, TRUE);
    Drain();
    EXPECT_EQ(W->palette().color(QPalette::Active, QPalette::Base), Window);
    EXPECT_EQ(W->palette().color(QPalette::Inactive, QPalette::Base), Window);
    W->removeEventFilter(&Paints);
}

// WM_SETFONT gives the widget what our painting would draw with: the face substituted and the
// height in pixels at 96 DPI; 0 or a handle that is no font gives the default GUI font.
TEST_F(Edit, FontsSetByHandleShowSubstitutedAtTheirPixelSize) {
    QLineEdit* L = Line();
    struct TCase {
        const char* Face;
        int Height;
        const char* Family;
        int Pixels;
    };
    for (const TCase& C : {TCase{"MS Sans Serif", -11, "DejaVu Sans", 11},
                           TCase{"Courier New", -16, "Liberation Mono", 16},
                           TCase{"Tahoma", -13, "DejaVu Sans", 13}}) {
        SCOPED_TRACE(C.Face);
        const HFONT F =
            CreateFont(C.Height, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, C.Face);
        SendMessage(Field, WM_SETFONT, static_cast<WPARAM>(F), FALSE);
        EXPECT_EQ(L->font().family(), QString::fromLatin1(C.Family));
        EXPECT_EQ(L->font().pixelSize(), C.Pixels);
        EXPECT_EQ(static_cast<HFONT>(SendMessage(Field, WM_GETFONT, 0, 0)), F);
        SendMessage(Field, WM_SETFONT, 0, FALSE);
        DeleteObject(F);
    }
    const HFONT Bold =
        CreateFont(-12, 0, 0, 0, FW_BOLD, TRUE, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    SendMessage(Field, WM_SETFONT, static_cast<WPARAM>(Bold), FALSE);
    EXPECT_TRUE(L->font().bold());
    EXPECT_TRUE(L->font().italic());
    DeleteObject(Bold);
    for (const WPARAM NoFont : {WPARAM(0), WPARAM(Bold), WPARAM(GetStockObject(WHITE_BRUSH))}) {
        SendMessage(Field, WM_SETFONT, NoFont, FALSE);
        EXPECT_EQ(L->font().family(), QStringLiteral("DejaVu Sans"));
        EXPECT_EQ(L->font().pixelSize(), 11);
        EXPECT_FALSE(L->font().bold());
    }
}

TEST_F(Edit, TypingArrivesThroughOurMessagesAndNotifies) {
    SetWindowText(Field, "");
    Windows().Log.clear();
    const HWND Before = Guard(Windows().Create(0, WS_CHILD | WS_VISIBLE, {200, 20, 220, 40}, Form));
    SetFocus(Before);
    Windows().Log.clear();
    // A click gives the edit the focus, as edits take it.
    MouseClick(Form, ScreenOf(Field, POINT{5, 5}));
    Drain();
    EXPECT_EQ(GetFocus(), Field);
    Type("ab");
    EXPECT_EQ(GetWindowText(Field), "ab");
    EXPECT_EQ(Codes(),
              (std::vector<WORD>{EN_SETFOCUS, EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE}));
    EXPECT_TRUE(SendMessage(Field, EM_GETMODIFY, 0, 0));
    // Keys the edit handles itself come as keys: Backspace, Home, Shift+End.
    QTest::keyClick(QtWindowOf(Form), Qt::Key_Backspace);
    QTest::keyClick(QtWindowOf(Form), Qt::Key_Home);
    QTest::keyClick(QtWindowOf(Form), Qt::Key_End, Qt::ShiftModifier);
    Drain();
    EXPECT_EQ(GetWindowText(Field), "a");
    EXPECT_EQ(Line()->selectedText(), QStringLiteral("a"));
    // A limit stops typing and says so.
    SendMessage(Field, EM_SETSEL, 1, 1);
    SendMessage(Field, EM_LIMITTEXT, 2, 0);
    Windows().Log.clear();
    Type("xyz");
    EXPECT_EQ(GetWindowText(Field), "ax");
    EXPECT_EQ(Codes(), (std::vector<WORD>{EN_UPDATE, EN_CHANGE, EN_MAXTEXT, EN_MAXTEXT}));
    Windows().Log.clear();
    SetFocus(Before);
    EXPECT_EQ(Codes(), (std::vector<WORD>{EN_KILLFOCUS}));
}

TEST_F(Edit, StylesFilterAndCaseWhatIsTyped) {
    struct TCase {
        DWORD Style;
        const char* Keys;
        const char* Want;
    };
    const TCase Cases[] = {
        {0, "aB1", "aB1"},
        {ES_NUMBER, "a1b2", "12"},
        {ES_UPPERCASE, "aB1", "AB1"},
        {ES_LOWERCASE, "aB1", "ab1"},
    };
    for (const TCase& C : Cases) {
        const HWND Styled = CreateWindowEx(0, "edit", "", WS_CHILD | WS_VISIBLE | C.Style, 10, 60,
                                           100, 24, Form, 0, 0, nullptr);
        SetFocus(Styled);
        Type(C.Keys);
        EXPECT_EQ(GetWindowText(Styled), C.Want) << C.Keys << " with style " << C.Style;
        DestroyWindow(Styled);
    }
}

TEST_F(Edit, TextSetFromOutsideIsUnmodifiedAndReadsBackWithinTheBuffer) {
    SetFocus(Field);
    Type("x");
    EXPECT_TRUE(SendMessage(Field, EM_GETMODIFY, 0, 0));
    SetWindowText(Field, "new");
    EXPECT_FALSE(SendMessage(Field, EM_GETMODIFY, 0, 0));
    // A buffer of 3 takes two characters and the terminator, and not a byte more.
    char Buffer[6] = {'x', 'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(SendMessage(Field, WM_GETTEXT, 3, reinterpret_cast<LPARAM>(Buffer)), 2);
    EXPECT_EQ(std::string(Buffer, 6), std::string("ne\0xxx", 6));
    EXPECT_EQ(SendMessage(Field, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(Buffer)), 0);
    EXPECT_EQ(Buffer[0], 'n');
}

HHOOK EatQ = 0;

TEST_F(Edit, AKeyboardHookEatsAKeyAimedAtTheEditAndSubclassingComesFirst) {
    SetWindowText(Field, "");
    SetFocus(Field);
    EatQ = SetWindowsHookEx(WH_KEYBOARD, [](int Code, WPARAM Wp, LPARAM Lp) -> LRESULT {
        if (Wp == VK_Q) return 1;
        return CallNextHookEx(EatQ, Code, Wp, Lp);
    });
    Type("aqb");
    UnhookWindowsHookEx(EatQ);
    EXPECT_EQ(GetWindowText(Field), "ab");
    // A subclass that drops 'x' before the edit's own procedure.
    static WNDPROC Old = nullptr;
    Old = reinterpret_cast<WNDPROC>(SetWindowLongPtr(
        Field, GWLP_WNDPROC,
        reinterpret_cast<LONG_PTR>(+[](HWND W, UINT M, WPARAM Wp, LPARAM Lp) -> LRESULT {
            if (M == WM_CHAR && Wp == 'x') return 0;
            return CallWindowProc(Old, W, M, Wp, Lp);
        })));
    Type("xcx");
    EXPECT_EQ(GetWindowText(Field), "abc");
    SetWindowLongPtr(Field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Old));
}

TEST_F(Edit, AnEditDestroyedFromItsOwnNotificationGoesSafely) {
    QPointer<QLineEdit> L = Line();
    Windows().Handlers[Form] = [&](HWND, UINT M, WPARAM Wp, LPARAM) -> std::optional<LRESULT> {
        if (M == WM_COMMAND && HIWORD(Wp) == EN_CHANGE) DestroyWindow(Field);
        return std::nullopt;
    };
    SetFocus(Field);
    Type("z");
    EXPECT_FALSE(IsWindow(Field));
    EXPECT_TRUE(L.isNull());
    EXPECT_EQ(GetFocus(), Form);  // the focus went back to the parent
}

TEST_F(Edit, APictureShowsTheSurfaceAndTheWidgets) {
    const HWND Password =
        CreateWindowEx(WS_EX_CLIENTEDGE, "EDIT", "secret", WS_CHILD | WS_VISIBLE | ES_PASSWORD, 10,
                       60, 150, 24, Form, 102, 0, nullptr);
    const HWND Right =
        CreateWindowEx(0, "EDIT", "right", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_RIGHT, 10, 100,
                       150, 24, Form, 103, 0, nullptr);
    Drain();
    EXPECT_EQ(qobject_cast<QLineEdit*>(AttachedWidget(Password))->displayText(),
              QStringLiteral("******"));
    EXPECT_TRUE(qobject_cast<QLineEdit*>(AttachedWidget(Right))->alignment() & Qt::AlignRight);
    ASSERT_TRUE(SaveWindowPicture(Form, PicturePath("edits")));
    const QImage Picture = WindowPicture(Field);
    EXPECT_EQ(Picture.size(), QSize(150, 24));
}

// A control of the test's own, to see the mechanism serve another class: a push button that
// tells its parent about clicks with WM_NOTIFY.
class TTestButton : public TWrappedControl {
  public:
    using TWrappedControl::TWrappedControl;
    static constexpr UINT kClicked = 0xFFFFFFFEu;  // NM_CLICK

  protected:
    QWidget* CreateWidget(QWidget* Host, const CREATESTRUCT&) override {
        FButton = new QPushButton(Host);
        QObject::connect(FButton, &QPushButton::clicked, [this] { Notify(kClicked); });
        return FButton;
    }
    std::string Text() const override { return FButton->text().toStdString(); }
    void SetText(const std::string& Text) override {
        FButton->setText(QString::fromStdString(Text));
    }

  private:
    QPushButton* FButton = nullptr;
};

TEST(WrappedControls, AnyQtWidgetServesAsAControlAndNotifiesItsParent) {
    static bool Registered = RegisterWrappedClass<TTestButton>("TestButton", 0) != 0;
    ASSERT_TRUE(Registered);
    TWindowGuard Guard;
    const HWND Form = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {0, 0, 200, 100}));
    const HWND Button = CreateWindowEx(0, "TestButton", "Press", WS_CHILD | WS_VISIBLE, 10, 10, 80,
                                       30, Form, 7, 0, nullptr);
    Drain();
    ASSERT_NE(TWrappedControl::Of(Button), nullptr);
    EXPECT_EQ(GetWindowText(Button), "Press");
    Windows().Recorded = {WM_NOTIFY};
    Windows().Log.clear();
    MouseClick(Form, ScreenOf(Button, POINT{40, 15}));
    Drain();
    const auto Notes = Windows().Of(Form, {WM_NOTIFY});
    ASSERT_EQ(Notes.size(), 1u);
    EXPECT_EQ(Notes[0].WParam, 7u);
    DestroyWindow(Button);
    EXPECT_EQ(TWrappedControl::Of(Button), nullptr);
}

}  // namespace
