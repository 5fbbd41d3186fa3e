// Item links and their collections: the link's own values, its effective ones, its control, the
// keyboard selection order and shortcuts. The usage record is dxBarUsage.cpp's.
//
// Effective BeginGroup: the first link of the visible list draws no separator; another visible
// link draws one when its own flag is set, or when a link hidden by the personalized menus
// between it and the previous visible one (in the available list) begins a group: the separator
// passes on to the next link shown. A link that is not visible reports its own flag.
#include "bars/model/dxBarItemLinks.h"

#include <algorithm>
#include <cctype>

#include "bars/model/dxBarCustomizing.h"
#include "bars/model/dxBarItems.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarViews.h"
#include "bars/model/dxBarWindowItems.h"
#include "bars/model/dxBars.h"
#include "platform/classes/FlagScope.h"
#include "platform/classes/Mnemonics.h"
#include "platform/core/KeyboardLayout.h"
#include "platform/gdi/RectMath.h"

// ---- the link ---------------------------------------------------------------------------------

TdxBarItemLink::TdxBarItemLink(TCollection* Collection) : TCollectionItem(Collection) {
    TdxBarItemLinks* L = Links();
    TdxBarManager* Manager = BarManager();
    if (L) L->FUsage.push_back(this);
    FUseCount = Manager ? Manager->MostRecentlyUsedUseCount() : 0;
    FUserGlyph.OnChange = [this](TGraphic*) {
        dxBarViews().ItemChanged(this, TdxBarItemChange::Glyph);
    };
    if (Manager && !Manager->IsLoading() && Manager->OnItemLinkAdd)
        Manager->OnItemLinkAdd(Manager, this);
}

TdxBarItemLink::~TdxBarItemLink() {
    FDestroying = true;
    dxBarCustomizing().LinkDestroyed(this);
    TdxBarItemLinks* L = Links();
    TdxBarManager* Manager = BarManager();
    if (Manager && !Manager->IsDestroying() && Manager->OnItemLinkDelete)
        Manager->OnItemLinkDelete(Manager, this);
    LeaveItem();
    if (!L) return;
    L->Forget(this);
    dxBarViews().WindowChanged(L, TdxBarWindowChange::PostLayout);
    if (L->OnChange) L->OnChange(L);
}

TdxBarItemLinks* TdxBarItemLink::Links() const {
    return static_cast<TdxBarItemLinks*>(Collection());
}

TdxBarManager* TdxBarItemLink::BarManager() const {
    return Links() ? Links()->BarManager() : nullptr;
}

// ---- published values -------------------------------------------------------------------------

bool TdxBarItemLink::BeginGroup() const {
    const TdxBarItemLinks* L = Links();
    const int Visible = L ? L->VisibleIndexOf(this) : -1;
    if (Visible < 0) return FBeginGroup;
    if (Visible == 0) return false;
    if (FBeginGroup) return true;
    const int From = L->AvailableIndexOf(L->VisibleItems(Visible - 1));
    const int To = L->AvailableIndexOf(this);
    for (int I = From + 1; I < To; ++I)
        if (L->AvailableItems(I)->FBeginGroup) return true;
    return false;
}

void TdxBarItemLink::SetBeginGroup(bool Value) {
    if (FBeginGroup == Value) return;
    FBeginGroup = Value;
    dxBarViews().ItemChanged(this, TdxBarItemChange::BeginGroup);
    Changed();
}

void TdxBarItemLink::LeaveItem() {
    DestroyControl();
    if (!FItem) return;
    // A command that ran for this link does not keep pointing at it.
    if (FItem->ClickItemLink() == this) FItem->SetClickItemLink(nullptr);
    FItem->RemoveLink(this);
    FItem = nullptr;
}

void TdxBarItemLink::SetItem(TdxBarItem* Value) {
    if (FItem == Value) return;
    if (!Value) {
        delete this;
        return;
    }
    LeaveItem();
    TdxBarItemLinks* L = Links();
    if (TCustomdxBarSubItem* Owner = L ? L->OwnerSubItem() : nullptr;
        Owner && !Owner->CanContainItem(Value)) {
        L->Rebuild();
        throw EdxBarError("You cannot create recursive subitems");
    }
    FItem = Value;
    Value->AddLink(this);
    if (!L) return;
    L->Rebuild();
    TdxBarManager* Manager = BarManager();
    if (!Manager || !Manager->IsLoading()) ResetUsage();
    dxBarViews().WindowChanged(L, TdxBarWindowChange::PostLayout);
    Changed();
}

