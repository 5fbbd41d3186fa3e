// The newsgroup manager: the tree it builds from the full group list, and the subscription list
// and group list it writes back.
#include "app/ui/GroupManager.h"

#include <sys/mount.h>

#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "app/engine/bfgconfig.h"
#include "bars/model/dxBarManager.h"
#include "platform/controls/TreeView.h"
#include "platform/fs/Files.h"
#include "tests/app/ui/UiFixture.h"
#include "tests/app/ui/UiGolden.h"

namespace {

// The tree as text: one node a line, indented by depth, with its images and the subscription.
void DumpNode(TTreeNode* Node, int Depth, std::ostringstream& Out) {
    Out << std::string(size_t(Depth) * 2, ' ') << Node->Text() << " (" << Node->ImageIndex() << "/"
        << Node->SelectedIndex() << ")" << (TGroupTree::Subscribed(Node) ? " [x]" : "")
        << (Node->Data() ? " {" + static_cast<TNodeData*>(Node->Data())->Text + "}" : "") << "\n";
    for (int I = 0; I < Node->Count(); ++I) DumpNode(Node->Item(I), Depth + 1, Out);
}

class GroupManagerTest : public UiTest {
  protected:
    // Opens the manager on the group list Bl (a name in the point program's directory) and lets
    // it load.
    // NodesAtOnce: the largest list whose nodes are all made when it is read.
    TFormGroupManager* Open(const std::string& Bl, TdxBarManager* Bars = nullptr,
                            int NodesAtOnce = UiLimits::kGroupNodesAtOnce) {
        RegisterGroupManagerClasses();
        auto* Form = CreateForm<TFormGroupManager>(&Forms);
        Form->GroupListFile = PointDir() + Bl;
        Form->BarManager = Bars;
        Form->Groups().NodesAtOnce = NodesAtOnce;
        Form->EditNewArticles->SetText("20");
        GuiTest::Drain();
        return Form;
    }
    void PutGolden(const std::string& Name) {
        WriteFile(PointDir() + Name, UiGolden::Read("groupman/" + Name));
    }
    static std::string Dump(TFormGroupManager* Form) {
        std::ostringstream Out;
        if (TTreeNode* Root = Form->Tree->Items()->GetFirstNode()) DumpNode(Root, 0, Out);
        return Out.str();
    }
    static TTreeNode* Node(TFormGroupManager* Form, const std::string& Text) {
        TTreeNodes* Nodes = Form->Tree->Items();
        for (int I = 0; I < Nodes->Count(); ++I)
            if (Nodes->Item(I)->Text() == Text) return Nodes->Item(I);
        ADD_FAILURE() << "no node " << Text;
        return nullptr;
    }
    std::string Written(const std::string& Name) { return ReadFile(PointDir() + Name); }
};

TEST(CommonGroupLevel, CountsTheDotsOfTheSharedBeginning) {
    const struct {
        const char* A;
        const char* B;
        int Level;
    } Cases[] = {
        {"de.comp.lang.c", "de.comp.os.linux", 2},  // the third part differs
        {"de.test", "de.test.misc", 1},             // a two-part name and one extending it
        {"de.test", "de.test", 1},
        {"alt.test", "de.test", 0},
        {"de.a", "de.b", 1},
        {"de", "de.x", 0},
        {"", "de.x", 0},
        {"a.b.c.d", "a.b.c.d.e", 3},
    };
    for (const auto& C : Cases) EXPECT_EQ(CommonGroupLevel(C.A, C.B), C.Level) << C.A << " " << C.B;
}

// The compact list of a large server keeps the order and the lookup of a string list: letters
// without case, '_' after the capitals, a shorter name first; names that differ only in case
// by their bytes; the marks and words after a name dropped.
TEST(GroupNames, SortAndFindAsAStringList) {
    const std::vector<std::string> Lines = {"de.Test", "a_b 5 y",  "aZb*",   "alt.x", "ALT.X",
                                            "alt",     "de.test2", "~tilde", "Zeta",  "a.b.c"};
    TStringList Input, Expected;
    for (const std::string& Line : Lines) Input.Add(Line);
    TGroupNames Names;
    Names.Assign(Input, 0);
    EXPECT_EQ(Input.Count(), 0);
    Names.Sort();
    for (const std::string& Line : Lines)
        Expected.Add(Line.substr(0, std::min(Line.find(' '), Line.find('*'))));
    Expected.Sort();
    ASSERT_EQ(Names.Count(), Expected.Count());
    for (int I = 0; I < Names.Count(); ++I) {
        int At = -1;
        EXPECT_TRUE(Expected.Find(std::string(Names[I]), At)) << I;
        EXPECT_EQ(Expected.Find(std::string(Names[I]), At) ? At : -1,
                  Expected.Find(Expected[I], At) ? At : -2)
            << I << ": " << Names[I] << " stands where the string list has " << Expected[I];
    }
    EXPECT_EQ(Names[2], "ALT.X");  // the capitals' bytes first
    EXPECT_EQ(Names[3], "alt.x");
    for (const char* Name : {"alt.X", "de.test", "a_b", "azb", "zz", "", "a.b"}) {
        int Got = -1, Want = -1;
        EXPECT_EQ(Names.FindNoCase(Name, Got), Expected.Find(Name, Want)) << Name;
        EXPECT_EQ(Got, Want) << Name;
    }
    int At = -1;
    EXPECT_TRUE(Names.Find("alt.x", At));
    EXPECT_EQ(At, 3);
    EXPECT_FALSE(Names.Find("alt.X", At));
}

// Group names are case-sensitive: a name spelt otherwise is another group. A name listed again
// as spelt goes.
TEST(GroupNames, RepeatedNamesGoAndCaseTwinsStay) {
    TStringList Input;
    for (const char* Line :
         {"de.b 1", "x", "de.a", "DE.A*", "de.B", "c", "De.a", "de.ab", "x", "de.a*"})
        Input.Add(Line);
    TGroupNames Names;
    Names.Assign(Input, 0);
    Names.Sort();
    Names.DropRepeated();
    std::vector<std::string> Left;
    for (int I = 0; I < Names.Count(); ++I) Left.emplace_back(Names[I]);
    EXPECT_EQ(Left, (std::vector<std::string>{"c", "DE.A", "De.a", "de.a", "de.ab", "de.B", "de.b",
                                              "x"}));
    int Index = -1;
    EXPECT_TRUE(Names.FindNoCase("DE.AB", Index));
    EXPECT_EQ(Index, 4);
    EXPECT_TRUE(Names.FindNoCase("de.A", Index));
    EXPECT_EQ(Index, 1);
    EXPECT_TRUE(Names.Find("de.a", Index));
    EXPECT_EQ(Index, 3);
    Names.DropRepeated();
    EXPECT_EQ(Names.Count(), 8);
    EXPECT_EQ(Names[7], "x");
}

TEST_F(GroupManagerTest, BuildsATreeWithAtMostTwoFoldersPerGroup) {
    PutGolden("news.bl");
    PutGolden("news.rc");
    TFormGroupManager* Form = Open("news.bl");
    EXPECT_EQ(Form->Caption(), "Newsgroups bestellen");
    EXPECT_EQ(Dump(Form),
              "news.bl (2/3)\n"
              "  alt.* (2/3)\n"
              "    alt.test (0/1)\n"
              "  de.* (2/3)\n"
              "    de.comp.lang.* (2/3)\n"
              "      de.comp.lang.c++ (0/1) [x] {4711}\n"
              "    de.comp.os.* (2/3)\n"
              "      de.comp.os.linux.* (2/3)\n"
              "        de.comp.os.linux.misc (0/1)\n"
              "        de.comp.os.linux.networking (0/1) [x] {99 HdrOnly}\n"
              "    de.rec.* (2/3)\n"
              "      de.rec.fahrrad (0/1)\n");
    Node(Form, "de.comp.os.linux.networking")->MakeVisible();
    Node(Form, "de.rec.fahrrad")->MakeVisible();
    Form->Tree->SetSelected(Node(Form, "de.comp.lang.*"));
    Node(Form, "de.comp.lang.c++")->MakeVisible();
    Picture(Form, "groupman-loaded");
}

TEST_F(GroupManagerTest, OkWritesKeptNewAndForeignSubscriptionsAndMarksTheGroupList) {
    PutGolden("news.bl");
    PutGolden("news.rc");
    TFormGroupManager* Form = Open("news.bl");
    Form->Groups().Toggle(Node(Form, "de.rec.fahrrad"));
    Form->Groups().Toggle(Node(Form, "de.comp.os.linux.networking"));
    Form->Groups().Toggle(Node(Form, "de.*"));  // a folder is no group
    Form->CBHeaderOnly->SetChecked(true);
    Form->ButtonOkClick(nullptr);
    UiGolden::Expect("groupman/news-ok.rc", Written("news.rc"));
    UiGolden::Expect("groupman/news-ok.bl", Written("news.bl"));
    Form->Free();

    // Read again and saved unchanged: the marks are stripped and set again, the header stays
    // single, and nothing is lost.
    Form = Open("news.bl");
    Form->ButtonOkClick(nullptr);
    UiGolden::Expect("groupman/news-ok.rc", Written("news.rc"));
    UiGolden::Expect("groupman/news-ok.bl", Written("news.bl"));
}

// A small file system of its own for the lists, filled up before OK: the former lists stay
// whole, the message names the file and the reason, and once there is room again OK writes them.
TEST_F(GroupManagerTest, OkOnAFullDiskKeepsTheFormerListsWholeAndWorksOnceThereIsRoom) {
    const std::string Dir = PointDir() + "small/";
    std::filesystem::create_directories(Dir);
    if (::mount("tmpfs", Dir.c_str(), "tmpfs", 0, "size=128k") != 0)
        GTEST_SKIP() << "mounting a small tmpfs needs root: " << std::strerror(errno);
    struct TUnmount {
        std::string Dir;
        ~TUnmount() { ::umount2(Dir.c_str(), MNT_DETACH); }
    } Unmount{Dir};
    std::string List = "!header\r\n", Subscriptions;
    for (int I = 0; I < 1000; ++I) {
        const std::string Name = "de.group" + std::to_string(1000 + I);
        List += Name + "\r\n";
        if (I % 2 == 0) Subscriptions += Name + " 17\r\n";
    }
    WriteFile(Dir + "news.bl", List);
    WriteFile(Dir + "news.rc", Subscriptions);
    TFormGroupManager* Form = Open("small/news.bl");
    ASSERT_TRUE(Form->Loaded());
    {
        // Every free block taken.
        std::ofstream Filler(Dir + "filler", std::ios::binary);
        const std::string Block(4096, 'f');
        while (Filler.write(Block.data(), Block.size())) {
        }
    }
    Form->Groups().ApplyToSubtree(Form->Tree->Items()->GetFirstNode(), scSubscribe);
    Messages.clear();
    Form->ButtonOkClick(nullptr);
    // (Compared as a whole, not printed: a cut file is some thousand lines.)
    EXPECT_TRUE(Written("small/news.rc") == Subscriptions) << "the subscriptions were cut";
    EXPECT_TRUE(Written("small/news.bl") == List) << "the group list was cut";
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_NE(Messages[0].find(Dir + "news.rc"), std::string::npos) << Messages[0];
    EXPECT_NE(Messages[0].find("No space left on device"), std::string::npos) << Messages[0];
    EXPECT_EQ(Form->ModalResult(), mrNone);
    EXPECT_EQ(FindFiles(Dir, "*.tmp").size(), 0u);

    std::filesystem::remove(Dir + "filler");
    Form->ButtonOkClick(nullptr);
    const std::string Rc = Written("small/news.rc");
    EXPECT_EQ(Rc.substr(0, 18), "de.group1000 -20\r\n");
    EXPECT_NE(Rc.find("de.group1001 -20\r\n"), std::string::npos);
    EXPECT_EQ(std::count(Rc.begin(), Rc.end(), '\n'), 1000);
    const std::string Bl = Written("small/news.bl");
    EXPECT_EQ(Bl.substr(0, 24), "!header\r\nde.group1000*\r\n");
    EXPECT_EQ(std::count(Bl.begin(), Bl.end(), '*'), 1000);
}

// A list too large to make every node at once: a folder's nodes are made when it is first
// expanded, by the program or by a click on its button, and the tree is then the one a small
// list gets.
TEST_F(GroupManagerTest, ALargeListGetsTheNodesOfAFolderWhenItIsExpanded) {
    PutGolden("news.bl");
    PutGolden("news.rc");
    TFormGroupManager* Form = Open("news.bl");
    const std::string Whole = Dump(Form);
    Form->Free();

    Form = Open("news.bl", nullptr, 0);
    EXPECT_EQ(Dump(Form), "news.bl (2/3)\n  alt.* (2/3)\n  de.* (2/3)\n");
    Form->Show();
    GuiTest::Drain();
    TTreeNode* De = Node(Form, "de.*");
    const TRect Line = De->DisplayRect(true);
    POINT Button{-1, -1};
    for (int X = 0; X < Line.Left && Button.x < 0; ++X) {
        TVHITTESTINFO Hit;
        Hit.pt = POINT{X, (Line.Top + Line.Bottom) / 2};
        SendMessage(Form->Tree->Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&Hit));
        if (Hit.flags & TVHT_ONITEMBUTTON) Button = Hit.pt;
    }
    ASSERT_GE(Button.x, 0) << "the folder shows no button";
    GuiTest::MouseClick(Form->Handle(), GuiTest::ScreenOf(Form->Tree->Handle(), Button));
    GuiTest::Drain();
    EXPECT_TRUE(De->Expanded());
    EXPECT_EQ(Dump(Form),
              "news.bl (2/3)\n  alt.* (2/3)\n  de.* (2/3)\n    de.comp.lang.* (2/3)\n"
              "    de.comp.os.* (2/3)\n    de.rec.* (2/3)\n");
    Node(Form, "de.comp.os.*")->Expand(false);
    EXPECT_NE(Dump(Form).find("      de.comp.os.linux.* (2/3)\n    de.rec.*"), std::string::npos);
    Form->Tree->FullExpand();
    EXPECT_EQ(Dump(Form), Whole);
}

