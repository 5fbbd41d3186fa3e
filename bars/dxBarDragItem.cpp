#include "bars/dxBarManager.h"

void TdxBarManager::DragItem(TdxBarItem*, TdxBarItemLink*) {}
