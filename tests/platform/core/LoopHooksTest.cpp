// The class library's two hooks into every loop: the message hook sees each taken message before
// it is translated and dispatched (in a pass and in a modal loop alike) and may keep it, and the
// idle step runs whenever a loop is about to wait.
#include <gtest/gtest.h>

#include "tests/support/GuiTestSupport.h"

using namespace GuiTest;

namespace {

class LoopHooks : public testing::Test {
  protected:
    void SetUp() override {
        Drain();
        Form = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {0, 0, 200, 100}));
        Drain();
        Windows().Recorded = {WM_USER, WM_USER + 1, WM_KEYDOWN, WM_CHAR};
        Windows().Log.clear();
    }
    void TearDown() override {
        Application.MessageHook = nullptr;
        Application.IdleHook = nullptr;
        Drain();
    }
    TWindowGuard Guard;
    HWND Form = 0;
};

TEST_F(LoopHooks, TheMessageHookSeesEveryTakenMessageFirstAndMayKeepIt) {
    std::vector<UINT> Hooked;
    Application.MessageHook = [&](MSG& Msg) {
        if (Msg.hwnd != Form) return false;
        Hooked.push_back(Msg.message);
        return Msg.message == WM_USER + 1;  // kept: never dispatched
    };
    PostMessage(Form, WM_USER, 0, 0);
    PostMessage(Form, WM_USER + 1, 0, 0);
    Drain();
    EXPECT_EQ(Hooked, (std::vector<UINT>{WM_USER, WM_USER + 1}));
    EXPECT_EQ(Windows().MessagesOf(Form), (std::vector<UINT>{WM_USER}));

    // Inside a modal loop the same rule holds, and a key the hook passes on is still translated.
    Hooked.clear();
    Windows().Log.clear();
    SetFocus(Form);
    TScript Inside;
    Inside.Then([&] {
        PostMessage(Form, WM_USER + 1, 0, 0);
        QTest::keyClick(QtWindowOf(Form), Qt::Key_K);
    });
    Inside.Start();
    RunModalLoop([&] { return !Windows().MessagesOf(Form, {WM_CHAR}).empty(); });
    EXPECT_EQ(Hooked, (std::vector<UINT>{WM_USER + 1, WM_KEYDOWN, WM_CHAR}));
    EXPECT_EQ(Windows().MessagesOf(Form), (std::vector<UINT>{WM_KEYDOWN, WM_CHAR}));
}

TEST_F(LoopHooks, TheHookSeesPaintingInAPassAsInAModalLoop) {
    std::vector<std::string> Hooked;
    const char* Loop = "pass";
    Application.MessageHook = [&](MSG& Msg) {
        if (Msg.hwnd == Form && Msg.message == WM_PAINT) Hooked.push_back(Loop);
        return false;
    };
    Windows().Recorded = {WM_PAINT};
    InvalidateRect(Form, nullptr, TRUE);
    Application.ProcessMessages();
    EXPECT_EQ(Windows().MessagesOf(Form), (std::vector<UINT>{WM_PAINT}));

    Loop = "modal";
    InvalidateRect(Form, nullptr, TRUE);
    EXPECT_TRUE(RunModalLoop([&] { return Windows().MessagesOf(Form).size() == 2; }));
    EXPECT_EQ(Hooked, (std::vector<std::string>{"pass", "modal"}));
    EXPECT_EQ(Windows().MessagesOf(Form), (std::vector<UINT>{WM_PAINT, WM_PAINT}));
}

TEST_F(LoopHooks, WhatTheHookThrowsGoesToTheHandlerAndTheMessageIsNotDispatched) {
    std::vector<std::string> Caught;
    auto Saved = Application.OnException;
    Application.OnException = [&](const Exception& E) { Caught.push_back(E.Message()); };
    Application.MessageHook = [&](MSG& Msg) -> bool {
        if (Msg.hwnd == Form && Msg.message == WM_USER) throw Exception("hook failed");
        return false;
    };
    PostMessage(Form, WM_USER, 0, 0);
    PostMessage(Form, WM_USER + 1, 0, 0);
    Drain();
    Application.OnException = Saved;
    EXPECT_EQ(Caught, (std::vector<std::string>{"hook failed"}));
    EXPECT_EQ(Windows().MessagesOf(Form), (std::vector<UINT>{WM_USER + 1}));
}

TEST_F(LoopHooks, TheIdleStepRunsBeforeALoopWaitsAndCanEndIt) {
    int Idle = 0;
    bool Done = false;
    // The modal loop waits only after its idle step; the third idle step ends it.
    Application.IdleHook = [&] {
        if (++Idle == 3)
            Done = true;
        else
            PostMessage(Form, WM_USER, 0, 0);
    };
    EXPECT_TRUE(RunModalLoop([&] { return Done; }));
    EXPECT_EQ(Idle, 3);
    EXPECT_EQ(Windows().MessagesOf(Form), (std::vector<UINT>{WM_USER, WM_USER}));

    // The program's own loop takes the idle step too.
    Idle = 0;
    Application.IdleHook = [&] {
        ++Idle;
        PostMessage(Form, WM_USER + 1, 0, 0);
    };
    Application.HandleMessage();
    Application.IdleHook = nullptr;
    EXPECT_EQ(Idle, 1);
}

TEST_F(LoopHooks, AModalLoopAsksItsEndOnceAfterTheIdleStep) {
    // Asking may do things (a modal form closes when it is asked): the loop that heard "done"
    // after its idle step does not ask again.
    int Asked = 0;
    bool Ready = false;
    Application.IdleHook = [&] { Ready = true; };
    EXPECT_TRUE(RunModalLoop([&] {
        ++Asked;
        return Ready;
    }));
    EXPECT_EQ(Asked, 2);
}

}  // namespace
