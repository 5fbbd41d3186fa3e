// The column list drawn on the screen, checked by its pixels: columns in their widths, bold
// parts, right-aligned columns and the "..." of texts too long; and the popup list's value and
// height.
#include <QImage>

#include "components/dcedit/DCListBox.h"
#include "components/dcedit/PopupListBox.h"
#include "tests/components/dcedit/DCEditTestSupport.h"

using namespace DCEditTest;
using namespace GuiTest;

namespace {

class ColumnList : public testing::Test {
  protected:
    void SetUp() override {
        StartEditControls();
        Form = ShownForm(TRect{120, 100, 540, 300}, "Column list");
        List = new TDCListBox(Form);
        List->SetParent(Form);
        List->SetBounds(8, 8, 390, 120);
        List->SetItemHeight(18);
        Drain();
    }
    void TearDown() override {
        Form->Free();
        Drain();
    }
    // The list's client area as it shows on the screen.
    QImage Client() {
        const QImage Window = WindowPicture(List->Handle());
        const TPoint Origin = List->ClientToScreen(TPoint{0, 0});
        RECT R;
        GetWindowRect(List->Handle(), &R);
        return Window.copy(Origin.X - R.left, Origin.Y - R.top, List->ClientWidth(),
                           List->ClientHeight());
    }
    // Dark pixels in the columns X0..X1 of a row.
    static int Ink(const QImage& Image, int Row, int Height, int X0, int X1) {
        int Count = 0;
        for (int Y = Row * Height; Y < (Row + 1) * Height; ++Y)
            for (int X = std::max(X0, 0); X < std::min(X1, Image.width()); ++X)
                Count += qGray(Image.pixel(X, Y)) < 128 ? 1 : 0;
        return Count;
    }
    static int LeftmostInk(const QImage& Image, int Row, int Height, int X0, int X1) {
        for (int X = X0; X < std::min(X1, Image.width()); ++X)
            if (Ink(Image, Row, Height, X, X + 1) > 0) return X;
        return -1;
    }
    static int RightmostInk(const QImage& Image, int Row, int Height, int X0, int X1) {
        for (int X = std::min(X1, Image.width()) - 1; X >= X0; --X)
            if (Ink(Image, Row, Height, X, X + 1) > 0) return X;
        return -1;
    }
    TForm* Form = nullptr;
    TDCListBox* List = nullptr;
};

TEST_F(ColumnList, ColumnsAreDrawnInTheirWidthsWithBoldPartsRightAlignmentAndEllipses) {
    List->ListColumns()->Add();
    List->ListColumns()->Add()->SetColumnSize(150);
    List->ListColumns()->Add()->SetAlignment(taRightJustify);
    List->Items()->Add("Anna|Meeting on Monday|1234");
    List->Items()->Add("Anna|~Meeting~ on Monday|20480");
    List->Items()->Add("Carla|Photos of the long trip to the mountains and the lake|1048576");
    List->Items()->Add("Bert");
    List->SetItemIndex(3);
    Drain();
    SaveWindowPicture(Form->Handle(), Picture("column-list"));

    // Automatic widths: the widest text of the column and a blank, and the column's insets.
    TCanvas& C = *List->Canvas();
    const auto Auto = [&](const char* Widest) { return C.TextWidth(Widest) + 5; };
    EXPECT_EQ(List->AutoColumnWidth(0), Auto("Carla "));
    EXPECT_EQ(List->AutoColumnWidth(2), Auto("1048576 "));
    EXPECT_EQ(List->ColumnWidth(1), 150);
    const int Column1 = List->ColumnWidth(0);
    const int Column2 = Column1 + 150;
    const int End = Column2 + List->ColumnWidth(2);

    const QImage Image = Client();
    const int H = List->ItemHeight();
    // The marked part is bold: more ink than the same words plain.
    EXPECT_GT(Ink(Image, 1, H, Column1, Column2), Ink(Image, 0, H, Column1, Column2) + 10);
    // Plain text of one column keeps out of the next (2 pixels at each end stay free).
    EXPECT_EQ(Ink(Image, 2, H, Column2 - 2, Column2 + 2), 0);
    // The long text fills its column up to the "..." near its end.
    EXPECT_GT(RightmostInk(Image, 2, H, Column1, Column2), Column2 - 12);
    // Right-aligned numbers end 3 pixels before their column's end, whatever their length.
    for (int Row : {0, 1, 2}) {
        EXPECT_GE(RightmostInk(Image, Row, H, Column2, End), End - 6) << Row;
        EXPECT_LT(RightmostInk(Image, Row, H, Column2, End), End - 2) << Row;
    }
    // The widest number fits its automatic width whole: it starts a blank in, not at the left.
    EXPECT_GE(LeftmostInk(Image, 2, H, Column2, End), Column2 + 5);
    // The selected item is drawn in the highlight colour.
    EXPECT_EQ(Image.pixel(Column2 + 2, 3 * H + 2) | 0xFF000000u,
              ColorOf(GetSysColor(COLOR_HIGHLIGHT)));

    // Deleting the widest item narrows the automatic widths again; so does a redraw lock's end.
    List->Items()->Delete(2);
    EXPECT_EQ(List->AutoColumnWidth(0), Auto("Anna "));
    EXPECT_EQ(List->AutoColumnWidth(2), Auto("20480 "));
    List->Items()->BeginUpdate();
    List->Items()->Add("Dora-Maria|x|123456789");
    EXPECT_EQ(List->AutoColumnWidth(2), Auto("20480 "));
    List->Items()->EndUpdate();
    EXPECT_EQ(List->AutoColumnWidth(2), Auto("123456789 "));
    // A new window keeps the items and the widths.
    List->SetOwnerDrawColumns(false);
    List->SetOwnerDrawColumns(true);
    EXPECT_EQ(List->Items()->Count(), 4);
    EXPECT_EQ(List->AutoColumnWidth(0), Auto("Dora-Maria "));
}

TEST_F(ColumnList, ThePopupListSelectsItsTextAndShowsOneToSevenRows) {
    auto* Popup = new TPopupListBox(Form);
    const HWND Wnd = Popup->Handle();
    // A window of its own, never a child of the form.
    EXPECT_FALSE(GetWindowLongPtr(Wnd, GWL_STYLE) & WS_CHILD);
    EXPECT_TRUE(GetWindowLongPtr(Wnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    const auto SetText = [&](const std::string& Text) {
        SendMessage(Wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text.c_str()));
    };
    SetText("anything");
    EXPECT_EQ(Popup->ClientHeight(), Popup->ItemHeight());
    EXPECT_EQ(GetWindowText(Wnd), "");
    for (int I = 1; I <= 9; ++I) Popup->Items()->Add("item " + std::to_string(I));
    SetText("ITEM 3");
    EXPECT_EQ(Popup->ItemIndex(), 2);
    EXPECT_EQ(GetWindowText(Wnd), "item 3");
    EXPECT_EQ(Popup->ClientHeight(), 7 * Popup->ItemHeight());
    SetText("item 10");
    EXPECT_EQ(Popup->ItemIndex(), -1);
    EXPECT_EQ(GetWindowTextLength(Wnd), 0);
    for (const auto& [Count, Rows] : {std::pair{0, 1}, {1, 1}, {5, 5}, {7, 7}, {8, 7}, {1000, 7}})
        EXPECT_EQ(TPopupListBox::RowsFor(Count), Rows) << Count;
    // Closing without an edit around it is harmless.
    SendMessage(Wnd, WM_KEYDOWN, VK_ESCAPE, 0);
}

}  // namespace
