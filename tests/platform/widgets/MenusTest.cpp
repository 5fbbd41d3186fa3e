// The class library's menus: read from a form's definition and written back, shown by a right
// click or the menu key on a control (after its OnContextPopup, else its parent's menu), tracked
// with real input, the chosen item clicked once the menu is closed, shortcuts of a form's menus,
// actions, the item lists' rules, and items or menus freed while the menu is open.
#include <gtest/gtest.h>

#include <QPainter>

#include "platform/controls/Controls.h"
#include "platform/forms/Filer.h"
#include "platform/menus/MenuImpl.h"
#include "platform/menus/Menus.h"
#include "platform/widgets/ExtCtrls.h"
#include "platform/widgets/Forms.h"
#include "platform/widgets/ListBoxes.h"
#include "platform/widgets/Menus.h"
#include "platform/widgets/TreeViews.h"
#include "tests/support/GuiTestSupport.h"

using namespace GuiTest;

namespace {

class TMenuTestBox : public TCustomControl {
  public:
    explicit TMenuTestBox(TComponent* AOwner) : TCustomControl(AOwner) {
        SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
        SetTabStop(true);
    }
    std::vector<WORD> Keys;

  protected:
    void KeyDown(WORD& Key, TShiftState Shift) override {
        Keys.push_back(Key);
        TCustomControl::KeyDown(Key, Shift);
    }
    void Paint() override {
        Canvas()->Brush().SetColor(clWindow);
        Canvas()->FillRect(ClientRect());
    }
};

class TMenuTestForm : public TForm {
  public:
    using TForm::TForm;
    TMenuTestBox* StatusView = nullptr;
    TMenuTestBox* LogList = nullptr;
    TMenuTestBox* Inner = nullptr;
    TPopupMenu* MailPopup = nullptr;
    TPopupMenu* ThreadsPopup = nullptr;
    TPopupMenu* TreePopup = nullptr;
    TMenuItem* MsgLesen = nullptr;
    TMenuItem* MsgLoeschen = nullptr;
    std::vector<std::string> Log;
    // The mail list has lines in its upper half only.
    bool LineSelected = false;
    bool HandleContext = false;

    template <class T>
    T* Find(const char* Name) {
        return dynamic_cast<T*>(FindComponent(Name));
    }
    void FormCreate(TObject*) {
        StatusView = Find<TMenuTestBox>("StatusView");
        LogList = Find<TMenuTestBox>("LogList");
        Inner = Find<TMenuTestBox>("Inner");
        MailPopup = Find<TPopupMenu>("MailPopup");
        ThreadsPopup = Find<TPopupMenu>("ThreadsPopup");
        TreePopup = Find<TPopupMenu>("TreePopup");
        MsgLesen = Find<TMenuItem>("MsgLesen");
        MsgLoeschen = Find<TMenuItem>("MsgLoeschen");
    }
    void LogListContextPopup(TObject*, TPoint MousePos, bool& Handled) {
        Log.push_back("context " + std::to_string(MousePos.X) + "," + std::to_string(MousePos.Y));
        LineSelected = MousePos.Y >= 0 && MousePos.Y < 60;
        Handled = HandleContext;
    }
    void MailPopupPopup(TObject*) {
        Log.push_back("popup");
        MsgLesen->SetEnabled(LineSelected);
        MsgLoeschen->SetEnabled(LineSelected);
    }
    void MsgLesenClick(TObject*) { Log.push_back("lesen"); }
    void MsgLoeschenClick(TObject*) { Log.push_back("loeschen"); }
    void StopClick(TObject* Sender) {
        Log.push_back("stop " + std::to_string(static_cast<TComponent*>(Sender)->Tag()));
    }
};

void RegisterTestClasses() {
    static const bool Done = [] {
        RegisterClass<TMenuTestBox, TCustomControl>("TMenuTestBox");
        RegisterClass<TMenuTestForm, TForm>("TMenuTestForm")
            .Method("FormCreate", &TMenuTestForm::FormCreate)
            .Method("LogListContextPopup", &TMenuTestForm::LogListContextPopup)
            .Method("MailPopupPopup", &TMenuTestForm::MailPopupPopup)
            .Method("MsgLesenClick", &TMenuTestForm::MsgLesenClick)
            .Method("MsgLoeschenClick", &TMenuTestForm::MsgLoeschenClick)
            .Method("StopClick", &TMenuTestForm::StopClick);
        return true;
    }();
    (void)Done;
}

// The open menu windows, the first menu first.
std::vector<HWND> MenuWindows() {
    std::vector<HWND> Out;
    EnumWindows(
        [&](HWND Wnd, LPARAM) {
            if (GetClassName(Wnd) == kMenuClassName && IsWindowVisible(Wnd))
                Out.insert(Out.begin(), Wnd);
            return TRUE;
        },
        0);
    return Out;
}

// The first open menu window once its host takes input (a nested pass until then).
HWND ShownMenu() {
    PumpUntil(
        [] {
            const std::vector<HWND> W = MenuWindows();
            return !W.empty() && QtWindowOf(W[0]) && QtWindowOf(W[0])->isExposed();
        },
        5000);
    const std::vector<HWND> W = MenuWindows();
    return W.empty() ? 0 : W[0];
}

class Menus : public testing::Test {
  protected:
    void SetUp() override {
        Forms.Initialize();
        InitStandardControls();
        RegisterTestClasses();
        Form = CreateForm<TMenuTestForm>(&Forms);
        Form->Show();
        Drain();
    }
    void TearDown() override {
        while (Screen->FormCount() > 0) Screen->Forms(0)->Free();
        Drain();
    }

