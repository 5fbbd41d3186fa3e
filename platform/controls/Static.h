#pragma once
// The STATIC class: a text or a line that the user does not edit (see WrappedControl.h for what
// every wrapped control does). The window text is the text; "&" underlines the next character
// ("&&" is an "&") unless SS_NOPREFIX; CR LF breaks lines.
//
// Types (the low five bits of the style): SS_LEFT, SS_CENTER, SS_RIGHT (the text wraps at word
// boundaries), SS_LEFTNOWORDWRAP (no wrapping: what does not fit is cut), SS_SIMPLE (one line),
// SS_ETCHEDHORZ / SS_ETCHEDVERT / SS_ETCHEDFRAME (an etched line along the top and bottom, left
// and right, or all four edges; no text). Other styles: SS_CENTERIMAGE (one line, vertically
// centred), SS_SUNKEN (a thin sunken border), SS_NOPREFIX, SS_NOTIFY.
// A static never takes the focus. Without SS_NOTIFY it is transparent to the mouse
// (HTTRANSPARENT: the window below gets the clicks); with it, a click sends STN_CLICKED and a
// double click STN_DBLCLK (WM_COMMAND).
// Colours: the parent's WM_CTLCOLORSTATIC answer (text colour, background brush) is asked when
// the static is painted.
#include "platform/core/Window.h"

constexpr DWORD SS_LEFT = 0x0000;
constexpr DWORD SS_CENTER = 0x0001;
constexpr DWORD SS_RIGHT = 0x0002;
constexpr DWORD SS_SIMPLE = 0x000B;
constexpr DWORD SS_LEFTNOWORDWRAP = 0x000C;
constexpr DWORD SS_ETCHEDHORZ = 0x0010;
constexpr DWORD SS_ETCHEDVERT = 0x0011;
constexpr DWORD SS_ETCHEDFRAME = 0x0012;
constexpr DWORD SS_TYPEMASK = 0x001F;
constexpr DWORD SS_NOPREFIX = 0x0080;
constexpr DWORD SS_NOTIFY = 0x0100;
constexpr DWORD SS_CENTERIMAGE = 0x0200;
constexpr DWORD SS_SUNKEN = 0x1000;

constexpr WORD STN_CLICKED = 0;
constexpr WORD STN_DBLCLK = 1;
