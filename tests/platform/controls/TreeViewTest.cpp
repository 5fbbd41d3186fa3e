// The tree view: insertion and navigation, handles after deletes, item fields, expansion and
// selection with their notifications (refusals honoured, the once-expanded rule), real mouse and
// key input (a state-image click changes no state), hot tracking, redraw off, geometry, and a
// picture of the newsgroup tree.
#include <gtest/gtest.h>

#include "platform/core/Wrapping.h"
#include "tests/platform/controls/CommonControlsTestSupport.h"

using namespace CommonControlsTest;

namespace {

constexpr UINT_PTR kTreeId = 400;

// One notification of the tree as its parent saw it.
struct TTreeNote {
    UINT Code = 0;
    UINT Action = 0;
    HTREEITEM Old = 0;
    HTREEITEM New = 0;
    LPARAM Param = 0;
    bool operator==(const TTreeNote&) const = default;
};

bool CarriesTreeView(UINT Code) {
    return Code == TVN_SELCHANGING || Code == TVN_SELCHANGED || Code == TVN_ITEMEXPANDING ||
           Code == TVN_ITEMEXPANDED || Code == TVN_DELETEITEM;
}

class TreeView : public testing::Test {
  protected:
    void SetUp() override {
        InitStandardControls();
        Drain();
        Form = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {40, 40, 440, 440}, 0, "Form"));
        Windows().Handlers[Form] = [this](HWND, UINT Msg, WPARAM,
                                          LPARAM LParam) -> std::optional<LRESULT> {
            if (Msg == WM_CONTEXTMENU) {
                Notes.push_back(TTreeNote{});
                return 0;
            }
            if (Msg != WM_NOTIFY) return std::nullopt;
            const auto* Header = reinterpret_cast<const NMHDR*>(LParam);
            TTreeNote Note;
            Note.Code = Header->code;
            if (CarriesTreeView(Header->code)) {
                const auto* T = reinterpret_cast<const NMTREEVIEW*>(LParam);
                Note.Action = T->action;
                Note.Old = T->itemOld.hItem;
                Note.New = T->itemNew.hItem;
                Note.Param = Header->code == TVN_DELETEITEM ? T->itemOld.lParam : T->itemNew.lParam;
            } else if (Header->code == TVN_KEYDOWN) {
                Note.Action = reinterpret_cast<const NMTVKEYDOWN*>(LParam)->wVKey;
            }
            Notes.push_back(Note);
            return Answer ? Answer(Note) : 0;
        };
        Tree = Make(TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS);
    }
    void TearDown() override { Drain(); }

    HWND Make(DWORD Style) {
        const HWND Made = CreateWindowEx(WS_EX_CLIENTEDGE, "SysTreeView32", "",
                                         WS_CHILD | WS_VISIBLE | WS_TABSTOP | Style, 10, 10, 300,
                                         300, Form, kTreeId, 0, nullptr);
        EXPECT_NE(Made, 0u);
        Drain();
        return Made;
    }
    HTREEITEM Add(HTREEITEM Parent, const char* Text, HTREEITEM After = TVI_LAST, LPARAM Param = 0,
                  UINT State = 0) {
        TVINSERTSTRUCT Insert;
        Insert.hParent = Parent;
        Insert.hInsertAfter = After;
        Insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        Insert.item.pszText = const_cast<char*>(Text);
        Insert.item.lParam = Param;
        Insert.item.state = State;
        Insert.item.stateMask = State;
        Insert.item.iImage = 0;
        Insert.item.iSelectedImage = 1;
        return static_cast<HTREEITEM>(
            SendMessage(Tree, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&Insert)));
    }
    HTREEITEM Next(WPARAM Which, HTREEITEM From = 0) {
        return static_cast<HTREEITEM>(
            SendMessage(Tree, TVM_GETNEXTITEM, Which, static_cast<LPARAM>(From)));
    }
    std::string Text(HTREEITEM Item) {
        char Buffer[64] = {};
        TVITEM Get;
        Get.mask = TVIF_TEXT;
        Get.hItem = Item;
        Get.pszText = Buffer;
        Get.cchTextMax = sizeof Buffer;
        if (!SendMessage(Tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&Get))) return "<none>";
        return Buffer;
    }
    UINT State(HTREEITEM Item) {
        TVITEM Get;
        Get.mask = TVIF_STATE;
        Get.hItem = Item;
        Get.stateMask = 0xFFFF;
        SendMessage(Tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&Get));
        return Get.state;
    }
    std::vector<std::string> Children(HTREEITEM Parent) {
        std::vector<std::string> Out;
        for (HTREEITEM C = Next(TVGN_CHILD, Parent); C; C = Next(TVGN_NEXT, C))
            Out.push_back(Text(C));
        return Out;
    }
    RECT Rect(HTREEITEM Item, bool TextOnly = true) {
        RECT R{};
        EXPECT_TRUE(TreeViewItemRect(Tree, Item, TextOnly, &R)) << Text(Item);
        return R;
    }
    POINT Middle(const RECT& R) { return POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2}; }
    long CountOf(UINT Code) {
        const std::vector<UINT> All = Codes();
        return std::count(All.begin(), All.end(), Code);
    }
    std::vector<UINT> Codes() {
        std::vector<UINT> Out;
        for (const TTreeNote& N : Notes) Out.push_back(N.Code);
        return Out;
    }
    // news.bl > de.* > de.comp.* > de.comp.lang.c, de.comp.os; de.rec.*; at.*
    void Groups() {
        Root = Add(TVI_ROOT, "news.bl");
        De = Add(Root, "de.*");
        Comp = Add(De, "de.comp.*");
        LangC = Add(Comp, "de.comp.lang.c", TVI_LAST, 11);
        Os = Add(Comp, "de.comp.os", TVI_LAST, 12, INDEXTOSTATEIMAGEMASK(2));
        Rec = Add(De, "de.rec.*");
        At = Add(Root, "at.*");
    }
    void ClickAt(POINT Client, Qt::MouseButton Button = Qt::LeftButton) {
        MouseClick(Form, ScreenOf(Tree, Client), Button);
        Drain();
    }

    TWindowGuard Guard;
    std::vector<TTreeNote> Notes;
    std::function<LRESULT(const TTreeNote&)> Answer;
    HWND Form = 0;
    HWND Tree = 0;
    HTREEITEM Root = 0, De = 0, Comp = 0, LangC = 0, Os = 0, Rec = 0, At = 0;
};

