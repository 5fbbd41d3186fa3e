#include "components/instance/ApplicationInstance.h"

#include "components/instance/InstanceGuard.h"
#include "platform/widgets/Forms.h"

bool GuardApplicationInstance(const std::string& Title) {
    Forms.Initialize();
    InitializeInstanceGuard(GetWindowText(Forms.Handle()));
    Forms.SetTitle(Title);
    SetInstanceWindow(Forms.Handle());
    ActivateFirstInstance();
    return IsFirstInstance();
}
