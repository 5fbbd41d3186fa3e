#pragma once
// How the framework gets its menu behaviour without subclassing the program's windows: three
// hooks of the user-interface thread, installed while any manager exists.
//   keyboard: while a menu is open every key goes to it (and the release of the key that closed
//     it goes nowhere); Alt alone or F10 opens the main menu; item shortcuts, then Alt with a
//     menu's accelerator; Shift+F10 and the context-menu key show a control's popup menu.
//   mouse: a press outside the open menus closes them; a right click shows a control's popup menu.
//   call-window-procedure: the owner form's activation, system commands, colour and setting
//     changes and help requests reach its manager (OwnerFormMessage).
#include "bars/model/dxBarTypes.h"
#include "platform/core/Window.h"

class TCustomForm;
class TSystemMenuSubItem;

// The manager joins the process-wide list (the first one installs the hooks and makes the hint
// window); the last one to leave removes them.
void RegisterManager(TdxBarManager* Manager);
void UnregisterManager(TdxBarManager* Manager);
// Whether the hooks are installed.
bool dxBarHooksInstalled();

// What the manager does with a message of its owner form.
void OwnerFormMessage(TdxBarManager* Manager, UINT Msg, WPARAM WParam, LPARAM LParam);
// The owner form was activated or deactivated in favour of Other.
void FormActivationChanged(TdxBarManager* Manager, bool Active, HWND Other);

// MDI: the frame form's manager follows its active child (merging the child's main menu into its
// own). Forms of this program have no MDI client window, so there is never an active child.
HWND ActiveMDIChild(TCustomForm* Frame, bool* Maximized = nullptr);
void MDIChildChanged(TdxBarManager* Manager);
void MergeMDIChild(TdxBarManager* Manager, TCustomForm* Child, bool Active, bool Unmerge);
