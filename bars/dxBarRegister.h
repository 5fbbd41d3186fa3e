#pragma once
// The framework's start-up: its classes in the class registry (so that form definitions create
// and fill managers, items, bars and dock sites), its item classes with their controls, and the
// four cursors of item dragging in the application's cursor table. The program calls it once
// before it reads a form with a bar manager; calling it again does nothing.
#include "platform/gdi/GdiTypes.h"

void RegisterBarClasses();

// The framework's cursor of that number (crdxBarDrag ... crdxBarEditSizing), taken from the
// program's cursor resources: the application's cursor table has it only when it existed at
// start-up.
HCURSOR dxBarCursor(int Number);
