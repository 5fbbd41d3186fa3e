#pragma once
// The form of the list-control tests: one of each list control, the status bar, the up-down with
// an edit as its associate and an image list, read from TestListsForm.dfm; its handlers record
// what they are told and draw as the program's windows do.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/widgets/ComboBoxes.h"
#include "platform/widgets/Forms.h"
#include "platform/widgets/ImgList.h"
#include "platform/widgets/ListBoxes.h"
#include "platform/widgets/StatusBars.h"
#include "platform/widgets/UpDowns.h"
#include "tests/support/GuiTestSupport.h"

namespace ListsTest {

// A plain edit, to associate the up-down with (the edit classes are not the lists' business).
class TTestEdit : public TWinControl {
  public:
    explicit TTestEdit(TComponent* AOwner) : TWinControl(AOwner) {
        SetBounds(0, 0, 60, 21);
        SetTabStop(true);
    }

  protected:
    void CreateParams(TCreateParams& Params) override {
        TWinControl::CreateParams(Params);
        CreateSubClass(Params, "EDIT");
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    }
};

std::string StateText(TOwnerDrawState State);

class TTestListsForm : public TForm {
  public:
    using TForm::TForm;
    TListBox* LogList = nullptr;
    TListBox* Plain = nullptr;
    TCheckListBox* Checks = nullptr;
    TComboBox* Hosts = nullptr;
    TComboBox* Kinds = nullptr;
    TComboBox* Colours = nullptr;
    TTestEdit* Count = nullptr;
    TUpDown* Spin = nullptr;
    TImageList* Icons = nullptr;
    TStatusBar* StatusBar = nullptr;
    std::vector<std::string> Log;
    bool RefuseSpin = false;

    void FormCreate(TObject*);
    void LogListDrawItem(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State);
    void LogListDblClick(TObject*) { Log.push_back("log dblclick"); }
    void PlainClick(TObject*) {
        Log.push_back("plain click " + std::to_string(Plain->ItemIndex()));
    }
    void ChecksClickCheck(TObject*) {
        Log.push_back("check " + std::to_string(Checks->ItemIndex()));
    }
    void HostsChange(TObject*) { Log.push_back("hosts change " + Hosts->Text()); }
    void KindsChange(TObject*) { Log.push_back("kinds change " + Kinds->Text()); }
    void KindsDropDown(TObject*) { Log.push_back("kinds dropdown"); }
    void KindsCloseUp(TObject*) { Log.push_back("kinds closeup"); }
    void ColoursDrawItem(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State);
    void SpinClick(TObject*, TUDBtnType Button) {
        Log.push_back(std::string("spin ") + (Button == btNext ? "next " : "prev ") +
                      std::to_string(Spin->Position()));
    }
    void SpinChanging(TObject*, bool& Allow) { Allow = !RefuseSpin; }
    void StatusBarDrawPanel(TCustomStatusBar* Bar, TStatusPanel* Panel, const TRect& Rect);
};

void RegisterTestClasses();

// Every test starts with the application up and ends with its forms gone.
class ListsFixture : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    TTestListsForm* ShowForm();
    std::string Picture(const std::string& Name) const;
};

// A point of a control's client area on the screen.
inline POINT ScreenPoint(TWinControl* Control, int X, int Y) {
    return GuiTest::ScreenOf(Control->Handle(), POINT{X, Y});
}

// Types a text into the focused control of a top-level window, key by key.
inline void TypeText(HWND Top, const std::string& Text) {
    for (char C : Text) QTest::keyClick(GuiTest::QtWindowOf(Top), C);
}

}  // namespace ListsTest
