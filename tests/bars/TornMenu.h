#pragma once
// A menu of the main window torn off into a bar, for the tests of the detach drag.
#include "tests/bars/MenuTestSupport.h"

namespace BarTest {

// The Online menu of the main menu tears off into a bar of its own commands.
struct TTornOnline {
    // Into: a bar already there that the menu tears off into instead.
    explicit TTornOnline(TMenuForm& Form, TdxBar* Into = nullptr)
        : Form(Form), M(Form.Manager()), Torn(Into) {
        TCustomdxBarSubItem* Online = Form.SubItem(2);
        if (!Torn) {
            Torn = M->Bars()->Add();
            Torn->SetCaption("Online");
            for (int I = 0; I < Online->ItemLinks()->Count(); ++I)
                Torn->ItemLinks()->Add()->SetItem(Online->ItemLinks()->Items(I)->Item());
        }
        Online->Detachable = true;
        Online->SetDetachingBar(Torn->Index());
        Online->OnDetaching = [this](TObject*) { ++Detaching; };
    }
    // Opens the menu and puts the pointer on its detach bar (input on the offscreen platform).
    TdxBarSubMenuControl* Open() {
        Form.Click(Form.ScreenPoint(Form.Menu(), 2));
        TdxBarSubMenuControl* Menu = Form.OpenMenu(2);
        if (!Menu) return nullptr;
        OnBar = DetachBarPoint(Menu);
        Form.Move(POINT{OnBar.x, OnBar.y + 1});
        return Menu;
    }
    // A point of the open menu's detach bar, on the screen.
    static POINT DetachBarPoint(TdxBarSubMenuControl* Menu) {
        RECT R;
        GetWindowRect(Menu->Handle(), &R);
        return POINT{(R.left + R.right) / 2, R.top + 4};
    }
    // The detach drag holds the pointer with the menu's window while the pointer is near.
    bool MenuHolds() const {
        TdxBarSubMenuControl* Menu = Form.OpenMenu(2);
        return Menu && GetCapture() == Menu->Handle();
    }
    bool Floating() const {
        TdxBarControl* W = Torn->Control();
        return Torn->Visible() && W && W->IsFloating() && W->HandleAllocated() &&
               IsWindowVisible(W->Handle());
    }
    TMenuForm& Form;
    TdxBarManager* M;
    TdxBar* Torn;
    int Detaching = 0;
    POINT OnBar{};
    const POINT Away = GuiTest::ScreenOf(Form.FormWindow(), POINT{300, 200});
};

}  // namespace BarTest
