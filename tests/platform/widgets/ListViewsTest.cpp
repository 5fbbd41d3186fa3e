// The list view class: items, columns, selection and images outlive view switches and new
// windows; the window always shows the items in their order; user input and program changes
// raise the same events; sorting, searching, hit tests, the column rules and the errors.
#include <gtest/gtest.h>

#include "tests/platform/widgets/ComCtrlsTestSupport.h"

using namespace ComCtrlsTest;

namespace {

// What the window shows: per item its texts (caption first, joined by '|'), its state bits and
// the item it carries.
struct TShownItem {
    std::string Texts;
    UINT State = 0;
    LPARAM Param = 0;
    bool operator==(const TShownItem&) const = default;
};

std::string WindowText(HWND Wnd, int Index, int SubItem) {
    char Buffer[256] = {};
    LVITEM Item;
    Item.iSubItem = SubItem;
    Item.pszText = Buffer;
    Item.cchTextMax = sizeof Buffer;
    SendMessage(Wnd, LVM_GETITEMTEXT, WPARAM(Index), reinterpret_cast<LPARAM>(&Item));
    return Buffer;
}

std::vector<TShownItem> Shown(TCustomListView* View, int Columns) {
    std::vector<TShownItem> Out;
    const HWND Wnd = View->Handle();
    const int Count = int(SendMessage(Wnd, LVM_GETITEMCOUNT, 0, 0));
    for (int I = 0; I < Count; ++I) {
        TShownItem S;
        for (int C = 0; C < Columns; ++C) S.Texts += (C ? "|" : "") + WindowText(Wnd, I, C);
        S.State = UINT(SendMessage(Wnd, LVM_GETITEMSTATE, WPARAM(I), 0xFFFF));
        LVITEM Get;
        Get.mask = LVIF_PARAM;
        Get.iItem = I;
        SendMessage(Wnd, LVM_GETITEM, 0, reinterpret_cast<LPARAM>(&Get));
        S.Param = Get.lParam;
        Out.push_back(S);
    }
    return Out;
}

// What the items say the window should show.
std::vector<TShownItem> Expected(TCustomListView* View, int Columns) {
    std::vector<TShownItem> Out;
    for (int I = 0; I < View->Items()->Count(); ++I) {
        TListItem* Item = View->Items()->Item(I);
        TShownItem S;
        S.Texts = Item->Caption();
        for (int C = 1; C < Columns; ++C)
            S.Texts += "|" + (C <= Item->SubItems()->Count() ? Item->SubItems()->Get(C - 1) : "");
        S.State = (Item->Selected() ? LVIS_SELECTED : 0) | (Item->Focused() ? LVIS_FOCUSED : 0) |
                  INDEXTOSTATEIMAGEMASK(UINT(Item->StateIndex() + 1));
        S.Param = reinterpret_cast<LPARAM>(Item);
        Out.push_back(S);
    }
    return Out;
}

std::vector<std::string> Captions(TCustomListView* View) {
    std::vector<std::string> Out;
    for (int I = 0; I < View->Items()->Count(); ++I)
        Out.push_back(View->Items()->Item(I)->Caption());
    return Out;
}

TListItem* AddItem(TCustomListView* View, const std::string& Caption,
                   std::vector<std::string> SubItems = {}) {
    TListItem* Item = View->Items()->Add();
    Item->SetCaption(Caption);
    for (const std::string& S : SubItems) Item->SubItems()->Add(S);
    return Item;
}

TListColumn* AddColumn(TCustomListView* View, const std::string& Caption, int Width,
                       TAlignment Alignment = taLeftJustify) {
    TListColumn* Column = View->Columns()->Add();
    Column->SetCaption(Caption);
    Column->SetWidth(Width);
    Column->SetAlignment(Alignment);
    return Column;
}

POINT Middle(const TRect& R) {
    return POINT{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
}

class ListViews : public TComCtrlsTest {
  protected:
    // A report view on a shown form with the columns Name, Typ and Datei and four files.
    TListView* Files(TForm* Form, bool MultiSelect) {
        auto* View = Make<TListView>(Form);
        View->SetViewStyle(vsReport);
        View->SetMultiSelect(MultiSelect);
        AddColumn(View, "Name", 90);
        AddColumn(View, "Typ", 60);
        AddColumn(View, "Datei", 120);
        AddItem(View, "alpha", {"Kestro", "alpha.cfg"});
        AddItem(View, "bravo", {"OpenXP", "bravo.bfg"});
        AddItem(View, "charlie", {"XP2", "charlie.bfg"});
        AddItem(View, "delta", {"XP", "delta.bfg"});
        Drain();
        return View;
    }
    void ClickItem(TForm* Form, TListItem* Item, Qt::KeyboardModifiers Mods = {}) {
        const POINT At = ScreenOf(Item->ListView()->Handle(), Middle(Item->DisplayRect(drLabel)));
        MousePress(Form->Handle(), At, Qt::LeftButton, Mods);
        MouseRelease(Form->Handle(), At, Qt::LeftButton, Mods);
        Drain();
    }
};

TEST_F(ListViews, ItemsSelectionAndColumnsOutliveViewSwitchesAndNewWindows) {
    TForm* Form = HostForm();
    // Filled before it has a window: the window gets everything when it is made.
    auto* View = new TListView(Form);
    View->SetViewStyle(vsReport);
    View->SetMultiSelect(true);
    AddColumn(View, "Name", 80);
    AddColumn(View, "Bytes", 60, taRightJustify);
    int Data[3] = {};
    for (int I = 0; I < 3; ++I) {
        TListItem* Item = AddItem(View, std::string(1, char('A' + I)), {std::to_string(I * 100)});
        Item->SetImageIndex(I);
        Item->SetData(&Data[I]);
    }
    View->Items()->Item(1)->SetStateIndex(1);
    EXPECT_FALSE(View->HandleAllocated());
    View->SetBoundsRect(TRect{8, 8, 308, 208});
    View->SetParent(Form);
    Drain();
    ASSERT_TRUE(View->HandleAllocated());
    View->Items()->Item(1)->SetSelected(true);
    View->Items()->Item(2)->SetSelected(true);
    View->Items()->Item(2)->SetFocused(true);
    // The user drags the first column wider.
    SendMessage(View->Handle(), LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(120, 0));
    auto ExpectShown = [&](const char* When) {
        EXPECT_EQ(Shown(View, 2), Expected(View, 2)) << When;
        EXPECT_EQ(View->SelCount(), 2) << When;
        EXPECT_EQ(View->Selected(), View->Items()->Item(1)) << When;
        EXPECT_EQ(View->ItemFocused(), View->Items()->Item(2)) << When;
        EXPECT_EQ(View->Columns()->Items(0)->Width(), 120) << When;
        EXPECT_EQ(View->Items()->Item(2)->Data(), &Data[2]) << When;
        LVITEM Image;
        Image.mask = LVIF_IMAGE;
        Image.iItem = 2;
        SendMessage(View->Handle(), LVM_GETITEM, 0, reinterpret_cast<LPARAM>(&Image));
        EXPECT_EQ(Image.iImage, 2) << When;
    };
    ExpectShown("made");
    // The window keeps a text as any window does (its widget shows none).
    SetWindowText(View->Handle(), "Dateien");
    EXPECT_EQ(GetWindowText(View->Handle()), "Dateien");

    // The view changes on the window that is there.
    const HWND First = View->Handle();
    const std::pair<TViewStyle, DWORD> Views[] = {{vsIcon, LVS_ICON},
                                                  {vsSmallIcon, LVS_SMALLICON},
                                                  {vsList, LVS_LIST},
                                                  {vsReport, LVS_REPORT}};
    for (const auto& [Style, Bits] : Views) {
        View->SetViewStyle(Style);
        Drain();
        EXPECT_EQ(View->Handle(), First);
        EXPECT_EQ(DWORD(GetWindowLongPtr(First, GWL_STYLE)) & LVS_TYPEMASK, Bits);
        ExpectShown("view switched");
    }
    // A new window (another frame, or made again) shows the same.
    View->SetBorderStyle(bsNone);
    Drain();
    EXPECT_NE(View->Handle(), First);
    EXPECT_FALSE(GetWindowLongPtr(View->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    ExpectShown("new frame");
    View->RecreateWnd();
    Drain();
    ExpectShown("made again");
    // Moved to another parent.
    auto* Panel = Make<TPanel>(Form, nullptr, TRect{0, 0, 400, 300});
    View->SetParent(Panel);
    Drain();
    ExpectShown("moved");
}

TEST_F(ListViews, ClicksAndKeysSelectAndRaiseTheEventsInOrder) {
    TForm* Form = HostForm();
    TListView* View = Files(Form, true);
    std::vector<std::string> Log;
    View->OnSelectItem = [&](TObject*, TListItem* Item, bool Selected) {
        Log.push_back((Selected ? "select " : "unselect ") + Item->Caption());
    };
    View->OnClick = [&](TObject*) { Log.push_back("click " + View->Selected()->Caption()); };
    View->OnDblClick = [&](TObject*) { Log.push_back("double click"); };
    TListItems& Items = *View->Items();

    ClickItem(Form, Items[2]);
    EXPECT_EQ(Log, (std::vector<std::string>{"select charlie", "click charlie"}));
    EXPECT_EQ(View->ItemFocused(), Items[2]);
    Log.clear();
    ClickItem(Form, Items[0]);
    EXPECT_EQ(Log, (std::vector<std::string>{"unselect charlie", "select alpha", "click alpha"}));
    Log.clear();
    ClickItem(Form, Items[3], Qt::ControlModifier);
    EXPECT_EQ(Log, (std::vector<std::string>{"select delta", "click alpha"}));
    EXPECT_EQ(View->SelCount(), 2);
    Log.clear();
    MouseDoubleClick(Form->Handle(),
                     ScreenOf(View->Handle(), Middle(Items[1]->DisplayRect(drLabel))));
    Drain();
    EXPECT_EQ(Log.back(), "double click");
    EXPECT_EQ(View->Selected(), Items[1]);
    EXPECT_EQ(View->SelCount(), 1);

    // The arrows move the selection; the key events see the key first.
    std::vector<WORD> Keys;
    View->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) { Keys.push_back(Key); };
    Log.clear();
    QTest::keyClick(QtWindowOf(Form->Handle()), Qt::Key_Down);
    Drain();
    EXPECT_EQ(Keys, (std::vector<WORD>{VK_DOWN}));
    EXPECT_EQ(Log, (std::vector<std::string>{"unselect bravo", "select charlie"}));
    EXPECT_EQ(Shown(View, 3), Expected(View, 3));

    // A right click chooses the row under it, then the control gets WM_CONTEXTMENU with the
    // point, where the class library's context popup starts.
    std::vector<POINT> Menus;
    const TWndMethod Inner = View->WindowProc;
    View->WindowProc = [&, Inner](TMessage& Message) {
        if (Message.Msg == WM_CONTEXTMENU)
            Menus.push_back(POINT{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)});
        Inner(Message);
    };
    const POINT At = ScreenOf(View->Handle(), Middle(Items[0]->DisplayRect(drLabel)));
    MouseClick(Form->Handle(), At, Qt::RightButton);
    Drain();
    ASSERT_EQ(Menus.size(), 1u);
    EXPECT_EQ(Menus[0].x, At.x);
    EXPECT_EQ(Menus[0].y, At.y);
    EXPECT_EQ(View->Selected(), Items[0]);
    View->WindowProc = Inner;
}

TEST_F(ListViews, TheProgramSelectsAsTheUserDoesAndASingleSelectionStaysSingle) {
    for (const bool Multi : {false, true}) {
        SCOPED_TRACE(Multi ? "multi-select" : "single-select");
        TForm* Form = HostForm();
        TListView* View = Files(Form, Multi);
        std::vector<std::string> Log;
        View->OnSelectItem = [&](TObject*, TListItem* Item, bool Selected) {
            Log.push_back((Selected ? "+" : "-") + Item->Caption());
        };
        std::vector<TItemChange> Changes;
        View->OnChange = [&](TObject*, TListItem*, TItemChange Change) {
            Changes.push_back(Change);
        };
        TListItems& Items = *View->Items();
        View->SetSelected(Items[0]);
        Items[2]->SetSelected(true);
        if (Multi) {
            EXPECT_EQ(Log, (std::vector<std::string>{"+alpha", "+charlie"}));
            EXPECT_EQ(View->SelCount(), 2);
        } else {
            EXPECT_EQ(Log, (std::vector<std::string>{"+alpha", "-alpha", "+charlie"}));
            EXPECT_EQ(View->SelCount(), 1);
        }
        EXPECT_EQ(View->Selected(), Multi ? Items[0] : Items[2]);
        EXPECT_EQ(Changes.size(), Log.size());
        EXPECT_TRUE(std::all_of(Changes.begin(), Changes.end(),
                                [](TItemChange C) { return C == ctState; }));
        View->SetItemFocused(Items[3]);
        EXPECT_EQ(View->ItemFocused(), Items[3]);
        View->SetSelected(nullptr);
        EXPECT_EQ(View->SelCount(), 0);
        EXPECT_EQ(View->Selected(), nullptr);
        EXPECT_EQ(Shown(View, 3), Expected(View, 3));
        // A text change is a change too.
        Changes.clear();
        Items[1]->SubItems()->Put(0, "Kestro");
        EXPECT_EQ(Changes, (std::vector<TItemChange>{ctText}));
        Form->Free();
        Drain();
    }
}

TEST_F(ListViews, SortedListsKeepTheirOrderAndTheWindowFollows) {
    TForm* Form = HostForm();
    auto* View = Make<TListView>(Form);
    View->SetViewStyle(vsReport);
    AddColumn(View, "Name", 100);
    View->SetSortType(stText);
    for (const char* Name : {"delta", "Alpha", "charlie", "Bravo"}) AddItem(View, Name);
    EXPECT_EQ(Captions(View), (std::vector<std::string>{"Alpha", "Bravo", "charlie", "delta"}));
    EXPECT_EQ(Shown(View, 1), Expected(View, 1));
    View->Items()->Item(0)->SetCaption("echo");
    EXPECT_EQ(Captions(View), (std::vector<std::string>{"Bravo", "charlie", "delta", "echo"}));
    EXPECT_EQ(View->Items()->Item(3)->Index(), 3);
    EXPECT_EQ(Shown(View, 1), Expected(View, 1));

    // Between BeginUpdate and EndUpdate nothing is sorted; at the end once, by OnCompare.
    int Compared = 0;
    View->OnCompare = [&](TObject*, TListItem* A, TListItem* B, int, int& Order) {
        ++Compared;
        Order = int(reinterpret_cast<std::intptr_t>(B->Data())) -
                int(reinterpret_cast<std::intptr_t>(A->Data()));
    };
    View->SetSortType(stBoth);
    View->Items()->BeginUpdate();
    Compared = 0;
    for (int I = 0; I < View->Items()->Count(); ++I)
        View->Items()->Item(I)->SetData(reinterpret_cast<void*>(std::intptr_t(I + 1)));
    AddItem(View, "foxtrot")->SetData(reinterpret_cast<void*>(std::intptr_t(3)));
    EXPECT_EQ(Compared, 0);
    View->Items()->EndUpdate();
    EXPECT_GT(Compared, 0);
    // Equal data keep the order they had.
    EXPECT_EQ(Captions(View),
              (std::vector<std::string>{"echo", "delta", "foxtrot", "charlie", "Bravo"}));
    EXPECT_EQ(Shown(View, 1), Expected(View, 1));

    // A sort of the program's own.
    View->SetSortType(stNone);
    View->CustomSort(
        [](TListItem* A, TListItem* B, LPARAM Reverse) {
            const int Order = int(A->Caption().size()) - int(B->Caption().size());
            return Reverse ? -Order : Order;
        },
        0);
    EXPECT_EQ(Captions(View),
              (std::vector<std::string>{"echo", "delta", "Bravo", "foxtrot", "charlie"}));
    EXPECT_EQ(Shown(View, 1), Expected(View, 1));
    View->OnCompare = nullptr;
    View->AlphaSort();
    EXPECT_EQ(Captions(View),
              (std::vector<std::string>{"Bravo", "charlie", "delta", "echo", "foxtrot"}));
    EXPECT_EQ(Shown(View, 1), Expected(View, 1));
}

TEST_F(ListViews, PositionsStayRightThroughInsertsAndDeletesWithAndWithoutAWindow) {
    TForm* Form = HostForm();
    auto* Made = Make<TListView>(Form);
    auto* Later = new TListView(Form);
    struct TStep {
        char Kind;  // 'a'dd, 'i'nsert at, 'd'elete at
        int At;
        const char* Caption;
        const char* After;
    };
    const TStep Steps[] = {
        {'a', 0, "c", "c"},         {'i', 0, "a", "a c"},       {'i', 1, "b", "a b c"},
        {'a', 0, "e", "a b c e"},   {'i', 3, "d", "a b c d e"}, {'d', 0, "", "b c d e"},
        {'i', 0, "a", "a b c d e"}, {'d', 4, "", "a b c d"},    {'i', 9, "z", "a b c d z"},
        {'d', 2, "", "a b d z"},
    };
    for (const TStep& Step : Steps) {
        for (TListView* View : {Made, Later}) {
            TListItems& Items = *View->Items();
            if (Step.Kind == 'd') {
                Items.Delete(Step.At);
                continue;
            }
            TListItem* Item = Step.Kind == 'a' ? Items.Add() : Items.Insert(Step.At);
            Item->SetCaption(Step.Caption);
            Item->SubItems()->Add(std::string(Step.Caption) + "!");
        }
        std::string Order;
        for (int I = 0; I < Made->Items()->Count(); ++I) {
            TListItem* Item = Made->Items()->Item(I);
            EXPECT_EQ(Item->Index(), I) << Step.After;
            EXPECT_EQ(Made->Items()->IndexOf(Item), I) << Step.After;
            Order += (I ? " " : "") + Item->Caption();
        }
        EXPECT_EQ(Order, Step.After);
        EXPECT_EQ(Captions(Later), Captions(Made));
        EXPECT_EQ(Shown(Made, 2), Expected(Made, 2)) << Step.After;
    }
    Later->SetBoundsRect(TRect{8, 8, 308, 208});
    Later->SetParent(Form);
    EXPECT_EQ(Shown(Later, 2), Expected(Later, 2));
    EXPECT_EQ(Later->Items()->IndexOf(Made->Items()->Item(0)), -1);
}

TEST_F(ListViews, FindCaptionSearchesFromWhereItIsToldWithoutCase) {
    TForm* Form = HostForm();
    auto* View = Make<TListView>(Form);
    for (const char* Name : {"Kestro", "OpenXP", "XP2", "XP", "kestro.cfg"}) AddItem(View, Name);
    struct TCase {
        int Start;
        const char* Value;
        bool Partial, Inclusive, Wrap;
        int Found;  // -1: none
    };
    const TCase Cases[] = {
        {-1, "xp", false, false, false, 3},    {-1, "xp", true, false, false, 2},
        {2, "xp", true, false, false, 3},      {2, "xp", true, true, false, 2},
        {0, "KESTRO", true, false, false, 4},  {0, "kestro", false, true, false, 0},
        {4, "kestro", false, false, true, 0},  {4, "kestro", false, false, false, -1},
        {-1, "nothing", true, true, true, -1}, {7, "xp", false, false, true, 3},
        {-5, "openxp", false, true, false, 1},
    };
    for (const TCase& C : Cases) {
        TListItem* Found = View->FindCaption(C.Start, C.Value, C.Partial, C.Inclusive, C.Wrap);
        EXPECT_EQ(Found ? Found->Index() : -1, C.Found)
            << C.Start << " " << C.Value << " " << C.Partial << C.Inclusive << C.Wrap;
    }
}

TEST_F(ListViews, TheTaskViewFindsRowsByTextAndUpdatesThem) {
    TForm* Form = HostForm(600, 300);
    auto* View = Make<TListView>(Form, nullptr, TRect{8, 8, 540, 208});
    View->SetViewStyle(vsReport);
    View->SetReadOnly(true);
    AddColumn(View, "Thread", 46);
    AddColumn(View, "Typ", 46, taCenter);
    AddColumn(View, "Bytes    ", 60, taRightJustify);
    AddColumn(View, "Status", 361);
    struct TColumnShown {
        std::string Text;
        int Format, Width;
        bool operator==(const TColumnShown&) const = default;
    };
    std::vector<TColumnShown> Columns;
    for (int C = 0; C < 4; ++C) {
        char Buffer[32] = {};
        LVCOLUMN Get;
        Get.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
        Get.pszText = Buffer;
        Get.cchTextMax = sizeof Buffer;
        SendMessage(View->Handle(), LVM_GETCOLUMN, WPARAM(C), reinterpret_cast<LPARAM>(&Get));
        Columns.push_back({Buffer, Get.fmt, Get.cx});
    }
    EXPECT_EQ(Columns, (std::vector<TColumnShown>{{"Thread", LVCFMT_LEFT, 46},
                                                  {"Typ", LVCFMT_CENTER, 46},
                                                  {"Bytes    ", LVCFMT_RIGHT, 60},
                                                  {"Status", LVCFMT_LEFT, 361}}));
    // Each refresh rebuilds the rows inside one update.
    for (int Round = 0; Round < 2; ++Round) {
        View->Items()->BeginUpdate();
        View->Items()->Clear();
        for (int Task = 1; Task <= 3; ++Task)
            AddItem(View, std::to_string(Task), {Task == 2 ? "SMTP" : "POP3", "0", "Warte"});
        View->Items()->EndUpdate();
    }
    TListItem* Row = View->FindCaption(0, "2", false, true, false);
    ASSERT_NE(Row, nullptr);
    Row->SubItems()->Put(1, "1234");
    Row->SubItems()->Put(2, "Verbunden");
    EXPECT_EQ(WindowText(View->Handle(), 1, 3), "Verbunden");
    EXPECT_EQ(Shown(View, 4), Expected(View, 4));
    EXPECT_EQ(
        View->GetItemAt(Middle(Row->DisplayRect(drLabel)).x, Middle(Row->DisplayRect(drLabel)).y),
        Row);
    EXPECT_EQ(View->GetItemAt(200, 190), nullptr);
    Row->Delete();
    EXPECT_EQ(Captions(View), (std::vector<std::string>{"1", "3"}));
    EXPECT_EQ(View->Items()->Item(1)->Index(), 1);
    EXPECT_EQ(Shown(View, 4), Expected(View, 4));
    View->Items()->Clear();
    EXPECT_EQ(SendMessage(View->Handle(), LVM_GETITEMCOUNT, 0, 0), 0);
}

TEST_F(ListViews, HeadersRaiseColumnClickAndAutoSizeColumnsShareTheRest) {
    TForm* Form = HostForm();
    TListView* View = Files(Form, false);
    std::vector<int> Clicked;
    View->OnColumnClick = [&](TObject*, TListColumn* Column) {
        Clicked.push_back(Column->Index());
    };
    const POINT OnHeader{90 + 60 + 40, 6};
    MouseClick(Form->Handle(), ScreenOf(View->Handle(), OnHeader));
    Drain();
    EXPECT_EQ(Clicked, (std::vector<int>{2}));

    // Two AutoSize columns share what the first leaves; a minimum holds.
    TListColumns& Columns = *View->Columns();
    Columns.Items(1)->SetAutoSize(true);
    Columns.Items(2)->SetAutoSize(true);
    const int Left = View->ClientWidth() - 2 * GetSystemMetrics(SM_CXEDGE) - 90;
    EXPECT_EQ(Columns.Items(1)->Width(), Left / 2);
    EXPECT_EQ(Columns.Items(1)->Width() + Columns.Items(2)->Width(), Left);
    Columns.Items(1)->SetMinWidth(Left);
    EXPECT_EQ(Columns.Items(1)->Width(), Left);
    EXPECT_EQ(Columns.Items(2)->Width(), 0);
    View->SetWidth(View->Width() + 100);
    EXPECT_EQ(Columns.Items(2)->Width(), 100);
    // Bounds hold for widths the program sets.
    Columns.Items(0)->SetMaxWidth(50);
    EXPECT_EQ(Columns.Items(0)->Width(), 50);
    Columns.Items(0)->SetWidth(500);
    EXPECT_EQ(Columns.Items(0)->Width(), 50);
    // A removed column leaves the window too.
    Columns.Delete(0);
    EXPECT_EQ(WindowText(View->Handle(), 0, 0), "alpha");
    LVCOLUMN Get;
    Get.mask = LVCF_WIDTH;
    EXPECT_FALSE(SendMessage(View->Handle(), LVM_GETCOLUMN, 2, reinterpret_cast<LPARAM>(&Get)));
}

TEST_F(ListViews, ImageListsFollowTheirListAndAreForgottenWhenItGoes) {
    TForm* Form = HostForm();
    TListView* View = Files(Form, false);
    auto* Large = new TTestImageList(Form);
    Large->SetListWidth(32);
    Large->SetListHeight(32);
    Large->AddPictures({clRed, clBlue});
    View->SetLargeImages(Large);
    View->SetSmallImages(Large);
    auto ListOf = [&](WPARAM Which) {
        return HIMAGELIST(SendMessage(View->Handle(), LVM_GETIMAGELIST, Which, 0));
    };
    EXPECT_EQ(ListOf(LVSIL_NORMAL), Large->Handle());
    // A new size makes a new list: the window gets it.
    Large->SetListWidth(16);
    Large->SetListHeight(16);
    EXPECT_EQ(ListOf(LVSIL_NORMAL), Large->Handle());
    EXPECT_EQ(ListOf(LVSIL_SMALL), Large->Handle());
    Large->Free();
    EXPECT_EQ(View->LargeImages(), nullptr);
    EXPECT_EQ(View->SmallImages(), nullptr);
    EXPECT_EQ(ListOf(LVSIL_NORMAL), HIMAGELIST(0));
    EXPECT_EQ(ListOf(LVSIL_SMALL), HIMAGELIST(0));
    // A list that is no component is forgotten as well.
    {
        TCustomImageList States(16, 16);
        View->SetStateImages(&States);
        EXPECT_EQ(ListOf(LVSIL_STATE), States.Handle());
    }
    EXPECT_EQ(View->StateImages(), nullptr);
}

TEST_F(ListViews, BadRequestsGetClearErrors) {
    TForm* Form = HostForm();
    TListView* View = Files(Form, false);
    EXPECT_THROW(View->Items()->Item(4), ERangeError);
    EXPECT_THROW(View->Items()->Delete(-1), ERangeError);
    EXPECT_THROW(View->Items()->Item(0)->SetStateIndex(15), ERangeError);
    EXPECT_THROW(View->Items()->Item(0)->SubItems()->Get(2), EStringListError);
    EXPECT_EQ(View->Items()->Item(0)->StateIndex(), -1);
    // Selecting needs the window, and a list view without a parent has none.
    auto* Loose = new TListView(Form);
    AddItem(Loose, "alone");
    EXPECT_THROW(Loose->Items()->Item(0)->SetSelected(true), EInvalidOperation);
    EXPECT_FALSE(Loose->Items()->Item(0)->Selected());
}

}  // namespace
