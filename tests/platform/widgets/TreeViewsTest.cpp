// The tree view class: nodes and their relations, the window always showing the nodes as they
// are (through new windows too), deletion told to the program children first, expansion and
// selection asked and told whoever changes them, sorting, a big tree in one update, and errors.
#include <gtest/gtest.h>

#include "tests/platform/widgets/ComCtrlsTestSupport.h"

using namespace ComCtrlsTest;

namespace {

std::uintptr_t NextItem(HWND Tree, WPARAM Which, std::uintptr_t From) {
    return std::uintptr_t(SendMessage(Tree, TVM_GETNEXTITEM, Which, LPARAM(From)));
}

// One line per item of the window, indented by depth: its text, its images (normal/selected),
// its state image when it has one, '+' when expanded, '*' when selected, '!' when the item does
// not carry the node of that text.
void DumpWindow(HWND Tree, std::uintptr_t Parent, int Depth, std::string& Out) {
    for (std::uintptr_t Item = NextItem(Tree, TVGN_CHILD, Parent); Item;
         Item = NextItem(Tree, TVGN_NEXT, Item)) {
        char Buffer[128] = {};
        TVITEM Get;
        Get.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_PARAM;
        Get.hItem = Item;
        Get.pszText = Buffer;
        Get.cchTextMax = sizeof Buffer;
        Get.stateMask = 0xFFFF;
        SendMessage(Tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&Get));
        const auto* Node = reinterpret_cast<const TTreeNode*>(Get.lParam);
        Out += std::string(size_t(Depth) * 2, ' ') + Buffer + " " + std::to_string(Get.iImage) +
               "/" + std::to_string(Get.iSelectedImage);
        if (STATEIMAGEINDEX(Get.state)) Out += " s" + std::to_string(STATEIMAGEINDEX(Get.state));
        if (Get.state & TVIS_EXPANDED) Out += " +";
        if (Get.state & TVIS_SELECTED) Out += " *";
        if (!Node || Node->Text() != Buffer) Out += " !";
        Out += "\n";
        DumpWindow(Tree, Item, Depth + 1, Out);
    }
}

std::string Window(TCustomTreeView* Tree) {
    std::string Out;
    DumpWindow(Tree->Handle(), 0, 0, Out);
    return Out;
}

// The same from the nodes.
std::string Nodes(TCustomTreeView* Tree) {
    std::string Out;
    for (TTreeNode* N = Tree->Items()->GetFirstNode(); N; N = N->GetNext()) {
        Out += std::string(size_t(N->Level()) * 2, ' ') + N->Text() + " " +
               std::to_string(N->ImageIndex()) + "/" + std::to_string(N->SelectedIndex());
        if (N->StateIndex() > 0) Out += " s" + std::to_string(N->StateIndex());
        if (N->Expanded()) Out += " +";
        if (N->Selected()) Out += " *";
        Out += "\n";
    }
    return Out;
}

POINT Middle(const TRect& R) {
    return POINT{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
}

// Where the expansion button of a node lies (the window says so when asked at a point).
POINT ButtonOf(TCustomTreeView* Tree, TTreeNode* Node) {
    const TRect Line = Node->DisplayRect(true);
    for (int X = 0; X < Line.Left; ++X) {
        TVHITTESTINFO Hit;
        Hit.pt = POINT{X, Middle(Line).y};
        SendMessage(Tree->Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&Hit));
        if (Hit.flags & TVHT_ONITEMBUTTON) return POINT{X + 2, Middle(Line).y};
    }
    ADD_FAILURE() << "no button before " << Node->Text();
    return POINT{0, 0};
}

