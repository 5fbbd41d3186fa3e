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
};

}  // namespace

std::string dxBarString(int Id) {
    for (const TString& S : kStrings)
        if (S.Id == Id) return S.Text;
    return {};
}
