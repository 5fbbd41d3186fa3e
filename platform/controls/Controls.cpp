#include "platform/controls/Controls.h"

#include "platform/controls/ButtonWindow.h"
#include "platform/controls/ComboBoxControl.h"
#include "platform/controls/EditControl.h"
#include "platform/controls/ListBoxControl.h"
#include "platform/controls/ListViewControl.h"
#include "platform/controls/StaticControl.h"
#include "platform/controls/StatusBarControl.h"
#include "platform/controls/TabControlWindow.h"
#include "platform/controls/TreeViewControl.h"
#include "platform/controls/UpDownControl.h"

void InitStandardControls() {
    static const bool Done = [] {
        RegisterWrappedClass<TEditControl>("EDIT", CS_DBLCLKS);
        RegisterWrappedClass<TButtonWindow>("BUTTON", CS_DBLCLKS);
        RegisterWrappedClass<TStaticControl>("STATIC", CS_DBLCLKS);
        RegisterWrappedClass<TListBoxControl>("LISTBOX", CS_DBLCLKS);
        RegisterWrappedClass<TListBoxControl>("ComboLBox", CS_DBLCLKS | CS_SAVEBITS);
        RegisterWrappedClass<TComboBoxControl>("COMBOBOX", CS_DBLCLKS);
        RegisterWrappedClass<TListViewControl>("SysListView32", CS_DBLCLKS);
        RegisterWrappedClass<TStatusBarControl>("msctls_statusbar32", CS_DBLCLKS);
        RegisterWrappedClass<TTreeViewControl>("SysTreeView32", CS_DBLCLKS);
        RegisterWrappedClass<TTabControlWindow>("SysTabControl32", CS_DBLCLKS);
        RegisterWrappedClass<TUpDownControl>("msctls_updown32", CS_DBLCLKS);
        return true;
    }();
    (void)Done;
}
