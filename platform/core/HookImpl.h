#pragma once
// Inside of the window layer: where input translation and sending call the hooks.
#include "platform/core/Input.h"

namespace HookImpl {
// WH_CALLWNDPROC, before a sent message reaches the procedure.
void CallWndProcHooks(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
// WH_KEYBOARD; true when a hook ate the key.
bool KeyboardHooks(WPARAM VirtualKey, LPARAM KeyData);
// WH_MOUSE; true when a hook ate the message.
bool MouseHooks(UINT Msg, MOUSEHOOKSTRUCT& Info);
}  // namespace HookImpl
