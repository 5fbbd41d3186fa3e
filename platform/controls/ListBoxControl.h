#pragma once
// The control object behind windows of the LISTBOX class and of "ComboLBox", the list of a combo
// box (see ListBox.h for the class's behaviour).
//
// The list draws itself on its window's surface rather than wrapping a Qt list view: an
// owner-drawn item is then drawn by the parent on the very device context the list paints with,
// clipped to the item, with the itemAction a change calls for (ODA_SELECT for a selection,
// ODA_FOCUS for the caret, ODA_DRAWENTIRE when painting), and what the parent draws is what the
// user sees; the plain look comes from the same classic colours and GDI calls as every other
// window. The widget of the wrapped-control base stays empty.
//
// A list of a combo box (LBS_COMBOBOX, the combo box's handle as the creation parameter) is
// measured by its combo box (LB_SETITEMHEIGHT) and sends its other owner-draw messages to the combo
// box's parent in the combo box's name (ODT_COMBOBOX, its id and handle) and WM_CTLCOLORLISTBOX to
// the combo box; what the user does in it goes to the combo box as TComboListNotice messages. It
// counts as focused while shown, tracks the pointer with the selection while it holds the capture,
// and a press outside it cancels.
#include <string>

#include "platform/controls/ItemList.h"
#include "platform/controls/ListBox.h"
#include "platform/controls/WrappedControl.h"
#include "platform/core/ScrollBar.h"
#include "platform/gdi/GdiTypes.h"

// The left button as the input left it. A press that is handled late may find its release gone
// by already, to wherever the pointer was: a gesture that starts then ends at once.
bool LeftButtonHeld();

// What a combo box's list tells its combo box (WParam of kComboListNotice; internal).
constexpr UINT kComboListNotice = 0x016F;
enum class TComboListNotice : WPARAM {
    // The user moved the selection with the keyboard.
    SelectionMoved = 1,
    // A click chose an item.
    Chosen,
    // The button held since the press that dropped the list down went up elsewhere.
    Released,
    // A press outside the list, or the capture went elsewhere.
    Cancelled,
    // A press in a list that is always shown (it takes no focus of its own).
    Pressed,
    // A double click on an item of a list that is always shown.
    DoubleClicked,
};

class TListBoxControl : public TWrappedControl {
  public:
    explicit TListBoxControl(HWND Wnd);
    ~TListBoxControl() override;

    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

    // A combo box's list, while dropped down: the pointer is tracked from the press that opened
    // it (Tracking: the button is still held).
    void DroppedDown(bool Tracking);
    void ClosedUp();

  protected:
    QWidget* CreateWidget(QWidget* Host, const CREATESTRUCT& Create) override;

  private:
    // Where owner-draw requests and notifications go.
    struct TOwner {
        HWND Wnd = 0;
        UINT CtlType = 0;
        UINT Id = 0;
        HWND Item = 0;
    };
    // --- styles and owner
    bool HasStrings() const;
    bool OwnerDraw() const;
    bool Variable() const;
    bool Multiple() const;
    bool Extended() const;
    bool AnyMultiSelect() const { return Multiple() || Extended(); }
    bool NoSelection() const;
    bool Notifying() const;
    bool InCombo() const { return FCombo != 0; }
    TOwner Owner() const;
    void NotifyParent(WORD Code);
    void TellCombo(TComboListNotice Notice);

    // --- creation, fonts and heights
    void Created(const CREATESTRUCT& Create);
    HFONT Font() const;
    void SetFont(HFONT Font, bool Redraw);
    int FontHeight() const;
    int MeasureItem(int Index, ULONG_PTR Data);
    int HeightOf(int Index) const;
    void AdjustIntegralHeight(WINDOWPOS& Pos) const;

    // --- items
    LRESULT AddString(LPARAM LParam, int Index, bool Sorted);
    int SortedIndex(const TListBoxItem& Item) const;
    LRESULT DeleteString(int Index);
    void ResetContent();
    LRESULT SetItemHeight(int Index, int Height);
    void SendDeleteItem(int Index, const TListBoxItem& Item);
    LRESULT GetText(int Index, char* Buffer) const;
    int Find(int Start, LPARAM LParam, bool Exact) const;
    bool Matches(int Index, const TListBoxItem& Item, LPARAM LParam, bool Exact) const;
    // WM_COMPAREITEM: how the owner orders item Index (with Data) against an item with Other
    // that has no index yet.
    LRESULT CompareByOwner(int Index, ULONG_PTR Data, ULONG_PTR Other) const;

