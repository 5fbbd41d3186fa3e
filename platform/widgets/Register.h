#pragma once
// The control classes in the class registry, with their published properties, so that form
// definitions can create and fill them. Forms.Initialize calls it; calling it again does nothing.
void RegisterWidgetClasses();
// The edits, buttons, check and radio buttons, group boxes, the masked edit and the glyph buttons
// (RegisterStdCtrls.cpp); RegisterWidgetClasses calls it.
void RegisterStdControls();
