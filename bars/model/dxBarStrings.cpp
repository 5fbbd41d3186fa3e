#include "bars/model/dxBarStrings.h"

#include <iterator>

namespace {

struct TString {
    int Id;
    const char* Text;
};

constexpr TString kStrings[] = {
    {kdxBarCustomizingPopupFirst + 0, "&Reset"},
    {kdxBarCustomizingPopupFirst + 1, "&Delete"},
    {kdxBarCustomizingPopupFirst + 2, "&Name:"},
    {kdxBarCustomizingPopupFirst + 3, "Defa&ult style"},
    {kdxBarCustomizingPopupFirst + 4, "&Text Only (Always)"},
    {kdxBarCustomizingPopupFirst + 5, "Text &Only (in Menus)"},
    {kdxBarCustomizingPopupFirst + 6, "Image &and Text"},
    {kdxBarCustomizingPopupFirst + 7, "Begin a &Group"},
    {kdxBarResetBarQuestion,
     "Are you sure you want to reset the changes made to the '%s' toolbar?"},
    {kdxBarResetUsageDataQuestion,
     "This will delete the record of the commands you've used in this application and restore "
     "the default set of visible commands to the menus and toolbars. It will not undo any "
     "explicit customizations.   Are you sure you want to proceed?"},
    {kdxBarCustomizeCaption, "&Customize..."},
    {kdxBarAddRemoveButtons, "&Add or Remove Buttons"},
    {kdxBarMoreButtons, "More Buttons"},
    {kdxBarResetToolbar, "&Reset Toolbar"},
    {kdxBarExpandMenu, "Expand (Ctrl-Down)"},
    {kdxBarDetachMenu, "Drag to make this menu float"},
    {kdxBarNoManagers, "There are no TdxBarManagers available"},
    {kdxBarDeleteToolbarQuestion, "Are you sure you want to delete the '%s' toolbar?"},
    {kdxBarBlankName, "A command name cannot be blank. Please enter a name."},
    {kdxBarToolbarExists, "A toolbar named '%s' already exists. Type another name."},
    {kdxBarOK, "OK"},
    {kdxBarCancel, "Cancel"},
    {kdxBarTabToolbars, " Toolbars "},
    {kdxBarTabCommands, " Commands "},
    {kdxBarTabOptions, " Options "},
    {kdxBarToolbarsLabel, "Toolb&ars:"},
    {kdxBarNewToolbar, "&New..."},
    {kdxBarRenameToolbar, "R&ename..."},
    {kdxBarDeleteToolbar, "&Delete"},
    {kdxBarResetBar, "&Reset..."},
    {kdxBarClose, "Close"},
    {kdxBarCustomizeFormCaption, "Customize"},
    {kdxBarCategoriesLabel, "Cate&gories:"},
    {kdxBarCommandsLabel, "Comman&ds:"},
    {kdxBarDescriptionLabel, "Description  "},
    {kdxBarAddCategoryCaption, "Add Category"},
    {kdxBarInsertCategoryCaption, "Insert Category"},
    {kdxBarRenameCategoryCaption, "Rename Category"},
    {kdxBarNewToolbarCaption, "Custom "},
    {kdxBarRenameToolbarCaption, "Rename Toolbar"},
    {kdxBarCategoryNameLabel, "&Category name:"},
    {kdxBarToolbarNameLabel, "&Toolbar name:"},
    {kdxBarDeleteCategoryQuestion, "Are you sure you want to delete the '%s' category?"},
    {kdxBarClearCommandsQuestion,
     "Are you sure you want to delete all commands in the '%s' category?"},
    {kdxBarAdd, "Add..."},
    {kdxBarRename, "Rename..."},
    {kdxBarDelete, "Delete"},
    {kdxBarClear, "Clear"},
    {kdxBarVisible, "Visible"},
    {kdxBarSubMenuEditorEntry, "SubMenu Editor..."},
    {kdxBarSubMenuEditorCaption, "VizirizEvev SubMenu Editor"},
    {kdxBarInsert, "Insert..."},
    {kdxBarMoveUp, "Move Up"},
    {kdxBarMoveDown, "Move Down"},
    {kdxBarModify, "... modify"},
    {kdxBarPersonalizedMenus, "Personalized Menus and Toolbars  "},
    {kdxBarRecentItemsFirst, "Me&nus show recently used commands first"},
    {kdxBarFullMenusAfterDelay, "Show f&ull menus after a short delay"},
    {kdxBarResetUsageData, "&Reset my usage data"},
    {kdxBarOtherOptions, "Other  "},
    {kdxBarLargeIcons, "&Large icons"},
    {kdxBarShowHint, "Show Tool&Tips on toolbars"},
    {kdxBarShowShortCutInHint, "Show s&hortcut keys in ToolTips"},
    {kdxBarMenuAnimationsLabel, "&Menu animations:"},
    {kdxBarAnimationNone, "(None)"},
    {kdxBarAnimationRandom, "Random"},
    {kdxBarAnimationUnfold, "Unfold"},
    {kdxBarAnimationSlide, "Slide"},
};

// Two branches adding texts may both list one number: the lookup would find only the first.
constexpr bool NumbersUnique() {
    for (size_t I = 0; I < std::size(kStrings); ++I)
        for (size_t J = I + 1; J < std::size(kStrings); ++J)
            if (kStrings[I].Id == kStrings[J].Id) return false;
    return true;
}
static_assert(NumbersUnique(), "a text number is listed twice");

}  // namespace

std::string dxBarString(int Id) {
    for (const TString& S : kStrings)
        if (S.Id == Id) return S.Text;
    return {};
}
