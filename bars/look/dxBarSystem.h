#pragma once
// What the framework takes from the system: its colours (read at start-up and again when the
// system says they changed) and the fonts of menus, icon titles and the status bar.
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Graphics.h"

// A system colour (COLOR_*) as the framework paints it.
COLORREF dxBarSysColor(int Index);
// A solid brush of that colour; the framework owns it.
HBRUSH dxBarSysBrush(int Index);
// Reads the colours from the system again (the owner form saw WM_SYSCOLORCHANGE).
void dxBarRefreshSysColors();
// Changes one colour the framework paints with (a changed system colour, and tests).
void dxBarSetSysColor(int Index, COLORREF Color);

// The system's menu font, icon-title font and status-bar font.
LOGFONT dxBarMenuLogFont();
LOGFONT dxBarIconTitleLogFont();
LOGFONT dxBarStatusLogFont();
// The font of small captions (a floating bar's).
LOGFONT dxBarSmallCaptionLogFont();
// Replaces Handle (deleting the old one) with a font for bars: Font's logical font, with
// UseSystemFont the icon-title font's height but characters at least 11 pixels high.
void CreateBarFont(const TFont& Font, HFONT& Handle, bool UseSystemFont);
