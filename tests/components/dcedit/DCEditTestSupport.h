#pragma once
// What the edit controls' GUI tests share: a dialog with two directory edits as the program's
// settings dialog has them (read from DCEditTestForm.dfm), the scripted folder dialog, keys and
// clicks on the screen, and pictures in the build tree.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/dcedit/DirectoryEdit.h"
#include "components/dcedit/PopupListBox.h"
#include "platform/shell/Dialogs.h"
#include "platform/widgets/Forms.h"
#include "platform/widgets/StdCtrls.h"
#include "tests/support/GuiTestSupport.h"

namespace DCEditTest {

class TDCEditTestForm : public TForm {
  public:
    using TForm::TForm;
    TEdit* First = nullptr;
    TDCDirectoryEdit* SpoolDir = nullptr;
    TDCDirectoryEdit* ExtractDir = nullptr;
    TButton* Last = nullptr;
    // What the handlers saw: "spool <text>", "extract <text>", "dropped <text>".
    std::vector<std::string> Log;

    void FormCreate(TObject*);
    void SpoolDirChange(TObject*) { Log.push_back("spool " + SpoolDir->GetEditText()); }
    void ExtractDirChange(TObject*) { Log.push_back("extract " + ExtractDir->GetEditText()); }
    void ExtractDirDropFiles(TObject*) { Log.push_back("dropped " + ExtractDir->GetEditText()); }
};

// The application up and the edit controls' classes registered: every test's first step.
void StartEditControls();
// A form made in code (its window at Bounds, on the screen), shown.
TForm* ShownForm(const TRect& Bounds, const std::string& Caption);

class DCEditFixture : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // The test dialog, shown and active, the focus in its first edit.
    TDCEditTestForm* ShowForm();
    TScriptedDialogService& Dialogs() { return *FDialogs; }

  private:
    TScriptedDialogService* FDialogs = nullptr;
};

std::string Picture(const std::string& Name);
// A picture of a form with the popup of one of its edits over it, as the screen shows them.
void SaveFormWithPopup(TCustomForm* Form, TCustomDCEdit* Edit, const std::string& Name);

// A point of a control's client area on the screen.
inline POINT ScreenPoint(TControl* Control, int X, int Y) {
    const TPoint P = Control->ClientToScreen(TPoint{X, Y});
    return POINT{P.X, P.Y};
}

// A key (with modifiers) typed into the focused window of the form's top-level window.
inline void Key(TCustomForm* Form, Qt::Key K, Qt::KeyboardModifiers Mods = Qt::NoModifier) {
    QTest::keyClick(GuiTest::QtWindowOf(Form->Handle()), K, Mods);
    GuiTest::Drain();
}

inline void Type(TCustomForm* Form, const std::string& Text) {
    for (char C : Text) QTest::keyClick(GuiTest::QtWindowOf(Form->Handle()), C);
    GuiTest::Drain();
}

// The popup list of a directory edit, and whether it shows now.
inline TPopupListBox* PopupOf(TCustomDCEdit* Edit) {
    return dynamic_cast<TPopupListBox*>(Edit->Popup());
}
inline bool PopupShown(TCustomDCEdit* Edit) {
    TWinControl* Popup = Edit->Popup();
    return Popup && Popup->HandleAllocated() && IsWindowVisible(Popup->Handle());
}

}  // namespace DCEditTest
