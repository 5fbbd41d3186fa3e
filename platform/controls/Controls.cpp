#include "platform/controls/Controls.h"

#include "platform/controls/EditControl.h"

void InitStandardControls() {
    static const bool Done = [] {
        RegisterWrappedClass<TEditControl>("EDIT", CS_DBLCLKS);
        return true;
    }();
    (void)Done;
}
