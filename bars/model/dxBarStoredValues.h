#pragma once
// Values of a stored bar layout as the layout readers take them. A store is the user's file and
// may be damaged: a value of the wrong type counts as missing, flags keep only the bits that
// exist, and a stored glyph goes through the bounded bitmap reader.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarTypes.h"

class TRegistry;

// A DWORD value of the open key; none when it is missing or of another type.
std::optional<int32_t> ReadStoredInteger(TRegistry& Registry, const std::string& Name);
std::optional<bool> ReadStoredBool(TRegistry& Registry, const std::string& Name);

// The manager's options of a stored layout in their stored order, each handed to Visit with its
// value now and how to set it (the recent-item options exist in the other styles only).
template <class TVisit>
void VisitManagerOptions(TdxBarManager& Manager, TVisit& Visit) {
    if (Manager.Style() != bmsStandard) {
        Visit.Bool("MenusShowRecentItemsFirst", Manager.MenusShowRecentItemsFirst(),
                   [&](bool V) { Manager.SetMenusShowRecentItemsFirst(V); });
        Visit.Bool("ShowFullMenusAfterDelay", Manager.ShowFullMenusAfterDelay(),
                   [&](bool V) { Manager.SetShowFullMenusAfterDelay(V); });
    }
    Visit.Bool("LargeIcons", Manager.LargeIcons(), [&](bool V) { Manager.SetLargeIcons(V); });
    Visit.Ordinal("MenuAnimations", Manager.MenuAnimations(), maSlide,
                  [&](int V) { Manager.SetMenuAnimations(TdxBarMenuAnimations(V)); });
    Visit.Bool("ShowHint", Manager.ShowHint(), [&](bool V) { Manager.SetShowHint(V); });
    Visit.Bool("ShowShortCutInHint", Manager.ShowShortCutInHint(),
               [&](bool V) { Manager.SetShowShortCutInHint(V); });
}

// The manager's options of a stored layout, each read by Read (none: missing or damaged): each one
// that is there with a meaningful value is set through its property, the others are left as they
// are. The registry form reads the open key.
using TStoredIntegerReader = std::function<std::optional<int32_t>(const std::string& Name)>;
void ReadManagerOptions(TdxBarManager& Manager, const TStoredIntegerReader& Read);
void ReadManagerOptions(TdxBarManager& Manager, TRegistry& Registry);

// The UserDefine flags of a stored number: the defined bits only.
TdxBarUserDefines UserDefinesFromStored(int64_t Bits);

// A link's user glyph from a stored BMP file image. EInvalidGraphic for data that is not a
// bitmap or is larger than BarsLimits::kMaxUserGlyphBytes; the glyph is then unchanged.
void LoadUserGlyph(TdxBarItemLink& Link, const std::string& Bmp);
