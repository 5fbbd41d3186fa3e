#pragma once
// The control object behind windows of the COMBOBOX class (see ComboBox.h for the class's
// behaviour). Like the list box it draws itself (frame, button, the field of a drop-down list);
// its edit is an EDIT window, composed rather than re-made, whose procedure the combo box
// subclasses for the keys it handles itself; its list is a ComboLBox window.
#include "platform/controls/ComboBox.h"
#include "platform/controls/WrappedControl.h"

class TListBoxControl;
enum class TComboListNotice : WPARAM;

class TComboBoxControl : public TWrappedControl {
  public:
    explicit TComboBoxControl(HWND Wnd);
    ~TComboBoxControl() override;

    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

  protected:
    QWidget* CreateWidget(QWidget* Host, const CREATESTRUCT& Create) override;

  private:
    struct TEditCall;
    static LRESULT EditRelay(HWND Edit, UINT Msg, WPARAM WParam, LPARAM LParam);
    LRESULT EditMessage(TEditCall& Call);

    // --- kind and parts
    DWORD Kind() const;
    bool Simple() const { return Kind() == CBS_SIMPLE; }
    bool DropList() const { return Kind() == CBS_DROPDOWNLIST; }
    bool OwnerDraw() const;
    TListBoxControl* List() const;
    bool Inside(HWND Wnd) const;
    int ComboHeight() const;
    RECT ButtonRect() const;
    RECT FieldRect() const;
    void Created(const CREATESTRUCT& Create);
    int Measure(int Item, int Height, int Width);
    void CreateList(const CREATESTRUCT& Create);
    void CreateEdit(const CREATESTRUCT& Create);
    void FixHeight();
    void Layout();
    void SetFont(HFONT Font, bool Redraw);

    // --- selection and text
    int CurSel() const;
    std::string ItemText(int Index) const;
    void ShowSelection();
    void SetEditText(const std::string& Text);
    std::string CurrentText() const;
    LRESULT SetTextMessage(const char* Text);
    LRESULT GetTextMessage(WPARAM Size, char* Buffer) const;
    void FollowEdit();

    // --- the list
    void DropDown(bool Tracking);
    void CloseUp(bool Accept);
    RECT DroppedRect() const;
    int DroppedWidth() const;
    void ListNotice(TComboListNotice Notice);

    // --- input and focus
    bool Key(UINT Msg, WPARAM Key);
    bool Character(unsigned char Character);
    void Wheel(int Delta);
    void MouseDown(POINT Pt);
    void FocusIn();
    void FocusOut(HWND NewFocus);
    void EditCommand(WORD Code);

    // --- painting and messages
    void Paint();
    void PaintField(HDC DC, RECT R);
    HBRUSH FieldBrush(HDC DC);
    LRESULT ComboMessage(UINT Msg, WPARAM WParam, LPARAM LParam);

    HWND FEdit = 0;
    HWND FList = 0;
    WNDPROC FEditProc = nullptr;
    HFONT FFont = 0;
    int FFieldHeight = 0;
    // The height asked for the combo box with its list, and the list's least width.
    int FDroppedHeight = 0;
    int FDroppedWidth = 0;
    // The selection when the list opened, or as the keyboard moved it since.
    int FSelAtDrop = -1;
    bool FDropped = false;
    bool FButtonDown = false;
    bool FExtendedUI = false;
    bool FFocused = false;
    bool FFixingHeight = false;
    // The combo box changes the edit's text itself: no CBN_EDITCHANGE for that.
    bool FQuiet = false;
};
