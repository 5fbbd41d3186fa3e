#pragma once
// Command items: the components a form's commands are made of. An item is never shown by itself:
// item links place it on bars, in submenus and popup menus, and every shown link gets an item
// control that draws and clicks it. Changes of an item reach the controls of all its links at
// once.
//
// Clicks: DirectClick on an enabled item fires the manager's OnClickItem and then the item's own
// OnClick (or its action); an exception from either goes to the application's exception handler
// and no further.
//
// The item-class registry pairs each item class with the class of its controls, and says whether
// the customizing dialog offers that kind of item.
#include <functional>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "bars/model/dxBarTypes.h"
#include "platform/actions/ActnList.h"
#include "platform/forms/Component.h"
#include "platform/gdi/Graphics.h"

class TdxBarItem;
class TdxBarButtonControl;
enum class TdxBarItemChange;

// Connects an item to an action: each value follows the action while it still equals the
// action's.
class TdxBarItemActionLink : public TActionLink {
  public:
    explicit TdxBarItemActionLink(TdxBarItem* Client) : FClient(Client) {}

    bool IsCaptionLinked() const override;
    bool IsCheckedLinked() const override;
    bool IsEnabledLinked() const override;
    bool IsHelpContextLinked() const override;
    bool IsHintLinked() const override;
    bool IsImageIndexLinked() const override;
    bool IsShortCutLinked() const override;
    bool IsVisibleLinked() const override;
    bool IsOnExecuteLinked() const override;

  protected:
    void SetCaption(const std::string& Value) override;
    void SetChecked(bool Value) override;
    void SetEnabled(bool Value) override;
    void SetHelpContext(int Value) override;
    void SetHint(const std::string& Value) override;
    void SetImageIndex(int Value) override;
    void SetShortCut(TShortCut Value) override;
    void SetVisible(bool Value) override;
    void SetOnExecute(const TNotifyEvent& Value) override;

  private:
    TdxBarItem* FClient;
};

class TdxBarItem : public TComponent {
  public:
    explicit TdxBarItem(TComponent* AOwner);
    ~TdxBarItem() override;

    TdxBarManager* BarManager() const { return FBarManager; }

