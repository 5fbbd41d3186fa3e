// The LISTBOX class: the classic answers to its messages, sorting and searching, the selection
// modes, notifications for what the user does (and only for that), owner draw, scrolling, and
// keyboard and mouse through real Qt input.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/controls/ItemList.h"
#include "platform/controls/Limits.h"
#include "platform/controls/NcScrollBars.h"
#include "platform/controls/OwnerDraw.h"
#include "tests/support/GuiTestSupport.h"

using namespace GuiTest;

namespace {

constexpr UINT_PTR kListId = 201;

std::string Picture(const std::string& Name) {
    return std::string(KESTRO_BINARY_DIR) + "/pictures/controls/" + Name + ".png";
}

class ListBox : public testing::Test {
  protected:
    void SetUp() override {
        InitStandardControls();
        Drain();
        Form = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {100, 100, 500, 400}, 0, "Form"));
        Drain();
    }
    void TearDown() override { Drain(); }

    HWND Make(DWORD Style, std::vector<std::string> Texts = {}, RECT R = {10, 10, 160, 110},
              DWORD ExStyle = WS_EX_CLIENTEDGE) {
        const HWND List =
            CreateWindowEx(ExStyle, "LISTBOX", "", WS_CHILD | WS_VISIBLE | Style, R.left, R.top,
                           R.right - R.left, R.bottom - R.top, Form, kListId, 0, nullptr);
        EXPECT_NE(List, 0u);
        for (const std::string& T : Texts) Add(List, T);
        Drain();
        Windows().Recorded = {WM_COMMAND,    WM_DRAWITEM,   WM_MEASUREITEM,
                              WM_DELETEITEM, WM_VKEYTOITEM, WM_CTLCOLORLISTBOX};
        Windows().Log.clear();
        return List;
    }
    static LRESULT Add(HWND List, const std::string& Text) {
        return SendMessage(List, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Text.c_str()));
    }
    static std::string TextOf(HWND List, int Index) {
        const LRESULT Length = SendMessage(List, LB_GETTEXTLEN, static_cast<WPARAM>(Index), 0);
        if (Length < 0) return "<err>";
        std::string Text(static_cast<size_t>(Length) + 1, '\0');
        SendMessage(List, LB_GETTEXT, static_cast<WPARAM>(Index),
                    reinterpret_cast<LPARAM>(Text.data()));
        Text.resize(static_cast<size_t>(Length));
        return Text;
    }
    static std::vector<std::string> Texts(HWND List) {
        std::vector<std::string> Out;
        const auto N = static_cast<int>(SendMessage(List, LB_GETCOUNT, 0, 0));
        for (int I = 0; I < N; ++I) Out.push_back(TextOf(List, I));
        return Out;
    }
    static std::vector<int> SelItems(HWND List) {
        std::vector<int> Out(64);
        const LRESULT N =
            SendMessage(List, LB_GETSELITEMS, Out.size(), reinterpret_cast<LPARAM>(Out.data()));
        Out.resize(N < 0 ? 0 : static_cast<size_t>(N));
        return Out;
    }
    // The notification codes the form got from the list, in order.
    std::vector<WORD> Codes(HWND List) const {
        std::vector<WORD> Out;
        for (const TRecorded& R : Windows().Of(Form, {WM_COMMAND}))
            if (static_cast<HWND>(R.LParam) == List) Out.push_back(HIWORD(R.WParam));
        return Out;
    }
    POINT ItemPoint(HWND List, int Index, int X = 20) const {
        RECT R{};
        SendMessage(List, LB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&R));
        return ScreenOf(List, POINT{X, (R.top + R.bottom) / 2});
    }
    void Click(HWND List, int Index, Qt::KeyboardModifiers Mods = {}) {
        const POINT P = ItemPoint(List, Index);
        MousePress(Form, P, Qt::LeftButton, Mods);
        MouseRelease(Form, P, Qt::LeftButton, Mods);
        Drain();
    }
    void Key(Qt::Key K, Qt::KeyboardModifiers Mods = {}) {
        QTest::keyClick(QtWindowOf(Form), K, Mods);
        Drain();
    }

    TWindowGuard Guard;
    HWND Form = 0;
};

// --- the item store -----------------------------------------------------------------------------

