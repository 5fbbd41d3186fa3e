#include "bars/model/dxBars.h"

#include <algorithm>

#include "bars/model/dxBarCustomizing.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarItems.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarViews.h"
#include "platform/classes/FlagScope.h"
#include "platform/core/Input.h"
#include "platform/gdi/Gdi.h"

namespace {

TdxBarSiteState SiteState(TdxBarDockControl* Site) {
    return dxBarViews().SiteState(dxBarViews().SiteOf(Site));
}

}  // namespace

// ---- life -------------------------------------------------------------------------------------

TdxBar::TdxBar(TCollection* Collection) : TCollectionItem(Collection) {
    TdxBarManager* Manager = BarManager();
    FItemLinks = std::make_unique<TdxBarItemLinks>(Manager, this);
    FItemLinks->OnChange = [Manager](TObject*) {
        if (Manager) Manager->DesignerModified();
    };
    if (Manager) {
        const TFlagScope FontCopying(FFontCopying);
        FFont.Assign(*Manager->Font());
    }
    FFont.OnChange = [this](TGraphicsObject*) { FontChanged(); };
    if (Manager && !Manager->IsLoading() && Manager->OnBarAdd) Manager->OnBarAdd(Manager, this);
}

TdxBar::~TdxBar() {
    TdxBarManager* Manager = BarManager();
    if (Manager && !Manager->IsDestroying() && Manager->OnBarDelete)
        Manager->OnBarDelete(Manager, this);
    HideControl();
    FVisible = false;
    // The dialog's bars list holds the bar: it goes from there before it is freed.
    if (Manager && Manager->IsCustomizing()) dxBarCustomizing().BarDestroyed(this);
    for (auto It = FDetachingSubItems.rbegin(); It != FDetachingSubItems.rend(); ++It)
        (*It)->BarRemoved(this);
    FDetachingSubItems.clear();
    if (Manager && Manager->FMainMenuBar == this) Manager->FMainMenuBar = nullptr;
    if (Manager) std::erase(Manager->FBarsToShowAgain, this);
    FItemLinks.reset();
    if (FFontHandle) DeleteObject(FFontHandle);
}

TdxBars* TdxBar::Bars() const {
    return static_cast<TdxBars*>(Collection());
}

TdxBarManager* TdxBar::BarManager() const {
    return Bars() ? Bars()->BarManager() : nullptr;
}

TdxBarControl* TdxBar::Control() const {
    return FItemLinks ? dxBarViews().ToolbarOf(FItemLinks->BarControl()) : nullptr;
}

void TdxBar::TellWindow(TdxBarWindowChange What) const {
    if (FItemLinks) dxBarViews().WindowChanged(FItemLinks.get(), What);
}

TdxBarWindowState TdxBar::WindowState() const {
    return FItemLinks ? dxBarViews().WindowState(FItemLinks.get()) : TdxBarWindowState{};
}

bool TdxBar::ManagerLoading() const {
    return BarManager() && BarManager()->IsLoading();
}

void TdxBar::RecalcControl() {
    TellWindow(TdxBarWindowChange::DockedFrameLayout);
}

// ---- published values -------------------------------------------------------------------------

void TdxBar::SetAllowClose(bool Value) {
    if (FAllowClose == Value) return;
    FAllowClose = Value;
    if (WindowState().Floating) TellWindow(TdxBarWindowChange::Frame);
    // Whether the bar may be hidden shows in the dialog's bars list and its buttons.
    if (BarManager() && BarManager()->IsCustomizing()) dxBarCustomizing().UpdateAll();
}

void TdxBar::SetAllowQuickCustomizing(bool Value) {
    if (FAllowQuickCustomizing == Value) return;
    FAllowQuickCustomizing = Value;
    if (BarManager() && BarManager()->Style() != bmsStandard) RecalcControl();
}

void TdxBar::SetBorderStyle(TdxBarBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    TellWindow(TdxBarWindowChange::Frame);
    if (TdxDockControl* Site = RealDockControl())
        dxBarViews().SiteChanged(Site, TdxBarSiteChange::Realign);
}

void TdxBar::SetCaption(const std::string& Value) {
    if (FCaption == Value) return;
    TdxBarManager* Manager = BarManager();
    if (Manager && Manager->BarByCaption(Value)) return;  // captions stay unique
    FCaption = Value;
    TellWindow(TdxBarWindowChange::Caption);
    if (FName.empty() && Manager && !Manager->IsLoading())
        FName = Manager->BarByName(Value) ? Bars()->GetUniqueBarName(Value) : Value;
    dxBarCustomizing().BarCaptionChanged(this);
    if (Manager) {
        Manager->DesignerModified();
        Manager->Changed();
    }
}

