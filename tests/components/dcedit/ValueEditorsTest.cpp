// The typed value editors: in an edit control with buttons (chosen by class name) and alone,
// with their texts, their lists, their drawing and the registries that name them.
#include <QImage>

#include "components/dcedit/Register.h"
#include "components/dcedit/ValueEdits.h"
#include "components/dcedit/ValueLists.h"
#include "components/registries/ClassRegistries.h"
#include "tests/components/dcedit/DCEditTestSupport.h"

using namespace DCEditTest;
using namespace GuiTest;

namespace {

class ValueEditors : public testing::Test {
  protected:
    void SetUp() override {
        StartEditControls();
        Form = ShownForm(TRect{100, 100, 400, 290}, "Values");
    }
    void TearDown() override {
        Form->Free();
        Drain();
    }
    // An edit control at row Row with the inner edit and popup of these classes.
    TCustomDCEdit* Editor(int Row, const std::string& EditClass, const std::string& PopupClass) {
        auto* Edit = new TCustomDCEdit(Form);
        Edit->SetBounds(8, 8 + Row * 30, 200, 21);
        Edit->SetParent(Form);
        Edit->SetEditClassName(EditClass);
        Edit->SetPopupClassName(PopupClass);
        Edit->OnChange = [this, Edit](TObject*) { Changes.push_back(Edit->GetEditText()); };
        Drain();
        return Edit;
    }
    TForm* Form = nullptr;
    std::vector<std::string> Changes;
};

TEST_F(ValueEditors, TheColourEditTakesNamesAndNumbersAndRefusesOtherTexts) {
    TCustomDCEdit* Edit = Editor(0, "TColorEdit", "TPopupColorBox");
    auto* Inner = dynamic_cast<TColorEdit*>(Edit->Edit());
    ASSERT_NE(Inner, nullptr);
    EXPECT_EQ(Edit->GetEditText(), "clBlack");
    Edit->SetEditText("255");
    EXPECT_EQ(Edit->GetEditText(), "clRed");
    EXPECT_EQ(Inner->ColorValue(), clRed);
    EXPECT_EQ(ErrorOf([&] { Edit->SetEditText("reddish"); }),
              "'reddish' is not a valid integer value");
    EXPECT_EQ(Edit->GetEditText(), "clRed");
    // Set through its window, the value is the edit's change too.
    const HWND Wnd = Inner->Handle();
    SendMessage(Wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("$00FF0000"));
    EXPECT_EQ(GetWindowText(Wnd), "clBlue");
    EXPECT_EQ(GetWindowTextLength(Wnd), 6);
    EXPECT_EQ(Changes, (std::vector<std::string>{"clRed", "clBlue"}));

    // Drawn: a blue swatch, the name after it.
    Drain();
    const QImage Picture = WindowPicture(Wnd);
    EXPECT_EQ(Picture.pixel(6, Picture.height() / 2) | 0xFF000000u, qRgb(0, 0, 255));
    EXPECT_EQ(Picture.pixel(2, 2) | 0xFF000000u, qRgb(0, 0, 0));  // the swatch's frame
    // Drawn on request into another context, at a place.
    TBitmap Aside;
    Aside.SetSize(Inner->Width() + 10, Inner->Height() + 10);
    Aside.Canvas().Brush().SetColor(clWhite);
    Aside.Canvas().FillRect(TRect{0, 0, Aside.Width(), Aside.Height()});
    SendMessage(Wnd, CM_DRAWVALUE, WPARAM(Aside.Canvas().Handle()), PointLParam(POINT{10, 10}));
    EXPECT_EQ(Aside.Canvas().Pixel(16, 10 + Inner->Height() / 2), clBlue);
    EXPECT_EQ(Aside.Canvas().Pixel(5, 5), clWhite);
}

TEST_F(ValueEditors, TheColourListOffersFortyTwoColoursAndGivesTheChosenOne) {
    TCustomDCEdit* Edit = Editor(0, "TColorEdit", "TPopupColorBox");
    Edit->SetBounds(150, 8, 120, 21);
    auto* List = dynamic_cast<TPopupColorBox*>(Edit->Popup());
    ASSERT_NE(List, nullptr);
    Edit->SetEditText("clGreen");
    Edit->SetFocus();
    Drain();
    Key(Form, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Edit->DroppedDown());
    EXPECT_EQ(List->Items()->Count(), 42);
    EXPECT_EQ(List->Items()->Get(41), "clNone");
    EXPECT_EQ(List->ItemIndex(), 2);
    EXPECT_EQ(List->ClientHeight(), 7 * List->ItemHeight());
    // Names shown: wider than the edit by the longest name, moved left to end with it.
    EXPECT_EQ(List->Width(), 42 + List->Canvas()->TextWidth("clInactiveCaptionText"));
    RECT ListRect, EditRect;
    GetWindowRect(List->Handle(), &ListRect);
    GetWindowRect(Edit->Handle(), &EditRect);
    EXPECT_EQ(ListRect.right, EditRect.right);
    Drain();
    SaveFormWithPopup(Form, Edit, "colour-list");
    Changes.clear();
    Key(Form, Qt::Key_Down);
    Key(Form, Qt::Key_Return);
    EXPECT_FALSE(Edit->DroppedDown());
    EXPECT_EQ(Edit->GetEditText(), "clOlive");
    EXPECT_EQ(List->Value(), "clOlive");
    // The list's move was the edit's change; taking the colour was one more.
    EXPECT_EQ(Changes, (std::vector<std::string>{"clGreen", "clOlive"}));
}

TEST_F(ValueEditors, PenAndBrushStylesTravelAsTheirNames) {
    TCustomDCEdit* Pen = Editor(0, "TPenStyleEdit", "TPopupPenBox");
    TCustomDCEdit* Brush = Editor(1, "TBrushStyleEdit", "TPopupBrushBox");
    EXPECT_EQ(Pen->GetEditText(), "psSolid");
    EXPECT_EQ(Brush->GetEditText(), "bsSolid");
    Pen->SetEditText("psDot");
    EXPECT_EQ(dynamic_cast<TPenStyleEdit*>(Pen->Edit())->PenStyle(), psDot);
    EXPECT_NE(ErrorOf([&] { Pen->SetEditText("Dot"); }), "");
    EXPECT_EQ(Pen->GetEditText(), "psDot");
    Brush->SetEditText("bsCross");
    EXPECT_EQ(dynamic_cast<TBrushStyleEdit*>(Brush->Edit())->BrushStyle(), bsCross);
    EXPECT_NE(ErrorOf([&] { Brush->SetEditText("Cross"); }), "");

    // The brush list names its items without "bs" and answers with it.
    Brush->DropDown();
    auto* Styles = dynamic_cast<TPopupBrushBox*>(Brush->Popup());
    ASSERT_NE(Styles, nullptr);
    EXPECT_EQ(Styles->Items()->Get(6), "Cross");
    EXPECT_EQ(Styles->ItemIndex(), 6);
    Styles->SetItemIndex(2);
    EXPECT_EQ(GetWindowText(Styles->Handle()), "bsHorizontal");
    Drain();
    SaveWindowPicture(Styles->Handle(), Picture("brush-list"));
    Brush->CloseUp(true);
    EXPECT_EQ(Brush->GetEditText(), "bsHorizontal");
    // The pen list shows no names: 42 pixels wide, widened to the edit.
    Pen->DropDown();
    auto* Pens = dynamic_cast<TPopupPenBox*>(Pen->Popup());
    ASSERT_NE(Pens, nullptr);
    EXPECT_FALSE(Pens->DisplayNames());
    EXPECT_EQ(Pens->Items()->Count(), 7);
    EXPECT_EQ(Pens->ItemIndex(), 2);
    EXPECT_EQ(Pens->Width(), Pen->Width());
    Pen->CloseUp(false);
    EXPECT_EQ(Pen->GetEditText(), "psDot");
    Editor(2, "TColorEdit", "TPopupColorBox")->SetEditText("clTeal");
    Editor(3, "TCheckEdit", "")->SetEditText("True");
    Drain();
    SaveWindowPicture(Form->Handle(), Picture("value-editors"));
}

TEST_F(ValueEditors, TheCheckEditTogglesUnlessItsEditIsReadOnly) {
    TCustomDCEdit* Edit = Editor(0, "TCheckEdit", "");
    auto* Check = dynamic_cast<TCheckEdit*>(Edit->Edit());
    ASSERT_NE(Check, nullptr);
    EXPECT_TRUE(dynamic_cast<TDummyPopup*>(Edit->Popup()));
    EXPECT_EQ(Edit->GetEditText(), "False");
    Edit->SetEditText("yes");
    EXPECT_EQ(Edit->GetEditText(), "True");
    EXPECT_TRUE(Check->Checked());
    EXPECT_EQ(GetWindowTextLength(Check->Handle()), 4);
    EXPECT_FALSE(Edit->GetModified());
    // Space toggles, as the user's change.
    Edit->SetFocus();
    Drain();
    Changes.clear();
    Key(Form, Qt::Key_Space);
    EXPECT_EQ(Edit->GetEditText(), "False");
    EXPECT_TRUE(Edit->GetModified());
    EXPECT_EQ(Changes, (std::vector<std::string>{"False"}));
    EXPECT_EQ(GetWindowTextLength(Check->Handle()), 5);
    // A click on the box toggles; to its right it does not.
    const HWND Wnd = Check->Handle();
    MouseClick(Wnd, ScreenOf(Wnd, POINT{5, Check->Height() / 2}));
    Drain();
    EXPECT_EQ(Edit->GetEditText(), "True");
    MouseClick(Wnd, ScreenOf(Wnd, POINT{Check->Height() + 10, Check->Height() / 2}));
    Drain();
    EXPECT_EQ(Edit->GetEditText(), "True");
    // Read-only: no toggle.
    Edit->SetReadOnly(true);
    Key(Form, Qt::Key_Space);
    EXPECT_EQ(Edit->GetEditText(), "True");
    // Setting the text clears the modified flag.
    Edit->SetEditText("False");
    EXPECT_FALSE(Edit->GetModified());

    // Alone and inverted: checked for False.
    TCheckEdit Alone(nullptr);
    Alone.SetInverted(true);
    Alone.SetText("True");
    EXPECT_EQ(Alone.Text(), "True");
    EXPECT_FALSE(Alone.Checked());
    Alone.Toggle();
    EXPECT_EQ(Alone.Text(), "False");
    EXPECT_TRUE(Alone.Modified());
}

TEST_F(ValueEditors, TheMaskEditKeepsToItsMask) {
    TCustomDCEdit* Edit = Editor(0, "TDCMaskEdit", "TPopupListBox");
    auto* Mask = dynamic_cast<TDCMaskEdit*>(Edit->Edit());
    ASSERT_NE(Mask, nullptr);
    Mask->SetEditMask("99:99;1;_");
    Edit->SetFocus();
    Drain();
    Type(Form, "1a23");
    EXPECT_EQ(Mask->EditText(), "12:3_");
    EXPECT_EQ(Edit->GetEditText(), "12:3 ");
    // No frame of its own: the edit control's frame serves.
    EXPECT_FALSE(GetWindowLongPtr(Mask->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

TEST(ValueTypeRegistries, EachValueTypeHasItsEditorsAndLists) {
    RegisterDCEditClasses();
    struct TRow {
        TPackagedCollection& Registry;
        const char* ClassName;
        std::type_index Type;
    };
    const TRow Rows[] = {
        {PopupClasses(), "TPopupListBox", typeid(std::string)},
        {EditClasses(), "TDCSimpleEdit", typeid(std::string)},
        {EditClasses(), "TDCMaskEdit", typeid(std::string)},
        {PopupClasses(), "TPopupColorBox", typeid(TColor)},
        {EditClasses(), "TColorEdit", typeid(TColor)},
        {EditClasses(), "TPenStyleEdit", typeid(TPenStyle)},
        {PopupClasses(), "TPopupPenBox", typeid(TPenStyle)},
        {EditClasses(), "TBrushStyleEdit", typeid(TBrushStyle)},
        {PopupClasses(), "TPopupBrushBox", typeid(TBrushStyle)},
        {EditClasses(), "TCheckEdit", typeid(bool)},
    };
    for (const TRow& Row : Rows) {
        const TRegisteredClassInfo* Item = FindRegisteredClass(Row.Registry, Row.ClassName);
        ASSERT_NE(Item, nullptr) << Row.ClassName;
        EXPECT_EQ(Item->ValueType, Row.Type) << Row.ClassName;
    }
    // The mask edit is the second inner edit of text: the default flag, and its name " ".
    const auto* Mask =
        static_cast<TEditClassInfo*>(FindRegisteredClass(EditClasses(), "TDCMaskEdit"));
    EXPECT_TRUE(Mask->Default);
    EXPECT_EQ(Mask->Name, " ");
    // No list serves Booleans, and the edits' placeholders are streamed but serve no type.
    EXPECT_EQ(FindRegisteredClass(PopupClasses(), "TCheckEdit"), nullptr);
    EXPECT_NE(GetClass("TDummyPopup"), nullptr);
    EXPECT_EQ(FindRegisteredClass(PopupClasses(), "TDummyPopup"), nullptr);
}

}  // namespace
