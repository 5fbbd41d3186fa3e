#pragma once
// The terminal's classes in the class registry, with their published properties, so that form
// definitions can create and fill them (the telnet window places a TIpTerminal and its
// TIpVT100Emulator). The program calls it at start-up; calling it again does nothing.
void RegisterTerminalClasses();
