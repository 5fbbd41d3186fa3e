#include "bars/dxBarStoredLayout.h"

#include <algorithm>

#include "bars/Limits.h"
#include "bars/dxBarDock.h"
#include "bars/dxBarItemLinks.h"
#include "bars/dxBarItems.h"
#include "bars/dxBarLayoutStores.h"
#include "bars/dxBarManager.h"
#include "bars/dxBarStoredValues.h"
#include "bars/dxBars.h"

namespace {

// ---- writing ----------------------------------------------------------------------------------

bool KeepsUsage(const TdxBarManager& Manager, const TdxBarItemLinks& Links) {
    return Manager.Style() != bmsStandard && Links.UseRecentItems();
}

std::string DockName(const TdxBarDockControl* Site) {
    return Site ? Site->Name() : std::string();
}

void SaveLink(TdxBarLayoutStore& Store, TdxBarItemLink& Link, bool OfBar, bool Usage) {
    const TdxBarUserDefines Defines = Link.UserDefine();
    Store.WriteString("ItemName", Link.Item()->Name());
    Store.WriteBool("BeginGroup", Link.OwnBeginGroup());
    Store.WriteUserDefine(Defines);
    if (Defines.Contains(udCaption)) Store.WriteString("UserCaption", Link.UserCaption());
    if (Defines.Contains(udGlyph)) Store.WriteUserGlyph(*Link.UserGlyph());
    if (Defines.Contains(udPaintStyle)) Store.WriteInteger("UserPaintStyle", Link.UserPaintStyle());
    if (Defines.Contains(udWidth)) Store.WriteInteger("UserWidth", Link.UserWidth());
    if (OfBar) Store.WriteBool("Visible", Link.Visible());
    if (Usage) {
        Store.WriteInteger("UseCount", Link.UseCount());
        Store.WriteInteger("RecentIndex", Link.UsagePosition());
    }
}

// The owner's section is open for writing; it is closed here.
void SaveLinks(TdxBarManager& Manager, TdxBarLayoutStore& Store, const std::string& Owner,
               TdxBarItemLinks& Links) {
    Store.WriteInteger("ItemLinkCount", Links.Count());
    Store.EndSection();
    const bool OfBar = Links.OwnerBar() != nullptr;
    const bool Usage = KeepsUsage(Manager, Links);
    for (int K = 0; K < Links.Count(); ++K) {
        TdxBarItemLink* Link = Links.Items(K);
        if (!Link->Item() || Link->Item()->Name().empty()) continue;
        if (!Store.BeginWrite(Store.LinkSection(Owner, K))) continue;
        SaveLink(Store, *Link, OfBar, Usage);
        Store.EndSection();
    }
}

void SaveBar(TdxBarLayoutStore& Store, const TdxBar& Bar) {
    Store.WriteString("Caption", Bar.Caption());
    if (Bar.DockedDockControl())
        Store.WriteString("DockedDockControl", DockName(Bar.DockedDockControl()));
    Store.WriteInteger("DockedDockingStyle", Bar.DockedDockingStyle());
    Store.WriteInteger("DockedLeft", Bar.DockedLeft());
    Store.WriteInteger("DockedTop", Bar.DockedTop());
    Store.WriteBool("OneOnRow", Bar.OneOnRow);
    Store.WriteInteger("Row", Bar.Row());
    Store.WriteInteger("FloatLeft", Bar.FloatLeft);
    Store.WriteInteger("FloatTop", Bar.FloatTop);
    Store.WriteInteger("FloatClientWidth", Bar.FloatClientWidth);
    Store.WriteInteger("FloatClientHeight", Bar.FloatClientHeight);
    if (Bar.DockControl()) Store.WriteString("DockControl", DockName(Bar.DockControl()));
    Store.WriteInteger("DockingStyle", Bar.DockingStyle());
    Store.WriteBool("Visible", Bar.Visible());
}

// ---- reading ----------------------------------------------------------------------------------

// An ordinal of an enumeration whose last value is Last.
int RequiredOrdinal(TdxBarLayoutStore& Store, const std::string& Name, int Default, int Last) {
    const int Value = Store.Required(Name, Default);
    if (Value < 0 || Value > Last) throw EStoredValueMissing("\"" + Name + "\" is out of range");
    return Value;
}

TdxBarDockControl* FindDockControl(TdxBarManager& Manager, const std::string& Name) {
    TCustomForm* Form = Manager.OwnerForm();
    if (Name.empty() || !Form) return nullptr;
    return dynamic_cast<TdxBarDockControl*>(Form->FindComponent(Name));
}

// Takes a bar's update lock and gives back the previous state.
struct TBarLock {
    TdxBar& Bar;
    bool Was;
    explicit TBarLock(TdxBar& ABar) : Bar(ABar), Was(ABar.UpdateLocked()) {
        Bar.SetUpdateLocked(true);
    }
    ~TBarLock() { Bar.SetUpdateLocked(Was); }
};

// The bars collection's loading mode, set for a while.
struct TBarsLoading {
    TdxBars& Bars;
    bool Was;
    explicit TBarsLoading(TdxBars& ABars) : Bars(ABars), Was(ABars.Loading()) {
        Bars.SetLoading(true);
    }
    ~TBarsLoading() { Bars.SetLoading(Was); }
};

void ReadLink(TdxBarLayoutStore& Store, TdxBarItemLink& Link, bool OfBar, bool Usage) {
    Link.SetBeginGroup(Store.RequiredBool("BeginGroup", false));
    const TdxBarUserDefines Defines = Store.RequiredUserDefine();
    Link.SetUserDefine(Defines);
    if (Defines.Contains(udCaption)) Link.SetUserCaption(Store.String("UserCaption", {}));
    if (Defines.Contains(udGlyph)) Store.ReadUserGlyph(Link);
    if (Defines.Contains(udPaintStyle))
        Link.SetUserPaintStyle(
            TdxBarPaintStyle(RequiredOrdinal(Store, "UserPaintStyle", psStandard, psCaptionGlyph)));
    if (Defines.Contains(udWidth)) Link.SetUserWidth(Store.Required("UserWidth", 100));
    if (OfBar) Link.SetLoadedVisible(Store.OptionalBool("Visible", true));
    if (Usage) {
        Link.LoadedUseCount =
            std::clamp(Store.Optional("UseCount", 0), 0, BarsLimits::kMaxStoredUseCount);
        Link.LoadedRecentIndex = Store.Optional("RecentIndex", -1);
    }
}

// A link for the item named in the open section; none when the item is gone or may not be
// linked here.
TdxBarItemLink* AddStoredLink(TdxBarManager& Manager, TdxBarLayoutStore& Store,
                              TdxBarItemLinks& Links) {
    TdxBarItem* Item = Manager.ItemByName(Store.String("ItemName", {}));
    if (!Item) return nullptr;
    TdxBarItemLink* Link = Links.Add();
    try {
        Link->SetItem(Item);
    } catch (const EdxBarError&) {
        delete Link;
        return nullptr;
    }
    return Link;
}

// The owner's section is open for reading.
void LoadLinks(TdxBarManager& Manager, TdxBarLayoutStore& Store, const std::string& Owner,
               TdxBarItemLinks& Links) {
    Links.Clear();
    const int Count =
        std::clamp(Store.Optional("ItemLinkCount", 0), 0, BarsLimits::kMaxStoredLinks);
    const bool OfBar = Links.OwnerBar() != nullptr;
    const bool Usage = KeepsUsage(Manager, Links);
    for (int K = 0; K < Count; ++K) {
        if (!Store.BeginRead(Store.LinkSection(Owner, K))) continue;
        TdxBarItemLink* Link = nullptr;
        try {
            Link = AddStoredLink(Manager, Store, Links);
            if (Link) ReadLink(Store, *Link, OfBar, Usage);
        } catch (const Exception&) {
            // The link keeps what was read before the damage (or, without an item, goes).
            if (Link && !Link->Item()) delete Link;
        }
    }
    Links.ResetUsage(true);
}

void ReadBarValues(TdxBarManager& Manager, TdxBarLayoutStore& Store, TdxBar& Bar) {
    Bar.SetCaption(Store.String("Caption", Bar.Caption()));
    Bar.SetDockedDockControl(FindDockControl(Manager, Store.String("DockedDockControl", {})));
    Bar.SetDockedDockingStyle(TdxBarDockingStyle(
        RequiredOrdinal(Store, "DockedDockingStyle", Bar.DockedDockingStyle(), dsBottom)));
    Bar.SetDockedLeft(Store.Required("DockedLeft", Bar.DockedLeft()));
    Bar.SetDockedTop(Store.Required("DockedTop", Bar.DockedTop()));
    Bar.OneOnRow = Store.RequiredBool("OneOnRow", Bar.OneOnRow);
    Bar.SetRow(Store.Required("Row", Bar.Row()));
    Bar.FloatLeft = Store.Required("FloatLeft", Bar.FloatLeft);
    Bar.FloatTop = Store.Required("FloatTop", Bar.FloatTop);
    Bar.FloatClientWidth = Store.Required("FloatClientWidth", Bar.FloatClientWidth);
    Bar.FloatClientHeight = Store.Required("FloatClientHeight", Bar.FloatClientHeight);
    Bar.SetDockControl(FindDockControl(Manager, Store.String("DockControl", {})));
    Bar.SetDockingStyle(
        TdxBarDockingStyle(RequiredOrdinal(Store, "DockingStyle", Bar.DockingStyle(), dsBottom)));
    TBarsLoading Loading(*Bar.Bars());
    Bar.SetVisible(Store.RequiredBool("Visible", false));
}

void LoadBar(TdxBarManager& Manager, TdxBarLayoutStore& Store, const std::string& Section,
             TdxBar& Bar) {
    TBarLock Lock(Bar);
    try {
        LoadLinks(Manager, Store, Section, *Bar.ItemLinks());
        Store.BeginRead(Section);
        ReadBarValues(Manager, Store, Bar);
    } catch (const Exception&) {
        // Whatever broke off the reading, the user gets to see the bar.
        TBarsLoading Loading(*Bar.Bars());
        Bar.SetVisible(true);
    }
}

void LoadBars(TdxBarManager& Manager, TdxBarLayoutStore& Store, int Count) {
    TdxBars& Bars = *Manager.Bars();
    for (int I = 0; I < Bars.Count(); ++I) Bars.Items(I)->SetVisible(false);
    Count = std::min(Count, BarsLimits::kMaxStoredBars);
    for (int I = 0; I < Count; ++I) {
        const std::string Section = Store.BarSection(I);
        if (!Store.BarStored(Section)) continue;
        // A gap in the stored numbering leaves hidden fillers before this bar.
        while (Bars.Count() <= I) Bars.Add();
        LoadBar(Manager, Store, Section, *Bars.Items(I));
    }
}

}  // namespace