    // --- selection
    bool Selected(int Index) const;
    int CurSel() const;
    bool SetSelected(int Index, bool Selected);
    bool SelectOnly(int Index);
    bool SelectRange(int From, int To, bool Selected, bool Others);
    void SetCaret(int Index);
    LRESULT SetCurSel(int Index);
    LRESULT SetSel(bool Select, int Index);
    LRESULT SelItemRange(bool Select, int First, int Last);
    LRESULT GetSelItems(int Max, int* Buffer) const;
    int SelCount() const;

    // --- geometry and scrolling
    RECT Client() const;
    int ItemTop(int Index) const;
    RECT ItemRect(int Index) const;
    int FullyVisible(int From) const;
    int LastTop() const;
    int ItemAt(POINT Client, bool& Outside) const;
    void SetTop(int Top);
    void ScrollIntoView(int Index, bool Partly);
    void SetHorzPos(int Pos);
    void UpdateScrollBars();
    // Range 0..Max, Page of it shown, from Pos: on the window's bar, if the list has that bar.
    void SetBar(int Bar, int Max, int Page, int Pos);
    // Where the thumb is while it is dragged; the position otherwise.
    int TrackPos(int Bar) const;
    void VScroll(WORD Code);
    void HScroll(WORD Code);

    // --- painting
    void Paint();
    HBRUSH PrepareDC(HDC DC);
    void DrawItem(HDC DC, int Index, UINT Action);
    void DrawEmptyFocus(HDC DC, UINT Action);
    void RedrawItem(int Index, UINT Action);
    // Items from From on moved: they are painted again in the next pass.
    void InvalidateFrom(int From);
    bool CanDrawNow() const;
    bool ShowsFocus() const;
    void Invalidate();

    // --- messages and input
    LRESULT ListMessage(UINT Msg, WPARAM WParam, LPARAM LParam);
    LRESULT KeyDown(WPARAM Key);
    LRESULT Char(unsigned char Character);
    void MoveCaretTo(int Index, bool Shift, bool Ctrl);
    int Target(WPARAM Key, int From) const;
    int TypedSearch(unsigned char Character);
    void MouseDown(POINT Pt, WPARAM Keys, bool Double);
    void MouseMove(POINT Pt);
    void MouseUp(POINT Pt);
    void TrackTo(int Index);
    void ComboMouseDown(POINT Pt, bool Double);
    void ComboMouseMove(POINT Pt);
    void ComboFollow(POINT Pt);
    void ComboMouseUp(POINT Pt);
    void CaptureLost();
    bool ScrollBarPress(POINT Client);
    void Wheel(int Delta);

    TItemList FItems;
    // The bars the list was made with (WS_VSCROLL, WS_HSCROLL). The window's style bits say only
    // which of them show now.
    DWORD FBarStyles = 0;
    HFONT FFont = 0;
    HWND FCombo = 0;
    int FItemHeight = 0;
    int FTop = 0;
    int FCaret = 0;
    int FAnchor = 0;
    // Single selection: the selected item (-1: none); the items' marks serve multiple selection.
    int FSelected = -1;
    int FHorzPos = 0;
    int FHorzExtent = 0;
    int FColumnWidth = 0;
    int FWheelRest = 0;
    bool FFocused = false;
    bool FRedrawOff = false;
    bool FUpdatingBars = false;
    // The button is held since a press in the list (or, for a combo box's list, since the press
    // that dropped it down).
    bool FTracking = false;
    bool FDropped = false;
    // Extended selection while dragging: whether the range from the anchor is selected (a press
    // with Ctrl that cleared the anchor's mark drags a cleared range).
    bool FTrackSelects = true;
    // What was typed in quick succession, and when the last character came.
    std::string FTyped;
    DWORD FTypedTime = 0;
    bool FSearching = false;
};
