#include "app/engine/ExitPoints.h"

#include <unistd.h>

#include <cstdlib>
#include <iterator>

namespace {

const char* const kExitPointNames[] = {
    "batch-complete", "batch-recorded", "batch-named",  "group-list-saved", "dupes-saved",
    "record-removed", "post-accepted",  "mail-written", "mail-listed",      "mail-stored",
};
static_assert(std::size(kExitPointNames) == epMailStored + 1);

}  // namespace

std::string ExitPointName(TExitPoint Point) {
    return Point < std::size(kExitPointNames) ? kExitPointNames[Point] : "";
}

void ExitPoint(TExitPoint Point) {
    const char* Wanted = std::getenv("KESTRO_EXIT_AT");
    if (Wanted && ExitPointName(Point) == Wanted) _exit(ExitPointCode);
}