TEST_F(TreeView, ItemsAreFoundByTheirRelations) {
    Groups();
    EXPECT_EQ(SendMessage(Tree, TVM_GETCOUNT, 0, 0), 7);
    struct TCase {
        WPARAM Which;
        HTREEITEM From;
        HTREEITEM Want;
    };
    // Everything is collapsed: the visible items are the root item alone.
    for (const TCase& C :
         {TCase{TVGN_ROOT, 0, Root}, TCase{TVGN_CHILD, 0, Root}, TCase{TVGN_CHILD, TVI_ROOT, Root},
          TCase{TVGN_CHILD, De, Comp}, TCase{TVGN_NEXT, Comp, Rec}, TCase{TVGN_NEXT, Rec, 0},
          TCase{TVGN_PREVIOUS, At, De}, TCase{TVGN_PARENT, LangC, Comp},
          TCase{TVGN_PARENT, Root, 0}, TCase{TVGN_NEXTVISIBLE, Root, 0},
          TCase{TVGN_NEXTVISIBLE, De, 0}, TCase{TVGN_LASTVISIBLE, 0, Root}, TCase{TVGN_CARET, 0, 0},
          TCase{TVGN_CHILD, LangC, 0}}) {
        SCOPED_TRACE(testing::Message() << C.Which << " from " << Text(C.From));
        EXPECT_EQ(Next(C.Which, C.From), C.Want);
    }
    SendMessage(Tree, TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(Root));
    SendMessage(Tree, TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(De));
    for (const TCase& C :
         {TCase{TVGN_NEXTVISIBLE, Root, De}, TCase{TVGN_NEXTVISIBLE, De, Comp},
          TCase{TVGN_NEXTVISIBLE, Comp, Rec}, TCase{TVGN_NEXTVISIBLE, Rec, At},
          TCase{TVGN_PREVIOUSVISIBLE, At, Rec}, TCase{TVGN_PREVIOUSVISIBLE, Comp, De},
          TCase{TVGN_LASTVISIBLE, 0, At}, TCase{TVGN_NEXTVISIBLE, LangC, 0}}) {
        SCOPED_TRACE(testing::Message() << C.Which << " from " << Text(C.From));
        EXPECT_EQ(Next(C.Which, C.From), C.Want);
    }
}

