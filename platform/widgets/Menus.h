#pragma once
// The class library's menus: menu items (TMenuItem) in a tree under a menu (TMenu), and the
// popup menu (TPopupMenu) that a control shows when it is right-clicked (see TControl's
// PopupMenu) or the program shows at a point.
//
// Items: a caption ("-" is a separator; "&" marks the letter that chooses the item), a check mark
// (a bullet for radio items, of which one per group index is checked in a menu level), a default
// item shown in bold, enabled and visible flags, a shortcut shown at the right of the caption
// (ShortCutToText), a hint (its long part becomes the application's hint while the item is
// highlighted), sub-items, the click handler and an action whose caption, states, shortcut,
// hint and handler the item takes over. Definitions nest the items inside their menu and their
// parent item ("object MailPopup: TPopupMenu ... object Lesen1: TMenuItem ... end end"); the
// form owns them all.
//
// Ownership: an item belongs to its owner (the form) and sits in one parent's list; freeing an
// item takes it out of its parent and frees its sub-items, and a menu frees the items in it.
//
// Showing: Popup runs OnPopup, then builds the window layer's menu from the items as they are
// then and tracks it on the program's own modal loop (sockets, timers and painting go on). The
// chosen item is clicked after the menu has closed, from a posted command, so the click handler
// runs when Popup has returned; an item freed meanwhile is not clicked. A form's shortcuts
// include those of the menus it owns (TCustomForm::IsShortCut).
#include <memory>
#include <string>
#include <vector>

#include "platform/actions/ActnList.h"
#include "platform/classes/Exception.h"
#include "platform/forms/Component.h"
#include "platform/gdi/Graphics.h"

class TMenu;
class TMenuItem;

// A misuse of a menu's item lists: an item put into two places, an index outside the list.
class EMenuError : public Exception {
  public:
    using Exception::Exception;
};

// Keeps an item's caption, check mark, enabling, hint, shortcut, visibility and group in step
// with its action.
class TMenuActionLink : public TActionLink {
  public:
    explicit TMenuActionLink(TMenuItem* Client) : FClient(Client) {}

    bool IsCaptionLinked() const override;
    bool IsCheckedLinked() const override;
    bool IsEnabledLinked() const override;
    bool IsGroupIndexLinked() const override;
    bool IsHintLinked() const override;
    bool IsShortCutLinked() const override;
    bool IsVisibleLinked() const override;
    bool IsOnExecuteLinked() const override;

  protected:
    void SetCaption(const std::string& Value) override;
    void SetChecked(bool Value) override;
    void SetEnabled(bool Value) override;
    void SetGroupIndex(int Value) override;
    void SetHint(const std::string& Value) override;
    void SetShortCut(TShortCut Value) override;
    void SetVisible(bool Value) override;

  private:
    TMenuItem* FClient;
};

class TMenuItem : public TComponent {
  public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value) { FCaption = Value; }
    // A separator line.
    bool IsLine() const { return FCaption == "-"; }
    bool Checked() const { return FChecked; }
    // Checking a radio item unchecks the radio items of its group in the same parent.
    void SetChecked(bool Value);
    // The item shown in bold; setting it takes the default from the other items of its parent.
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { FVisible = Value; }
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool Value);
    BYTE GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(BYTE Value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value) { FShortCut = Value; }
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }
    TBasicAction* Action() const;
    void SetAction(TBasicAction* Value);

    // --- sub-items ---
    int Count() const { return int(FItems.size()); }
    // EMenuError for an index outside 0..Count-1.
    TMenuItem* Items(int Index) const;
    // At the end, or before the item at Index (0..Count). EMenuError for an item that is in a
    // list already, for the item itself or one of its parents.
    void Add(TMenuItem* Item) { Insert(Count(), Item); }
    void Insert(int Index, TMenuItem* Item);
    // Takes the item at Index out of the list; it is not freed.
    void Delete(int Index);
    void Remove(TMenuItem* Item);
    // Frees every sub-item.
    void Clear();
    int IndexOf(const TMenuItem* Item) const;
    // The sub-item whose caption, without its "&" marks and without regard to ASCII case, is
    // ACaption; null when none is.
    TMenuItem* Find(const std::string& ACaption) const;
    TMenuItem* Parent() const { return FParent; }
    // The menu the item is in (through its parents), or null.
    TMenu* GetParentMenu() const;
    // The command that stands for the item in the window layer's menus (0: none was free).
    UINT Command() const { return FCommand; }

    // Runs OnClick, else the action; nothing while disabled.
    virtual void Click();
    TNotifyEvent OnClick;

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

  protected:
    void BeforeDestruction() override;
    void SetParentComponent(TComponent* Value) override;
    void SetChildOrder(TComponent* Child, int Order) override;
    virtual void ActionChange(TBasicAction* Sender, bool CheckDefaults);

  private:
    friend class TMenu;
    friend class TMenuActionLink;
    // Leaves the parent, frees the sub-items, gives the command back; once.
    void Detach();
    void UncheckGroup();

    std::string FCaption;
    bool FChecked = false;
    bool FDefault = false;
    bool FEnabled = true;
    bool FVisible = true;
    bool FRadioItem = false;
    BYTE FGroupIndex = 0;
    TShortCut FShortCut = scNone;
    std::string FHint;
    std::vector<TMenuItem*> FItems;
    TMenuItem* FParent = nullptr;
    // The menu whose root item this is.
    TMenu* FMenu = nullptr;
    UINT FCommand = 0;
    std::unique_ptr<TMenuActionLink> FActionLink;
    bool FDetached = false;
};

class TMenu : public TComponent {
  public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;

    // The root item: its sub-items are the menu's items.
    TMenuItem* Items() const { return FItems; }
    // Clicks the enabled item (at any depth) whose ShortCut is ShortCut, after its action's
    // update; false when there is none, it is disabled, or ShortCut is none.
    bool IsShortCut(TShortCut ShortCut);
    // The item (at any depth) of that command, or null.
    TMenuItem* FindItem(UINT Command) const;

    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

  protected:
    void SetChildOrder(TComponent* Child, int Order) override;
    // False once the menu is freed: held across handlers that may free it.
    std::shared_ptr<const bool> Alive() const { return FAlive; }

  private:
    TMenuItem* FItems;
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

enum TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
  public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;

    // A right click on a control whose PopupMenu this is shows it.
    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool Value) { FAutoPopup = Value; }
    // Where the point given to Popup is: the menu's left edge, right edge or middle.
    TPopupAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
    // The control the menu was shown for (set before OnPopup; none when it goes).
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* Value);
    // The screen point of the last Popup.
    TPoint PopupPoint() const { return FPopupPoint; }

    // Runs OnPopup, then shows the menu at (X, Y) on the screen and tracks it until it closes
    // (see the top of this file). Nothing shows when another menu is being tracked or no item
    // is visible.
    virtual void Popup(int X, int Y);
    TNotifyEvent OnPopup;

  protected:
    virtual void DoPopup(TObject* Sender);
    void Notification(TComponent* AComponent, TOperation Operation) override;

  private:
    bool FAutoPopup = true;
    TPopupAlignment FAlignment = paLeft;
    TComponent* FPopupComponent = nullptr;
    TPoint FPopupPoint;
};
