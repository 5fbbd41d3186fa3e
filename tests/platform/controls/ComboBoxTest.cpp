// The COMBOBOX class: its parts (edit, field, dropped-down list), the answers to its messages,
// the list opening under it and closing (chosen, cancelled by Escape or a click outside), the
// order of the notifications, and keyboard, mouse and focus through real Qt input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/controls/OwnerDraw.h"
#include "platform/core/Screens.h"
#include "platform/core/Wrapping.h"
#include "tests/platform/controls/ControlTestSupport.h"

using namespace ControlTest;

namespace {

constexpr UINT_PTR kComboId = 301;

class ComboBox : public TControlForm {
  protected:
    // A window beside the combo boxes holds the focus.
    void SetUp() override {
        TControlForm::SetUp();
        Other = Guard(Windows().Create(0, WS_CHILD | WS_VISIBLE, {300, 300, 340, 320}, Form));
        SetFocus(Other);
        Drain();
    }

    HWND Make(DWORD Style, std::vector<std::string> Items = {}, RECT R = {10, 10, 160, 150}) {
        const HWND Combo =
            CreateWindowEx(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | Style, R.left, R.top,
                           R.right - R.left, R.bottom - R.top, Form, kComboId, 0, nullptr);
        EXPECT_NE(Combo, 0u);
        for (const std::string& T : Items)
            SendMessage(Combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(T.c_str()));
        Drain();
        Windows().Recorded = {WM_COMMAND, WM_DRAWITEM, WM_MEASUREITEM};
        Windows().Log.clear();
        return Combo;
    }
    static HWND ChildOf(HWND Combo, const char* Class) {
        for (HWND C = GetWindow(Combo, GW_CHILD); C; C = GetWindow(C, GW_HWNDNEXT))
            if (GetClassName(C) == Class) return C;
        return 0;
    }
    static HWND EditOf(HWND Combo) { return ChildOf(Combo, "EDIT"); }
    // The dropped-down list: the popup owned by the form that is not the form.
    static HWND ListOf(HWND Combo) {
        HWND Found = 0;
        EnumWindows(
            [&](HWND W, LPARAM) {
                if (GetClassName(W) == "ComboLBox" &&
                    GetWindow(W, GW_OWNER) == GetAncestor(Combo, GA_ROOT)) {
                    Found = W;
                    return FALSE;
                }
                return TRUE;
            },
            0);
        return Found;
    }
    static LRESULT Sel(HWND Combo) { return SendMessage(Combo, CB_GETCURSEL, 0, 0); }
    // The centre of the combo box's button, on the screen.
    static POINT ButtonPoint(HWND Combo) {
        RECT R;
        GetWindowRect(Combo, &R);
        return POINT{R.right - 10, (R.top + R.bottom) / 2};
    }
    static POINT ItemPoint(HWND List, int Index) {
        RECT R{};
        SendMessage(List, LB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&R));
        return ScreenOf(List, POINT{10, (R.top + R.bottom) / 2});
    }
    void Key(Qt::Key K, Qt::KeyboardModifiers Mods = {}) {
        QTest::keyClick(QtWindowOf(Form), K, Mods);
        Drain();
    }
    void Type(const char* Keys) {
        for (const char* K = Keys; *K; ++K) QTest::keyClick(QtWindowOf(Form), *K);
        Drain();
    }
    void Clear() { Windows().Log.clear(); }

    HWND Other = 0;
};

const std::vector<std::string> kServers = {"news.example.org", "mail.example.org",
                                           "pop.example.org", "smtp.example.org"};

