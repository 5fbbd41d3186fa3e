// Keeping the layout between runs, and going back to the form's design.
#include <memory>
#include <set>

#include "bars/model/dxBarCustomizing.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarItems.h"
#include "bars/model/dxBarLayoutStores.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarStoredLayout.h"
#include "bars/model/dxBarStrings.h"
#include "bars/model/dxBars.h"
#include "platform/core/Application.h"
#include "platform/dialogs/DialogTexts.h"
#include "platform/shell/Dialogs.h"

namespace {

struct TResetting {
    TResetting() { ResettingBar = true; }
    ~TResetting() { ResettingBar = false; }
};

// The sub-items reachable from Links take their links of the design; a sub-item met again
// further down is not done twice.
void ResetSubItemLinks(TdxBarItemLinks& Links, TdxBarManager& Design,
                       std::set<TCustomdxBarSubItem*>& Done) {
    for (int I = 0; I < Links.Count(); ++I) {
        auto* Sub = dynamic_cast<TCustomdxBarSubItem*>(Links.Items(I)->Item());
        if (!Sub || !Done.insert(Sub).second) continue;
        auto* From = dynamic_cast<TCustomdxBarSubItem*>(Design.ItemByName(Sub->Name()));
        if (!From) continue;
        Sub->ItemLinks()->Assign(From->ItemLinks());
        Sub->ItemLinks()->CopyMostRecentlyUsed(From->ItemLinks());
        ResetSubItemLinks(*Sub->ItemLinks(), Design, Done);
    }
}

void ResetLinksFrom(TdxBarItemLinks& Links, TdxBarItemLinks& From, TdxBarManager& Design) {
    Links.CopyMostRecentlyUsed(&From);
    std::set<TCustomdxBarSubItem*> Done;
    ResetSubItemLinks(Links, Design, Done);
}

// Runs a step of saving or loading the layout; what goes wrong is reported, never thrown out of
// the form's creation or destruction.
template <class F>
void Reported(F Step) {
    try {
        Step();
    } catch (const Exception&) {
        Application.HandleException();
    }
}

}  // namespace

// ---- the stored layout ------------------------------------------------------------------------

void TdxBarManager::SaveToRegistry(const std::string& ARegistryPath) {
    TdxBarRegistryStore Store(ARegistryPath);
    if (!Store.ManagerSection().empty()) SaveBarLayout(*this, Store);
}

void TdxBarManager::LoadFromRegistry(const std::string& ARegistryPath) {
    TdxBarRegistryStore Store(ARegistryPath);
    if (!Store.ManagerSection().empty()) LoadBarLayout(*this, Store);
}

std::string TdxBarManager::IniSectionPrefix() const {
    return (FOwnerForm ? FOwnerForm->Name() : std::string()) + "." + Name() + ".";
}

void TdxBarManager::SaveToIniFile(const std::string& AIniFileName) {
    if (AIniFileName.empty()) return;
    TdxBarIniStore Store(AIniFileName, IniSectionPrefix());
    SaveBarLayout(*this, Store);
}

void TdxBarManager::LoadFromIniFile(const std::string& AIniFileName) {
    if (AIniFileName.empty()) return;
    TdxBarIniStore Store(AIniFileName, IniSectionPrefix());
    LoadBarLayout(*this, Store);
}

void TdxBarManager::LoadStoredLayout() {
    if (ComponentState().Contains(csDesigning) || LoadingDesignTimeCopy) return;
    if (StoreInRegistry) Reported([&] { LoadFromRegistry(RegistryPath); });
    if (StoreInIniFile) Reported([&] { LoadFromIniFile(IniFileName); });
}

void TdxBarManager::SaveStoredLayout() {
    if (ComponentState().Contains(csDesigning)) return;
    if (StoreInRegistry) Reported([&] { SaveToRegistry(RegistryPath); });
    if (StoreInIniFile) Reported([&] { SaveToIniFile(IniFileName); });
}

TCustomForm* TdxBarManager::CreateDesignTimeCopy() {
    return dxBarCustomizing().CreateDesignTimeCopy(*this);
}

// ---- reset ------------------------------------------------------------------------------------

void TdxBar::Reset() {
    TdxBarManager* Manager = BarManager();
    if (!Manager) return;
    const TDesignCopy Copy(Manager->CreateDesignTimeCopy());
    TdxBarManager* Design = CopyManager(Copy, *Manager);
    if (!Design || Design->Bars()->Count() <= Index()) return;
    TdxBar* From = Design->Bars()->Items(Index());
    Manager->DoBarBeforeReset(this);
    if (Manager->UseFullReset) {
        TdxBarUpdateLock Lock(Manager);
        const bool WasVisible = FVisible;
        SetVisible(false);
        {
            TResetting Resetting;
            Assign(From);
            ResetLinksFrom(*FItemLinks, *From->ItemLinks(), *Design);
        }
        SetVisible(WasVisible);
    } else {
        const TdxBarStateScope<TdxBar> Lock(*this, &TdxBar::UpdateLocked, &TdxBar::SetUpdateLocked);
        TResetting Resetting;
        FItemLinks->Assign(From->ItemLinks());
        ResetLinksFrom(*FItemLinks, *From->ItemLinks(), *Design);
    }
    Manager->DoBarAfterReset(this);
}

void TdxBar::ResetWithConfirmation() {
    const std::string Question =
        FormatDialogText(dxBarString(kdxBarResetBarQuestion).c_str(), FCaption);
    if (MessageBox(Question, Application.Title, MB_OKCANCEL | MB_ICONEXCLAMATION) == IDOK) Reset();
}

void TdxBarManager::ResetAllLinks() {
    TdxBarUpdateLock Lock(this);
    const TDesignCopy Copy(CreateDesignTimeCopy());
    TdxBarManager* Design = CopyManager(Copy, *this);
    if (!Design) return;
    for (TdxBarItem* Item : FItems)
        if (auto* Sub = dynamic_cast<TCustomdxBarSubItem*>(Item); Sub && !Sub->Name().empty())
            if (auto* From = dynamic_cast<TCustomdxBarSubItem*>(Copy->FindComponent(Sub->Name())))
                Sub->ItemLinks()->CopyMostRecentlyUsed(From->ItemLinks());
    for (int I = 0; I < FBars->Count() && I < Design->Bars()->Count(); ++I)
        FBars->Items(I)->ItemLinks()->CopyMostRecentlyUsed(Design->Bars()->Items(I)->ItemLinks());
}

void TdxBarManager::ResetUsageData() {
    if (MessageBox(dxBarString(kdxBarResetUsageDataQuestion), Application.Title,
                   MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES)
        ResetAllLinks();
}