void TdxBarItemLink::SetMostRecentlyUsed(bool Value) {
    if (FMostRecentlyUsed == Value) return;
    FMostRecentlyUsed = Value;
    ResetUsage();
    if (Links()) dxBarViews().WindowChanged(Links(), TdxBarWindowChange::PostLayout);
}

void TdxBarItemLink::SetUserCaption(const std::string& Value) {
    FUserCaption = Value;
    FUserDefine.Include(udCaption);
    dxBarViews().ItemChanged(this, TdxBarItemChange::Caption);
}

void TdxBarItemLink::SetUserDefine(TdxBarUserDefines Value) {
    Value = Value * kAllUserDefines;
    if (Value == FUserDefine) return;
    const TdxBarUserDefines Removed = FUserDefine - Value;
    FUserDefine = Value;
    if (Removed.Contains(udCaption)) FUserCaption.clear();
    if (Removed.Contains(udGlyph)) FUserGlyph.SetSize(0, 0);
    if (Removed.Contains(udPaintStyle)) FUserPaintStyle = psStandard;
    if (Removed.Contains(udWidth)) FUserWidth = 0;
    dxBarViews().ItemChanged(this, TdxBarItemChange::Caption);
    dxBarViews().ItemChanged(this, TdxBarItemChange::Glyph);
}

void TdxBarItemLink::SetUserGlyph(const TBitmap* Value) {
    FUserDefine.Include(udGlyph);
    if (Value)
        FUserGlyph.Assign(*Value);
    else
        FUserGlyph.SetSize(0, 0);
}

void TdxBarItemLink::SetUserPaintStyle(TdxBarPaintStyle Value) {
    if (Value == PaintStyle()) return;
    FUserPaintStyle = Value;
    FUserDefine.Include(udPaintStyle);
    dxBarViews().ItemChanged(this, TdxBarItemChange::PaintStyle);
}

void TdxBarItemLink::SetUserWidth(int Value) {
    CheckWidth(Value);
    if (Value == Width()) return;
    FUserWidth = Value;
    FUserDefine.Include(udWidth);
    dxBarViews().ItemChanged(this, TdxBarItemChange::Layout);
}

void TdxBarItemLink::SetVisible(bool Value) {
    TdxBarItemLinks* L = Links();
    TdxBarManager* Manager = BarManager();
    if ((Manager && Manager->IsLoading()) || (L && L->Assigning())) {
        FLoadedVisible = Value;
        return;
    }
    if (FVisible == Value) return;
    FVisible = Value;
    if (L) L->Rebuild();
    if (Value) {
        RecordUse(false);
        if (L && L->BarControl() && L->VisibleIndexOf(this) >= 0) {
            CreateControl();
            dxBarViews().ItemChanged(this, TdxBarItemChange::Visible);
        }
    } else {
        RecordHidden();
        dxBarViews().ItemChanged(this, TdxBarItemChange::Visible);
        DestroyControl();
    }
    Changed();
}

// ---- effective values -------------------------------------------------------------------------

std::string TdxBarItemLink::Caption() const {
    if (FUserDefine.Contains(udCaption)) return FUserCaption;
    return FItem ? FItem->Caption() : std::string();
}

TBitmap* TdxBarItemLink::Glyph() {
    if (FUserDefine.Contains(udGlyph) || !FItem) return &FUserGlyph;
    return FItem->Glyph();
}

TdxBarPaintStyle TdxBarItemLink::PaintStyle() const {
    if (FUserDefine.Contains(udPaintStyle)) return FUserPaintStyle;
    if (auto* Button = dynamic_cast<TdxBarButton*>(FItem)) return Button->PaintStyle();
    return psStandard;
}

int TdxBarItemLink::Width() const {
    if (FUserDefine.Contains(udWidth)) return FUserWidth;
    if (auto* Edit = dynamic_cast<TdxBarEdit*>(FItem)) return Edit->Width();
    return 0;
}

