#include "components/text/StBase.h"

#include "resources/ResourceData.h"

std::string LookupLibraryString(int32_t id) {
    // A full scan where the later row wins: the table holds id 415 twice and the second text is
    // the one shown.
    std::string text;
    for (const TResourceString& row : FindStringTable("LIBRARY_MESSAGES"))
        if (row.Id == id) text = row.Text;
    return text;
}
