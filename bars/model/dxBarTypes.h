#pragma once
// The toolbar and menu framework's enumerations, event types and shared constants. Every other
// header of the framework starts here; the names and the order of the enumerations are those
// form definitions store.
#include <functional>

#include "platform/actions/ActnList.h"
#include "platform/classes/Exception.h"
#include "platform/classes/Mnemonics.h"
#include "platform/core/Messages.h"
#include "platform/forms/Set.h"

class TdxBar;
class TdxBarControl;
class TdxBarItem;
class TdxBarItemControl;
class TdxBarItemLink;
class TdxBarItemLinks;
class TdxBarManager;
class TdxBarPopupMenu;
class TdxBarPopupMenuLink;
class TdxBars;
class TCustomdxBarControl;
class TCustomdxBarSubItem;
class TdxDockControl;
class TdxBarDockControl;

enum TdxBarItemAlign { iaLeft, iaCenter, iaRight, iaClient };
enum TdxBarItemVisible { ivNever, ivInCustomizing, ivAlways };
enum TdxBarButtonStyle { bsDefault, bsChecked, bsDropDown };
enum TdxBarPaintStyle { psStandard, psCaption, psCaptionInMenu, psCaptionGlyph };
enum TdxBarBorderStyle { bbsNone, bbsSingle };
enum TdxBarDockingStyle { dsNone, dsLeft, dsTop, dsRight, dsBottom };
using TdxBarDockingStyles = TSet<TdxBarDockingStyle>;
enum TdxBarUserDefine { udCaption, udGlyph, udPaintStyle, udWidth };
using TdxBarUserDefines = TSet<TdxBarUserDefine>;
enum TdxBarManagerStyle { bmsStandard, bmsEnhanced, bmsFlat };
enum TdxBarMenuAnimations { maNone, maRandom, maUnfold, maSlide };
enum TdxBarDockAlign { dalNone, dalTop, dalBottom, dalLeft, dalRight };

// Every UserDefine flag there is; stored masks keep only these bits.
inline constexpr TdxBarUserDefines kAllUserDefines{udCaption, udGlyph, udPaintStyle, udWidth};

// Where a caption's accelerator character is: bars and their menus take the last single "&".
inline size_t BarAccelPos(const std::string& Caption) {
    return MnemonicPos(Caption, TMnemonicMark::Last);
}

// Limits an item width to 20 through 600.
inline void CheckWidth(int& Width) {
    if (Width < 20) Width = 20;
    if (Width > 600) Width = 600;
}

using TdxBarEvent = std::function<void(TdxBarManager* Sender, TdxBar* ABar)>;
using TdxBarVisibleChangeEvent = std::function<void(TdxBarManager* Sender, TdxBar* ABar)>;
using TdxBarItemLinkEvent = std::function<void(TdxBarManager* Sender, TdxBarItemLink* AItemLink)>;
using TdxBarCanDockingEvent = std::function<void(TdxBar* Sender, TdxBarDockingStyle Style,
                                                 TdxDockControl* DockControl, bool& CanDocking)>;
using TdxBarMenuMergeEvent =
    std::function<void(TdxBarManager* Sender, TdxBarManager* ChildBarManager, bool AddItems)>;
using TdxBarShowPopupEvent =
    std::function<void(TdxBarManager* Sender, TdxBarItemLinks* PopupItemLinks)>;
using TdxBarClickItemEvent = std::function<void(TdxBarManager* Sender, TdxBarItem* ClickedItem)>;
using TdxBarPopupMenuLinkActionEvent = std::function<void(
    TdxBarPopupMenuLink* Sender, int& X, int& Y, bool ClickedByMouse, bool& AllowPopup)>;

// Refused operations of the framework (recursive groups or sub-items, a second manager).
class EdxBarError : public Exception {
  public:
    using Exception::Exception;
};

// Posted to a bar window whenever the links it shows must be laid out again.
inline constexpr UINT WM_DXBARUPDATELAYOUT = WM_USER + 1;

// Cursor numbers of the application's cursor table that the framework fills at start-up.
inline constexpr int crdxBarDrag = 1041;
inline constexpr int crdxBarDragCopy = 1042;
inline constexpr int crdxBarDragNoDrop = 1043;
inline constexpr int crdxBarEditSizing = 1044;

// Docked bars' mark (the end button with the chevron) takes this much of the line.
inline constexpr int kdxBarMarkSize = 11;
// A floating bar's mark in the caption of the standard and enhanced styles.
inline constexpr int kdxBarFloatingMarkWidth = 13;
// How often a floating bar looks whether the pointer has left its hot mark (milliseconds).
inline constexpr UINT kdxBarMarkTimerElapse = 50;

// How a drag with the mouse ended: the button came up, Esc, or otherwise (the capture was
// taken away, or whoever ran it ended it).
enum class TdxBarDragEnd { Released, Escaped, Ended };
