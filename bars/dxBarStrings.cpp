#include "bars/dxBarStrings.h"

namespace {

struct TString {
    int Id;
    const char* Text;
};

constexpr TString kStrings[] = {
    {kdxBarCustomizeCaption, "&Customize..."},
    {kdxBarMoreButtons, "More Buttons"},
    {kdxBarExpandMenu, "Expand (Ctrl-Down)"},
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
    {kdxBarResetToolbar, "&Reset..."},
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

}  // namespace

std::string dxBarString(int Id) {
    for (const TString& S : kStrings)
        if (S.Id == Id) return S.Text;
    return {};
}
