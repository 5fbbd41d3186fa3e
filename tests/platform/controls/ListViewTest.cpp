// The list view: columns and items through messages, state changes and their notifications
// (refusals honoured), deletion notices, sorting, the report/icon switch, real mouse and key
// input, geometry, and pictures of both views.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QListView>
#include <QTreeView>

#include "platform/core/Wrapping.h"
#include "tests/platform/controls/CommonControlsTestSupport.h"

using namespace CommonControlsTest;

namespace {

constexpr UINT_PTR kListId = 200;

struct TColumnSpec {
    const char* Text;
    int Width;
    int Format;
};

// The task view of the main window.
constexpr TColumnSpec kTaskColumns[] = {
    {"Thread", 46, LVCFMT_LEFT},
    {"Typ", 46, LVCFMT_CENTER},
    {"Bytes    ", 60, LVCFMT_RIGHT},
    {"Status", 361, LVCFMT_LEFT},
};

class ListView : public testing::Test {
  protected:
    void SetUp() override {
        InitStandardControls();
        Drain();
        Form = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {60, 60, 640, 360}, 0, "Form"));
        Notes.Watch(Form);
        List = Make(LVS_REPORT | LVS_SHOWSELALWAYS);
        Notes.List.clear();
    }
    void TearDown() override { Drain(); }

    HWND Make(DWORD Style, RECT R = {10, 10, 560, 210}) {
        const HWND Made = CreateWindowEx(
            WS_EX_CLIENTEDGE, "SysListView32", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | Style,
            R.left, R.top, R.right - R.left, R.bottom - R.top, Form, kListId, 0, nullptr);
        EXPECT_NE(Made, 0u);
        Notes.Extended[Made] = true;
        Drain();
        return Made;
    }

    void AddColumns(HWND Lv) {
        for (int I = 0; I < static_cast<int>(std::size(kTaskColumns)); ++I) {
            LVCOLUMN C;
            C.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
            C.pszText = const_cast<char*>(kTaskColumns[I].Text);
            C.cx = kTaskColumns[I].Width;
            C.fmt = kTaskColumns[I].Format;
            EXPECT_EQ(SendMessage(Lv, LVM_INSERTCOLUMN, static_cast<WPARAM>(I),
                                  reinterpret_cast<LPARAM>(&C)),
                      I);
        }
    }
    int Add(HWND Lv, const char* Text, LPARAM Param = 0, int At = 0x7FFF, int Image = 0) {
        LVITEM Item;
        Item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
        Item.iItem = At;
        Item.pszText = const_cast<char*>(Text);
        Item.lParam = Param;
        Item.iImage = Image;
        return static_cast<int>(
            SendMessage(Lv, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&Item)));
    }
    void SetText(HWND Lv, int Index, int Sub, const char* Text) {
        LVITEM Item;
        Item.iSubItem = Sub;
        Item.pszText = const_cast<char*>(Text);
        SendMessage(Lv, LVM_SETITEMTEXT, static_cast<WPARAM>(Index),
                    reinterpret_cast<LPARAM>(&Item));
    }
    std::string Text(HWND Lv, int Index, int Sub = 0) {
        char Buffer[64] = {};
        LVITEM Item;
        Item.iSubItem = Sub;
        Item.pszText = Buffer;
        Item.cchTextMax = sizeof Buffer;
        SendMessage(Lv, LVM_GETITEMTEXT, static_cast<WPARAM>(Index),
                    reinterpret_cast<LPARAM>(&Item));
        return Buffer;
    }
    std::vector<std::string> Texts(HWND Lv) {
        std::vector<std::string> Out;
        for (int I = 0; I < SendMessage(Lv, LVM_GETITEMCOUNT, 0, 0); ++I)
            Out.push_back(Text(Lv, I));
        return Out;
    }
    BOOL SetState(HWND Lv, int Index, UINT State, UINT Mask) {
        LVITEM Item;
        Item.state = State;
        Item.stateMask = Mask;
        return static_cast<BOOL>(SendMessage(Lv, LVM_SETITEMSTATE, static_cast<WPARAM>(Index),
                                             reinterpret_cast<LPARAM>(&Item)));
    }
    UINT State(HWND Lv, int Index) {
        return static_cast<UINT>(SendMessage(Lv, LVM_GETITEMSTATE, static_cast<WPARAM>(Index),
                                             LVIS_SELECTED | LVIS_FOCUSED));
    }
    std::vector<int> Selected(HWND Lv) {
        std::vector<int> Out;
        for (int I = -1; (I = static_cast<int>(SendMessage(
                              Lv, LVM_GETNEXTITEM, static_cast<WPARAM>(I), LVNI_SELECTED))) >= 0;)
            Out.push_back(I);
        return Out;
    }
    RECT ItemRect(HWND Lv, int Index, LONG Part) {
        RECT R{Part, 0, 0, 0};
        EXPECT_TRUE(SendMessage(Lv, LVM_GETITEMRECT, static_cast<WPARAM>(Index),
                                reinterpret_cast<LPARAM>(&R)));
        return R;
    }
    POINT Middle(const RECT& R) { return POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2}; }
    void FillTasks(HWND Lv, int Count) {
        AddColumns(Lv);
        for (int I = 0; I < Count; ++I) {
            const std::string No = std::to_string(I + 1);
            Add(Lv, No.c_str(), 100 + I, I);
            SetText(Lv, I, 1, I % 2 ? "SMTP" : "POP3");
            SetText(Lv, I, 2, std::to_string(1000 * (I + 1)).c_str());
            SetText(Lv, I, 3, I % 2 ? "Sende Nachricht 1 von 3" : "Empfange Nachricht 2 von 7");
        }
    }
    QAbstractItemView* Shown(HWND Lv) {
        for (QAbstractItemView* V : AttachedWidget(Lv)->findChildren<QAbstractItemView*>(
                 QString(), Qt::FindDirectChildrenOnly))
            if (V->isVisible()) return V;
        return nullptr;
    }

    TWindowGuard Guard;
    TNotes Notes;
    HWND Form = 0;
    HWND List = 0;
};