    // Input that opens a menu, then the steps inside the menu's loop, then what the loop left
    // (the posted command of the chosen item).
    void WithMenu(const std::function<void()>& Open, std::vector<std::function<void()>> Steps) {
        TSteps Script(std::move(Steps));
        Script.Start([] { return !MenuWindows().empty(); });
        Open();
        Drain();
        EXPECT_TRUE(PumpUntil([&] { return Script.Done(); }, 5000));
        Drain();
    }
    void RightClick(TControl* C, TPoint At) {
        const TPoint P = C->ClientToScreen(At);
        MouseClick(Form->Handle(), POINT{P.X, P.Y}, Qt::RightButton);
    }
    void Key(Qt::Key K, Qt::KeyboardModifiers Mods = {}) {
        QTest::keyClick(QtWindowOf(Form->Handle()), K, Mods);
    }
    std::vector<std::string> Texts(TMenuItem* Parent) {
        std::vector<std::string> Out;
        for (int I = 0; I < Parent->Count(); ++I) Out.push_back(Parent->Items(I)->Caption());
        return Out;
    }

    TMenuTestForm* Form = nullptr;
};

using TTexts = std::vector<std::string>;

}  // namespace

TEST_F(Menus, ADefinitionMakesTheMenusAndTheirItemsAndWritesThemBack) {
    ASSERT_NE(Form->MailPopup, nullptr);
    EXPECT_EQ(Form->LogList->PopupMenu(), Form->MailPopup);
    EXPECT_EQ(Form->StatusView->PopupMenu(), Form->ThreadsPopup);
    EXPECT_EQ(Texts(Form->MailPopup->Items()), (TTexts{"&Lesen...", "&L\xF6schen..."}));
    EXPECT_TRUE(Form->MsgLesen->Default());
    EXPECT_FALSE(Form->MsgLoeschen->Default());
    EXPECT_EQ(Form->MsgLesen->GetParentMenu(), Form->MailPopup);
    EXPECT_EQ(Form->MsgLesen->Parent(), Form->MailPopup->Items());
    EXPECT_EQ(Form->MsgLesen->Owner(), Form);
    TMenuItem* Hard = Form->ThreadsPopup->Items()->Items(1);
    EXPECT_EQ(Hard->ShortCut(), ShortCut(VK_F8, TShiftState{ssCtrl}));
    EXPECT_EQ(Hard->Tag(), 1);
    EXPECT_TRUE(Form->MailPopup->AutoPopup());
    EXPECT_FALSE(Form->TreePopup->AutoPopup());
    EXPECT_EQ(Form->TreePopup->Alignment(), paRight);
    TMenuItem* Sub = Form->TreePopup->Items()->Find("teilbaum");
    ASSERT_NE(Sub, nullptr);
    EXPECT_EQ(Sub->Count(), 3);
    EXPECT_TRUE(Sub->Items(0)->RadioItem());
    EXPECT_EQ(Sub->Items(2)->Tag(), 3);
    EXPECT_TRUE(Form->TreePopup->Items()->Items(1)->IsLine());
    EXPECT_EQ(Form->TreePopup->FindItem(Sub->Items(1)->Command()), Sub->Items(1));
    EXPECT_EQ(Form->MailPopup->FindItem(Sub->Items(1)->Command()), nullptr);

    // Written back, the items are nested in their menu and their parent, in order.
    const std::string Text = WriteComponentToText(Form);
    const size_t Mail = Text.find("object MailPopup: TPopupMenu");
    const size_t Lesen = Text.find("object MsgLesen: TMenuItem");
    const size_t Loeschen = Text.find("object MsgLoeschen: TMenuItem");
    const size_t Threads = Text.find("object ThreadsPopup: TPopupMenu");
    ASSERT_NE(Mail, std::string::npos);
    EXPECT_LT(Mail, Lesen);
    EXPECT_LT(Lesen, Loeschen);
    EXPECT_LT(Loeschen, Threads);
    EXPECT_NE(Text.find("PopupMenu = MailPopup"), std::string::npos);
    EXPECT_NE(Text.find("ShortCut = 16503"), std::string::npos);
    // And read again, the same text.
    auto* Again = new TMenuTestForm(nullptr);
    ReadComponentFromText(Text, Again);
    EXPECT_EQ(WriteComponentToText(Again), Text);
    Again->Free();
}

