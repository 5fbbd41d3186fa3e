#include "components/tray/Register.h"

#include "components/tray/StTrayIcon.h"
#include "platform/forms/ClassRegistry.h"
#include "platform/widgets/Register.h"

void RegisterTrayClasses() {
    static const bool Done = [] {
        RegisterWidgetClasses();
        RegisterClass<TSsComponent, TComponent>("TSsComponent")
            .Property("Version", &TSsComponent::Version, &TSsComponent::SetVersion, NotStored);
        RegisterClass<TSsShellComponent, TSsComponent>("TSsShellComponent");
        // Images and PopupMenu are published once the image list and the popup menu are
        // components; until then code sets them.
        RegisterClass<TStCustomTrayIcon, TSsShellComponent>("TStCustomTrayIcon")
            .Property("Active", &TStCustomTrayIcon::Active, &TStCustomTrayIcon::SetActive,
                      Default(true))
            .Property("Animate", &TStCustomTrayIcon::Animate, &TStCustomTrayIcon::SetAnimate,
                      Default(false))
            .Property("CloseToTray", &TStCustomTrayIcon::CloseToTray,
                      &TStCustomTrayIcon::SetCloseToTray, Default(true))
            .Property("HideOnRestore", &TStCustomTrayIcon::HideOnRestore,
                      &TStCustomTrayIcon::SetHideOnRestore, Default(false))
            .Property("Hint", &TStCustomTrayIcon::Hint, &TStCustomTrayIcon::SetHint)
            .Object("Icon", [](TStCustomTrayIcon& T) { return &T.Icon(); })
            .Property("ImageIndex", &TStCustomTrayIcon::ImageIndex,
                      &TStCustomTrayIcon::SetImageIndex, Default(0))
            .Property("Interval", &TStCustomTrayIcon::Interval, &TStCustomTrayIcon::SetInterval,
                      Default(250))
            .Property("MinimizeToTray", &TStCustomTrayIcon::MinimizeToTray,
                      &TStCustomTrayIcon::SetMinimizeToTray, Default(false))
            .Property("ShowHint", &TStCustomTrayIcon::ShowHint, &TStCustomTrayIcon::SetShowHint,
                      Default(true))
            .Field("OnClick", &TStCustomTrayIcon::OnClick)
            .Field("OnDblClick", &TStCustomTrayIcon::OnDblClick)
            .Field("OnMinimize", &TStCustomTrayIcon::OnMinimize)
            .Field("OnRestore", &TStCustomTrayIcon::OnRestore);
        RegisterClass<TStTrayIcon, TStCustomTrayIcon>("TStTrayIcon");
        return true;
    }();
    (void)Done;
}