TEST_F(ComboBox, ADropDownIsAsHighAsItsFieldAndOwnsAnEditAndAHiddenList) {
    const HWND Combo = Make(CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL, kServers);
    RECT R;
    GetWindowRect(Combo, &R);
    const LRESULT Field = SendMessage(Combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(R.bottom - R.top, Field + 6);
    EXPECT_EQ(Field, SendMessage(Combo, CB_GETITEMHEIGHT, 0, 0) + 2);
    RECT Dropped{};
    SendMessage(Combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&Dropped));
    EXPECT_EQ(Dropped, (RECT{R.left, R.top, R.right, R.top + 140}));
    // A later size asked is the size with the list.
    MoveWindow(Combo, 10, 10, 200, 90, TRUE);
    GetWindowRect(Combo, &R);
    EXPECT_EQ(R.bottom - R.top, Field + 6);
    EXPECT_EQ(R.right - R.left, 200);
    SendMessage(Combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&Dropped));
    EXPECT_EQ(Dropped.bottom - Dropped.top, 90);
    const HWND Edit = EditOf(Combo);
    EXPECT_EQ(GetClassName(Edit), "EDIT");
    EXPECT_EQ(GetWindowLongPtr(Edit, GWLP_ID), static_cast<LONG_PTR>(kComboEditId));
    const HWND List = ListOf(Combo);
    ASSERT_NE(List, 0u);
    EXPECT_FALSE(IsWindowVisible(List));
    EXPECT_EQ(SendMessage(List, LB_GETCOUNT, 0, 0), 4);
    // A drop-down list has no edit.
    const HWND DropList = Make(CBS_DROPDOWNLIST, kServers, RECT{10, 50, 160, 150});
    EXPECT_EQ(EditOf(DropList), 0u);
    DestroyWindow(Combo);
    EXPECT_FALSE(IsWindow(List));
}

TEST_F(ComboBox, MessagesGiveTheListAnswersAndNeverNotify) {
    const HWND Combo = Make(CBS_DROPDOWN | CBS_SORT, kServers);
    const HWND Fixed = Make(CBS_DROPDOWNLIST, kServers, RECT{10, 50, 160, 150});
    char Buffer[64] = {};
    DWORD Start = 0;
    DWORD End = 0;
    const TMessageAnswer Cases[] = {
        {"count", Combo, CB_GETCOUNT, 0, 0, 4},
        {"sorted", Combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("imap.example.org"), 0},
        {"text", Combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(Buffer), 16},
        {"text of no item", Combo, CB_GETLBTEXT, 9, reinterpret_cast<LPARAM>(Buffer), CB_ERR},
        {"text length", Combo, CB_GETLBTEXTLEN, 0, 0, 16},
        {"prefix", Combo, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("POP"),
         3},
        {"exact miss", Combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
         reinterpret_cast<LPARAM>("pop"), CB_ERR},
        {"no selection", Combo, CB_GETCURSEL, 0, 0, CB_ERR},
        {"select", Combo, CB_SETCURSEL, 2, 0, 2},
        {"selected", Combo, CB_GETCURSEL, 0, 0, 2},
        {"select by prefix", Combo, CB_SELECTSTRING, static_cast<WPARAM>(-1),
         reinterpret_cast<LPARAM>("smtp"), 4},
        {"select out of range", Fixed, CB_SETCURSEL, 4, 0, CB_ERR},
        {"data", Combo, CB_SETITEMDATA, 1, 77, CB_OKAY},
        {"data back", Combo, CB_GETITEMDATA, 1, 0, 77},
        {"edit selection", Combo, CB_SETEDITSEL, 0, MAKELPARAM(2, 5), TRUE},
        {"edit selection back", Combo, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&Start),
         reinterpret_cast<LPARAM>(&End), MAKELONG(2, 5)},
        {"limit", Combo, CB_LIMITTEXT, 20, 0, TRUE},
        {"no edit: limit", Fixed, CB_LIMITTEXT, 20, 0, CB_ERR},
        {"no edit: selection", Fixed, CB_SETEDITSEL, 0, 0, CB_ERR},
        {"no edit: selection back", Fixed, CB_GETEDITSEL, 0, 0, CB_ERR},
        {"dropped width", Combo, CB_SETDROPPEDWIDTH, 300, 0, 300},
        {"narrower than the combo box", Fixed, CB_SETDROPPEDWIDTH, 20, 0, 150},
        {"field height", Fixed, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), 0, CB_ERR},
        {"item height", Fixed, CB_SETITEMHEIGHT, 0, 18, CB_OKAY},
        {"item height back", Fixed, CB_GETITEMHEIGHT, 0, 0, 18},
        {"dropped state", Combo, CB_GETDROPPEDSTATE, 0, 0, FALSE},
        {"extended ui", Combo, CB_SETEXTENDEDUI, TRUE, 0, CB_OKAY},
        {"extended ui back", Combo, CB_GETEXTENDEDUI, 0, 0, TRUE},
        {"delete answers what is left", Combo, CB_DELETESTRING, 0, 0, 4},
        {"set the text of a list to no item", Fixed, WM_SETTEXT, 0,
         reinterpret_cast<LPARAM>("ftp.example.org"), CB_ERR},
        {"set the text of a list to an item", Fixed, WM_SETTEXT, 0,
         reinterpret_cast<LPARAM>("POP.example.org"), TRUE},
        {"not offered", Combo, CB_GETDROPPEDCONTROLRECT - 0x0D, 0, 0, CB_ERR},
    };
    ExpectAnswers(Cases);
    EXPECT_EQ(Start, 2u);
    EXPECT_EQ(End, 5u);
    // The text of an edit combo box is its edit's; of a list, the selected item's.
    EXPECT_EQ(GetWindowText(Combo), "smtp.example.org");
    EXPECT_EQ(GetWindowText(Fixed), "pop.example.org");
    EXPECT_EQ(Sel(Fixed), 2);
    SetWindowText(Combo, "free text");
    EXPECT_EQ(GetWindowText(EditOf(Combo)), "free text");
    EXPECT_EQ(Sel(Combo), CB_ERR);
    SendMessage(Combo, CB_RESETCONTENT, 0, 0);
    EXPECT_EQ(GetWindowText(Combo), "");
    EXPECT_EQ(SendMessage(Combo, CB_GETCOUNT, 0, 0), 0);
    EXPECT_TRUE(Codes(Combo).empty());
    EXPECT_TRUE(Codes(Fixed).empty());
}

