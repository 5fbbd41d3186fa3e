#pragma once
// The edit controls with buttons, their children and the value editors in the class registry,
// with their published properties, so that form definitions can hold them; and in the class
// registries of components/registries, by the value type each serves. Calling it again does
// nothing (the edit controls call it when the first of them is made).
void RegisterDCEditClasses();
