// The LISTBOX class: the classic answers to its messages, sorting and searching, the selection
// modes, notifications for what the user does (and only for that), owner draw, scrolling, and
// keyboard and mouse through real Qt input.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/controls/ItemList.h"
#include "platform/controls/ItemTexts.h"
#include "platform/controls/Limits.h"
#include "platform/controls/OwnerDraw.h"
#include "tests/platform/controls/ControlTestSupport.h"

using namespace ControlTest;

namespace {

constexpr UINT_PTR kListId = 201;

class ListBox : public TControlForm {
  protected:
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
    // Presses at From; the window's scroll bar follows the press in a loop of its own, in which
    // the script's steps run, each on a later turn. The last one lets go.
    void Hold(POINT From, TScript& Script) {
        MouseMove(Form, From);
        Script.Start();
        MousePress(Form, From);
        ASSERT_TRUE(PumpUntil([&] { return Script.Done(); }, 10000));
        Drain();
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
            List.Insert(At, TListBoxItem{"", static_cast<ULONG_PTR>(Step), 0, false});
            Model.insert(Model.begin() + At, Step);
        }
    }
    ASSERT_EQ(List.Count(), static_cast<int>(Model.size()));
    for (int I = 0; I < List.Count(); ++I)
        ASSERT_EQ(List[I].Data, static_cast<ULONG_PTR>(Model[I]));
    // A search from the middle wraps around once.
    std::vector<int> Visited;
    EXPECT_EQ(List.FindFrom(List.Count() - 2,
                            [&](int Index, const TListBoxItem&) {
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

// Texts come from a message cut at the limit (not read past it) and go back cut to the caller's
// buffer, always terminated.
TEST(ItemTexts, ComeFromMessagesCutAndGoBackTerminated) {
    EXPECT_EQ(ItemTextFrom(nullptr), "");
    EXPECT_EQ(ItemTextFrom("Posteingang"), "Posteingang");
    // Not terminated within the limit: only the limit is read.
    std::vector<char> Long(ControlsLimits::kMaxItemText, 'x');
    EXPECT_EQ(ItemTextFrom(Long.data()).size(), ControlsLimits::kMaxItemText);
    char Buffer[6] = {'#', '#', '#', '#', '#', '#'};
    EXPECT_EQ(ItemTextTo("Gesendet", Buffer, 6), 5);
    EXPECT_STREQ(Buffer, "Gesen");
    EXPECT_EQ(ItemTextTo("ab", Buffer, 6), 2);
    EXPECT_STREQ(Buffer, "ab");
    Buffer[0] = '#';
    EXPECT_EQ(ItemTextTo("ab", Buffer, 0), 0);
    EXPECT_EQ(ItemTextTo("ab", Buffer, -3), 0);
    EXPECT_EQ(Buffer[0], '#');
    EXPECT_EQ(ItemTextTo("ab", nullptr, 6), 0);
}

// --- messages -----------------------------------------------------------------------------------

TEST_F(ListBox, MessagesGiveTheClassicAnswers) {
    const HWND List = Make(LBS_NOTIFY, {"alpha", "beta", "gamma"});
    const HWND Multi = Make(LBS_EXTENDEDSEL, {"one", "two"});
    RECT R{};
    const TMessageAnswer Cases[] = {
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
        {"storage beyond the limit", List, LB_INITSTORAGE,
         static_cast<WPARAM>(ControlsLimits::kMaxListItems), 0, LB_ERRSPACE},
        {"storage", List, LB_INITSTORAGE, 100, 0, 103},
        {"not offered", List, LB_GETTOPINDEX - 1, 0, 0, LB_ERR},
        {"delete answers what is left", List, LB_DELETESTRING, 0, 0, 2},
        {"insert at the end", List, LB_INSERTSTRING, static_cast<WPARAM>(-1),
         reinterpret_cast<LPARAM>("omega"), 2},
    };
    ExpectAnswers(Cases);
    EXPECT_EQ(Texts(List), (std::vector<std::string>{"beta", "gamma", "omega"}));
    EXPECT_TRUE(Codes(List).empty());
}

// A text over the limit (a mail's 100 KB subject, a megabyte header line) is taken cut to the
// limit, as window texts are, wherever it is added or inserted, and reads back cut.
TEST_F(ListBox, TextsOverTheLimitAreTakenCut) {
    const HWND List = Make(LBS_NOTIFY, {"alpha"});
    const HWND Sorted = Make(LBS_SORT, {"b", "z"});
    std::string Long(100 * 1024, 'x');
    Long[ControlsLimits::kMaxItemText - 1] = 'y';
    EXPECT_EQ(Add(List, Long.c_str()), 1);
    EXPECT_EQ(SendMessage(List, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(Long.c_str())), 0);
    EXPECT_EQ(Add(Sorted, Long.c_str()), 1);
    const std::string Cut = Long.substr(0, ControlsLimits::kMaxItemText);
    EXPECT_EQ(SendMessage(List, LB_GETTEXTLEN, 0, 0), LRESULT(ControlsLimits::kMaxItemText));
    EXPECT_EQ(Texts(List), (std::vector<std::string>{Cut, "alpha", Cut}));
    EXPECT_EQ(Texts(Sorted), (std::vector<std::string>{"b", Cut, "z"}));
    EXPECT_TRUE(Codes(List).empty());
    EXPECT_TRUE(Codes(Sorted).empty());
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

// --- what the user does ---------------------------------------------------------------------

std::vector<int> SelectedOf(HWND List) {
    std::vector<int> Out;
    const auto N = static_cast<int>(SendMessage(List, LB_GETCOUNT, 0, 0));
    for (int I = 0; I < N; ++I)
        if (SendMessage(List, LB_GETSEL, static_cast<WPARAM>(I), 0) > 0) Out.push_back(I);
    return Out;
}

const std::vector<std::string> kFolders = {"Posteingang", "Postausgang", "Gesendet",
                                           "Papierkorb",  "Entw\xFCrfe", "Archiv"};

// Every click tells the parent once (LBN_SELCHANGE, when the button goes up); the selection
// follows the mode's rules.
TEST_F(ListBox, ClicksSelectAsTheModeSaysAndNotifyOncePerClick) {
    struct TClick {
        int Item;
        Qt::KeyboardModifiers Mods;
        std::vector<int> Selected;
    };
    struct TMode {
        const char* Name;
        DWORD Style;
        std::vector<TClick> Clicks;
    };
    const TMode Modes[] = {
        {"single", 0, {{1, {}, {1}}, {3, {}, {3}}, {3, {}, {3}}}},
        {"multiple", LBS_MULTIPLESEL, {{1, {}, {1}}, {3, {}, {1, 3}}, {1, {}, {3}}}},
        {"extended",
         LBS_EXTENDEDSEL,
         {{1, {}, {1}},
          {3, Qt::ShiftModifier, {1, 2, 3}},
          {2, Qt::ControlModifier, {1, 3}},
          {5, Qt::ControlModifier, {1, 3, 5}},
          {4, {}, {4}},
          {0, Qt::ShiftModifier, {0, 1, 2, 3, 4}}}},
        {"no selection", LBS_NOSEL, {{1, {}, {}}, {2, {}, {}}}},
    };
    for (const TMode& M : Modes) {
        SCOPED_TRACE(M.Name);
        const HWND List = Make(LBS_NOTIFY | M.Style, kFolders, RECT{10, 10, 160, 150});
        SetFocus(List);
        for (const TClick& C : M.Clicks) {
            SCOPED_TRACE(C.Item);
            Windows().Log.clear();
            Click(List, C.Item, C.Mods);
            EXPECT_EQ(SelectedOf(List), C.Selected);
            EXPECT_EQ(SendMessage(List, LB_GETCARETINDEX, 0, 0), C.Item);
            EXPECT_EQ(Codes(List),
                      M.Style & LBS_NOSEL ? std::vector<WORD>{} : std::vector<WORD>{LBN_SELCHANGE});
            EXPECT_EQ(GetCapture(), 0u);
        }
        DestroyWindow(List);
    }
}

TEST_F(ListBox, APressTakesTheFocusAndADragFollowsThePointer) {
    const HWND List = Make(LBS_NOTIFY, kFolders, RECT{10, 10, 160, 150});
    const HWND Extended = Make(LBS_NOTIFY | LBS_EXTENDEDSEL, kFolders, RECT{170, 10, 320, 150});
    MousePress(Form, ItemPoint(List, 0));
    Drain();
    EXPECT_EQ(GetFocus(), List);
    EXPECT_EQ(GetCapture(), List);
    MouseMove(Form, ItemPoint(List, 1));
    MouseMove(Form, ItemPoint(List, 2));
    Drain();
    EXPECT_EQ(SendMessage(List, LB_GETCURSEL, 0, 0), 2);
    // Below the last item the nearest item is the last one.
    RECT Client;
    GetClientRect(List, &Client);
    MouseRelease(Form, ScreenOf(List, POINT{20, Client.bottom - 2}));
    Drain();
    EXPECT_EQ(SendMessage(List, LB_GETCURSEL, 0, 0), 5);
    EXPECT_EQ(Codes(List), (std::vector<WORD>{LBN_SETFOCUS, LBN_SELCHANGE}));
    Windows().Log.clear();
    MousePress(Form, ItemPoint(Extended, 1));
    MouseMove(Form, ItemPoint(Extended, 2));
    MouseMove(Form, ItemPoint(Extended, 3));
    MouseRelease(Form, ItemPoint(Extended, 3));
    Drain();
    EXPECT_EQ(SelectedOf(Extended), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(Codes(Extended), (std::vector<WORD>{LBN_SETFOCUS, LBN_SELCHANGE}));
    EXPECT_EQ(Codes(List), (std::vector<WORD>{LBN_KILLFOCUS}));
    // Taking the capture away in the middle of a drag cancels it.
    Windows().Log.clear();
    MousePress(Form, ItemPoint(Extended, 0));
    Drain();
    SetCapture(Form);
    ReleaseCapture();
    MouseRelease(Form, ItemPoint(Extended, 0));
    Drain();
    EXPECT_EQ(Codes(Extended), (std::vector<WORD>{LBN_SELCANCEL}));
    // A double click tells LBN_DBLCLK after the click's LBN_SELCHANGE.
    Windows().Log.clear();
    MouseDoubleClick(Form, ItemPoint(Extended, 4));
    Drain();
    EXPECT_EQ(Codes(Extended), (std::vector<WORD>{LBN_SELCHANGE, LBN_DBLCLK}));
    EXPECT_EQ(SelectedOf(Extended), (std::vector<int>{4}));
}

TEST_F(ListBox, KeysMoveTheCaretAndTheSelectionAsTheModeSays) {
    std::vector<std::string> Many;
    for (int I = 0; I < 20; ++I) Many.push_back("Eintrag " + std::to_string(100 + I));
    const HWND List = Make(LBS_NOTIFY | WS_VSCROLL, Many);
    SetFocus(List);
    Windows().Log.clear();
    const int Page = static_cast<int>(SendMessage(List, LB_GETITEMHEIGHT, 0, 0));
    RECT Client;
    GetClientRect(List, &Client);
    const int Rows = Client.bottom / Page;
    struct TStep {
        Qt::Key Key;
        Qt::KeyboardModifiers Mods;
        int Selected;
    };
    // The first arrow selects the item with the caret; an arrow at the end changes nothing.
    for (const TStep& S :
         {TStep{Qt::Key_Down, {}, 0}, TStep{Qt::Key_Down, {}, 1}, TStep{Qt::Key_Up, {}, 0},
          TStep{Qt::Key_Up, {}, 0}, TStep{Qt::Key_End, {}, 19}, TStep{Qt::Key_Home, {}, 0},
          TStep{Qt::Key_PageDown, {}, Rows - 1}, TStep{Qt::Key_PageDown, {}, 2 * (Rows - 1)},
          TStep{Qt::Key_PageUp, {}, Rows - 1}}) {
        Key(S.Key, S.Mods);
        EXPECT_EQ(SendMessage(List, LB_GETCURSEL, 0, 0), S.Selected);
        // The caret item is always shown.
        const auto Top = static_cast<int>(SendMessage(List, LB_GETTOPINDEX, 0, 0));
        EXPECT_GE(S.Selected, Top);
        EXPECT_LT(S.Selected, Top + Rows);
    }
    EXPECT_EQ(Codes(List), std::vector<WORD>(8, LBN_SELCHANGE));
    // Extended: Shift extends from the anchor, Ctrl moves the caret alone, Ctrl+Space marks.
    const HWND Extended = Make(LBS_NOTIFY | LBS_EXTENDEDSEL, kFolders, RECT{170, 10, 320, 150});
    SetFocus(Extended);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(SelectedOf(Extended), (std::vector<int>{0, 1, 2}));
    Key(Qt::Key_Down, Qt::ControlModifier);
    Key(Qt::Key_Down, Qt::ControlModifier);
    Key(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(SelectedOf(Extended), (std::vector<int>{0, 1, 2, 4}));
    EXPECT_EQ(SendMessage(Extended, LB_GETCARETINDEX, 0, 0), 4);
    // Multiple: the arrows move the caret, Space toggles.
    const HWND Multiple = Make(LBS_NOTIFY | LBS_MULTIPLESEL, kFolders, RECT{170, 160, 320, 290});
    SetFocus(Multiple);
    Windows().Log.clear();
    Key(Qt::Key_Down);
    Key(Qt::Key_Space);
    Key(Qt::Key_Down);
    Key(Qt::Key_Space);
    Key(Qt::Key_Space);
    EXPECT_EQ(SelectedOf(Multiple), (std::vector<int>{1}));
    EXPECT_EQ(Codes(Multiple), std::vector<WORD>(5, LBN_SELCHANGE));
}

TEST_F(ListBox, TypedCharactersFindItemsByTheirBeginning) {
    const HWND List =
        Make(LBS_NOTIFY, {"Anton", "Berta", "Bruno", "C\xE4sar", "Bertram", "\xC4rger"});
    SetFocus(List);
    QTest::keyClick(QtWindowOf(Form), 'b');
    Drain();
    EXPECT_EQ(SendMessage(List, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(Codes(List), (std::vector<WORD>{LBN_SETFOCUS, LBN_SELCHANGE}));
    struct TStep {
        int From;
        const char* Typed;
        int Selected;
    };
    // Letters posted together arrive in quick succession (one prefix); one letter again and again
    // steps through the items it begins. Moving the caret otherwise starts a new prefix.
    for (const TStep& S : {TStep{0, "b", 1}, TStep{0, "bb", 2}, TStep{0, "bbbb", 1},
                           TStep{0, "br", 2}, TStep{0, "BERTR", 4}, TStep{0, "\xE4", 5},
                           TStep{0, "c\xE4", 3}, TStep{3, "x", 3}, TStep{2, "a", 0}}) {
        SCOPED_TRACE(S.Typed);
        SendMessage(List, LB_SETCURSEL, static_cast<WPARAM>(S.From), 0);
        for (const char* C = S.Typed; *C; ++C)
            PostMessage(List, WM_CHAR, static_cast<unsigned char>(*C), 0);
        Drain();
        EXPECT_EQ(SendMessage(List, LB_GETCURSEL, 0, 0), S.Selected);
    }
}

// With LBS_WANTKEYBOARDINPUT the parent sees every key first: -2 takes it, an index makes the
// key act from that item, -1 leaves it to the list.
TEST_F(ListBox, TheParentMayTakeOrRedirectKeys) {
    const HWND List = Make(LBS_WANTKEYBOARDINPUT, kFolders);
    LRESULT Answer = -1;
    std::vector<std::pair<WORD, WORD>> Asked;
    Windows().Handlers[Form] = [&](HWND, UINT M, WPARAM Wp, LPARAM) -> std::optional<LRESULT> {
        if (M != WM_VKEYTOITEM) return std::nullopt;
        Asked.emplace_back(LOWORD(Wp), HIWORD(Wp));
        return Answer;
    };
    SetFocus(List);
    SendMessage(List, LB_SETCURSEL, 1, 0);
    Answer = -2;
    Key(Qt::Key_Down);
    EXPECT_EQ(SendMessage(List, LB_GETCURSEL, 0, 0), 1);
    Answer = 3;
    Key(Qt::Key_Down);
    EXPECT_EQ(SendMessage(List, LB_GETCURSEL, 0, 0), 4);
    Answer = -1;
    Key(Qt::Key_Up);
    EXPECT_EQ(SendMessage(List, LB_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(Asked, (std::vector<std::pair<WORD, WORD>>{{VK_DOWN, 1}, {VK_DOWN, 1}, {VK_UP, 4}}));
}

// --- owner draw ---------------------------------------------------------------------------------

struct TDrawn {
    UINT Item;
    UINT Action;
    UINT State;
    bool operator==(const TDrawn&) const = default;
};

// A fixed list is measured once, when it is made; the parent draws each item on the context it
// is handed, with the action a change calls for, and what it draws is what shows.
TEST_F(ListBox, OwnerDrawnItemsAreMeasuredOnceAndDrawnByTheParent) {
    std::vector<MEASUREITEMSTRUCT> Measured;
    std::vector<TDrawn> Drawn;
    const COLORREF Colours[] = {RGB(230, 200, 0), RGB(0, 160, 160), RGB(160, 0, 160)};
    Windows().Handlers[Form] = [&](HWND, UINT M, WPARAM, LPARAM Lp) -> std::optional<LRESULT> {
        if (M == WM_MEASUREITEM) {
            auto* Item = reinterpret_cast<MEASUREITEMSTRUCT*>(Lp);
            Measured.push_back(*Item);
            Item->itemHeight = 34;
            return TRUE;
        }
        if (M != WM_DRAWITEM) return std::nullopt;
        const auto* D = reinterpret_cast<const DRAWITEMSTRUCT*>(Lp);
        EXPECT_EQ(D->CtlType, ODT_LISTBOX);
        EXPECT_EQ(D->CtlID, kListId);
        Drawn.push_back({D->itemID, D->itemAction, D->itemState});
        if (D->itemID == static_cast<UINT>(-1)) return TRUE;
        const HBRUSH Brush = CreateSolidBrush(Colours[D->itemID % 3]);
        RECT R = D->rcItem;
        FillRect(D->hDC, &R, Brush);
        DeleteObject(Brush);
        SetBkMode(D->hDC, TRANSPARENT);
        std::string Text(64, '\0');
        Text.resize(static_cast<size_t>(SendMessage(D->hwndItem, LB_GETTEXT, D->itemID,
                                                    reinterpret_cast<LPARAM>(Text.data()))));
        TextOut(D->hDC, R.left + 4, R.top + 2, Text);
        if (D->itemState & ODS_SELECTED) {
            InflateRect(&R, -4, -4);
            FrameRect(D->hDC, &R, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        }
        if (D->itemState & ODS_FOCUS) DrawFocusRect(D->hDC, &D->rcItem);
        return TRUE;
    };
    const HWND List = CreateWindowEx(WS_EX_CLIENTEDGE, "LISTBOX", "",
                                     WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                                         LBS_NOTIFY | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
                                     10, 10, 200, 110, Form, kListId, 0, nullptr);
    ASSERT_EQ(Measured.size(), 1u);
    EXPECT_EQ(Measured[0].CtlType, ODT_LISTBOX);
    EXPECT_EQ(Measured[0].itemID, 0u);
    EXPECT_GT(Measured[0].itemHeight, 0u);
    EXPECT_EQ(SendMessage(List, LB_GETITEMHEIGHT, 0, 0), 34);
    // An empty list that has the focus asks for its focus alone.
    SetFocus(List);
    Drain();
    EXPECT_EQ(Drawn, (std::vector<TDrawn>{{static_cast<UINT>(-1), ODA_FOCUS, ODS_FOCUS}}));
    for (const char* T : {"Re: Treffen", "Rechnung", "Urlaub", "Newsletter"}) Add(List, T);
    SendMessage(List, LB_SETCURSEL, 0, 0);
    Drawn.clear();
    Drain();
    EXPECT_EQ(Measured.size(), 1u);
    // Three items and part of the fourth show.
    EXPECT_EQ(Drawn, (std::vector<TDrawn>{{0, ODA_DRAWENTIRE, ODS_SELECTED | ODS_FOCUS},
                                          {1, ODA_DRAWENTIRE, 0},
                                          {2, ODA_DRAWENTIRE, 0},
                                          {3, ODA_DRAWENTIRE, 0}}));
    // A click draws what changed: the selection first, then the caret.
    Drawn.clear();
    Click(List, 1);
    EXPECT_EQ(Drawn, (std::vector<TDrawn>{{0, ODA_SELECT, ODS_FOCUS},
                                          {1, ODA_SELECT, ODS_SELECTED},
                                          {0, ODA_FOCUS, 0},
                                          {1, ODA_FOCUS, ODS_SELECTED | ODS_FOCUS}}));
    Drawn.clear();
    SetFocus(Form);
    EXPECT_EQ(Drawn, (std::vector<TDrawn>{{1, ODA_FOCUS, ODS_SELECTED}}));
    Drawn.clear();
    EnableWindow(List, FALSE);
    Drain();
    ASSERT_FALSE(Drawn.empty());
    EXPECT_EQ(Drawn[0].State & ODS_DISABLED, ODS_DISABLED);
    EnableWindow(List, TRUE);
    SetFocus(List);
    Drain();
    ASSERT_TRUE(SaveWindowPicture(Form, ControlPicturePath("listbox-ownerdraw")));
    // The parent's drawing is what shows: item 2's colour, item 1's frame (client edge: 2).
    EXPECT_EQ(PixelAt(List, 2 + 150, 2 + 2 * 34 + 30), ColorOf(Colours[2]));
    EXPECT_EQ(PixelAt(List, 2 + 4, 2 + 34 + 20), ColorOf(RGB(0, 0, 0)));
    EXPECT_EQ(PixelAt(List, 2 + 2, 2 + 34 + 20), ColorOf(Colours[1]));
}

TEST_F(ListBox, VariableItemsAreMeasuredOneByOneAndSortedByTheOwner) {
    int Compared = 0;
    Windows().Handlers[Form] = [&](HWND, UINT M, WPARAM, LPARAM Lp) -> std::optional<LRESULT> {
        if (M == WM_MEASUREITEM) {
            auto* Item = reinterpret_cast<MEASUREITEMSTRUCT*>(Lp);
            Item->itemHeight = static_cast<UINT>(Item->itemData);
            return TRUE;
        }
        if (M == WM_COMPAREITEM) {
            ++Compared;
            const auto* C = reinterpret_cast<const COMPAREITEMSTRUCT*>(Lp);
            return C->itemData1 < C->itemData2 ? -1 : C->itemData1 > C->itemData2 ? 1 : 0;
        }
        return std::nullopt;
    };
    const HWND List =
        Make(LBS_OWNERDRAWVARIABLE | LBS_SORT | LBS_NOINTEGRALHEIGHT, {}, RECT{10, 10, 160, 54});
    for (const LPARAM Height : {LPARAM(30), LPARAM(10), LPARAM(20)})
        SendMessage(List, LB_ADDSTRING, 0, Height);
    EXPECT_GT(Compared, 0);
    // Without strings an item is its data.
    EXPECT_EQ(SendMessage(List, LB_GETITEMDATA, 1, 0), 20);
    ULONG_PTR Data = 0;
    EXPECT_EQ(SendMessage(List, LB_GETTEXT, 2, reinterpret_cast<LPARAM>(&Data)),
              static_cast<LRESULT>(sizeof Data));
    EXPECT_EQ(Data, 30u);
    EXPECT_EQ(SendMessage(List, LB_FINDSTRING, static_cast<WPARAM>(-1), 20), 1);
    std::vector<LONG> Tops;
    for (int I = 0; I < 3; ++I) {
        RECT R{};
        SendMessage(List, LB_GETITEMRECT, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(&R));
        Tops.push_back(R.top);
        EXPECT_EQ(SendMessage(List, LB_GETITEMHEIGHT, static_cast<WPARAM>(I), 0), R.bottom - R.top);
    }
    EXPECT_EQ(Tops, (std::vector<LONG>{0, 10, 30}));
    EXPECT_EQ(SendMessage(List, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, 25)), MAKELONG(1, 0));
    EXPECT_EQ(SendMessage(List, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, 300)), MAKELONG(2, 1));
    // The last item (30 of 40 pixels) may be the top one, as nothing else fits with it.
    EXPECT_EQ(SendMessage(List, LB_SETTOPINDEX, 2, 0), LB_OKAY);
    EXPECT_EQ(SendMessage(List, LB_GETTOPINDEX, 0, 0), 2);
    SendMessage(List, WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(SendMessage(List, LB_GETTOPINDEX, 0, 0), 0);
    // Typed characters of a list without strings are the owner's to map (WM_CHARTOITEM).
    SetWindowLongPtr(List, GWL_STYLE, GetWindowLongPtr(List, GWL_STYLE) | LBS_WANTKEYBOARDINPUT);
    Windows().Handlers[Form] = [&](HWND, UINT M, WPARAM Wp, LPARAM) -> std::optional<LRESULT> {
        if (M == WM_CHARTOITEM) return LOWORD(Wp) == 'z' ? 2 : -2;
        return std::nullopt;
    };
    SendMessage(List, LB_SETCARETINDEX, 0, 0);
    SendMessage(List, WM_CHAR, 'a', 0);
    EXPECT_EQ(SendMessage(List, LB_GETCARETINDEX, 0, 0), 0);
    SendMessage(List, WM_CHAR, 'z', 0);
    EXPECT_EQ(SendMessage(List, LB_GETCARETINDEX, 0, 0), 2);
}

TEST_F(ListBox, ColoursComeFromTheParent) {
    const HBRUSH Yellow = CreateSolidBrush(RGB(255, 255, 192));
    Windows().Handlers[Form] = [&](HWND, UINT M, WPARAM Wp, LPARAM) -> std::optional<LRESULT> {
        if (M != WM_CTLCOLORLISTBOX) return std::nullopt;
        SetTextColor(reinterpret_cast<HDC>(Wp), RGB(128, 0, 0));
        SetBkColor(reinterpret_cast<HDC>(Wp), RGB(255, 255, 192));
        return static_cast<LRESULT>(Yellow);
    };
    const HWND List = Make(0, {"gelb"});
    InvalidateRect(List, nullptr, TRUE);
    Drain();
    EXPECT_FALSE(Windows().Of(Form, {WM_CTLCOLORLISTBOX}).empty());
    EXPECT_EQ(PixelAt(List, 100, 60), ColorOf(RGB(255, 255, 192)));
    EXPECT_EQ(PixelAt(List, 100, 4), ColorOf(RGB(255, 255, 192)));
    DestroyWindow(List);
    DeleteObject(Yellow);
}

// --- scrolling ----------------------------------------------------------------------------------

TEST_F(ListBox, TheScrollBarScrollsByLinePageAndThumb) {
    std::vector<std::string> Many;
    for (int I = 0; I < 40; ++I) Many.push_back("Zeile " + std::to_string(I));
    const HWND List = Make(WS_VSCROLL, Many, RECT{10, 10, 160, 150});
    RECT Client;
    GetClientRect(List, &Client);
    const auto Height = static_cast<int>(SendMessage(List, LB_GETITEMHEIGHT, 0, 0));
    const int Rows = Client.bottom / Height;
    const int Last = 40 - Rows;
    auto Top = [&] { return static_cast<int>(SendMessage(List, LB_GETTOPINDEX, 0, 0)); };
    EXPECT_EQ(SendMessage(List, LB_SETTOPINDEX, 39, 0), LB_OKAY);
    EXPECT_EQ(Top(), Last);
    SendMessage(List, LB_SETTOPINDEX, 0, 0);
    // The bar lies right of the client area, inside the edge.
    RECT Window;
    GetWindowRect(List, &Window);
    const LONG BarX = Window.right - 2 - 8;
    const POINT Down{BarX, Window.bottom - 2 - 8};
    // The held arrow scrolls a line at once and repeats on its timer; the release waits for two.
    int FirstTop = -1;
    HWND Held = 0;
    bool Repeated = false;
    QObject Context;  // pending checks go with the test
    std::function<void()> Wait = [&] {
        if (FirstTop < 0) FirstTop = Top();
        if (Top() >= 2) {
            Held = GetCapture();
            Repeated = true;
            MouseRelease(Form, Down);
            return;
        }
        QTimer::singleShot(5, &Context, [&] { Wait(); });
    };
    MouseMove(Form, Down);
    QTimer::singleShot(1, &Context, [&] { Wait(); });
    MousePress(Form, Down);
    ASSERT_TRUE(PumpUntil([&] { return Repeated; }, 10000));
    Drain();
    EXPECT_EQ(FirstTop, 1);
    EXPECT_EQ(Held, List);
    EXPECT_EQ(GetCapture(), 0u);
    // Nothing repeats after the release.
    const int Released = Top();
    EXPECT_GE(Released, 2);
    Drain();
    EXPECT_EQ(Top(), Released);
    SendMessage(List, LB_SETTOPINDEX, 2, 0);
    // The track below the thumb pages.
    MouseClick(Form, POINT{BarX, Window.bottom - 2 - 16 - 4});
    Drain();
    EXPECT_EQ(Top(), 2 + Rows);
    // The thumb dragged to the end shows the last page, and back to the start the first.
    const int Track = Window.bottom - Window.top - 4 - 32;
    const int ThumbLength = std::max(8, Track * Rows / 40);
    const POINT Thumb{BarX,
                      Window.top + 2 + 16 + (Track - ThumbLength) * Top() / Last + ThumbLength / 2};
    // Each reading waits until the loop has taken the move before it: on a busy machine the next
    // step's timer can come due inside the same turn of the loop as the step that moved.
    int AtEnd = -1;
    Held = 0;
    const int BeforeDrag = Top();
    TScript Drag;
    Drag.Then([&] {
            Held = GetCapture();
            MouseMove(Form, POINT{BarX, Window.bottom + 40});
        })
        .ThenWhen([&] { return Top() != BeforeDrag; },
                  [&] {
                      AtEnd = Top();
                      MouseMove(Form, POINT{BarX, Window.top - 40});
                  })
        .ThenWhen([&] { return Top() != AtEnd; },
                  [&] {
                      MouseRelease(Form, POINT{BarX, Window.top - 40});
                  });
    Hold(Thumb, Drag);
    EXPECT_EQ(Held, List);
    EXPECT_EQ(AtEnd, Last);
    EXPECT_EQ(Top(), 0);
    EXPECT_EQ(GetCapture(), 0u);
    // The wheel scrolls three lines a notch.
    SendMessage(List, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(Top(), 3);
    // A selection made by message is scrolled into view.
    SendMessage(List, LB_SETCURSEL, 39, 0);
    EXPECT_EQ(Top(), Last);
}

// Requests to the horizontal bar move the items sideways: half an item's height a line, the
// client's width a page, or to either end, never past the extent.
TEST_F(ListBox, TheHorizontalBarScrollsByLinePageAndToTheEnds) {
    const HWND List = Make(WS_HSCROLL, {"eine Zeile, breiter als die Liste"});
    SendMessage(List, LB_SETHORIZONTALEXTENT, 600, 0);
    RECT Client;
    GetClientRect(List, &Client);
    const int Page = Client.right;
    const int Line = std::max(1, static_cast<int>(SendMessage(List, LB_GETITEMHEIGHT, 0, 0)) / 2);
    auto Scroll = [&](WORD Code) {
        SendMessage(List, WM_HSCROLL, Code, 0);
        RECT R{};
        SendMessage(List, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&R));
        return -R.left;
    };
    EXPECT_EQ(Scroll(SB_LINERIGHT), Line);
    EXPECT_EQ(Scroll(SB_PAGERIGHT), Line + Page);
    EXPECT_EQ(Scroll(SB_LINELEFT), Page);
    EXPECT_EQ(Scroll(SB_RIGHT), 600 - Page);
    EXPECT_EQ(Scroll(SB_PAGERIGHT), 600 - Page);
    EXPECT_EQ(Scroll(SB_PAGELEFT), 600 - 2 * Page);
    EXPECT_EQ(Scroll(SB_ENDSCROLL), 600 - 2 * Page);
    EXPECT_EQ(Scroll(SB_LEFT), 0);
    EXPECT_EQ(Scroll(SB_PAGELEFT), 0);
}

TEST_F(ListBox, TheHeightIsCutToWholeItemsUnlessAskedNotTo) {
    const HWND Integral = Make(0, {"a"}, RECT{10, 10, 160, 105});
    const HWND Free = Make(LBS_NOINTEGRALHEIGHT, {"a"}, RECT{170, 10, 320, 105});
    const auto Height = static_cast<int>(SendMessage(Integral, LB_GETITEMHEIGHT, 0, 0));
    RECT Client;
    GetClientRect(Integral, &Client);
    EXPECT_EQ(Client.bottom % Height, 0);
    EXPECT_GT(Client.bottom, 95 - 4 - Height);
    MoveWindow(Integral, 10, 10, 150, 77, TRUE);
    GetClientRect(Integral, &Client);
    EXPECT_EQ(Client.bottom % Height, 0);
    GetClientRect(Free, &Client);
    EXPECT_EQ(Client.bottom, 95 - 4);
}

TEST_F(ListBox, AListDestroyedFromItsOwnNotificationGoesSafely) {
    const HWND List = Make(LBS_NOTIFY, kFolders);
    Windows().Handlers[Form] = [&](HWND, UINT M, WPARAM Wp, LPARAM) -> std::optional<LRESULT> {
        if (M == WM_COMMAND && HIWORD(Wp) == LBN_SELCHANGE) DestroyWindow(List);
        return std::nullopt;
    };
    Click(List, 2);
    EXPECT_FALSE(IsWindow(List));
    EXPECT_EQ(GetCapture(), 0u);
    SetFocus(Form);
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
    ASSERT_TRUE(SaveWindowPicture(Form, ControlPicturePath("listboxes")));
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