class TreeViews : public TComCtrlsTest {
  protected:
    // news.bl > de.* > de.comp.* > de.comp.lang.c, de.comp.os; de.rec.*; at.*
    void Groups(TCustomTreeView* Tree) {
        TTreeNodes& Items = *Tree->Items();
        Root = Items.AddChild(nullptr, "news.bl");
        De = Items.AddChild(Root, "de.*");
        Comp = Items.AddChild(De, "de.comp.*");
        LangC = Items.AddChildObject(Comp, "de.comp.lang.c", &Data[0]);
        Os = Items.AddChildObject(Comp, "de.comp.os", &Data[1]);
        Rec = Items.Add(Comp, "de.rec.*");
        At = Items.AddChild(Root, "at.*");
        for (TTreeNode* Folder : {De, Comp, Rec, At}) {
            Folder->SetImageIndex(2);
            Folder->SetSelectedIndex(3);
        }
        LangC->SetSelectedIndex(1);
        Os->SetSelectedIndex(1);
        Os->SetStateIndex(2);
    }
    void Click(TForm* Form, TCustomTreeView* Tree, POINT Client, bool Double = false) {
        const POINT At = ScreenOf(Tree->Handle(), Client);
        if (Double)
            MouseDoubleClick(Form->Handle(), At);
        else
            MouseClick(Form->Handle(), At);
        Drain();
    }

    int Data[2] = {};
    TTreeNode *Root = nullptr, *De = nullptr, *Comp = nullptr, *LangC = nullptr, *Os = nullptr,
              *Rec = nullptr, *At = nullptr;
};

TEST_F(TreeViews, NodesKnowTheirRelationsAndTheWindowShowsThemSo) {
    TForm* Form = HostForm();
    auto* Tree = Make<TTreeView>(Form);
    Groups(Tree);
    TTreeNodes& Items = *Tree->Items();
    // Put before a sibling, and after the last one.
    TTreeNode* Ch = Items.Insert(At, "ch.*");
    TTreeNode* Zz = Items.AddObject(Root, "zz", &Data[1]);
    struct TRelations {
        TTreeNode* Node;
        int Level, Index, Absolute, Count;
        TTreeNode *Parent, *First, *Last, *Next, *Previous, *Following;
    };
    const TRelations Expected[] = {
        {Root, 0, 0, 0, 3, nullptr, De, At, Zz, nullptr, De},
        {De, 1, 0, 1, 2, Root, Comp, Rec, Ch, nullptr, Comp},
        {Comp, 2, 0, 2, 2, De, LangC, Os, Rec, nullptr, LangC},
        {LangC, 3, 0, 3, 0, Comp, nullptr, nullptr, Os, nullptr, Os},
        {Os, 3, 1, 4, 0, Comp, nullptr, nullptr, nullptr, LangC, Rec},
        {Rec, 2, 1, 5, 0, De, nullptr, nullptr, nullptr, Comp, Ch},
        {Ch, 1, 1, 6, 0, Root, nullptr, nullptr, At, De, At},
        {At, 1, 2, 7, 0, Root, nullptr, nullptr, nullptr, Ch, Zz},
        {Zz, 0, 1, 8, 0, nullptr, nullptr, nullptr, nullptr, Root, nullptr},
    };
    for (const TRelations& R : Expected) {
        SCOPED_TRACE(R.Node->Text());
        EXPECT_EQ(R.Node->Level(), R.Level);
        EXPECT_EQ(R.Node->Index(), R.Index);
        EXPECT_EQ(R.Node->AbsoluteIndex(), R.Absolute);
        EXPECT_EQ(Items[R.Absolute], R.Node);
        EXPECT_EQ(R.Node->Count(), R.Count);
        EXPECT_EQ(R.Node->HasChildren(), R.Count > 0);
        EXPECT_EQ(R.Node->Parent(), R.Parent);
        EXPECT_EQ(R.Node->GetFirstChild(), R.First);
        EXPECT_EQ(R.Node->GetLastChild(), R.Last);
        EXPECT_EQ(R.Node->GetNextSibling(), R.Next);
        EXPECT_EQ(R.Node->GetPrevSibling(), R.Previous);
        EXPECT_EQ(R.Node->GetNext(), R.Following);
        if (R.Count > 0) {
            EXPECT_EQ(R.Node->Item(R.Count - 1), R.Last);
        }
    }
    EXPECT_EQ(Items.Count(), 9);
    EXPECT_EQ(LangC->Data(), &Data[0]);
    EXPECT_EQ(Zz->Data(), &Data[1]);
    EXPECT_EQ(Window(Tree), Nodes(Tree));
    EXPECT_EQ(Window(Tree),
              "news.bl 0/0\n  de.* 2/3\n    de.comp.* 2/3\n      de.comp.lang.c 0/1\n"
              "      de.comp.os 0/1 s2\n    de.rec.* 2/3\n  ch.* 0/0\n  at.* 2/3\nzz 0/0\n");
    // Positions stay right while nodes come and go in the middle.
    Items.Insert(De, "a");
    Items.Insert(Ch, "b");
    Ch->Delete();
    EXPECT_EQ(At->Index(), 3);
    EXPECT_EQ(At->GetPrevSibling()->Text(), "b");
    EXPECT_EQ(Window(Tree), Nodes(Tree));
}

