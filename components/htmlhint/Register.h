#pragma once
// The HTML hint's classes in the class registry, with their published properties, so that form
// definitions can hold an HTML hint and a picture container. Calling it again does nothing.
void RegisterHTMLHintClasses();
