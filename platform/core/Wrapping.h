#pragma once
// What the window layer gives wrapped standard controls (see platform/controls/WrappedControl.h):
// a Qt widget attached to a window is a child of its top-level window's host, follows the
// window's rectangle and visibility, takes Qt's focus with the window, and moves to the new
// host when the window changes parents. It gets input only from its control: the control
// forwards its own input messages, so hooks and subclassing see them first.
#include "platform/core/Messages.h"

class QWidget;

// Attaches Widget to the window (null detaches); the widget is placed at once. The caller keeps
// owning the widget and detaches it before deleting it.
void AttachWidget(HWND Wnd, QWidget* Widget);
QWidget* AttachedWidget(HWND Wnd);
// The Qt event a mouse, wheel, key or character message stands for, sent straight to Widget
// (past the input filter): positions are the message's client coordinates, keys carry the Qt key
// of the virtual key and the modifiers of the key-state table, WM_CHAR is a key press with the
// character as text (Windows-1252 to Unicode). False for other messages.
bool ForwardInputToWidget(QWidget* Widget, UINT Msg, WPARAM WParam, LPARAM LParam);
