#include "tests/app/ui/SettingsDialogsTestSupport.h"

#include <stdlib.h>

#include <filesystem>

#include "netlib/ras/IpRas.h"
#include "platform/controls/Controls.h"
#include "platform/core/WindowPicture.h"

using namespace GuiTest;

namespace SettingsDialogsTest {

void SettingsDialogFixture::SetUp() {
    Forms.Initialize();
    InitStandardControls();
    char Template[] = "/tmp/kestro-settings-XXXXXX";
    Dir = std::string(mkdtemp(Template)) + "/";
    setenv("KESTRO_HOME", Dir.c_str(), 1);
    setenv("KESTRO_REGISTRY_DIR", (Dir + "reg").c_str(), 1);
    IpRasAccess().SetProvider(CreateDialupProvider("command"));
    auto Scripted = std::make_unique<TScriptedDialogService>();
    FDialogs = Scripted.get();
    SetDialogService(std::move(Scripted));
    Drain();
}

void SettingsDialogFixture::TearDown() {
    while (Screen->FormCount() > 0) Screen->Forms(0)->Free();
    Drain();
    SetDialogService(nullptr);
    std::filesystem::remove_all(Dir);
}

std::string Golden(const std::string& Name) {
    return std::string(KESTRO_SOURCE_DIR) + "/tests/app/ui/golden/boxsettings/" + Name;
}

void SavePicture(TCustomForm* Form, const std::string& Name) {
    Drain();
    EXPECT_TRUE(SaveWindowPicture(
        Form->Handle(), std::string(KESTRO_BINARY_DIR) + "/pictures/app/" + Name + ".png"));
}

void Click(TControl* Control) {
    const TPoint P = Control->ClientToScreen(TPoint{Control->Width() / 2, Control->Height() / 2});
    TCustomForm* Form = GetParentForm(Control);
    MouseClick(Form->Handle(), POINT{P.X, P.Y});
    Drain();
}

}  // namespace SettingsDialogsTest
