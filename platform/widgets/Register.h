#pragma once
// The control classes in the class registry, with their published properties, so that form
// definitions can create and fill them. Forms.Initialize calls it; calling it again does nothing.
void RegisterWidgetClasses();
// The menu classes (TMenuItem, TMenu, TPopupMenu) with their published properties.
void RegisterMenuClasses();