// ---- the control ------------------------------------------------------------------------------

void TdxBarItemLink::CreateControl() {
    if (FControl || !FItem || FDestroying) return;
    const TdxBarItemClassInfo* Info = BarItemClassOf(FItem);
    if (!Info || !Info->CreateControl) return;
    FControl = Info->CreateControl(this);
}

void TdxBarItemLink::DestroyControl() {
    if (!FControl) return;
    TdxBarItemControl* Control = FControl;
    FControl = nullptr;
    dxBarViews().FreeControl(Control);
}

bool TdxBarItemLink::IsShown() const {
    return FItem && FItem->IsShown() && FVisible;
}

bool TdxBarItemLink::MatchesAccel(WORD Key, TShiftState Shift) const {
    const std::string Text = Caption();
    const size_t At = BarAccelPos(Text);
    if (At == std::string::npos) return false;
    const auto Char = static_cast<unsigned char>(Text[At]);
    const char Lower = char(std::tolower(Char));
    const bool AnyShift = Lower != char(Char);
    const SHORT Scan = VkKeyScan(Lower);
    if (Scan < 0 || Key != (Scan & 0xFF)) return false;
    if (AnyShift) return true;
    TShiftState Required;
    if (Scan & 0x100) Required.Include(ssShift);
    if (Scan & 0x200) Required.Include(ssCtrl);
    return (Shift * TShiftState{ssShift, ssCtrl}) == Required;
}

void TdxBarItemLink::Changed() {
    TdxBarItemLinks* L = Links();
    TdxBarManager* Manager = BarManager();
    if (L && L->BarControl() && dxBarViews().WindowState(L).Customizing && Manager)
        Manager->DesignerModified();
    if (Manager && !Manager->IsLoading() && Manager->OnItemLinkChange)
        Manager->OnItemLinkChange(Manager, this);
}

void TdxBarItemLink::PostLayout(bool WasVisible) {
    TdxBarItemLinks* L = Links();
    if (!L) return;
    const TdxBarWindowState Window = dxBarViews().WindowState(L);
    TdxBarManager* Manager = BarManager();
    if (!Window.Toolbar || WasVisible || Window.Floating || !Manager ||
        Manager->Style() == bmsStandard || !Window.HasHandle)
        return;
    dxBarViews().WindowChanged(L, TdxBarWindowChange::PostLayout);
}

void TdxBarItemLink::Assign(const TPersistent* Source) {
    auto* From = dynamic_cast<const TdxBarItemLink*>(Source);
    if (!From) {
        TCollectionItem::Assign(Source);
        return;
    }
    TdxBarItem* Item = From->FItem;
    // A link of the design's copy names an item of the copy: the live one of that name serves.
    if (ResettingBar && Item)
        Item = BarManager() ? BarManager()->ItemByName(Item->Name()) : nullptr;
    if (Item) SetItem(Item);
    SetBeginGroup(From->FBeginGroup);
    FMostRecentlyUsed = From->FMostRecentlyUsed;
    FUserCaption = From->FUserCaption;
    FUserGlyph.Assign(From->FUserGlyph);
    FUserDefine = From->FUserDefine;
    FUserPaintStyle = From->FUserPaintStyle;
    FUserWidth = From->FUserWidth;
    SetVisible(From->FVisible);
}

std::string TdxBarItemLink::DisplayName() const {
    return FItem ? FItem->Name() : TCollectionItem::DisplayName();
}

// ---- the collection ---------------------------------------------------------------------------

TdxBarItemLinks::TdxBarItemLinks(TdxBarManager* Manager, TPersistent* Owner)
    : TCollection(ItemClassOf<TdxBarItemLink>(), Owner), FBarManager(Manager), FOwner(Owner) {}

TdxBarItemLinks::~TdxBarItemLinks() {
    if (FBarControl) {
        TCustomdxBarControl* Window = FBarControl;
        FBarControl = nullptr;
        dxBarViews().ReleaseWindow(Window);
    }
    // The links go first, while the lists they leave still exist.
    Clear();
}

TdxBar* TdxBarItemLinks::OwnerBar() const {
    return dynamic_cast<TdxBar*>(FOwner);
}

TCustomdxBarSubItem* TdxBarItemLinks::OwnerSubItem() const {
    return dynamic_cast<TCustomdxBarSubItem*>(FOwner);
}

