#include "bars/customize/dxBarCustomizeEntry.h"

#include "bars/customize/dxBarCustForm.h"
#include "bars/customize/dxBarCustFormDesign.h"
#include "bars/customize/dxBarCustomizingPopup.h"
#include "bars/customize/dxBarDesignCopy.h"
#include "bars/customize/dxBarDrag.h"
#include "bars/customize/dxBarQuickCust.h"
#include "bars/model/dxBarCustomizing.h"

namespace {

class TEntry : public TdxBarCustomizing {
  public:
    void ShowForm(TdxBarManager* Manager, bool Show) override {
        ShowCustomizingForm(Manager, Show);
    }
    TCustomForm* Form() override { return GetCustomizingForm(); }
    bool DragAndDropItem(TdxBarManager* Manager, TdxBarItem* Item, TdxBarItemLink* SourceLink,
                         const std::function<void()>& Dropped) override {
        return dxBarDragAndDropItem(Manager, Item, SourceLink, Dropped);
    }
    TdxBarManager* FormManager() override {
        TdxBarCustomizingForm* Dialog = GetCustomizingForm();
        return Dialog ? Dialog->BarManager() : nullptr;
    }
    void UpdateAll() override { CustomizingFormUpdateAll(); }
    void UpdateOptions() override { CustomizingFormUpdateOptions(); }
    void UpdateHelpButton() override { CustomizingFormUpdateHelpButton(); }
    void ItemsChanged() override { CustomizingFormItemsChanged(); }
    void BarCaptionChanged(TdxBar* Bar) override { CustomizingFormBarCaptionChanged(Bar); }
    void UpdateGroups() override { CustomizingFormUpdateGroups(); }
    void BarDestroyed(TdxBar* Bar) override { CustomizingFormBarDestroyed(Bar); }
    void OwnerFormShown(bool Shown) override { CustomizingFormOwnerFormShown(Shown); }

    TCustomdxBarControl* QuickControl() override { return OpenQuickControl(); }
    void ShowQuickControl(TdxBarControl* Owning) override { ::ShowQuickControl(Owning); }
    void FreeQuickControlOf(TdxBarControl* Owning) override { ::FreeQuickControlOf(Owning); }
    void StartQuickCloseTimer() override { ::StartQuickCloseTimer(); }
    void QuickControlSelectionChanging(TCustomdxBarControl* Window) override {
        ::QuickControlSelectionChanging(Window);
    }
    void QuickControlMouseMessage(UINT Msg, HWND Wnd, POINT Screen) override {
        ::QuickControlMouseMessage(Msg, Wnd, Screen);
    }

    void ShowPopup(TdxBarItemLink* Link, TPoint ScreenPoint) override {
        ShowCustomizingPopup(Link, ScreenPoint);
    }
    void LinkDestroyed(TdxBarItemLink* Link) override { CustomizingLinkDestroyed(Link); }

    TCustomForm* CreateDesignTimeCopy(TdxBarManager& Manager) override {
        return ::CreateDesignTimeCopy(Manager);
    }
};

}  // namespace

void RegisterdxBarCustomizing() {
    // Never freed: see dxBarInPlace.
    static auto* Entry = new TEntry;
    SetdxBarCustomizing(Entry);
}