void TdxBar::SetDockedDockControl(TdxBarDockControl* Value) {
    if (Value && SiteState(Value).Manager != BarManager()) return;
    FDockedDockControl = Value;
}

TdxBarDockingStyle TdxBar::DockedDockingStyle() const {
    return FDockedDockControl ? SiteState(FDockedDockControl).DockingStyle : FDockedDockingStyle;
}

TdxBarDockingStyle TdxBar::DockingStyle() const {
    return FDockControl ? SiteState(FDockControl).DockingStyle : FDockingStyle;
}

void TdxBar::SetDockControl(TdxBarDockControl* Value) {
    if (Value && SiteState(Value).Manager != BarManager()) return;
    if (ManagerLoading()) {
        FLoadedDockControl = Value;
        return;
    }
    if (FChangingDock || FDockControl == Value) return;
    {
        const TFlagScope ChangingDock(FChangingDock);
        const bool Shown = FVisible && Control();
        if (Shown) HideControl();
        FDockControl = Value;
        FItemLinks->SetRecentItemCount(-1);
        if (Value) FDockingStyle = SiteState(Value).DockingStyle;
        if (Shown) ShowControl();
    }
    if (BarManager()) BarManager()->DoBarDockingStyleChange(this);
}

void TdxBar::SetDockingStyle(TdxBarDockingStyle Value) {
    if (ManagerLoading()) {
        FLoadedDockingStyle = Value;
        return;
    }
    if (FChangingDock) return;
    const TdxBarWindowState Window = WindowState();
    if (Window.Exists ? Window.DockingStyle == Value : DockingStyle() == Value && !FDockControl)
        return;
    {
        const TFlagScope ChangingDock(FChangingDock);
        const bool Shown = FVisible && Window.Exists;
        if (Shown) HideControl();
        FDockingStyle = Value;
        FDockControl = nullptr;
        FItemLinks->SetRecentItemCount(-1);
        if (Shown) ShowControl();
    }
    if (BarManager()) BarManager()->DoBarDockingStyleChange(this);
}

void TdxBar::SetDocking(TdxBarDockingStyle Style, TdxBarDockControl* Site) {
    if (Site && SiteState(Site).Default) Site = nullptr;
    if (Style != DockingStyle() && Site && Site != FDockControl)
        SetDockControl(Site);
    else if (Style != DockingStyle())
        SetDockingStyle(Style);
    else
        SetDockControl(Site);
}

void TdxBar::SetIsMainMenu(bool Value) {
    if (FIsMainMenu == Value) return;
    TdxBarManager* Manager = BarManager();
    {
        TdxBarUpdateLock Lock(Manager);
        if (Value) {
            if (Manager && Manager->FMainMenuBar && Manager->FMainMenuBar != this)
                Manager->FMainMenuBar->SetIsMainMenu(false);
            if (Manager) Manager->FMainMenuBar = this;
            FIsMainMenu = FWholeRow = FMultiLine = true;
        } else {
            if (Manager && Manager->FMainMenuBar == this) Manager->FMainMenuBar = nullptr;
            FIsMainMenu = FMultiLine = FWholeRow = false;
        }
    }
    if (ManagerLoading()) return;
    RecalcControl();
    if (Manager && Manager->IsCustomizing()) dxBarCustomizing().UpdateAll();
}

void TdxBar::SetItemLinks(TdxBarItemLinks* Value) {
    if (Value && Value != FItemLinks.get()) FItemLinks->Assign(Value);
}

void TdxBar::SetMultiLine(bool Value) {
    if (FMultiLine == Value || (FIsMainMenu && !Value)) return;
    FMultiLine = Value;
    if (!ManagerLoading()) RecalcControl();
}

void TdxBar::SetRotateWhenVertical(bool Value) {
    if (FRotateWhenVertical == Value) return;
    FRotateWhenVertical = Value;
    TellWindow(TdxBarWindowChange::Rotation);
}

void TdxBar::SetShowMark(bool Value) {
    if (FShowMark == Value) return;
    FShowMark = Value;
    RecalcControl();
}

void TdxBar::SetSizeGrip(bool Value) {
    if (FSizeGrip == Value) return;
    FSizeGrip = Value;
    if (FBorderStyle == bbsNone && DockingStyle() == dsBottom)
        TellWindow(TdxBarWindowChange::Frame);
}

void TdxBar::SetUseOwnFont(bool Value) {
    if (Value) {
        FUseOwnFont = true;
        return;
    }
    FUseOwnFont = false;
    ManagerFontChanged();
}