TdxBarPopupMenu* TdxBarItemLinks::OwnerPopupMenu() const {
    return dxBarViews().PopupMenuOf(FOwner);
}

TdxBarItemLink* TdxBarItemLinks::At(const std::vector<TdxBarItemLink*>& List, int Index) {
    return Index >= 0 && Index < int(List.size()) ? List[size_t(Index)] : nullptr;
}

int TdxBarItemLinks::IndexIn(const std::vector<TdxBarItemLink*>& List, const TdxBarItemLink* Link) {
    auto It = std::find(List.begin(), List.end(), Link);
    return It == List.end() ? -1 : int(It - List.begin());
}

void TdxBarItemLinks::Forget(const TCollectionItem* Link) {
    // Compared as collection items: the link may be half destroyed already.
    for (auto* List : {&FAvailable, &FCanVisible, &FVisible, &FUsage})
        List->erase(std::remove_if(List->begin(), List->end(),
                                   [Link](TdxBarItemLink* L) {
                                       return static_cast<const TCollectionItem*>(L) == Link;
                                   }),
                    List->end());
}

int TdxBarItemLinks::ShownCount() const {
    const int Visible = VisibleItemCount();
    return FShownCount < 0 ? Visible : std::min(FShownCount, Visible);
}

TdxBarItemLink* TdxBarItemLinks::ShownItems(int Index) const {
    return Index < ShownCount() ? VisibleItems(Index) : nullptr;
}

int TdxBarItemLinks::ShownIndexOf(const TdxBarItemLink* Link) const {
    const int Index = VisibleIndexOf(Link);
    return Index < ShownCount() ? Index : -1;
}

void TdxBarItemLinks::Update(TCollectionItem* Item) {
    if (FBarManager) FBarManager->DesignerModified();
    TCollection::Update(Item);
    Rebuild();
    if (OnChange) OnChange(this);
}

void TdxBarItemLinks::Notify(TCollectionItem* Item, TCollectionNotification Action) {
    TCollection::Notify(Item, Action);
    if (Action != cnAdded) Forget(Item);
}

void TdxBarItemLinks::SetUseRecentItems(bool Value) {
    if (FUseRecentItems == Value) return;
    FUseRecentItems = Value;
    Rebuild();
}

// ---- keyboard selection -----------------------------------------------------------------------

int TdxBarItemLinks::FittingCount() const {
    if (!OwnerBar() || !FBarControl) return VisibleItemCount();
    const TRect Client = dxBarViews().WindowState(this).Client;
    int Count = 0;
    for (TdxBarItemLink* Link : FVisible) {
        const TRect& R = Link->ItemRect();
        if (IsRectEmpty(R) || R.Left < Client.Left || R.Top < Client.Top ||
            R.Right > Client.Right || R.Bottom > Client.Bottom)
            break;
        ++Count;
    }
    return Count;
}

bool TdxBarItemLinks::Selectable(TdxBarItemLink* Link) const {
    return Link && dxBarViews().ControlState(Link).Selectable;
}

TdxBarItemLink* TdxBarItemLinks::First() const {
    const int Count = FittingCount();
    for (int I = 0; I < Count; ++I)
        if (Selectable(FVisible[size_t(I)])) return FVisible[size_t(I)];
    return nullptr;
}

TdxBarItemLink* TdxBarItemLinks::Last() const {
    for (int I = FittingCount() - 1; I >= 0; --I)
        if (Selectable(FVisible[size_t(I)])) return FVisible[size_t(I)];
    return nullptr;
}

TdxBarItemLink* TdxBarItemLinks::Next(TdxBarItemLink* Link) const {
    const int Count = FittingCount();
    const int From = VisibleIndexOf(Link);
    if (!Link || From < 0 || From >= Count) return First();
    for (int Step = 1; Step <= Count; ++Step) {
        TdxBarItemLink* Candidate = FVisible[size_t((From + Step) % Count)];
        if (Selectable(Candidate)) return Candidate;
    }
    return nullptr;
}

