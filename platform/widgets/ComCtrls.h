#pragma once
// The common controls of the class library: list views, tree views, tab controls and page
// controls, each in a header of its own.
#include "platform/widgets/ListViews.h"
#include "platform/widgets/TabControls.h"
#include "platform/widgets/TreeViews.h"
