#include "bars/dxBarRegister.h"

#include <array>

#include "bars/customize/dxBarCustomizeEntry.h"
#include "bars/customize/dxBarQuickCust.h"
#include "bars/dxBar.h"
#include "bars/look/dxBarCursors.h"
#include "bars/windows/dxBarSystemMenu.h"
#include "bars/windows/dxBarWindowViews.h"
#include "platform/core/Input.h"
#include "platform/forms/ClassRegistry.h"
#include "platform/forms/Filer.h"
#include "platform/forms/StandardClasses.h"
#include "platform/widgets/Register.h"

namespace {

void RegisterBarEnums() {
    RegisterEnum<TdxBarItemAlign>({"iaLeft", "iaCenter", "iaRight", "iaClient"});
    RegisterEnum<TdxBarItemVisible>({"ivNever", "ivInCustomizing", "ivAlways"});
    RegisterEnum<TdxBarButtonStyle>({"bsDefault", "bsChecked", "bsDropDown"});
    RegisterEnum<TdxBarPaintStyle>(
        {"psStandard", "psCaption", "psCaptionInMenu", "psCaptionGlyph"});
    RegisterEnum<TdxBarBorderStyle>({"bbsNone", "bbsSingle"});
    RegisterEnum<TdxBarDockingStyle>({"dsNone", "dsLeft", "dsTop", "dsRight", "dsBottom"});
    RegisterEnum<TdxBarUserDefine>({"udCaption", "udGlyph", "udPaintStyle", "udWidth"});
    RegisterEnum<TdxBarManagerStyle>({"bmsStandard", "bmsEnhanced", "bmsFlat"});
    RegisterEnum<TdxBarMenuAnimations>({"maNone", "maRandom", "maUnfold", "maSlide"});
    RegisterEnum<TdxBarDockAlign>({"dalNone", "dalTop", "dalBottom", "dalLeft", "dalRight"});
}

void RegisterManager() {
    RegisterClass<TdxBarManagerCategories, TStringList>("TdxBarManagerCategories")
        .DefineProperties(
            [](TdxBarManagerCategories& C, TFiler& Filer) { C.DefineProperties(Filer); });
    using M = TdxBarManager;
    RegisterClass<TdxBarManager, TComponent>("TdxBarManager")
        .Field("AllowCallFromAnotherForm", &M::AllowCallFromAnotherForm, Default(false))
        .Field("AllowReset", &M::AllowReset, Default(true))
        .Field("AlwaysMerge", &M::AlwaysMerge, Default(false))
        .Field("AlwaysSaveText", &M::AlwaysSaveText, Default(false))
        .Property("AutoDockColor", &M::AutoDockColor, &M::SetAutoDockColor, Default(true))
        .Property("AutoHideEmptyBars", &M::AutoHideEmptyBars, &M::SetAutoHideEmptyBars,
                  Default(false))
        .Property("Scaled", &M::Scaled, &M::SetScaled, Default(true))
        .Object("Font", &M::Font)
        .Object("Bars", &M::Bars)
        .Property("ButtonArrowWidth", &M::ButtonArrowWidth, &M::SetButtonArrowWidth, Default(9))
        .Field("CanCustomize", &M::CanCustomize, Default(true))
        .Object("Categories", &M::Categories)
        .Property("DockColor", &M::DockColor, &M::SetDockColor, Idents(ColorIdents()),
                  Stored([](const M& B) { return !B.AutoDockColor(); }))
        .Property("FlatCloseButton", &M::FlatCloseButton, &M::SetFlatCloseButton, Default(false))
        .Field("HelpContext", &M::HelpContext, Default(0))
        .Property("ImageListBkColor", &M::ImageListBkColor, &M::SetImageListBkColor,
                  Idents(ColorIdents()), Default(clFuchsia))
        .Field("IniFileName", &M::IniFileName)
        .Property("LargeButtonArrowWidth", &M::LargeButtonArrowWidth, &M::SetLargeButtonArrowWidth,
                  Default(14))
        .Property("LargeIcons", &M::LargeIcons, &M::SetLargeIcons, Default(false))
        .Property("MenuAnimations", &M::MenuAnimations, &M::SetMenuAnimations, Default(maNone))
        .Property("MenusShowRecentItemsFirst", &M::MenusShowRecentItemsFirst,
                  &M::SetMenusShowRecentItemsFirst, Default(true))
        .Property("MostRecentItemsPercents", &M::MostRecentItemsPercents,
                  &M::SetMostRecentItemsPercents, Default(95))
        .Field("NotDocking", &M::NotDocking, Default(TdxBarDockingStyles{}))
        .Object("PopupMenuLinks", &M::PopupMenuLinks)
        .Field("RegistryPath", &M::RegistryPath)
        .Property("ShowCloseButton", &M::ShowCloseButton, &M::SetShowCloseButton, Default(false))
        .Property("ShowFullMenusAfterDelay", &M::ShowFullMenusAfterDelay,
                  &M::SetShowFullMenusAfterDelay, Default(true))
        .Property("ShowHelpButton", &M::ShowHelpButton, &M::SetShowHelpButton, Default(false))
        .Property("ShowHint", &M::ShowHint, &M::SetShowHint, Default(true))
        .Field("ShowHintForDisabledItems", &M::ShowHintForDisabledItems, Default(true))
        .Property("ShowShortCutInHint", &M::ShowShortCutInHint, &M::SetShowShortCutInHint,
                  Default(false))
        .Field("StoreInIniFile", &M::StoreInIniFile, Default(false))
        .Field("StoreInRegistry", &M::StoreInRegistry, Default(false))
        .Field("StretchGlyphs", &M::StretchGlyphs, Default(true))
        .Property("Style", &M::Style, &M::SetStyle, Default(bmsEnhanced))
        .Property("SunkenBorder", &M::SunkenBorder, &M::SetSunkenBorder, Default(false))
        .Field("UseF10ForMenu", &M::UseF10ForMenu, Default(true))
        .Field("UseFullReset", &M::UseFullReset, Default(false))
        .Property("UseSystemFont", &M::UseSystemFont, &M::SetUseSystemFont)
        .Property("WaitForDockingTime", &M::WaitForDockingTime, &M::SetWaitForDockingTime,
                  Default(21))
        .Field("OnBarAdd", &M::OnBarAdd)
        .Field("OnBarAfterReset", &M::OnBarAfterReset)
        .Field("OnBarBeforeReset", &M::OnBarBeforeReset)
        .Field("OnBarClose", &M::OnBarClose)
        .Field("OnBarDelete", &M::OnBarDelete)
        .Field("OnBarDockingStyleChange", &M::OnBarDockingStyleChange)
        .Field("OnBarVisibleChange", &M::OnBarVisibleChange)
        .Field("OnItemLinkAdd", &M::OnItemLinkAdd)
        .Field("OnItemLinkChange", &M::OnItemLinkChange)
        .Field("OnItemLinkDelete", &M::OnItemLinkDelete)
        .Field("OnCloseButtonClick", &M::OnCloseButtonClick)
        .Field("OnHelpButtonClick", &M::OnHelpButtonClick)
        .Field("OnHideCustomizingForm", &M::OnHideCustomizingForm)
        .Field("OnShowCustomizingForm", &M::OnShowCustomizingForm)
        .Field("OnDocking", &M::OnDocking)
        .Field("OnMenuMerge", &M::OnMenuMerge)
        .Field("OnShowCustomizingPopup", &M::OnShowCustomizingPopup)
        .Field("OnShowToolbarsPopup", &M::OnShowToolbarsPopup)
        .Field("OnClickItem", &M::OnClickItem);
    RegisterClass<TdxBarGroup, TComponent>("TdxBarGroup")
        .Property("Enabled", &TdxBarGroup::Enabled, &TdxBarGroup::SetEnabled, Default(true))
        .Property("Visible", &TdxBarGroup::Visible, &TdxBarGroup::SetVisible, Default(ivAlways));
}

void RegisterLinksAndBars() {
    using L = TdxBarItemLink;
    RegisterClass<TdxBarItemLink, TCollectionItem>("TdxBarItemLink")
        .Property("BeginGroup", &L::OwnBeginGroup, &L::SetBeginGroup, Default(false))
        .Property("Item", &L::Item, &L::SetItem)
        .Property("MostRecentlyUsed", &L::MostRecentlyUsed, &L::SetMostRecentlyUsed, Default(true))
        .Property("UserCaption", &L::UserCaption, &L::SetUserCaption,
                  Stored([](const L& Link) { return Link.UserDefine().Contains(udCaption); }))
        .Property("UserDefine", &L::UserDefine, &L::SetUserDefine, Default(TdxBarUserDefines{}))
        .Property("UserPaintStyle", &L::UserPaintStyle, &L::SetUserPaintStyle, Default(psStandard))
        .Property("UserWidth", &L::UserWidth, &L::SetUserWidth, Default(0))
        .Property("Visible", &L::Visible, &L::SetVisible, Default(true));
    RegisterClass<TdxBarItemLinks, TCollection>("TdxBarItemLinks");
    using B = TdxBar;
    RegisterClass<TdxBar, TCollectionItem>("TdxBar")
        .Property("AllowClose", &B::AllowClose, &B::SetAllowClose, Default(true))
        .Field("AllowCustomizing", &B::AllowCustomizing, Default(true))
        .Property("AllowQuickCustomizing", &B::AllowQuickCustomizing, &B::SetAllowQuickCustomizing,
                  Default(true))
        .Field("AllowReset", &B::AllowReset, Default(true))
        .Property("BorderStyle", &B::BorderStyle, &B::SetBorderStyle, Default(bbsSingle))
        .Property("Caption", &B::Caption, &B::SetCaption)
        .Property("DockControl", &B::DockControl, &B::SetDockControl)
        .Property("DockedDockControl", &B::DockedDockControl, &B::SetDockedDockControl)
        .Property("DockedDockingStyle", &B::DockedDockingStyle, &B::SetDockedDockingStyle,
                  Stored([](const B& Bar) { return Bar.DockedDockControl() == nullptr; }))
        .Property("DockedLeft", &B::DockedLeft, &B::SetDockedLeft)
        .Property("DockedTop", &B::DockedTop, &B::SetDockedTop)
        .Property("DockingStyle", &B::DockingStyle, &B::SetDockingStyle,
                  Stored([](const B& Bar) { return Bar.DockControl() == nullptr; }))
        .Field("FloatLeft", &B::FloatLeft)
        .Field("FloatTop", &B::FloatTop)
        .Field("FloatClientWidth", &B::FloatClientWidth)
        .Field("FloatClientHeight", &B::FloatClientHeight)
        .Object("Font", &B::Font, Stored([](const B& Bar) { return Bar.UseOwnFont(); }))
        .Field("Hidden", &B::Hidden, Default(false))
        .Property("IsMainMenu", &B::IsMainMenu, &B::SetIsMainMenu, Default(false))
        .Object("ItemLinks", &B::ItemLinks)
        .Property("MultiLine", &B::MultiLine, &B::SetMultiLine, Default(false))
        .Property("Name", &B::Name, &B::SetName)
        .Field("NotDocking", &B::NotDocking, Default(TdxBarDockingStyles{}))
        .Field("OneOnRow", &B::OneOnRow)
        .Property("RotateWhenVertical", &B::RotateWhenVertical, &B::SetRotateWhenVertical,
                  Default(true))
        .Property("Row", &B::Row, &B::SetRow)
        .Property("ShowMark", &B::ShowMark, &B::SetShowMark, Default(true))
        .Property("SizeGrip", &B::SizeGrip, &B::SetSizeGrip, Default(true))
        .Property("UseOwnFont", &B::UseOwnFont, &B::SetUseOwnFont)
        .Property("UseRecentItems", &B::UseRecentItems, &B::SetUseRecentItems, Default(true))
        .Property("UseRestSpace", &B::UseRestSpace, &B::SetUseRestSpace, Default(false))
        .Property("Visible", &B::Visible, &B::SetVisible)
        .Property("WholeRow", &B::WholeRow, &B::SetWholeRow);
    RegisterClass<TdxBars, TCollection>("TdxBars");
}

void RegisterItems() {
    using I = TdxBarItem;
    RegisterClass<TdxBarItem, TComponent>("TdxBarItem")
        .Property("Action", &I::Action, &I::SetAction)
        .Property("Align", &I::Align, &I::SetAlign, Default(iaLeft))
        .Property("Caption", &I::Caption, &I::SetCaption)
        .Property("Category", &I::Category, &I::SetCategory)
        .Property("Description", &I::Description, &I::SetDescription)
        .Property("Enabled", &I::Enabled, &I::SetEnabled, Default(true))
        .Property("HelpContext", &I::HelpContext, &I::SetHelpContext, Default(0))
        .Property("Hint", &I::Hint, &I::SetHint)
        .Property("Visible", &I::Visible, &I::SetVisible)
        .Field("OnClick", &I::OnClick)
        .Field("OnDestroy", &I::OnDestroy);
    using Btn = TdxBarButton;
    RegisterClass<TdxBarButton, TdxBarItem>("TdxBarButton")
        .Property("AllowAllUp", &Btn::AllowAllUp, &Btn::SetAllowAllUp, Default(false))
        .Property("ButtonStyle", &Btn::ButtonStyle, &Btn::SetButtonStyle, Default(bsDefault))
        .Field("CloseSubMenuOnClick", &Btn::CloseSubMenuOnClick, Default(true))
        .Property("DropDownEnabled", &Btn::DropDownEnabled, &Btn::SetDropDownEnabled, Default(true))
        .Property("GroupIndex", &Btn::GroupIndex, &Btn::SetGroupIndex, Default(0))
        .Property("Down", &Btn::Down, &Btn::SetDown, Default(false))
        .Property("DropDownMenu", &Btn::DropDownMenu, &Btn::SetDropDownMenu)
        .Property("ImageIndex", &Btn::ImageIndex, &Btn::SetImageIndex, Default(-1))
        .Property("Lowered", &Btn::Lowered, &Btn::SetLowered, Default(false))
        .Property("PaintStyle", &Btn::PaintStyle, &Btn::SetPaintStyle, Default(psStandard))
        .Property("ShortCut", &Btn::ShortCut, &Btn::SetShortCut, Default(TShortCut(0)))
        .Property("UnclickAfterDoing", &Btn::UnclickAfterDoing, &Btn::SetUnclickAfterDoing,
                  Default(true));
    using S = TCustomdxBarSubItem;
    RegisterClass<TCustomdxBarSubItem, TdxBarItem>("TCustomdxBarSubItem")
        .Property("BarSize", &S::BarSize, &S::SetBarSize, Default(0))
        .Field("Detachable", &S::Detachable, Default(false))
        .Property("DetachingBar", &S::DetachingBar, &S::SetDetachingBar, Default(-1))
        .Property("ImageIndex", &S::ImageIndex, &S::SetImageIndex, Default(-1))
        .Property("ShowCaption", &S::ShowCaption, &S::SetShowCaption, Default(true))
        .Field("OnCloseUp", &S::OnCloseUp)
        .Field("OnDetaching", &S::OnDetaching)
        .Field("OnPaintBar", &S::OnPaintBar)
        .Field("OnPopup", &S::OnPopup);
    RegisterClass<TdxBarSubItem, TCustomdxBarSubItem>("TdxBarSubItem")
        .Field("AllowCustomizing", &TdxBarSubItem::AllowCustomizing, Default(true))
        .Object("ItemLinks", &TdxBarSubItem::ItemLinks);
}

void RegisterWindowItems() {
    using W = TdxBarWindowItem;
    RegisterClass<TdxBarWindowItem, TdxBarItem>("TdxBarWindowItem")
        .Property("Text", &W::Text, &W::SetText)
        .Field("OnChange", &W::OnChange)
        .Field("OnCurChange", &W::OnCurChange)
        .Field("OnEnter", &W::OnEnter)
        .Field("OnExit", &W::OnExit)
        .Field("OnKeyDown", &W::OnKeyDown)
        .Field("OnKeyUp", &W::OnKeyUp)
        .Field("OnKeyPress", &W::OnKeyPress);
    using E = TdxBarEdit;
    RegisterClass<TdxBarEdit, TdxBarWindowItem>("TdxBarEdit")
        .Property("ImageIndex", &E::ImageIndex, &E::SetImageIndex, Default(-1))
        .Property("MaxLength", &E::MaxLength, &E::SetMaxLength, Default(0))
        .Field("ReadOnly", &E::ReadOnly, Default(false))
        .Property("ShowCaption", &E::ShowCaption, &E::SetShowCaption, Default(false))
        .Property("Width", &E::Width, &E::SetWidth);
    using C = TCustomdxBarCombo;
    RegisterClass<TCustomdxBarCombo, TdxBarEdit>("TCustomdxBarCombo")
        .Property("ShowEditor", &C::ShowEditor, &C::SetShowEditor, Default(true))
        .Field("OnCheckKeyForDropDownWindow", &C::OnCheckKeyForDropDownWindow)
        .Field("OnCloseUp", &C::OnCloseUp)
        .Field("OnDropDown", &C::OnDropDown)
        .Field("OnGetDropDownWindow", &C::OnGetDropDownWindow);
    using CC = TdxBarCustomCombo;
    RegisterClass<TdxBarCustomCombo, TCustomdxBarCombo>("TdxBarCustomCombo")
        .Field("DropDownCount", &CC::DropDownCount, Default(8))
        .Field("DropDownWidth", &CC::DropDownWidth, Default(0))
        .Field("ItemHeight", &CC::ItemHeight, Default(0))
        .Field("OnDrawItem", &CC::OnDrawItem)
        .Field("OnMeasureItem", &CC::OnMeasureItem);
    RegisterClass<TdxBarCombo, TdxBarCustomCombo>("TdxBarCombo")
        .Object("Items", &TdxBarCombo::Items)
        .Property("Sorted", &TdxBarCombo::Sorted, &TdxBarCombo::SetSorted, Default(false))
        .Property("ItemIndex", &TdxBarCombo::ItemIndex, &TdxBarCombo::SetItemIndex);
    RegisterClass<TCustomdxBarContainerItem, TCustomdxBarSubItem>("TCustomdxBarContainerItem")
        .Field("OnGetData", &TCustomdxBarContainerItem::OnGetData);
    RegisterClass<TdxBarContainerItem, TCustomdxBarContainerItem>("TdxBarContainerItem")
        .Object("ItemLinks", &TdxBarContainerItem::ItemLinks);
    using LI = TdxBarListItem;
    RegisterClass<TdxBarListItem, TCustomdxBarContainerItem>("TdxBarListItem")
        .Property("ItemIndex", &LI::ItemIndex, &LI::SetItemIndex, Default(-1))
        .Object("Items", &LI::Items)
        .Field("ShowCheck", &LI::ShowCheck, Default(false))
        .Field("ShowNumbers", &LI::ShowNumbers, Default(true));
}

void RegisterPopupsAndSites() {
    using P = TdxBarPopupMenu;
    RegisterClass<TdxBarPopupMenu, TComponent>("TdxBarPopupMenu")
        .Property("BarManager", &P::BarManager, &P::SetBarManager)
        .Property("BarSize", &P::BarSize, &P::SetBarSize, Default(0))
        .Object("Font", &P::Font, Stored([](const P& Menu) { return Menu.UseOwnFont(); }))
        .Object("ItemLinks", &P::ItemLinks)
        .Property("UseOwnFont", &P::UseOwnFont, &P::SetUseOwnFont, Default(false))
        .Property("UseRecentItems", &P::UseRecentItems, &P::SetUseRecentItems, Default(true))
        .Field("OnCloseUp", &P::OnCloseUp)
        .Field("OnPaintBar", &P::OnPaintBar)
        .Field("OnPopup", &P::OnPopup);
    RegisterClass<TdxBarPopupMenuLink, TCollectionItem>("TdxBarPopupMenuLink")
        .Property("Control", &TdxBarPopupMenuLink::Control, &TdxBarPopupMenuLink::SetControl)
        .Property("PopupMenu", &TdxBarPopupMenuLink::PopupMenu, &TdxBarPopupMenuLink::SetPopupMenu)
        .Field("OnAction", &TdxBarPopupMenuLink::OnAction);
    RegisterClass<TdxBarPopupMenuLinks, TCollection>("TdxBarPopupMenuLinks");
    RegisterClass<TCustomdxBarControl, TCustomControl>("TCustomdxBarControl");
    RegisterClass<TdxBarControl, TCustomdxBarControl>("TdxBarControl");
    RegisterClass<TdxDockControl, TCustomControl>("TdxDockControl")
        .Field("AllowDocking", &TdxDockControl::AllowDocking, Default(true));
    using D = TdxBarDockControl;
    RegisterClass<TdxBarDockControl, TdxDockControl>("TdxBarDockControl")
        .Property("Align", &D::DockAlign, &D::SetDockAlign, Default(dalTop))
        .Field("AllowZeroSizeInDesignTime", &D::AllowZeroSizeInDesignTime, Default(false))
        .Property("BarManager", &D::BarManager, &D::SetManager)
        .Property("Color", &D::Color, &D::SetDockColor, Idents(ColorIdents()),
                  Stored([](const D& Site) { return Site.UseOwnColor() && !Site.ParentColor(); }))
        .Property("ParentColor", &D::ParentColor, &D::SetDockParentColor,
                  Stored([](const D& Site) { return Site.UseOwnColor() && !Site.ParentColor(); }))
        .Property("SunkenBorder", &D::SunkenBorder, &D::SetSunkenBorder,
                  Stored([](const D& Site) { return Site.UseOwnSunkenBorder(); }))
        .Property("UseOwnColor", &D::UseOwnColor, &D::SetUseOwnColor, Default(false))
        .Property("UseOwnSunkenBorder", &D::UseOwnSunkenBorder, &D::SetUseOwnSunkenBorder,
                  Default(false));
}

void RegisterItemControls() {
    RegisterBarItemClass<TdxBarButton, TdxBarButtonControl>("TdxBarButton", true);
    // Edits and combos are buttons on vertical bars.
    RegisterBarItemClass<TdxBarEdit, TdxBarEditControl>(
        "TdxBarEdit", true, &CreateWindowItemControl<TdxBarEditControl>);
    RegisterBarItemClass<TCustomdxBarCombo, TCustomdxBarComboControl>(
        "TCustomdxBarCombo", true, &CreateWindowItemControl<TCustomdxBarComboControl>);
    RegisterBarItemClass<TdxBarCombo, TdxBarComboControl>(
        "TdxBarCombo", true, &CreateWindowItemControl<TdxBarComboControl>);
    RegisterBarItemClass<TdxBarSubItem, TdxBarSubItemControl>("TdxBarSubItem", true);
    RegisterBarItemClass<TdxBarListItem, TdxBarContainerItemControl>("TdxBarListItem", true);
    RegisterBarItemClass<TdxBarContainerItem, TdxBarContainerItemControl>("TdxBarContainerItem",
                                                                          true);
    RegisterBarItemClass<TdxBarQuickCustExtButton, TdxBarQuickCustExtButtonControl>(
        "TdxBarQuickCustExtButton", false);
    RegisterBarItemClass<TdxBarQuickCustItem, TdxBarQuickCustItemControl>("TdxBarQuickCustItem",
                                                                          false);
    RegisterBarItemClass<TSystemMenuSubItem, TSystemMenuSubItemControl>("TSystemMenuSubItem",
                                                                        false);
}

}  // namespace

void RegisterBarClasses() {
    static const bool Done = [] {
        RegisterWidgetClasses();
        RegisterBarEnums();
        RegisterManager();
        RegisterLinksAndBars();
        RegisterItems();
        RegisterWindowItems();
        RegisterPopupsAndSites();
        RegisterItemControls();
        RegisterdxBarCursors();
        RegisterdxBarViews();
        RegisterdxBarCustomizing();
        return true;
    }();
    (void)Done;
}
