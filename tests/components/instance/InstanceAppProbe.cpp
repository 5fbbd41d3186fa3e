// A second copy of a program that guards itself with its application window: exits 0 as the
// first instance, 3 as a later one, after asking the first to come forward.
//   instance_app_probe NAME TITLE   the program's name (the application window's first caption)
//                                   and the title it then takes
#include <QCoreApplication>
#include <memory>

#include "components/instance/ApplicationInstance.h"
#include "components/instance/InstanceGuard.h"
#include "platform/core/Application.h"

int main(int argc, char** argv) {
    std::unique_ptr<QCoreApplication> app = TApplication::InitializeQt(argc, argv, true);
    if (argc < 3) return 2;
    QCoreApplication::setApplicationName(argv[1]);
    const bool first = GuardApplicationInstance(argv[2]);
    FinalizeInstanceGuard();
    return first ? 0 : 3;
}
