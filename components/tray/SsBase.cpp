#include "components/tray/SsBase.h"

#include "components/text/StringResource.h"

std::string SsText(int32_t Id) {
    return ShellStrings().GetText(Id);
}
