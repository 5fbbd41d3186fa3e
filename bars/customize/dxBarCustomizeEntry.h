#pragma once
// Customizing's entry point for the model and the bar windows (see dxBarCustomizing): put in
// place at start-up and again, to be sure, whenever customizing opens something of its own.
void RegisterdxBarCustomizing();