// Inserting and erasing anywhere across many blocks keeps the items in order, as a plain vector
// would.
TEST(ItemList, InsertsAndErasesAcrossBlocksAsAVectorWould) {
    TItemList List;
    std::vector<int> Model;
    std::mt19937 Random(42);
    for (int Step = 0; Step < 6000; ++Step) {
        const bool Erase = !Model.empty() && Random() % 3 == 0;
        if (Erase) {
            const int At = static_cast<int>(Random() % Model.size());
            EXPECT_EQ(List.Erase(At).Data, static_cast<ULONG_PTR>(Model[At]));
            Model.erase(Model.begin() + At);
        } else {
            const int At = static_cast<int>(Random() % (Model.size() + 1));
            List.Insert(At, TListItem{"", static_cast<ULONG_PTR>(Step), 0, false});
            Model.insert(Model.begin() + At, Step);
        }
    }
    ASSERT_EQ(List.Count(), static_cast<int>(Model.size()));
    for (int I = 0; I < List.Count(); ++I)
        ASSERT_EQ(List[I].Data, static_cast<ULONG_PTR>(Model[I]));
    // A search from the middle wraps around once.
    std::vector<int> Visited;
    EXPECT_EQ(List.FindFrom(List.Count() - 2,
                            [&](int Index, const TListItem&) {
                                Visited.push_back(Index);
                                return false;
                            }),
              -1);
    ASSERT_EQ(Visited.size(), Model.size());
    EXPECT_EQ(Visited[0], List.Count() - 2);
    EXPECT_EQ(Visited[2], 0);
}

TEST(ItemTexts, CompareWithoutCaseAndSortAccentsWithTheirBaseLetter) {
    struct TCase {
        const char* A;
        const char* B;
        int Sign;
    };
    for (const TCase& C : {TCase{"apfel", "Apfel", 0}, TCase{"Apfel", "\xC4pfel", -1},
                           TCase{"\xC4pfel", "Birne", -1}, TCase{"\xE4pfel", "\xC4PFEL", 0},
                           TCase{"Stra\xDF"
                                 "e",
                                 "Strasse", 1},
                           TCase{"Strasse", "Strast", -1}, TCase{"\xC6ther", "Aether", 1},
                           TCase{"Zebra", "\xC4pfel", 1}, TCase{"a", "ab", -1}, TCase{"", "", 0},
                           TCase{"10", "9", -1}}) {
        SCOPED_TRACE(std::string(C.A) + " / " + C.B);
        const int Got = CompareItemTexts(C.A, C.B);
        EXPECT_EQ((Got > 0) - (Got < 0), C.Sign);
        const int Back = CompareItemTexts(C.B, C.A);
        EXPECT_EQ((Back > 0) - (Back < 0), -C.Sign);
    }
    EXPECT_TRUE(ItemTextEquals("M\xFCller", "M\xDCLLER"));
    EXPECT_FALSE(ItemTextEquals("Muller", "M\xFCller"));
    EXPECT_TRUE(ItemTextStartsWith("\xC4rger", "\xE4r"));
    EXPECT_FALSE(ItemTextStartsWith("Arger", "\xE4r"));
    EXPECT_TRUE(ItemTextStartsWith("x", ""));
}

// --- messages -----------------------------------------------------------------------------------