TEST_F(TreeView, InsertionGoesWhereAsked) {
    const HTREEITEM P = Add(TVI_ROOT, "P");
    const HTREEITEM B = Add(P, "b");
    Add(P, "a", TVI_FIRST);
    Add(P, "c", B);
    Add(P, "z", TVI_LAST);
    EXPECT_EQ(Children(P), (std::vector<std::string>{"a", "b", "c", "z"}));
    // Sorted insertion: without regard to case, equal texts after those already there.
    const HTREEITEM S = Add(TVI_ROOT, "S");
    for (const char* T : {"Kestro", "alpha", "Beta", "beta", "ALPHA", "zulu"}) Add(S, T, TVI_SORT);
    EXPECT_EQ(Children(S),
              (std::vector<std::string>{"alpha", "ALPHA", "Beta", "beta", "Kestro", "zulu"}));
    // Among children out of order the new one goes before the first that sorts behind it.
    Add(S, "aaa", TVI_LAST);
    Add(S, "m", TVI_SORT);
    EXPECT_EQ(Children(S), (std::vector<std::string>{"alpha", "ALPHA", "Beta", "beta", "Kestro",
                                                     "m", "zulu", "aaa"}));
    // Inserting after an item of another parent, or under an item that is gone, is refused.
    EXPECT_EQ(Add(S, "x", B), 0u);
    SendMessage(Tree, TVM_DELETEITEM, 0, static_cast<LPARAM>(P));
    EXPECT_EQ(Add(P, "orphan"), 0u);
    EXPECT_EQ(Add(B, "orphan"), 0u);
}

TEST_F(TreeView, HandlesOfDeletedItemsAreRefusedAndNeverReused) {
    Groups();
    std::vector<HTREEITEM> Seen = {Root, De, Comp, LangC, Os, Rec, At};
    SendMessage(Tree, TVM_DELETEITEM, 0, static_cast<LPARAM>(Comp));
    for (HTREEITEM Gone : {Comp, LangC, Os}) {
        SCOPED_TRACE(Gone);
        TVITEM Get;
        Get.mask = TVIF_TEXT | TVIF_PARAM;
        Get.hItem = Gone;
        EXPECT_FALSE(SendMessage(Tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&Get)));
        EXPECT_FALSE(SendMessage(Tree, TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&Get)));
        EXPECT_FALSE(SendMessage(Tree, TVM_DELETEITEM, 0, static_cast<LPARAM>(Gone)));
        EXPECT_FALSE(SendMessage(Tree, TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(Gone)));
        EXPECT_FALSE(SendMessage(Tree, TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(Gone)));
        EXPECT_FALSE(SendMessage(Tree, TVM_ENSUREVISIBLE, 0, static_cast<LPARAM>(Gone)));
        EXPECT_EQ(Next(TVGN_NEXT, Gone), 0u);
        RECT R;
        EXPECT_FALSE(TreeViewItemRect(Tree, Gone, TRUE, &R));
    }
    EXPECT_EQ(SendMessage(Tree, TVM_GETCOUNT, 0, 0), 4);
    for (int I = 0; I < 20; ++I) {
        const HTREEITEM New = Add(De, "new");
        EXPECT_EQ(std::count(Seen.begin(), Seen.end(), New), 0);
        Seen.push_back(New);
        SendMessage(Tree, TVM_DELETEITEM, 0, static_cast<LPARAM>(New));
    }
}