TEST_F(Menus, ARightClickShowsTheMenuAtThePointerAndTheChosenItemIsClickedAfterwards) {
    HWND Menu = 0;
    RECT Where{};
    const TPoint Click = Form->LogList->ClientToScreen(TPoint{30, 20});
    WithMenu(
        [&] {
            RightClick(Form->LogList, TPoint{30, 20});
        },
        {[&] {
             Menu = ShownMenu();
             ASSERT_NE(Menu, 0u);
             GetWindowRect(Menu, &Where);
             // OnContextPopup and OnPopup came first; the item waits for the menu to close.
             EXPECT_EQ(Form->Log, (TTexts{"context 30,20", "popup"}));
             Drain();
             SaveWindowPicture(Menu,
                               std::string(KESTRO_BINARY_DIR) + "/pictures/widgets/mail-popup.png");
             QTest::keyClick(QtWindowOf(Form->Handle()), Qt::Key_Down);
         },
         [&] {
             // The highlighted item's hint is the application's.
             EXPECT_EQ(Forms.Hint(), "Die Nachricht lesen");
             QTest::keyClick(QtWindowOf(Form->Handle()), Qt::Key_Return);
         }});
    EXPECT_EQ(Where.left, Click.X);
    EXPECT_EQ(Where.top, Click.Y);
    EXPECT_EQ(Form->Log, (TTexts{"context 30,20", "popup", "lesen"}));
    EXPECT_EQ(Form->MailPopup->PopupComponent(), Form->LogList);
    EXPECT_EQ(Form->MailPopup->PopupPoint().X, Click.X);
    EXPECT_EQ(Forms.Hint(), "");

    // Below the lines nothing is selected: both items are disabled and choose nothing.
    Form->Log.clear();
    WithMenu(
        [&] {
            RightClick(Form->LogList, TPoint{30, 100});
        },
        {[&] {
             ShownMenu();
             Key(Qt::Key_Down);
             Key(Qt::Key_Return);
         },
         [&] { Key(Qt::Key_Escape); }});
    EXPECT_EQ(Form->Log, (TTexts{"context 30,100", "popup"}));
}

TEST_F(Menus, OnContextPopupMayTakeTheClickAndAControlWithoutAMenuAsksItsParent) {
    Form->HandleContext = true;
    RightClick(Form->LogList, TPoint{30, 20});
    Drain();
    EXPECT_TRUE(MenuWindows().empty());
    EXPECT_EQ(Form->Log, TTexts{"context 30,20"});
    Form->HandleContext = false;

    // The inner box has no menu: its parent's shows, for the parent.
    Form->Log.clear();
    WithMenu(
        [&] {
            RightClick(Form->Inner, TPoint{5, 5});
        },
        {[&] {
            ASSERT_NE(ShownMenu(), 0u);
            Key(Qt::Key_Escape);
        }});
    EXPECT_EQ(Form->Log, (TTexts{"context 205,15", "popup"}));
    EXPECT_EQ(Form->MailPopup->PopupComponent(), Form->LogList);

    // Without AutoPopup a right click shows nothing.
    Form->MailPopup->SetAutoPopup(false);
    Form->Log.clear();
    RightClick(Form->LogList, TPoint{30, 20});
    Drain();
    EXPECT_TRUE(MenuWindows().empty());
    EXPECT_EQ(Form->Log, TTexts{"context 30,20"});
}