TEST_F(ListBox, MessagesGiveTheClassicAnswers) {
    const HWND List = Make(LBS_NOTIFY, {"alpha", "beta", "gamma"});
    const HWND Multi = Make(LBS_EXTENDEDSEL, {"one", "two"});
    RECT R{};
    const std::string Long(ControlsLimits::kMaxItemText + 1, 'x');
    struct TCase {
        const char* What;
        HWND Wnd;
        UINT Msg;
        WPARAM WParam;
        LPARAM LParam;
        LRESULT Answer;
    };
    const TCase Cases[] = {
        {"count", List, LB_GETCOUNT, 0, 0, 3},
        {"text length", List, LB_GETTEXTLEN, 1, 0, 4},
        {"text length of no item", List, LB_GETTEXTLEN, 3, 0, LB_ERR},
        {"text of no item", List, LB_GETTEXT, static_cast<WPARAM>(-1), 0, LB_ERR},
        {"insert past the end", List, LB_INSERTSTRING, 4, reinterpret_cast<LPARAM>("x"), LB_ERR},
        {"delete no item", List, LB_DELETESTRING, 7, 0, LB_ERR},
        {"data of no item", List, LB_GETITEMDATA, 3, 0, LB_ERR},
        {"set data of no item", List, LB_SETITEMDATA, 3, 5, LB_ERR},
        {"no selection yet", List, LB_GETCURSEL, 0, 0, LB_ERR},
        {"select", List, LB_SETCURSEL, 2, 0, 2},
        {"selected", List, LB_GETCURSEL, 0, 0, 2},
        {"is selected", List, LB_GETSEL, 2, 0, 1},
        {"select out of range", List, LB_SETCURSEL, 3, 0, LB_ERR},
        {"which cleared it", List, LB_GETCURSEL, 0, 0, LB_ERR},
        {"select none answers an error", List, LB_SETCURSEL, static_cast<WPARAM>(-1), 0, LB_ERR},
        {"selection count of a single list", List, LB_GETSELCOUNT, 0, 0, LB_ERR},
        {"selected items of a single list", List, LB_GETSELITEMS, 4, 0, LB_ERR},
        {"set sel in a single list", List, LB_SETSEL, TRUE, 0, LB_ERR},
        {"range in a single list", List, LB_SELITEMRANGE, TRUE, MAKELPARAM(0, 1), LB_ERR},
        {"cursel in a multiple list", Multi, LB_SETCURSEL, 0, 0, LB_ERR},
        {"set sel of no item", Multi, LB_SETSEL, TRUE, 2, LB_ERR},
        {"select string in a multiple list", Multi, LB_SELECTSTRING, static_cast<WPARAM>(-1),
         reinterpret_cast<LPARAM>("one"), LB_ERR},
        {"top of no item", List, LB_SETTOPINDEX, 3, 0, LB_ERR},
        {"caret of no item", List, LB_SETCARETINDEX, 3, 0, LB_ERR},
        {"item height 0", List, LB_SETITEMHEIGHT, 0, 0, LB_ERR},
        {"item height 256", List, LB_SETITEMHEIGHT, 0, 256, LB_ERR},
        {"rect of no item", List, LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&R), LB_ERR},
        {"rect without a buffer", List, LB_GETITEMRECT, 0, 0, LB_ERR},
        {"a text too long", List, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Long.c_str()),
         LB_ERRSPACE},
        {"storage beyond the limit", List, LB_INITSTORAGE,
         static_cast<WPARAM>(ControlsLimits::kMaxListItems), 0, LB_ERRSPACE},
        {"storage", List, LB_INITSTORAGE, 100, 0, 103},
        {"not offered", List, LB_GETTOPINDEX - 1, 0, 0, LB_ERR},
        {"delete answers what is left", List, LB_DELETESTRING, 0, 0, 2},
        {"insert at the end", List, LB_INSERTSTRING, static_cast<WPARAM>(-1),
         reinterpret_cast<LPARAM>("omega"), 2},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.What);
        EXPECT_EQ(SendMessage(C.Wnd, C.Msg, C.WParam, C.LParam), C.Answer);
    }
    EXPECT_EQ(Texts(List), (std::vector<std::string>{"beta", "gamma", "omega"}));
    EXPECT_EQ(Codes(List), (std::vector<WORD>{LBN_ERRSPACE}));
}

TEST_F(ListBox, SortedListsPlaceNewItemsInOrder) {
    const HWND List = Make(LBS_SORT, {"Zebra", "apfel", "\xC4rger", "Birne", "Apfel", "arm"});
    EXPECT_EQ(Texts(List),
              (std::vector<std::string>{"apfel", "Apfel", "\xC4rger", "arm", "Birne", "Zebra"}));
    // The answer is where the item went; inserting ignores the order.
    EXPECT_EQ(Add(List, "Banane"), 4);
    EXPECT_EQ(SendMessage(List, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("zz")), 0);
    EXPECT_EQ(TextOf(List, 0), "zz");
}

