#include "tests/platform/widgets/ListsTestSupport.h"

#include "platform/gdi/Gdi.h"

using namespace GuiTest;

namespace ListsTest {

std::string StateText(TOwnerDrawState State) {
    static const char* const Names[] = {
        "selected", "grayed",  "disabled",    "checked", "focused", "default",  "hotlight",
        "inactive", "noaccel", "nofocusrect", "",        "",        "comboedit"};
    std::string Text;
    for (int I = 0; I <= odComboBoxEdit; ++I)
        if (State.Contains(TOwnerDrawStateItem(I)))
            Text += std::string(Text.empty() ? "" : ",") + Names[I];
    return Text.empty() ? "-" : Text;
}

void TTestListsForm::FormCreate(TObject*) {
    LogList = dynamic_cast<TListBox*>(FindComponent("LogList"));
    Plain = dynamic_cast<TListBox*>(FindComponent("Plain"));
    Checks = dynamic_cast<TCheckListBox*>(FindComponent("Checks"));
    Hosts = dynamic_cast<TComboBox*>(FindComponent("Hosts"));
    Kinds = dynamic_cast<TComboBox*>(FindComponent("Kinds"));
    Colours = dynamic_cast<TComboBox*>(FindComponent("Colours"));
    Count = dynamic_cast<TTestEdit*>(FindComponent("Count"));
    Spin = dynamic_cast<TUpDown*>(FindComponent("Spin"));
    Icons = dynamic_cast<TImageList*>(FindComponent("Icons"));
    StatusBar = dynamic_cast<TStatusBar*>(FindComponent("StatusBar"));
}

// The incoming-mail line: file #1 date #2 subject #3 sender #4 size, drawn on two rows with an
// icon, the size right-aligned and a line under the item.
void TTestListsForm::LogListDrawItem(TWinControl*, int Index, TRect R, TOwnerDrawState State) {
    Log.push_back("draw " + std::to_string(Index) + " " + StateText(State));
    TCanvas& C = *LogList->Canvas();
    C.Font().SetColor(clWindowText);
    C.Brush().SetColor(State.Contains(odSelected) ? clActiveBorder : clWhite);
    C.FillRect(R);
    std::string Parts[5];
    const std::string Line = LogList->Items()->Get(Index);
    int Part = 0;
    for (char Ch : Line) {
        if (Ch >= 1 && Ch <= 4 && Part < 4)
            ++Part;
        else
            Parts[Part] += Ch;
    }
    Icons->Draw(C, R.Left + 2, R.Top + 9, Index % Icons->Count());
    C.TextOut(R.Left + 22, R.Top + 2, Parts[1]);
    C.TextOut(R.Left + 22, R.Bottom - C.TextHeight(Parts[2]) - 4, Parts[2]);
    C.TextOut(int(R.Width() / 2.7 + 0.5), R.Top + 2, Parts[3]);
    const std::string Size = "(" + Parts[4] + ")";
    C.TextOut(R.Right - C.TextWidth(Size) - 8, R.Bottom - C.TextHeight(Size) - 2, Size);
    C.MoveTo(R.Right, R.Bottom - 1);
    C.LineTo(R.Left, R.Bottom - 1);
}

void TTestListsForm::ColoursDrawItem(TWinControl*, int Index, TRect R, TOwnerDrawState State) {
    Log.push_back("colour " + std::to_string(Index) + " " + StateText(State));
    static const TColor Colours[] = {clRed, clGreen, clBlue};
    TCanvas& C = *this->Colours->Canvas();
    C.FillRect(R);
    C.Brush().SetColor(Colours[Index % 3]);
    C.FillRect(TRect{R.Left + 2, R.Top + 2, R.Left + 22, R.Bottom - 2});
    C.Brush().SetStyle(bsClear);
    C.TextOut(R.Left + 26, R.Top + 1, this->Colours->Items()->Get(Index));
}

void TTestListsForm::StatusBarDrawPanel(TCustomStatusBar*, TStatusPanel* Panel, const TRect& R) {
    Log.push_back("panel " + std::to_string(Panel->Index()) + " " + std::to_string(R.Left) + "," +
                  std::to_string(R.Top) + "," + std::to_string(R.Right) + "," +
                  std::to_string(R.Bottom));
    TCanvas& C = *StatusBar->Canvas();
    C.Brush().SetColor(clNavy);
    C.FillRect(TRect{R.Left, R.Top, R.Left + R.Width() / 2, R.Bottom});
    Icons->Draw(C, R.Left + R.Width() / 2 + 2, R.Top, 1);
}

void RegisterTestClasses() {
    static const bool Done = [] {
        RegisterClass<TTestEdit, TWinControl>("TTestEdit");
        RegisterClass<TTestListsForm, TForm>("TTestListsForm")
            .Method("FormCreate", &TTestListsForm::FormCreate)
            .Method("LogListDrawItem", &TTestListsForm::LogListDrawItem)
            .Method("LogListDblClick", &TTestListsForm::LogListDblClick)
            .Method("PlainClick", &TTestListsForm::PlainClick)
            .Method("ChecksClickCheck", &TTestListsForm::ChecksClickCheck)
            .Method("HostsChange", &TTestListsForm::HostsChange)
            .Method("KindsChange", &TTestListsForm::KindsChange)
            .Method("KindsDropDown", &TTestListsForm::KindsDropDown)
            .Method("KindsCloseUp", &TTestListsForm::KindsCloseUp)
            .Method("ColoursDrawItem", &TTestListsForm::ColoursDrawItem)
            .Method("SpinClick", &TTestListsForm::SpinClick)
            .Method("SpinChanging", &TTestListsForm::SpinChanging)
            .Method("StatusBarDrawPanel", &TTestListsForm::StatusBarDrawPanel);
        return true;
    }();
    (void)Done;
}

void ListsFixture::SetUp() {
    Forms.Initialize();
    InitStandardControls();
    RegisterTestClasses();
    Drain();
}

void ListsFixture::TearDown() {
    while (Screen->FormCount() > 0) Screen->Forms(0)->Free();
    Drain();
}

TTestListsForm* ListsFixture::ShowForm() {
    TTestListsForm* Form = CreateForm<TTestListsForm>(&Forms);
    Form->Show();
    Drain();
    return Form;
}

std::string ListsFixture::Picture(const std::string& Name) const {
    return std::string(KESTRO_BINARY_DIR) + "/pictures/widgets/" + Name + ".png";
}

}  // namespace ListsTest
