#pragma once
// Files dropped from the desktop: a window that accepts them (DragAcceptFiles, or
// WS_EX_ACCEPTFILES) gets WM_DROPFILES with an HDROP in WParam when files are dropped on it or
// on a child that does not accept them itself. The drop's data lives until DragFinish, and at the
// latest until the WM_DROPFILES handler has returned (or the message is dropped unread).
#include <cstdint>
#include <string>

#include "platform/core/Window.h"

using HDROP = std::uintptr_t;

void DragAcceptFiles(HWND Wnd, BOOL Accept);
// File = 0xFFFFFFFF: the number of files. Buffer null: the length of name File (without its
// NUL). Otherwise copies at most Size - 1 bytes and a NUL and returns the bytes copied. Names
// are the platform's (UTF-8) paths.
UINT DragQueryFile(HDROP Drop, UINT File, char* Buffer, UINT Size);
// Where the drop happened, in the client coordinates of the window it was posted to; TRUE when
// inside its client area.
BOOL DragQueryPoint(HDROP Drop, POINT* Point);
void DragFinish(HDROP Drop);