TEST_F(Menus, AGraphicControlShowsItsOwnMenu) {
    // A label on the task view: a right click on it shows the label's menu, not the view's.
    auto* Label = new TLabel(Form);
    Label->SetParent(Form->StatusView);
    Label->SetBounds(100, 10, 80, 20);
    Label->SetCaption("Bytes");
    Label->SetPopupMenu(Form->MailPopup);
    TPoint Asked{-1, -1};
    Label->OnContextPopup = [&](TObject*, TPoint MousePos, bool&) { Asked = MousePos; };
    Drain();
    WithMenu(
        [&] {
            RightClick(Label, TPoint{5, 6});
        },
        {[&] {
            ASSERT_NE(ShownMenu(), 0u);
            Key(Qt::Key_Escape);
        }});
    EXPECT_EQ(Asked.X, 5);
    EXPECT_EQ(Asked.Y, 6);
    EXPECT_EQ(Form->MailPopup->PopupComponent(), Label);
    EXPECT_EQ(Form->ThreadsPopup->PopupComponent(), nullptr);
    // The menu goes before the label: the label forgets it.
    Form->MailPopup->Free();
    EXPECT_EQ(Label->PopupMenu(), nullptr);
}

TEST_F(Menus, TheMenuKeyShowsTheMenuAtTheControlsCorner) {
    Form->StatusView->SetFocus();
    Drain();
    RECT Where{};
    WithMenu([&] { Key(Qt::Key_Menu); }, {[&] {
                 const HWND Menu = ShownMenu();
                 ASSERT_NE(Menu, 0u);
                 GetWindowRect(Menu, &Where);
                 Drain();
                 SaveWindowPicture(
                     Menu, std::string(KESTRO_BINARY_DIR) + "/pictures/widgets/threads-popup.png");
                 // The letter of an item chooses it.
                 Key(Qt::Key_H);
             }});
    const TPoint Corner = Form->StatusView->ClientToScreen(TPoint{0, 0});
    EXPECT_EQ(Where.left, Corner.X);
    EXPECT_EQ(Where.top, Corner.Y);
    EXPECT_EQ(Form->Log, TTexts{"stop 1"});
    EXPECT_EQ(Form->ThreadsPopup->PopupComponent(), Form->StatusView);
}

TEST_F(Menus, ShiftF10AndTheMenuKeyShowAListsMenuBelowItsFocusItem) {
    auto* List = new TListBox(Form);
    List->SetParent(Form);
    List->SetBounds(10, 10, 150, 120);
    for (const char* Text : {"eins", "zwei", "drei", "vier"}) List->Items()->Add(Text);
    List->SetPopupMenu(Form->MailPopup);
    auto* Tree = new TTreeView(Form);
    Tree->SetParent(Form);
    Tree->SetBounds(170, 10, 150, 120);
    TTreeNode* Root = Tree->Items()->Add(nullptr, "de");
    Tree->Items()->AddChild(Root, "de.comm");
    TTreeNode* Last = Tree->Items()->AddChild(Root, "de.rec");
    Root->Expand(false);
    Tree->SetPopupMenu(Form->ThreadsPopup);
    Drain();
    const auto ShownAt = [&](TWinControl* Control, Qt::Key K, Qt::KeyboardModifiers Mods) {
        Control->SetFocus();
        Drain();
        RECT Where{-1, -1, -1, -1};
        WithMenu([&] { Key(K, Mods); }, {[&] {
                     const HWND Menu = ShownMenu();
                     ASSERT_NE(Menu, 0u);
                     GetWindowRect(Menu, &Where);
                     Key(Qt::Key_Escape);
                 }});
        return TPoint{Where.left, Where.top};
    };
    List->SetItemIndex(2);
    const TRect Item = List->ItemRect(2);
    const TPoint BelowItem = List->ClientToScreen(TPoint{Item.Left, Item.Bottom});
    EXPECT_EQ(ShownAt(List, Qt::Key_F10, Qt::ShiftModifier), BelowItem);
    EXPECT_EQ(ShownAt(List, Qt::Key_Menu, {}), BelowItem);
    EXPECT_EQ(Form->MailPopup->PopupComponent(), List);

    Tree->SetSelected(Last);
    const TRect Node = Last->DisplayRect(true);
    const TPoint BelowNode = Tree->ClientToScreen(TPoint{Node.Left, Node.Bottom});
    EXPECT_EQ(ShownAt(Tree, Qt::Key_F10, Qt::ShiftModifier), BelowNode);
    EXPECT_EQ(ShownAt(Tree, Qt::Key_Menu, {}), BelowNode);
    EXPECT_EQ(Form->ThreadsPopup->PopupComponent(), Tree);
}

