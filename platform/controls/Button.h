#pragma once
// The BUTTON class: push buttons, check boxes, radio buttons, group boxes and owner-drawn buttons
// (see WrappedControl.h for what every wrapped control does). The window text is the caption;
// "&" underlines the next character, the button's accelerator ("&&" is an "&"), which the
// program's dialog keys answer with BM_CLICK.
//
// Types (the low four bits of the style):
//   BS_PUSHBUTTON, BS_DEFPUSHBUTTON (the default button's heavier frame);
//   BS_CHECKBOX, BS_AUTOCHECKBOX (a click toggles it), BS_3STATE, BS_AUTO3STATE (a click goes
//     unchecked, checked, indeterminate, unchecked);
//   BS_RADIOBUTTON, BS_AUTORADIOBUTTON (a click checks it and unchecks the other radio buttons of
//     its group: the siblings from the nearest one at or above it with WS_GROUP down to the next
//     one with WS_GROUP, in z-order);
//   BS_GROUPBOX: a frame with a caption; never takes the focus or the mouse (HTTRANSPARENT);
//   BS_OWNERDRAW: the parent draws it on WM_DRAWITEM (ODT_BUTTON; ODA_DRAWENTIRE when painted,
//     ODA_SELECT when pushed or released, ODA_FOCUS when the focus comes or goes; the state says
//     ODS_SELECTED, ODS_FOCUS, ODS_DISABLED, ODS_DEFAULT) on a context of the button's own area:
//     what it draws is what is seen.
// Other styles: BS_LEFTTEXT (= BS_RIGHTBUTTON: the box right of the text), BS_PUSHLIKE (a check
// box or radio button that looks like a push button, pushed while checked), BS_FLAT, BS_MULTILINE
// (the caption wraps), BS_LEFT / BS_RIGHT / BS_CENTER and BS_TOP / BS_BOTTOM / BS_VCENTER (where
// the caption lies; push buttons centre it, the others put it left and in the middle), BS_NOTIFY.
//
// Input: a left press takes the focus and the capture and pushes the button; it stays pushed
// while the cursor is over it; a release over it clicks. The space bar pushes a focused button
// and clicks it when released. A click does what the type does (above) and sends BN_CLICKED.
// A double click sends BN_DOUBLECLICKED for radio buttons, owner-drawn buttons and buttons with
// BS_NOTIFY, and is a second press for the others.
// Messages: BM_GETCHECK, BM_SETCHECK (BST_INDETERMINATE counts as checked for two-state types;
// radio buttons take WS_TABSTOP while checked), BM_GETSTATE (check state | BST_PUSHED |
// BST_FOCUS), BM_SETSTATE (the pushed look), BM_SETSTYLE (the type, e.g. the default button's
// look on and off; LParam TRUE repaints; owner-drawn buttons stay owner-drawn), BM_CLICK (a press
// and release, for an enabled button), WM_GETDLGCODE (DLGC_BUTTON with DLGC_DEFPUSHBUTTON,
// DLGC_UNDEFPUSHBUTTON or DLGC_RADIOBUTTON; DLGC_STATIC for group boxes).
// Notifications (WM_COMMAND): BN_CLICKED, BN_DOUBLECLICKED, and with BS_NOTIFY BN_SETFOCUS and
// BN_KILLFOCUS.
// Colours: push and owner-drawn buttons ask their parent with WM_CTLCOLORBTN, the others with
// WM_CTLCOLORSTATIC (text colour and background brush) when they are painted; push buttons keep
// the system's face and text colours, as they always have.
#include "platform/core/Window.h"

constexpr DWORD BS_PUSHBUTTON = 0x0000;
constexpr DWORD BS_DEFPUSHBUTTON = 0x0001;
constexpr DWORD BS_CHECKBOX = 0x0002;
constexpr DWORD BS_AUTOCHECKBOX = 0x0003;
constexpr DWORD BS_RADIOBUTTON = 0x0004;
constexpr DWORD BS_3STATE = 0x0005;
constexpr DWORD BS_AUTO3STATE = 0x0006;
constexpr DWORD BS_GROUPBOX = 0x0007;
constexpr DWORD BS_AUTORADIOBUTTON = 0x0009;
constexpr DWORD BS_OWNERDRAW = 0x000B;
constexpr DWORD BS_TYPEMASK = 0x000F;
constexpr DWORD BS_LEFTTEXT = 0x0020;
constexpr DWORD BS_RIGHTBUTTON = BS_LEFTTEXT;
constexpr DWORD BS_TEXT = 0x0000;
constexpr DWORD BS_LEFT = 0x0100;
constexpr DWORD BS_RIGHT = 0x0200;
constexpr DWORD BS_CENTER = 0x0300;
constexpr DWORD BS_TOP = 0x0400;
constexpr DWORD BS_BOTTOM = 0x0800;
constexpr DWORD BS_VCENTER = 0x0C00;
constexpr DWORD BS_PUSHLIKE = 0x1000;
constexpr DWORD BS_MULTILINE = 0x2000;
constexpr DWORD BS_NOTIFY = 0x4000;
constexpr DWORD BS_FLAT = 0x8000;

constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr UINT BM_GETSTATE = 0x00F2;
constexpr UINT BM_SETSTATE = 0x00F3;
constexpr UINT BM_SETSTYLE = 0x00F4;
constexpr UINT BM_CLICK = 0x00F5;

constexpr WPARAM BST_UNCHECKED = 0x0000;
constexpr WPARAM BST_CHECKED = 0x0001;
constexpr WPARAM BST_INDETERMINATE = 0x0002;
constexpr WPARAM BST_PUSHED = 0x0004;
constexpr WPARAM BST_FOCUS = 0x0008;

constexpr WORD BN_CLICKED = 0;
constexpr WORD BN_DOUBLECLICKED = 5;
constexpr WORD BN_DBLCLK = BN_DOUBLECLICKED;
constexpr WORD BN_SETFOCUS = 6;
constexpr WORD BN_KILLFOCUS = 7;

// WM_GETDLGCODE's answers of buttons.
constexpr LRESULT DLGC_DEFPUSHBUTTON = 0x0010;
constexpr LRESULT DLGC_UNDEFPUSHBUTTON = 0x0020;
constexpr LRESULT DLGC_RADIOBUTTON = 0x0040;
