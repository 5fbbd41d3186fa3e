#include "app/ui/AboutFrm.h"

#include "components/shell/StVersionInfo.h"
#include "platform/system/ProgramDirectory.h"

void TAboutBox::FormCreate(TObject*) {
    VersionLabel = dynamic_cast<TLabel*>(FindComponent("VersionLabel"));
    VersionInfo = dynamic_cast<TStVersionInfo*>(FindComponent("VersionInfo"));
    if (!VersionLabel || !VersionInfo)
        throw Exception("The information box's definition is incomplete");
    VersionInfo->SetFileName(ProgramFileName());
    VersionLabel->SetCaption("Version " + VersionInfo->FileVersion());
}