TEST_F(Menus, TheShortcutsOfTheFormsMenusWorkWhileTheMenusAreClosed) {
    Form->LogList->SetFocus();
    Drain();
    // (The Ctrl key itself reaches the control as a key of its own.)
    auto KeysBesidesCtrl = [&] {
        std::vector<WORD> Keys = Form->LogList->Keys;
        std::erase(Keys, VK_CONTROL);
        return Keys;
    };
    Key(Qt::Key_F7, Qt::ControlModifier);
    Drain();
    EXPECT_EQ(Form->Log, TTexts{"stop 0"});
    EXPECT_TRUE(KeysBesidesCtrl().empty());
    // A disabled item's shortcut goes on to the control.
    Form->ThreadsPopup->Items()->Items(1)->SetEnabled(false);
    Key(Qt::Key_F8, Qt::ControlModifier);
    Drain();
    EXPECT_EQ(Form->Log, TTexts{"stop 0"});
    EXPECT_EQ(KeysBesidesCtrl(), std::vector<WORD>{VK_F8});
}

TEST_F(Menus, AnItemFollowsItsAction) {
    TAction* Read = new TAction(Form);
    int Runs = 0;
    bool Allowed = false;
    Read->SetCaption("&Lesen");
    Read->SetHint("Lesen|Nachricht lesen");
    Read->SetShortCut(ShortCut(VK_F3, {}));
    Read->SetOnExecute([&](TObject*) { ++Runs; });
    Read->SetOnUpdate([&](TObject*) { Read->SetEnabled(Allowed); });
    TMenuItem* Item = new TMenuItem(Form);
    Form->MailPopup->Items()->Add(Item);
    Item->SetAction(Read);
    EXPECT_EQ(Item->Caption(), "&Lesen");
    EXPECT_EQ(Item->ShortCut(), ShortCut(VK_F3, {}));
    Read->SetCaption("Lesen (F3)");
    EXPECT_EQ(Item->Caption(), "Lesen (F3)");
    // Its shortcut updates the action first: disabled, nothing runs and the key goes on.
    EXPECT_FALSE(Form->MailPopup->IsShortCut(ShortCut(VK_F3, {})));
    EXPECT_FALSE(Item->Enabled());
    EXPECT_EQ(Runs, 0);
    Allowed = true;
    EXPECT_TRUE(Form->MailPopup->IsShortCut(ShortCut(VK_F3, {})));
    EXPECT_EQ(Runs, 1);
    // An action that goes leaves the item as it was.
    Read->Free();
    EXPECT_EQ(Item->Action(), nullptr);
    Item->Click();
    EXPECT_EQ(Runs, 1);
}

TEST_F(Menus, ItemListsKeepTheirRules) {
    TMenuItem* Root = Form->TreePopup->Items();
    TMenuItem* Sub = Root->Find("&TEILBAUM");
    ASSERT_NE(Sub, nullptr);
    TMenuItem* Order = Sub->Items(0);
    TMenuItem* Cancel = Sub->Items(1);
    TMenuItem* Invert = Sub->Items(2);
    // Radio items of one group: one checked; other items keep their mark.
    Cancel->SetChecked(true);
    EXPECT_FALSE(Order->Checked());
    EXPECT_TRUE(Invert->Checked());
    // One default per level.
    Root->Items(1)->SetDefault(true);
    EXPECT_FALSE(Root->Items(0)->Default());

    EXPECT_THROW(Root->Add(Order), EMenuError);
    EXPECT_THROW(Sub->Items(3), EMenuError);
    EXPECT_THROW(Order->Add(Sub), EMenuError);
    auto* Loose = new TMenuItem(Form);
    EXPECT_THROW(Loose->Add(Loose), EMenuError);
    EXPECT_THROW(Sub->Insert(9, Loose), EMenuError);
    Sub->Insert(0, Loose);
    EXPECT_EQ(Sub->IndexOf(Loose), 0);
    // Delete takes an item out without freeing it; freeing an item takes it out of its list.
    Sub->Delete(0);
    EXPECT_EQ(Loose->Parent(), nullptr);
    Sub->Add(Loose);
    Loose->Free();
    EXPECT_EQ(Sub->Count(), 3);
    EXPECT_EQ(Form->FindComponent("Teilbaumbestellen1"), Order);
    // Freeing a parent frees its items; the command of a freed item finds nothing.
    const UINT Command = Order->Command();
    Sub->Free();
    EXPECT_EQ(Form->FindComponent("Teilbaumbestellen1"), nullptr);
    EXPECT_EQ(Root->Count(), 2);
    EXPECT_EQ(Form->TreePopup->FindItem(Command), nullptr);
    Root->Clear();
    EXPECT_EQ(Root->Count(), 0);
    EXPECT_EQ(Form->FindComponent("N1"), nullptr);
}

