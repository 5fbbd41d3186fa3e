#pragma once
// The HTML viewer's classes in the class registry, with their published properties, so that form
// definitions can place them (the message viewer's panel and its data provider). The program
// calls it at start-up; calling it again does nothing.
void RegisterHtmlViewClasses();