TEST_F(TreeViews, ExpansionSelectionAndImagesOutliveNewWindows) {
    TForm* Form = HostForm();
    // Filled before there is a window.
    auto* Tree = new TTreeView(Form);
    Tree->SetBoundsRect(TRect{8, 8, 308, 258});
    Groups(Tree);
    Root->SetExpanded(true);
    Rec->SetHasChildren(true);
    Tree->SetParent(Form);
    Drain();
    EXPECT_EQ(Window(Tree), Nodes(Tree));
    EXPECT_TRUE(Root->Expanded());
    // The user opens de.* with its button and selects de.rec.* by its label.
    Click(Form, Tree, ButtonOf(Tree, De));
    ASSERT_TRUE(De->Expanded());
    Click(Form, Tree, Middle(Rec->DisplayRect(true)));
    EXPECT_EQ(Tree->Selected(), Rec);
    // The program shows a node deep down: the window opens its parents.
    Os->MakeVisible();
    EXPECT_TRUE(Comp->Expanded());
    const std::string Before = Window(Tree);
    EXPECT_EQ(Before, Nodes(Tree));
    EXPECT_EQ(Before,
              "news.bl 0/0 +\n  de.* 2/3 +\n    de.comp.* 2/3 +\n      de.comp.lang.c 0/1\n"
              "      de.comp.os 0/1 s2\n    de.rec.* 2/3 *\n  at.* 2/3\n");
    const HWND First = Tree->Handle();
    Tree->SetBorderStyle(bsNone);
    Drain();
    EXPECT_NE(Tree->Handle(), First);
    EXPECT_EQ(Window(Tree), Before);
    Tree->RecreateWnd();
    Drain();
    EXPECT_EQ(Window(Tree), Before);
    EXPECT_EQ(Tree->Selected(), Rec);
    // A node that says it has children keeps its button without any.
    TVITEM Get;
    Get.mask = TVIF_CHILDREN;
    Get.hItem = NextItem(Tree->Handle(), TVGN_CARET, 0);
    SendMessage(Tree->Handle(), TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&Get));
    EXPECT_EQ(Get.cChildren, 1);
    // Styles change on the window that is there.
    const HWND Now = Tree->Handle();
    Tree->SetShowRoot(false);
    Tree->SetHotTrack(true);
    Tree->SetReadOnly(true);
    Tree->SetIndent(19);
    EXPECT_EQ(Tree->Handle(), Now);
    const auto Style = DWORD(GetWindowLongPtr(Now, GWL_STYLE));
    EXPECT_EQ(Style & (TVS_LINESATROOT | TVS_TRACKSELECT | TVS_EDITLABELS), TVS_TRACKSELECT);
    EXPECT_EQ(SendMessage(Now, TVM_GETINDENT, 0, 0), 19);
}

