// A form with one of each common control, read from its definition: everything the definition
// says arrives (columns, tabs, nested sheets, image lists by name) and is written back in the
// same form; the form takes real mouse and keyboard input and leaves pictures of a report view,
// an icon view, a tree with state images and a page of controls.
#include <gtest/gtest.h>

#include "platform/forms/Filer.h"
#include "tests/platform/widgets/ComCtrlsTestSupport.h"

using namespace ComCtrlsTest;

namespace {

// What the newsgroup manager keeps per subscribed group: the rest of its subscription line.
struct TNodeData {
    std::string Rest;
};
int LiveNodeData = 0;

class TComCtrlsTestForm : public TForm {
  public:
    using TForm::TForm;

    template <class T>
    T* Find(const char* Name) {
        auto* Found = dynamic_cast<T*>(FindComponent(Name));
        if (!Found) throw EInvalidOperation(std::string("no ") + Name);
        return Found;
    }

    void FormCreate(TObject*) {
        Pages = Find<TPageControl>("PageControl1");
        StatusView = Find<TListView>("StatusView");
        FileView = Find<TListView>("FileView");
        Tree = Find<TTreeView>("Tree");
        ViewerTabs = Find<TTabControl>("ViewerTabs");
        ViewerPanel = Find<TPanel>("ViewerPanel");
        Find<TTestImageList>("ImageList32")->AddPictures({clBlue, clGreen});
        Find<TTestImageList>("ImageList16")->AddPictures({clBlue, clGreen});
        Find<TTestImageList>("TreeImages")->AddPictures({clTeal, clAqua, clOlive, clYellow});
        Find<TTestImageList>("StateImages")->AddCheckBoxes();
        FillTasks();
        FillFiles();
        FillGroups();
    }
    void FillTasks() {
        const char* Rows[][4] = {{"1", "POP3", "48213", "Empfange Nachricht 3 von 12"},
                                 {"2", "SMTP", "1022", "Verbunden"},
                                 {"3", "NNTP", "0", "Warte auf Antwort"}};
        StatusView->Items()->BeginUpdate();
        for (const auto& Row : Rows) {
            TListItem* Item = StatusView->Items()->Add();
            Item->SetCaption(Row[0]);
            for (int C = 1; C < 4; ++C) Item->SubItems()->Add(Row[C]);
        }
        StatusView->Items()->EndUpdate();
    }
    void FillFiles() {
        const char* Rows[][3] = {{"privat", "Kestro", "C:\\Kestro\\privat.cfg"},
                                 {"arbeit", "Kestro", "C:\\Kestro\\arbeit.cfg"},
                                 {"openxp", "OpenXP", "C:\\Kestro\\openxp.bfg"},
                                 {"xp2box", "XP2", "C:\\Kestro\\xp2box.bfg"},
                                 {"altbox", "XP", "C:\\Kestro\\altbox.bfg"}};
        FileView->Items()->BeginUpdate();
        for (const auto& Row : Rows) {
            TListItem* Item = FileView->Items()->Add();
            Item->SetCaption(Row[0]);
            Item->SubItems()->Add(Row[1]);
            Item->SubItems()->Add(Row[2]);
            Item->SetImageIndex(std::string(Row[1]) == "OpenXP" ? 0 : 1);
        }
        FileView->Items()->EndUpdate();
    }
    TTreeNode* Group(TTreeNode* Parent, const std::string& Name, bool Subscribed) {
        TTreeNode* Node = Tree->Items()->AddChild(Parent, Name);
        Node->SetImageIndex(0);
        Node->SetSelectedIndex(1);
        if (Subscribed) {
            Node->SetStateIndex(2);
            Node->SetData(new TNodeData{"1234 HdrOnly"});
            ++LiveNodeData;
        }
        return Node;
    }
    TTreeNode* Folder(TTreeNode* Parent, const std::string& Name) {
        TTreeNode* Node = Tree->Items()->AddChild(Parent, Name);
        Node->SetImageIndex(2);
        Node->SetSelectedIndex(3);
        return Node;
    }
    void FillGroups() {
        Tree->Items()->BeginUpdate();
        TTreeNode* Root = Folder(nullptr, "kestro.bl");
        TTreeNode* De = Folder(Root, "de.*");
        TTreeNode* Comp = Folder(De, "de.comp.*");
        Group(Comp, "de.comp.lang.c", false);
        Group(Comp, "de.comp.os.linux", true);
        Group(Comp, "de.comp.os.unix", false);
        TTreeNode* Rec = Folder(De, "de.rec.*");
        Group(Rec, "de.rec.fahrrad", true);
        Group(Folder(Root, "at.*"), "at.test", false);
        Root->Expand(false);
        Tree->Items()->EndUpdate();
    }