void TdxBar::ManagerFontChanged() {
    if (FUseOwnFont || !BarManager()) {
        if (FUseOwnFont) FontChanged();
        return;
    }
    {
        const TFlagScope FontCopying(FFontCopying);
        FFont.Assign(*BarManager()->Font());
    }
    if (FFontHandle) DeleteObject(FFontHandle);
    FFontHandle = 0;
    // The window takes the font, which tells it that its font changed.
    TellWindow(TdxBarWindowChange::Font);
}

void TdxBar::FontChanged() {
    if (FFontCopying) return;
    FUseOwnFont = true;
    if (FFontHandle) DeleteObject(FFontHandle);
    FFontHandle = 0;
    // The window takes the font, which tells it that its font changed.
    TellWindow(TdxBarWindowChange::Font);
}

HFONT TdxBar::FontHandle() const {
    if (FUseOwnFont) {
        if (!FFontHandle) FFontHandle = CreateFontIndirect(FFont.LogFont());
        return FFontHandle;
    }
    return BarManager() ? BarManager()->FontHandle() : 0;
}

void TdxBar::SetUseRecentItems(bool Value) {
    if (FUseRecentItems == Value) return;
    FUseRecentItems = Value;
    FItemLinks->SetUseRecentItems(Value);
    RecalcControl();
}

void TdxBar::SetUseRestSpace(bool Value) {
    if (FUseRestSpace == Value) return;
    FUseRestSpace = Value;
    RecalcControl();
}

void TdxBar::SetWholeRow(bool Value) {
    if (FWholeRow == Value) return;
    FWholeRow = Value;
    if (const TdxBarWindowState Window = WindowState(); Window.Exists && !Window.Floating) {
        HideControl();
        ShowControl();
    }
}

// ---- visibility and the window ----------------------------------------------------------------

void TdxBar::SetVisible(bool Value) {
    TdxBarManager* Manager = BarManager();
    if (Value && Manager && Manager->IsDestroying()) return;
    if (ManagerLoading()) {
        FLoadedVisible = Value;
        return;
    }
    if (FVisible == Value) return;
    if (Value) {
        FVisible = true;
        ShowControl();
    } else {
        TellWindow(TdxBarWindowChange::CloseMenus);
        FVisible = false;
        HideControl();
    }
    if (!Manager || Manager->IsDestroying()) return;
    // The dialog's list of bars shows the new tick.
    if (Manager->IsCustomizing()) dxBarCustomizing().UpdateAll();
    if (Manager->OnBarVisibleChange) Manager->OnBarVisibleChange(Manager, this);
    if (!Bars()->Loading()) {
        Manager->DesignerModified();
        Manager->Changed();
    }
}

void TdxBar::ShowControl() {
    if (FItemLinks->CreateBarControl()) dxBarViews().PlaceToolbar(this);
}

void TdxBar::HideControl() {
    TCustomdxBarControl* Window = FItemLinks ? FItemLinks->BarControl() : nullptr;
    if (!Window) return;
    FItemLinks->SetBarControl(nullptr);
    dxBarViews().ReleaseWindow(Window);
}

TdxDockControl* TdxBar::RealDockControl() const {
    if (FDockControl) return dxBarViews().SiteOf(FDockControl);
    const TdxBarDockingStyle Style = DockingStyle();
    return Style == dsNone || !Bars() ? nullptr : Bars()->DockControls(Style);
}

void TdxBar::ApplyLoadedState() {
    FLoaded = true;
    FItemLinks->ResetUsage(true);
    if (FLoadedDockControl)
        SetDockControl(FLoadedDockControl);
    else
        SetDockingStyle(FLoadedDockingStyle);
    SetVisible(FLoadedVisible);
}

void TdxBar::SetUpdateLocked(bool Value) {
    if (FLockUpdate == Value) return;
    FLockUpdate = Value;
    if (!Value) TellWindow(TdxBarWindowChange::Layout);
}

// ---- what the windows ask ---------------------------------------------------------------------

bool TdxBar::CanClose() const {
    return FAllowClose && !FIsMainMenu;
}

bool TdxBar::ShowsSizeGrip() const {
    const TdxBarWindowState Window = WindowState();
    TdxBarManager* Manager = BarManager();
    if (!FSizeGrip || FBorderStyle != bbsNone || DockingStyle() != dsBottom || !Window.Exists ||
        !Manager || !Manager->OwnerForm() || Manager->OwnerForm()->WindowState() == wsMaximized)
        return false;
    // The window's bottom edge must lie on its parents' bottoms all the way up.
    return Window.OnParentsBottom;
}

