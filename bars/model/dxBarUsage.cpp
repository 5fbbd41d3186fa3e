// The usage record behind the personalized menus: which links were used recently, and which of
// them a menu or toolbar shows before it is expanded (see dxBarItemLinks.h).
#include <algorithm>
#include <climits>

#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarItems.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarViews.h"
#include "bars/model/dxBars.h"
#include "platform/classes/MulDiv.h"

int MostRecentlyUsedStep(int Percents) {
    if (Percents >= 100) return 0;
    for (int N = 1;; ++N)
        if ((100 - Percents) * N / 100 > 0) return N;
}

namespace {

int StepOf(const TdxBarItemLinks* Links) {
    return Links && Links->BarManager() ? Links->BarManager()->MostRecentlyUsedUseCount() : 0;
}

}  // namespace

// ---- one link ---------------------------------------------------------------------------------

int TdxBarItemLink::UsagePosition() const {
    return Links() ? Links()->UsageIndexOf(this) : -1;
}

void TdxBarItemLink::RecordUse(bool Count) {
    if (!IsShown()) return;
    TdxBarItemLinks* L = Links();
    const bool WasVisible = L->VisibleIndexOf(this) >= 0;
    auto& Usage = L->FUsage;
    Usage.erase(std::remove(Usage.begin(), Usage.end(), this), Usage.end());
    Usage.insert(Usage.begin(), this);
    if (Count) FUseCount += StepOf(L);
    L->Rebuild();
    if (L->CanVisibleIndexOf(this) < 0) return;
    PostLayout(WasVisible);
    // The links through which the submenu was opened count as used too: a sub-item's, or the
    // button's whose drop-down menu this is.
    TdxBarItemLink* Parent = nullptr;
    if (TCustomdxBarSubItem* Owner = L->OwnerSubItem()) {
        Parent = Owner->CurItemLink();
    } else if (L->OwnerPopupMenu()) {
        Parent = dxBarViews().OpenerLink(L);
    }
    if (Parent && Parent->OwnerLink()) Parent = Parent->OwnerLink();
    if (Parent && Parent != this) Parent->RecordUse(Count);
}

void TdxBarItemLink::RecordHidden() {
    TdxBarItemLinks* L = Links();
    if (!L) return;
    const bool WasVisible = L->VisibleIndexOf(this) >= 0;
    auto& Usage = L->FUsage;
    Usage.erase(std::remove(Usage.begin(), Usage.end(), this), Usage.end());
    Usage.push_back(this);
    L->Rebuild();
    if (WasVisible) PostLayout(false);
}

void TdxBarItemLink::ResetUsage() {
    if (FMostRecentlyUsed) {
        FUseCount = StepOf(Links());
        RecordUse(false);
    } else {
        FUseCount = 0;
        RecordHidden();
    }
}

void TdxBarItemLink::MoveToUsagePosition(int Position) {
    TdxBarItemLinks* L = Links();
    if (!L) return;
    auto& Usage = L->FUsage;
    Usage.erase(std::remove(Usage.begin(), Usage.end(), this), Usage.end());
    Position = std::clamp(Position, 0, int(Usage.size()));
    Usage.insert(Usage.begin() + Position, this);
    L->Rebuild();
}

void TdxBarItemLink::SaveUsagePosition() {
    FSavedUsagePosition = UsagePosition();
}

void TdxBarItemLink::RestoreUsagePosition() {
    if (FSavedUsagePosition >= 0) MoveToUsagePosition(FSavedUsagePosition);
    FSavedUsagePosition = -1;
}

void TdxBarItemLink::CopyUsage(TdxBarItemLink* From) {
    if (!From) return;
    FUseCount = From->FUseCount;
    MoveToUsagePosition(From->UsagePosition());
}

// ---- the collection ---------------------------------------------------------------------------

