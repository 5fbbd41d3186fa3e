#pragma once
// The main window on a real X server, as the program starts it: a program directory and
// registry of the test's own, the tray and the dialogs stood in for, and the window shown and
// exposed by Start(). The tests of this folder derive from it.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QGuiApplication>
#include <filesystem>
#include <memory>
#include <string>

#include "app/engine/KestroGlobal.h"
#include "app/engine/UnitScheduler.h"
#include "app/ui/MainFrm.h"
#include "platform/shell/Dialogs.h"
#include "platform/shell/Tray.h"
#include "tests/support/XdoTool.h"

class MainFormX11 : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
        char Template[] = "/tmp/kestro-x11-XXXXXX";
        Dir = std::string(mkdtemp(Template)) + "/";
        setenv("KESTRO_HOME", Dir.c_str(), 1);
        setenv("KESTRO_REGISTRY_DIR", (Dir + "reg").c_str(), 1);
        Forms.Initialize();
        RegisterMainFormClasses();
        SetTrayService(std::make_unique<TFakeTrayService>());
        auto Dialogs = std::make_unique<TScriptedDialogService>();
        Script = Dialogs.get();
        SetDialogService(std::move(Dialogs));
        TaskQueue.Clear();
        GlobalConfig = TGlobalConfig();
        CurrentConfig = std::make_unique<TKestroConfig>();
    }
    void TearDown() override {
        while (Screen->FormCount() > 0) Screen->Forms(0)->Free();
        GuiTest::Drain();
        SetDialogService(nullptr);
        SetTrayService(nullptr);
        CurrentConfig.reset();
        std::filesystem::remove_all(Dir);
    }

    // The main window as at a start of the program, shown and exposed.
    static TFormMain* Start() {
        TFormMain* Form = CreateForm<TFormMain>(nullptr);
        Form->SetIdleControls(true);
        Form->Show();
        EXPECT_TRUE(GuiTest::WaitExposed(Form->Handle()));
        return Form;
    }

    std::string Dir;
    TScriptedDialogService* Script = nullptr;
};
