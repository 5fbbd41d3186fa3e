#pragma once
// The toolbar and menu framework: a form's bar manager with its command items, bars, item links,
// categories and groups, the bar windows that show them (toolbars docked in the form's dock
// sites) and the item controls inside those windows.
#include "bars/dxBarCategories.h"
#include "bars/dxBarContainerItems.h"
#include "bars/dxBarControl.h"
#include "bars/dxBarDock.h"
#include "bars/dxBarDraw.h"
#include "bars/dxBarDropDownList.h"
#include "bars/dxBarEditControls.h"
#include "bars/dxBarGroups.h"
#include "bars/dxBarItemControls.h"
#include "bars/dxBarItemLinks.h"
#include "bars/dxBarItems.h"
#include "bars/dxBarManager.h"
#include "bars/dxBarPopupMenus.h"
#include "bars/dxBarRegister.h"
#include "bars/dxBarStoredValues.h"
#include "bars/dxBarToolbar.h"
#include "bars/dxBarTypes.h"
#include "bars/dxBarUtils.h"
#include "bars/dxBarWindowItems.h"
#include "bars/dxBars.h"