TEST_F(TreeView, DeletingTellsAboutEveryItemWhileItStillExists) {
    Groups();
    std::vector<std::string> TextsDuringNotice;
    Answer = [&](const TTreeNote& N) -> LRESULT {
        if (N.Code == TVN_DELETEITEM) TextsDuringNotice.push_back(Text(N.Old));
        return 0;
    };
    Notes.clear();
    EXPECT_TRUE(SendMessage(Tree, TVM_DELETEITEM, 0, static_cast<LPARAM>(Comp)));
    // Children first, each still readable while its notice runs.
    EXPECT_EQ(TextsDuringNotice,
              (std::vector<std::string>{"de.comp.lang.c", "de.comp.os", "de.comp.*"}));
    ASSERT_EQ(Notes.size(), 3u);
    EXPECT_EQ(Notes[0].Param, 11);
    EXPECT_EQ(Children(De), (std::vector<std::string>{"de.rec.*"}));
    // The selected item moves to its neighbour before it goes.
    SendMessage(Tree, TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(Rec));
    Notes.clear();
    SendMessage(Tree, TVM_DELETEITEM, 0, static_cast<LPARAM>(Rec));
    ASSERT_GE(Notes.size(), 3u);
    EXPECT_EQ(Notes[0], (TTreeNote{TVN_SELCHANGING, TVC_UNKNOWN, Rec, De, 0}));
    EXPECT_EQ(Notes[1].Code, TVN_SELCHANGED);
    EXPECT_EQ(Notes[2].Code, TVN_DELETEITEM);
    EXPECT_EQ(Next(TVGN_CARET), De);
    // Everything at once.
    Notes.clear();
    EXPECT_TRUE(SendMessage(Tree, TVM_DELETEITEM, 0, static_cast<LPARAM>(TVI_ROOT)));
    EXPECT_EQ(SendMessage(Tree, TVM_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(Next(TVGN_CARET), 0u);
    EXPECT_EQ(CountOf(TVN_DELETEITEM), 3);
}

TEST_F(TreeView, ItemFieldsAnswerWhatWasSet) {
    Groups();
    TVITEM Set;
    Set.mask =
        TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_PARAM | TVIF_CHILDREN;
    Set.hItem = LangC;
    Set.pszText = const_cast<char*>("de.comp.lang.c++");
    Set.iImage = 2;
    Set.iSelectedImage = 3;
    Set.state = INDEXTOSTATEIMAGEMASK(2) | TVIS_BOLD;
    Set.stateMask = TVIS_STATEIMAGEMASK | TVIS_BOLD;
    Set.lParam = 77;
    Set.cChildren = 1;
    ASSERT_TRUE(SendMessage(Tree, TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&Set)));
    char Buffer[8] = {};
    TVITEM Get;
    Get.mask = Set.mask;
    Get.hItem = LangC;
    Get.pszText = Buffer;
    Get.cchTextMax = sizeof Buffer;
    Get.stateMask = TVIS_STATEIMAGEMASK | TVIS_BOLD | TVIS_EXPANDED;
    ASSERT_TRUE(SendMessage(Tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&Get)));
    EXPECT_STREQ(Buffer, "de.comp");  // cut to the buffer
    EXPECT_EQ(Get.iImage, 2);
    EXPECT_EQ(Get.iSelectedImage, 3);
    EXPECT_EQ(STATEIMAGEINDEX(Get.state), 2u);
    EXPECT_TRUE(Get.state & TVIS_BOLD);
    EXPECT_EQ(Get.lParam, 77);
    EXPECT_EQ(Get.cChildren, 1);
    // Taking the state image away.
    Set.mask = TVIF_STATE;
    Set.state = 0;
    Set.stateMask = TVIS_STATEIMAGEMASK;
    SendMessage(Tree, TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&Set));
    EXPECT_EQ(STATEIMAGEINDEX(State(LangC)), 0u);
    EXPECT_EQ(STATEIMAGEINDEX(State(Os)), 2u);
    // Indent and item height.
    SendMessage(Tree, TVM_SETINDENT, 19, 0);
    EXPECT_EQ(SendMessage(Tree, TVM_GETINDENT, 0, 0), 19);
    SendMessage(Tree, TVM_SETITEMHEIGHT, 21, 0);
    EXPECT_EQ(SendMessage(Tree, TVM_GETITEMHEIGHT, 0, 0), 20);  // even heights
}

