// Tab controls and page controls: the tabs follow their strings (the chosen tab moving as the
// window moves it, with or without a window), the user's choices ask and tell while the
// program's do not, pages show one at a time in the display area, tabs of hidden pages go, and
// Ctrl+Tab walks the pages.
#include <gtest/gtest.h>

#include "tests/platform/widgets/ComCtrlsTestSupport.h"

using namespace ComCtrlsTest;

namespace {

std::vector<std::string> WindowTabs(TCustomTabControl* Tabs) {
    std::vector<std::string> Out;
    const HWND Wnd = Tabs->Handle();
    const int Count = int(SendMessage(Wnd, TCM_GETITEMCOUNT, 0, 0));
    for (int I = 0; I < Count; ++I) {
        char Buffer[64] = {};
        TCITEM Get;
        Get.mask = TCIF_TEXT;
        Get.pszText = Buffer;
        Get.cchTextMax = sizeof Buffer;
        SendMessage(Wnd, TCM_GETITEM, WPARAM(I), reinterpret_cast<LPARAM>(&Get));
        Out.push_back(Buffer);
    }
    return Out;
}

std::vector<std::string> Strings(TStrings* List) {
    std::vector<std::string> Out;
    for (int I = 0; I < List->Count(); ++I) Out.push_back(List->Get(I));
    return Out;
}

RECT TabRect(TCustomTabControl* Tabs, int Index) {
    RECT R{};
    SendMessage(Tabs->Handle(), TCM_GETITEMRECT, WPARAM(Index), reinterpret_cast<LPARAM>(&R));
    return R;
}

POINT Middle(const RECT& R) {
    return POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2};
}

int WindowChoice(TCustomTabControl* Tabs) {
    return int(SendMessage(Tabs->Handle(), TCM_GETCURSEL, 0, 0));
}

class TabControls : public TComCtrlsTest {
  protected:
    void ClickTab(TForm* Form, TCustomTabControl* Tabs, int Index) {
        MouseClick(Form->Handle(), ScreenOf(Tabs->Handle(), Middle(TabRect(Tabs, Index))));
        Drain();
    }
};

TEST_F(TabControls, TheChosenTabMovesAsTheWindowMovesItWithOrWithoutAWindow) {
    TForm* Form = HostForm();
    auto* Shown = Make<TTabControl>(Form);
    auto* Hidden = new TTabControl(Form);
    Hidden->SetBoundsRect(TRect{8, 8, 308, 208});
    struct TStep {
        const char* What;
        std::function<void(TStrings&)> Do;
        int Chosen;
    };
    const TStep Steps[] = {
        {"first tab", [](TStrings& T) { T.Add("HTML"); }, 0},
        {"after", [](TStrings& T) { T.Add("Source"); }, 0},
        {"before the chosen", [](TStrings& T) { T.Insert(0, "Raw"); }, 1},
        {"renamed", [](TStrings& T) { T.Put(2, "Quelltext"); }, 1},
        {"chosen deleted", [](TStrings& T) { T.Delete(1); }, -1},
        {"refilled",
         [](TStrings& T) {
             TStringList L;
             L.SetCommaText("Allgemeines,Anwahl,POP3,SMTP,NNTP,MIME");
             T.Assign(L);
         },
         0},
        {"before deleted", [](TStrings& T) { T.Delete(0); }, -1},
        {"emptied", [](TStrings& T) { T.Clear(); }, -1},
        {"first again", [](TStrings& T) { T.Add("HTML"); }, 0},
    };
    for (const TStep& Step : Steps) {
        Step.Do(*Shown->Tabs());
        Step.Do(*Hidden->Tabs());
        EXPECT_EQ(Shown->TabIndex(), Step.Chosen) << Step.What;
        EXPECT_EQ(WindowChoice(Shown), Step.Chosen) << Step.What;
        EXPECT_EQ(Hidden->TabIndex(), Step.Chosen) << Step.What;
        EXPECT_EQ(WindowTabs(Shown), Strings(Shown->Tabs())) << Step.What;
        if (Step.Chosen < 0 && Shown->Tabs()->Count() > 0) {
            Shown->SetTabIndex(0);
            Hidden->SetTabIndex(0);
        }
    }
    // The window made later, and made again, shows the same tabs and choice.
    Shown->Tabs()->Assign(*Hidden->Tabs());
    Hidden->Tabs()->Add("Source");
    Hidden->SetTabIndex(1);
    Hidden->SetParent(Form);
    Drain();
    EXPECT_EQ(WindowTabs(Hidden), (std::vector<std::string>{"HTML", "Source"}));
    EXPECT_EQ(WindowChoice(Hidden), 1);
    Hidden->RecreateWnd();
    EXPECT_EQ(WindowTabs(Hidden), (std::vector<std::string>{"HTML", "Source"}));
    EXPECT_EQ(WindowChoice(Hidden), 1);
    // A choice out of range changes nothing.
    Hidden->SetTabIndex(2);
    EXPECT_EQ(Hidden->TabIndex(), 1);
}

