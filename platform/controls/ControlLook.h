#pragma once
// The classic look the wrapped controls share: Qt's Windows style, a palette of the system
// colours, the default GUI font, and the colours a control's parent chooses for it
// (WM_CTLCOLOR...); for the controls that draw themselves with GDI, their font and the button
// face they paint on.
#include <QColor>
#include <QPalette>

#include "platform/core/Window.h"

class QStyle;
class QWidget;

QColor QtColor(COLORREF Color);
// The system colour (COLOR_...) as a Qt colour.
QColor SysQtColor(int Index);
// A colour a control was given by message (a background, a text colour), or the system colour
// while it has none of its own (CLR_NONE, CLR_DEFAULT).
QColor ColourOr(COLORREF Colour, int SysColour);
// Qt's "Windows" style: the bevels, check marks and frames of the classic controls. One for the
// program; it goes with the application object.
QStyle* ClassicStyle();
// The system colours as a Qt palette (disabled text grey, disabled fields the face colour).
QPalette ClassicPalette();
// Style (for its children too: a widget's style does not pass to them by itself), palette and the
// default GUI font; a widget made for a window created disabled starts greyed (no WM_ENABLE comes
// for it).
void ApplyClassicLook(QWidget* Widget, DWORD WindowStyle);

// What the parent answered to WM_CTLCOLOR... for a control: text colour and background colour.
// A parent that does not answer, or answers with a brush that is not solid, leaves the defaults.
struct TControlColours {
    COLORREF Text = 0;
    COLORREF Background = 0;
};
// Asks Control's parent with Msg on a context of its own, prepared with the defaults (system
// colour indexes), as painting the control would.
TControlColours AskControlColours(HWND Control, UINT Msg, int DefaultText, int DefaultBackground);
// Gives Widget the parent's colours: the background as Background, also for the disabled state
// when the colours asked for are those of both states (a control asking another message when
// disabled keeps its disabled background until it is painted disabled); the text as Text while
// enabled (disabled text stays grey). The palette is set only when it changed.
void ApplyControlColours(QWidget* Widget, const TControlColours& Colours,
                         QPalette::ColorRole Background, QPalette::ColorRole Text,
                         bool BothStates = true);

// The font a control that draws itself uses: the one it was given (WM_SETFONT, 0 for none), or
// the default GUI font.
HFONT FontOrDefault(HFONT Font);
// The start of painting a control that draws on the button face (a status bar, tabs): its client
// area (returned) filled with the face colour, FontOrDefault(Font) selected, and text drawn
// transparently in the button text colour, grey while the control is disabled.
RECT PaintFace(HWND Control, HDC DC, HFONT Font);
