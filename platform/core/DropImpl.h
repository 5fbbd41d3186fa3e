#pragma once
// Inside of the window layer: where input translation hands over dropped files.
#include <string>
#include <vector>

#include "platform/core/DropFiles.h"

namespace DropImpl {
// The window that takes a drop at the screen point, or 0.
HWND DropTarget(POINT Screen);
// Queues WM_DROPFILES for Target with the names (over-long names and those beyond the limit are
// left out).
void PostDrop(HWND Target, POINT Screen, const std::vector<std::string>& Names);
}  // namespace DropImpl
