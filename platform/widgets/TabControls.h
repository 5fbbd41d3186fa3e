#pragma once
// Tab controls and page controls.
//
// TTabControl is a row (or rows) of tabs above a display area in which the program shows what a
// tab stands for; its children lie in the display area. TPageControl shows one TTabSheet at a
// time: each sheet is a child control holding the controls of its page, placed in the display
// area, and only the active sheet shows. A sheet whose TabVisible is off keeps its place among
// the pages but has no tab.
//
// The tabs are objects of the control (see ComCtrlsBase.h); the window (SysTabControl32, see
// platform/controls/TabControl.h) gets them when it is made and every change while it exists.
// A tab the user chooses asks OnChanging (which may keep the old one) and tells OnChange; tabs
// chosen by the program (TabIndex, ActivePage) raise neither. Ctrl+Tab and Ctrl+Shift+Tab go to
// the next and the previous page while the focus is in a page control.
#include <functional>
#include <string>
#include <vector>

#include "platform/classes/Classes.h"
#include "platform/widgets/ComCtrlsBase.h"
#include "platform/widgets/Control.h"

class TCustomTabControl;
class TPageControl;

// The tab texts of a tab control, each with an object.
class TTabStrings : public TStrings {
  public:
    explicit TTabStrings(TCustomTabControl* Owner) : FOwner(Owner) {}

    int Count() const override { return int(FTabs.size()); }
    std::string Get(int Index) const override;
    void Put(int Index, const std::string& Value) override;
    void* GetObject(int Index) const override;
    void PutObject(int Index, void* Object) override;
    void Insert(int Index, const std::string& Value) override;
    void InsertObject(int Index, const std::string& Value, void* Object) override;
    void Delete(int Index) override;
    void Clear() override;

  private:
    friend class TCustomTabControl;
    struct TTab {
        std::string Text;
        void* Object = nullptr;
    };
    TCustomTabControl* FOwner;
    std::vector<TTab> FTabs;
};

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

class TCustomTabControl : public TWinControl {
  public:
    explicit TCustomTabControl(TComponent* AOwner);

    TStrings* Tabs() { return &FTabs; }
    void SetTabs(const TStrings* Value) { FTabs.Assign(*Value); }
    // The chosen tab, -1 for none.
    int TabIndex() const { return FTabIndex; }
    void SetTabIndex(int Value);
    // Tabs that do not fit in one row wrap into more (else the row scrolls).
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);
    TCustomImageList* Images() const { return FImages.List(); }
    void SetImages(TCustomImageList* Value) { FImages.Set(Value); }
    // The area the tabs leave, in client coordinates.
    TRect DisplayRect();

    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;

  protected:
    // Asks OnChanging whether the user may leave the chosen tab.
    virtual bool CanChange();
    // The user chose another tab.
    virtual void Change();
    // The picture of a tab: the base shows picture n on tab n.
    virtual int GetImageIndex(int TabIndex);
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void AdjustClientRect(TRect& Rect) override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void Dispatch(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;
    // Gives the window the pictures of every tab again.
    void UpdateTabImages();

  private:
    friend class TTabStrings;
    // Puts tab Index into the window; sets its fields (a TCITEM mask).
    void InsertWindowTab(int Index);
    void SetWindowTab(int Index, UINT Mask);
    // The tabs changed: the chosen one as the window has it, the pages placed anew.
    void TabsChanged();
    void UpdateImages();

    TTabStrings FTabs;
    int FTabIndex = -1;
    bool FMultiLine = false;
    TControlImages FImages;
    bool FFilling = false;
};

class TTabControl : public TCustomTabControl {
  public:
    using TCustomTabControl::TCustomTabControl;
};

class TTabSheet : public TWinControl {
  public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;

    TPageControl* PageControl() const { return FPageControl; }
    void SetPageControl(TPageControl* Value);
    // The position among the pages (with or without a tab).
    int PageIndex() const;
    void SetPageIndex(int Value);
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    // The sheet's tab among the tabs shown, -1 when it has none.
    int TabIndex() const;

    void SetParent(TWinControl* AParent) override;

  protected:
    void Dispatch(TMessage& Message) override;

  private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
    bool FTabVisible = true;
    int FImageIndex = 0;
};

class TPageControl : public TCustomTabControl {
  public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;

    // The sheet that shows; none only without pages (or when the program says so).
    TTabSheet* ActivePage() const { return FActivePage; }
    void SetActivePage(TTabSheet* Value);
    int ActivePageIndex() const;
    void SetActivePageIndex(int Value);
    int PageCount() const { return int(FPages.size()); }
    // ERangeError outside 0..PageCount-1.
    TTabSheet* Pages(int Index) const;
    // The page after (before) CurPage, round the ends; with CheckTabVisible only pages that have
    // a tab. None without pages.
    TTabSheet* FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) const;
    // Shows the next (previous) page as a user's choice: OnChanging may refuse, OnChange tells.
    void SelectNextPage(bool GoForward, bool CheckTabVisible = true);

  protected:
    void Change() override;
    int GetImageIndex(int TabIndex) override;
    void Dispatch(TMessage& Message) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void Loaded() override;

  private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* Page);
    void RemovePage(TTabSheet* Page);
    void MovePage(TTabSheet* Page, int Index);
    // The tabs from the pages that have one; the active page keeps its tab or passes on.
    void UpdateTabs();
    void ChangeActivePage(TTabSheet* Page);
    // Shows the first page with a tab when none shows.
    void ShowSomePage();

    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
};