TEST_F(ListBox, SearchesMatchWithoutCaseStartAfterTheItemAndWrap) {
    const HWND List = Make(0, {"Berlin", "bern", "Bonn", "Hamburg", "Bern"});
    struct TCase {
        int Start;
        const char* Text;
        UINT Msg;
        LRESULT Found;
    };
    for (const TCase& C :
         {TCase{-1, "ber", LB_FINDSTRING, 0}, TCase{0, "ber", LB_FINDSTRING, 1},
          TCase{1, "BER", LB_FINDSTRING, 4}, TCase{4, "ber", LB_FINDSTRING, 0},
          TCase{-1, "bern", LB_FINDSTRINGEXACT, 1}, TCase{1, "bern", LB_FINDSTRINGEXACT, 4},
          TCase{-1, "Bre", LB_FINDSTRING, LB_ERR}, TCase{-1, "Ber", LB_FINDSTRINGEXACT, LB_ERR},
          TCase{2, "", LB_FINDSTRING, 3}, TCase{99, "ham", LB_FINDSTRING, 3}}) {
        SCOPED_TRACE(std::string(C.Text) + " after " + std::to_string(C.Start));
        EXPECT_EQ(SendMessage(List, C.Msg, static_cast<WPARAM>(C.Start),
                              reinterpret_cast<LPARAM>(C.Text)),
                  C.Found);
    }
    // Selecting by prefix selects; a miss leaves the selection alone.
    EXPECT_EQ(
        SendMessage(List, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("bo")),
        2);
    EXPECT_EQ(SendMessage(List, LB_SELECTSTRING, 0, reinterpret_cast<LPARAM>("x")), LB_ERR);
    EXPECT_EQ(SendMessage(List, LB_GETCURSEL, 0, 0), 2);
    EXPECT_TRUE(Codes(List).empty());
}