TEST_F(TabControls, TheUsersChoiceAsksAndTellsTheProgramsDoesNot) {
    TForm* Form = HostForm();
    auto* Tabs = Make<TTabControl>(Form);
    TStringList Names;
    Names.SetCommaText("HTML,Source,Raw");
    Tabs->Tabs()->Assign(Names);
    Drain();
    std::vector<std::string> Log;
    bool Refuse = false;
    Tabs->OnChanging = [&](TObject*, bool& Allow) {
        Log.push_back("changing from " + std::to_string(Tabs->TabIndex()));
        Allow = !Refuse;
    };
    Tabs->OnChange = [&](TObject*) {
        Log.push_back("change to " + std::to_string(Tabs->TabIndex()));
    };
    ClickTab(Form, Tabs, 1);
    EXPECT_EQ(Log, (std::vector<std::string>{"changing from 0", "change to 1"}));
    Refuse = true;
    ClickTab(Form, Tabs, 2);
    EXPECT_EQ(Tabs->TabIndex(), 1);
    EXPECT_EQ(WindowChoice(Tabs), 1);
    Refuse = false;
    Log.clear();
    // Keys choose the neighbouring tab.
    QTest::keyClick(QtWindowOf(Form->Handle()), Qt::Key_Right);
    Drain();
    EXPECT_EQ(Log, (std::vector<std::string>{"changing from 1", "change to 2"}));
    Log.clear();
    Tabs->SetTabIndex(0);
    EXPECT_EQ(WindowChoice(Tabs), 0);
    EXPECT_TRUE(Log.empty());
}

TEST_F(TabControls, ChildrenLieInTheDisplayAreaWhichFollowsTheRowsOfTabs) {
    TForm* Form = HostForm();
    auto* Tabs = Make<TTabControl>(Form, nullptr, TRect{8, 8, 208, 208});
    auto* Page = Make<TPanel>(Form, Tabs, TRect{0, 0, 10, 10});
    Page->SetAlign(alClient);
    for (const char* Name : {"Allgemeines", "Anwahl", "POP3", "SMTP", "NNTP", "MIME"})
        Tabs->Tabs()->Add(Name);
    Drain();
    const TRect OneRow = Tabs->DisplayRect();
    EXPECT_EQ(Page->BoundsRect(), OneRow);
    EXPECT_GT(OneRow.Top, 10);
    Tabs->SetMultiLine(true);
    Drain();
    EXPECT_GT(SendMessage(Tabs->Handle(), TCM_GETROWCOUNT, 0, 0), 1);
    const TRect Rows = Tabs->DisplayRect();
    EXPECT_GT(Rows.Top, OneRow.Top);
    EXPECT_EQ(Page->BoundsRect(), Rows);
    // Wider, the tabs fit in fewer rows and the display area grows.
    Tabs->SetWidth(500);
    Drain();
    EXPECT_EQ(Page->BoundsRect(), Tabs->DisplayRect());
    EXPECT_EQ(Tabs->DisplayRect().Top, OneRow.Top);
}

class PageControls : public TabControls {
  protected:
    // Three pages with a label and two boxes each, and a page without a tab.
    TPageControl* Pages(TForm* Form) {
        auto* Control = Make<TPageControl>(Form, nullptr, TRect{8, 8, 408, 308});
        const char* Captions[] = {"Allgemeines", "Anwahl", "POP3", "Verborgen"};
        for (const char* Caption : Captions) {
            auto* Sheet = new TTabSheet(Form);
            Sheet->SetCaption(Caption);
            Sheet->SetPageControl(Control);
            for (int I = 0; I < 2; ++I) {
                auto* Box = Make<TPanel>(Form, Sheet, TRect{10, 10 + 40 * I, 110, 40 + 40 * I});
                Box->SetTabStop(true);
            }
            Sheets.push_back(Sheet);
        }
        Sheets[3]->SetTabVisible(false);
        Drain();
        return Control;
    }
    std::vector<bool> Visible() {
        std::vector<bool> Out;
        for (TTabSheet* S : Sheets) Out.push_back(S->Visible() && S->Showing());
        return Out;
    }
    std::vector<TTabSheet*> Sheets;
};

