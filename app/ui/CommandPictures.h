#pragma once
// The main window's command pictures and the program's own icon, drawn in the source in the
// classic 16 x 16 look.
#include <QImage>
#include <string>
#include <vector>

#include "platform/gdi/GdiTypes.h"

class TCustomImageList;

// Adds one picture per command of the main window, in the order of CommandPictureItems.
void AddCommandPictures(TCustomImageList& List);
// The names of the commands whose pictures AddCommandPictures adds, by image index.
std::vector<std::string> CommandPictureItems();
// The program's own picture, 16 x 16, the mask colour where it is see-through.
QImage ProgramPicture();
// The program's icon at Size x Size pixels (a new handle; the caller owns it).
HICON ProgramIcon(int Size);
