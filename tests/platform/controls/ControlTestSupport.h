#pragma once
// What the tests of the standard controls share: a shown form to put controls on, with the
// control classes registered; the notification codes the form got; tables of messages with the
// answers they must get; and pictures under pictures/controls in the build tree.
#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "platform/controls/Controls.h"
#include "tests/support/GuiTestSupport.h"

namespace ControlTest {

using namespace GuiTest;

inline std::string ControlPicturePath(const std::string& Name) {
    return std::string(KESTRO_BINARY_DIR) + "/pictures/controls/" + Name + ".png";
}

// A message to a window and the answer it must get.
struct TMessageAnswer {
    const char* What;
    HWND Wnd;
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Answer;
};

// Sends the messages in order, each checked on its own.
inline void ExpectAnswers(std::span<const TMessageAnswer> Cases) {
    for (const TMessageAnswer& C : Cases) {
        SCOPED_TRACE(C.What);
        EXPECT_EQ(SendMessage(C.Wnd, C.Msg, C.WParam, C.LParam), C.Answer);
    }
}

// A popup form from (100, 100) to (500, 400), shown, for controls of the registered classes.
class TControlForm : public testing::Test {
  protected:
    void SetUp() override {
        InitStandardControls();
        Drain();
        Form = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {100, 100, 500, 400}, 0, "Form"));
        Drain();
    }
    void TearDown() override { Drain(); }

    // The notification codes (WM_COMMAND) the form got, in order: from any control, or from one.
    std::vector<WORD> Codes() const {
        std::vector<WORD> Out;
        for (const TRecorded& R : Windows().Of(Form, {WM_COMMAND})) Out.push_back(HIWORD(R.WParam));
        return Out;
    }
    std::vector<WORD> Codes(HWND From) const {
        std::vector<WORD> Out;
        for (const TRecorded& R : Windows().Of(Form, {WM_COMMAND}))
            if (static_cast<HWND>(R.LParam) == From) Out.push_back(HIWORD(R.WParam));
        return Out;
    }

    TWindowGuard Guard;
    HWND Form = 0;
};

}  // namespace ControlTest