    // --- published ---
    TBasicAction* Action() const;
    void SetAction(TBasicAction* Value);
    TdxBarItemAlign Align() const { return FAlign; }
    void SetAlign(TdxBarItemAlign Value);
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    int Category() const { return FCategory; }
    void SetCategory(int Value);
    const std::string& Description() const { return FDescription; }
    void SetDescription(const std::string& Value);
    // The stored flag, except that an item of a category reads as enabled while its manager is
    // customizing.
    bool Enabled() const;
    // Stores the flag; a change repaints every link's control at once (not while loading).
    void SetEnabled(bool Value);
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value) { FHelpContext = Value; }
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }
    TdxBarItemVisible Visible() const { return FVisible; }
    void SetVisible(TdxBarItemVisible Value);
    TNotifyEvent OnClick;
    TNotifyEvent OnDestroy;

    // Published by the button, sub-item and edit classes; every item keeps them.
    TBitmap* Glyph() { return &FGlyph; }
    void SetGlyph(const TBitmap* Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    bool UnclickAfterDoing() const { return FUnclickAfterDoing; }
    void SetUnclickAfterDoing(bool Value) { FUnclickAfterDoing = Value; }

    // --- clicks ---
    // A click made by code: DirectClick when the item is clickable.
    virtual void Click();
    // See the top of this file.
    virtual void DirectClick();
    // The link through which the click that runs now came (an item control sets it).
    TdxBarItemLink* ClickItemLink() const { return FClickItemLink; }
    void SetClickItemLink(TdxBarItemLink* Value) { FClickItemLink = Value; }
    // DirectClick for a click that came through Link (the ClickItemLink meanwhile). False when
    // the command freed the item: the caller then touches it no more.
    bool ClickThrough(TdxBarItemLink* Link);

    // --- links ---
    int LinkCount() const { return int(FLinks.size()); }
    TdxBarItemLink* Links(int Index) const;
    // The first link whose control is active (an open submenu, an editor), or none.
    TdxBarItemLink* CurItemLink() const;
    // The first link whose control is selected, or none.
    TdxBarItemLink* SelectedLink() const;
    int Index() const;
    // Visible ivAlways, or ivInCustomizing while the manager customizes.
    bool IsShown() const;
    bool HasControls() const;
    // Images of the manager exist and ImageIndex names one.
    bool HasImage() const;

    // --- what the class answers and does ---
    virtual bool IsClickable() const { return true; }
    // Whether the item's mnemonic works on that link.
    virtual bool HasAccel(TdxBarItemLink* Link) const;
    // A bar of the manager goes (sub-items forget it as their detaching bar).
    virtual void BarRemoved(TdxBar*) {}
    virtual void BarManagerChanged() {}

    // Frees Item as soon as the list of temporary items is cleared and nothing shows it any more.
    static void AddTemporaryItem(TdxBarItem* Item);
    // Frees every temporary item that no link shows any more.
    static void FreeTemporaryItems();

  protected:
    void BeforeDestruction() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void SetParentComponent(TComponent* Value) override;
    void ReadState(TReader& Reader) override;
    void SetName(const std::string& NewName) override;

  public:
    TComponent* GetParentComponent() const override;
    bool HasParent() const override;

    // --- notifications to the controls of the links (called by the setters) ---
    virtual void CaptionChanged();
    virtual void EnabledChanged();
    virtual void GlyphChanged();
    virtual void ShortCutChanged();
    virtual void TextChanged();
    virtual void LayoutChanged();
    virtual void VisibleChanged();
    // Links and the controls ask the item.
    virtual void DoClick();
    virtual void ActionChange(TBasicAction* Sender, bool CheckDefaults);

    bool IsLoading() const { return ComponentState().Contains(csLoading); }
    bool IsDestroying() const { return ComponentState().Contains(csDestroying); }

  private:
    friend class TdxBarItemLink;
    friend class TdxBarManager;
    friend class TdxBarManagerCategories;
    friend class TdxBarItemActionLink;
    void SetBarManager(TdxBarManager* Value);
    void AddLink(TdxBarItemLink* Link);
    void RemoveLink(TdxBarItemLink* Link);
    void DoActionChange(TObject* Sender);
    TdxBarItemActionLink* EnsureActionLink();

    TdxBarManager* FBarManager = nullptr;
    std::unique_ptr<TdxBarItemActionLink> FActionLink;
    TdxBarItemAlign FAlign = iaLeft;
    std::string FCaption;
    int FCategory = -1;
    TdxBarItemLink* FClickItemLink = nullptr;
    // Set to false when the item goes during the innermost ClickThrough that runs.
    bool* FAliveWhileClicking = nullptr;
    std::string FDescription;
    bool FEnabled = true;
    TBitmap FGlyph;
    int FHelpContext = 0;
    std::string FHint;
    int FImageIndex = -1;
    std::vector<TdxBarItemLink*> FLinks;
    TdxBarItemVisible FLoadedVisible = ivAlways;
    TShortCut FShortCut = scNone;
    bool FUnclickAfterDoing = true;
    TdxBarItemVisible FVisible = ivAlways;
};

class TdxBarButton : public TdxBarItem {
  public:
    explicit TdxBarButton(TComponent* AOwner);

    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    TdxBarButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TdxBarButtonStyle Value);
    bool CloseSubMenuOnClick = true;
    bool DropDownEnabled() const { return FDropDownEnabled; }
    void SetDropDownEnabled(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    // The check-button group rules: see Down's writer.
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    TdxBarPopupMenu* DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(TdxBarPopupMenu* Value);
    bool Lowered() const { return FLowered; }
    void SetLowered(bool Value);
    TdxBarPaintStyle PaintStyle() const { return FPaintStyle; }
    void SetPaintStyle(TdxBarPaintStyle Value);

    // A checked button changes its Down first.
    void Click() override;
    // Opens DropDownMenu at a screen point for one of the button's controls, and closes it.
    void DropDown(TPoint ScreenPoint, bool ByMouse, TdxBarButtonControl* Control);
    void CloseDropDown();
    bool HasAccel(TdxBarItemLink* Link) const override;

    virtual void ButtonStyleChanged();
    virtual void DownChanged();
    virtual void DropDownEnabledChanged();
    virtual void PaintStyleChanged();

  protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

  private:
    // The button of the same group that is down (other than this one), or none.
    TdxBarButton* DownButtonOfGroup() const;
    void ForEachControl(TdxBarItemChange What);

    bool FAllowAllUp = false;
    TdxBarButtonStyle FButtonStyle = bsDefault;
    bool FDropDownEnabled = true;
    int FGroupIndex = 0;
    bool FDown = false;
    TdxBarPopupMenu* FDropDownMenu = nullptr;
    bool FLowered = false;
    TdxBarPaintStyle FPaintStyle = psStandard;
};