// What OK writes does not depend on which nodes were made: a subtree command over a folder
// whose nodes are not made yet and a toggle in one expanded since.
TEST_F(GroupManagerTest, ALargeListWritesWhatASmallOneWrites) {
    std::vector<std::string> Results;
    for (const int AtOnce : {UiLimits::kGroupNodesAtOnce, 0}) {
        PutGolden("news.bl");
        PutGolden("news.rc");
        TFormGroupManager* Form = Open("news.bl", nullptr, AtOnce);
        Form->Groups().ApplyToSubtree(Node(Form, "de.*"), scInvert);
        Node(Form, "alt.*")->Expand(false);
        Form->Groups().Toggle(Node(Form, "alt.test"));
        Form->ButtonOkClick(nullptr);
        EXPECT_EQ(Written("news.rc"),
                  "alt.test -20\r\nde.comp.os.linux.misc -20\r\nde.rec.fahrrad -20\r\n"
                  "# von Hand\r\nde.gone.group 12\r\n")
            << AtOnce;
        Form->Tree->FullExpand();
        Results.push_back(Dump(Form) + Written("news.bl"));
        Form->Free();
    }
    EXPECT_EQ(Results[0], Results[1]);
}

TEST_F(GroupManagerTest, AFirstLineThatIsAGroupIsWrittenOnce) {
    WriteFile(PointDir() + "plain.bl", "de.test\r\nalt.test\r\n");
    TFormGroupManager* Form = Open("plain.bl");
    Form->Groups().Toggle(Node(Form, "de.test"));
    Form->EditNewArticles->SetText("viele");
    Form->ButtonOkClick(nullptr);
    EXPECT_EQ(Written("plain.bl"), "alt.test\r\nde.test*\r\n");
    EXPECT_EQ(Written("plain.rc"), "de.test -20\r\n");
}

