// A second copy for the guard's tests: exits 0 as the first instance, 3 as a later one, after
// asking the first to come forward.
#include <QCoreApplication>

#include "components/instance/InstanceGuard.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    InitializeInstanceGuard(argc > 1 ? argv[1] : "kestro");
    bool first = IsFirstInstance();
    ActivateFirstInstance();
    FinalizeInstanceGuard();
    return first ? 0 : 3;
}