TEST_F(ListView, ColumnsAnswerWhatWasSet) {
    AddColumns(List);
    for (int I = 0; I < static_cast<int>(std::size(kTaskColumns)); ++I) {
        SCOPED_TRACE(I);
        char Buffer[32] = {};
        LVCOLUMN C;
        C.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        C.pszText = Buffer;
        C.cchTextMax = sizeof Buffer;
        ASSERT_TRUE(
            SendMessage(List, LVM_GETCOLUMN, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(&C)));
        EXPECT_STREQ(Buffer, kTaskColumns[I].Text);
        EXPECT_EQ(C.cx, kTaskColumns[I].Width);
        EXPECT_EQ(C.fmt, kTaskColumns[I].Format);
        EXPECT_EQ(C.iSubItem, I);
        EXPECT_EQ(SendMessage(List, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(I), 0),
                  kTaskColumns[I].Width);
    }
    // The header shows them, aligned as asked.
    auto* Report = qobject_cast<QTreeView*>(Shown(List));
    ASSERT_NE(Report, nullptr);
    EXPECT_EQ(Report->header()->sectionSize(2), 60);
    EXPECT_EQ(Report->model()->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Bytes    "));
    EXPECT_TRUE(Report->model()
                    ->headerData(2, Qt::Horizontal, Qt::TextAlignmentRole)
                    .value<Qt::Alignment>() &
                Qt::AlignRight);
    EXPECT_TRUE(SendMessage(List, LVM_SETCOLUMNWIDTH, 3, MAKELPARAM(200, 0)));
    EXPECT_EQ(SendMessage(List, LVM_GETCOLUMNWIDTH, 3, 0), 200);
    EXPECT_EQ(Report->header()->sectionSize(3), 200);
    EXPECT_TRUE(SendMessage(List, LVM_DELETECOLUMN, 1, 0));
    EXPECT_EQ(SendMessage(List, LVM_GETCOLUMNWIDTH, 1, 0), 60);
    // Columns that do not exist are refused.
    LVCOLUMN None;
    None.mask = LVCF_WIDTH;
    EXPECT_FALSE(SendMessage(List, LVM_GETCOLUMN, 7, reinterpret_cast<LPARAM>(&None)));
    EXPECT_FALSE(SendMessage(List, LVM_SETCOLUMNWIDTH, 7, MAKELPARAM(10, 0)));
    EXPECT_FALSE(SendMessage(List, LVM_DELETECOLUMN, static_cast<WPARAM>(-1), 0));
}

TEST_F(ListView, AutoSizedColumnsFitTheirWidestTextAndTheLastReachesTheEdge) {
    AddColumns(List);
    Add(List, "1");
    SetText(List, 0, 3, "Ein sehr langer Statustext, breiter als alles andere");
    EXPECT_TRUE(SendMessage(List, LVM_SETCOLUMNWIDTH, 3, MAKELPARAM(LVSCW_AUTOSIZE, 0)));
    const LRESULT Fit = SendMessage(List, LVM_GETCOLUMNWIDTH, 3, 0);
    const QFontMetrics Metrics(AttachedWidget(List)->font());
    EXPECT_EQ(Fit, Metrics.horizontalAdvance(
                       QStringLiteral("Ein sehr langer Statustext, breiter als alles andere")) +
                       12);
    SetText(List, 0, 3, "x");
    SendMessage(List, LVM_SETCOLUMNWIDTH, 3, MAKELPARAM(LVSCW_AUTOSIZE_USEHEADER, 0));
    RECT Client;
    GetClientRect(List, &Client);
    // The last column reaches the right edge of the items' area (inside the frame).
    EXPECT_GT(SendMessage(List, LVM_GETCOLUMNWIDTH, 3, 0), Client.right - 46 - 46 - 60 - 8);
}

TEST_F(ListView, ItemsAndSubItemsAnswerWhatWasSet) {
    FillTasks(List, 3);
    EXPECT_EQ(SendMessage(List, LVM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(Text(List, 1), "2");
    EXPECT_EQ(Text(List, 1, 1), "SMTP");
    EXPECT_EQ(Text(List, 2, 3), "Empfange Nachricht 2 von 7");
    EXPECT_EQ(Text(List, 2, 9), "");  // a sub-item never set
    // A short buffer gets what fits, terminated.
    char Small[5] = {'x', 'x', 'x', 'x', 'x'};
    LVITEM Get;
    Get.iSubItem = 3;
    Get.pszText = Small;
    Get.cchTextMax = sizeof Small;
    EXPECT_EQ(SendMessage(List, LVM_GETITEMTEXT, 0, reinterpret_cast<LPARAM>(&Get)), 4);
    EXPECT_STREQ(Small, "Empf");
    // LVM_GETITEM gives every field asked for.
    LVITEM All;
    All.mask = LVIF_PARAM | LVIF_IMAGE | LVIF_STATE;
    All.iItem = 2;
    All.stateMask = 0xFFFF;
    ASSERT_TRUE(SendMessage(List, LVM_GETITEM, 0, reinterpret_cast<LPARAM>(&All)));
    EXPECT_EQ(All.lParam, 102);
    EXPECT_EQ(All.iImage, 0);
    EXPECT_EQ(All.state, 0u);
    // Items that do not exist are refused, texts are bytes (Windows-1252).
    EXPECT_EQ(SendMessage(List, LVM_GETITEMTEXT, 3, reinterpret_cast<LPARAM>(&Get)), 0);
    All.iItem = -1;
    EXPECT_FALSE(SendMessage(List, LVM_GETITEM, 0, reinterpret_cast<LPARAM>(&All)));
    SetText(List, 0, 0, "Gr\xFC\xDF");
    EXPECT_EQ(Text(List, 0), "Gr\xFC\xDF");
    EXPECT_EQ(Shown(List)->model()->index(0, 0).data().toString(),
              QStringLiteral("Gr\u00fc\u00df"));
    // Insertion where asked, or at the end beyond it.
    EXPECT_EQ(Add(List, "first", 0, 0), 0);
    EXPECT_EQ(Add(List, "last", 0, 999), 4);
    EXPECT_EQ(Texts(List), (std::vector<std::string>{"first", "Gr\xFC\xDF", "2", "3", "last"}));
}

TEST_F(ListView, FindingItemsByTextAndData) {
    for (const char* T : {"Alpha", "beta", "Betamax", "Gamma"}) Add(List, T, T[0]);
    struct TCase {
        UINT Flags;
        const char* Text;
        LPARAM Param;
        int Start;
        int Found;
    };
    for (const TCase& C : {
             TCase{LVFI_STRING, "BETA", 0, -1, 1},  // without regard to case
             TCase{LVFI_STRING, "bet", 0, -1, -1},  // whole texts only
             TCase{LVFI_PARTIAL, "bet", 0, -1, 1},  // a beginning
             TCase{LVFI_PARTIAL, "bet", 0, 1, 2},   // after the start item
             TCase{LVFI_PARTIAL, "bet", 0, 2, -1},  // nothing after it
             TCase{LVFI_PARTIAL | LVFI_WRAP, "bet", 0, 2, 1},
             TCase{LVFI_PARAM, nullptr, 'G', -1, 3},
             TCase{LVFI_PARAM, nullptr, 'x', -1, -1},
         }) {
        SCOPED_TRACE(C.Text ? C.Text : "param");
        LVFINDINFO Find;
        Find.flags = C.Flags;
        Find.psz = C.Text;
        Find.lParam = C.Param;
        EXPECT_EQ(SendMessage(List, LVM_FINDITEM, static_cast<WPARAM>(C.Start),
                              reinterpret_cast<LPARAM>(&Find)),
                  C.Found);
    }
}

TEST_F(ListView, StateChangesNotifyBeforeAndAfterAndFocusMoves) {
    FillTasks(List, 3);
    Notes.List.clear();
    ASSERT_TRUE(SetState(List, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED));
    ASSERT_TRUE(SetState(List, 2, LVIS_FOCUSED, LVIS_FOCUSED));
    const UINT Both = LVIS_SELECTED | LVIS_FOCUSED;
    const std::vector<TNote> Want = {
        {LVN_ITEMCHANGING, List, 0, 0, Both, 0, LVIF_STATE, 100},
        {LVN_ITEMCHANGED, List, 0, 0, Both, 0, LVIF_STATE, 100},
        {LVN_ITEMCHANGING, List, 2, 0, LVIS_FOCUSED, 0, LVIF_STATE, 102},
        // The focus leaves item 0 before item 2 has it.
        {LVN_ITEMCHANGING, List, 0, 0, LVIS_SELECTED, Both, LVIF_STATE, 100},
        {LVN_ITEMCHANGED, List, 0, 0, LVIS_SELECTED, Both, LVIF_STATE, 100},
        {LVN_ITEMCHANGED, List, 2, 0, LVIS_FOCUSED, 0, LVIF_STATE, 102},
    };
    EXPECT_EQ(Notes.List, Want);
    EXPECT_EQ(SendMessage(List, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 2);
    EXPECT_EQ(SendMessage(List, LVM_GETSELECTEDCOUNT, 0, 0), 1);
    // Setting what is already there says nothing.
    Notes.List.clear();
    SetState(List, 2, LVIS_FOCUSED, LVIS_FOCUSED);
    EXPECT_TRUE(Notes.List.empty());
    // Item -1 is every item: each one that changes says so.
    SetState(List, -1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(Selected(List), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(Notes.Only(LVN_ITEMCHANGED).size(), 2u);
    // A text change is a change of the item too.
    Notes.List.clear();
    SetText(List, 1, 0, "neu");
    ASSERT_EQ(Notes.Codes(), (std::vector<UINT>{LVN_ITEMCHANGING, LVN_ITEMCHANGED}));
    EXPECT_EQ(Notes.List[1].Changed, LVIF_TEXT);
}

TEST_F(ListView, ARefusedChangeLeavesEverythingAsItWas) {
    FillTasks(List, 3);
    SetState(List, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    Notes.Answer = [](const TNote& N, LPARAM) -> LRESULT {
        return N.Code == LVN_ITEMCHANGING && N.Item == 2 ? TRUE : 0;
    };
    Notes.List.clear();
    EXPECT_FALSE(SetState(List, 2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED));
    EXPECT_EQ(Notes.Codes(), (std::vector<UINT>{LVN_ITEMCHANGING}));
    EXPECT_EQ(State(List, 0), LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(State(List, 2), 0u);
    // Clicking the refused item changes nothing either, but the click is reported.
    Notes.List.clear();
    MouseClick(Form, ScreenOf(List, Middle(ItemRect(List, 2, LVIR_LABEL))));
    Drain();
    EXPECT_EQ(Notes.Codes(), (std::vector<UINT>{NM_SETFOCUS, LVN_ITEMCHANGING, NM_CLICK}));
    EXPECT_EQ(Selected(List), (std::vector<int>{0}));
    // A text change can be refused as well.
    Notes.List.clear();
    SetText(List, 2, 1, "IMAP");
    EXPECT_EQ(Text(List, 2, 1), "POP3");
}

TEST_F(ListView, OneSelectionInASingleSelectionList) {
    const HWND Single = Make(LVS_REPORT | LVS_SINGLESEL, {10, 220, 300, 280});
    for (const char* T : {"a", "b", "c"}) Add(Single, T);
    SetState(Single, 0, LVIS_SELECTED, LVIS_SELECTED);
    SetState(Single, 2, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(Selected(Single), (std::vector<int>{2}));
    DestroyWindow(Single);
}

TEST_F(ListView, DeletionTellsTheParentWhileTheItemsStillExist) {
    FillTasks(List, 3);
    std::vector<std::pair<int, LRESULT>> SeenCounts;
    Notes.Answer = [&](const TNote& N, LPARAM) -> LRESULT {
        if (N.Code == LVN_DELETEITEM || N.Code == LVN_DELETEALLITEMS)
            SeenCounts.push_back({N.Item, SendMessage(List, LVM_GETITEMCOUNT, 0, 0)});
        return 0;
    };
    Notes.List.clear();
    EXPECT_TRUE(SendMessage(List, LVM_DELETEITEM, 1, 0));
    ASSERT_EQ(Notes.Only(LVN_DELETEITEM).size(), 1u);
    EXPECT_EQ(Notes.Only(LVN_DELETEITEM)[0].Param, 101);
    EXPECT_EQ(Texts(List), (std::vector<std::string>{"1", "3"}));
    EXPECT_FALSE(SendMessage(List, LVM_DELETEITEM, 5, 0));
    Notes.List.clear();
    EXPECT_TRUE(SendMessage(List, LVM_DELETEALLITEMS, 0, 0));
    EXPECT_EQ(Notes.Codes(),
              (std::vector<UINT>{LVN_DELETEALLITEMS, LVN_DELETEITEM, LVN_DELETEITEM}));
    EXPECT_EQ(Notes.Only(LVN_DELETEITEM)[1].Param, 102);
    EXPECT_EQ(SeenCounts, (std::vector<std::pair<int, LRESULT>>{{1, 3}, {-1, 2}, {0, 2}, {1, 2}}));
    EXPECT_EQ(SendMessage(List, LVM_GETITEMCOUNT, 0, 0), 0);
    // Answering TRUE to the first notice spares the one per item.
    FillTasks(List, 2);
    Notes.Answer = [](const TNote& N, LPARAM) -> LRESULT { return N.Code == LVN_DELETEALLITEMS; };
    Notes.List.clear();
    SendMessage(List, LVM_DELETEALLITEMS, 0, 0);
    EXPECT_EQ(Notes.Codes(), (std::vector<UINT>{LVN_DELETEALLITEMS}));
}

TEST_F(ListView, SortedListsInsertInTextOrderAndSortItemsUsesTheCallback) {
    const HWND Sorted = Make(LVS_REPORT | LVS_SORTASCENDING, {10, 220, 300, 300});
    for (const char* T : {"kestro", "Beta", "\xC4rger", "alpha", "Zebra", "beta"})
        Add(Sorted, T, static_cast<unsigned char>(T[0]));
    // Case does not count; equal texts keep the order they came in; letters with accents sort
    // with their base letter, as in every sorted control.
    EXPECT_EQ(Texts(Sorted),
              (std::vector<std::string>{"alpha", "\xC4rger", "Beta", "beta", "kestro", "Zebra"}));
    const int At = static_cast<int>(SendMessage(Sorted, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(Add(Sorted, "Delta", 0, 0), 4);  // the position asked for does not count
    EXPECT_EQ(At + 1, SendMessage(Sorted, LVM_GETITEMCOUNT, 0, 0));
    // By item data, descending.
    auto Descending = [](LPARAM A, LPARAM B, LPARAM) -> int { return A > B ? -1 : A < B ? 1 : 0; };
    EXPECT_TRUE(SendMessage(Sorted, LVM_SORTITEMS, 0,
                            reinterpret_cast<LPARAM>(static_cast<PFNLVCOMPARE>(Descending))));
    EXPECT_EQ(Text(Sorted, 0), "\xC4rger");
    EXPECT_EQ(Text(Sorted, 1), "kestro");
    EXPECT_FALSE(SendMessage(Sorted, LVM_SORTITEMS, 0, 0));
    DestroyWindow(Sorted);
}

TEST_F(ListView, SwitchingBetweenReportAndIconsKeepsItemsAndSelection) {
    FillTasks(List, 4);
    const HIMAGELIST Big = ColourImages({RGB(0, 128, 0), RGB(0, 0, 192)}, 32);
    const HIMAGELIST Small = ColourImages({RGB(0, 128, 0), RGB(0, 0, 192)});
    SendMessage(List, LVM_SETIMAGELIST, LVSIL_NORMAL, static_cast<LPARAM>(Big));
    SendMessage(List, LVM_SETIMAGELIST, LVSIL_SMALL, static_cast<LPARAM>(Small));
    SetState(List, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SetState(List, 3, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_NE(qobject_cast<QTreeView*>(Shown(List)), nullptr);
    const RECT ReportIcon = ItemRect(List, 1, LVIR_ICON);
    EXPECT_EQ(ReportIcon.right - ReportIcon.left, 16);
    Notes.List.clear();
    for (DWORD View : {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT}) {
        SCOPED_TRACE(View);
        const DWORD Style = static_cast<DWORD>(GetWindowLongPtr(List, GWL_STYLE));
        SetWindowLongPtr(List, GWL_STYLE, static_cast<LONG_PTR>((Style & ~LVS_TYPEMASK) | View));
        SetWindowPos(List, 0, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
        EXPECT_EQ(SendMessage(List, LVM_GETITEMCOUNT, 0, 0), 4);
        EXPECT_EQ(Selected(List), (std::vector<int>{1, 3}));
        EXPECT_EQ(SendMessage(List, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 1);
        QAbstractItemView* V = Shown(List);
        ASSERT_NE(V, nullptr);
        EXPECT_EQ(qobject_cast<QListView*>(V) != nullptr, View != LVS_REPORT);
        const RECT Icon = ItemRect(List, 1, LVIR_ICON);
        EXPECT_EQ(Icon.right - Icon.left, View == LVS_ICON ? 32 : 16);
        if (View == LVS_ICON) {
            // Icons stand side by side, the label under the icon.
            const RECT First = ItemRect(List, 0, LVIR_ICON);
            EXPECT_EQ(First.top, Icon.top);
            EXPECT_GT(Icon.left, First.right);
            EXPECT_GE(ItemRect(List, 1, LVIR_LABEL).top, Icon.bottom);
            ASSERT_TRUE(SaveWindowPicture(Form, ControlPicturePath("listview-icons")));
        }
    }
    // The switch itself is no change of any item.
    EXPECT_TRUE(Notes.Only(LVN_ITEMCHANGED).empty());
    // A picture of the list that changes shows once the list is set again, as owners of image
    // lists do when theirs change; a list that grows is seen at once.
    SetFocus(Form);
    Drain();
    const RECT Icon = ItemRect(List, 0, LVIR_ICON);
    const POINT Inside{Icon.left + 8, Icon.top + 8};
    EXPECT_EQ(PixelAt(List, Inside.x, Inside.y), qRgb(0, 128, 0));
    const HIMAGELIST Red = ColourImages({RGB(255, 0, 0)});
    const HICON RedIcon = ImageList_GetIcon(Red, 0, 0);
    ImageList_ReplaceIcon(Small, 0, RedIcon);
    SendMessage(List, LVM_SETIMAGELIST, LVSIL_SMALL, static_cast<LPARAM>(Small));
    Drain();
    EXPECT_EQ(PixelAt(List, Inside.x, Inside.y), qRgb(255, 0, 0));
    ImageList_AddIcon(Small, RedIcon);
    DestroyIcon(RedIcon);
    ImageList_Destroy(Red);
    LVITEM Third;
    Third.mask = LVIF_IMAGE;
    Third.iItem = 0;
    Third.iImage = 2;
    SendMessage(List, LVM_SETITEM, 0, reinterpret_cast<LPARAM>(&Third));
    Drain();
    EXPECT_EQ(PixelAt(List, Inside.x, Inside.y), qRgb(255, 0, 0));
    ImageList_Destroy(Big);
    ImageList_Destroy(Small);
}

TEST_F(ListView, ClicksSelectAndNotifyInOrder) {
    FillTasks(List, 6);
    Notes.List.clear();
    auto Click = [&](int Item, Qt::KeyboardModifiers Mods = {}) {
        const POINT At = ScreenOf(List, Middle(ItemRect(List, Item, LVIR_LABEL)));
        MousePress(Form, At, Qt::LeftButton, Mods);
        MouseRelease(Form, At, Qt::LeftButton, Mods);
        Drain();
    };
    Click(1);
    EXPECT_EQ(GetFocus(), List);
    EXPECT_EQ(Notes.Codes(),
              (std::vector<UINT>{NM_SETFOCUS, LVN_ITEMCHANGING, LVN_ITEMCHANGED, NM_CLICK}));
    EXPECT_EQ(Notes.List.back().Item, 1);
    Click(3, Qt::ControlModifier);
    EXPECT_EQ(Selected(List), (std::vector<int>{1, 3}));
    Click(5, Qt::ShiftModifier);
    EXPECT_EQ(Selected(List), (std::vector<int>{3, 4, 5}));
    EXPECT_EQ(SendMessage(List, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 5);
    Click(4, Qt::ControlModifier);
    EXPECT_EQ(Selected(List), (std::vector<int>{3, 5}));
    Click(0);
    EXPECT_EQ(Selected(List), (std::vector<int>{0}));
    // A click below the last item clears the selection and names no item.
    Notes.List.clear();
    RECT Client;
    GetClientRect(List, &Client);
    MouseClick(Form, ScreenOf(List, POINT{20, Client.bottom - 10}));
    Drain();
    EXPECT_TRUE(Selected(List).empty());
    ASSERT_FALSE(Notes.Only(NM_CLICK).empty());
    EXPECT_EQ(Notes.Only(NM_CLICK)[0].Item, -1);
    // A double click is a click and then NM_DBLCLK, with no second NM_CLICK.
    Notes.List.clear();
    MouseDoubleClick(Form, ScreenOf(List, Middle(ItemRect(List, 2, LVIR_LABEL))));
    Drain();
    const std::vector<UINT> Codes = Notes.Codes();
    EXPECT_EQ(std::count(Codes.begin(), Codes.end(), NM_CLICK), 1);
    EXPECT_EQ(Codes.back(), NM_DBLCLK);
    EXPECT_EQ(Notes.List.back().Item, 2);
}

TEST_F(ListView, ARightClickSelectsReportsAndOpensTheContextMenu) {
    FillTasks(List, 3);
    SetState(List, 0, LVIS_SELECTED, LVIS_SELECTED);
    Notes.List.clear();
    MouseClick(Form, ScreenOf(List, Middle(ItemRect(List, 2, LVIR_LABEL))), Qt::RightButton);
    Drain();
    EXPECT_EQ(Selected(List), (std::vector<int>{2}));
    const std::vector<UINT> Codes = Notes.Codes();
    ASSERT_GE(Codes.size(), 2u);
    EXPECT_EQ(Codes[Codes.size() - 2], NM_RCLICK);
    EXPECT_EQ(Codes.back(), 0u);  // WM_CONTEXTMENU
    // A parent that answers NM_RCLICK keeps the context menu for itself.
    Notes.Answer = [](const TNote& N, LPARAM) -> LRESULT { return N.Code == NM_RCLICK; };
    Notes.List.clear();
    MouseClick(Form, ScreenOf(List, Middle(ItemRect(List, 2, LVIR_LABEL))), Qt::RightButton);
    Drain();
    EXPECT_EQ(Notes.Codes().back(), NM_RCLICK);
}

TEST_F(ListView, AHeaderClickNamesItsColumn) {
    FillTasks(List, 2);
    Notes.List.clear();
    // The third header button: after the first two columns, in the header row.
    MouseClick(Form, ScreenOf(List, POINT{2 + 46 + 46 + 30, 8}));
    Drain();
    const std::vector<TNote> Clicks = Notes.Only(LVN_COLUMNCLICK);
    ASSERT_EQ(Clicks.size(), 1u);
    EXPECT_EQ(Clicks[0].SubItem, 2);
    EXPECT_TRUE(Notes.Only(LVN_ITEMCHANGED).empty());
}

TEST_F(ListView, KeysComeAsNotificationsFirstAndMoveTheSelection) {
    FillTasks(List, 5);
    SetFocus(List);
    SetState(List, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    Notes.List.clear();
    QTest::keyClick(QtWindowOf(Form), Qt::Key_Down);
    Drain();
    ASSERT_FALSE(Notes.List.empty());
    EXPECT_EQ(Notes.List[0].Code, LVN_KEYDOWN);
    EXPECT_EQ(Notes.List[0].Key, VK_DOWN);
    EXPECT_EQ(Selected(List), (std::vector<int>{2}));
    QTest::keyClick(QtWindowOf(Form), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(QtWindowOf(Form), Qt::Key_Down, Qt::ShiftModifier);
    Drain();
    EXPECT_EQ(Selected(List), (std::vector<int>{2, 3, 4}));
    QTest::keyClick(QtWindowOf(Form), Qt::Key_Home);
    Drain();
    EXPECT_EQ(Selected(List), (std::vector<int>{0}));
    // Ctrl moves only the focus; Ctrl+Space selects there too.
    QTest::keyClick(QtWindowOf(Form), Qt::Key_Down, Qt::ControlModifier);
    QTest::keyClick(QtWindowOf(Form), Qt::Key_Down, Qt::ControlModifier);
    QTest::keyClick(QtWindowOf(Form), Qt::Key_Space, Qt::ControlModifier);
    Drain();
    EXPECT_EQ(Selected(List), (std::vector<int>{0, 2}));
    // A keyboard hook that eats the key leaves the list alone.
    static HHOOK Eat = 0;
    Eat = SetWindowsHookEx(WH_KEYBOARD, [](int Code, WPARAM Key, LPARAM Data) -> LRESULT {
        return Key == VK_END ? 1 : CallNextHookEx(Eat, Code, Key, Data);
    });
    Notes.List.clear();
    QTest::keyClick(QtWindowOf(Form), Qt::Key_End);
    Drain();
    UnhookWindowsHookEx(Eat);
    EXPECT_TRUE(Notes.List.empty());
    EXPECT_EQ(Selected(List), (std::vector<int>{0, 2}));
}

TEST_F(ListView, GeometryAndHitTestsAgree) {
    FillTasks(List, 40);
    const RECT Label = ItemRect(List, 3, LVIR_LABEL);
    const RECT Bounds = ItemRect(List, 3, LVIR_BOUNDS);
    EXPECT_EQ(Bounds.top, Label.top);
    EXPECT_EQ(Bounds.right - Bounds.left, 46 + 46 + 60 + 361);
    LVHITTESTINFO Hit;
    Hit.pt = Middle(Label);
    EXPECT_EQ(SendMessage(List, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&Hit)), 3);
    EXPECT_EQ(Hit.flags, LVHT_ONITEMLABEL);
    // Beside the first column, without a whole-row selection, no item is hit.
    Hit.pt = POINT{Bounds.left + 200, Middle(Label).y};
    EXPECT_EQ(SendMessage(List, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&Hit)), -1);
    SendMessage(List, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    EXPECT_EQ(SendMessage(List, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&Hit)), 3);
    EXPECT_EQ(SendMessage(List, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), LVS_EX_FULLROWSELECT);
    Hit.pt = POINT{-5, 20};
    EXPECT_EQ(SendMessage(List, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&Hit)), -1);
    EXPECT_EQ(Hit.flags, LVHT_TOLEFT);
    // A page of rows, and scrolling to the last one.
    RECT Client;
    GetClientRect(List, &Client);
    const int Row = Label.bottom - Label.top;
    const LRESULT Page = SendMessage(List, LVM_GETCOUNTPERPAGE, 0, 0);
    EXPECT_GT(Page, 5);
    EXPECT_LT(Page, 40);
    EXPECT_LE(Page * Row, Client.bottom);
    EXPECT_EQ(SendMessage(List, LVM_GETTOPINDEX, 0, 0), 0);
    EXPECT_TRUE(SendMessage(List, LVM_ENSUREVISIBLE, 39, FALSE));
    EXPECT_EQ(SendMessage(List, LVM_GETTOPINDEX, 0, 0), 40 - Page);
    const RECT Last = ItemRect(List, 39, LVIR_BOUNDS);
    EXPECT_LE(Last.bottom, Client.bottom);
    EXPECT_GT(Last.top, 0);
    EXPECT_FALSE(SendMessage(List, LVM_ENSUREVISIBLE, 40, FALSE));
}

TEST_F(ListView, APictureOfTheTaskViewShowsTheSelectionInClassicColours) {
    FillTasks(List, 4);
    SetState(List, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SetState(List, 2, LVIS_SELECTED, LVIS_SELECTED);
    SetFocus(List);
    Drain();
    ASSERT_TRUE(SaveWindowPicture(Form, ControlPicturePath("listview-report")));
    const RECT Selected = ItemRect(List, 2, LVIR_LABEL);
    const RECT Plain = ItemRect(List, 3, LVIR_LABEL);
    // Right of the short text in the first column the row is the window colour; the text's own
    // cell is highlighted.
    EXPECT_EQ(PixelAt(List, Selected.left + 1, Selected.top + 1),
              ColorOf(GetSysColor(COLOR_HIGHLIGHT)));
    EXPECT_EQ(PixelAt(List, Plain.left + 1, Plain.top + 1), ColorOf(GetSysColor(COLOR_WINDOW)));
    EXPECT_EQ(PixelAt(List, Selected.right - 2, Selected.top + 1),
              ColorOf(GetSysColor(COLOR_WINDOW)));
    // Without the focus the selection stays, in the button-face colour (LVS_SHOWSELALWAYS).
    SetFocus(Form);
    Drain();
    EXPECT_EQ(PixelAt(List, Selected.left + 1, Selected.top + 1),
              ColorOf(GetSysColor(COLOR_BTNFACE)));
    SendMessage(List, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    SetFocus(List);
    Drain();
    EXPECT_EQ(PixelAt(List, Selected.left + 300, Selected.top + 1),
              ColorOf(GetSysColor(COLOR_HIGHLIGHT)));
    ASSERT_TRUE(SaveWindowPicture(Form, ControlPicturePath("listview-report-fullrow")));
}

}  // namespace

namespace {

TEST_F(ListView, LabelsThatFitAreDrawnWhole) {
    AddColumns(List);
    SendMessage(List, LVM_SETCOLUMNWIDTH, 0, 200);
    // Texts whose width is not a whole number of pixels: none may lose its end to "...".
    const char* Texts[] = {"spool", "konfig.cfg", "Empfange Nachricht"};
    for (const char* T : Texts) Add(List, T);
    Drain();
    const QImage Seen = WindowPicture(List);
    // The picture is of the window: its client area lies inside the frame.
    RECT Window;
    GetWindowRect(List, &Window);
    const POINT Client = ScreenOf(List, POINT{0, 0});
    for (int I = 0; I < 3; ++I) {
        RECT Label = ItemRect(List, I, LVIR_LABEL);
        OffsetRect(&Label, Client.x - Window.left, Client.y - Window.top);
        // The rightmost ink of the row's first cell.
        int Right = -1;
        for (int X = Label.left; X < Label.right; ++X)
            for (int Y = Label.top; Y < Label.bottom; ++Y)
                if (qGray(Seen.pixel(X, Y)) < 128) Right = std::max(Right, X);
        SIZE Whole{};
        const HDC DC = CreateCompatibleDC(0);
        SelectObject(DC, HFONT(SendMessage(List, WM_GETFONT, 0, 0)));
        GetTextExtentPoint32(DC, Texts[I], &Whole);
        DeleteDC(DC);
        EXPECT_GE(Right - Label.left, Whole.cx - 3)
            << Texts[I] << " " << Label.left << "," << Label.top << " " << Label.right << ","
            << Label.bottom << " in " << Seen.width() << "x" << Seen.height();
    }
}

}  // namespace