// Names as a server or an earlier list may hold them: each reads back to itself after OK, and
// OK changes nothing more once it has written them.
class GroupManagerRoundTrip : public GroupManagerTest {
  protected:
    // Opens the manager on Bl (and Rc), double-clicks each group of Toggle, presses OK; then
    // opens the lists written and presses OK again. The tree must be the same after each open,
    // and the second OK must write what the first did.
    void OkTwice(const std::string& Bl, const std::string& Rc,
                 const std::vector<std::string>& Toggled) {
        WriteFile(PointDir() + "r.bl", Bl);
        std::filesystem::remove(PointDir() + "r.rc");
        if (!Rc.empty()) WriteFile(PointDir() + "r.rc", Rc);
        TFormGroupManager* Form = Open("r.bl");
        for (const std::string& Name : Toggled) {
            Form->Tree->SetSelected(Node(Form, Name));
            Form->TreeDblClick(nullptr);
        }
        const std::string Tree = Dump(Form);
        Form->ButtonOkClick(nullptr);
        Form->Free();
        FirstBl = Written("r.bl");
        FirstRc = Written("r.rc");
        Form = Open("r.bl");
        // The subscriptions' rests differ only for groups subscribed anew ({} before, -20 now).
        EXPECT_EQ(Strip(Dump(Form)), Strip(Tree));
        Form->ButtonOkClick(nullptr);
        Form->Free();
        EXPECT_EQ(Written("r.bl"), FirstBl);
        EXPECT_EQ(Written("r.rc"), FirstRc);
    }
    static std::string Strip(const std::string& Dumped) {
        std::string Out;
        std::istringstream In(Dumped);
        for (std::string Line; std::getline(In, Line);)
            Out += Line.substr(0, Line.find(" {")) + "\n";
        return Out;
    }
    std::string FirstBl, FirstRc;
};

