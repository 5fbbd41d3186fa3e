#include "platform/forms/ClassRegistry.h"
#include "platform/widgets/Menus.h"
#include "platform/widgets/Register.h"

void RegisterMenuClasses() {
    static const bool Done = [] {
        RegisterEnum<TPopupAlignment>({"paLeft", "paRight", "paCenter"});
        RegisterClass<TMenuItem, TComponent>("TMenuItem")
            .Property("Action", &TMenuItem::Action, &TMenuItem::SetAction)
            .Property("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption)
            .Property("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked, Default(false))
            .Property("Default", &TMenuItem::Default, &TMenuItem::SetDefault, Default(false))
            .Property("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled, Default(true))
            .Property("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex,
                      Default(BYTE(0)))
            .Property("Hint", &TMenuItem::Hint, &TMenuItem::SetHint)
            .Property("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem, Default(false))
            .Property("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut, Default(scNone))
            .Property("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible, Default(true))
            .Field("OnClick", &TMenuItem::OnClick);
        RegisterClass<TMenu, TComponent>("TMenu");
        RegisterClass<TPopupMenu, TMenu>("TPopupMenu")
            .Property("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment,
                      Default(paLeft))
            .Property("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup, Default(true))
            .Field("OnPopup", &TPopupMenu::OnPopup);
        return true;
    }();
    (void)Done;
}
