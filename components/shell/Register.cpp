#include "components/shell/Register.h"

#include "components/shell/OvcURL.h"
#include "components/shell/StDropFiles.h"
#include "components/shell/StVersionInfo.h"
#include "platform/forms/ClassRegistry.h"
#include "platform/forms/StandardClasses.h"
#include "platform/widgets/Register.h"

void RegisterShellClasses() {
    static const bool Done = [] {
        RegisterWidgetClasses();
        RegisterClass<TStDropFiles, TComponent>("TStDropFiles")
            .Property("Active", &TStDropFiles::Active, &TStDropFiles::SetActive, Default(true))
            .Property("DropTarget", &TStDropFiles::DropTarget, &TStDropFiles::SetDropTarget)
            .Field("OnDropFiles", &TStDropFiles::OnDropFiles);
        RegisterStComponentClass();
        RegisterClass<TStVersionInfo, TStComponent>("TStVersionInfo")
            .Property("FileName", &TStVersionInfo::FileName, &TStVersionInfo::SetFileName);
        RegisterClass<TOvcURL, TCustomLabel>("TOvcURL")
            .Property("About", &TOvcURL::About, &TOvcURL::SetAbout, NotStored)
            .Property("HighlightColor", &TOvcURL::HighlightColor, &TOvcURL::SetHighlightColor,
                      Idents(ColorIdents()), Default(TColor(clRed)))
            .Property("URL", &TOvcURL::URL, &TOvcURL::SetURL)
            .Property("UseVisitedColor", &TOvcURL::UseVisitedColor, &TOvcURL::SetUseVisitedColor,
                      Default(false))
            .Property("VisitedColor", &TOvcURL::VisitedColor, &TOvcURL::SetVisitedColor,
                      Idents(ColorIdents()), Default(TColor(clBlack)));
        return true;
    }();
    (void)Done;
}
