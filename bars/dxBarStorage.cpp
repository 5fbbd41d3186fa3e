#include "bars/dxBarManager.h"
#include "bars/dxBars.h"

void TdxBar::Reset() {}

void TdxBar::ResetWithConfirmation() {}

void TdxBarManager::ResetAllLinks() {}

void TdxBarManager::ResetUsageData() {}