TEST_F(TreeView, ExpansionByMessageNotifiesOnlyUntilExpandedOnce) {
    Groups();
    Notes.clear();
    EXPECT_TRUE(SendMessage(Tree, TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(Root)));
    EXPECT_EQ(Notes, (std::vector<TTreeNote>{{TVN_ITEMEXPANDING, TVE_EXPAND, 0, Root, 0},
                                             {TVN_ITEMEXPANDED, TVE_EXPAND, 0, Root, 0}}));
    EXPECT_EQ(State(Root) & (TVIS_EXPANDED | TVIS_EXPANDEDONCE), TVIS_EXPANDED | TVIS_EXPANDEDONCE);
    EXPECT_TRUE(SendMessage(Tree, TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(Root)));  // already
    Notes.clear();
    EXPECT_TRUE(SendMessage(Tree, TVM_EXPAND, TVE_COLLAPSE, static_cast<LPARAM>(Root)));
    EXPECT_TRUE(SendMessage(Tree, TVM_EXPAND, TVE_TOGGLE, static_cast<LPARAM>(Root)));
    EXPECT_TRUE(Notes.empty());
    EXPECT_FALSE(SendMessage(Tree, TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(LangC)));  // a leaf
    // A refused expansion leaves the item collapsed.
    Answer = [](const TTreeNote& N) -> LRESULT { return N.Code == TVN_ITEMEXPANDING; };
    EXPECT_FALSE(SendMessage(Tree, TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(De)));
    EXPECT_FALSE(State(De) & TVIS_EXPANDED);
    // Collapsing with TVE_COLLAPSERESET drops the children and the once-expanded mark.
    Answer = nullptr;
    SendMessage(Tree, TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(De));
    Notes.clear();
    EXPECT_TRUE(
        SendMessage(Tree, TVM_EXPAND, TVE_COLLAPSE | TVE_COLLAPSERESET, static_cast<LPARAM>(De)));
    EXPECT_TRUE(Children(De).empty());
    EXPECT_FALSE(State(De) & TVIS_EXPANDEDONCE);
    EXPECT_EQ(CountOf(TVN_DELETEITEM), 4);
}

TEST_F(TreeView, SelectionNotifiesCanBeRefusedAndShowsTheItem) {
    Groups();
    Notes.clear();
    EXPECT_TRUE(SendMessage(Tree, TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(Os)));
    // The item's ancestors were expanded to show it (each one the first time: with notices).
    EXPECT_TRUE(State(Root) & TVIS_EXPANDED);
    EXPECT_TRUE(State(Comp) & TVIS_EXPANDED);
    EXPECT_EQ(Notes.front(), (TTreeNote{TVN_SELCHANGING, TVC_UNKNOWN, 0, Os, 12}));
    EXPECT_EQ(Notes.back(), (TTreeNote{TVN_SELCHANGED, TVC_UNKNOWN, 0, Os, 12}));
    EXPECT_EQ(Next(TVGN_CARET), Os);
    EXPECT_TRUE(State(Os) & TVIS_SELECTED);
    Answer = [](const TTreeNote& N) -> LRESULT { return N.Code == TVN_SELCHANGING; };
    EXPECT_FALSE(SendMessage(Tree, TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(At)));
    EXPECT_EQ(Next(TVGN_CARET), Os);
    Answer = nullptr;
    // Collapsing an ancestor of the selection selects the collapsing item.
    SendMessage(Tree, TVM_EXPAND, TVE_COLLAPSE, static_cast<LPARAM>(De));
    EXPECT_EQ(Next(TVGN_CARET), De);
    EXPECT_FALSE(State(Os) & TVIS_SELECTED);
    // The drop highlight is a second mark, without notices.
    Notes.clear();
    SendMessage(Tree, TVM_SELECTITEM, TVGN_DROPHILITE, static_cast<LPARAM>(At));
    EXPECT_EQ(Next(TVGN_DROPHILITE), At);
    EXPECT_TRUE(Notes.empty());
}

