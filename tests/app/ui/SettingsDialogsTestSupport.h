#pragma once
// What the settings dialogs' tests share: a program directory of their own (phonebook, registry,
// store), the scripted dialog service, the command dial-up provider, clicks on controls, the
// golden files and pictures in the build tree.
#include <gtest/gtest.h>

#include <string>

#include "platform/shell/Dialogs.h"
#include "platform/widgets/Forms.h"
#include "tests/support/GuiTestSupport.h"

namespace SettingsDialogsTest {

class SettingsDialogFixture : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    TScriptedDialogService& Dialogs() { return *FDialogs; }
    // The test's program directory, with its delimiter.
    std::string Dir;

  private:
    TScriptedDialogService* FDialogs = nullptr;
};

// A file of tests/app/ui/golden/boxsettings/.
std::string Golden(const std::string& Name);
// Writes the picture of a form's window to build/.../pictures/app/Name.png.
void SavePicture(TCustomForm* Form, const std::string& Name);
// A left click in the middle of a control, as the user gives it.
void Click(TControl* Control);
// The form of class T that shows now, or null.
template <class T>
T* ShownForm() {
    for (int I = 0; I < Screen->FormCount(); ++I)
        if (auto* Form = dynamic_cast<T*>(Screen->Forms(I)); Form && Form->Visible()) return Form;
    return nullptr;
}
template <class T>
T* Find(TComponent* Form, const std::string& Name) {
    auto* Found = dynamic_cast<T*>(Form->FindComponent(Name));
    EXPECT_NE(Found, nullptr) << Name;
    return Found;
}

}  // namespace SettingsDialogsTest
