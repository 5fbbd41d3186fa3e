#pragma once
// The tray icon's classes in the class registry, with their published properties, so that form
// definitions can hold a tray icon. Calling it again does nothing.
void RegisterTrayClasses();
