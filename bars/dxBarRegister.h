#pragma once
// The framework's start-up: its classes in the class registry (so that form definitions create
// and fill managers, items, bars and dock sites), its item classes with their controls, and the
// four cursors of item dragging in the application's cursor table. The program calls it once
// before it reads a form with a bar manager; calling it again does nothing.
void RegisterBarClasses();
