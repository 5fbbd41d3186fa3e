#pragma once
// The form with one of each edit and button class (forms/TestStdForm.dfm), and what the tests of
// those classes share: the application set up, a log of the form's events, real keys and clicks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/shell/Sound.h"
#include "platform/widgets/Buttons.h"
#include "platform/widgets/ExtCtrls.h"
#include "platform/widgets/Mask.h"
#include "platform/widgets/StdCtrls.h"
#include "tests/support/GuiTestSupport.h"

namespace StdTest {

using namespace GuiTest;

class TTestStdForm : public TForm {
  public:
    using TForm::TForm;
    TEdit* EditName = nullptr;
    TEdit* EditPass = nullptr;
    TMaskEdit* MaskDate = nullptr;
    TMemo* MemoNotes = nullptr;
    TCheckBox* CheckSave = nullptr;
    TCheckBox* CheckGray = nullptr;
    TGroupBox* GroupProtocol = nullptr;
    TRadioButton* RadioPop = nullptr;
    TRadioButton* RadioImap = nullptr;
    TRadioGroup* RadioSort = nullptr;
    TSpeedButton* SpeedOpen = nullptr;
    TSpeedButton* SpeedLeft = nullptr;
    TSpeedButton* SpeedRight = nullptr;
    TSpeedButton* SpeedFlat = nullptr;
    TSpeedButton* SpeedOff = nullptr;
    TBitBtn* BitHelp = nullptr;
    TBitBtn* BitAbort = nullptr;
    TButton* ButtonSave = nullptr;
    TButton* ButtonOk = nullptr;
    TBitBtn* ButtonCancel = nullptr;
    std::vector<std::string> Log;

    template <class T>
    T* Find(const char* Name) {
        auto* C = dynamic_cast<T*>(FindComponent(Name));
        EXPECT_NE(C, nullptr) << Name;
        return C;
    }
    void FormCreate(TObject*) {
        EditName = Find<TEdit>("EditName");
        EditPass = Find<TEdit>("EditPass");
        MaskDate = Find<TMaskEdit>("MaskDate");
        MemoNotes = Find<TMemo>("MemoNotes");
        CheckSave = Find<TCheckBox>("CheckSave");
        CheckGray = Find<TCheckBox>("CheckGray");
        GroupProtocol = Find<TGroupBox>("GroupProtocol");
        RadioPop = Find<TRadioButton>("RadioPop");
        RadioImap = Find<TRadioButton>("RadioImap");
        RadioSort = Find<TRadioGroup>("RadioSort");
        SpeedOpen = Find<TSpeedButton>("SpeedOpen");
        SpeedLeft = Find<TSpeedButton>("SpeedLeft");
        SpeedRight = Find<TSpeedButton>("SpeedRight");
        SpeedFlat = Find<TSpeedButton>("SpeedFlat");
        SpeedOff = Find<TSpeedButton>("SpeedOff");
        BitHelp = Find<TBitBtn>("BitHelp");
        BitAbort = Find<TBitBtn>("BitAbort");
        ButtonSave = Find<TButton>("ButtonSave");
        ButtonOk = Find<TButton>("ButtonOk");
        ButtonCancel = Find<TBitBtn>("ButtonCancel");
    }
    void Logged(TObject* Sender) { Log.push_back(dynamic_cast<TComponent*>(Sender)->Name()); }
};

inline void RegisterTestStdClasses() {
    static const bool Done = [] {
        RegisterClass<TTestStdForm, TForm>("TTestStdForm")
            .Method("FormCreate", &TTestStdForm::FormCreate)
            .Method("Logged", &TTestStdForm::Logged);
        return true;
    }();
    (void)Done;
}

inline std::string WidgetPicture(const std::string& Name) {
    return std::string(KESTRO_BINARY_DIR) + "/pictures/widgets/" + Name + ".png";
}

class StdForm : public testing::Test {
  protected:
    void SetUp() override {
        Forms.Initialize();
        InitStandardControls();
        RegisterTestStdClasses();
        Drain();
        Sounds = new TRecordingSoundService;
        FOldSounds = SetSoundService(std::unique_ptr<TSoundService>(Sounds));
        Application.OnException = [this](const Exception& E) { Errors.push_back(E.Message()); };
        Form = CreateForm<TTestStdForm>(&Forms);
    }
    void TearDown() override {
        while (Screen->FormCount() > 0) Screen->Forms(0)->Free();
        Drain();
        Application.OnException = nullptr;
        SetSoundService(std::move(FOldSounds));
    }

    // Shows the form and waits until its first control has the focus.
    void ShowForm() {
        Form->Show();
        ASSERT_TRUE(PumpUntil([&] { return Form->EditName->Focused(); }));
        Drain();
    }
    QWindow* Window() { return QtWindowOf(Form->Handle()); }
    void Key(Qt::Key K, Qt::KeyboardModifiers Mods = {}) {
        QTest::keyClick(Window(), K, Mods);
        Drain();
    }
    void Type(const std::string& Text) {
        for (const char C : Text) QTest::keyClick(Window(), C);
        Drain();
    }
    // A click in the middle of a control (window or graphic).
    void Click(TControl* C) {
        const TPoint P = C->ClientToScreen(TPoint{C->Width() / 2, C->Height() / 2});
        MouseClick(Form->Handle(), POINT{P.X, P.Y});
        Drain();
    }

    TTestStdForm* Form = nullptr;
    TRecordingSoundService* Sounds = nullptr;
    std::vector<std::string> Errors;

  private:
    std::unique_ptr<TSoundService> FOldSounds;
};

}  // namespace StdTest