TEST_F(TreeView, ClicksSelectToggleButtonsAndLeaveStateImagesAlone) {
    const HIMAGELIST States = ColourImages({RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 160, 0)});
    SendMessage(Tree, TVM_SETIMAGELIST, TVSIL_STATE, static_cast<LPARAM>(States));
    Groups();
    SendMessage(Tree, TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(Root));
    SendMessage(Tree, TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(De));
    SendMessage(Tree, TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(Comp));
    Notes.clear();
    ClickAt(Middle(Rect(LangC)));
    EXPECT_EQ(Codes(), (std::vector<UINT>{NM_SETFOCUS, TVN_SELCHANGING, TVN_SELCHANGED, NM_CLICK}));
    EXPECT_EQ(Notes[1].Action, TVC_BYMOUSE);
    EXPECT_EQ(Next(TVGN_CARET), LangC);
    // The state image (right before the label: no normal images here): the item is selected,
    // its state stays as it was.
    const RECT Label = Rect(Os);
    Notes.clear();
    ClickAt(POINT{Label.left - 8, Middle(Label).y});
    EXPECT_EQ(Next(TVGN_CARET), Os);
    EXPECT_EQ(STATEIMAGEINDEX(State(Os)), 2u);
    TVHITTESTINFO Hit;
    Hit.pt = POINT{Label.left - 8, Middle(Label).y};
    EXPECT_EQ(SendMessage(Tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&Hit)),
              static_cast<LRESULT>(Os));
    EXPECT_EQ(Hit.flags, TVHT_ONITEMSTATEICON);
    // The button before "de.comp.*" collapses it, as often as it is clicked; the user always
    // hears of it.
    const RECT CompLabel = Rect(Comp);
    const POINT Button{CompLabel.left - 16 - 19 / 2, Middle(CompLabel).y};
    Hit.pt = Button;
    SendMessage(Tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&Hit));
    EXPECT_EQ(Hit.flags, TVHT_ONITEMBUTTON);
    Notes.clear();
    ClickAt(Button);
    EXPECT_FALSE(State(Comp) & TVIS_EXPANDED);
    ClickAt(Button);
    EXPECT_TRUE(State(Comp) & TVIS_EXPANDED);
    EXPECT_EQ(CountOf(TVN_ITEMEXPANDED), 2);
    // Collapsing hid the selection: it moved to the collapsing item.
    EXPECT_EQ(Next(TVGN_CARET), Comp);
    ImageList_Destroy(States);
}

TEST_F(TreeView, DoubleAndRightClicks) {
    Groups();
    SendMessage(Tree, TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(Root));
    Notes.clear();
    MouseDoubleClick(Form, ScreenOf(Tree, Middle(Rect(De))));
    Drain();
    EXPECT_TRUE(State(De) & TVIS_EXPANDED);
    std::vector<UINT> C = Codes();
    EXPECT_EQ(std::count(C.begin(), C.end(), NM_CLICK), 1);
    EXPECT_EQ(std::count(C.begin(), C.end(), NM_DBLCLK), 1);
    // A parent that handles the double click itself keeps the expansion as it is.
    Answer = [](const TTreeNote& N) -> LRESULT { return N.Code == NM_DBLCLK; };
    MouseDoubleClick(Form, ScreenOf(Tree, Middle(Rect(De))));
    Drain();
    EXPECT_TRUE(State(De) & TVIS_EXPANDED);
    Answer = nullptr;
    // A right click selects nothing: NM_RCLICK, then the context menu.
    Notes.clear();
    ClickAt(Middle(Rect(At)), Qt::RightButton);
    EXPECT_EQ(Codes(), (std::vector<UINT>{NM_RCLICK, 0}));
    EXPECT_EQ(Next(TVGN_CARET), De);
}

