#include "bars/dxBarStrings.h"

namespace {

struct TString {
    int Id;
    const char* Text;
};

constexpr TString kStrings[] = {
    {kdxBarBlankName, "A command name cannot be blank. Please enter a name."},
    {kdxBarCustomizingPopupFirst + 0, "&Reset"},
    {kdxBarCustomizingPopupFirst + 1, "&Delete"},
    {kdxBarCustomizingPopupFirst + 2, "&Name:"},
    {kdxBarCustomizingPopupFirst + 3, "Defa&ult style"},
    {kdxBarCustomizingPopupFirst + 4, "&Text Only (Always)"},
    {kdxBarCustomizingPopupFirst + 5, "Text &Only (in Menus)"},
    {kdxBarCustomizingPopupFirst + 6, "Image &and Text"},
    {kdxBarCustomizingPopupFirst + 7, "Begin a &Group"},
    {kdxBarCustomizeCaption, "&Customize..."},
    {kdxBarAddRemoveButtons, "&Add or Remove Buttons"},
    {kdxBarMoreButtons, "More Buttons"},
    {kdxBarResetToolbar, "&Reset Toolbar"},
    {kdxBarExpandMenu, "Expand (Ctrl-Down)"},
    {kdxBarNoManagers, "There are no TdxBarManagers available"},
};

}  // namespace

std::string dxBarString(int Id) {
    for (const TString& S : kStrings)
        if (S.Id == Id) return S.Text;
    return {};
}