TEST_F(TreeViews, EveryNodeThatGoesIsToldChildrenFirstAndTheSelectionMovesOn) {
    TForm* Form = HostForm();
    auto* Tree = Make<TTreeView>(Form);
    std::vector<std::string> Gone;
    int Alive = 0;
    // Each node owns its data, freed by the program when the node goes.
    Tree->OnDeletion = [&](TObject*, TTreeNode* Node) {
        Gone.push_back(Node->Text());
        delete static_cast<std::string*>(Node->Data());
        --Alive;
    };
    std::vector<std::string> Changes;
    Tree->OnChange = [&](TObject*, TTreeNode* Node) {
        Changes.push_back(Node ? Node->Text() : "none");
    };
    TTreeNodes& Items = *Tree->Items();
    auto Add = [&](TTreeNode* Parent, const char* Text) {
        ++Alive;
        return Items.AddChildObject(Parent, Text, new std::string(Text));
    };
    TTreeNode* A = Add(nullptr, "a");
    TTreeNode* A1 = Add(A, "a1");
    Add(A1, "a1x");
    Add(A, "a2");
    TTreeNode* B = Add(nullptr, "b");
    Add(B, "b1");
    Add(B, "b2");
    Add(nullptr, "c");
    Tree->SetSelected(A1);
    Changes.clear();
    A->Delete();
    EXPECT_EQ(Gone, (std::vector<std::string>{"a2", "a1x", "a1", "a"}));
    // The selection went to the next node at a's level before a's nodes went.
    EXPECT_EQ(Tree->Selected(), B);
    EXPECT_EQ(Changes, (std::vector<std::string>{"b"}));
    Gone.clear();
    B->DeleteChildren();
    EXPECT_EQ(Gone, (std::vector<std::string>{"b2", "b1"}));
    EXPECT_FALSE(B->HasChildren());
    EXPECT_EQ(Items.Count(), 2);
    EXPECT_EQ(Window(Tree), Nodes(Tree));
    Gone.clear();
    Items.Clear();
    EXPECT_EQ(Gone, (std::vector<std::string>{"c", "b"}));
    EXPECT_EQ(Tree->Selected(), nullptr);
    EXPECT_EQ(Items.Count(), 0);
    EXPECT_EQ(Window(Tree), "");
    // The nodes left when the control goes are told too.
    Add(nullptr, "d");
    Add(Items.GetFirstNode(), "d1");
    Gone.clear();
    Tree->Free();
    EXPECT_EQ(Gone, (std::vector<std::string>{"d1", "d"}));
    EXPECT_EQ(Alive, 0);
}

TEST_F(TreeViews, ExpandingAndCollapsingAskAndTellEveryTime) {
    TForm* Form = HostForm();
    auto* Tree = Make<TTreeView>(Form);
    Groups(Tree);
    std::vector<std::string> Log;
    bool Refuse = false;
    Tree->OnExpanding = [&](TObject*, TTreeNode* N, bool& Allow) {
        Log.push_back("expanding " + N->Text());
        Allow = !Refuse;
    };
    Tree->OnExpanded = [&](TObject*, TTreeNode* N) { Log.push_back("expanded " + N->Text()); };
    Tree->OnCollapsing = [&](TObject*, TTreeNode* N, bool& Allow) {
        Log.push_back("collapsing " + N->Text());
        Allow = !Refuse;
    };
    Tree->OnCollapsed = [&](TObject*, TTreeNode* N) { Log.push_back("collapsed " + N->Text()); };
    // The window tells about the first expansion of an item only; the program hears of each.
    for (int Round = 0; Round < 2; ++Round) {
        Root->Expand(false);
        Root->Collapse(false);
    }
    EXPECT_EQ(Log, (std::vector<std::string>{"expanding news.bl", "expanded news.bl",
                                             "collapsing news.bl", "collapsed news.bl",
                                             "expanding news.bl", "expanded news.bl",
                                             "collapsing news.bl", "collapsed news.bl"}));
    Log.clear();
    Refuse = true;
    Root->SetExpanded(true);
    EXPECT_FALSE(Root->Expanded());
    Refuse = false;
    // A leaf does not expand.
    LangC->SetExpanded(true);
    EXPECT_EQ(Log, (std::vector<std::string>{"expanding news.bl"}));
    EXPECT_FALSE(LangC->Expanded());

    Tree->FullExpand();
    for (TTreeNode* N : {Root, De, Comp}) EXPECT_TRUE(N->Expanded()) << N->Text();
    EXPECT_EQ(Window(Tree), Nodes(Tree));
    // The user's clicks on a button ask too, and a refusal holds.
    Log.clear();
    Refuse = true;
    const POINT Button = ButtonOf(Tree, Comp);
    Click(Form, Tree, Button);
    EXPECT_TRUE(Comp->Expanded());
    Refuse = false;
    Click(Form, Tree, Button);
    EXPECT_FALSE(Comp->Expanded());
    EXPECT_EQ(Log, (std::vector<std::string>{"collapsing de.comp.*", "collapsing de.comp.*",
                                             "collapsed de.comp.*"}));
    Tree->FullCollapse();
    for (TTreeNode* N : {Root, De, Comp}) EXPECT_FALSE(N->Expanded()) << N->Text();
    EXPECT_EQ(Tree->TopItem(), Root);
}

