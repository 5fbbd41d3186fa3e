#pragma once
// The customizing dialog over the main window's bars for the tests: message boxes and beeps of
// the test's own, clicks and keys for the dialog's controls, and the name dialog run inside an
// operation of the dialog.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bars/customize/dxBarCustForm.h"
#include "bars/customize/dxBarCustLists.h"
#include "bars/customize/dxBarNameEd.h"
#include "platform/controls/Controls.h"
#include "platform/shell/Dialogs.h"
#include "platform/shell/Sound.h"
#include "tests/bars/MenuTestSupport.h"

namespace BarTest {

// Message boxes and beeps of the test's own while the object lives.
struct TServices {
    TScriptedDialogService* Boxes = nullptr;
    TRecordingSoundService* Sounds = nullptr;
    TServices() {
        auto B = std::make_unique<TScriptedDialogService>();
        Boxes = B.get();
        FOldBoxes = SetDialogService(std::move(B));
        auto S = std::make_unique<TRecordingSoundService>();
        Sounds = S.get();
        FOldSounds = SetSoundService(std::move(S));
    }
    ~TServices() {
        SetDialogService(std::move(FOldBoxes));
        SetSoundService(std::move(FOldSounds));
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> Out;
        for (const auto& Asked : Boxes->Asked()) Out.push_back(Asked.Text);
        return Out;
    }

  private:
    std::unique_ptr<TDialogService> FOldBoxes;
    std::unique_ptr<TSoundService> FOldSounds;
};

template <class T>
T* ShownForm() {
    for (int I = 0; I < Screen->FormCount(); ++I)
        if (auto* Form = dynamic_cast<T*>(Screen->Forms(I)); Form && Form->Visible()) return Form;
    return nullptr;
}

inline void ClickControl(TControl* Control, TPoint At) {
    const TPoint P = Control->ClientToScreen(At);
    GuiTest::MouseClick(GetParentForm(Control)->Handle(), POINT{P.X, P.Y});
    GuiTest::Drain();
}

inline void ClickControl(TControl* Control) {
    ClickControl(Control, TPoint{Control->Width() / 2, Control->Height() / 2});
}

inline void Key(TCustomForm* Form, Qt::Key K) {
    QTest::keyClick(GuiTest::QtWindowOf(Form->Handle()), K);
    GuiTest::Drain();
}

struct Customize : ::testing::Test {
    // The dialogs' controls are standard ones.
    bool ControlsReady = (InitStandardControls(), true);
    TMenuForm Bars;
    TServices Services;

    ~Customize() override { ShowCustomizingForm(Manager(), false); }
    TdxBarManager* Manager() { return Bars.Manager(); }
    TdxBarCustomizingForm* Open() {
        ShowCustomizingForm(Manager(), true);
        GuiTest::Drain();
        return GetCustomizingForm();
    }
    dxBarCustForm::TCheckListBox* BarsList() { return GetCustomizingForm()->BarsListBox(); }
    std::vector<std::string> Entries(TCustomListBox* List) {
        std::vector<std::string> Out;
        for (int I = 0; I < List->Items()->Count(); ++I) Out.push_back(List->Items()->Get(I));
        return Out;
    }
    // The middle of an entry of the bars list, in its check column or on its text.
    TPoint EntryPoint(int Index, bool InCheck) {
        const TRect R = BarsList()->ItemRect(Index);
        return TPoint{InCheck ? R.Left + BarsList()->CheckWidth() / 2 : R.Left + 60,
                      (R.Top + R.Bottom) / 2};
    }
    // Runs an operation of the dialog that opens the name dialog; Steps act on it while its
    // modal loop runs.
    void WithNameDialog(const std::function<void()>& Operation,
                        std::vector<std::function<void()>> Steps) {
        GuiTest::TSteps Script(std::move(Steps));
        Script.Start();
        Operation();
        EXPECT_TRUE(Script.Done());
        GuiTest::Drain();
    }
    static TdxBarNameEd* NameDialog() { return ShownForm<TdxBarNameEd>(); }
    static void Answer(const std::string& Name) {
        ASSERT_NE(NameDialog(), nullptr);
        NameDialog()->EName->SetText(Name);
        ClickControl(NameDialog()->BOK);
    }
};

}  // namespace BarTest