// A press on the button drops the list down exactly under the combo box, without activating
// it; a click on an item chooses it: SELENDOK, CLOSEUP, then SELCHANGE.
TEST_F(ComboBox, AClickOnTheButtonDropsTheListAndAClickOnAnItemChoosesIt) {
    const HWND Combo = Make(CBS_DROPDOWN | WS_VSCROLL, kServers);
    const HWND List = ListOf(Combo);
    SetActiveWindow(Form);
    MouseClick(Form, ButtonPoint(Combo));
    Drain();
    EXPECT_EQ(GetFocus(), EditOf(Combo));
    EXPECT_TRUE(IsWindowVisible(List));
    EXPECT_TRUE(SendMessage(Combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(GetCapture(), List);
    EXPECT_EQ(GetActiveWindow(), Form);
    RECT ComboRect;
    RECT ListRect;
    GetWindowRect(Combo, &ComboRect);
    GetWindowRect(List, &ListRect);
    EXPECT_EQ(ListRect.left, ComboRect.left);
    EXPECT_EQ(ListRect.top, ComboRect.bottom);
    EXPECT_EQ(ListRect.right, ComboRect.right);
    // Its host lies where the window is.
    EXPECT_EQ(HostOfWindow(List)->geometry(),
              QRect(ListRect.left, ListRect.top, ListRect.right - ListRect.left,
                    ListRect.bottom - ListRect.top));
    EXPECT_EQ(Codes(Combo), (std::vector<WORD>{CBN_SETFOCUS, CBN_DROPDOWN}));
    ASSERT_TRUE(SaveWindowPicture(List, ControlPicturePath("combobox-list")));
    Clear();
    MouseClick(List, ItemPoint(List, 2));
    Drain();
    EXPECT_FALSE(IsWindowVisible(List));
    EXPECT_EQ(GetCapture(), 0u);
    EXPECT_EQ(Sel(Combo), 2);
    EXPECT_EQ(GetWindowText(Combo), "pop.example.org");
    EXPECT_EQ(Codes(Combo), (std::vector<WORD>{CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
    EXPECT_EQ(GetActiveWindow(), Form);
    EXPECT_EQ(GetFocus(), EditOf(Combo));
}

// The dropped-down list holds the capture: a press on its scroll bar scrolls it and leaves it open
// and holding the capture, so that a click on an item still chooses it.
TEST_F(ComboBox, APressOnTheDroppedListsBarScrollsItAndLeavesItOpen) {
    std::vector<std::string> Many;
    for (int I = 0; I < 30; ++I) Many.push_back("news" + std::to_string(I) + ".example.org");
    const HWND Combo = Make(CBS_DROPDOWNLIST | WS_VSCROLL, Many);
    const HWND List = ListOf(Combo);
    MouseClick(Form, ButtonPoint(Combo));
    Drain();
    ASSERT_TRUE(IsWindowVisible(List));
    ASSERT_EQ(GetCapture(), List);
    Clear();
    // The down arrow: the bar lies inside the list's one-pixel border.
    RECT R;
    GetWindowRect(List, &R);
    MouseClick(List, POINT{R.right - 1 - 8, R.bottom - 1 - 8});
    Drain();
    EXPECT_EQ(SendMessage(List, LB_GETTOPINDEX, 0, 0), 1);
    EXPECT_TRUE(SendMessage(Combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(GetCapture(), List);
    EXPECT_TRUE(Codes(Combo).empty());
    MouseClick(List, ItemPoint(List, 3));
    Drain();
    EXPECT_EQ(Sel(Combo), 3);
    EXPECT_FALSE(IsWindowVisible(List));
    EXPECT_EQ(Codes(Combo), (std::vector<WORD>{CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
}

// Pressing the button and letting go over an item chooses it in one move.
TEST_F(ComboBox, ADragFromTheButtonIntoTheListChoosesWhereItEnds) {
    const HWND Combo = Make(CBS_DROPDOWNLIST, kServers);
    const HWND List = ListOf(Combo);
    MousePress(Form, ButtonPoint(Combo));
    Drain();
    ASSERT_TRUE(IsWindowVisible(List));
    MouseMove(Form, ItemPoint(List, 1));
    MouseMove(Form, ItemPoint(List, 3));
    Drain();
    EXPECT_EQ(Sel(Combo), 3);
    MouseRelease(Form, ItemPoint(List, 3));
    Drain();
    EXPECT_FALSE(IsWindowVisible(List));
    EXPECT_EQ(Sel(Combo), 3);
    EXPECT_EQ(Codes(Combo), (std::vector<WORD>{CBN_SETFOCUS, CBN_DROPDOWN, CBN_SELENDOK,
                                               CBN_CLOSEUP, CBN_SELCHANGE}));
}

class TOneScreen : public TScreenSource {
  public:
    std::vector<TScreenInfo> Screens() const override {
        return {TScreenInfo{RECT{0, 0, 800, 600}, RECT{0, 0, 800, 580}, true}};
    }
};

// Near the bottom of the work area the list opens above the combo box.
TEST_F(ComboBox, AListThatDoesNotFitBelowOpensAbove) {
    SetScreenSource(std::make_shared<TOneScreen>());
    const HWND Low = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {100, 500, 400, 590}));
    const HWND Combo = CreateWindowEx(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST,
                                      10, 50, 150, 200, Low, kComboId, 0, nullptr);
    for (const std::string& T : kServers)
        SendMessage(Combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(T.c_str()));
    SendMessage(Combo, CB_SHOWDROPDOWN, TRUE, 0);
    RECT ComboRect;
    RECT ListRect;
    GetWindowRect(Combo, &ComboRect);
    GetWindowRect(ListOf(Combo), &ListRect);
    EXPECT_EQ(ListRect.bottom, ComboRect.top);
    EXPECT_EQ(ListRect.left, ComboRect.left);
    SendMessage(Combo, CB_SHOWDROPDOWN, FALSE, 0);
    SetScreenSource(nullptr);
}

TEST_F(ComboBox, EscapeAndAClickOutsideCloseTheListAndKeepTheSelection) {
    const HWND Combo = Make(CBS_DROPDOWNLIST, kServers);
    const HWND List = ListOf(Combo);
    SendMessage(Combo, CB_SETCURSEL, 1, 0);
    SetFocus(Combo);
    struct TCase {
        const char* What;
        std::function<void()> Close;
    };
    const TCase Cases[] = {
        {"escape", [&] { Key(Qt::Key_Escape); }},
        {"a click outside",
         [&] {
             MouseClick(Form, ScreenOf(Form, POINT{350, 250}));
         }},
        {"a click on the combo box", [&] { MouseClick(Form, ButtonPoint(Combo)); }},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.What);
        Key(Qt::Key_F4);
        ASSERT_TRUE(IsWindowVisible(List));
        // The pointer passing over an item marks it, but does not choose it. (Qt drops a move
        // to where the pointer is already.)
        MouseMove(List, ItemPoint(List, 2));
        MouseMove(List, ItemPoint(List, 3));
        Drain();
        EXPECT_EQ(SendMessage(List, LB_GETCURSEL, 0, 0), 3);
        Clear();
        C.Close();
        Drain();
        EXPECT_FALSE(IsWindowVisible(List));
        EXPECT_EQ(GetCapture(), 0u);
        EXPECT_EQ(Sel(Combo), 1);
        EXPECT_EQ(Codes(Combo), (std::vector<WORD>{CBN_SELENDCANCEL, CBN_CLOSEUP}));
        EXPECT_EQ(GetFocus(), Combo);
    }
}

TEST_F(ComboBox, KeysChangeTheSelectionOpenTheListAndChooseFromIt) {
    const HWND Combo = Make(CBS_DROPDOWNLIST, kServers);
    const HWND List = ListOf(Combo);
    SetFocus(Combo);
    Clear();
    // Closed: the arrows move the selection, the first press selects the first item.
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    Key(Qt::Key_Up);
    EXPECT_EQ(Sel(Combo), 0);
    Key(Qt::Key_End);
    EXPECT_EQ(Sel(Combo), 3);
    Type("p");
    EXPECT_EQ(Sel(Combo), 2);
    EXPECT_EQ(Codes(Combo), std::vector<WORD>(5, CBN_SELCHANGE));
    // Alt+Down opens, the arrows move the list's selection and it counts at once.
    Clear();
    Key(Qt::Key_Down, Qt::AltModifier);
    EXPECT_TRUE(IsWindowVisible(List));
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);
    EXPECT_EQ(Sel(Combo), 0);
    Key(Qt::Key_Return);
    EXPECT_FALSE(IsWindowVisible(List));
    EXPECT_EQ(Codes(Combo), (std::vector<WORD>{CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELCHANGE,
                                               CBN_SELENDOK, CBN_CLOSEUP}));
    // F4 closes with what was chosen; with the extended interface F4 is the dialog's and Down
    // opens the list.
    Clear();
    Key(Qt::Key_F4);
    Key(Qt::Key_F4);
    EXPECT_EQ(Codes(Combo), (std::vector<WORD>{CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP}));
    SendMessage(Combo, CB_SETEXTENDEDUI, TRUE, 0);
    Key(Qt::Key_F4);
    EXPECT_FALSE(IsWindowVisible(List));
    Key(Qt::Key_Down);
    EXPECT_TRUE(IsWindowVisible(List));
    EXPECT_EQ(Sel(Combo), 0);
    // Escape is the list's while it is open.
    EXPECT_EQ(SendMessage(Combo, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS, DLGC_WANTALLKEYS);
    Key(Qt::Key_Escape);
    EXPECT_EQ(SendMessage(Combo, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS, 0);
}

TEST_F(ComboBox, TypingInTheEditNotifiesAndSelectsTheItemItBegins) {
    const HWND Combo = Make(CBS_DROPDOWN | CBS_LOWERCASE, kServers);
    const HWND Edit = EditOf(Combo);
    MouseClick(Form, ScreenOf(Edit, POINT{5, 5}));
    Drain();
    EXPECT_EQ(GetFocus(), Edit);
    Clear();
    Type("MA");
    EXPECT_EQ(GetWindowText(Combo), "ma");
    EXPECT_EQ(Sel(Combo), 1);
    EXPECT_EQ(Codes(Combo),
              (std::vector<WORD>{CBN_EDITUPDATE, CBN_EDITCHANGE, CBN_EDITUPDATE, CBN_EDITCHANGE}));
    // Down in the edit takes the next item's text; it is a selection, not typing.
    Clear();
    Key(Qt::Key_Down);
    EXPECT_EQ(Sel(Combo), 2);
    EXPECT_EQ(GetWindowText(Combo), "pop.example.org");
    EXPECT_EQ(Codes(Combo), (std::vector<WORD>{CBN_SELCHANGE}));
    // Opening the list shows the item the edit names; Enter while it is open is the list's.
    SetWindowText(Combo, "news.example.org");
    Clear();
    Key(Qt::Key_F4);
    EXPECT_EQ(SendMessage(ListOf(Combo), LB_GETCURSEL, 0, 0), 0);
    Key(Qt::Key_Return);
    EXPECT_EQ(Codes(Combo), (std::vector<WORD>{CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP}));
}

TEST_F(ComboBox, TheFocusComingAndGoingIsToldOnceAndClosesTheList) {
    const HWND Combo = Make(CBS_DROPDOWN, kServers);
    SetFocus(Combo);
    EXPECT_EQ(GetFocus(), EditOf(Combo));
    SetFocus(Combo);
    SendMessage(Combo, CB_SHOWDROPDOWN, TRUE, 0);
    SetFocus(Other);
    Drain();
    EXPECT_EQ(Codes(Combo), (std::vector<WORD>{CBN_SETFOCUS, CBN_DROPDOWN, CBN_SELENDCANCEL,
                                               CBN_CLOSEUP, CBN_KILLFOCUS}));
    EXPECT_FALSE(IsWindowVisible(ListOf(Combo)));
}

// The parent draws the field and the items of an owner-drawn combo box on the contexts it is
// handed; what it draws shows.
TEST_F(ComboBox, OwnerDrawnFieldAndItemsAreDrawnByTheParent) {
    std::vector<MEASUREITEMSTRUCT> Measured;
    std::vector<DRAWITEMSTRUCT> Drawn;
    const COLORREF Colours[] = {RGB(200, 0, 0), RGB(0, 150, 0), RGB(0, 0, 200)};
    Windows().Handlers[Form] = [&](HWND, UINT M, WPARAM, LPARAM Lp) -> std::optional<LRESULT> {
        if (M == WM_MEASUREITEM) {
            auto* Item = reinterpret_cast<MEASUREITEMSTRUCT*>(Lp);
            Measured.push_back(*Item);
            Item->itemHeight = Item->itemID == static_cast<UINT>(-1) ? 20 : 16;
            return TRUE;
        }
        if (M != WM_DRAWITEM) return std::nullopt;
        const auto* D = reinterpret_cast<const DRAWITEMSTRUCT*>(Lp);
        Drawn.push_back(*D);
        const HBRUSH Brush =
            CreateSolidBrush(D->itemID < 3 ? Colours[D->itemID] : GetSysColor(COLOR_WINDOW));
        RECT R = D->rcItem;
        FillRect(D->hDC, &R, Brush);
        DeleteObject(Brush);
        if (D->itemState & ODS_SELECTED) {
            InflateRect(&R, -3, -3);
            FrameRect(D->hDC, &R, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        }
        return TRUE;
    };
    const HWND Combo =
        CreateWindowEx(0, "COMBOBOX", "",
                       WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | WS_VSCROLL,
                       10, 10, 150, 120, Form, kComboId, 0, nullptr);
    ASSERT_EQ(Measured.size(), 2u);
    EXPECT_EQ(Measured[0].CtlType, ODT_COMBOBOX);
    EXPECT_EQ(Measured[0].CtlID, kComboId);
    EXPECT_EQ(Measured[0].itemID, static_cast<UINT>(-1));
    EXPECT_EQ(Measured[1].itemID, 0u);
    EXPECT_EQ(SendMessage(Combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0), 20);
    EXPECT_EQ(SendMessage(Combo, CB_GETITEMHEIGHT, 0, 0), 16);
    RECT R;
    GetWindowRect(Combo, &R);
    EXPECT_EQ(R.bottom - R.top, 26);
    // Without strings an item is its data.
    for (LPARAM Data : {LPARAM(0), LPARAM(1), LPARAM(2)}) SendMessage(Combo, CB_ADDSTRING, 0, Data);
    SendMessage(Combo, CB_SETCURSEL, 1, 0);
    SetFocus(Combo);
    Drain();
    ASSERT_FALSE(Drawn.empty());
    const DRAWITEMSTRUCT& Field = Drawn.back();
    EXPECT_EQ(Field.itemID, 1u);
    EXPECT_EQ(Field.itemState & (ODS_COMBOBOXEDIT | ODS_SELECTED | ODS_FOCUS),
              ODS_COMBOBOXEDIT | ODS_SELECTED | ODS_FOCUS);
    EXPECT_EQ(Field.hwndItem, Combo);
    EXPECT_EQ(PixelAt(Combo, Field.rcItem.left + 1, Field.rcItem.top + 1), ColorOf(Colours[1]));
    Drawn.clear();
    SendMessage(Combo, CB_SHOWDROPDOWN, TRUE, 0);
    Drain();
    const HWND List = ListOf(Combo);
    ASSERT_TRUE(IsWindowVisible(List));
    EXPECT_EQ(PixelAt(List, 2, 1), ColorOf(Colours[0]));
    EXPECT_EQ(PixelAt(List, 2, 1 + 32), ColorOf(Colours[2]));
    const auto Item = std::find_if(Drawn.begin(), Drawn.end(), [](const DRAWITEMSTRUCT& D) {
        return D.itemID == 1 && !(D.itemState & ODS_COMBOBOXEDIT);
    });
    ASSERT_NE(Item, Drawn.end());
    EXPECT_EQ(Item->CtlType, ODT_COMBOBOX);
    EXPECT_EQ(Item->hwndItem, Combo);
    EXPECT_EQ(Item->itemState & (ODS_SELECTED | ODS_FOCUS), ODS_SELECTED | ODS_FOCUS);
    ASSERT_TRUE(SaveWindowPicture(Form, ControlPicturePath("combobox-ownerdraw")));
    ASSERT_TRUE(SaveWindowPicture(List, ControlPicturePath("combobox-ownerdraw-list")));
    SendMessage(Combo, CB_SHOWDROPDOWN, FALSE, 0);
    DestroyWindow(Combo);
}

TEST_F(ComboBox, ASimpleComboBoxShowsItsListBelowTheEdit) {
    const HWND Combo = Make(CBS_SIMPLE, kServers, RECT{10, 10, 160, 120});
    const HWND Edit = EditOf(Combo);
    RECT R;
    GetWindowRect(Combo, &R);
    EXPECT_EQ(R.bottom - R.top, 110);
    const HWND List = ChildOf(Combo, "ComboLBox");
    ASSERT_NE(List, 0u);
    EXPECT_EQ(GetWindow(Combo, GW_CHILD), List);
    EXPECT_EQ(GetWindow(List, GW_HWNDNEXT), Edit);
    EXPECT_TRUE(IsWindowVisible(List));
    SetFocus(Edit);
    Clear();
    Key(Qt::Key_Down);
    EXPECT_EQ(GetWindowText(Combo), kServers[0]);
    EXPECT_EQ(Codes(Combo), (std::vector<WORD>{CBN_SELENDOK, CBN_SELCHANGE}));
    Clear();
    MouseDoubleClick(Form, ScreenOf(List, POINT{10, 5 + static_cast<LONG>(SendMessage(
                                                            List, LB_GETITEMHEIGHT, 0, 0))}));
    Drain();
    EXPECT_EQ(Sel(Combo), 1);
    const std::vector<WORD> Got = Codes(Combo);
    ASSERT_FALSE(Got.empty());
    EXPECT_EQ(Got.back(), CBN_DBLCLK);
    EXPECT_NE(std::find(Got.begin(), Got.end(), CBN_SELCHANGE), Got.end());
    ASSERT_TRUE(SaveWindowPicture(Combo, ControlPicturePath("combobox-simple")));
}

TEST_F(ComboBox, APictureShowsClassicComboBoxes) {
    const HWND Edit = Make(CBS_DROPDOWN, kServers, RECT{10, 10, 170, 150});
    const HWND Focused = Make(CBS_DROPDOWNLIST, {"CRC", "MD5", "MsgID"}, RECT{10, 40, 170, 150});
    const HWND Greyed = Make(CBS_DROPDOWNLIST, {"-", "Betreff"}, RECT{10, 70, 170, 150});
    const HWND Plain = Make(CBS_DROPDOWNLIST, {"0", "30000", "60000"}, RECT{10, 100, 170, 150});
    SendMessage(Edit, CB_SETCURSEL, 0, 0);
    SendMessage(Focused, CB_SETCURSEL, 1, 0);
    SendMessage(Greyed, CB_SETCURSEL, 1, 0);
    SendMessage(Plain, CB_SETCURSEL, 2, 0);
    EnableWindow(Greyed, FALSE);
    SetFocus(Focused);
    Drain();
    ASSERT_TRUE(SaveWindowPicture(Form, ControlPicturePath("comboboxes")));
    // The focused field is highlighted, the button is a raised face at the right.
    RECT F;
    GetClientRect(Focused, &F);
    EXPECT_EQ(PixelAt(Focused, F.right / 2, F.bottom / 2 - 4) & 0xFFFFFF,
              ColorOf(GetSysColor(COLOR_HIGHLIGHT)) & 0xFFFFFF);
    EXPECT_EQ(PixelAt(Plain, F.right / 2, 4), ColorOf(GetSysColor(COLOR_WINDOW)));
    EXPECT_EQ(PixelAt(Plain, F.right - 10, 4), ColorOf(GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(PixelAt(Greyed, F.right / 2, 4), ColorOf(GetSysColor(COLOR_BTNFACE)));
    // Dropped down, over the form.
    SendMessage(Plain, CB_SHOWDROPDOWN, TRUE, 0);
    Drain();
    ASSERT_TRUE(SaveWindowPicture(ListOf(Plain), ControlPicturePath("comboboxes-dropped")));
    SendMessage(Plain, CB_SHOWDROPDOWN, FALSE, 0);
}

TEST_F(ComboBox, AComboBoxDestroyedFromItsOwnNotificationGoesSafely) {
    const HWND Combo = Make(CBS_DROPDOWNLIST, kServers);
    const HWND List = ListOf(Combo);
    Windows().Handlers[Form] = [&](HWND, UINT M, WPARAM Wp, LPARAM) -> std::optional<LRESULT> {
        if (M == WM_COMMAND && HIWORD(Wp) == CBN_SELENDOK) DestroyWindow(Combo);
        return std::nullopt;
    };
    SetFocus(Combo);
    Key(Qt::Key_F4);
    Key(Qt::Key_Down);
    Key(Qt::Key_Return);
    EXPECT_FALSE(IsWindow(Combo));
    EXPECT_FALSE(IsWindow(List));
    EXPECT_EQ(GetCapture(), 0u);
}

}  // namespace