TEST_F(PageControls, OneSheetShowsInTheDisplayAreaAndHiddenTabsGo) {
    TForm* Form = HostForm();
    TPageControl* Control = Pages(Form);
    EXPECT_EQ(WindowTabs(Control), (std::vector<std::string>{"Allgemeines", "Anwahl", "POP3"}));
    EXPECT_EQ(Control->PageCount(), 4);
    EXPECT_EQ(Control->ActivePage(), Sheets[0]);
    EXPECT_EQ(Visible(), (std::vector<bool>{true, false, false, false}));
    EXPECT_EQ(Sheets[0]->BoundsRect(), Control->DisplayRect());
    // The program's choice: no events.
    int Events = 0;
    Control->OnChange = [&](TObject*) { ++Events; };
    Control->SetActivePage(Sheets[2]);
    EXPECT_EQ(Visible(), (std::vector<bool>{false, false, true, false}));
    EXPECT_EQ(Sheets[2]->BoundsRect(), Control->DisplayRect());
    EXPECT_EQ(WindowChoice(Control), 2);
    Control->SetActivePageIndex(1);
    EXPECT_EQ(Control->ActivePage(), Sheets[1]);
    EXPECT_EQ(Events, 0);
    // A page without a tab may still be shown by the program.
    Control->SetActivePage(Sheets[3]);
    EXPECT_EQ(Visible(), (std::vector<bool>{false, false, false, true}));
    EXPECT_EQ(Sheets[3]->TabIndex(), -1);
    // The active page's tab goes: the next page with a tab shows.
    Control->SetActivePage(Sheets[1]);
    Sheets[1]->SetTabVisible(false);
    EXPECT_EQ(Control->ActivePage(), Sheets[2]);
    EXPECT_EQ(WindowTabs(Control), (std::vector<std::string>{"Allgemeines", "POP3"}));
    EXPECT_EQ(WindowChoice(Control), 1);
    Sheets[1]->SetTabVisible(true);
    // Captions, order and pictures of the tabs follow the sheets.
    Sheets[2]->SetCaption("POP3/SMTP");
    Sheets[2]->SetPageIndex(0);
    EXPECT_EQ(WindowTabs(Control),
              (std::vector<std::string>{"POP3/SMTP", "Allgemeines", "Anwahl"}));
    EXPECT_EQ(WindowChoice(Control), 0);
    EXPECT_EQ(Control->ActivePageIndex(), 0);
    Sheets[1]->SetImageIndex(4);
    TCITEM Get;
    Get.mask = TCIF_IMAGE;
    SendMessage(Control->Handle(), TCM_GETITEM, 2, reinterpret_cast<LPARAM>(&Get));
    EXPECT_EQ(Get.iImage, 4);
    // The active sheet goes: the next one shows.
    Sheets[2]->Free();
    Sheets.erase(Sheets.begin() + 2);
    EXPECT_EQ(Control->ActivePage(), Sheets[0]);
    EXPECT_EQ(WindowTabs(Control), (std::vector<std::string>{"Allgemeines", "Anwahl"}));
    EXPECT_EQ(Visible(), (std::vector<bool>{true, false, false}));
    // A new window shows the same.
    Control->RecreateWnd();
    Drain();
    EXPECT_EQ(WindowTabs(Control), (std::vector<std::string>{"Allgemeines", "Anwahl"}));
    EXPECT_EQ(WindowChoice(Control), 0);
    EXPECT_EQ(Visible(), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(Events, 0);
}

TEST_F(PageControls, TabsAndCtrlTabChangePagesAsTheUserAndTheFocusComesAlong) {
    TForm* Form = HostForm();
    TPageControl* Control = Pages(Form);
    std::vector<std::string> Log;
    TTabSheet* Refused = nullptr;
    Control->OnChanging = [&](TObject*, bool& Allow) {
        Log.push_back("leaving " + Control->ActivePage()->Caption());
        Allow = Control->ActivePage() != Refused;
    };
    Control->OnChange = [&](TObject*) {
        Log.push_back("showing " + Control->ActivePage()->Caption());
    };
    ClickTab(Form, Control, 1);
    EXPECT_EQ(Log, (std::vector<std::string>{"leaving Allgemeines", "showing Anwahl"}));
    EXPECT_EQ(Visible(), (std::vector<bool>{false, true, false, false}));
    Refused = Sheets[1];
    ClickTab(Form, Control, 2);
    EXPECT_EQ(Control->ActivePage(), Sheets[1]);
    EXPECT_EQ(WindowChoice(Control), 1);
    Refused = nullptr;
    // Ctrl+Tab with the focus on a page goes on (round the end, past the page without a tab);
    // the focus goes to the new page's first control.
    auto* Box = static_cast<TWinControl*>(Sheets[1]->Controls(1));
    Box->SetFocus();
    Drain();
    Log.clear();
    QWindow* Keys = QtWindowOf(Form->Handle());
    QTest::keyClick(Keys, Qt::Key_Tab, Qt::ControlModifier);
    Drain();
    EXPECT_EQ(Control->ActivePage(), Sheets[2]);
    EXPECT_TRUE(Sheets[2]->ContainsControl(Form->ActiveControl()));
    QTest::keyClick(Keys, Qt::Key_Tab, Qt::ControlModifier);
    Drain();
    EXPECT_EQ(Control->ActivePage(), Sheets[0]);
    QTest::keyClick(Keys, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    Drain();
    EXPECT_EQ(Control->ActivePage(), Sheets[2]);
    EXPECT_EQ(Log, (std::vector<std::string>{"leaving Anwahl", "showing POP3", "leaving POP3",
                                             "showing Allgemeines", "leaving Allgemeines",
                                             "showing POP3"}));
    EXPECT_EQ(Visible(), (std::vector<bool>{false, false, true, false}));
    // Plain Tab still walks the controls.
    TWinControl* Before = Form->ActiveControl();
    QTest::keyClick(Keys, Qt::Key_Tab);
    Drain();
    EXPECT_NE(Form->ActiveControl(), Before);
    EXPECT_EQ(Control->ActivePage(), Sheets[2]);
}

}  // namespace
