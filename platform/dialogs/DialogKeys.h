#pragma once
// The keys of a dialog, taken from the loop before they are translated: Tab and Shift+Tab walk
// the controls with WS_TABSTOP, the arrows walk the group the focus is in (WS_GROUP starts a
// group), Enter presses the focused push button or else the dialog's default button
// (DM_GETDEFID), Esc sends IDCANCEL, and Alt with a letter (or the letter alone where the focus
// takes no characters) acts on the control whose caption marks it with "&": a push button is
// pressed, a check box or radio button is clicked, a label gives the focus to the control after
// it. A push button pressed from the keyboard sends its WM_COMMAND without taking the focus. A
// control that asks for a key (WM_GETDLGCODE) keeps it. Controls are walked in z-order, which in
// a dialog is the order they were made in.
#include "platform/core/Input.h"
#include "platform/shell/Dialogs.h"

// A dialog's default button: DM_GETDEFID answers MAKELONG(id, DC_HASDEFID), 0 without one.
constexpr UINT DM_GETDEFID = WM_USER + 0;
constexpr UINT DM_SETDEFID = WM_USER + 1;
constexpr WORD DC_HASDEFID = 0x534B;

// True when Msg was a dialog key of Dialog (or of one of its controls) and was handled: it must
// then be neither translated nor dispatched.
bool IsDialogMessage(HWND Dialog, const MSG& Msg);

// The control of Dialog with that id, or 0.
HWND GetDlgItem(HWND Dialog, int Id);
// The direct child of Dialog that is Wnd or holds it (a combo box for its edit), or 0.
HWND DialogChildOf(HWND Dialog, HWND Wnd);
// The next visible, enabled control with WS_TABSTOP after Control (Previous: before it), round
// the end; Control itself when there is no other, 0 when there is none at all.
HWND GetNextDlgTabItem(HWND Dialog, HWND Control, bool Previous);
// The same inside Control's group.
HWND GetNextDlgGroupItem(HWND Dialog, HWND Control, bool Previous);
