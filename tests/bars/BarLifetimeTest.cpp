// Commands that free what their click runs in: the manager, the form that owns it, or their own
// item, freed from the OnClick of a toolbar button, of a submenu or popup menu entry, or of an
// entry chosen by its accelerator. The windows the click runs in, and their item controls, stay
// allocated until their handlers have returned, nothing of the freed model is touched after the
// command, and the program's loop goes on.
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "bars/dxBar.h"
#include "tests/bars/MenuTestSupport.h"

namespace {

using namespace BarTest;

// What a command frees: the manager, or the whole form (taken from the test's hands, so that
// nothing frees it twice).
using TFreeing = std::function<void(TMenuForm&)>;
const std::pair<const char*, TFreeing> kFreeings[] = {
    {"frees the manager", [](TMenuForm& F) { F.Manager()->Free(); }},
    {"frees the form", [](TMenuForm& F) { TBarsForm Taken(std::move(F.Bars)); }},
};

// After the command: the loop goes on, with input reaching the screen where the bars were.
void LoopGoesOn(POINT Where) {
    GuiTest::Drain();
    if (const HWND Under = TMenuForm::Via(Where)) GuiTest::MouseMove(Under, Where);
    GuiTest::Drain();
    EXPECT_EQ(ActiveBarControl(), nullptr);
}

TEST(BarLifetime, AToolbarButtonMayFreeItsManagerOrForm) {
    for (const auto& [What, Free] : kFreeings) {
        TMenuForm Form;
        TdxBarControl* Window = Form.Toolbar()->Control();
        TFreeWatch WindowGone(Window);
        TFreeWatch FormGone(Form.Bars.Form());
        int Clicks = 0;
        Form.Bars.Button("BarButtonStart")->OnClick = [&, Free = Free](TObject*) {
            ++Clicks;
            Free(Form);
        };
        const POINT Start = Form.ScreenPoint(Form.Toolbar(), 2);
        Form.Click(Start);
        EXPECT_EQ(Clicks, 1) << What;
        LoopGoesOn(Start);
        EXPECT_TRUE(WindowGone.Gone()) << What;
        EXPECT_EQ(FormGone.Gone(), Form.Bars.Form() == nullptr) << What;
    }
}

TEST(BarLifetime, ASubmenuEntryMayFreeItsManagerOrForm) {
    for (const auto& [What, Free] : kFreeings) {
        TMenuForm Form;
        int Clicks = 0;
        Form.Bars.Button("BarButtonStart")->OnClick = [&, Free = Free](TObject*) {
            ++Clicks;
            Free(Form);
        };
        Form.Click(Form.ScreenPoint(Form.Menu(), 2));
        TdxBarSubMenuControl* Online = Form.OpenMenu(2);
        ASSERT_NE(Online, nullptr) << What;
        TFreeWatch MenuGone(Online);
        TFreeWatch BarGone(Form.Menu()->Control());
        const POINT Start = TMenuForm::EntryPoint(Online, 0);
        Form.Move(Start);
        Form.Click(Start);
        EXPECT_EQ(Clicks, 1) << What;
        LoopGoesOn(Start);
        EXPECT_TRUE(MenuGone.Gone()) << What;
        EXPECT_TRUE(BarGone.Gone()) << What;
    }
}

TEST(BarLifetime, APopupMenuEntryMayFreeItsManagerOrForm) {
    for (const auto& [What, Free] : kFreeings) {
        TMenuForm Form;
        auto* Popup = new TdxBarPopupMenu(Form.Bars.Form());
        TFreeWatch PopupGone(Popup);
        int Clicks = 0;
        for (const char* Caption : {"&Kopieren", "&Beenden"}) {
            TdxBarButton* Item = Form.Bars.NewItem(Caption);
            Item->OnClick = [&, Free = Free](TObject*) {
                ++Clicks;
                Free(Form);
            };
            Popup->ItemLinks()->Add()->SetItem(Item);
        }
        const POINT At = GuiTest::ScreenOf(Form.FormWindow(), POINT{200, 100});
        bool Returned = false;
        POINT Entry{};
        GuiTest::TScript Script;
        Script
            .Then([&] {
                Popup->Popup(At.x, At.y);
                Returned = true;
            })
            // The menu's loop may begin only after the step's timer fired on a busy machine.
            .ThenWhen([&] { return Popup->Window() && IsWindowVisible(Popup->Window()->Handle()); },
                      [&] {
                          Entry = TMenuForm::EntryPoint(Popup->Window(), 1);
                          GuiTest::MouseMove(Form.FormWindow(), Entry);
                      })
            .Then([&] { GuiTest::MouseClick(Form.FormWindow(), Entry); });
        Script.Start();
        ASSERT_TRUE(PumpUntil([&] { return Script.Done() && Returned; })) << What;
        EXPECT_EQ(Clicks, 1) << What;
        LoopGoesOn(Entry);
        EXPECT_EQ(PopupGone.Gone(), Form.Bars.Form() == nullptr) << What;
    }
}

TEST(BarLifetime, AnEntryChosenByKeyMayFreeItsManager) {
    TMenuForm Form;
    int Runs = 0;
    Form.Bars.Button("BarButtonStart")->OnClick = [&](TObject*) {
        ++Runs;
        Form.Manager()->Free();
    };
    Form.AltTap(Qt::Key_O);  // "&Online"
    ASSERT_NE(Form.OpenMenu(2), nullptr);
    Form.Tap(Qt::Key_S);  // "&Start"
    EXPECT_EQ(Runs, 1);
    EXPECT_EQ(BarManagerOfForm(Form.Bars.Form()), nullptr);
    LoopGoesOn(Form.FormPoint());
    // The form takes its keys as before.
    Form.Tap(Qt::Key_F10);
    Form.AltTap(Qt::Key_O);
    EXPECT_EQ(ActiveBarControl(), nullptr);
}

TEST(BarLifetime, ACommandMayFreeItsOwnItem) {
    // From the toolbar, and from the "Online" menu.
    for (const bool InMenu : {false, true}) {
        TMenuForm Form;
        TdxBarButton* Start = Form.Bars.Button("BarButtonStart");
        TFreeWatch ItemGone(Start);
        Start->OnClick = [Start](TObject*) { Start->Free(); };
        int Exits = 0;
        Form.Bars.Button("BarButtonExit")->OnClick = [&](TObject*) { ++Exits; };
        TdxBarItemLinks* Toolbar = Form.Toolbar()->ItemLinks();
        const int Links = Toolbar->Count();
        POINT At = Form.ScreenPoint(Form.Toolbar(), 2);
        if (InMenu) {
            Form.Click(Form.ScreenPoint(Form.Menu(), 2));
            ASSERT_NE(Form.OpenMenu(2), nullptr);
            At = TMenuForm::EntryPoint(Form.OpenMenu(2), 0);
            Form.Move(At);
        }
        Form.Click(At);
        LoopGoesOn(At);
        EXPECT_TRUE(ItemGone.Gone()) << InMenu;
        EXPECT_EQ(Toolbar->Count(), Links - 1) << InMenu;
        // The bar goes on answering clicks.
        Form.Click(Form.ScreenPoint(Form.Toolbar(), Toolbar->Count() - 1));
        EXPECT_EQ(Exits, 1) << InMenu;
    }
}

TEST(BarLifetime, AControlTakenAwayByItsCommandLastsUntilTheClickIsOver) {
    using TTakeAway = void (*)(TMenuForm&);
    const std::pair<const char*, TTakeAway> kCommands[] = {
        {"frees the link", [](TMenuForm& F) { F.Toolbar()->ItemLinks()->Delete(2); }},
        {"frees the manager", [](TMenuForm& F) { F.Manager()->Free(); }},
    };
    for (auto [What, TakeAway] : kCommands) {
        TMenuForm Form;
        TdxBarItemControl* Control = Form.Link(Form.Toolbar(), 2)->Control();
        ASSERT_NE(Control, nullptr) << What;
        bool Detached = false;
        Form.Bars.Button("BarButtonStart")->OnClick = [&, TakeAway = TakeAway](TObject*) {
            // The handler goes with its item: what it needs afterwards is taken from it first.
            TdxBarItemControl* const Held = Control;
            bool& Seen = Detached;
            TakeAway(Form);
            // Still allocated while the click runs: nothing of it points anywhere any more.
            Seen = Held->Detached();
        };
        const POINT Start = Form.ScreenPoint(Form.Toolbar(), 2);
        Form.Click(Start);
        EXPECT_TRUE(Detached) << What;
        LoopGoesOn(Start);
    }
}

}  // namespace
