#pragma once
// The EDIT class: a single-line edit control around a QLineEdit (see WrappedControl.h for what
// every wrapped control does). Texts are Windows-1252 bytes; positions count bytes, which are
// characters here.
//
// Styles: ES_LEFT / ES_CENTER / ES_RIGHT alignment, ES_PASSWORD (shown as '*', or the character
// EM_SETPASSWORDCHAR sets), ES_READONLY, ES_UPPERCASE / ES_LOWERCASE (typed characters are
// converted), ES_NUMBER (only digits are typed), WS_BORDER or WS_EX_CLIENTEDGE (a frame).
// ES_MULTILINE is not supported here: such an edit is single-line.
// Messages: EM_SETSEL, EM_GETSEL, EM_LIMITTEXT (EM_SETLIMITTEXT), EM_GETLIMITTEXT,
// EM_SETREADONLY, EM_SETPASSWORDCHAR, EM_GETPASSWORDCHAR, EM_SETRECT / EM_SETRECTNP / EM_GETRECT
// (the formatting rectangle, as text margins), EM_SETMARGINS, EM_GETMODIFY, EM_SETMODIFY,
// EM_REPLACESEL, WM_GETDLGCODE, and the text and font messages.
// Notifications (WM_COMMAND): EN_SETFOCUS, EN_KILLFOCUS, EN_UPDATE and EN_CHANGE after every
// change of the text (typed or set), EN_MAXTEXT when a typed character does not fit.
// Colours: the parent's WM_CTLCOLOREDIT answer (text colour, background brush) is asked when
// the edit is painted and applied to the widget.
#include "platform/core/Window.h"

constexpr DWORD ES_LEFT = 0x0000;
constexpr DWORD ES_CENTER = 0x0001;
constexpr DWORD ES_RIGHT = 0x0002;
constexpr DWORD ES_MULTILINE = 0x0004;
constexpr DWORD ES_UPPERCASE = 0x0008;
constexpr DWORD ES_LOWERCASE = 0x0010;
constexpr DWORD ES_PASSWORD = 0x0020;
constexpr DWORD ES_AUTOVSCROLL = 0x0040;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_NOHIDESEL = 0x0100;
constexpr DWORD ES_READONLY = 0x0800;
constexpr DWORD ES_WANTRETURN = 0x1000;
constexpr DWORD ES_NUMBER = 0x2000;

constexpr UINT EM_GETSEL = 0x00B0;
constexpr UINT EM_SETSEL = 0x00B1;
constexpr UINT EM_GETRECT = 0x00B2;
constexpr UINT EM_SETRECT = 0x00B3;
constexpr UINT EM_SETRECTNP = 0x00B4;
constexpr UINT EM_GETMODIFY = 0x00B8;
constexpr UINT EM_SETMODIFY = 0x00B9;
constexpr UINT EM_REPLACESEL = 0x00C2;
constexpr UINT EM_LIMITTEXT = 0x00C5;
constexpr UINT EM_SETLIMITTEXT = 0x00C5;
constexpr UINT EM_SETPASSWORDCHAR = 0x00CC;
constexpr UINT EM_SETREADONLY = 0x00CF;
constexpr UINT EM_GETPASSWORDCHAR = 0x00D2;
constexpr UINT EM_SETMARGINS = 0x00D3;
constexpr UINT EM_GETLIMITTEXT = 0x00D5;

constexpr WPARAM EC_LEFTMARGIN = 0x0001;
constexpr WPARAM EC_RIGHTMARGIN = 0x0002;
constexpr WPARAM EC_USEFONTINFO = 0xFFFF;

constexpr WORD EN_SETFOCUS = 0x0100;
constexpr WORD EN_KILLFOCUS = 0x0200;
constexpr WORD EN_CHANGE = 0x0300;
constexpr WORD EN_UPDATE = 0x0400;
constexpr WORD EN_MAXTEXT = 0x0501;

// The longest text an edit takes (EM_LIMITTEXT beyond it, and 0, give this).
constexpr int kEditMaxLength = 32767;
