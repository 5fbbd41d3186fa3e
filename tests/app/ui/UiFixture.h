#pragma once
// The windows' tests: a private installation (EngineTest) with the class library started on the
// offscreen platform, the windows' pictures written into the build tree.
#include <string>

#include "platform/controls/Controls.h"
#include "platform/core/WindowPicture.h"
#include "platform/widgets/Forms.h"
#include "tests/app/engine/EngineFixture.h"
#include "tests/support/GuiTestSupport.h"

class UiTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        Forms.Initialize();
        InitStandardControls();
    }
    void TearDown() override {
        while (Screen->FormCount() > 0) Screen->Forms(0)->Free();
        GuiTest::Drain();
        EngineTest::TearDown();
    }
    // The form of class T that is open (shown modal by an entry point), or null.
    template <class T>
    static T* OpenForm() {
        for (int I = 0; I < Screen->FormCount(); ++I)
            if (auto* Form = dynamic_cast<T*>(Screen->Forms(I)); Form && Form->Visible())
                return Form;
        ADD_FAILURE() << "no such form open";
        return nullptr;
    }
    // Shows the form and writes its picture as build/test/pictures/app/<Name>.png.
    static void Picture(TCustomForm* Form, const std::string& Name) {
        if (!Form->Visible()) Form->Show();
        GuiTest::Drain();
        const std::string Path = std::string(KESTRO_BINARY_DIR) + "/pictures/app/" + Name + ".png";
        EXPECT_TRUE(SaveWindowPicture(Form->Handle(), Path)) << Path;
    }
};