    void PageControl1Change(TObject*) { Log.push_back("page " + Pages->ActivePage()->Caption()); }
    void FileViewDblClick(TObject*) { Log.push_back("open " + FileView->Selected()->Caption()); }
    void FileViewSelectItem(TObject*, TListItem* Item, bool Selected) {
        Log.push_back((Selected ? "select " : "unselect ") + Item->Caption());
    }
    void TreeDblClick(TObject*) {
        TTreeNode* Node = Tree->Selected();
        if (Node && !Node->HasChildren()) Node->SetStateIndex(Node->StateIndex() == 2 ? -1 : 2);
    }
    void TreeDeletion(TObject*, TTreeNode* Node) {
        if (!Node->Data()) return;
        delete static_cast<TNodeData*>(Node->Data());
        --LiveNodeData;
    }
    void ViewerTabsChange(TObject*) {
        ViewerPanel->SetCaption(ViewerTabs->Tabs()->Get(ViewerTabs->TabIndex()));
    }

    TPageControl* Pages = nullptr;
    TListView* StatusView = nullptr;
    TListView* FileView = nullptr;
    TTreeView* Tree = nullptr;
    TTabControl* ViewerTabs = nullptr;
    TPanel* ViewerPanel = nullptr;
    std::vector<std::string> Log;
};

void RegisterFormClass() {
    static const bool Done = [] {
        using F = TComCtrlsTestForm;
        RegisterClass<F, TForm>("TComCtrlsTestForm")
            .Method("FormCreate", &F::FormCreate)
            .Method("PageControl1Change", &F::PageControl1Change)
            .Method("FileViewDblClick", &F::FileViewDblClick)
            .Method("FileViewSelectItem", &F::FileViewSelectItem)
            .Method("TreeDblClick", &F::TreeDblClick)
            .Method("TreeDeletion", &F::TreeDeletion)
            .Method("ViewerTabsChange", &F::ViewerTabsChange);
        return true;
    }();
    (void)Done;
}

// The lines of Text from the one that holds Start up to the first one holding End after it.
std::string Block(const std::string& Text, const std::string& Start, const std::string& End) {
    const size_t From = Text.rfind('\n', Text.find(Start)) + 1;
    const size_t To = Text.find('\n', Text.find(End, From + Start.size()));
    return Text.substr(From, To - From);
}

std::string Unindented(std::string Text) {
    std::string Out;
    bool LineStart = true;
    for (char C : Text) {
        if (LineStart && C == ' ') continue;
        LineStart = C == '\n';
        Out += C;
    }
    return Out;
}

POINT Middle(const TRect& R) {
    return POINT{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
}

class ComCtrlsForm : public TComCtrlsTest {
  protected:
    void SetUp() override {
        TComCtrlsTest::SetUp();
        RegisterFormClass();
        LiveNodeData = 0;
    }
    TComCtrlsTestForm* MakeForm() { return CreateForm<TComCtrlsTestForm>(&Forms); }
    void ClickTab(TCustomTabControl* Tabs, int Index) {
        RECT R{};
        SendMessage(Tabs->Handle(), TCM_GETITEMRECT, WPARAM(Index), reinterpret_cast<LPARAM>(&R));
        MouseClick(Form->Handle(),
                   ScreenOf(Tabs->Handle(), POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2}));
        Drain();
    }
    void ClickItem(TListItem* Item, Qt::KeyboardModifiers Mods = {}) {
        const POINT At = ScreenOf(Item->ListView()->Handle(), Middle(Item->DisplayRect(drLabel)));
        MousePress(Form->Handle(), At, Qt::LeftButton, Mods);
        MouseRelease(Form->Handle(), At, Qt::LeftButton, Mods);
        Drain();
    }
    void Picture(const std::string& Name) {
        Drain();
        EXPECT_TRUE(SaveWindowPicture(Form->Handle(), WidgetPicturePath(Name)));
    }
    TComCtrlsTestForm* Form = nullptr;
};

TEST_F(ComCtrlsForm, EverythingTheDefinitionSaysArrivesAndIsWrittenBackTheSameWay) {
    Form = MakeForm();
    TPageControl* Pages = Form->Pages;
    ASSERT_EQ(Pages->PageCount(), 5);
    EXPECT_EQ(Pages->ActivePage()->Name(), "SheetStatus");
    EXPECT_EQ(Pages->Pages(1)->ImageIndex(), 1);
    EXPECT_FALSE(Pages->Pages(4)->TabVisible());
    std::vector<std::string> Tabs;
    for (int I = 0; I < Pages->Tabs()->Count(); ++I) Tabs.push_back(Pages->Tabs()->Get(I));
    EXPECT_EQ(Tabs, (std::vector<std::string>{"Status", "Accounts", "Newsgroups", "Betrachter"}));
    TListColumns& Columns = *Form->StatusView->Columns();
    ASSERT_EQ(Columns.Count(), 4);
    EXPECT_EQ(Columns.Items(2)->Caption(), "Bytes    ");
    EXPECT_EQ(Columns.Items(2)->Alignment(), taRightJustify);
    EXPECT_EQ(Columns.Items(1)->Alignment(), taCenter);
    EXPECT_EQ(Columns.Items(3)->Width(), 361);
    EXPECT_TRUE(Form->StatusView->ReadOnly());
    EXPECT_EQ(Form->FileView->LargeImages(), Form->Find<TTestImageList>("ImageList32"));
    EXPECT_EQ(Form->FileView->SortType(), stText);
    EXPECT_TRUE(Form->FileView->Columns()->Items(2)->AutoSize());
    EXPECT_EQ(Form->Tree->StateImages(), Form->Find<TTestImageList>("StateImages"));
    EXPECT_FALSE(Form->Tree->ShowRoot());
    EXPECT_EQ(Form->Tree->Indent(), 19);
    EXPECT_EQ(Form->ViewerTabs->Tabs()->Count(), 2);
    EXPECT_EQ(Form->ViewerTabs->TabIndex(), 0);
    // The sorted file list took its rows in caption order.
    EXPECT_EQ(Form->FileView->Items()->Item(0)->Caption(), "altbox");

    // Written back: the collection, the strings and the nested sheets as the definition has them.
    const std::string Written = WriteComponentToText(Form);
    const std::string& Source = Form->DefinitionText();
    EXPECT_EQ(Unindented(Block(Written, "Columns = <", "end>")),
              Unindented(Block(Source, "Columns = <", "end>")));
    EXPECT_EQ(Unindented(Block(Written, "Tabs.Strings", "'Source')")),
              Unindented(Block(Source, "Tabs.Strings", "'Source')")));
    EXPECT_NE(Written.find("ActivePage = SheetStatus"), std::string::npos);
    EXPECT_NE(Written.find("LargeImages = ImageList32"), std::string::npos);
    // A sheet says what it is, not where it lies or whether it shows.
    EXPECT_EQ(Unindented(Block(Written, "object SheetDesign", "end")),
              "object SheetDesign: TTabSheet\nCaption = 'Entwurf'\nTabVisible = False\nend");
    size_t At = 0;
    for (const char* Sheet : {"SheetStatus", "SheetFiles", "SheetGroups", "SheetViewer"}) {
        const size_t Next = Written.find(std::string("object ") + Sheet + ": TTabSheet", At);
        ASSERT_NE(Next, std::string::npos) << Sheet;
        At = Next;
    }
}

TEST_F(ComCtrlsForm, TheFormTakesMouseAndKeysAndLeavesPictures) {
    Form = MakeForm();
    Form->Show();
    Drain();
    TPageControl* Pages = Form->Pages;
    // A page of controls: a label, the task view with a row chosen, a panel.
    ClickItem(Form->StatusView->Items()->Item(1));
    EXPECT_EQ(Form->StatusView->Selected()->Caption(), "2");
    Picture("comctrls-status-report");

    // The accounts: a sorted report with two rows chosen, then the same as icons.
    ClickTab(Pages, 1);
    EXPECT_EQ(Form->Log, (std::vector<std::string>{"page Accounts"}));
    TListItems& Files = *Form->FileView->Items();
    ClickItem(Files[1]);
    ClickItem(Files[3], Qt::ControlModifier);
    EXPECT_EQ(Form->FileView->SelCount(), 2);
    Picture("comctrls-files-report");
    Form->FileView->SetViewStyle(vsIcon);
    Drain();
    EXPECT_EQ(Form->FileView->SelCount(), 2);
    EXPECT_TRUE(Files[3]->Selected());
    Picture("comctrls-files-icons");
    Form->Log.clear();
    MouseDoubleClick(Form->Handle(),
                     ScreenOf(Form->FileView->Handle(), Middle(Files[0]->DisplayRect(drIcon))));
    Drain();
    ASSERT_FALSE(Form->Log.empty());
    EXPECT_EQ(Form->Log.back(), "open " + Files[0]->Caption());

    // Ctrl+Tab to the newsgroups: a double click subscribes, the mouse hot-tracks.
    Form->FileView->SetFocus();
    Drain();
    QTest::keyClick(QtWindowOf(Form->Handle()), Qt::Key_Tab, Qt::ControlModifier);
    Drain();
    ASSERT_EQ(Pages->ActivePage()->Caption(), "Newsgroups");
    TTreeView* Tree = Form->Tree;
    Tree->FullExpand();
    TTreeNode* LangC = Tree->Items()->Item(3);
    ASSERT_EQ(LangC->Text(), "de.comp.lang.c");
    MouseDoubleClick(Form->Handle(), ScreenOf(Tree->Handle(), Middle(LangC->DisplayRect(true))));
    Drain();
    EXPECT_EQ(Tree->Selected(), LangC);
    EXPECT_EQ(LangC->StateIndex(), 2);
    TTreeNode* Fahrrad = Tree->Items()->Item(7);
    ASSERT_EQ(Fahrrad->Text(), "de.rec.fahrrad");
    MouseMove(Form->Handle(), ScreenOf(Tree->Handle(), Middle(Fahrrad->DisplayRect(true))));
    Picture("comctrls-groups-tree");

    // Ctrl+Tab to the viewer; its own tabs switch the panel.
    QTest::keyClick(QtWindowOf(Form->Handle()), Qt::Key_Tab, Qt::ControlModifier);
    Drain();
    ASSERT_EQ(Pages->ActivePage()->Caption(), "Betrachter");
    ClickTab(Form->ViewerTabs, 1);
    EXPECT_EQ(Form->ViewerPanel->Caption(), "Source");
    Picture("comctrls-viewer-tabs");
    // Ctrl+Tab goes round, past the page without a tab.
    QTest::keyClick(QtWindowOf(Form->Handle()), Qt::Key_Tab, Qt::ControlModifier);
    Drain();
    EXPECT_EQ(Pages->ActivePage()->Caption(), "Status");

    // The data of every node is freed with the form.
    EXPECT_EQ(LiveNodeData, 2);
    Form->Free();
    Form = nullptr;
    Drain();
    EXPECT_EQ(LiveNodeData, 0);
}

}  // namespace
