#pragma once
// The fonts the window frame writes captions in: the normal one and the small one of tool
// windows, as the classic look's non-client metrics set them. Windows that draw a caption of
// their own take them from here so that both captions read alike.
#include "platform/gdi/GdiTypes.h"

LOGFONT CaptionLogFont(bool Small);