TEST_F(GroupManagerRoundTrip, AGroupListedTwiceIsOneGroupWithOneSubscriptionLine) {
    // The server's spelling and the list's mark of an earlier OK.
    OkTwice("!new_groups:261201 120000\r\nde.test \r\nalt.x \r\nde.test*\r\n", "de.test 5\r\n",
            {"alt.x"});
    EXPECT_EQ(FirstRc, "alt.x -20\r\nde.test 5\r\n");
    EXPECT_EQ(FirstBl, "!new_groups:261201 120000\r\nalt.x*\r\nde.test*\r\n");
    // Subscribed anew while listed twice: one line.
    OkTwice("!h\r\nde.neu \r\nde.neu \r\n", "", {"de.neu"});
    EXPECT_EQ(FirstRc, "de.neu -20\r\n");
}

// A server may carry groups whose names differ only in case: each is a group of its own, with
// its own subscription. A line spelt as neither belongs to the first of them.
TEST_F(GroupManagerRoundTrip, NamesThatDifferInCaseAreTwoGroups) {
    OkTwice("!h\r\nde.test \r\nalt.x \r\nDE.TEST \r\nde.test*\r\n", "de.test 5\r\n", {"DE.TEST"});
    EXPECT_EQ(FirstRc, "DE.TEST -20\r\nde.test 5\r\n");
    EXPECT_EQ(FirstBl, "!h\r\nalt.x\r\nDE.TEST*\r\nde.test*\r\n");
    OkTwice("!h\r\nde.test \r\nDE.TEST \r\n", "De.Test 7\r\n", {});
    EXPECT_EQ(FirstRc, "DE.TEST 7\r\n");
    EXPECT_EQ(FirstBl, "!h\r\nDE.TEST*\r\nde.test\r\n");
}

