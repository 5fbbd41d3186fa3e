#include "bars/model/dxBarStoredLayout.h"

#include <algorithm>

#include "bars/model/Limits.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarItems.h"
#include "bars/model/dxBarLayoutStores.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarStoredValues.h"
#include "bars/model/dxBarViews.h"
#include "bars/model/dxBars.h"

namespace {

// ---- writing ----------------------------------------------------------------------------------

bool KeepsUsage(const TdxBarManager& Manager, const TdxBarItemLinks& Links) {
    return Manager.Style() != bmsStandard && Links.UseRecentItems();
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

// The values of a bar in their stored order, each handed to Visit with its value now and how
// to set it: Visit writes them, or reads them and sets what it read.
template <class TVisit>
void VisitBarValues(TdxBar& Bar, TVisit& Visit) {
    Visit.Text("Caption", Bar.Caption(), [&](const std::string& V) { Bar.SetCaption(V); });
    Visit.Site("DockedDockControl", Bar.DockedDockControl(),
               [&](TdxBarDockControl* V) { Bar.SetDockedDockControl(V); });
    Visit.Ordinal("DockedDockingStyle", Bar.DockedDockingStyle(), dsBottom,
                  [&](int V) { Bar.SetDockedDockingStyle(TdxBarDockingStyle(V)); });
    Visit.Integer("DockedLeft", BarsLimits::kStoredPosition, Bar.DockedLeft(),
                  [&](int V) { Bar.SetDockedLeft(V); });
    Visit.Integer("DockedTop", BarsLimits::kStoredPosition, Bar.DockedTop(),
                  [&](int V) { Bar.SetDockedTop(V); });
    Visit.Bool("OneOnRow", Bar.OneOnRow, [&](bool V) { Bar.OneOnRow = V; });
    Visit.Integer("Row", BarsLimits::kStoredRow, Bar.Row(), [&](int V) { Bar.SetRow(V); });
    Visit.Integer("FloatLeft", BarsLimits::kStoredPosition, Bar.FloatLeft,
                  [&](int V) { Bar.FloatLeft = V; });
    Visit.Integer("FloatTop", BarsLimits::kStoredPosition, Bar.FloatTop,
                  [&](int V) { Bar.FloatTop = V; });
    Visit.Integer("FloatClientWidth", BarsLimits::kStoredSize, Bar.FloatClientWidth,
                  [&](int V) { Bar.FloatClientWidth = V; });
    Visit.Integer("FloatClientHeight", BarsLimits::kStoredSize, Bar.FloatClientHeight,
                  [&](int V) { Bar.FloatClientHeight = V; });
    Visit.Site("DockControl", Bar.DockControl(),
               [&](TdxBarDockControl* V) { Bar.SetDockControl(V); });
    Visit.Ordinal("DockingStyle", Bar.DockingStyle(), dsBottom,
                  [&](int V) { Bar.SetDockingStyle(TdxBarDockingStyle(V)); });
    Visit.Shown("Visible", Bar.Visible(), [&](bool V) { Bar.SetVisible(V); });
}

// Writes the values a visit hands it.
struct TBarWriter {
    TdxBarLayoutStore& Store;
    template <class F>
    void Text(const char* Name, const std::string& Value, F) {
        Store.WriteString(Name, Value);
    }
    // A dock site is kept by its name, and only when there is one.
    template <class F>
    void Site(const char* Name, const TdxBarDockControl* Value, F) {
        if (Value) Store.WriteString(Name, dxBarViews().SiteName(Value));
    }
    template <class F>
    void Integer(const char* Name, BarsLimits::TStoredRange, int Value, F) {
        Store.WriteInteger(Name, Value);
    }
    template <class F>
    void Ordinal(const char* Name, int Value, int, F) {
        Store.WriteInteger(Name, Value);
    }
    template <class F>
    void Bool(const char* Name, bool Value, F) {
        Store.WriteBool(Name, Value);
    }
    template <class F>
    void Shown(const char* Name, bool Value, F) {
        Store.WriteBool(Name, Value);
    }
};

// ---- reading ----------------------------------------------------------------------------------

// A number that must lie in Range: one outside counts as missing.
int RequiredIn(TdxBarLayoutStore& Store, const std::string& Name, int Default,
               BarsLimits::TStoredRange Range) {
    const int Value = Store.Required(Name, Default);
    if (!Range.Holds(Value)) throw EStoredValueMissing("\"" + Name + "\" is out of range");
    return Value;
}

// An ordinal of an enumeration whose last value is Last.
int RequiredOrdinal(TdxBarLayoutStore& Store, const std::string& Name, int Default, int Last) {
    return RequiredIn(Store, Name, Default, {0, Last});
}

TdxBarDockControl* FindDockControl(TdxBarManager& Manager, const std::string& Name) {
    TCustomForm* Form = Manager.OwnerForm();
    if (Name.empty() || !Form) return nullptr;
    return dxBarViews().FindSite(Form, Name);
}

TdxBarStateScope<TdxBar> LockedBar(TdxBar& Bar) {
    return {Bar, &TdxBar::UpdateLocked, &TdxBar::SetUpdateLocked};
}

TdxBarStateScope<TdxBars> LoadingBars(TdxBars& Bars) {
    return {Bars, &TdxBars::Loading, &TdxBars::SetLoading};
}

void ReadLink(TdxBarLayoutStore& Store, TdxBarItemLink& Link, bool OfBar, bool Usage) {
    Link.SetBeginGroup(Store.RequiredBool("BeginGroup", false));
    const TdxBarUserDefines Defines = Store.RequiredUserDefine();
    Link.SetUserDefine(Defines);
    TdxBarUserDefines Read;
    try {
        if (Defines.Contains(udCaption)) {
            Link.SetUserCaption(Store.String("UserCaption", {}));
            Read.Include(udCaption);
        }
        if (Defines.Contains(udGlyph)) {
            Store.ReadUserGlyph(Link);
            Read.Include(udGlyph);
        }
        if (Defines.Contains(udPaintStyle)) {
            Link.SetUserPaintStyle(TdxBarPaintStyle(
                RequiredOrdinal(Store, "UserPaintStyle", psStandard, psCaptionGlyph)));
            Read.Include(udPaintStyle);
        }
        if (Defines.Contains(udWidth))
            Link.SetUserWidth(RequiredIn(Store, "UserWidth", 100, BarsLimits::kStoredSize));
    } catch (const Exception&) {
        // A flag whose value was not read stays off: the item's own value serves instead.
        Link.SetUserDefine(Read);
        throw;
    }
    if (OfBar) Link.SetLoadedVisible(Store.OptionalBool("Visible", true));
    if (Usage) {
        Link.LoadedUseCount =
            std::clamp(Store.Optional("UseCount", 0), 0, BarsLimits::kMaxStoredUseCount);
        const int RecentIndex = Store.Optional("RecentIndex", -1);
        Link.LoadedRecentIndex =
            BarsLimits::kStoredRecentIndex.Holds(RecentIndex) ? RecentIndex : -1;
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

// Reads a bar's values; a missing or damaged one breaks off (see the store), and the bar is
// then shown by the caller.
struct TBarReader {
    TdxBarManager& Manager;
    TdxBarLayoutStore& Store;
    TdxBar& Bar;
    template <class F>
    void Text(const char* Name, const std::string& Value, F Set) {
        Set(Store.String(Name, Value));
    }
    template <class F>
    void Site(const char* Name, const TdxBarDockControl*, F Set) {
        Set(FindDockControl(Manager, Store.String(Name, {})));
    }
    template <class F>
    void Integer(const char* Name, BarsLimits::TStoredRange Range, int Value, F Set) {
        Set(RequiredIn(Store, Name, Value, Range));
    }
    template <class F>
    void Ordinal(const char* Name, int Value, int Last, F Set) {
        Set(RequiredOrdinal(Store, Name, Value, Last));
    }
    template <class F>
    void Bool(const char* Name, bool Value, F Set) {
        Set(Store.RequiredBool(Name, Value));
    }
    // Shown quietly, as while the manager loads; missing: hidden.
    template <class F>
    void Shown(const char* Name, bool, F Set) {
        const auto Loading = LoadingBars(*Bar.Bars());
        Set(Store.RequiredBool(Name, false));
    }
};

void LoadBar(TdxBarManager& Manager, TdxBarLayoutStore& Store, const std::string& Section,
             TdxBar& Bar) {
    const auto Lock = LockedBar(Bar);
    try {
        LoadLinks(Manager, Store, Section, *Bar.ItemLinks());
        Store.BeginRead(Section);
        TBarReader Reader{Manager, Store, Bar};
        VisitBarValues(Bar, Reader);
    } catch (const Exception&) {
        // Whatever broke off the reading, the user gets to see the bar.
        const auto Loading = LoadingBars(*Bar.Bars());
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
    TBarWriter Writer{Store};
    VisitManagerOptions(Manager, Writer);
    Store.WriteInteger("BarCount", Manager.Bars()->Count());
    Store.EndSection();
    for (int I = 0; I < Manager.Bars()->Count(); ++I) {
        TdxBar* Bar = Manager.Bars()->Items(I);
        const std::string Section = Store.BarSection(I);
        if (!Store.BeginWrite(Section)) continue;
        VisitBarValues(*Bar, Writer);
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
