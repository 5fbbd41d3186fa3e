// The status bar: panels as the window's parts (widths, texts, alignment, bevels, owner drawing),
// changes shown at once, the simple text, and the place the class library's alignment gives it.
#include "platform/controls/StatusBar.h"
#include "tests/platform/widgets/ListsTestSupport.h"

using namespace ListsTest;
using namespace GuiTest;

namespace {

std::vector<int> Parts(TStatusBar* Bar) {
    int Rights[300];
    const int N = int(SendMessage(Bar->Handle(), SB_GETPARTS, 300, LPARAM(Rights)));
    return std::vector<int>(Rights, Rights + N);
}

std::string PartText(TStatusBar* Bar, int Part) {
    char Buffer[256] = {};
    SendMessage(Bar->Handle(), SB_GETTEXT, WPARAM(Part), LPARAM(Buffer));
    return Buffer;
}

UINT PartType(TStatusBar* Bar, int Part) {
    return HIWORD(std::uintptr_t(SendMessage(Bar->Handle(), SB_GETTEXTLENGTH, WPARAM(Part), 0)));
}

TEST_F(ListsFixture, PanelsAreTheBarsPartsAndChangesShowAtOnce) {
    TTestListsForm* Form = ShowForm();
    TStatusBar* Bar = Form->StatusBar;
    // The last panel reaches to the end of the bar.
    EXPECT_EQ(Parts(Bar), (std::vector<int>{263, 338, 413, 488, -1}));
    struct TExpected {
        int Part;
        std::string Text;
        UINT Type;
    };
    const TExpected Expected[] = {
        {0, "Es sind noch 3 Tasks in der ToDo-Liste...", 0},
        {1, "\t\t 2 Mails", 0},  // right-aligned
        {2, "\t 5 News", 0},     // centred
        {3, " 1,00 KB", SBT_POPOUT},
    };
    for (const TExpected& E : Expected) {
        SCOPED_TRACE(E.Part);
        EXPECT_EQ(PartText(Bar, E.Part), E.Text);
        EXPECT_EQ(PartType(Bar, E.Part), E.Type);
    }
    // An owner-drawn part answers with its item data, none.
    EXPECT_EQ(SendMessage(Bar->Handle(), SB_GETTEXTLENGTH, 4, 0), 0);
    // The owner-drawn panel is drawn inside its edge.
    RECT R;
    SendMessage(Bar->Handle(), SB_GETRECT, 4, LPARAM(&R));
    InflateRect(&R, -1, -1);
    const std::string Drawn = "panel 4 " + std::to_string(R.left) + "," + std::to_string(R.top) +
                              "," + std::to_string(R.right) + "," + std::to_string(R.bottom);
    EXPECT_NE(std::find(Form->Log.begin(), Form->Log.end(), Drawn), Form->Log.end()) << Drawn;
    SaveWindowPicture(Bar->Handle(), Picture("statusbar"));

    Bar->Panels()->Items(0)->SetText("Die ToDo-Liste ist abgearbeitet");
    EXPECT_EQ(PartText(Bar, 0), "Die ToDo-Liste ist abgearbeitet");
    Bar->Panels()->Items(1)->SetWidth(100);
    EXPECT_EQ(Parts(Bar), (std::vector<int>{263, 363, 438, 513, -1}));
    Bar->Panels()->Add()->SetText("new");
    EXPECT_EQ(Parts(Bar), (std::vector<int>{263, 363, 438, 513, 588, -1}));
    EXPECT_EQ(PartText(Bar, 5), "new");
    Bar->Panels()->Delete(0);
    EXPECT_EQ(PartText(Bar, 0), "\t\t 2 Mails");
    EXPECT_EQ(PartText(Bar, 2), " 1,00 KB");

    Bar->SetSimpleText("Dial Status: connected");
    Bar->SetSimplePanel(true);
    EXPECT_TRUE(SendMessage(Bar->Handle(), SB_ISSIMPLE, 0, 0));
    EXPECT_EQ(PartText(Bar, int(SB_SIMPLEID)), "Dial Status: connected");
    // A new window shows what the bar held.
    Bar->SetSizeGrip(false);
    EXPECT_TRUE(SendMessage(Bar->Handle(), SB_ISSIMPLE, 0, 0));
    EXPECT_EQ(GetWindowLongPtr(Bar->Handle(), GWL_STYLE) & SBARS_SIZEGRIP, 0);
    Bar->SetSimplePanel(false);
    EXPECT_EQ(Parts(Bar).size(), 5u);
    Bar->Panels()->Clear();
    EXPECT_EQ(Parts(Bar), (std::vector<int>{-1}));
    EXPECT_EQ(PartText(Bar, 0), "");
}

TEST_F(ListsFixture, TheAlignmentKeepsTheBarAtTheBottomAcrossTheForm) {
    TTestListsForm* Form = ShowForm();
    TStatusBar* Bar = Form->StatusBar;
    EXPECT_EQ(Bar->Align(), alBottom);
    EXPECT_NE(GetWindowLongPtr(Bar->Handle(), GWL_STYLE) & SBARS_SIZEGRIP, 0);
    for (const SIZE Size : {SIZE{640, 360}, SIZE{420, 250}}) {
        Form->SetClientSize(Size.cx, Size.cy);
        Drain();
        EXPECT_EQ(Bar->BoundsRect(), (TRect{0, Size.cy - 19, Size.cx, Size.cy}));
        RECT R;
        GetWindowRect(Bar->Handle(), &R);
        POINT P{R.left, R.top};
        ScreenToClient(Form->Handle(), &P);
        EXPECT_EQ(P.y, Size.cy - 19);
        EXPECT_EQ(R.right - R.left, Size.cx);
    }
    // On a form the user cannot size, there is no grip.
    Form->SetBorderStyle(bsDialog);
    Bar->SetSizeGrip(false);
    Bar->SetSizeGrip(true);
    EXPECT_EQ(GetWindowLongPtr(Bar->Handle(), GWL_STYLE) & SBARS_SIZEGRIP, 0);
}

}  // namespace