// Every line that names a group is read as a fetch of its own: a second one (the user's, or one
// a point program wrote) stays after the first, in the list's spelling.
TEST_F(GroupManagerRoundTrip, AGroupKeepsEveryLineThatNamesIt) {
    OkTwice("!h\r\nde.test \r\nde.test \r\nalt.x \r\n",
            "de.test 5\r\nalt.x 3\r\nde.test -20\r\nDE.test 9 HdrOnly\r\nde.test\r\n", {});
    EXPECT_EQ(FirstRc, "alt.x 3\r\nde.test 5\r\nde.test -20\r\nde.test 9 HdrOnly\r\nde.test\r\n");
    EXPECT_EQ(FirstBl, "!h\r\nalt.x*\r\nde.test*\r\n");
}

TEST_F(GroupManagerRoundTrip, AGroupBeginningWithAnExclamationMarkStaysAGroup) {
    // A list without a header, whose first group once written is "!bang".
    OkTwice("de.test\r\n!bang\r\n", "", {"!bang"});
    EXPECT_EQ(FirstRc, "!bang -20\r\n");
    EXPECT_EQ(FirstBl, "!\r\n!bang*\r\nde.test\r\n");
    // Behind a header it is written after the header, as the server's lines are.
    OkTwice("!new_groups:261201 120000\r\nde.test \r\n!bang \r\n", "", {});
    EXPECT_EQ(FirstBl, "!new_groups:261201 120000\r\n!bang\r\nde.test\r\n");
}

TEST_F(GroupManagerRoundTrip, ANameHoldingAStarIsReadBackWhole) {
    OkTwice("!h\r\nde.st*r \r\nde.*x \r\nde.plain\r\n", "", {"de.st*r"});
    EXPECT_EQ(FirstRc, "de.st*r -20\r\n");
    EXPECT_EQ(FirstBl, "!h\r\nde.*x \r\nde.plain\r\nde.st*r *\r\n");
}