TEST_F(TreeViews, ClicksAndTheProgramSelectAndOnChangingMayRefuse) {
    TForm* Form = HostForm();
    auto* Tree = Make<TTreeView>(Form);
    Groups(Tree);
    Tree->FullExpand();
    std::vector<std::string> Log;
    TTreeNode* Refused = nullptr;
    Tree->OnChanging = [&](TObject*, TTreeNode* N, bool& Allow) {
        Log.push_back("changing " + N->Text());
        Allow = N != Refused;
    };
    Tree->OnChange = [&](TObject*, TTreeNode* N) { Log.push_back("change " + N->Text()); };
    Tree->OnClick = [&](TObject*) { Log.push_back("click"); };
    // A double click toggles a group's subscription in the newsgroup manager.
    Tree->OnDblClick = [&](TObject*) {
        TTreeNode* N = Tree->Selected();
        if (N && !N->HasChildren()) N->SetStateIndex(N->StateIndex() == 2 ? -1 : 2);
    };
    Click(Form, Tree, Middle(LangC->DisplayRect(true)));
    EXPECT_EQ(Log, (std::vector<std::string>{"changing de.comp.lang.c", "change de.comp.lang.c",
                                             "click"}));
    Refused = Os;
    Log.clear();
    Click(Form, Tree, Middle(Os->DisplayRect(true)));
    EXPECT_EQ(Tree->Selected(), LangC);
    EXPECT_EQ(Log, (std::vector<std::string>{"changing de.comp.os", "click"}));
    Refused = nullptr;
    Log.clear();
    Os->SetSelected(true);
    EXPECT_EQ(Log, (std::vector<std::string>{"changing de.comp.os", "change de.comp.os"}));
    EXPECT_TRUE(Os->Selected());
    Click(Form, Tree, Middle(LangC->DisplayRect(true)), true);
    EXPECT_EQ(LangC->StateIndex(), 2);
    Click(Form, Tree, Middle(LangC->DisplayRect(true)), true);
    EXPECT_EQ(LangC->StateIndex(), -1);
    EXPECT_EQ(Window(Tree), Nodes(Tree));
    // The node under a point: on its whole line, none below the last.
    const TRect Line = Os->DisplayRect(false);
    EXPECT_EQ(Tree->GetNodeAt(Line.Right - 3, Middle(Line).y), Os);
    EXPECT_EQ(Tree->GetNodeAt(5, Tree->ClientHeight() - 3), nullptr);
    // Keys reach OnKeyDown before the tree moves.
    std::vector<WORD> Keys;
    Tree->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) { Keys.push_back(Key); };
    QTest::keyClick(QtWindowOf(Form->Handle()), Qt::Key_Up);
    Drain();
    EXPECT_EQ(Keys, (std::vector<WORD>{VK_UP}));
    EXPECT_EQ(Tree->Selected(), Comp);

    // A right click selects nothing; the tree gets WM_CONTEXTMENU with the point, and the node
    // under it is the one the context menu is for.
    TTreeNode* Under = nullptr;
    const TWndMethod Inner = Tree->WindowProc;
    Tree->WindowProc = [&, Inner](TMessage& Message) {
        if (Message.Msg == WM_CONTEXTMENU) {
            const TPoint P = Tree->ScreenToClient(
                TPoint{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)});
            Under = Tree->GetNodeAt(P.X, P.Y);
        }
        Inner(Message);
    };
    MouseClick(Form->Handle(), ScreenOf(Tree->Handle(), Middle(Rec->DisplayRect(true))),
               Qt::RightButton);
    Drain();
    EXPECT_EQ(Under, Rec);
    EXPECT_EQ(Tree->Selected(), Comp);
    Tree->WindowProc = Inner;
}