TEST_F(TreeView, KeysNotifyFirstThenMoveAndExpand) {
    Groups();
    SetFocus(Tree);
    SendMessage(Tree, TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(Root));
    auto Key = [&](Qt::Key K, Qt::KeyboardModifiers Mods = {}) {
        QTest::keyClick(QtWindowOf(Form), K, Mods);
        Drain();
    };
    Notes.clear();
    Key(Qt::Key_Right);  // expands
    ASSERT_FALSE(Notes.empty());
    EXPECT_EQ(Notes[0], (TTreeNote{TVN_KEYDOWN, VK_RIGHT, 0, 0, 0}));
    EXPECT_TRUE(State(Root) & TVIS_EXPANDED);
    Key(Qt::Key_Right);  // goes to the first child
    EXPECT_EQ(Next(TVGN_CARET), De);
    Key(Qt::Key_Down);
    EXPECT_EQ(Next(TVGN_CARET), At);
    Key(Qt::Key_Up);
    EXPECT_EQ(Next(TVGN_CARET), De);
    Notes.clear();
    Key(Qt::Key_Asterisk, Qt::KeypadModifier);
    EXPECT_TRUE(State(Comp) & TVIS_EXPANDED);
    EXPECT_EQ(CountOf(TVN_ITEMEXPANDING), 2);  // de, comp (rec has no children)
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    EXPECT_EQ(Next(TVGN_CARET), LangC);
    Key(Qt::Key_Left);  // a leaf: to the parent
    EXPECT_EQ(Next(TVGN_CARET), Comp);
    Key(Qt::Key_Left);  // collapses
    EXPECT_FALSE(State(Comp) & TVIS_EXPANDED);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Next(TVGN_CARET), De);
    Notes.clear();
    Key(Qt::Key_Return);
    EXPECT_EQ(Codes(), (std::vector<UINT>{TVN_KEYDOWN, NM_RETURN}));
}

TEST_F(TreeView, RedrawOffHoldsThePictureAndTheItemsAllArrive) {
    const QWidget* Widget = AttachedWidget(Tree);
    SendMessage(Tree, WM_SETREDRAW, FALSE, 0);
    EXPECT_FALSE(Widget->updatesEnabled());
    const HTREEITEM P = Add(TVI_ROOT, "groups");
    for (int I = 0; I < 500; ++I) Add(P, ("group" + std::to_string(I)).c_str());
    SendMessage(Tree, TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(P));
    SendMessage(Tree, WM_SETREDRAW, TRUE, 0);
    EXPECT_TRUE(Widget->updatesEnabled());
    EXPECT_EQ(SendMessage(Tree, TVM_GETCOUNT, 0, 0), 501);
    EXPECT_EQ(Text(Next(TVGN_LASTVISIBLE)), "group499");
    // The rows are laid out: a page of them is visible and the last one can be scrolled to.
    const LRESULT Page = SendMessage(Tree, TVM_GETVISIBLECOUNT, 0, 0);
    EXPECT_GT(Page, 10);
    const HTREEITEM Last = Next(TVGN_LASTVISIBLE);
    RECT R;
    EXPECT_FALSE(TreeViewItemRect(Tree, Last, TRUE, &R));
    SendMessage(Tree, TVM_ENSUREVISIBLE, 0, static_cast<LPARAM>(Last));
    EXPECT_TRUE(TreeViewItemRect(Tree, Last, TRUE, &R));
    EXPECT_NE(Next(TVGN_FIRSTVISIBLE), P);
}

TEST_F(TreeView, GeometryFollowsTheIndentAndTheHitTestAgrees) {
    Groups();
    SendMessage(Tree, TVM_SETINDENT, 19, 0);
    SendMessage(Tree, TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(LangC));
    const RECT Parent = Rect(Comp);
    const RECT Child = Rect(LangC);
    EXPECT_EQ(Child.left - Parent.left, 19);
    EXPECT_EQ(Child.top - Parent.top, Parent.bottom - Parent.top);
    const RECT Line = Rect(LangC, false);
    EXPECT_EQ(Line.left, 2);  // inside the sunken frame
    EXPECT_EQ(Line.top, Child.top);
    struct TCase {
        POINT At;
        UINT Flags;
        HTREEITEM Item;
    };
    for (const TCase& C :
         {TCase{Middle(Child), TVHT_ONITEMLABEL, LangC},
          TCase{POINT{Child.right + 20, Middle(Child).y}, TVHT_ONITEMRIGHT, LangC},
          TCase{POINT{Child.left - 40, Middle(Child).y}, TVHT_ONITEMINDENT, LangC},
          TCase{POINT{100, 290}, TVHT_NOWHERE, 0}, TCase{POINT{100, -3}, TVHT_ABOVE, 0},
          TCase{POINT{400, 100}, TVHT_TORIGHT, 0}}) {
        SCOPED_TRACE(C.Flags);
        TVHITTESTINFO Hit;
        Hit.pt = C.At;
        EXPECT_EQ(SendMessage(Tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&Hit)),
                  static_cast<LRESULT>(C.Item));
        EXPECT_EQ(Hit.flags, C.Flags);
    }
    // An item under a collapsed parent has no rectangle.
    SendMessage(Tree, TVM_EXPAND, TVE_COLLAPSE, static_cast<LPARAM>(De));
    RECT Hidden;
    EXPECT_FALSE(TreeViewItemRect(Tree, LangC, TRUE, &Hidden));
}