TEST_F(GroupManagerTest, NewSubscriptionsStartAtTheCountOr20) {
    WriteFile(PointDir() + "n.bl", "de.test\r\n");
    TFormGroupManager* Form = Open("n.bl");
    Form->Groups().Toggle(Node(Form, "de.test"));
    const std::pair<const char*, const char*> Cases[] = {
        {"7", "de.test -7\r\n"},   {"0", "de.test -0\r\n"},    {"", "de.test -20\r\n"},
        {"-5", "de.test -20\r\n"}, {"12x", "de.test -20\r\n"}, {"99999999999", "de.test -20\r\n"},
    };
    for (const auto& [Text, Line] : Cases) {
        Form->EditNewArticles->SetText(Text);
        Form->ButtonOkClick(nullptr);
        EXPECT_EQ(Written("n.rc"), Line) << Text;
    }
    EXPECT_EQ(Written("n.bl"), "de.test*\r\n");
}

TEST_F(GroupManagerTest, SubtreeCommandsForgetTheFormerLines) {
    PutGolden("news.bl");
    PutGolden("news.rc");
    TFormGroupManager* Form = Open("news.bl");
    Form->Groups().ApplyToSubtree(Node(Form, "de.comp.os.*"), scInvert);
    Form->Groups().ApplyToSubtree(Node(Form, "de.comp.lang.*"), scSubscribe);
    Form->Groups().ApplyToSubtree(Node(Form, "alt.test"), scSubscribe);
    Form->Groups().ApplyToSubtree(Node(Form, "de.rec.*"), scUnsubscribe);
    Form->EditNewArticles->SetText("5");
    Form->ButtonOkClick(nullptr);
    EXPECT_EQ(Written("news.rc"),
              "alt.test -5\r\nde.comp.lang.c++ -5\r\nde.comp.os.linux.misc -5\r\n"
              "# von Hand\r\nde.gone.group 12\r\n");
    Form->Tree->Items()->GetFirstNode()->Expand(true);
    Picture(Form, "groupman-subtree");
}

TEST_F(GroupManagerTest, TheSubscriptionListGoesOnlyWhenNothingIsLeftInIt) {
    WriteFile(PointDir() + "a.bl", "!header\r\nde.test\r\n");
    WriteFile(PointDir() + "a.rc", "de.test 5\r\n");
    TFormGroupManager* Form = Open("a.bl");
    Form->Groups().ApplyToSubtree(Form->Tree->Items()->GetFirstNode(), scUnsubscribe);
    Form->ButtonOkClick(nullptr);
    EXPECT_FALSE(FileExists(PointDir() + "a.rc"));
    EXPECT_EQ(Written("a.bl"), "!header\r\nde.test\r\n");
    Form->Free();

    // A list the server refused holds the header alone: the subscriptions stay.
    WriteFile(PointDir() + "b.bl", "!refused\r\n");
    WriteFile(PointDir() + "b.rc", "de.test 5\r\nde.alt 7 HdrOnly\r\n");
    Form = Open("b.bl");
    EXPECT_EQ(Form->Tree->Items()->Count(), 1);
    Form->ButtonOkClick(nullptr);
    EXPECT_EQ(Written("b.rc"), "de.test 5\r\nde.alt 7 HdrOnly\r\n");
    EXPECT_EQ(Written("b.bl"), "!refused\r\n");
}

TEST_F(GroupManagerTest, AFailedLoadReportsAndWritesNothing) {
    std::filesystem::create_directories(PointDir() + "dir.bl");
    WriteFile(PointDir() + "dir.rc", "de.test 5\r\n");
    TFormGroupManager* Form = Open("dir.bl");
    EXPECT_TRUE(Form->LoadFailed);
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_NE(Messages[0].find("konnte nicht gelesen werden"), std::string::npos);
    EXPECT_EQ(Screen->Cursor(), crDefault);
    EXPECT_EQ(Form->ModalResult(), mrCancel);
    EXPECT_FALSE(Form->ButtonOk->Enabled());
    Form->ButtonOkClick(nullptr);
    EXPECT_EQ(Written("dir.rc"), "de.test 5\r\n");
}

TEST_F(GroupManagerTest, NamesWithTooManyDotsGetNoNode) {
    std::string Deep = "a";
    for (int I = 0; I < 64; ++I) Deep += ".x";
    const std::string Deepest63 = Deep.substr(0, Deep.size() - 2);
    WriteFile(PointDir() + "deep.bl", Deep + "\r\n" + Deepest63 + "\r\nb.c\r\n");
    TFormGroupManager* Form = Open("deep.bl");
    int Groups = 0;
    TTreeNodes* Nodes = Form->Tree->Items();
    for (int I = 0; I < Nodes->Count(); ++I)
        if (!Nodes->Item(I)->HasChildren()) ++Groups;
    EXPECT_EQ(Groups, 2);
    EXPECT_EQ(Node(Form, Deepest63)->Level(), 3);  // root, then two folders at most
}

