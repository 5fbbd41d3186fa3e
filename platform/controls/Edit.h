#pragma once
// The EDIT class: a single-line edit around a QLineEdit, or with ES_MULTILINE a multi-line one
// around a QPlainTextEdit (see WrappedControl.h for what every wrapped control does). Texts are
// Windows-1252 bytes; a multi-line edit gives its text with CR LF line ends and takes any line
// end (CR LF, a lone LF or CR). Positions count characters, a line end as two.
//
// Styles: ES_LEFT / ES_CENTER / ES_RIGHT alignment, ES_PASSWORD (one line: shown as '*', or the
// character EM_SETPASSWORDCHAR sets), ES_READONLY, ES_UPPERCASE / ES_LOWERCASE (typed characters
// are converted), ES_NUMBER (only digits are typed), WS_BORDER or WS_EX_CLIENTEDGE (a frame).
// Multi-line: WS_VSCROLL / WS_HSCROLL show scroll bars; lines wrap at the edge unless the edit
// has WS_HSCROLL or ES_AUTOHSCROLL; a typed Return (WM_CHAR CR or LF) breaks the line and a typed
// Tab is a character, when they reach the edit (ES_WANTRETURN and the program's dialog keys
// decide that; the edit wants all keys: DLGC_WANTALLKEYS).
// Messages: EM_SETSEL, EM_GETSEL, EM_LIMITTEXT (EM_SETLIMITTEXT; typing and pasting stop there,
// WM_SETTEXT and EM_REPLACESEL do not), EM_GETLIMITTEXT, EM_SETREADONLY, EM_SETPASSWORDCHAR,
// EM_GETPASSWORDCHAR, EM_SETRECT / EM_SETRECTNP / EM_GETRECT (the formatting rectangle, as
// margins), EM_SETMARGINS, EM_GETMODIFY, EM_SETMODIFY, EM_REPLACESEL, EM_CANUNDO, EM_UNDO (and
// WM_UNDO: a second undo takes the first back), EM_EMPTYUNDOBUFFER, WM_CUT, WM_COPY, WM_PASTE and
// WM_CLEAR (through the program's clipboard; a password edit copies nothing, one line takes the
// first line pasted), WM_GETDLGCODE, the text and font messages; the line messages
// EM_GETLINECOUNT, EM_LINEINDEX, EM_LINELENGTH, EM_GETLINE, EM_LINEFROMCHAR, EM_SCROLLCARET,
// EM_GETFIRSTVISIBLELINE and EM_LINESCROLL, where lines are the lines shown (a wrapped line is one
// line per row). Ctrl+C / Ctrl+X / Ctrl+V / Ctrl+Z, Ctrl+Insert, Shift+Insert and Shift+Delete
// send WM_COPY, WM_CUT, WM_PASTE and WM_UNDO to the edit.
// Notifications (WM_COMMAND): EN_SETFOCUS, EN_KILLFOCUS, EN_UPDATE and EN_CHANGE after every
// change of the text (typed or set), EN_MAXTEXT when typed or pasted text does not fit.
// Colours: the parent's WM_CTLCOLOREDIT answer (WM_CTLCOLORSTATIC for a read-only or disabled
// edit: its default is the face colour) is asked when the edit is painted and applied to the
// widget.
#include <cstddef>

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
constexpr UINT EM_LINESCROLL = 0x00B6;
constexpr UINT EM_SCROLLCARET = 0x00B7;
constexpr UINT EM_GETMODIFY = 0x00B8;
constexpr UINT EM_SETMODIFY = 0x00B9;
constexpr UINT EM_GETLINECOUNT = 0x00BA;
constexpr UINT EM_LINEINDEX = 0x00BB;
constexpr UINT EM_LINELENGTH = 0x00C1;
constexpr UINT EM_REPLACESEL = 0x00C2;
constexpr UINT EM_GETLINE = 0x00C4;
constexpr UINT EM_LIMITTEXT = 0x00C5;
constexpr UINT EM_SETLIMITTEXT = 0x00C5;
constexpr UINT EM_CANUNDO = 0x00C6;
constexpr UINT EM_UNDO = 0x00C7;
constexpr UINT EM_LINEFROMCHAR = 0x00C9;
constexpr UINT EM_SETPASSWORDCHAR = 0x00CC;
constexpr UINT EM_EMPTYUNDOBUFFER = 0x00CD;
constexpr UINT EM_GETFIRSTVISIBLELINE = 0x00CE;
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

// What a user may type into an edit before EM_LIMITTEXT says otherwise; the most a single-line
// edit takes at all (EM_LIMITTEXT beyond it, and 0, give this).
constexpr int kEditMaxLength = 32767;
// A multi-line edit's limit after EM_LIMITTEXT 0: no limit.
constexpr size_t kMemoMaxLength = 0xFFFFFFFF;