void SaveBarLayout(TdxBarManager& Manager, TdxBarLayoutStore& Store) {
    Store.Clear();
    if (!Store.BeginWrite(Store.ManagerSection())) return;
    if (Manager.Style() != bmsStandard) {
        Store.WriteBool("MenusShowRecentItemsFirst", Manager.MenusShowRecentItemsFirst());
        Store.WriteBool("ShowFullMenusAfterDelay", Manager.ShowFullMenusAfterDelay());
    }
    Store.WriteBool("LargeIcons", Manager.LargeIcons());
    Store.WriteInteger("MenuAnimations", Manager.MenuAnimations());
    Store.WriteBool("ShowHint", Manager.ShowHint());
    Store.WriteBool("ShowShortCutInHint", Manager.ShowShortCutInHint());
    Store.WriteInteger("BarCount", Manager.Bars()->Count());
    Store.EndSection();
    for (int I = 0; I < Manager.Bars()->Count(); ++I) {
        TdxBar* Bar = Manager.Bars()->Items(I);
        const std::string Section = Store.BarSection(I);
        if (!Store.BeginWrite(Section)) continue;
        SaveBar(Store, *Bar);
        SaveLinks(Manager, Store, Section, *Bar->ItemLinks());
    }
    for (int I = 0; I < Manager.ItemCount(); ++I) {
        auto* Sub = dynamic_cast<TCustomdxBarSubItem*>(Manager.Items(I));
        if (!Sub || Sub->Name().empty()) continue;
        const std::string Section = Store.SubItemSection(Sub->Name());
        if (Store.BeginWrite(Section)) SaveLinks(Manager, Store, Section, *Sub->ItemLinks());
    }
    Store.Flush();
}

void LoadBarLayout(TdxBarManager& Manager, TdxBarLayoutStore& Store) {
    if (!Store.BeginRead(Store.ManagerSection())) return;
    TdxBarUpdateLock Lock(&Manager);
    ReadManagerOptions(Manager, [&](const std::string& Name) { return Store.ReadInteger(Name); });
    if (const std::optional<int> Count = Store.ReadInteger("BarCount"); Count && *Count >= 0)
        LoadBars(Manager, Store, *Count);
    for (int I = 0; I < Manager.ItemCount(); ++I) {
        auto* Sub = dynamic_cast<TCustomdxBarSubItem*>(Manager.Items(I));
        if (!Sub || Sub->Name().empty()) continue;
        const std::string Section = Store.SubItemSection(Sub->Name());
        if (Store.BeginRead(Section) && Store.Optional("ItemLinkCount", -1) >= 0)
            LoadLinks(Manager, Store, Section, *Sub->ItemLinks());
    }
}