void TdxBarItemLinks::Rebuild() {
    FAvailable.clear();
    FCanVisible.clear();
    FVisible.clear();
    for (int I = 0; I < Count(); ++I) {
        TdxBarItemLink* Link = Items(I);
        if (!Link->Item() || !Link->Item()->IsShown()) continue;
        FAvailable.push_back(Link);
        if (!Link->Visible()) continue;
        FCanVisible.push_back(Link);
        if (FRecentItemCount == -1) FVisible.push_back(Link);
    }
    if (FRecentItemCount < 1) return;
    for (TdxBarItemLink* Link : FUsage) {
        if (int(FVisible.size()) >= FRecentItemCount) break;
        if (CanVisibleIndexOf(Link) >= 0) FVisible.push_back(Link);
    }
    // The recent commands appear in their usual order.
    std::sort(FVisible.begin(), FVisible.end(), [this](TdxBarItemLink* A, TdxBarItemLink* B) {
        return CanVisibleIndexOf(A) < CanVisibleIndexOf(B);
    });
}

bool TdxBarItemLinks::UsesRecentItems() const {
    if (!FBarManager || FBarManager->Style() == bmsStandard) return false;
    if (OwnerBar() || OwnerPopupMenu()) return FUseRecentItems;
    // A submenu follows the bar or popup menu it was opened from.
    TdxBarItemLinks* Parent = dxBarViews().ParentBarLinks(this);
    if (!Parent) return FUseRecentItems;
    return Parent->UsesRecentItems();
}

int TdxBarItemLinks::CalcRecentItemCount() const {
    if (!UsesRecentItems()) return -1;
    int Smallest = INT_MAX, Largest = 0;
    for (TdxBarItemLink* Link : FCanVisible) {
        Smallest = std::min(Smallest, Link->UseCount());
        Largest = std::max(Largest, Link->UseCount());
    }
    const int Percents = FBarManager->MostRecentItemsPercents();
    const int Threshold = Smallest + MulDiv(Largest - Smallest, 100 - Percents, 100);
    const int N = int(FCanVisible.size());
    int Result = 0;
    for (int I = std::min(N, UsageCount()) - 1; I >= 0; --I)
        if (FUsage[size_t(I)]->UseCount() >= Threshold) {
            Result = I + 1;
            break;
        }
    return Result == N ? -1 : Result;
}

void TdxBarItemLinks::SetRecentItemCount(int Value) {
    FSavedRecentItemCount = FRecentItemCount;
    FRecentItemCount = UsesRecentItems() ? Value : -1;
    Rebuild();
}

void TdxBarItemLinks::RestoreRecentItemCount() {
    FRecentItemCount = FSavedRecentItemCount;
    Rebuild();
}

void TdxBarItemLinks::ResetUsage(bool ApplyLoaded) {
    for (int I = Count() - 1; I >= 0; --I)
        if (Items(I)->Item()) Items(I)->ResetUsage();
    if (ApplyLoaded)
        for (int I = Count() - 1; I >= 0; --I) Items(I)->SetVisible(Items(I)->LoadedVisible());
    for (int Position = 0; Position < Count(); ++Position)
        for (int I = 0; I < Count(); ++I) {
            TdxBarItemLink* Link = Items(I);
            if (Link->LoadedRecentIndex != Position) continue;
            Link->SetUseCount(Link->LoadedUseCount);
            Link->MoveToUsagePosition(Position);
            Link->LoadedRecentIndex = -1;
        }
}

void TdxBarItemLinks::CopyMostRecentlyUsed(const TdxBarItemLinks* From) {
    for (int I = 0; I < Count() && I < From->Count(); ++I)
        Items(I)->FMostRecentlyUsed = From->Items(I)->MostRecentlyUsed();
    ResetUsage(false);
    // The links that can show go before the first one that cannot, in their order.
    std::stable_partition(FUsage.begin(), FUsage.end(),
                          [this](TdxBarItemLink* Link) { return CanVisibleIndexOf(Link) >= 0; });
    Rebuild();
}
