#pragma once
// What the model and the bar windows ask of customizing, which lies above them: the customizing
// dialog (one in the process), quick customizing, the item context menu of customizing mode and
// the design-time copy. bars/customize puts its own entry point in place when the framework
// starts (RegisterBarClasses) and whenever it opens something of its own; until then the entry
// point in place does nothing and answers "none", as customizing does while nothing of it is
// open.
#include <functional>
#include <memory>

#include "bars/model/dxBarInPlace.h"
#include "bars/model/dxBarTypes.h"
#include "platform/widgets/Forms.h"

class TdxBarCustomizing {
  public:
    virtual ~TdxBarCustomizing() = default;

    // --- the customizing dialog ---
    // Opens the dialog (with the manager's customizing mode), or closes Manager's dialog (any
    // dialog for none).
    virtual void ShowForm(TdxBarManager* /*Manager*/, bool /*Show*/) {}
    // The open dialog, or none; the manager it customizes.
    virtual TCustomForm* Form() { return nullptr; }
    virtual TdxBarManager* FormManager() { return nullptr; }
    // The dialog shows the model again: everything, the options, the help button, the commands
    // of a category, one bar's caption, the item groups (a designer's page).
    virtual void UpdateAll() {}
    virtual void UpdateOptions() {}
    virtual void UpdateHelpButton() {}
    virtual void ItemsChanged() {}
    virtual void BarCaptionChanged(TdxBar* /*Bar*/) {}
    virtual void UpdateGroups() {}
    // A bar goes: the dialog lists it no more.
    virtual void BarDestroyed(TdxBar* /*Bar*/) {}
    // The form whose bars the open dialog customizes was shown or hidden: the dialog (and the
    // sub-menu editor, when one is open) goes along.
    virtual void OwnerFormShown(bool /*Shown*/) {}

    // --- quick customizing ---
    // The open quick-customizing window, or none.
    virtual TCustomdxBarControl* QuickControl() { return nullptr; }
    virtual void ShowQuickControl(TdxBarControl* /*Owning*/) {}
    virtual void FreeQuickControlOf(TdxBarControl* /*Owning*/) {}
    virtual void StartQuickCloseTimer() {}
    virtual void QuickControlSelectionChanging(TCustomdxBarControl* /*Window*/) {}
    virtual void QuickControlMouseMessage(UINT /*Msg*/, HWND /*Wnd*/, POINT /*Screen*/) {}

    // --- the item context menu ---
    virtual void ShowPopup(TdxBarItemLink* /*Link*/, TPoint /*ScreenPoint*/) {}
    virtual void LinkDestroyed(TdxBarItemLink* /*Link*/) {}

    // --- dragging an item ---
    // Drags Item (from SourceLink, or from the dialog's list when none) until it is dropped or
    // the drag is cancelled, calls Dropped once the pointer has let go, then does what the drop
    // asks. True when the drop deleted SourceLink.
    virtual bool DragAndDropItem(TdxBarManager* /*Manager*/, TdxBarItem* /*Item*/,
                                 TdxBarItemLink* /*SourceLink*/,
                                 const std::function<void()>& /*Dropped*/) {
        return false;
    }

    // --- the design-time copy ---
    // The owner form's definition read again into a temporary form, or none.
    virtual TCustomForm* CreateDesignTimeCopy(TdxBarManager& /*Manager*/) { return nullptr; }
};

// The entry point in place (never none), and putting bars/customize's in place.
inline TdxBarCustomizing& dxBarCustomizing() {
    return *dxBarInPlace<TdxBarCustomizing>();
}
inline void SetdxBarCustomizing(TdxBarCustomizing* Entry) {
    if (Entry) dxBarInPlace<TdxBarCustomizing>() = Entry;
}

// Set while a design-time copy is read: its manager then reads no stored layout.
inline bool LoadingDesignTimeCopy = false;
// Set while a bar is reset: links copied from the copy take the live form's items of the same
// names.
inline bool ResettingBar = false;

// A copy held for a step and freed after it.
struct TDesignCopyFree {
    void operator()(TCustomForm* Copy) const;
};
using TDesignCopy = std::unique_ptr<TCustomForm, TDesignCopyFree>;

// The copy's manager standing for Live (the one of its name); none without a copy.
TdxBarManager* CopyManager(const TDesignCopy& Copy, const TdxBarManager& Live);