TEST_F(TreeViews, SortedTreesPutNodesInTextOrderAndTheWindowFollows) {
    TForm* Form = HostForm();
    auto* Tree = Make<TTreeView>(Form);
    Tree->SetSortType(stText);
    TTreeNodes& Items = *Tree->Items();
    TTreeNode* Top = Items.AddChild(nullptr, "top");
    for (const char* Name : {"delta", "Alpha", "charlie", "Bravo"}) Items.AddChild(Top, Name);
    Top->Expand(false);
    EXPECT_EQ(Window(Tree), "top 0/0 +\n  Alpha 0/0\n  Bravo 0/0\n  charlie 0/0\n  delta 0/0\n");
    Top->GetFirstChild()->SetText("echo");
    EXPECT_EQ(Window(Tree), "top 0/0 +\n  Bravo 0/0\n  charlie 0/0\n  delta 0/0\n  echo 0/0\n");
    EXPECT_EQ(Window(Tree), Nodes(Tree));
    // By the program's order, every level.
    Tree->SetSortType(stNone);
    Items.AddChild(Top->Item(0), "b2");
    Items.AddChild(Top->Item(0), "b10");
    Top->Item(0)->Expand(false);
    Tree->OnCompare = [](TObject*, TTreeNode* A, TTreeNode* B, int, int& Order) {
        Order = int(A->Text().size()) - int(B->Text().size());
        if (Order == 0) Order = A->Text().compare(B->Text());
    };
    Tree->AlphaSort(true);
    EXPECT_EQ(Window(Tree),
              "top 0/0 +\n  echo 0/0\n  Bravo 0/0 +\n    b2 0/0\n    b10 0/0\n"
              "  delta 0/0\n  charlie 0/0\n");
    EXPECT_EQ(Window(Tree), Nodes(Tree));
}

TEST_F(TreeViews, TwentyThousandGroupsGoInWithinOneUpdate) {
    TForm* Form = HostForm();
    auto* Tree = Make<TTreeView>(Form);
    TTreeNodes& Items = *Tree->Items();
    Items.BeginUpdate();
    TTreeNode* Root = Items.AddChild(nullptr, "news.bl");
    TTreeNode* Last = nullptr;
    for (int H = 0; H < 20; ++H) {
        TTreeNode* Folder = Items.AddChild(Root, "h" + std::to_string(H) + ".*");
        for (int G = 0; G < 1000; ++G)
            Last = Items.AddChild(Folder, "h" + std::to_string(H) + ".g" + std::to_string(G));
    }
    Root->Expand(false);
    Items.EndUpdate();
    EXPECT_EQ(Items.Count(), 1 + 20 + 20000);
    EXPECT_EQ(SendMessage(Tree->Handle(), TVM_GETCOUNT, 0, 0), 1 + 20 + 20000);
    EXPECT_EQ(Last->AbsoluteIndex(), 1 + 20 + 20000 - 1);
    EXPECT_EQ(Last->Index(), 999);
    EXPECT_EQ(Items[Items.Count() - 1], Last);
    Last->MakeVisible();
    EXPECT_FALSE(Last->DisplayRect(true).Width() == 0);
}

TEST_F(TreeViews, BadRequestsGetClearErrors) {
    TForm* Form = HostForm();
    auto* Tree = Make<TTreeView>(Form);
    auto* Other = Make<TTreeView>(Form);
    Groups(Tree);
    EXPECT_THROW(Other->Items()->AddChild(Root, "x"), EInvalidOperation);
    EXPECT_THROW(Other->SetSelected(Root), EInvalidOperation);
    EXPECT_THROW(Root->Item(5), ERangeError);
    EXPECT_THROW(Tree->Items()->Item(7), ERangeError);
    EXPECT_THROW(Os->SetStateIndex(16), ERangeError);
    EXPECT_EQ(Os->StateIndex(), 2);
    // Nodes nest at most as deep as the window takes them.
    TTreeNode* Deep = nullptr;
    for (int Level = 0; Level < ControlsLimits::kMaxTreeDepth; ++Level)
        Deep = Other->Items()->AddChild(Deep, "n");
    EXPECT_EQ(Deep->Level(), ControlsLimits::kMaxTreeDepth - 1);
    EXPECT_THROW(Other->Items()->AddChild(Deep, "too deep"), ERangeError);
    EXPECT_EQ(Other->Items()->Count(), ControlsLimits::kMaxTreeDepth);
}

}  // namespace
