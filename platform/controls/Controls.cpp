#include "platform/controls/Controls.h"

#include "platform/controls/ButtonControl.h"
#include "platform/controls/EditControl.h"
#include "platform/controls/StaticControl.h"
#include "platform/controls/ComboBoxControl.h"
#include "platform/controls/ListBoxControl.h"

void InitStandardControls() {
    static const bool Done = [] {
        RegisterWrappedClass<TEditControl>("EDIT", CS_DBLCLKS);
        RegisterWrappedClass<TButtonControl>("BUTTON", CS_DBLCLKS);
        RegisterWrappedClass<TStaticControl>("STATIC", CS_DBLCLKS);
        RegisterWrappedClass<TListBoxControl>("LISTBOX", CS_DBLCLKS);
        RegisterWrappedClass<TListBoxControl>("ComboLBox", CS_DBLCLKS | CS_SAVEBITS);
        RegisterWrappedClass<TComboBoxControl>("COMBOBOX", CS_DBLCLKS);
        return true;
    }();
    (void)Done;
}
