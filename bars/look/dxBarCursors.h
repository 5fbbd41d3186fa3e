#pragma once
// The four cursors of item dragging (crdxBarDrag ... crdxBarEditSizing), drawn by the framework
// itself and put in the program's cursor resources and the application's cursor table.
#include "platform/gdi/GdiTypes.h"

// Makes the cursors and puts them in place; calling it again does nothing.
void RegisterdxBarCursors();

// The framework's cursor of that number, taken from the program's cursor resources (made first
// if need be); the arrow for any other number.
HCURSOR dxBarCursor(int Number);