TEST_F(ListBox, MultipleSelectionMessagesMarkItemsAndRanges) {
    const HWND List = Make(LBS_MULTIPLESEL, {"a", "b", "c", "d", "e", "f"});
    SendMessage(List, LB_SETSEL, TRUE, 1);
    SendMessage(List, LB_SELITEMRANGE, TRUE, MAKELPARAM(3, 4));
    EXPECT_EQ(SelItems(List), (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(SendMessage(List, LB_GETSELCOUNT, 0, 0), 3);
    // LB_SELITEMRANGEEX clears when the first index is the larger one.
    SendMessage(List, LB_SELITEMRANGEEX, 4, 2);
    EXPECT_EQ(SelItems(List), (std::vector<int>{1}));
    SendMessage(List, LB_SELITEMRANGEEX, 4, 5);
    SendMessage(List, LB_SETSEL, TRUE, static_cast<LPARAM>(-1));
    EXPECT_EQ(SendMessage(List, LB_GETSELCOUNT, 0, 0), 6);
    SendMessage(List, LB_SETSEL, FALSE, static_cast<LPARAM>(-1));
    EXPECT_EQ(SelItems(List), std::vector<int>{});
    // The selected item of a multiple list is the one with the caret.
    SendMessage(List, LB_SETCARETINDEX, 4, 0);
    EXPECT_EQ(SendMessage(List, LB_GETCURSEL, 0, 0), 4);
    EXPECT_EQ(SendMessage(List, LB_GETCARETINDEX, 0, 0), 4);
    // Deleting an item moves the marks with their items.
    SendMessage(List, LB_SETSEL, TRUE, 5);
    SendMessage(List, LB_DELETESTRING, 0, 0);
    EXPECT_EQ(SelItems(List), (std::vector<int>{4}));
    EXPECT_EQ(SendMessage(List, LB_GETCARETINDEX, 0, 0), 3);
    EXPECT_TRUE(Codes(List).empty());
}

TEST_F(ListBox, InsertingAndDeletingKeepTheSelectionOnItsItem) {
    const HWND List = Make(0, {"a", "b", "c"});
    SendMessage(List, LB_SETCURSEL, 1, 0);
    SendMessage(List, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("z"));
    EXPECT_EQ(SendMessage(List, LB_GETCURSEL, 0, 0), 2);
    SendMessage(List, LB_DELETESTRING, 0, 0);
    EXPECT_EQ(SendMessage(List, LB_GETCURSEL, 0, 0), 1);
    SendMessage(List, LB_DELETESTRING, 1, 0);
    EXPECT_EQ(SendMessage(List, LB_GETCURSEL, 0, 0), LB_ERR);
    SendMessage(List, LB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessage(List, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessage(List, LB_GETTOPINDEX, 0, 0), 0);
}

// Items that carry data tell their owner when they go (deleted, cleared or with the window), so
// that it can free what the data points to.
TEST_F(ListBox, ItemsWithDataAreReportedWhenTheyGo) {
    const HWND List = Make(0, {"a", "b", "c", "d"});
    SendMessage(List, LB_SETITEMDATA, 1, 11);
    SendMessage(List, LB_SETITEMDATA, 3, 33);
    std::vector<std::pair<UINT, ULONG_PTR>> Gone;
    Windows().Handlers[Form] = [&](HWND, UINT M, WPARAM, LPARAM Lp) -> std::optional<LRESULT> {
        if (M != WM_DELETEITEM) return std::nullopt;
        const auto* D = reinterpret_cast<const DELETEITEMSTRUCT*>(Lp);
        EXPECT_EQ(D->CtlType, ODT_LISTBOX);
        EXPECT_EQ(D->CtlID, kListId);
        EXPECT_EQ(D->hwndItem, List);
        Gone.emplace_back(D->itemID, D->itemData);
        return TRUE;
    };
    SendMessage(List, LB_DELETESTRING, 0, 0);
    SendMessage(List, LB_DELETESTRING, 0, 0);
    EXPECT_EQ(Gone, (std::vector<std::pair<UINT, ULONG_PTR>>{{0, 11}}));
    Add(List, "e");
    SendMessage(List, LB_SETITEMDATA, 2, 55);
    SendMessage(List, LB_RESETCONTENT, 0, 0);
    EXPECT_EQ(Gone, (std::vector<std::pair<UINT, ULONG_PTR>>{{0, 11}, {1, 33}, {2, 55}}));
    Add(List, "f");
    SendMessage(List, LB_SETITEMDATA, 0, 66);
    DestroyWindow(List);
    EXPECT_EQ(Gone.back(), (std::pair<UINT, ULONG_PTR>{0, 66}));
}

// --- looks -------------------------------------------------------------------------------------

TEST_F(ListBox, APictureShowsClassicLists) {
    std::vector<std::string> Many;
    for (int I = 0; I < 30; ++I) Many.push_back("Nachricht " + std::to_string(I) + " von Anna");
    const HWND Plain = Make(LBS_NOTIFY, {"Posteingang", "Postausgang", "Gesendet", "Papierkorb"});
    const HWND Greyed = Make(0, {"Abgeschaltet", "Grau"}, RECT{170, 10, 320, 110});
    const HWND Scrolled = Make(WS_VSCROLL | WS_HSCROLL, Many, RECT{10, 120, 160, 250});
    const HWND Extended = Make(LBS_EXTENDEDSEL | WS_VSCROLL | LBS_DISABLENOSCROLL,
                               {"eins", "zwei", "drei", "vier"}, RECT{170, 120, 320, 250});
    SendMessage(Plain, LB_SETCURSEL, 1, 0);
    SetFocus(Plain);
    EnableWindow(Greyed, FALSE);
    SendMessage(Greyed, LB_SETCURSEL, 0, 0);
    SendMessage(Scrolled, LB_SETHORIZONTALEXTENT, 300, 0);
    SendMessage(Scrolled, LB_SETTOPINDEX, 5, 0);
    SendMessage(Extended, LB_SELITEMRANGE, TRUE, MAKELPARAM(1, 2));
    Drain();
    ASSERT_TRUE(SaveWindowPicture(Form, Picture("listboxes")));
    RECT Item{};
    SendMessage(Plain, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&Item));
    // The frame is the client edge: the item's first pixel lies 2 pixels in.
    EXPECT_EQ(PixelAt(Plain, 2 + Item.right - 3, 2 + Item.top + 3),
              ColorOf(GetSysColor(COLOR_HIGHLIGHT)));
    EXPECT_EQ(PixelAt(Plain, 2 + Item.right - 3, 2 + Item.top - 3),
              ColorOf(GetSysColor(COLOR_WINDOW)));
    // Scroll bars take their room from the client area.
    RECT Client{};
    GetClientRect(Scrolled, &Client);
    EXPECT_EQ(Client.right, 150 - 4 - 16);
    EXPECT_EQ(SendMessage(Scrolled, LB_GETTOPINDEX, 0, 0), 5);
    // Kept while not needed: the bar stays, greyed.
    GetClientRect(Extended, &Client);
    EXPECT_EQ(Client.right, 150 - 4 - 16);
}

}  // namespace