int TdxBar::FrameWidth(TdxBarDockingStyle Style) const {
    TdxBarManager* Manager = BarManager();
    if (!Manager) return 0;
    if (Style == dsNone) return 2 * Manager->BorderWidth() + (Manager->IsFlat() ? 2 : 8);
    if (FBorderStyle == bbsNone) return ShowsSizeGrip() ? GetSystemMetrics(SM_CXHSCROLL) : 0;
    return 4 + (Style == dsTop || Style == dsBottom ? Manager->GripSize() : 0);
}

int TdxBar::FrameHeight(TdxBarDockingStyle Style) const {
    TdxBarManager* Manager = BarManager();
    if (!Manager) return 0;
    if (Style == dsNone)
        return 2 * Manager->BorderHeight() + GetSystemMetrics(SM_CYSMCAPTION) +
               (Manager->IsFlat() ? 2 : 3);
    if (FBorderStyle == bbsNone) return Style == dsBottom ? 2 : 0;
    return 4 + (Style == dsLeft || Style == dsRight ? Manager->GripSize() : 0);
}

bool TdxBar::ProcessShortCut(TShortCut Key) {
    return FItemLinks->ProcessShortCut(Key);
}

void TdxBar::AddDetachingSubItem(TCustomdxBarSubItem* Item) {
    if (std::find(FDetachingSubItems.begin(), FDetachingSubItems.end(), Item) ==
        FDetachingSubItems.end())
        FDetachingSubItems.push_back(Item);
}

void TdxBar::RemoveDetachingSubItem(TCustomdxBarSubItem* Item) {
    FDetachingSubItems.erase(
        std::remove(FDetachingSubItems.begin(), FDetachingSubItems.end(), Item),
        FDetachingSubItems.end());
}

void TdxBar::Assign(const TPersistent* Source) {
    auto* From = dynamic_cast<const TdxBar*>(Source);
    if (!From) {
        TCollectionItem::Assign(Source);
        return;
    }
    SetAllowClose(From->FAllowClose);
    AllowCustomizing = From->AllowCustomizing;
    SetAllowQuickCustomizing(From->FAllowQuickCustomizing);
    AllowReset = From->AllowReset;
    SetCaption(From->FCaption);
    SetDockedDockControl(From->FDockedDockControl);
    FDockedDockingStyle = From->DockedDockingStyle();
    SetDockedLeft(From->FDockedLeft);
    SetDockedTop(From->FDockedTop);
    FloatLeft = From->FloatLeft;
    FloatTop = From->FloatTop;
    FloatClientWidth = From->FloatClientWidth;
    FloatClientHeight = From->FloatClientHeight;
    Hidden = From->Hidden;
    SetIsMainMenu(From->FIsMainMenu);
    SetItemLinks(From->FItemLinks.get());
    NotDocking = From->NotDocking;
    OneOnRow = From->OneOnRow;
    SetRotateWhenVertical(From->FRotateWhenVertical);
    SetRow(From->FRow);
    SetWholeRow(From->FWholeRow);
    SetDocking(From->DockingStyle(), From->FDockControl);
    SetUseRecentItems(From->FUseRecentItems);
    SetUseRestSpace(From->FUseRestSpace);
    FFont.Assign(From->FFont);
    SetUseOwnFont(From->FUseOwnFont);
    SetVisible(From->FVisible);
}

// ---- the collection ---------------------------------------------------------------------------

TdxBars::TdxBars(TdxBarManager* Manager)
    : TCollection(ItemClassOf<TdxBar>(), Manager), FBarManager(Manager) {
    for (TdxBarDockingStyle Style : {dsLeft, dsTop, dsRight, dsBottom})
        FDockControls[Style] = dxBarViews().MakeSite(Manager, Style);
}

TdxBars::~TdxBars() {
    Clear();
    for (TdxDockControl*& Site : FDockControls) {
        if (!Site) continue;
        TdxDockControl* Going = Site;
        Site = nullptr;
        dxBarViews().FreeSite(Going);
    }
}

TdxDockControl* TdxBars::DockControls(TdxBarDockingStyle Style) const {
    return Style >= dsLeft && Style <= dsBottom ? FDockControls[Style] : nullptr;
}

void TdxBars::DockControlRemoved(TdxDockControl* Site) {
    for (TdxDockControl*& Known : FDockControls)
        if (Known == Site) Known = nullptr;
}

std::string TdxBars::GetUniqueBarName(const std::string& Caption) const {
    for (int N = 1;; ++N) {
        const std::string Name = Caption + std::to_string(N);
        if (!FBarManager->BarByName(Name)) return Name;
    }
}

void TdxBars::Notify(TCollectionItem* Item, TCollectionNotification Action) {
    TCollection::Notify(Item, Action);
    if (Action == cnAdded && FBarManager && !FBarManager->IsLoading())
        FBarManager->DesignerModified();
}
