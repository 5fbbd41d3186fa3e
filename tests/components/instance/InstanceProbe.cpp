// A second copy for the guard's tests: exits 0 as the first instance, 3 as a later one, after
// asking the first to come forward.
//   instance_probe CAPTION [TITLE]   the guard's caption, and the application's title that the
//                                    request names (the caption when not given)
#include <QCoreApplication>
#include <memory>

#include "components/instance/InstanceGuard.h"
#include "platform/core/Application.h"

int main(int argc, char** argv) {
    std::unique_ptr<QCoreApplication> app = TApplication::InitializeQt(argc, argv, false);
    const std::string caption = argc > 1 ? argv[1] : "kestro";
    InitializeInstanceGuard(caption);
    Application.Title = argc > 2 ? argv[2] : caption;
    const bool first = IsFirstInstance();
    ActivateFirstInstance();
    FinalizeInstanceGuard();
    return first ? 0 : 3;
}
