#pragma once
// Pictures of windows for review: a PNG of a window as it is seen (its surface and the Qt widgets
// of wrapped controls), written to Path (folders are made). A child window is cut out of its
// top-level window's picture. False when the window does not exist or the file cannot be written.
#include <string>

#include "platform/classes/WinTypes.h"

class QImage;

bool SaveWindowPicture(HWND Wnd, const std::string& Path);
// Any picture written the same way (folders are made); false when the file cannot be written.
bool SavePictureFile(const QImage& Picture, const std::string& Path);
// The same picture, in memory (a null image for a window that does not exist).
QImage WindowPicture(HWND Wnd);