TdxBarItemLink* TdxBarItemLinks::Prev(TdxBarItemLink* Link) const {
    const int Count = FittingCount();
    const int From = VisibleIndexOf(Link);
    if (!Link || From < 0 || From >= Count) return Last();
    for (int Step = 1; Step <= Count; ++Step) {
        TdxBarItemLink* Candidate = FVisible[size_t(((From - Step) % Count + Count) % Count)];
        if (Selectable(Candidate)) return Candidate;
    }
    return nullptr;
}

TdxBarItemLink* TdxBarItemLinks::FindLinkByAccel(WORD Key, TShiftState Shift,
                                                 TdxBarItemLink* Start) const {
    // A submenu looks through every link it can show; a toolbar only through those that fit.
    const bool InBar = OwnerBar() != nullptr;
    std::vector<TdxBarItemLink*> Candidates;
    if (InBar) {
        for (int I = 0; I < FittingCount(); ++I)
            if (Selectable(FVisible[size_t(I)])) Candidates.push_back(FVisible[size_t(I)]);
    } else {
        Candidates = FCanVisible;
    }
    if (Candidates.empty()) return nullptr;
    const int Count = int(Candidates.size());
    const int From = IndexIn(Candidates, Start);
    for (int Step = 0; Step < Count; ++Step) {
        TdxBarItemLink* Link = Candidates[size_t(From < 0 ? Step : (From + 1 + Step) % Count)];
        if (Link->Item() && Link->Item()->HasAccel(Link) && Link->MatchesAccel(Key, Shift))
            return Link;
    }
    return nullptr;
}

bool TdxBarItemLinks::ProcessShortCut(TShortCut Key) {
    // The collections being searched; kept outside them, since a click may free this one.
    static std::vector<const TdxBarItemLinks*> Searching;
    if (Key == scNone || std::find(Searching.begin(), Searching.end(), this) != Searching.end())
        return false;
    Searching.push_back(this);
    struct TDone {
        ~TDone() { Searching.pop_back(); }
    } Done;
    UpdateActions();
    // A copy: a click may change the links.
    const std::vector<TdxBarItemLink*> Available = FAvailable;
    for (TdxBarItemLink* Link : Available) {
        TdxBarItem* Item = Link->Item();
        if (!Item || !Item->Enabled()) continue;
        if (auto* Sub = dynamic_cast<TCustomdxBarSubItem*>(Item)) {
            if (Sub->ItemLinks()->ProcessShortCut(Key)) return true;
            continue;
        }
        if (!Item->IsClickable()) continue;
        if (Item->ShortCut() == Key) {
            Item->Click();
            return true;
        }
        auto* Button = dynamic_cast<TdxBarButton*>(Item);
        TdxBarItemLinks* Menu =
            Button && Button->ButtonStyle() == bsDropDown && Button->DropDownMenu()
                ? dxBarViews().PopupMenuLinks(Button->DropDownMenu())
                : nullptr;
        if (Menu && Menu->ProcessShortCut(Key)) return true;
    }
    return false;
}

// ---- the window -------------------------------------------------------------------------------

TCustomdxBarControl* TdxBarItemLinks::CreateBarControl() {
    if (FBarControl || !FBarManager) return FBarControl;
    return dxBarViews().MakeWindow(this);
}

void TdxBarItemLinks::EmptyItemRects() {
    for (int I = 0; I < Count(); ++I) Items(I)->SetItemRect(TRect{});
}

void TdxBarItemLinks::UpdateActions() {
    for (int I = 0; I < Count(); ++I)
        if (TdxBarItem* Item = Items(I)->Item(); Item && Item->Action()) Item->Action()->Update();
}

void TdxBarItemLinks::Assign(const TPersistent* Source) {
    auto* From = dynamic_cast<const TdxBarItemLinks*>(Source);
    if (!From) {
        TCollection::Assign(Source);
        return;
    }
    {
        const TFlagScope Assigning(FAssigning);
        BeginUpdate();
        Clear();
        for (int I = 0; I < From->Count(); ++I) Add()->Assign(From->Items(I));
        // A link whose item the live form no longer has goes.
        for (int I = Count() - 1; I >= 0; --I)
            if (!Items(I)->Item()) delete Items(I);
        EndUpdate();
    }
    for (int I = Count() - 1; I >= 0; --I) Items(I)->SetVisible(Items(I)->LoadedVisible());
    Rebuild();
}