TEST_F(TreeView, APictureOfTheNewsgroupTree) {
    DestroyWindow(Tree);
    // The newsgroup manager's tree: read-only, hot tracking, no root lines, indent 19, normal
    // and state images, selected image = normal + 1.
    Tree = Make(TVS_HASBUTTONS | TVS_HASLINES | TVS_TRACKSELECT | TVS_SHOWSELALWAYS);
    const HIMAGELIST Normal =
        ColourImages({RGB(200, 200, 0), RGB(255, 255, 0), RGB(128, 128, 0), RGB(160, 160, 160)});
    const HIMAGELIST States = ColourImages({RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 160, 0)});
    SendMessage(Tree, TVM_SETIMAGELIST, TVSIL_NORMAL, static_cast<LPARAM>(Normal));
    SendMessage(Tree, TVM_SETIMAGELIST, TVSIL_STATE, static_cast<LPARAM>(States));
    SendMessage(Tree, TVM_SETINDENT, 19, 0);
    Groups();
    for (HTREEITEM Folder : {De, Comp, Rec, At}) {
        TVITEM Set;
        Set.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        Set.hItem = Folder;
        Set.iImage = 2;
        Set.iSelectedImage = 3;
        SendMessage(Tree, TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&Set));
    }
    for (int I = 0; I < 3; ++I) {
        const std::string Name = "de.rec.group" + std::to_string(I);
        Add(Rec, Name.c_str(), TVI_LAST, 0, I == 1 ? INDEXTOSTATEIMAGEMASK(2) : 0);
    }
    SendMessage(Tree, TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(Root));
    SendMessage(Tree, TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(De));
    SendMessage(Tree, TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(Comp));
    SendMessage(Tree, TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(Os));
    SetFocus(Tree);
    // The mouse over "at.*": hot tracking underlines it in the hot colour.
    MouseMove(Form, ScreenOf(Tree, Middle(Rect(At))));
    Drain();
    ASSERT_TRUE(SaveWindowPicture(Form, ControlPicturePath("treeview-newsgroups")));
    const QImage Picture = WindowPicture(Tree);
    auto Has = [&](const RECT& R, QRgb Colour) {
        for (int Y = R.top; Y < R.bottom; ++Y)
            for (int X = R.left; X < R.right; ++X)
                if ((Picture.pixel(X, Y) | 0xFF000000u) == Colour) return true;
        return false;
    };
    EXPECT_TRUE(Has(Rect(At), ColorOf(GetSysColor(COLOR_HOTLIGHT))));
    EXPECT_FALSE(Has(Rect(Rec), ColorOf(GetSysColor(COLOR_HOTLIGHT))));
    EXPECT_TRUE(Has(Rect(Os), ColorOf(GetSysColor(COLOR_HIGHLIGHT))));
    // The selected item shows its selected image, the subscribed group its state image.
    const RECT OsLabel = Rect(Os);
    EXPECT_EQ(Picture.pixel(OsLabel.left - 8, Middle(OsLabel).y) | 0xFF000000u, qRgb(255, 255, 0));
    EXPECT_EQ(Picture.pixel(OsLabel.left - 24, Middle(OsLabel).y) | 0xFF000000u, qRgb(0, 160, 0));
    const RECT CLabel = Rect(LangC);
    EXPECT_EQ(Picture.pixel(CLabel.left - 8, Middle(CLabel).y) | 0xFF000000u, qRgb(200, 200, 0));
    ImageList_Destroy(Normal);
    ImageList_Destroy(States);
}

}  // namespace
