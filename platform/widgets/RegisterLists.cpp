// The list controls, the status bar, the up-down and the image list in the class registry.
#include <string>

#include "platform/forms/Filer.h"
#include "platform/forms/StandardClasses.h"
#include "platform/gdi/Limits.h"
#include "platform/widgets/ComboBoxes.h"
#include "platform/widgets/ImgList.h"
#include "platform/widgets/ListBoxes.h"
#include "platform/widgets/Register.h"
#include "platform/widgets/StatusBars.h"
#include "platform/widgets/UpDowns.h"

namespace {

void RegisterEnums() {
    RegisterEnum<TListBoxStyle>({"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable"});
    RegisterEnum<TComboBoxStyle>(
        {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed", "csOwnerDrawVariable"});
    RegisterEnum<TStatusPanelStyle>({"psText", "psOwnerDraw"});
    RegisterEnum<TStatusPanelBevel>({"pbNone", "pbLowered", "pbRaised"});
    RegisterEnum<TUDAlignButton>({"udLeft", "udRight"});
    RegisterEnum<TUDOrientation>({"udHorizontal", "udVertical"});
    RegisterEnum<TDrawingStyle>({"dsFocus", "dsSelected", "dsNormal", "dsTransparent"});
    RegisterEnum<TImageType>({"itImage", "itMask"});
}

void RegisterLists() {
    RegisterClass<TListControlItems>("TListControlItems")
        .DefineProperties(
            [](TListControlItems& Items, TFiler& Filer) { DefineStrings(Items, Filer); });
    RegisterClass<TCustomListControl, TWinControl>("TCustomListControl")
        .Object("Items", &TCustomListControl::Items)
        .Property("ItemIndex", &TCustomListControl::ItemIndex, &TCustomListControl::SetItemIndex,
                  Default(-1))
        .Property("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, Default(false))
        .Property("Sorted", &TCustomListControl::Sorted, &TCustomListControl::SetSorted,
                  Default(false))
        .Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, Default(true))
        .Field("OnDrawItem", &TCustomListControl::OnDrawItem)
        .Field("OnMeasureItem", &TCustomListControl::OnMeasureItem);

    RegisterClass<TCustomListBox, TCustomListControl>("TCustomListBox")
        .Property("BorderStyle", &TCustomListBox::BorderStyle, &TCustomListBox::SetBorderStyle,
                  Default(bsSingle))
        .Property("Columns", &TCustomListBox::Columns, &TCustomListBox::SetColumns, Default(0))
        .Property("ExtendedSelect", &TCustomListBox::ExtendedSelect,
                  &TCustomListBox::SetExtendedSelect, Default(true))
        .Property("IntegralHeight", &TCustomListBox::IntegralHeight,
                  &TCustomListBox::SetIntegralHeight, Default(false))
        .Property("ItemHeight", &TCustomListBox::ItemHeight, &TCustomListBox::SetItemHeight)
        .Property("MultiSelect", &TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect,
                  Default(false))
        .Property("Style", &TCustomListBox::Style, &TCustomListBox::SetStyle, Default(lbStandard));
    RegisterClass<TListBox, TCustomListBox>("TListBox");
    RegisterClass<TCheckListBox, TCustomListBox>("TCheckListBox")
        .Property("AllowGrayed", &TCheckListBox::AllowGrayed, &TCheckListBox::SetAllowGrayed,
                  Default(false))
        .Property("Style", &TCustomListBox::Style, &TCustomListBox::SetStyle,
                  Default(lbOwnerDrawFixed))
        .Field("OnClickCheck", &TCheckListBox::OnClickCheck);

    RegisterClass<TCustomComboBox, TCustomListControl>("TCustomComboBox")
        .Property("DropDownCount", &TCustomComboBox::DropDownCount,
                  &TCustomComboBox::SetDropDownCount, Default(8))
        .Property("ItemHeight", &TCustomComboBox::ItemHeight, &TCustomComboBox::SetItemHeight)
        .Property("MaxLength", &TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength,
                  Default(0))
        .Property("Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle, Default(csDropDown))
        .Property("Text", &TControl::Text, &TControl::SetText)
        .Field("OnChange", &TCustomComboBox::OnChange)
        .Field("OnCloseUp", &TCustomComboBox::OnCloseUp)
        .Field("OnDropDown", &TCustomComboBox::OnDropDown)
        .Field("OnSelect", &TCustomComboBox::OnSelect);
    RegisterClass<TComboBox, TCustomComboBox>("TComboBox");
}

void RegisterStatusBar() {
    RegisterClass<TStatusPanel, TCollectionItem>("TStatusPanel")
        .Property("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment,
                  Default(taLeftJustify))
        .Property("Bevel", &TStatusPanel::Bevel, &TStatusPanel::SetBevel, Default(pbLowered))
        .Property("Style", &TStatusPanel::Style, &TStatusPanel::SetStyle, Default(psText))
        .Property("Text", &TStatusPanel::Text, &TStatusPanel::SetText)
        .Property("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth, Default(50));
    RegisterClass<TStatusPanels, TCollection>("TStatusPanels");
    RegisterClass<TCustomStatusBar, TWinControl>("TCustomStatusBar")
        .Property("Align", &TControl::Align, &TControl::SetAlign, Default(alBottom))
        .Object("Panels", &TCustomStatusBar::Panels)
        .Property("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, Default(false))
        .Property("SimplePanel", &TCustomStatusBar::SimplePanel, &TCustomStatusBar::SetSimplePanel,
                  Default(false))
        .Property("SimpleText", &TCustomStatusBar::SimpleText, &TCustomStatusBar::SetSimpleText)
        .Property("SizeGrip", &TCustomStatusBar::SizeGrip, &TCustomStatusBar::SetSizeGrip,
                  Default(true))
        .Field("OnDrawPanel", &TCustomStatusBar::OnDrawPanel);
    RegisterClass<TStatusBar, TCustomStatusBar>("TStatusBar");
}

void RegisterUpDown() {
    RegisterClass<TCustomUpDown, TWinControl>("TCustomUpDown")
        .Property("AlignButton", &TCustomUpDown::AlignButton, &TCustomUpDown::SetAlignButton,
                  Default(udRight))
        .Property("ArrowKeys", &TCustomUpDown::ArrowKeys, &TCustomUpDown::SetArrowKeys,
                  Default(true))
        .Property("Associate", &TCustomUpDown::Associate, &TCustomUpDown::SetAssociate)
        .Property("Increment", &TCustomUpDown::Increment, &TCustomUpDown::SetIncrement, Default(1))
        .Property("Max", &TCustomUpDown::Max, &TCustomUpDown::SetMax, Default(100))
        .Property("Min", &TCustomUpDown::Min, &TCustomUpDown::SetMin, Default(0))
        .Property("Orientation", &TCustomUpDown::Orientation, &TCustomUpDown::SetOrientation,
                  Default(udVertical))
        .Property("Position", &TCustomUpDown::Position, &TCustomUpDown::SetPosition, Default(0))
        .Property("Thousands", &TCustomUpDown::Thousands, &TCustomUpDown::SetThousands,
                  Default(true))
        .Property("Wrap", &TCustomUpDown::Wrap, &TCustomUpDown::SetWrap, Default(false))
        .Field("OnChanging", &TCustomUpDown::OnChanging)
        .Field("OnClick", &TCustomUpDown::OnClick);
    RegisterClass<TUpDown, TCustomUpDown>("TUpDown");
}

// An image side from a definition: a size the painting layer takes, or a clear error (the list
// itself would ignore it).
int CheckedSide(int Value) {
    if (Value < 1 || Value > GdiLimits::kMaxBitmapSide)
        throw ERangeError("Image size " + std::to_string(Value) + " is not between 1 and " +
                          std::to_string(GdiLimits::kMaxBitmapSide));
    return Value;
}

void RegisterImageList() {
    RegisterClass<TImageList, TComponent>("TImageList")
        .Property("AllocBy", &TImageList::AllocBy, &TImageList::SetAllocBy, Default(4))
        .Property("BkColor", &TImageList::BkColor, &TImageList::SetBkColor, Idents(ColorIdents()),
                  Default(clNone))
        .Property("DrawingStyle", &TImageList::DrawingStyle, &TImageList::SetDrawingStyle,
                  Default(dsNormal))
        .Property(
            "Height", &TImageList::Height,
            [](TImageList& List, int Value) { List.SetHeight(CheckedSide(Value)); }, Default(16))
        .Property("ImageType", &TImageList::ImageType, &TImageList::SetImageType, Default(itImage))
        .Property("Masked", &TImageList::Masked, &TImageList::SetMasked, Default(true))
        .Property(
            "Width", &TImageList::Width,
            [](TImageList& List, int Value) { List.SetWidth(CheckedSide(Value)); }, Default(16))
        .Field("OnChange", &TImageList::OnChange);
}

}  // namespace

void RegisterListControls() {
    RegisterEnums();
    RegisterLists();
    RegisterStatusBar();
    RegisterUpDown();
    RegisterImageList();
}
