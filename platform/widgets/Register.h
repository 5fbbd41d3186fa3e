#pragma once
// The control classes in the class registry, with their published properties, so that form
// definitions can create and fill them. Forms.Initialize calls it; calling it again does nothing.
void RegisterWidgetClasses();
// The common controls (list and tree views, tab and page controls); RegisterWidgetClasses calls it.
void RegisterCommonControls();

// List, check list and combo boxes, the status bar, the up-down and the image list (called by
// RegisterWidgetClasses).
void RegisterListControls();
// The edits, buttons, check and radio buttons, group boxes, the masked edit and the glyph buttons
// (RegisterStdCtrls.cpp); RegisterWidgetClasses calls it.
void RegisterStdControls();
// The menu classes (TMenuItem, TMenu, TPopupMenu) with their published properties.
void RegisterMenuClasses();