class TCustomdxBarSubItem : public TdxBarItem {
  public:
    explicit TCustomdxBarSubItem(TComponent* AOwner);
    ~TCustomdxBarSubItem() override;

    int BarSize() const { return FBarSize; }
    void SetBarSize(int Value) { FBarSize = Value < 0 ? 0 : Value; }
    bool Detachable = false;
    // The index of a bar of the manager, -1 for none.
    int DetachingBar() const;
    void SetDetachingBar(int Value);
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool Value);
    TdxBarItemLinks* ItemLinks() const { return FItemLinks.get(); }
    void SetItemLinks(TdxBarItemLinks* Value);
    TNotifyEvent OnDetaching;
    std::function<void(TObject* Sender, TCanvas* Canvas, const TRect& R)> OnPaintBar;
    TNotifyEvent OnCloseUp;
    TNotifyEvent OnPopup;

    bool IsClickable() const override { return false; }
    void BarRemoved(TdxBar* Bar) override;
    void BarManagerChanged() override;
    // Whether Item may be placed in this sub-item's links (it must not come to contain itself).
    bool CanContainItem(TdxBarItem* Item) const;
    // Whether the links hold Item, directly or through nested sub-items.
    bool ContainsItem(TdxBarItem* Item) const;

    void DoCloseUp();
    void DoDetaching();
    void DoPopup();
    void DoPaintBar(TCanvas* Canvas, const TRect& R);

  protected:
    void BeforeDestruction() override;

  private:
    int FBarSize = 0;
    TdxBar* FDetachingBar = nullptr;
    bool FShowCaption = true;
    std::unique_ptr<TdxBarItemLinks> FItemLinks;
};

class TdxBarSubItem : public TCustomdxBarSubItem {
  public:
    explicit TdxBarSubItem(TComponent* AOwner) : TCustomdxBarSubItem(AOwner) {}
    bool AllowCustomizing = true;
};

// --- the item-class registry --------------------------------------------------------------------

using TdxBarItemControlFactory = std::function<TdxBarItemControl*(TdxBarItemLink* Link)>;

struct TdxBarItemClassInfo {
    const std::type_info* ItemClass = nullptr;
    std::string Name;
    // Makes a new item of the class (for the customizing editors).
    std::function<TdxBarItem*(TComponent* Owner)> CreateItem;
    TdxBarItemControlFactory CreateControl;
    bool ShownInDialog = false;
};

void RegisterBarItemClass(TdxBarItemClassInfo Info);
void UnregisterBarItemClass(const std::type_info& ItemClass);
int VisibleItemClassCount();
const TdxBarItemClassInfo* VisibleItemClassByIndex(int Index);
// The record of the item's exact class, or none.
const TdxBarItemClassInfo* BarItemClassOf(const TdxBarItem* Item);

// CreateControl: when the control's class depends on where the link is shown.
template <class TItem, class TControl>
void RegisterBarItemClass(const std::string& Name, bool ShownInDialog,
                          TdxBarItemControlFactory CreateControl = nullptr) {
    TdxBarItemClassInfo Info;
    Info.ItemClass = &typeid(TItem);
    Info.Name = Name;
    Info.CreateItem = [](TComponent* Owner) -> TdxBarItem* { return new TItem(Owner); };
    Info.CreateControl =
        CreateControl ? std::move(CreateControl) : [](TdxBarItemLink* Link) -> TdxBarItemControl* {
        return new TControl(Link);
    };
    Info.ShownInDialog = ShownInDialog;
    RegisterBarItemClass(std::move(Info));
}
