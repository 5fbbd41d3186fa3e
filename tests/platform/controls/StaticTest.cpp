// The STATIC class: clicks only with SS_NOTIFY (and never the focus), the text as the window
// keeps it, the parent's colours, and the look of each type.
#include <gtest/gtest.h>

#include "platform/controls/Controls.h"
#include "tests/support/GuiTestSupport.h"

using namespace GuiTest;

namespace {

class Statics : public testing::Test {
  protected:
    void SetUp() override {
        InitStandardControls();
        Drain();
        Form = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {100, 100, 420, 300}, 0, "Form"));
        Drain();
    }
    void TearDown() override { Drain(); }
    HWND Static(const char* Text, DWORD Style, RECT R, UINT_PTR Id = 1) {
        return CreateWindowEx(0, "STATIC", Text, WS_CHILD | WS_VISIBLE | Style, R.left, R.top,
                              R.right - R.left, R.bottom - R.top, Form, Id, 0, nullptr);
    }
    TWindowGuard Guard;
    HWND Form = 0;
};

TEST_F(Statics, OnlyANotifyingStaticHearsTheMouseAndNoneTakesTheFocus) {
    const HWND Quiet = Static("still", SS_LEFT, {10, 10, 100, 30}, 1);
    const HWND Loud = Static("laut", SS_LEFT | SS_NOTIFY, {10, 40, 100, 60}, 2);
    const HWND Field = Guard(Windows().Create(0, WS_CHILD | WS_VISIBLE, {200, 10, 300, 30}, Form));
    SetFocus(Field);
    Windows().Recorded = {WM_COMMAND, WM_LBUTTONDOWN};
    Windows().Log.clear();
    MouseClick(Form, ScreenOf(Quiet, {5, 5}));
    Drain();
    // Through the quiet one to the form below it.
    EXPECT_EQ(Windows().MessagesOf(Form), (std::vector<UINT>{WM_LBUTTONDOWN}));
    Windows().Log.clear();
    MouseDoubleClick(Form, ScreenOf(Loud, {5, 5}));
    Drain();
    std::vector<WORD> Codes;
    for (const TRecorded& R : Windows().Of(Form, {WM_COMMAND})) {
        EXPECT_EQ(LOWORD(R.WParam), 2);
        Codes.push_back(HIWORD(R.WParam));
    }
    EXPECT_EQ(Codes, (std::vector<WORD>{STN_CLICKED, STN_DBLCLK}));
    EXPECT_EQ(GetFocus(), Field);
    EXPECT_EQ(SendMessage(Loud, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
    SetWindowText(Loud, "neu\r\nzwei Zeilen");
    EXPECT_EQ(GetWindowText(Loud), "neu\r\nzwei Zeilen");
    EXPECT_EQ(GetWindowTextLength(Loud), 16);
}

TEST_F(Statics, TextTakesTheParentsColoursAndEveryTypeItsLook) {
    const HBRUSH White = CreateSolidBrush(RGB(255, 255, 255));
    Windows().Handlers[Form] = [&](HWND, UINT M, WPARAM Wp, LPARAM) -> std::optional<LRESULT> {
        if (M != WM_CTLCOLORSTATIC) return std::nullopt;
        SetTextColor(static_cast<HDC>(Wp), RGB(0, 0, 160));
        return static_cast<LRESULT>(White);
    };
    const HWND Left = Static("&Links umbrechender Text in zwei Zeilen", SS_LEFT, {10, 10, 150, 45});
    Static("Mitte", SS_CENTER, {160, 10, 300, 28});
    Static("Rechts", SS_RIGHT, {160, 30, 300, 48});
    Static("Kein && Umbruch hier, abgeschnitten", SS_LEFTNOWORDWRAP, {10, 55, 120, 73});
    Static(
        "&Ohne Pr\xE4"
        "fix",
        SS_NOPREFIX | SS_SUNKEN | SS_CENTERIMAGE, {160, 55, 300, 80});
    const HWND Line = Static("", SS_ETCHEDHORZ, {10, 90, 300, 92});
    Static("", SS_ETCHEDFRAME, {10, 100, 150, 150});
    Static("", SS_ETCHEDVERT, {160, 100, 162, 150});
    Static("Gesperrt", SS_LEFT | WS_DISABLED, {170, 100, 300, 118});
    Drain();
    ASSERT_TRUE(SaveWindowPicture(Form, PicturePath("statics")));
    // The parent's background behind the text; the text in its colour somewhere.
    EXPECT_EQ(PixelAt(Left, 138, 2), qRgb(255, 255, 255));
    bool Blue = false;
    for (int Y = 0; Y < 35; ++Y)
        for (int X = 0; X < 140; ++X) Blue = Blue || PixelAt(Left, X, Y) == qRgb(0, 0, 160);
    EXPECT_TRUE(Blue);
    // An etched line: shadow above highlight.
    EXPECT_EQ(PixelAt(Line, 50, 0), ColorOf(GetSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(PixelAt(Line, 50, 1), ColorOf(GetSysColor(COLOR_BTNHIGHLIGHT)));
    Windows().Handlers.clear();
    DeleteObject(White);
}

}  // namespace
