#pragma once
// The desktop's icon for a file or folder, drawn on a canvas (the "SSYS:" and "LSYS:" pictures).
#include <string>

#include "platform/gdi/Graphics.h"

// By the path when it exists (found without regard to case), else by the type its name gives.
// Draws nothing without a GUI application object.
void DrawShellIcon(TCanvas& Canvas, const TRect& R, const std::string& Path, bool Large);