// A name too deep for the tree between two groups: the next group finds its folder by the group
// placed before it, not by the name left out.
TEST_F(GroupManagerTest, ANameLeftOutDoesNotMoveTheNextGroup) {
    std::string Deep = "a.z";
    for (int I = 0; I < 64; ++I) Deep += ".a";
    // Sorted, it stands between the two.
    WriteFile(PointDir() + "gap.bl", "a.b.c\r\na.z.q\r\n" + Deep + "\r\n");
    TFormGroupManager* Form = Open("gap.bl");
    EXPECT_EQ(Dump(Form),
              "gap.bl (2/3)\n"
              "  a.* (2/3)\n"
              "    a.b.* (2/3)\n"
              "      a.b.c (0/1)\n"
              "    a.z.* (2/3)\n"
              "      a.z.q (0/1)\n");
}

TEST_F(GroupManagerTest, ProgressCaptionsEveryStepGroups) {
    std::string List;
    for (int I = 0; I < 600; ++I) List += "de.g" + std::to_string(1000 + I) + "\r\n";
    WriteFile(PointDir() + "big.bl", List);
    TFormGroupManager* Form = Open("big.bl");
    std::vector<std::string> Captions;
    TGroupTree Groups;
    const auto Record = [&Captions](const std::string& Text) { Captions.push_back(Text); };
    Groups.Load(PointDir() + "big.bl", Record);
    Form->Tree->Items()->Clear();
    Groups.Build(*Form->Tree->Items(), Record);
    ASSERT_EQ(Captions.size(), 2u + 200u);  // indexes 1, 4, 7, ... 598
    EXPECT_EQ(Captions[0], "Lese Liste der Newsgroups");
    EXPECT_EQ(Captions[1], "Sortiere Liste der Newsgroups");
    EXPECT_EQ(Captions[2], "Erstelle Baum mit den Newsgroups (1%)");
    EXPECT_EQ(Captions[3], "Erstelle Baum mit den Newsgroups (1%)");        // index 4
    EXPECT_EQ(Captions.back(), "Erstelle Baum mit den Newsgroups (100%)");  // index 598
}

TEST_F(GroupManagerTest, TheBarManagerStaysLockedWhileTheWindowLives) {
    WriteFile(PointDir() + "a.bl", "de.test\r\n");
    auto* BarForm = CreateForm<TForm>(&Forms);
    auto* Bars = new TdxBarManager(BarForm);
    TFormGroupManager* Form = Open("a.bl", Bars);
    EXPECT_TRUE(Bars->UpdateLocked());
    Form->Free();
    EXPECT_FALSE(Bars->UpdateLocked());
}

TEST_F(GroupManagerTest, TheEntryPointSaysWhetherOkWroteTheLists) {
    WriteFile(PointDir() + "a.bl", "de.test\r\n");
    TKestroConfig Config;
    Config.NntpArtClAnz = 7;
    // Answers once the window has loaded its lists (it shows the reading steps meanwhile).
    std::function<void()> Answer = [&] {
        auto* Manager = dynamic_cast<TFormGroupManager*>(Screen->ActiveForm());
        if (!Manager || !Manager->Loaded()) return QTimer::singleShot(1, Answer);
        EXPECT_EQ(Manager->EditNewArticles->Text(), "7");
        Manager->Groups().Toggle(Node(Manager, "de.test"));
        Manager->ButtonOk->Click();
    };
    QTimer::singleShot(1, Answer);
    EXPECT_TRUE(ExecuteGroupManager(PointDir() + "a.bl", Config, nullptr));
    EXPECT_EQ(Written("a.rc"), "de.test -7\r\n");

    GuiTest::TScript Cancel;
    Cancel.Then([] {
        dynamic_cast<TButton*>(OpenForm<TFormGroupManager>()->FindComponent("ButtonCancel"))
            ->Click();
    });
    Cancel.Start();
    EXPECT_FALSE(ExecuteGroupManager(PointDir() + "a.bl", Config, nullptr));
    EXPECT_EQ(Written("a.rc"), "de.test -7\r\n");
}

}  // namespace
