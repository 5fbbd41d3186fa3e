#pragma once
// The pictures the dialogs draw: the four message box icons (32 by 32) and the small icons of
// folders and files (16 by 16) in one image list for the file and folder lists.
#include "platform/gdi/GdiTypes.h"

enum class TMessageIcon { None, Error, Question, Warning, Information };

inline constexpr int kMessageIconSize = 32;

// The icon of a box with these MB_ICON flags.
TMessageIcon MessageIconOf(unsigned Flags);
// Draws the icon with its top-left corner at (X, Y).
void DrawMessageIcon(HDC DC, int X, int Y, TMessageIcon Icon);

// The images of FileIcons, by index.
enum TFileIcon { kClosedFolderIcon, kOpenFolderIcon, kFileIcon };
// One list for every dialog, made on first use; never destroyed.
HIMAGELIST FileIcons();
