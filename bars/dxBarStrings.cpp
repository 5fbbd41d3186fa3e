#include "bars/dxBarStrings.h"

namespace {

struct TString {
    int Id;
    const char* Text;
};

constexpr TString kStrings[] = {
    {kdxBarResetBarQuestion,
     "Are you sure you want to reset the changes made to the '%s' toolbar?"},
    {kdxBarResetUsageDataQuestion,
     "This will delete the record of the commands you've used in this application and restore "
     "the default set of visible commands to the menus and toolbars. It will not undo any "
     "explicit customizations.   Are you sure you want to proceed?"},
    {kdxBarCustomizeCaption, "&Customize..."},
    {kdxBarMoreButtons, "More Buttons"},
    {kdxBarExpandMenu, "Expand (Ctrl-Down)"},
    {kdxBarNoManagers, "There are no TdxBarManagers available"},
};

}  // namespace

std::string dxBarString(int Id) {
    for (const TString& S : kStrings)
        if (S.Id == Id) return S.Text;
    return {};
}
