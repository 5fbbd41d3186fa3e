#include "components/text/StBase.h"

#include "platform/forms/ClassRegistry.h"
#include "resources/ResourceData.h"

std::string LookupLibraryString(int32_t id) {
    // A full scan where the later row wins: the table holds id 415 twice and the second text is
    // the one shown.
    std::string text;
    for (const TResourceString& row : FindStringTable("LIBRARY_MESSAGES"))
        if (row.Id == id) text = row.Text;
    return text;
}

void RegisterStComponentClass() {
    static const bool Done = [] {
        RegisterClass<TStComponent, TComponent>("TStComponent")
            .Property("Version", &TStComponent::Version, &TStComponent::SetVersion, NotStored);
        return true;
    }();
    (void)Done;
}