TEST_F(Menus, ItemsAndMenusFreedWhileTheMenuIsOpenAreNotUsed) {
    Form->LineSelected = true;
    // The highlighted item goes while the menu is open: choosing its entry clicks nothing.
    WithMenu([&] { Form->MailPopup->Popup(200, 200); }, {[&] {
                                                             ShownMenu();
                                                             Key(Qt::Key_Down);
                                                         },
                                                         [&] {
                                                             Form->MsgLesen->Free();
                                                             Form->MsgLesen = nullptr;
                                                             Key(Qt::Key_Return);
                                                         }});
    EXPECT_EQ(Form->Log, TTexts{"popup"});
    // The whole menu goes while it is open.
    WithMenu([&] { Form->ThreadsPopup->Popup(200, 200); }, {[&] {
                                                                ShownMenu();
                                                                Form->ThreadsPopup->Free();
                                                                Form->ThreadsPopup = nullptr;
                                                                Key(Qt::Key_Down);
                                                            },
                                                            [&] { Key(Qt::Key_Return); }});
    EXPECT_EQ(Form->StatusView->PopupMenu(), nullptr);
    EXPECT_EQ(Form->Log, TTexts{"popup"});
    // A menu freed by its own OnPopup shows nothing.
    Form->MailPopup->OnPopup = [&](TObject*) {
        Form->MailPopup->Free();
        Form->MailPopup = nullptr;
    };
    Form->MailPopup->Popup(200, 200);
    Drain();
    EXPECT_TRUE(MenuWindows().empty());
}

TEST_F(Menus, ShortcutsCheckMarksAndSubmenusShowInThePicture) {
    TMenuItem* Sub = Form->TreePopup->Items()->Find("Teilbaum");
    int Opened = 0;
    Sub->OnClick = [&](TObject*) {
        // Its menu opens: the program may change the items first.
        ++Opened;
        Sub->Items(2)->SetEnabled(false);
    };
    WithMenu([&] { Form->TreePopup->Popup(300, 150); },
             {[&] {
                  ShownMenu();
                  Key(Qt::Key_Up);
              },
              [&] { Key(Qt::Key_Right); },
              [&] {
                  PumpUntil([] { return MenuWindows().size() == 2; }, 5000);
                  ASSERT_EQ(MenuWindows().size(), 2u);
                  Drain();
                  // Both menus in one picture: the submenu beside its item.
                  RECT A, B;
                  GetWindowRect(MenuWindows()[0], &A);
                  GetWindowRect(MenuWindows()[1], &B);
                  QImage All(B.right - A.left + 4, std::max(A.bottom, B.bottom) - A.top + 4,
                             QImage::Format_RGB32);
                  All.fill(ColorOf(GetSysColor(COLOR_BTNFACE)));
                  QPainter P(&All);
                  P.drawImage(2, 2, WindowPicture(MenuWindows()[0]));
                  P.drawImage(B.left - A.left + 2, B.top - A.top + 2,
                              WindowPicture(MenuWindows()[1]));
                  P.end();
                  All.save(QString::fromStdString(std::string(KESTRO_BINARY_DIR) +
                                                  "/pictures/widgets/tree-popup.png"));
                  Key(Qt::Key_Escape);
              },
              [&] { Key(Qt::Key_Escape); }});
    EXPECT_EQ(Opened, 1);
    // The menu stood left of the point: its alignment is paRight.
    EXPECT_EQ(Form->TreePopup->PopupPoint().X, 300);
}
